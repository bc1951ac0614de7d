// The HOLD key outside the set-up menus: hold on asks for the reference
// and shows it, hold off clears display 2; the run's timers end as they
// were (going or not), also when the instrument is silent; relative,
// maximum/minimum and compare end as flags with their lamps left lit.

#include "keys/hold_key.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/reading_setup.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using display::Lamp;

class TestHoldKey : public QObject
{
    Q_OBJECT

private slots:
    void toggle_data();
    void toggle();
};

void TestHoldKey::toggle_data()
{
    QTest::addColumn<bool>("timersGoing");  // a run's timers before the press
    QTest::addColumn<bool>("silent");       // the instrument answers nothing

    QTest::newRow("idle")              << false << false;
    QTest::newRow("a run going")       << true  << false;
    QTest::newRow("idle, silent")      << false << true;
    QTest::newRow("a run going, silent") << true << true;
}

void TestHoldKey::toggle()
{
    QFETCH(bool, timersGoing);
    QFETCH(bool, silent);
    PanelFixture f(sim::Faults{.silentAfter = silent ? 1 : 0});
    darken(f.display);
    f.linkUp();
    f.sim.link.setReplyBound(100ms);
    f.sim.link.setQuietTime(10ms);
    QVERIFY(f.sim.link.Write(u"*CLS"_s));  // the one command a silent instrument hears
    f.sim.written.clear();
    QVERIFY(f.sim.instrument.setStates(u"holdref=0.1"_s));
    QVERIFY(setUp(f.panel, {u"REL_LAB"_s, u"REL_ON"_s, u"MAX_LAB"_s, u"MXMN_ON"_s, u"COMP_ON"_s}));
    f.timers.READ_Timer.setInterval(1000);
    f.timers.READ_Timer.setEnabled(timersGoing);
    f.timers.STOP_Timer.setEnabled(timersGoing);

    QVERIFY(keys::HOLD_IMG_ENTER(f.panel));
    QCOMPARE(f.sim.written, (QStringList{u"calc:func hold\\10"_s, u"calc:hold:ref?\\10"_s}));
    QVERIFY(f.display.isLit(Lamp::HOLD_LAB));
    QVERIFY(f.state.HOLD_ON);
    QCOMPARE(f.state.MODE2, u"HOLD"_s);
    QCOMPARE(f.state.DISPLAY2, silent ? QString() : u"0.10 %"_s);
    QVERIFY(!f.state.REL_ON && !f.state.MXMN_ON && !f.state.COMP_ON);
    QVERIFY(f.display.isLit(Lamp::REL_LAB));  // the lamps are not the key's
    QVERIFY(f.display.isLit(Lamp::MAX_LAB));
    QCOMPARE(f.timers.READ_Timer.isEnabled(), timersGoing);
    QCOMPARE(f.timers.STOP_Timer.isEnabled(), timersGoing);
    QVERIFY(!f.state.READ_PAUSED);

    f.sim.written.clear();
    QVERIFY(keys::HOLD_IMG_ENTER(f.panel));
    QCOMPARE(f.sim.written, QStringList{u"calc:func off\\10"_s});
    QVERIFY(!f.display.isLit(Lamp::HOLD_LAB));
    QVERIFY(!f.state.HOLD_ON);
    QVERIFY(f.state.MODE2.isEmpty());
    QVERIFY(f.state.DISPLAY2.isEmpty());
    QCOMPARE(f.timers.READ_Timer.isEnabled(), timersGoing);
    QCOMPARE(f.timers.STOP_Timer.isEnabled(), timersGoing);
    QVERIFY(!f.state.READ_PAUSED);
    if (!silent)
        QCOMPARE(f.sim.instrument.field("calcfunc"), std::optional<QByteArray>("off"));
}

QTEST_GUILESS_MAIN(TestHoldKey)
#include "tst_hold_key.moc"
