// The front panel's load, its lamp test, the main window's layout and the
// command that goes out when the panel closes.

#include "platform/twips.h"
#include "runs/readings_table.h"
#include "windows/readings_table_window.h"
#include "windows/trend_graph_window.h"
#include "shell/front_panel.h"
#include "windows/main_window.h"
#include "windows/status_window.h"
#include "formats/setting_record.h"
#include "windows/front_panel_window.h"
#include "support/panel_fixture.h"

#include <QMdiSubWindow>
#include <QPushButton>
#include <QResizeEvent>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using display::Lamp;
using display::Points;
using display::Positions;

namespace {

// A program folder holding a settings record for the given port.
struct ProgramFolder
{
    explicit ProgramFolder(qint16 port = 3)
    {
        shell::SETTING setting;
        setting.PORT = port;
        setting.BAUD = 9600;
        setting.REC_EVERY = u"1"_s;
        setting.TEST_TIME_TEXT = u"Continuous"_s;
        setting.SPEED = u"16.667"_s;
        ok = shell::writeSetting(shell::settingPath(dir.path()), setting);
    }
    QTemporaryDir dir;
    bool ok = false;
};

QStringList enabledTimers(shell::PanelTimers &timers)
{
    QStringList names;
    for (const auto &named : shell::PanelTimers::kAll) {
        if ((timers.*named.timer).isEnabled())
            names.append(QString::fromLatin1(named.name));
    }
    return names;
}

// Every lamp, position, point and symbol the lamp test blinks, lit or not.
int litCount(const display::DisplayModel &model)
{
    int lit = 0;
    for (int i = 0; i < display::kLampCount; ++i)
        lit += model.isLit(Lamp(i));
    for (Positions row : {Positions::DIS1_IMG, Positions::DIS2_IMG})
        for (int i = 0; i < display::DisplayModel::count(row); ++i)
            lit += model.isLit(row, i);
    for (int i = 0; i < 6; ++i)
        lit += model.isLit(Points::DROP_IMG, i) + model.isLit(Points::DROP_IMG2, i);
    lit += model.isLit(display::Symbol::DIODE_IMG) + model.isLit(display::Symbol::CONTINU_IMG);
    return lit;
}

const QStringList kStartupWire = {u"SYST:OUTP:EOF 2"_s, u"SYST:PAR:SAVE 5"_s,
                                  u"SYST:PAR:LOAD 5"_s, u"SENS:CURR:DET OFF"_s};

} // namespace

class TestFrontPanel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void loadOpensTheRecordedPortAndSendsStartupCommands();
    void loadWithoutRecordSendsNothing();
    void recordNamingNoPortIsSaid();
    void loadLeavesOnlyTimer1Running();
    void temperatureCaptionsUseTheDegreeSign();
    void lampTestPhases_data();
    void lampTestPhases();
    void mainWindowLayout();
    void maximisingIsUndone();
    void clearDataButtonEmptiesTheTable();
    void closingSendsLocalOnlyWhileLinked_data();
    void closingSendsLocalOnlyWhileLinked();
};

void TestFrontPanel::loadOpensTheRecordedPortAndSendsStartupCommands()
{
    ProgramFolder folder(3);
    QVERIFY(folder.ok);
    PanelFixture f;
    const shell::SettingStartup start = shell::SHOW_Form_Load(f.panel, folder.dir.path());
    QCOMPARE(f.sim.link.port(), 3);
    QCOMPARE(f.sim.link.baudRate(), 9600);
    QCOMPARE(f.sim.wire(), kStartupWire);
    QVERIFY(f.state.PORT_SET);
    QVERIFY(!f.state.REMOTE_OK);
    QCOMPARE(start.portListIndex, std::optional<int>(2));
    QCOMPARE(f.state.DISPLAY_BMP_PATH, folder.dir.path() + u"/DISPLAY_BMP"_s);
}

void TestFrontPanel::loadWithoutRecordSendsNothing()
{
    QTemporaryDir empty;
    PanelFixture f;
    shell::SHOW_Form_Load(f.panel, empty.path());
    QCOMPARE(f.sim.opens, 0);
    QVERIFY(f.sim.written.isEmpty());
    QVERIFY(!f.state.PORT_SET);
    QVERIFY(!QFile::exists(shell::settingPath(empty.path())));  // no record is made
    QCOMPARE(f.state.SETTING.TEST_TIME_TEXT.trimmed(), u"0.5"_s);
}

