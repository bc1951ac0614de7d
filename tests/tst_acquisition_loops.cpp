// The normal and fast acquisition loops on the simulated instrument with a
// run clock the tests move: transcripts, pass and block counts, stops in
// the middle of a pass and of a block, time-outs that are not recorded,
// values cut short, the port vanishing (file closed, nothing lost, panel
// usable), roll-over, REC_EVERY, recording off, a slow instrument against
// the channel's reading bound, and nobody else talking while samples stream.

#include "core/panel.h"
#include "platform/runtime.h"
#include "runs/fast_loop.h"
#include "runs/normal_loop.h"
#include "runs/recorder.h"
#include "shell/raw_command.h"
#include "shell/status.h"
#include "support/run_fixture.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using display::Lamp;
using shell::RunPhase;

namespace {

const QStringList kNormalSetup = {u"SENS:ZERO:AUTO ON\r\n"_s, u"SENS:GAIN:AUTO ON\r\n"_s,
                                  u"SYST:DISP ON\r\n"_s, u"TRIG:DEL 10\r\n"_s};
const QString kRateQuery = u"sens:det:rate?\\10"_s;
const QString kLocal = u"SYST:LOC\\10"_s;

// A fast-run record: number, elapsed, date, DCV right-aligned in 10, the
// value exactly as the instrument sent it right-aligned in 16, then the two
// empty display-2 fields.
const QRegularExpression kFastRecord(
    u"^(\\d{5}),   \\d\\d:\\d\\d:\\d\\d,    2013/05/06 \\d\\d:\\d\\d:\\d\\d,       DCV,"
    u"   ([+-]\\d\\.\\d{6}E[+-]\\d\\d),          ,                ,\\r$"_s);

// The texts the program passed to Write after the first `from`.
QStringList writtenFrom(const RunFixture &t, qsizetype from)
{
    return t.f.sim.written.mid(from);
}

// Every record of the file is the table's row of the same number, with the
// elapsed seconds given: table and file agree field by field.
void verifyRecordsAreTheRows(const RunFixture &t, const QString &path, const QList<int> &elapsed)
{
    const QList<QByteArray> records = RunFixture::records(path);
    QCOMPARE(records.size(), elapsed.size());
    for (qsizetype i = 0; i < records.size(); ++i) {
        const int point = records[i].left(5).toInt();
        const runs::ReadingRow &row = t.table.row(point);
        QVERIFY(row.filled);
        const formats::RecordFields fields{row.point, formats::elapsedText(elapsed[i]), row.when, row.MODE1,
                                        row.DISPLAY1.isEmpty() ? u" "_s : row.DISPLAY1, row.MODE2,
                                        row.DISPLAY2};
        QCOMPARE(records[i] + '\n', formats::recordLine(fields).toUtf8());
    }
}

QList<int> range(int from, int to)
{
    QList<int> list;
    for (int n = from; n <= to; ++n)
        list.append(n);
    return list;
}

// Moves the channel's own waits down, so a time-out costs milliseconds.
void shortBounds(RunFixture &t, std::chrono::milliseconds reply = 30ms)
{
    t.f.sim.link.setReplyBound(reply);
    t.f.sim.link.setQuietTime(10ms);
}

} // namespace

class TestAcquisitionLoops : public QObject
{
    Q_OBJECT

private slots:
    // The normal loop.
    void normalTranscript_data();
    void normalTranscript();
    void continuousRunStopsByKey();
    void stopMidPass();
    void ticksDuringALoopStartNothing();
    void timeoutsAreNotRecorded();
    void threeTimeoutsEndTheRun();
    void vanishingPortEndsTheRun();
    void recordEvery_data();
    void recordEvery();
    void rollOverInTheLoop();
    void notSavingCreatesNothing();
    void slowInstrumentWithinItsBound_data();
    void slowInstrumentWithinItsBound();
    void programEndingClosesTheFile_data();
    void programEndingClosesTheFile();

