// The reading-rate lamps, the sample-interval presets and rule, and the two
// lists' handlers; SPEED_MS follows every interval text the program sets.

#include "shell/front_panel.h"
#include "windows/main_window.h"
#include "formats/setting_record.h"
#include "windows/front_panel_window.h"
#include "shell/speed_check.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using display::Lamp;

namespace {

QStringList ms(const char *entries)
{
    return QString::fromLatin1(entries).split(u' ');
}

// The presets as the panel offers them.
const QStringList kPresetA = ms("16.667 33.333 200 500 1000 2000 5000 10000 30000 60000 300000 600000");
const QStringList kPresetB = ms("33.333 200 500 1000 2000 5000 10000 30000 60000 300000 600000");
const QStringList kPresetC = ms("500 1000 2000 5000 10000 30000 60000 300000 600000");
const QStringList kPresetD = ms("2000 5000 10000 30000 60000 300000 600000");
const QStringList kPresetE = ms("200 500 1000 2000 5000 10000 30000 60000 300000 600000");
const QStringList kPresetF = ms("1000 2000 5000 10000 30000 60000 300000 600000");

QStringList litRateLamps(const display::DisplayModel &d)
{
    QStringList lit;
    for (Lamp lamp : {Lamp::S_LAB, Lamp::M_LAB, Lamp::F_LAB})
        if (d.isLit(lamp))
            lit.append(display::lampName(lamp).toString());
    return lit;
}

using PresetProcedure = void (*)(Panel &);
constexpr PresetProcedure kPresetProcedures[] = {
    shell::FullTestSpeed, shell::MidTestSpeed, shell::SlowTestSpeed,
    shell::VerySlowTestSpeed, shell::PHzHTestSpeed, shell::PHzTestSpeed,
};

} // namespace

class TestSpeedCheck : public QObject
{
    Q_OBJECT

private slots:
    void intervalRule_data();
    void intervalRule();
    void presetProcedures_data();
    void presetProcedures();
    void speedCheck_data();
    void speedCheck();
    void clicks_data();
    void clicks();
    void changesPutTheDefaultBack();
    void startUpIntervalFollowsTheBox();
    void choosingInTheWindow();
};

// ---- The one rule behind the presets and the rebuild -------------------------

void TestSpeedCheck::intervalRule_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("fast");  // F_LAB
    QTest::addColumn<bool>("slow");  // S_LAB
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("text");

    QTest::newRow("ACV fast: B") << u"ACV"_s << true << false << kPresetB << u"500"_s;
    QTest::newRow("ACI slow: D") << u"ACI"_s << false << true << kPresetD << u"2000"_s;
    QTest::newRow("ACV no lamp: C") << u"ACV"_s << false << false << kPresetC << u"500"_s;
    QTest::newRow("DCV no lamp: A") << u"DCV"_s << false << false << kPresetA << u"500"_s;
    QTest::newRow("DCI fast: A") << u"DCI"_s << true << false << kPresetA << u"500"_s;
    QTest::newRow("2W slow: B") << u"2W"_s << false << true << kPresetB << u"500"_s;
    QTest::newRow("4W no lamp: A") << u"4W"_s << false << false << kPresetA << u"500"_s;
    QTest::newRow("Hz medium: E") << u"Hz"_s << false << false << kPresetE << u"500"_s;
    QTest::newRow("P slow: F") << u"P"_s << false << true << kPresetF << u"1000"_s;
    QTest::newRow("temperature slow: E") << u"C"_s << false << true << kPresetE << u"500"_s;
    QTest::newRow("DIODE fast: E") << u"DIODE"_s << true << false << kPresetE << u"500"_s;
    QTest::newRow("no function: E") << QString() << false << false << kPresetE << u"500"_s;
    QTest::newRow("codes are exact: acv") << u"acv"_s << false << true << kPresetE << u"500"_s;
    // Two lamps at once: each short entry follows its own lamp.
    QTest::newRow("ACV fast and slow") << u"ACV"_s << true << true
                                       << ms("33.333 200 2000 5000 10000 30000 60000 300000 600000")
                                       << u"2000"_s;
    QTest::newRow("DCV fast and slow: B") << u"DCV"_s << true << true << kPresetB << u"500"_s;
    QTest::newRow("Hz fast and slow: F") << u"Hz"_s << true << true << kPresetF << u"1000"_s;
}

