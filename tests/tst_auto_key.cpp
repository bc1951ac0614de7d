// The AUTO key: auto range on and off for each display and function, the
// functions that refuse it, compare sent again; the range label read off the
// drawn display after auto range (and asked for frequency and period, and
// before any reading of the function), on the simulator too; the
// reading-rate cycle with its presets and rate commands.

#include "arrows/arrow_keys.h"
#include "keys/auto_key.h"
#include "keys/function_keys.h"
#include "reading/reply_parser.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/reading_setup.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using display::Lamp;

class TestAutoKey : public QObject
{
    Q_OBJECT

private slots:
    void display1_data();
    void display1();
    void display2_data();
    void display2();
    void rangeLabel_data();
    void rangeLabel();
    void rangeAskedWithoutReading_data();
    void rangeAskedWithoutReading();
    void leavingAutoOnSim_data();
    void leavingAutoOnSim();
    void rateCycle_data();
    void rateCycle();
};

namespace {

const QStringList kOff3 = {u"CALC:FUNC OFF,REL\\10"_s, u"CALC:FUNC OFF,HOLD\\10"_s, u"CALC:FUNC OFF,MAX\\10"_s};

void prepare(PanelFixture &f, const QStringList &lit, bool link)
{
    darken(f.display);
    QString unknown;
    QVERIFY2(setUp(f.panel, lit, &unknown), qPrintable(unknown));
    if (link)
        f.linkUp();
}

} // namespace

