#include "arrows/value_edits.h"

namespace arrows {

bool editMathParameter(Panel &, Arrow) { return true; }
bool stepSensorMenu(Panel &, Arrow) { return true; }
bool stepFilter(Panel &, Arrow) { return true; }
bool editLimit(Panel &, Arrow) { return true; }
bool stepHoldReference(Panel &, Arrow) { return true; }
bool stepdBmReference(Panel &, Arrow) { return true; }
bool editRelativeValue(Panel &, Arrow) { return true; }
bool UP_MATH_IMG_ENTER(Panel &) { return true; }
bool DOWN_MATH_IMG_ENTER(Panel &) { return true; }

} // namespace arrows
