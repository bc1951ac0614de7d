#include "arrows/value_edits.h"

// Not built yet.

namespace arrows {

bool stepSensorMenu(Panel &, Arrow) { return true; }

} // namespace arrows
