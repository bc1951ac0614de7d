#include "core/panel.h"

PanelParts::PanelParts(shell::Class1 &link)
    : panel{state, display, link, status, timers, controls}
{
    QObject::connect(&link, &shell::Class1::problem, &status, &shell::StatusLog::append);
    QObject::connect(&link, &shell::Class1::lineLost, &status, [this] { ::lineLost(panel); });
}

void lineLost(Panel &p)
{
    p.state.REMOTE_OK = false;
    p.display.setLit(display::Lamp::RMT_LAB, false);
    p.controls.CHK_COM_TF.enabled = true;
    p.controls.touch();
}
