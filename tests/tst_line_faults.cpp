// The line under stress: ravelo-sim on a pty with each of its faults (and
// the simulator killed), the real channel over a serial port, the program's
// own procedures, while idle, during a normal recorded run and during a fast
// run. For every cell:
//   - the window never freezes: a 10 ms probe timer on the event loop never
//     waits 100 ms or more while the program waits for the instrument;
//   - the status log or the run's message says what happened;
//   - every record is well formed, numbered without gaps, and holds the
//     reading of its own query (the simulator numbers its readings);
//   - the run ends, or goes on, as the rules say.

#include "core/link_gate.h"
#include "core/panel.h"
#include "core/run_clock.h"
#include "platform/dialogs.h"
#include "platform/program_folder.h"
#include "platform/runtime.h"
#include "runs/readings_table.h"
#include "runs/run_control.h"
#include "shell/front_panel.h"
#include "shell/identification.h"
#include "shell/speed_check.h"
#include "support/files.h"
#include "support/sim_process.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <sys/resource.h>

#include <csignal>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

enum class Phase { Idle, Normal, Fast };

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto secs = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return secs(usage.ru_utime) + secs(usage.ru_stime);
}

// The longest the event loop went without running a 10 ms timer.
class FreezeProbe
{
public:
    FreezeProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_since.restart());
        });
        m_since.start();
        m_timer.start(10);
    }
    qint64 longestMs() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

const QRegularExpression kRecord(
    uR"(^(\d{5}),   \d\d:\d\d:\d\d,    \d{4}/\d\d/\d\d \d\d:\d\d:\d\d, +DCV, +([^ ,]+), +[^,]*, +[^,]*,\r$)"_s);

// The simulator's arguments with numbered readings added to its state.
QStringList withNumbering(QStringList arguments)
{
    const qsizetype state = arguments.indexOf(u"--state"_s);
    if (state >= 0 && state + 1 < arguments.size())
        arguments[state + 1] = u"numbered=1,"_s + arguments[state + 1];
    else
        arguments += {u"--state"_s, u"numbered=1"_s};
    return arguments;
}

// The panel on ravelo-sim, numbered readings, recording under "line".
struct LineCell
{
    explicit LineCell(const QStringList &simArguments)
        : sim(withNumbering(simArguments)), run(parts.panel, table)
    {
        rt::setProgramFolder(dir.path());
        qputenv("RAVELO_COM1", QFile::encodeName(sim.linkPath()));
        link.Port(1);
        link.BaudRate(115200);
        link.setWriteTap([this](const QString &command) {
            if (command.startsWith(u"read? buf"))
                ++readingQueries;
        });
        Panel &p = parts.panel;
        p.state.MODE1 = u"DCV"_s;
        p.state.MODE1_RANGE = u"AUTO"_s;
        p.state.SETTING.REC_EVERY = u"1"_s;
        p.display.setAllLit(false);  // no filter: the reading bound is 2 s and a little
        p.display.setLit(display::Lamp::M_LAB, true);
        p.controls.CHK_COM_TF.enabled = false;
        p.controls.Speed_TIME.items = shell::sampleIntervals();
        p.controls.CONT_TIME_LIST.items = shell::testTimes();
        runs::connectRunTimers(run);
        QObject::connect(&run.events, &runs::RunEvents::nameBoxOpened, [this] {
            parts.controls.INPU_NAME_TEXT = u"line"_s;
            runs::INPU_NAME_OK_Click(run);
        });
        // Each pass begins after the one before: the newest record, when
        // the pass before made one, holds the reading of that pass's query.
        run.passBegan = [this](runs::Nanos) { checkNewestRecord(); };
    }
    ~LineCell() { rt::setProgramFolder({}); }

    bool open()
    {
        const bool ok = sim.started() && link.Open();
        parts.state.REMOTE_OK = ok;
        return ok;
    }

