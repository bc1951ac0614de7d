// What a user may click while the scanner window runs a scan: the whole
// program on the simulator, its real windows and clicks, a two-pass scan
// saving to a file. Each action is taken inside a pass's wait on the
// instrument and between two passes. On a slow line (replies 1.3 s late)
// both come in every run; on a line without faults the instrument answers
// at once, so only the time between passes is long enough to click into.
//
// Whatever the action: every data line of the file is each channel's own
// reading under the header's channels, the table after the run is as it
// was, the wire holds nothing but the run's commands and ends with
// "rout:func off", a refusal is one status line, and the program goes on.
// Closing the main window ends the scan as Stop does, then releases the
// instrument ("SYST:LOC"), then the window closes.

#include "core/link_gate.h"
#include "core/panel.h"
#include "platform/dialogs.h"
#include "platform/program_folder.h"
#include "platform/twips.h"
#include "windows/front_panel_window.h"
#include "windows/main_window.h"
#include "windows/scan_window.h"
#include "windows/status_window.h"
#include "scan/scanner_waits.h"
#include "support/files.h"
#include "support/sim_link.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <numeric>

using namespace Qt::StringLiterals;

namespace {

enum class Action {
    OnAllOpen,
    OnAllClear,
    AutoAllOpen,
    AutoAllClear,
    RepeatOption,    // the run-mode option of a counted run
    ContinuousCheck,
    TableCell,       // channel 102's on box
    Start,           // the front panel's START
    PanelKey,        // the front panel's 2W/4W key
    Load,            // the status window's Load
    ScannerClose,
    MainClose,
    Quit,            // the status window's Quit
};

enum class When {
    InWait,         // inside a wait of the first pass
    PassRead,       // the first pass filed, the next not armed yet
    BetweenPasses,  // the next pass armed, the run timer waiting for it
};

// The fields of every pass: 101 DCV auto, 102 2W on 1 k, 117 DCI_2A auto.
constexpr char kPassFields[] = "   01.20000 V,0.500000 kOhm,   00.10000 A,";
const QStringList kHeaderChannels = {u"    CHAN:101 ,    CHAN:102 ,    CHAN:117 ,                 Now ,\r"_s,
                                     u"         DCV ,          2W ,      DCI_2A , ,\r"_s};

// Commands a scan run sends; anything else on the wire came from elsewhere.
bool isRunCommand(const QString &command)
{
    for (const char16_t *start : {u"TRAC:CLE", u"rout:", u"trig:del", u"*trg", u"fetc?"})
        if (command.startsWith(QStringView(start)))
            return true;
    return false;
}

// One row of the channel table, and the run mode, as the user sees them.
QStringList tableShown(const scan::Scan_Form &form)
{
    QStringList shown;
    for (int i = 0; i < scan::kChannelCount; ++i) {
        const auto at = std::size_t(i);
        shown.append(u"%1 %2 %3 %4"_s.arg(form.CHN_CHK[at]->isChecked())
                         .arg(form.MODE_Comb[at]->currentText(), form.Combo2[at]->currentText())
                         .arg(form.S_Auto_CHK[at]->isChecked()));
    }
    shown.append(u"mode %1 %2 %3"_s.arg(form.Cont_OPT[0]->isChecked()).arg(form.Cont_OPT[1]->isChecked())
                     .arg(form.Check1->isChecked()));
    return shown;
}

struct Program
{
    // The scanner window opened on a line without faults, then the line
    // slowed to answer `delayMs` late; or opened on the slow line.
    explicit Program(int delayMs, bool slowReadBack = false)
    {
        rt::setProgramFolder(folder.path());
        sim.instrument.setStates(u"chan101=on,VOLT,10,on,chan102=on,RES,1000,off,chan117=on,CURR,10,on,"
                                 "scancount=3,scandelay=20"_s);
        window = std::make_unique<shell::MDImain>(sim.link, folder.path());
        window->panel().timers.Timer1.setEnabled(false);
        window->show();
        sim.open();
        window->panel().state.REMOTE_OK = true;
        if (slowReadBack)
            return;
        form = window->openScanForm();
        sim.faults.delayMs = delayMs;
        sim.open();
        if (!form)
            return;
        scan::ScanControls &c = form->controls();
        c.Repeat_TEXT = u"2"_s;
        saveAs(u"Actions"_s);
    }
    ~Program()
    {
        window.reset();
        rt::setProgramFolder({});
    }

