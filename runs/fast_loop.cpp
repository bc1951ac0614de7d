#include "runs/fast_loop.h"

#include "core/link_gate.h"
#include "core/panel.h"
#include "runs/record_step.h"
#include "platform/runtime.h"

#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace runs {

namespace {

// The rate command by function: integration over one power-line cycle for
// 60 samples a second, two for 30; the AC functions have only their fast
// rate, and only the slower interval suits it.
struct FastRateRow
{
    const char16_t *mode;
    const char16_t *at60;  // below 17 ms
    const char16_t *at30;  // 17 ms up to 35 ms
};
constexpr FastRateRow kFastRates[] = {
    {u"DCV", u"SENS:VOLT:DC:NPLC 1", u"SENS:VOLT:DC:NPLC 2"},
    {u"DCI", u"SENS:CURR:DC:NPLC 1", u"SENS:CURR:DC:NPLC 2"},
    {u"2W",  u"SENS:RES:DC:NPLC 1",  u"SENS:RES:DC:NPLC 2"},
    {u"4W",  u"SENS:FRES:DC:NPLC 1", u"SENS:FRES:DC:NPLC 2"},
    {u"ACV", nullptr,                u"sens:det:rate F"},
    {u"ACI", nullptr,                u"sens:det:rate F"},
};
constexpr double kSixtyBelowMs = 17;

constexpr auto kBlockPeriod = std::chrono::seconds(1);

QString dateTimeDashes(const QDateTime &when)
{
    return when.toString(u"yyyy-MM-dd-HH:mm:ss"_s);
}

bool writeLine(Panel &p, const QString &command)
{
    return shell::send(p, command + u"\r\n"_s, shell::Sender::Run);
}

// One block: N values, each recorded as it came. Values that do not come
// end the block (the instrument's stream is broken; what is left of it is
// dropped); a value that is no number is skipped. Both count as lost. A stop
// ends the block at once.
std::optional<RunEnd> fastBlock(RunContext &r, int samples, qint64 block, qint64 &completed,
                                qint64 &lost)
{
    Panel &p = r.panel;
    shell::PanelState &s = p.state;
    if (!writeLine(p, u"sample:count %1"_s.arg(samples)) || !writeLine(p, u"val1?"_s))
        return lineGone(r);
    for (int k = 1; k <= samples; ++k) {
        const std::optional<QString> reply = p.link.Read();
        if (!reply) {
            updateElapsed(r);
            const QString elapsed = formats::elapsedText(s.ELAPSED_SECS);
            lost += samples - k + 1;
            p.status.append(u"Block %1: samples %2 to %3 lost (%4 lost in all)"_s
                                .arg(block).arg(k).arg(samples).arg(lost));
            const std::optional<RunEnd> end = noReading(r, elapsed);
            if (end != RunEnd::LineLost)
                p.link.discardUntilQuiet();
            return end;
        }
        readingCame(r);
        // The reply holds one value and its CR: the value is what stands
        // before it, exactly as received. A value cut short and run into the
        // next is no number and never becomes a record.
        const QString value = reply->left(reply->indexOf(u'\r'));
        if (!rt::toNumber(value)) {
            ++lost;
            p.status.append(u"Block %1: sample %2 is no value (\"%3\"): not recorded (%4 lost in all)"_s
                                .arg(block).arg(k).arg(value).arg(lost));
        } else {
            s.DISPLAY1 = value;
            updateElapsed(r);
            const QString elapsed = formats::elapsedText(s.ELAPSED_SECS);
            ++completed;
            if (const std::optional<RunEnd> failed = recordStep(r, elapsed, StepRows::None))
                return failed;
        }
        letEventsRun();
        if (s.TEST_TIME == 0 || r.programEnding) {
            // The instrument streams the rest of the block: nobody reads it.
            if (k < samples)
                p.link.discardUntilQuiet();
            return RunEnd::Stopped;
        }
    }
    return std::nullopt;
}

} // namespace