// Display 1 (2ND dark). MODE1_RANGE "keep" stands for a label that must
// not change.
void TestAutoKey::display1_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QStringList>("lit");
    QTest::addColumn<QString>("simState");
    QTest::addColumn<bool>("link");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<bool>("autoLit");
    QTest::addColumn<QString>("rangeAfter");
    QTest::addColumn<QString>("modeAfter");

    const QStringList none;
    QTest::newRow("DCV to manual, compare sent again") << u"DCV"_s << u"AUTO"_s
        << QStringList{u"AUTO_LAB1"_s, u"DC_LAB1"_s, u"DROP_IMG(1)"_s, u"COMP_ON"_s, u"reading1Shown"_s} << QString() << true
        << QStringList{u"conf:auto off\\10"_s, u"calc:func comp\\10"_s} << false << u"10V"_s << u"DCV"_s;
    // With nothing to ask, the zeros the DCV key left name the range.
    QTest::newRow("DCV to manual, link down") << u"DCV"_s << u"AUTO"_s
        << QStringList{u"AUTO_LAB1"_s, u"DC_LAB1"_s, u"DROP_IMG(2)"_s, u"T_min_LAB1"_s} << QString() << false
        << none << false << u"100mV"_s << u"DCV"_s;
    QTest::newRow("DCV to auto, compare sent again") << u"DCV"_s << u"10V"_s
        << QStringList{u"DC_LAB1"_s, u"COMP_ON"_s} << QString() << true
        << QStringList{u"calc:stat 0\\10"_s, u"conf:volt:dc\\10"_s, u"calc:func comp\\10"_s} << true << u"AUTO"_s
        << u"DCV"_s;
    QTest::newRow("4W to auto stays 4W") << u"4W"_s << u"1K"_s << QStringList{u"W4_LAB1"_s} << QString() << true
        << kOff3 + QStringList{u"conf:fres\\10"_s} << true << u"AUTO"_s << u"4W"_s;
    QTest::newRow("2W to auto stays 2W") << u"2W"_s << u"1K"_s << QStringList{u"W2_LAB1"_s} << QString() << true
        << QStringList{u"conf:res\\10"_s} << true << u"AUTO"_s << u"2W"_s;
    QTest::newRow("ACI from a milli range") << u"ACI"_s << u"10mA"_s
        << QStringList{u"AC_LAB1"_s, u"T_min_LAB1"_s} << QString() << true
        << kOff3 + QStringList{u"conf:curr:ac\\10"_s, u"sens:det:band?\\10"_s} << true << u"AUTO"_s << u"ACI"_s;
    QTest::newRow("ACI from 1 A") << u"ACI"_s << u"1A"_s << QStringList{u"AC_LAB1"_s} << QString() << true
        << kOff3 + QStringList{u"conf:curr:ac\\10"_s, u"sens:det:band?\\10"_s} << true << u"AUTO"_s << u"ACI"_s;
    QTest::newRow("ACI on the 10 A input stays") << u"ACI"_s << u"10A"_s << QStringList{u"AC_LAB1"_s}
        << QString() << true << none << false << u"10A"_s << u"ACI"_s;
    QTest::newRow("DCI from a micro range") << u"DCI"_s << u"100uA"_s
        << QStringList{u"DC_LAB1"_s, u"T_u_LAB1"_s} << QString() << true
        << kOff3 + QStringList{u"conf:curr:dc\\10"_s, u"sens:det:rate?\\10"_s} << true << u"AUTO"_s << u"DCI"_s;
    QTest::newRow("DCI on 10 A stays, compare sent again") << u"DCI"_s << u"AUTO"_s
        << QStringList{u"DC_LAB1"_s, u"COMP_ON"_s} << QString() << true
        << QStringList{u"calc:func comp\\10"_s} << false << u"10A"_s << u"DCI"_s;
    QTest::newRow("Hz to auto") << u"Hz"_s << u"10V"_s << QStringList{u"T_Hz_LAB1"_s} << QString() << true
        << QStringList{u"conf:freq\\10"_s} << true << u"AUTO"_s << u"Hz"_s;
    QTest::newRow("P to auto") << u"P"_s << u"1V"_s << QStringList{u"T_S_LAB1"_s} << QString() << true
        << QStringList{u"conf:per\\10"_s} << true << u"AUTO"_s << u"P"_s;
    QTest::newRow("Hz to manual: the input range asked") << u"Hz"_s << u"AUTO"_s
        << QStringList{u"T_Hz_LAB1"_s, u"AUTO_LAB1"_s} << u"func1=Hz,range1=100V"_s << true
        << QStringList{u"conf:auto off\\10"_s, u"conf:rang?\\10"_s} << false << u"100V"_s << u"Hz"_s;
    QTest::newRow("P to manual, link down: no label") << u"P"_s << u"AUTO"_s
        << QStringList{u"T_S_LAB1"_s, u"AUTO_LAB1"_s} << QString() << false << none << false << QString() << u"P"_s;
    QTest::newRow("temperature refuses") << u"C"_s << QString() << QStringList{u"T_C_LAB1"_s} << QString() << true
        << none << false << QString() << u"C"_s;
    QTest::newRow("diode refuses, lamp out") << u"DIODE"_s << u"AUTO"_s << QStringList{u"AUTO_LAB1"_s}
        << QString() << true << none << false << QString() << u"DIODE"_s;
    QTest::newRow("no function refuses") << QString() << u"AUTO"_s << QStringList{u"COMP_ON"_s} << QString()
        << true << none << false << QString() << QString();
}

void TestAutoKey::display1()
{
    QFETCH(QString, mode);
    QFETCH(QString, range);
    QFETCH(QStringList, lit);
    QFETCH(QString, simState);
    QFETCH(bool, link);
    QFETCH(QStringList, written);
    QFETCH(bool, autoLit);
    QFETCH(QString, rangeAfter);
    QFETCH(QString, modeAfter);
    PanelFixture f;
    prepare(f, lit, link);
    QVERIFY(f.sim.instrument.setStates(simState));
    f.state.MODE1 = mode;
    f.state.MODE1_RANGE = range;

    QVERIFY(keys::AUTO_IMG_ENTER(f.panel));

    QCOMPARE(f.sim.written, written);
    QCOMPARE(f.display.isLit(Lamp::AUTO_LAB1), autoLit);
    QCOMPARE(f.state.MODE1_RANGE, rangeAfter);
    QCOMPARE(f.state.MODE1, modeAfter);
    if (link && !written.isEmpty() && written.constFirst() != u"calc:func comp\\10")
        QCOMPARE(f.sim.instrument.measure(1).autoRange, autoLit);
}

