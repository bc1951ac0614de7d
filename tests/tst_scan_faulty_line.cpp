// Scan runs on a slow or faulty line: the real channel on ravelo-sim's pty,
// the simulator's own faults, the run timers on real time. The
// user's clicks go through a stand-in for the window system: a click made
// while the channel waits with the user's input shut is held until the wait
// ends; made while the wait takes input (the scanner's Stop), it is handled
// inside it.
//
// - Stop, then Scan again while the stopped pass's "SCAN OK" is still on its
//   way: every reading of the new run is filed under its own channel.
// - Stop during a tick's wait (a garbled "SCAN OK" waited out try by try, or
//   readings 1.3 s late) ends the run at once: after the click nothing but
//   "rout:func off" goes out.
// - An end-of-pass line among a pass's readings: the pass is not filed as
//   if they lined up, and the status log says which pass.

#include "scan/scan_controls.h"
#include "scan/scan_form.h"
#include "scan/scan_run.h"
#include "platform/dialogs.h"
#include "platform/panel_timer.h"
#include "platform/program_folder.h"
#include "core/panel.h"
#include "support/files.h"
#include "support/sim_process.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int kDcv = 1, kTwoWire = 2, kDcCurrent = 1;
constexpr int kOneK = 1, kTenK = 2;

// The four fields of every pass, as a line without faults files them.
constexpr char kCleanPass[] = "   01.20000 V,0.500000 kOhm,05.00000 kOhm,   00.10000 A,";

// Channels 101 (DCV, auto), 102 (2W on 1 k), 103 (2W on 10 k) and 117
// (DCI_2A, auto): four readings a pass, each a different text.
struct SlowScanner
{
    // ravelo-sim's --fault list ("" for none) and --state list.
    explicit SlowScanner(const QString &faults, const QString &state = {})
        : sim(arguments(faults, state)), parts(link)
    {
        rt::setProgramFolder(dir.path());
        qputenv("RAVELO_COM1", QFile::encodeName(sim.linkPath()));
        link.Port(1);
        link.BaudRate(115200);
        link.setWriteTap([this](const QString &command) { written.append(command); });
        opened = sim.started() && link.Open();
        c.table.fillFunctionLists();
        c.selectRunMode(0);
        const auto tick = [this](int i, int function, int range, bool autoRange) {
            c.table.setOn(i, true);
            c.table.selectFunction(i, function);
            c.table.setAuto(i, autoRange);
            if (range >= 0)
                c.table.selectRange(i, range);
        };
        tick(0, kDcv, -1, true);
        tick(1, kTwoWire, kOneK, false);
        tick(2, kTwoWire, kTenK, false);
        tick(16, kDcCurrent, -1, true);
        c.Count_TEXT = u"4"_s;
        c.Timer_TEXT = u"20"_s;
        c.SYS_DEL_TEXT = u"0"_s;
        c.Repeat_TEXT = u"1"_s;
        for (rt::PanelTimer *timer : {&c.Timer1_Scan, &c.Timer1_STEP})
            timer->setInterval(100);
        s.pace = [](float) {};
        s.now = [this] { return QDateTime(QDate(2013, 5, 6), QTime(14, 22, 33)).addSecs(++seconds); };
        scan::connectScanTimers(s);
        parts.state.SCAN_NAME = u"ScanData"_s;
        parts.state.SCAN_FILE_NO = 1;
    }
    ~SlowScanner() { rt::setProgramFolder({}); }

    static QStringList arguments(const QString &faults, const QString &state)
    {
        QStringList all{u"--state"_s, u"scanner=on"_s + (state.isEmpty() ? QString() : u","_s + state)};
        if (!faults.isEmpty())
            all << u"--fault"_s << faults;
        return all;
    }

    bool idle() const { return !c.run.holdsLine() && scan::controlsEnabled(c).start; }

