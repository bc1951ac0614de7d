// Numbers on both displays: digits with leading zeros, the point, the minus
// forms, "OL" and "OPEN", and the digits handed to the math editor.

#include "display/number_drawing.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace display;

class TestNumberDrawing : public QObject
{
    Q_OBJECT

private slots:
    void display1_data();
    void display1();
    void display1RedrawMovesThePoint();
    void display2_data();
    void display2();
    void digitsGoToTheEditor_data();
    void digitsGoToTheEditor();
};

void TestNumberDrawing::display1_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("WWW");
    QTest::addColumn<int>("YYY");
    QTest::addColumn<bool>("ZZZ");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("overload");

    QTest::newRow("five decimals")        << u"DCV"_s << u"1.23456"_s << 5 << false << u"01.23456"_s << false;
    QTest::newRow("leading 1")            << u"DCV"_s << u"1.1"_s << 6 << false << u"1.100000"_s << false;
    QTest::newRow("whole count")          << u"DCV"_s << u"12"_s << 0 << false << u"0000012"_s << false;
    QTest::newRow("exponent, CR")         << u"DCV"_s << u"+1.5E-01\r"_s << 6 << false << u"0.150000"_s << false;
    QTest::newRow("rounds to 1.199999")   << u"DCV"_s << u"1.1999994"_s << 6 << false << u"1.199999"_s << false;
    QTest::newRow("rounds to overload")   << u"DCV"_s << u"1.1999996"_s << 6 << false << u"_.__OL__"_s << true;
    QTest::newRow("overload keeps point") << u"DCV"_s << u"1.5"_s << 6 << false << u"_.__OL__"_s << true;
    QTest::newRow("minus sign")           << u"DCV"_s << u"-0.5"_s << 6 << true << u"[SUB].500000"_s << false;
    QTest::newRow("minus one")            << u"DCV"_s << u"-1.1"_s << 6 << true << u"[-1].100000"_s << false;
    QTest::newRow("sign from flag only")  << u"DCV"_s << u"-0.5"_s << 6 << false << u"0.500000"_s << false;
    QTest::newRow("overload 9.9E+37")     << u"DCV"_s << u"9.9E+37"_s << 6 << false << u"_.__OL__"_s << true;
    QTest::newRow("continuity open")      << u"CONTINU"_s << u"9.9E+37"_s << 6 << false << u"_._OPEN_"_s << true;
    QTest::newRow("diode open")           << u"DIODE"_s << u"9.9E+37"_s << 3 << false << u"__OP.EN_"_s << true;
    QTest::newRow("diode, negative open") << u"DIODE"_s << u"-5"_s << 6 << true << u"_._OPEN_"_s << true;
    QTest::newRow("no pattern for 7")     << u"DCV"_s << u"5"_s << 7 << false << u"0000000"_s << false;
    QTest::newRow("not a number")         << u"DCV"_s << u"abc"_s << 3 << false << u"0000000"_s << false;
}

void TestNumberDrawing::display1()
{
    QFETCH(QString, mode);
    QFETCH(QString, WWW);
    QFETCH(int, YYY);
    QFETCH(bool, ZZZ);
    QFETCH(QString, shown);
    QFETCH(bool, overload);
    PanelFixture f;
    darken(f.display);
    f.display.setLit(Lamp::T_V_LAB1, true);
    f.state.MODE1 = mode;
    f.state.DIS1_OL = !overload;

    DIS1_READ_SHOW(f.panel, WWW, qint16(7 - YYY), qint16(YYY), ZZZ);

    QCOMPARE(shown1(f.display), shown);
    QCOMPARE(f.state.DIS1_OL, overload);
    QCOMPARE(shown2(f.display), u"______"_s);                       // display 2 untouched
    QCOMPARE(litLamps(f.display), lampSet({u"T_V_LAB1"_s}));        // labels untouched
}

void TestNumberDrawing::display1RedrawMovesThePoint()
{
    PanelFixture f;
    darken(f.display);
    DIS1_READ_SHOW(f.panel, u"12345.6", 6, 1, false);
    QCOMPARE(shown1(f.display), u"012345.6"_s);
    DIS1_READ_SHOW(f.panel, u"0.5", 1, 6, false);
    QCOMPARE(shown1(f.display), u"0.500000"_s);
    // The extra filter dot is not the number's: it stays as it was.
    f.display.setLit(Points::DROP_IMG, 6, true);
    DIS1_READ_SHOW(f.panel, u"5", 7, 0, false);
    QCOMPARE(shown1(f.display), u"000*0005"_s);
}

