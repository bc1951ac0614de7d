#pragma once
// The HOLD key. In a set-up menu it moves the cursor one place left
// (keys/menu_cursor.h). Otherwise it switches the instrument's reading hold
// by the HOLD lamp (display::HOLD_2ND_DISP): on, display 2 shows the hold
// reference in percent; off, display 2 clears. Relative, maximum/minimum,
// hold and compare end as flags; their lamps stay. A run's timers are
// paused for the exchange and go on afterwards.

struct Panel;

namespace keys {

bool HOLD_IMG_ENTER(Panel &p);

} // namespace keys
