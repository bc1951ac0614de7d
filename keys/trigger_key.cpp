#include "keys/trigger_key.h"

namespace keys {

bool TRIG_IMG_ENTER(Panel &) { return true; }

} // namespace keys
