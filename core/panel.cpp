#include "core/panel.h"

#include "core/link_gate.h"
#include "platform/dialogs.h"

PanelParts::PanelParts(shell::Class1 &link)
    : panel{state, display, link, status, timers, controls}
{
    QObject::connect(&link, &shell::Class1::problem, &status, &shell::StatusLog::append);
    QObject::connect(&link, &shell::Class1::lineLost, &status, [this] { ::lineLost(panel); });
    rt::setLineHold(this, {[this] { return shell::runHoldsLine(state); },
                           [this](const QString &line) { status.append(line); }});
}

PanelParts::~PanelParts() { rt::clearLineHold(this); }

void lineLost(Panel &p)
{
    p.state.REMOTE_OK = false;
    p.display.setLit(display::Lamp::RMT_LAB, false);
    p.controls.CHK_COM_TF.enabled = true;
    p.controls.touch();
}
