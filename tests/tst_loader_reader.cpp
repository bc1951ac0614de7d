// Reading recorded-data files back: the header marks, the split of a
// record into its seven fields, the ways a read ends, the encodings, and
// the writer's hand-made golden files read back.

#include "formats/recorded_data_reader.h"
#include "platform/runtime.h"

#include <QFile>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kHeader = "    2013/05/06-12:34:56,\r\n"
                           "Total,       Time,                    Now,      Mod1,       Display1,,"
                           "      Mod2,       Display2,,\r\n"
                           + QByteArray(99, '=') + ",\r\n";

QByteArray record(int point, const char *display1 = "1.23456_V")
{
    return QByteArray::number(point).rightJustified(5, '0')
           + ",   00:00:01,    2013/05/06 12:34:56,       DCV," + QByteArray(display1).rightJustified(16)
           + ",          ,                ,\r\n";
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString goldenPath(const QString &name)
{
    return QStringLiteral(RAVELO_TEST_DATA "/recorded/") + name;
}

QStringList fields(const formats::RecordedData &data, qsizetype record)
{
    QStringList out;
    for (int column = 0; column < formats::kRecordFieldCount; ++column)
        out.append(data.field(record, column));
    return out;
}

const QString kWide(1, QChar(u'\u3000'));

} // namespace

class TestLoaderReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void headerLine_data();
    void headerLine();
    void recordLine_data();
    void recordLine();
    void readEnds_data();
    void readEnds();
    void fieldViewsMatchFields();
    void latin1Fallback();
    void goldenFilesReadBack();
};

void TestLoaderReader::headerLine_data()
{
    QTest::addColumn<int>("lineNo");
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("fits");

    const QString heading = QString::fromLatin1(kHeader.split('\n')[1].chopped(1));
    QTest::newRow("start time") << 1 << u"    2013/05/06-12:34:56,"_s << true;
    QTest::newRow("start time, anything after the comma") << 1 << u"    2013/05/06-12:34:56,xyz"_s << true;
    QTest::newRow("start time, only the marks are tested") << 1 << u"    abcd/ef/gh-ij:kl:mn,"_s << true;
    QTest::newRow("three leading spaces") << 1 << u"   2013/05/06-12:34:56,"_s << false;
    QTest::newRow("full stop as date separator") << 1 << u"    2013.05.06-12:34:56,"_s << false;
    QTest::newRow("one-digit month") << 1 << u"    2013/5/06-12:34:56,"_s << false;
    QTest::newRow("no comma after the seconds") << 1 << u"    2013/05/06-12:34:56"_s << false;
    QTest::newRow("empty start time") << 1 << QString() << false;
    QTest::newRow("column line") << 2 << heading << true;
    QTest::newRow("column line, one comma moved")
        << 2 << QString(heading).replace(u"       Time,  "_s, u"       Tim,e  "_s) << false;
    QTest::newRow("column line, last comma missing") << 2 << heading.chopped(1) << false;
    QTest::newRow("separator line") << 3 << QString(99, u'=') + u","_s << true;
    QTest::newRow("separator line, 98 signs") << 3 << QString(98, u'=') + u","_s << false;
}

void TestLoaderReader::headerLine()
{
    QFETCH(int, lineNo);
    QFETCH(QString, line);
    QFETCH(bool, fits);
    QCOMPARE(formats::headerLineFits(lineNo, line), fits);
    // A header with that line in its place is read, or rejected at it.
    QList<QByteArray> lines = kHeader.split('\n');
    lines[lineNo - 1] = line.toUtf8() + '\r';
    const auto data = formats::RecordedData::fromBytes(lines.join('\n') + record(1));
    QCOMPARE(data.end() == formats::ReadEnd::HeaderRejected, !fits);
    QCOMPARE(data.endLine(), qint64(fits ? 0 : lineNo));
    QCOMPARE(data.recordCount(), qsizetype(fits ? 1 : 0));
}

