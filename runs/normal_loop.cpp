#include "runs/normal_loop.h"

#include "core/link_gate.h"
#include "core/panel.h"
#include "platform/runtime.h"
#include "reading/reply_parser.h"
#include "runs/record_step.h"

#include <optional>

using namespace Qt::StringLiterals;
using display::Lamp;

namespace runs {

namespace {

using display::DisplayModel;

bool menuOpen(const shell::PanelState &s)
{
    return s.SENSOR_SET || s.FILT_SET || s.COMP_SET;
}

// While a set-up menu is open the displays are the menu's, and a reading
// drawn there would spoil what it edits. The readings then go to a copy of
// the measurement display as it stood before the menu opened, so they are
// interpreted, listed and recorded exactly as without the menu.
class MeasurementView
{
public:
    explicit MeasurementView(Panel &p)
        : m_panel(p), m_aside{p.state, m_copy, p.link, p.status, p.timers, p.controls}
    {
    }

    // Follows the panel's display while no menu is open (called as events
    // run, so the copy is at most one turn of the events old).
    void follow()
    {
        if (menuOpen(m_panel.state) || m_panel.display.revision() == m_copied)
            return;
        m_copy.showSame(m_panel.display);
        m_copied = m_panel.display.revision();
    }

    // Where the next pass draws.
    Panel &panel()
    {
        follow();
        return menuOpen(m_panel.state) ? m_aside : m_panel;
    }

private:
    Panel &m_panel;
    DisplayModel m_copy;
    Panel m_aside;
    quint64 m_copied = ~quint64(0);
};

// One pass: query, reading, table row, record, roll-over. A pass that gets
// no reading uses no record number.
std::optional<RunEnd> normalPass(RunContext &r, MeasurementView &view)
{
    Panel &p = view.panel();
    shell::PanelState &s = p.state;
    // With MAX or MIN lit the instrument answers one value; the "," makes it
    // the display-1 field of the reply.
    const bool extreme = p.display.isLit(Lamp::MAX_LAB) || p.display.isLit(Lamp::MIN_LAB);
    const QString query = p.display.isLit(Lamp::MAX_LAB)   ? u"CALC:MAX?\r\n"_s
                          : p.display.isLit(Lamp::MIN_LAB) ? u"CALC:MIN?\r\n"_s
                                                           : u"read? buf\\10"_s;
    if (!shell::send(p, query, shell::Sender::Run))
        return lineGone(r);
    updateElapsed(r);
    const QString elapsed = formats::elapsedText(s.ELAPSED_SECS);
    // The reply is always read, recorded or not, so it never answers the
    // next query.
    const std::optional<QString> reply = p.link.Read();
    if (!reply)
        return noReading(r, elapsed);
    const QString replyText = extreme ? *reply + u',' : *reply;
    if (!hasDisplay1Value(replyText))
        return readingWithoutValue(r, elapsed, *reply);
    readingCame(r);

    s.DISPLAY1 = replyText;
    reading::READ_SHOW_PARSE(view.panel());  // a menu may have opened while the reply came
    return recordStep(r, elapsed, StepRows::Loop);
}

} // namespace

RunEnd LOG_LOOP_NORMAL(RunContext &r, double &length)
{
    Panel &p = r.panel;
    shell::PanelState &s = p.state;
    const Nanos interval = std::chrono::duration_cast<Nanos>(
        std::chrono::duration<double, std::milli>(r.settings.intervalMs));
    p.timers.READ_Timer.setInterval(200);
    p.timers.READ_Timer.setEnabled(false);
    p.timers.STOP_Timer.setEnabled(false);

    for (const char16_t *command : kNormalSetup) {
        if (!shell::send(p, QString::fromUtf16(command), shell::Sender::Run))
            return lineGone(r);
    }
    QString why;
    if (!r.recorder.openForRun(r.settings.saving, &why))
        return recordingFailed(r, why);

    const Nanos start = r.clock.monotonic();
    Nanos passStart = start;
    if (s.TEST_TIME == shell::kContinuousRun)
        length = kLongestRunSecs;
    MeasurementView view(p);
    auto stopRequested = [&] {
        view.follow();
        return s.TEST_TIME == 0 || r.programEnding;
    };

    RunEnd end = RunEnd::TimeUp;
    for (;;) {
        const Nanos deadline = passStart + interval;
        if (!waitUntil(r.clock, deadline, stopRequested)) {
            end = RunEnd::Stopped;
            break;
        }
        passStart = r.clock.monotonic();
        if (r.passBegan)
            r.passBegan(passStart - deadline);
        if (const std::optional<RunEnd> failed = normalPass(r, view)) {
            end = *failed;
            break;
        }
        letEventsRun();
        if (stopRequested()) {
            end = RunEnd::Stopped;
            break;
        }
        if (seconds(passStart - start) >= length)
            break;
    }
    r.recorder.close();
    return end;
}

} // namespace runs
