// The scanner window over its model: opened from the main window with the
// scanner's state read back and its menu shown, the user's clicks running
// the table's rules, the key filters, the name boxes, the result grids
// scrolling together with every result readable in its column, the set-up
// menu entries, and closing by Quit or the close box.

#include "core/link_gate.h"
#include "platform/dialogs.h"
#include "platform/program_folder.h"
#include "platform/twips.h"
#include "windows/front_panel_window.h"
#include "windows/main_window.h"
#include "windows/scan_window.h"
#include "scan/form_change.h"
#include "support/sim_link.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The main window on the simulated instrument, whose scanner holds two
// four-wire channels: 103 (auto) and 116 (10 k), each with its partner.
struct MainWindow
{
    explicit MainWindow(sim::Faults faults = {}) : sim(faults)
    {
        rt::setProgramFolder(folder.path());
        sim.instrument.setStates(u"chan103=on,FRES,1000,on,chan111=off,FRES,1000,on,"
                                 "chan116=on,FRES,10000,off,chan108=off,FRES,10000,off,"
                                 "chan101=on,VOLT:AC,750,off,chan117=on,CURR,10,on,scancount=5"_s);
        window = std::make_unique<shell::MDImain>(sim.link, folder.path());
        // No settings record: the program opened no port. The scanner
        // window talks to the simulator all the same; the start-up lamp
        // test and identification stay out of the way.
        window->panel().timers.Timer1.setEnabled(false);
        sim.open();
    }
    ~MainWindow()
    {
        window.reset();
        rt::setProgramFolder({});
        rt::setOpenFileHandler({});
    }

    bool menuShown() const { return window->SSBS->menuAction()->isVisible(); }
    QAction *action(const char *name) const
    {
        return window->SSBS->findChild<QAction *>(QLatin1StringView(name));
    }
    int queriesSent(const QString &query) const { return int(sim.wire().count(query)); }

    QTemporaryDir folder;
    SimLink sim;
    std::unique_ptr<shell::MDImain> window;
};

QMdiSubWindow *subWindowOf(QWidget *form)
{
    return qobject_cast<QMdiSubWindow *>(form->parentWidget());
}

} // namespace

class TestScanWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void opensWithTheScannerStateAndItsMenu();
    void clicksRunTheTableRules();
    void keyFiltersKeepWhatTheyShould();
    void scanDataNameIsChecked();
    void gridsScrollTogether();
    void everyResultFitsItsColumn_data();
    void everyResultFitsItsColumn();
    void menuEntriesSaveAndLoad();
    void closeBoxIsQuitAndRefusedWhileQuitIs();
    void readBackShowsItsProgressAndQuitEndsIt();
    void quitAsksTheRateOnceWithTheWindowGreyed_data();
    void quitAsksTheRateOnceWithTheWindowGreyed();
};

