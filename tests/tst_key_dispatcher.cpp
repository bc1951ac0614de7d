// The key dispatcher: the set-up menu lock, the refusal without a link, the
// fast run's refusal, what AUTO does first, every SHIFT path, the 2ND rules,
// the rate check and interval list after a key, a failed exchange ending a
// key, and the mouse-up of each key with the timers it stops.

#include "core/panel_state.h"
#include "keys/key_dispatcher.h"
#include "keys/shift_key.h"
#include "platform/dialogs.h"
#include "platform/panel_timer.h"
#include "shell/front_panel.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/reading_setup.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using display::Lamp;
using shell::RunPhase;

class TestKeyDispatcher : public QObject
{
    Q_OBJECT

private slots:
    void triggerRecordsThroughTheHook();
    void menuLock_data();
    void menuLock();
    void refusedWithoutLink_data();
    void refusedWithoutLink();
    void demonstrationWithoutPort();
    void mathChannelWhateverTheLinkSays();
    void refusedWhileFastRunStreams();
    void autoKeyPrecedence_data();
    void autoKeyPrecedence();
    void shiftPaths_data();
    void shiftPaths();
    void secondKey_data();
    void secondKey();
    void functionKeyEndsTheFunctions();
    void display1OnlyKeysWhileDisplay2Measures_data();
    void display1OnlyKeysWhileDisplay2Measures();
    void maxMinKey_data();
    void maxMinKey();
    void listAfterKey_data();
    void listAfterKey();
    void failedExchangeEndsTheKey_data();
    void failedExchangeEndsTheKey();
    void mouseUp_data();
    void mouseUp();
    void voltAndCurrentKeysComeUpAfterHalfASecond();
};

namespace {

const QString kMathChannel = u"syst:math:chan 0\\10"_s;
const QString kRateQuery = u"sens:det:rate?\\10"_s;

const char *const kKeyNames[] = {"ACV", "DCV", "ACI", "DCI", "W2W4", "D_C", "Hz_P", "T_CF",
                                 "AUTO", "UP", "DOWN", "HOLD", "TRIG", "REL", "MXMN", "2ND"};

// A panel after a successful identification, measuring DC volts on display
// 1 with everything else dark, the keys' timers connected and both hooks
// noted.
struct KeyPanel : PanelFixture
{
    explicit KeyPanel(bool link = true)
    {
        keys::connectKeyTimers(panel);
        timers.ACDC_Timer.setInterval(500);
        darken(display);
        display.setLit(Lamp::DC_LAB1, true);
        state.MODE1 = u"DCV"_s;
        state.MODE1_RANGE = u"10V"_s;
        for (int key = 0; key < shell::kKeyCount; ++key)
            controls.BUTT1_IMG[std::size_t(key)] = shell::keyPicture(key, false);
        if (link) {
            linkUp();
            controls.CHK_COM_TF.enabled = false;
        }
    }

    void set(const QStringList &names)
    {
        QString unknown;
        QVERIFY2(setUp(panel, names, &unknown), qPrintable(unknown));
    }

    void press(int key) { keys::BUTT1_IMG_MouseDown(panel, key, hooks); }
    void release(int key) { keys::BUTT1_IMG_MouseUp(panel, key); }
    bool pressed(int key) const { return controls.BUTT1_IMG[std::size_t(key)] == shell::keyPicture(key, true); }

    QStringList hooked;
    keys::KeyHooks hooks{.stopRun = [this] { hooked << u"stopRun"_s; },
                         .openScanner = [this] { hooked << u"openScanner"_s; },
                         .recordTriggered = [this] { hooked << u"recordTriggered"_s; }};
};

QStringList afterMathChannel(const QStringList &commands)
{
    return QStringList{kMathChannel} + commands;
}

} // namespace

// With a set-up menu open only AUTO, UP, DOWN, HOLD and TRIG are taken; the
// others change nothing at all.
void TestKeyDispatcher::menuLock_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("key");
    // Row names built whole: GCC's -O3 reads a "%s" of a table entry as
    // possibly null and fails the build under -Werror.
    for (const QByteArray menu : {"SENSOR_SET", "FILT_SET", "COMP_SET"})
        for (int key = 0; key < shell::kKeyCount; ++key)
            QTest::newRow(menu + ", " + kKeyNames[key]) << QString::fromLatin1(menu) << key;
}

