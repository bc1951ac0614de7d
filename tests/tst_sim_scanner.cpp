// The simulated instrument's scanner option: what the channel, count and
// delay keys set, the routing commands a scan set-up sends, the replies the
// scanner window reads back, and the channel-state query's eighteen lines.

#include "sim/instrument.h"
#include "sim/line.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Every reply part of one query, in order.
QByteArrayList answerTo(sim::Instrument &in, const QByteArray &query)
{
    QByteArrayList bodies;
    for (const sim::Instrument::TimedReply &part : in.answer(query))
        bodies.append(part.body);
    return bodies;
}

} // namespace

class TestSimScanner : public QObject
{
    Q_OBJECT

private slots:
    void replies_data();
    void replies();
    void channelStatesAreEighteenLines();
    void eachStateLineHasItsTerminator();
    void rejected_data();
    void rejected();
};

void TestSimScanner::replies_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QByteArrayList>("commands");  // sent before the query
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QByteArray>("reply");

    const QByteArrayList none;
    QTest::newRow("bank channel starts on DC volts") << QString() << none << QByteArray("rout:chan? 101")
                                                     << QByteArray("101,VOLT,10,ON");
    QTest::newRow("current channel starts on DC current") << QString() << none << QByteArray("ROUT:CHAN? 117")
                                                           << QByteArray("117,CURR,10,ON");
    QTest::newRow("channel by state") << u"chan110=on,FRES,10000,off"_s << none << QByteArray("rout:chan? 110")
                                      << QByteArray("110,FRES,10000,OFF");
    QTest::newRow("range kept as written") << u"chan102=off,VOLT,1E+01,on"_s << none
                                           << QByteArray("rout:chan? 102") << QByteArray("102,VOLT,1E+01,ON");
    QTest::newRow("four-wire by command") << QString() << QByteArrayList{"rout:chan 103,16,10000,0"}
                                          << QByteArray("rout:chan? 103") << QByteArray("103,FRES,10000,OFF");
    QTest::newRow("current by command") << QString() << QByteArrayList{"rout:chan 118,3,10,1"}
                                        << QByteArray("rout:chan? 118") << QByteArray("118,CURR,10,ON");
    QTest::newRow("RTD in Fahrenheit by command") << QString() << QByteArrayList{"rout:chan 104,20,1,1"}
                                                  << QByteArray("rout:chan? 104") << QByteArray("104,TEMP:RTD:F,1,ON");
    QTest::newRow("a code without keyword changes nothing")
        << QString() << QByteArrayList{"rout:chan 104,5,1,0"} << QByteArray("rout:chan? 104")
        << QByteArray("104,VOLT,10,ON");
    QTest::newRow("count by command") << QString() << QByteArrayList{"rout:coun 12"} << QByteArray("rout:coun?")
                                      << QByteArray("12");
    QTest::newRow("count by state") << u"scancount=7"_s << none << QByteArray("rout:coun?") << QByteArray("7");
    QTest::newRow("scan delay by command") << QString() << QByteArrayList{"rout:del 25"} << QByteArray("rout:del?")
                                           << QByteArray("25");
    QTest::newRow("scan delay by state") << u"scandelay=3"_s << none << QByteArray("rout:del?") << QByteArray("3");
    QTest::newRow("system delay by command") << QString() << QByteArrayList{"trig:del 4"} << QByteArray("trig:del?")
                                             << QByteArray("4");
    QTest::newRow("system delay by state") << u"trigdel=9"_s << none << QByteArray("TRIG:DEL?") << QByteArray("9");
}

void TestSimScanner::replies()
{
    QFETCH(QString, state);
    QFETCH(QByteArrayList, commands);
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, reply);
    sim::Instrument in;
    QString why;
    QVERIFY2(in.setStates(state, &why), qPrintable(why));
    for (const QByteArray &command : commands)
        QVERIFY(!in.handle(command));
    QCOMPARE(answerTo(in, query), QByteArrayList{reply});
}

void TestSimScanner::channelStatesAreEighteenLines()
{
    sim::Instrument in;
    QVERIFY(in.setStates(u"chan101=on,chan105=on,chan111=on,FRES,100,off,chan118=on"_s));
    // The routing commands of a scan set-up: all out, 105 out, 103 and 117 in.
    for (const QByteArray &command : {QByteArray("rout:clos 105"), QByteArray("rout:chan 103,1,10,0"),
                                      QByteArray("rout:chan 117,4,10,1")})
        QVERIFY(!in.handle(command));

    QByteArrayList expected;
    for (int n = 101; n <= 118; ++n) {
        const bool on = n == 101 || n == 103 || n == 111 || n == 117 || n == 118;
        expected.append('+' + QByteArray::number(n) + (on ? " ON" : " OFF"));
    }
    QCOMPARE(answerTo(in, "ROUTe:MULTiple:STATe?"), expected);

    QVERIFY(!in.handle("rout:open:all"));
    for (int n = 101; n <= 118; ++n)
        QVERIFY2(!in.scanChannel(n).on, qPrintable(QString::number(n)));
    // Taken out of the scan, a channel keeps its set-up.
    QCOMPARE(in.scanChannel(111).function, QByteArray("FRES"));
    QCOMPARE(in.scanChannel(117).function, QByteArray("CURR:AC"));
}

void TestSimScanner::eachStateLineHasItsTerminator()
{
    sim::Instrument in;
    sim::Line line(in, {}, sim::Eol::CrLf);
    line.receive("ROUTe:MULTiple:STATe?\n", 0);
    const QByteArray bytes = line.takeDue(0);
    QCOMPARE(bytes.count("\r\n"), 18);
    QVERIFY(bytes.startsWith("+101 OFF\r\n+102 OFF\r\n"));
    QVERIFY(bytes.endsWith("+118 OFF\r\n"));
}

void TestSimScanner::rejected_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("state word") << u"chan101=maybe"_s;
    QTest::newRow("three fields") << u"chan101=on,FRES,10000"_s;
    QTest::newRow("empty function") << u"chan101=on,,10000,off"_s;
    QTest::newRow("auto word") << u"chan101=on,FRES,10000,sometimes"_s;
    QTest::newRow("no channel 119") << u"chan119=on"_s;
    QTest::newRow("negative count") << u"scancount=-1"_s;
    QTest::newRow("delay not whole") << u"scandelay=1.5"_s;
}

void TestSimScanner::rejected()
{
    QFETCH(QString, state);
    sim::Instrument in;
    QString why;
    QVERIFY(!in.setStates(state, &why));
    QVERIFY(!why.isEmpty());
    // Nothing half-set: channel 101 is as it started.
    QCOMPARE(answerTo(in, "rout:chan? 101"), QByteArrayList{"101,VOLT,10,ON"});
}

QTEST_GUILESS_MAIN(TestSimScanner)
#include "tst_sim_scanner.moc"
