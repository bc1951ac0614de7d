// The filter set-up (SHIFT + MXMN): opening it with the instrument's count
// held within 2 to 100, the FILTER key turning the filter off, the reading
// paused and resumed on each way out, ENTER's commands in order, and HOLD
// and TRIG moving the cursor between the type word and the count digits;
// then the whole set-up through the keys on the simulated instrument.

#include "display/digit_blink.h"
#include "keys/key_dispatcher.h"
#include "keys/menu_cursor.h"
#include "keys/setup_menus.h"
#include "keys/shift_key.h"
#include "platform/panel_timer.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using display::Lamp;
using display::Points;
using display::Positions;

namespace {

constexpr int kAUTO = 8;
constexpr int kUP = 9;
constexpr int kDOWN = 10;
constexpr int kHOLD = 11;
constexpr int kTRIG = 12;
constexpr int kMXMN = 14;

const QString kCountQuery = u"sens:aver:coun?\\10"_s;

// A panel measuring DC volts on auto range: every position shows an 8 and
// every point is lit, so what the set-up leaves dark shows. The timers keep
// no time of their own.
struct FilterPanel : PanelFixture
{
    FilterPanel()
    {
        darken(display);
        for (int i = 0; i < display::kDisplay1Positions; ++i)
            display.draw(Positions::DIS1_IMG, i, u"8");
        for (int i = 0; i < display::kDisplay2Positions; ++i)
            display.draw(Positions::DIS2_IMG, i, u"8");
        for (int i = 0; i < 6; ++i) {
            display.setLit(Points::DROP_IMG, i, true);
            display.setLit(Points::DROP_IMG2, i, true);
        }
        for (Lamp lamp : {Lamp::DC_LAB1, Lamp::AUTO_LAB1, Lamp::T_V_LAB1, Lamp::MAX_LAB, Lamp::M_LAB})
            display.setLit(lamp, true);
        state.MODE1 = u"DCV"_s;
        state.MODE1_RANGE = u"AUTO"_s;
        controls.CHK_COM_TF.enabled = false;  // an identification succeeded
        timers.IMG_Timer.setInterval(300);
    }

    // A run's timers going, as START leaves them.
    void runGoing()
    {
        timers.READ_Timer.setInterval(1000);
        timers.READ_Timer.setEnabled(true);
        timers.STOP_Timer.setEnabled(true);
    }
    bool reading() const { return timers.READ_Timer.isEnabled() && timers.STOP_Timer.isEnabled(); }

    // The link up, but the port gone: every exchange fails.
    void portGone() { state.REMOTE_OK = true; }

    void press(int key)
    {
        keys::BUTT1_IMG_MouseDown(panel, key);
        keys::BUTT1_IMG_MouseUp(panel, key);
    }
    void shiftPress(int key)
    {
        keys::SHIFT_IMG_MouseDown(panel);
        keys::SHIFT_IMG_MouseUp(panel);
        press(key);
    }

    rt::ManualTimerClock clock;
};

} // namespace

class TestFilterMenu : public QObject
{
    Q_OBJECT

private slots:
    void opening_data();
    void opening();
    void readingPause_data();
    void readingPause();
    void enter_data();
    void enter();
    void cursor_data();
    void cursor();

    // Through the keys, on the simulated instrument.
    void setUpThroughTheKeys();
    void shiftLeavesWithoutSending();
};

// The count as the instrument gives it, held within 2 to 100; no number
// counts as 2. The set-up always opens in type mode on MOV.
void TestFilterMenu::opening_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("reply");  // to the count query
    QTest::addColumn<QString>("digits");

    QTest::newRow("count 10") << true << u"10"_s << u"010"_s;
    QTest::newRow("exponent form") << true << u"+5.00000E+00"_s << u"005"_s;
    QTest::newRow("100 kept") << true << u"100"_s << u"100"_s;
    QTest::newRow("above 100 held at 100") << true << u"250"_s << u"100"_s;
    QTest::newRow("below 2 held at 2") << true << u"1"_s << u"002"_s;
    QTest::newRow("no number counts as 2") << true << u"abc"_s << u"002"_s;
    QTest::newRow("blank reply counts as 2") << true << u" "_s << u"002"_s;
    QTest::newRow("offline counts as 2") << false << QString() << u"002"_s;
}

