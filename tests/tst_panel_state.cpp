// The panel state as the program starts, and the closed vocabularies of
// function codes and range labels that every procedure compares against.

#include "core/panel_state.h"

#include <QtTest>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;
using shell::PanelState;

namespace {

QStringList texts(std::span<const std::u16string_view> table)
{
    QStringList list;
    for (std::u16string_view entry : table)
        list << QStringView(entry).toString();
    return list;
}

} // namespace

class TestPanelState : public QObject
{
    Q_OBJECT

private slots:
    void flagsStartFalse();
    void valuesAtStart();
    void functionCodes_data();
    void functionCodes();
    void rangeLabels_data();
    void rangeLabels();
    void rangesOfFunctions_data();
    void rangesOfFunctions();
    void statisticsAreDisplay2Views();
};

void TestPanelState::flagsStartFalse()
{
    // A flag that started true would light a menu, pause the runs or fake a
    // link before anything had happened.
    struct Flag { const char *name; bool PanelState::*member; };
    const Flag flags[] = {
        {"REMOTE_OK", &PanelState::REMOTE_OK},     {"PORT_SET", &PanelState::PORT_SET},
        {"MODE2_ON", &PanelState::MODE2_ON},       {"READ_OK", &PanelState::READ_OK},
        {"NAME_DONE", &PanelState::NAME_DONE},     {"DIS1_OL", &PanelState::DIS1_OL},
        {"READ_PAUSED", &PanelState::READ_PAUSED}, {"AUTO_RANGE_FLAG", &PanelState::AUTO_RANGE_FLAG},
        {"ACV_FLAG", &PanelState::ACV_FLAG},       {"ND2_VIEW", &PanelState::ND2_VIEW},
        {"BLINK_DISP2", &PanelState::BLINK_DISP2}, {"MATH_SET", &PanelState::MATH_SET},
        {"MATH_ON", &PanelState::MATH_ON},         {"MATH_DONE", &PanelState::MATH_DONE},
        {"COMP_SET", &PanelState::COMP_SET},       {"COMP_ON", &PanelState::COMP_ON},
        {"COMP_HIGH", &PanelState::COMP_HIGH},     {"FILT_SET", &PanelState::FILT_SET},
        {"FILT_MOVING", &PanelState::FILT_MOVING}, {"SENSOR_SET", &PanelState::SENSOR_SET},
        {"HOLD_ON", &PanelState::HOLD_ON},         {"REL_ON", &PanelState::REL_ON},
        {"REL_SET", &PanelState::REL_SET},         {"MXMN_ON", &PanelState::MXMN_ON},
        {"MIN_SEL", &PanelState::MIN_SEL},         {"dB_ON", &PanelState::dB_ON},
        {"dB_DISP1", &PanelState::dB_DISP1},       {"dB_WITH_dBm", &PanelState::dB_WITH_dBm},
        {"dBm_ON", &PanelState::dBm_ON},           {"AVER_RUNNING", &PanelState::AVER_RUNNING},
    };
    const PanelState state;
    for (const Flag &flag : flags)
        QVERIFY2(!(state.*flag.member), flag.name);
}

void TestPanelState::valuesAtStart()
{
    const PanelState state;
    // The few items that start with a value of their own.
    QCOMPARE(state.BRAND_CODE, u"VX"_s);
    QCOMPARE(state.LOG_NAME, u"DMM"_s);
    QCOMPARE(state.SENSOR_TYPE, u"TCO"_s);
    QCOMPARE(state.RTD_WIRES, qint16(2));
    // No function, no range, no reading, no rate, no run.
    for (const QString *text : {&state.MODE1, &state.MODE2, &state.MODE1_RANGE, &state.MODE2_RANGE,
                                &state.DISPLAY1, &state.DISPLAY2, &state.SPEED_CODE,
                                &state.FW_VERSION, &state.LAST_REPLY})
        QVERIFY(text->isEmpty());
    QCOMPARE(state.TEST_TIME, 0.0);
    QCOMPARE(state.SPEED_MS, 0);
    QCOMPARE(state.RECORD_COUNT, 0);
    QCOMPARE(state.TIMER1_TICKS, qint16(0));
    QCOMPARE(state.SETTING.PORT, qint16(0));
}

void TestPanelState::functionCodes_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("display1");
    QTest::addColumn<bool>("display2");
    QTest::addColumn<bool>("measuredOn2");

    QTest::newRow("ACV everywhere")       << u"ACV"_s     << true  << true  << true;
    QTest::newRow("Hz everywhere")        << u"Hz"_s      << true  << true  << true;
    QTest::newRow("P everywhere")         << u"P"_s       << true  << true  << true;
    QTest::newRow("4W everywhere")        << u"4W"_s      << true  << true  << true;
    QTest::newRow("C display 1 only")     << u"C"_s       << true  << false << false;
    QTest::newRow("F display 1 only")     << u"F"_s       << true  << false << false;
    QTest::newRow("DIODE display 1 only") << u"DIODE"_s   << true  << false << false;
    QTest::newRow("CONTINU display 1")    << u"CONTINU"_s << true  << false << false;
    QTest::newRow("dB display 1 only")    << u"dB"_s      << true  << false << false;
    QTest::newRow("dBm a view on 2")      << u"dBm"_s     << true  << true  << false;
    QTest::newRow("HOLD view")            << u"HOLD"_s    << false << true  << false;
    QTest::newRow("COMP view")            << u"COMP"_s    << false << true  << false;
    QTest::newRow("MX+B view")            << u"MX+B"_s    << false << true  << false;
    QTest::newRow("1/X view")             << u"1/X"_s     << false << true  << false;
    QTest::newRow("REF% view")            << u"REF%"_s    << false << true  << false;
    QTest::newRow("COUNT view")           << u"COUNT"_s   << false << true  << false;
    QTest::newRow("STDEV view")           << u"STDEV"_s   << false << true  << false;
    QTest::newRow("lower-case acv")       << u"acv"_s     << false << false << false;
    QTest::newRow("lower-case hz")        << u"hz"_s      << false << false << false;
    QTest::newRow("DBM letter case")      << u"DBM"_s     << false << false << false;
    QTest::newRow("trailing CR")          << u"DCV\r"_s   << false << false << false;
    QTest::newRow("trailing space")       << u"DCV "_s    << false << false << false;
    QTest::newRow("prefix of a code")     << u"CONT"_s    << false << false << false;
    QTest::newRow("empty means none")     << QString()    << false << false << false;
}