    void checkNewestRecord()
    {
        const qint32 count = parts.state.RECORD_COUNT;
        if (count == m_recordsSeen)
            return;
        m_recordsSeen = count;
        const QList<QByteArray> lines = fileLines(recordFile());
        const QRegularExpressionMatch m = kRecord.match(QString::fromLatin1(lines.value(lines.size() - 1)));
        if (!m.hasMatch() || rt::leadingNumber(m.captured(2)) != double(readingQueries))
            ownQueryMismatches.append(u"record %1 holds %2 after query %3"_s.arg(count).arg(m.captured(2))
                                          .arg(readingQueries));
    }

    QString recordFile() const
    {
        const QDir folder(dir.filePath(u"SAVE DATA"_s));
        const QStringList names = folder.entryList(QDir::Files, QDir::Name);
        return names.isEmpty() ? QString() : folder.filePath(names.last());
    }

    // START with the interval and test time, then the run to its end (or
    // at most `limit`).
    void runFor(const QString &interval, const QString &minutes, std::chrono::milliseconds limit)
    {
        parts.controls.Speed_TIME.text = interval;
        shell::Speed_TIME_Click(parts.panel);
        parts.controls.CONT_TIME_LIST.text = minutes;
        shell::CONT_TIME_LIST_Click(parts.panel);
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (parts.state.runPhase == shell::RunPhase::Idle)
                loop.quit();
        });
        QTimer::singleShot(limit, &loop, &QEventLoop::quit);
        runs::START_IMG_MouseDown(run);
        runs::START_IMG_MouseUp(run);
        poll.start(50);
        loop.exec();
    }

    // Every record well formed, numbered 1, 2, 3, ... without a gap, and
    // (fast runs) the values rising: no sample is an older one again.
    QString checkRecords(bool rising) const
    {
        if (recordFile().isEmpty())
            return {};  // no file, or one that never got a record and went
        const QList<QByteArray> lines = fileLines(recordFile());
        double last = 0;
        for (qsizetype i = 3; i < lines.size(); ++i) {
            const QRegularExpressionMatch m = kRecord.match(QString::fromLatin1(lines[i]));
            if (!m.hasMatch())
                return u"line %1 is no record: %2"_s.arg(i + 1).arg(QString::fromLatin1(lines[i]));
            if (m.captured(1).toInt() != i - 2)
                return u"line %1 is numbered %2"_s.arg(i + 1).arg(m.captured(1));
            const double value = rt::leadingNumber(m.captured(2));
            if (rising && value <= last)
                return u"line %1 holds %2 after %3"_s.arg(i + 1).arg(value).arg(last);
            last = value;
        }
        return {};
    }

    void killSimulator() { ::kill(pid_t(sim.process().processId()), SIGKILL); }

    QTemporaryDir dir;
    SimProcess sim;
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

bool statusSays(const LineCell &c, const QString &pattern)
{
    const QRegularExpression re(pattern);
    for (const QString &line : c.parts.status.lines())
        if (re.match(line).hasMatch())
            return true;
    for (const rt::Message &m : c.messages.messages())
        if (re.match(m.text).hasMatch())
            return true;
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Phase)

class TestLineFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void idleLineLoss_data();
    void idleLineLoss();
    void idleExchanges_data();
    void idleExchanges();
    void runs_data();
    void runs();
};

void TestLineFaults::idleLineLoss_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("kill");
    QTest::newRow("simulator killed") << QStringList() << true;
    QTest::newRow("hang-up after one command") << QStringList{u"--fault"_s, u"hangup-after=1"_s} << false;
}