void TestKeyDispatcher::menuLock()
{
    QFETCH(QString, menu);
    QFETCH(int, key);
    KeyPanel f;
    f.set({menu});
    const quint64 revision = f.display.revision();

    f.press(key);

    const bool taken = key >= 8 && key <= 12;
    QCOMPARE(f.pressed(key), taken);
    if (taken) {
        QCOMPARE(f.sim.written.value(0), kMathChannel);
    } else {
        QVERIFY(f.sim.written.isEmpty());
        QCOMPARE(f.display.revision(), revision);
    }
}

void TestKeyDispatcher::refusedWithoutLink_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("shift");
    for (int key = 0; key < shell::kKeyCount; ++key)
        for (bool shift : {false, true})
            QTest::newRow(QByteArray(shift ? "SHIFT " : "") + kKeyNames[key]) << key << shift;
}

// No identification has succeeded and "Random Data" is not ticked: the
// message and nothing else, even with a port open.
void TestKeyDispatcher::refusedWithoutLink()
{
    QFETCH(int, key);
    QFETCH(bool, shift);
    KeyPanel f(false);
    QVERIFY(f.sim.open());
    f.display.setLit(Lamp::SHIFT_LAB, shift);
    f.state.scannerReported = true;
    const quint64 revision = f.display.revision();
    const auto pictures = f.controls.BUTT1_IMG;
    rt::MessageRecorder messages;

    f.press(key);

    QCOMPARE(messages.messages().size(), 1);
    QCOMPARE(messages.messages().at(0).text, u"Remote connection is not established"_s);
    QCOMPARE(messages.messages().at(0).title, u"function error"_s);
    QCOMPARE(messages.messages().at(0).icon, rt::MessageIcon::Critical);
    QVERIFY(f.sim.written.isEmpty());
    QCOMPARE(f.controls.BUTT1_IMG, pictures);
    QCOMPARE(f.display.revision(), revision);
    QVERIFY(f.hooked.isEmpty());
}

// Demonstration readings without any instrument: the keys work on the panel
// alone, nothing is tried on the missing port and nothing is complained of.
void TestKeyDispatcher::demonstrationWithoutPort()
{
    KeyPanel f(false);
    f.controls.CHK_COM_TF.checked = true;
    rt::MessageRecorder messages;

    f.press(0);

    QVERIFY(messages.messages().isEmpty());
    QVERIFY(f.sim.written.isEmpty());
    QVERIFY(f.status.lines().isEmpty());
    QCOMPARE(f.state.MODE1, u"ACV"_s);
    QVERIFY(f.pressed(0));
    QCOMPARE(f.controls.Speed_TIME.items.value(0), u"500"_s);  // AC with no rate lamp lit
}

// With a port open and demonstration readings chosen the math channel still
// goes out; the key's own commands do not.
void TestKeyDispatcher::mathChannelWhateverTheLinkSays()
{
    KeyPanel f(false);
    QVERIFY(f.sim.open());
    f.controls.CHK_COM_TF.checked = true;

    f.press(1);

    QCOMPARE(f.sim.written, QStringList{kMathChannel});
    QCOMPARE(f.state.MODE1, u"DCV"_s);
    QCOMPARE(f.state.MODE1_RANGE, u"AUTO"_s);
}

void TestKeyDispatcher::refusedWhileFastRunStreams()
{
    KeyPanel f;
    f.state.runPhase = RunPhase::FastLoop;
    const quint64 revision = f.display.revision();

    for (int key = 0; key < shell::kKeyCount; ++key)
        f.press(key);
    keys::SHIFT_IMG_MouseDown(f.panel);

    QVERIFY(f.sim.written.isEmpty());
    QCOMPARE(f.display.revision(), revision);
    QCOMPARE(f.controls.SHIFT_IMG, QString());
    QCOMPARE(f.status.lines().size(), shell::kKeyCount + 1);
    QCOMPARE(f.status.lines().constLast(), QString::fromUtf16(shell::kStreamingRefusal));
}

