// The arrow keys on the range: walks up every ladder and back down, on
// display 1 (single and paired) and display 2, with the commands at each
// step and what the panel shows; which display a press steps and when
// compare goes out again; the cases a walk never meets; the dB step; the
// reading timers around the current query; and, against the simulator with
// a reading between presses, the instrument on the range each label names.

#include "arrows/arrow_keys.h"
#include "display/glyph_words.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/reading_setup.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace display;

class TestArrowKeys : public QObject
{
    Q_OBJECT

private slots:
    void walk_data();
    void walk();
    void target_data();
    void target();
    void edgeCase_data();
    void edgeCase();
    void branchOrder_data();
    void branchOrder();
    void failedExchangeLeavesTheRunGoing_data();
    void failedExchangeLeavesTheRunGoing();
    void currentRangeReply_data();
    void currentRangeReply();
};

namespace {

bool press(PanelFixture &f, QChar key)
{
    f.sim.written.clear();
    return key == u'U' ? arrows::UP_IMG_ENTER(f.panel) : arrows::DOWN_IMG_ENTER(f.panel);
}

// One step of a walk: the key ('U' or 'D'), the commands written, the label
// after it, display 1 (or 2) as read, and the word on display 2.
struct Step
{
    QChar key;
    QStringList written;
    QString label, shown, word;
};

QStringList cmds(std::initializer_list<QString> list) { return QStringList(list); }

// The panel on an open line with exactly these lamps, points and flags lit.
bool lightOnLine(PanelFixture &f, const QStringList &names)
{
    f.linkUp();
    darken(f.display);
    return setUp(f.panel, names);
}

} // namespace

Q_DECLARE_METATYPE(QList<Step>)

