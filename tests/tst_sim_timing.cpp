// The simulator's timing and fast mode: how long a reading takes by
// function, rate, filter and integration time; "val1?" blocks paced at the
// sample interval; the fast run's set-up commands; and ravelo-sim pacing a
// block on its pty.

#include "core/dmm_link.h"
#include "sim/instrument.h"
#include "sim/line.h"
#include "support/sim_process.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QRegularExpression kValue(u"^[+-]\\d\\.\\d{6}E[+-]\\d{2}$"_s);

// The time one query's reply needs, in ms; -1 when it gets none.
qint64 replyTime(sim::Instrument &instrument, const QByteArray &query)
{
    const std::vector<sim::Instrument::TimedReply> parts = instrument.answer(query);
    return parts.empty() ? -1 : parts.back().afterMs;
}

} // namespace

class TestSimTiming : public QObject
{
    Q_OBJECT

private slots:
    void readingTime_data();
    void readingTime();
    void blockOfValues();
    void blockOnTheLine();
    void fastModeCommands_data();
    void fastModeCommands();
    void ptyPacesBlock();
};

void TestSimTiming::readingTime_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QByteArrayList>("commands");
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<qint64>("ms");

    const QByteArrayList none;
    QTest::newRow("in process: at once") << QString() << none << QByteArray("read? buf") << qint64(0);
    QTest::newRow("DCV medium") << u"timescale=1"_s << none << QByteArray("read? buf") << qint64(16);
    QTest::newRow("DCV fast") << u"timescale=1,rate=F"_s << none << QByteArray("READ?") << qint64(5);
    QTest::newRow("DCV slow, filter of 10") << u"timescale=1,rate=S,filter=1"_s << none
                                            << QByteArray("read? buf") << qint64(300);
    QTest::newRow("filter count by command") << u"timescale=1,rate=S"_s
                                             << QByteArrayList{"SENS:AVER:COUN 2", "SENS:AVER:STAT 1"}
                                             << QByteArray("read? buf") << qint64(60);
    QTest::newRow("filter off by command") << u"timescale=1,rate=S,filter=1"_s
                                           << QByteArrayList{"sens:aver:stat 0"}
                                           << QByteArray("read? buf") << qint64(30);
    QTest::newRow("ACV slow") << u"timescale=1,func1=ACV,rate=S"_s << none << QByteArray("CALC:MAX?")
                              << qint64(1500);
    QTest::newRow("Hz medium") << u"timescale=1,func1=Hz"_s << none << QByteArray("val2?") << qint64(100);
    QTest::newRow("NPLC 2 on DC volts") << u"timescale=1"_s << QByteArrayList{"SENS:VOLT:DC:NPLC 2"}
                                        << QByteArray("read? buf") << qint64(33);
    QTest::newRow("NPLC of another function") << u"timescale=1"_s << QByteArrayList{"SENS:RES:DC:NPLC 2"}
                                              << QByteArray("read? buf") << qint64(16);
    QTest::newRow("the rate undoes NPLC") << u"timescale=1"_s
                                          << QByteArrayList{"SENS:VOLT:DC:NPLC 1", "sens:det:rate S"}
                                          << QByteArray("read? buf") << qint64(30);
    QTest::newRow("half the time") << u"timescale=0.5,rate=S"_s << none << QByteArray("read?") << qint64(15);
    QTest::newRow("no reading query") << u"timescale=1,rate=S,filter=1"_s << none << QByteArray("*IDN?")
                                      << qint64(0);
}

void TestSimTiming::readingTime()
{
    QFETCH(QString, state);
    QFETCH(QByteArrayList, commands);
    QFETCH(QByteArray, query);
    QFETCH(qint64, ms);
    sim::Instrument instrument;
    QString why;
    QVERIFY2(instrument.setStates(state, &why), qPrintable(why));
    for (const QByteArray &command : commands)
        QVERIFY(instrument.answer(command).empty());
    QCOMPARE(replyTime(instrument, query), ms);
    QVERIFY(instrument.errorQueue().empty());
}

void TestSimTiming::blockOfValues()
{
    sim::Instrument instrument;
    QVERIFY(instrument.setStates(u"timescale=1"_s));
    // One value without a sample count, as the REL key asks for it.
    const auto single = instrument.answer("val1?");
    QCOMPARE(single.size(), std::size_t(1));
    QVERIFY2(kValue.match(QString::fromLatin1(single[0].body)).hasMatch(), single[0].body.constData());

    instrument.answer("SENS:VOLT:DC:NPLC 1");
    instrument.answer("sample:count 60");
    const auto block = instrument.answer("val1?");
    QCOMPARE(block.size(), std::size_t(60));
    for (std::size_t k = 0; k < block.size(); ++k) {
        QVERIFY2(kValue.match(QString::fromLatin1(block[k].body)).hasMatch(), block[k].body.constData());
        QCOMPARE(block[k].afterMs, qint64(std::llround(double(k + 1) * 1000.0 / 60.0)));
    }
    QCOMPARE(block.back().afterMs, qint64(1000));  // one second of samples

    QCOMPARE(instrument.field("samplecount"), std::optional<QByteArray>("60"));
    instrument.answer("sample:count 0");  // out of range: kept
    QCOMPARE(instrument.field("samplecount"), std::optional<QByteArray>("60"));
}

