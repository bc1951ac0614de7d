// UP and DOWN on a short list or range: the filter set-up's count digits
// (held between 2 and 100) and type, the hold reference (asked, stepped
// among 0.01, 0.1, 1 and 10 and sent on every press, then shown again), and
// the dBm reference impedance (sent only when it moves, no wrap).

#include "display/mode_redraws.h"
#include "keys/arrow_keys.h"
#include "keys/key_dispatcher.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using display::Lamp;
using display::Positions;

namespace {

enum class Key { Up, Down };

bool press(Panel &p, Key key)
{
    return key == Key::Up ? keys::UP_IMG_ENTER(p) : keys::DOWN_IMG_ENTER(p);
}

} // namespace

Q_DECLARE_METATYPE(Key)

class TestReferenceSteps : public QObject
{
    Q_OBJECT

private slots:
    void filterCount_data();
    void filterCount();
    void filterType_data();
    void filterType();
    void holdReference_data();
    void holdReference();
    void holdReferenceOffline();
    void dBmReference_data();
    void dBmReference();

    // Through the keys, on the simulated instrument.
    void holdReferenceOnTheInstrument();
    void dBmReferenceOnTheInstrument();
};

// The count digit under the cursor steps by 100, 10 or 1; UP stops at 100,
// DOWN at 2. Any other cursor redraws the count unchanged.
void TestReferenceSteps::filterCount_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<Key>("key");
    QTest::addColumn<QString>("after");

    QTest::newRow("099 UP at 6") << u"099"_s << 6 << Key::Up << u"100"_s;
    QTest::newRow("100 UP at 4 stays 100") << u"100"_s << 4 << Key::Up << u"100"_s;
    QTest::newRow("055 UP at 5") << u"055"_s << 5 << Key::Up << u"065"_s;
    QTest::newRow("002 UP at 4") << u"002"_s << 4 << Key::Up << u"100"_s;
    QTest::newRow("003 DOWN at 5 is 002") << u"003"_s << 5 << Key::Down << u"002"_s;
    QTest::newRow("100 DOWN at 4 is 002") << u"100"_s << 4 << Key::Down << u"002"_s;
    QTest::newRow("100 DOWN at 6") << u"100"_s << 6 << Key::Down << u"099"_s;
    QTest::newRow("050 UP at 3 unchanged") << u"050"_s << 3 << Key::Up << u"050"_s;
}

void TestReferenceSteps::filterCount()
{
    QFETCH(QString, digits);
    QFETCH(int, cursor);
    QFETCH(Key, key);
    QFETCH(QString, after);
    PanelFixture f;
    f.linkUp();
    darken(f.display);
    f.state.FILT_SET = true;
    f.state.HOLD_ON = true;  // the open set-up takes the keys first
    f.state.BLINK_DISP2 = false;
    f.state.BLINK_FIRST = f.state.BLINK_LAST = qint16(cursor);
    f.state.LIMIT_DIGITS = digits;
    f.display.draw(Positions::DIS1_IMG, 0, u"C");

    QVERIFY(press(f.panel, key));

    QCOMPARE(f.state.LIMIT_DIGITS, after);
    QCOMPARE(shown1(f.display), u"C___"_s + after);  // shown, the cursor's digit too
    QVERIFY(f.sim.written.isEmpty());
}

void TestReferenceSteps::filterType_data()
{
    QTest::addColumn<bool>("moving");
    QTest::addColumn<Key>("key");
    QTest::addColumn<QString>("word");

    QTest::newRow("MOV, UP") << true << Key::Up << u"_REP__"_s;
    QTest::newRow("MOV, DOWN") << true << Key::Down << u"_REP__"_s;
    QTest::newRow("REP, UP") << false << Key::Up << u"_MOV__"_s;
    QTest::newRow("REP, DOWN") << false << Key::Down << u"_MOV__"_s;
}

void TestReferenceSteps::filterType()
{
    QFETCH(bool, moving);
    QFETCH(Key, key);
    QFETCH(QString, word);
    PanelFixture f;
    darken(f.display);
    f.state.FILT_SET = true;
    f.state.FILT_MOVING = moving;
    f.state.BLINK_DISP2 = true;
    f.state.LIMIT_DIGITS = u"010"_s;

    QVERIFY(press(f.panel, key));

    QCOMPARE(f.state.FILT_MOVING, !moving);
    QCOMPARE(shown2(f.display), word);
    QCOMPARE(f.state.LIMIT_DIGITS, u"010"_s);
}