// Display 2 (2ND lit, display 2 measuring): no compare, never a question.
void TestAutoKey::display2_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QStringList>("lit");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<bool>("autoLit");
    QTest::addColumn<QString>("rangeAfter");
    QTest::addColumn<bool>("nd2Lit");

    const QStringList none;
    QTest::newRow("no function: 2ND goes out") << QString() << u"1V"_s << QStringList{} << none << false
                                               << u"1V"_s << false;
    QTest::newRow("DCV to manual, no compare") << u"DCV"_s << u"AUTO"_s
        << QStringList{u"AUTO_LAB2"_s, u"DC_LAB2"_s, u"DROP_IMG2(1)"_s, u"COMP_ON"_s}
        << QStringList{u"conf2:auto off\\10"_s} << false << u"10V"_s << true;
    QTest::newRow("ACV to auto") << u"ACV"_s << u"1V"_s << QStringList{u"AC_LAB2"_s}
        << QStringList{u"conf2:volt:ac\\10"_s} << true << u"AUTO"_s << true;
    QTest::newRow("ACI without a prefix stays on 10 A") << u"ACI"_s << u"AUTO"_s << QStringList{u"AC_LAB2"_s}
        << none << false << u"10A"_s << true;
    QTest::newRow("ACI from milli") << u"ACI"_s << u"10mA"_s << QStringList{u"AC_LAB2"_s, u"T_min_LAB2"_s}
        << QStringList{u"conf2:curr:ac\\10"_s} << true << u"AUTO"_s << true;
    QTest::newRow("DCI from micro, rate asked") << u"DCI"_s << u"100uA"_s
        << QStringList{u"DC_LAB2"_s, u"T_u_LAB2"_s, u"DC_LAB1"_s}
        << QStringList{u"conf2:curr:dc\\10"_s, u"sens:det:rate?\\10"_s} << true << u"AUTO"_s << true;
    QTest::newRow("2W stays 2W") << u"2W"_s << u"1K"_s << QStringList{u"W2_LAB2"_s}
        << QStringList{u"conf2:res\\10"_s} << true << u"AUTO"_s << true;
    QTest::newRow("Hz to auto") << u"Hz"_s << u"10V"_s << QStringList{} << QStringList{u"conf2:freq\\10"_s}
        << true << u"AUTO"_s << true;
    QTest::newRow("P to manual asks nothing") << u"P"_s << u"AUTO"_s << QStringList{u"AUTO_LAB2"_s}
        << QStringList{u"conf2:auto off\\10"_s} << false << QString() << true;
    QTest::newRow("hold view refuses") << u"HOLD"_s << u"1V"_s << QStringList{} << none << false << u"1V"_s << true;
}

void TestAutoKey::display2()
{
    QFETCH(QString, mode);
    QFETCH(QString, range);
    QFETCH(QStringList, lit);
    QFETCH(QStringList, written);
    QFETCH(bool, autoLit);
    QFETCH(QString, rangeAfter);
    QFETCH(bool, nd2Lit);
    PanelFixture f;
    prepare(f, lit + QStringList{u"ND2_LAB"_s, u"MODE2_ON"_s}, true);
    f.state.MODE1 = u"DCV"_s;
    f.state.MODE1_RANGE = u"1V"_s;
    f.state.MODE2 = mode;
    f.state.MODE2_RANGE = range;

    QVERIFY(keys::AUTO_IMG_ENTER(f.panel));

    QCOMPARE(f.sim.written, written);
    QCOMPARE(f.display.isLit(Lamp::AUTO_LAB2), autoLit);
    QCOMPARE(f.state.MODE2_RANGE, rangeAfter);
    QCOMPARE(f.display.isLit(Lamp::ND2_LAB), nd2Lit);
    QCOMPARE(f.state.MODE1_RANGE, u"1V"_s);
}

