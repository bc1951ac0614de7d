#pragma once
// Putting the panel back in order after a change of mode.
//
// HOLD_2ND_DISP switches hold by the HOLD lamp (not by HOLD_ON): dark, it
// turns hold on, asks the instrument for the hold reference and shows it in
// percent on display 2 ("0.10 %"); lit, it turns hold off. The reference is
// kept as QUERY_VALUE (its digits, "010") and HOLD_REF_INT (hundredths of a
// percent, 10). With no usable reply (link down, no answer, not a number)
// display 2 keeps the blank percent sign, MODE2 becomes "HOLD", DISPLAY2
// empty, and the last reference is kept.
//
// SENSOR_RANGE_CHK redraws after SHIFT cancels a set-up menu: the range
// views of both displays, then the marks of each function that is on (hold,
// which asks the instrument again, math, dBm, dB, MAX/MIN, REL).
// FILT_RANGE_CHK does the same when the filter set-up ends, draws hold from
// the stored reference without asking, and restarts a run the menu paused.
// Both ask the REL key's procedure (keys::REL_NUM_CHK) for the relative
// value on display 2.

struct Panel;

namespace display {

void HOLD_2ND_DISP(Panel &p);
void SENSOR_RANGE_CHK(Panel &p);
void FILT_RANGE_CHK(Panel &p);

} // namespace display