// Each walk starts on its ladder's bottom range as a reading draws it.
void TestArrowKeys::walk_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("displayNo");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QList<Step>>("steps");

    const QStringList dcvSingle = {u"DC_LAB1"_s, u"T_V_LAB1"_s, u"T_min_LAB1"_s, u"DROP_IMG(2)"_s, u"AUTO_LAB1"_s};
    QTest::newRow("DCV single") << dcvSingle << 1 << u"AUTO"_s << QList<Step>{
        {u'U', cmds({u"conf:volt:dc 1\\10"_s}),    u"1V"_s,    u"0.000000"_s, u"___1_V"_s},
        {u'U', cmds({u"conf:volt:dc 10\\10"_s}),   u"10V"_s,   u"00.00000"_s, u"__10_V"_s},
        {u'U', cmds({u"conf:volt:dc 100\\10"_s}),  u"100V"_s,  u"000.0000"_s, u"_100_V"_s},
        {u'U', cmds({u"conf:volt:dc 1000\\10"_s}), u"1000V"_s, u"0000.000"_s, u"1000_V"_s},
        {u'U', cmds({u"conf:volt:dc 1000\\10"_s}), u"1000V"_s, u"0000.000"_s, u"1000_V"_s},
        {u'D', cmds({u"conf:volt:dc 100\\10"_s}),  u"100V"_s,  u"000.0000"_s, u"_100_V"_s},
        {u'D', cmds({u"conf:volt:dc 10\\10"_s}),   u"10V"_s,   u"00.00000"_s, u"__10_V"_s},
        {u'D', cmds({u"conf:volt:dc 1\\10"_s}),    u"1V"_s,    u"0.000000"_s, u"___1_V"_s},
        {u'D', cmds({u"conf:volt:dc 0.1\\10"_s}),  u"100mV"_s, u"000.0000"_s, u"_100[M2]V"_s},
        {u'D', cmds({u"conf:volt:dc 0.1\\10"_s}),  u"100mV"_s, u"000.0000"_s, u"_100[M2]V"_s},
    };
    const QStringList acvPaired = {u"AC_LAB1"_s, u"T_V_LAB1"_s, u"T_min_LAB1"_s, u"DROP_IMG(2)"_s, u"MODE2_ON"_s};
    QTest::newRow("ACV paired") << acvPaired << 1 << u"AUTO"_s << QList<Step>{
        {u'D', cmds({u"conf:volt:ac 1\\10"_s, u"conf:volt:ac min\\10"_s}), u"100mV"_s, u"000.0000"_s, QString()},
        {u'U', cmds({u"conf:volt:ac 1\\10"_s}),    u"1V"_s,    u"0.000000"_s, QString()},
        {u'U', cmds({u"conf:volt:ac 10\\10"_s}),   u"10V"_s,   u"00.00000"_s, QString()},
        {u'U', cmds({u"conf:volt:ac 100\\10"_s}),  u"100V"_s,  u"000.0000"_s, QString()},
        {u'U', cmds({u"conf:volt:ac 750\\10"_s}),  u"750V"_s,  u"0000.000"_s, QString()},
        // The top is sent again and keeps its point, so DOWN steps from it.
        {u'U', cmds({u"conf:volt:ac 750\\10"_s}),  u"750V"_s,  u"0000.000"_s, QString()},
        {u'D', cmds({u"conf:volt:ac 100\\10"_s}),  u"100V"_s,  u"000.0000"_s, QString()},
    };
    const QStringList w2Single = {u"W2_LAB1"_s, u"T_R_LAB1"_s, u"DROP_IMG(2)"_s};
    QTest::newRow("2-wire single") << w2Single << 1 << u"AUTO"_s << QList<Step>{
        {u'D', cmds({u"conf:res 1000\\10"_s, u"conf:res 100\\10"_s}), u"100"_s, u"000.0000"_s, u"_100_[ohm]"_s},
        {u'U', cmds({u"conf:res 1000\\10"_s}),     u"1K"_s,   u"0.000000"_s, u"___1K[ohm]"_s},
        {u'U', cmds({u"conf:res 10000\\10"_s}),    u"10K"_s,  u"00.00000"_s, u"__10K[ohm]"_s},
        {u'U', cmds({u"conf:res 100000\\10"_s}),   u"100K"_s, u"000.0000"_s, u"_100K[ohm]"_s},
        {u'U', cmds({u"conf:res 1000000\\10"_s}),  u"1M"_s,   u"0.000000"_s, u"___1M[ohm]"_s},
        {u'U', cmds({u"conf:res 10000000\\10"_s}), u"10M"_s,  u"00.00000"_s, u"__10M[ohm]"_s},
        {u'U', cmds({u"conf:res max\\10"_s}),      u"100M"_s, u"000.0000"_s, u"_100M[ohm]"_s},
        {u'U', cmds({u"conf:res 10000000\\10"_s, u"conf:res max\\10"_s}), u"100M"_s, u"000.0000"_s, u"_100M[ohm]"_s},
        {u'D', cmds({u"conf:res 10000000\\10"_s}), u"10M"_s,  u"00.00000"_s, u"__10M[ohm]"_s},
        {u'D', cmds({u"conf:res 1000000\\10"_s}),  u"1M"_s,   u"0.000000"_s, u"___1M[ohm]"_s},
        {u'D', cmds({u"conf:res 100000\\10"_s}),   u"100K"_s, u"000.0000"_s, u"_100K[ohm]"_s},
        {u'D', cmds({u"conf:res 10000\\10"_s}),    u"10K"_s,  u"00.00000"_s, u"__10K[ohm]"_s},
        {u'D', cmds({u"conf:res 1000\\10"_s}),     u"1K"_s,   u"0.000000"_s, u"___1K[ohm]"_s},
        {u'D', cmds({u"conf:res 100\\10"_s}),      u"100"_s,  u"000.0000"_s, u"_100 [ohm]"_s},
    };
    // Paired mode: 1K keeps k lit, so the second UP goes to 10K, not 10M.
    const QStringList w4Paired = {u"W4_LAB1"_s, u"T_R_LAB1"_s, u"DROP_IMG(2)"_s, u"MODE2_ON"_s};
    QTest::newRow("4-wire paired") << w4Paired << 1 << u"AUTO"_s << QList<Step>{
        {u'U', cmds({u"conf:fres 1000\\10"_s}),    u"1K"_s,   u"0.000000"_s, QString()},
        {u'U', cmds({u"conf:fres 10000\\10"_s}),   u"10K"_s,  u"00.00000"_s, QString()},
        {u'D', cmds({u"conf:fres 1000\\10"_s}),    u"1K"_s,   u"0.000000"_s, QString()},
        {u'D', cmds({u"conf:fres 100\\10"_s}),     u"100"_s,  u"000.0000"_s, QString()},
    };
    const QStringList dciSingle = {u"DC_LAB1"_s, u"T_A_LAB1"_s};
    QTest::newRow("DCI single") << dciSingle << 1 << u"100uA"_s << QList<Step>{
        {u'U', cmds({u"conf:curr:dc 0.001\\10"_s}), u"1mA"_s,   u"0.000000"_s, u"___1[M2]A"_s},
        {u'U', cmds({u"conf:curr:dc 0.01\\10"_s}),  u"10mA"_s,  u"00.00000"_s, u"__10[M2]A"_s},
        {u'U', cmds({u"conf:curr:dc 0.1\\10"_s}),   u"100mA"_s, u"000.0000"_s, u"_100[M2]A"_s},
        {u'U', cmds({u"conf:curr:dc 1\\10"_s}),     u"1A"_s,    u"0.000000"_s, u"___1_A"_s},
        {u'U', cmds({u"conf:curr:dc 10\\10"_s}),    u"10A"_s,   u"00.00000"_s, u"__10_A"_s},
        {u'U', cmds({u"conf:curr:dc 10\\10"_s}),    u"10A"_s,   u"00.00000"_s, u"__10_A"_s},
        {u'D', cmds({u"conf:curr:dc 1\\10"_s}),     u"1A"_s,    u"0.000000"_s, u"___1_A"_s},
        {u'D', cmds({u"conf:curr:dc 0.1\\10"_s}),   u"100mA"_s, u"000.0000"_s, u"_100[M2]A"_s},
        {u'D', cmds({u"conf:curr:dc 0.01\\10"_s}),  u"10mA"_s,  u"00.00000"_s, u"__10[M2]A"_s},
        {u'D', cmds({u"conf:curr:dc 0.001\\10"_s}), u"1mA"_s,   u"0.000000"_s, u"___1[M2]A"_s},
        {u'D', cmds({u"conf:curr:dc 0.0001\\10"_s}),u"100uA"_s, u"000.0000"_s, u"_100[U2]A"_s},
        {u'D', cmds({}),                            u"100uA"_s, u"000.0000"_s, u"_100[U2]A"_s},
    };
    // AC current ends at 1mA: no 100uA range on the AC input.
    const QStringList aciSingle = {u"AC_LAB1"_s, u"T_A_LAB1"_s, u"T_min_LAB1"_s};
    QTest::newRow("ACI single") << aciSingle << 1 << u"1mA"_s << QList<Step>{
        {u'U', cmds({u"conf:curr:ac 0.01\\10"_s}),  u"10mA"_s,  u"00.00000"_s, u"__10[M2]A"_s},
        {u'U', cmds({u"conf:curr:ac 0.1\\10"_s}),   u"100mA"_s, u"000.0000"_s, u"_100[M2]A"_s},
        {u'U', cmds({u"conf:curr:ac 1\\10"_s}),     u"1A"_s,    u"0.000000"_s, u"___1_A"_s},
        {u'U', cmds({u"conf:curr:ac 10\\10"_s}),    u"10A"_s,   u"00.00000"_s, u"__10_A"_s},
        {u'U', cmds({u"conf:curr:ac 10\\10"_s}),    u"10A"_s,   u"00.00000"_s, u"__10_A"_s},
        {u'D', cmds({u"conf:curr:ac 1\\10"_s}),     u"1A"_s,    u"0.000000"_s, u"___1_A"_s},
        {u'D', cmds({u"conf:curr:ac 0.1\\10"_s}),   u"100mA"_s, u"000.0000"_s, u"_100[M2]A"_s},
        {u'D', cmds({u"conf:curr:ac 0.01\\10"_s}),  u"10mA"_s,  u"00.00000"_s, u"__10[M2]A"_s},
        {u'D', cmds({u"conf:curr:ac 0.001\\10"_s}), u"1mA"_s,   u"0.000000"_s, u"___1[M2]A"_s},
        {u'D', cmds({}),                             u"1mA"_s,   u"0.000000"_s, u"___1[M2]A"_s},
    };
    const QStringList w2Display2 = {u"MODE2_ON"_s, u"ND2_LAB"_s, u"W2_LAB2"_s, u"T_R_LAB2"_s, u"DROP_IMG2(2)"_s};
    QTest::newRow("2-wire display 2") << w2Display2 << 2 << u"100"_s << QList<Step>{
        {u'U', cmds({u"conf2:res 1000\\10"_s}),     u"1K"_s,   u"0000.00"_s, QString()},
        {u'U', cmds({u"conf2:res 10000\\10"_s}),    u"10K"_s,  u"00.0000"_s, QString()},
        {u'U', cmds({u"conf2:res 100000\\10"_s}),   u"100K"_s, u"000.000"_s, QString()},
        {u'U', cmds({u"conf2:res 1000000\\10"_s}),  u"1M"_s,   u"0.00000"_s, QString()},
        {u'U', cmds({u"conf2:res 10000000\\10"_s}), u"10M"_s,  u"00.0000"_s, QString()},
        {u'U', cmds({u"conf2:res max\\10"_s}),      u"100M"_s, u"000.000"_s, QString()},
        {u'U', cmds({u"conf2:res 10000000\\10"_s, u"conf2:res max\\10"_s}), u"100M"_s, u"000.000"_s, QString()},
        {u'D', cmds({u"conf2:res 10000000\\10"_s}), u"10M"_s,  u"00.0000"_s, QString()},
        {u'D', cmds({u"conf2:res 1000000\\10"_s}),  u"1M"_s,   u"0.00000"_s, QString()},
        {u'D', cmds({u"conf2:res 100000\\10"_s}),   u"100K"_s, u"000.000"_s, QString()},
        {u'D', cmds({u"conf2:res 10000\\10"_s}),    u"10K"_s,  u"00.0000"_s, QString()},
        {u'D', cmds({u"conf2:res 1000\\10"_s}),     u"1K"_s,   u"0000.00"_s, QString()},
        {u'D', cmds({u"conf2:res 100\\10"_s}),      u"100"_s,  u"000.000"_s, QString()},
        {u'D', cmds({u"conf2:res 1000\\10"_s, u"conf2:res 100\\10"_s}), u"100"_s, u"000.000"_s, QString()},
    };
    // Firmware below 2.00 (none given here): 100mA and 10A are neighbours.
    const QStringList dci2 = {u"MODE2_ON"_s, u"ND2_LAB"_s, u"DC_LAB2"_s, u"T_A_LAB2"_s, u"T_u_LAB2"_s, u"DROP_IMG2(2)"_s};
    QTest::newRow("DCI display 2") << dci2 << 2 << u"100uA"_s << QList<Step>{
        {u'U', cmds({u"conf2:curr:dc 0.001\\10"_s}),  u"1mA"_s,   u"0.00000"_s, QString()},
        {u'U', cmds({u"conf2:curr:dc 0.01\\10"_s}),   u"10mA"_s,  u"00.0000"_s, QString()},
        {u'U', cmds({u"conf2:curr:dc 0.1\\10"_s}),    u"100mA"_s, u"000.000"_s, QString()},
        {u'U', cmds({u"conf2:curr:dc 10\\10"_s}),     u"10A"_s,   u"00.0000"_s, QString()},
        {u'U', cmds({}),                               u"10A"_s,   u"00.0000"_s, QString()},
        {u'D', cmds({u"conf2:curr:dc 0.1\\10"_s}),    u"100mA"_s, u"000.000"_s, QString()},
        {u'D', cmds({u"conf2:curr:dc 0.01\\10"_s}),   u"10mA"_s,  u"00.0000"_s, QString()},
        {u'D', cmds({u"conf2:curr:dc 0.001\\10"_s}),  u"1mA"_s,   u"0.00000"_s, QString()},
        {u'D', cmds({u"conf2:curr:dc 0.0001\\10"_s}), u"100uA"_s, u"000.000"_s, QString()},
        {u'D', cmds({}),                               u"100uA"_s, u"000.000"_s, QString()},
    };
    const QStringList dcv2 = {u"MODE2_ON"_s, u"ND2_LAB"_s, u"DC_LAB2"_s, u"T_V_LAB2"_s, u"T_min_LAB2"_s, u"DROP_IMG2(2)"_s};
    QTest::newRow("DCV display 2") << dcv2 << 2 << u"AUTO"_s << QList<Step>{
        {u'U', cmds({u"conf2:volt:dc 1\\10"_s}),    u"1V"_s,    u"0.00000"_s, QString()},
        {u'U', cmds({u"conf2:volt:dc 10\\10"_s}),   u"10V"_s,   u"00.0000"_s, QString()},
        {u'U', cmds({u"conf2:volt:dc 100\\10"_s}),  u"100V"_s,  u"000.000"_s, QString()},
        {u'U', cmds({u"conf2:volt:dc 1000\\10"_s}), u"1000V"_s, u"0000.00"_s, QString()},
        {u'U', cmds({u"conf2:volt:dc 100\\10"_s, u"conf2:volt:dc 1000\\10"_s}), u"1000V"_s, u"0000.00"_s, QString()},
        {u'D', cmds({u"conf2:volt:dc 100\\10"_s}),  u"100V"_s,  u"000.000"_s, QString()},
        {u'D', cmds({u"conf2:volt:dc 10\\10"_s}),   u"10V"_s,   u"00.0000"_s, QString()},
        {u'D', cmds({u"conf2:volt:dc 1\\10"_s}),    u"1V"_s,    u"0.00000"_s, QString()},
        // The digits stay dark until the next reading.
        {u'D', cmds({u"conf2:volt:dc min\\10"_s}),  u"100mV"_s, u"___.___"_s, QString()},
        {u'D', cmds({u"conf2:volt:dc 1\\10"_s, u"conf2:volt:dc min\\10"_s}), u"100mV"_s, u"___.___"_s, QString()},
    };
}

