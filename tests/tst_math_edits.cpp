// The arrow keys in the math menu (the menu set open directly: no key opens
// it yet): the item list both ways with its queries, the digits with their
// bounds, the negative drawing and the continuous-count floor, the point
// walked up and back; an item whose value is lost on the line is not moved
// to; and the range while math is on.

#include "arrows/arrow_keys.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/reading_setup.h"

#include <QtTest>
#include <cmath>

using namespace Qt::StringLiterals;
using display::Lamp;
using display::Points;

class TestMathEdits : public QObject
{
    Q_OBJECT

private slots:
    void list_data();
    void list();
    void digits_data();
    void digits();
    void pointRoundTrip();
    void lostReplyStays_data();
    void lostReplyStays();
    void rangeWhileMathOn();
};

namespace {

QString blinkOf(const shell::PanelState &s)
{
    return u"%1,%2,%3,%4"_s.arg(s.BLINK_FIRST).arg(s.BLINK_LAST).arg(s.BLINK_DOT).arg(s.BLINK_DISP2 ? "2" : "1");
}

struct MathPanel : PanelFixture
{
    explicit MathPanel(sim::Faults faults = {})
        : PanelFixture(faults)
    {
        darken(display);
        state.MODE1 = u"DCV"_s;
        state.MATH_SET = true;
    }
    bool press(bool up) { return up ? arrows::UP_IMG_ENTER(panel) : arrows::DOWN_IMG_ENTER(panel); }
};

} // namespace

void TestMathEdits::list_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("up");
    QTest::addColumn<int>("itemAfter");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("blink");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("mValue");  // MATH_M_VALUE after ("-" unchanged)
    QTest::addColumn<QString>("bValue");

    const QString m = u"_MX[ADD]B_"_s;
    QTest::newRow("M, UP wraps to REF%") << 1 << true << 4 << u"REF[PSU][MOD][PSD]"_s << u"0,5,10,2"_s
        << QStringList{u"calc:math:perc?\\10"_s} << u"025.0000"_s << u"+2.500000E+01\r"_s << u"-"_s;
    QTest::newRow("M, DOWN to B, nothing kept") << 1 << false << 2 << m << u"4,4,10,2"_s
        << QStringList{u"calc:math:mbf?\\10"_s} << u"[SUB].500000"_s << u"-"_s << u"-"_s;
    QTest::newRow("B, UP to M, kept") << 2 << true << 1 << m << u"1,1,10,2"_s
        << QStringList{u"calc:math:mmf?\\10"_s} << u"02.00000"_s << u"+2.000000E+00\r"_s << u"-"_s;
    QTest::newRow("1/X, DOWN to REF%") << 3 << false << 4 << u"REF[PSU][MOD][PSD]"_s << u"0,5,10,2"_s
        << QStringList{u"calc:math:perc?\\10"_s} << u"025.0000"_s << u"-"_s << u"-"_s;
    QTest::newRow("REF%, UP to 1/X: INVERSE") << 4 << true << 3 << u"_1[MOD]X__"_s << u"1,3,10,2"_s
        << QStringList() << u"[I2]NVERSE"_s << u"-"_s << u"-"_s;
    QTest::newRow("REF%, DOWN wraps to M") << 4 << false << 1 << m << u"1,1,10,2"_s
        << QStringList{u"calc:math:mmf?\\10"_s} << u"02.00000"_s << u"-"_s << u"-"_s;
    QTest::newRow("count 6, UP to REF%") << 6 << true << 4 << u"REF[PSU][MOD][PSD]"_s << u"0,5,10,2"_s
        << QStringList{u"calc:math:perc?\\10"_s} << u"025.0000"_s << u"+2.500000E+01\r"_s << u"-"_s;
    QTest::newRow("count 5, DOWN to M") << 5 << false << 1 << m << u"1,1,10,2"_s
        << QStringList{u"calc:math:mmf?\\10"_s} << u"02.00000"_s << u"-"_s << u"-"_s;
    QTest::newRow("count entry: nothing") << 61 << true << 61 << u"______"_s << u"2,3,10,2"_s
        << QStringList() << u"_______"_s << u"-"_s << u"-"_s;
}

