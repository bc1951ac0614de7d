// The compare limits menu: opening it (on line, off line, a reply that is no
// number, a run paused), ENTER on the upper and the lower limit (what goes
// out, compare on, the readings judged against the limits sent), the text
// ENTER makes of the digits, HOLD and TRIG over the limit's name, its digits
// and its point; a limit's reply lost on the line never lets another
// limit's digits go out as it.

#include "core/link_gate.h"
#include "display/digit_blink.h"
#include "display/glyph_words.h"
#include "keys/hold_key.h"
#include "keys/key_dispatcher.h"
#include "keys/shift_key.h"
#include "keys/setup_menus.h"
#include "keys/trigger_key.h"
#include "platform/twips.h"
#include "reading/reply_parser.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/program_on_sim.h"
#include "support/reading_setup.h"
#include "windows/front_panel_window.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using display::Lamp;
using display::Points;
using display::Positions;

class TestCompareMenu : public QObject
{
    Q_OBJECT

private slots:
    void opening_data();
    void opening();
    void enterBothLimits();
    void enterText_data();
    void enterText();
    void cursor_data();
    void cursor();
    // Through the keys, on the simulated instrument.
    void confirmUnchanged_data();
    void confirmUnchanged();
    void verdictsOnTheSimulator();
    void digitEdited();
    void shiftLeaves();
    void lostReplyKeepsLimits_data();
    void lostReplyKeepsLimits();
    void lostLowerLimitOnRavelosim();
};

namespace {

void answer(PanelFixture &f, const QString &query, const QString &reply)
{
    QString why;
    QVERIFY2(f.sim.instrument.setState(u"reply:"_s + query, reply, &why), qPrintable(why));
}

QString blinkOf(const shell::PanelState &s)
{
    return u"%1,%2,%3,%4"_s.arg(s.BLINK_FIRST).arg(s.BLINK_LAST).arg(s.BLINK_DOT).arg(s.BLINK_DISP2 ? "2" : "1");
}

// A panel measuring DC volts with something on display 2 and lamps that
// the menu puts out.
struct ComparePanel : PanelFixture
{
    explicit ComparePanel(sim::Faults faults = {})
        : PanelFixture(faults)
    {
        darken(display);
        state.MODE1 = u"DCV"_s;
        state.MODE1_RANGE = u"10V"_s;
        set({u"DC_LAB1"_s, u"T_V_LAB1"_s, u"SHIFT_LAB"_s, u"T_dB_LAB"_s, u"MATH_LAB"_s, u"T_V_LAB2"_s});
        display::DIS2_SHOW_RANGE(display, u"1", u"2", u"3", u"4", u"5", u"6");
    }
    void set(const QStringList &names)
    {
        QString unknown;
        QVERIFY2(setUp(panel, names, &unknown), qPrintable(unknown));
    }
};

// An identified panel measuring DC volts on the simulator, a run's timers
// going; keys are pressed as the mouse presses them.
struct KeyPanel : ComparePanel
{
    enum Key { AUTO = 8, UP = 9, DOWN = 10, HOLD = 11 };

    explicit KeyPanel(const QString &simState, sim::Faults faults = {})
        : ComparePanel(faults)
    {
        linkUp();
        controls.CHK_COM_TF.enabled = false;
        QString why;
        QVERIFY2(sim.instrument.setStates(simState, &why), qPrintable(why));
        timers.READ_Timer.setEnabled(true);
        timers.STOP_Timer.setEnabled(true);
        display.setLit(Lamp::SHIFT_LAB, false);
    }
    void press(int key)
    {
        keys::BUTT1_IMG_MouseDown(panel, key);
        keys::BUTT1_IMG_MouseUp(panel, key);
    }
    void shiftHold()
    {
        keys::SHIFT_IMG_MouseDown(panel);
        keys::SHIFT_IMG_MouseUp(panel);
        press(HOLD);
    }
    void openMenu()
    {
        shiftHold();
        QVERIFY(state.COMP_SET);
    }
    QByteArray held(const char *limit) { return sim.instrument.field(limit).value_or("none"); }
    QStringList sentLimits() const
    {
        QStringList sent;
        for (const QString &command : sim.wire())
            if (command.startsWith(u"calc:lim:") && !command.contains(u'?'))
                sent << command;
        return sent;
    }
};

} // namespace

