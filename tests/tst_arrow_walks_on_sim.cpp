// UP and DOWN against the simulated instrument, pressed through the key
// dispatcher after the start-up identification, with one reading taken and
// drawn between presses, as a user steps the range while watching the
// display: after every press the instrument is on the range the label
// names, and the next press steps from what that reading drew (or, for
// current, from the label). Then AUTO, UP and DOWN on an idle panel, with
// display 2 off and on: display 1 shows the point and prefix of the range
// in force after each press, and a range reply that names no range
// stops the step instead of guessing one.

#include "keys/key_dispatcher.h"
#include "reading/reply_parser.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestArrowWalksOnSim : public QObject
{
    Q_OBJECT

private slots:
    void walk_data();
    void walk();
    void shiftLitOnlyPutsShiftOut_data();
    void shiftLitOnlyPutsShiftOut();
    void idleAutoThenSteps_data();
    void idleAutoThenSteps();
    void rangeReplyNamingNoRange_data();
    void rangeReplyNamingNoRange();
};

namespace {

constexpr int kAuto = 8;
constexpr int kUp = 9;
constexpr int kDown = 10;

// 'A' AUTO, 'U' UP, 'D' DOWN.
void press(Panel &p, QChar key)
{
    const int index = key == u'A' ? kAuto : key == u'U' ? kUp : kDown;
    keys::BUTT1_IMG_MouseDown(p, index);
    keys::BUTT1_IMG_MouseUp(p, index);
}

// The range commands and queries a press sent; every key's own
// "syst:math:chan" and the rate query after it aside.
QStringList rangeTraffic(const QStringList &written)
{
    QStringList traffic;
    for (const QString &text : written)
        if (text.startsWith(u"conf", Qt::CaseInsensitive))
            traffic << text;
    return traffic;
}

// Display 1 as read, with its lit prefix lamps after a blank: "000.0000 m".
QString pointAndPrefix(const display::DisplayModel &d)
{
    using display::Lamp;
    QString prefix;
    const std::pair<Lamp, char16_t> lamps[] = {
        {Lamp::T_u_LAB1, u'u'}, {Lamp::T_min_LAB1, u'm'}, {Lamp::T_K_LAB1, u'k'}, {Lamp::T_M_LAB1, u'M'}};
    for (const auto &[lamp, letter] : lamps)
        if (d.isLit(lamp))
            prefix += letter;
    return shown1(d) + u' ' + prefix;
}

const QString kDisplay2On = QStringLiteral(",func2=ACV");

// What one press sent and left on display 1.
struct Seen
{
    QStringList sent;
    QString display1;
};

} // namespace

Q_DECLARE_METATYPE(QList<Seen>)

void TestArrowWalksOnSim::walk_data()
{
    QTest::addColumn<QString>("instrument");    // the simulator's state at start-up
    QTest::addColumn<QString>("presses");       // "U"/"D", one a press
    QTest::addColumn<QStringList>("labels");    // the range label after each press

    // From automatic range, where the simulator's readings lie in 10V, 10K
    // and (4-wire, drawn with point 3 like 1K) 100: DOWN to the bottom, which
    // holds, up to the top, which holds, and back.
    QTest::newRow("DCV 100mV to 1000V and back")
        << u"func1=DCV,auto1=1"_s << u"DDDUUUUUDDDD"_s
        << QStringList{u"1V"_s, u"100mV"_s, u"100mV"_s, u"1V"_s, u"10V"_s, u"100V"_s, u"1000V"_s, u"1000V"_s,
                       u"100V"_s, u"10V"_s, u"1V"_s, u"100mV"_s};
    QTest::newRow("2-wire 100 to 100M and back")
        << u"func1=2W,auto1=1"_s << u"DDDUUUUUUUDDDDDD"_s
        << QStringList{u"1K"_s, u"100"_s, u"100"_s, u"1K"_s, u"10K"_s, u"100K"_s, u"1M"_s, u"10M"_s,
                       u"100M"_s, u"100M"_s, u"10M"_s, u"1M"_s, u"100K"_s, u"10K"_s, u"1K"_s, u"100"_s};
    QTest::newRow("4-wire 100 to 100M and back")
        << u"func1=4W,auto1=1"_s << u"DDUUUUUUUDDDDDD"_s
        << QStringList{u"100"_s, u"100"_s, u"1K"_s, u"10K"_s, u"100K"_s, u"1M"_s, u"10M"_s,
                       u"100M"_s, u"100M"_s, u"10M"_s, u"1M"_s, u"100K"_s, u"10K"_s, u"1K"_s, u"100"_s};
    // Current leaves automatic range on DOWN by asking the instrument for
    // its range, which the simulator answers as the full scale ("0.1"):
    // DOWN lands one range below it.
    QTest::newRow("DC current from 100mA to 100uA, up to 10A")
        << u"func1=DCI,range1=100mA,auto1=1"_s << u"DDDDUUUUUUD"_s
        << QStringList{u"10mA"_s, u"1mA"_s, u"100uA"_s, u"100uA"_s, u"1mA"_s, u"10mA"_s, u"100mA"_s, u"1A"_s,
                       u"10A"_s, u"10A"_s, u"1A"_s};
    QTest::newRow("DC current from 10A") << u"func1=DCI,range1=10A,auto1=1"_s << u"DD"_s
                                         << QStringList{u"1A"_s, u"100mA"_s};
    QTest::newRow("AC current from 10mA to its 1mA bottom")
        << u"func1=ACI,range1=10mA,auto1=1"_s << u"DDU"_s << QStringList{u"1mA"_s, u"1mA"_s, u"10mA"_s};
    // The reply "1" is the 1 A range, whatever prefix the reading lit.
    QTest::newRow("DC current from auto on 1A") << u"func1=DCI,range1=1A,auto1=1"_s << u"DD"_s
                                                << QStringList{u"100mA"_s, u"10mA"_s};
    QTest::newRow("AC current from auto on 1A") << u"func1=ACI,range1=1A,auto1=1"_s << u"DD"_s
                                                << QStringList{u"100mA"_s, u"10mA"_s};
}

