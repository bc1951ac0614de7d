// The MXMN key through the dispatcher: the first press turns the function
// on with MAX, then MIN and MAX alternate in the instrument and on the
// lamps; while the 2ND view of stored values shows, each press also spells
// the new choice on display 2 and shows its value on display 1; with the
// link down only the panel changes.

#include "keys/key_dispatcher.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/reading_setup.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using display::Lamp;

class TestMaxMinKey : public QObject
{
    Q_OBJECT

private slots:
    void presses_data();
    void presses();
};

namespace {

constexpr int kMXMN = 14;
const QString kMathChannel = u"syst:math:chan 0\\10"_s;
const QString kRateQuery = u"sens:det:rate?\\10"_s;

// One press as the instrument hears it: the math channel, the key's own
// commands, the rate check.
QStringList press(const QStringList &own)
{
    return QStringList{kMathChannel} + own + QStringList{kRateQuery};
}

} // namespace

void TestMaxMinKey::presses_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<bool>("view");  // ND2_VIEW: display 2 shows MAX or MIN

    QTest::newRow("link up")        << true  << false;
    QTest::newRow("link up, view")  << true  << true;
    QTest::newRow("link down, view") << false << true;
}

void TestMaxMinKey::presses()
{
    QFETCH(bool, link);
    QFETCH(bool, view);
    PanelFixture f;
    darken(f.display);
    if (link) {
        f.linkUp();
        f.controls.CHK_COM_TF.enabled = false;
    } else {
        f.controls.CHK_COM_TF.checked = true;  // demonstration readings
    }
    QVERIFY(f.sim.instrument.setStates(u"reply:calc:max?=+2.500000E+00,reply:calc:min?=-2.500000E-01"_s));
    f.state.MODE1 = u"DCV"_s;
    f.state.MODE1_RANGE = u"AUTO"_s;
    f.state.ND2_VIEW = view;
    f.controls.MATH_LAB_enabled = false;
    f.state.DISPLAY1 = u"before"_s;

    struct Press
    {
        bool min;
        QStringList own;
        QString word;
        QString display1;
    };
    const QList<Press> presses = {
        {false, {u"calc:func max\\10"_s, u"CALC:MAX?\\10"_s}, u"[LEFT][SUB]MAX_"_s, u"02.50000_V"_s},
        {true,  {u"calc:func min\\10"_s, u"CALC:MIN?\\10"_s}, u"[LEFT][SUB]M[I2]N_"_s, u"-0.250000_V"_s},
        {false, {u"calc:func max\\10"_s, u"CALC:MAX?\\10"_s}, u"[LEFT][SUB]MAX_"_s, u"02.50000_V"_s},
    };
    for (const Press &step : presses) {
        f.sim.written.clear();
        keys::BUTT1_IMG_MouseDown(f.panel, kMXMN);
        keys::BUTT1_IMG_MouseUp(f.panel, kMXMN);

        QVERIFY(f.state.MXMN_ON);
        QCOMPARE(f.state.MIN_SEL, step.min);
        QCOMPARE(f.display.isLit(Lamp::MIN_LAB), step.min);
        QCOMPARE(f.display.isLit(Lamp::MAX_LAB), !step.min);
        const QStringList own = view ? step.own : step.own.mid(0, 1);
        QCOMPARE(f.sim.written, link ? press(own) : QStringList{});
        if (view)
            QCOMPARE(shown2(f.display), step.word);
        else
            QCOMPARE(shown2(f.display), u"______"_s);
        QCOMPARE(f.state.DISPLAY1, link && view ? step.display1 : u"before"_s);
    }
    QCOMPARE(f.sim.instrument.field("calcfunc"), std::optional<QByteArray>(link ? "max" : "off"));
}

QTEST_GUILESS_MAIN(TestMaxMinKey)
#include "tst_max_min_key.moc"
