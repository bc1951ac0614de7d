// Putting the panel back after a change of mode: hold on and off with its
// reference in every form, the redraws after SHIFT and after the filter
// set-up with the marks of every function that is on, and the restart of a
// paused run.

#include "display/glyph_words.h"
#include "display/mode_redraws.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace display;

class TestModeRedraws : public QObject
{
    Q_OBJECT

private slots:
    void holdOn_data();
    void holdOn();
    void holdOff();
    void holdOnWithoutReference_data();
    void holdOnWithoutReference();
    void sensorRedrawBothDisplays();
    void functionMarks_data();
    void functionMarks();
    void sensorRedrawSwitchesHoldOnAgain();
    void filterRedraw_data();
    void filterRedraw();
    void filterRedrawResumesAPausedRun();
};

namespace {

struct Fixture : PanelFixture
{
    Fixture()
    {
        darken(display);
    }
};

constexpr auto kPercent = u"[PSU][MOD][PSD]";

} // namespace

void TestModeRedraws::holdOn_data()
{
    QTest::addColumn<QString>("reference");  // as the instrument answers
    QTest::addColumn<QString>("shown2");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<int>("hundredths");
    QTest::addColumn<QString>("display2");

    const QString percent = QString::fromUtf16(kPercent);
    QTest::newRow("0.1, exponent form")  << u"+1.00000E-01"_s << u"0.10"_s + percent << u"010"_s << 10 << u"0.10 %"_s;
    QTest::newRow("0.01, plain")         << u"0.01"_s << u"0.01"_s + percent << u"001"_s << 1 << u"0.01 %"_s;
    QTest::newRow("1, plain")            << u"1"_s << u"1.00"_s + percent << u"100"_s << 100 << u"1.00 %"_s;
    QTest::newRow("10, exponent form")   << u"+1.00000E+01"_s << u"10.0"_s + percent << u"1000"_s << 1000 << u"10.00 %"_s;
}

void TestModeRedraws::holdOn()
{
    QFETCH(QString, reference);
    QFETCH(QString, shown2);
    QFETCH(QString, digits);
    QFETCH(int, hundredths);
    QFETCH(QString, display2);
    Fixture f;
    f.linkUp();
    QVERIFY(f.sim.instrument.setStates(u"holdref="_s + reference));
    f.display.setLit(Lamp::T_V_LAB2, true);  // display 2 is blanked first
    f.display.setLit(Points::DROP_IMG2, 4, true);

    HOLD_2ND_DISP(f.panel);

    QCOMPARE(f.sim.written, (QStringList{u"calc:func hold\\10"_s, u"calc:hold:ref?\\10"_s}));
    QCOMPARE(f.sim.instrument.field("calcfunc").value_or(""), QByteArray("hold"));
    QVERIFY(f.state.HOLD_ON);
    QCOMPARE(::shown2(f.display), shown2);
    QCOMPARE(litLamps(f.display), lampSet({u"HOLD_LAB"_s}));
    QCOMPARE(f.state.QUERY_VALUE, digits);
    QCOMPARE(int(f.state.HOLD_REF_INT), hundredths);
    QCOMPARE(f.state.MODE2, u"HOLD"_s);
    QCOMPARE(f.state.DISPLAY2, display2);
}

void TestModeRedraws::holdOff()
{
    Fixture f;
    f.linkUp();
    QVERIFY(f.sim.instrument.setStates(u"calcfunc=hold"));
    f.display.setLit(Lamp::HOLD_LAB, true);
    f.state.HOLD_ON = true;
    f.state.MODE2 = u"HOLD"_s;
    f.state.DISPLAY2 = u"0.10 %"_s;
    DIS2_SHOW_RANGE(f.display, u"0", u"1", u"0", u"PSU", u"MOD", u"PSD");

    HOLD_2ND_DISP(f.panel);

    QCOMPARE(f.sim.written, QStringList{u"calc:func off\\10"_s});
    QCOMPARE(f.sim.instrument.field("calcfunc").value_or(""), QByteArray("off"));
    QVERIFY(!f.state.HOLD_ON);
    QVERIFY(litLamps(f.display).isEmpty());
    QCOMPARE(shown2(f.display), u"______"_s);
    QCOMPARE(f.state.MODE2, QString());
    QCOMPARE(f.state.DISPLAY2, QString());
}

void TestModeRedraws::holdOnWithoutReference_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("reply");  // empty: the instrument says nothing
    QTest::newRow("link down")      << false << u"0.1"_s;
    QTest::newRow("no reply")       << true << QString();
    QTest::newRow("not a number")   << true << u"HOLD"_s;
}