// A record that names port 0 (stored with no port chosen) opens nothing,
// and the status log says why, as it does for a port it does not know.
void TestFrontPanel::recordNamingNoPortIsSaid()
{
    ProgramFolder folder(0);
    QVERIFY(folder.ok);
    PanelFixture f;
    shell::SHOW_Form_Load(f.panel, folder.dir.path());
    QVERIFY(f.sim.wire().isEmpty());
    QCOMPARE(f.status.lines().filter(u"No serial port is chosen"_s).size(), 1);
}

void TestFrontPanel::loadLeavesOnlyTimer1Running()
{
    ProgramFolder folder;
    PanelFixture f;
    shell::SHOW_Form_Load(f.panel, folder.dir.path());
    QCOMPARE(enabledTimers(f.timers), QStringList{u"Timer1"_s});
    QCOMPARE(f.timers.Timer1.interval(), 300);
    QCOMPARE(f.timers.READ_Timer.interval(), 1000);
    QCOMPARE(f.timers.ACDC_Timer.interval(), 500);
    QCOMPARE(f.timers.IMG_Timer.interval(), 300);
    QCOMPARE(f.controls.Speed_TIME.text, u"500"_s);
    QCOMPARE(f.controls.CONT_TIME_LIST.text, u"0.5"_s);
    QCOMPARE(f.controls.Speed_TIME.items.first(), u"16.667"_s);
    QCOMPARE(f.controls.CONT_TIME_LIST.items.last(), u"Continuous"_s);
    QCOMPARE(f.controls.BUTT1_IMG[0], u"ACV_BUTT1.BMP"_s);
    QCOMPARE(f.controls.BUTT1_IMG[15], u"ND2_BUTT1.BMP"_s);
    QCOMPARE(f.state.TIMER1_TICKS, qint16(0));
    // Every character shows the start-up picture; the filter dot is dark.
    QCOMPARE(f.display.glyph(Positions::DIS1_IMG, 6), u"STA"_s);
    QCOMPARE(f.display.glyph(Positions::DIS2_IMG, 0), u"STA"_s);
    QVERIFY(!f.display.isLit(Points::DROP_IMG, 6));
    QVERIFY(!f.display.isLit(Lamp::AC_LAB1));
    QVERIFY(!f.display.isLit(Lamp::T_Hz_LAB1));
    QVERIFY(!f.display.isLit(Lamp::T_S_LAB1));
}

void TestFrontPanel::temperatureCaptionsUseTheDegreeSign()
{
    PanelFixture f;
    shell::LOCALE_UNIT_SET(f.panel);
    QCOMPARE(f.display.caption(Lamp::T_C_LAB1), u"\u00B0C"_s);
    QCOMPARE(f.display.caption(Lamp::T_C_LAB2), u"\u00B0C"_s);
    QCOMPARE(f.display.caption(Lamp::T_F_LAB1), u"\u00B0F"_s);
    QCOMPARE(f.display.caption(Lamp::T_F_LAB2), u"\u00B0F"_s);
}

void TestFrontPanel::lampTestPhases_data()
{
    QTest::addColumn<QString>("speedCode");
    QTest::addColumn<int>("rateLamp");  // -1: none
    QTest::newRow("no rate yet") << QString() << -1;
    QTest::newRow("slow") << u"S"_s << int(Lamp::S_LAB);
    QTest::newRow("medium") << u"M"_s << int(Lamp::M_LAB);
    QTest::newRow("fast") << u"F"_s << int(Lamp::F_LAB);
    QTest::newRow("unknown code") << u"X"_s << -1;
}

void TestFrontPanel::lampTestPhases()
{
    QFETCH(QString, speedCode);
    QFETCH(int, rateLamp);
    QTemporaryDir empty;
    PanelFixture f;
    shell::SHOW_Form_Load(f.panel, empty.path());
    f.state.SPEED_CODE = speedCode;
    f.display.setAllLit(true);  // the panel opens fully lit
    const int all = litCount(f.display);

    shell::Timer1_Timer(f.panel);
    QCOMPARE(litCount(f.display), 0);
    shell::Timer1_Timer(f.panel);
    QCOMPARE(litCount(f.display), all);
    QVERIFY(f.timers.Timer1.isEnabled());
    shell::Timer1_Timer(f.panel);

    QVERIFY(!f.timers.Timer1.isEnabled());
    QCOMPARE(f.state.TIMER1_TICKS, qint16(3));
    QVERIFY(f.display.isLit(Lamp::START_LAB));
    for (Lamp rate : {Lamp::S_LAB, Lamp::M_LAB, Lamp::F_LAB})
        QCOMPARE(f.display.isLit(rate), int(rate) == rateLamp);
    // With no port the identification that follows fails at once: display 1
    // reads 000000.0, seven digits and one point.
    QCOMPARE(litCount(f.display), (rateLamp < 0 ? 1 : 2) + 8);
}

