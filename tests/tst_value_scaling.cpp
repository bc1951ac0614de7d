// The program's own auto-ranging of a shown value: rows at 1.2 x 10^k,
// strict bounds, prefix and unit lamps, the text handed back, DISPLAY2 while
// math is on, and a text that is not a number.

#include "display/number_drawing.h"
#include "display/value_scaling.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace display;

class TestValueScaling : public QObject
{
    Q_OBJECT

private slots:
    void display1_data();
    void display1();
    void mathItemsHideTheUnit_data();
    void mathItemsHideTheUnit();
    void display2_data();
    void display2();
    void notANumberFails_data();
    void notANumberFails();
};

void TestValueScaling::display1_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("text");     // the argument on return
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("lamps");
    QTest::addColumn<QString>("display2");  // with math on

    const QString kept = u"kept"_s;
    QTest::newRow("zero")                << u"DCV"_s << u"0"_s << u"0000.00"_s << u"0.000000"_s
                                         << QStringList{u"T_V_LAB1"_s} << u"0000.00"_s;
    QTest::newRow("negative zero")       << u"DCV"_s << u"-0"_s << u"0000.00"_s << u"0.000000"_s
                                         << QStringList{u"T_V_LAB1"_s} << u"0000.00"_s;
    QTest::newRow("micro")               << u"DCV"_s << u"0.0000053"_s << u"005.3000"_s << u"005.3000"_s
                                         << QStringList{u"T_V_LAB1"_s, u"T_u_LAB1"_s} << u"005.3000 u"_s;
    QTest::newRow("0.00012 is milli")    << u"DCV"_s << u"0.00012"_s << u"0.120000"_s << u"0.120000"_s
                                         << QStringList{u"T_V_LAB1"_s, u"T_min_LAB1"_s} << u"0.120000 m"_s;
    QTest::newRow("just under 0.00012")  << u"DCV"_s << u"0.0001199"_s << u"119.9000"_s << u"119.9000"_s
                                         << QStringList{u"T_V_LAB1"_s, u"T_u_LAB1"_s} << u"119.9000 u"_s;
    QTest::newRow("exponent, negative")  << u"DCV"_s << u"-1.23456E-03"_s << u"-01.23456"_s << u"[SUB]1.23456"_s
                                         << QStringList{u"T_V_LAB1"_s, u"T_min_LAB1"_s} << u"-01.23456 m"_s;
    QTest::newRow("-0.5")                << u"DCV"_s << u"-0.5"_s << u"-0.500000"_s << u"[SUB].500000"_s
                                         << QStringList{u"T_V_LAB1"_s} << u"-0.500000"_s;
    QTest::newRow("1.2 takes the 12 row") << u"ACV"_s << u"1.2"_s << u"01.20000"_s << u"01.20000"_s
                                         << QStringList{u"T_V_LAB1"_s} << u"01.20000"_s;
    QTest::newRow("1199.9994")           << u"2W"_s << u"1199.9994"_s << u"1199.999"_s << u"1199.999"_s
                                         << QStringList{u"T_R_LAB1"_s} << u"1199.999"_s;
    QTest::newRow("1200 is kilo")        << u"2W"_s << u"1200"_s << u"01.20000"_s << u"01.20000"_s
                                         << QStringList{u"T_R_LAB1"_s, u"T_K_LAB1"_s} << u"01.20000 k"_s;
    QTest::newRow("120000 is mega")      << u"4W"_s << u"120000"_s << u"0.120000"_s << u"0.120000"_s
                                         << QStringList{u"T_R_LAB1"_s, u"T_M_LAB1"_s} << u"0.120000 M"_s;
    QTest::newRow("1.2E8 is overload")   << u"Hz"_s << u"1.2E8"_s << u"1.2E8"_s << u"___OL__"_s
                                         << QStringList{u"T_Hz_LAB1"_s} << kept;
    QTest::newRow("-1.2E8 is overload")  << u"P"_s << u"-1.2E8"_s << u"-1.2E8"_s << u"___OL__"_s
                                         << QStringList{u"T_S_LAB1"_s} << kept;
    // All zeros at its row's decimals: the flag comes from the number, so
    // no minus sign is drawn.
    QTest::newRow("tiny negative")       << u"DCI"_s << u"-1E-12"_s << u"-000.0000"_s << u"000.0000"_s
                                         << QStringList{u"T_A_LAB1"_s, u"T_u_LAB1"_s} << u"-000.0000 u"_s;
    QTest::newRow("no unit for DIODE")   << u"DIODE"_s << u"0.5"_s << u"0.500000"_s << u"0.500000"_s
                                         << QStringList{} << u"0.500000"_s;
    QTest::newRow("temperature")         << u"C"_s << u"23.4"_s << u"023.4000"_s << u"023.4000"_s
                                         << QStringList{u"T_C_LAB1"_s} << u"023.4000"_s;
}

