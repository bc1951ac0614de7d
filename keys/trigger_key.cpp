#include "keys/trigger_key.h"

#include "core/panel.h"
#include "keys/key_exchange.h"
#include "keys/menu_cursor.h"
#include "platform/runtime.h"
#include "platform/time_of_day.h"
#include "reading/reply_parser.h"
#include "runs/run_control.h"


namespace keys {

namespace {

using display::Lamp;

constexpr double kSecondsPerDay = 86400;
const QColor kRunningRed(255, 0, 0);

bool toExternal(Panel &p)
{
    shell::PanelState &s = p.state;
    s.ELAPSED_SECS = 0;
    s.extTriggerOrigin = rt::secondsSinceMidnight();
    p.display.setLit(Lamp::EXT_LAB, true);
    if (!keySend(p, QStringLiteral("trig:sour ext\\10")))
        return false;
    s.extStoppedRun = false;
    if (!p.timers.READ_Timer.isEnabled())
        return true;
    p.timers.READ_Timer.setEnabled(false);
    p.timers.STOP_Timer.setEnabled(false);
    s.extStoppedRun = true;
    p.controls.START_TEXT_color = Qt::black;
    p.controls.touch();
    // Replies of the run's last queries may still come: they go, without
    // waiting for any that will not.
    if (s.REMOTE_OK)
        p.link.discardUntilQuiet();
    return true;
}

bool toInternal(Panel &p)
{
    shell::PanelState &s = p.state;
    p.display.setLit(Lamp::EXT_LAB, false);
    s.extTriggerOrigin = -1;
    if (!keySend(p, QStringLiteral("trig:sour int\\10")))
        return false;
    // Only the run the switch to external stopped goes on, and only while it
    // still waits for its ticks: an idle panel starts no run.
    const bool resume = s.extStoppedRun && s.runPhase == shell::RunPhase::Timed;
    s.extStoppedRun = false;
    if (!resume || p.timers.READ_Timer.isEnabled())
        return true;
    p.timers.READ_Timer.setEnabled(true);
    p.timers.STOP_Timer.setEnabled(true);
    p.controls.START_TEXT_color = kRunningRed;
    p.controls.touch();
    return true;
}

// One reading: shown, then recorded at the seconds since the trigger
// became external.
bool trigger(Panel &p, const KeyHooks &hooks)
{
    shell::PanelState &s = p.state;
    if (p.controls.Ran_CHK.checked) {
        // The range a demonstration run's tick takes, so that in auto range
        // too the reading is a random value on a real range.
        s.MODE1_RANGE = runs::demonstrationRange(p.display, s.MODE1_RANGE);
        reading::RANDOM_READ_SHOW(p);
    } else {
        if (!reading::TRIG_READ_SHOW(p)) {
            const QString why = p.link.lastErrorText();
            p.status.append(QStringLiteral("TRIG key: no reading came%1; nothing was recorded.")
                                .arg(why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why)));
            return true;
        }
        p.display.setLit(Lamp::START_LAB, !p.display.isLit(Lamp::START_LAB));
    }
    const double now = rt::secondsSinceMidnight();
    // The identification found the external trigger lit: it begins now.
    if (s.extTriggerOrigin < 0)
        s.extTriggerOrigin = now;
    s.ELAPSED_SECS = secondsSinceTrigger(s.extTriggerOrigin, now);
    if (hooks.recordTriggered)
        hooks.recordTriggered();  // a failed record has said why in the status log
    return true;
}

} // namespace

bool TRIG_IMG_ENTER(Panel &p, const KeyHooks &hooks)
{
    if (menuTakesCursor(p))
        return moveMenuCursor(p, Cursor::Right);
    display::DisplayModel::Batch batch(p.display);
    if (p.display.isLit(Lamp::SHIFT_LAB)) {
        p.display.setLit(Lamp::SHIFT_LAB, false);
        return p.display.isLit(Lamp::EXT_LAB) ? toInternal(p) : toExternal(p);
    }
    if (!p.display.isLit(Lamp::EXT_LAB))
        return true;
    return trigger(p, hooks);
}

int secondsSinceTrigger(double origin, double now)
{
    const qint32 span = rt::roundToWhole(now - origin).value_or(0);
    if (span >= 0)
        return span;
    return rt::roundToWhole(now + kSecondsPerDay - origin).value_or(0);
}

} // namespace keys
