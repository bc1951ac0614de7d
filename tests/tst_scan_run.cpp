// Scan runs over the real channel and the simulated scanner: the channel
// set-up's commands, repeat and continuous runs tick by tick, the roll-over
// to a new file, where readings land in the grids and the file, every way a
// run is refused or cut short, and a table that survives a run and a
// reopening.

#include "core/link_gate.h"
#include "scan/scan_controls.h"
#include "scan/scan_form.h"
#include "scan/scan_run.h"
#include "scan/scanner_readback.h"
#include "scan/setup_files.h"
#include "platform/dialogs.h"
#include "platform/program_folder.h"
#include "support/files.h"
#include "support/panel_fixture.h"

#include <QtTest>

#include <stdexcept>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

constexpr int kDcv = 1, kAcv = 0, kDcCurrent = 1;

// Every control of the channel table: ticked, enabled, selected.
QStringList tableState(const scan::ChannelTable &table)
{
    QStringList rows;
    for (int i = 0; i < scan::kChannelCount; ++i) {
        const scan::ChannelRow &r = table.channel(i);
        rows.append(u"%1 on %2/%3 auto %4/%5 function %6/%7 range %8/%9"_s.arg(i + scan::kFirstChannel)
                        .arg(r.CHN_CHK.checked).arg(r.CHN_CHK.enabled)
                        .arg(r.S_Auto_CHK.checked).arg(r.S_Auto_CHK.enabled)
                        .arg(r.MODE_Comb.index).arg(r.MODE_Comb.enabled)
                        .arg(r.Combo2.index).arg(r.Combo2.enabled));
    }
    return rows;
}

struct Scanner
{
    Scanner()
    {
        rt::setProgramFolder(dir.path());
        f.linkUp();
        c.table.fillFunctionLists();
        c.selectRunMode(0);
        c.Count_TEXT = u"1"_s;
        c.Timer_TEXT = u"0"_s;
        c.SYS_DEL_TEXT = u"0"_s;
        c.Repeat_TEXT = u"1"_s;
        s.pace = [](float) {};
        s.now = [] { return QDateTime(QDate(2013, 5, 6), QTime(14, 22, 33)); };
        scan::connectScanTimers(s);
        f.state.SCAN_NAME = u"ScanData"_s;
        f.state.SCAN_FILE_NO = 1;
    }

    void tick(bool scanKind = true)
    {
        (scanKind ? c.Timer1_Scan : c.Timer1_STEP).tick();
    }
    // Ticks channel 101 on DCV in auto range.
    void tickDcv(int i)
    {
        c.table.setOn(i, true);
        c.table.selectFunction(i, i < 16 ? kDcv : kDcCurrent);
        c.table.setAuto(i, true);
    }
    QStringList sent() { return std::exchange(f.sim.written, {}); }
    QString dataFile(int no) const
    {
        return dir.filePath(u"SCAN DATA/ScanData-20130506-142233-%1.txt"_s.arg(no, 3, 10, QChar(u'0')));
    }
    bool idle() const
    {
        const scan::ControlsEnabled e = scan::controlsEnabled(c);
        return !c.runActive() && !c.Timer1_Scan.isEnabled() && !c.Timer1_STEP.isEnabled() && e.start && e.quit
               && e.settings && e.tableButtons && c.table.channel(0).CHN_CHK.enabled;
    }

    QTemporaryDir dir;
    PanelFixture f;
    scan::ScanControls c;
    scan::ScanContext s{f.panel, c, {}};
    rt::MessageRecorder messages;
};

} // namespace

class TestScanRun : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void channelSetup_data();
    void channelSetup();
    void repeatCountsDownAndEnds();
    void repeatZeroEndsAtTheFirstTick_data();
    void repeatZeroEndsAtTheFirstTick();
    void continuousWaitsForData();
    void stepRunTriggersAndRearmsWithStep();
    void rollOverStartsANewFileAndClearsTheGrids();
    void placement_data();
    void placement();
    void fileThatCannotBeBegunLeavesTheWindowIdle();
    void failedSetupEndsTheStart();
    void tickErrorEndsTheRunAndSaysWhy();
    void noScanOkIsShownAndTheRunGoesOn();
    void readingThatIsNoNumberIsErr();
    void setupFilesWaitWhileARunIsActive();
    void refusedDuringAMeasurementRun();
    void tableSurvivesARunAndAReopening();
    void tableAfterARunIsTheTableBefore_data();
    void tableAfterARunIsTheTableBefore();
    void phaseScopeEndsIdleOnEveryWayOut();
};

