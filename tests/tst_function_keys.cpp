// The function keys: each key and branch on display 1 and, with 2ND lit, on
// display 2, with the link up or down and display 2 busy or free; the
// toggles by their own lamps; SHIFT holding ACV and DCV back. The
// temperature key: its unit toggle by the Celsius lamp, the thermocouple
// refresh, and what it does with 2ND lit, the link down and no reply.

#include "display/glyph_words.h"
#include "keys/function_keys.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/reading_setup.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace display;

class TestFunctionKeys : public QObject
{
    Q_OBJECT

private slots:
    void functionKey_data();
    void functionKey();
    void resistanceKeyThreeTimesFromDcv();
    void voltKeysWaitWhileShiftIsLit();
    void failedCommandEndsTheKeyThere();
    void temperatureKey_data();
    void temperatureKey();
    void temperatureKeyWith2ndOnlyPutsItOut();
    void temperatureKeyTakesTheFirstCharacter();
    void temperatureKeyWithoutReplyStillSetsTheUnit();
};

namespace {

void prepare(PanelFixture &f)
{
    darken(f.display);
    DIS1_SHOW_RANGE(f.display, u"1", u"2", u"3", u"4", u"5", u"6", u"7");
    DIS2_SHOW_RANGE(f.display, u"1", u"2", u"3", u"4", u"5", u"6");
    f.display.setLit(Lamp::HOLD_LAB, true);
    f.display.setLit(Lamp::T_V_LAB2, true);
    f.state.MODE1 = u"DCV"_s;
    f.state.MODE1_RANGE = u"AUTO"_s;
    f.state.DISPLAY1 = u"1.0_V"_s;
}

using Procedure = bool (*)(Panel &);

Procedure procedureNamed(const QString &name)
{
    static const QHash<QString, Procedure> procedures = {
        {u"ACV"_s, keys::ACV_IMG_ENTER},   {u"DCV"_s, keys::DCV_IMG_ENTER},
        {u"ACI"_s, keys::ACI_IMG_ENTER},   {u"DCI"_s, keys::DCI_IMG_ENTER},
        {u"W2W4"_s, keys::W2W4_IMG_ENTER}, {u"DIOCON"_s, keys::DIOCON_IMG_ENTER},
        {u"Hz_P"_s, keys::Hz_P_IMG_ENTER},
    };
    return procedures.value(name);
}

// A panel measuring DC volts on display 1, reading 1234567 and 123456; MODE2
// names a function only in case display 2 is on.
void prepareMeasuring(PanelFixture &f)
{
    darken(f.display);
    DIS1_SHOW_RANGE(f.display, u"1", u"2", u"3", u"4", u"5", u"6", u"7");
    DIS2_SHOW_RANGE(f.display, u"1", u"2", u"3", u"4", u"5", u"6");
    for (Lamp lamp : {Lamp::DC_LAB1, Lamp::HOLD_LAB, Lamp::T_V_LAB2})
        f.display.setLit(lamp, true);
    f.state.MODE1 = u"DCV"_s;
    f.state.MODE1_RANGE = u"10V"_s;
    f.state.MODE2 = u"DCV"_s;
    f.state.MODE2_RANGE = u"1V"_s;
    f.state.DISPLAY1 = u"1.0_V"_s;
    f.state.DISPLAY2 = u"2.0_V"_s;
}

QString symbolShown(const DisplayModel &d)
{
    return d.isLit(Symbol::DIODE_IMG) ? u"DIODE_IMG"_s : d.isLit(Symbol::CONTINU_IMG) ? u"CONTINU_IMG"_s : QString();
}

} // namespace

