// Math and compare results through the reply parser: MX+B, 1/X and REF%
// with their words on display 2 and their texts, a division without a
// result and a result beyond the display (no unit or "%" added to an old
// text), math skipped over an overload, and the compare words.

#include "reading/reply_parser.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/reading_setup.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace display;

class TestMathResults : public QObject
{
    Q_OBJECT

private slots:
    void results_data();
    void results();
    void noTextGrowsOverReadings_data();
    void noTextGrowsOverReadings();
};

void TestMathResults::results_data()
{
    QTest::addColumn<QString>("mode1");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<int>("item");         // MATH_ITEM
    QTest::addColumn<QString>("m");        // MATH_M_VALUE: M, reference or upper limit
    QTest::addColumn<QString>("b");        // MATH_B_VALUE: B or lower limit
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("display1");
    QTest::addColumn<QString>("display2");
    QTest::addColumn<QString>("shown1");
    QTest::addColumn<QString>("shown2");

    const QStringList math{u"MATH_ON"_s};
    const QStringList compare{u"COMP_ON"_s};
    const QString mxb = u"_MX[add]B_"_s;
    QTest::newRow("MX+B")                 << u"DCV"_s << u"10V"_s << math << 2 << u"2"_s << u"1"_s << u"+3.000000E+00,0\r"_s
                                          << u"1_V"_s << u"03.00000V"_s << u"03.00000"_s << mxb;
    QTest::newRow("MX+B, eight characters") << u"DCV"_s << u"10V"_s << math << 2 << u"3"_s << u"0"_s << u"1,0"_s
                                          << u"0.333333_V"_s << u"1.000000V"_s << u"1.000000"_s << mxb;
    QTest::newRow("MX+B, period unit S")  << u"P"_s << u""_s << math << 2 << u"1"_s << u"0"_s << u"0.0005,0"_s
                                          << u"0.0005_ms"_s << u"0.500000 mS"_s << u"0.500000"_s << mxb;
    QTest::newRow("MX+B, M zero")         << u"DCV"_s << u"10V"_s << math << 2 << u"0"_s << u"1"_s << u"3,0"_s
                                          << QString() << u"03.00000V"_s << u"03.00000"_s << mxb;
    QTest::newRow("MX+B, ends before compare and display 2")
                                          << u"DCV"_s << u"10V"_s << math + QStringList{u"COMP_ON"_s, u"MODE2_ON"_s, u"AUTO_LAB2"_s}
                                          << 2 << u"2"_s << u"1"_s << u"3,0.5"_s
                                          << u"1_V"_s << u"03.00000V"_s << u"03.00000"_s << mxb;
    QTest::newRow("1/X")                  << u"DCV"_s << u"10V"_s << math << 3 << u""_s << u""_s << u"4,0"_s
                                          << u"04.00000_V"_s << u"0.250000V"_s << u"0.250000"_s << u"_1[MOD]X__"_s;
    QTest::newRow("1/X of 2 kOhm")        << u"2W"_s << u"AUTO"_s << math << 3 << u""_s << u""_s << u"2000,0"_s
                                          << u"02.00000_kOhm"_s << u"0.500000 mOhm"_s << u"0.500000"_s << u"_1[MOD]X__"_s;
    QTest::newRow("1/X of zero")          << u"DCV"_s << u"10V"_s << math << 3 << u""_s << u""_s << u"0,0"_s
                                          << u"00.00000_V"_s << QString() << u"00.00000"_s << u"_1[MOD]X__"_s;
    QTest::newRow("REF% 10 of 11")        << u"DCV"_s << u"10V"_s << math << 4 << u"10"_s << u""_s << u"11,0"_s
                                          << u"11.00000_V"_s << u"10.00000%"_s << u"10.00000"_s << u"_[PSU][MOD][PSD]__"_s;
    QTest::newRow("REF% beyond the display") << u"DCV"_s << u"10V"_s << math << 4 << u"1E-9"_s << u""_s << u"11,0"_s
                                          << u"11.00000_V"_s << u"OL"_s << u"___OL__"_s << u"_[PSU][MOD][PSD]__"_s;
    QTest::newRow("REF%, reference zero") << u"DCV"_s << u"10V"_s << math << 4 << u"0"_s << u""_s << u"11,0"_s
                                          << u"11.00000_V"_s << QString() << u"11.00000"_s << u"_[PSU][MOD][PSD]__"_s;
    QTest::newRow("REF%, then compare")   << u"DCV"_s << u"10V"_s << math + compare << 4 << u"10"_s << u"1"_s << u"11,0"_s
                                          << u"11.00000_V"_s << u"HIGH"_s << u"10.00000"_s << u"HIGH__"_s;
    QTest::newRow("no math over overload") << u"DCV"_s << u"1V"_s << math + compare << 3 << u"5"_s << u"1"_s << u"3,0"_s
                                          << u"3.000000_V"_s << u"PASS"_s << u"_.__OL__"_s << u"PASS__"_s;
    QTest::newRow("other math item")      << u"DCV"_s << u"10V"_s << math << 5 << u"5"_s << u"1"_s << u"3,0"_s
                                          << u"03.00000_V"_s << u"kept"_s << u"03.00000"_s << u"______"_s;

    // Compare: both limits included; display 2 is not interpreted after it.
    const QStringList withDisplay2 = compare + QStringList{u"MODE2_ON"_s, u"AUTO_LAB2"_s};
    QTest::newRow("compare at upper limit") << u"DCV"_s << u"10V"_s << withDisplay2 << 0 << u"5"_s << u"1"_s << u"5,0.5"_s
                                          << u"05.00000_V"_s << u"PASS"_s << u"05.00000"_s << u"PASS__"_s;
    QTest::newRow("compare above")        << u"DCV"_s << u"10V"_s << withDisplay2 << 0 << u"5"_s << u"1"_s << u"5.0001,0.5"_s
                                          << u"05.00010_V"_s << u"HIGH"_s << u"05.00010"_s << u"HIGH__"_s;
    QTest::newRow("compare below")        << u"DCV"_s << u"10V"_s << withDisplay2 << 0 << u"5"_s << u"1"_s << u"0.5,0.5"_s
                                          << u"00.50000_V"_s << u"LOW"_s << u"00.50000"_s << u"LOW___"_s;
    QTest::newRow("compare at lower limit") << u"DCV"_s << u"10V"_s << compare << 0 << u"5"_s << u"-1"_s << u"-1,0"_s
                                          << u"-01.00000_V"_s << u"PASS"_s << u"[SUB]1.00000"_s << u"PASS__"_s;
}