void TestScanRun::channelSetup_data()
{
    QTest::addColumn<std::function<void(scan::ChannelTable &)>>("table");
    QTest::addColumn<QStringList>("expected");

    QStringList none = {u"rout:open:all\\10"_s};
    for (int n = 101; n <= 118; ++n)
        none.append(u"rout:clos %1\\10"_s.arg(n));
    QTest::newRow("nothing ticked") << std::function<void(scan::ChannelTable &)>([](scan::ChannelTable &) {})
                                    << none;

    auto only = [&none](int index, const QString &command) {
        QStringList list = none;
        list[index + 1] = command;
        return list;
    };
    QTest::newRow("118 DCI_2A auto") << std::function<void(scan::ChannelTable &)>([](scan::ChannelTable &t) {
        t.setOn(17, true);
        t.selectFunction(17, kDcCurrent);
        t.setAuto(17, true);
    }) << only(17, u"rout:chan 118,3,10,1\\10"_s);
    QTest::newRow("101 ACV 750 V") << std::function<void(scan::ChannelTable &)>([](scan::ChannelTable &t) {
        t.setOn(0, true);
        t.selectFunction(0, kAcv);
        t.selectRange(0, 4);
    }) << only(0, u"rout:chan 101,2,750,0\\10"_s);
    QTest::newRow("101 DCV 1000 V") << std::function<void(scan::ChannelTable &)>([](scan::ChannelTable &t) {
        t.setOn(0, true);
        t.selectFunction(0, kDcv);
        t.selectRange(0, 4);
    }) << only(0, u"rout:chan 101,1,1000,0\\10"_s);
    QTest::newRow("104 4W 10 k holds 112") << std::function<void(scan::ChannelTable &)>([](scan::ChannelTable &t) {
        t.setOn(3, true);
        t.selectFunction(3, scan::kFourWire);
        t.selectRange(3, 2);
    }) << only(3, u"rout:chan 104,16,10000,0\\10"_s);
}

void TestScanRun::channelSetup()
{
    QFETCH(std::function<void(scan::ChannelTable &)>, table);
    QFETCH(QStringList, expected);
    Scanner t;
    table(t.c.table);
    t.c.LAST_CHANNEL = 5;
    t.sent();
    QVERIFY(scan::SCAN_CHANNEL_SETUP(t.s));
    QCOMPARE(t.sent(), expected);
    QCOMPARE(t.f.sim.wire().size(), 19);
    // Nothing ticked keeps the last channel of the set-up before.
    if (QTest::currentDataTag() == "nothing ticked"_L1)
        QCOMPARE(t.c.LAST_CHANNEL, 5);
}