// AUTO_OFF alone, from the drawn display showing a reading: the first lit
// point (display 1: 0..4, display 2: 0..3) and the prefix and DC lamps.
// "keep" is the label before; it stays where no rule names a range.
void TestAutoKey::rangeLabel_data()
{
    QTest::addColumn<int>("displayNo");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("lit");
    QTest::addColumn<QString>("reply");  // to "conf:rang?"; empty: not asked
    QTest::addColumn<QString>("label");

    struct Row { const char *name; int displayNo; const char16_t *mode; QStringList lit; const char16_t *label; };
    const Row rows[] = {
        {"DCV p2 milli",            1, u"DCV", {u"DROP_IMG(2)"_s, u"T_min_LAB1"_s},              u"100mV"},
        {"DCV p2",                  1, u"DCV", {u"DROP_IMG(2)"_s},                               u"100V"},
        {"DCV p0",                  1, u"DCV", {u"DROP_IMG(0)"_s},                               u"1V"},
        {"DCV p3 with DC",          1, u"DCV", {u"DROP_IMG(3)"_s, u"DC_LAB1"_s},                 u"1000V"},
        {"ACV p3",                  1, u"ACV", {u"DROP_IMG(3)"_s},                               u"750V"},
        {"DCV p4",                  1, u"DCV", {u"DROP_IMG(4)"_s},                               u"keep"},
        {"DCV no point",            1, u"DCV", {u"DROP_IMG(5)"_s},                               u"keep"},
        {"DCI p2 micro",            1, u"DCI", {u"DROP_IMG(2)"_s, u"T_u_LAB1"_s, u"T_min_LAB1"_s}, u"100uA"},
        {"DCI p2 milli",            1, u"DCI", {u"DROP_IMG(2)"_s, u"T_min_LAB1"_s},              u"10mA"},
        {"DCI p2",                  1, u"DCI", {u"DROP_IMG(2)"_s},                               u"10A"},
        {"ACI p0 milli",            1, u"ACI", {u"DROP_IMG(0)"_s, u"T_min_LAB1"_s},              u"1mA"},
        {"ACI p0",                  1, u"ACI", {u"DROP_IMG(0)"_s},                               u"1A"},
        {"ACI p1",                  1, u"ACI", {u"DROP_IMG(1)"_s},                               u"10A"},
        {"DCI p3",                  1, u"DCI", {u"DROP_IMG(3)"_s},                               u"100mA"},
        {"2W p0",                   1, u"2W",  {u"DROP_IMG(0)"_s},                               u"keep"},
        {"2W p1",                   1, u"2W",  {u"DROP_IMG(1)"_s},                               u"1M"},
        {"4W p2 kilo",              1, u"4W",  {u"DROP_IMG(2)"_s, u"T_K_LAB1"_s},                u"10K"},
        {"4W p2",                   1, u"4W",  {u"DROP_IMG(2)"_s},                               u"10M"},
        {"2W p3 kilo",              1, u"2W",  {u"DROP_IMG(3)"_s, u"T_K_LAB1"_s},                u"100K"},
        {"2W p3 mega",              1, u"2W",  {u"DROP_IMG(3)"_s, u"T_M_LAB1"_s},                u"100M"},
        {"2W p3",                   1, u"2W",  {u"DROP_IMG(3)"_s},                               u"100"},
        {"2W p4",                   1, u"2W",  {u"DROP_IMG(4)"_s},                               u"1K"},
        {"2W no point",             1, u"2W",  {},                                               u"keep"},
        {"temperature",             1, u"C",   {u"DROP_IMG(0)"_s},                               u"keep"},
        {"display 2 DCV p3 with DC", 2, u"DCV", {u"DROP_IMG2(3)"_s, u"DC_LAB2"_s, u"DC_LAB1"_s}, u"1000V"},
        {"display 2 ACV p3, DC on 1", 2, u"ACV", {u"DROP_IMG2(3)"_s, u"DC_LAB1"_s},              u"750V"},
        {"display 2 ACV p2 milli",  2, u"ACV", {u"DROP_IMG2(2)"_s, u"T_min_LAB2"_s},             u"100mV"},
        {"display 2 DCV p4",        2, u"DCV", {u"DROP_IMG2(4)"_s},                              u"keep"},
        {"display 2 2W p0",         2, u"2W",  {u"DROP_IMG2(0)"_s},                              u"1M"},
        {"display 2 2W p1 kilo",    2, u"2W",  {u"DROP_IMG2(1)"_s, u"T_K_LAB2"_s},               u"10K"},
        {"display 2 4W p2 mega",    2, u"4W",  {u"DROP_IMG2(2)"_s, u"T_M_LAB2"_s},               u"100M"},
        {"display 2 4W p3",         2, u"4W",  {u"DROP_IMG2(3)"_s},                              u"1K"},
        {"display 2 ACI p0",        2, u"ACI", {u"DROP_IMG2(0)"_s},                              u"keep"},
        {"display 2 DCI p1 milli",  2, u"DCI", {u"DROP_IMG2(1)"_s, u"T_min_LAB2"_s},             u"10mA"},
        {"display 2 DCI p1",        2, u"DCI", {u"DROP_IMG2(1)"_s},                              u"10A"},
        {"display 2 ACI p2",        2, u"ACI", {u"DROP_IMG2(2)"_s},                              u"100mA"},
        {"display 2 Hz asks nothing", 2, u"Hz", {u"DROP_IMG2(3)"_s},                             u"keep"},
    };
    for (const Row &row : rows)
        QTest::newRow(row.name) << row.displayNo << QString::fromUtf16(row.mode) << row.lit << QString()
                                << QString::fromUtf16(row.label);

    // Frequency and period on display 1 take the instrument's input range.
    QTest::newRow("Hz reply 10") << 1 << u"Hz"_s << QStringList{} << u"10"_s << u"10V"_s;
    QTest::newRow("Hz reply 0.1") << 1 << u"Hz"_s << QStringList{} << u"0.1"_s << u"100mV"_s;
    QTest::newRow("P reply 750") << 1 << u"P"_s << QStringList{} << u"750"_s << u"750V"_s;
    QTest::newRow("Hz reply 1000 stays as it came") << 1 << u"Hz"_s << QStringList{} << u"1000"_s << u"1000"_s;
}