// AUTO takes the first that applies: a sensor or limits menu's ENTER, the
// lamp alone with compare on and no run, the filter menu's ENTER, the lamp
// and the instrument's auto range with hold on, else auto range.
void TestKeyDispatcher::autoKeyPrecedence_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QStringList>("written");  // after the math channel
    QTest::addColumn<bool>("autoLit");

    const QStringList none;
    QTest::newRow("(a) sensor menu first") << QStringList{u"SENSOR_SET"_s, u"COMP_ON"_s, u"HOLD_ON"_s}
                                           << false << none << false;
    QTest::newRow("(b) limits menu") << QStringList{u"COMP_SET"_s, u"COMP_ON"_s, u"HOLD_ON"_s}
                                     << false << none << false;
    QTest::newRow("(c) compare on: lamp on, before the filter menu")
        << QStringList{u"COMP_ON"_s, u"FILT_SET"_s, u"HOLD_ON"_s} << false << none << true;
    QTest::newRow("(c) compare on: lamp off") << QStringList{u"COMP_ON"_s, u"AUTO_LAB1"_s}
                                              << false << none << false;
    QTest::newRow("(d) compare on in a run: the filter menu's ENTER")
        << QStringList{u"COMP_ON"_s, u"FILT_SET"_s, u"HOLD_ON"_s} << true
        << QStringList{u"sens:aver:tcon rep\\10"_s, u"sens:aver:coun 2\\10"_s, u"sens:aver:stat 1\\10"_s} << false;
    QTest::newRow("(e) hold: auto off") << QStringList{u"HOLD_ON"_s, u"AUTO_LAB1"_s} << false
                                        << QStringList{u"conf:auto 0\\10"_s} << false;
    QTest::newRow("(e) hold: auto on") << QStringList{u"HOLD_ON"_s} << false
                                       << QStringList{u"conf:auto 1\\10"_s} << true;
    QTest::newRow("(e) hold, compare on in a run") << QStringList{u"HOLD_ON"_s, u"COMP_ON"_s} << true
                                                   << QStringList{u"conf:auto 1\\10"_s} << true;
    QTest::newRow("(f) auto range, then the rate check") << none << false
        << QStringList{u"calc:stat 0\\10"_s, u"conf:volt:dc\\10"_s, kRateQuery} << true;
}

void TestKeyDispatcher::autoKeyPrecedence()
{
    QFETCH(QStringList, before);
    QFETCH(bool, running);
    QFETCH(QStringList, written);
    QFETCH(bool, autoLit);
    KeyPanel f;
    f.set(before);
    if (running)
        f.state.runPhase = RunPhase::Timed;

    f.press(8);

    QCOMPARE(f.sim.written, afterMathChannel(written));
    QCOMPARE(f.display.isLit(Lamp::AUTO_LAB1), autoLit);
    if (f.state.HOLD_ON)
        QCOMPARE(f.state.MODE1_RANGE, u"10V"_s);  // hold keeps the label
    QVERIFY(f.pressed(8));
}

// Every key with SHIFT lit: what goes out, whether SHIFT goes out with the
// press, the scanner hooks and the long press that MXMN arms.
void TestKeyDispatcher::shiftPaths_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("scanner");
    QTest::addColumn<bool>("runTimer");
    QTest::addColumn<QStringList>("written");  // after the math channel
    QTest::addColumn<bool>("shiftLit");
    QTest::addColumn<QStringList>("hooked");
    QTest::addColumn<bool>("longPress");

    const QStringList none;
    const QStringList rate = {kRateQuery};
    const QString dcv = u"DCV"_s;
    QTest::newRow("ACV without scanner") << 0 << none << dcv << false << false << rate << true << none << false;
    QTest::newRow("ACV opens the scanner") << 0 << none << dcv << true << false << rate << true
                                           << QStringList{u"openScanner"_s} << false;
    QTest::newRow("DCV stops a timed run first") << 1 << none << dcv << true << true << rate << true
                                                 << QStringList{u"stopRun"_s, u"openScanner"_s} << false;
    QTest::newRow("ACI") << 2 << none << dcv << true << false << rate << false << none << false;
    QTest::newRow("DCI") << 3 << none << dcv << true << false << rate << false << none << false;
    QTest::newRow("W2W4 (no math)") << 4 << none << dcv << false << false << rate << false << none << false;
    QTest::newRow("D_C (no dBm)") << 5 << none << dcv << false << false << rate << false << none << false;
    QTest::newRow("Hz_P (no dB)") << 6 << none << dcv << false << false << rate << false << none << false;
    QTest::newRow("T_CF: sensor menu") << 7 << none << dcv << false << false
                                       << QStringList{u"sens:temp:tco:type?\\10"_s, u"sens:temp:rjun:sim?\\10"_s, kRateQuery}
                                       << false << none << false;
    QTest::newRow("AUTO: rate") << 8 << QStringList{u"S_LAB"_s} << dcv << false << false
                                << QStringList{u"sens:det:rate m\\10"_s, kRateQuery} << false << none << false;
    QTest::newRow("UP") << 9 << none << dcv << false << false << none << false << none << false;
    QTest::newRow("DOWN") << 10 << none << dcv << false << false << none << false << none << false;
    QTest::newRow("HOLD: limits menu") << 11 << none << dcv << false << false
                                       << QStringList{u"calc:lim:upp?\\10"_s, kRateQuery} << false << none << false;
    QTest::newRow("HOLD: compare off") << 11 << QStringList{u"COMP_ON"_s} << dcv << false << false
                                       << QStringList{u"calc:stat 0\\10"_s, kRateQuery} << false << none << false;
    QTest::newRow("HOLD in diode") << 11 << QStringList{u"COMP_ON"_s} << u"DIODE"_s << false << false
                                   << none << false << none << false;
    QTest::newRow("TRIG: external trigger") << 12 << none << dcv << false << false
                                            << QStringList{u"trig:sour ext\\10"_s, kRateQuery} << false << none << false;
    QTest::newRow("REL (no REL#)") << 13 << none << dcv << false << false << rate << false << none << false;
    QTest::newRow("REL in continuity") << 13 << none << u"CONTINU"_s << false << false << none << false
                                       << none << false;
    const QStringList filterMenu = {u"sens:aver:coun?\\10"_s, kRateQuery};
    QTest::newRow("MXMN: filter menu") << 14 << none << dcv << false << false << filterMenu << false << none << true;
    QTest::newRow("MXMN in diode: filter all the same") << 14 << none << u"DIODE"_s << false << false << filterMenu
                                                        << false << none << true;
    QTest::newRow("2ND (no menu)") << 15 << none << dcv << false << false << none << false << none << false;
}