    // The user clicks Stop `afterMs` from now. Returns at once; the click
    // lands when the window system lets it (see the top of the file).
    void clickStopIn(int afterMs)
    {
        QTimer::singleShot(afterMs, Qt::PreciseTimer, [this] {
            clickedAtWrite = written.size();
            held.append([this] { scan::STOP_BUTT_Click(s); });
            deliverIfLetIn();
        });
    }
    void deliverIfLetIn()
    {
        if (rt::HeldTicks::active() && !link.runsAllEventsInWaits())
            return;
        while (!held.isEmpty())
            held.takeFirst()();
    }
    // Runs the events until `done`, the window system's order kept.
    bool until(const std::function<bool()> &done, int timeoutMs)
    {
        QDeadlineTimer bound(timeoutMs);
        while (!done()) {
            if (bound.hasExpired())
                return false;
            QCoreApplication::sendPostedEvents();
            deliverIfLetIn();
            QTest::qWait(10);
        }
        return true;
    }

    // The data lines of the one scan data file, without their time stamps.
    QList<QByteArray> dataFields() const
    {
        const QDir folder(dir.filePath(u"SCAN DATA"_s));
        const QStringList names = folder.entryList({u"*.txt"_s}, QDir::Files);
        if (names.size() != 1)
            return {};
        return scanDataFields(fileLines(folder.filePath(names[0])));
    }

    QTemporaryDir dir;
    SimProcess sim;
    shell::Class1 link;
    PanelParts parts;
    bool opened = false;
    QStringList written;  // every text passed to Write
    scan::ScanControls c;
    scan::ScanContext s{parts.panel, c, {}};
    rt::MessageRecorder messages;
    int seconds = 0;
    QList<std::function<void()>> held;  // clicks the window system holds
    qsizetype clickedAtWrite = -1;       // commands written when Stop was clicked
};

// One pass on a line without faults: the fields every pass must show.
QByteArray cleanPassFields()
{
    SlowScanner t({});
    if (!t.opened)
        return {};
    t.c.Save_DATA_CHK = true;
    scan::Scan_BUTT_Click(t.s);
    if (!t.until([&] { return t.idle(); }, 10000))
        return {};
    return t.dataFields().value(0);
}

} // namespace

class TestScanFaultyLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void stopThenScanFilesEveryReadingUnderItsChannel();
    void stopEndsTheRunAtOnce_data();
    void stopEndsTheRunAtOnce();
    void endOfPassLineAmongReadingsIsNotFiled();
    void garbledReadingIsErrAndNamed();
};

void TestScanFaultyLine::stopThenScanFilesEveryReadingUnderItsChannel()
{
    const QByteArray clean = cleanPassFields();
    QCOMPARE(clean, kCleanPass);

    SlowScanner t(u"delay-ms=1300"_s);
    QVERIFY(t.opened);
    // A continuous run stopped after its pass has ended on the instrument,
    // before its "SCAN OK" has come.
    t.c.selectRunMode(1);
    scan::Scan_BUTT_Click(t.s);
    t.clickStopIn(400);
    QVERIFY(t.until([&] { return t.idle(); }, 5000));

    // At once a new run of three passes, saving.
    t.c.selectRunMode(0);
    t.c.Repeat_TEXT = u"3"_s;
    t.c.Save_DATA_CHK = true;
    scan::Scan_BUTT_Click(t.s);
    QVERIFY(t.until([&] { return t.idle(); }, 30000));
    QVERIFY2(t.messages.messages().isEmpty(), qPrintable(t.messages.messages().value(0).text));
    QCOMPARE(t.dataFields(), QList<QByteArray>(3, clean));
    const QStringList row1{u"01.20000 V"_s, u"0.500000 kOhm"_s, u"05.00000 kOhm"_s};
    for (int row = 1; row <= 3; ++row) {
        for (int column = 0; column < 3; ++column)
            QCOMPARE(t.c.Scan_Grid[0].cell(row, column), row1[column]);
        QCOMPARE(t.c.Scan_Grid[0].cell(row, 8), u"00.10000 A"_s);
    }
}

