// The SHIFT key and the long presses: SHIFT toggles its lamp or leaves an
// open set-up menu; MXMN and 2ND held for a second (on a hand-turned clock)
// turn maximum/minimum or display 2 off, once, also when their exchange
// fails.

#include "display/glyph_words.h"
#include "keys/key_dispatcher.h"
#include "keys/shift_key.h"
#include "platform/panel_timer.h"
#include "shell/front_panel.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/reading_setup.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using display::Lamp;

class TestShiftKey : public QObject
{
    Q_OBJECT

private slots:
    void shiftToggles();
    void shiftLeavesMenu_data();
    void shiftLeavesMenu();
    void maxMinHeld_data();
    void maxMinHeld();
    void secondHeld_data();
    void secondHeld();
    void failingLongPressActsOnce_data();
    void failingLongPressActsOnce();
};

namespace {

constexpr int kMXMN = 14;
constexpr int kND2 = 15;

// An identified panel measuring DC volts, keys' timers connected.
struct ShiftPanel : PanelFixture
{
    explicit ShiftPanel(sim::Faults faults = {}) : PanelFixture(faults)
    {
        keys::connectKeyTimers(panel);
        darken(display);
        display.setLit(Lamp::DC_LAB1, true);
        state.MODE1 = u"DCV"_s;
        controls.CHK_COM_TF.enabled = false;
    }
    void set(const QStringList &names)
    {
        QString unknown;
        QVERIFY2(setUp(panel, names, &unknown), qPrintable(unknown));
    }
    void hold(int key, int ms, rt::ManualTimerClock &clock)
    {
        keys::BUTT1_IMG_MouseDown(panel, key);
        sim.written.clear();
        clock.advance(ms);
        keys::BUTT1_IMG_MouseUp(panel, key);
    }
};

} // namespace

void TestShiftKey::shiftToggles()
{
    ShiftPanel f;
    f.linkUp();

    keys::SHIFT_IMG_MouseDown(f.panel);
    QVERIFY(f.display.isLit(Lamp::SHIFT_LAB));
    QCOMPARE(f.controls.SHIFT_IMG, u"SHIFT_BUTT2.BMP"_s);
    keys::SHIFT_IMG_MouseUp(f.panel);
    QVERIFY(f.display.isLit(Lamp::SHIFT_LAB));  // it toggles on the press
    QCOMPARE(f.controls.SHIFT_IMG, u"SHIFT_BUTT1.BMP"_s);
    keys::SHIFT_IMG_MouseDown(f.panel);
    QVERIFY(!f.display.isLit(Lamp::SHIFT_LAB));
    QVERIFY(f.sim.written.isEmpty());
}

// SHIFT leaves a menu without confirming: the flag goes, the blink stops,
// a run the menu paused goes on, and the SHIFT lamp does not come on.
void TestShiftKey::shiftLeavesMenu_data()
{
    QTest::addColumn<QString>("menu");
    for (const char *menu : {"SENSOR_SET", "COMP_SET", "FILT_SET"})
        QTest::newRow(menu) << QString::fromLatin1(menu);
}

void TestShiftKey::shiftLeavesMenu()
{
    QFETCH(QString, menu);
    ShiftPanel f;
    f.linkUp();
    f.set({menu, u"READ_PAUSED"_s, u"COMP_ON"_s});
    f.timers.IMG_Timer.setInterval(300);
    f.timers.IMG_Timer.setEnabled(true);
    f.timers.READ_Timer.setInterval(500);
    f.timers.STOP_Timer.setInterval(1000);

    keys::SHIFT_IMG_MouseDown(f.panel);

    QVERIFY(!f.state.SENSOR_SET && !f.state.COMP_SET && !f.state.FILT_SET);
    QVERIFY(!f.display.isLit(Lamp::SHIFT_LAB));
    QVERIFY(!f.timers.IMG_Timer.isEnabled());
    QVERIFY(f.timers.READ_Timer.isEnabled());
    QVERIFY(f.timers.STOP_Timer.isEnabled());
    QVERIFY(!f.state.READ_PAUSED);
    QVERIFY(f.state.COMP_ON);  // leaving the limits menu keeps compare
    QVERIFY(f.sim.written.isEmpty());
}

// Held MXMN: released at 999 ms it was a short press (MIN to MAX, or the
// filter menu with SHIFT, which darkens display 1's lamps); held 1000 ms it
// turns maximum/minimum off, with or without SHIFT.
void TestShiftKey::maxMinHeld_data()
{
    QTest::addColumn<bool>("shift");
    QTest::addColumn<int>("ms");
    QTest::addColumn<bool>("offAfter");

    QTest::newRow("999 ms: short") << false << 999 << false;
    QTest::newRow("1000 ms: off") << false << 1000 << true;
    QTest::newRow("SHIFT, 999 ms") << true << 999 << false;
    QTest::newRow("SHIFT, 1000 ms: off all the same") << true << 1000 << true;
}

void TestShiftKey::maxMinHeld()
{
    QFETCH(bool, shift);
    QFETCH(int, ms);
    QFETCH(bool, offAfter);
    rt::ManualTimerClock clock;
    ShiftPanel f;
    f.linkUp();
    f.set({u"MXMN_ON"_s, u"MIN_SEL"_s, u"MIN_LAB"_s, u"ND2_VIEW"_s, u"READ_PAUSED"_s});
    f.display.setLit(Lamp::SHIFT_LAB, shift);

    f.hold(kMXMN, ms, clock);
    clock.advance(5000);  // released: nothing more

    QCOMPARE(f.state.MXMN_ON, !offAfter);
    QCOMPARE(f.display.isLit(Lamp::MAX_LAB), !offAfter && !shift);
    QVERIFY(!f.display.isLit(Lamp::MIN_LAB));
    QCOMPARE(f.state.ND2_VIEW, !offAfter);
    QCOMPARE(f.state.READ_PAUSED, !offAfter);
    QCOMPARE(f.sim.written, offAfter ? QStringList{u"CALC:FUNC OFF,MAX\\10"_s} : QStringList{});
    QVERIFY(!f.timers.MXMN_Timer.isEnabled());
}

