// Scan readings as the grids and the scan data file show them: the scale,
// pattern and unit tables with their bounds, overload and readings that are
// not numbers; the data file's fields and header bytes against hand-made
// golden files.

#include "scan/form_change.h"
#include "formats/scan_data.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestScanFormat : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void formChange_data();
    void formChange();
    void field_data();
    void field();
    void header_data();
    void header();
    void lineTail();
};

void TestScanFormat::formChange_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("range");
    QTest::addColumn<bool>("autoRange");
    QTest::addColumn<QString>("reading");
    QTest::addColumn<QString>("shown");

    QTest::newRow("auto DCV 0.05 in mV") << u"DCV"_s << u"1 V"_s << true << u"+5.000000E-02\r"_s << u"050.0000 mV"_s;
    QTest::newRow("auto DCV 0.12 is volts") << u"DCV"_s << u""_s << true << u"0.12"_s << u"0.120000 V"_s;
    QTest::newRow("auto DCV -0.12 is millivolts") << u"DCV"_s << u""_s << true << u"-0.12"_s << u"-120.0000 mV"_s;
    QTest::newRow("auto DCV just under -0.12") << u"DCV"_s << u""_s << true << u"-0.1200001"_s << u"-0.120000 V"_s;
    QTest::newRow("auto DCV just under 0.12") << u"DCV"_s << u""_s << true << u"0.11999999"_s << u"120.0000 mV"_s;
    QTest::newRow("auto ACV -120 bound") << u"ACV"_s << u""_s << true << u"-120"_s << u"-120.0000 V"_s;
    QTest::newRow("auto ACV below -120") << u"ACV"_s << u""_s << true << u"-120.5"_s << u"-0120.500 V"_s;
    QTest::newRow("auto DCV 120 up") << u"DCV"_s << u""_s << true << u"120"_s << u"0120.000 V"_s;
    QTest::newRow("auto current") << u"DCI_2A"_s << u"Max 2A"_s << true << u"0.5"_s << u"00.50000 A"_s;
    QTest::newRow("auto 2W kOhm bound") << u"2W"_s << u""_s << true << u"1200"_s << u"01.20000 kOhm"_s;
    QTest::newRow("auto 4W 120 M is OL") << u"4W"_s << u""_s << true << u"1.2E+08"_s << u"OL"_s;
    QTest::newRow("manual 100 M at 2.5E+07") << u"2W"_s << u"100 M"_s << false << u"2.5E+07"_s << u"025.0000 MOhm"_s;
    QTest::newRow("manual 2W capital K") << u"2W"_s << u"10 K"_s << false << u"2500"_s << u"02.50000 kOhm"_s;
    QTest::newRow("manual 2W unknown range") << u"2W"_s << u"No Range"_s << false << u"5"_s << u"OL"_s;
    QTest::newRow("manual DCV 1000 V as any other") << u"DCV"_s << u"1000 V"_s << false << u"500"_s << u"500.0000 V"_s;
    QTest::newRow("manual ACV 750 V") << u"ACV"_s << u"750 V"_s << false << u"500"_s << u"0500.000 V"_s;
    QTest::newRow("manual DCV 100 mV") << u"DCV"_s << u"100 mV"_s << false << u"0.05"_s << u"050.0000 mV"_s;
    QTest::newRow("manual DIODE 1.2 open") << u"DIODE"_s << u"No Range"_s << false << u"1.2"_s << u"OPEN"_s;
    QTest::newRow("auto DIODE 1.2 volts") << u"DIODE"_s << u"No Range"_s << true << u"1.2"_s << u"1.200000 V"_s;
    QTest::newRow("manual CONTINU 1200 open") << u"CONTINU"_s << u""_s << false << u"1200"_s << u"OPEN"_s;
    QTest::newRow("Hz unit before rounding") << u"Hz"_s << u""_s << true << u"999.99999"_s << u"1000.0000 Hz"_s;
    QTest::newRow("Hz 1000 is kHz") << u"Hz"_s << u""_s << false << u"1000"_s << u"001.0000 kHz"_s;
    QTest::newRow("Hz MHZ as written") << u"Hz"_s << u""_s << false << u"2.5E+06"_s << u"002.5000 MHZ"_s;
    QTest::newRow("P 0.001 is ms") << u"P"_s << u""_s << false << u"0.001"_s << u"001.0000 ms"_s;
    QTest::newRow("P below 0.001 is us") << u"P"_s << u""_s << true << u"0.0005"_s << u"500.0000 us"_s;
    QTest::newRow("P 1 is s") << u"P"_s << u""_s << false << u"1"_s << u"001.0000 s"_s;
    QTest::newRow("TC_C") << u"TC_C"_s << u""_s << true << u"25.5"_s << u"0025.500 C"_s;
    QTest::newRow("TC_F") << u"TC_F"_s << u""_s << false << u"77"_s << u"0077.000 F"_s;
    QTest::newRow("function without a row") << u"DCmA"_s << u""_s << false << u"1"_s << u"DCmA"_s;
    QTest::newRow("case-sensitive function") << u"dcv"_s << u""_s << true << u"1"_s << u"dcv"_s;
    QTest::newRow("not a number is ERR") << u"DCV"_s << u""_s << true << u"SCAN OK\r"_s << u"ERR"_s;
    QTest::newRow("garbled number is ERR") << u"DCV"_s << u""_s << true << u"1.2x\r"_s << u"ERR"_s;
    QTest::newRow("empty reply is ERR") << u"DCV"_s << u""_s << true << u"\r"_s << u"ERR"_s;
}

