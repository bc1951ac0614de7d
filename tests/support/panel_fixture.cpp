#include "support/panel_fixture.h"

#include "shell/identification.h"

PanelFixture::PanelFixture(sim::Faults faults, sim::Eol eol)
    : sim(faults, eol), parts(sim.link)
{
}

void PanelFixture::linkUp()
{
    sim.open();
    state.REMOTE_OK = true;
}

bool PanelFixture::identify(const QString &instrument, QString *why)
{
    if (!sim.instrument.setStates(instrument, why))
        return false;
    if (!sim.open()) {
        *why = QStringLiteral("the simulated port did not open");
        return false;
    }
    display.setAllLit(false);
    shell::RDX_INF_TEST(panel);
    if (!state.REMOTE_OK)
        *why = QStringLiteral("the identification did not establish the link");
    return state.REMOTE_OK;
}