// One row per key and branch: the lamps that choose the branch or the
// display ("ND2_LAB", "W2_LAB1", ...), the link, then what the instrument
// got and what the panel shows. The panel before: DC volts on display 1
// (DC, HOLD lit), display 2's volt lamp lit, both displays full of digits.
void TestFunctionKeys::functionKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<bool>("link");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<int>("displayNo");  // whose code and range the key sets
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QStringList>("lamps");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("shown1");
    QTest::addColumn<QString>("shown2");
    QTest::addColumn<bool>("acdc");

    const QStringList off3 = {u"CALC:FUNC OFF,REL\\10"_s, u"CALC:FUNC OFF,HOLD\\10"_s,
                              u"CALC:FUNC OFF,MAX\\10"_s};
    const QString rate = u"sens:det:rate?\\10"_s;
    const QString gate = u"sens:FREQ:APER?\\10"_s;
    const QStringList none;
    const QStringList nd2 = {u"ND2_LAB"_s};
    const QStringList kept1 = {u"DC_LAB1"_s, u"HOLD_LAB"_s, u"ND2_LAB"_s};  // display 2 rows leave these

    // Display 1, display 2 free: the range or function word on display 2.
    QTest::newRow("ACV") << u"ACV"_s << none << true << QStringList{u"calc:stat 0\\10"_s, u"conf:volt:ac\\10"_s}
        << 1 << u"ACV"_s << u"AUTO"_s << QStringList{u"AC_LAB1"_s, u"AUTO_LAB1"_s, u"T_V_LAB1"_s, u"T_min_LAB1"_s}
        << QString() << u"000.0000"_s << u"_100[M2]V"_s << true;
    QTest::newRow("ACV, link down") << u"ACV"_s << none << false << none
        << 1 << u"ACV"_s << u"AUTO"_s << QStringList{u"AC_LAB1"_s, u"AUTO_LAB1"_s, u"T_V_LAB1"_s, u"T_min_LAB1"_s}
        << QString() << u"000.0000"_s << u"_100[M2]V"_s << true;
    QTest::newRow("DCV") << u"DCV"_s << none << true << QStringList{u"calc:stat 0\\10"_s, u"conf:volt:dc\\10"_s}
        << 1 << u"DCV"_s << u"AUTO"_s << QStringList{u"DC_LAB1"_s, u"AUTO_LAB1"_s, u"T_V_LAB1"_s, u"T_min_LAB1"_s}
        << QString() << u"000.0000"_s << u"_100[M2]V"_s << true;
    QTest::newRow("ACI: rate asked after the commands") << u"ACI"_s << none << true
        << off3 + QStringList{u"conf:curr:ac\\10"_s, rate}
        << 1 << u"ACI"_s << u"AUTO"_s << QStringList{u"AC_LAB1"_s, u"AUTO_LAB1"_s, u"T_A_LAB1"_s, u"T_min_LAB1"_s, u"M_LAB"_s}
        << QString() << u"0.000000"_s << u"__ 1[M2]A"_s << true;
    QTest::newRow("DCI: display 2 keeps its lamps") << u"DCI"_s << none << true
        << off3 + QStringList{u"conf:curr:dc\\10"_s, rate}
        << 1 << u"DCI"_s << u"AUTO"_s
        << QStringList{u"DC_LAB1"_s, u"AUTO_LAB1"_s, u"T_A_LAB1"_s, u"T_u_LAB1"_s, u"T_V_LAB2"_s, u"M_LAB"_s}
        << QString() << u"000.0000"_s << u"_100[U2]A"_s << true;
    QTest::newRow("W2W4 to 2-wire") << u"W2W4"_s << none << true << QStringList{u"conf:res\\10"_s}
        << 1 << u"2W"_s << u"AUTO"_s << QStringList{u"W2_LAB1"_s, u"AUTO_LAB1"_s, u"T_R_LAB1"_s}
        << QString() << u"000.0000"_s << u"_100_[ohm]"_s << false;
    QTest::newRow("W2W4 to 4-wire") << u"W2W4"_s << QStringList{u"W2_LAB1"_s} << true
        << off3 + QStringList{u"conf:fres\\10"_s}
        << 1 << u"4W"_s << u"AUTO"_s << QStringList{u"W4_LAB1"_s, u"AUTO_LAB1"_s, u"T_R_LAB1"_s}
        << QString() << u"000.0000"_s << u"_100_[ohm]"_s << false;
    QTest::newRow("D_C to diode: range kept") << u"DIOCON"_s << none << true << QStringList{u"conf:diod\\10"_s}
        << 1 << u"DIODE"_s << u"10V"_s << QStringList{u"T_V_LAB1"_s}
        << u"DIODE_IMG"_s << u"0.000000"_s << u"_DIODE"_s << false;
    QTest::newRow("D_C to continuity") << u"DIOCON"_s << QStringList{u"DIODE_IMG"_s} << true
        << QStringList{u"conf:cont\\10"_s}
        << 1 << u"CONTINU"_s << u"10V"_s << QStringList{u"T_R_LAB1"_s}
        << u"CONTINU_IMG"_s << u"0000.000"_s << u"_CONT_"_s << false;
    QTest::newRow("Hz_P to frequency: rate asked last") << u"Hz_P"_s << none << true
        << QStringList{u"conf:freq\\10"_s, gate}
        << 1 << u"Hz"_s << u"AUTO"_s << QStringList{u"T_Hz_LAB1"_s, u"T_K_LAB1"_s, u"AUTO_LAB1"_s, u"M_LAB"_s}
        << QString() << u"000.0000"_s << u"_FREQ_"_s << false;
    QTest::newRow("Hz_P to frequency, link down") << u"Hz_P"_s << none << false << none
        << 1 << u"Hz"_s << u"AUTO"_s << QStringList{u"T_Hz_LAB1"_s, u"T_K_LAB1"_s, u"AUTO_LAB1"_s}
        << QString() << u"000.0000"_s << u"_FREQ_"_s << false;
    QTest::newRow("Hz_P to period") << u"Hz_P"_s << QStringList{u"T_Hz_LAB1"_s} << true
        << off3 + QStringList{u"conf:per\\10"_s, gate}
        << 1 << u"P"_s << u"AUTO"_s << QStringList{u"T_S_LAB1"_s, u"T_u_LAB1"_s, u"AUTO_LAB1"_s, u"M_LAB"_s}
        << QString() << u"0000.000"_s << u"PER1OD"_s << false;

    // Display 1 while display 2 measures: display 2 stays, except for D_C.
    QTest::newRow("ACV, display 2 busy") << u"ACV"_s << QStringList{u"MODE2_ON"_s} << true
        << QStringList{u"calc:stat 0\\10"_s, u"conf:volt:ac\\10"_s}
        << 1 << u"ACV"_s << u"AUTO"_s
        << QStringList{u"AC_LAB1"_s, u"AUTO_LAB1"_s, u"T_V_LAB1"_s, u"T_min_LAB1"_s, u"T_V_LAB2"_s}
        << QString() << u"000.0000"_s << u"123456"_s << true;
    QTest::newRow("D_C, display 2 busy: spelled anyway") << u"DIOCON"_s << QStringList{u"MODE2_ON"_s} << true
        << QStringList{u"conf:diod\\10"_s}
        << 1 << u"DIODE"_s << u"10V"_s << QStringList{u"T_V_LAB1"_s}
        << u"DIODE_IMG"_s << u"0.000000"_s << u"_DIODE"_s << false;
    QTest::newRow("D_C with 2ND lit: display 1 all the same") << u"DIOCON"_s << nd2 << true
        << QStringList{u"conf:diod\\10"_s}
        << 1 << u"DIODE"_s << u"10V"_s << QStringList{u"T_V_LAB1"_s, u"ND2_LAB"_s}
        << u"DIODE_IMG"_s << u"0.000000"_s << u"_DIODE"_s << false;

    // Display 2 with 2ND lit: its own command, no word, display 1 untouched.
    QTest::newRow("2ND ACV") << u"ACV"_s << nd2 << true << QStringList{u"conf2:volt:ac\\10"_s}
        << 2 << u"ACV"_s << u"AUTO"_s << kept1 + QStringList{u"AC_LAB2"_s, u"AUTO_LAB2"_s, u"T_V_LAB2"_s, u"T_min_LAB2"_s}
        << QString() << u"1234567"_s << u"000.000"_s << true;
    QTest::newRow("2ND DCV") << u"DCV"_s << nd2 << true << QStringList{u"conf2:volt:dc\\10"_s}
        << 2 << u"DCV"_s << u"AUTO"_s << kept1 + QStringList{u"DC_LAB2"_s, u"AUTO_LAB2"_s, u"T_V_LAB2"_s, u"T_min_LAB2"_s}
        << QString() << u"1234567"_s << u"000.000"_s << true;
    QTest::newRow("2ND ACI") << u"ACI"_s << nd2 << true << QStringList{u"conf2:curr:ac\\10"_s}
        << 2 << u"ACI"_s << u"AUTO"_s << kept1 + QStringList{u"AC_LAB2"_s, u"AUTO_LAB2"_s, u"T_A_LAB2"_s}
        << QString() << u"1234567"_s << u"00.0000"_s << true;
    QTest::newRow("2ND ACI, link down") << u"ACI"_s << nd2 << false << none
        << 2 << u"ACI"_s << u"AUTO"_s << kept1 + QStringList{u"AC_LAB2"_s, u"AUTO_LAB2"_s, u"T_A_LAB2"_s}
        << QString() << u"1234567"_s << u"00.0000"_s << true;
    QTest::newRow("2ND DCI: rate asked") << u"DCI"_s << nd2 << true << QStringList{u"conf2:curr:dc\\10"_s, rate}
        << 2 << u"DCI"_s << u"AUTO"_s << kept1 + QStringList{u"DC_LAB2"_s, u"AUTO_LAB2"_s, u"T_A_LAB2"_s, u"M_LAB"_s}
        << QString() << u"1234567"_s << u"00.0000"_s << true;
    QTest::newRow("2ND W2W4 to 2-wire") << u"W2W4"_s << nd2 << true << QStringList{u"conf2:res\\10"_s}
        << 2 << u"2W"_s << u"AUTO"_s << kept1 + QStringList{u"W2_LAB2"_s, u"AUTO_LAB2"_s, u"T_R_LAB2"_s}
        << QString() << u"1234567"_s << u"000.000"_s << false;
    QTest::newRow("2ND W2W4 to 4-wire by W2_LAB2, not W2_LAB1") << u"W2W4"_s
        << QStringList{u"ND2_LAB"_s, u"W2_LAB2"_s} << true << QStringList{u"conf2:fres\\10"_s}
        << 2 << u"4W"_s << u"AUTO"_s << kept1 + QStringList{u"W4_LAB2"_s, u"AUTO_LAB2"_s, u"T_R_LAB2"_s}
        << QString() << u"1234567"_s << u"000.000"_s << false;
    QTest::newRow("2ND Hz_P to frequency") << u"Hz_P"_s << QStringList{u"ND2_LAB"_s, u"T_Hz_LAB1"_s} << true
        << QStringList{u"conf2:freq\\10"_s, gate}
        << 2 << u"Hz"_s << u"AUTO"_s
        << kept1 + QStringList{u"T_Hz_LAB1"_s, u"T_Hz_LAB2"_s, u"AUTO_LAB2"_s, u"M_LAB"_s}
        << QString() << u"1234567"_s << u"0000.00"_s << false;
    QTest::newRow("2ND Hz_P to period") << u"Hz_P"_s << QStringList{u"ND2_LAB"_s, u"T_Hz_LAB2"_s} << true
        << QStringList{u"conf2:per\\10"_s, rate}
        << 2 << u"P"_s << u"AUTO"_s << kept1 + QStringList{u"T_S_LAB2"_s, u"AUTO_LAB2"_s, u"M_LAB"_s}
        << QString() << u"1234567"_s << u"0000.00"_s << false;
}