void TestMathEdits::list()
{
    QFETCH(int, item);
    QFETCH(bool, up);
    QFETCH(int, itemAfter);
    QFETCH(QString, word);
    QFETCH(QString, blink);
    QFETCH(QStringList, written);
    QFETCH(QString, shown);
    QFETCH(QString, mValue);
    QFETCH(QString, bValue);
    MathPanel f;
    f.linkUp();
    for (const auto &[query, reply] : {std::pair{u"calc:math:mmf?"_s, u"+2.000000E+00"_s},
                                       std::pair{u"calc:math:mbf?"_s, u"-5.000000E-01"_s},
                                       std::pair{u"calc:math:perc?"_s, u"+2.500000E+01"_s}})
        QVERIFY(f.sim.instrument.setState(u"reply:"_s + query, reply));
    f.state.MATH_ITEM = qint16(item);
    f.state.MATH_M_VALUE = f.state.MATH_B_VALUE = u"-"_s;
    f.state.BLINK_FIRST = 2;
    f.state.BLINK_LAST = 3;
    f.state.BLINK_DOT = shell::kNoBlink;
    f.state.BLINK_DISP2 = true;

    QVERIFY(f.press(up));
    QCOMPARE(f.state.MATH_ITEM, itemAfter);
    QCOMPARE(shown2(f.display), word);
    QCOMPARE(blinkOf(f.state), blink);
    QCOMPARE(f.sim.written, written);
    QCOMPARE(shown1(f.display), shown);
    QCOMPARE(f.state.MATH_M_VALUE, mValue);
    QCOMPARE(f.state.MATH_B_VALUE, bValue);
    QVERIFY(f.timers.IMG_Timer.isEnabled());
}

// Digit mode: the bounds hold in the key's direction, a negative value
// shares place 0 with its sign, and a count of 1 shows as CONTINU.
void TestMathEdits::digits_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("blinkBefore");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("blinkAfter");
    QTest::addColumn<QString>("shown");

    QTest::newRow("UP past the top")          << 1  << u"9500000"_s  << u"0,0,10,1"_s << true
                                              << u"9999999"_s  << u"0,0,10,1"_s << u"9999999"_s;
    QTest::newRow("count 6 tops at a million") << 6 << u"0950000"_s  << u"0,0,10,1"_s << true
                                              << u"1000000"_s  << u"0,0,10,1"_s << u"1000000"_s;
    QTest::newRow("DOWN past the bottom")     << 2  << u"-9500000"_s << u"0,0,10,1"_s << false
                                              << u"-9999999"_s << u"0,0,10,1"_s << u" 999999"_s;
    QTest::newRow("DOWN below 0: signed")     << 1  << u"0000000"_s  << u"6,6,10,1"_s << false
                                              << u"-0000001"_s << u"6,6,10,1"_s << u"[SUB]000001"_s;
    QTest::newRow("negative, millions 1")     << 2  << u"-1500000"_s << u"6,6,10,1"_s << true
                                              << u"-1499999"_s << u"6,6,10,1"_s << u"[SUB1]499999"_s;
    QTest::newRow("UP from CONTINU counts 2") << 61 << u"1"_s        << u"0,6,10,1"_s << true
                                              << u"0000002"_s  << u"6,6,10,1"_s << u"0000002"_s;
    QTest::newRow("DOWN to 1 is CONTINU")     << 61 << u"0000002"_s  << u"6,6,10,1"_s << false
                                              << u"1"_s        << u"0,6,10,1"_s << u"CONT[I2]NU"_s;
    QTest::newRow("count 6 below 1 is CONTINU") << 6 << u"0000005"_s << u"4,4,10,1"_s << false
                                              << u"1"_s        << u"0,6,10,1"_s << u"CONT[I2]NU"_s;
}

void TestMathEdits::digits()
{
    QFETCH(int, item);
    QFETCH(QString, before);
    QFETCH(QString, blinkBefore);
    QFETCH(bool, up);
    QFETCH(QString, after);
    QFETCH(QString, blinkAfter);
    QFETCH(QString, shown);
    MathPanel f;
    f.state.MATH_ITEM = qint16(item);
    f.state.EDIT_DIGITS = before;
    const QStringList b = blinkBefore.split(u',');
    f.state.BLINK_FIRST = qint16(b[0].toInt());
    f.state.BLINK_LAST = qint16(b[1].toInt());
    f.state.BLINK_DOT = qint16(b[2].toInt());
    f.state.BLINK_DISP2 = false;

    QVERIFY(f.press(up));
    QCOMPARE(f.state.EDIT_DIGITS, after);
    QCOMPARE(blinkOf(f.state), blinkAfter);
    QCOMPARE(shown1(f.display), shown);
    QVERIFY(f.timers.IMG_Timer.isEnabled());
    QVERIFY(f.sim.written.isEmpty());
}

// M is shown with its digits; the next item's reply is cut on the line. The
// press fails and the menu stays on M: its name, its digits, what UP keeps.
void TestMathEdits::lostReplyStays_data()
{
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("lost");
    QTest::newRow("DOWN, B lost")    << false << u"calc:math:mbf?"_s;
    QTest::newRow("UP, REF% lost")   << true  << u"calc:math:perc?"_s;
}