void TestScanWindow::opensWithTheScannerStateAndItsMenu()
{
    MainWindow m;
    QVERIFY(!m.menuShown());
    scan::Scan_Form *form = m.window->openScanForm();
    QVERIFY(form);
    QVERIFY(m.menuShown());
    QCOMPARE(m.queriesSent(u"trig:sour?"_s), 1);

    QVERIFY(form->CHN_CHK[2]->isChecked());
    QCOMPARE(form->MODE_Comb[2]->currentText(), u"4W"_s);
    QCOMPARE(form->Combo2[2]->currentText(), u"1 k"_s);
    QVERIFY(!form->Combo2[2]->isEnabled());  // auto range
    // 111 is 103's partner, 108 is 116's: locked, showing the channel's range.
    for (int partner : {10, 7}) {
        QVERIFY(!form->CHN_CHK[std::size_t(partner)]->isChecked());
        QVERIFY(!form->CHN_CHK[std::size_t(partner)]->isEnabled());
        QVERIFY(!form->MODE_Comb[std::size_t(partner)]->isEnabled());
        QCOMPARE(form->MODE_Comb[std::size_t(partner)]->currentText(), u"4W"_s);
    }
    QCOMPARE(form->Combo2[7]->currentText(), u"10 k"_s);
    QCOMPARE(form->Combo2[0]->currentText(), u"750 V"_s);
    QCOMPARE(form->MODE_Comb[16]->currentText(), u"DCI_2A"_s);
    QCOMPARE(form->Count_TEXT->text(), u"5"_s);
    QCOMPARE(form->Repeat_TEXT->text(), u"1"_s);
    QVERIFY(form->Cont_OPT[0]->isChecked());
    QCOMPARE(form->Scan_Grid[0]->model()->headerData(8, Qt::Horizontal).toString(), u"CHAN:117"_s);
    QCOMPARE(form->Scan_Grid[1]->model()->headerData(0, Qt::Horizontal).toString(), u"CHAN:109"_s);
    QCOMPARE(form->Scan_Grid[0]->model()->rowCount(), 1);
    QCOMPARE(subWindowOf(form)->geometry(), rt::twipsRect(0, 0, 11800, 7800));

    // Opening again brings the same window forward: no second read-back.
    QCOMPARE(m.window->openScanForm(), form);
    QCOMPARE(m.queriesSent(u"trig:sour?"_s), 1);
}

void TestScanWindow::clicksRunTheTableRules()
{
    MainWindow m;
    scan::Scan_Form *form = m.window->openScanForm();

    // Unticking 103 releases 111: its boxes come back, its function is DCV.
    form->CHN_CHK[2]->click();
    QVERIFY(!form->CHN_CHK[2]->isChecked());
    QVERIFY(form->CHN_CHK[10]->isEnabled());
    QCOMPARE(form->MODE_Comb[10]->currentText(), u"DCV"_s);
    QVERIFY(!form->MODE_Comb[10]->isEnabled());

    // Ticking it again locks 111 again.
    form->CHN_CHK[2]->click();
    QVERIFY(!form->CHN_CHK[10]->isEnabled());
    QCOMPARE(form->MODE_Comb[10]->currentText(), u"4W"_s);

    // Choosing the entry already shown is still a choice: the range list is
    // rebuilt and back at its first entry, and the partner follows.
    form->S_Auto_CHK[2]->click();  // manual range: the range list opens
    QVERIFY(form->Combo2[2]->isEnabled());
    form->Combo2[2]->setCurrentIndex(4);
    emit form->Combo2[2]->activated(4);
    QCOMPARE(form->Combo2[10]->currentText(), u"1 M"_s);
    emit form->MODE_Comb[2]->activated(scan::kFourWire);
    QCOMPARE(form->Combo2[2]->currentText(), u"100"_s);
    QCOMPARE(form->Combo2[10]->currentText(), u"100"_s);

    // The current channels keep their auto boxes.
    form->S_Auto_CHK[16]->click();
    form->Auto_All_Open_Butt->click();
    QVERIFY(form->S_Auto_CHK[0]->isChecked());
    QVERIFY(!form->S_Auto_CHK[16]->isChecked());

    form->Check1->click();
    QVERIFY(form->Cont_OPT[1]->isChecked());
    QVERIFY(!form->Repeat_TEXT->isEnabled());
}

void TestScanWindow::keyFiltersKeepWhatTheyShould()
{
    MainWindow m;
    scan::Scan_Form *form = m.window->openScanForm();

    form->Count_TEXT->clear();
    QTest::keyClicks(form->Count_TEXT, u"1a2-34"_s);
    QCOMPARE(form->Count_TEXT->text(), u"123"_s);  // three characters at most
    QCOMPARE(form->controls().Count_TEXT, u"123"_s);
    QTest::keyClick(form->Count_TEXT, Qt::Key_Backspace);
    QCOMPARE(form->controls().Count_TEXT, u"12"_s);

    form->SYS_DEL_TEXT->clear();
    QTest::keyClicks(form->SYS_DEL_TEXT, u"2.5s"_s);
    QCOMPARE(form->SYS_DEL_TEXT->text(), u"25"_s);

    // The initial set-up name keeps its blank; typing one is refused.
    QCOMPARE(form->SSBS_Input_Text->text(), u"Set Data"_s);
    form->SSBS_Input_Text->clear();
    QTest::keyClicks(form->SSBS_Input_Text, u"a b/_9"_s);
    QCOMPARE(form->SSBS_Input_Text->text(), u"ab_9"_s);
    QCOMPARE(form->controls().SSBS_Input_Text, u"ab_9"_s);
}