void TestArrowKeys::walk()
{
    QFETCH(QStringList, before);
    QFETCH(int, displayNo);
    QFETCH(QString, range);
    QFETCH(QList<Step>, steps);

    PanelFixture f;
    QVERIFY(lightOnLine(f, before));
    (displayNo == 2 ? f.state.MODE2_RANGE : f.state.MODE1_RANGE) = range;
    for (int i = 0; i < steps.size(); ++i) {
        const Step &step = steps.at(i);
        const QByteArray at = "step " + QByteArray::number(i + 1);
        QVERIFY2(press(f, step.key), at);
        QVERIFY2(f.sim.written == step.written, at + ": " + f.sim.written.join(u' ').toUtf8());
        QVERIFY2((displayNo == 2 ? f.state.MODE2_RANGE : f.state.MODE1_RANGE) == step.label,
                 at + ": " + f.state.MODE1_RANGE.toUtf8());
        const QString shown = displayNo == 2 ? shown2(f.display) : shown1(f.display);
        QVERIFY2(shown == step.shown, at + ": " + shown.toUtf8());
        QVERIFY2(shown1(f.display).count(u'.') <= 1, at + ": " + shown1(f.display).toUtf8());
        if (!step.word.isNull())
            QVERIFY2(shown2(f.display) == step.word, at + ": " + shown2(f.display).toUtf8());
        QVERIFY2(!f.display.isLit(displayNo == 2 ? Lamp::AUTO_LAB2 : Lamp::AUTO_LAB1), at);
    }
}

