// The simulator's readings: a value for every function on both displays,
// the overload form, the maximum and minimum, and the external trigger
// (read? waits for *TRG, one reply per read?, the later ones spaced out).

#include "sim/instrument.h"
#include "sim/line.h"
#include "support/sim_link.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestSimReadings : public QObject
{
    Q_OBJECT

private slots:
    void readingPerFunction_data();
    void readingPerFunction();
    void overloadForm();
    void maximumAndMinimum();
    void externalTriggerOnTheLine();
    void laterRepliesOfOneTrigger();
    void readBufferDoesNotWait();
};

namespace {

double fieldValue(const QByteArray &reply, int index)
{
    return reply.split(',').value(index).toDouble();
}

} // namespace

void TestSimReadings::readingPerFunction_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("field");  // 0 display 1, 1 display 2
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");

    QTest::newRow("DCV auto drifts near 1.2 V")  << u""_s << 0 << 1.19 << 1.21;
    QTest::newRow("ACV auto")                    << u"func1=ACV"_s << 0 << 0.74 << 0.76;
    QTest::newRow("DCI auto, milliamps")         << u"func1=DCI"_s << 0 << 0.00149 << 0.00151;
    QTest::newRow("ACI auto")                    << u"func1=ACI"_s << 0 << 0.0149 << 0.0151;
    QTest::newRow("2W auto")                     << u"func1=2W"_s << 0 << 1499.0 << 1501.0;
    QTest::newRow("4W auto")                     << u"func1=4W"_s << 0 << 149.0 << 151.0;
    QTest::newRow("Hz")                          << u"func1=Hz"_s << 0 << 999.0 << 1001.0;
    QTest::newRow("P")                           << u"func1=P"_s << 0 << 0.000999 << 0.001001;
    QTest::newRow("diode")                       << u"func1=DIODE"_s << 0 << 0.54 << 0.56;
    QTest::newRow("continuity")                  << u"func1=CONTINU"_s << 0 << 11.9 << 12.1;
    QTest::newRow("temperature")                 << u"func1=TEMP"_s << 0 << 24.4 << 24.6;
    QTest::newRow("DCV fixed 10V: half scale")   << u"range1=10V"_s << 0 << 4.99 << 5.01;
    QTest::newRow("DCI fixed 100uA")             << u"func1=DCI,range1=100uA"_s << 0 << 4.99e-5 << 5.01e-5;
    QTest::newRow("2W fixed 10K")                << u"func1=2W,range1=10K"_s << 0 << 4990.0 << 5010.0;
    QTest::newRow("display 2 off reads 0")       << u""_s << 1 << 0.0 << 0.0;
    QTest::newRow("display 2 DCI")               << u"func2=DCI"_s << 1 << 0.00149 << 0.00151;
    QTest::newRow("display 2 2W")                << u"func2=2W"_s << 1 << 1499.0 << 1501.0;
    QTest::newRow("display 2 fixed 1mA")         << u"func2=DCI,range2=1mA"_s << 1 << 0.000499 << 0.000501;
    QTest::newRow("display 2 Hz")                << u"func2=Hz"_s << 1 << 999.0 << 1001.0;
    QTest::newRow("fixed value wins")            << u"func1=2W,display1=-3.5"_s << 0 << -3.5 << -3.5;
}

void TestSimReadings::readingPerFunction()
{
    QFETCH(QString, state);
    QFETCH(int, field);
    QFETCH(double, low);
    QFETCH(double, high);
    sim::Instrument instrument;
    QString why;
    QVERIFY2(instrument.setStates(state, &why), qPrintable(why));
    for (int i = 0; i < 20; ++i) {
        const QByteArray reply = instrument.handle("read?").value_or("<none>");
        const double v = fieldValue(reply, field);
        QVERIFY2(v >= low && v <= high, reply.constData());
    }
}

