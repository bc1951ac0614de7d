#pragma once
// The three set-up menus that SHIFT and a key open and AUTO confirms: the
// temperature sensor (SHIFT + T_CF), the compare limits (SHIFT + HOLD) and
// the filter (SHIFT + MXMN). While one is open its flag is set (SENSOR_SET,
// COMP_SET, FILT_SET), AUTO is its ENTER and SHIFT leaves it.
//
// Built in keys/sensor_menu.cpp, keys/filter_menu.cpp and keys/compare_menu.cpp.

struct Panel;

namespace keys {

bool SENSOR_IMG_ENTER(Panel &p);
bool SENSOR_AUTO_ENTER(Panel &p);
bool COMP_IMG_ENTER(Panel &p);
bool COMPSET_AUTO_ENTER(Panel &p);
bool FILT_IMG_ENTER(Panel &p);
bool FILT_AUTO_ENTER(Panel &p);

} // namespace keys
