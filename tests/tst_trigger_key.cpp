// The TRIG key outside the set-up menus: SHIFT + TRIG switches the trigger
// source and stops or resumes only a run that waits for its ticks (never an
// idle panel, never a loop that holds the line); TRIG with the external
// trigger takes one reading and records it at the seconds since the
// trigger became external, on a fixed wall clock, across midnight too; a
// reading that did not come records nothing; a demonstration run stopped by
// the switch goes on after the switch back and ends at its own test time; a
// triggered demonstration reading in auto range is made on the range a
// demonstration run's tick would take.

#include "formats/recorded_data.h"
#include "keys/trigger_key.h"
#include "platform/time_of_day.h"
#include "runs/record_step.h"
#include "support/display_reading.h"
#include "support/reading_setup.h"
#include "support/run_fixture.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using display::Lamp;
using shell::RunPhase;

Q_DECLARE_METATYPE(shell::RunPhase)

class TestTriggerKey : public QObject
{
    Q_OBJECT

private slots:
    void sourceSwitch_data();
    void sourceSwitch();
    void switchToExternalDropsWhatWaits();
    void triggersOnTheWallClock_data();
    void triggersOnTheWallClock();
    void elapsedAcrossMidnight_data();
    void elapsedAcrossMidnight();
    void failedReadingRecordsNothing();
    void nothingWithoutExternalTrigger();
    void demonstrationRunStopsAndGoesOn();
    void demonstrationOnARealRange_data();
    void demonstrationOnARealRange();
};

namespace {

const QString kExt = u"trig:sour ext\\10"_s;
const QString kInt = u"trig:sour int\\10"_s;
const QString kRead = u"read?\\10"_s;
const QString kTrigger = u"*TRG\\10"_s;

void shiftTrig(Panel &p)
{
    p.display.setLit(Lamp::SHIFT_LAB, true);
    QVERIFY(keys::TRIG_IMG_ENTER(p));
    QVERIFY(!p.display.isLit(Lamp::SHIFT_LAB));  // one-shot
}

bool running(const Panel &p)
{
    return p.timers.READ_Timer.isEnabled() && p.timers.STOP_Timer.isEnabled()
           && p.controls.START_TEXT_color == QColor(255, 0, 0);
}

bool stopped(const Panel &p)
{
    return !p.timers.READ_Timer.isEnabled() && !p.timers.STOP_Timer.isEnabled()
           && p.controls.START_TEXT_color == QColor(Qt::black);
}

// The next query gets its own answer: nothing is left on the line.
bool lineIsClean(PanelFixture &f)
{
    f.sim.link.Write(u"*IDN?\\10"_s);
    return f.sim.link.Read() == f.sim.instrument.identity() + '\r';
}

// The hook the main window gives the key: the run records the reading.
keys::KeyHooks recordInto(runs::RunContext &run)
{
    return {.stopRun = {}, .openScanner = {}, .recordTriggered = [&run] { runs::SHOW_Graph(run); }};
}

} // namespace

void TestTriggerKey::sourceSwitch_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<RunPhase>("phase");
    QTest::addColumn<bool>("readTimer");   // READ_Timer enabled before
    QTest::addColumn<bool>("runsAfter");   // the run's timers after the switch back

    QTest::newRow("idle")                   << true  << RunPhase::Idle       << false << false;
    QTest::newRow("idle, link down")        << false << RunPhase::Idle       << false << false;
    QTest::newRow("a run waits for ticks")  << true  << RunPhase::Timed      << true  << true;
    QTest::newRow("a loop holds the line")  << true  << RunPhase::NormalLoop << false << false;
}

