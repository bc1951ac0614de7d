// The temperature sensor menu pressed through the key dispatcher against the
// simulated instrument: the values confirmed are the ones the instrument
// then holds (the thermocouple type, the reference-junction simulation, a
// user RTD coefficient), and SHIFT leaves the menu without a word to the
// instrument, the run going on as it was.

#include "keys/key_dispatcher.h"
#include "keys/shift_key.h"
#include "platform/runtime.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestSensorMenuSim : public QObject
{
    Q_OBJECT

private slots:
    void confirmed_data();
    void confirmed();
    void coefficientConfirmed();
    void shiftLeaves_data();
    void shiftLeaves();
};

namespace {

// An identified panel measuring DC volts, its keys' timers connected.
struct SimPanel : PanelFixture
{
    explicit SimPanel(const QString &instrument)
    {
        keys::connectKeyTimers(panel);
        darken(display);
        display.setLit(display::Lamp::DC_LAB1, true);
        state.MODE1 = u"DCV"_s;
        controls.CHK_COM_TF.enabled = false;
        timers.IMG_Timer.setInterval(300);
        QString why;
        QVERIFY2(sim.instrument.setStates(instrument, &why), qPrintable(why));
        linkUp();
    }

    // One letter a key: S SHIFT, T T_CF, A AUTO, U UP, D DOWN, H HOLD, G TRIG.
    void press(const QString &keys)
    {
        static const QString order = u"TAUDHG"_s;
        for (QChar key : keys) {
            if (key == u'S') {
                keys::SHIFT_IMG_MouseDown(panel);
                keys::SHIFT_IMG_MouseUp(panel);
                continue;
            }
            const int index = 7 + int(order.indexOf(key));
            QVERIFY2(index >= 7, "no such key letter");
            keys::BUTT1_IMG_MouseDown(panel, index);
            keys::BUTT1_IMG_MouseUp(panel, index);
        }
    }

    // What went to the instrument about temperature, in order.
    QStringList temperatureCommands() const
    {
        QStringList out;
        for (const QString &command : sim.written)
            if (command.startsWith(u"sens:temp"_s, Qt::CaseInsensitive))
                out << command;
        return out;
    }

    QString held(const char *field) { return QString::fromLatin1(sim.instrument.field(field).value_or("?")); }
};

} // namespace

void TestSensorMenuSim::confirmed_data()
{
    QTest::addColumn<QString>("instrument");
    QTest::addColumn<QString>("presses");
    QTest::addColumn<QStringList>("sent");   // the temperature commands, in order
    QTest::addColumn<QString>("field");      // what the instrument then holds
    QTest::addColumn<QString>("held");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("shown1");

    const QStringList opening = {u"sens:temp:tco:type?\\10"_s, u"sens:temp:rjun:sim?\\10"_s};
    const QString simAsked = u"SENS:TEMP:RJUN:SIM?\\10"_s;

    // Open, DOWN to the type item, ENTER, DOWN from J to K, ENTER.
    QTest::newRow("type J stepped to K") << u"tco=J"_s << u"STDADA"_s
        << opening + QStringList{u"SENS:TEMP:TCO:TYPE?\\10"_s, u"sens:temp:tco:type K\\10"_s} << u"tco"_s
        << u"K"_s << 21 << u"_SENSOR"_s;
    QTest::newRow("type B, UP round to T") << u"tco=B"_s << u"STDAUA"_s
        << opening + QStringList{u"SENS:TEMP:TCO:TYPE?\\10"_s, u"sens:temp:tco:type T\\10"_s} << u"tco"_s
        << u"T"_s << 21 << u"_SENSOR"_s;
    // Open, DOWN, HOLD to the simulation item, ENTER (cursor on the
    // hundredths), TRIG round to the tens, UP, ENTER.
    QTest::newRow("simulation 13.00 to 23.00") << u"rjunsim=1300"_s << u"STDHAGUA"_s
        << opening + QStringList{simAsked, u"SENS:TEMP:RJUN:SIM 023.00\\10"_s} << u"rjunsim"_s << u"2300"_s << 22
        << u"__S[I2]M__"_s;
    QTest::newRow("simulation 23.00 confirmed unchanged") << u"rjunsim=2300"_s << u"STDGAA"_s
        << opening + QStringList{simAsked, u"SENS:TEMP:RJUN:SIM 023.00\\10"_s} << u"rjunsim"_s << u"2300"_s << 22
        << u"__S[I2]M__"_s;
    QTest::newRow("simulation 45.00, UP on the tens stops at 50") << u"rjunsim=4500"_s << u"STDHAGUA"_s
        << opening + QStringList{simAsked, u"SENS:TEMP:RJUN:SIM 050.00\\10"_s} << u"rjunsim"_s << u"5000"_s << 22
        << u"__S[I2]M__"_s;
    QTest::newRow("DOWN into the digits and UP: nothing sent yet") << u"rjunsim=2300"_s << u"STDHDU"_s
        << opening + QStringList{simAsked} << u"rjunsim"_s << u"2300"_s << 32 << u"__23.01_"_s;
}