    // The fast loop.
    void fastSetup_data();
    void fastSetup();
    void fastRunRecordsEverySample();
    void fastStopMidBlock();
    void noOtherTalkWhileStreaming();
    void cutValuesAreNeverRecorded();
    void fastVanishingPort();
    void continuousFastRun();
    void fastRunNotSaving();
};

// ---- normal loop ------------------------------------------------------------

void TestAcquisitionLoops::normalTranscript_data()
{
    QTest::addColumn<Lamp>("lamp");
    QTest::addColumn<QString>("query");
    QTest::newRow("reading") << Lamp::HOLD_LAB << u"read? buf\\10"_s;
    QTest::newRow("MAX lit") << Lamp::MAX_LAB << u"CALC:MAX?\r\n"_s;
    QTest::newRow("MIN lit") << Lamp::MIN_LAB << u"CALC:MIN?\r\n"_s;
}

void TestAcquisitionLoops::normalTranscript()
{
    QFETCH(Lamp, lamp);
    QFETCH(QString, query);
    RunFixture t(sim::Faults{}, u"0.05"_s);  // 3 s
    t.f.display.setLit(lamp, true);
    t.f.state.RECORD_COUNT = 41;  // a run continues the numbering
    t.start();
    const qsizetype before = t.f.sim.written.size();
    t.runTicks();

    QCOMPARE(writtenFrom(t, before),
             (kNormalSetup + QStringList{query, query, query, kRateQuery, kLocal}));
    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
    QCOMPARE(t.f.state.RECORD_COUNT, 44);
    QCOMPARE(t.table.dataRows(), 44);
    QCOMPARE(t.table.row(42).point, 42);
    const QStringList files = t.files();
    QCOMPARE(files.size(), 1);
    QVERIFY(!t.run.recorder.isOpen());
    // The first pass comes one interval after the start, the last at 3 s.
    verifyRecordsAreTheRows(t, files[0], {1, 2, 3});
    QVERIFY(RunFixture::records(files[0])[0].startsWith("00042,   00:00:01,    2013/05/06 14:22:34,"));
    QVERIFY(t.messages.messages().isEmpty());
}

void TestAcquisitionLoops::continuousRunStopsByKey()
{
    RunFixture t(sim::Faults{}, u"Continuous"_s);
    QList<runs::Nanos> late;
    t.run.passBegan = [&](runs::Nanos l) { late.append(l); };
    t.clock.at(5500ms, [&] { t.start(); });
    t.start();
    const qsizetype before = t.f.sim.written.size();
    t.runTicks();

    // Five passes, then the key (local operation at once) and the end.
    QCOMPARE(late.size(), 5);
    QCOMPARE(late, QList<runs::Nanos>(5, runs::Nanos::zero()));
    const QString read = u"read? buf\\10"_s;
    QCOMPARE(writtenFrom(t, before),
             (kNormalSetup + QStringList{read, read, read, read, read, kLocal, kRateQuery, kLocal}));
    QCOMPARE(t.f.state.RECORD_COUNT, 5);
    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
    QCOMPARE(t.f.controls.START_TEXT, u"START"_s);
    verifyRecordsAreTheRows(t, t.files().value(0), range(1, 5));
}

void TestAcquisitionLoops::stopMidPass()
{
    RunFixture t(sim::Faults{}, u"Continuous"_s);
    int queries = 0;
    t.f.sim.link.setWriteTap([&](const QString &text) {
        t.f.sim.written.append(text);
        if (text.startsWith(u"read?") && ++queries == 3)
            runs::START_IMG_MouseDown(t.run);  // while the pass waits for its reply
    });
    t.start();
    t.runTicks();

    // The pass that was under way is read, listed and recorded.
    QCOMPARE(queries, 3);
    QCOMPARE(t.f.state.RECORD_COUNT, 3);
    QCOMPARE(t.table.dataRows(), 3);
    verifyRecordsAreTheRows(t, t.files().value(0), range(1, 3));
    QCOMPARE(t.f.sim.written.count(kLocal), 2);  // from the key, and from the end
    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
}

