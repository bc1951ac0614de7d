// The temperature sensor menu on the in-process simulator: opening it
// (with and without a run to pause), ENTER and both arrow keys in every
// state (the states where a key does nothing included), the type letters,
// the simulation temperature's digits and clamps, the coefficients' digits
// and clamps, HOLD and TRIG as the cursor keys, and the presses a failed
// exchange or a reply that is no number ends.

#include "arrows/arrow_keys.h"
#include "keys/hold_key.h"
#include "keys/key_dispatcher.h"
#include "keys/menu_cursor.h"
#include "keys/setup_menus.h"
#include "keys/trigger_key.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/reading_setup.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using display::Lamp;
using display::Positions;

class TestSensorMenu : public QObject
{
    Q_OBJECT

private slots:
    void opening_data();
    void opening();
    void enter_data();
    void enter();
    void arrows_data();
    void arrows();
    void typeLetter_data();
    void typeLetter();
    void simulationDigit_data();
    void simulationDigit();
    void coefficientDigit_data();
    void coefficientDigit();
    void hold_data();
    void hold();
    void trig_data();
    void trig();
    void failedPress_data();
    void failedPress();
};

namespace {

constexpr int kTCF = 7;
constexpr int kAUTO = 8;
constexpr int kUP = 9;
constexpr int kDOWN = 10;

// Draws a display from how it reads: one glyph per position ("[SUB]" for
// a longer name), "_" leaves a position dark, "!" before a glyph loads it
// dark (the dark phase of a blink).
void paint(display::DisplayModel &m, Positions row, const QString &looks)
{
    int position = 0;
    for (qsizetype i = 0; i < looks.size(); ++position) {
        bool dark = false;
        if (looks[i] == u'!') {
            dark = true;
            ++i;
        }
        QString glyph;
        if (looks[i] == u'[') {
            const qsizetype end = looks.indexOf(u']', i);
            glyph = looks.mid(i + 1, end - i - 1);
            i = end + 1;
        } else {
            glyph = looks[i++];
        }
        if (glyph == u"_")
            continue;
        m.draw(row, position, glyph);
        if (dark)
            m.setLit(row, position, false);
    }
}

// The blink: "1..6" on display 1, "1..5@2" on display 2, a point other
// than none as " dot N"; "off" while IMG_Timer is stopped.
QString cursorOf(const shell::PanelState &s)
{
    QString text = u"%1..%2"_s.arg(s.BLINK_FIRST).arg(s.BLINK_LAST);
    if (s.BLINK_DISP2)
        text += u"@2"_s;
    if (s.BLINK_DOT != shell::kNoBlink)
        text += u" dot %1"_s.arg(s.BLINK_DOT);
    return text;
}

QString blinkOf(const PanelFixture &f)
{
    return f.timers.IMG_Timer.isEnabled() ? cursorOf(f.state) : u"off"_s;
}

void setCursor(shell::PanelState &s, const QString &text)
{
    const QStringList parts = QString(text).remove(u"@2"_s).split(u".."_s);
    s.BLINK_FIRST = qint16(parts.value(0).toInt());
    s.BLINK_LAST = qint16(parts.value(1).toInt());
    s.BLINK_DOT = shell::kNoBlink;
    s.BLINK_DISP2 = text.endsWith(u"@2"_s);
}

// An identified panel with the menu open in `state`, both displays dark and
// the blink running on display 1's first position, unless the row says
// otherwise.
struct MenuPanel : PanelFixture
{
    MenuPanel(int menuState, bool link, sim::Faults faults = {}) : PanelFixture(faults)
    {
        keys::connectKeyTimers(panel);
        darken(display);
        controls.CHK_COM_TF.enabled = false;
        if (link)
            linkUp();
        state.SENSOR_SET = true;
        state.SENSOR_STATE = qint16(menuState);
        timers.IMG_Timer.setInterval(300);
        setCursor(state, u"0..0"_s);
        timers.IMG_Timer.setEnabled(true);
    }
    void replies(const QString &simState)
    {
        QString why;
        QVERIFY2(sim.instrument.setStates(simState, &why), qPrintable(why));
    }
    void set(const QStringList &names)
    {
        QString unknown;
        QVERIFY2(setUp(panel, names, &unknown), qPrintable(unknown));
    }
};

// A run's two timers going, as START leaves them.
void runGoing(PanelFixture &f)
{
    f.timers.READ_Timer.setInterval(500);
    f.timers.STOP_Timer.setInterval(1000);
    f.timers.READ_Timer.setEnabled(true);
    f.timers.STOP_Timer.setEnabled(true);
}

const QString kAlpha = u"reply:SENS:TEMP:RTD:ALPH?=+3.850000E-03"_s;
const QString kBeta = u"reply:SENS:TEMP:RTD:BETA?=+1.086300E-01"_s;
const QString kDelta = u"reply:SENS:TEMP:RTD:DELT?=+1.499900E+00"_s;

} // namespace

// SHIFT + T_CF opens the menu at T-CUP / LEVEL1, after asking the type and
// the simulation temperature; a run's timers stop until SHIFT.
void TestSensorMenu::opening_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<bool>("run");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QString>("type");

    const QStringList asked = {u"sens:temp:tco:type?\\10"_s, u"sens:temp:rjun:sim?\\10"_s};
    QTest::newRow("link up, run going: paused") << true << true << asked << u"J"_s;
    QTest::newRow("link up, no run") << true << false << asked << u"J"_s;
    QTest::newRow("link down: no type") << false << true << QStringList{} << QString();
}