void TestModeRedraws::holdOnWithoutReference()
{
    QFETCH(bool, link);
    QFETCH(QString, reply);
    Fixture f;
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
        QVERIFY(f.sim.instrument.setStates(u"reply:calc:hold:ref?="_s + reply));
    f.state.QUERY_VALUE = u"1000"_s;
    f.state.HOLD_REF_INT = 1000;
    f.state.DISPLAY2 = u"1.234_V"_s;

    HOLD_2ND_DISP(f.panel);

    // The sign stays, the last reference is kept, and the reading text
    // carries no stale value.
    QVERIFY(f.state.HOLD_ON);
    QCOMPARE(litLamps(f.display), lampSet({u"HOLD_LAB"_s}));
    QCOMPARE(shown2(f.display), u"   "_s + QString::fromUtf16(kPercent));
    QCOMPARE(f.state.MODE2, u"HOLD"_s);
    QCOMPARE(f.state.DISPLAY2, QString());
    QCOMPARE(f.state.QUERY_VALUE, u"1000"_s);
    QCOMPARE(int(f.state.HOLD_REF_INT), 1000);
    QCOMPARE(f.sim.written.size(), link ? 2 : 0);
}

void TestModeRedraws::sensorRedrawBothDisplays()
{
    Fixture f;
    f.state.MODE2_ON = true;
    f.state.MODE1 = u"DCV"_s;
    f.state.MODE2 = u"ACI"_s;
    f.state.MODE1_RANGE = u"AUTO"_s;
    f.state.MODE2_RANGE = u"AUTO"_s;

    SENSOR_RANGE_CHK(f.panel);

    // Display 2's view first with 2ND lit, then display 1's with it out;
    // each AUTO lamp comes from its own range, never from the other's.
    QCOMPARE(shown1(f.display), u"000.0000"_s);
    QCOMPARE(shown2(f.display), u"00.0000"_s);
    QCOMPARE(litLamps(f.display),
             lampSet({u"AUTO_LAB1"_s, u"T_min_LAB1"_s, u"T_V_LAB1"_s, u"DC_LAB1"_s, u"AUTO_LAB2"_s,
                      u"T_min_LAB2"_s, u"T_A_LAB2"_s, u"AC_LAB2"_s}));
    QVERIFY(!f.state.AUTO_RANGE_FLAG);

    // With fixed ranges neither redraw relights an AUTO lamp.
    darken(f.display);
    f.state.MODE1_RANGE = u"10V"_s;
    f.state.MODE2_RANGE = u"1A"_s;
    SENSOR_RANGE_CHK(f.panel);
    QVERIFY(!f.display.isLit(Lamp::AUTO_LAB1));
    QVERIFY(!f.display.isLit(Lamp::AUTO_LAB2));
    QVERIFY(!f.display.isLit(Lamp::ND2_LAB));
}

void TestModeRedraws::functionMarks_data()
{
    // Each on top of the single view of DCV 10V: display 1 "00.00000",
    // display 2 "__10_V", lamps T_V_LAB1 and DC_LAB1.
    QTest::addColumn<QString>("states");  // PanelState items set, name=value
    QTest::addColumn<QString>("shown1");
    QTest::addColumn<QString>("shown2");
    QTest::addColumn<QStringList>("lamps");  // besides T_V_LAB1, DC_LAB1

    QTest::newRow("MX+B")   << u"MATH_ON,MODE2=MX+B"_s << u"00.00000"_s << u"_MX[ADD]B_"_s
                            << QStringList{u"MATH_LAB"_s};
    QTest::newRow("1/X")    << u"MATH_ON,MODE2=1/X"_s << u"00.00000"_s << u"_1[MOD]X__"_s
                            << QStringList{u"MATH_LAB"_s};
    QTest::newRow("REF%")   << u"MATH_ON,MODE2=REF%"_s << u"00.00000"_s << u"_[PSU][MOD][PSD]__"_s
                            << QStringList{u"MATH_LAB"_s};
    QTest::newRow("COUNT draws nothing") << u"MATH_ON,MODE2=COUNT"_s << u"00.00000"_s << u"__10_V"_s
                            << QStringList{u"MATH_LAB"_s};
    QTest::newRow("dB")     << u"dB_ON"_s << u"0000.000"_s << u"000.000"_s
                            << QStringList{u"T_dB_LAB"_s, u"T_V_LAB2"_s};
    QTest::newRow("dBm")    << u"dBm_ON,dBm_REF=0600"_s << u"0000.000"_s << u"__0600"_s
                            << QStringList{u"T_R_LAB2"_s, u"T_dBm_LAB1"_s, u"T_dB_LAB"_s};
    QTest::newRow("MIN")    << u"MXMN_ON,MIN_SEL"_s << u"00.00000"_s << u"__10_V"_s
                            << QStringList{u"MIN_LAB"_s};
    QTest::newRow("MAX")    << u"MXMN_ON"_s << u"00.00000"_s << u"__10_V"_s
                            << QStringList{u"MAX_LAB"_s};
    QTest::newRow("REL")    << u"REL_ON"_s << u"00.00000"_s << u"0.50000"_s
                            << QStringList{u"REL_LAB"_s};
}