// The reference as the instrument answers it, one step on, sent on every
// press; then hold is shown again from the instrument.
void TestReferenceSteps::holdReference_data()
{
    QTest::addColumn<QString>("reply");  // to both reference queries
    QTest::addColumn<Key>("key");
    QTest::addColumn<QString>("sent");   // empty: nothing sent after the query
    QTest::addColumn<bool>("ok");

    QTest::newRow("0.01 UP") << u"0.01"_s << Key::Up << u"0.1"_s << true;
    QTest::newRow("0.1 UP") << u"0.1"_s << Key::Up << u"1"_s << true;
    QTest::newRow("1 UP") << u"1"_s << Key::Up << u"10"_s << true;
    QTest::newRow("10 UP sent again") << u"10"_s << Key::Up << u"10"_s << true;
    QTest::newRow("10 DOWN") << u"10"_s << Key::Down << u"1"_s << true;
    QTest::newRow("0.1 DOWN") << u"0.1"_s << Key::Down << u"0.01"_s << true;
    QTest::newRow("0.01 DOWN sent again") << u"0.01"_s << Key::Down << u"0.01"_s << true;
    QTest::newRow("another form written back") << u"+1.00000E-01"_s << Key::Up << u"+1.00000E-01"_s << true;
    QTest::newRow("blank reply: nothing sent") << u" "_s << Key::Up << QString() << true;
}

void TestReferenceSteps::holdReference()
{
    QFETCH(QString, reply);
    QFETCH(Key, key);
    QFETCH(QString, sent);
    QFETCH(bool, ok);
    PanelFixture f;
    f.linkUp();
    darken(f.display);
    f.display.setLit(Lamp::HOLD_LAB, true);
    f.state.HOLD_ON = true;
    f.state.dBm_ON = true;  // hold comes first
    f.state.dBm_REF = u"0050"_s;
    QVERIFY(f.sim.instrument.setStates(u"reply:calc:hold:ref?="_s + reply));

    QCOMPARE(press(f.panel, key), ok);

    QStringList written = {u"CALC:HOLD:REF?\\10"_s};
    if (!sent.isEmpty())
        written += {u"calc:hold:ref "_s + sent + u"\\10"_s, u"calc:func hold\\10"_s, u"calc:hold:ref?\\10"_s};
    QCOMPARE(f.sim.written, written);
    QVERIFY(f.display.isLit(Lamp::HOLD_LAB));
    QCOMPARE(f.state.MODE2, sent.isEmpty() ? QString() : u"HOLD"_s);
    QCOMPARE(f.state.dBm_REF, u"0050"_s);
}

// Offline nothing is asked or sent; hold is shown again all the same. A
// query without a reply ends the press before anything is sent or shown.
void TestReferenceSteps::holdReferenceOffline()
{
    PanelFixture f;
    darken(f.display);
    f.display.setLit(Lamp::HOLD_LAB, true);
    f.state.HOLD_ON = true;
    QVERIFY(keys::UP_IMG_ENTER(f.panel));
    QVERIFY(f.sim.written.isEmpty());
    QVERIFY(f.display.isLit(Lamp::HOLD_LAB));
    QCOMPARE(f.state.MODE2, u"HOLD"_s);
    QCOMPARE(shown2(f.display), u"   [PSU][MOD][PSD]"_s);

    PanelFixture gone;
    gone.state.REMOTE_OK = true;  // the port never opened
    gone.display.setLit(Lamp::HOLD_LAB, true);
    gone.state.HOLD_ON = true;
    QVERIFY(!keys::DOWN_IMG_ENTER(gone.panel));
    QCOMPARE(gone.sim.written, QStringList{u"CALC:HOLD:REF?\\10"_s});
    QCOMPARE(gone.state.MODE2, QString());
}

