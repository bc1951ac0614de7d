// dBm and dB readings: the dBm value on display 1 and its voltage across
// the reference impedance, hold and maximum/minimum, the overload marker and
// the instrument's 9.9E+37; the dB value with its voltage on display 2 by
// magnitude, by range or beside dBm.

#include "reading/db_results.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/reading_setup.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace display;

class TestDbResults : public QObject
{
    Q_OBJECT

private slots:
    void dbm_data();
    void dbm();
    void db_data();
    void db();
};

void TestDbResults::dbm_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("reference");  // dBm_REF
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("display1");
    QTest::addColumn<QString>("display2");
    QTest::addColumn<QString>("shown1");
    QTest::addColumn<QString>("mode1");

    const QString before = u"before"_s;
    const QString untouched = u"_______"_s;
    const QStringList none;
    QTest::newRow("10 dBm into 50")     << u"+1.000000E+01"_s << u"0050"_s << none
                                        << u"0.70711_V"_s << u"10.0000_dBm"_s << u"10.00000"_s << u"DCV"_s;
    QTest::newRow("10 dBm into 600")    << u"+1.000000E+01\r"_s << u"0600"_s << none
                                        << u"02.4495_V"_s << u"10.0000_dBm"_s << u"10.00000"_s << u"DCV"_s;
    QTest::newRow("-20 dBm into 600")   << u"-2.000000E+01"_s << u"0600"_s << none
                                        << u"077.460_mV"_s << u"-020.000_dBm"_s << u"[SUB]20.0000"_s << u"DCV"_s;
    QTest::newRow("12 dBm exactly")     << u"12.0"_s << u"0600"_s << none
                                        << u"03.0837_V"_s << u"012.000_dBm"_s << u"012.0000"_s << u"DCV"_s;
    QTest::newRow("200 dBm: no voltage") << u"200.0"_s << u"0050"_s << none
                                        << u"OL"_s << u"0200.00_dBm"_s << u"0200.000"_s << u"DCV"_s;
    QTest::newRow("hold on")            << u"+1.000000E+01"_s << u"0600"_s << QStringList{u"HOLD_ON"_s}
                                        << u"10.0000_dBm"_s << u"10_%"_s << u"10.00000"_s << u"dBm"_s;
    QTest::newRow("maximum/minimum on") << u"+1.000000E+01"_s << u"0600"_s << QStringList{u"MXMN_ON"_s}
                                        << u"10.0000_dBm"_s << u"10.0000_dBm"_s << u"10.00000"_s << u"dBm"_s;
    QTest::newRow("no reference")       << u"+1.000000E+01"_s << QString() << none
                                        << QString() << u"10.0000_dBm"_s << u"10.00000"_s << u"DCV"_s;
    // Overload: the marker once the first point is gone, or 1E9 and up.
    QTest::newRow("marker +1.99999E+09") << u"+1.99999E+09"_s << u"0600"_s << none
                                         << u"OL"_s << QString() << u"___OL__"_s << u"DCV"_s;
    QTest::newRow("marker in 19.9999")   << u"19.9999"_s << u"0600"_s << none
                                         << u"OL"_s << QString() << u"___OL__"_s << u"DCV"_s;
    QTest::newRow("instrument overload") << u"+9.90000000E+37"_s << u"0600"_s << none
                                         << u"OL"_s << QString() << u"___OL__"_s << u"DCV"_s;
    // Nothing changes.
    QTest::newRow("zero")                << u"+0.00000E+00"_s << u"0600"_s << none
                                         << before << before << untouched << u"DCV"_s;
    QTest::newRow("no point")            << u"10"_s << u"0600"_s << none
                                         << before << before << untouched << u"DCV"_s;
    QTest::newRow("not a number")        << u"1.5 dBm"_s << u"0600"_s << none
                                         << before << before << untouched << u"DCV"_s;
}

void TestDbResults::dbm()
{
    QFETCH(QString, field);
    QFETCH(QString, reference);
    QFETCH(QStringList, setup);
    QFETCH(QString, display1);
    QFETCH(QString, display2);
    QFETCH(QString, shown1);
    QFETCH(QString, mode1);
    PanelFixture f;
    darken(f.display);
    QVERIFY(setUp(f.panel, setup + QStringList{u"T_min_LAB1"_s, u"dBm_ON"_s}));
    f.state.MODE1 = u"DCV"_s;
    f.state.dBm_REF = reference;
    f.state.HOLD_REF_INT = 10;
    f.state.DISPLAY1 = u"before"_s;
    f.state.DISPLAY2 = u"before"_s;

    reading::dBm_C_ENTER(f.panel, field);

    QCOMPARE(f.state.DISPLAY1, display1);
    QCOMPARE(f.state.DISPLAY2, display2);
    QCOMPARE(::shown1(f.display), shown1);
    QCOMPARE(f.state.MODE1, mode1);
    const bool drawn = !display2.isEmpty() && display2 != u"before";
    QCOMPARE(f.display.isLit(Lamp::T_min_LAB1), !drawn);  // dark once a value is drawn
    QCOMPARE(::shown2(f.display), u"______"_s);                           // never display 2
}

