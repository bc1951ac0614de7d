// The reply parser and display 1: each function and range from the reply
// to DISPLAY1, the drawn digits and point, the prefix lamps and the range
// word on display 2; short, empty and overload replies; the last reply
// shown again; replies that are no reading at all.

#include "platform/runtime.h"
#include "reading/reply_parser.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/reading_setup.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace display;

class TestReplyParser : public QObject
{
    Q_OBJECT

private slots:
    void display1_data();
    void display1();
    void shortAndEmptyReplies_data();
    void shortAndEmptyReplies();
    void overloadEmptiesDisplay2();
    void dbmAndDbTakeTheReply();
    void rangeWordRedrawnWhereItDiffers();
};

namespace {

struct Parsed
{
    PanelFixture f;
    explicit Parsed(const QStringList &setup)
    {
        darken(f.display);
        QString unknown;
        if (!setUp(f.panel, setup, &unknown))
            qFatal("unknown set-up name %s", qPrintable(unknown));
    }
};

} // namespace

void TestReplyParser::display1_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("display1");  // DISPLAY1 out
    QTest::addColumn<QString>("shown1");
    QTest::addColumn<QString>("shown2");
    QTest::addColumn<QStringList>("lamps");  // every lamp lit afterwards

    const QStringList none;
    const QString dark2 = u"______"_s;
    // Voltage, automatic: milli below 0.12, steps at 1.2 x 10^k.
    QTest::newRow("DCV auto 50 mV")        << u"DCV"_s << u"AUTO"_s << none << u"+5.000000E-02,+0.000000E+00\r"_s
                                           << u"050.0000_mV"_s << u"050.0000"_s << u"_100[M2]V"_s << QStringList{u"T_min_LAB1"_s};
    QTest::newRow("DCV auto 0.12 exactly") << u"DCV"_s << u"AUTO"_s << QStringList{u"T_min_LAB1"_s} << u"+1.200000E-01,+0.0E+00\r"_s
                                           << u"0.120000_V"_s << u"0.120000"_s << u"___1_V"_s << none;
    QTest::newRow("DCV auto 11.99999")     << u"DCV"_s << u"AUTO"_s << none << u"11.99999,0"_s
                                           << u"11.99999_V"_s << u"11.99999"_s << u"__10_V"_s << none;
    QTest::newRow("DCV auto negative")     << u"DCV"_s << u"AUTO"_s << none << u"-5.5,0"_s
                                           << u"-05.50000_V"_s << u"[SUB]5.50000"_s << u"__10_V"_s << none;
    QTest::newRow("DCV auto 1000 V")       << u"DCV"_s << u"AUTO"_s << QStringList{u"DC_LAB1"_s} << u"+1.000000E+03,0"_s
                                           << u"1000.000_V"_s << u"1000.000"_s << u"1000_V"_s << QStringList{u"DC_LAB1"_s};
    QTest::newRow("ACV auto 500, DC dark") << u"ACV"_s << u"AUTO"_s << none << u"500,0"_s
                                           << u"0500.000_V"_s << u"0500.000"_s << u"_750_V"_s << none;
    QTest::newRow("ACV auto, hold on")     << u"ACV"_s << u"AUTO"_s << QStringList{u"HOLD_ON"_s} << u"0.5,0"_s
                                           << u"0.500000_V"_s << u"0.500000"_s << dark2 << none;
    QTest::newRow("DCV auto, REL on")      << u"DCV"_s << u"AUTO"_s << QStringList{u"REL_ON"_s} << u"0.05,0"_s
                                           << u"050.0000_mV"_s << u"050.0000"_s << dark2 << QStringList{u"T_min_LAB1"_s};
    QTest::newRow("DCV fixed 10V")         << u"DCV"_s << u"10V"_s << QStringList{u"T_min_LAB1"_s} << u"1.5,0"_s
                                           << u"01.50000_V"_s << u"01.50000"_s << dark2 << QStringList{u"T_min_LAB1"_s};
    QTest::newRow("DCV fixed 100mV")       << u"DCV"_s << u"100mV"_s << none << u"-0.0123456,0"_s
                                           << u"-012.3456_mV"_s << u"[SUB]12.3456"_s << dark2 << none;
    QTest::newRow("ACV fixed 750V")        << u"ACV"_s << u"750V"_s << none << u"700,0"_s
                                           << u"0700.000_V"_s << u"0700.000"_s << dark2 << none;
    QTest::newRow("DCV fixed unknown")     << u"DCV"_s << u"42V"_s << none << u"1.5,0\r"_s
                                           << u"1.5,0"_s << u"_______"_s << dark2 << none;

    // Current: microamps on DC only; the 1 A word has lit blanks.
    QTest::newRow("ACI auto 50 uA")        << u"ACI"_s << u"AUTO"_s << QStringList{u"T_u_LAB1"_s} << u"0.00005,0"_s
                                           << u"0.050000_mA"_s << u"0.050000"_s << u"___1[M2]A"_s << QStringList{u"T_min_LAB1"_s};
    QTest::newRow("DCI auto 50 uA")        << u"DCI"_s << u"AUTO"_s << QStringList{u"T_min_LAB1"_s} << u"0.00005,0"_s
                                           << u"050.0000_uA"_s << u"050.0000"_s << u"_100[U2]A"_s << QStringList{u"T_u_LAB1"_s};
    QTest::newRow("ACI auto 0.5 A")        << u"ACI"_s << u"AUTO"_s << QStringList{u"T_min_LAB1"_s} << u"0.5,0"_s
                                           << u"0.500000_A"_s << u"0.500000"_s << u"_  1 A"_s << none;
    QTest::newRow("DCI auto 5 A")          << u"DCI"_s << u"AUTO"_s << none << u"5,0"_s
                                           << u"05.00000_A"_s << u"05.00000"_s << u"__10_A"_s << none;
    QTest::newRow("DCI fixed 1mA")         << u"DCI"_s << u"1mA"_s << none << u"0.0005,0"_s
                                           << u"0.500000_mA"_s << u"0.500000"_s << dark2 << none;
    QTest::newRow("ACI fixed 10A")         << u"ACI"_s << u"10A"_s << none << u"2.25,0"_s
                                           << u"02.25000_A"_s << u"02.25000"_s << dark2 << none;

    // Resistance: the 1 kOhm decade drawn in ohms, kilo and mega lamps.
    QTest::newRow("2W auto 1100")          << u"2W"_s << u"AUTO"_s << QStringList{u"T_M_LAB1"_s} << u"+1.100000E+03,0"_s
                                           << u"0001.100_kOhm"_s << u"1100.000"_s << u"___1K[ohm]"_s << none;
    QTest::newRow("2W auto 500")           << u"2W"_s << u"AUTO"_s << none << u"500,0"_s
                                           << u"0500.000_Ohm"_s << u"0500.000"_s << u"___1K[ohm]"_s << none;
    QTest::newRow("4W auto 50 kOhm")       << u"4W"_s << u"AUTO"_s << none << u"50000,0"_s
                                           << u"050.0000_kOhm"_s << u"050.0000"_s << u"_100K[ohm]"_s << QStringList{u"T_K_LAB1"_s};
    QTest::newRow("2W auto 15 MOhm")       << u"2W"_s << u"AUTO"_s << QStringList{u"T_K_LAB1"_s} << u"1.5E+07,0"_s
                                           << u"015.0000_MOhm"_s << u"015.0000"_s << u"_100M[ohm]"_s << QStringList{u"T_M_LAB1"_s};
    QTest::newRow("4W fixed 10K")          << u"4W"_s << u"10K"_s << none << u"5123.456,0"_s
                                           << u"05.12346_kOhm"_s << u"05.12346"_s << dark2 << none;
    QTest::newRow("2W fixed unknown")      << u"2W"_s << u"7K"_s << none << u"5123.456,0"_s
                                           << QString() << u"_______"_s << dark2 << none;

    // Frequency and period: text here, drawing by the value scaling.
    QTest::newRow("Hz zero")               << u"Hz"_s << u"AUTO"_s << none << u"0,0"_s
                                           << u"0000.000_Hz"_s << u"0.000000"_s << dark2 << QStringList{u"T_Hz_LAB1"_s};
    QTest::newRow("Hz 1500")               << u"Hz"_s << u""_s << none << u"+1.500000E+03,0"_s
                                           << u"01.50000_kHz"_s << u"01.50000"_s << dark2 << QStringList{u"T_Hz_LAB1"_s, u"T_K_LAB1"_s};
    QTest::newRow("P 0.5 ms")              << u"P"_s << u"AUTO"_s << none << u"0.0005,0"_s
                                           << u"0.500000_ms"_s << u"0.500000"_s << dark2 << QStringList{u"T_S_LAB1"_s, u"T_min_LAB1"_s};
    QTest::newRow("P 2 Ms")                << u"P"_s << u"AUTO"_s << none << u"2E+06,0"_s
                                           << u"02.00000_Ms"_s << u"02.00000"_s << dark2 << QStringList{u"T_S_LAB1"_s, u"T_M_LAB1"_s};

    // One row each: diode, continuity, temperature.
    QTest::newRow("diode 0.55 V")          << u"DIODE"_s << u""_s << none << u"0.55,0"_s
                                           << u"0.550000_V"_s << u"0.550000"_s << dark2 << none;
    QTest::newRow("diode open")            << u"DIODE"_s << u""_s << none << u"+9.90000000E+37,0"_s
                                           << u"OPEN"_s << u"_._OPEN_"_s << dark2 << none;
    QTest::newRow("continuity 12 ohm")     << u"CONTINU"_s << u""_s << none << u"12,0"_s
                                           << u"0012.000_Ohm"_s << u"0012.000"_s << dark2 << none;
    QTest::newRow("continuity open")       << u"CONTINU"_s << u""_s << none << u"+9.90000000E+37,0"_s
                                           << u"OPEN"_s << u"__OP.EN_"_s << dark2 << none;
    QTest::newRow("C negative")            << u"C"_s << u""_s << none << u"-12.5,0"_s
                                           << u"-0012.500_C"_s << u"[SUB]012.500"_s << dark2 << none;
    QTest::newRow("F 98.6")                << u"F"_s << u""_s << none << u"98.6,0"_s
                                           << u"0098.600_F"_s << u"0098.600"_s << dark2 << none;
    QTest::newRow("C no sensor")           << u"C"_s << u""_s << none << u"4000,0"_s
                                           << u"Detect"_s << u"___O.L__"_s << dark2 << none;

    // Overload and replies that are no reading.
    QTest::newRow("DCV overload")          << u"DCV"_s << u"AUTO"_s << QStringList{u"DC_LAB1"_s} << u"+9.90000000E+37,+0.000000E+00\r"_s
                                           << u"Detect"_s << u"___O.L__"_s << u"1000_V"_s << QStringList{u"DC_LAB1"_s};
    QTest::newRow("one field, no comma")   << u"DCV"_s << u"AUTO"_s << none << u"+1.500000E+00\r"_s
                                           << u"01.50000_V"_s << u"01.50000"_s << u"__10_V"_s << none;
    QTest::newRow("three characters")      << u"DCV"_s << u"AUTO"_s << none << u"0.5"_s
                                           << u"0.500000_V"_s << u"0.500000"_s << u"___1_V"_s << none;
    QTest::newRow("spaces around")         << u"DCV"_s << u"1V"_s << none << u"  0.25 ,0  "_s
                                           << u"0.250000_V"_s << u"0.250000"_s << dark2 << none;
    QTest::newRow("letters")               << u"DCV"_s << u"AUTO"_s << none << u"abc,def\r"_s
                                           << QString() << u"_______"_s << dark2 << none;
    QTest::newRow("no function: reply")    << u""_s << u""_s << none << u"1.5,0\r"_s
                                           << u"1.5,0"_s << u"_______"_s << dark2 << none;
    QTest::newRow("no function, long")     << u""_s << u""_s << none << u"+1.500000E+00,+0.000000E+00\r"_s
                                           << u"Detect"_s << u"_______"_s << dark2 << none;
}

