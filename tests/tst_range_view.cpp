// The range and function view: its four views, the range tables of both
// displays, the one-shot AUTO flag, and the temperature functions redrawn
// through the temperature key.

#include "display/glyph_words.h"
#include "display/range_view.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/reading_setup.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace display;

class TestRangeView : public QObject
{
    Q_OBJECT

private slots:
    void singleView_data();
    void singleView();
    void autoFlagAndMathMenu_data();
    void autoFlagAndMathMenu();
    void dbmView();
    void display1RangeView_data();
    void display1RangeView();
    void display2RangeView_data();
    void display2RangeView();
    void temperatureKeepsItsUnit_data();
    void temperatureKeepsItsUnit();
};

namespace {

struct Fixture : PanelFixture
{
    Fixture()
    {
        darken(display);
    }
};

} // namespace

void TestRangeView::singleView_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("shown1");
    QTest::addColumn<QString>("shown2");
    QTest::addColumn<QStringList>("lamps");

    QTest::newRow("DCV AUTO")     << u"DCV"_s << u"AUTO"_s << u"000.0000"_s << u"_100[M2]V"_s
                                  << QStringList{u"AUTO_LAB1"_s, u"T_min_LAB1"_s, u"T_V_LAB1"_s, u"DC_LAB1"_s};
    QTest::newRow("ACV 1V")       << u"ACV"_s << u"1V"_s << u"0.000000"_s << u"___1_V"_s
                                  << QStringList{u"T_V_LAB1"_s, u"AC_LAB1"_s};
    QTest::newRow("ACV 750V")     << u"ACV"_s << u"750V"_s << u"0000.000"_s << u"_750_V"_s
                                  << QStringList{u"T_V_LAB1"_s, u"AC_LAB1"_s};
    QTest::newRow("DCV 1000V")    << u"DCV"_s << u"1000V"_s << u"0000.000"_s << u"1000_V"_s
                                  << QStringList{u"T_V_LAB1"_s, u"DC_LAB1"_s};
    QTest::newRow("DCI AUTO")     << u"DCI"_s << u"AUTO"_s << u"000.0000"_s << u"_100[U2]A"_s
                                  << QStringList{u"AUTO_LAB1"_s, u"T_u_LAB1"_s, u"T_A_LAB1"_s, u"DC_LAB1"_s};
    QTest::newRow("ACI 10mA")     << u"ACI"_s << u"10mA"_s << u"00.00000"_s << u"__10[M2]A"_s
                                  << QStringList{u"T_min_LAB1"_s, u"T_A_LAB1"_s, u"AC_LAB1"_s};
    QTest::newRow("DCI 10A")      << u"DCI"_s << u"10A"_s << u"00.00000"_s << u"__10_A"_s
                                  << QStringList{u"T_A_LAB1"_s, u"DC_LAB1"_s};
    QTest::newRow("2W AUTO")      << u"2W"_s << u"AUTO"_s << u"000.0000"_s << u"_100_[ohm]"_s
                                  << QStringList{u"AUTO_LAB1"_s, u"T_R_LAB1"_s, u"W2_LAB1"_s};
    QTest::newRow("2W 1K")        << u"2W"_s << u"1K"_s << u"0.000000"_s << u"___1K[ohm]"_s
                                  << QStringList{u"T_K_LAB1"_s, u"T_R_LAB1"_s, u"W2_LAB1"_s};
    QTest::newRow("4W 100M")      << u"4W"_s << u"100M"_s << u"000.0000"_s << u"_100M[ohm]"_s
                                  << QStringList{u"T_M_LAB1"_s, u"T_R_LAB1"_s, u"W4_LAB1"_s};
    QTest::newRow("Hz AUTO")      << u"Hz"_s << u"AUTO"_s << u"000.0000"_s << u"_FREQ_"_s
                                  << QStringList{u"T_Hz_LAB1"_s, u"AUTO_LAB1"_s};
    QTest::newRow("Hz 100mV")     << u"Hz"_s << u"100mV"_s << u"000.0000"_s << u"_FREQ_"_s
                                  << QStringList{u"T_Hz_LAB1"_s, u"T_K_LAB1"_s};
    QTest::newRow("P 1V")         << u"P"_s << u"1V"_s << u"0.000000"_s << u"PER1OD"_s
                                  << QStringList{u"T_S_LAB1"_s};
    QTest::newRow("P 1000V, none") << u"P"_s << u"1000V"_s << u"0000000"_s << u"PER1OD"_s
                                  << QStringList{u"T_S_LAB1"_s};
    QTest::newRow("DIODE AUTO")   << u"DIODE"_s << u"AUTO"_s << u"0000000"_s << u"_DIODE"_s
                                  << QStringList{u"T_V_LAB1"_s, u"AUTO_LAB1"_s};
    QTest::newRow("CONTINU 10V")  << u"CONTINU"_s << u"10V"_s << u"0000000"_s << u"_CONT_"_s
                                  << QStringList{u"T_R_LAB1"_s};
    QTest::newRow("dB")           << u"dB"_s << u"AUTO"_s << u"0000000"_s << u"______"_s
                                  << QStringList{u"AUTO_LAB1"_s};
    QTest::newRow("no function")  << QString() << QString() << u"0000000"_s << u"______"_s
                                  << QStringList{};
    // A label outside the table: no point, prefix or word; unit and mode
    // lamps still light.
    QTest::newRow("DCV, empty label") << u"DCV"_s << QString() << u"0000000"_s << u"______"_s
                                  << QStringList{u"T_V_LAB1"_s, u"DC_LAB1"_s};
    QTest::newRow("2W, volt label") << u"2W"_s << u"10V"_s << u"0000000"_s << u"______"_s
                                  << QStringList{u"T_R_LAB1"_s, u"W2_LAB1"_s};
}

