// Display 2's reading: each of its functions in automatic range (by the
// AUTO lamp) and in fixed range (by the lit point, prefix lamp or range
// label), the counts up to 199,999 of the current and resistance rows, the
// text length rule, and a second field that is missing or no number.

#include "reading/reply_parser.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"
#include "support/reading_setup.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace display;

class TestDisplay2Reading : public QObject
{
    Q_OBJECT

private slots:
    void display2_data();
    void display2();
    void lengthRule_data();
    void lengthRule();
    void currentRowsFollowEachOther();
};

namespace {

// Display 1 in a fixed range, so that only display 2 changes its lamps.
void parse(PanelFixture &f, const QString &field2)
{
    f.state.MODE1 = u"DCV"_s;
    f.state.MODE1_RANGE = u"10V"_s;
    f.state.DISPLAY1 = u"+1.000000E+00,"_s + field2 + u'\r';
    reading::READ_SHOW_PARSE(f.panel);
}

} // namespace

void TestDisplay2Reading::display2_data()
{
    QTest::addColumn<QString>("mode2");
    QTest::addColumn<QString>("range2");    // MODE2_RANGE
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("field");     // the display-2 field
    QTest::addColumn<QString>("display2");  // DISPLAY2 out
    QTest::addColumn<QString>("shown2");
    QTest::addColumn<QStringList>("lamps"); // every display-2 lamp lit afterwards

    const QStringList autoLamp{u"AUTO_LAB2"_s};
    auto with = [](QStringList a, const QStringList &b) { return a + b; };

    // Voltage, automatic: steps at 1.2 x 10^k.
    QTest::newRow("V auto 50 mV")      << u"DCV"_s << u"AUTO"_s << autoLamp << u"+5.000000E-02"_s
                                       << u"050.000_mV"_s << u"050.000"_s << with(autoLamp, {u"T_min_LAB2"_s});
    QTest::newRow("V auto -0.5")       << u"ACV"_s << u"AUTO"_s << with(autoLamp, {u"T_min_LAB2"_s}) << u"-0.5"_s
                                       << u"-0.50000_V"_s << u"[SUB].50000"_s << autoLamp;
    QTest::newRow("V auto 0.12")       << u"DCV"_s << u"AUTO"_s << autoLamp << u"0.12"_s
                                       << u"0.12000_V"_s << u"0.12000"_s << autoLamp;
    QTest::newRow("V auto 11.9999")    << u"DCV"_s << u"AUTO"_s << autoLamp << u"11.9999"_s
                                       << u"11.9999_V"_s << u"11.9999"_s << autoLamp;
    QTest::newRow("V auto 750")        << u"ACV"_s << u"AUTO"_s << autoLamp << u"750"_s
                                       << u"0750.00_V"_s << u"0750.00"_s << autoLamp;
    // Voltage, fixed: the lit point decides, milli by its lamp.
    QTest::newRow("V point 3, AC")     << u"ACV"_s << u"750V"_s << QStringList{u"DROP_IMG2(3)"_s} << u"750"_s
                                       << u"0750.00_V"_s << u"0750.00"_s << QStringList{};
    QTest::newRow("V point 2, milli")  << u"DCV"_s << u"100mV"_s << QStringList{u"DROP_IMG2(2)"_s, u"T_min_LAB2"_s} << u"-0.0123"_s
                                       << u"-012.300_mV"_s << u"[SUB]12.300"_s << QStringList{u"T_min_LAB2"_s};
    QTest::newRow("V point 2, volts")  << u"DCV"_s << u"100V"_s << QStringList{u"DROP_IMG2(2)"_s} << u"12.3"_s
                                       << u"012.300_V"_s << u"012.300"_s << QStringList{};
    QTest::newRow("V point 0")         << u"DCV"_s << u"1V"_s << QStringList{u"DROP_IMG2(0)"_s} << u"0.5"_s
                                       << u"0.50000_V"_s << u"0.50000"_s << QStringList{};
    QTest::newRow("V no point: kept")  << u"DCV"_s << u"10V"_s << QStringList{} << u"5"_s
                                       << u"before"_s << u"______"_s << QStringList{};

    // Current, automatic: steps at 1.8 x 10^k, counts up to 199,999.
    QTest::newRow("I auto 100 uA")     << u"DCI"_s << u"AUTO"_s << with(autoLamp, {u"T_min_LAB2"_s}) << u"0.0001"_s
                                       << u"100.000_uA"_s << u"100.000"_s << with(autoLamp, {u"T_u_LAB2"_s});
    QTest::newRow("I auto 150 uA")     << u"DCI"_s << u"AUTO"_s << autoLamp << u"0.00015"_s
                                       << u"150.000_uA"_s << u"150.000"_s << with(autoLamp, {u"T_u_LAB2"_s});
    QTest::newRow("I auto -179.999uA") << u"DCI"_s << u"AUTO"_s << autoLamp << u"-0.000179999"_s
                                       << u"-179.999_uA"_s << u"[SUB1]79.999"_s << with(autoLamp, {u"T_u_LAB2"_s});
    QTest::newRow("I auto 1.5 mA")     << u"ACI"_s << u"AUTO"_s << with(autoLamp, {u"T_u_LAB2"_s}) << u"0.0015"_s
                                       << u"1.50000_mA"_s << u"1.50000"_s << with(autoLamp, {u"T_min_LAB2"_s});
    QTest::newRow("I auto 0.18 A")     << u"DCI"_s << u"AUTO"_s << with(autoLamp, {u"T_min_LAB2"_s}) << u"0.18"_s
                                       << u"00.1800_A"_s << u"00.1800"_s << autoLamp;
    // Current, fixed: by MODE2_RANGE, with the 120,000 limit.
    QTest::newRow("I fixed 10A")       << u"DCI"_s << u"10A"_s << QStringList{} << u"2.5"_s
                                       << u"02.5000_A"_s << u"02.5000"_s << QStringList{};
    QTest::newRow("I fixed 100uA, OL") << u"DCI"_s << u"100uA"_s << QStringList{} << u"0.00015"_s
                                       << u"150.000_uA"_s << u"__O.L__"_s << QStringList{};
    QTest::newRow("I fixed unknown")   << u"DCI"_s << u"3A"_s << QStringList{} << u"2.5"_s
                                       << u"before"_s << u"______"_s << QStringList{};

    // Resistance, automatic: steps at 1.9 x 10^k; the 1 kOhm decade in ohms.
    QTest::newRow("R auto 500")        << u"2W"_s << u"AUTO"_s << with(autoLamp, {u"T_K_LAB2"_s}) << u"500"_s
                                       << u"0500.00_Ohm"_s << u"0500.00"_s << autoLamp;
    QTest::newRow("R auto 1500")       << u"2W"_s << u"AUTO"_s << autoLamp << u"1500"_s
                                       << u"0001.50_kOhm"_s << u"1500.00"_s << autoLamp;
    QTest::newRow("R auto 150 ohm")    << u"4W"_s << u"AUTO"_s << autoLamp << u"150"_s
                                       << u"150.000_Ohm"_s << u"150.000"_s << autoLamp;
    QTest::newRow("R auto 15 kOhm")    << u"4W"_s << u"AUTO"_s << with(autoLamp, {u"T_M_LAB2"_s}) << u"15000"_s
                                       << u"15.0000_kOhm"_s << u"15.0000"_s << with(autoLamp, {u"T_K_LAB2"_s});
    QTest::newRow("R auto 1.5 MOhm")   << u"2W"_s << u"AUTO"_s << autoLamp << u"1.5E+06"_s
                                       << u"1.50000_MOhm"_s << u"1.50000"_s << with(autoLamp, {u"T_M_LAB2"_s});
    QTest::newRow("R auto 50 MOhm")    << u"2W"_s << u"AUTO"_s << autoLamp << u"5E+07"_s
                                       << u"050.000_MOhm"_s << u"050.000"_s << with(autoLamp, {u"T_M_LAB2"_s});
    // Resistance, fixed: point and prefix lamp decide.
    QTest::newRow("R point 2, plain")  << u"2W"_s << u"100"_s << QStringList{u"DROP_IMG2(2)"_s} << u"99.5"_s
                                       << u"099.500_Ohm"_s << u"099.500"_s << QStringList{};
    QTest::newRow("R point 2, kilo")   << u"2W"_s << u"100K"_s << QStringList{u"DROP_IMG2(2)"_s, u"T_K_LAB2"_s} << u"99500"_s
                                       << u"099.500_kOhm"_s << u"099.500"_s << QStringList{u"T_K_LAB2"_s};
    QTest::newRow("R point 2, mega")   << u"2W"_s << u"100M"_s << QStringList{u"DROP_IMG2(2)"_s, u"T_M_LAB2"_s} << u"9.95E+07"_s
                                       << u"099.500_MOhm"_s << u"099.500"_s << QStringList{u"T_M_LAB2"_s};
    QTest::newRow("R point 1, mega")   << u"4W"_s << u"10M"_s << QStringList{u"DROP_IMG2(1)"_s} << u"5E+06"_s
                                       << u"05.0000_MOhm"_s << u"05.0000"_s << QStringList{};
    QTest::newRow("R point 0")         << u"4W"_s << u"1M"_s << QStringList{u"DROP_IMG2(0)"_s} << u"5E+05"_s
                                       << u"0.50000_MOhm"_s << u"0.50000"_s << QStringList{};
    QTest::newRow("R point 3, OL")      << u"2W"_s << u"1K"_s << QStringList{u"DROP_IMG2(3)"_s} << u"1500"_s
                                       << u"1500.00_Ohm"_s << u"__OL.__"_s << QStringList{};

    // Frequency and period: text here, drawing by the value scaling.
    QTest::newRow("Hz zero")           << u"Hz"_s << u"AUTO"_s << autoLamp << u"0"_s
                                       << u"0000.00_Hz"_s << u"0.00000"_s << with(autoLamp, {u"T_Hz_LAB2"_s});
    QTest::newRow("Hz 1500")           << u"Hz"_s << u""_s << QStringList{} << u"1500"_s
                                       << u"1500.00_Hz"_s << u"01.5000"_s << QStringList{u"T_Hz_LAB2"_s, u"T_K_LAB2"_s};
    QTest::newRow("P 0.5 ms")          << u"P"_s << u""_s << QStringList{} << u"0.0005"_s
                                       << u"0.50000_ms"_s << u"0.50000"_s << QStringList{u"T_S_LAB2"_s, u"T_min_LAB2"_s};

    // Not interpreted here, and second fields that are no number.
    QTest::newRow("HOLD: kept")        << u"HOLD"_s << u"AUTO"_s << autoLamp << u"5"_s
                                       << u"before"_s << u"______"_s << autoLamp;
    QTest::newRow("letters: empty")    << u"DCV"_s << u"AUTO"_s << autoLamp << u"volts"_s
                                       << QString() << u"______"_s << autoLamp;
    QTest::newRow("second comma")      << u"2W"_s << u"AUTO"_s << autoLamp << u"5,6"_s
                                       << QString() << u"______"_s << autoLamp;
}