void TestValueScaling::display1()
{
    QFETCH(QString, mode);
    QFETCH(QString, value);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QStringList, lamps);
    QFETCH(QString, display2);
    for (const bool mathOn : {false, true}) {
        PanelFixture f;
        darken(f.display);
        // Lamps the scaling leaves alone, and lamps and points it darkens.
        for (Lamp lamp : {Lamp::AC_LAB1, Lamp::T_dBm_LAB1, Lamp::T_W_LAB1, Lamp::T_M_LAB1})
            f.display.setLit(lamp, true);
        f.display.setLit(Points::DROP_IMG, 5, true);
        f.state.MODE1 = mode;
        f.state.MATH_ON = mathOn;
        f.state.DISPLAY2 = u"kept"_s;

        QString argument = value;
        QVERIFY(CHK_READ_RANGE(f.panel, argument));
        QCOMPARE(argument, text);
        QCOMPARE(shown1(f.display), shown);
        QCOMPARE(litLamps(f.display), lampSet(lamps + QStringList{u"AC_LAB1"_s, u"T_dBm_LAB1"_s}));
        QCOMPARE(f.state.DISPLAY2, mathOn ? display2 : u"kept"_s);
    }
}

void TestValueScaling::mathItemsHideTheUnit_data()
{
    QTest::addColumn<bool>("menuOpen");
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("unitLit");
    QTest::newRow("no math")          << false << 0 << true;
    QTest::newRow("menu at M")        << true << 1 << false;
    QTest::newRow("menu at B")        << true << 2 << true;
    QTest::newRow("menu at 1/X")      << true << 3 << false;
    QTest::newRow("percent, open")    << true << 4 << false;
    QTest::newRow("percent, closed")  << false << 4 << false;
    QTest::newRow("M, menu closed")   << false << 1 << true;
}

void TestValueScaling::mathItemsHideTheUnit()
{
    QFETCH(bool, menuOpen);
    QFETCH(int, item);
    QFETCH(bool, unitLit);
    PanelFixture f;
    darken(f.display);
    f.state.MODE1 = u"DCV"_s;
    f.state.MATH_SET = menuOpen;
    f.state.MATH_ITEM = qint16(item);
    QString argument = u"0.5"_s;
    QVERIFY(CHK_READ_RANGE(f.panel, argument));
    QCOMPARE(f.display.isLit(Lamp::T_V_LAB1), unitLit);
    QCOMPARE(shown1(f.display), u"0.500000"_s);

    // Display 2 lights its unit whatever the math item.
    f.state.MODE2 = u"DCV"_s;
    QString second = u"0.5"_s;
    QVERIFY(CHK_READ2_RANGE(f.panel, second));
    QVERIFY(f.display.isLit(Lamp::T_V_LAB2));
}