// Held 2ND (after the press lit it): display 2 off. The instrument is asked
// only while no view of display 1 is on display 2 and the link is up.
void TestShiftKey::secondHeld_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("simState");
    QTest::addColumn<bool>("link");
    QTest::addColumn<int>("ms");
    QTest::addColumn<QStringList>("written");  // by the tick
    QTest::addColumn<bool>("display2On");
    QTest::addColumn<QString>("shown2");

    const QStringList on = {u"MODE2_ON"_s, u"DROP_IMG2(2)"_s, u"AC_LAB2"_s};
    const QString query = u"CONF2:FUNC?\\10"_s;
    QTest::newRow("display 2 measuring: off") << on << u"func2=ACV"_s << true << 1000
                                              << QStringList{query, u"conf2:off\\10"_s} << false << u"______"_s;
    QTest::newRow("instrument says NON: digits out") << on << QString() << true << 1000
                                                     << QStringList{query} << false << u"______"_s;
    QTest::newRow("HOLD lit: nothing asked") << on + QStringList{u"HOLD_LAB"_s} << u"func2=ACV"_s << true << 1000
                                             << QStringList{} << false << u"123.456"_s;
    QTest::newRow("link down: nothing asked") << on << QString() << false << 1000 << QStringList{} << false
                                              << u"123.456"_s;
    QTest::newRow("999 ms: a short press") << on << u"func2=ACV"_s << true << 999 << QStringList{} << true
                                           << u"123.456"_s;
}

void TestShiftKey::secondHeld()
{
    QFETCH(QStringList, before);
    QFETCH(QString, simState);
    QFETCH(bool, link);
    QFETCH(int, ms);
    QFETCH(QStringList, written);
    QFETCH(bool, display2On);
    QFETCH(QString, shown2);
    rt::ManualTimerClock clock;
    ShiftPanel f;
    if (link)
        f.linkUp();
    else
        f.controls.CHK_COM_TF.checked = true;
    QVERIFY(f.sim.instrument.setStates(simState));
    f.set(before);
    display::DIS2_SHOW_RANGE(f.display, u"1", u"2", u"3", u"4", u"5", u"6");
    f.state.MODE2 = u"ACV"_s;
    f.state.MODE2_RANGE = u"AUTO"_s;

    f.hold(kND2, ms, clock);
    clock.advance(5000);

    QCOMPARE(f.sim.written, written);
    QCOMPARE(f.state.MODE2_ON, display2On);
    QVERIFY(!f.display.isLit(Lamp::ND2_LAB) || ms < 1000);
    QCOMPARE(::shown2(f.display), shown2);
    if (!written.isEmpty()) {
        QCOMPARE(f.state.MODE2, QString());
        QCOMPARE(f.state.MODE2_RANGE, QString());
        QCOMPARE(f.sim.instrument.measure(2).function, QByteArray("OFF"));
    }
    QVERIFY(!f.timers.ND2_Timer.isEnabled());
}

// A long press whose exchange fails acts once: its tick has disarmed its
// timer before it talks, so nothing repeats every second.
void TestShiftKey::failingLongPressActsOnce_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("silent");  // else the port has gone
    QTest::addColumn<QString>("tried");
    QTest::addColumn<QString>("line");

    QTest::newRow("2ND, the instrument silent") << kND2 << true << u"CONF2:FUNC?\\10"_s
                                                << u"2ND key: \"CONF2:FUNC?\" failed"_s;
    QTest::newRow("MXMN, the port gone") << kMXMN << false << u"CALC:FUNC OFF,MAX\\10"_s
                                         << u"MAX/MIN key: \"CALC:FUNC OFF,MAX\" failed"_s;
}

void TestShiftKey::failingLongPressActsOnce()
{
    QFETCH(int, key);
    QFETCH(bool, silent);
    QFETCH(QString, tried);
    QFETCH(QString, line);
    rt::ManualTimerClock clock;
    sim::Faults faults;
    faults.silentAfter = 2;  // the press's own math channel and rate query are answered
    ShiftPanel f(faults);
    if (silent) {
        QVERIFY(f.sim.open());
        f.sim.link.setReplyBound(std::chrono::milliseconds(100));
        f.sim.link.setQuietTime(std::chrono::milliseconds(10));
    }
    f.set({u"MXMN_ON"_s});

    // The press itself talks only with the instrument answering; the port
    // that was never there fails only the long press.
    f.state.REMOTE_OK = silent;
    keys::BUTT1_IMG_MouseDown(f.panel, key);
    f.state.REMOTE_OK = true;
    f.sim.written.clear();
    f.status.clear();
    clock.advance(1000);
    clock.advance(5000);

    QCOMPARE(f.sim.written, QStringList{tried});
    QVERIFY2(f.status.lines().size() == 1, qPrintable(f.status.text()));
    QVERIFY2(f.status.lines().at(0).startsWith(line), qPrintable(f.status.lines().at(0)));
}

QTEST_GUILESS_MAIN(TestShiftKey)
#include "tst_shift_key.moc"