void TestScanWindow::scanDataNameIsChecked()
{
    MainWindow m;
    scan::Scan_Form *form = m.window->openScanForm();
    shell::PanelState &state = m.window->panel().state;
    rt::MessageRecorder messages;

    form->Save_DATA_CHK->click();
    QVERIFY(form->INPU_NAME_Frame->isVisibleTo(form));
    QCOMPARE(form->INPU_NAME_Frame->pos(), rt::twipsPoint(2700, 6100));
    QCOMPARE(form->INPU_NAME_TEXT->text(), u"ScanData"_s);

    for (const QString &bad : {QString(), u"../up"_s, u"C:x"_s}) {
        form->INPU_NAME_TEXT->setText(bad);
        emit form->INPU_NAME_TEXT->textEdited(bad);
        form->INPU_NAME_OK->click();
        QVERIFY(form->INPU_NAME_Frame->isVisibleTo(form));
    }
    QCOMPARE(messages.messages().size(), 3);
    QCOMPARE(messages.messages().at(1).text, u"The Input Name Err"_s);
    QCOMPARE(messages.messages().at(1).title, u"Input Err"_s);
    QVERIFY(state.SCAN_NAME.isEmpty());

    form->INPU_NAME_TEXT->setText(u"bench"_s);
    emit form->INPU_NAME_TEXT->textEdited(u"bench"_s);
    form->INPU_NAME_OK->click();
    QVERIFY(!form->INPU_NAME_Frame->isVisibleTo(form));
    QCOMPARE(state.SCAN_NAME, u"bench"_s);
    QCOMPARE(state.SCAN_FILE_NO, qint16(1));
    QVERIFY(form->Save_DATA_CHK->isChecked());

    // Cancel clears "SAVE DATA" and moves the box out of the way.
    form->Save_DATA_CHK->click();  // cleared: nothing opens
    QVERIFY(!form->INPU_NAME_Frame->isVisibleTo(form));
    form->Save_DATA_CHK->click();
    form->NAME_BUTT_CANC->click();
    QVERIFY(!form->Save_DATA_CHK->isChecked());
    QCOMPARE(form->controls().INPU_NAME_Frame_at, QPoint(2400, 2500));
}

void TestScanWindow::gridsScrollTogether()
{
    MainWindow m;
    m.window->show();
    scan::Scan_Form *form = m.window->openScanForm();
    form->tabs->setCurrentIndex(1);
    for (scan::ScanGridModel &grid : form->controls().Scan_Grid)
        grid.setDataRows(9999);
    QVERIFY(QTest::qWaitForWindowExposed(m.window.get()));
    QScrollBar *bar0 = form->Scan_Grid[0]->verticalScrollBar();
    QScrollBar *bar1 = form->Scan_Grid[1]->verticalScrollBar();
    QTRY_VERIFY(bar0->maximum() > 9000);
    bar0->setValue(100);
    QCOMPARE(bar1->value(), 100);
    bar1->setValue(9000);
    QCOMPARE(bar0->value(), 9000);
}