void TestReplyParser::display1()
{
    QFETCH(QString, mode);
    QFETCH(QString, range);
    QFETCH(QStringList, setup);
    QFETCH(QString, reply);
    QFETCH(QString, display1);
    QFETCH(QString, shown1);
    QFETCH(QString, shown2);
    QFETCH(QStringList, lamps);
    Parsed t(setup);
    t.f.state.MODE1 = mode;
    t.f.state.MODE1_RANGE = range;
    t.f.state.DISPLAY1 = reply;
    t.f.state.DISPLAY2 = u"before"_s;

    reading::READ_SHOW_PARSE(t.f.panel);

    QCOMPARE(t.f.state.DISPLAY1, display1);
    QCOMPARE(::shown1(t.f.display), shown1);
    QCOMPARE(::shown2(t.f.display), shown2);
    QCOMPARE(litLamps(t.f.display), lampSet(lamps));
    QVERIFY(t.f.state.READ_OK);
    QCOMPARE(t.f.state.LAST_REPLY, rt::trimSpaces(reply));
    QCOMPARE(t.f.state.DISPLAY2, t.f.state.DIS1_OL ? QString() : u"before"_s);
}

void TestReplyParser::shortAndEmptyReplies_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("last");      // LAST_REPLY before
    QTest::addColumn<bool>("display2On");
    QTest::addColumn<bool>("readOk");
    QTest::addColumn<QString>("display1");
    QTest::addColumn<QString>("display2");
    QTest::addColumn<QString>("lastAfter");

    QTest::newRow("two characters")          << u"12"_s << u"1,0"_s << false << false << u"0.000000"_s << u"kept"_s << u"12"_s;
    QTest::newRow("two, display 2 on")       << u"12"_s << QString() << true << false << u"0.000000"_s << u"0.00000"_s << u"12"_s;
    QTest::newRow("CR only")                 << u"\r"_s << QString() << false << false << u"0.000000"_s << u"kept"_s << u"\r"_s;
    QTest::newRow("spaces only: empty")      << u"    "_s << QString() << true << false << u"0.000000"_s << u"0.00000"_s << QString();
    QTest::newRow("empty, no last reply")    << QString() << QString() << false << false << u"0.000000"_s << u"kept"_s << QString();
    QTest::newRow("empty, last reply shown") << QString() << u"+2.0E+00,0\r"_s << false << true << u"02.00000_V"_s << u"kept"_s << u"+2.0E+00,0\r"_s;
    QTest::newRow("empty, last one short")   << QString() << u"1,"_s << false << false << u"0.000000"_s << u"kept"_s << u"1,"_s;
}

