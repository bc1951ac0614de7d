// The measurement run from START to its end: its checks, its start, the
// ticks that run the normal and fast loops or the demonstration, Stop,
// the test time's end and the end-of-run sequence.

#include "runs/run_control.h"

#include "display/glyph_words.h"
#include "core/panel.h"
#include "platform/dialogs.h"
#include "platform/runtime.h"
#include "reading/reply_parser.h"
#include "runs/fast_loop.h"
#include "runs/record_step.h"
#include "runs/normal_loop.h"
#include "runs/readings_table.h"
#include "runs/record_name.h"
#include "core/link_gate.h"
#include "shell/speed_check.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;
using display::Lamp;
using shell::RunPhase;

namespace runs {

namespace {

const QColor kRunningRed(255, 0, 0);

// The refusal when neither the instrument nor the demonstration is there.
// The bullet is the full-width full stop.
QString dataInputErrorText()
{
    const QStringList lines = {
        u"Please ensure that the DMM is:"_s,
        QString(),
        u"\uFF0E  Turned on"_s,
        u"\uFF0E  All leads and cables are properly connected"_s,
        u"\uFF0E  Remote connection has been established"_s,
        QString(),
        u"Or  "_s,
        QString(),
        u"\uFF0E  Select Random Data mode to enable software"_s,
        u"    demonstration mode"_s,
    };
    return lines.join(u"\r\n"_s) + u"\r\n"_s;
}

// The unit lamps of display 1 and the letters they add to the
// demonstration's range label, in this order.
struct UnitLetter
{
    Lamp lamp;
    const char16_t *letters;
};
constexpr UnitLetter kUnitLetters[] = {
    {Lamp::T_u_LAB1,   u"u"},
    {Lamp::T_min_LAB1, u"m"},
    {Lamp::T_K_LAB1,   u"K"},
    {Lamp::T_M_LAB1,   u"M"},
    {Lamp::T_V_LAB1,   u"V"},
    {Lamp::T_A_LAB1,   u"A"},
    {Lamp::T_S_LAB1,   u"S"},
    {Lamp::T_W_LAB1,   u"W"},
    {Lamp::T_C_LAB1,   u"C"},
    {Lamp::T_F_LAB1,   u"F"},
    {Lamp::T_R_LAB1,   u"Ohm"},
    {Lamp::T_Hz_LAB1,  u"Hz"},
};
// The two pictures that stand for a unit as well.
struct SymbolLetter
{
    display::Symbol symbol;
    const char16_t *letters;
};
constexpr SymbolLetter kSymbolLetters[] = {
    {display::Symbol::DIODE_IMG,   u"V"},
    {display::Symbol::CONTINU_IMG, u"Ohm"},
};
// The scale of decimal point i (1..5) of display 1.
constexpr const char16_t *kPointScales[] = {u"", u"1", u"10", u"100", u"1000", u"10000"};

// The longest a reading takes, in ms, at the slow, medium and fast rate,
// by kind of display-1 function: generous bounds, not the instrument's
// typical times. Without a lit rate lamp the slow rate counts.
struct ReadingBound
{
    const char16_t *functions;  // MODE1 codes, space-separated
    int slow, medium, fast;
};
constexpr ReadingBound kReadingBounds[] = {
    // functions                           S     M    F
    {u"ACV ACI",                           2500, 600, 100},
    {u"Hz P",                              1500, 200, 50},
    {u"DCV DCI 2W 4W DIODE CONTINU C F",   200,  50,  20},
};
// The filter averages up to this many readings; the panel does not know
// the count the instrument uses, so the largest counts.
constexpr int kLargestFilterCount = 100;

bool menuOpen(const shell::PanelState &s)
{
    return s.SENSOR_SET || s.FILT_SET || s.COMP_SET;
}

void setLoadEnabled(RunContext &r, bool enabled)
{
    emit r.events.loadButtonEnabled(enabled);
}

// The sample interval the run uses is the list's: SPEED_MS follows its text,
// or, when the text is no interval, the list's first entry.
bool takeSampleInterval(Panel &p)
{
    shell::ListControl &list = p.controls.Speed_TIME;
    auto usable = [](const QString &text) {
        const std::optional<double> ms = rt::toNumber(text);
        return ms && *ms > 0 && rt::roundToWhole(*ms).value_or(0) > 0;
    };
    QString text = rt::trimSpaces(list.text);
    if (!usable(text)) {
        const auto first = std::find_if(list.items.cbegin(), list.items.cend(), usable);
        if (first == list.items.cend())
            return false;
        text = *first;
    }
    shell::setSampleInterval(p, text);
    return p.state.SPEED_MS > 0;
}

qint32 secondsSinceMidnight(const QDateTime &when)
{
    const double seconds = when.time().msecsSinceStartOfDay() / 1000.0;
    return rt::roundToWhole(seconds).value_or(0);
}

void startRunClock(RunContext &r)
{
    r.panel.state.START_SECS = secondsSinceMidnight(r.clock.wallNow());
    r.startedAt = r.clock.monotonic();
}

// The panel back at rest after a run, or after a START that could not
// start one.
void restPanel(RunContext &r)
{
    Panel &p = r.panel;
    p.controls.START_TEXT_color = Qt::black;
    p.controls.START_TEXT = u"START"_s;
    p.timers.READ_Timer.setEnabled(false);
    p.timers.STOP_Timer.setEnabled(false);
    p.state.READ_PAUSED = false;
    setLoadEnabled(r, true);
    p.state.TEST_TIME = 0;
    p.display.setLit(Lamp::RMT_LAB, false);
    p.controls.SAVE_CHK.enabled = true;
    if (!p.state.REMOTE_OK)
        p.controls.CHK_COM_TF.enabled = true;
    p.controls.touch();
}

QString endText(RunEnd end, const QString &why)
{
    switch (end) {
    case RunEnd::TimedOut:
        return u"The run has ended: three readings in a row did not come (%1)."_s.arg(why);
    case RunEnd::TooSlow:
        return u"The run has ended: the instrument takes longer than the reading bound (%1) to "
               u"answer, so its readings came too late for their queries. Choose a faster rate, "
               u"a shorter filter or a longer interval."_s.arg(why);
    case RunEnd::LineLost:
        return u"The run has ended: the line to the instrument was lost (%1)."_s.arg(why);
    case RunEnd::RecordingFailed:
        return u"The run has ended: the recorded-data file could not be written (%1)."_s.arg(why);
    case RunEnd::TimeUp:
    case RunEnd::Stopped:
        break;
    }
    return {};
}

// The end-of-run sequence: the panel at rest, the instrument back in local
// operation, the file closed; a run that failed says why.
void endOfRun(RunContext &r, RunEnd end)
{
    Panel &p = r.panel;
    p.state.runPhase = RunPhase::Ending;
    r.recorder.close();
    r.recorder.removeIfNoRecord();
    restPanel(r);
    if (!r.programEnding)
        shell::send(p, u"SYST:LOC\\10"_s);
    p.state.runPhase = RunPhase::Idle;
    const QString text = endText(end, r.endWhy);
    r.endWhy.clear();
    if (text.isEmpty())
        return;
    p.status.append(text);
    if (!r.programEnding) {
        QString more;
        if (p.controls.SAVE_CHK.checked && !r.recorder.path().isEmpty())
            more = u"\r\nThe readings recorded up to here are in %1"_s.arg(r.recorder.path());
        rt::messageBox(text + more, u"Run ended"_s, rt::MessageIcon::Exclamation);
    }
}

// A START that could not start its run: said, and the panel back at rest.
void failedStart(RunContext &r, const QString &why)
{
    r.panel.state.runPhase = RunPhase::Idle;
    restPanel(r);
    rt::messageBox(u"The recorded-data file cannot be created:\r\n%1"_s.arg(why), u"Start Error"_s,
                   rt::MessageIcon::Critical);
}

// START while a run goes on, or the notice window's Stop. A demonstration
// run (or a run whose loop has not begun) ends here; a loop ends after its
// present pass or block and then runs the end-of-run sequence.
void stopRun(RunContext &r)
{
    Panel &p = r.panel;
    const RunPhase phase = p.state.runPhase;
    p.controls.START_TEXT_color = Qt::black;
    p.controls.START_TEXT = u"START"_s;
    p.timers.READ_Timer.setEnabled(false);
    p.timers.STOP_Timer.setEnabled(false);
    setLoadEnabled(r, true);
    p.state.TEST_TIME = 0;
    // While the instrument streams a block nothing goes out: the end of the
    // fast run returns it to local operation once the block is in.
    if (phase != RunPhase::FastLoop)
        shell::send(p, u"SYST:LOC\\10"_s);
    p.display.setLit(Lamp::RMT_LAB, false);
    p.controls.SAVE_CHK.enabled = true;
    if (!p.state.REMOTE_OK)
        p.controls.CHK_COM_TF.enabled = true;
    p.controls.touch();
    if (phase == RunPhase::Timed) {
        r.recorder.close();
        p.state.runPhase = RunPhase::Idle;
    }
}

void startRun(RunContext &r)
{
    Panel &p = r.panel;
    shell::PanelState &s = p.state;
    shell::PanelControls &c = p.controls;
    s.READ_PAUSED = false;
    p.display.setLit(Lamp::RMT_LAB, true);
    if (p.display.isLit(Lamp::EXT_LAB)) {
        shell::send(p, u"trig:sour int\\10"_s);
        p.display.setLit(Lamp::EXT_LAB, false);
    }

    // The record name: OK records under it, Cancel runs without a file.
    if (!waitForRecordName(r))
        return;

    c.START_TEXT = u"Logging"_s;
    c.START_TEXT_color = kRunningRed;
    c.touch();
    r.settings = runSettings(p);
    if (r.settings.saving) {
        QString why;
        if (!r.recorder.create(&why))
            return failedStart(r, why);
    }

    s.TEST_TIME = 0;
    s.ELAPSED_SECS = 0;
    startRunClock(r);
    r.timeoutsInRow = 0;
    r.endWhy.clear();
    emit r.events.graphCleared();

    p.timers.READ_Timer.setEnabled(true);
    p.timers.READ_Timer.setInterval(s.SPEED_MS > 65535 ? 1000 : s.SPEED_MS);
    p.timers.STOP_Timer.setInterval(1000);
    p.timers.STOP_Timer.setEnabled(true);
    setLoadEnabled(r, false);
    s.TEST_TIME = r.settings.length;

    p.status.clear();
    p.status.append(u"TEST Speed: "_s + r.settings.intervalText + u" milliseconds"_s);
    p.status.append(QString());
    if (s.TEST_TIME == shell::kContinuousRun)
        p.status.append(u"Test time : Continuous"_s);
    else
        p.status.append(u"Test time : "_s + r.settings.testTimeText + u" minutes"_s);

    c.CHK_COM_TF.enabled = false;
    c.SAVE_CHK.enabled = false;
    c.touch();
    s.runPhase = RunPhase::Timed;
}

// One demonstration reading a tick, plotted and recorded by the graph.
void demonstrationTick(RunContext &r, Nanos tickStart)
{
    Panel &p = r.panel;
    reading::RANDOM_READ_SHOW(p);
    if (!SHOW_Graph(r))
        return endOfRun(r, recordingFailed(r, u"see the status log"_s));
    const qint64 tickMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(r.clock.monotonic() - tickStart).count();
    p.timers.READ_Timer.setInterval(demonstrationInterval(tickMs, p.state.SPEED_MS));
}

void runNormal(RunContext &r)
{
    Panel &p = r.panel;
    p.timers.READ_Timer.setEnabled(false);
    p.timers.STOP_Timer.setEnabled(false);
    startRunClock(r);
    p.link.setExpectedReadingTime(expectedReadingTime(p));
    p.state.runPhase = RunPhase::NormalLoop;
    double length = p.state.TEST_TIME;
    const RunEnd end = LOG_LOOP_NORMAL(r, length);
    p.state.runPhase = RunPhase::Ending;
    if (!r.programEnding)
        shell::SPEED_CHK(p);
    endOfRun(r, end);
}

// Display 2 goes off for the fast run: the instrument samples display 1 only.
void display2Off(RunContext &r)
{
    Panel &p = r.panel;
    shell::PanelState &s = p.state;
    s.MODE2_ON = false;
    if (s.REMOTE_OK) {
        shell::send(p, u"SENS:FUNC2 \"NON\"\r\n"_s);
        shell::ask(p, u"CONF2:FUNC?\\10"_s);
        shell::send(p, u"conf2:off\\10"_s);
        display::ClearSHOW2(p.display);
    }
    s.MODE2.clear();
    s.MODE2_RANGE.clear();
    s.DISPLAY2.clear();
    s.MODE2_ON = false;
    p.display.setLit(Lamp::ND2_LAB, false);
    p.timers.ND2_Timer.setEnabled(false);
}

void runFast(RunContext &r)
{
    Panel &p = r.panel;
    p.timers.READ_Timer.setEnabled(false);
    display2Off(r);
    startRunClock(r);
    fillNotice(r);
    p.link.setExpectedReadingTime(expectedReadingTime(p));
    p.state.runPhase = RunPhase::FastLoop;
    double length = p.state.TEST_TIME;
    const RunEnd end = LOG_LOOP_FAST(r, length);
    p.state.runPhase = RunPhase::Ending;
    r.notice.shown = false;
    r.notice.touch();
    if (end != RunEnd::LineLost) {
        if (!r.programEnding)
            shell::SPEED_CHK(p);
        // The display comes back on, and a later "val1?" (the REL key) gets
        // one value again, not a block.
        shell::send(p, u"SYST:DISP ON\r\n"_s, shell::Sender::Always);
        shell::send(p, u"sample:count 1\r\n"_s, shell::Sender::Always);
    }
    p.timers.STOP_Timer.setEnabled(false);
    endOfRun(r, end);
}

} // namespace

RunContext::RunContext(Panel &p, ReadingsTableModel &t, RunClock &c)
    : panel(p), table(t), clock(c), recorder(p.state, &p.status, [&c] { return c.wallNow(); })
{
}

void connectRunTimers(RunContext &r)
{
    r.panel.timers.READ_Timer.setHandler([&r] { READ_Timer_Timer(r); });
    r.panel.timers.STOP_Timer.setHandler([&r] { STOP_Timer_Timer(r); });
}

void START_IMG_MouseDown(RunContext &r)
{
    Panel &p = r.panel;
    shell::PanelState &s = p.state;
    // While the scanner window holds the line the two would cross each
    // other's replies on it. One status line, no box: the scan goes on
    // meanwhile.
    if (s.scanRunning) {
        p.status.append(QString::fromUtf16(shell::kScanRefusal));
        return;
    }
    if (menuOpen(s))
        return;
    switch (s.runPhase) {
    case RunPhase::Naming:
        return openNameBox(r);  // the box that waits comes forward again
    case RunPhase::Ending:
        return;
    case RunPhase::NormalLoop:
    case RunPhase::FastLoop:
        if (s.TEST_TIME == 0)
            return;  // the loop is unwinding already
        break;
    case RunPhase::Idle:
    case RunPhase::Timed:
        break;
    }
    p.controls.START_IMG = u"START_BUTT2.BMP"_s;
    s.READ_OK = true;
    p.controls.touch();
    // A message box takes the mouse's release: the key is let go first, so
    // it is never left drawn pressed.
    auto refuse = [&r](const QString &text, const QString &title) {
        START_IMG_MouseUp(r);
        rt::messageBox(text, title, rt::MessageIcon::Critical);
    };
    if (p.controls.CHK_COM_TF.enabled && !p.controls.CHK_COM_TF.checked)
        return refuse(dataInputErrorText(), u"Data Input Error"_s);
    if (s.runPhase != RunPhase::Idle)
        return stopRun(r);
    if (s.MODE1.isEmpty())
        return refuse(u"Please select a measurement function"_s, u"Start Error"_s);
    if (!takeSampleInterval(p))
        return refuse(u"Please select a sample interval"_s, u"Start Error"_s);
    // A run on a line known to be gone would only make an empty file.
    if (!p.controls.Ran_CHK.checked && !p.link.isOpen())
        return refuse(u"The line to the instrument is down: %1"_s.arg(
                          p.link.lastErrorText().isEmpty() ? u"the serial port is not open."_s
                                                           : p.link.lastErrorText()),
                      u"Start Error"_s);
    startRun(r);
}

void START_IMG_MouseUp(RunContext &r)
{
    r.panel.controls.START_IMG = u"START_BUTT1.BMP"_s;
    r.panel.controls.touch();
}

void READ_Timer_Timer(RunContext &r)
{
    Panel &p = r.panel;
    // Only a run that waits for its ticks takes one: a tick left over after
    // a run, or one a key re-armed while a loop runs, starts nothing.
    if (p.state.runPhase != RunPhase::Timed) {
        p.timers.READ_Timer.setEnabled(false);
        return;
    }
    const Nanos tickStart = r.clock.monotonic();
    updateElapsed(r);
    const bool demonstration = p.controls.Ran_CHK.checked;
    if (demonstration)
        p.state.MODE1_RANGE = demonstrationRange(p.display, p.state.MODE1_RANGE);
    p.display.setLit(Lamp::START_LAB, !p.display.isLit(Lamp::START_LAB));
    if (demonstration)
        return demonstrationTick(r, tickStart);
    if (r.settings.fast)
        return runFast(r);
    runNormal(r);
}

void STOP_Timer_Timer(RunContext &r)
{
    Panel &p = r.panel;
    const RunPhase phase = p.state.runPhase;
    if (phase != RunPhase::Timed && phase != RunPhase::NormalLoop && phase != RunPhase::FastLoop) {
        p.timers.STOP_Timer.setEnabled(false);
        return;
    }
    updateElapsed(r);
    // The loops end on their own time, after a whole pass or block.
    if (phase != RunPhase::Timed)
        return;
    if (p.state.TEST_TIME == shell::kContinuousRun || p.state.TEST_TIME > p.state.ELAPSED_SECS)
        return;
    endOfRun(r, RunEnd::TimeUp);
}

void Form1_Command1_Click(RunContext &r)
{
    stopRun(r);
    r.panel.state.READ_OK = true;
    r.notice.shown = false;
    r.notice.touch();
}

void programEnding(RunContext &r)
{
    r.programEnding = true;
    r.panel.state.TEST_TIME = 0;
    r.panel.state.NAME_DONE = true;
    if (r.panel.state.runPhase == RunPhase::Timed || r.panel.state.runPhase == RunPhase::Idle) {
        r.panel.timers.READ_Timer.setEnabled(false);
        r.panel.timers.STOP_Timer.setEnabled(false);
        r.recorder.close();
        r.panel.state.runPhase = RunPhase::Idle;
    }
}

double runLength(QStringView TEST_TIME_TEXT)
{
    const QString text = rt::trimSpaces(TEST_TIME_TEXT);
    if (text.isEmpty())
        return 0;
    if (text == u"Continuous")
        return shell::kContinuousRun;
    return rt::leadingNumber(text) * 60;
}

bool isFastInterval(double intervalMs)
{
    return intervalMs < kFastBelowMs;
}

RunSettings runSettings(const Panel &p)
{
    const shell::PanelControls &c = p.controls;
    RunSettings settings;
    settings.intervalText = rt::trimSpaces(c.Speed_TIME.text);
    settings.intervalMs = rt::leadingNumber(settings.intervalText);
    settings.fast = isFastInterval(settings.intervalMs);
    settings.testTimeText = c.CONT_TIME_LIST.text;
    settings.length = runLength(p.state.SETTING.TEST_TIME_TEXT);
    settings.every = recordEvery(p.state.SETTING.REC_EVERY);
    settings.saving = c.SAVE_CHK.checked;
    return settings;
}

int demonstrationInterval(qint64 tickMs, qint32 SPEED_MS)
{
    if (tickMs <= 0 || tickMs > SPEED_MS)
        return SPEED_MS;
    if (tickMs == SPEED_MS)
        return 10;
    return int(SPEED_MS - tickMs);
}

QString demonstrationRange(const display::DisplayModel &display, const QString &MODE1_RANGE)
{
    QString range = MODE1_RANGE;
    for (int i = 1; i <= 5; ++i) {
        if (!display.isLit(display::Points::DROP_IMG, i))
            continue;
        range = QString::fromUtf16(kPointScales[i]);
        for (const UnitLetter &unit : kUnitLetters)
            if (display.isLit(unit.lamp))
                range += QString::fromUtf16(unit.letters);
        for (const SymbolLetter &unit : kSymbolLetters)
            if (display.isLit(unit.symbol))
                range += QString::fromUtf16(unit.letters);
    }
    return range;
}

std::chrono::milliseconds expectedReadingTime(const Panel &p)
{
    const ReadingBound *bound = &kReadingBounds[0];  // an unknown function: the slowest kind
    for (const ReadingBound &row : kReadingBounds) {
        if (QStringView(row.functions).split(u' ').contains(QStringView(p.state.MODE1))) {
            bound = &row;
            break;
        }
    }
    int each = bound->slow;
    if (p.display.isLit(Lamp::F_LAB))
        each = bound->fast;
    else if (p.display.isLit(Lamp::M_LAB))
        each = bound->medium;
    if (p.display.isLit(Lamp::FILT_LAB))
        each *= kLargestFilterCount;
    return std::chrono::milliseconds(each);
}

void updateElapsed(RunContext &r)
{
    const double elapsed = seconds(r.clock.monotonic() - r.startedAt);
    r.panel.state.ELAPSED_SECS = rt::roundToWhole(std::max(elapsed, 0.0)).value_or(0);
}

std::optional<RunEnd> noReading(RunContext &r, const QString &elapsed)
{
    Panel &p = r.panel;
    const shell::LinkError error = p.link.lastError();
    if (error == shell::LinkError::LineLost || error == shell::LinkError::NotOpen)
        return lineGone(r);
    ++r.timeoutsInRow;
    p.status.append(u"No reading at %1: %2"_s.arg(elapsed, p.link.lastErrorText()));
    if (r.timeoutsInRow < 3)
        return std::nullopt;
    if (p.link.lateRepliesDropped() > r.lateAtLastReading) {
        r.endWhy = rt::numberText(double(p.link.readingBound().count()) / 1000.0) + u" s"_s;
        return RunEnd::TooSlow;
    }
    r.endWhy = p.link.lastErrorText();
    return RunEnd::TimedOut;
}

void readingCame(RunContext &r)
{
    r.timeoutsInRow = 0;
    r.lateAtLastReading = r.panel.link.lateRepliesDropped();
}

bool hasDisplay1Value(QStringView reply)
{
    const qsizetype comma = reply.indexOf(u',');
    return rt::toNumber(comma < 0 ? reply : reply.left(comma)).has_value();
}

std::optional<RunEnd> readingWithoutValue(RunContext &r, const QString &elapsed, const QString &reply)
{
    Panel &p = r.panel;
    ++r.timeoutsInRow;
    QString shown = reply;
    shown.remove(u'\r');
    p.status.append(u"No reading at %1: the reply \"%2\" holds no value; nothing recorded"_s
                        .arg(elapsed, shown));
    if (r.timeoutsInRow < 3)
        return std::nullopt;
    r.endWhy = u"the last reply was \"%1\""_s.arg(shown);
    return RunEnd::TimedOut;
}

RunEnd lineGone(RunContext &r)
{
    Panel &p = r.panel;
    r.endWhy = p.link.lastErrorText();
    // Nothing more can go out: the link has to be tested again first.
    if (!p.link.isOpen())
        p.state.REMOTE_OK = false;
    return RunEnd::LineLost;
}

RunEnd recordingFailed(RunContext &r, const QString &why)
{
    r.endWhy = why;
    return RunEnd::RecordingFailed;
}

} // namespace runs
