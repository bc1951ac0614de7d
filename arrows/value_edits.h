#pragma once
// What the arrow keys do while a set-up menu, a reference or math takes
// them: sensor_steps, reference_steps (filter, hold and dBm references),
// limit_edits, math_edits and rel_edits, one file each.

struct Panel;

namespace arrows {

enum class Arrow { Up, Down };

bool editMathParameter(Panel &p, Arrow key);   // the math menu
bool stepSensorMenu(Panel &p, Arrow key);      // the temperature sensor menu
bool stepFilter(Panel &p, Arrow key);          // the filter count or type
bool editLimit(Panel &p, Arrow key);           // the compare limits
bool stepHoldReference(Panel &p, Arrow key);
bool stepdBmReference(Panel &p, Arrow key);
bool editRelativeValue(Panel &p, Arrow key);

// The range of display 1 while a math function is on.
bool UP_MATH_IMG_ENTER(Panel &p);
bool DOWN_MATH_IMG_ENTER(Panel &p);

} // namespace arrows