void TestKeyDispatcher::shiftPaths()
{
    QFETCH(int, key);
    QFETCH(QStringList, before);
    QFETCH(QString, mode);
    QFETCH(bool, scanner);
    QFETCH(bool, runTimer);
    QFETCH(QStringList, written);
    QFETCH(bool, shiftLit);
    QFETCH(QStringList, hooked);
    QFETCH(bool, longPress);
    KeyPanel f;
    f.set(before + QStringList{u"SHIFT_LAB"_s});
    f.state.MODE1 = mode;
    f.state.scannerReported = scanner;
    if (runTimer) {
        f.timers.READ_Timer.setInterval(1000);
        f.timers.READ_Timer.setEnabled(true);
    }

    f.press(key);

    QCOMPARE(f.sim.written, afterMathChannel(written));
    QCOMPARE(f.display.isLit(Lamp::SHIFT_LAB), shiftLit);
    QCOMPARE(f.hooked, hooked);
    QCOMPARE(f.timers.MXMN_Timer.isEnabled(), longPress);
    QVERIFY(f.pressed(key));
    QCOMPARE(f.state.MODE1, mode);  // no function changes with SHIFT
    if (before.contains(u"COMP_ON"_s) && mode == u"DCV")
        QVERIFY(!f.state.COMP_ON);
}

// The 2ND key: nothing in continuity, diode and temperature; with MIN, MAX
// or REL lit only the second-display view (and values stop showing as a
// count): with no run it is left, the instrument's state read again, and
// REL asked once more; otherwise the display-2 selection toggles and its
// long press arms.
void TestKeyDispatcher::secondKey_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("written");  // after the math channel
    QTest::addColumn<bool>("nd2Lit");
    QTest::addColumn<bool>("longPress");
    QTest::addColumn<bool>("countForm");  // MATH_LAB enabled

    const QStringList none;
    for (const char *mode : {"CONTINU", "DIODE", "C", "F"})
        QTest::addRow("nothing in %s", mode) << QString::fromLatin1(mode) << none << none << false << false << true;
    const QStringList stateReadAgain = {u"TRIG:SOUR INT\\10"_s, u"*IDN?\\10"_s,     u"sens:aver:stat?\\10"_s,
                                        u"ROUT:STAT?\\10"_s,    u"trig:sour?\\10"_s, u"conf2:func?\\10"_s,
                                        u"conf:auto?\\10"_s,    u"conf:func?\\10"_s, kRateQuery};
    for (const char *lamp : {"MIN_LAB", "MAX_LAB"})
        QTest::addRow("%s lit: the view only", lamp) << u"DCV"_s << QStringList{QString::fromLatin1(lamp)}
                                                     << stateReadAgain << false << false << false;
    QTest::newRow("REL_LAB lit: the view only") << u"DCV"_s << QStringList{u"REL_LAB"_s}
                                                << stateReadAgain + QStringList{u"calc:func rel\\10"_s, u"val2?\\10"_s}
                                                << false << false << false;
    QTest::newRow("selects display 2") << u"DCV"_s << QStringList{u"ND2_VIEW"_s} << QStringList{kRateQuery}
                                       << true << true << true;
    QTest::newRow("back to display 1") << u"DCV"_s << QStringList{u"ND2_LAB"_s} << QStringList{kRateQuery}
                                       << false << true << true;
    QTest::newRow("AC and DC both lit: stays dark") << u"DCV"_s << QStringList{u"AC_LAB1"_s}
                                                    << QStringList{u"sens:det:band?\\10"_s} << false << true << true;
}