// The line goes while nobody talks: seen within a second, said, the port
// closed and the program idle, not spinning on a dead line.
void TestLineFaults::idleLineLoss()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, kill);
    LineCell c(arguments);
    QVERIFY(c.open());
    c.parts.display.setLit(display::Lamp::RMT_LAB, true);
    if (kill)
        c.killSimulator();
    else
        QVERIFY(shell::send(c.parts.panel, u"SYST:REM\\10"_s, shell::Sender::Always));

    QElapsedTimer seen;
    seen.start();
    QTRY_VERIFY_WITH_TIMEOUT(statusSays(c, u"The line to COM 1 was lost \\((the line hung up|the device was removed)\\)"_s),
                             1000);
    const qint64 seenMs = seen.elapsed();
    QVERIFY(seenMs < 1000);
    QVERIFY(!c.link.isOpen());
    QVERIFY(!c.parts.state.REMOTE_OK);
    QVERIFY(!c.parts.display.isLit(display::Lamp::RMT_LAB));

    const double cpu0 = cpuSeconds();
    QTest::qWait(5000);
    const double share = (cpuSeconds() - cpu0) / 5.0;
    QVERIFY2(share < 0.02, qPrintable(u"%1 % of a core"_s.arg(share * 100)));
    qInfo("idle line loss: seen after %lld ms, %.2f %% of a core over 5 s", qlonglong(seenMs),
          share * 100);
}

void TestLineFaults::idleExchanges_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("identify");  // the whole identification, or one query
    QTest::addColumn<QString>("said");   // "" = nothing to say
    QTest::newRow("silent") << QStringList{u"--fault"_s, u"silent-after=1"_s} << true
                            << u"not identified: \"\\*IDN\\?\" failed, No reply"_s;
    // Garbled letters still make replies; what the panel makes of them is
    // its own affair, as long as it lives and keeps the window alive.
    QTest::newRow("every reply garbled") << QStringList{u"--fault"_s, u"garble-every=1"_s} << true
                                         << QString();
    QTest::newRow("every reply cut") << QStringList{u"--fault"_s, u"cut-every=1"_s} << true
                                     << u"not identified: .* failed"_s;
    QTest::newRow("replies 1.5 s late") << QStringList{u"--fault"_s, u"delay-ms=1500"_s} << false
                                        << QString();
}

// The identification at start-up on a faulty line: the window stays alive
// while it waits, and a failure names the query and how it failed.
void TestLineFaults::idleExchanges()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, identify);
    QFETCH(QString, said);
    LineCell c(arguments);
    QVERIFY(c.open());
    FreezeProbe probe;
    if (!identify) {
        // One query is enough to show the window alive through a slow reply.
        const std::optional<QString> reply = shell::ask(c.parts.panel, u"*IDN?\\10"_s, shell::Sender::Always);
        QVERIFY(reply.has_value());
    } else {
        shell::RDX_INF_TEST(c.parts.panel);
        if (!said.isEmpty())
            QVERIFY2(statusSays(c, said), qPrintable(c.parts.status.lines().join(u" | "_s)));
    }
    QVERIFY2(probe.longestMs() < 100, qPrintable(u"froze %1 ms"_s.arg(probe.longestMs())));
    qInfo("idle, %s: longest freeze %lld ms", QTest::currentDataTag(), qlonglong(probe.longestMs()));
}

