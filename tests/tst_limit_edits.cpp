// Editing a compare limit: a limit read from the instrument loaded into
// LIMIT_DIGITS by the point and prefix it is drawn with, and sent back as
// the same number; the arrow keys in the limits menu: switching limits in
// list mode (on and off line), stepping digits with their bounds and the
// signed drawing, walking the point across the prefixes and back.

#include "arrows/arrow_keys.h"
#include "arrows/limit_digits.h"
#include "keys/setup_menus.h"
#include "platform/runtime.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"

#include <QtTest>
#include <cmath>

using namespace Qt::StringLiterals;
using display::Lamp;
using display::Points;

class TestLimitEdits : public QObject
{
    Q_OBJECT

private slots:
    void load_data();
    void load();
    void listMode_data();
    void listMode();
    void listModeOffline_data();
    void listModeOffline();
    void digits_data();
    void digits();
    void pointWalk();
    void pointEnds_data();
    void pointEnds();
};

namespace {

const Lamp kPrefixLamps[] = {Lamp::T_u_LAB1, Lamp::T_min_LAB1, Lamp::T_K_LAB1, Lamp::T_M_LAB1};

// The lit prefix lamp of display 1 by name, "" for none.
QString litPrefix(const display::DisplayModel &d)
{
    QStringList lit;
    for (Lamp lamp : kPrefixLamps)
        if (d.isLit(lamp))
            lit << display::lampName(lamp).toString();
    return lit.join(u',');
}

void answer(PanelFixture &f, QStringView query, QStringView reply)
{
    QString why;
    QVERIFY2(f.sim.instrument.setState(u"reply:"_s + query.toString(), reply, &why), qPrintable(why));
}

// The limits menu open on the upper limit, nothing drawn yet.
struct LimitPanel : PanelFixture
{
    LimitPanel()
    {
        darken(display);
        state.COMP_SET = true;
        state.COMP_HIGH = true;
    }
    void digitMode(qint16 cursor)
    {
        state.BLINK_DISP2 = false;
        state.BLINK_FIRST = state.BLINK_LAST = cursor;
        state.BLINK_DOT = shell::kNoBlink;
    }
    void pointMode(qint16 point)
    {
        state.BLINK_DISP2 = false;
        state.BLINK_FIRST = state.BLINK_LAST = shell::kNoBlink;
        state.BLINK_DOT = point;
    }
    void prefix(QStringView name)
    {
        for (Lamp lamp : kPrefixLamps)
            display.setLit(lamp, display::lampName(lamp) == name);
    }
};

} // namespace

// The upper limit as the instrument answers it, opened, confirmed unchanged:
// the digits carry no point and the same number goes back.
void TestLimitEdits::load_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("point");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("sent");

    QTest::newRow("1.234567 V")   << u"+1.234567E+00"_s << 1 << QString()      << u"0123457"_s  << u"1.23457"_s;
    QTest::newRow("milli")        << u"+1.234567E-03"_s << 1 << u"T_min_LAB1"_s << u"0123457"_s  << u"0.00123457"_s;
    QTest::newRow("micro")        << u"+5.000000E-05"_s << 2 << u"T_u_LAB1"_s   << u"0500000"_s  << u"5E-05"_s;
    QTest::newRow("kilo")         << u"+1.500000E+03"_s << 1 << u"T_K_LAB1"_s   << u"0150000"_s  << u"1500"_s;
    QTest::newRow("mega")         << u"+2.500000E+06"_s << 1 << u"T_M_LAB1"_s   << u"0250000"_s  << u"2500000"_s;
    QTest::newRow("-1.5")         << u"-1.500000E+00"_s << 1 << QString()      << u"-0150000"_s << u"-1.5"_s;
    QTest::newRow("-0.25")        << u"-2.500000E-01"_s << 0 << QString()      << u"-0250000"_s << u"-0.25"_s;
    QTest::newRow("0: no point left in the digits") << u"+0.000000E+00"_s << 0 << QString() << u"0000000"_s << u"0"_s;
    QTest::newRow("overload: 0 at point 3") << u"+9.90000000E+37"_s << 3 << QString() << u"0000000"_s << u"0"_s;
}