// One entry on in the list of 21; nothing past either end or for a value
// not in the list. The command takes the number without its zeros.
void TestReferenceSteps::dBmReference_data()
{
    QTest::addColumn<QString>("ref");
    QTest::addColumn<Key>("key");
    QTest::addColumn<bool>("link");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QString>("after");

    QTest::newRow("1200 UP") << u"1200"_s << Key::Up << true << QStringList{u"calc:dbm:ref 8000\\10"_s}
                             << u"8000"_s;
    QTest::newRow("8000 UP: the end") << u"8000"_s << Key::Up << true << QStringList{} << u"8000"_s;
    QTest::newRow("0004 DOWN") << u"0004"_s << Key::Down << true << QStringList{u"calc:dbm:ref 2\\10"_s}
                               << u"0002"_s;
    QTest::newRow("0002 DOWN: the end") << u"0002"_s << Key::Down << true << QStringList{} << u"0002"_s;
    QTest::newRow("0093 UP") << u"0093"_s << Key::Up << true << QStringList{u"calc:dbm:ref 110\\10"_s}
                             << u"0110"_s;
    QTest::newRow("not in the list") << u"0051"_s << Key::Up << true << QStringList{} << u"0051"_s;
    QTest::newRow("offline: stepped, nothing sent") << u"0050"_s << Key::Up << false << QStringList{}
                                                    << u"0075"_s;
}

void TestReferenceSteps::dBmReference()
{
    QFETCH(QString, ref);
    QFETCH(Key, key);
    QFETCH(bool, link);
    QFETCH(QStringList, written);
    QFETCH(QString, after);
    PanelFixture f;
    if (link)
        f.linkUp();
    darken(f.display);
    f.state.dBm_ON = true;
    f.state.dBm_REF = ref;

    QVERIFY(press(f.panel, key));

    QCOMPARE(f.sim.written, written);
    QCOMPARE(f.state.dBm_REF, after);
    QCOMPARE(shown2(f.display), after == ref ? u"______"_s : u"__"_s + after);
}

// Hold on at 0.1 %: UP twice, then DOWN four times, each press through the
// dispatcher; the instrument holds each new reference, and display 2 shows
// it as the instrument reports it.
void TestReferenceSteps::holdReferenceOnTheInstrument()
{
    constexpr int kUP = 9;
    constexpr int kDOWN = 10;
    PanelFixture f;
    f.linkUp();
    f.controls.CHK_COM_TF.enabled = false;
    darken(f.display);
    QVERIFY(f.sim.instrument.setStates(u"holdref=0.1"_s));
    display::HOLD_2ND_DISP(f.panel);
    QVERIFY(f.state.HOLD_ON);
    QCOMPARE(shown2(f.display), u"0.10[PSU][MOD][PSD]"_s);

    const struct
    {
        int key;
        const char *reference;
        const char16_t *shown;
    } presses[] = {
        {kUP,   "1",    u"1.00[PSU][MOD][PSD]"},
        {kUP,   "10",   u"10.0[PSU][MOD][PSD]"},
        {kDOWN, "1",    u"1.00[PSU][MOD][PSD]"},
        {kDOWN, "0.1",  u"0.10[PSU][MOD][PSD]"},
        {kDOWN, "0.01", u"0.01[PSU][MOD][PSD]"},
        {kDOWN, "0.01", u"0.01[PSU][MOD][PSD]"},
    };
    for (const auto &press : presses) {
        keys::BUTT1_IMG_MouseDown(f.panel, press.key);
        keys::BUTT1_IMG_MouseUp(f.panel, press.key);
        QCOMPARE(f.sim.instrument.field("holdref").value_or(""), QByteArray(press.reference));
        QCOMPARE(shown2(f.display), QString::fromUtf16(press.shown));
        QVERIFY(f.display.isLit(Lamp::HOLD_LAB));
    }
    QVERIFY(f.status.lines().isEmpty());
}

// dBm on at 600 ohm (set directly: no key turns it on): UP and DOWN
// through the dispatcher move the instrument's reference.
void TestReferenceSteps::dBmReferenceOnTheInstrument()
{
    PanelFixture f;
    f.linkUp();
    f.controls.CHK_COM_TF.enabled = false;
    darken(f.display);
    QVERIFY(f.sim.instrument.setStates(u"dbmref=600"_s));
    f.state.dBm_ON = true;
    f.state.dBm_REF = u"0600"_s;

    keys::BUTT1_IMG_MouseDown(f.panel, 9);
    QCOMPARE(f.sim.instrument.field("dbmref").value_or(""), QByteArray("800"));
    keys::BUTT1_IMG_MouseDown(f.panel, 10);
    keys::BUTT1_IMG_MouseDown(f.panel, 10);
    QCOMPARE(f.sim.instrument.field("dbmref").value_or(""), QByteArray("500"));
    QCOMPARE(f.state.dBm_REF, u"0500"_s);
    QCOMPARE(shown2(f.display), u"__0500"_s);
}

QTEST_GUILESS_MAIN(TestReferenceSteps)
#include "tst_reference_steps.moc"
