#pragma once
// The normal acquisition loop: one reading a sample interval (35 ms and
// longer), shown on both displays, listed in the readings table and
// recorded. It holds the event thread for the whole run, sleeping towards
// each pass's deadline on the monotonic clock and letting events run while
// it waits, so keys, START and the other windows stay live. While a
// set-up menu is open the displays are the menu's: the readings are then
// interpreted on a copy of the measurement display, and recorded as ever.

#include "runs/run_control.h"

namespace runs {

// The instrument's normal measuring settings again (the fast run turns
// them off), each sent with CR LF.
inline constexpr const char16_t *kNormalSetup[] = {
    u"SENS:ZERO:AUTO ON\r\n",
    u"SENS:GAIN:AUTO ON\r\n",
    u"SYST:DISP ON\r\n",
    u"TRIG:DEL 10\r\n",
};

// Runs until `length` seconds (a continuous run: a year) have passed since
// it began, a stop is requested (TEST_TIME 0) or the program ends, or a
// failure ends it; the file is closed when it returns. Passes begin at
// least one sample interval apart, each counted from the start of the one
// before: a slow pass delays the next, and none is made up.
RunEnd LOG_LOOP_NORMAL(RunContext &r, double &length);

} // namespace runs