void TestLimitEdits::load()
{
    QFETCH(QString, reply);
    QFETCH(int, point);
    QFETCH(QString, prefix);
    QFETCH(QString, digits);
    QFETCH(QString, sent);
    LimitPanel f;
    f.linkUp();
    answer(f, u"calc:lim:upp?", reply);
    answer(f, u"calc:lim:low?", u"+0.000000E+00");

    QVERIFY(keys::COMP_IMG_ENTER(f.panel));
    QCOMPARE(arrows::firstLitPoint1(f.panel), point);
    QCOMPARE(litPrefix(f.display), prefix);
    QCOMPARE(f.state.LIMIT_DIGITS, digits);

    QVERIFY(keys::COMPSET_AUTO_ENTER(f.panel));
    const QStringList expected = {u"calc:lim:upp?\\10"_s, u"calc:lim:upp %1\\10"_s.arg(sent),
                                  u"calc:lim:low?\\10"_s};
    QCOMPARE(f.sim.written, expected);
}

// Either key in list mode switches limits, asks for the other one, keeps the
// reply and loads it; two presses come back.
void TestLimitEdits::listMode_data()
{
    QTest::addColumn<bool>("up");
    QTest::newRow("UP") << true;
    QTest::newRow("DOWN") << false;
}

void TestLimitEdits::listMode()
{
    QFETCH(bool, up);
    LimitPanel f;
    f.linkUp();
    answer(f, u"calc:lim:upp?", u"+5.000000E+00");
    answer(f, u"calc:lim:low?", u"-2.000000E-03");
    f.state.BLINK_DISP2 = true;
    f.state.BLINK_FIRST = 1;
    f.state.BLINK_LAST = 4;
    f.state.BLINK_DOT = shell::kNoBlink;
    const auto press = [&] { return up ? arrows::UP_IMG_ENTER(f.panel) : arrows::DOWN_IMG_ENTER(f.panel); };

    QVERIFY(press());
    QVERIFY(!f.state.COMP_HIGH);
    QCOMPARE(shown2(f.display), u"_LOW__"_s);
    QCOMPARE(f.state.BLINK_LAST, 3);
    QCOMPARE(f.state.MATH_B_VALUE, u"-2.000000E-03\r"_s);
    QCOMPARE(shown1(f.display), u"[SUB]2.00000"_s);
    QCOMPARE(litPrefix(f.display), u"T_min_LAB1"_s);
    QCOMPARE(f.state.LIMIT_DIGITS, u"-0200000"_s);

    QVERIFY(press());
    QVERIFY(f.state.COMP_HIGH);
    QCOMPARE(shown2(f.display), u"_HIGH_"_s);
    QCOMPARE(f.state.BLINK_LAST, 4);
    QCOMPARE(f.state.MATH_M_VALUE, u"+5.000000E+00\r"_s);
    QCOMPARE(f.state.LIMIT_DIGITS, u"0500000"_s);
    QCOMPARE(f.sim.written, QStringList({u"calc:lim:low?\\10"_s, u"calc:lim:upp?\\10"_s}));
    // The blink stays on the name.
    QVERIFY(f.state.BLINK_DISP2);
    QCOMPARE(f.state.BLINK_FIRST, 1);
    QCOMPARE(f.state.BLINK_DOT, shell::kNoBlink);
}

// Off line nothing is asked and 0 is drawn. UP keeps the limit last read,
// so its digits are loaded from it; DOWN forgets it.
void TestLimitEdits::listModeOffline_data()
{
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("keptAfter");
    QTest::addColumn<QString>("digits");
    QTest::newRow("UP keeps the last lower limit") << true << u"-0.25"_s << u"-0250000"_s;
    QTest::newRow("DOWN forgets it") << false << QString() << u"0000000"_s;
}