// Which display a press steps, and compare sent again: UP on a free display
// 2 only, once, whether or not a ladder acted.
void TestArrowKeys::target_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QString>("range1");
    QTest::addColumn<QString>("range2");

    const QStringList dcv1 = {u"DC_LAB1"_s, u"T_V_LAB1"_s, u"DROP_IMG(0)"_s, u"COMP_ON"_s};
    const QStringList dcv2 = {u"DC_LAB2"_s, u"T_V_LAB2"_s, u"DROP_IMG2(0)"_s};
    QTest::newRow("single UP: range, then compare") << dcv1 << u"U"_s
        << QStringList{u"conf:volt:dc 10\\10"_s, u"calc:func comp\\10"_s} << u"10V"_s << u"1V"_s;
    QTest::newRow("single DOWN: no compare") << dcv1 << u"D"_s
        << QStringList{u"conf:volt:dc 0.1\\10"_s} << u"100mV"_s << u"1V"_s;
    QTest::newRow("single UP, diode: compare alone") << QStringList{u"COMP_ON"_s} << u"U"_s
        << QStringList{u"calc:func comp\\10"_s} << u"1V"_s << u"1V"_s;
    QTest::newRow("single UP, 2ND lit: volts stay, compare goes") << dcv1 + QStringList{u"ND2_LAB"_s} << u"U"_s
        << QStringList{u"calc:func comp\\10"_s} << u"1V"_s << u"1V"_s;
    QTest::newRow("paired UP: display 1, no compare") << dcv1 + dcv2 + QStringList{u"MODE2_ON"_s} << u"U"_s
        << QStringList{u"conf:volt:dc 10\\10"_s} << u"10V"_s << u"1V"_s;
    QTest::newRow("display 2 UP: display 2, no compare") << dcv1 + dcv2 + QStringList{u"MODE2_ON"_s, u"ND2_LAB"_s}
        << u"U"_s << QStringList{u"conf2:volt:dc 10\\10"_s} << u"1V"_s << u"10V"_s;
    QTest::newRow("dB on, not on display 1: a ladder") << dcv1 + QStringList{u"dB_ON"_s} << u"D"_s
        << QStringList{u"conf:volt:dc 0.1\\10"_s} << u"100mV"_s << u"1V"_s;
}