// Twice SHIFT + TRIG: to external and back. Only a run the first switch
// stopped goes on; an idle panel or a loop gets no READ_Timer tick, which
// would start a run nobody started or a second loop.
void TestTriggerKey::sourceSwitch()
{
    QFETCH(bool, link);
    QFETCH(RunPhase, phase);
    QFETCH(bool, readTimer);
    QFETCH(bool, runsAfter);
    rt::FixedTimeOfDay now(3600);
    PanelFixture f;
    darken(f.display);
    if (link)
        f.linkUp();
    f.state.runPhase = phase;
    f.state.TEST_TIME = 60;
    f.state.ELAPSED_SECS = 17;
    if (readTimer) {
        f.timers.READ_Timer.setInterval(1000);
        f.timers.READ_Timer.setEnabled(true);
        f.timers.STOP_Timer.setEnabled(true);
        f.controls.START_TEXT_color = QColor(255, 0, 0);
    }

    shiftTrig(f.panel);
    QVERIFY(f.display.isLit(Lamp::EXT_LAB));
    QVERIFY(stopped(f.panel) || phase == RunPhase::NormalLoop);
    QVERIFY(!f.timers.READ_Timer.isEnabled());
    QCOMPARE(f.state.ELAPSED_SECS, 0);
    QCOMPARE(f.state.TEST_TIME, 60.0);  // the run keeps its length

    f.timers.STOP_Timer.setEnabled(false);
    now.set(3700);
    shiftTrig(f.panel);
    QVERIFY(!f.display.isLit(Lamp::EXT_LAB));
    QCOMPARE(running(f.panel), runsAfter);
    if (!runsAfter)
        QVERIFY(!f.timers.READ_Timer.isEnabled());
    QCOMPARE(f.state.runPhase, phase);
    QCOMPARE(f.state.TEST_TIME, 60.0);
    const QStringList written = link ? QStringList{kExt, kInt} : QStringList();
    QCOMPARE(f.sim.written, written);
}

// A run's last replies may still be on the way when the switch stops it:
// they are dropped, so the next query gets its own answer.
void TestTriggerKey::switchToExternalDropsWhatWaits()
{
    PanelFixture f;
    darken(f.display);
    f.linkUp();
    f.sim.link.setQuietTime(20ms);
    f.state.runPhase = RunPhase::Timed;
    f.timers.READ_Timer.setInterval(1000);
    f.timers.READ_Timer.setEnabled(true);
    QVERIFY(f.sim.link.Write(u"read? buf\\10"_s));  // its reply never read

    shiftTrig(f.panel);

    QVERIFY(!f.timers.READ_Timer.isEnabled());
    QVERIFY(lineIsClean(f));
}

void TestTriggerKey::triggersOnTheWallClock_data()
{
    QTest::addColumn<double>("switchAt");    // -1: the identification found EXT lit
    QTest::addColumn<QList<double>>("pressAt");
    QTest::addColumn<QList<int>>("elapsed");

    QTest::newRow("5, 12 and 30 s after the switch")
        << 3600.0 << QList<double>{3605, 3612, 3630} << QList<int>{5, 12, 30};
    QTest::newRow("halves to even")
        << 3600.0 << QList<double>{3602.5, 3603.5} << QList<int>{2, 4};
    QTest::newRow("EXT lit at start: from the first trigger")
        << -1.0 << QList<double>{7200, 7207, 7230} << QList<int>{0, 7, 30};
}

// Each press reads one value ("read?" twice and "*TRG"), toggles the START
// lamp and records one point at its seconds since the switch: the graph's
// point and a table row.
void TestTriggerKey::triggersOnTheWallClock()
{
    QFETCH(double, switchAt);
    QFETCH(QList<double>, pressAt);
    QFETCH(QList<int>, elapsed);
    RunFixture t;
    const keys::KeyHooks hooks = recordInto(t.run);
    QVERIFY(t.f.sim.instrument.setStates(u"trigger=ext,display1=1.5"_s));
    QVERIFY(setUp(t.f.panel, {u"READ_OK"_s}));
    t.f.state.MODE1_RANGE = u"10V"_s;
    QSignalSpy points(&t.run.events, &runs::RunEvents::pointTaken);
    rt::FixedTimeOfDay now(switchAt);
    if (switchAt < 0)
        t.f.display.setLit(Lamp::EXT_LAB, true);
    else
        shiftTrig(t.f.panel);
    t.f.sim.written.clear();

    for (qsizetype i = 0; i < pressAt.size(); ++i) {
        now.set(pressAt[i]);
        QVERIFY(keys::TRIG_IMG_ENTER(t.f.panel, hooks));
        QCOMPARE(t.f.state.ELAPSED_SECS, elapsed[i]);
        QCOMPARE(t.f.display.isLit(Lamp::START_LAB), i % 2 == 0);
        QCOMPARE(t.f.state.RECORD_COUNT, i + 1);
        QCOMPARE(t.table.row(int(i) + 1).DISPLAY1, u"01.50000_V"_s);
        QCOMPARE(points.size(), i + 1);
        QCOMPARE(points.at(i).at(0).toDouble(), double(elapsed[i]));
        QCOMPARE(points.at(i).at(2).toString(), formats::elapsedText(elapsed[i]));
    }
    QStringList each{kRead, kRead, kTrigger};
    QStringList all;
    for (qsizetype i = 0; i < pressAt.size(); ++i)
        all += each;
    QCOMPARE(t.f.sim.written, all);
}

