#pragma once
// The reading-rate lamps and the two lists of the front panel: the sample
// interval (Speed_TIME, ms) and the test time (CONT_TIME_LIST, minutes).
//
// SPEED_MS always follows the interval text the program sets: at start-up,
// by a preset, by the rebuild after a key or the identification, and by a
// click. A run therefore polls at the interval the box shows.

#include "shell/interval_lists.h"

#include <QString>

struct Panel;

namespace shell {

// Asks the instrument for its reading rate (while the link is up) and lights
// S_LAB, M_LAB or F_LAB from SPEED_CODE. The query follows the display-1
// lamps: the AC band, the frequency gate time, or the reading rate.
void SPEED_CHK(Panel &p);

// Sets the interval box's text, and SPEED_MS to it in whole milliseconds
// (halves to even: "16.667" -> 17). A text that is not a number leaves
// SPEED_MS as it is.
void setSampleInterval(Panel &p, const QString &text);

// Fills Speed_TIME with a list and its text.
void showIntervalList(Panel &p, const IntervalList &list);

// The presets, called by the AUTO key as it steps the rate.
void FullTestSpeed(Panel &p);
void MidTestSpeed(Panel &p);
void SlowTestSpeed(Panel &p);
void VerySlowTestSpeed(Panel &p);
void PHzHTestSpeed(Panel &p);
void PHzTestSpeed(Panel &p);

// Rebuilds Speed_TIME from MODE1 and the rate lamps as they are now.
void rebuildSpeedList(Panel &p);

// The boxes take no typing: a changed text goes back to the default.
void Speed_TIME_Change(Panel &p);
void CONT_TIME_LIST_Change(Panel &p);

// An entry was chosen (the box's text already holds it): store it in
// SETTING, set SPEED_MS, and show interval and test time in the status log.
void Speed_TIME_Click(Panel &p);
void CONT_TIME_LIST_Click(Panel &p);

} // namespace shell
