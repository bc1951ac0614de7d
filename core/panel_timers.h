#pragma once
// The front panel's timers. They belong to the panel, not to its window,
// so the procedures that start and stop them run without a window in tests.

#include "platform/panel_timer.h"

#include <functional>

namespace shell {

// One press of a key that has a long press (MXMN, 2ND). Times are those
// its mouse events carry (the window system's milliseconds), so a release
// that is handled late still counts from when it happened.
struct KeyPress
{
    qint64 downAt = 0;
    quint64 count = 0;  // presses so far: a tick tells its own press from a later one
    bool down = false;  // no mouse-up yet

    void wentDown(qint64 at)
    {
        downAt = at;
        ++count;
        down = true;
    }
};

// A key held this long is a long press.
inline constexpr int kLongPressMs = 1000;

struct PanelTimers
{
    PanelTimers();

    rt::PanelTimer READ_Timer;  // drives a run, interval = the sample interval
    rt::PanelTimer STOP_Timer;  // ends a run at its test time
    rt::PanelTimer ACDC_Timer;  // puts back the pictures of the volt and current keys
    rt::PanelTimer IMG_Timer;   // blinks the digit being edited
    rt::PanelTimer Timer1;      // the power-on lamp test
    rt::PanelTimer Timer2;      // statistics poll
    rt::PanelTimer MXMN_Timer;  // long press of MAX/MIN
    rt::PanelTimer ND2_Timer;   // long press of 2ND
    rt::PanelTimer HOLD_Timer;  // long press of HOLD

    KeyPress MXMN_Press;
    KeyPress ND2_Press;

    // Hands over the user's input that waited while the channel did (its
    // waits let no user input in, and a tick held behind an exchange runs
    // before that input once the exchange ends). A long-press tick calls
    // it first, so the key's mouse-up, if it came, is seen. The timers'
    // ticks are held meanwhile. Tests put their own window system here.
    std::function<void()> deliverWaitingInput;

    // Every timer with its name, for tests and the status of a run.
    struct Named
    {
        const char *name;
        rt::PanelTimer PanelTimers::*timer;
    };
    static const Named kAll[9];
};

} // namespace shell
