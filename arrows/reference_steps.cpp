#include "arrows/value_edits.h"

// Not built yet.

namespace arrows {

bool stepFilter(Panel &, Arrow) { return true; }
bool stepHoldReference(Panel &, Arrow) { return true; }
bool stepdBmReference(Panel &, Arrow) { return true; }

} // namespace arrows