void TestFilterMenu::opening()
{
    QFETCH(bool, link);
    QFETCH(QString, reply);
    QFETCH(QString, digits);
    FilterPanel f;
    if (link) {
        f.linkUp();
        QVERIFY(f.sim.instrument.setStates(u"reply:sens:aver:coun?="_s + reply));
    }

    QVERIFY(keys::FILT_IMG_ENTER(f.panel));

    QCOMPARE(f.sim.written, link ? QStringList{kCountQuery} : QStringList{});
    QCOMPARE(f.state.LIMIT_DIGITS, digits);
    QVERIFY(f.state.FILT_SET);
    QVERIFY(f.state.FILT_MOVING);
    QCOMPARE(shown1(f.display), u"CNT.*_"_s + digits);
    QCOMPARE(shown2(f.display), u"_MOV__"_s);
    // Both displays blanked with their lamps; the rate lamp stays.
    QCOMPARE(litLamps(f.display), lampSet({u"M_LAB"_s}));
    QVERIFY(f.state.BLINK_DISP2);
    QCOMPARE(f.state.BLINK_FIRST, 1);
    QCOMPARE(f.state.BLINK_LAST, 3);
    QCOMPARE(f.state.BLINK_DOT, shell::kNoBlink);
    QVERIFY(f.timers.IMG_Timer.isEnabled());
}

// The key pauses a going run. An open set-up keeps it paused; every other
// way out resumes it, a failed exchange too.
void TestFilterMenu::readingPause_data()
{
    QTest::addColumn<bool>("filterOn");
    QTest::addColumn<bool>("run");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<bool>("menuOpen");
    QTest::addColumn<bool>("readingAfter");

    const QStringList off = {u"sens:aver:stat 0\\10"_s};
    QTest::newRow("open with a run: paused while open") << false << true << false << QStringList{kCountQuery}
                                                       << true << false;
    QTest::newRow("open, no run") << false << false << false << QStringList{kCountQuery} << true << false;
    QTest::newRow("open, count query fails: reading goes on") << false << true << true
                                                              << QStringList{kCountQuery} << false << true;
    QTest::newRow("off with a run: resumed") << true << true << false << off << false << true;
    QTest::newRow("off, no run: nothing started") << true << false << false << off << false << false;
    QTest::newRow("off, write fails: resumed all the same") << true << true << true << off << false << true;
}

void TestFilterMenu::readingPause()
{
    QFETCH(bool, filterOn);
    QFETCH(bool, run);
    QFETCH(bool, fails);
    QFETCH(QStringList, written);
    QFETCH(bool, menuOpen);
    QFETCH(bool, readingAfter);
    FilterPanel f;
    if (fails) {
        f.portGone();
    } else {
        f.linkUp();
        QVERIFY(f.sim.instrument.setStates(u"reply:sens:aver:coun?=20"_s));
    }
    if (run)
        f.runGoing();
    f.display.setLit(Lamp::FILT_LAB, filterOn);
    const QString before1 = shown1(f.display);

    QCOMPARE(keys::FILT_IMG_ENTER(f.panel), !fails);

    QCOMPARE(f.sim.written, written);
    QCOMPARE(f.state.FILT_SET, menuOpen);
    QCOMPARE(f.reading(), readingAfter);
    QCOMPARE(f.state.READ_PAUSED, menuOpen && run);
    QVERIFY(!f.display.isLit(Lamp::FILT_LAB));
    if (!menuOpen)  // the filter is only switched off, or nothing was drawn
        QCOMPARE(shown1(f.display), before1);
}

