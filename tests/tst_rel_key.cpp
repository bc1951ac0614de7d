// The REL key's second-display value: "val2?" scaled in steps of 1.9 x 10^k
// on display 2 with at most one prefix lamp and the REL lamp, and nothing at
// all without a number to show. The REL key with the link down and up, its
// overload test, a silent instrument or a reply that is no number (REL
// stays off, a run's timers go on as after a normal press). The 2ND views
// of MAX, MIN and REL entered while READ_Timer runs, and left while idle,
// during a run waiting for its ticks and during a loop (no second loop).

#include "display/glyph_words.h"
#include "keys/rel_key.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/reading_setup.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace display;
using shell::RunPhase;

Q_DECLARE_METATYPE(shell::RunPhase)

class TestRelKey : public QObject
{
    Q_OBJECT

private slots:
    void secondDisplayValue_data();
    void secondDisplayValue();
    void nothingToShowChangesNothing_data();
    void nothingToShowChangesNothing();
    void relKeyLinkDown_data();
    void relKeyLinkDown();
    void overloadTest_data();
    void overloadTest();
    void failedRelKeyResumesTheRun_data();
    void failedRelKeyResumesTheRun();
    void enterView_data();
    void enterView();
    void leaveView_data();
    void leaveView();
};

namespace {

const QString kVal1 = u"val1?\\10"_s;
const QString kRelOn = u"calc:func rel\\10"_s;

// A run driven by its timers (demonstration ticks, or the tick that starts a
// loop), both timers going.
void runTimersGoing(PanelFixture &f)
{
    f.state.runPhase = RunPhase::Timed;
    f.timers.READ_Timer.setInterval(1000);
    f.timers.READ_Timer.setEnabled(true);
    f.timers.STOP_Timer.setInterval(1000);
    f.timers.STOP_Timer.setEnabled(true);
}

} // namespace

void TestRelKey::secondDisplayValue_data()
{
    QTest::addColumn<QString>("value");  // the instrument's display 2
    QTest::addColumn<QString>("shown2");
    QTest::addColumn<QStringList>("lamps");

    QTest::newRow("zero is micro")       << u"0"_s << u"000.000"_s << QStringList{u"T_u_LAB2"_s};
    QTest::newRow("0.00019 is milli")    << u"0.00019"_s << u"0.19000"_s << QStringList{u"T_min_LAB2"_s};
    QTest::newRow("0.5, no prefix")      << u"0.5"_s << u"0.50000"_s << QStringList{};
    QTest::newRow("1.5 overloads 6 digits") << u"1.5"_s << u"_._OL__"_s << QStringList{};
    QTest::newRow("-2.5")                << u"-2.5"_s << u"[SUB]2.5000"_s << QStringList{};
    QTest::newRow("1900 is kilo")        << u"1900"_s << u"01.9000"_s << QStringList{u"T_K_LAB2"_s};
    QTest::newRow("50E6 is mega")        << u"5E7"_s << u"050.000"_s << QStringList{u"T_M_LAB2"_s};
}

void TestRelKey::secondDisplayValue()
{
    QFETCH(QString, value);
    QFETCH(QString, shown2);
    QFETCH(QStringList, lamps);
    PanelFixture f;
    darken(f.display);
    f.linkUp();
    QVERIFY(f.sim.instrument.setStates(u"display2="_s + value));
    f.display.setLit(Lamp::T_A_LAB2, true);  // no lamp is hidden

    keys::REL_NUM_CHK(f.panel);

    QCOMPARE(f.sim.written, QStringList{u"val2?\\10"_s});
    QCOMPARE(::shown2(f.display), shown2);
    QCOMPARE(litLamps(f.display), lampSet(lamps + QStringList{u"REL_LAB"_s, u"T_A_LAB2"_s}));
}

void TestRelKey::nothingToShowChangesNothing_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("reply");  // empty: the instrument says nothing
    QTest::newRow("link down")     << false << u"0.5"_s;
    QTest::newRow("not a number")  << true << u"abc"_s;
    QTest::newRow("no reply")      << true << QString();
}