void TestDisplay2Reading::display2()
{
    QFETCH(QString, mode2);
    QFETCH(QString, range2);
    QFETCH(QStringList, setup);
    QFETCH(QString, field);
    QFETCH(QString, display2);
    QFETCH(QString, shown2);
    QFETCH(QStringList, lamps);
    PanelFixture f;
    darken(f.display);
    QVERIFY(setUp(f.panel, setup + QStringList{u"MODE2_ON"_s}));
    f.state.MODE2 = mode2;
    f.state.MODE2_RANGE = range2;
    f.state.DISPLAY2 = u"before"_s;

    parse(f, field);

    QCOMPARE(f.state.DISPLAY2, display2);
    QCOMPARE(::shown2(f.display), shown2);
    QSet<QString> lit2;
    for (const QString &lamp : litLamps(f.display))
        if (lamp.endsWith(u"LAB2"))
            lit2.insert(lamp);
    QCOMPARE(lit2, lampSet(lamps));
    QCOMPARE(f.state.DISPLAY1, u"01.00000_V"_s);  // display 1 as always
}

void TestDisplay2Reading::lengthRule_data()
{
    QTest::addColumn<bool>("display2On");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("13 characters stay") << false << u"1234567890123"_s << u"1234567890123"_s;
    QTest::newRow("14 become Detect")   << false << u"12345678901234"_s << u"Detect"_s;
    QTest::newRow("view code, long")    << true << u"12345678901234"_s << u"Detect"_s;
}