void TestArrowKeys::target()
{
    QFETCH(QStringList, before);
    QFETCH(QString, key);
    QFETCH(QStringList, written);
    QFETCH(QString, range1);
    QFETCH(QString, range2);

    PanelFixture f;
    QVERIFY(lightOnLine(f, before));
    f.state.MODE1_RANGE = u"1V"_s;
    f.state.MODE2_RANGE = u"1V"_s;
    QVERIFY(press(f, key.front()));
    QCOMPARE(f.sim.written, written);
    QCOMPARE(f.state.MODE1_RANGE, range1);
    QCOMPARE(f.state.MODE2_RANGE, range2);
    QVERIFY2(shown1(f.display).count(u'.') <= 1, qPrintable(shown1(f.display)));
}

// What walks never meet. `reply` is the simulator's fixed answer to the
// query the step asks ("" leaves the model's own).
void TestArrowKeys::edgeCase_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QString>("rangeAfter");
    QTest::addColumn<QString>("shown1");
    QTest::addColumn<QString>("shown2");

    const QStringList dcv = {u"DC_LAB1"_s, u"T_V_LAB1"_s};
    const QStringList dci = {u"DC_LAB1"_s, u"T_A_LAB1"_s, u"AUTO_LAB1"_s};
    const QStringList aci2 = {u"MODE2_ON"_s, u"ND2_LAB"_s, u"AC_LAB2"_s, u"T_A_LAB2"_s};
    const QStringList hz = {u"T_Hz_LAB1"_s};
    const QStringList per = {u"T_S_LAB1"_s};
    const QString any;
    QTest::newRow("AUTO drawn at 1V: UP to 10V") << dcv + QStringList{u"DROP_IMG(0)"_s} << true << u"AUTO"_s << any << any
        << u"U"_s << QStringList{u"conf:volt:dc 10\\10"_s} << u"10V"_s << u"00.00000"_s << u"__10_V"_s;
    QTest::newRow("AC and DC lit: AC command, label 1000V") << dcv + QStringList{u"AC_LAB1"_s, u"DROP_IMG(2)"_s}
        << true << u"100V"_s << any << any << u"U"_s << QStringList{u"conf:volt:ac 750\\10"_s} << u"1000V"_s
        << u"0000.000"_s << u"1000_V"_s;
    QTest::newRow("no point lit: zeros only") << dcv << true << u"10V"_s << any << any << u"U"_s << QStringList{}
        << u"10V"_s << u"0000000"_s << u"______"_s;
    QTest::newRow("display 2 current AUTO: zeros, nothing sent") << aci2 << true << u"AUTO"_s << any << any << u"U"_s
        << QStringList{} << u"AUTO"_s << u"_______"_s << u"000000"_s;
    QTest::newRow("firmware 1.90: 100mA UP to 10A") << aci2 << true << u"100mA"_s << u"1.90"_s << any << u"U"_s
        << QStringList{u"conf2:curr:ac 10\\10"_s} << u"10A"_s << u"_______"_s << u"00.0000"_s;
    QTest::newRow("firmware 2.00: 100mA UP to 1A") << aci2 << true << u"100mA"_s << u"2.00"_s << any << u"U"_s
        << QStringList{u"conf2:curr:ac 1\\10"_s} << u"1A"_s << u"_______"_s << u"0.00000"_s;
    QTest::newRow("firmware 1.90: 10A DOWN to 100mA") << aci2 << true << u"10A"_s << u"1.90"_s << any << u"D"_s
        << QStringList{u"conf2:curr:ac 0.1\\10"_s} << u"100mA"_s << u"_______"_s << u"000.000"_s;
    QTest::newRow("no firmware number: below 2") << aci2 << true << u"10A"_s << u"x2.0"_s << any << u"D"_s
        << QStringList{u"conf2:curr:ac 0.1\\10"_s} << u"100mA"_s << u"_______"_s << u"000.000"_s;
    QTest::newRow("current AUTO, micro: UP to 1mA") << dci + QStringList{u"T_u_LAB1"_s} << true << u"AUTO"_s << any << any
        << u"U"_s << QStringList{u"conf:curr:dc 0.001\\10"_s} << u"1mA"_s << u"0.000000"_s << u"___1[M2]A"_s;
    QTest::newRow("current AUTO, no prefix: UP to 10A") << dci << true << u"AUTO"_s << any << any
        << u"U"_s << QStringList{u"conf:curr:dc 10\\10"_s} << u"10A"_s << u"00.00000"_s << u"__10_A"_s;
    QTest::newRow("current AUTO, link down: label stays") << dci << false << u"AUTO"_s << any << any
        << u"U"_s << QStringList{} << u"AUTO"_s << u"0000000"_s << u"______"_s;
    QTest::newRow("current AUTO DOWN, reply 2") << dci << true << u"AUTO"_s << any << u"2"_s << u"D"_s
        << QStringList{u"conf:auto 0\\10"_s, u"conf:rang?\\10"_s, u"conf:curr:dc 0.01\\10"_s} << u"10mA"_s
        << u"00.00000"_s << u"__10[M2]A"_s;
    QTest::newRow("current AUTO DOWN, reply 1 is 1A") << dci << true << u"AUTO"_s << any << u"1"_s << u"D"_s
        << QStringList{u"conf:auto 0\\10"_s, u"conf:rang?\\10"_s, u"conf:curr:dc 0.1\\10"_s} << u"100mA"_s
        << u"000.0000"_s << u"_100[M2]A"_s;
    QTest::newRow("current AUTO DOWN, garbage") << dci << true << u"AUTO"_s << any << u"x"_s << u"D"_s
        << QStringList{u"conf:auto 0\\10"_s, u"conf:rang?\\10"_s} << u"AUTO"_s << u"0000000"_s << u"______"_s;
    QTest::newRow("Hz UP, reply 100") << hz << true << u"AUTO"_s << any << u"100"_s << u"U"_s
        << QStringList{u"CONF:RANG?\\10"_s, u"conf:freq 750\\10"_s} << u"750V"_s << u"_______"_s << u"______"_s;
    QTest::newRow("period DOWN, reply 750") << per << true << u"AUTO"_s << any << u"750"_s << u"D"_s
        << QStringList{u"CONF:RANG?\\10"_s, u"CONF:PER 100\\10"_s} << u"100V"_s << u"_______"_s << u"______"_s;
    QTest::newRow("Hz DOWN, reply 0.1") << hz << true << u"1V"_s << any << u"0.1"_s << u"D"_s
        << QStringList{u"CONF:RANG?\\10"_s} << u"100mV"_s << u"_______"_s << u"______"_s;
    QTest::newRow("Hz UP, unmatched reply") << hz << true << u"1V"_s << any << u"7.5"_s << u"U"_s
        << QStringList{u"CONF:RANG?\\10"_s, u"conf:freq 750\\10"_s} << u"750V"_s << u"_______"_s << u"______"_s;
    QTest::newRow("Hz link down, 10V: UP") << hz << false << u"10V"_s << any << any << u"U"_s
        << QStringList{} << u"100V"_s << u"_______"_s << u"______"_s;
    QTest::newRow("Hz link down, 100mV: DOWN") << hz << false << u"100mV"_s << any << any << u"D"_s
        << QStringList{} << u"100V"_s << u"_______"_s << u"______"_s;
    QTest::newRow("Hz link down, AUTO: UP") << hz << false << u"AUTO"_s << any << any << u"U"_s
        << QStringList{} << u"750V"_s << u"_______"_s << u"______"_s;
    QTest::newRow("dB UP, code 5") << dcv + QStringList{u"dB_ON"_s, u"dB_DISP1"_s, u"AUTO_LAB1"_s} << true << u"AUTO"_s
        << any << u"5"_s << u"U"_s << QStringList{u"conf:stat:rang?\\10"_s, u"conf:auto 0\\10"_s} << u"1000V"_s
        << u"_______"_s << u"______"_s;
    QTest::newRow("dB DOWN, code 3") << dcv + QStringList{u"dB_ON"_s, u"dB_DISP1"_s, u"AC_LAB1"_s} << true << u"AUTO"_s
        << any << u"3"_s << u"D"_s
        << QStringList{u"conf:stat:rang?\\10"_s, u"conf:volt:ac 1\\10"_s, u"calc:func db\\10"_s} << u"1V"_s
        << u"_______"_s << u"______"_s;
    QTest::newRow("dB UP, unknown code") << dcv + QStringList{u"dB_ON"_s, u"dB_DISP1"_s} << true << u"AUTO"_s
        << any << u"9"_s << u"U"_s << QStringList{u"conf:stat:rang?\\10"_s, u"calc:func db\\10"_s} << u"AUTO"_s
        << u"_______"_s << u"______"_s;
}

