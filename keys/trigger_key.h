#pragma once
// The TRIG key. In a set-up menu it moves the cursor one place right
// (keys/menu_cursor.h). SHIFT + TRIG switches the instrument's trigger
// source (EXT lamp lit = external). With the external trigger, TRIG alone
// takes one reading (a demonstration reading when those are chosen) and
// records it as one point of the trend graph, the readings table and the
// recorded-data file, at the seconds since the external trigger began
// (across midnight too).
//
// A run waiting for its ticks stops while the trigger is external and goes
// on when it is internal again, with its own test time; a loop that holds
// the line is never restarted from here. A trigger whose reading did not
// come records nothing and says so in one status line.

#include "keys/key_dispatcher.h"

struct Panel;

namespace keys {

// The point goes to the run through hooks.recordTriggered; without it the
// reading is shown and nothing is recorded.
bool TRIG_IMG_ENTER(Panel &p, const KeyHooks &hooks = {});

// Seconds from `origin` to `now` (both seconds since midnight), rounded
// halves to even; a negative span has crossed midnight and gets a day.
int secondsSinceTrigger(double origin, double now);

} // namespace keys