void TestSensorMenu::opening()
{
    QFETCH(bool, link);
    QFETCH(bool, run);
    QFETCH(QStringList, written);
    QFETCH(QString, type);
    MenuPanel f(0, link);
    f.state.SENSOR_SET = false;
    f.timers.IMG_Timer.setEnabled(false);
    f.replies(u"reply:sens:temp:tco:type?=J"_s);
    f.state.TCO_TYPE = u"K"_s;
    f.set({u"DC_LAB1"_s, u"AUTO_LAB1"_s, u"HOLD_LAB"_s, u"AC_LAB2"_s, u"DROP_IMG(2)"_s});
    paint(f.display, Positions::DIS1_IMG, u"1234567"_s);
    paint(f.display, Positions::DIS2_IMG, u"123456"_s);
    if (run)
        runGoing(f);

    QVERIFY(keys::SENSOR_IMG_ENTER(f.panel));

    QCOMPARE(f.sim.written, written);
    QVERIFY(f.state.SENSOR_SET);
    QCOMPARE(f.state.SENSOR_STATE, qint16(11));
    QCOMPARE(f.state.TCO_TYPE, type);
    QCOMPARE(shown1(f.display), u"_T[SUB]CUP_"_s);
    QCOMPARE(shown2(f.display), u"LEVEL1"_s);
    QCOMPARE(litLamps(f.display), QSet<QString>{});
    QVERIFY(!f.timers.IMG_Timer.isEnabled());  // nothing blinks yet
    QVERIFY(!f.timers.READ_Timer.isEnabled());
    QVERIFY(!f.timers.STOP_Timer.isEnabled());
    QCOMPARE(f.state.READ_PAUSED, run);
}

