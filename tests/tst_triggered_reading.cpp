// The triggered reading on the simulated instrument: what it sends with and
// without the external trigger, with MAX or MIN lit and after a short reply;
// one reply shown, the others owed dropped even when they come late, so the
// next query gets its own answer; a closed port or a silent instrument (no
// reading: nothing shown, nothing changed) and short replies.

#include "display/glyph_words.h"
#include "reading/reply_parser.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/reading_setup.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace display;

class TestTriggeredReading : public QObject
{
    Q_OBJECT

private slots:
    void transcript_data();
    void transcript();
    void lateSecondReplyDoesNotAnswerTheNextQuery();
    void nothingCame_data();
    void nothingCame();
    void shortReplies_data();
    void shortReplies();
    void sameTextAsTheRunsReading_data();
    void sameTextAsTheRunsReading();
};

namespace {

const QString kRead = u"read?\\10"_s;
const QString kTrigger = u"*TRG\\10"_s;
const QString kMax = u"CALC:MAX?\r\n"_s;
const QString kMin = u"CALC:MIN?\r\n"_s;

// DCV in the fixed 10 V range on both sides.
void prepare(PanelFixture &f, const QString &simState, const QStringList &setup)
{
    darken(f.display);
    QString why;
    if (!f.sim.instrument.setStates(u"range1=10V,"_s + simState, &why))
        qFatal("sim state: %s", qPrintable(why));
    f.linkUp();
    if (!setUp(f.panel, setup, &why))
        qFatal("unknown set-up name %s", qPrintable(why));
    f.state.MODE1 = u"DCV"_s;
    f.state.MODE1_RANGE = u"10V"_s;
}

// The next query gets its own answer: nothing of the reading is left over.
bool lineIsClean(PanelFixture &f)
{
    f.sim.link.Write(u"*IDN?\\10"_s);
    return f.sim.link.Read() == f.sim.instrument.identity() + '\r';
}

} // namespace

void TestTriggeredReading::transcript_data()
{
    QTest::addColumn<QString>("simState");
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QString>("display1");
    QTest::addColumn<QString>("display2");
    QTest::addColumn<QString>("shown1");

    const QString ext = u"trigger=ext,display1=1.5,display2=0.25"_s;
    QTest::newRow("EXT: read?, read?, *TRG") << ext << QStringList{u"EXT_LAB"_s, u"READ_OK"_s}
                                             << QStringList{kRead, kRead, kTrigger}
                                             << u"01.50000_V"_s << u"kept"_s << u"01.50000"_s;
    QTest::newRow("EXT, display 2 measures") << ext << QStringList{u"EXT_LAB"_s, u"READ_OK"_s, u"MODE2_ON"_s, u"AUTO_LAB2"_s}
                                             << QStringList{kRead, kRead, kTrigger}
                                             << u"01.50000_V"_s << u"0.25000_V"_s << u"01.50000"_s;
    QTest::newRow("EXT, MAX lit")            << ext + u",reply:calc:max?=+2.500000E+00"_s
                                             << QStringList{u"EXT_LAB"_s, u"READ_OK"_s, u"MAX_LAB"_s}
                                             << QStringList{kMax, kRead, kTrigger}
                                             << u"02.50000_V"_s << u"kept"_s << u"02.50000"_s;
    QTest::newRow("EXT, MIN lit")            << ext + u",reply:calc:min?=-2.500000E-01"_s
                                             << QStringList{u"EXT_LAB"_s, u"READ_OK"_s, u"MIN_LAB"_s}
                                             << QStringList{kMin, kRead, kTrigger}
                                             << u"-00.25000_V"_s << u"kept"_s << u"[SUB]0.25000"_s;
    QTest::newRow("EXT, MAX and MIN lit")    << ext + u",reply:calc:max?=+3.0E+00"_s
                                             << QStringList{u"EXT_LAB"_s, u"READ_OK"_s, u"MAX_LAB"_s, u"MIN_LAB"_s}
                                             << QStringList{kMax, kRead, kTrigger}
                                             << u"03.00000_V"_s << u"kept"_s << u"03.00000"_s;
    QTest::newRow("EXT, MAX, display 2 on")  << ext + u",reply:calc:max?=+2.500000E+00"_s
                                             << QStringList{u"EXT_LAB"_s, u"READ_OK"_s, u"MAX_LAB"_s, u"MODE2_ON"_s, u"AUTO_LAB2"_s}
                                             << QStringList{kMax, kRead, kTrigger}
                                             << u"02.50000_V"_s << QString() << u"02.50000"_s;
    QTest::newRow("EXT after a short reply") << ext << QStringList{u"EXT_LAB"_s}
                                             << QStringList{kRead, kTrigger}
                                             << u"01.50000_V"_s << u"kept"_s << u"01.50000"_s;
    QTest::newRow("without EXT")             << u"display1=0.75"_s << QStringList{u"READ_OK"_s}
                                             << QStringList{kRead}
                                             << u"00.75000_V"_s << u"kept"_s << u"00.75000"_s;
    QTest::newRow("without EXT, MAX lit")    << u"reply:calc:max?=+1.0E+00"_s << QStringList{u"READ_OK"_s, u"MAX_LAB"_s}
                                             << QStringList{kMax}
                                             << u"01.00000_V"_s << u"kept"_s << u"01.00000"_s;
}

