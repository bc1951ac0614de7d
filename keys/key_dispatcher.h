#pragma once
// The sixteen keys of the drawn front panel: one entry for every press,
// which decides from the key, the SHIFT lamp and the panel state whether
// the key is refused, ignored or handed to its procedure, and asks the
// instrument for its reading rate afterwards.
//
// Keys 0 to 7 are the function keys ACV, DCV, ACI, DCI, W2W4, D_C, Hz_P and
// T_CF (upper row), 8 to 15 AUTO, UP, DOWN, HOLD, TRIG, REL, MXMN and 2ND
// (lower row). A press:
//  - while the instrument streams a fast run's samples: refused, one status
//    line;
//  - while a set-up menu is open: only AUTO, UP, DOWN, HOLD and TRIG go on;
//  - while no link is established and demonstration readings are not
//    chosen: refused with a message box;
//  - otherwise the key shows pressed, "syst:math:chan 0" goes out while the
//    port is open (its failure ends nothing), the key's procedure runs, and
//    after most keys the rate check and the sample-interval list follow.
// A failed exchange ends the key where it happened, with one status line
// naming the key; what was done stays done.
//
// With SHIFT lit, ACV and DCV open the scanner window when the instrument
// reports its scanner (after stopping a run that its timer drives); the
// other keys take their second function or only put SHIFT out.

#include <QtGlobal>

#include <functional>
#include <optional>

struct Panel;

namespace keys {

// What the keys reach beyond the panel, filled by the window that owns it.
struct KeyHooks
{
    std::function<void()> stopRun;      // the START key's run ends, as its Stop does
    std::function<void()> openScanner;  // the scanner window opens or comes forward
    std::function<void()> recordTriggered;  // the run's graph, table and file take the reading just shown
};

// When a mouse event happened, in milliseconds: the window gives the
// event's own time; without one it is now on the timers' clock. Only the
// difference between a key's mouse-down and mouse-up counts.
using EventTime = std::optional<qint64>;

void BUTT1_IMG_MouseDown(Panel &p, int Index, const KeyHooks &hooks = {}, EventTime at = {});
void BUTT1_IMG_MouseUp(Panel &p, int Index, EventTime at = {});

// Puts back the released pictures of the four volt and current keys, which
// stay pressed after their key procedures for half a second.
void ACDC_Timer_Timer(Panel &p);

// Gives ACDC_Timer, MXMN_Timer and ND2_Timer their procedures.
void connectKeyTimers(Panel &p);

// After a key: the reading rate is asked (while the link is up) and the
// sample-interval list is rebuilt for the function and rate.
void afterKey(Panel &p);

} // namespace keys
