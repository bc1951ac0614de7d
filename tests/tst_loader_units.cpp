// The loader's reading texts as numbers, and its axis formats: GRID_NUM_C,
// the unit families, the prefix bounds, the scaled and first formats with
// their exact texts, and what a tick label shows in each kind of format.

#include "loader/axis_units.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using loader::Prefix;
using loader::UnitFamily;

namespace {
// "no format" in a table column of texts
const QString kNone = u"<none>"_s;

QString orNone(const std::optional<QString> &format)
{
    return format.value_or(kNone);
}
} // namespace

class TestLoaderUnits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gridNumber_data();
    void gridNumber();
    void prefixBySize_data();
    void prefixBySize();
    void family_data();
    void family();
    void scaledFormats_data();
    void scaledFormats();
    void firstFormat_data();
    void firstFormat();
    void axisLabel_data();
    void axisLabel();
};

void TestLoaderUnits::gridNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("textAfter");

    QTest::newRow("-1.5_mV") << u"-1.5_mV"_s << -0.0015 << u"-1.5_mV"_s;
    QTest::newRow("1.5_kOhm") << u"1.5_kOhm"_s << 1500.0 << u"1.5_kOhm"_s;
    QTest::newRow("1.5_Ohm: the m of Ohm is no prefix") << u"1.5_Ohm"_s << 1.5 << u"1.5_Ohm"_s;
    QTest::newRow("1.5_MOhm") << u"1.5_MOhm"_s << 1500000.0 << u"1.5_MOhm"_s;
    QTest::newRow("12_uA") << u"12_uA"_s << 0.000012 << u"12_uA"_s;
    QTest::newRow("2_MHz") << u"2_MHz"_s << 2000000.0 << u"2_MHz"_s;
    QTest::newRow("25 %: cut before the %") << u"25 %"_s << 25.0 << u"25 "_s;
    QTest::newRow("0.5_%") << u"0.5_%"_s << 0.5 << u"0.5_"_s;
    QTest::newRow("OL") << u"OL"_s << 0.0 << u"OL"_s;
    QTest::newRow("OPEN") << u"OPEN"_s << 0.0 << u"OPEN"_s;
    QTest::newRow("-10_dBm: the m of dBm counts") << u"-10_dBm"_s << -0.01 << u"-10_dBm"_s;
    QTest::newRow("-3_dB") << u"-3_dB"_s << -3.0 << u"-3_dB"_s;
    QTest::newRow("59.999_Hz") << u"59.999_Hz"_s << 59.999 << u"59.999_Hz"_s;
    QTest::newRow("2.5_ms") << u"2.5_ms"_s << 0.0025 << u"2.5_ms"_s;
    QTest::newRow("4_Ms") << u"4_Ms"_s << 4000000.0 << u"4_Ms"_s;
    QTest::newRow("exponent form") << u"+1.000000E+01_V"_s << 10.0 << u"+1.000000E+01_V"_s;
    QTest::newRow("padded as in a field") << u"      1.23_kOhm"_s << 1230.0 << u"      1.23_kOhm"_s;
    QTest::newRow("U+3000 fill") << u"\u3000"_s << 0.0 << u"\u3000"_s;
    QTest::newRow("empty") << QString() << 0.0 << QString();
}

void TestLoaderUnits::gridNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(QString, textAfter);
    QStringView view(text);
    QCOMPARE(loader::GRID_NUM_C(view), value);
    QCOMPARE(view.toString(), textAfter);
}

void TestLoaderUnits::prefixBySize_data()
{
    QTest::addColumn<float>("largest");
    QTest::addColumn<Prefix>("prefix");
    QTest::newRow("all values 0") << 0.0F << Prefix::Micro;
    QTest::newRow("0.0005") << 0.0005F << Prefix::Micro;
    QTest::newRow("0.002") << 0.002F << Prefix::Milli;
    QTest::newRow("1 is not above 1") << 1.0F << Prefix::Milli;
    QTest::newRow("1.5") << 1.5F << Prefix::None;
    QTest::newRow("1000") << 1000.0F << Prefix::None;
    QTest::newRow("1000.5") << 1000.5F << Prefix::Kilo;
    QTest::newRow("1000000") << 1000000.0F << Prefix::Kilo;
    QTest::newRow("2000000") << 2000000.0F << Prefix::Mega;
}

void TestLoaderUnits::prefixBySize()
{
    QFETCH(float, largest);
    QFETCH(Prefix, prefix);
    QCOMPARE(loader::prefixBySize(largest), prefix);
}