void TestLimitEdits::listModeOffline()
{
    QFETCH(bool, up);
    QFETCH(QString, keptAfter);
    QFETCH(QString, digits);
    LimitPanel f;
    f.state.MATH_B_VALUE = u"-0.25"_s;
    f.state.BLINK_DISP2 = true;

    QVERIFY(up ? arrows::UP_IMG_ENTER(f.panel) : arrows::DOWN_IMG_ENTER(f.panel));
    QVERIFY(!f.state.COMP_HIGH);
    QCOMPARE(f.state.MATH_B_VALUE, keptAfter);
    QCOMPARE(shown1(f.display), u"0.000000"_s);
    QCOMPARE(f.state.LIMIT_DIGITS, digits);
    QVERIFY(f.sim.written.isEmpty());
}

// Digit mode: one unit of the digit under the cursor, the bounds, and the
// signed drawing of 0 and below. Point 1 stays lit throughout.
void TestLimitEdits::digits_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("shown");

    QTest::newRow("UP a middle digit")      << u"0123457"_s  << 2 << true  << u"0133457"_s  << u"01.33457"_s;
    QTest::newRow("DOWN carries")           << u"0100000"_s  << 6 << false << u"0099999"_s  << u"00.99999"_s;
    QTest::newRow("UP past the top")        << u"9500000"_s  << 0 << true  << u"9999999"_s  << u"99.99999"_s;
    QTest::newRow("UP at the top stays")    << u"9999999"_s  << 6 << true  << u"9999999"_s  << u"99.99999"_s;
    QTest::newRow("DOWN past the bottom")   << u"-1500000"_s << 0 << false << u"-1999999"_s << u"[SUB1]9.99999"_s;
    QTest::newRow("DOWN at the bottom")     << u"-1999999"_s << 6 << false << u"-1999999"_s << u"[SUB1]9.99999"_s;
    QTest::newRow("DOWN from 0 goes signed") << u"0000000"_s << 6 << false << u"-0000001"_s << u"[SUB]0.00001"_s;
    QTest::newRow("UP to exactly 0")        << u"-0000001"_s << 6 << true  << u"0000000"_s  << u"[SUB]0.00000"_s;
    QTest::newRow("UP from -1 million")     << u"-1000000"_s << 0 << true  << u"0000000"_s  << u"[SUB]0.00000"_s;
    QTest::newRow("DOWN below a million")   << u"-0500000"_s << 0 << false << u"-1500000"_s << u"[SUB1]5.00000"_s;
    QTest::newRow("no cursor: reformatted") << u"123"_s      << 10 << true << u"0000123"_s  << u"00.00123"_s;
}

void TestLimitEdits::digits()
{
    QFETCH(QString, before);
    QFETCH(int, cursor);
    QFETCH(bool, up);
    QFETCH(QString, after);
    QFETCH(QString, shown);
    LimitPanel f;
    f.digitMode(qint16(cursor));
    f.state.LIMIT_DIGITS = before;
    f.display.setLit(Points::DROP_IMG, 1, true);
    f.display.setLit(Lamp::T_min_LAB1, true);

    QVERIFY(up ? arrows::UP_IMG_ENTER(f.panel) : arrows::DOWN_IMG_ENTER(f.panel));
    QCOMPARE(f.state.LIMIT_DIGITS, after);
    QCOMPARE(shown1(f.display), shown);
    QCOMPARE(litPrefix(f.display), u"T_min_LAB1"_s);
    QCOMPARE(f.state.BLINK_LAST, cursor);
}

