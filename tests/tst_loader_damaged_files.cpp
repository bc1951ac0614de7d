// Damaged recorded files opened in the loader: each ends in the rows that
// are whole records and, where something was left out, a message that says
// where and why. Nothing is shown as a reading that the file does not hold
// whole, and nothing ends the program. Files of gigabytes are sparse, so
// they take neither disk nor time here.

#include "formats/recorded_data.h"
#include "loader/file_loading.h"
#include "loader/load_plots.h"
#include "loader/loader_state.h"
#include "platform/dialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>
#include <string>

using namespace Qt::StringLiterals;

namespace {

const QDateTime kCreated(QDate(2013, 5, 6), QTime(12, 34, 56));
const QByteArray kHeader = formats::headerBytes(kCreated);

// One record as the recorder writes it, display 1 only.
QByteArray record(int point, const QString &display1, const QString &mode1 = u"DCV"_s)
{
    return formats::recordLine({point, formats::elapsedText(point), kCreated.addSecs(point), mode1, display1,
                                {}, {}})
        .toUtf8();
}

const QByteArray kThree = record(1, u"1.000001_V"_s) + record(2, u"1.000002_V"_s) + record(3, u"-3.7500_mV"_s);
const QStringList kThreeShown{u"1.000001_V"_s, u"1.000002_V"_s, u"-3.7500_mV"_s};
const QStringList kTwoShown = kThreeShown.first(2);

QString stopped(int line, const char *why)
{
    return u"Load stopped at line %1\n"_s.arg(line) + QString::fromLatin1(why);
}
const char *const kCut = "The file ends inside this line: without its line end it is no whole record.";
const char *const kNoRecord = "The line is no record of seven fields.";
const char *const kNotText = "The line holds bytes that are not text.";
const char *const kTooLong = "The line is longer than any record.";

// Bytes that are neither text nor a record: every value once, and again.
QByteArray junk(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 37 + 11) % 256);
    return bytes;
}

// Resident memory's peak, in bytes, and a fresh start for it (Linux).
qint64 residentPeak()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stoll(line.substr(6)) * 1024;
    return -1;
}
bool restartPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return bool(clear.flush());
}

// A program folder of its own, the Open dialog answered with a file written
// there, the message boxes recorded; and a table of five records, numbered 11
// to 15, loaded first, so that each case shows what is left of a table.
struct DamagedFixture
{
    DamagedFixture()
    {
        rt::setOpenFileHandler([this](const QString &, const QString &, const QString &) { return answer; });
        open(write(u"before.txt"_s, kHeader + record(11, u"11_V"_s) + record(12, u"12_V"_s) + record(13, u"13_V"_s)
                                        + record(14, u"14_V"_s) + record(15, u"15_V"_s)));
        loader::Graph_SHOW_BUTT_Click(ld);
        messages.clear();
    }
    ~DamagedFixture() { rt::setOpenFileHandler({}); }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(bytes);
        return path;
    }
    // `bytes`, then zeros up to `size` bytes that take no room on the disk.
    QString writeSparse(const QString &name, const QByteArray &bytes, qint64 size)
    {
        const QString path = write(name, bytes);
        QFile file(path);
        if (!file.open(QIODevice::ReadWrite) || !file.resize(size))
            return {};
        return path;
    }
    void open(const QString &path)
    {
        answer = path;
        loader::OPEN_FILE_BUTT_Click(ld);
    }
    QStringList shown() const
    {
        QStringList out;
        for (int row = 1; row <= ld.LOAD_Grid.records(); ++row)
            out.append(ld.LOAD_Grid.cell(row, loader::LoadGridModel::Display1));
        return out;
    }
    QString message() const
    {
        return messages.messages().size() == 1 ? messages.messages()[0].text
                                                : u"%1 messages"_s.arg(messages.messages().size());
    }

    QTemporaryDir dir;
    QString answer;
    loader::Loader ld;
    rt::MessageRecorder messages;
};

} // namespace

class TestLoaderDamagedFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void damagedFile_data();
    void damagedFile();
    void folder();
    void oversizedFile_data();
    void oversizedFile();
};