void TestLoaderUnits::family_data()
{
    QTest::addColumn<int>("display");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("lastMode1");
    QTest::addColumn<UnitFamily>("family");

    QTest::newRow("DCV on display 1") << 1 << u"DCV"_s << QString() << UnitFamily::V;
    QTest::newRow("Diode on display 2") << 2 << u"Diode"_s << QString() << UnitFamily::V;
    QTest::newRow("ACDCI") << 1 << u"ACDCI"_s << QString() << UnitFamily::A;
    QTest::newRow("CONTINU") << 2 << u"CONTINU"_s << QString() << UnitFamily::Ohm;
    QTest::newRow("P") << 1 << u"P"_s << QString() << UnitFamily::s;
    QTest::newRow("C") << 2 << u"C"_s << QString() << UnitFamily::C;
    QTest::newRow("dB on display 1") << 1 << u"dB"_s << QString() << UnitFamily::dB;
    QTest::newRow("dB on display 2") << 2 << u"dB"_s << QString() << UnitFamily::None;
    QTest::newRow("dBm on display 1") << 1 << u"dBm"_s << QString() << UnitFamily::None;
    QTest::newRow("dBm on display 2") << 2 << u"dBm"_s << QString() << UnitFamily::V;
    QTest::newRow("HOLD on display 1") << 1 << u"HOLD"_s << QString() << UnitFamily::None;
    QTest::newRow("HOLD on display 2") << 2 << u"HOLD"_s << QString() << UnitFamily::Percent;
    QTest::newRow("REL on display 1") << 1 << u"REL"_s << u"DCV"_s << UnitFamily::None;
    QTest::newRow("REL with Mode 1 DCV") << 2 << u"REL"_s << u"DCV"_s << UnitFamily::V;
    QTest::newRow("REL with Mode 1 Diode") << 2 << u"REL"_s << u"Diode"_s << UnitFamily::None;
    QTest::newRow("MX+B with Mode 1 P") << 2 << u"MX+B"_s << u"P"_s << UnitFamily::s;
    QTest::newRow("COMP with Mode 1 4W") << 2 << u"COMP"_s << u"4W"_s << UnitFamily::Ohm;
    QTest::newRow("MAX with Mode 1 dBm") << 2 << u"MAX"_s << u"dBm"_s << UnitFamily::None;
    QTest::newRow("DIODE") << 1 << u"DIODE"_s << QString() << UnitFamily::None;
    QTest::newRow("dcv") << 2 << u"dcv"_s << QString() << UnitFamily::None;
    QTest::newRow("COUNT") << 2 << u"COUNT"_s << u"DCV"_s << UnitFamily::None;
    QTest::newRow("empty") << 2 << QString() << u"DCV"_s << UnitFamily::None;
}

void TestLoaderUnits::family()
{
    QFETCH(int, display);
    QFETCH(QString, function);
    QFETCH(QString, lastMode1);
    QFETCH(UnitFamily, family);
    QCOMPARE(loader::displayFamily(display, function, lastMode1), family);
}

