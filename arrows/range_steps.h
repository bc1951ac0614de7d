#pragma once
// Range stepping: UP to the next higher range, DOWN to the next lower one,
// when no menu, reference or math takes the arrow keys. The first that
// holds decides what is stepped:
//   1. dB on and its value on display 1: the instrument says its voltage
//      range ("conf:stat:rang?") and the key moves it one step;
//   2. display 2 on, 2ND lit: display 2's ladders;
//   3. display 2 on, 2ND dark ("paired"): display 1's ladders, display 2
//      left alone;
//   4. display 2 off ("single"): display 1's ladders spelling the new
//      range on display 2, then (UP) compare sent again while it is on,
//      then the input range of frequency and period.
// Display 1 steps from a range the panel knows: a reading's drawing, or the
// fixed range its label names; otherwise the instrument is asked first, and
// a reply that names no range steps nothing. No range wraps round at either
// end. Commands go out only while the link is up; with it down the panel
// steps alone, except where a step needs the instrument's answer.

#include "arrows/value_edits.h"

struct Panel;

namespace arrows {

bool stepRange(Panel &p, Arrow key);

} // namespace arrows