// ENTER sends type, count (without leading zeros), filter on; the set-up
// closes and a paused run goes on, also when a command fails.
void TestFilterMenu::enter_data()
{
    QTest::addColumn<bool>("moving");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("link");  // "up", "down" or "gone"
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<bool>("lampAfter");

    QTest::newRow("moving, 010 goes out as 10") << true << u"010"_s << u"up"_s
        << QStringList{u"sens:aver:tcon mov\\10"_s, u"sens:aver:coun 10\\10"_s, u"sens:aver:stat 1\\10"_s} << true;
    QTest::newRow("repeating, 100") << false << u"100"_s << u"up"_s
        << QStringList{u"sens:aver:tcon rep\\10"_s, u"sens:aver:coun 100\\10"_s, u"sens:aver:stat 1\\10"_s} << true;
    QTest::newRow("repeating, 002") << false << u"002"_s << u"up"_s
        << QStringList{u"sens:aver:tcon rep\\10"_s, u"sens:aver:coun 2\\10"_s, u"sens:aver:stat 1\\10"_s} << true;
    QTest::newRow("offline: nothing sent, lamp lit") << true << u"010"_s << u"down"_s << QStringList{} << true;
    QTest::newRow("port gone: stops at the type, lamp dark") << true << u"010"_s << u"gone"_s
        << QStringList{u"sens:aver:tcon mov\\10"_s} << false;
}

void TestFilterMenu::enter()
{
    QFETCH(bool, moving);
    QFETCH(QString, digits);
    QFETCH(QString, link);
    QFETCH(QStringList, written);
    QFETCH(bool, lampAfter);
    FilterPanel f;
    f.runGoing();
    QVERIFY(keys::FILT_IMG_ENTER(f.panel));  // offline: count 002
    QVERIFY(f.state.READ_PAUSED);
    f.state.FILT_MOVING = moving;
    f.state.LIMIT_DIGITS = digits;
    if (link == u"up")
        f.linkUp();
    else if (link == u"gone")
        f.portGone();

    QCOMPARE(keys::FILT_AUTO_ENTER(f.panel), link != u"gone");

    QCOMPARE(f.sim.written, written);
    QCOMPARE(f.display.isLit(Lamp::FILT_LAB), lampAfter);
    QVERIFY(!f.state.FILT_SET);
    QVERIFY(!f.timers.IMG_Timer.isEnabled());
    QVERIFY(!f.display.isLit(Points::DROP_IMG, 6));
    QVERIFY(f.reading());
    QVERIFY(!f.state.READ_PAUSED);
    // The measurement's own view is back: DCV on auto range.
    QVERIFY(f.display.isLit(Lamp::DC_LAB1));
    QVERIFY(f.display.isLit(Lamp::AUTO_LAB1));
}

// -1 stands for the type word on display 2 (positions 1 to 3), 0..6 for a
// digit of display 1. What the cursor leaves is lit again; digits 0 to 3
// are never the cursor.
void TestFilterMenu::cursor_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");

    QTest::newRow("HOLD: type to digit 6") << kHOLD << -1 << 6;
    QTest::newRow("HOLD: 6 to 5") << kHOLD << 6 << 5;
    QTest::newRow("HOLD: 5 to 4") << kHOLD << 5 << 4;
    QTest::newRow("HOLD: 4 to type") << kHOLD << 4 << -1;
    QTest::newRow("HOLD: 3 stays") << kHOLD << 3 << 3;
    QTest::newRow("TRIG: type to digit 4") << kTRIG << -1 << 4;
    QTest::newRow("TRIG: 4 to 5") << kTRIG << 4 << 5;
    QTest::newRow("TRIG: 5 to 6") << kTRIG << 5 << 6;
    QTest::newRow("TRIG: 6 to type") << kTRIG << 6 << -1;
    QTest::newRow("TRIG: 0 stays") << kTRIG << 0 << 0;
}