// Opening shows HIGH blinking on display 2 and the upper limit on display 1.
void TestCompareMenu::opening_data()
{
    QTest::addColumn<QString>("link");     // "up" or "down"
    QTest::addColumn<QString>("reply");    // the instrument's answer, "" for none
    QTest::addColumn<bool>("running");     // READ_Timer enabled
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("kept");     // MATH_M_VALUE

    QTest::newRow("on line") << u"up"_s << u"+2.500000E+00"_s << false << true << u"02.50000"_s << u"0250000"_s
                             << u"+2.500000E+00\r"_s;
    QTest::newRow("a run is paused") << u"up"_s << u"+2.500000E+00"_s << true << true << u"02.50000"_s
                                     << u"0250000"_s << u"+2.500000E+00\r"_s;
    QTest::newRow("off line: 0") << u"down"_s << QString() << false << true << u"0.000000"_s << u"0000000"_s
                                 << QString();
    QTest::newRow("not a number: zeros at point 3") << u"up"_s << u"ERR"_s << false << true << u"_000.000"_s
                                                    << u"0000000"_s << u"ERR\r"_s;
}

void TestCompareMenu::opening()
{
    QFETCH(QString, link);
    QFETCH(QString, reply);
    QFETCH(bool, running);
    QFETCH(bool, ok);
    QFETCH(QString, shown);
    QFETCH(QString, digits);
    QFETCH(QString, kept);
    ComparePanel f;
    if (link == u"up") {
        f.linkUp();
        answer(f, u"calc:lim:upp?"_s, reply);
    }
    f.state.REMOTE_OK = link != u"down";
    f.timers.READ_Timer.setEnabled(running);
    f.timers.STOP_Timer.setEnabled(running);

    QCOMPARE(keys::COMP_IMG_ENTER(f.panel), ok);
    QVERIFY(f.state.COMP_SET);
    QVERIFY(f.state.COMP_HIGH);
    QCOMPARE(shown2(f.display), u"_HIGH_"_s);
    QCOMPARE(blinkOf(f.state), u"1,4,10,2"_s);
    QVERIFY(f.timers.IMG_Timer.isEnabled());
    QCOMPARE(shown1(f.display), shown);
    QCOMPARE(f.state.LIMIT_DIGITS, digits);
    QCOMPARE(f.state.MATH_M_VALUE, kept);
    for (Lamp lamp : {Lamp::SHIFT_LAB, Lamp::T_dB_LAB, Lamp::MATH_LAB, Lamp::T_V_LAB2})
        QVERIFY2(!f.display.isLit(lamp), qPrintable(display::lampName(lamp).toString()));
    QVERIFY(!f.timers.READ_Timer.isEnabled());
    QVERIFY(!f.timers.STOP_Timer.isEnabled());
    QCOMPARE(f.state.READ_PAUSED, running);
    if (link == u"up")
        QCOMPARE(f.sim.written, QStringList{u"calc:lim:upp?\\10"_s});
}

