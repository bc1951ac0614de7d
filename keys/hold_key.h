#pragma once
// The HOLD key: hold on or off, and in a set-up menu the cursor one place
// left. Not built yet: the key reaches it and it does nothing.

struct Panel;

namespace keys {

bool HOLD_IMG_ENTER(Panel &p);

} // namespace keys