void TestArrowWalksOnSim::walk()
{
    QFETCH(QString, instrument);
    QFETCH(QString, presses);
    QFETCH(QStringList, labels);
    QCOMPARE(presses.size(), labels.size());

    PanelFixture f;
    QString why;
    QVERIFY2(f.identify(instrument, &why), qPrintable(why));
    f.state.READ_OK = true;  // as after the first usable reading: each trigger asks for one
    reading::TRIG_READ_SHOW(f.panel);

    for (int i = 0; i < presses.size(); ++i) {
        const QByteArray at = "press " + QByteArray::number(i + 1) + " (" + presses.at(i).toLatin1() + ")";
        press(f.panel, presses.at(i));
        QVERIFY2(f.state.MODE1_RANGE == labels.at(i), at + ": label " + f.state.MODE1_RANGE.toUtf8());
        const auto &measure = f.sim.instrument.measure(1);
        QVERIFY2(!measure.autoRange, at);
        QVERIFY2(shown1(f.display).count(u'.') <= 1, at + ": " + shown1(f.display).toUtf8());
        QVERIFY2(QString::fromLatin1(measure.range) == labels.at(i), at + ": instrument on " + measure.range);
        reading::TRIG_READ_SHOW(f.panel);
        QVERIFY2(f.state.MODE1_RANGE == labels.at(i), at + ": label after the reading " + f.state.MODE1_RANGE.toUtf8());
    }
}

void TestArrowWalksOnSim::shiftLitOnlyPutsShiftOut_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("UP") << u"U"_s;
    QTest::newRow("DOWN") << u"D"_s;
}

// An arrow after SHIFT has no second function: SHIFT goes out, the range
// stays where it was.
void TestArrowWalksOnSim::shiftLitOnlyPutsShiftOut()
{
    QFETCH(QString, key);
    PanelFixture f;
    QString why;
    QVERIFY2(f.identify(u"func1=DCV,range1=10V"_s, &why), qPrintable(why));
    QCOMPARE(f.state.MODE1_RANGE, u"10V"_s);
    f.display.setLit(display::Lamp::SHIFT_LAB, true);
    f.sim.written.clear();

    press(f.panel, key.front());

    QVERIFY(!f.display.isLit(display::Lamp::SHIFT_LAB));
    QCOMPARE(f.state.MODE1_RANGE, u"10V"_s);
    QCOMPARE(f.sim.instrument.measure(1).range, QByteArray("10V"));
    for (const QString &sent : std::as_const(f.sim.written))
        QVERIFY2(!sent.startsWith(u"conf:volt"_s), qPrintable(sent));
}