void TestReplyParser::shortAndEmptyReplies()
{
    QFETCH(QString, reply);
    QFETCH(QString, last);
    QFETCH(bool, display2On);
    QFETCH(bool, readOk);
    QFETCH(QString, display1);
    QFETCH(QString, display2);
    QFETCH(QString, lastAfter);
    Parsed t({});
    t.f.state.MODE1 = u"DCV"_s;
    t.f.state.MODE1_RANGE = u"10V"_s;
    t.f.state.MODE2_ON = display2On;
    t.f.state.READ_OK = !readOk;
    t.f.state.LAST_REPLY = last;
    t.f.state.DISPLAY1 = reply;
    t.f.state.DISPLAY2 = u"kept"_s;
    const quint64 before = t.f.display.revision();

    reading::READ_SHOW_PARSE(t.f.panel);

    QCOMPARE(t.f.state.READ_OK, readOk);
    QCOMPARE(t.f.state.DISPLAY1, display1);
    QCOMPARE(t.f.state.DISPLAY2, display2);
    QCOMPARE(t.f.state.LAST_REPLY, lastAfter);
    if (!readOk)
        QCOMPARE(t.f.display.revision(), before);  // nothing drawn
}

void TestReplyParser::overloadEmptiesDisplay2()
{
    // Display 2 measures too: its own reading follows after the overload
    // emptied DISPLAY2, so it is the one recorded.
    Parsed t({u"MODE2_ON"_s, u"AUTO_LAB2"_s});
    t.f.state.MODE1 = u"DCV"_s;
    t.f.state.MODE1_RANGE = u"1V"_s;
    t.f.state.MODE2 = u"HOLD"_s;  // nothing to interpret on display 2
    t.f.state.DISPLAY1 = u"5.5,+2.5E-01\r"_s;
    t.f.state.DISPLAY2 = u"0.25000_V"_s;
    reading::READ_SHOW_PARSE(t.f.panel);
    QVERIFY(t.f.state.DIS1_OL);
    QCOMPARE(shown1(t.f.display), u"_.__OL__"_s);
    QCOMPARE(t.f.state.DISPLAY1, u"5.500000_V"_s);
    QCOMPARE(t.f.state.DISPLAY2, QString());

    t.f.state.MODE2 = u"DCV"_s;
    t.f.state.DISPLAY1 = u"5.5,+2.5E-01\r"_s;
    reading::READ_SHOW_PARSE(t.f.panel);
    QCOMPARE(t.f.state.DISPLAY2, u"0.25000_V"_s);
}