void TestSpeedCheck::intervalRule()
{
    QFETCH(QString, mode);
    QFETCH(bool, fast);
    QFETCH(bool, slow);
    QFETCH(QStringList, entries);
    QFETCH(QString, text);
    const shell::IntervalList list = shell::intervalList(mode, fast, slow);
    QCOMPARE(list.entries, entries);
    QCOMPARE(list.text, text);
}

void TestSpeedCheck::presetProcedures_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("speedMs");

    QTest::newRow("A FullTestSpeed") << 0 << kPresetA << u"500"_s << 500;
    QTest::newRow("B MidTestSpeed") << 1 << kPresetB << u"500"_s << 500;
    QTest::newRow("C SlowTestSpeed") << 2 << kPresetC << u"500"_s << 500;
    QTest::newRow("D VerySlowTestSpeed") << 3 << kPresetD << u"2000"_s << 2000;
    QTest::newRow("E PHzHTestSpeed") << 4 << kPresetE << u"500"_s << 500;
    QTest::newRow("F PHzTestSpeed") << 5 << kPresetF << u"1000"_s << 1000;
}

void TestSpeedCheck::presetProcedures()
{
    QFETCH(int, preset);
    QFETCH(QStringList, entries);
    QFETCH(QString, text);
    QFETCH(int, speedMs);
    PanelFixture f;
    f.controls.Speed_TIME.items = ms("1 2 3");
    f.state.SPEED_MS = 17;
    int refreshed = 0;
    QObject::connect(&f.controls, &shell::PanelControls::changed, [&] { ++refreshed; });

    kPresetProcedures[preset](f.panel);

    QCOMPARE(f.controls.Speed_TIME.items, entries);
    QCOMPARE(f.controls.Speed_TIME.text, text);
    QCOMPARE(f.state.SPEED_MS, speedMs);
    QVERIFY(refreshed > 0);
}

// ---- SPEED_CHK ---------------------------------------------------------------

void TestSpeedCheck::speedCheck_data()
{
    QTest::addColumn<QString>("litBefore");   // display-1 and rate lamps
    QTest::addColumn<bool>("remote");
    QTest::addColumn<QString>("codeBefore");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("silent");         // the instrument answers nothing
    QTest::addColumn<QString>("query");       // written; empty: nothing
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("litAfter");

    const QString rate = u"sens:det:rate?\\10"_s;
    const QString band = u"sens:det:band?\\10"_s;
    const QString aperture = u"sens:FREQ:APER?\\10"_s;
    QTest::newRow("DC medium") << QString() << true << QString() << u"rate=M"_s << false << rate
                               << u"M"_s << QStringList{u"M_LAB"_s};
    QTest::newRow("DC slow replaces fast") << u"F_LAB"_s << true << u"F"_s << u"rate=S"_s << false << rate
                                           << u"S"_s << QStringList{u"S_LAB"_s};
    QTest::newRow("AC band fast") << u"AC_LAB1"_s << true << QString() << u"rate=F"_s << false << band
                                  << u"F"_s << QStringList{u"F_LAB"_s};
    QTest::newRow("AC band wins over Hz") << u"AC_LAB1 T_Hz_LAB1"_s << true << QString() << u"rate=S"_s
                                          << false << band << u"S"_s << QStringList{u"S_LAB"_s};
    QTest::newRow("frequency gate medium") << u"T_Hz_LAB1"_s << true << QString() << u"rate=M"_s << false
                                           << aperture << u"M"_s << QStringList{u"M_LAB"_s};
    QTest::newRow("period gate fast") << u"T_S_LAB1"_s << true << QString() << u"rate=F"_s << false
                                      << aperture << u"F"_s << QStringList{u"F_LAB"_s};
    QTest::newRow("period gate slow") << u"T_S_LAB1"_s << true << QString() << u"rate=S"_s << false
                                      << aperture << u"S"_s << QStringList{u"S_LAB"_s};
    QTest::newRow("other rate letter: no lamp") << u"M_LAB"_s << true << u"M"_s << u"reply:sens:det:rate?=X"_s
                                                << false << rate << u"X"_s << QStringList{};
    QTest::newRow("unknown band keeps the code") << u"AC_LAB1"_s << true << u"M"_s
                                                 << u"reply:sens:det:band?=+100"_s << false << band << u"M"_s
                                                 << QStringList{u"M_LAB"_s};
    QTest::newRow("unknown gate keeps the code") << u"T_Hz_LAB1"_s << true << u"S"_s
                                                 << u"reply:sens:freq:aper?=+1.00000E-05"_s << false
                                                 << aperture << u"S"_s << QStringList{u"S_LAB"_s};
    // Failures clear the code and leave the lamps as they were.
    QTest::newRow("gate reply too short") << u"T_Hz_LAB1 S_LAB"_s << true << u"S"_s
                                          << u"reply:sens:freq:aper?="_s << false << aperture << QString()
                                          << QStringList{u"S_LAB"_s};
    QTest::newRow("no reply") << u"F_LAB"_s << true << u"F"_s << QString() << true << rate << QString()
                              << QStringList{u"F_LAB"_s};
    // With the link down nothing is asked; the lamps follow the code held.
    QTest::newRow("link down") << u"S_LAB"_s << false << u"F"_s << QString() << false << QString() << u"F"_s
                               << QStringList{u"F_LAB"_s};
}

