// The START key's run: refusals, the record-name box and its checks, the
// start with and without a file, a start that cannot create its file, the
// interval taken from the list, stopping by key, STOP_Timer and the run
// clock across midnight, the demonstration tick, and stale ticks.

#include "core/link_gate.h"
#include "core/panel.h"
#include "platform/dialogs.h"
#include "windows/trend_graph_window.h"
#include "runs/recorder.h"
#include "runs/run_control.h"
#include "sim/instrument.h"
#include "support/run_fixture.h"

#include <QFile>
#include <QLabel>
#include <QtTest>
#include <qcustomplot.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using display::Lamp;
using shell::RunPhase;

namespace {

const QColor kRed(255, 0, 0);

// The panel at rest after a run, or after a refused or failed START.
void verifyIdle(RunFixture &t)
{
    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
    QCOMPARE(t.f.controls.START_TEXT, u"START"_s);
    QCOMPARE(t.f.controls.START_TEXT_color, QColor(Qt::black));
    QVERIFY(!t.f.timers.READ_Timer.isEnabled());
    QVERIFY(!t.f.timers.STOP_Timer.isEnabled());
    QCOMPARE(t.f.state.TEST_TIME, 0.0);
    QVERIFY(!t.f.display.isLit(Lamp::RMT_LAB));
    QVERIFY(t.f.controls.SAVE_CHK.enabled);
    QVERIFY(!t.run.recorder.isOpen());
}

} // namespace

class TestRunControl : public QObject
{
    Q_OBJECT

private slots:
    void refusals_data();
    void refusals();
    void startCreatesFileAndArmsTimers();
    void cancelRunsWithoutFile();
    void badNamesAreRefused_data();
    void badNamesAreRefused();
    void startDuringNameBoxStartsNothing();
    void failedCreateReturnsToIdle();
    void intervalComesFromTheList_data();
    void intervalComesFromTheList();
    void runLength_data();
    void runLength();
    void stopByKey_data();
    void stopByKey();
    void stopTimerEndsDemonstrationRun_data();
    void stopTimerEndsDemonstrationRun();
    void demonstrationTickPlotsAndRecords();
    void demonstrationRecordsWithoutGraphWindow();
    void instrumentRunTickTogglesStartLamp();
    void demonstrationRange_data();
    void demonstrationRange();
    void demonstrationInterval_data();
    void demonstrationInterval();
    void staleTickStartsNothing();
    void expectedReadingTime_data();
    void expectedReadingTime();
};

void TestRunControl::refusals_data()
{
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("text");   // "" = no message at all
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("line");   // the one status line, or ""

    const QString dataInput = u"Please ensure that the DMM is:\r\n\r\n\uFF0E  Turned on\r\n"
                              u"\uFF0E  All leads and cables are properly connected\r\n"
                              u"\uFF0E  Remote connection has been established\r\n\r\nOr  \r\n\r\n"
                              u"\uFF0E  Select Random Data mode to enable software\r\n"
                              u"    demonstration mode\r\n"_s;
    QTest::newRow("a set-up menu is open") << u"menu"_s << QString() << QString() << QString();
    QTest::newRow("no link, no demonstration") << u"link"_s << dataInput << u"Data Input Error"_s << QString();
    QTest::newRow("no function") << u"function"_s << u"Please select a measurement function"_s
                                 << u"Start Error"_s << QString();
    QTest::newRow("no interval at all") << u"interval"_s << u"Please select a sample interval"_s
                                        << u"Start Error"_s << QString();
    // No box: the scan goes on meanwhile.
    QTest::newRow("the scanner window holds the line")
        << u"scan"_s << QString() << QString() << QString::fromUtf16(shell::kScanRefusal);
    // The reason follows the colon.
    QTest::newRow("line known to be lost") << u"lost"_s << u"The line to the instrument is down: "_s
                                           << u"Start Error"_s << QString();
}