void TestScanRun::repeatCountsDownAndEnds()
{
    Scanner t;
    t.tickDcv(0);
    t.c.Repeat_TEXT = u"3"_s;
    QStringList repeats;
    connect(&t.c, &scan::ScanControls::changed, &t.c, [&] {
        if (repeats.value(repeats.size() - 1) != t.c.Repeat_TEXT)
            repeats.append(t.c.Repeat_TEXT);
    });
    scan::Scan_BUTT_Click(t.s);
    const QStringList start = t.sent();
    QCOMPARE(start.first(), u"TRAC:CLE\r\n"_s);
    QCOMPARE(start.mid(1, 3), (QStringList{u"rout:coun 1\\10"_s, u"rout:del 0\\10"_s, u"trig:del 0\\10"_s}));
    QCOMPARE(start.mid(start.size() - 3),
             (QStringList{u"rout:scan:fin on\\10"_s, u"rout:adv on\\10"_s, u"rout:func scan\\10"_s}));
    QVERIFY(t.c.Timer1_Scan.isEnabled());
    QVERIFY(t.c.runActive());
    QVERIFY(t.s.panel.state.scanRunning);  // START stands back meanwhile
    QVERIFY(!t.c.table.channel(0).CHN_CHK.enabled);
    QCOMPARE(t.c.SET_SHOW, u"Read Data"_s);
    // Nobody else talks while the scan runs: the instrument's unasked
    // end-of-pass line would answer their query.
    for (shell::Sender who : {shell::Sender::Panel, shell::Sender::Always})
        QVERIFY(!shell::ask(t.f.panel, u"conf:func?\\10"_s, who));
    QCOMPARE(t.sent(), QStringList());
    QCOMPARE(t.f.status.text().count(QString::fromUtf16(shell::kScanRefusal)), 2);

    const QStringList pass = {u"*trg\\10"_s, u"fetc?\\10"_s, u"rout:adv on\\10"_s, u"rout:func scan\\10"_s};
    t.tick();
    QCOMPARE(t.sent(), pass);
    t.tick();
    QCOMPARE(t.sent(), pass);
    t.tick();
    QCOMPARE(t.sent(), (QStringList{u"*trg\\10"_s, u"fetc?\\10"_s, u"rout:func off\\10"_s}));
    QCOMPARE(repeats, (QStringList{u"3"_s, u"2"_s, u"1"_s, u"0"_s, u"1"_s}));
    QVERIFY(t.idle());
    QVERIFY(!t.s.panel.state.scanRunning);
    QVERIFY(!t.c.SET_SHOW_visible);
    QCOMPARE(t.c.Scan_Grid[0].dataRows(), 3);
    for (int row = 1; row <= 3; ++row)
        QCOMPARE(t.c.Scan_Grid[0].cell(row, 0), u"01.20000 V"_s);
}

void TestScanRun::repeatZeroEndsAtTheFirstTick_data()
{
    QTest::addColumn<QString>("repeat");
    QTest::newRow("0") << u"0"_s;
    QTest::newRow("empty") << QString();
}

void TestScanRun::repeatZeroEndsAtTheFirstTick()
{
    QFETCH(QString, repeat);
    Scanner t;
    t.tickDcv(0);
    t.c.Repeat_TEXT = repeat;
    t.f.sim.instrument.setStates(u"timescale=1");  // nothing waits yet
    t.c.Timer_TEXT = u"5000"_s;
    scan::Scan_BUTT_Click(t.s);
    t.sent();
    t.tick();
    QCOMPARE(t.sent(), QStringList{u"rout:func off\\10"_s});
    QCOMPARE(t.c.Repeat_TEXT, u"1"_s);
    QVERIFY(t.idle());
}

void TestScanRun::continuousWaitsForData()
{
    Scanner t;
    t.tickDcv(0);
    t.c.selectRunMode(1);
    t.c.Timer_TEXT = u"5000"_s;
    t.f.sim.instrument.setStates(u"timescale=1");
    scan::Scan_BUTT_Click(t.s);
    t.sent();
    for (int k = 0; k < 3; ++k)
        t.tick();
    QCOMPARE(t.sent(), QStringList());
    QVERIFY(t.c.Timer1_Scan.isEnabled());
    scan::STOP_BUTT_Click(t.s);
    QCOMPARE(t.sent(), QStringList{u"rout:func off\\10"_s});
    QVERIFY(t.idle());
}

void TestScanRun::stepRunTriggersAndRearmsWithStep()
{
    Scanner t;
    t.tickDcv(0);
    t.c.Repeat_TEXT = u"2"_s;
    scan::STEP_BUTT_Click(t.s);
    const QStringList start = t.sent();
    QCOMPARE(start.mid(start.size() - 2), (QStringList{u"rout:adv on\\10"_s, u"rout:func step\\10"_s}));
    QVERIFY(!start.contains(u"rout:scan:fin on\\10"_s));
    QVERIFY(t.c.Timer1_STEP.isEnabled());
    QVERIFY(!t.c.Timer1_Scan.isEnabled());
    t.tick(false);
    QCOMPARE(t.sent(), (QStringList{u"*trg\\10"_s, u"fetc?\\10"_s, u"rout:adv on\\10"_s, u"rout:func step\\10"_s}));
    t.tick(false);
    QVERIFY(t.idle());
}

