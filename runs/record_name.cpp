// The record name a run is filed under: the name box that START (or a
// tick of "Save Data") brings forward, its OK and Cancel, and START's wait
// for one of them.

#include "runs/record_name.h"

#include "runs/recorder.h"
#include "runs/run_control.h"
#include "core/panel.h"
#include "core/run_clock.h"
#include "platform/dialogs.h"

using namespace Qt::StringLiterals;
using shell::RunPhase;

namespace runs {
namespace {

void closeNameBox(RunContext &r)
{
    r.panel.controls.INPU_NAME_Frame_front = false;
    r.panel.state.NAME_DONE = true;
    r.panel.controls.touch();
}

} // namespace

void openNameBox(RunContext &r)
{
    r.panel.controls.INPU_NAME_Frame_front = true;
    r.panel.controls.touch();
    emit r.events.nameBoxOpened();
}

bool waitForRecordName(RunContext &r)
{
    shell::PanelState &s = r.panel.state;
    s.runPhase = RunPhase::Naming;
    s.NAME_DONE = false;
    openNameBox(r);
    while (!s.NAME_DONE && !r.programEnding) {
        letEventsRun();
        if (!s.NAME_DONE)
            r.clock.sleepFor(kWaitSlice);
    }
    if (r.programEnding) {
        s.runPhase = RunPhase::Idle;
        return false;
    }
    return true;
}

void SAVE_CHK_Click(RunContext &r)
{
    if (r.panel.controls.SAVE_CHK.checked)
        openNameBox(r);
}

void INPU_NAME_OK_Click(RunContext &r)
{
    shell::PanelControls &c = r.panel.controls;
    c.SAVE_CHK.checked = true;
    c.touch();
    // The name becomes part of a path in "SAVE DATA": one that is empty or
    // would reach outside the folder is refused, and the box stays open.
    if (!isUsableRecordName(c.INPU_NAME_TEXT))
        return rt::messageBox(u"The Input Name Err"_s, u"Input Err"_s, rt::MessageIcon::Critical);
    r.panel.state.LOG_NAME = c.INPU_NAME_TEXT;
    closeNameBox(r);
}

void NAME_BUTT_CANC_Click(RunContext &r)
{
    r.panel.controls.SAVE_CHK.checked = false;
    closeNameBox(r);
}

} // namespace runs