void TestRunControl::refusals()
{
    QFETCH(QString, refusal);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(QString, line);
    RunFixture t;
    if (refusal == u"menu")
        t.f.state.FILT_SET = true;
    else if (refusal == u"link")
        t.f.controls.CHK_COM_TF.enabled = true;
    else if (refusal == u"function")
        t.f.state.MODE1.clear();
    else if (refusal == u"interval")
        t.f.controls.Speed_TIME = {{}, u"abc"_s, true};
    else if (refusal == u"lost")
        t.f.sim.device->close();
    else if (refusal == u"scan")
        t.f.state.scanRunning = true;
    const QString picture = t.f.controls.START_IMG;
    QString pictureDuringBox;
    rt::setMessageHandler([&](const rt::Message &message) {
        pictureDuringBox = t.f.controls.START_IMG;
        t.messages.record(message);
    });

    const int linesBefore = t.f.status.lineCount();
    runs::START_IMG_MouseDown(t.run);

    QCOMPARE(t.f.status.lineCount() - linesBefore, line.isEmpty() ? 0 : 1);
    if (!line.isEmpty())
        QCOMPARE(t.f.status.lines().back(), line);
    if (text.isEmpty()) {
        QVERIFY(t.messages.messages().isEmpty());
        QCOMPARE(t.f.controls.START_IMG, picture);  // not even the pressed picture
    } else {
        QCOMPARE(t.messages.messages().size(), 1);
        if (refusal == u"lost") {
            QVERIFY(t.messages.messages()[0].text.startsWith(text));
            QVERIFY(t.messages.messages()[0].text.size() > text.size());
            QVERIFY(t.files().isEmpty());  // no file for a run that cannot run
        } else {
            QCOMPARE(t.messages.messages()[0].text, text);
        }
        QCOMPARE(t.messages.messages()[0].title, title);
        QCOMPARE(t.messages.messages()[0].icon, rt::MessageIcon::Critical);
        // The box takes the mouse's release: the key is let go before it.
        QCOMPARE(pictureDuringBox, u"START_BUTT1.BMP"_s);
        QCOMPARE(t.f.controls.START_IMG, u"START_BUTT1.BMP"_s);
        QVERIFY(t.f.state.READ_OK);
    }
    QCOMPARE(t.nameBoxOpenings, 0);
    verifyIdle(t);
    QVERIFY(t.files().isEmpty());
}

void TestRunControl::startCreatesFileAndArmsTimers()
{
    RunFixture t;
    QList<bool> loadButton;
    QObject::connect(&t.run.events, &runs::RunEvents::loadButtonEnabled, [&](bool on) { loadButton.append(on); });
    t.f.display.setLit(Lamp::EXT_LAB, true);
    const QDateTime created = t.clock.wallNow();

    t.start();

    QCOMPARE(t.nameBoxOpenings, 1);
    QVERIFY(!t.f.controls.INPU_NAME_Frame_front);
    QVERIFY(t.f.controls.SAVE_CHK.checked);
    QCOMPARE(t.f.state.LOG_NAME, u"bench"_s);
    const QStringList files = t.files();
    QCOMPARE(files.size(), 1);
    QVERIFY2(files[0].endsWith(u"/SAVE DATA/bench-20130506-142233-001.txt"_s), qPrintable(files[0]));
    QFile file(files[0]);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), formats::headerBytes(created));

    QCOMPARE(t.f.state.runPhase, RunPhase::Timed);
    QCOMPARE(t.f.controls.START_TEXT, u"Logging"_s);
    QCOMPARE(t.f.controls.START_TEXT_color, kRed);
    QCOMPARE(t.f.controls.START_IMG, u"START_BUTT1.BMP"_s);  // released
    QVERIFY(t.f.timers.READ_Timer.isEnabled());
    QCOMPARE(t.f.timers.READ_Timer.interval(), 1000);
    QVERIFY(t.f.timers.STOP_Timer.isEnabled());
    QCOMPARE(t.f.timers.STOP_Timer.interval(), 1000);
    QCOMPARE(loadButton, QList<bool>{false});
    QCOMPARE(t.f.state.TEST_TIME, 30.0);
    QCOMPARE(t.f.state.ELAPSED_SECS, 0);
    QCOMPARE(t.f.state.START_SECS, 14 * 3600 + 22 * 60 + 33);
    QCOMPARE(t.f.status.text(), u"TEST Speed: 1000 milliseconds\r\n\r\nTest time : 0.5 minutes\r\n"_s);
    QVERIFY(!t.f.controls.CHK_COM_TF.enabled);
    QVERIFY(!t.f.controls.SAVE_CHK.enabled);
    QVERIFY(t.f.display.isLit(Lamp::RMT_LAB));
    // The external trigger gives way to the run's own readings.
    QVERIFY(!t.f.display.isLit(Lamp::EXT_LAB));
    QCOMPARE(t.f.sim.written, QStringList{u"trig:sour int\\10"_s});
    QVERIFY(t.messages.messages().isEmpty());
}

