#pragma once
// The MXMN key: maximum and minimum of display 1. The dispatcher turns the
// function on at the first press (MIN_SEL set, so the press selects MAX);
// each press switches the instrument between MAX and MIN and lights the
// lamp of the one chosen. While the 2ND view of stored values shows
// (ND2_VIEW), display 2 spells the new choice and display 1 shows its
// value. Holding the key a second turns the function off
// (keys/shift_key.h).

struct Panel;

namespace keys {

// False when an exchange failed; MIN_SEL keeps its new value.
bool MAX_IMG_ENTER(Panel &p);

} // namespace keys
