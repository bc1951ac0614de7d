// Nothing waits for the user while a run holds the line. Every click that
// can open a message box, a question or a file dialog is made while a
// normal run, a fast run or a scan goes on: a box only shows, a question
// or a file dialog is refused with one status line, and the run keeps its
// pace. Here a dialog that would wait takes the user five seconds (the
// run clock moves on meanwhile), so a run it held up falls behind its
// clock. Then the real boxes of the windows: while a run holds the line a
// box shows without a loop of its own.

#include "core/link_gate.h"
#include "loader/file_loading.h"
#include "loader/load_plots.h"
#include "loader/loader_state.h"
#include "platform/dialogs.h"
#include "scan/scan_form.h"
#include "scan/scan_run.h"
#include "scan/setup_files.h"
#include "shell/raw_command.h"
#include "support/run_fixture.h"
#include "windows/dialogs_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using shell::RunPhase;

namespace {

// How long a user takes to answer a dialog that waits.
constexpr runs::Nanos kUserTakes = 5s;

enum class Holder { NormalRun, FastRun, Scan };

enum class Action {
    ScanButton,         // the scanner window's Scan
    StepButton,         // its Step
    LoadSetup,          // "Load ScanBox Status": a file dialog
    SaveSetupOver,      // "Save ScanBox Status" under a name in use: a question
    SaveSetupNoName,    // the same with no name: a box
    ScanDataNoName,     // the scan data name box's OK with no name: a box
    LoaderOpen,         // the loader's Open: a file dialog
    LoaderPlotNothing,  // the loader's plot with nothing loaded: a box
    RawCommandNothing,  // the raw-command window's Input OK with nothing typed: a box
};

const QString kRunInProgress = u"A measurement run is in progress: stop it before scanning."_s;

// A run of each kind on the simulated instrument, the scanner window's
// procedures on the same panel, a loader and a raw-command window; every
// dialog answered by the test, a dialog that waits taking kUserTakes.
struct Bench
{
    explicit Bench(Holder holder)
        : holder(holder), t(sim::Faults{}, holder == Holder::FastRun ? u"0.0333333"_s : u"0.1"_s)
    {
        t.setInterval(holder == Holder::FastRun ? u"16.667"_s : u"500"_s);
        c.table.fillFunctionLists();
        c.selectRunMode(0);
        c.Count_TEXT = u"1"_s;
        c.Timer_TEXT = u"0"_s;
        c.SYS_DEL_TEXT = u"0"_s;
        c.Repeat_TEXT = u"3"_s;
        c.table.setOn(0, true);
        c.table.selectFunction(0, 1);  // DCV
        c.table.setAuto(0, true);
        s.pace = [](float) {};
        s.now = [] { return QDateTime(QDate(2013, 5, 6), QTime(14, 22, 33)); };
        scan::connectScanTimers(s);
        // A set-up saved before, which a save under its name would replace.
        c.SSBS_Input_Text = u"kept"_s;
        scan::SSBS_OK_BUTT_Click(s);
        keptSetup = fileBytes(setupPath());

        rt::setMessageHandler([this](const rt::Message &message) {
            shown.append(message);
            if (message.modal)
                waited(u"box: "_s + message.text);
        });
        rt::setQuestionHandler([this](const rt::Message &question) {
            waited(u"question: "_s + question.text);
            return true;
        });
        rt::setOpenFileHandler([this](const QString &caption, const QString &, const QString &) {
            waited(u"file dialog: "_s + caption);
            return QString();
        });
    }
    ~Bench()
    {
        rt::setMessageHandler({});
        rt::setQuestionHandler({});
        rt::setOpenFileHandler({});
    }

    void waited(const QString &what)
    {
        blocking.append(what);
        t.clock.advance(kUserTakes);
    }

    QString setupPath() const { return t.dir.filePath(u"SCAN DATA/kept.ini"_s); }
    static QByteArray fileBytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void act(Action action)
    {
        switch (action) {
        case Action::ScanButton: return scan::Scan_BUTT_Click(s);
        case Action::StepButton: return scan::STEP_BUTT_Click(s);
        case Action::LoadSetup: return scan::File_Open_Ctrl(s);
        case Action::SaveSetupOver:
            c.SSBS_Input_Text = u"kept"_s;
            return scan::SSBS_OK_BUTT_Click(s);
        case Action::SaveSetupNoName:
            c.SSBS_Input_Text.clear();
            return scan::SSBS_OK_BUTT_Click(s);
        case Action::ScanDataNoName:
            c.INPU_NAME_TEXT.clear();
            return scan::INPU_NAME_OK_Click(s);
        case Action::LoaderOpen: return loader::OPEN_FILE_BUTT_Click(ld);
        case Action::LoaderPlotNothing: return loader::Graph_SHOW_BUTT_Click(ld);
        case Action::RawCommandNothing: return shell::INPUT_BUTT_Click(t.f.panel, raw);
        }
    }