void TestRunControl::cancelRunsWithoutFile()
{
    RunFixture t(sim::Faults{}, u"Continuous"_s);
    t.f.controls.SAVE_CHK.checked = true;
    t.answerCancel();
    t.start();
    QVERIFY(!t.f.controls.SAVE_CHK.checked);
    QVERIFY(!QFile::exists(t.dir.filePath(u"SAVE DATA"_s)));
    QCOMPARE(t.f.state.runPhase, RunPhase::Timed);
    QCOMPARE(t.f.controls.START_TEXT, u"Logging"_s);
    QCOMPARE(t.f.state.TEST_TIME, -1.0);
    QCOMPARE(t.f.status.lines().last(), u"Test time : Continuous"_s);
}

void TestRunControl::badNamesAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QString();
    QTest::newRow("slash") << u"a/b"_s;
    QTest::newRow("backslash") << u"a\\b"_s;
    QTest::newRow("colon") << u"c:x"_s;
    QTest::newRow("two dots") << u".."_s;
    QTest::newRow("up and out") << u"x/../../etc"_s;
    QTest::newRow("tab") << u"x\ty"_s;
}

void TestRunControl::badNamesAreRefused()
{
    QFETCH(QString, name);
    RunFixture t;
    t.onNameBox = [&] {
        t.f.controls.INPU_NAME_TEXT = name;
        runs::INPU_NAME_OK_Click(t.run);
        // Refused: the box stays open, the name unused.
        QCOMPARE(t.messages.messages().size(), 1);
        QCOMPARE(t.messages.messages()[0].text, u"The Input Name Err"_s);
        QCOMPARE(t.messages.messages()[0].title, u"Input Err"_s);
        QCOMPARE(t.messages.messages()[0].icon, rt::MessageIcon::Critical);
        QVERIFY(t.f.controls.INPU_NAME_Frame_front);
        QVERIFY(!t.f.state.NAME_DONE);
        QCOMPARE(t.f.state.LOG_NAME, u"DMM"_s);
        runs::NAME_BUTT_CANC_Click(t.run);
    };
    t.start();
    QCOMPARE(t.f.state.runPhase, RunPhase::Timed);
    QCOMPARE(t.f.state.LOG_NAME, u"DMM"_s);
    QVERIFY(!QFile::exists(t.dir.filePath(u"SAVE DATA"_s)));
}

void TestRunControl::startDuringNameBoxStartsNothing()
{
    RunFixture t;
    t.onNameBox = [&] {
        if (t.nameBoxOpenings > 1)
            return;  // the box comes forward again; nothing else
        runs::START_IMG_MouseDown(t.run);
        QCOMPARE(t.f.state.runPhase, RunPhase::Naming);
        QCOMPARE(t.f.controls.START_TEXT, u"START"_s);
        t.f.controls.INPU_NAME_TEXT = u"once"_s;
        runs::INPU_NAME_OK_Click(t.run);
    };
    t.start();
    QCOMPARE(t.nameBoxOpenings, 2);
    QCOMPARE(t.f.state.runPhase, RunPhase::Timed);
    QCOMPARE(t.files().size(), 1);
    QCOMPARE(t.f.status.lines().size(), 3);  // one start's lines
}