void TestTriggerKey::elapsedAcrossMidnight_data()
{
    QTest::addColumn<double>("origin");
    QTest::addColumn<double>("now");
    QTest::addColumn<int>("elapsed");

    QTest::newRow("10 s before to 10 s after midnight") << 86390.0 << 10.0 << 20;
    QTest::newRow("a second before midnight")            << 86390.0 << 86399.0 << 9;
    QTest::newRow("at midnight")                         << 86399.5 << 0.0 << 0;
    QTest::newRow("same moment")                         << 500.0 << 500.0 << 0;
}

void TestTriggerKey::elapsedAcrossMidnight()
{
    QFETCH(double, origin);
    QFETCH(double, now);
    QFETCH(int, elapsed);
    QCOMPARE(keys::secondsSinceTrigger(origin, now), elapsed);

    // The same through the key, with demonstration readings.
    RunFixture t;
    t.demonstration();
    const keys::KeyHooks hooks = recordInto(t.run);
    t.f.state.MODE1_RANGE = u"10V"_s;
    rt::FixedTimeOfDay clock(origin);
    shiftTrig(t.f.panel);
    clock.set(now);
    QVERIFY(keys::TRIG_IMG_ENTER(t.f.panel, hooks));
    QCOMPARE(t.f.state.ELAPSED_SECS, elapsed);
    QCOMPARE(t.f.state.RECORD_COUNT, 1);
    QVERIFY(t.f.sim.wire().isEmpty());
}

// The instrument does not answer the trigger: the reading before is not
// shown or recorded again as this one's; one status line says so.
void TestTriggerKey::failedReadingRecordsNothing()
{
    RunFixture t(sim::Faults{.silentAfter = 1});  // the reading after *TRG never comes
    const keys::KeyHooks hooks = recordInto(t.run);
    QVERIFY(t.f.sim.instrument.setStates(u"trigger=ext"_s));
    t.f.sim.link.setReplyBound(50ms);
    t.f.sim.link.setQuietTime(10ms);
    QVERIFY(setUp(t.f.panel, {u"READ_OK"_s, u"EXT_LAB"_s}));
    t.f.state.extTriggerOrigin = 100;
    t.f.state.DISPLAY1 = u"01.23456_V"_s;
    t.f.state.LAST_REPLY = u"+1.23456E+00,0\r"_s;
    QSignalSpy points(&t.run.events, &runs::RunEvents::pointTaken);
    t.f.status.clear();

    QVERIFY(keys::TRIG_IMG_ENTER(t.f.panel, hooks));

    QCOMPARE(points.size(), 0);
    QCOMPARE(t.f.state.RECORD_COUNT, 0);
    QCOMPARE(t.f.state.DISPLAY1, u"01.23456_V"_s);
    QVERIFY(!t.f.display.isLit(Lamp::START_LAB));
    QCOMPARE(t.f.status.lines().size(), 1);
    QVERIFY2(t.f.status.lines().at(0).startsWith(u"TRIG key: no reading came"_s),
             qPrintable(t.f.status.text()));
}

// With the trigger internal TRIG does nothing, demonstration readings or not.
void TestTriggerKey::nothingWithoutExternalTrigger()
{
    for (const bool demonstration : {false, true}) {
        RunFixture t;
        if (demonstration)
            t.demonstration();
        const keys::KeyHooks hooks = recordInto(t.run);
        QSignalSpy points(&t.run.events, &runs::RunEvents::pointTaken);
        const QString shown = shown1(t.f.display);
        QVERIFY(keys::TRIG_IMG_ENTER(t.f.panel, hooks));
        QCOMPARE(points.size(), 0);
        QCOMPARE(shown1(t.f.display), shown);
        QVERIFY(t.f.sim.written.isEmpty());
    }
}