    Holder holder;
    RunFixture t;
    scan::ScanControls c;
    scan::ScanContext s{t.f.panel, c, {}};
    loader::Loader ld;
    shell::CommandTestControls raw;
    QByteArray keptSetup;
    QList<rt::Message> shown;
    QStringList blocking;  // every dialog that waited for the user
};

} // namespace

Q_DECLARE_METATYPE(Holder)
Q_DECLARE_METATYPE(Action)

class TestDialogsDuringRuns : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void whoHoldsTheLine_data();
    void whoHoldsTheLine();
    void nothingWaitsWhileARunHoldsTheLine_data();
    void nothingWaitsWhileARunHoldsTheLine();
    void idleDialogsWait();
    void theNewestPanelsRuleCounts();
    void realBoxShowsWithoutALoopOfItsOwn();
};

void TestDialogsDuringRuns::whoHoldsTheLine_data()
{
    QTest::addColumn<RunPhase>("phase");
    QTest::addColumn<bool>("scanner");
    QTest::addColumn<bool>("held");
    QTest::newRow("idle") << RunPhase::Idle << false << false;
    QTest::newRow("START's name box") << RunPhase::Naming << false << false;
    QTest::newRow("timer-driven run (demonstration)") << RunPhase::Timed << false << true;
    QTest::newRow("normal loop") << RunPhase::NormalLoop << false << true;
    QTest::newRow("fast loop") << RunPhase::FastLoop << false << true;
    QTest::newRow("end of a run") << RunPhase::Ending << false << true;
    QTest::newRow("scanner's read-back or scan") << RunPhase::Idle << true << true;
}

void TestDialogsDuringRuns::whoHoldsTheLine()
{
    QFETCH(RunPhase, phase);
    QFETCH(bool, scanner);
    QFETCH(bool, held);
    PanelFixture f;
    rt::MessageRecorder messages;
    f.state.runPhase = phase;
    f.state.scanRunning = scanner;
    QCOMPARE(rt::lineHeld(), held);
    rt::messageBox(u"Informs"_s);
    QCOMPARE(messages.messages().value(0).modal, !held);
}

void TestDialogsDuringRuns::nothingWaitsWhileARunHoldsTheLine_data()
{
    QTest::addColumn<Holder>("holder");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("box");         // the box shown, if one is
    QTest::addColumn<QString>("statusLine");  // the refusal written, if one is

    const QString fileRefused = QString::fromUtf16(rt::kFileDialogRefusal);
    const QString overwriteRefused =
        rt::questionRefusal({u"File exists,rewrite existed ini file?"_s, u"File exists"_s,
                             rt::MessageIcon::Exclamation});
    struct Row
    {
        const char *name;
        Action action;
        QString box;
        QString statusLine;
        QString boxDuringScan;  // the scanner's own procedures stand back during its scan
        QString statusLineDuringScan;
    };
    const Row rows[] = {
        {"Scan", Action::ScanButton, kRunInProgress, {}, {}, {}},
        {"Step", Action::StepButton, kRunInProgress, {}, {}, {}},
        {"Load ScanBox Status", Action::LoadSetup, {}, fileRefused, {}, {}},
        {"Save ScanBox Status over a file", Action::SaveSetupOver, {}, overwriteRefused, {}, {}},
        {"Save ScanBox Status without a name", Action::SaveSetupNoName, u"The input name is error."_s, {}, {},
         {}},
        {"scan data name box without a name", Action::ScanDataNoName, u"The Input Name Err"_s, {},
         u"The Input Name Err"_s, {}},
        {"loader Open", Action::LoaderOpen, {}, fileRefused, {}, fileRefused},
        {"loader plot of nothing", Action::LoaderPlotNothing, u"The Grid is no data"_s, {},
         u"The Grid is no data"_s, {}},
        {"raw command of nothing", Action::RawCommandNothing, u"PLZ Input Command"_s, {},
         u"PLZ Input Command"_s, {}},
    };
    for (const Row &row : rows) {
        QTest::addRow("normal run: %s", row.name)
            << Holder::NormalRun << row.action << row.box << row.statusLine;
        QTest::addRow("fast run: %s", row.name) << Holder::FastRun << row.action << row.box << row.statusLine;
        QTest::addRow("scan: %s", row.name)
            << Holder::Scan << row.action << row.boxDuringScan << row.statusLineDuringScan;
    }
}

