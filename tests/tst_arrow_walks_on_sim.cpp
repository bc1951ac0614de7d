// UP and DOWN against the simulated instrument, pressed through the key
// dispatcher after the start-up identification, with one reading taken and
// drawn between presses, as a user steps the range while watching the
// display: after every press the instrument is on the range the label
// names, and the next press steps from what that reading drew (or, for
// current, from the label).

#include "keys/key_dispatcher.h"
#include "reading/reply_parser.h"
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
};

namespace {

constexpr int kUp = 9;
constexpr int kDown = 10;

void press(Panel &p, QChar key)
{
    const int index = key == u'U' ? kUp : kDown;
    keys::BUTT1_IMG_MouseDown(p, index);
    keys::BUTT1_IMG_MouseUp(p, index);
}

} // namespace

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

QTEST_MAIN(TestArrowWalksOnSim)
#include "tst_arrow_walks_on_sim.moc"