void TestLineFaults::runs_data()
{
    QTest::addColumn<Phase>("phase");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("killAfterMs");  // 0: not killed
    QTest::addColumn<QString>("said");     // status line or message, a pattern
    QTest::addColumn<bool>("endsEarly");   // before its test time

    const QString f = u"--fault"_s;
    // Normal run: 500 ms for 0.1 min (12 passes).
    QTest::newRow("normal, silent")        << Phase::Normal << QStringList{f, u"silent-after=6"_s} << 0
                                           << u"three readings in a row did not come"_s << true;
    QTest::newRow("normal, garbled")       << Phase::Normal << QStringList{f, u"garble-every=4"_s} << 0
                                           << u"holds no value; nothing recorded"_s << false;
    QTest::newRow("normal, cut")           << Phase::Normal << QStringList{f, u"cut-every=4"_s} << 0
                                           << u"No reading at|holds no value"_s << false;
    QTest::newRow("normal, 1.5 s late")    << Phase::Normal << QStringList{f, u"delay-ms=1500"_s} << 0
                                           << u"^TEST Speed: 500"_s << false;
    QTest::newRow("normal, 3 s late")      << Phase::Normal << QStringList{f, u"delay-ms=3000"_s} << 0
                                           << u"takes longer than the reading bound"_s << true;
    QTest::newRow("normal, slow readings") << Phase::Normal << QStringList{u"--state"_s, u"timescale=188"_s} << 0
                                           << u"takes longer than the reading bound"_s << true;
    QTest::newRow("normal, hang-up")       << Phase::Normal << QStringList{f, u"hangup-after=10"_s} << 0
                                           << u"line to the instrument was lost"_s << true;
    QTest::newRow("normal, killed")        << Phase::Normal << QStringList() << 2500
                                           << u"line to the instrument was lost"_s << true;
    // Fast run: 33.333 ms for 0.05 min (3 s, 90 samples).
    QTest::newRow("fast, silent")          << Phase::Fast << QStringList{f, u"silent-after=12"_s} << 0
                                           << u"samples \\d+ to \\d+ lost"_s << false;
    QTest::newRow("fast, garbled")         << Phase::Fast << QStringList{f, u"garble-every=10"_s} << 0
                                           << u"is no value"_s << false;
    QTest::newRow("fast, cut")             << Phase::Fast << QStringList{f, u"cut-every=10"_s} << 0
                                           << u"samples lost|is no value"_s << false;
    QTest::newRow("fast, hang-up")         << Phase::Fast << QStringList{f, u"hangup-after=12"_s} << 0
                                           << u"line to the instrument was lost"_s << true;
    QTest::newRow("fast, killed")          << Phase::Fast << QStringList() << 1500
                                           << u"line to the instrument was lost"_s << true;
}

void TestLineFaults::runs()
{
    QFETCH(Phase, phase);
    QFETCH(QStringList, arguments);
    QFETCH(int, killAfterMs);
    QFETCH(QString, said);
    QFETCH(bool, endsEarly);
    LineCell c(arguments);
    QVERIFY(c.open());
    c.link.setExpectedReadingTime(50ms);
    if (killAfterMs > 0)
        QTimer::singleShot(killAfterMs, [&c] { c.killSimulator(); });

    FreezeProbe probe;
    QElapsedTimer wall;
    wall.start();
    const bool fast = phase == Phase::Fast;
    c.runFor(fast ? u"33.333"_s : u"500"_s, fast ? u"0.05"_s : u"0.1"_s, 60s);
    const qint64 tookMs = wall.elapsed();
    if (!fast)
        c.checkNewestRecord();

    QCOMPARE(c.parts.state.runPhase, shell::RunPhase::Idle);  // the run is over
    QVERIFY2(statusSays(c, said), qPrintable(c.parts.status.lines().join(u" | "_s) + u" || "_s
                                             + (c.messages.messages().isEmpty() ? QString() : c.messages.messages().first().text)));
    QVERIFY2(probe.longestMs() < 100, qPrintable(u"froze %1 ms"_s.arg(probe.longestMs())));
    const QString records = c.checkRecords(fast);
    QVERIFY2(records.isEmpty(), qPrintable(records));
    QVERIFY2(c.ownQueryMismatches.isEmpty(), qPrintable(c.ownQueryMismatches.join(u"; "_s)));
    const bool ended = !c.messages.messages().isEmpty();
    QCOMPARE(ended, endsEarly);
    if (!endsEarly)
        QVERIFY(c.parts.state.RECORD_COUNT > 0);
    qInfo("%s: longest freeze %lld ms, %d records, %lld ms", QTest::currentDataTag(),
          qlonglong(probe.longestMs()), c.parts.state.RECORD_COUNT, qlonglong(tookMs));
}

QTEST_GUILESS_MAIN(TestLineFaults)
#include "tst_line_faults.moc"
