#include "keys/arrow_keys.h"

namespace keys {

bool UP_IMG_ENTER(Panel &) { return true; }
bool DOWN_IMG_ENTER(Panel &) { return true; }

} // namespace keys
