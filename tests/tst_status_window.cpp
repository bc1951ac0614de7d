// The status window and the front panel's small diagnostic procedures: the
// mode dump, forgetting the function codes, "Random Data", "Clear Error",
// Quit and the typed phrase; the window's log kept in step with the status
// log both ways; and, in the main window, the menus and Quit's one
// "SYST:LOC".

#include "windows/loader_window.h"
#include "platform/dialogs.h"
#include "windows/about_window.h"
#include "windows/raw_command_window.h"
#include "windows/link_test_window.h"
#include "shell/link_test.h"
#include "windows/main_window.h"
#include "windows/status_window.h"
#include "windows/front_panel_window.h"
#include "shell/status.h"
#include "support/panel_fixture.h"

#include <QCheckBox>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using display::Lamp;

namespace {

QAction *menuAction(QMainWindow &window, const QString &name)
{
    for (QAction *action : window.menuBar()->actions()) {
        if (action->objectName() == name)
            return action;
    }
    return nullptr;
}

} // namespace

class TestStatusWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void modeDump_data();
    void modeDump();
    void clearModeData_data();
    void clearModeData();
    void randomData_data();
    void randomData();
    void clearError_data();
    void clearError();
    void quitReturnsToLocal_data();
    void quitReturnsToLocal();
    void phrase_data();
    void phrase();

    void boxAndLogStayInStep();
    void typedPhraseOpensRawCommandWindow();
    void phraseIgnoredDuringRun();
    void buttons();
    void quitButtonEndsOnce();

    void mainWindowMenusAndQuit();
};

// ---- procedures ------------------------------------------------------------------

void TestStatusWindow::modeDump_data()
{
    QTest::addColumn<QStringList>("modes");  // MODE1, MODE1_RANGE, MODE2, MODE2_RANGE
    QTest::addColumn<QString>("text");
    QTest::newRow("display 2 off: empty values")
        << QStringList{u"DCV"_s, u"AUTO"_s, QString(), QString()}
        << u"MODE1=DCV\r\nMODE1 RANGE=AUTO\r\n\r\nMODE2=\r\nMODE2 RANGE=\r\n"_s;
    QTest::newRow("both displays")
        << QStringList{u"4W"_s, u"10K"_s, u"ACV"_s, u"100mV"_s}
        << u"MODE1=4W\r\nMODE1 RANGE=10K\r\n\r\nMODE2=ACV\r\nMODE2 RANGE=100mV\r\n"_s;
}

void TestStatusWindow::modeDump()
{
    QFETCH(QStringList, modes);
    QFETCH(QString, text);
    PanelFixture f;
    f.state.MODE1 = modes[0];
    f.state.MODE1_RANGE = modes[1];
    f.state.MODE2 = modes[2];
    f.state.MODE2_RANGE = modes[3];
    f.status.append(u"earlier"_s);
    shell::MODE1_MODE2(f.panel);
    QCOMPARE(f.status.text(), u"earlier\r\n"_s + text);
}

void TestStatusWindow::clearModeData_data()
{
    QTest::addColumn<bool>("nd2Lit");
    QTest::addColumn<QString>("mode1");
    QTest::addColumn<QString>("mode2");
    QTest::newRow("2ND dark: codes forgotten") << false << QString() << QString();
    QTest::newRow("2ND lit: codes kept") << true << u"DCV"_s << u"ACV"_s;
}

void TestStatusWindow::clearModeData()
{
    QFETCH(bool, nd2Lit);
    QFETCH(QString, mode1);
    QFETCH(QString, mode2);
    PanelFixture f;
    f.display.setLit(Lamp::ND2_LAB, nd2Lit);
    f.state.MODE1 = u"DCV"_s;
    f.state.MODE2 = u"ACV"_s;
    f.state.DISPLAY1 = u"1.000000_V"_s;
    f.state.DISPLAY2 = u"0.50000_V"_s;
    shell::ClearMODE_DATA(f.panel);
    QCOMPARE(f.state.DISPLAY1, QString());
    QCOMPARE(f.state.DISPLAY2, QString());
    QCOMPARE(f.state.MODE1, mode1);
    QCOMPARE(f.state.MODE2, mode2);
}