// The widest texts real readings give, each way of showing them: a sign, a
// reading at the top of a range that rounds up to one more digit, and the
// longest units.
void TestScanWindow::everyResultFitsItsColumn_data()
{
    QTest::addColumn<QString>("shown");
    const auto row = [](const char *name, QStringView function, QStringView range, bool autoRange,
                        QStringView reading) {
        QTest::newRow(name) << scan::formChange(function, range, autoRange, reading);
    };
    row("half a kilohm, 0.500000 kOhm", u"2W", u"1 k", true, u"+5.00000E+02");
    row("kilohms rounding up", u"4W", u"100 k", true, u"119999.99");
    row("100 M range over", u"2W", u"100 M", false, u"1.2E+08");
    row("negative kilohms", u"4W", u"100 k", false, u"-5");
    row("1000 V range negative", u"DCV", u"1000 V", false, u"-1050");
    row("auto volts negative", u"DCV", u"1 V", true, u"-999.9");
    row("hertz rounding up", u"Hz", u"No Range", false, u"999.99999");
    row("megahertz rounding up", u"Hz", u"No Range", false, u"999999999.9");
    row("microseconds rounding up", u"P", u"No Range", false, u"0.00099999999");
    row("degrees F negative", u"TC_F", u"No Range", false, u"-328");
    row("amperes negative", u"DCI_2A", u"Max 2A", true, u"-2.2");
    row("continuity", u"CONTINU", u"No Range", true, u"1199.99");
}

void TestScanWindow::everyResultFitsItsColumn()
{
    QFETCH(QString, shown);
    MainWindow m;
    scan::Scan_Form *form = m.window->openScanForm();
    for (QTableView *grid : form->Scan_Grid) {
        // Where the view draws a cell's text: the column less its grid
        // line and the style's text margin on either side; text wider than
        // that is cut with an ellipsis.
        const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
        const int gridLine = grid->showGrid() ? 1 : 0;
        for (int column = 0; column < scan::kScanGridColumns; ++column) {
            const int room = grid->columnWidth(column) - gridLine - 2 * margin;
            QVERIFY2(grid->fontMetrics().horizontalAdvance(shown) <= room,
                     qPrintable(u"\"%1\" is %2 pixels in column %3 of %4"_s.arg(shown)
                                    .arg(grid->fontMetrics().horizontalAdvance(shown))
                                    .arg(column)
                                    .arg(room)));
        }
    }
}

void TestScanWindow::menuEntriesSaveAndLoad()
{
    MainWindow m;
    scan::Scan_Form *form = m.window->openScanForm();
    rt::MessageRecorder messages;

    m.action("SSBS_SS")->trigger();
    QVERIFY(form->SSBS_Frame->isVisibleTo(form));
    QCOMPARE(form->SSBS_Input_Text->selectedText(), u"Set Data"_s);
    form->SSBS_OK_BUTT->click();
    QVERIFY(!form->SSBS_Frame->isVisibleTo(form));
    QCOMPARE(messages.messages().constLast().title, u"Save Ok"_s);
    const QString saved = m.folder.filePath(u"SCAN DATA/Set Data.ini"_s);
    QVERIFY(QFileInfo::exists(saved));

    // Change the table, then load the saved set-up back through the menu.
    form->On_All_Clear_Butt->click();
    QVERIFY(!form->CHN_CHK[2]->isChecked());
    rt::setOpenFileHandler([&](const QString &, const QString &, const QString &) { return saved; });
    m.action("SSBS_LS")->trigger();
    QCOMPARE(messages.messages().constLast().title, u"Load Ok"_s);
    QVERIFY(form->CHN_CHK[2]->isChecked());
    QVERIFY(!form->CHN_CHK[10]->isEnabled());
    QCOMPARE(form->MODE_Comb[10]->currentText(), u"4W"_s);

    // Cancel closes the set-up name box without a word.
    m.action("SSBS_SS")->trigger();
    form->SSBS_Cancel_Butt->click();
    QVERIFY(!form->SSBS_Frame->isVisibleTo(form));
}