void TestAcquisitionLoops::ticksDuringALoopStartNothing()
{
    RunFixture t(sim::Faults{}, u"0.1"_s);  // 6 s
    t.clock.at(2500ms, [&] {
        // A key that resumes a paused run re-arms READ_Timer; its tick and
        // STOP_Timer's come while the loop holds the thread.
        t.f.timers.READ_Timer.setEnabled(true);
        t.f.timers.READ_Timer.tick();
        t.f.timers.STOP_Timer.tick();
        runs::READ_Timer_Timer(t.run);
    });
    t.start();
    t.runTicks();
    QCOMPARE(t.f.state.RECORD_COUNT, 6);
    QCOMPARE(t.f.sim.written.count(kNormalSetup[0]), 1);  // one loop
    QVERIFY(!t.f.timers.READ_Timer.isEnabled());
    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
}

void TestAcquisitionLoops::timeoutsAreNotRecorded()
{
    // Every third reply comes without its end: that pass times out.
    RunFixture t(sim::Faults{.cutEvery = 3}, u"0.1"_s);
    shortBounds(t);
    t.start();
    t.runTicks();

    QCOMPARE(t.f.state.RECORD_COUNT, 4);
    QCOMPARE(t.table.dataRows(), 4);
    // No gap in the numbers, and each record where its pass was.
    verifyRecordsAreTheRows(t, t.files().value(0), {1, 2, 4, 5});
    QCOMPARE(t.f.status.lines().filter(u"No reading at 00:00:03: No reply"_s).size(), 1);
    QCOMPARE(t.f.status.lines().filter(u"No reading at 00:00:06: No reply"_s).size(), 1);
    QVERIFY(t.messages.messages().isEmpty());  // the run went on to its end
    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
}

void TestAcquisitionLoops::threeTimeoutsEndTheRun()
{
    // Four set-up commands and one query are answered, then nothing.
    RunFixture t(sim::Faults{.silentAfter = 5}, u"Continuous"_s);
    shortBounds(t);
    t.start();
    t.runTicks();

    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
    QCOMPARE(t.f.state.RECORD_COUNT, 1);
    QCOMPARE(t.f.status.lines().filter(u"No reading at"_s).size(), 3);
    QVERIFY(!t.run.recorder.isOpen());
    verifyRecordsAreTheRows(t, t.files().value(0), {1});
    QCOMPARE(t.messages.messages().size(), 1);
    const rt::Message message = t.messages.messages()[0];
    QVERIFY2(message.text.startsWith(u"The run has ended: three readings in a row did not come"_s),
             qPrintable(message.text));
    QVERIFY(message.text.contains(t.files().value(0)));
    QCOMPARE(message.title, u"Run ended"_s);
    QCOMPARE(t.f.controls.START_TEXT, u"START"_s);
    QVERIFY(t.f.state.REMOTE_OK);  // the line is there; the instrument is silent
}

void TestAcquisitionLoops::vanishingPortEndsTheRun()
{
    // The line goes with the seventh command: the third query.
    RunFixture t(sim::Faults{.hangupAfter = 7}, u"Continuous"_s);
    shortBounds(t);
    t.start();
    t.runTicks();

    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
    QCOMPARE(t.f.state.RECORD_COUNT, 2);
    QVERIFY(!t.run.recorder.isOpen());
    const QStringList files = t.files();
    QCOMPARE(RunFixture::lines(files.value(0)).size(), 3 + 2);
    verifyRecordsAreTheRows(t, files.value(0), {1, 2});
    QCOMPARE(t.messages.messages().size(), 1);
    QVERIFY2(t.messages.messages()[0].text.startsWith(u"The run has ended: the line to the instrument was lost"_s),
             qPrintable(t.messages.messages()[0].text));
    QVERIFY(!t.f.state.REMOTE_OK);
    QCOMPARE(t.f.sim.written.count(kLocal), 0);  // nothing goes to a line that is gone

    // The panel is usable: START says there is no link, or runs the
    // demonstration.
    QVERIFY(t.f.controls.CHK_COM_TF.enabled);
    t.messages.clear();
    t.start();
    QCOMPARE(t.messages.messages().value(0).title, u"Data Input Error"_s);
    t.demonstration();
    t.answerCancel();
    t.start();
    QCOMPARE(t.f.state.runPhase, RunPhase::Timed);
}