// ENTER by state. Display columns read as display_reading.h tells; both
// displays start dark unless "before1" draws display 1.
void TestSensorMenu::enter_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("sim");          // replies the instrument gives
    QTest::addColumn<QStringList>("lit");      // lamps and points lit before
    QTest::addColumn<QString>("before1");
    QTest::addColumn<QString>("tco");          // TCO_TYPE before
    QTest::addColumn<QString>("query");        // QUERY_VALUE before
    QTest::addColumn<int>("wires");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("tcoAfter");
    QTest::addColumn<QString>("queryAfter");
    QTest::addColumn<int>("wiresAfter");
    QTest::addColumn<QString>("sensorAfter");  // SENSOR_TYPE, "TCO" before
    QTest::addColumn<QString>("shown1");
    QTest::addColumn<QString>("shown2");
    QTest::addColumn<QString>("blink");

    const QStringList none;
    const QString dark1 = u"_______"_s;
    const QString dark2 = u"______"_s;
    const QString coefs = kAlpha + u","_s + kBeta + u","_s + kDelta;

    QTest::newRow("11: nothing") << 11 << true << QString() << none << QString() << u"K"_s << QString() << 2
        << none << 11 << u"K"_s << QString() << 2 << u"TCO"_s << dark1 << dark2 << u"0..0"_s;
    QTest::newRow("33: nothing") << 33 << true << QString() << none << QString() << u"K"_s << QString() << 2
        << none << 33 << u"K"_s << QString() << 2 << u"TCO"_s << dark1 << dark2 << u"0..0"_s;
    QTest::newRow("12: two wires") << 12 << true << QString() << none << QString() << u"K"_s << QString() << 4
        << none << 12 << u"K"_s << QString() << 2 << u"TCO"_s << dark1 << dark2 << u"0..0"_s;
    QTest::newRow("13: four wires") << 13 << true << QString() << none << QString() << u"K"_s << QString() << 2
        << none << 13 << u"K"_s << QString() << 4 << u"TCO"_s << dark1 << dark2 << u"0..0"_s;
    QTest::newRow("21: the type asked, its letter blinks") << 21 << true << u"reply:SENS:TEMP:TCO:TYPE?=J"_s
        << none << QString() << u"K"_s << QString() << 2 << QStringList{u"SENS:TEMP:TCO:TYPE?\\10"_s} << 31
        << u"J"_s << QString() << 2 << u"TCO"_s << u"_TYPE_J"_s << u"SENSOR"_s << u"1..6"_s;
    QTest::newRow("21, link down: the last letter") << 21 << false << QString() << none << QString() << u"K"_s
        << QString() << 2 << none << 31 << u"K"_s << QString() << 2 << u"TCO"_s << u"_TYPE_K"_s << u"SENSOR"_s
        << u"1..6"_s;
    QTest::newRow("22: 2300 hundredths read 23.00") << 22 << true << u"reply:SENS:TEMP:RJUN:SIM?=2300"_s << none
        << QString() << u"K"_s << QString() << 2 << QStringList{u"SENS:TEMP:RJUN:SIM?\\10"_s} << 32
        << u"023.00"_s << u"23"_s << 2 << u"TCO"_s << u"__23.00_"_s << u"_S[I2]M__"_s << u"5..5"_s;
    QTest::newRow("22, link down: the last temperature") << 22 << false << QString() << none << QString()
        << u"K"_s << u"45.5"_s << 2 << none << 32 << u"045.50"_s << u"45.5"_s << 2 << u"TCO"_s << u"__45.50_"_s
        << u"_S[I2]M__"_s << u"5..5"_s;
    QTest::newRow("23: the user RTD") << 23 << true << QString() << none << QString() << u"K"_s << QString() << 2
        << none << 34 << u"K"_s << QString() << 2 << u"TCO"_s << u"__USER_"_s << u"_TYPE_"_s << u"0..0"_s;
    QTest::newRow("31: the type sent") << 31 << true << QString() << none << u"_TYPE_K"_s << u"K"_s << QString()
        << 2 << QStringList{u"sens:temp:tco:type K\\10"_s} << 21 << u"K"_s << QString() << 2 << u"TCO"_s
        << u"_SENSOR"_s << u"LEVEL2"_s << u"off"_s;
    QTest::newRow("32: the temperature sent as it is shown") << 32 << true << QString()
        << QStringList{u"DROP_IMG(3)"_s} << u"__2300_"_s << u"023.00"_s << u"23"_s << 2
        << QStringList{u"SENS:TEMP:RJUN:SIM 023.00\\10"_s} << 22 << u"023.00"_s << u"23"_s << 2 << u"TCO"_s
        << u"__S[I2]M__"_s << u"LEVEL2"_s << u"off"_s;
    QTest::newRow("34: alpha asked") << 34 << true << coefs << none << u"__USER_"_s << u"K"_s << QString() << 2
        << QStringList{u"SENS:TEMP:RTD:ALPH?\\10"_s} << 41 << u"00.00385"_s << u"0000385"_s << 2 << u"TCO"_s
        << u"00.00385"_s << u" ALPHA"_s << u"1..5@2"_s;
    QTest::newRow("34, link down: the user word stays") << 34 << false << QString() << none << u"__USER_"_s
        << u"K"_s << QString() << 2 << none << 41 << u"K"_s << QString() << 2 << u"TCO"_s << u"__.USER_"_s
        << u" ALPHA"_s << u"1..5@2"_s;
    QTest::newRow("34: a reply that is no number counts as 0") << 34 << true
        << u"reply:SENS:TEMP:RTD:ALPH?=none"_s << none << u"__USER_"_s << u"K"_s << QString() << 2
        << QStringList{u"SENS:TEMP:RTD:ALPH?\\10"_s} << 41 << u"00.00000"_s << u"0000000"_s << 2 << u"TCO"_s
        << u"00.00000"_s << u" ALPHA"_s << u"1..5@2"_s;
    for (int from : {41, 51})
        QTest::addRow("%d: alpha sent, beta asked", from) << from << true << coefs
            << QStringList{u"DROP_IMG(1)"_s} << u"0000385"_s << u"00.00385"_s << u"0000385"_s << 2
            << QStringList{u"SENS:TEMP:RTD:ALPH 00.00385\\10"_s, u"SENS:TEMP:RTD:BETA?\\10"_s} << 42
            << u"00.10863"_s << u"0010863"_s << 2 << u"TCO"_s << u"00.10863"_s << u" BETA "_s << u"1..5@2"_s;
    for (int from : {42, 52})
        QTest::addRow("%d: beta sent, delta asked", from) << from << true << coefs
            << QStringList{u"DROP_IMG(1)"_s} << u"0010863"_s << u"00.10863"_s << u"0010863"_s << 2
            << QStringList{u"SENS:TEMP:RTD:BETA 00.10863\\10"_s, u"SENS:TEMP:RTD:DELT?\\10"_s} << 43
            << u"01.49990"_s << u"0149990"_s << 2 << u"TCO"_s << u"01.49990"_s << u" DELTA"_s << u"1..5@2"_s;
    QTest::newRow("41, link down: nothing asked, the name moves on") << 41 << false << QString()
        << QStringList{u"DROP_IMG(1)"_s} << u"0000385"_s << u"00.00385"_s << u"0000385"_s << 2 << none << 42
        << u"00.00385"_s << u"0000385"_s << 2 << u"TCO"_s << u"00.00385"_s << u" BETA "_s << u"1..5@2"_s;
    QTest::newRow("43: delta sent, the sensor kept") << 43 << true << QString() << QStringList{u"DROP_IMG(1)"_s}
        << u"0149990"_s << u"01.49990"_s << u"0149990"_s << 2 << QStringList{u"SENS:TEMP:RTD:DELT 01.49990\\10"_s}
        << 23 << u"01.49990"_s << u"0149990"_s << 2 << u"TCO"_s << u"__TYPE_"_s << u"LEVEL2"_s << u"off"_s;
    QTest::newRow("53, two wires: 2RTD") << 53 << true << QString() << QStringList{u"DROP_IMG(1)"_s}
        << u"0149990"_s << u"01.49990"_s << u"0149990"_s << 2 << QStringList{u"SENS:TEMP:RTD:DELT 01.49990\\10"_s}
        << 23 << u"01.49990"_s << u"0149990"_s << 2 << u"2RTD"_s << u"__TYPE_"_s << u"LEVEL2"_s << u"off"_s;
    QTest::newRow("53, four wires: 4RTD") << 53 << true << QString() << QStringList{u"DROP_IMG(1)"_s}
        << u"0149990"_s << u"01.49990"_s << u"0149990"_s << 4 << QStringList{u"SENS:TEMP:RTD:DELT 01.49990\\10"_s}
        << 23 << u"01.49990"_s << u"0149990"_s << 4 << u"4RTD"_s << u"__TYPE_"_s << u"LEVEL2"_s << u"off"_s;
}