void TestDisplay2Reading::lengthRule()
{
    QFETCH(bool, display2On);
    QFETCH(QString, before);
    QFETCH(QString, after);
    PanelFixture f;
    f.state.MODE2_ON = display2On;
    f.state.MODE2 = u"COUNT"_s;
    f.state.DISPLAY2 = before;
    parse(f, u"1"_s);
    QCOMPARE(f.state.DISPLAY2, after);
}

void TestDisplay2Reading::currentRowsFollowEachOther()
{
    // Each reading sets both prefix lamps of its row: micro gives way to
    // milli and back.
    PanelFixture f;
    darken(f.display);
    QVERIFY(setUp(f.panel, {u"MODE2_ON"_s, u"AUTO_LAB2"_s}));
    f.state.MODE2 = u"DCI"_s;
    const struct { const char16_t *field, *text; bool micro, milli; } steps[] = {
        {u"0.0001", u"100.000_uA", true, false},
        {u"0.001", u"1.00000_mA", false, true},
        {u"0.005", u"05.0000_mA", false, true},
        {u"0.00005", u"050.000_uA", true, false},
        {u"+9.90000000E+37", u"Detect", false, false},
    };
    for (const auto &step : steps) {
        parse(f, QString::fromUtf16(step.field));
        QCOMPARE(f.state.DISPLAY2, QString::fromUtf16(step.text));
        QCOMPARE(f.display.isLit(Lamp::T_u_LAB2), step.micro);
        QCOMPARE(f.display.isLit(Lamp::T_min_LAB2), step.milli);
    }
    QCOMPARE(shown2(f.display), u"__.OL__"_s);  // the point of "00.0000" under "OL"
}

QTEST_GUILESS_MAIN(TestDisplay2Reading)
#include "tst_display2_reading.moc"