void TestAcquisitionLoops::recordEvery_data()
{
    QTest::addColumn<QString>("every");
    QTest::addColumn<QList<int>>("points");
    QTest::newRow("every record") << u"1"_s << QList<int>{1, 2, 3, 4};
    QTest::newRow("every second") << u"2"_s << QList<int>{2, 4};
    QTest::newRow("zero counts as 1") << u"0"_s << QList<int>{1, 2, 3, 4};
    QTest::newRow("no number counts as 1") << u"abc"_s << QList<int>{1, 2, 3, 4};
}

void TestAcquisitionLoops::recordEvery()
{
    QFETCH(QString, every);
    QFETCH(QList<int>, points);
    RunFixture t(sim::Faults{}, u"0.0333333"_s);  // 2 s at 500 ms
    t.setInterval(u"500"_s);
    t.f.state.SETTING.REC_EVERY = every;
    t.start();
    t.runTicks();

    QCOMPARE(t.f.state.RECORD_COUNT, 4);
    QCOMPARE(t.table.dataRows(), points.size());
    const QList<QByteArray> records = RunFixture::records(t.files().value(0));
    QList<int> recorded;
    for (const QByteArray &record : records)
        recorded.append(record.left(5).toInt());
    QCOMPARE(recorded, points);
    // Every reply was read, recorded or not: none is left to answer a later
    // query.
    QCOMPARE(t.f.sim.link.InputCount(), 0);
    QVERIFY(t.f.status.lines().filter(u"No reading"_s).isEmpty());
}

void TestAcquisitionLoops::rollOverInTheLoop()
{
    RunFixture t(sim::Faults{}, u"0.0583333"_s);  // 3.5 s at 500 ms
    t.setInterval(u"500"_s);
    t.run.recorder.setRecordsPerFile(3);
    t.f.state.RECORD_COUNT = 1;  // left by an earlier run
    t.start();
    t.runTicks();

    const QStringList files = t.files();
    QCOMPARE(files.size(), 3);
    QVERIFY2(files[0].endsWith(u"bench-20130506-142233-001.txt"_s), qPrintable(files[0]));
    QVERIFY2(files[1].endsWith(u"bench-20130506-142234-002.txt"_s), qPrintable(files[1]));
    QVERIFY2(files[2].endsWith(u"bench-20130506-142235-003.txt"_s), qPrintable(files[2]));
    auto numbers = [](const QString &path) {
        QList<int> list;
        for (const QByteArray &record : RunFixture::records(path))
            list.append(record.left(5).toInt());
        return list;
    };
    QCOMPARE(numbers(files[0]), (QList<int>{2, 3}));
    QCOMPARE(numbers(files[1]), (QList<int>{1, 2, 3}));
    QCOMPARE(numbers(files[2]), (QList<int>{1, 2}));
    for (const QString &path : files)
        QVERIFY(RunFixture::lines(path).value(1).startsWith("Total,"));
    // The table starts again with the new file's numbering.
    QCOMPARE(t.table.dataRows(), 2);
    QCOMPARE(t.f.state.RECORD_COUNT, 2);
    QCOMPARE(t.f.state.LOG_FILE_NO, 3);
}

