#pragma once
// The MXMN key: maximum and minimum of display 1, stepping MAX, MIN and
// back. Holding it a second turns the function off (keys/shift_key.h). Not
// built yet: the key reaches it and it does nothing.

struct Panel;

namespace keys {

bool MAX_IMG_ENTER(Panel &p);

} // namespace keys