// Stop clicked while a tick waits on the instrument: after the click only
// "rout:func off" is written, and the window is idle again.
void TestScanFaultyLine::stopEndsTheRunAtOnce_data()
{
    QTest::addColumn<QString>("faults");
    QTest::addColumn<int>("stopAfterMs");
    // Every reply garbled: "SCAN OK" is never seen and each of the ten
    // tries waits out the reply bound; Stop comes during the second.
    QTest::newRow("garbled end-of-pass line") << u"garble-every=1"_s << 1000;
    // Replies 1.3 s late: Stop comes while the readings are on their way.
    QTest::newRow("readings 1.3 s late") << u"delay-ms=1300"_s << 2000;
    // Stop comes while the tick waits for the trigger's reply.
    QTest::newRow("end-of-pass line 1.3 s late") << u"delay-ms=1300"_s << 300;
}

void TestScanFaultyLine::stopEndsTheRunAtOnce()
{
    QFETCH(QString, faults);
    QFETCH(int, stopAfterMs);
    SlowScanner t(faults);
    QVERIFY(t.opened);
    t.c.selectRunMode(1);
    scan::Scan_BUTT_Click(t.s);
    t.clickStopIn(stopAfterMs);
    QVERIFY(t.until([&] { return t.clickedAtWrite >= 0 && t.idle(); }, 30000));
    QCOMPARE(t.written.mid(t.clickedAtWrite), QStringList{u"rout:func off\\10"_s});
    QVERIFY(t.messages.messages().isEmpty());

    // What the stopped run still owed does not reach the next one.
    t.c.selectRunMode(0);
    t.c.Repeat_TEXT = u"1"_s;
    t.c.Save_DATA_CHK = true;
    if (faults.startsWith(u"garble"))
        return;
    scan::Scan_BUTT_Click(t.s);
    QVERIFY(t.until([&] { return t.idle(); }, 15000));
    QCOMPARE(t.dataFields(), QList<QByteArray>{QByteArray(kCleanPass)});
}

// An instrument that answers "fetc?" with its end-of-pass line: the pass is
// asked for once more, then left out, and the log names it.
void TestScanFaultyLine::endOfPassLineAmongReadingsIsNotFiled()
{
    SlowScanner t({}, u"reply:fetc?=SCAN OK"_s);
    QVERIFY(t.opened);
    t.c.Save_DATA_CHK = true;
    scan::Scan_BUTT_Click(t.s);
    QVERIFY(t.until([&] { return t.idle(); }, 15000));
    QCOMPARE(t.written.count(u"fetc?\\10"_s), 2);
    QCOMPARE(t.dataFields(), QList<QByteArray>{});
    for (int column : {0, 1, 2, 8})
        QCOMPARE(t.c.Scan_Grid[0].cell(1, column), QString());
    QVERIFY2(t.parts.status.text().contains(
                 u"Pass 1 was not saved: its readings did not line up with its channels"_s),
             qPrintable(t.parts.status.text()));
}

// Every fifth reply garbled: the pass's "SCAN OK" is the first, channel
// 117's reading the fifth. It is no number: "ERR" in the grid and the file,
// no false value, and the status log names the channel and the pass.
void TestScanFaultyLine::garbledReadingIsErrAndNamed()
{
    SlowScanner t(u"garble-every=5"_s);
    QVERIFY(t.opened);
    t.c.Save_DATA_CHK = true;
    scan::Scan_BUTT_Click(t.s);
    QVERIFY(t.until([&] { return t.idle(); }, 15000));
    QCOMPARE(t.dataFields(),
             QList<QByteArray>{"   01.20000 V,0.500000 kOhm,05.00000 kOhm,          ERR,"});
    QCOMPARE(t.c.Scan_Grid[0].cell(1, 8), u"ERR"_s);
    const QRegularExpression named(u"Pass 1, channel 117: the reading \".+\" is not a number; it is shown and saved as ERR\\."_s);
    QVERIFY2(named.match(t.parts.status.text()).hasMatch(), qPrintable(t.parts.status.text()));
}

QTEST_GUILESS_MAIN(TestScanFaultyLine)
#include "tst_scan_faulty_line.moc"