void TestTriggeredReading::transcript()
{
    QFETCH(QString, simState);
    QFETCH(QStringList, setup);
    QFETCH(QStringList, written);
    QFETCH(QString, display1);
    QFETCH(QString, display2);
    QFETCH(QString, shown1);
    PanelFixture f;
    prepare(f, simState, setup);
    f.state.MODE2 = u"DCV"_s;
    f.state.DISPLAY2 = u"kept"_s;

    QVERIFY(reading::TRIG_READ_SHOW(f.panel));

    QCOMPARE(f.sim.written, written);
    QVERIFY(f.state.READ_OK);
    QCOMPARE(f.state.DISPLAY1, display1);
    QCOMPARE(f.state.DISPLAY2, display2);
    QCOMPARE(::shown1(f.display), shown1);
    QVERIFY(lineIsClean(f));
}

void TestTriggeredReading::lateSecondReplyDoesNotAnswerTheNextQuery()
{
    // The instrument takes 300 ms for the second reading one trigger
    // releases: the reading shows the first and waits for the second.
    PanelFixture f;
    prepare(f, u"trigger=ext,triggap=300,display1=1.5"_s, {u"EXT_LAB"_s, u"READ_OK"_s});
    reading::TRIG_READ_SHOW(f.panel);
    QCOMPARE(f.state.DISPLAY1, u"01.50000_V"_s);
    QVERIFY(lineIsClean(f));

    // Two presses in a row, the second reading changed in between.
    QVERIFY(f.sim.instrument.setState(u"display1", u"2.5"));
    reading::TRIG_READ_SHOW(f.panel);
    QCOMPARE(f.state.DISPLAY1, u"02.50000_V"_s);
    QCOMPARE(f.sim.wire().count(u"*TRG"_s), 2);
    QVERIFY(lineIsClean(f));
}

void TestTriggeredReading::nothingCame_data()
{
    QTest::addColumn<bool>("open");         // the port is open (the instrument is silent)
    QTest::addColumn<QStringList>("setup");

    const QStringList ext{u"EXT_LAB"_s, u"READ_OK"_s};
    QTest::newRow("closed port")                << false << ext;
    QTest::newRow("closed port, display 2 on")  << false << ext + QStringList{u"MODE2_ON"_s};
    QTest::newRow("closed port, MIN lit")       << false << ext + QStringList{u"MIN_LAB"_s};
    QTest::newRow("silent")                     << true << ext;
}

// No reply is no reading: the one before is not shown again as this one's
// (the trigger key would record it as a new point), and nothing changes.
void TestTriggeredReading::nothingCame()
{
    QFETCH(bool, open);
    QFETCH(QStringList, setup);
    PanelFixture f(sim::Faults{.silentAfter = 1});  // no trigger is ever answered
    darken(f.display);
    QVERIFY(f.sim.instrument.setStates(u"trigger=ext"));
    if (open) {
        QVERIFY(f.sim.open());
        f.state.REMOTE_OK = true;
    }
    f.sim.link.setReplyBound(50ms);
    QVERIFY(setUp(f.panel, setup));
    f.state.MODE1 = u"DCV"_s;
    f.state.MODE1_RANGE = u"10V"_s;
    const QString last = u"+2.0E+00,0\r"_s;
    f.state.LAST_REPLY = last;
    f.state.DISPLAY1 = u"07.77777_V"_s;
    f.state.DISPLAY2 = u"kept"_s;
    DIS1_SHOW_RANGE(f.display, u"0", u"7", u"7", u"7", u"7", u"7", u"7");
    const QString before = shown1(f.display);

    QVERIFY(!reading::TRIG_READ_SHOW(f.panel));

    QVERIFY(f.state.READ_OK);
    QCOMPARE(f.state.DISPLAY1, u"07.77777_V"_s);
    QCOMPARE(f.state.DISPLAY2, u"kept"_s);
    QCOMPARE(f.state.LAST_REPLY, last);
    QCOMPARE(shown1(f.display), before);
    if (!open)
        QVERIFY(f.sim.wire().isEmpty());
}

