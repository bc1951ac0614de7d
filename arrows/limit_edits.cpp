#include "arrows/value_edits.h"

// Not built yet.

namespace arrows {

bool editLimit(Panel &, Arrow) { return true; }

} // namespace arrows