void TestAcquisitionLoops::notSavingCreatesNothing()
{
    RunFixture t(sim::Faults{}, u"0.05"_s);
    t.answerCancel();
    t.start();
    t.runTicks();
    QCOMPARE(t.f.state.RECORD_COUNT, 3);
    QCOMPARE(t.table.dataRows(), 3);
    QVERIFY(!QFile::exists(t.dir.filePath(u"SAVE DATA"_s)));
    QVERIFY(t.messages.messages().isEmpty());
}

void TestAcquisitionLoops::slowInstrumentWithinItsBound_data()
{
    QTest::addColumn<bool>("filterLamp");
    QTest::addColumn<int>("records");
    QTest::newRow("the panel shows the filter: the reading waits") << true << 1;
    QTest::newRow("the panel does not know it: time-outs") << false << 0;
}

void TestAcquisitionLoops::slowInstrumentWithinItsBound()
{
    QFETCH(bool, filterLamp);
    QFETCH(int, records);
    // A repeating filter of 10 at the slow rate: 300 ms a reading, far past
    // the ordinary reply bound set here.
    RunFixture t(sim::Faults{}, u"0.0166666"_s);  // one pass
    QVERIFY(t.f.sim.instrument.setStates(u"timescale=1,rate=S,filter=1,filtcount=10"_s));
    shortBounds(t, 20ms);
    t.f.display.setLit(Lamp::M_LAB, false);
    t.f.display.setLit(Lamp::S_LAB, true);
    t.f.display.setLit(Lamp::FILT_LAB, filterLamp);
    t.start();
    t.runTicks();

    QCOMPARE(t.f.state.RECORD_COUNT, records);
    QCOMPARE(t.f.status.lines().filter(u"No reading"_s).size(), 1 - records);
    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
}

void TestAcquisitionLoops::programEndingClosesTheFile_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<int>("records");
    QTest::newRow("normal loop: after its pass") << u"1000"_s << 2;
    QTest::newRow("fast loop: after its block") << u"16.667"_s << 120;
}

void TestAcquisitionLoops::programEndingClosesTheFile()
{
    QFETCH(QString, interval);
    QFETCH(int, records);
    RunFixture t(sim::Faults{}, u"Continuous"_s);
    t.setInterval(interval);
    t.clock.at(2500ms, [&] { runs::programEnding(t.run); });
    t.start();
    const qsizetype before = t.f.sim.written.size();
    t.runTicks();

    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
    QVERIFY(!t.run.recorder.isOpen());
    QCOMPARE(RunFixture::records(t.files().value(0)).size(), records);
    // Nothing is shown, and the closing window returns the instrument to
    // local operation itself.
    QVERIFY(t.messages.messages().isEmpty());
    QVERIFY(!writtenFrom(t, before).contains(kLocal));
    QVERIFY(!writtenFrom(t, before).contains(kRateQuery));

    // A START afterwards does not wait for a name box that nobody answers.
    t.onNameBox = [] {};
    t.start();
    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
}

// ---- fast loop --------------------------------------------------------------

void TestAcquisitionLoops::fastSetup_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("samples");
    QTest::addColumn<QString>("rate");
    QTest::newRow("DCV at 16.667") << u"16.667"_s << u"DCV"_s << 60 << u"SENS:VOLT:DC:NPLC 1"_s;
    QTest::newRow("DCV at 33.333") << u"33.333"_s << u"DCV"_s << 30 << u"SENS:VOLT:DC:NPLC 2"_s;
    QTest::newRow("DCI at 16.667") << u"16.667"_s << u"DCI"_s << 60 << u"SENS:CURR:DC:NPLC 1"_s;
    QTest::newRow("2W at 33.333") << u"33.333"_s << u"2W"_s << 30 << u"SENS:RES:DC:NPLC 2"_s;
    QTest::newRow("4W at 16.667") << u"16.667"_s << u"4W"_s << 60 << u"SENS:FRES:DC:NPLC 1"_s;
    QTest::newRow("ACV at 33.333") << u"33.333"_s << u"ACV"_s << 30 << u"sens:det:rate F"_s;
    QTest::newRow("ACI at 16.667: none") << u"16.667"_s << u"ACI"_s << 60 << QString();
    QTest::newRow("Hz: none") << u"33.333"_s << u"Hz"_s << 30 << QString();
}

