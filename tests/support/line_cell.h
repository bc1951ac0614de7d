#pragma once
// The line under stress: ravelo-sim on a pty with one of its faults (or
// killed), the real channel over a serial port and the program's own
// procedures, idle or in a recorded run. The fault tests check what the
// program does in each cell; the freeze benchmark times the same cells.
//
// Every wait of the cell goes through a WaitWatch: the serial port's waits
// for input or output and the run clock's sleeps. The window stays alive
// through a wait when its events run between the wait's slices; the watch
// tells whether they did without timing anything.

#include "core/dmm_link.h"
#include "core/panel.h"
#include "core/run_clock.h"
#include "platform/dialogs.h"
#include "runs/readings_table.h"
#include "runs/run_control.h"
#include "support/sim_process.h"

#include <QSerialPort>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <vector>

// A wait's slices and what ran between them. As each slice of waiting
// begins (a call that may block), an event is posted; it must have been
// delivered, while the channel or the run still waited, before the next
// slice begins. A slice longer than kLongestSlice would freeze the window
// whatever ran around it.
class WaitWatch : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kLongestSlice{50};

    enum class Waiter { Channel, Run };
    // The program waits in one slice of `ms` milliseconds (0: a look
    // without waiting, which needs no events).
    void sliceBegins(Waiter waiter, const char *what, qint64 ms);
    // The channel is inside one of its waits now: an event posted by one of
    // its slices must run then.
    void setChannelWaits(std::function<bool()> waits) { m_channelWaits = std::move(waits); }

    int slices() const { return m_slices; }
    // Every way a wait went without the events; empty when none did.
    QStringList faults() const;

private:
    std::function<bool()> m_channelWaits;
    int m_slices = 0;
    int m_posted = 0;
    int m_delivered = 0;
    int m_faultCount = 0;
    QStringList m_firstFaults;
    void fault(const QString &what);
};

// A serial port whose waits go through a watch.
class WatchedPort : public QSerialPort
{
public:
    explicit WatchedPort(WaitWatch &watch) : m_watch(watch) {}
    bool waitForReadyRead(int msecs) override;
    bool waitForBytesWritten(int msecs) override;

private:
    WaitWatch &m_watch;
};

// The system's run clock, its sleeps going through a watch.
class WatchedRunClock final : public runs::RunClock
{
public:
    explicit WatchedRunClock(WaitWatch &watch) : m_watch(watch) {}
    runs::Nanos monotonic() override { return runs::systemRunClock().monotonic(); }
    QDateTime wallNow() override { return runs::systemRunClock().wallNow(); }
    void sleepFor(runs::Nanos span) override;

private:
    WaitWatch &m_watch;
};

enum class Phase { Idle, Normal, Fast };

// An exchange at start-up on a faulty line.
struct IdleExchangeRow
{
    const char *name;
    QStringList arguments;  // of ravelo-sim
    bool identify;          // the whole identification, or one query
    QString said;           // a pattern the status log must hold; "" = nothing to say
};
const std::vector<IdleExchangeRow> &idleExchangeRows();

// A recorded run on a faulty line.
struct RunRow
{
    const char *name;
    Phase phase;            // Normal: 500 ms for 0.1 min; Fast: 33.333 ms for 0.05 min
    QStringList arguments;  // of ravelo-sim
    int killAfterMs;        // the simulator killed this long after START; 0: not killed
    QString said;           // status line or message, a pattern
    bool endsEarly;         // before its test time
};
const std::vector<RunRow> &runRows();

// The panel on ravelo-sim (numbered readings), recording under "line".
struct LineCell
{
    explicit LineCell(const QStringList &simArguments);
    ~LineCell();

    bool open();
    // The newest record holds the reading of the newest query, noted in
    // ownQueryMismatches when it does not.
    void checkNewestRecord();
    QString recordFile() const;
    // START with the interval and test time, then the run to its end (or
    // at most `limit`).
    void runFor(const QString &interval, const QString &minutes, std::chrono::milliseconds limit);
    // A run of the row's phase (the simulator killed when the row says).
    void runRow(const RunRow &row);
    // The row's exchange: one query, or the whole identification. False
    // when the one query got no reply.
    bool exchange(const IdleExchangeRow &row);
    // Every record well formed, numbered 1, 2, 3, ... without a gap, and
    // (fast runs) the values rising: no sample is an older one again.
    QString checkRecords(bool rising) const;
    void killSimulator();
    // The status log or a message has a line matching the pattern.
    bool says(const QString &pattern) const;

    QTemporaryDir dir;
    SimProcess sim;
    WaitWatch watch;
    WatchedRunClock clock{watch};
    shell::Class1 link;
    PanelParts parts{link};
    runs::ReadingsTableModel table;
    runs::RunContext run;
    rt::MessageRecorder messages;
    int readingQueries = 0;
    QStringList ownQueryMismatches;

private:
    qint32 m_recordsSeen = 0;
};