// Point mode from micro point 2 to mega point 2 and back: every press moves
// the value sent tenfold, the digits stay, one prefix lamp at most.
void TestLimitEdits::pointWalk()
{
    LimitPanel f;
    f.state.LIMIT_DIGITS = u"0123457"_s;
    f.display.setLit(Lamp::T_u_LAB1, true);
    f.display.setLit(Points::DROP_IMG, 2, true);
    f.pointMode(2);

    // What ENTER would send now, the blinking point lit as ENTER lights it.
    const auto sent = [&f] {
        f.display.setLit(Points::DROP_IMG, f.state.BLINK_DOT, true);
        return rt::toNumber(arrows::limitValueText(f.panel).value_or(QString())).value_or(-1);
    };
    const QStringList upWay = {u"T_min_LAB1 0"_s, u"T_min_LAB1 1"_s, u"T_min_LAB1 2"_s, u" 0"_s, u" 1"_s,
                               u" 2"_s, u" 3"_s, u"T_K_LAB1 1"_s, u"T_K_LAB1 2"_s, u"T_M_LAB1 0"_s,
                               u"T_M_LAB1 1"_s, u"T_M_LAB1 2"_s};
    double value = sent();
    QVERIFY(qFuzzyCompare(value, 12.3457e-6));
    for (const QString &step : upWay) {
        QVERIFY(arrows::UP_IMG_ENTER(f.panel));
        QCOMPARE(litPrefix(f.display) + u' ' + QString::number(f.state.BLINK_DOT), step);
        const double now = sent();
        QVERIFY2(qFuzzyCompare(now, value * 10), qPrintable(step));
        value = now;
    }
    QVERIFY(qFuzzyCompare(value, 12.3457e6));
    for (qsizetype i = upWay.size() - 2; i >= -1; --i) {
        QVERIFY(arrows::DOWN_IMG_ENTER(f.panel));
        const QString step = i >= 0 ? upWay[i] : u"T_u_LAB1 2"_s;
        QCOMPARE(litPrefix(f.display) + u' ' + QString::number(f.state.BLINK_DOT), step);
        const double now = sent();
        QVERIFY2(qFuzzyCompare(now * 10, value), qPrintable(step));
        value = now;
    }
    QCOMPARE(f.state.LIMIT_DIGITS, u"0123457"_s);
}

// The ends of the walk and the steps the tables leave out: the point does
// not move, and only where a step moves it does the old point go dark.
void TestLimitEdits::pointEnds_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("point");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("prefixAfter");
    QTest::addColumn<int>("pointAfter");
    QTest::addColumn<bool>("oldPointLit");

    QTest::newRow("UP at mega 2 stays")        << u"T_M_LAB1"_s   << 2 << true  << u"T_M_LAB1"_s   << 2 << true;
    QTest::newRow("UP kilo 0: no such step")   << u"T_K_LAB1"_s   << 0 << true  << u"T_K_LAB1"_s   << 0 << true;
    QTest::newRow("DOWN micro 4 to 2, lit")    << u"T_u_LAB1"_s   << 4 << false << u"T_u_LAB1"_s   << 2 << true;
    QTest::newRow("DOWN milli 0 to micro 2")   << u"T_min_LAB1"_s << 0 << false << u"T_u_LAB1"_s   << 2 << false;
    QTest::newRow("DOWN kilo 0 to base 4")     << u"T_K_LAB1"_s   << 0 << false << QString()       << 4 << false;
    QTest::newRow("DOWN base 5 to 4")          << QString()       << 5 << false << QString()       << 4 << false;
}

void TestLimitEdits::pointEnds()
{
    QFETCH(QString, prefix);
    QFETCH(int, point);
    QFETCH(bool, up);
    QFETCH(QString, prefixAfter);
    QFETCH(int, pointAfter);
    QFETCH(bool, oldPointLit);
    LimitPanel f;
    f.prefix(prefix);
    f.display.setLit(Points::DROP_IMG, point, true);
    f.pointMode(qint16(point));
    f.state.LIMIT_DIGITS = u"0123457"_s;

    QVERIFY(up ? arrows::UP_IMG_ENTER(f.panel) : arrows::DOWN_IMG_ENTER(f.panel));
    QCOMPARE(litPrefix(f.display), prefixAfter);
    QCOMPARE(f.state.BLINK_DOT, pointAfter);
    QCOMPARE(f.display.isLit(Points::DROP_IMG, point), oldPointLit);
    QCOMPARE(f.state.LIMIT_DIGITS, u"0123457"_s);
    QVERIFY(f.sim.written.isEmpty());
}

QTEST_GUILESS_MAIN(TestLimitEdits)
#include "tst_limit_edits.moc"