void TestRunControl::failedCreateReturnsToIdle()
{
    RunFixture t;
    {
        QFile blocker(t.dir.filePath(u"SAVE DATA"_s));  // a file where the folder belongs
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    QList<bool> loadButton;
    QObject::connect(&t.run.events, &runs::RunEvents::loadButtonEnabled, [&](bool on) { loadButton.append(on); });
    t.start();

    QCOMPARE(t.messages.messages().size(), 1);
    QCOMPARE(t.messages.messages()[0].title, u"Start Error"_s);
    QCOMPARE(t.messages.messages()[0].icon, rt::MessageIcon::Critical);
    QVERIFY2(t.messages.messages()[0].text.startsWith(u"The recorded-data file cannot be created"_s),
             qPrintable(t.messages.messages()[0].text));
    verifyIdle(t);
    QCOMPARE(loadButton, QList<bool>{true});

    // The panel is usable: a run without a file starts.
    t.answerCancel();
    t.start();
    QCOMPARE(t.f.state.runPhase, RunPhase::Timed);
    QCOMPARE(t.f.controls.START_TEXT, u"Logging"_s);
}

void TestRunControl::intervalComesFromTheList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("speedBefore");
    QTest::addColumn<QString>("shown");     // Speed_TIME's text after START
    QTest::addColumn<qint32>("speed");
    QTest::addColumn<int>("timer");         // READ_Timer's interval
    QTest::newRow("SPEED_MS 0, list 16.667") << u"16.667"_s << 0 << u"16.667"_s << 17 << 17;
    QTest::newRow("SPEED_MS behind the list") << u"200"_s << 500 << u"200"_s << 200 << 200;
    QTest::newRow("ten minutes: timer ticks at 1 s") << u"600000"_s << 500 << u"600000"_s << 600000 << 1000;
    QTest::newRow("no interval text: the first entry") << u""_s << 0 << u"16.667"_s << 17 << 17;
}

void TestRunControl::intervalComesFromTheList()
{
    QFETCH(QString, text);
    QFETCH(qint32, speedBefore);
    QFETCH(QString, shown);
    QFETCH(qint32, speed);
    QFETCH(int, timer);
    RunFixture t;
    t.answerCancel();
    t.f.controls.Speed_TIME.text = text;
    t.f.state.SPEED_MS = speedBefore;
    t.start();
    QCOMPARE(t.f.controls.Speed_TIME.text, shown);
    QCOMPARE(t.f.state.SPEED_MS, speed);
    QCOMPARE(t.f.timers.READ_Timer.interval(), timer);
}

void TestRunControl::runLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("seconds");
    QTest::newRow("blank") << u"    "_s << 0.0;
    QTest::newRow("continuous") << u"Continuous          "_s << -1.0;
    QTest::newRow("half a minute") << u"0.5"_s << 30.0;
    QTest::newRow("a day, padded") << u"1440                "_s << 86400.0;
    QTest::newRow("leading number") << u"5 min"_s << 300.0;
    QTest::newRow("no number") << u"abc"_s << 0.0;
}

void TestRunControl::runLength()
{
    QFETCH(QString, text);
    QFETCH(double, seconds);
    QCOMPARE(runs::runLength(text), seconds);
}

void TestRunControl::stopByKey_data()
{
    QTest::addColumn<bool>("demonstration");
    QTest::newRow("demonstration run") << true;
    QTest::newRow("instrument run, before its loop") << false;
}

void TestRunControl::stopByKey()
{
    QFETCH(bool, demonstration);
    RunFixture t;
    if (demonstration)
        t.demonstration();
    QList<bool> loadButton;
    QObject::connect(&t.run.events, &runs::RunEvents::loadButtonEnabled, [&](bool on) { loadButton.append(on); });
    t.start();
    QCOMPARE(t.f.state.runPhase, RunPhase::Timed);
    t.f.sim.written.clear();

    t.start();

    verifyIdle(t);
    QCOMPARE(loadButton, (QList<bool>{false, true}));
    QCOMPARE(t.f.controls.CHK_COM_TF.enabled, demonstration);
    // Local operation again, only when there is a link to send it on.
    QCOMPARE(t.f.sim.written, demonstration ? QStringList() : QStringList{u"SYST:LOC\\10"_s});
    QCOMPARE(t.nameBoxOpenings, 1);
    QVERIFY(t.messages.messages().isEmpty());
}

