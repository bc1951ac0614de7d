#include "arrows/value_edits.h"

// Not built yet.

namespace arrows {

bool editMathParameter(Panel &, Arrow) { return true; }
bool UP_MATH_IMG_ENTER(Panel &) { return true; }
bool DOWN_MATH_IMG_ENTER(Panel &) { return true; }

} // namespace arrows