void TestSimTiming::blockOnTheLine()
{
    sim::Instrument instrument;
    QVERIFY(instrument.setStates(u"timescale=1,display1=2"_s));
    sim::Line line(instrument);
    line.receive("SENS:VOLT:DC:NPLC 2\nsample:count 3\nval1?\n", 100);
    QCOMPARE(line.takeDue(132), QByteArray());
    QCOMPARE(line.takeDue(133), QByteArray("+2.000000E+00\r"));
    // A query during the block is answered after it.
    line.receive("*SRE?\n", 140);
    QCOMPARE(line.takeDue(199), QByteArray("+2.000000E+00\r"));
    QCOMPARE(line.takeDue(200), QByteArray("+2.000000E+00\r+0\r"));
    QCOMPARE(line.nextDue(), std::nullopt);
}

void TestSimTiming::fastModeCommands_data()
{
    QTest::addColumn<QByteArrayList>("commands");
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("display on at start") << QByteArrayList{} << QByteArray("display") << QByteArray("1");
    QTest::newRow("display off") << QByteArrayList{"SYST:DISP OFF"} << QByteArray("display") << QByteArray("0");
    QTest::newRow("display on again") << QByteArrayList{"SYST:DISP OFF", "SYST:DISP ON"} << QByteArray("display")
                                      << QByteArray("1");
    QTest::newRow("auto zero off") << QByteArrayList{"SENS:ZERO:AUTO OFF"} << QByteArray("zeroauto")
                                   << QByteArray("0");
    QTest::newRow("auto gain off") << QByteArrayList{"SENS:GAIN:AUTO OFF"} << QByteArray("gainauto")
                                   << QByteArray("0");
    QTest::newRow("trigger delay") << QByteArrayList{"TRIG:DEL 10"} << QByteArray("trigdel") << QByteArray("10");
    QTest::newRow("NPLC of display 1") << QByteArrayList{"SENS:VOLT:DC:NPLC 1"} << QByteArray("nplc1")
                                       << QByteArray("1");
    QTest::newRow("display 2 off by name") << QByteArrayList{"SENS:FUNC2 \"NON\""} << QByteArray("func2")
                                           << QByteArray("NON");
    QTest::newRow("display 2 off") << QByteArrayList{"conf2:off"} << QByteArray("func2") << QByteArray("NON");
}

void TestSimTiming::fastModeCommands()
{
    QFETCH(QByteArrayList, commands);
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, value);
    sim::Instrument instrument;
    QVERIFY(instrument.setStates(u"func2=DCV"_s));
    for (const QByteArray &command : commands)
        QVERIFY(!instrument.handle(command));
    QCOMPARE(instrument.field(field), std::optional<QByteArray>(value));
    QVERIFY(instrument.errorQueue().empty());
}

void TestSimTiming::ptyPacesBlock()
{
    // ravelo-sim keeps the instrument's time: 30 values at two power-line
    // cycles each take half a second, and each comes whole.
    SimProcess sim({u"--baud"_s, u"115200"_s});
    QVERIFY2(sim.started(), qPrintable(sim.errors()));
    qputenv("RAVELO_COM1", QFile::encodeName(sim.linkPath()));
    shell::Class1 link;
    link.Port(1);
    link.BaudRate(115200);
    QVERIFY2(link.Open(), qPrintable(link.lastErrorText()));
    QVERIFY(link.Write(u"SENS:VOLT:DC:NPLC 2\r\n"_s));
    QVERIFY(link.Write(u"sample:count 30\r\n"_s));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(link.Write(u"val1?\r\n"_s));
    for (int k = 0; k < 30; ++k) {
        const std::optional<QString> value = link.Read();
        QVERIFY2(value, qPrintable(link.lastErrorText()));
        QVERIFY2(kValue.match(value->chopped(1)).hasMatch(), qPrintable(*value));
    }
    QVERIFY2(clock.elapsed() >= 450, QByteArray::number(clock.elapsed()).constData());
    qunsetenv("RAVELO_COM1");
}

QTEST_GUILESS_MAIN(TestSimTiming)
#include "tst_sim_timing.moc"