    Panel &panel() { return window->panel(); }
    scan::ScanControls &controls() { return form->controls(); }

    void click(QWidget *w, QPoint at = {})
    {
        QTest::mouseClick(w, Qt::LeftButton, {}, at.isNull() ? w->rect().center() : at);
    }
    void clickPanel(const QRect &twips)
    {
        QTest::mouseClick(window->showForm(), Qt::LeftButton, {},
                          rt::twipsRect(twips.x(), twips.y(), twips.width(), twips.height()).center());
    }
    void act(Action action)
    {
        const auto box = [](QWidget *w) { return QPoint(6, w->height() / 2); };  // its indicator
        switch (action) {
        case Action::OnAllOpen: return click(form->On_All_Open_Butt);
        case Action::OnAllClear: return click(form->On_All_Clear_Butt);
        case Action::AutoAllOpen: return click(form->Auto_All_Open_Butt);
        case Action::AutoAllClear: return click(form->Auto_All_Clear_Butt);
        case Action::RepeatOption: return click(form->Cont_OPT[1], box(form->Cont_OPT[1]));
        case Action::ContinuousCheck: return click(form->Check1, box(form->Check1));
        case Action::TableCell: return click(form->CHN_CHK[1], box(form->CHN_CHK[1]));
        case Action::Start: return clickPanel(shell::SHOW_Form::startKeyRect());
        case Action::PanelKey: return clickPanel(shell::SHOW_Form::keyRect(4));  // 2W/4W
        case Action::Load: return click(window->quitForm()->LOAD_BUTT);
        case Action::ScannerClose: qobject_cast<QMdiSubWindow *>(form->parentWidget())->close(); return;
        case Action::MainClose: window->close(); return;
        case Action::Quit: return click(window->quitForm()->Quit_BUTT);
        }
    }

    // Whether the moment for `when` has come in the first pass.
    bool momentOf(When when)
    {
        const scan::ScanControls &c = controls();
        if (!c.runActive() || c.passNumber != 1)
            return false;
        if (when == When::InWait)
            return sim.link.isWaiting() && sim.link.runsAllEventsInWaits();
        if (when == When::PassRead)
            return sim.link.isWaiting() && c.SCAN_ROW == 2 && !c.run.passArmed();
        return !sim.link.isWaiting() && c.Timer1_Scan.isEnabled();
    }

    // Saves the next run's passes under `name`.
    void saveAs(const QString &name)
    {
        controls().Save_DATA_CHK = true;
        panel().state.SCAN_NAME = name;
        panel().state.SCAN_FILE_NO = 1;
        controls().touch();
    }
    // The data lines of the one scan data file of a name, without their
    // time stamps, after checking its header.
    QList<QByteArray> dataFields(const QString &name)
    {
        const QDir dataFolder(folder.filePath(u"SCAN DATA"_s));
        const QStringList names = dataFolder.entryList({name + u"-*.txt"_s}, QDir::Files);
        if (names.size() != 1)
            return {"no file or more than one"};
        const QList<QByteArray> lines = fileLines(dataFolder.filePath(names[0]));
        if (lines.size() < 6 || QString::fromLatin1(lines[2]) != kHeaderChannels[0]
            || QString::fromLatin1(lines[3]) != kHeaderChannels[1])
            return {"header changed"};
        return scanDataFields(lines);
    }

