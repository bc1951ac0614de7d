#pragma once
// The front panel's timers. They belong to the panel, not to its window,
// so the procedures that start and stop them run without a window in tests.

#include "platform/panel_timer.h"

namespace shell {

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

    // Every timer with its name, for tests and the status of a run.
    struct Named
    {
        const char *name;
        rt::PanelTimer PanelTimers::*timer;
    };
    static const Named kAll[9];
};

} // namespace shell
