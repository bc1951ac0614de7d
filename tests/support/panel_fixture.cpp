#include "support/panel_fixture.h"

PanelFixture::PanelFixture(sim::Faults faults, sim::Eol eol)
    : sim(faults, eol), panel{state, display, sim.link, status, timers, controls}
{
}

void PanelFixture::linkUp()
{
    sim.open();
    state.REMOTE_OK = true;
}
