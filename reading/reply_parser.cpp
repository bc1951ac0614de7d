#include "reading/reply_parser.h"

#include "display/panel.h"

namespace reading {

// The interpretation comes with its own change; until then a reply leaves
// the displays as they are.
void READ_SHOW_PARSE(Panel &) {}
void TRIG_READ_SHOW(Panel &) {}
void RANDOM_READ_SHOW(Panel &) {}

} // namespace reading