void TestSensorMenu::enter()
{
    QFETCH(int, from);
    QFETCH(bool, link);
    QFETCH(QString, sim);
    QFETCH(QStringList, lit);
    QFETCH(QString, before1);
    QFETCH(QString, tco);
    QFETCH(QString, query);
    QFETCH(int, wires);
    QFETCH(QStringList, written);
    QFETCH(int, to);
    QFETCH(QString, tcoAfter);
    QFETCH(QString, queryAfter);
    QFETCH(int, wiresAfter);
    QFETCH(QString, sensorAfter);
    QFETCH(QString, shown1);
    QFETCH(QString, shown2);
    QFETCH(QString, blink);
    MenuPanel f(from, link);
    f.replies(sim);
    f.set(lit);
    paint(f.display, Positions::DIS1_IMG, before1);
    f.state.TCO_TYPE = tco;
    f.state.QUERY_VALUE = query;
    f.state.RTD_WIRES = qint16(wires);

    QVERIFY(keys::SENSOR_AUTO_ENTER(f.panel));

    QCOMPARE(f.sim.written, written);
    QCOMPARE(f.state.SENSOR_STATE, qint16(to));
    QCOMPARE(f.state.TCO_TYPE, tcoAfter);
    QCOMPARE(f.state.QUERY_VALUE, queryAfter);
    QCOMPARE(f.state.RTD_WIRES, qint16(wiresAfter));
    QCOMPARE(f.state.SENSOR_TYPE, sensorAfter);
    QCOMPARE(::shown1(f.display), shown1);
    QCOMPARE(::shown2(f.display), shown2);
    QCOMPARE(blinkOf(f), blink);
    QVERIFY(f.state.SENSOR_SET);  // only SHIFT leaves the menu
    if (to == 31)  // the blank glyph waits dark where the blink will flash it
        QCOMPARE(f.display.glyph(Positions::DIS1_IMG, 5), u" "_s);
}

// UP and DOWN by state, except the digit and letter steps (below).
void TestSensorMenu::arrows_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("sim");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("tcoAfter");     // TCO_TYPE, "K" before
    QTest::addColumn<QString>("shown1");       // display 1 starts as "0000385" with its point
    QTest::addColumn<QString>("shown2");       // display 2 starts dark
    QTest::addColumn<QString>("blink");

    const QStringList none;
    const QString kept1 = u"00.00385"_s;
    const QString dark2 = u"______"_s;
    const QString coefs = kAlpha + u","_s + kBeta + u","_s + kDelta;

    for (int from : {11, 12, 13})
        QTest::addRow("%d UP: nothing", from) << from << kUP << true << QString() << none << from << u"K"_s << kept1
                                              << dark2 << u"0..0"_s;
    QTest::newRow("23 DOWN: nothing") << 23 << kDOWN << true << QString() << none << 23 << u"K"_s << kept1 << dark2
                                      << u"0..0"_s;
    QTest::newRow("11 DOWN: level 2") << 11 << kDOWN << true << QString() << none << 21 << u"K"_s << u"_S.ENSOR"_s
                                      << u"LEVEL2"_s << u"0..0"_s;
    for (int from : {12, 13})
        QTest::addRow("%d DOWN: back to 11, nothing drawn", from) << from << kDOWN << true << QString() << none << 11
                                                                 << u"K"_s << kept1 << dark2 << u"0..0"_s;
    for (int from : {21, 22})
        QTest::addRow("%d UP: level 1", from) << from << kUP << true << QString() << none << 11 << u"K"_s
                                              << u"_T.[SUB]CUP_"_s
                                              << u"LEVEL1"_s << u"0..0"_s;
    QTest::newRow("21 DOWN: as ENTER, the type asked") << 21 << kDOWN << true << u"reply:SENS:TEMP:TCO:TYPE?=B"_s
        << QStringList{u"SENS:TEMP:TCO:TYPE?\\10"_s} << 31 << u"B"_s << u"_T.YPE_B"_s << u"SENSOR"_s << u"1..6"_s;
    QTest::newRow("22 DOWN: as ENTER, the temperature asked") << 22 << kDOWN << true
        << u"reply:SENS:TEMP:RJUN:SIM?=4500"_s << QStringList{u"SENS:TEMP:RJUN:SIM?\\10"_s} << 32 << u"045.00"_s
        << u"0045.005"_s << u"_S[I2]M__"_s << u"5..5"_s;
    QTest::newRow("23 UP: to 13") << 23 << kUP << true << QString() << none << 13 << u"K"_s << kept1 << dark2
                                  << u"0..0"_s;
    for (int from : {33, 34}) {
        QTest::addRow("%d UP: to 31", from) << from << kUP << true << QString() << none << 31 << u"K"_s << kept1
                                            << dark2 << u"0..0"_s;
        QTest::addRow("%d DOWN: to 33", from) << from << kDOWN << true << QString() << none << 33 << u"K"_s << kept1
                                              << dark2 << u"0..0"_s;
    }
    struct Move
    {
        int from, key, to;
        const char16_t *query, *tco, *shown1, *shown2, *blink;
    };
    const Move moves[] = {
        {41, kUP,   43, u"SENS:TEMP:RTD:DELT?\\10", u"01.49990", u"01.49990", u" DELTA", u"1..5@2"},
        {41, kDOWN, 42, u"SENS:TEMP:RTD:BETA?\\10", u"00.10863", u"00.10863", u" BETA ", u"1..4@2"},
        {42, kUP,   41, u"SENS:TEMP:RTD:ALPH?\\10", u"00.00385", u"00.00385", u" ALPHA", u"1..5@2"},
        {42, kDOWN, 43, u"SENS:TEMP:RTD:DELT?\\10", u"01.49990", u"01.49990", u" DELTA", u"1..5@2"},
        {43, kUP,   42, u"SENS:TEMP:RTD:BETA?\\10", u"00.10863", u"00.10863", u" BETA ", u"1..4@2"},
        {43, kDOWN, 41, u"SENS:TEMP:RTD:ALPH?\\10", u"00.00385", u"00.00385", u" ALPHA", u"1..5@2"},
    };
    for (const Move &m : moves)
        QTest::addRow("%d %s: to %d", m.from, m.key == kUP ? "UP" : "DOWN", m.to)
            << m.from << m.key << true << coefs << QStringList{QString::fromUtf16(m.query)} << m.to
            << QString::fromUtf16(m.tco) << QString::fromUtf16(m.shown1) << QString::fromUtf16(m.shown2)
            << QString::fromUtf16(m.blink);
    QTest::newRow("41 DOWN, link down: beta named, alpha's digits stay") << 41 << kDOWN << false << QString()
        << none << 42 << u"K"_s << kept1 << u" BETA "_s << u"1..4@2"_s;
}

