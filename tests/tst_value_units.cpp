// A reported value shown on display 1 with its unit: a table per function
// family, the reading text with its unit word, the count form, overload
// (the instrument's 9.9E+37 included), and display 2's counterpart.

#include "display/glyph_words.h"
#include "display/value_units.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace display;

class TestValueUnits : public QObject
{
    Q_OBJECT

private slots:
    void display1_data();
    void display1();
    void overload_data();
    void overload();
    void countForm();
    void notANumber();
    void display2_data();
    void display2();
};

namespace {

// Display 1 shows 1234567, DISPLAY1 is "before", and every unit and prefix
// lamp that the value display darkens is lit.
void prepare(PanelFixture &f)
{
    darken(f.display);
    DIS1_SHOW_RANGE(f.display, u"1", u"2", u"3", u"4", u"5", u"6", u"7");
    DIS2_SHOW_RANGE(f.display, u"1", u"2", u"3", u"4", u"5", u"6");
    for (Lamp lamp : {Lamp::T_V_LAB1, Lamp::T_A_LAB1, Lamp::T_K_LAB1, Lamp::T_dB_LAB,
                      Lamp::T_dBm_LAB1, Lamp::T_V_LAB2, Lamp::T_K_LAB2, Lamp::T_dBm_LAB2})
        f.display.setLit(lamp, true);
    f.state.DISPLAY1 = u"before"_s;
    f.state.DISPLAY2 = u"before"_s;
    f.controls.MATH_LAB_enabled = false;  // as after the 2ND key: no count form
}

} // namespace

void TestValueUnits::display1_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("reading");  // DISPLAY1
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("lamps");  // display 1's and the shared dB

    QTest::newRow("DCV 0.5")        << u"DCV"_s << u"0.5"_s << u"0.500000_V"_s << u"0.500000"_s
                                    << QStringList{u"T_V_LAB1"_s};
    QTest::newRow("DCV 0 is milli") << u"DCV"_s << u"0"_s << u"0.000000_mV"_s << u"0.000000"_s
                                    << QStringList{u"T_V_LAB1"_s, u"T_min_LAB1"_s};
    QTest::newRow("ACV -0.05")      << u"ACV"_s << u"-0.05"_s << u"-050.0000_mV"_s << u"[SUB]50.0000"_s
                                    << QStringList{u"T_V_LAB1"_s, u"T_min_LAB1"_s};
    QTest::newRow("reply with CR")  << u"DCV"_s << u"+5.000000E-01\r"_s << u"0.500000_V"_s << u"0.500000"_s
                                    << QStringList{u"T_V_LAB1"_s};
    QTest::newRow("DCI 0.5")        << u"DCI"_s << u"0.5"_s << u"00.50000_A"_s << u"00.50000"_s
                                    << QStringList{u"T_A_LAB1"_s};
    QTest::newRow("DCI 5E-07")      << u"DCI"_s << u"5E-07"_s << u"0.500000_uA"_s << u"0.500000"_s
                                    << QStringList{u"T_A_LAB1"_s, u"T_u_LAB1"_s};
    QTest::newRow("ACI 0.0012")     << u"ACI"_s << u"0.0012"_s << u"01.20000_mA"_s << u"01.20000"_s
                                    << QStringList{u"T_A_LAB1"_s, u"T_min_LAB1"_s};
    QTest::newRow("2W 50")          << u"2W"_s << u"50"_s << u"050.0000_Ohm"_s << u"050.0000"_s
                                    << QStringList{u"T_R_LAB1"_s};
    QTest::newRow("2W 1500")        << u"2W"_s << u"1500"_s << u"01.50000_kOhm"_s << u"01.50000"_s
                                    << QStringList{u"T_R_LAB1"_s, u"T_K_LAB1"_s};
    QTest::newRow("4W 1.2E6")       << u"4W"_s << u"1.2E6"_s << u"01.20000_MOhm"_s << u"01.20000"_s
                                    << QStringList{u"T_R_LAB1"_s, u"T_M_LAB1"_s};
    QTest::newRow("Hz 12345.6")     << u"Hz"_s << u"12345.6"_s << u"012.3456_K_Hz"_s << u"012.3456"_s
                                    << QStringList{u"T_Hz_LAB1"_s, u"T_K_LAB1"_s};
    QTest::newRow("Hz 5")           << u"Hz"_s << u"5"_s << u"05.00000__Hz"_s << u"05.00000"_s
                                    << QStringList{u"T_Hz_LAB1"_s};
    QTest::newRow("P 0.0025")       << u"P"_s << u"0.0025"_s << u"02.50000_m_S"_s << u"02.50000"_s
                                    << QStringList{u"T_S_LAB1"_s, u"T_min_LAB1"_s};
    QTest::newRow("P 50E-6")        << u"P"_s << u"5E-05"_s << u"050.0000_u_S"_s << u"050.0000"_s
                                    << QStringList{u"T_S_LAB1"_s, u"T_u_LAB1"_s};
    QTest::newRow("C 23.4")         << u"C"_s << u"23.4"_s << u"0023.400_C"_s << u"0023.400"_s
                                    << QStringList{u"T_C_LAB1"_s};
    QTest::newRow("F -40")          << u"F"_s << u"-40"_s << u"-0040.000_F"_s << u"[SUB]040.000"_s
                                    << QStringList{u"T_F_LAB1"_s};
    // Past the family's last row: nothing drawn, the reading text kept, the
    // unit lamp lit. Frequency no longer grows its text.
    QTest::newRow("DCV 1500")       << u"DCV"_s << u"1500"_s << u"before"_s << u"1234567"_s
                                    << QStringList{u"T_V_LAB1"_s};
    QTest::newRow("DCI 12")         << u"DCI"_s << u"12"_s << u"before"_s << u"1234567"_s
                                    << QStringList{u"T_A_LAB1"_s};
    QTest::newRow("Hz 1.2E8")       << u"Hz"_s << u"1.2E8"_s << u"before"_s << u"1234567"_s
                                    << QStringList{u"T_Hz_LAB1"_s};
    QTest::newRow("P 5E8")          << u"P"_s << u"5E8"_s << u"before"_s << u"1234567"_s
                                    << QStringList{u"T_S_LAB1"_s};
    QTest::newRow("DIODE: no table") << u"DIODE"_s << u"0.5"_s << u"before"_s << u"1234567"_s
                                    << QStringList{};
    QTest::newRow("dBm: no table")  << u"dBm"_s << u"0.5"_s << u"before"_s << u"1234567"_s
                                    << QStringList{};
}