// The upper limit read as 9 and edited to 5, the lower read as 0 and edited
// to 1: the limits sent are the ones each reading is judged against.
void TestCompareMenu::enterBothLimits()
{
    ComparePanel f;
    f.linkUp();
    answer(f, u"calc:lim:upp?"_s, u"+9.000000E+00"_s);
    answer(f, u"calc:lim:low?"_s, u"+0.000000E+00"_s);
    f.set({u"REL_ON"_s, u"HOLD_ON"_s, u"MXMN_ON"_s, u"MATH_ON"_s});
    f.timers.READ_Timer.setEnabled(true);
    f.timers.STOP_Timer.setEnabled(true);
    QVERIFY(keys::COMP_IMG_ENTER(f.panel));
    QCOMPARE(f.state.LIMIT_DIGITS, u"0900000"_s);  // point 1
    f.state.LIMIT_DIGITS = u"0500000"_s;
    f.sim.written.clear();

    QVERIFY(keys::COMPSET_AUTO_ENTER(f.panel));
    QCOMPARE(f.sim.written, QStringList({u"calc:lim:upp 5\\10"_s, u"calc:lim:low?\\10"_s}));
    QCOMPARE(f.state.MATH_M_VALUE, u"5"_s);
    QVERIFY(f.state.COMP_SET);
    QVERIFY(!f.state.COMP_HIGH);
    QCOMPARE(shown2(f.display), u"_LOW__"_s);
    QCOMPARE(blinkOf(f.state), u"1,3,10,2"_s);
    QCOMPARE(f.state.LIMIT_DIGITS, u"0000000"_s);  // point 0
    f.state.LIMIT_DIGITS = u"1000000"_s;
    f.sim.written.clear();

    QVERIFY(keys::COMPSET_AUTO_ENTER(f.panel));
    QCOMPARE(f.sim.written, QStringList({u"calc:lim:low 1\\10"_s, u"calc:func comp\\10"_s}));
    QCOMPARE(f.state.MATH_B_VALUE, u"1"_s);
    QVERIFY(!f.state.COMP_SET);
    QVERIFY(f.state.COMP_ON);
    QVERIFY(!f.state.REL_ON && !f.state.HOLD_ON && !f.state.MXMN_ON && !f.state.MATH_ON);
    QVERIFY(f.display.isLit(Lamp::COMP_LAB));
    QCOMPARE(f.state.MODE2, u"COMP"_s);
    QCOMPARE(shown1(f.display), u"0.000000"_s);
    QCOMPARE(shown2(f.display), u"PASS__"_s);
    QVERIFY(!f.timers.IMG_Timer.isEnabled());
    QVERIFY(f.timers.READ_Timer.isEnabled());
    QVERIFY(f.timers.STOP_Timer.isEnabled());
    QVERIFY(!f.state.READ_PAUSED);

    const QStringList readings = {u"+5.000000E-01"_s, u"+1.000000E+00"_s, u"+5.000000E+00"_s, u"+5.000100E+00"_s};
    const QStringList verdicts = {u"LOW"_s, u"PASS"_s, u"PASS"_s, u"HIGH"_s};
    for (qsizetype i = 0; i < readings.size(); ++i) {
        f.state.DISPLAY1 = readings[i] + u",+0.000000E+00\r"_s;
        reading::READ_SHOW_PARSE(f.panel);
        QCOMPARE(f.state.DISPLAY2, verdicts[i]);
    }
}

// The number ENTER makes of the digits, the first lit point (a blinking
// point lit first) and the prefix; the lower limit is sent.
void TestCompareMenu::enterText_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QStringList>("lit");
    QTest::addColumn<int>("blinkingDot");  // dark now, lit by ENTER; 10: none
    QTest::addColumn<QString>("sent");     // "" when nothing goes out

    QTest::newRow("point 1")                  << u"0123457"_s  << QStringList{u"DROP_IMG(1)"_s} << 10 << u"1.23457"_s;
    QTest::newRow("blinking point, dark now") << u"0123457"_s  << QStringList()                 << 2  << u"12.3457"_s;
    QTest::newRow("no point lit")             << u"0123457"_s  << QStringList()                 << 10 << u"12345.7"_s;
    QTest::newRow("negative, milli")          << u"-0150000"_s << QStringList{u"DROP_IMG(1)"_s, u"T_min_LAB1"_s} << 10
                                              << u"-0.0015"_s;
    QTest::newRow("micro")                    << u"0123457"_s  << QStringList{u"DROP_IMG(2)"_s, u"T_u_LAB1"_s} << 10
                                              << u"1.23457E-05"_s;
    QTest::newRow("mega")                     << u"1200000"_s  << QStringList{u"DROP_IMG(0)"_s, u"T_M_LAB1"_s} << 10
                                              << u"1200000"_s;
    QTest::newRow("digits no number: nothing") << u""_s        << QStringList{u"DROP_IMG(1)"_s} << 10 << QString();
}