FastSetup fastSetup(QStringView MODE1, double intervalMs)
{
    const bool sixty = intervalMs < kSixtyBelowMs;
    FastSetup setup{sixty ? 60 : 30, {}};
    for (const FastRateRow &row : kFastRates) {
        if (MODE1 == QStringView(row.mode)) {
            const char16_t *command = sixty ? row.at60 : row.at30;
            if (command)
                setup.rateCommand = QString::fromUtf16(command);
        }
    }
    return setup;
}

void fillNotice(RunContext &r)
{
    const Panel &p = r.panel;
    const shell::PanelState &s = p.state;
    const QString &interval = r.settings.intervalText;
    const QDateTime now = r.clock.wallNow();
    FastNotice &n = r.notice;
    n.Label2 = formats::recordPath(s.LOG_NAME, s.FILE_STAMP);
    n.Label4 = dateTimeDashes(now);
    if (s.TEST_TIME == shell::kContinuousRun) {
        n.Label6 = u"Until you press the Stop button"_s;
        n.Label9 = u"Continuous"_s;
    } else {
        n.Label6 = dateTimeDashes(now.addMSecs(qint64(std::llround(s.TEST_TIME * 1000))));
        const double ms = r.settings.intervalMs;
        n.Label9 = QString::number(ms > 0 ? std::llround(s.TEST_TIME * 1000 / ms) : 0);
    }
    n.Label10 = u"0"_s;
    n.lostSamples = u"0"_s;
    n.Label12 = interval + u" ms"_s;
    n.shown = true;
    n.touch();
}

RunEnd LOG_LOOP_FAST(RunContext &r, double &length)
{
    Panel &p = r.panel;
    shell::PanelState &s = p.state;
    const FastSetup setup = fastSetup(s.MODE1, r.settings.intervalMs);
    bool sent = writeLine(p, u"SENS:FUNC2 \"NON\""_s);
    if (sent && !setup.rateCommand.isEmpty())
        sent = writeLine(p, setup.rateCommand);
    for (const char16_t *command : kFastSetup)
        sent = sent && writeLine(p, QString::fromUtf16(command));
    if (!sent)
        return lineGone(r);

    const Nanos start = r.clock.monotonic();
    Nanos blockStart = start;
    // Nothing is created while not saving.
    QString why;
    if (!r.recorder.openForRun(r.settings.saving, &why))
        return recordingFailed(r, why);
    if (s.TEST_TIME == shell::kContinuousRun)
        length = kLongestRunSecs;
    const QString expected = rt::trimSpaces(r.notice.Label9);
    auto stopRequested = [&] { return s.TEST_TIME == 0 || r.programEnding; };

    qint64 blocks = 0;
    qint64 completed = 0;
    qint64 lost = 0;
    RunEnd end = RunEnd::TimeUp;
    for (;;) {
        if (!waitUntil(r.clock, blockStart + kBlockPeriod, stopRequested)) {
            end = RunEnd::Stopped;
            break;
        }
        ++blocks;
        blockStart = r.clock.monotonic();
        const std::optional<RunEnd> failed = fastBlock(r, setup.samples, blocks, completed, lost);
        // Samples completed are the samples that came and were counted.
        r.notice.Label10 = QString::number(completed);
        r.notice.lostSamples = QString::number(lost);
        r.notice.touch();
        if (failed) {
            end = *failed;
            break;
        }
        if (r.notice.Label10 == expected)
            break;
        letEventsRun();
        if (stopRequested()) {
            end = RunEnd::Stopped;
            break;
        }
        if (seconds(blockStart - start) >= length)
            break;
    }
    if (lost > 0)
        p.status.append(u"Fast run: %1 of %2 samples lost"_s.arg(lost).arg(completed + lost));
    r.recorder.close();
    return end;
}

} // namespace runs