void TestRunControl::stopTimerEndsDemonstrationRun_data()
{
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QTime>("wallStart");
    QTest::addColumn<int>("endsAt");  // seconds; -1: never
    QTest::newRow("five minutes") << u"5"_s << QTime(14, 0) << 300;
    QTest::newRow("across midnight") << u"1"_s << QTime(23, 59, 30) << 60;
    QTest::newRow("a whole day") << u"1440"_s << QTime(8, 0) << 86400;
    QTest::newRow("continuous") << u"Continuous"_s << QTime(23, 0) << -1;
}

void TestRunControl::stopTimerEndsDemonstrationRun()
{
    QFETCH(QString, minutes);
    QFETCH(QTime, wallStart);
    QFETCH(int, endsAt);
    RunFixture t(sim::Faults{}, minutes);
    t.clock.advance(std::chrono::milliseconds(wallStart.msecsSinceStartOfDay() - QTime(14, 22, 33).msecsSinceStartOfDay()) + 24h);
    QCOMPARE(t.clock.wallNow().time(), wallStart);
    t.demonstration();
    t.answerCancel();
    t.start();

    const int last = endsAt < 0 ? 400000 : endsAt;
    t.clock.advance(std::chrono::seconds(last - 1));
    t.f.timers.STOP_Timer.tick();
    QCOMPARE(t.f.state.runPhase, RunPhase::Timed);
    QCOMPARE(t.f.state.ELAPSED_SECS, last - 1);
    t.clock.advance(1s);
    t.f.timers.STOP_Timer.tick();
    QCOMPARE(t.f.state.ELAPSED_SECS, last);
    if (endsAt < 0) {
        QCOMPARE(t.f.state.runPhase, RunPhase::Timed);
        QCOMPARE(t.f.state.TEST_TIME, -1.0);
        return;
    }
    verifyIdle(t);
    QCOMPARE(formats::elapsedText(t.f.state.ELAPSED_SECS), endsAt == 86400 ? u"00:00:00"_s
                                                                          : formats::elapsedText(endsAt));
}

void TestRunControl::demonstrationTickPlotsAndRecords()
{
    RunFixture t;
    t.demonstration();
    runs::Graph_Form graph;
    graph.connectRun(t.run);
    // 10 mV range: point 2 with the milli and volt lamps.
    t.f.display.setLit(display::Points::DROP_IMG, 2, true);
    t.f.display.setLit(Lamp::T_min_LAB1, true);
    t.f.display.setLit(Lamp::T_V_LAB1, true);
    t.start();
    QCOMPARE(graph.SHOW_Time->text(), u"00:00:00"_s);

    for (int tick = 1; tick <= 3; ++tick) {
        t.clock.advance(1s);
        t.f.timers.READ_Timer.tick();
        QCOMPARE(t.f.state.runPhase, RunPhase::Timed);  // a demonstration run keeps ticking
        QCOMPARE(t.f.state.ELAPSED_SECS, tick);
        QCOMPARE(t.f.timers.READ_Timer.interval(), 1000);  // the tick took no time
    }
    QCOMPARE(t.f.state.MODE1_RANGE, u"10mV"_s);
    QCOMPARE(graph.CWGraph1->graph(0)->dataCount(), 3);
    QCOMPARE(graph.SHOW_Time->text(), u"00:00:03"_s);
    QCOMPARE(t.f.state.RECORD_COUNT, 3);
    QCOMPARE(t.table.row(3).point, 3);
    const QStringList files = t.files();
    QCOMPARE(files.size(), 1);
    const QList<QByteArray> records = RunFixture::records(files[0]);
    QCOMPARE(records.size(), 3);
    QVERIFY(records[2].startsWith("00003,   00:00:03,    2013/05/06 14:22:36,"));
    QVERIFY(t.f.sim.wire().isEmpty());  // a demonstration sends nothing
}