void TestScanRun::rollOverStartsANewFileAndClearsTheGrids()
{
    Scanner t;
    t.tickDcv(0);
    t.c.Repeat_TEXT = u"2"_s;
    t.c.Save_DATA_CHK = true;
    scan::Scan_BUTT_Click(t.s);
    QVERIFY(QFile::exists(t.dataFile(1)));
    t.c.SCAN_ROW = 9999;
    t.tick();
    QCOMPARE(t.f.state.SCAN_FILE_NO, qint16(2));
    QCOMPARE(t.c.SCAN_ROW, 1);
    QCOMPARE(t.c.Scan_Grid[0].dataRows(), 1);
    QCOMPARE(t.c.Scan_Grid[1].dataRows(), 1);
    QCOMPARE(t.c.Scan_Grid[0].cell(1, 0), QString());
    QCOMPARE(t.c.scanFilePath, t.dataFile(2));
    QCOMPARE(t.f.state.FILE_STAMP, u"-20130506-142233-002"_s);
    // The first file got the row, the second its header and then the next.
    const QList<QByteArray> first = fileLines(t.dataFile(1));
    QCOMPARE(first.size(), 7);
    QCOMPARE(first.last(), "   01.20000 V,  2013/05/06-14:22:33,\r");
    t.tick();
    const QList<QByteArray> second = fileLines(t.dataFile(2));
    QCOMPARE(second.size(), 7);
    QCOMPARE(second.at(2), "    CHAN:101 ,                 Now ,\r");
}

void TestScanRun::placement_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<QStringList>("row1");  // 101, 102, 117
    QTest::addColumn<QStringList>("row2");
    QTest::addColumn<int>("lines");

    QTest::newRow("count 3: one row") << u"3"_s << QStringList{u"1.100000 V"_s, u"02.20000 V"_s, u"00.50000 A"_s}
                                      << QStringList{u""_s, u""_s, u""_s} << 1;
    QTest::newRow("count 6: a second row at once")
        << u"6"_s << QStringList{u"1.100000 V"_s, u"02.20000 V"_s, u"00.50000 A"_s}
        << QStringList{u"1.100000 V"_s, u"02.20000 V"_s, u"00.50000 A"_s} << 2;
    QTest::newRow("count 2: a short line") << u"2"_s << QStringList{u"1.100000 V"_s, u"02.20000 V"_s, u""_s}
                                           << QStringList{u""_s, u""_s, u""_s} << 1;
}

void TestScanRun::placement()
{
    QFETCH(QString, count);
    QFETCH(QStringList, row1);
    QFETCH(QStringList, row2);
    QFETCH(int, lines);
    Scanner t;
    for (int i : {0, 1, 16})
        t.tickDcv(i);
    t.f.sim.instrument.setStates(u"scanread:101=1.1,scanread:102=2.2,scanread:117=0.5");
    t.c.Count_TEXT = count;
    t.c.Repeat_TEXT = u"2"_s;
    t.c.Save_DATA_CHK = true;
    scan::Scan_BUTT_Click(t.s);
    QCOMPARE(t.c.LAST_CHANNEL, 16);
    t.tick();
    const auto row = [&](int r) {
        return QStringList{t.c.Scan_Grid[0].cell(r, 0), t.c.Scan_Grid[0].cell(r, 1), t.c.Scan_Grid[0].cell(r, 8)};
    };
    QCOMPARE(row(1), row1);
    QCOMPARE(row(2), row2);
    QCOMPARE(t.c.FETCH_COUNT, 0);
    // The next pass starts on a fresh row under the last one used.
    QCOMPARE(t.c.SCAN_ROW, lines + 1);
    const QList<QByteArray> file = fileLines(t.dataFile(1));
    QCOMPARE(file.size(), 6 + lines);
    const QByteArray tail = "  2013/05/06-14:22:33,";
    if (count == u"2")
        QCOMPARE(file.last(), "   1.100000 V,   02.20000 V," + tail + "\r");
    else
        QCOMPARE(file.at(6), "   1.100000 V,   02.20000 V,   00.50000 A," + tail + "\r");
}