void TestLoaderReader::recordLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("expected");  // empty: the line is no record

    QTest::newRow("padded fields")
        << u"00001,   00:00:01,    2013/05/06 12:34:56,       DCV,      1.23456_V,          ,"
           u"                ,"_s
        << QStringList{u"00001"_s, u"00:00:01"_s, u"2013/05/06 12:34:56"_s, u"DCV"_s, u"1.23456_V"_s,
                       QString(), QString()};
    QTest::newRow("U+3000 fill stays in its field")
        << u"00002,   00:00:02,    2013/05/06 14:22:35,        2W,              \u3000,          ,"
           u"                ,"_s
        << QStringList{u"00002"_s, u"00:00:02"_s, u"2013/05/06 14:22:35"_s, u"2W"_s, kWide, QString(),
                       QString()};
    QTest::newRow("U+3000 fill in the last field")
        << u"00005,   00:00:05,    2013/05/06 14:22:38,        4W,              \u3000,        2W,"
           u"              \u3000,"_s
        << QStringList{u"00005"_s, u"00:00:05"_s, u"2013/05/06 14:22:38"_s, u"4W"_s, kWide, u"2W"_s, kWide};
    QTest::newRow("TAB and U+3000 around a text are not trimmed")
        << u"1,\t2 ,\u30003,4,5,6,7,"_s
        << QStringList{u"1"_s, u"\t2"_s, u"\u30003"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s};
    QTest::newRow("text after a seventh comma stays in the last field")
        << u"1,2,3,4,5,6,7,8,"_s << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7,8"_s};
    QTest::newRow("the last character is dropped, whatever it is")
        << u"1,2,3,4,5,6,789"_s << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"78"_s};
    QTest::newRow("one closing character after the sixth comma")
        << u"1,2,3,4,5,6,x"_s << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, QString()};
    QTest::newRow("fewer than six commas")
        << u"00001,   00:00:01,    2013/05/06 12:34:56,       DCV,      1.23456_V"_s << QStringList();
    QTest::newRow("nothing after the sixth comma") << u"00001,00:00:01,2013/05/06,DCV,1.2_V,,"_s
                                                   << QStringList();
    QTest::newRow("empty line") << QString() << QStringList();
}

void TestLoaderReader::recordLine()
{
    QFETCH(QString, line);
    QFETCH(QStringList, expected);
    // A first record that fails stops the read before any other.
    const auto data = formats::RecordedData::fromBytes(kHeader + line.toUtf8() + "\r\n" + record(2));
    if (expected.isEmpty()) {
        QCOMPARE(data.end(), formats::ReadEnd::BadRecord);
        QCOMPARE(data.endLine(), qint64(4));
        QCOMPARE(data.recordCount(), qsizetype(0));
        return;
    }
    QCOMPARE(data.end(), formats::ReadEnd::Complete);
    QCOMPARE(data.recordCount(), qsizetype(2));
    QCOMPARE(fields(data, 0), expected);
    QCOMPARE(data.field(1, 0), u"00002"_s);
}

void TestLoaderReader::readEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<formats::ReadEnd>("end");
    QTest::addColumn<qint64>("endLine");
    QTest::addColumn<int>("records");

    using enum formats::ReadEnd;
    const QByteArray three = record(1) + record(2) + record(3);
    QTest::newRow("three records") << kHeader + three << Complete << qint64(0) << 3;
    QTest::newRow("empty file") << QByteArray() << Complete << qint64(0) << 0;
    QTest::newRow("header only") << kHeader << Complete << qint64(0) << 0;
    QTest::newRow("first header line only") << kHeader.first(26) << Complete << qint64(0) << 0;
    QTest::newRow("empty line in the middle")
        << kHeader + record(1) + record(2) + "\r\n" + record(3) << BadRecord << qint64(6) << 2;
    QTest::newRow("line of spaces in the middle")
        << kHeader + record(1) + "   \r\n" + record(2) << BadRecord << qint64(5) << 1;
    QTest::newRow("blank lines at the end are skipped")
        << kHeader + three + "\r\n   \r\n\n\r\n" << Complete << qint64(0) << 3;
    QTest::newRow("LF line ends") << QByteArray(kHeader + three).replace("\r\n", "\n") << Complete
                                  << qint64(0) << 3;
    QTest::newRow("no line end after the last record: it is cut") << kHeader + three.chopped(2) << CutRecord
                                                                   << qint64(6) << 2;
    QTest::newRow("no line end after blank lines") << kHeader + three + "\r\n  " << Complete << qint64(0) << 3;
    QTest::newRow("UTF-8 byte-order mark") << "\xEF\xBB\xBF" + kHeader + three << Complete << qint64(0) << 3;
    QTest::newRow("bad record after good ones")
        << kHeader + record(1) + "00002,   00:00:02\r\n" + record(3) << BadRecord << qint64(5) << 1;
    QTest::newRow("record line of 70,000 characters")
        << kHeader + record(1) + "1,2,3,4,5,6," + QByteArray(70000, '7') + ",\r\n" << LongLine << qint64(5) << 1;
    QTest::newRow("the longest record line")
        << kHeader + "00001,2,3,4,5,6," + QByteArray(formats::kLongestLine - 17, '7') + ",\r\n" + record(2) << Complete
        << qint64(0) << 2;
    QTest::newRow("a lone CR inside a record") << kHeader + record(1) + "00002,2,3,\r4,5,6, ,\r\n" << NotText
                                               << qint64(5) << 1;
    QTest::newRow("TAB inside a record is text") << kHeader + record(1) + "00002,2,3,\t4,5,6, ,\r\n" << Complete
                                                 << qint64(0) << 2;
}