void TestLoaderDamagedFiles::damagedFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");   // "" : none
    QTest::addColumn<QStringList>("shown");  // Display1 of each row listed

    const QByteArray cutAt = kHeader + kThree.first(kThree.lastIndexOf("-3.7") + 4);
    QTest::newRow("cut inside the last record") << cutAt << stopped(6, kCut) << kTwoShown;
    QTest::newRow("last record without CR LF") << kHeader + kThree.chopped(2) << stopped(6, kCut) << kTwoShown;
    QTest::newRow("last record without LF") << kHeader + kThree.chopped(1) << stopped(6, kCut) << kTwoShown;
    QTest::newRow("cut inside the first record")
        << kHeader + kThree.first(30) << stopped(4, kCut) << QStringList();
    QTest::newRow("cut inside the header") << kHeader.first(60) << u"LOAD ERROR~"_s << QStringList();
    QTest::newRow("whole records, LF line ends")
        << QByteArray(kHeader + kThree).replace("\r\n", "\n") << QString() << kThreeShown;
    QTest::newRow("line ends after the records")
        << kHeader + kThree + QByteArray(200000, '\n') << QString() << kThreeShown;
    QTest::newRow("line ends, then a record")
        << kHeader + kThree.first(kThree.indexOf('\n') + 1) + "\r\n\r\n" + kThree.sliced(kThree.indexOf('\n') + 1)
        << stopped(5, kNoRecord) << kThreeShown.first(1);

    // One stray byte decodes its own line as Latin-1, and no other.
    QTest::newRow("one Latin-1 byte among UTF-8 lines")
        << kHeader + record(1, u"\u3000"_s, u"2W"_s) + record(2, u"12.5_mA"_s).replace("_mA", "\xB5" "A")
               + record(3, u"25.30\u00B0C"_s, u"C"_s)
        << QString() << QStringList{u"\u3000"_s, u"12.5\u00B5A"_s, u"25.30\u00B0C"_s};

    QTest::newRow("empty file") << QByteArray() << u"No records in file"_s << QStringList();
    QTest::newRow("header only") << kHeader << u"No records in file"_s << QStringList();
    QTest::newRow("CR-only line ends")
        << QByteArray(kHeader + kThree).replace("\r\n", "\r") << u"LOAD ERROR~"_s << QStringList();
    QTest::newRow("NUL bytes after the records (a disk filled up)")
        << kHeader + kThree + QByteArray(4096, '\0') << stopped(7, kNotText) << kThreeShown;
    QTest::newRow("NUL bytes in a whole line")
        << kHeader + kThree.first(kThree.indexOf('\n') + 1) + QByteArray(100, '\0') + "\r\n"
        << stopped(5, kNotText) << kThreeShown.first(1);
    QTest::newRow("a record with a NUL among its fields")
        << kHeader + record(1, u"1.000001_V"_s) + record(2, u"1.000002_V"_s).replace("1.000002", QByteArray("1.00\0" "002", 8))
        << stopped(5, kNotText) << kThreeShown.first(1);
    QTest::newRow("binary junk") << junk(5000) << u"LOAD ERROR~"_s << QStringList();
    QTest::newRow("binary junk after the records") << kHeader + kThree + junk(5000) << stopped(7, kNotText)
                                                   << kThreeShown;
    QTest::newRow("a line longer than any record")
        << kHeader + kThree + "1,2,3,4,5,6," + QByteArray(70000, '7') + ",\r\n" << stopped(7, kTooLong)
        << kThreeShown;
    QTest::newRow("a first line longer than any record")
        << "    2013/05/06-12:34:56," + QByteArray(100000, 'x') + "\r\n" + kHeader.sliced(kHeader.indexOf('\n') + 1)
               + kThree
        << u"LOAD ERROR~"_s << QStringList();
}

void TestLoaderDamagedFiles::damagedFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QFETCH(QStringList, shown);

    DamagedFixture t;
    t.open(t.write(u"damaged.txt"_s, bytes));
    if (message.isEmpty())
        QVERIFY2(t.messages.messages().isEmpty(), qPrintable(t.message()));
    else
        QCOMPARE(t.message(), message);
    QCOMPARE(t.shown(), shown);
    QVERIFY(!t.ld.loading);
    // The graphs go with the table they showed once a file's header has
    // passed; a refused file leaves the plot before it.
    const qsizetype plotted = message == u"LOAD ERROR~"_s ? 6 : 0;
    QCOMPARE(t.ld.LOAD_Graph.x.size(), plotted);
    QCOMPARE(t.ld.LOAD_Graph2.x.size(), plotted);
}

void TestLoaderDamagedFiles::folder()
{
    DamagedFixture t;
    const QString path = t.dir.filePath(u"a folder.txt"_s);
    QVERIFY(QDir().mkpath(path));
    t.open(path);
    QVERIFY2(t.message().startsWith(u"Cannot open "_s + QDir::toNativeSeparators(path)), qPrintable(t.message()));
    QCOMPARE(t.shown(), (QStringList{u"11_V"_s, u"12_V"_s, u"13_V"_s, u"14_V"_s, u"15_V"_s}));
    QVERIFY(!t.ld.loading);
}

void TestLoaderDamagedFiles::oversizedFile_data()
{
    QTest::addColumn<QByteArray>("head");  // the file's first bytes; zeros follow up to 2 GB
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("2 GB of zeros") << QByteArray() << u"LOAD ERROR~"_s << QStringList();
    QTest::newRow("a good header, then 2 GB of zeros") << kHeader << stopped(4, kNotText) << QStringList();
    QTest::newRow("three records, then 2 GB of zeros") << kHeader + kThree << stopped(7, kNotText) << kThreeShown;
}

void TestLoaderDamagedFiles::oversizedFile()
{
    QFETCH(QByteArray, head);
    QFETCH(QString, message);
    QFETCH(QStringList, shown);

    DamagedFixture t;
    const qint64 size = 2LL << 30;
    const QString path = t.writeSparse(u"oversized.txt"_s, head, size);
    if (path.isEmpty())
        QSKIP("no sparse file of 2 GB here");
    const bool peakKnown = restartPeak();
    const qint64 before = residentPeak();
    t.open(path);
    const qint64 added = residentPeak() - before;

    QCOMPARE(t.message(), message);
    QCOMPARE(t.shown(), shown);
    // The file is refused from its first bytes: nothing near its size is read.
    if (peakKnown && before > 0)
        QVERIFY2(added < size / 8, qPrintable(u"the load took %1 MB"_s.arg(added >> 20)));
}

QTEST_GUILESS_MAIN(TestLoaderDamagedFiles)
#include "tst_loader_damaged_files.moc"
