#include "scan/scan_form.h"

#include "scan/scan_run.h"
#include "scan/scanner_readback.h"
#include "core/panel.h"
#include "platform/runtime.h"
#include "runs/recorder.h"
#include "shell/speed_check.h"

#include <QThread>

using namespace Qt::StringLiterals;

namespace scan {
namespace {

constexpr int kRunTickMs = 100;

} // namespace

void Form_Load(ScanContext &s)
{
    ScanControls &c = s.controls;
    c.selectRunMode(0);
    for (rt::PanelTimer *timer : {&c.Timer1_Scan, &c.Timer1_STEP}) {
        timer->setInterval(kRunTickMs);
        timer->setEnabled(false);
    }
    connectScanTimers(s);
    c.INPU_NAME_Frame_front = false;
    c.SSBS_Frame_front = false;
    SCAN_GRID_INIT(c);
    c.table.fillFunctionLists();
    c.touch();
    readScannerState(s.panel, c, s.inputDuringWaits);
}

bool Quit_BUTT_Click(ScanContext &s)
{
    if (s.controls.run.readingBack()) {
        // Heard inside the read-back's wait: it ends there, then the window
        // closes.
        s.controls.askQuit();
        s.panel.link.interruptWait();
        return false;
    }
    if (!controlsEnabled(s.controls).quit)
        return false;
    s.controls.closing = true;
    s.controls.touch();
    // A read-back ended by Quit closes the window inside the scanner key
    // that opened it, whose rate check after the key follows at once: one
    // rate query, not two.
    if (!s.controls.run.quitAsked())
        shell::SPEED_CHK(s.panel);
    return true;
}

bool letGoForProgramEnd(ScanContext &s)
{
    switch (s.controls.run.phase()) {
    case RunPhase::Idle:
        return true;
    case RunPhase::ReadingBack:
        Quit_BUTT_Click(s);
        return false;
    case RunPhase::Running:
        STOP_BUTT_Click(s);
        return !s.controls.run.holdsLine();
    }
    return true;
}

void Save_DATA_CHK_Click(ScanContext &s)
{
    ScanControls &c = s.controls;
    if (!c.Save_DATA_CHK)
        return;
    c.INPU_NAME_Frame_at = kNameBoxAfterOk;
    c.INPU_NAME_Frame_front = true;
    c.touch();
}

void INPU_NAME_OK_Click(ScanContext &s)
{
    ScanControls &c = s.controls;
    // The name becomes part of a path in "SCAN DATA": one that is empty or
    // would reach outside the folder is refused, and the box stays open.
    if (!runs::isUsableRecordName(c.INPU_NAME_TEXT))
        return rt::messageBox(u"The Input Name Err"_s, u"Input Err"_s, rt::MessageIcon::Critical);
    s.panel.state.SCAN_NAME = c.INPU_NAME_TEXT;
    s.panel.state.SCAN_FILE_NO = 1;
    c.INPU_NAME_Frame_front = false;
    c.INPU_NAME_Frame_at = kNameBoxAfterOk;
    c.touch();
}

void NAME_BUTT_CANC_Click(ScanContext &s)
{
    ScanControls &c = s.controls;
    c.Save_DATA_CHK = false;
    c.INPU_NAME_Frame_front = false;
    c.INPU_NAME_Frame_at = kNameBoxAfterCancel;
    c.touch();
}

void SSBS_SS_Click(ScanContext &s)
{
    if (s.controls.run.holdsLine())
        return;
    s.controls.SSBS_Frame_front = true;
    s.controls.touch();
}

void SSBS_Cancel_Butt_Click(ScanContext &s)
{
    s.controls.SSBS_Frame_front = false;
    s.controls.touch();
}

int delayMilliseconds(float second)
{
    // The product is taken in single precision, as the delay is given.
    const float product = second * 10.0f;
    const std::optional<qint32> ms = rt::roundToWhole(double(product));
    return ms && *ms > 0 ? *ms : 0;
}

void Delay(float second)
{
    QThread::msleep(ulong(delayMilliseconds(second)));
}

} // namespace scan