    QTemporaryDir folder;
    SimLink sim;
    rt::MessageRecorder messages;
    std::unique_ptr<shell::MDImain> window;
    QPointer<scan::Scan_Form> form;
};

} // namespace

Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(When)

class TestScanUserActions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void actionDuringARunChangesNothing_data();
    void actionDuringARunChangesNothing();
    void stopArmsNoNewPass_data();
    void stopArmsNoNewPass();
    void duringTheReadBack_data();
    void duringTheReadBack();
    void closingTheProgramEndsTheScanFirst_data();
    void closingTheProgramEndsTheScanFirst();
};

void TestScanUserActions::actionDuringARunChangesNothing_data()
{
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QList<When>>("moments");
    // Status lines each moment's click writes: inside a wait every press is
    // refused in one line; between passes a greyed control takes no press,
    // START, a panel key and the scanner's close box are refused in one.
    QTest::addColumn<QList<int>>("lines");

    const struct
    {
        const char *name;
        Action action;
        int betweenLines;
    } actions[] = {
        {"On All Open", Action::OnAllOpen, 0},
        {"On All Clear", Action::OnAllClear, 0},
        {"Auto All Open", Action::AutoAllOpen, 0},
        {"Auto All Clear", Action::AutoAllClear, 0},
        {"Continuous option", Action::RepeatOption, 0},
        {"Continuous check box", Action::ContinuousCheck, 0},
        {"a table cell", Action::TableCell, 0},
        {"START", Action::Start, 1},
        {"a panel key", Action::PanelKey, 1},
        {"Load", Action::Load, 0},  // the loader opens: it talks to no instrument
        {"the scanner window's close", Action::ScannerClose, 1},
    };
    for (const auto &row : actions) {
        QTest::addRow("slow line: %s", row.name) << 1300 << row.action
                                                 << QList<When>{When::InWait, When::BetweenPasses}
                                                 << QList<int>{1, row.betweenLines};
        QTest::addRow("no fault: %s", row.name) << 0 << row.action << QList<When>{When::BetweenPasses}
                                                << QList<int>{row.betweenLines};
    }
}

void TestScanUserActions::actionDuringARunChangesNothing()
{
    QFETCH(int, delayMs);
    QFETCH(Action, action);
    QFETCH(QList<When>, moments);
    QFETCH(QList<int>, lines);
    Program program(delayMs);
    QVERIFY(program.form);
    scan::Scan_Form &form = *program.form;
    const QStringList table = tableShown(form);
    QVERIFY(program.sim.wire().isEmpty());

    // The moments come in order; each action is taken as its moment comes,
    // from a timer that fires inside the channel's waits too.
    const auto refusals = [&] {
        return int(program.panel().status.lines().count(QString::fromUtf16(shell::kScanRefusal)));
    };
    QList<int> linesWritten;
    qsizetype next = 0;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (next >= moments.size() || !program.momentOf(moments[next]))
            return;
        const int before = refusals();
        program.act(action);
        linesWritten.append(refusals() - before);
        ++next;
    });
    user.start(5);
    program.click(form.Scan_BUTT);
    QTRY_VERIFY_WITH_TIMEOUT(!program.controls().run.holdsLine(), 20000);
    user.stop();

    QCOMPARE(linesWritten, lines);
    QCOMPARE(refusals(), std::accumulate(lines.begin(), lines.end(), 0));
    QVERIFY2(!program.panel().status.text().contains(u"failed"_s), qPrintable(program.panel().status.text()));
    QVERIFY2(program.messages.messages().isEmpty(), qPrintable(program.messages.messages().value(0).text));
    QCOMPARE(program.dataFields(u"Actions"_s), QList<QByteArray>(2, kPassFields));
    QCOMPARE(tableShown(form), table);
    const QStringList wire = program.sim.wire();
    QCOMPARE(wire.count(u"rout:func scan"_s), 2);
    QCOMPARE(wire.last(), u"rout:func off"_s);
    for (const QString &command : wire)
        QVERIFY2(isRunCommand(command), qPrintable(command));

    // The program goes on: the scanner window, and the next run files its
    // passes as rightly.
    QVERIFY(form.isVisibleTo(program.window.get()));
    program.controls().Repeat_TEXT = u"1"_s;
    program.saveAs(u"Next"_s);
    program.click(form.Scan_BUTT);
    QTRY_VERIFY_WITH_TIMEOUT(!program.controls().run.holdsLine(), 20000);
    QCOMPARE(program.dataFields(u"Next"_s), QList<QByteArray>(1, kPassFields));
}

