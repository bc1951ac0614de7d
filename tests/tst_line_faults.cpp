// The line under stress: ravelo-sim on a pty with each of its faults (and
// the simulator killed), the real channel over a serial port, the program's
// own procedures, while idle, during a normal recorded run and during a fast
// run. For every cell:
//   - the window stays alive: every wait, the channel's and the run's, goes
//     in short slices with the window's events run between them (an event
//     posted as a slice begins runs before the next, and inside the
//     channel's wait when the channel posted it); how long the window went
//     without its events is bench/bench_line_faults' figure;
//   - the status log or the run's message says what happened;
//   - every record is well formed, numbered without gaps, and holds the
//     reading of its own query (the simulator numbers its readings);
//   - the run ends, or goes on, as the rules say.

#include "core/dmm_link.h"
#include "core/link_gate.h"
#include "core/panel.h"
#include "shell/front_panel.h"
#include "support/line_cell.h"

#include <QRegularExpression>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// Counts the events the program handles, whatever they are for.
class EventCount : public QObject
{
public:
    EventCount() { QCoreApplication::instance()->installEventFilter(this); }
    ~EventCount() override { QCoreApplication::instance()->removeEventFilter(this); }
    int count() const { return m_count; }

protected:
    bool eventFilter(QObject *, QEvent *) override
    {
        ++m_count;
        return false;
    }

private:
    int m_count = 0;
};

// The watch saw the program wait, and every wait let the events run.
QString waitFaults(const LineCell &c)
{
    if (c.watch.slices() == 0)
        return u"no wait was seen: the watch is not on the line"_s;
    return c.watch.faults().join(u"; "_s);
}

} // namespace

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

// The line goes while nobody talks: seen without another command, said, the
// port closed and the program idle, not spinning on a dead line.
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
        // The simulator hangs up as soon as it has the command; a slow
        // program may hear of that before the send has returned, and then
        // the send fails with the line lost. Either way the loss is told.
        shell::send(c.parts.panel, u"SYST:REM\\10"_s, shell::Sender::Always);

    // The port tells of the loss by itself; the bound only ends a test
    // whose program never hears of it.
    QTRY_VERIFY_WITH_TIMEOUT(c.says(u"The line to COM 1 was lost \\((the line hung up|the device was removed)\\)"_s),
                             20000);
    QVERIFY(!c.link.isOpen());
    QVERIFY(!c.parts.state.REMOTE_OK);
    QVERIFY(!c.parts.display.isLit(display::Lamp::RMT_LAB));

    // A program spinning on the dead line handles its signals by the
    // thousand in five seconds, however slow the machine; an idle one next
    // to nothing.
    const EventCount events;
    QTest::qWait(5000);
    QVERIFY2(events.count() < 100, qPrintable(u"%1 events in 5 s"_s.arg(events.count())));
}

void TestLineFaults::idleExchanges_data()
{
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < idleExchangeRows().size(); ++i)
        QTest::newRow(idleExchangeRows()[i].name) << int(i);
}

// The identification at start-up on a faulty line: the window stays alive
// while it waits, and a failure names the query and how it failed.
void TestLineFaults::idleExchanges()
{
    QFETCH(int, row);
    const IdleExchangeRow &r = idleExchangeRows()[std::size_t(row)];
    LineCell c(r.arguments);
    QVERIFY(c.open());
    // One query is enough to show the window alive through a slow reply.
    QVERIFY(c.exchange(r));
    if (!r.said.isEmpty())
        QVERIFY2(c.says(r.said), qPrintable(c.parts.status.lines().join(u" | "_s)));
    QCoreApplication::processEvents();  // the last slice's event, where it has not run yet
    const QString waits = waitFaults(c);
    QVERIFY2(waits.isEmpty(), qPrintable(waits));
}

void TestLineFaults::runs_data()
{
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < runRows().size(); ++i)
        QTest::newRow(runRows()[i].name) << int(i);
}

void TestLineFaults::runs()
{
    QFETCH(int, row);
    const RunRow &r = runRows()[std::size_t(row)];
    LineCell c(r.arguments);
    QVERIFY(c.open());
    c.runRow(r);

    QCOMPARE(c.parts.state.runPhase, shell::RunPhase::Idle);  // the run is over
    QVERIFY2(c.says(r.said), qPrintable(c.parts.status.lines().join(u" | "_s) + u" || "_s
                                        + (c.messages.messages().isEmpty() ? QString() : c.messages.messages().first().text)));
    const QString waits = waitFaults(c);
    QVERIFY2(waits.isEmpty(), qPrintable(waits));
    const QString records = c.checkRecords(r.phase == Phase::Fast);
    QVERIFY2(records.isEmpty(), qPrintable(records));
    QVERIFY2(c.ownQueryMismatches.isEmpty(), qPrintable(c.ownQueryMismatches.join(u"; "_s)));
    const bool ended = !c.messages.messages().isEmpty();
    QCOMPARE(ended, r.endsEarly);
    if (!r.endsEarly)
        QVERIFY(c.parts.state.RECORD_COUNT > 0);
}

QTEST_GUILESS_MAIN(TestLineFaults)
#include "tst_line_faults.moc"