void TestStatusWindow::randomData_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<bool>("remoteBefore");
    QTest::addColumn<bool>("remoteAfter");
    QTest::newRow("ticked: link down, demonstration") << true << true << false;
    QTest::newRow("cleared: link up without asking") << false << false << true;
}

void TestStatusWindow::randomData()
{
    QFETCH(bool, ticked);
    QFETCH(bool, remoteBefore);
    QFETCH(bool, remoteAfter);
    PanelFixture f;
    QVERIFY(f.sim.open());
    f.state.REMOTE_OK = remoteBefore;
    f.controls.Ran_CHK.checked = !ticked;
    f.controls.CHK_COM_TF.checked = ticked;
    shell::CHK_COM_TF_Click(f.panel);
    QCOMPARE(f.state.REMOTE_OK, remoteAfter);
    QCOMPARE(f.controls.Ran_CHK.checked, ticked);
    QCOMPARE(shell::linkControlsEnabled(f.panel), !ticked);
    QVERIFY(f.sim.written.isEmpty());
}

void TestStatusWindow::clearError_data()
{
    QTest::addColumn<bool>("portSet");
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("remote");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QStringList>("lines");
    const QStringList query{u"syst:err?\\10"_s};
    QTest::newRow("one entry of the queue")
        << true << true << false << query << QStringList{u"log"_s, u"-113,\"Undefined header\""_s};
    QTest::newRow("no port from the record: nothing, link up or not")
        << false << true << true << QStringList{} << QStringList{u"log"_s};
    QTest::newRow("port not open: log untouched") << true << false << false << query << QStringList{u"log"_s};
}

void TestStatusWindow::clearError()
{
    QFETCH(bool, portSet);
    QFETCH(bool, open);
    QFETCH(bool, remote);
    QFETCH(QStringList, written);
    QFETCH(QStringList, lines);
    PanelFixture f;
    f.sim.instrument.pushError("-113,\"Undefined header\"");
    if (open)
        QVERIFY(f.sim.open());
    f.state.PORT_SET = portSet;
    f.state.REMOTE_OK = remote;
    f.status.append(u"log"_s);
    shell::Err_Clear_BUTT_Click(f.panel);
    QCOMPARE(f.sim.written, written);
    QCOMPARE(f.status.lines(), lines);
}

void TestStatusWindow::quitReturnsToLocal_data()
{
    QTest::addColumn<bool>("remote");
    QTest::addColumn<QStringList>("wire");
    QTest::newRow("link up") << true << QStringList{u"SYST:LOC"_s};
    QTest::newRow("link down: nothing") << false << QStringList{};
}

void TestStatusWindow::quitReturnsToLocal()
{
    QFETCH(bool, remote);
    QFETCH(QStringList, wire);
    PanelFixture f;
    QVERIFY(f.sim.open());
    f.state.REMOTE_OK = remote;
    shell::Quit_BUTT_Click(f.panel);
    QCOMPARE(f.sim.wire(), wire);
}

void TestStatusWindow::phrase_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("opens");
    QTest::newRow("the phrase alone") << QStringList{u"fetch sample"_s} << false << true;
    QTest::newRow("after other text") << QStringList{u"TEST Speed: 500"_s, u"fetch sample"_s} << false << false;
    QTest::newRow("other letter case") << QStringList{u"Fetch sample"_s} << false << false;
    QTest::newRow("with a line end after it") << QStringList{u"fetch sample"_s, QString()} << false << false;
    QTest::newRow("with a space after it") << QStringList{u"fetch sample "_s} << false << false;
    QTest::newRow("while READ_Timer runs") << QStringList{u"fetch sample"_s} << true << false;
}

void TestStatusWindow::phrase()
{
    QFETCH(QStringList, lines);
    QFETCH(bool, running);
    QFETCH(bool, opens);
    PanelFixture f;
    for (const QString &line : lines)
        f.status.append(line);
    f.timers.READ_Timer.setInterval(60000);
    f.timers.READ_Timer.setEnabled(running);
    QCOMPARE(shell::Text1_Change(f.panel), opens);
}

// ---- the window ------------------------------------------------------------------