void TestAcquisitionLoops::fastSetup()
{
    QFETCH(QString, interval);
    QFETCH(QString, mode);
    QFETCH(int, samples);
    QFETCH(QString, rate);
    const runs::FastSetup setup = runs::fastSetup(mode, rt::leadingNumber(interval));
    QCOMPARE(setup.samples, samples);
    QCOMPARE(setup.rateCommand, rate);

    // The whole exchange of a two-second run with that set-up.
    RunFixture t(sim::Faults{}, u"0.0333333"_s);
    t.f.state.MODE1 = mode;
    t.setInterval(interval);
    t.start();
    const qsizetype before = t.f.sim.written.size();
    t.runTicks();
    QStringList expected = {u"SENS:FUNC2 \"NON\"\r\n"_s, u"CONF2:FUNC?\\10"_s, u"conf2:off\\10"_s,
                            u"SENS:FUNC2 \"NON\"\r\n"_s};
    if (!rate.isEmpty())
        expected << rate + u"\r\n"_s;
    expected << u"SENS:ZERO:AUTO OFF\r\n"_s << u"SENS:GAIN:AUTO OFF\r\n"_s << u"SYST:DISP OFF\r\n"_s
             << u"TRIG:DEL 0\r\n"_s;
    for (int block = 0; block < 2; ++block)
        expected << u"sample:count %1\r\n"_s.arg(samples) << u"val1?\r\n"_s;
    // The rate check follows the display-1 lamps, all dark here.
    expected << kRateQuery << u"SYST:DISP ON\r\n"_s << u"sample:count 1\r\n"_s << kLocal;
    QCOMPARE(writtenFrom(t, before), expected);
    QCOMPARE(t.f.state.RECORD_COUNT, 2 * samples);
    QCOMPARE(t.f.sim.instrument.field("display"), std::optional<QByteArray>("1"));
}

void TestAcquisitionLoops::fastRunRecordsEverySample()
{
    RunFixture t(sim::Faults{}, u"0.0333333"_s);  // 2 s
    t.setInterval(u"16.667"_s);
    t.f.state.MODE2 = u"ACV"_s;
    t.f.state.MODE2_ON = true;
    t.f.state.DISPLAY2 = u"0.7500_V"_s;
    QList<bool> shown;
    QObject::connect(&t.run.notice, &runs::FastNotice::changed, [&] {
        if (shown.isEmpty() || shown.last() != t.run.notice.shown)
            shown.append(t.run.notice.shown);
    });
    t.start();
    t.runTicks();

    // Display 2 went off for the run.
    QVERIFY(t.f.state.MODE2.isEmpty());
    QVERIFY(!t.f.state.MODE2_ON);
    QVERIFY(t.f.state.DISPLAY2.isEmpty());
    // Two blocks of 60, each value as it came, none in the table.
    const QStringList files = t.files();
    const QList<QByteArray> records = RunFixture::records(files.value(0));
    QCOMPARE(records.size(), 120);
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QRegularExpressionMatch match = kFastRecord.match(QString::fromLatin1(records[i]));
        QVERIFY2(match.hasMatch(), records[i].constData());
        QCOMPARE(match.captured(1).toInt(), int(i + 1));
    }
    QVERIFY(records[0].startsWith("00001,   00:00:01,"));
    QVERIFY(records[119].startsWith("00120,   00:00:02,"));
    QCOMPARE(t.table.dataRows(), 0);
    QCOMPARE(t.run.notice.Label2, files.value(0));
    QCOMPARE(t.run.notice.Label4, u"2013-05-06-14:22:33"_s);
    QCOMPARE(t.run.notice.Label6, u"2013-05-06-14:22:35"_s);
    QCOMPARE(t.run.notice.Label9, u"120"_s);
    QCOMPARE(t.run.notice.Label10, u"120"_s);
    QCOMPARE(t.run.notice.Label12, u"16.667 ms"_s);
    QCOMPARE(shown, (QList<bool>{true, false}));
    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
    QVERIFY(!t.run.recorder.isOpen());
    QVERIFY(t.messages.messages().isEmpty());
}

