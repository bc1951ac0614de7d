#pragma once
// A whole front panel without a window: state, displays, status log,
// timers and controls, on the real channel over the simulated instrument.

#include "display/panel.h"
#include "support/sim_link.h"

struct PanelFixture
{
    explicit PanelFixture(sim::Faults faults = {}, sim::Eol eol = sim::Eol::Cr);

    SimLink sim;
    shell::PanelState state;
    display::DisplayModel display;
    shell::StatusLog status;
    shell::PanelTimers timers;
    shell::PanelControls controls;
    Panel panel;

    // Opens the simulated port and marks the link as established, as a
    // successful identification does.
    void linkUp();
};