// An idle panel (no reading since the start-up identification) in auto
// range: AUTO names the range in force, then UP and DOWN step from it,
// with display 2 off and on. Display 1 shows that range's point and prefix
// lamp alone after every press.
void TestArrowWalksOnSim::idleAutoThenSteps_data()
{
    QTest::addColumn<QString>("instrument");
    QTest::addColumn<QString>("presses");
    QTest::addColumn<QList<Seen>>("seen");

    const QStringList leaveAuto = {u"conf:auto off\\10"_s, u"conf:rang?\\10"_s};
    struct Walk
    {
        const char *name;
        QString instrument, presses;
        QList<Seen> seen;
    };
    const Walk walks[] = {
        {"DCV 10V", u"func1=DCV,range1=10V,auto1=1"_s, u"AUD"_s, {
            {leaveAuto,                            u"00.00000 "_s},
            {{u"conf:volt:dc 100\\10"_s},        u"000.0000 "_s},
            {{u"conf:volt:dc 10\\10"_s},         u"00.00000 "_s}}},
        {"2W 100K", u"func1=2W,range1=100K,auto1=1"_s, u"AUD"_s, {
            {leaveAuto,                            u"000.0000 k"_s},
            {{u"conf:res 1000000\\10"_s},        u"0.000000 M"_s},
            {{u"conf:res 100000\\10"_s},         u"000.0000 k"_s}}},
        {"DCI 100mA", u"func1=DCI,range1=100mA,auto1=1"_s, u"AUD"_s, {
            {leaveAuto,                            u"000.0000 m"_s},
            {{u"conf:curr:dc 1\\10"_s},          u"0.000000 "_s},
            {{u"conf:curr:dc 0.1\\10"_s},        u"000.0000 m"_s}}},
        {"DCV 10V, DOWN then UP", u"func1=DCV,range1=10V,auto1=1"_s, u"ADU"_s, {
            {leaveAuto,                            u"00.00000 "_s},
            {{u"conf:volt:dc 1\\10"_s},          u"0.000000 "_s},
            {{u"conf:volt:dc 10\\10"_s},         u"00.00000 "_s}}},
        // UP straight from auto range: the instrument names the range first.
        {"DCV 10V, UP from auto", u"func1=DCV,range1=10V,auto1=1"_s, u"U"_s, {
            {{u"conf:rang?\\10"_s, u"conf:volt:dc 100\\10"_s}, u"000.0000 "_s}}},
        // The identification draws AC ranges a point further right; the
        // step starts from the range the label names.
        {"ACV on 10V, manual", u"func1=ACV,range1=10V,auto1=0"_s, u"UD"_s, {
            {{u"conf:volt:ac 100\\10"_s},        u"000.0000 "_s},
            {{u"conf:volt:ac 10\\10"_s},         u"00.00000 "_s}}},
        {"2W 100K, UP from auto", u"func1=2W,range1=100K,auto1=1"_s, u"U"_s, {
            {{u"conf:rang?\\10"_s, u"conf:res 1000000\\10"_s}, u"0.000000 M"_s}}},
    };
    for (const Walk &w : walks) {
        QTest::addRow("%s, display 2 off", w.name) << w.instrument << w.presses << w.seen;
        QTest::addRow("%s, display 2 on", w.name) << w.instrument + kDisplay2On << w.presses << w.seen;
    }
    // With display 2 off, DOWN leaves auto range by asking; the reply "1"
    // is the 1 A range.
    for (const char *function : {"DC", "AC"}) {
        const QString f = QString::fromLatin1(function).toLower();
        QTest::addRow("%sI 1A, DOWN from auto", function)
            << u"func1=%1I,range1=1A,auto1=1"_s.arg(QLatin1StringView(function)) << u"D"_s
            << QList<Seen>{{{u"conf:auto 0\\10"_s, u"conf:rang?\\10"_s, u"conf:curr:%1 0.1\\10"_s.arg(f)},
                            u"000.0000 m"_s}};
    }
}

void TestArrowWalksOnSim::idleAutoThenSteps()
{
    QFETCH(QString, instrument);
    QFETCH(QString, presses);
    QFETCH(QList<Seen>, seen);
    QCOMPARE(presses.size(), seen.size());

    PanelFixture f;
    QString why;
    QVERIFY2(f.identify(instrument, &why), qPrintable(why));
    QCOMPARE(f.state.MODE2_ON, instrument.contains(u"func2"));
    for (int i = 0; i < presses.size(); ++i) {
        const QByteArray at = "press " + QByteArray::number(i + 1) + " (" + presses.at(i).toLatin1() + ")";
        f.sim.written.clear();
        press(f.panel, presses.at(i));
        const QStringList sent = rangeTraffic(f.sim.written);
        QVERIFY2(sent == seen.at(i).sent, at + ": sent " + sent.join(u' ').toUtf8());
        QVERIFY2(pointAndPrefix(f.display) == seen.at(i).display1, at + ": display 1 " + pointAndPrefix(f.display).toUtf8());
        const auto &measure = f.sim.instrument.measure(1);
        QVERIFY2(!measure.autoRange, at);
        QVERIFY2(QString::fromLatin1(measure.range) == f.state.MODE1_RANGE,
                 at + ": instrument on " + measure.range + ", label " + f.state.MODE1_RANGE.toUtf8());
    }
    QVERIFY(f.status.lines().filter(u"conf:rang?"_s).isEmpty());
}