void TestSensorMenu::arrows()
{
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(bool, link);
    QFETCH(QString, sim);
    QFETCH(QStringList, written);
    QFETCH(int, to);
    QFETCH(QString, tcoAfter);
    QFETCH(QString, shown1);
    QFETCH(QString, shown2);
    QFETCH(QString, blink);
    MenuPanel f(from, link);
    f.replies(sim);
    f.set({u"DROP_IMG(1)"_s});
    paint(f.display, Positions::DIS1_IMG, u"0000385"_s);
    f.state.TCO_TYPE = u"K"_s;

    QVERIFY(key == kUP ? arrows::UP_IMG_ENTER(f.panel) : arrows::DOWN_IMG_ENTER(f.panel));

    QCOMPARE(f.sim.written, written);
    QCOMPARE(f.state.SENSOR_STATE, qint16(to));
    QCOMPARE(f.state.TCO_TYPE, tcoAfter);
    QCOMPARE(::shown1(f.display), shown1);
    QCOMPARE(::shown2(f.display), shown2);
    QCOMPARE(blinkOf(f), blink);
    QVERIFY(f.state.SENSOR_SET);
}

// The thermocouple letter in state 31: DOWN forwards through B E J K N R S
// T, UP backwards, both round; anything else stays.
void TestSensorMenu::typeLetter_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("after");

    QTest::newRow("UP on B wraps to T") << u"B"_s << kUP << u"T"_s;
    QTest::newRow("DOWN on T wraps to B") << u"T"_s << kDOWN << u"B"_s;
    QTest::newRow("DOWN on K") << u"K"_s << kDOWN << u"N"_s;
    QTest::newRow("UP on K") << u"K"_s << kUP << u"J"_s;
    QTest::newRow("DOWN on J") << u"J"_s << kDOWN << u"K"_s;
    QTest::newRow("no type letter stays") << u"X"_s << kDOWN << u"X"_s;
    QTest::newRow("no type at all stays") << QString() << kUP << QString();
}

void TestSensorMenu::typeLetter()
{
    QFETCH(QString, type);
    QFETCH(int, key);
    QFETCH(QString, after);
    MenuPanel f(31, true);
    setCursor(f.state, u"1..6"_s);
    f.state.TCO_TYPE = type;

    QVERIFY(key == kUP ? arrows::UP_IMG_ENTER(f.panel) : arrows::DOWN_IMG_ENTER(f.panel));

    QCOMPARE(f.state.TCO_TYPE, after);
    QCOMPARE(shown1(f.display), u"_TYPE_"_s + (after.isEmpty() ? u"_"_s : after));
    QCOMPARE(f.state.SENSOR_STATE, qint16(31));
    QCOMPARE(blinkOf(f), u"1..6"_s);
    QVERIFY(f.sim.written.isEmpty());
}

// The simulation temperature in state 32: the digit under the cursor (2 to
// 5: tens to hundredths) steps; UP stops at 50, DOWN at 0; zero fills the
// display with seven zeros.
void TestSensorMenu::simulationDigit_data()
{
    QTest::addColumn<QString>("value");   // QUERY_VALUE before
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("tco");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("shown1");  // display 1 starts "__2300_", point after 3

    QTest::newRow("45.00 UP on the tens: clamped to 50.00") << u"45"_s << 2 << kUP << u"050.00"_s << u"50"_s
                                                            << u"__50.00_"_s;
    QTest::newRow("0.05 DOWN on the tenths: 0.00, seven zeros") << u"0.05"_s << 4 << kDOWN << u"000.00"_s << u"0"_s
                                                                << u"0000.000"_s;
    QTest::newRow("23.00 UP on the hundredths") << u"23"_s << 5 << kUP << u"023.01"_s << u"23.01"_s << u"__23.01_"_s;
    QTest::newRow("23.50 DOWN on the units") << u"23.5"_s << 3 << kDOWN << u"022.50"_s << u"22.5"_s
                                             << u"__22.50_"_s;
    QTest::newRow("50.00 UP on the hundredths stays") << u"50"_s << 5 << kUP << u"050.00"_s << u"50"_s
                                                      << u"__50.00_"_s;
    QTest::newRow("0.00 UP on the tens") << u"0"_s << 2 << kUP << u"010.00"_s << u"10"_s << u"__10.00_"_s;
    QTest::newRow("DOWN has no upper clamp") << u"99"_s << 5 << kDOWN << u"098.99"_s << u"98.99"_s
                                             << u"__98.99_"_s;
    QTest::newRow("a cursor off the digits steps nothing") << u"23"_s << 6 << kUP << u"023.00"_s << u"23"_s
                                                           << u"__23.00_"_s;
}