void TestNumberDrawing::display2_data()
{
    QTest::addColumn<QString>("WWW");
    QTest::addColumn<int>("XXX");
    QTest::addColumn<int>("YYY");
    QTest::addColumn<bool>("ZZZ");
    QTest::addColumn<QString>("shown");

    QTest::newRow("fits, 11.9999")        << u"11.9999"_s << 2 << 4 << false << u"11.9999"_s;
    QTest::newRow("count 123456 is OL")   << u"12.3456"_s << 2 << 4 << false << u"__.OL__"_s;
    QTest::newRow("leading zeros")        << u"5"_s << 4 << 2 << false << u"0005.00"_s;
    QTest::newRow("half")                 << u"0.5"_s << 1 << 5 << false << u"0.50000"_s;
    QTest::newRow("minus sign")           << u"-0.5"_s << 1 << 5 << true << u"[SUB].50000"_s;
    QTest::newRow("minus one")            << u"-1.1"_s << 1 << 5 << true << u"[SUB1].10000"_s;
    QTest::newRow("minus one beside OL")  << u"-1.5"_s << 1 << 5 << true << u"[SUB1]._OL__"_s;
    QTest::newRow("minus beside OL")      << u"-2.5"_s << 1 << 5 << true << u"[SUB]._OL__"_s;
    // The whole integer part counts: 1234.5 with one digit before the
    // point is far too large, never "1.00000".
    QTest::newRow("too large for XXX")    << u"1234.5"_s << 1 << 5 << false << u"_._OL__"_s;
    QTest::newRow("too large, 4 digits")  << u"10000.5"_s << 4 << 2 << false << u"__OL.__"_s;
    QTest::newRow("no pattern for 1")     << u"5"_s << 5 << 1 << false << u"000000"_s;
}

void TestNumberDrawing::display2()
{
    QFETCH(QString, WWW);
    QFETCH(int, XXX);
    QFETCH(int, YYY);
    QFETCH(bool, ZZZ);
    QFETCH(QString, shown);
    PanelFixture f;
    darken(f.display);
    f.display.setLit(Points::DROP_IMG2, 5, true);  // the mid dot goes too
    f.state.DIS1_OL = true;

    DIS2_READ_SHOW(f.panel, WWW, qint16(XXX), qint16(YYY), ZZZ);

    QCOMPARE(shown2(f.display), shown);
    QCOMPARE(shown1(f.display), u"_______"_s);
    QVERIFY(f.state.DIS1_OL);  // display 2 keeps no flag
    QVERIFY(litLamps(f.display).isEmpty());
}

void TestNumberDrawing::digitsGoToTheEditor_data()
{
    QTest::addColumn<int>("display");
    QTest::addColumn<QString>("WWW");
    QTest::addColumn<int>("YYY");
    QTest::addColumn<bool>("ZZZ");
    QTest::addColumn<bool>("menuOpen");
    QTest::addColumn<QString>("digits");

    QTest::newRow("display 1")             << 1 << u"1.5"_s << 1 << false << true << u"0000015"_s;
    QTest::newRow("display 1, negative")   << 1 << u"-1.5"_s << 1 << true << true << u"-0000015"_s;
    QTest::newRow("display 1, overloaded") << 1 << u"1.5"_s << 6 << false << true << u"1500000"_s;
    QTest::newRow("display 2")             << 2 << u"1.5"_s << 4 << false << true << u"015000"_s;
    QTest::newRow("display 2, negative")   << 2 << u"-1.5"_s << 4 << true << true << u"-015000"_s;
    QTest::newRow("menu closed")           << 1 << u"1.5"_s << 1 << false << false << u"kept"_s;
}

void TestNumberDrawing::digitsGoToTheEditor()
{
    QFETCH(int, display);
    QFETCH(QString, WWW);
    QFETCH(int, YYY);
    QFETCH(bool, ZZZ);
    QFETCH(bool, menuOpen);
    QFETCH(QString, digits);
    PanelFixture f;
    f.state.MATH_SET = menuOpen;
    f.state.EDIT_DIGITS = u"kept"_s;
    if (display == 1)
        DIS1_READ_SHOW(f.panel, WWW, qint16(7 - YYY), qint16(YYY), ZZZ);
    else
        DIS2_READ_SHOW(f.panel, WWW, qint16(6 - YYY), qint16(YYY), ZZZ);
    QCOMPARE(f.state.EDIT_DIGITS, digits);
}

QTEST_GUILESS_MAIN(TestNumberDrawing)
#include "tst_number_drawing.moc"
