// MXMN and 2ND held a second act as long presses; a shorter press is short,
// whatever the instrument's reply time. On a slow line the key's own
// exchanges and the rate check after it outlast the second: the long-press
// tick falls due behind them, and the user's mouse-up, made long before,
// waits in the window system (the channel's waits let no user input in).
// Once the exchanges end the window system runs the late tick before that
// input. WindowSystem below plays both the user's hand and that order: a
// release made while the channel waits is held back until the program asks
// for waiting input, or else until the posted events (the late tick among
// them) have run. Real clocks and the in-process instrument with its
// replies 1.3 s late, or on time.

#include "display/glyph_words.h"
#include "keys/key_dispatcher.h"
#include "platform/panel_timer.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/reading_setup.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace Qt::StringLiterals;
using display::Lamp;

class TestLongPress : public QObject
{
    Q_OBJECT

private slots:
    void pressLength_data();
    void pressLength();
};

namespace {

constexpr int kMXMN = 14;
constexpr int kND2 = 15;

const QString kMathChannel = u"syst:math:chan 0\\10"_s;
const QString kRateQuery = u"sens:det:rate?\\10"_s;
const QString kMaxMinOff = u"CALC:FUNC OFF,MAX\\10"_s;

// An identified panel measuring DC volts on display 1 and AC volts on
// display 2, on an instrument answering `delayMs` late.
struct LongPressPanel : PanelFixture
{
    explicit LongPressPanel(int delayMs) : PanelFixture(faults(delayMs))
    {
        keys::connectKeyTimers(panel);
        darken(display);
        display.setLit(Lamp::DC_LAB1, true);
        state.MODE1 = u"DCV"_s;
        state.MODE1_RANGE = u"10V"_s;
        state.MODE2 = u"ACV"_s;
        state.MODE2_RANGE = u"AUTO"_s;
        linkUp();
        controls.CHK_COM_TF.enabled = false;
        timers.deliverWaitingInput = [this] { deliverWaiting(); };
        clock.start();
    }

    static sim::Faults faults(int delayMs)
    {
        sim::Faults f;
        f.delayMs = delayMs;
        return f;
    }

    // The user presses `key` and lets go `holdMs` later; returns once the
    // release has been handled and no long press is armed any more.
    bool click(int key, int holdMs)
    {
        const qint64 down = clock.elapsed();
        released = false;
        QTimer::singleShot(holdMs, Qt::PreciseTimer, [this, key, up = down + holdMs] {
            waiting.append([this, key, up] {
                keys::BUTT1_IMG_MouseUp(panel, key, up);
                released = true;
            });
            // With nobody waiting on the channel input goes straight in.
            if (!rt::HeldTicks::active())
                deliverWaiting();
        });
        keys::BUTT1_IMG_MouseDown(panel, key, {}, down);
        QDeadlineTimer bound(20000);
        while (!(released && !timers.MXMN_Timer.isEnabled() && !timers.ND2_Timer.isEnabled())) {
            if (bound.hasExpired())
                return false;
            // The window system's order: posted events first, then input.
            QCoreApplication::sendPostedEvents();
            deliverWaiting();
            QTest::qWait(10);
        }
        return true;
    }

    void deliverWaiting()
    {
        while (!waiting.isEmpty())
            waiting.takeFirst()();
    }

    QElapsedTimer clock;
    QList<std::function<void()>> waiting;  // input the window system holds
    bool released = false;
};

} // namespace

// Rows: the key (with SHIFT lit: the filter menu), the reply delay, how long
// it is held, and the commands after the press's math channel.
void TestLongPress::pressLength_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<int>("holdMs");
    QTest::addColumn<bool>("longPress");
    QTest::addColumn<QStringList>("written");

    const QStringList maxOn = {kMathChannel, u"calc:func max\\10"_s, kRateQuery};
    const QStringList filterMenu = {kMathChannel, u"sens:aver:coun?\\10"_s, kRateQuery};
    const QStringList display2 = {kMathChannel, kRateQuery};
    const QStringList display2Off = {u"CONF2:FUNC?\\10"_s, u"conf2:off\\10"_s};
    for (int delay : {0, 1300}) {
        QTest::addRow("MX/MN, %d ms late, 100 ms click: MAX", delay)
            << kMXMN << false << delay << 100 << false << maxOn;
        QTest::addRow("MX/MN, %d ms late, 2 s hold: off", delay)
            << kMXMN << false << delay << 2000 << true << maxOn + QStringList{kMaxMinOff};
        QTest::addRow("SHIFT MX/MN, %d ms late, 100 ms click: filter menu", delay)
            << kMXMN << true << delay << 100 << false << filterMenu;
        QTest::addRow("SHIFT MX/MN, %d ms late, 2 s hold: max/min off", delay)
            << kMXMN << true << delay << 2000 << true << filterMenu + QStringList{kMaxMinOff};
        QTest::addRow("2ND, %d ms late, 100 ms click: display 2 selected", delay)
            << kND2 << false << delay << 100 << false << display2;
        QTest::addRow("2ND, %d ms late, 2 s hold: display 2 off", delay)
            << kND2 << false << delay << 2000 << true << display2 + display2Off;
    }
    // Let go after the second but before the late tick could look: the
    // release, handled late, still says how long the key was down.
    QTest::newRow("MX/MN, 1300 ms late, 1200 ms hold: off")
        << kMXMN << false << 1300 << 1200 << true << maxOn + QStringList{kMaxMinOff};
    QTest::newRow("2ND, 1300 ms late, 1200 ms hold: display 2 off")
        << kND2 << false << 1300 << 1200 << true << display2 + display2Off;
}

void TestLongPress::pressLength()
{
    QFETCH(int, key);
    QFETCH(bool, shift);
    QFETCH(int, delayMs);
    QFETCH(int, holdMs);
    QFETCH(bool, longPress);
    QFETCH(QStringList, written);
    LongPressPanel f(delayMs);
    QVERIFY(f.sim.instrument.setStates(u"func2=ACV"_s));
    f.state.MODE2_ON = key == kND2;  // MX/MN acts on display 1 alone
    f.display.setLit(Lamp::SHIFT_LAB, shift);
    f.sim.written.clear();

    QVERIFY2(f.click(key, holdMs), "the release never came through");

    QCOMPARE(f.sim.written, written);
    if (key == kMXMN) {
        QCOMPARE(f.state.MXMN_ON, !longPress && !shift);  // the filter menu leaves it as it was
        QCOMPARE(f.display.isLit(Lamp::MAX_LAB), !longPress && !shift);
        QCOMPARE(f.state.FILT_SET, shift);
    } else {
        QCOMPARE(f.display.isLit(Lamp::ND2_LAB), !longPress);
        QCOMPARE(f.state.MODE2_ON, !longPress);
        QCOMPARE(f.sim.instrument.measure(2).function, longPress ? QByteArray("OFF") : QByteArray("ACV"));
    }
}

QTEST_GUILESS_MAIN(TestLongPress)
#include "tst_long_press.moc"