void TestSensorMenu::simulationDigit()
{
    QFETCH(QString, value);
    QFETCH(int, cursor);
    QFETCH(int, key);
    QFETCH(QString, tco);
    QFETCH(QString, query);
    QFETCH(QString, shown1);
    MenuPanel f(32, true);
    f.set({u"DROP_IMG(3)"_s});
    paint(f.display, Positions::DIS1_IMG, u"__2300_"_s);
    f.state.QUERY_VALUE = value;
    setCursor(f.state, u"%1..%1"_s.arg(cursor));

    QVERIFY(key == kUP ? arrows::UP_IMG_ENTER(f.panel) : arrows::DOWN_IMG_ENTER(f.panel));

    QCOMPARE(f.state.TCO_TYPE, tco);
    QCOMPARE(f.state.QUERY_VALUE, query);
    QCOMPARE(::shown1(f.display), shown1);
    QCOMPARE(f.state.SENSOR_STATE, qint16(32));
    QCOMPARE(cursorOf(f.state), u"%1..%1"_s.arg(cursor));
    QVERIFY(f.sim.written.isEmpty());
}

// A coefficient's digits in states 51 to 53: the digit under the cursor (0
// to 6: tens to hundred-thousandths) steps, held within 0 to 10.
void TestSensorMenu::coefficientDigit_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("tco");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("tcoAfter");
    QTest::addColumn<QString>("digits");

    QTest::newRow("09.99999 UP on the tens: 10") << 51 << u"09.99999"_s << 0 << kUP << u"10.00000"_s << u"1000000"_s;
    QTest::newRow("00.00500 DOWN on the hundredths: 0") << 52 << u"00.00500"_s << 3 << kDOWN << u"00.00000"_s
                                                       << u"0000000"_s;
    QTest::newRow("last digit UP") << 53 << u"00.00385"_s << 6 << kUP << u"00.00386"_s << u"0000386"_s;
    QTest::newRow("carry into the units") << 51 << u"00.99999"_s << 6 << kUP << u"01.00000"_s << u"0100000"_s;
    QTest::newRow("10 UP stays 10") << 53 << u"10.00000"_s << 6 << kUP << u"10.00000"_s << u"1000000"_s;
    QTest::newRow("borrow from the tenths") << 52 << u"01.50000"_s << 1 << kDOWN << u"00.50000"_s << u"0050000"_s;
}

void TestSensorMenu::coefficientDigit()
{
    QFETCH(int, from);
    QFETCH(QString, tco);
    QFETCH(int, cursor);
    QFETCH(int, key);
    QFETCH(QString, tcoAfter);
    QFETCH(QString, digits);
    MenuPanel f(from, true);
    f.set({u"DROP_IMG(1)"_s});
    f.state.TCO_TYPE = tco;
    setCursor(f.state, u"%1..%1"_s.arg(cursor));

    QVERIFY(key == kUP ? arrows::UP_IMG_ENTER(f.panel) : arrows::DOWN_IMG_ENTER(f.panel));

    QCOMPARE(f.state.TCO_TYPE, tcoAfter);
    QCOMPARE(f.state.QUERY_VALUE, digits);
    QCOMPARE(shown1(f.display), digits.left(2) + u"."_s + digits.mid(2));
    QCOMPARE(f.state.SENSOR_STATE, qint16(from));
    QCOMPARE(cursorOf(f.state), u"%1..%1"_s.arg(cursor));
    QVERIFY(f.sim.written.isEmpty());
}

namespace {

void cursorColumns()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("cursor");
    QTest::addColumn<QString>("before1");  // see paint()
    QTest::addColumn<QString>("before2");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("cursorAfter");
    QTest::addColumn<QString>("shown1");
    QTest::addColumn<QString>("shown2");
}

// The rows where the key does nothing: the displays, the cursor and the
// RTD lamps stay as they are.
void unmoved(std::initializer_list<int> states)
{
    for (int from : states)
        QTest::addRow("%d: nothing", from) << from << u"1..6"_s << u"_!SENSOR"_s << u"LEVEL2"_s << from << u"1..6"_s
                                           << u"__ENSOR"_s << u"LEVEL2"_s;
}

void cursorCase(keys::Cursor way)
{
    QFETCH(int, from);
    QFETCH(QString, cursor);
    QFETCH(QString, before1);
    QFETCH(QString, before2);
    QFETCH(int, to);
    QFETCH(QString, cursorAfter);
    QFETCH(QString, shown1);
    QFETCH(QString, shown2);
    MenuPanel f(from, true);
    f.set({u"W2_LAB2"_s, u"W4_LAB2"_s});
    paint(f.display, Positions::DIS1_IMG, before1);
    paint(f.display, Positions::DIS2_IMG, before2);
    setCursor(f.state, cursor);
    const bool toLevel1 = to == 11 && from != 11;

    QVERIFY(way == keys::Cursor::Left ? keys::HOLD_IMG_ENTER(f.panel) : keys::TRIG_IMG_ENTER(f.panel));

    QCOMPARE(f.state.SENSOR_STATE, qint16(to));
    QCOMPARE(cursorOf(f.state), cursorAfter);
    QCOMPARE(::shown1(f.display), shown1);
    QCOMPARE(::shown2(f.display), shown2);
    // Back at T-CUP the RTD wiring lamps go out.
    QCOMPARE(litLamps(f.display), toLevel1 ? QSet<QString>{} : lampSet({u"W2_LAB2"_s, u"W4_LAB2"_s}));
    QVERIFY(f.timers.IMG_Timer.isEnabled());  // the blink goes on
    QVERIFY(f.sim.written.isEmpty());
}

} // namespace