void TestRangeView::singleView()
{
    QFETCH(QString, mode);
    QFETCH(QString, range);
    QFETCH(QString, shown1);
    QFETCH(QString, shown2);
    QFETCH(QStringList, lamps);
    Fixture f;
    f.display.setAllLit(true);  // the view blanks the whole panel first
    for (Lamp lamp : {Lamp::MIN_LAB, Lamp::MAX_LAB, Lamp::FILT_LAB, Lamp::RMT_LAB, Lamp::S_LAB,
                      Lamp::M_LAB, Lamp::F_LAB})
        lamps.append(lampName(lamp).toString());  // what blanking the whole panel leaves
    f.state.MODE1 = mode;
    f.state.MODE1_RANGE = range;

    CHK_RANGE(f.panel);

    QCOMPARE(::shown1(f.display), shown1);
    QCOMPARE(::shown2(f.display), shown2);
    QCOMPARE(litLamps(f.display), lampSet(lamps));
    QVERIFY(!f.display.isLit(Symbol::DIODE_IMG));
    QVERIFY(f.sim.written.isEmpty());
}

void TestRangeView::autoFlagAndMathMenu_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("range");
    QTest::addColumn<bool>("mathMenu");
    QTest::addColumn<bool>("flagBefore");
    QTest::addColumn<bool>("flagAfter");
    QTest::addColumn<bool>("auto2Lit");  // display 2's range is "AUTO"

    QTest::newRow("volt: flag skips closing")   << u"DCV"_s << u"10V"_s << false << true << false << false;
    QTest::newRow("volt: no flag, closing")     << u"DCV"_s << u"10V"_s << false << false << false << true;
    QTest::newRow("volt: math menu first")      << u"DCV"_s << u"1K"_s << true << true << true << false;
    QTest::newRow("current: math menu first")   << u"ACI"_s << u"1A"_s << true << true << true << false;
    QTest::newRow("ohm: flag first")            << u"4W"_s << u"1K"_s << true << true << false << false;
    QTest::newRow("ohm: math menu, no flag")    << u"4W"_s << u"1K"_s << true << false << false << false;
    QTest::newRow("frequency: flag not read")   << u"Hz"_s << u"1V"_s << false << true << true << true;
}

void TestRangeView::autoFlagAndMathMenu()
{
    QFETCH(QString, mode);
    QFETCH(QString, range);
    QFETCH(bool, mathMenu);
    QFETCH(bool, flagBefore);
    QFETCH(bool, flagAfter);
    QFETCH(bool, auto2Lit);
    Fixture f;
    f.state.MODE1 = mode;
    f.state.MODE1_RANGE = range;
    f.state.MODE2_RANGE = u"AUTO"_s;
    f.state.MATH_SET = mathMenu;
    f.state.AUTO_RANGE_FLAG = flagBefore;
    CHK_RANGE(f.panel);
    QCOMPARE(f.state.AUTO_RANGE_FLAG, flagAfter);
    QCOMPARE(f.display.isLit(Lamp::AUTO_LAB2), auto2Lit);
}