void TestAutoKey::rangeLabel()
{
    QFETCH(int, displayNo);
    QFETCH(QString, mode);
    QFETCH(QStringList, lit);
    QFETCH(QString, reply);
    QFETCH(QString, label);
    PanelFixture f;
    prepare(f, displayNo == 2 ? lit + QStringList{u"ND2_LAB"_s} : lit, true);
    if (!reply.isEmpty())
        QVERIFY(f.sim.instrument.setStates(u"reply:conf:rang?="_s + reply));
    (displayNo == 1 ? f.state.MODE1 : f.state.MODE2) = mode;
    f.state.MODE1_RANGE = u"keep"_s;
    f.state.MODE2_RANGE = u"keep"_s;
    f.state.reading1Shown = true;

    QVERIFY(keys::AUTO_OFF(f.panel));

    QCOMPARE(displayNo == 1 ? f.state.MODE1_RANGE : f.state.MODE2_RANGE, label);
    QCOMPARE(displayNo == 1 ? f.state.MODE2_RANGE : f.state.MODE1_RANGE, u"keep"_s);
    QCOMPARE(f.sim.written, reply.isEmpty() ? QStringList{} : QStringList{u"conf:rang?\\10"_s});
}

// AUTO_OFF on display 1 before any reading of its function: the zeros the
// function key left (drawn here as it draws them) sit where auto range
// starts, so the instrument is asked and its reply read as the start-up
// identification reads it. Current reads the codes too; 1 is 1A, as no
// reading's m lamp tells 10mA from 10A. A reply that names no range of the
// function leaves the label empty and a status line.
void TestAutoKey::rangeAskedWithoutReading_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("lit");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("label");

    const QStringList dcv = {u"DC_LAB1"_s, u"T_V_LAB1"_s, u"DROP_IMG(2)"_s, u"T_min_LAB1"_s};
    const QStringList acv = {u"AC_LAB1"_s, u"T_V_LAB1"_s, u"DROP_IMG(3)"_s, u"T_min_LAB1"_s};
    const QStringList w2 = {u"W2_LAB1"_s, u"T_R_LAB1"_s, u"DROP_IMG(2)"_s, u"T_K_LAB1"_s};
    const QStringList w4 = {u"W4_LAB1"_s, u"T_R_LAB1"_s, u"DROP_IMG(3)"_s, u"T_M_LAB1"_s};
    const QStringList dci = {u"DC_LAB1"_s, u"T_A_LAB1"_s, u"DROP_IMG(2)"_s, u"T_u_LAB1"_s};
    const QStringList aci = {u"AC_LAB1"_s, u"T_A_LAB1"_s, u"DROP_IMG(1)"_s, u"T_min_LAB1"_s};
    QTest::newRow("DCV 10") << u"DCV"_s << dcv << u"10"_s << u"10V"_s;
    QTest::newRow("DCV 1000") << u"DCV"_s << dcv << u"1000"_s << u"1000V"_s;
    QTest::newRow("ACV 750") << u"ACV"_s << acv << u"750"_s << u"750V"_s;
    QTest::newRow("2W 10E5") << u"2W"_s << w2 << u"10E5"_s << u"100K"_s;
    QTest::newRow("4W 10E2") << u"4W"_s << w4 << u"10E2"_s << u"100"_s;
    QTest::newRow("DCI 0.1") << u"DCI"_s << dci << u"0.1"_s << u"100mA"_s;
    QTest::newRow("DCI 1.000000E-04") << u"DCI"_s << dci << u"1.000000E-04"_s << u"100uA"_s;
    QTest::newRow("DCI 1") << u"DCI"_s << dci << u"1"_s << u"1A"_s;
    QTest::newRow("DCI code 2") << u"DCI"_s << dci << u"2"_s << u"100mA"_s;
    QTest::newRow("ACI 10") << u"ACI"_s << aci << u"10"_s << u"10A"_s;
    QTest::newRow("ACI 1.000000E+00, m lit") << u"ACI"_s << aci << u"1.000000E+00"_s << u"1A"_s;
    QTest::newRow("ACI 0.0001: no AC range") << u"ACI"_s << aci << u"0.0001"_s << QString();
    QTest::newRow("DCV 0.5: no range") << u"DCV"_s << dcv << u"0.5"_s << QString();
    QTest::newRow("2W reply x") << u"2W"_s << w2 << u"x"_s << QString();
}

