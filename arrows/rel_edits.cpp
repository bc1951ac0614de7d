#include "arrows/value_edits.h"

// Not built yet.

namespace arrows {

bool editRelativeValue(Panel &, Arrow) { return true; }

} // namespace arrows