void TestRelKey::nothingToShowChangesNothing()
{
    QFETCH(bool, link);
    QFETCH(QString, reply);
    PanelFixture f;
    darken(f.display);
    DIS2_SHOW_RANGE(f.display, u"1", u"2", u"3", u"4", u"5", u"6");
    if (reply.isEmpty())
        f.sim.faults.silentAfter = 1;
    if (link) {
        f.linkUp();
        f.sim.link.setReplyBound(std::chrono::milliseconds(100));
        f.sim.link.setQuietTime(std::chrono::milliseconds(10));
        QVERIFY(f.sim.link.Write(u"*CLS"_s));  // the one command that is heard
        f.sim.written.clear();
    }
    if (!reply.isEmpty())
        QVERIFY(f.sim.instrument.setStates(u"reply:val2?="_s + reply));

    keys::REL_NUM_CHK(f.panel);

    QCOMPARE(shown2(f.display), u"123456"_s);
    QVERIFY(litLamps(f.display).isEmpty());
    QCOMPARE(f.sim.written, link ? QStringList{u"val2?\\10"_s} : QStringList{});
}

void TestRelKey::relKeyLinkDown_data()
{
    QTest::addColumn<QString>("range1");
    QTest::addColumn<bool>("autoLit");  // AUTO_LAB1 after REL goes off
    QTest::newRow("auto range") << u"AUTO"_s << true;
    QTest::newRow("fixed range") << u"10V"_s << false;
}

// With the link down the key switches lamps and flags as if the instrument
// had taken it: on, the other functions end; off, display 2's texts empty
// and the range view comes back.
void TestRelKey::relKeyLinkDown()
{
    QFETCH(QString, range1);
    QFETCH(bool, autoLit);
    PanelFixture f;
    darken(f.display);
    QVERIFY(setUp(f.panel, {u"DC_LAB1"_s, u"MAX_LAB"_s, u"MIN_LAB"_s, u"AUTO_LAB1"_s, u"MXMN_ON"_s,
                            u"HOLD_ON"_s, u"COMP_ON"_s, u"MATH_ON"_s, u"dBm_ON"_s}));
    f.state.MODE1 = u"DCV"_s;
    f.state.MODE1_RANGE = range1;

    QVERIFY(keys::REL_IMG_ENTER(f.panel));
    QVERIFY(f.display.isLit(Lamp::REL_LAB));
    QVERIFY(!f.display.isLit(Lamp::MAX_LAB));
    QVERIFY(!f.display.isLit(Lamp::MIN_LAB));
    QVERIFY(f.state.REL_ON);
    for (bool shell::PanelState::*flag : {&shell::PanelState::MXMN_ON, &shell::PanelState::HOLD_ON,
                                         &shell::PanelState::COMP_ON, &shell::PanelState::MATH_ON,
                                         &shell::PanelState::dBm_ON})
        QVERIFY(!(f.state.*flag));

    f.state.MODE2 = u"HOLD"_s;
    f.state.DISPLAY2 = u"0.10 %"_s;
    QVERIFY(keys::REL_IMG_ENTER(f.panel));
    QVERIFY(!f.display.isLit(Lamp::REL_LAB));
    QVERIFY(!f.state.REL_ON);
    QVERIFY(f.state.MODE2.isEmpty());
    QVERIFY(f.state.DISPLAY2.isEmpty());
    QCOMPARE(f.display.isLit(Lamp::AUTO_LAB1), autoLit);
    QVERIFY(f.sim.written.isEmpty());
}

void TestRelKey::overloadTest_data()
{
    QTest::addColumn<QString>("reply");  // display 1's value
    QTest::addColumn<bool>("overload");

    QTest::newRow("+1.999999E+00")   << u"+1.999999E+00"_s << true;
    QTest::newRow("0.1999999")       << u"0.1999999"_s << true;
    QTest::newRow("-19999990")       << u"-1.999999E+07"_s << true;
    QTest::newRow("+9.90000000E+37") << u"+9.90000000E+37"_s << true;
    QTest::newRow("-1E9")            << u"-1.0E+09"_s << true;
    QTest::newRow("0")               << u"0"_s << false;
    QTest::newRow("1.2345")          << u"1.2345"_s << false;
    QTest::newRow("999999999")       << u"+9.99999999E+08"_s << false;
    QTest::newRow("1.99999 (six)")   << u"+1.999990E+00"_s << false;
}

