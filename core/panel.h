#pragma once
// What the panel's procedures work on: the state, the drawn displays, the
// channel, the status log, the timers and the other controls. Procedures
// take a Panel& and touch nothing else, so tests run them without a window.

#include "core/display_model.h"
#include "core/dmm_link.h"
#include "core/panel_controls.h"
#include "core/panel_state.h"
#include "core/panel_timers.h"
#include "core/status_log.h"

struct Panel
{
    shell::PanelState &state;
    display::DisplayModel &display;
    shell::Class1 &link;
    shell::StatusLog &status;
    shell::PanelTimers &timers;
    shell::PanelControls &controls;
};

// The parts of a panel owned together, for the program's main window, the
// test fixtures and the benchmarks: state, displays, status log, timers and
// controls, on a channel the owner gives.
struct PanelParts
{
    // The channel's problems go to the status log; a line lost while the
    // panel is idle is seen at once (see lineLost()). While one of the
    // panel's runs holds the line, the dialogs (platform/dialogs.h) wait
    // for nobody, and their refusals go to the status log too.
    explicit PanelParts(shell::Class1 &link);
    ~PanelParts();
    PanelParts(const PanelParts &) = delete;
    PanelParts &operator=(const PanelParts &) = delete;

    shell::PanelState state;
    display::DisplayModel display;
    shell::StatusLog status;
    shell::PanelTimers timers;
    shell::PanelControls controls;
    Panel panel;
};

// The line went away: the link is no longer established, RMT goes out, and
// the demonstration switch can be used again.
void lineLost(Panel &p);