void TestFunctionKeys::functionKey()
{
    QFETCH(QString, key);
    QFETCH(QStringList, before);
    QFETCH(bool, link);
    QFETCH(QStringList, written);
    QFETCH(int, displayNo);
    QFETCH(QString, mode);
    QFETCH(QString, range);
    QFETCH(QStringList, lamps);
    QFETCH(QString, symbol);
    QFETCH(QString, shown1);
    QFETCH(QString, shown2);
    QFETCH(bool, acdc);
    PanelFixture f;
    prepareMeasuring(f);
    QString unknown;
    QVERIFY2(setUp(f.panel, before, &unknown), qPrintable(unknown));
    if (link)
        f.linkUp();
    const bool display2Before = f.state.MODE2_ON;

    QVERIFY(procedureNamed(key)(f.panel));

    QCOMPARE(f.sim.written, written);
    QCOMPARE(displayNo == 1 ? f.state.MODE1 : f.state.MODE2, mode);
    QCOMPARE(displayNo == 1 ? f.state.MODE1_RANGE : f.state.MODE2_RANGE, range);
    QCOMPARE(displayNo == 1 ? f.state.DISPLAY1 : f.state.DISPLAY2, QString());
    QCOMPARE(f.state.MODE2_ON, displayNo == 2 || display2Before);
    QCOMPARE(litLamps(f.display), lampSet(lamps));
    QCOMPARE(symbolShown(f.display), symbol);
    QCOMPARE(::shown1(f.display), shown1);
    QCOMPARE(::shown2(f.display), shown2);
    QCOMPARE(f.timers.ACDC_Timer.isEnabled(), acdc);
    if (link)  // the instrument measures what the panel shows
        QCOMPARE(f.sim.instrument.measure(displayNo).autoRange, true);
}