void TestScanWindow::closeBoxIsQuitAndRefusedWhileQuitIs()
{
    MainWindow m;
    m.window->panel().state.REMOTE_OK = true;  // the rate lamp asks only then
    QPointer<scan::Scan_Form> form = m.window->openScanForm();
    QPointer<QMdiSubWindow> sub = subWindowOf(form);

    // A run has Quit disabled: the close box does nothing either, but say
    // why in one line.
    Panel &panel = m.window->panel();
    form->controls().setPhase(scan::RunPhase::Running, panel.state);
    QVERIFY(!form->Quit_BUTT->isEnabled());
    const int lines = panel.status.lineCount();
    QVERIFY(!sub->close());
    QVERIFY(form && form->isVisibleTo(m.window.get()));
    QVERIFY(m.menuShown());
    QCOMPARE(panel.status.lineCount(), lines + 1);
    QCOMPARE(panel.status.lines().back(), QString::fromUtf16(shell::kScanRefusal));

    const int rateQueries = m.queriesSent(u"sens:det:rate?"_s);
    form->controls().setPhase(scan::RunPhase::Idle, panel.state);
    QVERIFY(sub->close());
    QVERIFY(!m.menuShown());
    QCOMPARE(m.queriesSent(u"sens:det:rate?"_s), rateQueries + 1);
    QTRY_VERIFY(!form);

    // Quit itself, in a window opened anew: it reads the scanner back again.
    form = m.window->openScanForm();
    QCOMPARE(m.queriesSent(u"trig:sour?"_s), 2);
    QVERIFY(m.menuShown());
    form->Quit_BUTT->click();
    QVERIFY(!m.menuShown());
    QTRY_VERIFY(!form);
}

// Replies 300 ms late: the 23 queries of the read-back take seven seconds.
// The window is in view meanwhile, says how far it has come and takes
// nothing but Quit; Quit ends the read-back where it is and closes it.
void TestScanWindow::readBackShowsItsProgressAndQuitEndsIt()
{
    sim::Faults slow;
    slow.delayMs = 300;
    MainWindow m(slow);
    m.window->panel().state.REMOTE_OK = true;  // the rate lamp asks only then
    m.window->show();
    struct Seen
    {
        bool shown = false, scanEnabled = true, tableEnabled = true, quitEnabled = false;
        QString status;
    } seen;
    // The user looks, then clicks Quit, 2.5 s into the read-back.
    QTimer::singleShot(2500, [&] {
        auto *form = m.window->findChild<scan::Scan_Form *>();
        if (!form)
            return;
        seen = {form->isVisible(), form->Scan_BUTT->isEnabled(), form->tabs->isEnabled(),
                form->Quit_BUTT->isEnabled(), form->SET_SHOW->isVisible() ? form->SET_SHOW->text() : QString()};
        form->Quit_BUTT->click();
    });
    QPointer<scan::Scan_Form> form = m.window->openScanForm();
    QVERIFY(!form);
    QVERIFY(seen.shown);
    QVERIFY(seen.quitEnabled);
    QVERIFY(!seen.scanEnabled);
    QVERIFY(!seen.tableEnabled);
    QVERIFY2(QRegularExpression(u"^Reading (channel \\d+ of 18|which channels are on)$"_s).match(seen.status).hasMatch(),
             qPrintable(seen.status));
    // Ended where it was: the channels after it were never asked.
    QVERIFY(m.queriesSent(u"rout:chan? 118"_s) == 0);
    QVERIFY(!m.menuShown());
    QTRY_VERIFY(!m.window->findChild<scan::Scan_Form *>());
    // The rate is the opening key's to ask (see below), not this close's.
    QCOMPARE(m.queriesSent(u"sens:det:rate?"_s), 0);

    // Opened again, on the same line, it reads everything back.
    form = m.window->openScanForm();
    QVERIFY(form);
    QCOMPARE(m.queriesSent(u"rout:chan? 118"_s), 1);
    QVERIFY(!form->SET_SHOW->isVisible());
    QVERIFY(form->Scan_BUTT->isEnabled());
    QCOMPARE(form->MODE_Comb[2]->currentText(), u"4W"_s);
}