void TestStatusWindow::boxAndLogStayInStep()
{
    PanelFixture f;
    f.status.append(QString());  // a log that starts with an empty line
    f.status.append(u"first"_s);
    shell::QUIT_Form window(f.panel);
    QCOMPARE(window.windowTitle(), u"Form3"_s);
    QCOMPARE(window.Text1->toPlainText(), u"\nfirst"_s);

    // The program writes: the box follows.
    f.status.append(u"second\r\nthird"_s);
    QCOMPARE(window.Text1->toPlainText(), u"\nfirst\nsecond\nthird"_s);

    // The user types and deletes: the log follows.
    window.Text1->moveCursor(QTextCursor::End);
    QTest::keyClicks(window.Text1, u"!"_s);
    QTest::keyClick(window.Text1, Qt::Key_Return);
    QTest::keyClicks(window.Text1, u"typed"_s);
    QCOMPARE(f.status.lines(), (QStringList{QString(), u"first"_s, u"second"_s, u"third!"_s, u"typed"_s}));
    QTest::keyClick(window.Text1, Qt::Key_Backspace);
    QCOMPARE(f.status.lines().back(), u"type"_s);

    // And the program writes after the user's text, on a line of its own.
    f.status.append(u"after"_s);
    QCOMPARE(window.Text1->toPlainText(), u"\nfirst\nsecond\nthird!\ntype\nafter"_s);

    // A writer that replaces the text.
    shell::showRunSettings(f.panel, u"500"_s, u"0.5"_s);
    QCOMPARE(window.Text1->toPlainText(), u"TEST Speed: 500 milliseconds\n\nTest time : 0.5 minutes\n"_s);
    QCOMPARE(f.status.text(), u"TEST Speed: 500 milliseconds\r\n\r\nTest time : 0.5 minutes\r\n\r\n"_s);

    QTest::mouseClick(window.Clear_BUTT, Qt::LeftButton);
    QCOMPARE(window.Text1->toPlainText(), QString());
    QVERIFY(f.status.lines().isEmpty());
}

void TestStatusWindow::typedPhraseOpensRawCommandWindow()
{
    PanelFixture f;
    f.status.append(u"TEST Speed: 500 milliseconds"_s);
    shell::QUIT_Form window(f.panel);
    window.show();

    // Into a log that holds text: nothing.
    window.Text1->moveCursor(QTextCursor::End);
    QTest::keyClicks(window.Text1, u"fetch sample"_s);
    QVERIFY(!window.commandTest());

    // After "Clear Text" the phrase opens the raw-command window, once.
    QTest::mouseClick(window.Clear_BUTT, Qt::LeftButton);
    QTest::keyClicks(window.Text1, u"Fetch sampl"_s);
    QVERIFY(!window.commandTest());
    window.Text1->clear();
    QTest::keyClicks(window.Text1, u"fetch sample"_s);
    QVERIFY(window.commandTest());
    QVERIFY(window.commandTest()->isVisible());
    QPointer<shell::Command_TEST> first(window.commandTest());
    QTest::keyClick(window.Text1, Qt::Key_Backspace);
    QTest::keyClicks(window.Text1, u"e"_s);
    QCOMPARE(window.commandTest(), first.data());

    // Its Quit asks for the front panel, and the window goes.
    QSignalSpy frontPanel(&window, &shell::QUIT_Form::frontPanelWanted);
    QTest::mouseClick(first->Quit_BUTT, Qt::LeftButton);
    QCOMPARE(frontPanel.count(), 1);
    QTRY_VERIFY(first.isNull());
    QVERIFY(!window.commandTest());
}

void TestStatusWindow::phraseIgnoredDuringRun()
{
    PanelFixture f;
    f.timers.READ_Timer.setInterval(60000);
    f.timers.READ_Timer.setEnabled(true);
    shell::QUIT_Form window(f.panel);
    QTest::keyClicks(window.Text1, u"fetch sample"_s);
    QVERIFY(!window.commandTest());
    QCOMPARE(f.status.lines(), QStringList{u"fetch sample"_s});
}