void TestDbResults::db_data()
{
    QTest::addColumn<QString>("dB");
    QTest::addColumn<QString>("volts");
    QTest::addColumn<QString>("range");    // MODE1_RANGE
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("display1");
    QTest::addColumn<QString>("display2");
    QTest::addColumn<QString>("shown1");
    QTest::addColumn<QString>("shown2");
    QTest::addColumn<bool>("milli2");      // T_min_LAB2 afterwards

    const QStringList autoLamp{u"AUTO_LAB1"_s};
    QTest::newRow("beside dBm")        << u"10"_s << u"12.5"_s << u"AUTO"_s << QStringList{u"dB_WITH_dBm"_s}
                                       << u"10.0000_dB"_s << u"012.500 V"_s << u"10.00000"_s << u"012.500"_s << false;
    QTest::newRow("auto, 50 mV")       << u"-3.5"_s << u"0.05"_s << u"AUTO"_s << autoLamp
                                       << u"-03.5000_dB"_s << u"050.000_mV"_s << u"[SUB]3.50000"_s << u"050.000"_s << true;
    QTest::newRow("auto, 5 V")         << u"150"_s << u"-5"_s << u"AUTO"_s << autoLamp + QStringList{u"T_min_LAB2"_s}
                                       << u"0150.00_dB"_s << u"-05.0000_V"_s << u"0150.000"_s << u"[SUB]5.0000"_s << false;
    QTest::newRow("auto, 1.2 V")       << u"12"_s << u"1.2"_s << u"AUTO"_s << autoLamp
                                       << u"012.000_dB"_s << u"01.2000_V"_s << u"012.0000"_s << u"01.2000"_s << false;
    QTest::newRow("auto lamp dark")    << u"10"_s << u"0.05"_s << u"AUTO"_s << QStringList{}
                                       << u"10.0000_dB"_s << u"before"_s << u"10.00000"_s << u"______"_s << false;
    QTest::newRow("range 10V")         << u"10"_s << u"5"_s << u"10V"_s << QStringList{}
                                       << u"10.0000_dB"_s << u"05.0000_V"_s << u"10.00000"_s << u"05.0000"_s << false;
    QTest::newRow("range 100mV")       << u"10"_s << u"0.05"_s << u"100mV"_s << QStringList{}
                                       << u"10.0000_dB"_s << u"050.000_mV"_s << u"10.00000"_s << u"050.000"_s << false;
    QTest::newRow("range 750V")        << u"10"_s << u"700"_s << u"750V"_s << QStringList{}
                                       << u"10.0000_dB"_s << u"0700.00_V"_s << u"10.00000"_s << u"0700.00"_s << false;
    QTest::newRow("no voltage")        << u"10"_s << QString() << u"AUTO"_s << autoLamp
                                       << u"10.0000_dB"_s << u"before"_s << u"10.00000"_s << u"______"_s << false;
    QTest::newRow("dB overload")       << u"+9.90000000E+37"_s << u"1"_s << u"AUTO"_s << autoLamp
                                       << u"OL"_s << u"1.00000_V"_s << u"___O.L__"_s << u"1.00000"_s << false;
    QTest::newRow("voltage overload")  << u"10"_s << u"+9.90000000E+37"_s << u"AUTO"_s << autoLamp
                                       << u"10.0000_dB"_s << u"OL"_s << u"10.00000"_s << u"__OL.__"_s << false;
}

void TestDbResults::db()
{
    QFETCH(QString, dB);
    QFETCH(QString, volts);
    QFETCH(QString, range);
    QFETCH(QStringList, setup);
    QFETCH(QString, display1);
    QFETCH(QString, display2);
    QFETCH(QString, shown1);
    QFETCH(QString, shown2);
    QFETCH(bool, milli2);
    PanelFixture f;
    darken(f.display);
    QVERIFY(setUp(f.panel, setup + QStringList{u"T_min_LAB1"_s, u"dB_ON"_s}));
    f.state.MODE1 = u"dB"_s;
    f.state.MODE1_RANGE = range;
    f.state.DISPLAY2 = u"before"_s;

    reading::dB_C_ENTER(f.panel, dB, volts);

    QVERIFY(f.state.dB_DISP1);
    QCOMPARE(f.state.DISPLAY1, display1);
    QCOMPARE(f.state.DISPLAY2, display2);
    QCOMPARE(::shown1(f.display), shown1);
    QCOMPARE(::shown2(f.display), shown2);
    QVERIFY(!f.display.isLit(Lamp::T_min_LAB1));
    QCOMPARE(f.display.isLit(Lamp::T_min_LAB2), milli2);
}

QTEST_GUILESS_MAIN(TestDbResults)
#include "tst_db_results.moc"