// HOLD: the cursor one place left. The digit the cursor leaves comes back
// lit whatever the blink left it as.
void TestSensorMenu::hold_data()
{
    cursorColumns();
    QTest::newRow("12: back to T-CUP") << 12 << u"0..0"_s << u"_!SENSOR"_s << u"LEVEL1"_s << 11 << u"0..0"_s
                                       << u"_T[SUB]CUP_"_s << u"LEVEL1"_s;
    QTest::newRow("21: to SIM") << 21 << u"0..0"_s << u"_SENSOR"_s << u"LEVEL2"_s << 22 << u"0..0"_s
                                << u"__S[I2]M__"_s << u"LEVEL2"_s;
    QTest::newRow("22: to SENSOR") << 22 << u"0..0"_s << u"__S[I2]M__"_s << u"LEVEL2"_s << 21 << u"0..0"_s
                                   << u"_SENSOR"_s << u"LEVEL2"_s;
    QTest::newRow("32: 5 to 4") << 32 << u"5..5"_s << u"__230!0_"_s << u"_S[I2]M__"_s << 32 << u"4..4"_s
                                << u"__2300_"_s << u"_S[I2]M__"_s;
    QTest::newRow("32: 2 round to 5") << 32 << u"2..2"_s << u"__!2300_"_s << u"_S[I2]M__"_s << 32 << u"5..5"_s
                                      << u"__2300_"_s << u"_S[I2]M__"_s;
    for (int from : {41, 42, 43})
        QTest::addRow("%d: from the name to digit 6 of %d", from, from + 10)
            << from << u"1..5@2"_s << u"0000385"_s << u" !A!L!P!H!A"_s << from + 10 << u"6..6"_s << u"0000385"_s
            << u" ALPHA"_s;
    QTest::newRow("41 with the cursor on a digit: it stays") << 41 << u"3..3"_s << u"0000385"_s << u" !ALPHA"_s
                                                             << 51 << u"3..3"_s << u"0000385"_s << u" ALPHA"_s;
    QTest::newRow("51: 0 round to 6") << 51 << u"0..0"_s << u"!0000385"_s << u" ALPHA"_s << 51 << u"6..6"_s
                                      << u"0000385"_s << u" ALPHA"_s;
    QTest::newRow("53: 4 to 3") << 53 << u"4..4"_s << u"0000!385"_s << u" DELTA"_s << 53 << u"3..3"_s
                                << u"0000385"_s << u" DELTA"_s;
    unmoved({11, 13, 23, 31, 33, 34});
}

void TestSensorMenu::hold()
{
    cursorCase(keys::Cursor::Left);
}

// TRIG: the cursor one place right; from a coefficient's name it starts on
// digit 0 and lights digit 6 on the way.
void TestSensorMenu::trig_data()
{
    cursorColumns();
    QTest::newRow("13: back to T-CUP") << 13 << u"0..0"_s << u"_!SENSOR"_s << u"LEVEL1"_s << 11 << u"0..0"_s
                                       << u"_T[SUB]CUP_"_s << u"LEVEL1"_s;
    QTest::newRow("21: to SIM") << 21 << u"0..0"_s << u"_SENSOR"_s << u"LEVEL2"_s << 22 << u"0..0"_s
                                << u"__S[I2]M__"_s << u"LEVEL2"_s;
    QTest::newRow("22: to SENSOR") << 22 << u"0..0"_s << u"__S[I2]M__"_s << u"LEVEL2"_s << 21 << u"0..0"_s
                                   << u"_SENSOR"_s << u"LEVEL2"_s;
    QTest::newRow("32: 2 to 3") << 32 << u"2..2"_s << u"__!2300_"_s << u"_S[I2]M__"_s << 32 << u"3..3"_s
                                << u"__2300_"_s << u"_S[I2]M__"_s;
    QTest::newRow("32: 5 round to 2") << 32 << u"5..5"_s << u"__230!0_"_s << u"_S[I2]M__"_s << 32 << u"2..2"_s
                                      << u"__2300_"_s << u"_S[I2]M__"_s;
    for (int from : {41, 42, 43})
        QTest::addRow("%d: from the name to digit 0 of %d", from, from + 10)
            << from << u"1..5@2"_s << u"000038!5"_s << u" !A!L!P!H!A"_s << from + 10 << u"0..0"_s << u"0000385"_s
            << u" ALPHA"_s;
    QTest::newRow("41 with the cursor on a digit: it stays") << 41 << u"3..3"_s << u"000038!5"_s << u" !ALPHA"_s
                                                             << 51 << u"3..3"_s << u"000038_"_s << u" ALPHA"_s;
    QTest::newRow("51: 6 round to 0") << 51 << u"6..6"_s << u"000038!5"_s << u" ALPHA"_s << 51 << u"0..0"_s
                                      << u"0000385"_s << u" ALPHA"_s;
    QTest::newRow("52: 2 to 3") << 52 << u"2..2"_s << u"00!00385"_s << u" BETA "_s << 52 << u"3..3"_s
                                << u"0000385"_s << u" BETA "_s;
    unmoved({11, 12, 23, 31, 33, 34});
}