void TestSpeedCheck::speedCheck()
{
    QFETCH(QString, litBefore);
    QFETCH(bool, remote);
    QFETCH(QString, codeBefore);
    QFETCH(QString, state);
    QFETCH(bool, silent);
    QFETCH(QString, query);
    QFETCH(QString, code);
    QFETCH(QStringList, litAfter);
    sim::Faults faults;
    faults.silentAfter = silent ? 1 : 0;
    PanelFixture f(faults);
    QString why;
    QVERIFY2(f.sim.instrument.setStates(state, &why), qPrintable(why));
    QVERIFY(f.sim.open());
    f.sim.link.setReplyBound(std::chrono::milliseconds(300));
    if (silent) {
        // The instrument falls silent after one more command.
        QVERIFY(f.sim.link.Write(u"*CLS\\10"_s));
        f.sim.written.clear();
    }
    f.display.setAllLit(false);
    for (const QString &lamp : litBefore.split(u' ', Qt::SkipEmptyParts))
        f.display.setLit(lampNamed(lamp), true);
    f.state.REMOTE_OK = remote;
    f.state.SPEED_CODE = codeBefore;

    shell::SPEED_CHK(f.panel);

    QCOMPARE(f.sim.written, query.isEmpty() ? QStringList{} : QStringList{query});
    QCOMPARE(f.state.SPEED_CODE, code);
    QCOMPARE(litRateLamps(f.display), litAfter);
}

// ---- The lists' handlers -----------------------------------------------------

void TestSpeedCheck::clicks_data()
{
    QTest::addColumn<bool>("testTimeList");  // CONT_TIME_LIST_Click, else Speed_TIME_Click
    QTest::addColumn<QString>("interval");   // Speed_TIME's text
    QTest::addColumn<QString>("testTime");   // CONT_TIME_LIST's text
    QTest::addColumn<QString>("stored");     // SETTING.TEST_TIME_TEXT before
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("speed");      // SETTING.SPEED after
    QTest::addColumn<QString>("storedAfter");
    QTest::addColumn<int>("speedMs");

    QTest::newRow("500 ms, 0.5 min") << false << u"500"_s << u"0.5"_s << u"0.5"_s
        << u"TEST Speed: 500 milliseconds\r\n\r\nTest time : 0.5 minutes\r\n\r\n"_s
        << u"500"_s << u"0.5"_s << 500;
    QTest::newRow("16.667 rounds to 17") << false << u"16.667"_s << u"1"_s << u"1"_s
        << u"TEST Speed: 16.667 milliseconds\r\n\r\nTest time : 1 minutes\r\n\r\n"_s
        << u"16.667"_s << u"1"_s << 17;
    QTest::newRow("33.333 rounds to 33") << false << u"33.333"_s << u"Continuous"_s << u"Continuous"_s
        << u"TEST Speed: 33.333 milliseconds\r\n\r\nTest time : Continuous\r\n\r\n"_s
        << u"33.333"_s << u"Continuous"_s << 33;
    // The interval click judges the form by the stored test time and shows
    // the box's text.
    QTest::newRow("interval click, box Continuous, stored 0.5") << false << u"2000"_s << u"Continuous"_s
        << u"0.5"_s << u"TEST Speed: 2000 milliseconds\r\n\r\nTest time : Continuous minutes\r\n\r\n"_s
        << u"2000"_s << u"0.5"_s << 2000;
    QTest::newRow("interval click, box 5, stored Continuous") << false << u"200"_s << u"5"_s
        << u"Continuous"_s << u"TEST Speed: 200 milliseconds\r\n\r\nTest time : 5\r\n\r\n"_s
        << u"200"_s << u"Continuous"_s << 200;
    // The test-time click stores first, so the two agree; it keeps SPEED.
    QTest::newRow("test time Continuous") << true << u"1000"_s << u"Continuous"_s << u"0.5"_s
        << u"TEST Speed: 1000 milliseconds\r\n\r\nTest time : Continuous\r\n\r\n"_s
        << u"kept"_s << u"Continuous"_s << 1000;
    QTest::newRow("test time 1440") << true << u"16.667"_s << u"1440"_s << u"Continuous"_s
        << u"TEST Speed: 16.667 milliseconds\r\n\r\nTest time : 1440 minutes\r\n\r\n"_s
        << u"kept"_s << u"1440"_s << 17;
}