void TestScanUserActions::stopArmsNoNewPass_data()
{
    QTest::addColumn<When>("moment");
    QTest::addColumn<int>("passesFiled");
    QTest::newRow("inside a pass's wait") << When::InWait << 0;
    QTest::newRow("as the pass is filed") << When::PassRead << 1;
    QTest::newRow("between passes") << When::BetweenPasses << 1;
}

// On the slow line Stop is pressed at a moment of the first pass: after the
// press nothing but "rout:func off" goes out, and the passes read are kept.
void TestScanUserActions::stopArmsNoNewPass()
{
    QFETCH(When, moment);
    QFETCH(int, passesFiled);
    Program program(1300);
    QVERIFY(program.form);
    qsizetype wireAtPress = -1;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (wireAtPress >= 0 || !program.momentOf(moment))
            return;
        wireAtPress = program.sim.wire().size();
        program.click(program.form->STOP_BUTT);
    });
    user.start(0);  // every pass of the events, in the waits too
    program.click(program.form->Scan_BUTT);
    QTRY_VERIFY_WITH_TIMEOUT(wireAtPress >= 0, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!program.controls().run.holdsLine(), 5000);
    user.stop();
    QCOMPARE(program.sim.wire().mid(wireAtPress), QStringList{u"rout:func off"_s});
    QCOMPARE(program.dataFields(u"Actions"_s), QList<QByteArray>(passesFiled, kPassFields));
    QVERIFY2(program.messages.messages().isEmpty(), qPrintable(program.messages.messages().value(0).text));
}

void TestScanUserActions::duringTheReadBack_data()
{
    QTest::addColumn<Action>("action");
    QTest::newRow("START") << Action::Start;
    QTest::newRow("a panel key") << Action::PanelKey;
    QTest::newRow("the main window's close") << Action::MainClose;
}

// The scanner window reads the scanner's state back on a line that answers
// 0.3 s late; the action comes inside the wait for the third reply.
void TestScanUserActions::duringTheReadBack()
{
    QFETCH(Action, action);
    Program program(0, true);
    program.sim.faults.delayMs = 300;
    program.sim.open();
    const QString refusal = QString::fromUtf16(scan::kReadBackRefusal);
    int refusalsWritten = -1;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto *form = program.window->findChild<scan::Scan_Form *>();
        if (refusalsWritten >= 0 || !form || !form->controls().run.readingBack() || !program.sim.link.isWaiting()
            || program.sim.wire().size() < 3)
            return;
        program.form = form;
        const int before = int(program.panel().status.lines().count(refusal));
        program.act(action);
        refusalsWritten = int(program.panel().status.lines().count(refusal)) - before;
    });
    user.start(5);
    scan::Scan_Form *opened = program.window->openScanForm();
    QTRY_VERIFY_WITH_TIMEOUT(refusalsWritten >= 0, 5000);
    user.stop();
    QVERIFY2(program.messages.messages().isEmpty(), qPrintable(program.messages.messages().value(0).text));
    QVERIFY(program.panel().state.runPhase == shell::RunPhase::Idle);
    const QStringList wire = program.sim.wire();
    if (action == Action::MainClose) {
        // The read-back ended where it was, the window closed (its rate
        // query), and the instrument was released last.
        QCOMPARE(refusalsWritten, 0);
        QVERIFY(!opened);
        QTRY_VERIFY_WITH_TIMEOUT(!program.window->isVisible(), 5000);
        QCOMPARE(program.sim.wire().last(), u"SYST:LOC"_s);
        QVERIFY(program.sim.wire().size() < 10);
        return;
    }
    // One line, nothing sent but the read-back's queries, and the
    // read-back went on to its end.
    QCOMPARE(refusalsWritten, 1);
    QVERIFY(opened);
    QVERIFY(!opened->controls().run.holdsLine());
    QVERIFY(!program.panel().state.scanRunning);
    QVERIFY(opened->CHN_CHK[16]->isChecked());  // 117, read near the end
    for (const QString &command : wire)
        QVERIFY2(command.endsWith(u'?') || command.startsWith(u"rout:chan? "), qPrintable(command));
}