void TestStatusWindow::buttons()
{
    PanelFixture f;
    QVERIFY(f.sim.open());
    f.state.PORT_SET = true;
    f.state.MODE1 = u"ACV"_s;
    f.state.MODE1_RANGE = u"AUTO"_s;
    f.sim.instrument.pushError("-222,\"Data out of range\"");
    shell::QUIT_Form window(f.panel);

    QTest::mouseClick(window.MODE1_MODE2, Qt::LeftButton);
    QTest::mouseClick(window.Err_Clear_BUTT, Qt::LeftButton);
    QCOMPARE(window.Text1->toPlainText(),
             u"MODE1=ACV\nMODE1 RANGE=AUTO\n\nMODE2=\nMODE2 RANGE=\n-222,\"Data out of range\""_s);
    QCOMPARE(f.status.lines().size(), 6);

    // "Load" opens the loader without blocking; a second click shows the
    // same window.
    QTest::mouseClick(window.LOAD_BUTT, Qt::LeftButton);
    QPointer<loader::Form_LD> loaderWindow(window.loaderForm());
    QVERIFY(loaderWindow);
    QVERIFY(loaderWindow->isVisible());
    QTest::mouseClick(window.LOAD_BUTT, Qt::LeftButton);
    QCOMPARE(window.loaderForm(), loaderWindow.data());
    loaderWindow->close();
    QTRY_VERIFY(loaderWindow.isNull());
}

void TestStatusWindow::quitButtonEndsOnce()
{
    PanelFixture f;
    f.linkUp();
    shell::QUIT_Form window(f.panel);
    // The main window ends the program (mainWindowMenusAndQuit): the click
    // asks it once and sends nothing itself.
    QSignalSpy ending(&window, &shell::QUIT_Form::quitClicked);
    QTest::mouseClick(window.Quit_BUTT, Qt::LeftButton);
    QCOMPARE(ending.count(), 1);
    QCOMPARE(f.sim.wire(), QStringList());
}

// ---- in the main window --------------------------------------------------------------

void TestStatusWindow::mainWindowMenusAndQuit()
{
    QTemporaryDir folder;
    SimLink sim;
    sim.link.setReplyBound(300ms);
    sim.link.setQuietTime(20ms);
    rt::MessageRecorder messages;
    shell::MDImain window(sim.link, folder.path());
    window.panel().timers.Timer1.setEnabled(false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // "Setting(&O)" opens the settings window inside the main window, at
    // its top-left corner; a second click brings the same one forward.
    QAction *settings = menuAction(window, u"C_B"_s);
    QVERIFY(settings);
    settings->trigger();
    QList<shell::Form2 *> forms = window.findChildren<shell::Form2 *>();
    QCOMPARE(forms.size(), 1);
    QMdiSubWindow *sub = window.window(forms.front());
    QVERIFY(sub);
    QCOMPARE(sub->pos(), QPoint(0, 0));
    settings->trigger();
    QCOMPARE(window.findChildren<shell::Form2 *>().size(), 1);

    // "Random Data" on the front panel greys out the settings window's link
    // controls, and back.
    window.showForm()->CHK_COM_TF->click();
    QVERIFY(!window.panel().state.REMOTE_OK);
    QVERIFY(window.panel().controls.Ran_CHK.checked);
    QVERIFY(!forms.front()->LINL_TEST->isEnabled());
    window.showForm()->CHK_COM_TF->click();
    QVERIFY(window.panel().state.REMOTE_OK);
    QVERIFY(forms.front()->LINL_TEST->isEnabled());

    // "About(&A)" shows the box without blocking.
    menuAction(window, u"A_H"_s)->trigger();
    QList<shell::AboutBox *> abouts = window.findChildren<shell::AboutBox *>();
    QCOMPARE(abouts.size(), 1);
    QCOMPARE(abouts.front()->objectName(), u"About_VX_Info"_s);
    QVERIFY(abouts.front()->isVisible());
    QPointer<shell::AboutBox> about(abouts.front());
    QTest::mouseClick(about->Close_BUTT, Qt::LeftButton);
    QTRY_VERIFY(about.isNull());
    QVERIFY(messages.messages().isEmpty());

    // Quit returns the instrument to local operation once; the main
    // window's own closing sends nothing more.
    QVERIFY(sim.open());
    window.panel().state.REMOTE_OK = true;
    sim.written.clear();
    QTest::mouseClick(window.quitForm()->Quit_BUTT, Qt::LeftButton);
    window.close();
    QCOMPARE(sim.written, QStringList{u"SYST:LOC\\10"_s});
}

QTEST_MAIN(TestStatusWindow)
#include "tst_status_window.moc"