void TestScanFormat::formChange()
{
    QFETCH(QString, function);
    QFETCH(QString, range);
    QFETCH(bool, autoRange);
    QFETCH(QString, reading);
    QFETCH(QString, shown);
    QCOMPARE(scan::formChange(function, range, autoRange, reading), shown);
}

void TestScanFormat::field_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");

    QTest::newRow("right-aligned in 13") << u"050.0000 mV"_s << u"  050.0000 mV,"_s;
    QTest::newRow("OL is right-aligned too") << u"OL"_s << u"           OL,"_s;
    QTest::newRow("13 characters fill the field") << u"025.0000 MOhm"_s << u"025.0000 MOhm,"_s;
    QTest::newRow("14 characters written whole") << u"12345678901234"_s << u"12345678901234,"_s;
    QTest::newRow("31 characters written whole") << QString(31, u'9') << QString(31, u'9') + u","_s;
    QTest::newRow("32 characters are overload") << QString(32, u'9') << u"  OL         ,"_s;
    // 9.9E+37 in the widest voltage pattern is far past 32 characters.
    QTest::newRow("overload reading") << scan::formChange(u"DCV", u"", true, u"+9.90000000E+37\r")
                                      << u"  OL         ,"_s;
}

void TestScanFormat::field()
{
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(formats::scanField(text), field);
}

void TestScanFormat::header_data()
{
    QTest::addColumn<QList<formats::ScanHeaderChannel>>("channels");
    QTest::addColumn<QString>("golden");

    QTest::newRow("101 DCV auto, 109 2W 1 k")
        << QList<formats::ScanHeaderChannel>{{0, u"DCV"_s, u"1 V"_s, true}, {8, u"2W"_s, u"1 k"_s, false}}
        << u"header_101_109.txt"_s;
    QTest::newRow("nothing ticked") << QList<formats::ScanHeaderChannel>{} << u"header_none.txt"_s;
}

void TestScanFormat::header()
{
    QFETCH(QList<formats::ScanHeaderChannel>, channels);
    QFETCH(QString, golden);
    QFile file(QStringLiteral(RAVELO_TEST_DATA "/scan_data/") + golden);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QDateTime created(QDate(2013, 5, 6), QTime(14, 22, 33));
    QCOMPARE(formats::scanHeaderBytes(created, channels), file.readAll());
}

void TestScanFormat::lineTail()
{
    // Written literally in any locale.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(formats::scanLineTail(QDateTime(QDate(2024, 12, 31), QTime(23, 5, 9))),
             u"  2024/12/31-23:05:09,\r\n"_s);
    QLocale::setDefault(QLocale::c());
}

QTEST_GUILESS_MAIN(TestScanFormat)
#include "tst_scan_format.moc"