void TestRangeView::dbmView()
{
    Fixture f;
    DIS1_SHOW_RANGE(f.display, u"1", u"2", u"3", u"4", u"5", u"6", u"7");
    f.display.setLit(Lamp::T_A_LAB2, true);
    f.display.setLit(Lamp::HOLD_LAB, true);
    f.state.dBm_ON = true;
    f.state.dBm_REF = u"0600"_s;
    f.state.MODE1 = u"ACV"_s;
    f.state.MODE1_RANGE = u"AUTO"_s;
    f.state.AUTO_RANGE_FLAG = true;

    CHK_RANGE(f.panel);

    QCOMPARE(shown2(f.display), u"__0600"_s);
    QCOMPARE(shown1(f.display), u"1234567"_s);  // display 1 keeps its digits
    QCOMPARE(litLamps(f.display),
             lampSet({u"T_R_LAB2"_s, u"T_V_LAB1"_s, u"T_dBm_LAB1"_s, u"T_dB_LAB"_s, u"AUTO_LAB1"_s,
                      u"AC_LAB1"_s, u"HOLD_LAB"_s}));
    QVERIFY(f.state.AUTO_RANGE_FLAG);  // no closing step, flag untouched

    f.state.MODE1 = u"DCV"_s;
    f.state.MODE1_RANGE = u"1V"_s;
    darken(f.display);
    CHK_RANGE(f.panel);
    QVERIFY(f.display.isLit(Lamp::DC_LAB1));
    QVERIFY(!f.display.isLit(Lamp::AUTO_LAB1));
}

// Display 2 measures, so nothing is blanked first: display 1 still shows
// the range's point and prefix lamp alone, whatever the drawing before it
// (the auto-range placeholder, another range) left lit.
void TestRangeView::display1RangeView_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("shown1");
    QTest::addColumn<QStringList>("lamps");

    const QStringList none;
    const QStringList placeholder = {u"DROP_IMG(2)"_s, u"T_min_LAB1"_s};
    QTest::newRow("DCI 10mA") << none << u"DCI"_s << u"10mA"_s << u"00.00000"_s
                              << QStringList{u"T_min_LAB1"_s, u"T_A_LAB1"_s, u"DC_LAB1"_s};
    QTest::newRow("ACV AUTO") << none << u"ACV"_s << u"AUTO"_s << u"000.0000"_s
                              << QStringList{u"AUTO_LAB1"_s, u"T_min_LAB1"_s, u"T_V_LAB1"_s, u"AC_LAB1"_s};
    QTest::newRow("2W 1K")    << none << u"2W"_s << u"1K"_s << u"0.000000"_s
                              << QStringList{u"T_K_LAB1"_s, u"T_R_LAB1"_s, u"W2_LAB1"_s};
    QTest::newRow("Hz: zeros only") << none << u"Hz"_s << u"AUTO"_s << u"0000000"_s << QStringList{u"AUTO_LAB1"_s};
    QTest::newRow("DCV 10V over the auto placeholder") << placeholder << u"DCV"_s << u"10V"_s << u"00.00000"_s
                              << QStringList{u"T_V_LAB1"_s, u"DC_LAB1"_s};
    QTest::newRow("2W 100K over 1M") << QStringList{u"DROP_IMG(0)"_s, u"T_M_LAB1"_s} << u"2W"_s << u"100K"_s
                              << u"000.0000"_s << QStringList{u"T_K_LAB1"_s, u"T_R_LAB1"_s, u"W2_LAB1"_s};
    QTest::newRow("DCV, no range named: no point, no prefix") << placeholder << u"DCV"_s << QString()
                              << u"0000000"_s << QStringList{u"T_V_LAB1"_s, u"DC_LAB1"_s};
}

void TestRangeView::display1RangeView()
{
    QFETCH(QStringList, before);
    QFETCH(QString, mode);
    QFETCH(QString, range);
    QFETCH(QString, shown1);
    QFETCH(QStringList, lamps);
    Fixture f;
    QVERIFY(setUp(f.panel, before));
    DIS2_SHOW_RANGE(f.display, u"1", u"2", u"3", u"4", u"5", u"6");
    f.display.setLit(Lamp::HOLD_LAB, true);  // nothing is blanked first
    f.state.MODE2_ON = true;
    f.state.MODE2 = u"DCV"_s;
    f.state.MODE1 = mode;
    f.state.MODE1_RANGE = range;

    CHK_RANGE(f.panel);

    QCOMPARE(::shown1(f.display), shown1);
    QCOMPARE(shown2(f.display), u"123456"_s);
    QCOMPARE(litLamps(f.display), lampSet(lamps + QStringList{u"HOLD_LAB"_s}));
}