void TestLoaderReader::readEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(formats::ReadEnd, end);
    QFETCH(qint64, endLine);
    QFETCH(int, records);
    const auto data = formats::RecordedData::fromBytes(bytes);
    QCOMPARE(data.end(), end);
    QCOMPARE(data.endLine(), endLine);
    QCOMPARE(data.recordCount(), qsizetype(records));
    for (int i = 0; i < records; ++i)
        QCOMPARE(data.field(i, 0), QString::number(i + 1).rightJustified(5, u'0'));
    if (records > 0)
        QCOMPARE(data.field(records - 1, 6), QString());  // no CR left in the last field
}

void TestLoaderReader::fieldViewsMatchFields()
{
    const QByteArray bytes = kHeader
                             + u"00007,   00:00:07,    2013/05/06 12:34:56,        2W,              "
                               u"\u3000,       DCV,     -0.5678_mV,\r\n"_s.toUtf8()
                             + record(8, "+1.000000E+01_V");
    const auto data = formats::RecordedData::fromBytes(bytes);
    QVERIFY(!data.isLatin1(0));
    formats::FieldBuffer buffer;
    for (qsizetype r = 0; r < data.recordCount(); ++r)
        for (int c = 0; c < formats::kRecordFieldCount; ++c)
            QCOMPARE(data.field(r, c, buffer).toString(), data.field(r, c));
    QCOMPARE(data.field(0, 4, buffer), kWide);
}

void TestLoaderReader::latin1Fallback()
{
    // Lines edited in a Latin-1 editor: "\xB5" is not UTF-8 on its own. The
    // line between them is UTF-8 and stays so.
    const QByteArray bytes = kHeader + record(1, "12.5\xB5" "A") + record(2, "\xE3\x80\x80")
                             + record(3, "25.30\xB0" "C");
    const auto data = formats::RecordedData::fromBytes(bytes);
    QCOMPARE(data.end(), formats::ReadEnd::Complete);
    QCOMPARE(data.field(0, 4), u"12.5\u00B5A"_s);
    QCOMPARE(data.field(1, 4), kWide);
    formats::FieldBuffer buffer;
    QCOMPARE(data.field(2, 4, buffer), u"25.30\u00B0C"_s);
    QCOMPARE(data.field(1, 4, buffer), kWide);
    QCOMPARE((QList<bool>{data.isLatin1(0), data.isLatin1(1), data.isLatin1(2)}), (QList<bool>{true, false, true}));
}

void TestLoaderReader::goldenFilesReadBack()
{
    // The writer's hand-made golden files, with a header before the
    // record lines that come alone.
    const auto first = formats::RecordedData::fromBytes(fileBytes(goldenPath(u"bench-20130506-142233-001.txt"_s)));
    QCOMPARE(first.end(), formats::ReadEnd::Complete);
    QCOMPARE(first.recordCount(), qsizetype(3));
    QCOMPARE(fields(first, 2), (QStringList{u"00003"_s, u"00:00:03"_s, u"2013/05/06 14:22:36"_s, u"DCV"_s,
                                            u"1.000003_V"_s, QString(), QString()}));

    const QByteArray header = fileBytes(goldenPath(u"header_20130506_142233.txt"_s));
    const QByteArray lines = fileBytes(goldenPath(u"record_lines.txt"_s));
    QVERIFY(!header.isEmpty() && !lines.isEmpty());
    const auto all = formats::RecordedData::fromBytes(header + lines);
    QCOMPARE(all.end(), formats::ReadEnd::Complete);
    QCOMPARE(all.recordCount(), qsizetype(8));
    QCOMPARE(fields(all, 1)[4], kWide);                                   // 2W, empty reading
    QCOMPARE(fields(all, 2).mid(3), (QStringList{u"C"_s, u"25.30_C"_s, u"DCV"_s, u"0.012345_V"_s}));
    QCOMPARE(fields(all, 4).mid(3), (QStringList{u"4W"_s, kWide, u"2W"_s, kWide}));
    QCOMPARE(fields(all, 6)[4], u"1234567.8901234567_kOhm"_s);            // wider than its field
    QCOMPARE(fields(all, 7)[0], u"123456"_s);
}

QTEST_GUILESS_MAIN(TestLoaderReader)
#include "tst_loader_reader.moc"