// The trend graph only shows the points: with its window closed the ticks
// are counted, tabled and recorded all the same.
void TestRunControl::demonstrationRecordsWithoutGraphWindow()
{
    RunFixture t;
    t.demonstration();
    t.start();
    for (int tick = 1; tick <= 2; ++tick) {
        t.clock.advance(1s);
        t.f.timers.READ_Timer.tick();
    }
    QCOMPARE(t.f.state.RECORD_COUNT, 2);
    QCOMPARE(t.table.row(2).point, 2);
    const QStringList files = t.files();
    QCOMPARE(files.size(), 1);
    QCOMPARE(RunFixture::records(files[0]).size(), 2);
}

// The START lamp blinks with the run driver's ticks for instrument runs as
// for demonstration ones (whose reading toggles it once more).
void TestRunControl::instrumentRunTickTogglesStartLamp()
{
    RunFixture t(sim::Faults{}, u"0.05"_s);  // 3 s
    t.f.display.setLit(Lamp::START_LAB, true);
    t.start();
    t.clock.advance(1s);
    t.f.timers.READ_Timer.tick();
    QVERIFY(!t.f.display.isLit(Lamp::START_LAB));
}

void TestRunControl::demonstrationRange_data()
{
    QTest::addColumn<QList<int>>("points");
    QTest::addColumn<QList<Lamp>>("lamps");
    QTest::addColumn<QString>("range");
    QTest::newRow("no point: kept") << QList<int>{} << QList<Lamp>{Lamp::T_V_LAB1} << u"AUTO"_s;
    QTest::newRow("10 mV") << QList<int>{2} << QList<Lamp>{Lamp::T_V_LAB1, Lamp::T_min_LAB1} << u"10mV"_s;
    QTest::newRow("1 kOhm") << QList<int>{1} << QList<Lamp>{Lamp::T_R_LAB1, Lamp::T_K_LAB1} << u"1KOhm"_s;
    QTest::newRow("100 uA") << QList<int>{3} << QList<Lamp>{Lamp::T_A_LAB1, Lamp::T_u_LAB1} << u"100uA"_s;
    QTest::newRow("10000 Hz") << QList<int>{5} << QList<Lamp>{Lamp::T_Hz_LAB1} << u"10000Hz"_s;
    QTest::newRow("the last lit point counts") << QList<int>{1, 4} << QList<Lamp>{Lamp::T_V_LAB1}
                                                << u"1000V"_s;
    QTest::newRow("point 0 is not a scale") << QList<int>{0} << QList<Lamp>{Lamp::T_V_LAB1} << u"AUTO"_s;
}

void TestRunControl::demonstrationRange()
{
    QFETCH(QList<int>, points);
    QFETCH(QList<Lamp>, lamps);
    QFETCH(QString, range);
    display::DisplayModel model;
    model.setAllLit(false);
    for (int point : points)
        model.setLit(display::Points::DROP_IMG, point, true);
    for (Lamp lamp : lamps)
        model.setLit(lamp, true);
    QCOMPARE(runs::demonstrationRange(model, u"AUTO"_s), range);

    // The diode picture stands for volts, the continuity picture for ohms.
    if (range == u"10mV") {
        model.setLit(Lamp::T_V_LAB1, false);
        model.setLit(display::Symbol::DIODE_IMG, true);
        QCOMPARE(runs::demonstrationRange(model, u"AUTO"_s), u"10mV"_s);
        model.setLit(display::Symbol::DIODE_IMG, false);
        model.setLit(display::Symbol::CONTINU_IMG, true);
        QCOMPARE(runs::demonstrationRange(model, u"AUTO"_s), u"10mOhm"_s);
    }
}

void TestRunControl::demonstrationInterval_data()
{
    QTest::addColumn<qint64>("tickMs");
    QTest::addColumn<int>("interval");
    QTest::newRow("no time") << qint64(0) << 1000;
    QTest::newRow("clock went back") << qint64(-5) << 1000;
    QTest::newRow("1 ms") << qint64(1) << 999;
    QTest::newRow("almost all") << qint64(999) << 1;
    QTest::newRow("exactly the interval") << qint64(1000) << 10;
    QTest::newRow("overran") << qint64(1500) << 1000;
}