void TestSensorMenuSim::confirmed()
{
    QFETCH(QString, instrument);
    QFETCH(QString, presses);
    QFETCH(QStringList, sent);
    QFETCH(QString, field);
    QFETCH(QString, held);
    QFETCH(int, state);
    QFETCH(QString, shown1);
    SimPanel f(instrument);

    f.press(presses);

    QCOMPARE(f.temperatureCommands(), sent);
    QCOMPARE(f.held(field.toLatin1().constData()), held);
    QVERIFY(f.state.SENSOR_SET);
    QCOMPARE(f.state.SENSOR_STATE, qint16(state));
    QCOMPARE(::shown1(f.display), shown1);
    QCOMPARE(f.state.SENSOR_TYPE, u"TCO"_s);
    QVERIFY(f.status.lines().isEmpty());
}

// A user RTD's alpha: from its name (state 34 on), HOLD to the last digit,
// UP, ENTER sends it and shows beta as the instrument holds it.
void TestSensorMenuSim::coefficientConfirmed()
{
    SimPanel f(u"rtdalpha=0.00385,rtdbeta=0.10863"_s);
    f.press(u"ST"_s);
    f.state.SENSOR_STATE = 34;  // the RTD items, which no key of level 1 leads to

    f.press(u"A"_s);
    QCOMPARE(shown1(f.display), u"00.00385"_s);
    QCOMPARE(shown2(f.display), u" ALPHA"_s);
    f.press(u"HUA"_s);

    QCOMPARE(f.temperatureCommands().mid(2),
             (QStringList{u"SENS:TEMP:RTD:ALPH?\\10"_s, u"SENS:TEMP:RTD:ALPH 00.00386\\10"_s,
                          u"SENS:TEMP:RTD:BETA?\\10"_s}));
    QCOMPARE(rt::leadingNumber(f.held("rtdalpha")), 0.00386);
    QCOMPARE(f.state.SENSOR_STATE, qint16(42));
    QCOMPARE(shown1(f.display), u"00.10863"_s);
    QCOMPARE(shown2(f.display), u" BETA "_s);
}

// SHIFT leaves the menu: nothing goes to the instrument, the blink stops,
// and a run the menu paused goes on; without a run the timers stay off.
void TestSensorMenuSim::shiftLeaves_data()
{
    QTest::addColumn<bool>("run");
    QTest::newRow("run going") << true;
    QTest::newRow("no run") << false;
}

void TestSensorMenuSim::shiftLeaves()
{
    QFETCH(bool, run);
    SimPanel f{QString()};
    if (run) {
        f.timers.READ_Timer.setInterval(500);
        f.timers.STOP_Timer.setInterval(1000);
        f.timers.READ_Timer.setEnabled(true);
        f.timers.STOP_Timer.setEnabled(true);
    }
    f.press(u"STDA"_s);  // the type letter blinking
    QVERIFY(f.state.SENSOR_SET);
    QVERIFY(f.timers.IMG_Timer.isEnabled());
    QVERIFY(!f.timers.READ_Timer.isEnabled());
    QVERIFY(!f.timers.STOP_Timer.isEnabled());
    f.sim.written.clear();

    f.press(u"S"_s);

    QVERIFY(f.sim.written.isEmpty());
    QVERIFY(!f.state.SENSOR_SET);
    QVERIFY(!f.timers.IMG_Timer.isEnabled());
    QCOMPARE(f.timers.READ_Timer.isEnabled(), run);
    QCOMPARE(f.timers.STOP_Timer.isEnabled(), run);
    QVERIFY(!f.state.READ_PAUSED);
    QVERIFY(!f.display.isLit(display::Lamp::SHIFT_LAB));
    QCOMPARE(f.held("tco"), u"K"_s);  // nothing was confirmed
}

QTEST_GUILESS_MAIN(TestSensorMenuSim)
#include "tst_sensor_menu_sim.moc"