void TestPanelState::functionCodes()
{
    QFETCH(QString, code);
    QFETCH(bool, display1);
    QFETCH(bool, display2);
    QFETCH(bool, measuredOn2);
    QCOMPARE(shell::isFunctionCode1(code), display1);
    QCOMPARE(shell::isFunctionCode2(code), display2);
    QCOMPARE(shell::isMeasureCode2(code), measuredOn2);
}

void TestPanelState::rangeLabels_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("known");

    QTest::newRow("AUTO")               << u"AUTO"_s  << true;
    QTest::newRow("auto, letter case")  << u"auto"_s  << false;
    QTest::newRow("100mV")              << u"100mV"_s << true;
    QTest::newRow("750V, AC top")       << u"750V"_s  << true;
    QTest::newRow("1000V, DC top")      << u"1000V"_s << true;
    QTest::newRow("100uA")              << u"100uA"_s << true;
    QTest::newRow("10A")                << u"10A"_s   << true;
    QTest::newRow("100 ohm, no unit")   << u"100"_s   << true;
    QTest::newRow("1K")                 << u"1K"_s    << true;
    QTest::newRow("1k, letter case")    << u"1k"_s    << false;
    QTest::newRow("100M ohm")           << u"100M"_s  << true;
    QTest::newRow("100MV is not 100mV") << u"100MV"_s << false;
    QTest::newRow("1000 ohm unknown")   << u"1000"_s  << false;
    QTest::newRow("spaced 100 mV")      << u"100 mV"_s << false;
    QTest::newRow("trailing CR")        << u"10V\r"_s << false;
    QTest::newRow("empty: no range")    << QString()  << false;
}

void TestPanelState::rangeLabels()
{
    QFETCH(QString, label);
    QFETCH(bool, known);
    QCOMPARE(shell::isRangeLabel(label), known);
}

void TestPanelState::rangesOfFunctions_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QStringList>("labels");

    const QStringList current = {u"100uA"_s, u"1mA"_s, u"10mA"_s, u"100mA"_s, u"1A"_s, u"10A"_s};
    const QStringList ohms = {u"100"_s, u"1K"_s, u"10K"_s, u"100K"_s, u"1M"_s, u"10M"_s, u"100M"_s};
    QTest::newRow("ACV tops at 750V")
        << u"ACV"_s << QStringList{u"100mV"_s, u"1V"_s, u"10V"_s, u"100V"_s, u"750V"_s};
    QTest::newRow("DCV tops at 1000V")
        << u"DCV"_s << QStringList{u"100mV"_s, u"1V"_s, u"10V"_s, u"100V"_s, u"1000V"_s};
    QTest::newRow("ACI") << u"ACI"_s << current;
    QTest::newRow("DCI") << u"DCI"_s << current;
    QTest::newRow("2W")  << u"2W"_s << ohms;
    QTest::newRow("4W")  << u"4W"_s << ohms;
    QTest::newRow("temperature has none") << u"C"_s << QStringList();
    QTest::newRow("frequency has none")   << u"Hz"_s << QStringList();
    QTest::newRow("dB has none")          << u"dB"_s << QStringList();
    QTest::newRow("lower-case acv")       << u"acv"_s << QStringList();
    QTest::newRow("no function")          << QString() << QStringList();
}

void TestPanelState::rangesOfFunctions()
{
    QFETCH(QString, function);
    QFETCH(QStringList, labels);
    const QStringList got = texts(shell::rangeLabelsOf(function));
    QCOMPARE(got, labels);
    for (const QString &label : got)
        QVERIFY2(shell::isRangeLabel(label), qPrintable(label));
}

void TestPanelState::statisticsAreDisplay2Views()
{
    // Timer2 stores the statistic by its index; each must be a code that
    // display 2 knows.
    QCOMPARE(texts(shell::kStatisticCodes),
             (QStringList{u"COUNT"_s, u"MIN"_s, u"MAX"_s, u"AVG"_s, u"STDEV"_s}));
    for (std::u16string_view code : shell::kStatisticCodes) {
        QVERIFY(shell::isFunctionCode2(QStringView(code)));
        QVERIFY(!shell::isMeasureCode2(QStringView(code)));
    }
}

QTEST_APPLESS_MAIN(TestPanelState)
#include "tst_panel_state.moc"
