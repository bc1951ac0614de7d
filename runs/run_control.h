#pragma once
// The measurement run of the START key: the record-name box, the run clock,
// READ_Timer (the run driver) and STOP_Timer (the test time), the status
// lines, the demonstration tick and every way a run ends.
//
// A run holds one of the phases of shell::RunPhase, kept in the panel's
// state so that every other part of the program can see whether the
// instrument is streaming. The phase, not the colour of START_TEXT, decides
// what START does: a press while the name box waits or while a loop unwinds
// starts nothing.
//
// The loops (normal_loop.h, fast_loop.h) hold the event thread while they
// run and let events run while they wait; the run's file and its table are
// reached through the RunContext, and every reading is recorded by one
// record step (record_step.h).

#include "runs/recorder.h"
#include "core/run_clock.h"
#include "runs/fast_notice.h"
#include "runs/record_name.h"

#include <QString>
#include <QStringView>

#include <chrono>
#include <functional>
#include <optional>

struct Panel;

namespace display {
class DisplayModel;
}

namespace runs {

class ReadingsTableModel;

// How a run ended.
enum class RunEnd {
    TimeUp,          // its test time, or every sample it expected
    Stopped,         // START, the notice's Stop, or the program ending
    TimedOut,        // three readings in a row did not come, or held no value
    TooSlow,         // ... because the instrument answers later than the bound
    LineLost,        // the port went away or would not take a command
    RecordingFailed, // the recorded-data file could not be written
};

// What a run was started with, made once at START (after the record-name
// box) and read by everything the run does, instead of the lists' texts.
struct RunSettings
{
    QString intervalText;   // the sample-interval list's text, trimmed: "500", "16.667"
    double intervalMs = 0;  // its value
    bool fast = false;      // the fast loop serves it
    QString testTimeText;   // the test-time list's text, for the status log
    double length = 0;      // TEST_TIME at the start: seconds, or kContinuousRun
    qint32 every = 1;       // one table row every so many record steps (REC_EVERY)
    bool saving = false;    // "Save Data" ticked: records go to the file
};

// The settings the panel's lists and boxes give now.
RunSettings runSettings(const Panel &p);

// What a run tells the windows. Any number of them may listen.
class RunEvents : public QObject
{
    Q_OBJECT
signals:
    void loadButtonEnabled(bool enabled);  // the status window's Load button
    void nameBoxOpened();                  // the record-name box came forward
    void graphCleared();                   // a run starts: the trend graph empties
    // One reading of the trend graph: `at` seconds into the run, its value,
    // and the elapsed time as hh:mm:ss.
    void pointTaken(double at, double value, const QString &elapsed);
};

// Everything a run works on; no window. The windows hear of it through
// `events`, the notice and the readings table's model.
struct RunContext
{
    RunContext(Panel &panel, ReadingsTableModel &table, RunClock &clock = systemRunClock());
    RunContext(const RunContext &) = delete;
    RunContext &operator=(const RunContext &) = delete;

    Panel &panel;
    ReadingsTableModel &table;
    RunClock &clock;
    Recorder recorder;  // on the run's wall clock
    RunEvents events;
    FastNotice notice;
    RunSettings settings;  // the run's, from START on
    // Each pass of the normal loop, how long after its deadline it began
    // (measurements only).
    std::function<void(Nanos late)> passBegan;

    // ---- The run's own.
    Nanos startedAt{0};       // the run clock's zero, on the monotonic clock
    int timeoutsInRow = 0;    // readings that did not come, one after the other
    quint64 lateAtLastReading = 0;  // the channel's count of late replies then
    bool programEnding = false;
    QString endWhy;           // what ended a run early, for its message
};

// Sets the handlers of READ_Timer and STOP_Timer.
void connectRunTimers(RunContext &r);

// ---- Event handlers of the front panel.

void START_IMG_MouseDown(RunContext &r);
void START_IMG_MouseUp(RunContext &r);
// (The name box's handlers are in record_name.h.)
void READ_Timer_Timer(RunContext &r);
void STOP_Timer_Timer(RunContext &r);

// The notice window's Stop: the run stops after the block in progress.
void Form1_Command1_Click(RunContext &r);

// The program is closing: the name box gives up, a loop ends after its
// present pass or block, and the file is closed. Nothing more is shown.
void programEnding(RunContext &r);

// ---- The rules, for the loops and for tests.

// The run length in seconds from the test-time text: blank 0, "Continuous"
// the continuous run (-1), otherwise the minutes it begins with, times 60.
double runLength(QStringView TEST_TIME_TEXT);

// A continuous run ends after a year all the same.
inline constexpr double kLongestRunSecs = 31536000;

// The fast loop serves sample intervals below this many ms.
inline constexpr double kFastBelowMs = 35;
bool isFastInterval(double intervalMs);

// The next demonstration tick's interval after a tick of tickMs, with the
// sample interval SPEED_MS: shortened by the tick's own time, 10 ms after
// a tick that took exactly the interval, the whole interval after one that
// overran or took no time.
int demonstrationInterval(qint64 tickMs, qint32 SPEED_MS);

// MODE1_RANGE as the demonstration reading needs it, from display 1's lit
// decimal point and unit lamps ("10mV" from point 2 with m and V lit); with
// no point lit the range stays as it is.
QString demonstrationRange(const display::DisplayModel &display, const QString &MODE1_RANGE);

// The longest one reading may take with the rate and filter the panel
// shows for the display-1 function; the channel waits this much longer for
// the reply of a reading query.
std::chrono::milliseconds expectedReadingTime(const Panel &p);

// ELAPSED_SECS from the monotonic run clock.
void updateElapsed(RunContext &r);

// ---- Steps the loops share.

// A reading query got no reply: a lost line ends the run; a time-out is
// told in the status log and ends the run on the third in a row. The
// pass's record number is not used.
std::optional<RunEnd> noReading(RunContext &r, const QString &elapsed);

// A reading came: the count of missing ones starts again.
void readingCame(RunContext &r);

// A reply came whose display-1 field holds no value (garbled, cut, empty):
// it is told in the status log, uses no record number and counts toward
// ending the run as a missing reading does.
std::optional<RunEnd> readingWithoutValue(RunContext &r, const QString &elapsed, const QString &reply);

// Whether the display-1 field of a reply (what stands before its first
// comma, or all of it) is a number.
bool hasDisplay1Value(QStringView reply);

// A command did not go out: the line is gone.
RunEnd lineGone(RunContext &r);

// A recording failure ends the run.
RunEnd recordingFailed(RunContext &r, const QString &why);

} // namespace runs