void TestFilterMenu::cursor()
{
    QFETCH(int, key);
    QFETCH(int, from);
    QFETCH(int, to);
    FilterPanel f;
    QVERIFY(keys::FILT_IMG_ENTER(f.panel));
    shell::PanelState &s = f.state;
    if (from >= 0) {
        s.BLINK_DISP2 = false;
        s.BLINK_FIRST = s.BLINK_LAST = qint16(from);
    }
    // Caught in the dark phase of the blink.
    const QString lit1 = shown1(f.display);
    const QString lit2 = shown2(f.display);
    if (from >= 0)
        f.display.setLit(Positions::DIS1_IMG, from, false);
    else
        display::GLIS_RANGE(f.display, 1, 3, shell::kNoBlink, true);
    f.clock.advance(100);

    f.press(key);

    QVERIFY(f.sim.written.isEmpty());
    if (to >= 0) {
        QVERIFY(!s.BLINK_DISP2);
        QCOMPARE(s.BLINK_FIRST, to);
        QCOMPARE(s.BLINK_LAST, to);
    } else {
        QVERIFY(s.BLINK_DISP2);
        QCOMPARE(s.BLINK_FIRST, 1);
        QCOMPARE(s.BLINK_LAST, 3);
    }
    QCOMPARE(s.BLINK_DOT, shell::kNoBlink);
    if (from != to) {
        QCOMPARE(shown1(f.display), lit1);
        QCOMPARE(shown2(f.display), lit2);
    }
    // The blink starts again with the cursor: its first step a full
    // interval after the press.
    QVERIFY(f.timers.IMG_Timer.isEnabled());
    QCOMPARE(f.timers.IMG_Timer.remainingTime(), f.timers.IMG_Timer.interval());
    QVERIFY(s.FILT_SET);
}

// SHIFT + MXMN, the type to REP and back to MOV, the count from 4 to 10 on
// its last digit, ENTER in type mode: the instrument averages 10 readings
// as a moving filter.
void TestFilterMenu::setUpThroughTheKeys()
{
    FilterPanel f;
    f.linkUp();
    QVERIFY(f.sim.instrument.setStates(u"filter=0,filtcount=4,filttype=rep"_s));

    f.shiftPress(kMXMN);
    QCOMPARE(f.state.LIMIT_DIGITS, u"004"_s);
    f.press(kDOWN);
    QCOMPARE(shown2(f.display), u"_REP__"_s);
    f.press(kTRIG);  // to the first digit and back
    f.press(kHOLD);
    f.press(kUP);
    QCOMPARE(shown2(f.display), u"_MOV__"_s);
    f.press(kHOLD);  // the last digit
    for (int i = 0; i < 6; ++i)
        f.press(kUP);
    QCOMPARE(shown1(f.display), u"CNT.*_010"_s);
    f.press(kTRIG);  // type mode again
    QVERIFY(f.state.BLINK_DISP2);
    f.sim.written.clear();
    f.press(kAUTO);

    QCOMPARE(f.sim.written.mid(1, 3), (QStringList{u"sens:aver:tcon mov\\10"_s, u"sens:aver:coun 10\\10"_s,
                                                  u"sens:aver:stat 1\\10"_s}));
    QCOMPARE(f.sim.instrument.field("filter").value_or(""), QByteArray("1"));
    QCOMPARE(f.sim.instrument.field("filtcount").value_or(""), QByteArray("10"));
    QCOMPARE(f.sim.instrument.field("filttype").value_or("").toLower(), QByteArray("mov"));
    QVERIFY(f.display.isLit(Lamp::FILT_LAB));
    QVERIFY(!f.state.FILT_SET);
}

// SHIFT leaves the set-up: nothing goes out, the run goes on.
void TestFilterMenu::shiftLeavesWithoutSending()
{
    FilterPanel f;
    f.linkUp();
    QVERIFY(f.sim.instrument.setStates(u"filter=0,filtcount=50"_s));
    f.runGoing();
    f.shiftPress(kMXMN);
    QVERIFY(f.state.FILT_SET);
    QVERIFY(!f.reading());
    f.press(kUP);
    const qsizetype before = f.sim.written.size();

    keys::SHIFT_IMG_MouseDown(f.panel);
    keys::SHIFT_IMG_MouseUp(f.panel);

    QCOMPARE(f.sim.written.size(), before);
    QVERIFY(!f.state.FILT_SET);
    QVERIFY(f.reading());
    QVERIFY(!f.state.READ_PAUSED);
    QVERIFY(!f.display.isLit(Lamp::FILT_LAB));
    QCOMPARE(f.sim.instrument.field("filter").value_or(""), QByteArray("0"));
}

QTEST_GUILESS_MAIN(TestFilterMenu)
#include "tst_filter_menu.moc"