void TestArrowKeys::edgeCase()
{
    QFETCH(QStringList, before);
    QFETCH(bool, link);
    QFETCH(QString, range);
    QFETCH(QString, firmware);
    QFETCH(QString, reply);
    QFETCH(QString, key);
    QFETCH(QStringList, written);
    QFETCH(QString, rangeAfter);
    QFETCH(QString, shown1);
    QFETCH(QString, shown2);

    PanelFixture f;
    if (link)
        f.linkUp();
    darken(f.display);
    QStringList names = before;
    f.state.dB_DISP1 = names.removeAll(u"dB_DISP1"_s) > 0;
    QVERIFY(setUp(f.panel, names));
    const bool two = before.contains(u"ND2_LAB"_s) && before.contains(u"MODE2_ON"_s);
    (two ? f.state.MODE2_RANGE : f.state.MODE1_RANGE) = range;
    f.state.FW_VERSION = firmware;
    if (!reply.isEmpty())
        for (const char *q : {"conf:rang?", "CONF:RANG?", "conf:stat:rang?"})
            QVERIFY(f.sim.instrument.setState(u"reply:"_s + QLatin1StringView(q), reply));
    QVERIFY(press(f, key.front()));
    QCOMPARE(f.sim.written, written);
    QCOMPARE(two ? f.state.MODE2_RANGE : f.state.MODE1_RANGE, rangeAfter);
    QCOMPARE(::shown1(f.display), shown1);
    QCOMPARE(::shown2(f.display), shown2);
}