void TestKeyDispatcher::secondKey()
{
    QFETCH(QString, mode);
    QFETCH(QStringList, before);
    QFETCH(QStringList, written);
    QFETCH(bool, nd2Lit);
    QFETCH(bool, longPress);
    QFETCH(bool, countForm);
    KeyPanel f;
    f.set(before);
    f.state.MODE1 = mode;

    f.press(15);

    QCOMPARE(f.sim.written, afterMathChannel(written));
    QCOMPARE(f.display.isLit(Lamp::ND2_LAB), nd2Lit);
    QCOMPARE(f.timers.ND2_Timer.isEnabled(), longPress);
    QCOMPARE(f.controls.MATH_LAB_enabled, countForm);
    if (nd2Lit)
        QVERIFY(!f.state.ND2_VIEW);
    QVERIFY(f.pressed(15));
}

// A function key ends relative, maximum/minimum, hold and compare, and
// forgets the function codes while display 2 has none of its own.
void TestKeyDispatcher::functionKeyEndsTheFunctions()
{
    KeyPanel f;
    f.set({u"REL_ON"_s, u"MXMN_ON"_s, u"HOLD_ON"_s, u"COMP_ON"_s});
    f.state.MODE2 = u"COMP"_s;
    f.state.DISPLAY2 = u"PASS"_s;

    f.press(2);

    QVERIFY(!f.state.REL_ON && !f.state.MXMN_ON && !f.state.HOLD_ON && !f.state.COMP_ON);
    QCOMPARE(f.state.MODE1, u"ACI"_s);
    QCOMPARE(f.state.MODE2, QString());
    QCOMPARE(f.state.DISPLAY2, QString());
    QCOMPARE(f.sim.instrument.measure(1).function, QByteArray("ACI"));
}

// D_C and T_CF have nothing to do on display 2: while it measures they only
// show pressed.
void TestKeyDispatcher::display1OnlyKeysWhileDisplay2Measures_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("D_C") << 5;
    QTest::newRow("T_CF") << 7;
}

void TestKeyDispatcher::display1OnlyKeysWhileDisplay2Measures()
{
    QFETCH(int, key);
    KeyPanel f;
    f.set({u"MODE2_ON"_s, u"REL_ON"_s});
    f.state.MODE2 = u"ACV"_s;
    const quint64 revision = f.display.revision();

    f.press(key);

    QCOMPARE(f.sim.written, QStringList{kMathChannel});
    QVERIFY(f.pressed(key));
    QCOMPARE(f.display.revision(), revision);
    QCOMPARE(f.state.MODE1, u"DCV"_s);
    QVERIFY(f.state.REL_ON);
}

void TestKeyDispatcher::maxMinKey_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<bool>("minSel");
    QTest::addColumn<QString>("sent");  // by the key, before the rate query

    // The first press sets MIN so that the key's own step lands on MAX.
    QTest::newRow("first press: MAX, ends the others") << u"DCV"_s
        << QStringList{u"REL_ON"_s, u"HOLD_ON"_s, u"COMP_ON"_s} << true << false << u"calc:func max\\10"_s;
    QTest::newRow("already on: MIN_SEL left to the key") << u"DCV"_s << QStringList{u"MXMN_ON"_s}
                                                          << true << true << u"calc:func min\\10"_s;
    QTest::newRow("nothing in diode") << u"DIODE"_s << QStringList{u"REL_ON"_s} << false << false << QString();
    QTest::newRow("nothing while display 2 measures") << u"DCV"_s << QStringList{u"MODE2_ON"_s, u"REL_ON"_s}
                                                       << false << false << QString();
}