void TestCompareMenu::enterText()
{
    QFETCH(QString, digits);
    QFETCH(QStringList, lit);
    QFETCH(int, blinkingDot);
    QFETCH(QString, sent);
    ComparePanel f;
    f.linkUp();
    f.set(lit + QStringList{u"COMP_SET"_s});
    f.state.COMP_HIGH = false;
    f.state.LIMIT_DIGITS = digits;
    f.state.BLINK_DOT = qint16(blinkingDot);

    QVERIFY(keys::COMPSET_AUTO_ENTER(f.panel));
    if (sent.isEmpty()) {
        QVERIFY(f.sim.written.isEmpty());
        QVERIFY(f.state.COMP_SET);
        QVERIFY(f.status.text().contains(u"not a number"_s));
        return;
    }
    QCOMPARE(f.sim.written, QStringList({u"calc:lim:low %1\\10"_s.arg(sent), u"calc:func comp\\10"_s}));
    if (blinkingDot != 10)
        QVERIFY(f.display.isLit(Points::DROP_IMG, blinkingDot));
}

// HOLD and TRIG: the cursor as first,last,dot,display before and after; the
// place the cursor leaves comes back lit whatever phase the blink was in.
void TestCompareMenu::cursor_data()
{
    QTest::addColumn<bool>("hold");
    QTest::addColumn<bool>("high");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    QTest::newRow("HOLD name HIGH to the point") << true  << true  << u"1,4,10,2"_s << u"10,10,1,1"_s;
    QTest::newRow("HOLD name LOW to the point")  << true  << false << u"1,3,10,2"_s << u"10,10,1,1"_s;
    QTest::newRow("HOLD point to digit 6")       << true  << true  << u"10,10,1,1"_s << u"6,6,10,1"_s;
    QTest::newRow("HOLD digit 3 to 2")           << true  << true  << u"3,3,10,1"_s << u"2,2,10,1"_s;
    QTest::newRow("HOLD digit 0 to HIGH")        << true  << true  << u"0,0,10,1"_s << u"1,4,10,2"_s;
    QTest::newRow("HOLD digit 0 to LOW")         << true  << false << u"0,0,10,1"_s << u"1,3,10,2"_s;
    QTest::newRow("HOLD elsewhere: nothing")     << true  << true  << u"0,6,10,1"_s << u"0,6,10,1"_s;
    QTest::newRow("TRIG name to digit 0")        << false << true  << u"1,4,10,2"_s << u"0,0,10,1"_s;
    QTest::newRow("TRIG digit 5 to 6")           << false << true  << u"5,5,10,1"_s << u"6,6,10,1"_s;
    QTest::newRow("TRIG digit 6 to the point")   << false << false << u"6,6,10,1"_s << u"10,10,1,1"_s;
    QTest::newRow("TRIG point to HIGH")          << false << true  << u"10,10,1,1"_s << u"1,4,10,2"_s;
    QTest::newRow("TRIG point to LOW")           << false << false << u"10,10,1,1"_s << u"1,3,10,2"_s;
}

void TestCompareMenu::cursor()
{
    QFETCH(bool, hold);
    QFETCH(bool, high);
    QFETCH(QString, before);
    QFETCH(QString, after);
    ComparePanel f;
    shell::PanelState &s = f.state;
    s.COMP_SET = true;
    s.COMP_HIGH = high;
    display::DIS1_SHOW_RANGE(f.display, u"0", u"1", u"2", u"3", u"4", u"5", u"7");
    f.display.setLit(Points::DROP_IMG, 1, true);
    display::spell(f.display, high ? display::Word{u"", u"H", u"I", u"G", u"H", u""}
                                   : display::Word{u"", u"L", u"O", u"W", u"", u""});
    const QString word = shown2(f.display);
    const QStringList b = before.split(u',');
    s.BLINK_FIRST = qint16(b[0].toInt());
    s.BLINK_LAST = qint16(b[1].toInt());
    s.BLINK_DOT = qint16(b[2].toInt());
    s.BLINK_DISP2 = b[3] == u"2";
    // The dark phase of the blink.
    display::GLIS_RANGE(f.display, s.BLINK_FIRST, s.BLINK_LAST, s.BLINK_DOT, s.BLINK_DISP2);
    const QString darkOne = shown1(f.display), darkTwo = shown2(f.display);

    QVERIFY(hold ? keys::HOLD_IMG_ENTER(f.panel) : keys::TRIG_IMG_ENTER(f.panel));
    QCOMPARE(blinkOf(s), after);
    if (before == after) {
        QCOMPARE(shown1(f.display), darkOne);
        QCOMPARE(shown2(f.display), darkTwo);
    } else {
        QCOMPARE(shown1(f.display), u"01.23457"_s);
        QCOMPARE(shown2(f.display), word);
    }
    QVERIFY(f.sim.written.isEmpty());
}