void TestScanRun::fileThatCannotBeBegunLeavesTheWindowIdle()
{
    Scanner t;
    t.tickDcv(0);
    t.c.Save_DATA_CHK = true;
    // A plain file where the folder should be.
    QFile blocker(t.dir.filePath(u"SCAN DATA"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    t.sent();
    scan::Scan_BUTT_Click(t.s);
    QCOMPARE(t.sent(), QStringList());
    QCOMPARE(t.messages.messages().size(), 1);
    QVERIFY(t.messages.messages().first().text.startsWith(u"The scan data file cannot be begun"_s));
    QVERIFY(t.idle());
    QVERIFY(!t.c.SET_SHOW_visible);
}

void TestScanRun::failedSetupEndsTheStart()
{
    Scanner t;
    t.tickDcv(0);
    int channels = 0;
    // The line goes away half-way through the channels.
    t.s.pace = [&t, &channels](float) {
        if (++channels == 3)
            t.f.sim.device->close();
    };
    scan::Scan_BUTT_Click(t.s);
    const QStringList sent = t.sent();
    QCOMPARE(t.messages.messages().size(), 1);
    QCOMPARE(t.messages.messages().first().text, u"Is Error"_s);
    QCOMPARE(t.messages.messages().first().title, u"Err"_s);
    QVERIFY(!sent.contains(u"rout:func scan\\10"_s));
    QCOMPARE(sent.last(), u"rout:func off\\10"_s);
    QVERIFY(t.idle());
    QVERIFY(!t.c.SET_SHOW_visible);
}

void TestScanRun::tickErrorEndsTheRunAndSaysWhy()
{
    Scanner t;
    t.tickDcv(0);
    t.c.Repeat_TEXT = u"3"_s;
    t.c.Save_DATA_CHK = true;
    scan::Scan_BUTT_Click(t.s);
    t.f.sim.device->close();
    t.tick();
    QVERIFY(t.idle());
    QCOMPARE(t.c.Repeat_TEXT, u"1"_s);
    QCOMPARE(t.messages.messages().size(), 1);
    QVERIFY(t.messages.messages().first().text.startsWith(u"The scan stopped: "_s));
    QVERIFY(t.f.status.text().contains(u"Scan stopped: "_s));
}

void TestScanRun::noScanOkIsShownAndTheRunGoesOn()
{
    Scanner t;
    t.tickDcv(0);
    t.c.Repeat_TEXT = u"2"_s;
    t.f.sim.link.setReplyBound(20ms);
    t.f.sim.instrument.setStates(u"scandone=SCAN K0");
    scan::Scan_BUTT_Click(t.s);
    t.sent();
    t.tick();
    const QStringList sent = t.sent();
    QCOMPARE(sent.count(u"*trg\\10"_s), 11);
    QVERIFY(!sent.contains(u"fetc?\\10"_s));
    QCOMPARE(sent.mid(sent.size() - 2), (QStringList{u"rout:adv on\\10"_s, u"rout:func scan\\10"_s}));
    QCOMPARE(t.c.SET_SHOW, u"No data (scan timeout)"_s);
    QVERIFY(t.c.SET_SHOW_visible);
    QVERIFY(t.f.status.text().contains(u"No data (scan timeout)"_s));
    QCOMPARE(t.c.Repeat_TEXT, u"1"_s);
    QCOMPARE(t.c.SCAN_ROW, 2);
    QCOMPARE(t.c.Scan_Grid[0].cell(1, 0), QString());
    QVERIFY(t.c.Timer1_Scan.isEnabled());
}

void TestScanRun::readingThatIsNoNumberIsErr()
{
    Scanner t;
    t.tickDcv(0);
    t.c.Save_DATA_CHK = true;
    t.f.sim.instrument.setStates(u"reply:fetc?=OVLD?");
    scan::Scan_BUTT_Click(t.s);
    t.tick();
    QCOMPARE(t.c.Scan_Grid[0].cell(1, 0), u"ERR"_s);
    QCOMPARE(fileLines(t.dataFile(1)).last(), "          ERR,  2013/05/06-14:22:33,\r");
    // Nobody would notice one "ERR" among hours of readings: the log names it.
    QVERIFY2(t.f.status.text().contains(
                 u"Pass 1, channel 101: the reading \"OVLD?\" is not a number; it is shown and saved as ERR."_s),
             qPrintable(t.f.status.text()));
}

void TestScanRun::setupFilesWaitWhileARunIsActive()
{
    Scanner t;
    t.tickDcv(0);
    t.c.Repeat_TEXT = u"2"_s;
    scan::Scan_BUTT_Click(t.s);
    t.c.SSBS_Input_Text = u"during"_s;
    scan::SSBS_OK_BUTT_Click(t.s);
    QVERIFY(!QFile::exists(t.dir.filePath(u"SCAN DATA/during.ini"_s)));
    scan::STOP_BUTT_Click(t.s);
    scan::SSBS_OK_BUTT_Click(t.s);
    QVERIFY(QFile::exists(t.dir.filePath(u"SCAN DATA/during.ini"_s)));
}

void TestScanRun::refusedDuringAMeasurementRun()
{
    Scanner t;
    t.tickDcv(0);
    t.f.state.runPhase = shell::RunPhase::NormalLoop;
    t.sent();
    scan::Scan_BUTT_Click(t.s);
    scan::STEP_BUTT_Click(t.s);
    QCOMPARE(t.sent(), QStringList());
    QCOMPARE(t.messages.messages().size(), 2);
    QVERIFY(t.idle());
}

void TestScanRun::tableSurvivesARunAndAReopening()
{
    Scanner t;
    t.tickDcv(0);
    t.c.table.setOn(3, true);
    t.c.table.selectFunction(3, scan::kFourWire);
    t.c.table.selectRange(3, 2);
    t.c.table.setOn(9, true);
    t.c.table.selectFunction(9, kAcv);
    t.c.table.selectRange(9, 4);
    t.tickDcv(17);
    t.c.Count_TEXT = u"4"_s;
    scan::Scan_BUTT_Click(t.s);
    t.tick();
    QVERIFY(t.idle());

    scan::ScanControls reopened;
    reopened.table.fillFunctionLists();
    scan::readScannerState(t.f.panel, reopened);
    for (int i = 0; i < scan::kChannelCount; ++i) {
        const scan::ChannelRow &a = t.c.table.channel(i), &b = reopened.table.channel(i);
        QCOMPARE(b.CHN_CHK.checked, a.CHN_CHK.checked);
        if (!a.CHN_CHK.checked)
            continue;
        QCOMPARE(b.MODE_Comb.text(), a.MODE_Comb.text());
        QCOMPARE(b.S_Auto_CHK.checked, a.S_Auto_CHK.checked);
        if (!a.S_Auto_CHK.checked)
            QCOMPARE(b.Combo2.text(), a.Combo2.text());
    }
}

enum class RunEnd { Natural, StopBetweenPasses, StopWhileIdle, FailedSetup };
Q_DECLARE_METATYPE(RunEnd)

void TestScanRun::tableAfterARunIsTheTableBefore_data()
{
    using Table = std::function<void(scan::ChannelTable &)>;
    QTest::addColumn<Table>("table");
    QTest::addColumn<RunEnd>("end");

    const struct
    {
        const char *name;
        Table table;
    } tables[] = {
        // 111 is locked by 103's four-wire measurement: unticked, greyed.
        {"103 4W auto locks 111", [](scan::ChannelTable &t) {
             t.setOn(2, true);
             t.selectFunction(2, scan::kFourWire);
             t.setAuto(2, true);
         }},
        {"112 4W on 10 k locks 104", [](scan::ChannelTable &t) {
             t.setOn(11, true);
             t.selectFunction(11, scan::kFourWire);
             t.selectRange(11, 2);
             t.setAuto(11, false);
         }},
        // The read-back may leave an unticked channel's list enabled.
        {"an unticked channel's function list left enabled", [](scan::ChannelTable &t) {
             t.setOn(0, true);
             t.selectFunction(0, kDcv);
             t.setFunctionEnabled(5, true);
         }},
    };
    const struct
    {
        const char *name;
        RunEnd end;
    } ends[] = {
        {"the run's end", RunEnd::Natural},
        {"Stop between passes", RunEnd::StopBetweenPasses},
        {"Stop while idle", RunEnd::StopWhileIdle},
        {"a set-up that fails", RunEnd::FailedSetup},
    };
    for (const auto &table : tables)
        for (const auto &end : ends)
            QTest::addRow("%s, %s", table.name, end.name) << table.table << end.end;
}

void TestScanRun::tableAfterARunIsTheTableBefore()
{
    QFETCH(std::function<void(scan::ChannelTable &)>, table);
    QFETCH(RunEnd, end);
    Scanner t;
    table(t.c.table);
    t.c.Repeat_TEXT = u"2"_s;
    const QStringList before = tableState(t.c.table);

    switch (end) {
    case RunEnd::Natural:
        scan::Scan_BUTT_Click(t.s);
        t.tick();
        QVERIFY(t.c.runActive());
        t.tick();
        break;
    case RunEnd::StopBetweenPasses:
        scan::Scan_BUTT_Click(t.s);
        t.tick();
        scan::STOP_BUTT_Click(t.s);
        break;
    case RunEnd::StopWhileIdle:
        scan::STOP_BUTT_Click(t.s);
        break;
    case RunEnd::FailedSetup:
        t.s.pace = [&t](float) { t.f.sim.device->close(); };
        scan::Scan_BUTT_Click(t.s);
        QCOMPARE(t.messages.messages().size(), 1);
        break;
    }
    QVERIFY(!t.c.run.holdsLine());
    QCOMPARE(tableState(t.c.table), before);
    // Locked again and unlocked again by the next run, it is still the same.
    if (end == RunEnd::StopBetweenPasses) {
        scan::Scan_BUTT_Click(t.s);
        for (int i = 0; i < scan::kChannelCount; ++i)
            QVERIFY(!t.c.table.channel(i).CHN_CHK.enabled && !t.c.table.channel(i).MODE_Comb.enabled);
        scan::STOP_BUTT_Click(t.s);
        QCOMPARE(tableState(t.c.table), before);
    }
}

// The phase a procedure holds goes back to Idle however it leaves, through
// its own ending, unless it hands the phase on.
void TestScanRun::phaseScopeEndsIdleOnEveryWayOut()
{
    Scanner t;
    QSignalSpy released(&t.c, &scan::ScanControls::lineReleased);
    int ended = 0;
    try {
        const scan::PhaseScope phase(t.c, scan::RunPhase::ReadingBack, t.f.state, [&] { ++ended; });
        QVERIFY(t.c.run.readingBack());
        QVERIFY(t.f.state.scanRunning);
        throw std::runtime_error("a failure deep inside");
    } catch (const std::runtime_error &) {
    }
    QCOMPARE(ended, 1);
    QVERIFY(!t.c.run.holdsLine());
    QVERIFY(!t.f.state.scanRunning);
    QCOMPARE(released.size(), 1);

    // Its own ending throwing leaves it Idle too.
    try {
        const scan::PhaseScope phase(t.c, scan::RunPhase::Running, t.f.state,
                                     [] { throw std::runtime_error("the ending fails"); });
    } catch (...) {
        QFAIL("the ending's failure got out");
    }
    QVERIFY(!t.c.run.holdsLine());

    {
        scan::PhaseScope phase(t.c, scan::RunPhase::Running, t.f.state, [&] { ++ended; });
        phase.keep();
    }
    QVERIFY(t.c.run.running());
    QCOMPARE(ended, 1);
}

QTEST_GUILESS_MAIN(TestScanRun)
#include "tst_scan_run.moc"