void TestValueScaling::display2_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("lamps");

    QTest::newRow("zero")            << u"DCV"_s << u"0"_s << u"0000.00"_s << u"0.00000"_s
                                     << QStringList{u"T_V_LAB2"_s};
    QTest::newRow("0.00012 is milli") << u"DCI"_s << u"0.00012"_s << u"0.12000"_s << u"0.12000"_s
                                     << QStringList{u"T_A_LAB2"_s, u"T_min_LAB2"_s};
    QTest::newRow("1.2")             << u"DCV"_s << u"1.2"_s << u"01.2000"_s << u"01.2000"_s
                                     << QStringList{u"T_V_LAB2"_s};
    QTest::newRow("-0.5")            << u"ACV"_s << u"-0.5"_s << u"-0.50000"_s << u"[SUB].50000"_s
                                     << QStringList{u"T_V_LAB2"_s};
    QTest::newRow("1200 is kilo")    << u"2W"_s << u"1200"_s << u"01.2000"_s << u"01.2000"_s
                                     << QStringList{u"T_R_LAB2"_s, u"T_K_LAB2"_s};
    QTest::newRow("2500000 is mega") << u"4W"_s << u"2500000"_s << u"02.5000"_s << u"02.5000"_s
                                     << QStringList{u"T_R_LAB2"_s, u"T_M_LAB2"_s};
    QTest::newRow("1.2E8 overload")  << u"Hz"_s << u"1.2E8"_s << u"1.2E8"_s << u"__OL__"_s
                                     << QStringList{u"T_Hz_LAB2"_s};
}

void TestValueScaling::display2()
{
    QFETCH(QString, mode);
    QFETCH(QString, value);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QStringList, lamps);
    PanelFixture f;
    darken(f.display);
    f.display.setLit(Lamp::T_u_LAB2, true);
    f.display.setLit(Points::DROP_IMG2, 4, true);
    f.state.MODE2 = mode;
    f.state.MATH_ON = true;  // display 2 never writes DISPLAY2
    f.state.DISPLAY2 = u"kept"_s;

    QString argument = value;
    QVERIFY(CHK_READ2_RANGE(f.panel, argument));
    QCOMPARE(argument, text);
    QCOMPARE(shown2(f.display), shown);
    QCOMPARE(litLamps(f.display), lampSet(lamps));
    QCOMPARE(f.state.DISPLAY2, u"kept"_s);
    QCOMPARE(shown1(f.display), u"_______"_s);
}

void TestValueScaling::notANumberFails_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("empty")       << QString();
    QTest::newRow("word")        << u"abc"_s;
    QTest::newRow("two values")  << u"1.5,0.2"_s;
    QTest::newRow("trailing junk") << u"1.5V"_s;
}

void TestValueScaling::notANumberFails()
{
    QFETCH(QString, value);
    PanelFixture f;
    darken(f.display);
    DIS1_READ_SHOW(f.panel, u"1.23456", 2, 5, false);
    DIS2_READ_SHOW(f.panel, u"1.2345", 2, 4, false);
    f.display.setLit(Lamp::T_K_LAB1, true);
    f.display.setLit(Lamp::T_K_LAB2, true);
    f.state.MODE1 = u"DCV"_s;
    f.state.MODE2 = u"2W"_s;
    f.state.MATH_ON = true;
    f.state.DISPLAY2 = u"kept"_s;

    // Points and prefixes dark, unit lit, digits and text as they were.
    QString one = value;
    QVERIFY(!CHK_READ_RANGE(f.panel, one));
    QCOMPARE(one, value);
    QCOMPARE(shown1(f.display), u"0123456"_s);
    QVERIFY(f.display.isLit(Lamp::T_V_LAB1));
    QVERIFY(!f.display.isLit(Lamp::T_K_LAB1));
    QCOMPARE(f.state.DISPLAY2, u"kept"_s);

    QString two = value;
    QVERIFY(!CHK_READ2_RANGE(f.panel, two));
    QCOMPARE(two, value);
    QCOMPARE(shown2(f.display), u"012345"_s);
    QVERIFY(f.display.isLit(Lamp::T_R_LAB2));
    QVERIFY(!f.display.isLit(Lamp::T_K_LAB2));
}

QTEST_GUILESS_MAIN(TestValueScaling)
#include "tst_value_scaling.moc"
