#include "keys/setup_menus.h"

namespace keys {

bool SENSOR_IMG_ENTER(Panel &) { return true; }
bool SENSOR_AUTO_ENTER(Panel &) { return true; }
bool COMP_IMG_ENTER(Panel &) { return true; }
bool COMPSET_AUTO_ENTER(Panel &) { return true; }
bool FILT_IMG_ENTER(Panel &) { return true; }
bool FILT_AUTO_ENTER(Panel &) { return true; }

} // namespace keys
