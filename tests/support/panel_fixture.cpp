#include "support/panel_fixture.h"

PanelFixture::PanelFixture(sim::Faults faults, sim::Eol eol)
    : sim(faults, eol), parts(sim.link)
{
}

void PanelFixture::linkUp()
{
    sim.open();
    state.REMOTE_OK = true;
}