void TestKeyDispatcher::maxMinKey()
{
    QFETCH(QString, mode);
    QFETCH(QStringList, before);
    QFETCH(bool, taken);
    QFETCH(bool, minSel);
    QFETCH(QString, sent);
    KeyPanel f;
    f.set(before);
    f.state.MODE1 = mode;

    f.press(14);

    QCOMPARE(f.state.MXMN_ON, taken);
    QCOMPARE(f.state.MIN_SEL, minSel);
    QCOMPARE(f.state.REL_ON, !taken);
    QCOMPARE(f.timers.MXMN_Timer.isEnabled(), taken);
    QCOMPARE(f.sim.written, afterMathChannel(taken ? QStringList{sent, kRateQuery} : QStringList{}));
    QCOMPARE(f.display.isLit(Lamp::MAX_LAB), taken && !minSel);
    QCOMPARE(f.display.isLit(Lamp::MIN_LAB), taken && minSel);
}

// After the key the rate is asked and the list follows function and rate,
// its text and SPEED_MS with it.
void TestKeyDispatcher::listAfterKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("speedMs");

    QTest::newRow("ACV at the slow rate") << 0 << u"S"_s << u"2000"_s << u"2000"_s << 2000;
    QTest::newRow("ACV at the fast rate") << 0 << u"F"_s << u"33.333"_s << u"500"_s << 500;
    QTest::newRow("DCV at the fast rate") << 1 << u"F"_s << u"16.667"_s << u"500"_s << 500;
    QTest::newRow("DCV at the slow rate") << 1 << u"S"_s << u"33.333"_s << u"500"_s << 500;
    QTest::newRow("Hz_P at the slow rate") << 6 << u"S"_s << u"1000"_s << u"1000"_s << 1000;
}

void TestKeyDispatcher::listAfterKey()
{
    QFETCH(int, key);
    QFETCH(QString, rate);
    QFETCH(QString, first);
    QFETCH(QString, text);
    QFETCH(int, speedMs);
    KeyPanel f;
    QVERIFY(f.sim.instrument.setStates(u"rate="_s + rate));

    f.press(key);

    QCOMPARE(f.state.SPEED_CODE, rate);
    QCOMPARE(f.controls.Speed_TIME.items.value(0), first);
    QCOMPARE(f.controls.Speed_TIME.items.constLast(), u"600000"_s);
    QCOMPARE(f.controls.Speed_TIME.text, text);
    QCOMPARE(f.state.SPEED_MS, speedMs);
}

// The exchange that fails ends the key there, said once in the status log
// with the key's name; frequency/period ends only itself and the rate check
// still follows.
void TestKeyDispatcher::failedExchangeEndsTheKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<bool>("portOpen");  // else the link is up but the port gone
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("mode");

    QTest::newRow("ACV, port gone") << 0 << QStringList{} << false << QStringList{u"calc:stat 0\\10"_s}
                                    << u"ACV key: \"calc:stat 0\" failed"_s << u"DCV"_s;
    QTest::newRow("Hz_P, port gone: the rate check follows") << 6 << QStringList{} << false
        << QStringList{u"conf:freq\\10"_s, kRateQuery} << u"Hz/P key: \"conf:freq\" failed"_s << u"DCV"_s;
    QTest::newRow("AUTO in Hz, no reply to the range") << 8 << QStringList{u"AUTO_LAB1"_s, u"T_Hz_LAB1"_s}
        << true << QStringList{kMathChannel, u"conf:auto off\\10"_s, u"conf:rang?\\10"_s}
        << u"AUTO key: \"conf:rang?\" failed"_s << u"Hz"_s;
}