// Which edit takes a press when several states are set: a menu before a
// reference, hold before dBm, the REL entry before math, and math's range
// step only when nothing else is open. Told apart by what goes out.
void TestArrowKeys::branchOrder_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QString>("relValue");  // REL_VALUE after the press

    const QStringList volts10 = {u"DC_LAB1"_s, u"T_V_LAB1"_s, u"DROP_IMG(1)"_s};
    QTest::newRow("math menu before math on") << volts10 + QStringList{u"MATH_SET"_s, u"MATH_ON"_s}
                                              << QStringList{} << u"0000000"_s;
    QTest::newRow("REL entry before math on") << volts10 + QStringList{u"REL_SET"_s, u"MATH_ON"_s}
                                              << QStringList{} << u"0000001"_s;
    QTest::newRow("math on alone: the range") << volts10 + QStringList{u"MATH_ON"_s}
                                              << QStringList{u"conf:volt:dc 100\\10"_s} << u"0000000"_s;
    QTest::newRow("hold before dBm") << volts10 + QStringList{u"HOLD_ON"_s, u"dBm_ON"_s}
                                     << QStringList{u"CALC:HOLD:REF?\\10"_s, u"calc:hold:ref 1\\10"_s,
                                                    u"calc:func hold\\10"_s, u"calc:hold:ref?\\10"_s}
                                     << u"0000000"_s;
    QTest::newRow("filter menu before hold") << volts10 + QStringList{u"FILT_SET"_s, u"HOLD_ON"_s}
                                             << QStringList{} << u"0000000"_s;
}

void TestArrowKeys::branchOrder()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, written);
    QFETCH(QString, relValue);
    PanelFixture f;
    f.linkUp();
    darken(f.display);
    QStringList names = before;
    f.state.REL_SET = names.removeAll(u"REL_SET"_s) > 0;
    QVERIFY(setUp(f.panel, names));
    f.state.MODE1_RANGE = u"10V"_s;
    f.state.REL_VALUE = u"0000000"_s;
    f.state.BLINK_FIRST = f.state.BLINK_LAST = 6;
    f.state.BLINK_DOT = shell::kNoBlink;
    f.state.BLINK_DISP2 = false;
    QVERIFY(f.sim.instrument.setStates(u"holdref=0.1"_s));

    QVERIFY(press(f, u'U'));

    QCOMPARE(f.sim.written, written);
    QCOMPARE(f.state.REL_VALUE, relValue);
}

// A run waiting for its first pass: a step that pauses the reading timers
// for its exchange fails there, and both timers run on.
void TestArrowKeys::failedExchangeLeavesTheRunGoing_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("key");
    QTest::newRow("current query, DOWN") << QStringList{u"DC_LAB1"_s, u"T_A_LAB1"_s, u"AUTO_LAB1"_s} << u"D"_s;
    const QStringList dB = {u"DC_LAB1"_s, u"T_V_LAB1"_s, u"AUTO_LAB1"_s, u"dB_ON"_s, u"dB_DISP1"_s};
    QTest::newRow("dB step, UP") << dB << u"U"_s;
    QTest::newRow("dB step, DOWN") << dB << u"D"_s;
}

