#pragma once
// What the panel's procedures work on: the state, the drawn displays, the
// channel, the status log, the timers and the other controls. Procedures
// take a Panel& and touch nothing else, so tests run them without a window.

#include "display/display_model.h"
#include "display/panel_hooks.h"
#include "shell/dmm_link.h"
#include "shell/panel_controls.h"
#include "shell/panel_state.h"
#include "shell/panel_timers.h"
#include "shell/status_log.h"

struct Panel
{
    shell::PanelState &state;
    display::DisplayModel &display;
    shell::Class1 &link;
    shell::StatusLog &status;
    shell::PanelTimers &timers;
    shell::PanelControls &controls;
    const display::PanelHooks *hooks = nullptr;  // filled in by the program
};

// While a fast run streams its samples nobody else may talk to the
// instrument. True, with one status line (no message box, which would hold
// up the run), when a sender must stand back.
inline bool refusedWhileStreaming(Panel &p)
{
    if (!shell::instrumentStreaming(p.state))
        return false;
    p.status.append(QString::fromUtf16(shell::kStreamingRefusal));
    return true;
}