void TestLoaderUnits::scaledFormats_data()
{
    QTest::addColumn<UnitFamily>("family");
    QTest::addColumn<QStringList>("formats");  // M, k, none, m, u

    QTest::newRow("V") << UnitFamily::V << QStringList{
        uR"(*0.000001" MV")"_s, uR"(*0.001" kV")"_s, uR"(*1" V")"_s, uR"(*1000" mV")"_s, uR"(*1000000" uV")"_s};
    QTest::newRow("A") << UnitFamily::A << QStringList{
        uR"(*0.000001" MA")"_s, uR"(*0.001" kA")"_s, uR"(*1" A")"_s, uR"(*1000" mA")"_s, uR"(*1000000" uA")"_s};
    QTest::newRow("Ohm") << UnitFamily::Ohm << QStringList{
        uR"(*0.000001" MOhm")"_s, uR"(*0.001" kOhm")"_s, uR"(*1" Ohm")"_s, uR"(*1000" mOhm")"_s,
        uR"(*1000000" uOhm")"_s};
    QTest::newRow("Hz") << UnitFamily::Hz << QStringList{
        uR"(*0.000001" MHz")"_s, uR"(*0.001" kHz")"_s, uR"(*1" Hz")"_s, uR"(*1000" mHz")"_s,
        uR"(*1000000" uHz")"_s};
    QTest::newRow("s") << UnitFamily::s << QStringList{
        uR"(*0.000001" Ms")"_s, uR"(*0.001" ks")"_s, uR"(*1" s")"_s, uR"(*1000" ms")"_s, uR"(*1000000" us")"_s};
    QTest::newRow("F") << UnitFamily::F << QStringList{
        uR"(*0.000001" MF")"_s, uR"(*0.001" kF")"_s, uR"(*1" F")"_s, uR"(*1000" mF")"_s, uR"(*1000000" uF")"_s};
    QTest::newRow("C") << UnitFamily::C << QStringList{
        uR"(*0.000001" MC")"_s, uR"(*0.001" kC")"_s, uR"(*1" C")"_s, uR"(*1000" mC")"_s, uR"(*1000000" uC")"_s};
    QTest::newRow("dB") << UnitFamily::dB << QStringList{
        uR"(*0.000001" MdB")"_s, uR"(*0.001" kdB")"_s, uR"(*1" dB")"_s, uR"(*1000" mdB")"_s,
        uR"(*1000000" udB")"_s};
    QTest::newRow("%") << UnitFamily::Percent << QStringList{
        uR"(*0.000001" M%")"_s, uR"(*0.001" k%")"_s, uR"(*1" %")"_s, uR"(*1000" m%")"_s, uR"(*1000000" u%")"_s};
    QTest::newRow("none") << UnitFamily::None << QStringList{kNone, kNone, kNone, kNone, kNone};
}

void TestLoaderUnits::scaledFormats()
{
    QFETCH(UnitFamily, family);
    QFETCH(QStringList, formats);
    const Prefix prefixes[] = {Prefix::Mega, Prefix::Kilo, Prefix::None, Prefix::Milli, Prefix::Micro};
    QStringList got;
    for (Prefix prefix : prefixes)
        got.append(orNone(loader::scaledFormat(family, prefix)));
    QCOMPARE(got, formats);
}

void TestLoaderUnits::firstFormat_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("captionMode1");
    // display 1 whole file, display 1 range, display 2 whole file, display 2 range
    QTest::addColumn<QStringList>("formats");

    const QString mV = uR"("mV")"_s;
    const QString mA = uR"("mA")"_s;
    const QString us = uR"("us")"_s;
    const QString ohm = uR"(" Ohm")"_s;
    QTest::newRow("ACV") << u"ACV"_s << QString() << QStringList{mV, mV, mV, mV};
    QTest::newRow("Diode") << u"Diode"_s << QString() << QStringList{mV, mV, mV, mV};
    QTest::newRow("dBm") << u"dBm"_s << QString() << QStringList{mV, mV, kNone, kNone};
    QTest::newRow("DCI") << u"DCI"_s << QString() << QStringList{mA, mA, mA, mA};
    QTest::newRow("C: the text itself") << u"C"_s << QString() << QStringList{u"C"_s, u"C"_s, u"C"_s, u"C"_s};
    QTest::newRow("F") << u"F"_s << QString() << QStringList{u"F"_s, u"F"_s, u"F"_s, u"F"_s};
    QTest::newRow("P") << u"P"_s << QString() << QStringList{us, us, uR"("s")"_s, us};
    QTest::newRow("Hz") << u"Hz"_s << QString()
                        << QStringList{uR"(" Hz")"_s, uR"(" Hz")"_s, uR"("Hz")"_s, uR"("Hz")"_s};
    QTest::newRow("2W") << u"2W"_s << QString() << QStringList{ohm, ohm, ohm, ohm};
    QTest::newRow("CONTINU") << u"CONTINU"_s << QString() << QStringList{ohm, kNone, kNone, kNone};
    QTest::newRow("dB") << u"dB"_s << QString() << QStringList{uR"(" dB")"_s, u"dB"_s, kNone, kNone};
    QTest::newRow("HOLD") << u"HOLD"_s << QString()
                          << QStringList{kNone, kNone, uR"(" %")"_s, uR"(" %")"_s};
    QTest::newRow("REL with Mode 1 DCV") << u"REL"_s << u"DCV"_s << QStringList{kNone, kNone, mV, mV};
    QTest::newRow("REL with Mode 1 Diode") << u"REL"_s << u"Diode"_s << QStringList{kNone, kNone, mV, mV};
    QTest::newRow("1/X with Mode 1 dBm") << u"1/X"_s << u"dBm"_s << QStringList{kNone, kNone, mV, mV};
    QTest::newRow("MAX with Mode 1 C: empty text") << u"MAX"_s << u"C"_s
                                                 << QStringList{kNone, kNone, QString(), QString()};
    QTest::newRow("MIN with Mode 1 P") << u"MIN"_s << u"P"_s << QStringList{kNone, kNone, us, us};
    QTest::newRow("REF% with Mode 1 Hz") << u"REF%"_s << u"Hz"_s
                                         << QStringList{kNone, kNone, uR"(" Hz")"_s, uR"(" Hz")"_s};
    QTest::newRow("COMP with Mode 1 CONTINU") << u"COMP"_s << u"CONTINU"_s << QStringList{kNone, kNone, ohm, ohm};
    QTest::newRow("MX+B with Mode 1 dB") << u"MX+B"_s << u"dB"_s << QStringList{kNone, kNone, kNone, kNone};
    QTest::newRow("DIODE") << u"DIODE"_s << QString() << QStringList{kNone, kNone, kNone, kNone};
    QTest::newRow("dcv") << u"dcv"_s << QString() << QStringList{kNone, kNone, kNone, kNone};
    QTest::newRow("empty") << QString() << u"DCV"_s << QStringList{kNone, kNone, kNone, kNone};
}