void TestSpeedCheck::clicks()
{
    QFETCH(bool, testTimeList);
    QFETCH(QString, interval);
    QFETCH(QString, testTime);
    QFETCH(QString, stored);
    QFETCH(QString, status);
    QFETCH(QString, speed);
    QFETCH(QString, storedAfter);
    QFETCH(int, speedMs);
    PanelFixture f;
    f.status.append(u"an earlier line"_s);
    f.controls.Speed_TIME.text = interval;
    f.controls.CONT_TIME_LIST.text = testTime;
    f.state.SETTING.TEST_TIME_TEXT = shell::fixedText(stored);
    f.state.SETTING.SPEED = u"kept"_s;
    f.state.SPEED_MS = 1;

    if (testTimeList)
        shell::CONT_TIME_LIST_Click(f.panel);
    else
        shell::Speed_TIME_Click(f.panel);

    QCOMPARE(f.status.text(), status);
    QCOMPARE(f.state.SETTING.SPEED, speed);
    QCOMPARE(f.state.SETTING.TEST_TIME_TEXT, shell::fixedText(storedAfter));
    QCOMPARE(f.state.SETTING.TEST_TIME_TEXT.size(), 20);
    QCOMPARE(f.state.SPEED_MS, speedMs);
    QVERIFY(f.sim.written.isEmpty());
}

void TestSpeedCheck::changesPutTheDefaultBack()
{
    PanelFixture f;
    shell::VerySlowTestSpeed(f.panel);
    f.controls.Speed_TIME.text = u"7"_s;  // typed
    shell::Speed_TIME_Change(f.panel);
    QCOMPARE(f.controls.Speed_TIME.text, u"500"_s);
    QCOMPARE(f.state.SPEED_MS, 500);

    f.controls.CONT_TIME_LIST.text = u"99"_s;
    shell::CONT_TIME_LIST_Change(f.panel);
    QCOMPARE(f.controls.CONT_TIME_LIST.text, u"0.5"_s);
    QCOMPARE(f.state.SPEED_MS, 500);
}

// With no settings file a run would otherwise never read (0 ms); with a
// saved "16.667" it would poll every 17 ms while the box shows 500.
void TestSpeedCheck::startUpIntervalFollowsTheBox()
{
    for (const QString &saved : {QString(), u"16.667"_s}) {
        QTemporaryDir folder;
        if (!saved.isEmpty()) {
            shell::SETTING setting;
            setting.SPEED = saved;
            QVERIFY(shell::writeSetting(shell::settingPath(folder.path()), setting));
        }
        PanelFixture f;
        shell::SHOW_Form_Load(f.panel, folder.path());
        QCOMPARE(f.controls.Speed_TIME.text, u"500"_s);
        QCOMPARE(f.state.SPEED_MS, 500);
    }
}

// An entry chosen in the front panel's boxes reaches the handlers.
void TestSpeedCheck::choosingInTheWindow()
{
    QTemporaryDir folder;
    SimLink sim;
    shell::MDImain window(sim.link, folder.path());
    Panel &p = window.panel();
    QComboBox *interval = window.showForm()->Speed_TIME;
    QComboBox *testTime = window.showForm()->CONT_TIME_LIST;

    interval->setCurrentIndex(interval->findText(u"16.667"_s));
    Q_EMIT interval->activated(interval->currentIndex());
    QCOMPARE(p.state.SETTING.SPEED, u"16.667"_s);
    QCOMPARE(p.state.SPEED_MS, 17);

    testTime->setCurrentIndex(testTime->findText(u"Continuous"_s));
    Q_EMIT testTime->activated(testTime->currentIndex());
    QCOMPARE(p.state.SETTING.TEST_TIME_TEXT, shell::fixedText(u"Continuous"_s));
    QCOMPARE(p.status.text(), u"TEST Speed: 16.667 milliseconds\r\n\r\nTest time : Continuous\r\n\r\n"_s);
}

QTEST_MAIN(TestSpeedCheck)
#include "tst_speed_check.moc"
