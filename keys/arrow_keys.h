#pragma once
// The UP and DOWN keys live with the rest of the arrow keys' work.

#include "arrows/arrow_keys.h"

namespace keys {

using arrows::DOWN_IMG_ENTER;
using arrows::UP_IMG_ENTER;

} // namespace keys