void TestArrowKeys::failedExchangeLeavesTheRunGoing()
{
    QFETCH(QStringList, before);
    QFETCH(QString, key);
    PanelFixture f;
    f.linkUp();
    darken(f.display);
    QStringList names = before;
    f.state.dB_DISP1 = names.removeAll(u"dB_DISP1"_s) > 0;
    QVERIFY(setUp(f.panel, names));
    f.state.MODE1_RANGE = u"AUTO"_s;
    f.timers.READ_Timer.setInterval(60'000);
    f.timers.READ_Timer.setEnabled(true);
    f.timers.STOP_Timer.setEnabled(true);
    f.sim.device->close();  // the line goes: the next exchange fails
    QVERIFY(!press(f, key.front()));
    QVERIFY(f.timers.READ_Timer.isEnabled());
    QVERIFY(f.timers.STOP_Timer.isEnabled());
    QVERIFY(!f.state.READ_PAUSED);
    QCOMPARE(f.state.MODE1_RANGE, u"AUTO"_s);
}

// Single-mode DOWN from AUTO in current: the instrument answers its range
// as the range's full scale in any number form or as a code (2, 3), and
// DOWN lands one range below the range it names, its prefix lamp alone lit.
// 1 is the 1 A range's full scale, as the identification reads it, whatever
// prefix lamp a reading or the DCI key left lit. A reply that names no
// range leaves "AUTO", sends no range and says so in the status log. An
// empty line is no reply at all on the line: the query times out and the
// press ends there, still "AUTO".
void TestArrowKeys::currentRangeReply_data()
{
    QTest::addColumn<QStringList>("lamps");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("command");  // after "conf:auto 0" and "conf:rang?"; empty: none
    QTest::addColumn<QString>("label");

    struct Row { const char16_t *reply, *dark, *darkLabel, *lit, *litLabel; };
    const Row rows[] = {
        // reply            m dark: command, label              m lit: command, label
        {u"0.0001",         u"",                u"100uA", u"",                u"100uA"},
        {u"0.001",          u"dc 0.0001",       u"100uA", u"dc 0.0001",       u"100uA"},
        {u"0.01",           u"dc 0.001",        u"1mA",   u"dc 0.001",        u"1mA"},
        {u"0.1",            u"dc 0.01",         u"10mA",  u"dc 0.01",         u"10mA"},
        {u"1",              u"dc 0.1",          u"100mA", u"dc 0.1",          u"100mA"},
        {u"1.000000E+00",   u"dc 0.1",          u"100mA", u"dc 0.1",          u"100mA"},
        {u"10",             u"dc 1",            u"1A",    u"dc 1",            u"1A"},
        {u"1.000000E-02",   u"dc 0.001",        u"1mA",   u"dc 0.001",        u"1mA"},
        {u"2",              u"dc 0.01",         u"10mA",  u"dc 0.01",         u"10mA"},
        {u"3",              u"dc 0.1",          u"100mA", u"dc 0.1",          u"100mA"},
        {u"",               u"",                u"AUTO",  u"",                u"AUTO"},
        {u"x",              u"",                u"AUTO",  u"",                u"AUTO"},
    };
    const QStringList dc = {u"DC_LAB1"_s, u"T_A_LAB1"_s, u"AUTO_LAB1"_s};
    const QStringList keyLeft = dc + QStringList{u"T_u_LAB1"_s, u"DROP_IMG(2)"_s};
    const QStringList milliDrawn = dc + QStringList{u"T_min_LAB1"_s, u"DROP_IMG(3)"_s};
    const auto command = [](const char16_t *tail) {
        const QString t = QString::fromUtf16(tail);
        return t.isEmpty() ? t : u"conf:curr:"_s + t + u"\\10"_s;
    };
    for (const Row &row : rows) {
        const QString reply = QString::fromUtf16(row.reply);
        QTest::addRow("DC \"%s\", m dark", qPrintable(reply))
            << keyLeft << reply << command(row.dark) << QString::fromUtf16(row.darkLabel);
        QTest::addRow("DC \"%s\", m lit", qPrintable(reply))
            << milliDrawn << reply << command(row.lit) << QString::fromUtf16(row.litLabel);
    }
    // The AC ladder has no 100uA range, and ends at 1mA.
    const QStringList ac = {u"AC_LAB1"_s, u"T_A_LAB1"_s, u"AUTO_LAB1"_s, u"T_min_LAB1"_s};
    QTest::newRow("AC \"0.0001\" names nothing") << ac << u"0.0001"_s << QString() << u"AUTO"_s;
    QTest::newRow("AC \"0.001\" stays on 1mA") << ac << u"0.001"_s << QString() << u"1mA"_s;
    QTest::newRow("AC \"1.000000E-01\"") << ac << u"1.000000E-01"_s << u"conf:curr:ac 0.01\\10"_s << u"10mA"_s;
    QTest::newRow("AC \"2\"") << ac << u"2"_s << u"conf:curr:ac 0.01\\10"_s << u"10mA"_s;
    QTest::newRow("AC \"1\" is 1A") << ac << u"1"_s << u"conf:curr:ac 0.1\\10"_s << u"100mA"_s;
    QTest::newRow("AC \"1.000000E+00\" is 1A") << ac << u"1.000000E+00"_s << u"conf:curr:ac 0.1\\10"_s << u"100mA"_s;
}

void TestArrowKeys::currentRangeReply()
{
    QFETCH(QStringList, lamps);
    QFETCH(QString, reply);
    QFETCH(QString, command);
    QFETCH(QString, label);
    PanelFixture f;
    QVERIFY(lightOnLine(f, lamps));
    f.state.MODE1_RANGE = u"AUTO"_s;
    QVERIFY(f.sim.instrument.setState(u"reply:conf:rang?"_s, reply));
    f.sim.link.setReplyBound(std::chrono::milliseconds(300));
    const bool answered = !reply.isEmpty();

    QCOMPARE(press(f, u'D'), answered);

    QStringList written = {u"conf:auto 0\\10"_s, u"conf:rang?\\10"_s};
    if (!command.isEmpty())
        written << command;
    QCOMPARE(f.sim.written, written);
    QCOMPARE(f.state.MODE1_RANGE, label);
    const QStringList told = f.status.lines().filter(u"\"conf:rang?\" answered \""_s + reply + u'"');
    QCOMPARE(told.size(), answered && label == u"AUTO" ? 1 : 0);
    QCOMPARE(f.display.isLit(Lamp::AUTO_LAB1), !answered);
    if (label != u"AUTO") {
        QCOMPARE(f.display.isLit(Lamp::T_u_LAB1), label == u"100uA");
        QCOMPARE(f.display.isLit(Lamp::T_min_LAB1), label.endsWith(u"mA"));
    }
}

QTEST_MAIN(TestArrowKeys)
#include "tst_arrow_keys.moc"