void TestRunControl::demonstrationInterval()
{
    QFETCH(qint64, tickMs);
    QFETCH(int, interval);
    QCOMPARE(runs::demonstrationInterval(tickMs, 1000), interval);
}

void TestRunControl::staleTickStartsNothing()
{
    RunFixture t;
    // A key that resumes a paused run re-arms READ_Timer after the run.
    t.f.timers.READ_Timer.setInterval(1000);
    t.f.timers.READ_Timer.setEnabled(true);
    t.f.timers.READ_Timer.tick();
    QVERIFY(!t.f.timers.READ_Timer.isEnabled());
    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
    QVERIFY(t.f.sim.written.isEmpty());
    QCOMPARE(t.f.state.RECORD_COUNT, 0);
}

// The channel waits the ordinary bound plus this for a reading: it must
// cover the time the instrument really takes at every function, rate and
// filter the panel can show (the simulator models that time), or a healthy
// instrument would time out; a slower rate never gets a shorter wait.
void TestRunControl::expectedReadingTime_data()
{
    QTest::addColumn<QString>("mode");    // MODE1
    QTest::addColumn<QString>("simFunc"); // the simulator's function
    for (const auto &[mode, func] : {std::pair{"DCV", "DCV"}, {"ACV", "ACV"}, {"DCI", "DCI"},
                                     {"ACI", "ACI"}, {"2W", "2W"}, {"4W", "4W"}, {"Hz", "Hz"},
                                     {"P", "P"}, {"DIODE", "DIODE"}, {"CONTINU", "CONTINU"},
                                     {"C", "TEMP"}})
        QTest::newRow(mode) << QString::fromLatin1(mode) << QString::fromLatin1(func);
}

void TestRunControl::expectedReadingTime()
{
    QFETCH(QString, mode);
    QFETCH(QString, simFunc);
    RunFixture t;
    t.f.state.MODE1 = mode;
    std::chrono::milliseconds slower{std::chrono::hours(1)};
    for (const auto &[letter, lamp] : {std::pair{'S', Lamp::S_LAB}, {'M', Lamp::M_LAB}, {'F', Lamp::F_LAB}}) {
        for (const bool filter : {false, true}) {
            QString why;
            sim::Instrument instrument;
            QVERIFY2(instrument.setStates(u"func1=%1,rate=%2,filter=%3,filtcount=100,timescale=1"_s
                                              .arg(simFunc, QChar(letter), filter ? u"on"_s : u"off"_s),
                                          &why),
                     qPrintable(why));
            for (Lamp rate : {Lamp::S_LAB, Lamp::M_LAB, Lamp::F_LAB})
                t.f.display.setLit(rate, rate == lamp);
            t.f.display.setLit(Lamp::FILT_LAB, filter);
            const std::chrono::milliseconds bound = runs::expectedReadingTime(t.f.panel);
            QVERIFY2(double(bound.count()) >= instrument.readingTimeMs(),
                     qPrintable(u"rate %1, filter %2: %3 ms < %4 ms"_s.arg(QChar(letter)).arg(filter)
                                    .arg(bound.count()).arg(instrument.readingTimeMs())));
            if (!filter) {
                QVERIFY(bound <= slower);
                slower = bound;
            }
        }
    }
    // No rate lamp lit: the slowest rate counts.
    for (Lamp rate : {Lamp::S_LAB, Lamp::M_LAB, Lamp::F_LAB})
        t.f.display.setLit(rate, false);
    t.f.display.setLit(Lamp::FILT_LAB, false);
    t.f.display.setLit(Lamp::S_LAB, true);
    const std::chrono::milliseconds slow = runs::expectedReadingTime(t.f.panel);
    t.f.display.setLit(Lamp::S_LAB, false);
    QCOMPARE(runs::expectedReadingTime(t.f.panel), slow);
}

QTEST_MAIN(TestRunControl)
#include "tst_run_control.moc"