void TestAutoKey::rangeAskedWithoutReading()
{
    QFETCH(QString, mode);
    QFETCH(QStringList, lit);
    QFETCH(QString, reply);
    QFETCH(QString, label);
    PanelFixture f;
    prepare(f, lit, true);
    QVERIFY(f.sim.instrument.setState(u"reply:conf:rang?"_s, reply));
    f.state.MODE1 = mode;

    QVERIFY(keys::AUTO_OFF(f.panel));

    QCOMPARE(f.sim.written, QStringList{u"conf:rang?\\10"_s});
    QCOMPARE(f.state.MODE1_RANGE, label);
    const QStringList told = f.status.lines().filter(u"\"conf:rang?\" answered \""_s + reply + u'"');
    QCOMPARE(told.size(), label.isEmpty() ? 1 : 0);
}

// On the simulator, on a known range in auto range, with display 1 as the
// start-up identification or the function key leaves it: AUTO names the
// range the instrument is on, and UP then goes one range above it. After a
// reading, the drawn reading names the range and nothing is asked.
void TestAutoKey::leavingAutoOnSim_data()
{
    QTest::addColumn<QString>("instrument");
    QTest::addColumn<QString>("before");  // "reading": one reading drawn; "key": then the function key again
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("up");
    QTest::addColumn<QString>("labelUp");

    QTest::newRow("2W on 100K") << u"func1=2W,range1=100K,auto1=1"_s << QString() << u"100K"_s
                                << u"conf:res 1000000\\10"_s << u"1M"_s;
    QTest::newRow("DCV on 10V") << u"func1=DCV,range1=10V,auto1=1"_s << QString() << u"10V"_s
                                << u"conf:volt:dc 100\\10"_s << u"100V"_s;
    QTest::newRow("DCV on 10V, a reading, then the DCV key") << u"func1=DCV,range1=10V,auto1=1,display1=5"_s
        << u"reading key"_s << u"10V"_s << u"conf:volt:dc 100\\10"_s << u"100V"_s;
    QTest::newRow("DCI on 100mA") << u"func1=DCI,range1=100mA,auto1=1"_s << QString() << u"100mA"_s
                                  << u"conf:curr:dc 1\\10"_s << u"1A"_s;
    QTest::newRow("DCV on 10V, 5 V drawn") << u"func1=DCV,range1=10V,auto1=1,display1=5"_s << u"reading"_s
                                           << u"10V"_s << u"conf:volt:dc 100\\10"_s << u"100V"_s;
}

