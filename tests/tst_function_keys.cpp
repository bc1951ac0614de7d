// The function keys. The temperature key: its unit toggle by the Celsius
// lamp, the thermocouple refresh, and what it does with 2ND lit, the link
// down and no reply.

#include "display/glyph_words.h"
#include "keys/function_keys.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace display;

class TestFunctionKeys : public QObject
{
    Q_OBJECT

private slots:
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

} // namespace

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