// A demonstration run of 6 s: the switch to external at 2 s stops its
// ticks, a trigger still records, the switch back at 4 s lets it go on,
// and it ends at 6 s after its start, its own test time.
void TestTriggerKey::demonstrationRunStopsAndGoesOn()
{
    RunFixture t(sim::Faults{}, u"0.1"_s);
    t.demonstration();
    t.answerCancel();
    const keys::KeyHooks hooks = recordInto(t.run);
    t.f.state.MODE1_RANGE = u"10V"_s;
    rt::FixedTimeOfDay now(50000);
    t.start();
    QCOMPARE(t.f.state.TEST_TIME, 6.0);
    t.clock.advance(1s);
    t.runTicks();
    t.clock.advance(1s);
    t.runTicks();
    QCOMPARE(t.f.state.RECORD_COUNT, 2);

    shiftTrig(t.f.panel);
    QVERIFY(stopped(t.f.panel));
    QCOMPARE(t.f.state.runPhase, RunPhase::Timed);
    now.set(50001);
    QVERIFY(keys::TRIG_IMG_ENTER(t.f.panel, hooks));
    QCOMPARE(t.f.state.RECORD_COUNT, 3);
    QCOMPARE(t.f.state.ELAPSED_SECS, 1);

    t.clock.advance(2s);
    shiftTrig(t.f.panel);
    QVERIFY(running(t.f.panel));
    QCOMPARE(t.f.state.TEST_TIME, 6.0);

    t.clock.advance(1s);
    t.f.timers.STOP_Timer.tick();
    QCOMPARE(t.f.state.runPhase, RunPhase::Timed);
    QCOMPARE(t.f.state.ELAPSED_SECS, 5);
    t.clock.advance(1s);
    t.f.timers.STOP_Timer.tick();
    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
    QVERIFY(t.f.sim.wire().isEmpty());
}

// Display 1 shows its last reading (the point and the lamps of its range);
// two triggered demonstration readings: each a value on that range with its
// unit, the point of that range lit, both recorded.
void TestTriggerKey::demonstrationOnARealRange_data()
{
    QTest::addColumn<QString>("rangeBefore");  // MODE1_RANGE
    QTest::addColumn<QStringList>("lit");      // display 1 as its last reading left it
    QTest::addColumn<QString>("range");
    QTest::addColumn<int>("point");
    QTest::addColumn<QString>("unit");

    QTest::newRow("auto, 10 V")    << u"AUTO"_s << QStringList{u"DROP_IMG(2)"_s, u"T_V_LAB1"_s, u"AUTO_LAB1"_s}
                                   << u"10V"_s << 2 << u"V"_s;
    QTest::newRow("auto, 100 mV")  << u"AUTO"_s
                                   << QStringList{u"DROP_IMG(3)"_s, u"T_min_LAB1"_s, u"T_V_LAB1"_s, u"AUTO_LAB1"_s}
                                   << u"100mV"_s << 3 << u"mV"_s;
    QTest::newRow("auto, 1 kOhm")  << u"AUTO"_s
                                   << QStringList{u"DROP_IMG(1)"_s, u"T_K_LAB1"_s, u"T_R_LAB1"_s, u"AUTO_LAB1"_s}
                                   << u"1KOhm"_s << 1 << u"KOhm"_s;
    QTest::newRow("manual 10 V")   << u"10V"_s << QStringList{u"DROP_IMG(2)"_s, u"T_V_LAB1"_s}
                                   << u"10V"_s << 2 << u"V"_s;
}

void TestTriggerKey::demonstrationOnARealRange()
{
    QFETCH(QString, rangeBefore);
    QFETCH(QStringList, lit);
    QFETCH(QString, range);
    QFETCH(int, point);
    QFETCH(QString, unit);
    RunFixture t;
    t.demonstration();
    darken(t.f.display);
    QString unknown;
    QVERIFY2(setUp(t.f.panel, lit, &unknown), qPrintable(unknown));
    t.f.state.MODE1 = u"DCV"_s;
    t.f.state.MODE1_RANGE = rangeBefore;
    const keys::KeyHooks hooks = recordInto(t.run);
    QSignalSpy points(&t.run.events, &runs::RunEvents::pointTaken);
    rt::FixedTimeOfDay now(3600);
    shiftTrig(t.f.panel);

    const QRegularExpression reading(u"^-?\\d+\\.\\d+"_s + QRegularExpression::escape(unit) + u'$');
    double sum = 0;
    for (int i = 0; i < 2; ++i) {
        now.set(3601 + i);
        QVERIFY(keys::TRIG_IMG_ENTER(t.f.panel, hooks));
        QVERIFY2(reading.match(t.f.state.DISPLAY1).hasMatch(), qPrintable(t.f.state.DISPLAY1));
        QCOMPARE(t.f.state.MODE1_RANGE, range);
        for (int k = 0; k <= 5; ++k)
            QCOMPARE(t.f.display.isLit(display::Points::DROP_IMG, k), k == point);
        QCOMPARE(t.f.state.RECORD_COUNT, i + 1);
        sum += std::abs(points.constLast().at(1).toDouble());
    }
    QVERIFY(sum > 0);  // both zero: about once in 10^10 runs
    QVERIFY(t.f.sim.wire().isEmpty());
}

QTEST_GUILESS_MAIN(TestTriggerKey)
#include "tst_trigger_key.moc"