void TestReplyParser::dbmAndDbTakeTheReply()
{
    // dBm alone ends the parse: no table, no length rule, no display 2.
    Parsed dbm({u"dBm_ON"_s, u"MODE2_ON"_s, u"AUTO_LAB2"_s});
    dbm.f.state.MODE1 = u"DCV"_s;
    dbm.f.state.MODE1_RANGE = u"AUTO"_s;
    dbm.f.state.MODE2 = u"DCV"_s;
    dbm.f.state.dBm_REF = u"0050"_s;
    dbm.f.state.DISPLAY1 = u"+1.000000E+01,+5.0E-02\r"_s;
    reading::READ_SHOW_PARSE(dbm.f.panel);
    QCOMPARE(dbm.f.state.DISPLAY1, u"0.70711_V"_s);
    QCOMPARE(dbm.f.state.DISPLAY2, u"10.0000_dBm"_s);
    QCOMPARE(shown2(dbm.f.display), u"______"_s);
    QVERIFY(dbm.f.state.READ_OK);

    // dBm with maximum/minimum goes on to display 2.
    Parsed mxmn({u"dBm_ON"_s, u"MXMN_ON"_s, u"MODE2_ON"_s, u"AUTO_LAB2"_s});
    mxmn.f.state.MODE2 = u"DCV"_s;
    mxmn.f.state.DISPLAY1 = u"+1.000000E+01,+5.0E-02\r"_s;
    reading::READ_SHOW_PARSE(mxmn.f.panel);
    QCOMPARE(mxmn.f.state.MODE1, u"dBm"_s);
    QCOMPARE(mxmn.f.state.DISPLAY1, u"10.0000_dBm"_s);
    QCOMPARE(mxmn.f.state.DISPLAY2, u"050.000_mV"_s);

    // dB takes both fields and ends the parse.
    Parsed db({u"dB_ON"_s, u"AUTO_LAB1"_s, u"MODE2_ON"_s});
    db.f.state.MODE1 = u"dB"_s;
    db.f.state.MODE2 = u"DCV"_s;
    db.f.state.DISPLAY1 = u"-3.5,+5.0E-02\r"_s;
    reading::READ_SHOW_PARSE(db.f.panel);
    QCOMPARE(db.f.state.DISPLAY1, u"-03.5000_dB"_s);
    QCOMPARE(db.f.state.DISPLAY2, u"050.000_mV"_s);
    QVERIFY(db.f.state.dB_DISP1);
}