// SHIFT + HOLD, then AUTO twice with nothing edited: the instrument keeps
// the limits it had, whatever their scale and sign.
void TestCompareMenu::confirmUnchanged_data()
{
    QTest::addColumn<QString>("limits");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QByteArray>("upper");
    QTest::addColumn<QByteArray>("lower");

    QTest::newRow("5 and 1") << u"limupp=5,limlow=1"_s
        << QStringList{u"calc:lim:upp 5"_s, u"calc:lim:low 1"_s} << QByteArray("+5.000000E+00")
        << QByteArray("+1.000000E+00");
    QTest::newRow("0 and -1.5") << u"limupp=0,limlow=-1.5"_s
        << QStringList{u"calc:lim:upp 0"_s, u"calc:lim:low -1.5"_s} << QByteArray("+0.000000E+00")
        << QByteArray("-1.500000E+00");
    QTest::newRow("milli and micro") << u"limupp=2.5E-3,limlow=-2E-5"_s
        << QStringList{u"calc:lim:upp 0.0025"_s, u"calc:lim:low -2E-05"_s} << QByteArray("+2.500000E-03")
        << QByteArray("-2.000000E-05");
    QTest::newRow("kilo") << u"limupp=1500,limlow=-150"_s
        << QStringList{u"calc:lim:upp 1500"_s, u"calc:lim:low -150"_s} << QByteArray("+1.500000E+03")
        << QByteArray("-1.500000E+02");
}

void TestCompareMenu::confirmUnchanged()
{
    QFETCH(QString, limits);
    QFETCH(QStringList, sent);
    QFETCH(QByteArray, upper);
    QFETCH(QByteArray, lower);
    KeyPanel f(limits);
    f.openMenu();
    f.press(KeyPanel::AUTO);
    QVERIFY(!f.state.COMP_HIGH);
    f.press(KeyPanel::AUTO);

    QCOMPARE(f.sentLimits(), sent);
    QCOMPARE(f.held("limupp"), upper);
    QCOMPARE(f.held("limlow"), lower);
    QVERIFY(f.state.COMP_ON);
    QVERIFY(!f.state.COMP_SET);
    QVERIFY(f.sim.wire().contains(u"calc:func comp"_s));
    QVERIFY(f.timers.READ_Timer.isEnabled());
}

// Limits 1 and 5 confirmed on the keys: each reading is judged against them.
void TestCompareMenu::verdictsOnTheSimulator()
{
    KeyPanel f(u"limupp=5,limlow=1"_s);
    f.openMenu();
    f.press(KeyPanel::AUTO);
    f.press(KeyPanel::AUTO);
    QVERIFY(f.state.COMP_ON);
    f.state.READ_OK = true;

    const QStringList readings = {u"0.5"_s, u"5"_s, u"5.0001"_s};
    const QStringList verdicts = {u"LOW"_s, u"PASS"_s, u"HIGH"_s};
    for (qsizetype i = 0; i < readings.size(); ++i) {
        QVERIFY(f.sim.instrument.setState(u"display1", readings[i]));
        QVERIFY(reading::TRIG_READ_SHOW(f.panel));
        QCOMPARE(f.state.DISPLAY2, verdicts[i]);
        QCOMPARE(shown2(f.display), verdicts[i].leftJustified(6, u'_'));
    }
}