// The way out asks the front panel's rate once, and while that query waits
// nothing in the window looks usable. The window is opened as the user
// opens it, by SHIFT with ACV, whose rate check after the key follows the
// read-back; replies come 300 ms late. Quit after the read-back: the close
// asks the rate with the window greyed. Quit during the read-back: the
// window goes at once, half-read, and the key's own rate check is the one
// query.
void TestScanWindow::quitAsksTheRateOnceWithTheWindowGreyed_data()
{
    QTest::addColumn<int>("quitAtMs");  // after the key went down; 0: once the key is done
    QTest::newRow("Quit after the read-back") << 0;
    QTest::newRow("Quit during the read-back") << 2500;
}

void TestScanWindow::quitAsksTheRateOnceWithTheWindowGreyed()
{
    QFETCH(int, quitAtMs);
    sim::Faults slow;
    slow.delayMs = 300;
    MainWindow m(slow);
    Panel &panel = m.window->panel();
    panel.state.REMOTE_OK = true;  // the rate lamp asks only then
    panel.state.scannerReported = true;
    panel.controls.CHK_COM_TF.checked = true;  // the link is up, as after the identification
    m.window->show();
    const QString rate = u"sens:det:rate?"_s;

    // From Quit on, every 20 ms while the rate query is the last command
    // the instrument got: whether the window is in view, and what of it
    // takes a click.
    struct Seen
    {
        bool shown, tableEnabled, quitEnabled;
    };
    QList<Seen> seen;
    qsizetype wireAtQuit = -1;
    QTimer look;
    look.setInterval(20);
    connect(&look, &QTimer::timeout, [&] {
        const QStringList wire = m.sim.wire();
        if (wire.isEmpty() || wire.back() != rate)
            return;
        auto *form = m.window->findChild<scan::Scan_Form *>();
        const bool shown = form && form->isVisible();
        seen.append({shown, shown && form->tabs->isEnabled(), shown && form->Quit_BUTT->isEnabled()});
    });
    const auto quit = [&] {
        auto *form = m.window->findChild<scan::Scan_Form *>();
        QVERIFY(form);
        wireAtQuit = m.sim.wire().size();
        look.start();
        form->Quit_BUTT->click();
    };
    if (quitAtMs > 0)
        QTimer::singleShot(quitAtMs, quit);

    panel.display.setLit(display::Lamp::SHIFT_LAB, true);
    emit m.window->showForm()->BUTT1_IMG_MouseDown(0, 0);  // SCAN: SHIFT with ACV
    emit m.window->showForm()->BUTT1_IMG_MouseUp(0, 0);
    if (quitAtMs == 0) {
        QVERIFY(m.window->findChild<scan::Scan_Form *>());
        QCOMPARE(m.queriesSent(u"rout:chan? 118"_s), 1);
        quit();
    }
    QTRY_VERIFY(!m.window->findChild<scan::Scan_Form *>());
    look.stop();

    QVERIFY(wireAtQuit >= 0);
    QCOMPARE(m.sim.wire().mid(wireAtQuit).count(rate), 1);
    QVERIFY(!seen.isEmpty());
    for (const Seen &s : seen) {
        QVERIFY2(!s.tableEnabled, "the table took clicks while the window closed");
        QVERIFY2(!s.quitEnabled, "Quit took clicks while the window closed");
    }
    if (quitAtMs > 0) {
        // Ended where it was, and gone before the rate query went out.
        QCOMPARE(m.queriesSent(u"rout:chan? 118"_s), 0);
        QVERIFY(!seen.front().shown);
    } else {
        QVERIFY(seen.front().shown);  // greyed in view while the close waits
    }
}

QTEST_MAIN(TestScanWindow)
#include "tst_scan_window.moc"
