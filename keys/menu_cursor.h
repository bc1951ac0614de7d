#pragma once
// HOLD and TRIG inside the set-up menus: the cursor one place left (HOLD)
// or right (TRIG), over the digits of display 1, its decimal point and the
// menu item on display 2. Each menu keeps its own rows beside the menu.

struct Panel;

namespace keys {

enum class Cursor { Left, Right };

// True while the sensor, filter or compare menu is open: then HOLD and TRIG
// move its cursor and do nothing else.
bool menuTakesCursor(const Panel &p);

// Moves the cursor of the open menu. False when the press failed.
bool moveMenuCursor(Panel &p, Cursor way);

// The rows of each menu, in keys/sensor_menu.cpp, keys/filter_menu.cpp and
// keys/compare_menu.cpp.
bool sensorCursor(Panel &p, Cursor way);
bool filterCursor(Panel &p, Cursor way);
bool compareCursor(Panel &p, Cursor way);

} // namespace keys