// HOLD twice puts the cursor on the last digit; UP raises it; ENTER twice.
void TestCompareMenu::digitEdited()
{
    KeyPanel f(u"limupp=5,limlow=1"_s);
    f.openMenu();
    f.press(KeyPanel::HOLD);
    f.press(KeyPanel::HOLD);
    QCOMPARE(blinkOf(f.state), u"6,6,10,1"_s);
    f.press(KeyPanel::UP);
    QCOMPARE(f.state.LIMIT_DIGITS, u"0500001"_s);
    QCOMPARE(shown1(f.display), u"05.00001"_s);
    f.press(KeyPanel::AUTO);
    f.press(KeyPanel::AUTO);

    QCOMPARE(f.sentLimits(), QStringList({u"calc:lim:upp 5.00001"_s, u"calc:lim:low 1"_s}));
    QCOMPARE(f.held("limupp"), QByteArray("+5.000010E+00"));
    QCOMPARE(f.held("limlow"), QByteArray("+1.000000E+00"));
}

// SHIFT leaves the menu without sending anything; the run goes on.
void TestCompareMenu::shiftLeaves()
{
    KeyPanel f(u"limupp=5,limlow=1"_s);
    f.openMenu();
    QVERIFY(!f.timers.READ_Timer.isEnabled());
    f.press(KeyPanel::UP);  // on to LOW, asked only
    f.sim.written.clear();

    keys::SHIFT_IMG_MouseDown(f.panel);
    QVERIFY(!f.state.COMP_SET);
    QVERIFY(!f.state.COMP_ON);
    QVERIFY(f.sentLimits().isEmpty());
    QVERIFY(f.sim.written.isEmpty());
    QVERIFY(!f.timers.IMG_Timer.isEnabled());
    QVERIFY(f.timers.READ_Timer.isEnabled());
    QVERIFY(f.timers.STOP_Timer.isEnabled());
    QVERIFY(!f.state.READ_PAUSED);
    QCOMPARE(f.held("limupp"), QByteArray("+5.000000E+00"));
}

// The instrument holds limits 5 and 1 and one limit's reply is lost on the
// line (cut short, no terminator). The menu never moves to a limit it could
// not read: ENTER sends only the upper limit's own digits as the upper limit,
// the lower limit and compare are never sent, and one status line names the
// query. Without the upper limit the menu does not open and the run goes on.
void TestCompareMenu::lostReplyKeepsLimits_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QList<int>>("presses");  // after SHIFT + HOLD
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<bool>("menuOpen");
    QTest::addColumn<QString>("line");        // the start of the last status line

    QTest::newRow("upper limit lost at opening: not opened") << u"cut-query=calc:lim:upp?"_s << QList<int>()
        << QStringList() << false << u"HOLD key: \"calc:lim:upp?\" failed"_s;
    QTest::newRow("lower limit lost on ENTER: HIGH stays") << u"cut-query=calc:lim:low?"_s
        << QList<int>{KeyPanel::AUTO, KeyPanel::AUTO}
        << QStringList{u"calc:lim:upp 5"_s, u"calc:lim:upp 5"_s} << true
        << u"AUTO key: \"calc:lim:low?\" failed"_s;
    QTest::newRow("lower limit lost on UP, then ENTER") << u"cut-query=CALC:LIM:LOW?"_s
        << QList<int>{KeyPanel::UP, KeyPanel::AUTO} << QStringList{u"calc:lim:upp 5"_s} << true
        << u"AUTO key: \"calc:lim:low?\" failed"_s;
    QTest::newRow("lower limit lost on DOWN, then a digit and ENTER") << u"cut-query=calc:lim:low?"_s
        << QList<int>{KeyPanel::DOWN, KeyPanel::HOLD, KeyPanel::HOLD, KeyPanel::UP, KeyPanel::AUTO}
        << QStringList{u"calc:lim:upp 5.00001"_s} << true << u"AUTO key: \"calc:lim:low?\" failed"_s;
}