void TestMathEdits::lostReplyStays()
{
    QFETCH(bool, up);
    QFETCH(QString, lost);
    MathPanel f(*sim::parseFaults(u"cut-query="_s + lost));
    f.linkUp();
    f.sim.link.setReplyBound(std::chrono::milliseconds(300));
    QVERIFY(f.sim.instrument.setState(u"reply:calc:math:mmf?"_s, u"+2.000000E+00"_s));
    f.state.MATH_ITEM = 4;
    f.state.BLINK_DISP2 = true;
    QVERIFY(f.press(false));  // REF% to M
    QCOMPARE(f.state.MATH_ITEM, 1);
    const QString word = shown2(f.display), value = shown1(f.display), digits = f.state.EDIT_DIGITS;
    const QString blink = blinkOf(f.state), kept = f.state.MATH_M_VALUE;
    f.sim.written.clear();

    QVERIFY(!f.press(up));
    QCOMPARE(f.sim.written, QStringList{lost + u"\\10"_s});
    QCOMPARE(f.state.MATH_ITEM, 1);
    QCOMPARE(shown2(f.display), word);
    QCOMPARE(shown1(f.display), value);
    QCOMPARE(f.state.EDIT_DIGITS, digits);
    QCOMPARE(blinkOf(f.state), blink);
    QCOMPARE(f.state.MATH_M_VALUE, kept);
    QVERIFY(f.timers.IMG_Timer.isEnabled());
}

// From micro point 2 UP to mega point 3 and back: the digits stay and the
// value they stand for moves tenfold a press.
void TestMathEdits::pointRoundTrip()
{
    MathPanel f;
    f.state.MATH_ITEM = 1;
    f.state.EDIT_DIGITS = u"0123457"_s;
    f.state.BLINK_FIRST = f.state.BLINK_LAST = shell::kNoBlink;
    f.state.BLINK_DOT = 2;
    f.display.setLit(Lamp::T_u_LAB1, true);
    f.display.setLit(Points::DROP_IMG, 2, true);
    const auto value = [&f] {
        double scale = 1;
        for (const auto &[lamp, factor] : {std::pair{Lamp::T_u_LAB1, 1e-6}, std::pair{Lamp::T_min_LAB1, 1e-3},
                                           std::pair{Lamp::T_K_LAB1, 1e3}, std::pair{Lamp::T_M_LAB1, 1e6}})
            if (f.display.isLit(lamp))
                scale *= factor;
        return 123457 * std::pow(10.0, f.state.BLINK_DOT - 6) * scale;
    };

    QList<double> way = {value()};
    for (int i = 0; i < 13; ++i) {
        QVERIFY(f.press(true));
        QVERIFY2(qFuzzyCompare(value(), way.last() * 10), qPrintable(QString::number(i)));
        way << value();
    }
    QVERIFY(f.display.isLit(Lamp::T_M_LAB1));
    QCOMPARE(f.state.BLINK_DOT, 3);
    QVERIFY(f.press(true));  // mega point 3 is the top
    QCOMPARE(value(), way.last());
    for (qsizetype i = way.size() - 2; i >= 0; --i) {
        QVERIFY(f.press(false));
        QVERIFY2(qFuzzyCompare(value(), way[i]), qPrintable(QString::number(i)));
    }
    QVERIFY(f.display.isLit(Lamp::T_u_LAB1));
    QCOMPARE(f.state.BLINK_DOT, 2);
    QCOMPARE(f.state.EDIT_DIGITS, u"0123457"_s);
}

// Math on and no menu open: the keys step display 1's range and do nothing
// else, not even compare sent again.
void TestMathEdits::rangeWhileMathOn()
{
    MathPanel f;
    f.linkUp();
    f.state.MATH_SET = false;
    QVERIFY(setUp(f.panel, {u"MATH_ON"_s, u"COMP_ON"_s, u"DC_LAB1"_s, u"T_V_LAB1"_s, u"DROP_IMG(1)"_s}));
    f.state.MODE1_RANGE = u"10V"_s;

    QVERIFY(arrows::UP_IMG_ENTER(f.panel));
    QCOMPARE(f.sim.written, QStringList{u"conf:volt:dc 100\\10"_s});
    QCOMPARE(f.state.MODE1_RANGE, u"100V"_s);
    QVERIFY(f.state.MATH_ON);
}

QTEST_GUILESS_MAIN(TestMathEdits)
#include "tst_math_edits.moc"