void TestReplyParser::rangeWordRedrawnWhereItDiffers()
{
    Parsed t({});
    t.f.state.MODE1 = u"DCV"_s;
    t.f.state.MODE1_RANGE = u"AUTO"_s;
    auto parse = [&](const QString &reply) {
        t.f.state.DISPLAY1 = reply;
        reading::READ_SHOW_PARSE(t.f.panel);
        return shown2(t.f.display);
    };
    QCOMPARE(parse(u"0.05,0"_s), u"_100[M2]V"_s);
    QCOMPARE(parse(u"0.06,0"_s), u"_100[M2]V"_s);

    t.f.display.setLit(Points::DROP_IMG2, 2, true);  // a point left over
    QCOMPARE(parse(u"0.07,0"_s), u"_100[M2]V"_s);
    t.f.display.draw(Positions::DIS2_IMG, 0, u"9");  // a glyph left over
    QCOMPARE(parse(u"0.08,0"_s), u"_100[M2]V"_s);
    t.f.display.draw(Positions::DIS2_IMG, 4, u"U2");
    QCOMPARE(parse(u"0.09,0"_s), u"_100[M2]V"_s);
    QCOMPARE(parse(u"0.5,0"_s), u"___1_V"_s);
}

QTEST_GUILESS_MAIN(TestReplyParser)
#include "tst_reply_parser.moc"
