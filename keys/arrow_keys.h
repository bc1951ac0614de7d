#pragma once
// The UP and DOWN keys: they step the value or list entry of the set-up
// menu that is open, else the range of the selected display. Not built yet:
// the keys reach them and they do nothing.

struct Panel;

namespace keys {

bool UP_IMG_ENTER(Panel &p);
bool DOWN_IMG_ENTER(Panel &p);

} // namespace keys