void TestFunctionKeys::resistanceKeyThreeTimesFromDcv()
{
    PanelFixture f;
    prepareMeasuring(f);
    f.linkUp();
    const QStringList fourWire = {u"CALC:FUNC OFF,REL\\10"_s, u"CALC:FUNC OFF,HOLD\\10"_s,
                                  u"CALC:FUNC OFF,MAX\\10"_s, u"conf:fres\\10"_s};
    const QList<std::pair<QString, QStringList>> presses = {
        {u"2W"_s, {u"conf:res\\10"_s}}, {u"4W"_s, fourWire}, {u"2W"_s, {u"conf:res\\10"_s}}};
    for (const auto &[mode, commands] : presses) {
        f.sim.written.clear();
        QVERIFY(keys::W2W4_IMG_ENTER(f.panel));
        QCOMPARE(f.state.MODE1, mode);
        QCOMPARE(f.sim.written, commands);
        QCOMPARE(f.sim.instrument.measure(1).function, mode.toLatin1());
    }
}

void TestFunctionKeys::voltKeysWaitWhileShiftIsLit()
{
    for (Procedure key : {keys::ACV_IMG_ENTER, keys::DCV_IMG_ENTER}) {
        PanelFixture f;
        prepareMeasuring(f);
        f.linkUp();
        f.display.setLit(Lamp::SHIFT_LAB, true);
        const QSet<QString> lampsBefore = litLamps(f.display);
        const quint64 revision = f.display.revision();

        QVERIFY(key(f.panel));

        QVERIFY(f.sim.written.isEmpty());
        QCOMPARE(f.display.revision(), revision);
        QCOMPARE(litLamps(f.display), lampsBefore);
        QCOMPARE(f.state.MODE1, u"DCV"_s);
        QVERIFY(!f.timers.ACDC_Timer.isEnabled());
    }
}