void TestValueUnits::display1()
{
    QFETCH(QString, mode);
    QFETCH(QString, value);
    QFETCH(QString, reading);
    QFETCH(QString, shown);
    QFETCH(QStringList, lamps);
    PanelFixture f;
    prepare(f);
    f.state.MODE1 = mode;
    f.state.AVER_DISP_SEL = 0;

    QVERIFY(DIS1_SHOW_NUM(f.panel, value));
    QVERIFY(DIS1_SHOW_NUM(f.panel, value));  // a second call adds nothing

    QCOMPARE(f.state.DISPLAY1, reading);
    QCOMPARE(shown1(f.display), shown);
    QCOMPARE(litLamps(f.display), lampSet(lamps + QStringList{u"T_V_LAB2"_s, u"T_K_LAB2"_s,
                                                               u"T_dBm_LAB2"_s}));
    QCOMPARE(shown2(f.display), u"123456"_s);
}

void TestValueUnits::overload_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("1.999999 holds the run")   << u"1.999999"_s;
    QTest::newRow("1999999")                  << u"1999999"_s;
    QTest::newRow("run after the point")      << u"0.1999999"_s;
    QTest::newRow("instrument overload")      << u"+9.90000E+37\r"_s;
    QTest::newRow("negative overload")        << u"-9.9E+37"_s;
    QTest::newRow("1E9")                      << u"1E9"_s;
}

void TestValueUnits::overload()
{
    QFETCH(QString, value);
    for (const bool count : {false, true}) {
        PanelFixture f;
        prepare(f);
        f.controls.MATH_LAB_enabled = count;
        f.state.MODE1 = u"DCV"_s;
        const QSet<QString> lampsBefore = litLamps(f.display);
        QVERIFY(DIS1_SHOW_NUM(f.panel, value));
        QCOMPARE(shown1(f.display), u"___OL__"_s);
        QCOMPARE(litLamps(f.display), lampsBefore);
        QCOMPARE(f.state.DISPLAY1, u"before"_s);
    }
}

void TestValueUnits::countForm()
{
    PanelFixture f;
    prepare(f);
    f.controls.MATH_LAB_enabled = true;
    f.state.AVER_DISP_SEL = 0;
    f.state.MODE1 = u"2W"_s;
    QVERIFY(DIS1_SHOW_NUM(f.panel, u"12"));
    QCOMPARE(f.state.DISPLAY1, u"0000012.0000000"_s);
    QCOMPARE(shown1(f.display), u"0000012"_s);
    QCOMPARE(litLamps(f.display), lampSet({u"T_V_LAB2"_s, u"T_K_LAB2"_s, u"T_dBm_LAB2"_s}));

    // Another statistic, or the MATH lamp disabled, scales by the function.
    f.state.AVER_DISP_SEL = 3;
    QVERIFY(DIS1_SHOW_NUM(f.panel, u"12"));
    QCOMPARE(f.state.DISPLAY1, u"012.0000_Ohm"_s);
}

