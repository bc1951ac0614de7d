#include "keys/key_dispatcher.h"

#include "core/link_gate.h"
#include "core/panel.h"
#include "display/range_view.h"
#include "keys/arrow_keys.h"
#include "keys/auto_key.h"
#include "keys/function_keys.h"
#include "keys/hold_key.h"
#include "keys/key_exchange.h"
#include "keys/max_min_key.h"
#include "keys/rel_key.h"
#include "keys/setup_menus.h"
#include "keys/shift_key.h"
#include "keys/trigger_key.h"
#include "platform/dialogs.h"
#include "shell/front_panel.h"
#include "shell/speed_check.h"
#include "shell/status.h"

namespace keys {

namespace {

using display::Lamp;
using shell::kKeyCount;

enum Key {
    ACV, DCV, ACI, DCI, W2W4, D_C, Hz_P, T_CF,
    AUTO, UP, DOWN, HOLD, TRIG, REL, MXMN, ND2,
};

// For the status line of a key that a failed exchange ended.
constexpr const char16_t *kKeyNames[kKeyCount] = {
    u"ACV",  u"DCV", u"ACI",  u"DCI",  u"2W/4W", u"diode/continuity", u"Hz/P",    u"temperature",
    u"AUTO", u"UP",  u"DOWN", u"HOLD", u"TRIG",  u"REL",              u"MAX/MIN", u"2ND",
};

// What follows a key's own work.
enum class Then {
    End,         // nothing
    AfterKey,    // the rate check and the interval list
    Failed,      // an exchange failed: the key ends there, said in the status log
    FailedGoOn,  // a procedure that ends only itself failed: said, and the key goes on
};

Then orFailed(bool ok, Then then)
{
    return ok ? then : Then::Failed;
}

bool menuOpen(const shell::PanelState &s)
{
    return s.SENSOR_SET || s.FILT_SET || s.COMP_SET;
}

// "Random Data" can still be ticked (no identification has succeeded and no
// run holds it) and is not: there is nothing to work with.
bool linkRefused(const Panel &p)
{
    return p.controls.CHK_COM_TF.enabled && !p.controls.CHK_COM_TF.checked;
}

bool runGoing(const shell::PanelState &s)
{
    using shell::RunPhase;
    return s.runPhase == RunPhase::Timed || s.runPhase == RunPhase::NormalLoop
           || s.runPhase == RunPhase::FastLoop;
}

bool noHoldOrRel(const shell::PanelState &s)
{
    return s.MODE1 == u"CONTINU" || s.MODE1 == u"DIODE";
}

void shiftOff(Panel &p)
{
    p.display.setLit(Lamp::SHIFT_LAB, false);
}

void showPicture(Panel &p, int key, bool pressed)
{
    p.controls.BUTT1_IMG[std::size_t(key)] = shell::keyPicture(key, pressed);
    p.controls.touch();
}

// A function key ends relative, maximum/minimum, hold and compare.
void clearFunctionFlags(shell::PanelState &s)
{
    s.REL_ON = false;
    s.MXMN_ON = false;
    s.HOLD_ON = false;
    s.COMP_ON = false;
}

void armLongPress(rt::PanelTimer &timer)
{
    timer.setInterval(shell::kLongPressMs);
    timer.setEnabled(true);
}

Then functionKey(Panel &p, bool (*procedure)(Panel &))
{
    if (!p.state.MODE2_ON)
        shell::ClearMODE_DATA(p);
    clearFunctionFlags(p.state);
    return orFailed(procedure(p), Then::AfterKey);
}

// D_C and T_CF have no display-2 action; frequency/period and temperature
// end only themselves on a failure.
Then display1OnlyKey(Panel &p, bool (*procedure)(Panel &), bool endsOnlyItself)
{
    if (p.state.MODE2_ON)
        return Then::End;
    shell::ClearMODE_DATA(p);
    clearFunctionFlags(p.state);
    if (procedure(p))
        return Then::AfterKey;
    return endsOnlyItself ? Then::FailedGoOn : Then::Failed;
}

// SHIFT with ACV or DCV: the scanner window, when the instrument has one. A
// run driven by its timer stops first; a loop that already holds the line
// goes on. SHIFT stays lit until the key comes up.
Then scannerKey(Panel &p, const KeyHooks &hooks)
{
    if (p.state.scannerReported) {
        if (p.timers.READ_Timer.isEnabled() && hooks.stopRun)
            hooks.stopRun();
        if (hooks.openScanner)
            hooks.openScanner();
    }
    return Then::AfterKey;
}

Then autoKey(Panel &p)
{
    const shell::PanelState &s = p.state;
    display::DisplayModel &d = p.display;
    if (s.SENSOR_SET)
        return orFailed(SENSOR_AUTO_ENTER(p), Then::End);
    if (s.COMP_SET)
        return orFailed(COMPSET_AUTO_ENTER(p), Then::End);
    // With compare on and no run going the key only moves the lamp.
    if (s.COMP_ON && !runGoing(s)) {
        d.setLit(Lamp::AUTO_LAB1, !d.isLit(Lamp::AUTO_LAB1));
        return Then::End;
    }
    if (s.FILT_SET)
        return orFailed(FILT_AUTO_ENTER(p), Then::End);
    // Hold keeps its range label; the instrument is told.
    if (s.HOLD_ON) {
        const bool on = !d.isLit(Lamp::AUTO_LAB1);
        d.setLit(Lamp::AUTO_LAB1, on);
        return orFailed(keySend(p, on ? QStringLiteral("conf:auto 1\\10") : QStringLiteral("conf:auto 0\\10")),
                        Then::End);
    }
    return orFailed(AUTO_IMG_ENTER(p), Then::AfterKey);
}

Then holdKey(Panel &p, bool shift)
{
    shell::PanelState &s = p.state;
    if (noHoldOrRel(s)) {
        shiftOff(p);
        return Then::End;
    }
    if (!shift)
        return orFailed(HOLD_IMG_ENTER(p), Then::AfterKey);
    if (!s.COMP_ON)
        return orFailed(COMP_IMG_ENTER(p), Then::AfterKey);
    // SHIFT + HOLD with compare on: compare off.
    if (!keySend(p, QStringLiteral("calc:stat 0\\10")))
        return Then::Failed;
    s.COMP_ON = false;
    s.MODE2.clear();
    s.DISPLAY2.clear();
    s.AUTO_RANGE_FLAG = true;
    display::CHK_RANGE(p);
    shiftOff(p);
    return Then::AfterKey;
}

Then relKey(Panel &p, bool shift)
{
    if (noHoldOrRel(p.state)) {
        shiftOff(p);
        return Then::End;
    }
    if (shift) {
        shiftOff(p);
        return Then::AfterKey;
    }
    return orFailed(REL_IMG_ENTER(p), Then::AfterKey);
}

Then maxMinKey(Panel &p, bool shift)
{
    shell::PanelState &s = p.state;
    if (shift) {
        shiftOff(p);
        if (!FILT_IMG_ENTER(p))
            return Then::Failed;
        armLongPress(p.timers.MXMN_Timer);
        return Then::AfterKey;
    }
    if (noHoldOrRel(s) || s.MODE2_ON)
        return Then::End;
    if (!s.MXMN_ON) {
        s.MXMN_ON = true;
        s.MIN_SEL = true;
        s.REL_ON = false;
        s.HOLD_ON = false;
        s.COMP_ON = false;
    }
    if (!MAX_IMG_ENTER(p))
        return Then::Failed;
    armLongPress(p.timers.MXMN_Timer);
    return Then::AfterKey;
}

struct RateLamp
{
    const char16_t *code;
    Lamp lamp;
};
constexpr RateLamp kRateLamps[] = {{u"S", Lamp::S_LAB}, {u"M", Lamp::M_LAB}, {u"F", Lamp::F_LAB}};

Then secondKey(Panel &p, bool shift)
{
    shell::PanelState &s = p.state;
    display::DisplayModel &d = p.display;
    if (shift) {
        shiftOff(p);
        return Then::End;
    }
    if (s.MODE1 == u"CONTINU" || s.MODE1 == u"DIODE" || s.MODE1 == u"C" || s.MODE1 == u"F")
        return Then::End;
    if (d.isLit(Lamp::MIN_LAB) || d.isLit(Lamp::MAX_LAB) || d.isLit(Lamp::REL_LAB)) {
        // From here on values show scaled by the function, never as a count.
        p.controls.MATH_LAB_enabled = false;
        p.controls.touch();
        return orFailed(REL_2ND_ENTER(p), Then::End);
    }
    armLongPress(p.timers.ND2_Timer);
    if (d.isLit(Lamp::ND2_LAB)) {
        d.setLit(Lamp::ND2_LAB, false);
    } else if (!d.isLit(Lamp::AC_LAB1) || !d.isLit(Lamp::DC_LAB1)) {
        d.setLit(Lamp::ND2_LAB, true);
        s.ND2_VIEW = false;
    }
    for (const RateLamp &rate : kRateLamps)
        if (s.SPEED_CODE == QStringView(rate.code))
            d.setLit(rate.lamp, true);
    return Then::AfterKey;
}

Then dispatch(Panel &p, int key, const KeyHooks &hooks)
{
    const bool shift = p.display.isLit(Lamp::SHIFT_LAB);
    switch (Key(key)) {
    case ACV:
        return shift ? scannerKey(p, hooks) : functionKey(p, ACV_IMG_ENTER);
    case DCV:
        return shift ? scannerKey(p, hooks) : functionKey(p, DCV_IMG_ENTER);
    case ACI:
    case DCI:
    case W2W4:
    case Hz_P:
        if (shift) {
            shiftOff(p);
            return Then::AfterKey;
        }
        if (key == Hz_P) {
            const Then then = functionKey(p, Hz_P_IMG_ENTER);
            return then == Then::Failed ? Then::FailedGoOn : then;
        }
        return functionKey(p, key == ACI ? ACI_IMG_ENTER : key == DCI ? DCI_IMG_ENTER : W2W4_IMG_ENTER);
    case D_C:
        if (shift) {
            shiftOff(p);
            return Then::AfterKey;
        }
        return display1OnlyKey(p, DIOCON_IMG_ENTER, false);
    case T_CF:
        if (shift) {
            shiftOff(p);
            return orFailed(SENSOR_IMG_ENTER(p), Then::AfterKey);
        }
        return display1OnlyKey(p, CF_IMG_ENTER, true);
    case AUTO:
        return autoKey(p);
    case UP:
    case DOWN:
        if (shift) {
            shiftOff(p);
            return Then::End;
        }
        return orFailed(key == UP ? UP_IMG_ENTER(p) : DOWN_IMG_ENTER(p), Then::AfterKey);
    case HOLD:
        return holdKey(p, shift);
    case TRIG:
        return orFailed(TRIG_IMG_ENTER(p, hooks), Then::AfterKey);
    case REL:
        return relKey(p, shift);
    case MXMN:
        return maxMinKey(p, shift);
    case ND2:
        return secondKey(p, shift);
    }
    return Then::End;
}

} // namespace

void BUTT1_IMG_MouseDown(Panel &p, int Index, const KeyHooks &hooks, EventTime at)
{
    if (Index < 0 || Index >= kKeyCount)
        return;
    // While the scanner window holds the line a key changes nothing, on the
    // instrument or on the panel: one line says why.
    if (p.state.scanRunning) {
        p.status.append(QString::fromUtf16(shell::kScanRefusal));
        return;
    }
    // The long press counts from here, however long the key's work takes.
    if (Index == MXMN)
        p.timers.MXMN_Press.wentDown(at.value_or(rt::timerClockNow()));
    else if (Index == ND2)
        p.timers.ND2_Press.wentDown(at.value_or(rt::timerClockNow()));
    shell::PanelState &s = p.state;
    if (shell::instrumentStreaming(s)) {
        p.status.append(QString::fromUtf16(shell::kStreamingRefusal));
        return;
    }
    if (menuOpen(s) && (Index < AUTO || Index > TRIG))
        return;
    if (linkRefused(p))
        return rt::messageBox(QStringLiteral("Remote connection is not established"),
                              QStringLiteral("function error"), rt::MessageIcon::Critical);
    // The instrument's math channel back to display 1 before every key. With
    // no port open (demonstration readings) there is nobody to tell, and a
    // failure here ends nothing.
    if (p.link.isOpen())
        shell::send(p, QStringLiteral("syst:math:chan 0\\10"), shell::Sender::Always);

    display::DisplayModel::Batch batch(p.display);
    showPicture(p, Index, true);
    switch (dispatch(p, Index, hooks)) {
    case Then::End:
        return;
    case Then::Failed:
        return keyEnded(p, kKeyNames[Index]);
    case Then::FailedGoOn:
        keyEnded(p, kKeyNames[Index]);
        [[fallthrough]];
    case Then::AfterKey:
        afterKey(p);
        return;
    }
}

void BUTT1_IMG_MouseUp(Panel &p, int Index, EventTime at)
{
    // A key refused while the scanner window holds the line was never down.
    if (Index < 0 || Index >= kKeyCount || p.state.scanRunning)
        return;
    // ACV and DCV stay pressed until ACDC_Timer puts them back, unless SHIFT
    // made them the scanner keys.
    if (Index == ACV || Index == DCV) {
        if (!p.display.isLit(Lamp::SHIFT_LAB))
            return;
        shiftOff(p);
    }
    showPicture(p, Index, false);
    if (Index == HOLD)
        p.timers.HOLD_Timer.setEnabled(false);
    else if (Index == MXMN)
        MXMN_MouseUp(p, at.value_or(rt::timerClockNow()));
    else if (Index == ND2)
        ND2_MouseUp(p, at.value_or(rt::timerClockNow()));
}

void ACDC_Timer_Timer(Panel &p)
{
    p.timers.ACDC_Timer.setEnabled(false);
    for (int key : {ACV, DCV, ACI, DCI})
        p.controls.BUTT1_IMG[std::size_t(key)] = shell::keyPicture(key, false);
    p.controls.touch();
}

void connectKeyTimers(Panel &p)
{
    p.timers.ACDC_Timer.setHandler([&p] { ACDC_Timer_Timer(p); });
    p.timers.MXMN_Timer.setHandler([&p] { MXMN_Timer_Timer(p); });
    p.timers.ND2_Timer.setHandler([&p] { ND2_Timer_Timer(p); });
}

void afterKey(Panel &p)
{
    shell::SPEED_CHK(p);
    shell::rebuildSpeedList(p);
}

} // namespace keys