// A command that does not go out ends the key before the panel changes.
void TestFunctionKeys::failedCommandEndsTheKeyThere()
{
    PanelFixture f;
    prepareMeasuring(f);
    f.state.REMOTE_OK = true;  // established, but the port has gone
    const QString before1 = shown1(f.display);

    QVERIFY(!keys::ACI_IMG_ENTER(f.panel));

    QCOMPARE(f.sim.written, QStringList{u"CALC:FUNC OFF,REL\\10"_s});
    QCOMPARE(f.state.MODE1, u"DCV"_s);
    QCOMPARE(shown1(f.display), before1);
    QVERIFY(!f.timers.ACDC_Timer.isEnabled());
}

void TestFunctionKeys::temperatureKey_data()
{
    QTest::addColumn<bool>("celsiusLit");
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<bool>("display2On");
    QTest::addColumn<bool>("link");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("shown2");
    QTest::addColumn<QString>("typeAfter");

    const QStringList typeRefresh = {u"SENS:TEMP:TCO:TYPE?\\10"_s, u"CONF:TEMP:TCO R\\10"_s};
    QTest::newRow("to Celsius, thermocouple")    << false << u"TCO"_s << false << true
                                                 << typeRefresh + QStringList{u"unit c\\10"_s}
                                                 << u"C"_s << u"TYPE_R"_s << u"R"_s;
    QTest::newRow("to Fahrenheit, thermocouple") << true << u"TCO"_s << false << true
                                                 << typeRefresh + QStringList{u"unit f\\10"_s}
                                                 << u"F"_s << u"TYPE_R"_s << u"R"_s;
    QTest::newRow("other sensor: no type")       << false << u"RTD"_s << false << true
                                                 << QStringList{u"unit c\\10"_s}
                                                 << u"C"_s << u"______"_s << u"K"_s;
    QTest::newRow("display 2 busy: no type")     << true << u"TCO"_s << true << true
                                                 << QStringList{u"unit f\\10"_s}
                                                 << u"F"_s << u"______"_s << u"K"_s;
    QTest::newRow("link down: panel only")       << false << u"TCO"_s << false << false
                                                 << QStringList{} << u"C"_s << u"______"_s << u"K"_s;
}