// An overload refuses REL with the status log's text replaced; any other
// value switches it on in the instrument.
void TestRelKey::overloadTest()
{
    QFETCH(QString, reply);
    QFETCH(bool, overload);
    QCOMPARE(keys::isRelOverload(reply + u'\r'), std::optional<bool>(overload));

    PanelFixture f;
    darken(f.display);
    f.linkUp();
    QVERIFY(f.sim.instrument.setStates(u"reply:val1?="_s + reply));
    f.status.append(u"an older line"_s);

    QVERIFY(keys::REL_IMG_ENTER(f.panel));

    QCOMPARE(f.display.isLit(Lamp::REL_LAB), !overload);
    QCOMPARE(f.state.REL_ON, !overload);
    const QStringList written = overload ? QStringList{kVal1} : QStringList{kVal1, kRelOn};
    QCOMPARE(f.sim.written, written);
    const QStringList lines = overload ? QStringList{u"The DISPLAY1 is OL"_s} : QStringList{u"an older line"_s};
    QCOMPARE(f.status.lines(), lines);

    // The next press turns it off again in the instrument.
    if (overload)
        return;
    f.sim.written.clear();
    QVERIFY(keys::REL_IMG_ENTER(f.panel));
    QVERIFY(!f.display.isLit(Lamp::REL_LAB));
    QCOMPARE(f.sim.written, QStringList{u"CALC:FUNC OFF,REL\\10"_s});
    QCOMPARE(f.sim.instrument.field("calcfunc"), std::optional<QByteArray>("off"));
}

void TestRelKey::failedRelKeyResumesTheRun_data()
{
    QTest::addColumn<QString>("reply");  // empty: the instrument is silent
    QTest::addColumn<bool>("relOn");
    QTest::addColumn<bool>("keyOk");
    QTest::newRow("normal")         << u"+1.500000E+00"_s << true << true;
    QTest::newRow("overload")       << u"+9.90000000E+37"_s << false << true;
    QTest::newRow("not a number")   << u"abc"_s << false << true;
    QTest::newRow("silent")         << QString() << false << false;
}

// Whatever "val1?" brings, the run's timers end as a normal press leaves
// them: going, READ_PAUSED clear.
void TestRelKey::failedRelKeyResumesTheRun()
{
    QFETCH(QString, reply);
    QFETCH(bool, relOn);
    QFETCH(bool, keyOk);
    PanelFixture f(sim::Faults{.silentAfter = reply.isEmpty() ? 1 : 0});
    darken(f.display);
    f.linkUp();
    f.sim.link.setReplyBound(100ms);
    f.sim.link.setQuietTime(10ms);
    QVERIFY(f.sim.link.Write(u"*CLS"_s));  // the one command that is heard
    f.sim.written.clear();
    if (!reply.isEmpty())
        QVERIFY(f.sim.instrument.setStates(u"reply:val1?="_s + reply));
    runTimersGoing(f);

    QCOMPARE(keys::REL_IMG_ENTER(f.panel), keyOk);

    QCOMPARE(f.display.isLit(Lamp::REL_LAB), relOn);
    QCOMPARE(f.state.REL_ON, relOn);
    QVERIFY(f.timers.READ_Timer.isEnabled());
    QVERIFY(f.timers.STOP_Timer.isEnabled());
    QVERIFY(!f.state.READ_PAUSED);
    if (reply == u"abc")
        QVERIFY(f.status.text().contains(u"not a number"));
}

void TestRelKey::enterView_data()
{
    QTest::addColumn<QString>("lamp");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QString>("shown2");
    QTest::addColumn<QString>("display1");
    QTest::addColumn<bool>("nd2View");
    QTest::addColumn<bool>("mxmnOn");

    QTest::newRow("MAX") << u"MAX_LAB"_s
                         << QStringList{u"CALC:MAX?\\10"_s, u"syst:math:chan 1\\10"_s}
                         << u"[LEFT][SUB]MAX_"_s << u"02.50000_V"_s << true << true;
    QTest::newRow("MIN") << u"MIN_LAB"_s
                         << QStringList{u"CALC:MIN?\\10"_s, u"syst:math:chan 1\\10"_s}
                         << u"[LEFT][SUB]M[I2]N_"_s << u"-0.250000_V"_s << true << false;
    QTest::newRow("REL") << u"REL_LAB"_s
                         << QStringList{u"CALC:REL:REF?\\10"_s, kRelOn, u"val2?\\10"_s}
                         << u"[LEFT][SUB]REL_"_s << u"01.20000_V"_s << false << false;
}