void TestAutoKey::leavingAutoOnSim()
{
    QFETCH(QString, instrument);
    QFETCH(QString, before);
    QFETCH(QString, label);
    QFETCH(QString, up);
    QFETCH(QString, labelUp);
    PanelFixture f;
    QString why;
    QVERIFY2(f.identify(instrument, &why), qPrintable(why));
    if (before.contains(u"reading")) {
        f.state.READ_OK = true;
        QVERIFY(reading::TRIG_READ_SHOW(f.panel));
    }
    if (before.contains(u"key"))
        QVERIFY(keys::DCV_IMG_ENTER(f.panel));
    QCOMPARE(f.state.MODE1_RANGE, u"AUTO"_s);
    QVERIFY(f.display.isLit(Lamp::AUTO_LAB1));
    f.sim.written.clear();

    QVERIFY(keys::AUTO_IMG_ENTER(f.panel));

    QStringList asked = {u"conf:auto off\\10"_s};
    if (before != u"reading")  // the function key leaves zeros over the reading
        asked << u"conf:rang?\\10"_s;
    QCOMPARE(f.sim.written, asked);
    QCOMPARE(f.state.MODE1_RANGE, label);
    QVERIFY(!f.display.isLit(Lamp::AUTO_LAB1));
    QCOMPARE(f.sim.instrument.measure(1).range, label.toLatin1());
    f.sim.written.clear();

    QVERIFY(arrows::UP_IMG_ENTER(f.panel));

    QCOMPARE(f.sim.written.value(0), up);
    QCOMPARE(f.state.MODE1_RANGE, labelUp);
    QCOMPARE(f.sim.instrument.measure(1).range, labelUp.toLatin1());
    QVERIFY(!f.sim.instrument.measure(1).autoRange);
}

