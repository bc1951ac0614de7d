#include "core/panel_timers.h"

#include <QCoreApplication>

namespace shell {

namespace {

// Long enough for whatever queued behind an exchange; the loop ends as soon
// as nothing is pending.
constexpr int kInputCatchUpMs = 100;

void deliverPendingEvents()
{
    const rt::HeldTicks hold;
    QCoreApplication::processEvents(QEventLoop::AllEvents, kInputCatchUpMs);
}

} // namespace

const PanelTimers::Named PanelTimers::kAll[9] = {
    {"READ_Timer", &PanelTimers::READ_Timer}, {"STOP_Timer", &PanelTimers::STOP_Timer},
    {"ACDC_Timer", &PanelTimers::ACDC_Timer}, {"IMG_Timer", &PanelTimers::IMG_Timer},
    {"Timer1", &PanelTimers::Timer1},         {"Timer2", &PanelTimers::Timer2},
    {"MXMN_Timer", &PanelTimers::MXMN_Timer}, {"ND2_Timer", &PanelTimers::ND2_Timer},
    {"HOLD_Timer", &PanelTimers::HOLD_Timer},
};

PanelTimers::PanelTimers() : deliverWaitingInput(deliverPendingEvents)
{
    // The intervals the panel was designed with; start-up sets the rest.
    MXMN_Timer.setInterval(kLongPressMs);
    ND2_Timer.setInterval(kLongPressMs);
    HOLD_Timer.setInterval(1000);
}

} // namespace shell
