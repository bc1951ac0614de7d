#pragma once
// A whole front panel without a window: state, displays, status log,
// timers and controls, on the real channel over the simulated instrument.

#include "core/panel.h"
#include "support/sim_link.h"

struct PanelFixture
{
    explicit PanelFixture(sim::Faults faults = {}, sim::Eol eol = sim::Eol::Cr);

    SimLink sim;
    PanelParts parts;
    shell::PanelState &state = parts.state;
    display::DisplayModel &display = parts.display;
    shell::StatusLog &status = parts.status;
    shell::PanelTimers &timers = parts.timers;
    shell::PanelControls &controls = parts.controls;
    Panel &panel = parts.panel;

    // Opens the simulated port and marks the link as established, as a
    // successful identification does.
    void linkUp();

    // Puts the simulated instrument in `instrument` (ravelo-sim's --state
    // form), opens the link and runs the start-up identification on the
    // panel as the lamp test leaves it. False, saying why, when the state is
    // refused or the link was not established.
    bool identify(const QString &instrument, QString *why);
};
