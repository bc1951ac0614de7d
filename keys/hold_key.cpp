#include "keys/hold_key.h"

namespace keys {

bool HOLD_IMG_ENTER(Panel &) { return true; }

} // namespace keys