void TestSensorMenu::trig()
{
    cursorCase(keys::Cursor::Right);
}

// A press that a failed exchange or a reply that is no number ends: one
// status line, the menu's state where it was, and the reading timers as
// the press found them.
void TestSensorMenu::failedPress_data()
{
    QTest::addColumn<int>("from");         // 0: the menu is closed and SHIFT + T_CF opens it
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("silentAfter");  // the instrument answers nothing after this command
    QTest::addColumn<QString>("sim");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<bool>("menuOpen");
    QTest::addColumn<QString>("line");  // the start of the status line

    // The commands heard first: "*CLS" and the dispatcher's math channel.
    QTest::newRow("opening, no type: closed, the run goes on") << 0 << kTCF << 1 << QString()
        << QStringList{u"sens:temp:tco:type?\\10"_s} << false << u"temperature key: \"sens:temp:tco:type?\""_s;
    QTest::newRow("opening, no simulation: closed, the run goes on") << 0 << kTCF << 3 << QString()
        << QStringList{u"sens:temp:tco:type?\\10"_s, u"sens:temp:rjun:sim?\\10"_s} << false
        << u"temperature key: \"sens:temp:rjun:sim?\""_s;
    QTest::newRow("ENTER in 22, no reply") << 22 << kAUTO << 1 << QString()
        << QStringList{u"SENS:TEMP:RJUN:SIM?\\10"_s} << true << u"AUTO key: \"SENS:TEMP:RJUN:SIM?\""_s;
    QTest::newRow("ENTER in 22, no number: nothing sent") << 22 << kAUTO << 0 << u"reply:SENS:TEMP:RJUN:SIM?=--"_s
        << QStringList{u"SENS:TEMP:RJUN:SIM?\\10"_s} << true << u"Sensor menu: the simulation temperature \"--\""_s;
    QTest::newRow("DOWN in 22, no number") << 22 << kDOWN << 0 << u"reply:SENS:TEMP:RJUN:SIM?=23 C"_s
        << QStringList{u"SENS:TEMP:RJUN:SIM?\\10"_s} << true
        << u"Sensor menu: the simulation temperature \"23 C\""_s;
    QTest::newRow("ENTER in 41, no reply to beta: alpha sent") << 41 << kAUTO << 1 << QString()
        << QStringList{u"SENS:TEMP:RTD:ALPH 00.00385\\10"_s, u"SENS:TEMP:RTD:BETA?\\10"_s} << true
        << u"AUTO key: \"SENS:TEMP:RTD:BETA?\""_s;
    QTest::newRow("UP in 41, no reply") << 41 << kUP << 1 << QString()
        << QStringList{u"SENS:TEMP:RTD:DELT?\\10"_s} << true << u"UP key: \"SENS:TEMP:RTD:DELT?\""_s;
}

void TestSensorMenu::failedPress()
{
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, silentAfter);
    QFETCH(QString, sim);
    QFETCH(QStringList, written);
    QFETCH(bool, menuOpen);
    QFETCH(QString, line);
    sim::Faults faults;
    faults.silentAfter = silentAfter;
    MenuPanel f(from, true, faults);
    f.replies(sim);
    f.sim.link.setReplyBound(std::chrono::milliseconds(100));
    f.sim.link.setQuietTime(std::chrono::milliseconds(10));
    QVERIFY(f.sim.link.Write(u"*CLS"_s));
    f.state.TCO_TYPE = u"00.00385"_s;
    f.state.QUERY_VALUE = u"23"_s;
    paint(f.display, Positions::DIS1_IMG, u"0000385"_s);
    runGoing(f);
    if (from == 0) {
        f.state.SENSOR_SET = false;
        f.display.setLit(Lamp::SHIFT_LAB, true);
    } else {
        // The menu paused the run when it opened.
        f.timers.READ_Timer.setEnabled(false);
        f.timers.STOP_Timer.setEnabled(false);
        f.state.READ_PAUSED = true;
    }
    f.sim.written.clear();
    const int lines = f.status.lineCount();

    keys::BUTT1_IMG_MouseDown(f.panel, key);

    QCOMPARE(f.sim.written.value(0), u"syst:math:chan 0\\10"_s);
    QCOMPARE(f.sim.written.mid(1, written.size()), written);
    for (const QString &after : f.sim.written.mid(1 + written.size()))
        QVERIFY2(!after.startsWith(u"sens:temp"_s, Qt::CaseInsensitive), qPrintable(after));
    QCOMPARE(f.state.SENSOR_SET, menuOpen);
    QCOMPARE(f.state.SENSOR_STATE, qint16(from));
    QCOMPARE(f.status.lineCount() - lines, 1);
    QVERIFY2(f.status.lines().constLast().startsWith(line), qPrintable(f.status.lines().constLast()));
    QCOMPARE(shown1(f.display), u"0000385"_s);  // the press drew nothing
    // Timers as the press found them: a closed menu's run goes on, an open
    // menu keeps its pause.
    QCOMPARE(f.timers.READ_Timer.isEnabled(), !menuOpen);
    QCOMPARE(f.timers.STOP_Timer.isEnabled(), !menuOpen);
    QCOMPARE(f.state.READ_PAUSED, menuOpen);
}

QTEST_GUILESS_MAIN(TestSensorMenu)
#include "tst_sensor_menu.moc"