void TestDialogsDuringRuns::nothingWaitsWhileARunHoldsTheLine()
{
    QFETCH(Holder, holder);
    QFETCH(Action, action);
    QFETCH(QString, box);
    QFETCH(QString, statusLine);
    Bench b(holder);

    bool acted = false;
    if (holder == Holder::Scan) {
        // Inside the second pass's wait for its readings.
        int fetches = 0;
        b.t.f.sim.link.setWriteTap([&](const QString &text) {
            b.t.f.sim.written.append(text);
            if (text.startsWith(u"fetc?") && ++fetches == 2) {
                acted = true;
                b.act(action);
            }
        });
        scan::Scan_BUTT_Click(b.s);
        for (int tick = 0; tick < 3 && b.c.runActive(); ++tick)
            b.c.Timer1_Scan.tick();
        QVERIFY(!b.c.runActive());
        QCOMPARE(fetches, 3);
        QCOMPARE(b.c.Scan_Grid[0].dataRows(), 3);  // a pass a tick
    } else {
        // Inside the run's wait for its next pass (or block).
        b.t.clock.at(holder == Holder::FastRun ? 1500ms : 2500ms, [&] {
            acted = true;
            b.act(action);
        });
        b.t.start();
        b.t.runTicks();
        QCOMPARE(b.t.f.state.runPhase, RunPhase::Idle);
        // The records follow the run's clock: every interval of it has its
        // reading (a fast run's a block of 60 a second).
        const double interval = holder == Holder::FastRun ? 1.0 / 60 : 0.5;
        const int records = int(RunFixture::records(b.t.files().value(0)).size());
        QCOMPARE(records, qRound(runs::seconds(b.t.clock.monotonic()) / interval));
        QCOMPARE(records, holder == Holder::FastRun ? 120 : 12);
    }

    QVERIFY(acted);
    QCOMPARE(b.blocking, QStringList());
    for (const rt::Message &message : std::as_const(b.shown))
        QVERIFY2(!message.modal, qPrintable(message.text));
    if (!box.isEmpty()) {
        QCOMPARE(b.shown.size(), 1);
        QCOMPARE(b.shown.first().text, box);
    }
    if (!statusLine.isEmpty())
        QCOMPARE(b.t.f.status.lines().count(statusLine), 1);
    // A question not asked is no OK: the set-up saved before is as it was.
    QCOMPARE(Bench::fileBytes(b.setupPath()), b.keptSetup);
}

// With no run about, every dialog is asked and waits for its answer.
void TestDialogsDuringRuns::idleDialogsWait()
{
    Bench b(Holder::NormalRun);
    const int statusLines = b.t.f.status.lineCount();
    b.act(Action::SaveSetupOver);
    b.act(Action::LoaderOpen);
    QCOMPARE(b.blocking, (QStringList{u"question: File exists,rewrite existed ini file?"_s,
                                      u"box: Scan box settings saved successfully."_s, u"file dialog: "_s,
                                      u"box: No open file"_s}));
    QCOMPARE(b.t.f.status.lineCount(), statusLines);
}

// A second panel that comes and goes (a window's test beside a run's, a
// benchmark) leaves the first one's rule in place.
void TestDialogsDuringRuns::theNewestPanelsRuleCounts()
{
    PanelFixture first;
    first.state.runPhase = RunPhase::NormalLoop;
    QVERIFY(rt::lineHeld());
    {
        PanelFixture second;
        QVERIFY(!rt::lineHeld());
        second.state.scanRunning = true;
        QVERIFY(rt::lineHeld());
        rt::openFileName(u"Open"_s, {}, {});
        QCOMPARE(second.status.lineCount(), 1);
    }
    QVERIFY(rt::lineHeld());
    rt::openFileName(u"Open"_s, {}, {});
    QCOMPARE(first.status.lines(), QStringList{QString::fromUtf16(rt::kFileDialogRefusal)});
    first.state.runPhase = RunPhase::Idle;
    QVERIFY(!rt::lineHeld());
}

// The windows' own box, while a run holds the line: shown, not modal, and
// rt::messageBox has returned before anyone pressed OK; OK closes it. A
// question opens no box at all.
void TestDialogsDuringRuns::realBoxShowsWithoutALoopOfItsOwn()
{
    windows::installDialogs();
    const auto uninstall = qScopeGuard([] { rt::setRealDialogs({}, {}, {}); });
    PanelFixture f;
    f.state.runPhase = RunPhase::NormalLoop;
    // Should a box wait after all, this ends its loop, and the test fails.
    bool hadToClose = false;
    QTimer rescue;
    rescue.setInterval(2000);
    QObject::connect(&rescue, &QTimer::timeout, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            hadToClose = true;
            modal->close();
        }
    });
    rescue.start();

    rt::messageBox(u"The scan stopped: reason"_s, u"Scan Error"_s, rt::MessageIcon::Critical);
    QVERIFY(!hadToClose);
    QMessageBox *box = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *b = qobject_cast<QMessageBox *>(w); b && b->isVisible())
            box = b;
    QVERIFY(box);
    QCOMPARE(box->text(), u"The scan stopped: reason"_s);
    QCOMPARE(box->windowTitle(), u"Scan Error"_s);
    QVERIFY(!box->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    const QPointer<QMessageBox> gone(box);
    box->button(QMessageBox::Ok)->click();
    QTRY_VERIFY(gone.isNull());

    QVERIFY(!rt::askOkCancel({u"Overwrite?"_s, {}, rt::MessageIcon::Exclamation}));
    QVERIFY(!hadToClose);
    QCOMPARE(f.status.lineCount(), 1);
}

QTEST_MAIN(TestDialogsDuringRuns)
#include "tst_dialogs_during_runs.moc"
