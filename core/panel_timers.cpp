#include "core/panel_timers.h"

namespace shell {

const PanelTimers::Named PanelTimers::kAll[9] = {
    {"READ_Timer", &PanelTimers::READ_Timer}, {"STOP_Timer", &PanelTimers::STOP_Timer},
    {"ACDC_Timer", &PanelTimers::ACDC_Timer}, {"IMG_Timer", &PanelTimers::IMG_Timer},
    {"Timer1", &PanelTimers::Timer1},         {"Timer2", &PanelTimers::Timer2},
    {"MXMN_Timer", &PanelTimers::MXMN_Timer}, {"ND2_Timer", &PanelTimers::ND2_Timer},
    {"HOLD_Timer", &PanelTimers::HOLD_Timer},
};

PanelTimers::PanelTimers()
{
    // The intervals the panel was designed with; start-up sets the rest.
    MXMN_Timer.setInterval(1000);
    ND2_Timer.setInterval(1000);
    HOLD_Timer.setInterval(1000);
}

} // namespace shell