void TestAcquisitionLoops::fastStopMidBlock()
{
    RunFixture t(sim::Faults{}, u"Continuous"_s);
    t.setInterval(u"33.333"_s);
    t.f.sim.link.setWriteTap([&](const QString &text) {
        t.f.sim.written.append(text);
        // Stop comes with the first turn of the events in the block.
        if (text == u"val1?\r\n")
            QTimer::singleShot(0, [&] { runs::Form1_Command1_Click(t.run); });
    });
    t.start();
    const qsizetype before = t.f.sim.written.size();
    t.runTicks();

    // The run stops at once: the rest of the block is dropped, never read
    // as the answer to the rate query that follows.
    QVERIFY(t.f.state.RECORD_COUNT < 30);
    QCOMPARE(RunFixture::records(t.files().value(0)).size(), t.f.state.RECORD_COUNT);
    QCOMPARE(t.f.state.SPEED_CODE, u"M"_s);
    QVERIFY(t.f.display.isLit(display::Lamp::M_LAB));
    const QStringList after = writtenFrom(t, before);
    QCOMPARE(after.mid(after.indexOf(u"val1?\r\n"_s) + 1),
             (QStringList{kRateQuery, u"SYST:DISP ON\r\n"_s, u"sample:count 1\r\n"_s, kLocal}));
    QVERIFY(!t.run.notice.shown);
    QVERIFY(t.f.state.READ_OK);
    QCOMPARE(t.f.controls.START_TEXT, u"START"_s);
    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
}

void TestAcquisitionLoops::noOtherTalkWhileStreaming()
{
    RunFixture t(sim::Faults{}, u"0.0333333"_s);
    t.setInterval(u"16.667"_s);
    t.f.state.PORT_SET = true;
    shell::CommandTestControls raw;
    raw.locked = true;
    raw.IN_COMM = u"*IDN?"_s;
    int tries = 0;
    t.f.sim.link.setWriteTap([&](const QString &text) {
        t.f.sim.written.append(text);
        if (text != u"val1?\r\n")
            return;
        QTimer::singleShot(0, [&] {
            ++tries;
            shell::Err_Clear_BUTT_Click(t.f.panel);   // the status window's "Clear Error"
            shell::INPUT_BUTT_Click(t.f.panel, raw);  // the raw-command window
            runs::START_IMG_MouseDown(t.run);         // a stop, and a second press
            runs::START_IMG_MouseDown(t.run);
        });
    });
    t.start();
    t.runTicks();

    QCOMPARE(tries, 1);
    QVERIFY(!t.f.sim.written.contains(u"syst:err?\\10"_s));
    QVERIFY(!t.f.sim.written.contains(u"*IDN?\\10"_s));
    QCOMPARE(t.f.status.lines().filter(u"Not now: the instrument is streaming"_s).size(), 2);
    // The stop ended the block at once; no sample went to another question.
    const QList<QByteArray> records = RunFixture::records(t.files().value(0));
    QCOMPARE(records.size(), t.f.state.RECORD_COUNT);
    QVERIFY(!records.isEmpty());
    for (const QByteArray &record : records)
        QVERIFY2(kFastRecord.match(QString::fromLatin1(record)).hasMatch(), record.constData());
    QCOMPARE(t.f.sim.written.count(kLocal), 1);
    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
}