void TestTriggeredReading::shortReplies_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("readOk");
    QTest::addColumn<QString>("display1");
    // The reply keeps its CR: "12" comes as three characters.
    QTest::newRow("three with the CR") << u"12"_s << true << u"12.000000_V"_s;
    QTest::newRow("two with the CR")   << u"1"_s << false << u"0.000000"_s;
}

void TestTriggeredReading::shortReplies()
{
    QFETCH(QString, reply);
    QFETCH(bool, readOk);
    QFETCH(QString, display1);
    PanelFixture f;
    prepare(f, u"trigger=ext"_s, {u"EXT_LAB"_s, u"READ_OK"_s});
    QVERIFY(f.sim.instrument.setState(u"reply:read?", reply));
    f.state.MODE1_RANGE = u"1V"_s;

    reading::TRIG_READ_SHOW(f.panel);
    QCOMPARE(f.state.READ_OK, readOk);
    QCOMPARE(f.state.DISPLAY1, display1);
    QVERIFY(lineIsClean(f));

    // After a short reply the next press sends only the trigger pair.
    f.sim.written.clear();
    reading::TRIG_READ_SHOW(f.panel);
    const QStringList next = readOk ? QStringList{kRead, kRead, kTrigger} : QStringList{kRead, kTrigger};
    QCOMPARE(f.sim.written, next);
}

void TestTriggeredReading::sameTextAsTheRunsReading_data()
{
    QTest::addColumn<QString>("mode1");
    QTest::addColumn<QString>("range1");
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("value");
    const QString volts = u"1.5"_s;
    QTest::newRow("a range with a row") << u"DCV"_s << u"10V"_s << QStringList() << volts;
    QTest::newRow("a range without a row") << u"DCV"_s << u"999V"_s << QStringList() << volts;
    QTest::newRow("a function without a table") << u"XYZ"_s << u"AUTO"_s << QStringList() << volts;
    QTest::newRow("dBm of 0 V") << u"DCV"_s << u"10V"_s << QStringList{u"dBm_ON"_s} << u"0"_s;
    QTest::newRow("dB of 0 V") << u"DCV"_s << u"10V"_s << QStringList{u"dB_ON"_s} << u"0"_s;
}

// A trigger press leaves in DISPLAY1 what a run's pass would for the same
// reply: the reading's text, never the reading before it, which the trend
// graph would then record as this press's.
void TestTriggeredReading::sameTextAsTheRunsReading()
{
    QFETCH(QString, mode1);
    QFETCH(QString, range1);
    QFETCH(QStringList, setup);
    QFETCH(QString, value);
    const QString reply = value == u"0" ? u"+0.000000E+00"_s : u"+1.500000E+00"_s;
    setup.append(u"READ_OK"_s);

    PanelFixture triggered;
    prepare(triggered, u"reply:read?=%1"_s.arg(reply), setup);
    triggered.state.MODE1 = mode1;
    triggered.state.MODE1_RANGE = range1;
    triggered.state.DISPLAY1 = u"7.777777_V"_s;  // the reading before
    reading::TRIG_READ_SHOW(triggered.panel);

    PanelFixture polled;
    prepare(polled, u"display1=1.5"_s, setup);
    polled.state.MODE1 = mode1;
    polled.state.MODE1_RANGE = range1;
    polled.state.DISPLAY1 = reply + u'\r';
    reading::READ_SHOW_PARSE(polled.panel);

    QCOMPARE(triggered.state.DISPLAY1, polled.state.DISPLAY1);
    QVERIFY(!triggered.state.DISPLAY1.contains(u"7.777777"));
    QVERIFY(!triggered.state.DISPLAY1.contains(u'\r'));
}

QTEST_GUILESS_MAIN(TestTriggeredReading)
#include "tst_triggered_reading.moc"