void TestFrontPanel::mainWindowLayout()
{
    ProgramFolder folder;
    SimLink sim;
    shell::MDImain window(sim.link, folder.dir.path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(window.windowTitle(), u"RAVELO"_s);
    QCOMPARE(window.size(), rt::twipsSize(12050, 8750));
    QCOMPARE(window.window(window.graphForm())->geometry(), rt::twipsRect(0, 0, 6630, 5000));
    QCOMPARE(window.window(window.showForm())->geometry(), rt::twipsRect(0, 0, 11800, 5000));
    QCOMPARE(window.window(window.dataForm())->geometry(), rt::twipsRect(0, 5020, 7300, 2750));
    QCOMPARE(window.window(window.quitForm())->geometry(),
             rt::twipsRect(7320, 5030, 4470, 2750));
    QCOMPARE(window.graphForm()->windowTitle(), u"Graph"_s);
    QVERIFY(!window.SSBS->menuAction()->isVisible());
    QCOMPARE(window.panel().state.LOG_NAME, u"DMM"_s);
    QCOMPARE(window.panel().state.BRAND_CODE, u"VX"_s);
    QVERIFY(!window.panel().controls.INPU_NAME_Frame_front);
    QCOMPARE(sim.wire(), kStartupWire);
    QCOMPARE(enabledTimers(window.panel().timers), QStringList{u"Timer1"_s});

    // The lamp test runs on its own and leaves START lit.
    QTRY_VERIFY_WITH_TIMEOUT(!window.panel().timers.Timer1.isEnabled(), 5000);
    QVERIFY(window.panel().display.isLit(Lamp::START_LAB));
    window.close();
}

void TestFrontPanel::clearDataButtonEmptiesTheTable()
{
    ProgramFolder folder;
    SimLink sim;
    shell::MDImain window(sim.link, folder.dir.path());
    runs::ReadingsTableModel &table = *window.dataForm()->model();
    runs::ReadingRow row;
    row.filled = true;
    for (int point = 1; point <= 5; ++point) {
        row.point = point;
        table.addReading(row, 1, runs::RowRule::Loop);
    }
    window.panel().state.RECORD_COUNT = 5;

    QPushButton *button = window.showForm()->Clear_DATA_BUTT;
    QCOMPARE(button->text(), u"Clear Data"_s);
    QVERIFY(window.showForm()->rect().contains(button->geometry()));
    button->click();
    QCOMPARE(window.panel().state.RECORD_COUNT, 0);
    QCOMPARE(table.dataRows(), 1);
    QVERIFY(!table.row(1).filled);
}

void TestFrontPanel::maximisingIsUndone()
{
    ProgramFolder folder;
    SimLink sim;
    shell::MDImain window(sim.link, folder.dir.path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.showMaximized();
    QTRY_VERIFY(!window.isMaximized());
    QCOMPARE(window.size(), rt::twipsSize(12050, 8750));
    window.resize(400, 300);
    QCOMPARE(window.size(), rt::twipsSize(12050, 8750));
    // Any resize puts the graph window back in its place behind the panel.
    window.window(window.graphForm())->setGeometry(10, 10, 50, 50);
    QResizeEvent resize(QSize(400, 300), window.size());
    QCoreApplication::sendEvent(&window, &resize);
    QCOMPARE(window.window(window.graphForm())->geometry(), rt::twipsRect(0, 0, 6630, 5000));
    window.close();
}

void TestFrontPanel::closingSendsLocalOnlyWhileLinked_data()
{
    QTest::addColumn<bool>("linked");
    QTest::newRow("link up") << true;
    QTest::newRow("link down") << false;
}

void TestFrontPanel::closingSendsLocalOnlyWhileLinked()
{
    QFETCH(bool, linked);
    ProgramFolder folder;
    SimLink sim;
    {
        shell::MDImain window(sim.link, folder.dir.path());
        window.show();
        window.panel().timers.Timer1.setEnabled(false);
        window.panel().state.REMOTE_OK = linked;
        sim.written.clear();
        window.close();
        window.close();  // a second close sends nothing more
    }
    QCOMPARE(sim.written, linked ? QStringList{u"SYST:LOC\\10"_s} : QStringList{});
}

QTEST_MAIN(TestFrontPanel)
#include "tst_front_panel.moc"