void TestModeRedraws::functionMarks()
{
    QFETCH(QString, states);
    QFETCH(QString, shown1);
    QFETCH(QString, shown2);
    QFETCH(QStringList, lamps);
    for (const bool filter : {false, true}) {
        Fixture f;
        f.linkUp();
        QVERIFY(f.sim.instrument.setStates(u"display2=0.5"));
        f.state.MODE1 = u"DCV"_s;
        f.state.MODE1_RANGE = u"10V"_s;
        for (const QString &item : states.split(u',')) {
            const QString name = item.section(u'=', 0, 0);
            const QString value = item.section(u'=', 1);
            if (name == u"MODE2")
                f.state.MODE2 = value;
            else if (name == u"MATH_ON")
                f.state.MATH_ON = true;
            else if (name == u"dBm_ON")
                f.state.dBm_ON = true;
            else if (name == u"dBm_REF")
                f.state.dBm_REF = value;
            else if (name == u"dB_ON")
                f.state.dB_ON = true;
            else if (name == u"MXMN_ON")
                f.state.MXMN_ON = true;
            else if (name == u"MIN_SEL")
                f.state.MIN_SEL = true;
            else if (name == u"REL_ON")
                f.state.REL_ON = true;
            else
                QFAIL(qPrintable(item));
        }
        filter ? FILT_RANGE_CHK(f.panel) : SENSOR_RANGE_CHK(f.panel);
        QCOMPARE(::shown1(f.display), shown1);
        QCOMPARE(::shown2(f.display), shown2);
        QCOMPARE(litLamps(f.display), lampSet(lamps + QStringList{u"T_V_LAB1"_s, u"DC_LAB1"_s}));
    }
}

void TestModeRedraws::sensorRedrawSwitchesHoldOnAgain()
{
    Fixture f;
    f.linkUp();
    QVERIFY(f.sim.instrument.setStates(u"holdref=1"));
    f.state.MODE1 = u"DCV"_s;
    f.state.MODE1_RANGE = u"AUTO"_s;
    f.state.HOLD_ON = true;  // the single view has put the HOLD lamp out

    SENSOR_RANGE_CHK(f.panel);

    QCOMPARE(f.sim.written, (QStringList{u"calc:func hold\\10"_s, u"calc:hold:ref?\\10"_s}));
    QCOMPARE(shown2(f.display), u"1.00"_s + QString::fromUtf16(kPercent));
    QVERIFY(f.display.isLit(Lamp::HOLD_LAB));
    QCOMPARE(f.state.DISPLAY2, u"1.00 %"_s);
}

void TestModeRedraws::filterRedraw_data()
{
    QTest::addColumn<int>("hundredths");
    QTest::addColumn<QString>("shown2");
    const QString percent = QString::fromUtf16(kPercent);
    QTest::newRow("0.01 %") << 1 << u"01_"_s + percent;
    QTest::newRow("10 %")   << 1000 << u"10_"_s + percent;  // the first two of 1000
}

void TestModeRedraws::filterRedraw()
{
    QFETCH(int, hundredths);
    QFETCH(QString, shown2);
    Fixture f;
    f.linkUp();
    f.state.FILT_SET = true;
    f.timers.IMG_Timer.setEnabled(true);
    f.display.setLit(Points::DROP_IMG, 6, true);
    f.state.MODE1 = u"DCV"_s;
    f.state.MODE1_RANGE = u"AUTO"_s;
    f.state.HOLD_ON = true;
    f.state.HOLD_REF_INT = qint16(hundredths);

    FILT_RANGE_CHK(f.panel);

    QVERIFY(!f.state.FILT_SET);
    QVERIFY(!f.timers.IMG_Timer.isEnabled());
    QVERIFY(f.sim.written.isEmpty());  // hold comes from the stored reference
    QCOMPARE(::shown2(f.display), shown2);
    QCOMPARE(shown1(f.display), u"0000.000"_s);  // hold's point 3 puts out the view's
    QVERIFY(f.display.isLit(Lamp::HOLD_LAB));
    QVERIFY(!f.display.isLit(Points::DROP_IMG, 6));
}

void TestModeRedraws::filterRedrawResumesAPausedRun()
{
    for (const bool paused : {false, true}) {
        Fixture f;
        f.state.READ_PAUSED = paused;
        FILT_RANGE_CHK(f.panel);
        QCOMPARE(f.timers.READ_Timer.isEnabled(), paused);
        QCOMPARE(f.timers.STOP_Timer.isEnabled(), paused);
        QVERIFY(!f.state.READ_PAUSED);
        f.timers.READ_Timer.setEnabled(false);
        f.timers.STOP_Timer.setEnabled(false);
    }
}

QTEST_GUILESS_MAIN(TestModeRedraws)
#include "tst_mode_redraws.moc"
