#include "keys/shift_key.h"

#include "core/link_gate.h"
#include "core/panel.h"
#include "display/glyph_words.h"
#include "display/mode_redraws.h"
#include "display/range_view.h"
#include "keys/key_exchange.h"
#include "platform/runtime.h"

namespace keys {

namespace {

using display::Lamp;
using display::Points;
using display::Positions;

// SHIFT cancels the sensor and compare limits menus alike.
void leaveMenu(Panel &p)
{
    p.timers.IMG_Timer.setEnabled(false);
    display::SENSOR_RANGE_CHK(p);
    resumeReading(p);
}

// The press a long-press timer was armed for is still down once the input
// that waited behind the line has come in: the timer is disarmed and the
// long press is due.
bool stillHeld(Panel &p, rt::PanelTimer &timer, const shell::KeyPress &press)
{
    const quint64 armedFor = press.count;
    if (p.timers.deliverWaitingInput)
        p.timers.deliverWaitingInput();
    // A mouse-up that came in has settled the press, and a later press owns
    // the timer now.
    if (!press.down || press.count != armedFor || !timer.isEnabled())
        return false;
    timer.setEnabled(false);
    return true;
}

// The key came up at `at`: true when the press was long and its long press
// is still owed (the tick fell due behind an exchange and has not run).
bool releasedLong(rt::PanelTimer &timer, shell::KeyPress &press, qint64 at)
{
    const bool wasDown = press.down;
    press.down = false;
    const bool owed = timer.isEnabled();
    timer.setEnabled(false);
    return wasDown && owed && at - press.downAt >= shell::kLongPressMs;
}

void maxMinOff(Panel &p)
{
    display::DisplayModel::Batch batch(p.display);
    p.state.MXMN_ON = false;
    p.state.ND2_VIEW = false;
    p.display.setLit(Lamp::MIN_LAB, false);
    p.display.setLit(Lamp::MAX_LAB, false);
    if (!keySend(p, QStringLiteral("CALC:FUNC OFF,MAX\\10")))
        return keyEnded(p, u"MAX/MIN");
    resumeReading(p);
}

void display2Off(Panel &p)
{
    display::DisplayModel &d = p.display;
    shell::PanelState &s = p.state;
    display::DisplayModel::Batch batch(d);
    s.MODE2_ON = false;
    // Display 2 shows a view of display 1's function: it stays.
    const bool view = d.isLit(Lamp::HOLD_LAB) || d.isLit(Lamp::REL_LAB) || d.isLit(Lamp::MIN_LAB)
                      || d.isLit(Lamp::MAX_LAB);
    if (!view && s.REMOTE_OK) {
        const std::optional<QString> reply = keyAsk(p, QStringLiteral("CONF2:FUNC?\\10"));
        if (!reply)
            return keyEnded(p, u"2ND");
        if (rt::left(*reply, 3).value_or(*reply) != u"NON") {
            if (!keySend(p, QStringLiteral("conf2:off\\10")))
                return keyEnded(p, u"2ND");
            display::ClearSHOW2(d);
            s.MODE2.clear();
            s.MODE2_RANGE.clear();
            s.DISPLAY2.clear();
            s.AUTO_RANGE_FLAG = d.isLit(Lamp::AUTO_LAB1);
            display::CHK_RANGE(p);
        } else {
            s.MODE2.clear();
            s.MODE2_RANGE.clear();
            s.DISPLAY2.clear();
            for (int i = 0; i < 6; ++i) {
                d.setLit(Positions::DIS2_IMG, i, false);
                d.setLit(Points::DROP_IMG2, i, false);
            }
        }
    }
    d.setLit(Lamp::ND2_LAB, false);
}

} // namespace

bool pauseReading(Panel &p)
{
    if (!p.timers.READ_Timer.isEnabled())
        return false;
    p.timers.READ_Timer.setEnabled(false);
    p.timers.STOP_Timer.setEnabled(false);
    p.state.READ_PAUSED = true;
    return true;
}

void resumeReading(Panel &p)
{
    if (!p.state.READ_PAUSED)
        return;
    p.timers.READ_Timer.setEnabled(true);
    p.timers.STOP_Timer.setEnabled(true);
    p.state.READ_PAUSED = false;
}

void SHIFT_IMG_MouseDown(Panel &p)
{
    shell::PanelState &s = p.state;
    if (s.scanRunning) {
        p.status.append(QString::fromUtf16(shell::kScanRefusal));
        return;
    }
    if (shell::instrumentStreaming(s)) {
        p.status.append(QString::fromUtf16(shell::kStreamingRefusal));
        return;
    }
    display::DisplayModel::Batch batch(p.display);
    p.controls.SHIFT_IMG = QStringLiteral("SHIFT_BUTT2.BMP");
    p.controls.touch();
    if (s.SENSOR_SET) {
        s.SENSOR_SET = false;
        leaveMenu(p);
    } else if (s.COMP_SET) {
        s.COMP_SET = false;
        leaveMenu(p);
    } else if (s.FILT_SET) {
        display::FILT_RANGE_CHK(p);
    } else {
        p.display.setLit(Lamp::SHIFT_LAB, !p.display.isLit(Lamp::SHIFT_LAB));
    }
}

void SHIFT_IMG_MouseUp(Panel &p)
{
    p.controls.SHIFT_IMG = QStringLiteral("SHIFT_BUTT1.BMP");
    p.controls.touch();
}

void MXMN_Timer_Timer(Panel &p)
{
    if (stillHeld(p, p.timers.MXMN_Timer, p.timers.MXMN_Press))
        maxMinOff(p);
}

void ND2_Timer_Timer(Panel &p)
{
    if (stillHeld(p, p.timers.ND2_Timer, p.timers.ND2_Press))
        display2Off(p);
}

void MXMN_MouseUp(Panel &p, qint64 at)
{
    if (releasedLong(p.timers.MXMN_Timer, p.timers.MXMN_Press, at))
        maxMinOff(p);
}

void ND2_MouseUp(Panel &p, qint64 at)
{
    if (releasedLong(p.timers.ND2_Timer, p.timers.ND2_Press, at))
        display2Off(p);
}

} // namespace keys