void TestRangeView::display2RangeView_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("shown2");
    QTest::addColumn<QStringList>("lamps");

    const QStringList none;
    QTest::newRow("DCV AUTO") << none << u"DCV"_s << u"AUTO"_s << u"000.000"_s
                               << QStringList{u"AUTO_LAB2"_s, u"T_min_LAB2"_s, u"T_V_LAB2"_s, u"DC_LAB2"_s};
    QTest::newRow("ACV 750V") << none << u"ACV"_s << u"750V"_s << u"0000.00"_s
                               << QStringList{u"T_V_LAB2"_s, u"AC_LAB2"_s};
    QTest::newRow("ACI AUTO") << none << u"ACI"_s << u"AUTO"_s << u"00.0000"_s
                               << QStringList{u"AUTO_LAB2"_s, u"T_min_LAB2"_s, u"T_A_LAB2"_s, u"AC_LAB2"_s};
    QTest::newRow("DCI 100uA") << none << u"DCI"_s << u"100uA"_s << u"000.000"_s
                               << QStringList{u"T_u_LAB2"_s, u"T_A_LAB2"_s, u"DC_LAB2"_s};
    // In ohms, unlike display 1's kilohms.
    QTest::newRow("2W 1K") << none << u"2W"_s << u"1K"_s << u"0000.00"_s
                               << QStringList{u"T_R_LAB2"_s, u"W2_LAB2"_s};
    QTest::newRow("4W 10K") << none << u"4W"_s << u"10K"_s << u"00.0000"_s
                               << QStringList{u"T_K_LAB2"_s, u"T_R_LAB2"_s, u"W4_LAB2"_s};
    QTest::newRow("DCV 10V over the auto placeholder") << QStringList{u"DROP_IMG2(2)"_s, u"T_min_LAB2"_s}
                               << u"DCV"_s << u"10V"_s << u"00.0000"_s << QStringList{u"T_V_LAB2"_s, u"DC_LAB2"_s};
    QTest::newRow("Hz: zeros only") << none << u"Hz"_s << u"AUTO"_s << u"000000"_s << QStringList{u"AUTO_LAB2"_s};
}

void TestRangeView::display2RangeView()
{
    QFETCH(QStringList, before);
    QFETCH(QString, mode);
    QFETCH(QString, range);
    QFETCH(QString, shown2);
    QFETCH(QStringList, lamps);
    Fixture f;
    DIS1_SHOW_RANGE(f.display, u"1", u"2", u"3", u"4", u"5", u"6", u"7");
    f.display.setLit(Lamp::ND2_LAB, true);
    QVERIFY(setUp(f.panel, before));
    f.state.MODE2_ON = true;
    f.state.MODE1 = u"DCV"_s;
    f.state.MODE2 = mode;
    f.state.MODE2_RANGE = range;

    CHK_RANGE(f.panel);

    QCOMPARE(::shown2(f.display), shown2);
    QCOMPARE(shown1(f.display), u"1234567"_s);
    QCOMPARE(litLamps(f.display), lampSet(lamps + QStringList{u"ND2_LAB"_s}));
}

void TestRangeView::temperatureKeepsItsUnit_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("lamp");
    QTest::addColumn<QString>("unitCommand");
    QTest::newRow("Celsius")    << u"C"_s << u"T_C_LAB1"_s << u"unit c\\10"_s;
    QTest::newRow("Fahrenheit") << u"F"_s << u"T_F_LAB1"_s << u"unit f\\10"_s;
}

void TestRangeView::temperatureKeepsItsUnit()
{
    QFETCH(QString, mode);
    QFETCH(QString, lamp);
    QFETCH(QString, unitCommand);
    Fixture f;
    f.linkUp();
    QVERIFY(f.sim.instrument.setStates(u"tco=J,unit="_s + (mode == u"C" ? u"F"_s : u"C"_s)));
    f.state.MODE1 = mode;
    f.state.MODE1_RANGE = u"AUTO"_s;

    CHK_RANGE(f.panel);

    QCOMPARE(f.state.MODE1, mode);
    QCOMPARE(litLamps(f.display), lampSet({lamp}));
    QCOMPARE(f.sim.written, (QStringList{u"SENS:TEMP:TCO:TYPE?\\10"_s, u"CONF:TEMP:TCO J\\10"_s,
                                         unitCommand}));
    QCOMPARE(shown2(f.display), u"TYPE_J"_s);
    QCOMPARE(shown1(f.display), u"_______"_s);
    QCOMPARE(f.state.MODE1_RANGE, QString());
    QCOMPARE(f.sim.instrument.field("unit").value_or(""), mode.toLatin1());
}

QTEST_GUILESS_MAIN(TestRangeView)
#include "tst_range_view.moc"