void TestFunctionKeys::temperatureKey()
{
    QFETCH(bool, celsiusLit);
    QFETCH(QString, sensor);
    QFETCH(bool, display2On);
    QFETCH(bool, link);
    QFETCH(QStringList, written);
    QFETCH(QString, mode);
    QFETCH(QString, shown2);
    QFETCH(QString, typeAfter);
    PanelFixture f;
    prepare(f);
    if (link)
        f.linkUp();
    QVERIFY(f.sim.instrument.setStates(u"tco=R"));
    f.display.setLit(Lamp::T_C_LAB1, celsiusLit);
    f.state.SENSOR_TYPE = sensor;
    f.state.MODE2_ON = display2On;
    f.state.TCO_TYPE = u"K"_s;

    keys::CF_IMG_ENTER(f.panel);

    QCOMPARE(f.sim.written, written);
    QCOMPARE(f.state.MODE1, mode);
    QCOMPARE(f.state.MODE1_RANGE, QString());
    QCOMPARE(f.state.DISPLAY1, QString());
    QCOMPARE(f.state.TCO_TYPE, typeAfter);
    QCOMPARE(shown1(f.display), u"_______"_s);  // blank until the next reading
    QCOMPARE(::shown2(f.display), shown2);
    QCOMPARE(litLamps(f.display), lampSet({mode == u"C" ? u"T_C_LAB1"_s : u"T_F_LAB1"_s}));
    if (link)
        QCOMPARE(f.sim.instrument.field("unit").value_or(""), mode.toLatin1());
}

void TestFunctionKeys::temperatureKeyWith2ndOnlyPutsItOut()
{
    PanelFixture f;
    prepare(f);
    f.linkUp();
    f.display.setLit(Lamp::ND2_LAB, true);
    const QString before1 = shown1(f.display);
    const QSet<QString> lampsBefore = litLamps(f.display);

    keys::CF_IMG_ENTER(f.panel);

    QVERIFY(f.sim.written.isEmpty());
    QCOMPARE(shown1(f.display), before1);
    QCOMPARE(litLamps(f.display), lampsBefore - QSet<QString>{u"ND2_LAB"_s});
    QCOMPARE(f.state.MODE1, u"DCV"_s);
    QCOMPARE(f.state.MODE1_RANGE, u"AUTO"_s);
}

void TestFunctionKeys::temperatureKeyTakesTheFirstCharacter()
{
    PanelFixture f;
    prepare(f);
    f.linkUp();
    QVERIFY(f.sim.instrument.setStates(u"reply:SENS:TEMP:TCO:TYPE?=Tx"));
    keys::CF_IMG_ENTER(f.panel);
    QCOMPARE(f.state.TCO_TYPE, u"T"_s);
    QCOMPARE(f.sim.written.value(1), u"CONF:TEMP:TCO T\\10"_s);
    QCOMPARE(shown2(f.display), u"TYPE_T"_s);
    QCOMPARE(f.sim.instrument.field("tco").value_or(""), QByteArray("T"));
}

void TestFunctionKeys::temperatureKeyWithoutReplyStillSetsTheUnit()
{
    PanelFixture f;
    prepare(f);
    f.sim.faults.silentAfter = 1;
    f.linkUp();
    f.sim.link.setReplyBound(std::chrono::milliseconds(100));
    f.sim.link.setQuietTime(std::chrono::milliseconds(10));
    QVERIFY(f.sim.link.Write(u"*CLS"_s));  // the one command that is heard
    f.sim.written.clear();
    f.state.TCO_TYPE = u"K"_s;
    f.display.setLit(Lamp::T_C_LAB1, true);

    keys::CF_IMG_ENTER(f.panel);

    // No type is sent or spelled, but the unit still changes, so the
    // panel never keeps the lamp of a unit the instrument does not use.
    QCOMPARE(f.sim.written, (QStringList{u"SENS:TEMP:TCO:TYPE?\\10"_s, u"unit f\\10"_s}));
    QCOMPARE(f.state.TCO_TYPE, u"K"_s);
    QCOMPARE(shown2(f.display), u"______"_s);
    QCOMPARE(f.state.MODE1, u"F"_s);
    QCOMPARE(litLamps(f.display), lampSet({u"T_F_LAB1"_s}));
}

QTEST_GUILESS_MAIN(TestFunctionKeys)
#include "tst_function_keys.moc"