// 2ND while READ_Timer runs: display 1 the stored value, display 2 its
// word; READ_Timer stops and stays stopped (STOP_Timer goes on).
void TestRelKey::enterView()
{
    QFETCH(QString, lamp);
    QFETCH(QStringList, written);
    QFETCH(QString, shown2);
    QFETCH(QString, display1);
    QFETCH(bool, nd2View);
    QFETCH(bool, mxmnOn);
    PanelFixture f;
    darken(f.display);
    f.linkUp();
    QVERIFY(f.sim.instrument.setStates(u"reply:calc:max?=+2.500000E+00,reply:calc:min?=-2.500000E-01,"
                                       u"reply:calc:rel:ref?=+1.200000E+00"_s));
    QVERIFY(setUp(f.panel, {lamp, u"AUTO_LAB1"_s, u"REL_ON"_s, u"HOLD_ON"_s, u"COMP_ON"_s}));
    f.state.MODE1 = u"DCV"_s;
    f.state.MODE1_RANGE = u"AUTO"_s;
    f.controls.MATH_LAB_enabled = false;  // as the 2ND key leaves it: no count form
    runTimersGoing(f);

    QVERIFY(keys::REL_2ND_ENTER(f.panel));

    QCOMPARE(f.sim.written, written);
    QCOMPARE(::shown2(f.display), shown2);
    QCOMPARE(f.state.DISPLAY1, display1);
    QCOMPARE(f.state.ND2_VIEW, nd2View);
    QCOMPARE(f.state.MXMN_ON, mxmnOn);
    QVERIFY(!f.state.HOLD_ON);
    QVERIFY(!f.state.COMP_ON);
    QVERIFY(!f.timers.READ_Timer.isEnabled());
    QVERIFY(f.timers.STOP_Timer.isEnabled());
    if (lamp == u"REL_LAB") {
        QVERIFY(!f.state.REL_ON);
        QVERIFY(f.display.isLit(Lamp::REL_LAB));
        QVERIFY(!f.display.isLit(Lamp::AUTO_LAB1));
    }
}

void TestRelKey::leaveView_data()
{
    QTest::addColumn<RunPhase>("phase");
    QTest::addColumn<bool>("paused");     // READ_PAUSED before
    QTest::addColumn<bool>("readAfter");  // READ_Timer after
    QTest::addColumn<bool>("stopAfter");  // STOP_Timer after

    QTest::newRow("idle")                       << RunPhase::Idle       << false << false << true;
    QTest::newRow("a run a menu paused")        << RunPhase::Timed      << true  << true  << true;
    QTest::newRow("a run waiting, view shown")  << RunPhase::Timed      << false << true  << true;
    QTest::newRow("a loop holds the line")      << RunPhase::NormalLoop << false << false << true;
}

// 2ND with READ_Timer off leaves the view: ND2_VIEW clears, the panel is
// read back from the instrument, and READ_Timer comes back only for a run
// waiting for its ticks (or one a menu paused), never for a loop.
void TestRelKey::leaveView()
{
    QFETCH(RunPhase, phase);
    QFETCH(bool, paused);
    QFETCH(bool, readAfter);
    QFETCH(bool, stopAfter);
    PanelFixture f;
    darken(f.display);
    f.linkUp();
    QVERIFY(setUp(f.panel, {u"MAX_LAB"_s, u"ND2_VIEW"_s, u"MXMN_ON"_s}));
    f.state.runPhase = phase;
    f.state.READ_PAUSED = paused;
    f.timers.READ_Timer.setInterval(1000);

    QVERIFY(keys::REL_2ND_ENTER(f.panel));

    QVERIFY(!f.state.ND2_VIEW);
    QCOMPARE(f.timers.READ_Timer.isEnabled(), readAfter);
    QCOMPARE(f.timers.STOP_Timer.isEnabled(), stopAfter);
    QVERIFY(!f.state.READ_PAUSED);
    QVERIFY(f.sim.written.contains(u"*IDN?\\10"_s));  // the state is read back
}

QTEST_GUILESS_MAIN(TestRelKey)
#include "tst_rel_key.moc"