void TestMathResults::results()
{
    QFETCH(QString, mode1);
    QFETCH(QString, range);
    QFETCH(QStringList, setup);
    QFETCH(int, item);
    QFETCH(QString, m);
    QFETCH(QString, b);
    QFETCH(QString, reply);
    QFETCH(QString, display1);
    QFETCH(QString, display2);
    QFETCH(QString, shown1);
    QFETCH(QString, shown2);
    PanelFixture f;
    darken(f.display);
    QVERIFY(setUp(f.panel, setup));
    f.state.MODE1 = mode1;
    f.state.MODE1_RANGE = range;
    f.state.MODE2 = u"DCV"_s;
    f.state.MATH_ITEM = qint16(item);
    f.state.MATH_M_VALUE = m;
    f.state.MATH_B_VALUE = b;
    f.state.DISPLAY1 = reply;
    f.state.DISPLAY2 = u"kept"_s;

    reading::READ_SHOW_PARSE(f.panel);

    QCOMPARE(f.state.DISPLAY1, display1);
    QCOMPARE(f.state.DISPLAY2, display2);
    QCOMPARE(::shown1(f.display), shown1);
    QCOMPARE(::shown2(f.display), shown2);
}

void TestMathResults::noTextGrowsOverReadings_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("m");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("display2");
    QTest::newRow("1/X of zero")         << 3 << u""_s << u"0,0"_s << QString();
    QTest::newRow("1/X beyond the display") << 3 << u""_s << u"1E-9,0"_s << u"OL"_s;
    QTest::newRow("REF% beyond the display") << 4 << u"1E-9"_s << u"11,0"_s << u"OL"_s;
    QTest::newRow("REF%, reference zero") << 4 << u"0"_s << u"11,0"_s << QString();
    QTest::newRow("MX+B, no number")     << 2 << u"2"_s << u"volts,0"_s << QString();
}

void TestMathResults::noTextGrowsOverReadings()
{
    QFETCH(int, item);
    QFETCH(QString, m);
    QFETCH(QString, reply);
    QFETCH(QString, display2);
    PanelFixture f;
    darken(f.display);
    f.state.MATH_ON = true;
    f.state.MATH_ITEM = qint16(item);
    f.state.MATH_M_VALUE = m;
    f.state.MODE1 = u"DCV"_s;
    f.state.MODE1_RANGE = u"10V"_s;
    f.state.DISPLAY2 = u"0.25000V"_s;  // an earlier result
    for (int i = 0; i < 3; ++i) {
        f.state.DISPLAY1 = reply;
        reading::READ_SHOW_PARSE(f.panel);
        QCOMPARE(f.state.DISPLAY2, display2);
    }
}

QTEST_GUILESS_MAIN(TestMathResults)
#include "tst_math_results.moc"
