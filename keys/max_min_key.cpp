#include "keys/max_min_key.h"

namespace keys {

bool MAX_IMG_ENTER(Panel &) { return true; }

} // namespace keys