// SHIFT then AUTO: S to M, M to F, F (or none) to S; the preset for the new
// rate and display 1's function (an empty first entry: the list is kept);
// the rate command by display 1's lamps.
void TestAutoKey::rateCycle_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("lit");
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("newRate");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("written");

    QTest::newRow("ACV S to M: band 20") << u"ACV"_s << QStringList{u"S_LAB"_s, u"AC_LAB1"_s} << true << u"M"_s
        << u"500"_s << u"500"_s << QStringList{u"sens:det:band 20\\10"_s};
    QTest::newRow("ACI M to F") << u"ACI"_s << QStringList{u"M_LAB"_s, u"AC_LAB1"_s} << true << u"F"_s
        << u"33.333"_s << u"500"_s << QStringList{u"sens:det:band 200\\10"_s};
    QTest::newRow("ACV F to S") << u"ACV"_s << QStringList{u"F_LAB"_s, u"AC_LAB1"_s} << true << u"S"_s
        << u"2000"_s << u"2000"_s << QStringList{u"sens:det:band 3\\10"_s};
    QTest::newRow("Hz F to S: gate 1 s") << u"Hz"_s << QStringList{u"F_LAB"_s, u"T_Hz_LAB1"_s} << true << u"S"_s
        << u"1000"_s << u"1000"_s << QStringList{u"sens:freq:aper 1\\10"_s};
    QTest::newRow("P S to M: gate 0.1 s") << u"P"_s << QStringList{u"S_LAB"_s, u"T_S_LAB1"_s} << true << u"M"_s
        << u"200"_s << u"500"_s << QStringList{u"sens:freq:aper 0.1\\10"_s};
    QTest::newRow("DCV, no lamp, to S") << u"DCV"_s << QStringList{u"DC_LAB1"_s} << true << u"S"_s
        << u"33.333"_s << u"500"_s << QStringList{u"sens:det:rate s\\10"_s};
    QTest::newRow("DCI S to M") << u"DCI"_s << QStringList{u"S_LAB"_s} << true << u"M"_s
        << u"16.667"_s << u"500"_s << QStringList{u"sens:det:rate m\\10"_s};
    QTest::newRow("DCV M to F: list kept") << u"DCV"_s << QStringList{u"M_LAB"_s} << true << u"F"_s
        << QString() << QString() << QStringList{u"sens:det:rate f\\10"_s};
    QTest::newRow("2W M to F: list kept") << u"2W"_s << QStringList{u"M_LAB"_s, u"W2_LAB1"_s} << true << u"F"_s
        << QString() << QString() << QStringList{u"sens:det:rate f\\10"_s};
    QTest::newRow("link down: all but the command") << u"ACV"_s << QStringList{u"S_LAB"_s, u"AC_LAB1"_s} << false
        << u"M"_s << u"500"_s << u"500"_s << QStringList{};
}

void TestAutoKey::rateCycle()
{
    QFETCH(QString, mode);
    QFETCH(QStringList, lit);
    QFETCH(bool, link);
    QFETCH(QString, newRate);
    QFETCH(QString, first);
    QFETCH(QString, text);
    QFETCH(QStringList, written);
    PanelFixture f;
    prepare(f, lit + QStringList{u"SHIFT_LAB"_s}, link);
    f.state.MODE1 = mode;
    f.controls.Speed_TIME.items = QStringList{u"kept"_s};
    f.controls.Speed_TIME.text = u"kept"_s;

    QVERIFY(keys::AUTO_IMG_ENTER(f.panel));

    QCOMPARE(f.sim.written, written);
    QVERIFY(!f.display.isLit(Lamp::SHIFT_LAB));
    QStringList rateLamps;
    for (Lamp lamp : {Lamp::S_LAB, Lamp::M_LAB, Lamp::F_LAB})
        if (f.display.isLit(lamp))
            rateLamps << display::lampName(lamp).toString();
    QCOMPARE(rateLamps, QStringList{newRate + u"_LAB"_s});
    QCOMPARE(f.state.SPEED_CODE, newRate);
    QCOMPARE(f.controls.Speed_TIME.items.value(0), first.isEmpty() ? u"kept"_s : first);
    QCOMPARE(f.controls.Speed_TIME.text, text.isEmpty() ? u"kept"_s : text);
    if (link)
        QCOMPARE(f.sim.instrument.field("rate").value_or(""), newRate.toLatin1());
}

QTEST_GUILESS_MAIN(TestAutoKey)
#include "tst_auto_key.moc"