void TestCompareMenu::lostReplyKeepsLimits()
{
    QFETCH(QString, fault);
    QFETCH(QList<int>, presses);
    QFETCH(QStringList, sent);
    QFETCH(bool, menuOpen);
    QFETCH(QString, line);
    QString why;
    const std::optional<sim::Faults> faults = sim::parseFaults(fault, &why);
    QVERIFY2(faults, qPrintable(why));
    KeyPanel f(u"limupp=5,limlow=1"_s, *faults);
    f.sim.link.setReplyBound(std::chrono::milliseconds(300));

    f.shiftHold();
    for (int key : presses)
        f.press(key);

    QCOMPARE(f.sentLimits(), sent);
    QVERIFY(!f.sim.wire().contains(u"calc:func comp"_s));
    QCOMPARE(f.held("limupp"), QByteArray(sent.isEmpty() || sent.constLast().endsWith(u" 5") ? "+5.000000E+00"
                                                                                           : "+5.000010E+00"));
    QCOMPARE(f.held("limlow"), QByteArray("+1.000000E+00"));
    QVERIFY(!f.state.COMP_ON);
    QVERIFY(!f.display.isLit(Lamp::COMP_LAB));
    QCOMPARE(f.state.COMP_SET, menuOpen);
    QVERIFY2(f.status.lines().constLast().startsWith(line), qPrintable(f.status.text()));
    if (!menuOpen) {
        QVERIFY(f.timers.READ_Timer.isEnabled());
        QVERIFY(f.timers.STOP_Timer.isEnabled());
        QVERIFY(!f.state.READ_PAUSED);
        QVERIFY(!f.timers.IMG_Timer.isEnabled());
        return;
    }
    // Still on HIGH, its name blinking, with the digits that went out as it.
    QVERIFY(f.state.COMP_HIGH);
    QCOMPARE(shown2(f.display), u"_HIGH_"_s);
    QCOMPARE(blinkOf(f.state), u"1,4,10,2"_s);
    QCOMPARE(f.state.LIMIT_DIGITS, sent.constLast().endsWith(u" 5") ? u"0500000"_s : u"0500001"_s);
    QVERIFY(!f.timers.READ_Timer.isEnabled());
}

// The whole program on ravelo-sim, whose replies to "calc:lim:low?" are cut:
// SHIFT, HOLD and AUTO twice clicked on the panel. The upper limit goes out
// as it was read, each time; the lower limit and compare never do.
void TestCompareMenu::lostLowerLimitOnRavelosim()
{
    QTemporaryDir logFolder;
    const QString log = logFolder.filePath(u"sim.log"_s);
    ProgramOnSim program({u"--state"_s, u"limupp=5,limlow=1"_s, u"--fault"_s, u"cut-query=calc:lim:low?"_s,
                          u"--log"_s, log},
                         u"0.02"_s, u"200"_s);
    QVERIFY2(program.ready(), qPrintable(program.sim.errors()));
    std::unique_ptr<shell::MDImain> &window = program.start();
    window->show();
    Panel &panel = window->panel();
    QTRY_VERIFY_WITH_TIMEOUT(panel.state.REMOTE_OK, 5000);
    program.link.setReplyBound(std::chrono::milliseconds(300));
    shell::SHOW_Form *show = window->showForm();
    const auto click = [show](const QRect &twips) {
        QTest::mouseClick(show, Qt::LeftButton, {},
                          rt::twipsRect(twips.x(), twips.y(), twips.width(), twips.height()).center());
    };

    click(shell::SHOW_Form::shiftKeyRect());
    click(shell::SHOW_Form::keyRect(KeyPanel::HOLD));
    QVERIFY(panel.state.COMP_SET);
    click(shell::SHOW_Form::keyRect(KeyPanel::AUTO));
    click(shell::SHOW_Form::keyRect(KeyPanel::AUTO));

    QVERIFY(panel.state.COMP_SET);
    QVERIFY(panel.state.COMP_HIGH);
    QVERIFY(!panel.state.COMP_ON);
    QCOMPARE(shell::ask(panel, u"calc:lim:upp?\\10"_s).value_or(QString()), u"+5.000000E+00\r"_s);
    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList limits;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (line.startsWith("calc:lim:") || line.startsWith("calc:func"))
            limits << QString::fromLatin1(line);
    QCOMPARE(limits, QStringList({u"calc:lim:upp?"_s, u"calc:lim:upp 5"_s, u"calc:lim:low?"_s,
                                  u"calc:lim:upp 5"_s, u"calc:lim:low?"_s, u"calc:lim:upp?"_s}));
}

QTEST_MAIN(TestCompareMenu)
#include "tst_compare_menu.moc"