void TestLoaderUnits::firstFormat()
{
    QFETCH(QString, function);
    QFETCH(QString, captionMode1);
    QFETCH(QStringList, formats);
    using loader::PlotKind;
    const QStringList got{
        orNone(loader::firstFormat(1, PlotKind::WholeFile, function, captionMode1)),
        orNone(loader::firstFormat(1, PlotKind::Range, function, captionMode1)),
        orNone(loader::firstFormat(2, PlotKind::WholeFile, function, captionMode1)),
        orNone(loader::firstFormat(2, PlotKind::Range, function, captionMode1)),
    };
    QCOMPARE(got, formats);
}

void TestLoaderUnits::axisLabel_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("step");  // between the axis's ticks
    QTest::addColumn<QString>("label");
    QTest::newRow("milli") << uR"(*1000" mV")"_s << 0.2 << 0.1 << u"200 mV"_s;
    QTest::newRow("kilo, places of the step") << uR"(*0.001" kOhm")"_s << 1500.0 << 500.0 << u"1.5 kOhm"_s;
    QTest::newRow("kilo, a whole tick keeps the places") << uR"(*0.001" kOhm")"_s << 10000.0 << 0.5
                                                          << u"10.0000 kOhm"_s;
    QTest::newRow("plain unit, negative") << uR"(*1" V")"_s << -5.0 << 1.0 << u"-5 V"_s;
    QTest::newRow("quarter steps") << uR"(*1" V")"_s << 2.5 << 0.25 << u"2.50 V"_s;
    QTest::newRow("zero from the step's arithmetic") << uR"(*1" V")"_s << -1e-17 << 0.1 << u"0.0 V"_s;
    QTest::newRow("micro") << uR"(*1000000" uV")"_s << 0.0000012 << 0.0000001 << u"1.2 uV"_s;
    QTest::newRow("mega") << uR"(*0.000001" MHz")"_s << 2500000.0 << 500000.0 << u"2.5 MHz"_s;
    QTest::newRow("thousands grouped, never a power of ten") << uR"(*1" Hz")"_s << 1500000.0 << 500000.0
                                                              << u"1,500,000 Hz"_s;
    QTest::newRow("small values in full") << uR"(*1" A")"_s << 0.000015 << 0.000005 << u"0.000015 A"_s;
    QTest::newRow("percent") << uR"(*1" %")"_s << 25.0 << 5.0 << u"25 %"_s;
    QTest::newRow("first format shows its text") << uR"("mV")"_s << 3.0 << 1.0 << u"mV"_s;
    QTest::newRow("first format with a space") << uR"(" Ohm")"_s << 3.0 << 1.0 << u" Ohm"_s;
    QTest::newRow("text without quotes") << u"C"_s << 3.0 << 1.0 << u"C"_s;
    QTest::newRow("empty text") << QString() << 3.0 << 1.0 << QString();
}

void TestLoaderUnits::axisLabel()
{
    QFETCH(QString, format);
    QFETCH(double, value);
    QFETCH(double, step);
    QFETCH(QString, label);
    QCOMPARE(loader::axisLabel(format, value, step), label);
}

QTEST_GUILESS_MAIN(TestLoaderUnits)
#include "tst_loader_units.moc"