void TestAcquisitionLoops::cutValuesAreNeverRecorded()
{
    // Every seventh reply is cut short without its CR and runs into the next
    // value; the reply to CONF2:FUNC? is the first.
    RunFixture t(sim::Faults{.cutEvery = 7}, u"0.0333333"_s);
    t.setInterval(u"16.667"_s);
    shortBounds(t);
    t.start();
    t.runTicks();

    const QList<QByteArray> records = RunFixture::records(t.files().value(0));
    for (const QByteArray &record : records)
        QVERIFY2(kFastRecord.match(QString::fromLatin1(record)).hasMatch(), record.constData());
    // 17 values were cut, each taking the next with it; each block then
    // waits in vain for its last values.
    const QStringList skipped = t.f.status.lines().filter(u"is no value"_s);
    QCOMPARE(skipped.size(), 17);
    QCOMPARE(records.size(), 120 - 2 * 17);
    QCOMPARE(t.f.state.RECORD_COUNT, 120 - 2 * 17);
    QCOMPARE(t.f.status.lines().filter(QRegularExpression(u"samples \\d+ to \\d+ lost"_s)).size(), 2);
    QCOMPARE(t.run.notice.Label10, QString::number(120 - 2 * 17));
    // Each cut value is lost, and so is the value it took with it.
    QCOMPARE(t.run.notice.lostSamples, QString::number(2 * 17));
    QCOMPARE(t.f.status.lines().filter(u"Fast run: 34 of 120 samples lost"_s).size(), 1);
    QVERIFY(t.messages.messages().isEmpty());  // two time-outs do not end the run
}

void TestAcquisitionLoops::fastVanishingPort()
{
    // Twelve commands reach the instrument: display 2 off (3), the set-up
    // (6), the first block (2), and the line goes with the second block's.
    RunFixture t(sim::Faults{.hangupAfter = 12}, u"Continuous"_s);
    t.setInterval(u"16.667"_s);
    shortBounds(t);
    t.start();
    t.runTicks();

    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
    QVERIFY(!t.run.recorder.isOpen());
    const QList<QByteArray> records = RunFixture::records(t.files().value(0));
    QCOMPARE(records.size(), 60);
    QCOMPARE(t.f.state.RECORD_COUNT, 60);
    QVERIFY(!t.run.notice.shown);
    QCOMPARE(t.messages.messages().size(), 1);
    QVERIFY(t.messages.messages()[0].text.contains(u"the line to the instrument was lost"_s));
    QVERIFY(!t.f.state.REMOTE_OK);
    QVERIFY(t.f.controls.CHK_COM_TF.enabled);
    QCOMPARE(t.f.controls.START_TEXT, u"START"_s);
}

void TestAcquisitionLoops::continuousFastRun()
{
    RunFixture t(sim::Faults{}, u"Continuous"_s);
    t.setInterval(u"33.333"_s);
    t.clock.at(3500ms, [&] { runs::Form1_Command1_Click(t.run); });
    t.start();
    QCOMPARE(t.run.notice.Label9, QString());
    t.runTicks();
    QCOMPARE(t.run.notice.Label6, u"Until you press the Stop button"_s);
    QCOMPARE(t.run.notice.Label9, u"Continuous"_s);
    QCOMPARE(t.run.notice.Label10, u"90"_s);
    QCOMPARE(t.f.state.RECORD_COUNT, 90);
    QCOMPARE(t.f.state.runPhase, RunPhase::Idle);
}

void TestAcquisitionLoops::fastRunNotSaving()
{
    RunFixture t(sim::Faults{}, u"0.0166667"_s);  // 1 s
    t.setInterval(u"16.667"_s);
    t.answerCancel();
    t.start();
    t.runTicks();
    QCOMPARE(t.f.state.RECORD_COUNT, 60);  // counted all the same
    QVERIFY(!QFile::exists(t.dir.filePath(u"SAVE DATA"_s)));
    QVERIFY(t.messages.messages().isEmpty());
}

QTEST_MAIN(TestAcquisitionLoops)
#include "tst_acquisition_loops.moc"