void TestSimReadings::overloadForm()
{
    sim::Instrument instrument;
    QVERIFY(instrument.setStates(u"display1=ol,display2=ol"));
    QCOMPARE(instrument.handle("read?"), QByteArray("+9.90000000E+37,+9.90000000E+37"));
    QCOMPARE(instrument.handle("calc:max?"), QByteArray("+9.90000000E+37"));
    QVERIFY(instrument.setStates(u"display1=auto,display2=2.5"));
    const QByteArray reply = instrument.handle("read?").value_or("<none>");
    QVERIFY2(reply.startsWith("+1.2") && reply.endsWith(",+2.500000E+00"), reply.constData());

    QString why;
    QVERIFY(!instrument.setState(u"display1", u"overload!", &why));
    QVERIFY2(why.contains(u"\"ol\""), qPrintable(why));
}

void TestSimReadings::maximumAndMinimum()
{
    sim::Instrument instrument;
    // Before any reading the present reading is both.
    const QByteArray first = instrument.handle("CALC:MAX?").value_or("<none>");
    QCOMPARE(instrument.handle("calc:min?"), first);
    QVERIFY(!first.contains(','));

    for (const char *value : {"2.5", "-1", "0.5"}) {
        QVERIFY(instrument.setState(u"display1", QString::fromLatin1(value)));
        instrument.handle("read? buf");
    }
    QCOMPARE(instrument.handle("calc:max?"), QByteArray("+2.500000E+00"));
    QCOMPARE(instrument.handle("calc:min?"), QByteArray("-1.000000E+00"));

    instrument.handle("calc:func max");  // starts again
    QVERIFY(instrument.setState(u"display1", u"0.25"));
    instrument.handle("read?");
    QCOMPARE(instrument.handle("calc:max?"), QByteArray("+2.500000E-01"));
    QCOMPARE(instrument.handle("calc:min?"), QByteArray("+2.500000E-01"));
    QVERIFY(instrument.errorQueue().empty());
}

void TestSimReadings::externalTriggerOnTheLine()
{
    sim::Instrument instrument;
    QVERIFY(instrument.setStates(u"trigger=ext,display1=1.5,display2=0"));
    sim::Line line(instrument);
    line.receive("read?\nread?\n", 0);
    QCOMPARE(line.takeDue(1000), QByteArray());  // both wait
    line.receive("CALC:MAX?\r\n", 1);
    QCOMPARE(line.takeDue(1000), QByteArray("+1.500000E+00\r"));  // not a triggered query
    line.receive("*TRG\n", 2000);
    QCOMPARE(line.takeDue(2000), QByteArray("+1.500000E+00,+0.000000E+00\r+1.500000E+00,+0.000000E+00\r"));
    line.receive("*TRG\n", 2001);  // nothing waits: nothing comes
    QCOMPARE(line.nextDue(), std::nullopt);
    QVERIFY(instrument.errorQueue().empty());

    instrument.handle("trig:sour int");
    line.receive("read?\n", 2002);  // answers after its reading, without a trigger
    QCOMPARE(line.takeDue(60'000), QByteArray("+1.500000E+00,+0.000000E+00\r"));
}

void TestSimReadings::laterRepliesOfOneTrigger()
{
    sim::Instrument instrument;
    QVERIFY(instrument.setStates(u"trigger=ext,triggap=300,display1=2"));
    sim::Line line(instrument);
    line.receive("read?\nread?\n*TRG\n", 100);
    QCOMPARE(line.takeDue(100), QByteArray("+2.000000E+00,+0.000000E+00\r"));
    QCOMPARE(line.nextDue(), std::optional<qint64>(400));
    line.receive("conf:func?\n", 150);  // answered behind the late reading
    QCOMPARE(line.takeDue(399), QByteArray());
    QCOMPARE(line.takeDue(400), QByteArray("+2.000000E+00,+0.000000E+00\rVOLT\r"));

    QString why;
    QVERIFY(!instrument.setState(u"triggap", u"-1", &why));
    QVERIFY(!why.isEmpty());
}

void TestSimReadings::readBufferDoesNotWait()
{
    SimLink sim;
    QVERIFY(sim.instrument.setStates(u"trigger=ext,display1=3"));
    QVERIFY(sim.open());
    QVERIFY(sim.link.Write(u"read? buf\\10"_s));
    QCOMPARE(sim.link.Read(), std::optional<QString>(u"+3.000000E+00,+0.000000E+00\r"_s));
}

QTEST_GUILESS_MAIN(TestSimReadings)
#include "tst_sim_readings.moc"
