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

// One pass: query, reading, table row, record, roll-over. A pass that gets
// no reading uses no record number.
std::optional<RunEnd> normalPass(RunContext &r)
{
    Panel &p = r.panel;
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
    reading::READ_SHOW_PARSE(p);
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
    auto stopRequested = [&] { return s.TEST_TIME == 0 || r.programEnding; };

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
        if (const std::optional<RunEnd> failed = normalPass(r)) {
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