void TestScanUserActions::closingTheProgramEndsTheScanFirst_data()
{
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<When>("moment");
    QTest::addColumn<Action>("action");
    QTest::newRow("close, no fault, between passes") << 0 << When::BetweenPasses << Action::MainClose;
    // Quit last: it ends the event loop.
    for (const Action action : {Action::MainClose, Action::Quit}) {
        const char *how = action == Action::Quit ? "Quit" : "close";
        QTest::addRow("%s, slow line, inside a pass's wait", how) << 1300 << When::InWait << action;
        QTest::addRow("%s, slow line, between passes", how) << 1300 << When::BetweenPasses << action;
    }
}

void TestScanUserActions::closingTheProgramEndsTheScanFirst()
{
    QFETCH(int, delayMs);
    QFETCH(When, moment);
    QFETCH(Action, action);
    Program program(delayMs);
    QVERIFY(program.form);
    QPointer<scan::Scan_Form> form = program.form;

    bool asked = false;
    int linesWritten = -1;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (asked || !program.momentOf(moment))
            return;
        asked = true;
        const int before = program.panel().status.lineCount();
        program.act(action);
        linesWritten = program.panel().status.lineCount() - before;
    });
    user.start(5);
    program.click(form->Scan_BUTT);
    QTRY_VERIFY_WITH_TIMEOUT(asked, 20000);
    // The window closes; Quit ends the event loop instead (the test runs
    // none).
    if (action == Action::MainClose)
        QTRY_VERIFY_WITH_TIMEOUT(!program.window->isVisible(), 5000);
    else
        QTRY_COMPARE_WITH_TIMEOUT(program.sim.wire().value(program.sim.wire().size() - 1), u"SYST:LOC"_s, 5000);
    user.stop();

    QCOMPARE(linesWritten, 0);
    QVERIFY2(program.messages.messages().isEmpty(), qPrintable(program.messages.messages().value(0).text));
    QVERIFY(!program.controls().run.holdsLine());
    // The scan ended as Stop ends it, then the instrument was released; no
    // pass was armed after the close.
    const QStringList wire = program.sim.wire();
    QVERIFY(wire.size() >= 2);
    QCOMPARE(wire.mid(wire.size() - 2), (QStringList{u"rout:func off"_s, u"SYST:LOC"_s}));
    QCOMPARE(wire.count(u"rout:func scan"_s), moment == When::InWait ? 1 : 2);
    for (const QString &command : wire.mid(0, wire.size() - 1))
        QVERIFY2(isRunCommand(command), qPrintable(command));
    // The passes read are kept, each under its own channels.
    const QList<QByteArray> fields = program.dataFields(u"Actions"_s);
    QCOMPARE(fields.size(), moment == When::InWait ? 0 : 1);
    for (const QByteArray &line : fields)
        QCOMPARE(line, kPassFields);
}

QTEST_MAIN(TestScanUserActions)
#include "tst_scan_user_actions.moc"