// AUTO on an idle panel gets a range reply that names no range, or loses
// the reply on the line: display 1 claims none (no point, no prefix, AUTO
// dark). UP or DOWN then asks again; while the reply names none, nothing
// goes out for a range and the status log says so. Once the instrument
// names its range (the line back, for a lost reply), the step starts from
// it.
void TestArrowWalksOnSim::rangeReplyNamingNoRange_data()
{
    QTest::addColumn<QString>("instrument");
    QTest::addColumn<QString>("reply");    // null: the reply is lost on the line
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("command");  // once the reply names the range
    QTest::addColumn<QString>("label");

    struct Row
    {
        const char *name;
        QString instrument, reply, up, upLabel, down, downLabel;
    };
    const Row rows[] = {
        {"DCV on 10V", u"func1=DCV,range1=10V,auto1=1"_s, u"22"_s,
         u"conf:volt:dc 100\\10"_s, u"100V"_s, u"conf:volt:dc 1\\10"_s, u"1V"_s},
        {"2W on 100K", u"func1=2W,range1=100K,auto1=1"_s, u"10E9"_s,
         u"conf:res 1000000\\10"_s, u"1M"_s, u"conf:res 10000\\10"_s, u"10K"_s},
        {"DCI on 100mA", u"func1=DCI,range1=100mA,auto1=1"_s, u"x"_s,
         u"conf:curr:dc 1\\10"_s, u"1A"_s, u"conf:curr:dc 0.01\\10"_s, u"10mA"_s},
        // The start-up drawing of auto range has point 2 and the m lamp.
        {"DCV on 10V", u"func1=DCV,range1=10V,auto1=1"_s, QString(),
         u"conf:volt:dc 100\\10"_s, u"100V"_s, u"conf:volt:dc 1\\10"_s, u"1V"_s},
    };
    for (const Row &r : rows)
        for (const QString &display2 : {QString(), kDisplay2On}) {
            const char *two = display2.isEmpty() ? "off" : "on";
            const QString reply = r.reply.isNull() ? u"reply lost"_s : u'"' + r.reply + u'"';
            QTest::addRow("%s, %s, UP, display 2 %s", r.name, qPrintable(reply), two)
                << r.instrument + display2 << r.reply << u"U"_s << r.up << r.upLabel;
            QTest::addRow("%s, %s, DOWN, display 2 %s", r.name, qPrintable(reply), two)
                << r.instrument + display2 << r.reply << u"D"_s << r.down << r.downLabel;
        }
}

void TestArrowWalksOnSim::rangeReplyNamingNoRange()
{
    QFETCH(QString, instrument);
    QFETCH(QString, reply);
    QFETCH(QString, key);
    QFETCH(QString, command);
    QFETCH(QString, label);
    const bool lost = reply.isNull();
    sim::Faults faults;
    if (lost)
        faults.cutQuery = "conf:rang?";
    PanelFixture f(faults);
    QString why;
    QVERIFY2(f.identify(instrument, &why), qPrintable(why));
    QVERIFY(f.display.isLit(display::Lamp::AUTO_LAB1));
    const QByteArray range = f.sim.instrument.measure(1).range;
    if (lost)
        f.sim.link.setReplyBound(std::chrono::milliseconds(300));  // the in-process line answers at once
    else
        QVERIFY(f.sim.instrument.setState(u"reply:conf:rang?"_s, reply));
    const QString told = lost ? u"\"conf:rang?\" failed, the key stopped there."_s
                              : u"\"conf:rang?\" answered \""_s + reply + u'"';

    press(f.panel, u'A');
    QCOMPARE(f.status.lines().filter(told).size(), 1);
    QCOMPARE(pointAndPrefix(f.display), u"0000000 "_s);
    QVERIFY(!f.display.isLit(display::Lamp::AUTO_LAB1));
    QCOMPARE(f.state.MODE1_RANGE, QString());

    for (int i = 1; i <= 2; ++i) {
        f.sim.written.clear();
        press(f.panel, key.front());
        QCOMPARE(rangeTraffic(f.sim.written), QStringList{u"conf:rang?\\10"_s});
        QCOMPARE(f.status.lines().filter(told).size(), 1 + i);
        QCOMPARE(f.sim.instrument.measure(1).range, range);
        QVERIFY(!f.sim.instrument.measure(1).autoRange);
    }

    if (lost) {
        f.sim.faults = {};
        QVERIFY(f.sim.open());
    }
    QVERIFY(f.sim.instrument.setState(u"reply:conf:rang?"_s, u"auto"_s));
    f.sim.written.clear();
    press(f.panel, key.front());
    QCOMPARE(rangeTraffic(f.sim.written), (QStringList{u"conf:rang?\\10"_s, command}));
    QCOMPARE(f.state.MODE1_RANGE, label);
    QCOMPARE(f.sim.instrument.measure(1).range, label.toLatin1());
    QVERIFY(shown1(f.display).count(u'.') == 1);
}

QTEST_MAIN(TestArrowWalksOnSim)
#include "tst_arrow_walks_on_sim.moc"