void TestKeyDispatcher::failedExchangeEndsTheKey()
{
    QFETCH(int, key);
    QFETCH(QStringList, before);
    QFETCH(bool, portOpen);
    QFETCH(QStringList, written);
    QFETCH(QString, line);
    QFETCH(QString, mode);
    KeyPanel f(false);
    f.controls.CHK_COM_TF.enabled = false;
    f.state.REMOTE_OK = true;
    if (portOpen) {
        f.sim.faults.silentAfter = 2;
        QVERIFY(f.sim.open());
        f.sim.link.setReplyBound(std::chrono::milliseconds(100));
        f.sim.link.setQuietTime(std::chrono::milliseconds(10));
    }
    f.state.MODE1 = mode;
    f.set(before);

    f.press(key);

    QCOMPARE(f.sim.written, written);
    QCOMPARE(f.status.lines().size(), 1);
    QVERIFY2(f.status.lines().at(0).startsWith(line), qPrintable(f.status.lines().at(0)));
    QVERIFY(f.pressed(key));
    if (key == 0)  // the codes were forgotten before the key's command; no function was set
        QCOMPARE(f.state.MODE1, QString());
    if (key == 8)  // the label is not named and nothing is redrawn
        QCOMPARE(f.state.MODE1_RANGE, QString());
}

void TestKeyDispatcher::mouseUp_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<bool>("pressedAfter");
    QTest::addColumn<bool>("shiftAfter");
    QTest::addColumn<QStringList>("timersOn");  // of MXMN_Timer, ND2_Timer, HOLD_Timer

    const QStringList all = {u"MXMN_Timer"_s, u"ND2_Timer"_s, u"HOLD_Timer"_s};
    QTest::newRow("ACV stays down for ACDC_Timer") << 0 << false << true << false << all;
    QTest::newRow("SHIFT + ACV comes up, SHIFT out") << 0 << true << false << false << all;
    QTest::newRow("SHIFT + DCV comes up, SHIFT out") << 1 << true << false << false << all;
    QTest::newRow("ACI comes up, SHIFT kept") << 2 << true << false << true << all;
    QTest::newRow("HOLD stops HOLD_Timer") << 11 << false << false << false
                                           << QStringList{u"MXMN_Timer"_s, u"ND2_Timer"_s};
    QTest::newRow("MXMN: a short press") << 14 << false << false << false
                                         << QStringList{u"ND2_Timer"_s, u"HOLD_Timer"_s};
    QTest::newRow("2ND: a short press") << 15 << false << false << false
                                        << QStringList{u"MXMN_Timer"_s, u"HOLD_Timer"_s};
}

void TestKeyDispatcher::mouseUp()
{
    QFETCH(int, key);
    QFETCH(bool, shift);
    QFETCH(bool, pressedAfter);
    QFETCH(bool, shiftAfter);
    QFETCH(QStringList, timersOn);
    KeyPanel f;
    f.display.setLit(Lamp::SHIFT_LAB, shift);
    f.controls.BUTT1_IMG[std::size_t(key)] = shell::keyPicture(key, true);
    for (rt::PanelTimer *timer : {&f.timers.HOLD_Timer, &f.timers.MXMN_Timer, &f.timers.ND2_Timer})
        timer->setEnabled(true);

    f.release(key);

    QCOMPARE(f.pressed(key), pressedAfter);
    QCOMPARE(f.display.isLit(Lamp::SHIFT_LAB), shiftAfter);
    QStringList on;
    for (const auto &named : shell::PanelTimers::kAll)
        if ((f.timers.*named.timer).isEnabled())
            on << QString::fromLatin1(named.name);
    QCOMPARE(on, timersOn);
}

void TestKeyDispatcher::voltAndCurrentKeysComeUpAfterHalfASecond()
{
    rt::ManualTimerClock clock;
    KeyPanel f;
    f.press(0);
    f.release(0);
    f.press(3);
    f.release(3);
    QVERIFY(f.pressed(0));
    QVERIFY(!f.pressed(3));  // its own mouse-up

    f.controls.BUTT1_IMG[1] = shell::keyPicture(1, true);
    clock.advance(499);
    QVERIFY(f.pressed(0));
    clock.advance(1);
    for (int key : {0, 1, 2, 3})
        QVERIFY(!f.pressed(key));
    QVERIFY(!f.timers.ACDC_Timer.isEnabled());
}

// With the external trigger, TRIG's reading goes to the run the window
// hands over; with the internal one nothing is taken or recorded.
void TestKeyDispatcher::triggerRecordsThroughTheHook()
{
    for (const bool external : {true, false}) {
        KeyPanel f;
        f.controls.Ran_CHK.checked = true;  // a demonstration reading: no instrument needed
        if (external)
            f.set({u"EXT_LAB"_s});
        f.press(12);
        QCOMPARE(f.hooked, external ? QStringList{u"recordTriggered"_s} : QStringList{});
    }
}

QTEST_GUILESS_MAIN(TestKeyDispatcher)
#include "tst_key_dispatcher.moc"