void TestValueUnits::notANumber()
{
    for (const bool count : {false, true}) {
        PanelFixture f;
        prepare(f);
        f.controls.MATH_LAB_enabled = count;
        f.state.MODE1 = u"C"_s;
        QVERIFY(!DIS1_SHOW_NUM(f.panel, u"abc"));
        QCOMPARE(f.state.DISPLAY1, u"before"_s);
        QCOMPARE(shown1(f.display), u"1234567"_s);
        QCOMPARE(litLamps(f.display), lampSet({u"T_V_LAB2"_s, u"T_K_LAB2"_s, u"T_dBm_LAB2"_s}));
    }
}

void TestValueUnits::display2_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("reading");  // DISPLAY2
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("lamps");  // display 2's

    QTest::newRow("DCV 0.5")      << u"DCV"_s << u"0.5"_s << true << u"0.50000_V"_s << u"0.50000"_s
                                  << QStringList{u"T_V_LAB2"_s};
    QTest::newRow("DCV 1.5, past the six digits") << u"DCV"_s << u"1.5"_s << true << u"1.50000_V"_s
                                  << u"_._OL__"_s << QStringList{u"T_V_LAB2"_s};
    QTest::newRow("2W 1100")      << u"2W"_s << u"1100"_s << true << u"1100.00_Ohm"_s << u"1100.00"_s
                                  << QStringList{u"T_R_LAB2"_s};
    QTest::newRow("4W 2500")      << u"4W"_s << u"2500"_s << true << u"02.5000_kOhm"_s << u"02.5000"_s
                                  << QStringList{u"T_R_LAB2"_s, u"T_K_LAB2"_s};
    QTest::newRow("Hz 5")         << u"Hz"_s << u"5"_s << true << u"05.0000__Hz"_s << u"05.0000"_s
                                  << QStringList{u"T_Hz_LAB2"_s};
    QTest::newRow("P 0.0025")     << u"P"_s << u"0.0025"_s << true << u"02.5000_m_s"_s << u"02.5000"_s
                                  << QStringList{u"T_S_LAB2"_s, u"T_min_LAB2"_s};
    QTest::newRow("C 23.4")       << u"C"_s << u"23.4"_s << true << u"0023.40__C"_s << u"0023.40"_s
                                  << QStringList{u"T_C_LAB2"_s};
    QTest::newRow("marker 199999") << u"DCV"_s << u"1.99999"_s << true << u"before"_s << u"__OL__"_s
                                  << QStringList{u"T_V_LAB2"_s, u"T_K_LAB2"_s, u"T_dBm_LAB2"_s};
    QTest::newRow("9.9E+37")      << u"DCV"_s << u"9.9E+37"_s << true << u"before"_s << u"__OL__"_s
                                  << QStringList{u"T_V_LAB2"_s, u"T_K_LAB2"_s, u"T_dBm_LAB2"_s};
    QTest::newRow("DCV 1900")     << u"DCV"_s << u"1900"_s << true << u"before"_s << u"123456"_s
                                  << QStringList{u"T_V_LAB2"_s};
    QTest::newRow("not a number") << u"DCV"_s << u"abc"_s << false << u"before"_s << u"123456"_s
                                  << QStringList{};
}

void TestValueUnits::display2()
{
    QFETCH(QString, mode);
    QFETCH(QString, value);
    QFETCH(bool, ok);
    QFETCH(QString, reading);
    QFETCH(QString, shown);
    QFETCH(QStringList, lamps);
    PanelFixture f;
    prepare(f);
    f.state.MODE2 = mode;
    QCOMPARE(DIS2_SHOW_NUM(f.panel, value), ok);
    QCOMPARE(f.state.DISPLAY2, reading);
    QCOMPARE(shown2(f.display), shown);
    QCOMPARE(litLamps(f.display), lampSet(lamps + QStringList{u"T_V_LAB1"_s, u"T_A_LAB1"_s,
                                                               u"T_K_LAB1"_s, u"T_dB_LAB"_s,
                                                               u"T_dBm_LAB1"_s}));
    QCOMPARE(shown1(f.display), u"1234567"_s);
}

QTEST_GUILESS_MAIN(TestValueUnits)
#include "tst_value_units.moc"
