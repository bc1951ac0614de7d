// Opening a file in the loader: the Open dialog's folder and filter, the
// ways a load ends and what each leaves (table, range boxes, point step,
// message), the table as its view sees it, and the range boxes' keys.

#include "formats/recorded_data.h"
#include "formats/recorded_data_reader.h"
#include "loader/file_loading.h"
#include "loader/load_plots.h"
#include "loader/loader_state.h"
#include "platform/dialogs.h"
#include "platform/panel_timer.h"
#include "platform/program_folder.h"
#include "support/special_files.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <map>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QDateTime kCreated(QDate(2013, 5, 6), QTime(12, 34, 56));

QByteArray recordBytes(const QString &point, const QString &display1 = u"1.23456_V"_s)
{
    return formats::recordLine({0, u"00:00:01"_s, kCreated, u"DCV"_s, display1, {}, {}})
        .replace(0, 5, point.rightJustified(5, u'0'))
        .toUtf8();
}

QByteArray recordsFrom(int first, int count, int step = 1)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += recordBytes(QString::number(first + i * step));
    return bytes;
}

const QByteArray kHeader = formats::headerBytes(kCreated);

// A program folder of its own with "SAVE DATA", the Open dialog answered
// with a file written there, and the message boxes recorded.
struct OpenFixture
{
    OpenFixture()
    {
        rt::setProgramFolder(dir.path());
        QDir(dir.path()).mkdir(u"SAVE DATA"_s);
        rt::setOpenFileHandler([this](const QString &caption, const QString &folder, const QString &filter) {
            asked.append({caption, folder, filter});
            return answer;
        });
    }
    ~OpenFixture()
    {
        rt::setOpenFileHandler({});
        rt::setProgramFolder({});
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.path() + u"/SAVE DATA/"_s + name;
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(bytes);
        return path;
    }
    void open(const QString &path)
    {
        answer = path;
        loader::OPEN_FILE_BUTT_Click(ld);
    }

    QTemporaryDir dir;
    QString answer;
    QList<QStringList> asked;
    loader::Loader ld;
    rt::MessageRecorder messages;
};

} // namespace

class TestLoaderFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensThroughTheDialog();
    void loadEnds_data();
    void loadEnds();
    void previousFileIsNeverPlottedAsTheNew();
    void longLoadProgress_data();
    void longLoadProgress();
    void panelTicksWaitForTheLoad();
    void tableAsTheViewSeesIt();
    void rangeBoxKeys_data();
    void rangeBoxKeys();
};

void TestLoaderFile::opensThroughTheDialog()
{
    OpenFixture t;
    const QString path = t.write(u"bench-20130506-123456-001.txt"_s, kHeader + recordsFrom(1, 3));
    QSignalSpy loading(&t.ld, &loader::Loader::loadingChanged);
    QSignalSpy boxes(&t.ld, &loader::Loader::rangeBoxesChanged);
    t.open(path);

    QCOMPARE(t.asked.size(), 1);
    QCOMPARE(t.asked[0][1], t.dir.path() + u"/SAVE DATA"_s);
    QCOMPARE(t.asked[0][2], u"Text (*.txt *.TXT)"_s);
    QVERIFY(t.messages.messages().isEmpty());
    // "Data loading" shows while the file is read, and goes again.
    QCOMPARE(loading.size(), 2);
    QCOMPARE(loading[0][0].toBool(), true);
    QCOMPARE(loading[1][0].toBool(), false);
    QVERIFY(!t.ld.loading);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(t.ld.LOAD_Grid.records(), 3);
    QCOMPARE(t.ld.LOAD_Grid.gridRows(), 5);
    QCOMPARE(t.ld.START_TEXT, u"00001"_s);
    QCOMPARE(t.ld.END_TEXT, u"00003"_s);
    QCOMPARE(t.ld.LD_POINT_STEP, 1);
}

void TestLoaderFile::loadEnds_data()
{
    // Each load follows a table of five records numbered 11 to 15.
    // "" : the dialog was closed; "missing": no such file; "pipe", "link to
    // pipe", "socket", "device": no plain file
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");  // "" : none; its start, %1 the path
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("records");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("step");

    const int critical = int(rt::MessageIcon::Critical);
    const int exclamation = int(rt::MessageIcon::Exclamation);
    QTest::newRow("dialog closed: the table stays")
        << QString() << QByteArray() << u"No open file"_s << critical << 5 << u"00011"_s << u"00015"_s << 1;
    QTest::newRow("no such file: the table stays")
        << u"missing"_s << QByteArray() << u"Cannot open"_s << critical << 5 << u"00011"_s << u"00015"_s << 1;
    // Refused at once, unopened: nothing waits for a writer to the pipe.
    QTest::newRow("named pipe nobody writes: the table stays")
        << u"pipe"_s << QByteArray() << u"Cannot open %1\nIt is a named pipe, not a plain file"_s << critical << 5
        << u"00011"_s << u"00015"_s << 1;
    QTest::newRow("link to a named pipe")
        << u"link to pipe"_s << QByteArray() << u"Cannot open %1\nIt is a named pipe, not a plain file"_s
        << critical << 5 << u"00011"_s << u"00015"_s << 1;
    QTest::newRow("socket") << u"socket"_s << QByteArray() << u"Cannot open %1\nIt is a socket, not a plain file"_s
                            << critical << 5 << u"00011"_s << u"00015"_s << 1;
    QTest::newRow("device") << u"device"_s << QByteArray() << u"Cannot open %1\nIt is a device, not a plain file"_s
                            << critical << 5 << u"00011"_s << u"00015"_s << 1;
    // The table is cleared; the range boxes and the step stay as they were.
    QTest::newRow("header rejected")
        << u"a.txt"_s << QByteArray("   2013/05/06-12:34:56,\r\n") + recordsFrom(1, 3) << u"LOAD ERROR~"_s
        << critical << 0 << u"00011"_s << u"00015"_s << 1;
    QTest::newRow("empty file") << u"a.txt"_s << QByteArray() << u"No records in file"_s << critical << 0
                                << QString() << QString() << 0;
    QTest::newRow("header only") << u"a.txt"_s << kHeader << u"No records in file"_s << critical << 0 << QString()
                                 << QString() << 0;
    QTest::newRow("bad record at line 7 keeps the rows read")
        << u"a.txt"_s << kHeader + recordsFrom(1, 3) + "00004,   00:00:04\r\n" + recordsFrom(5, 2)
        << u"Load stopped at line 7"_s << exclamation << 3 << u"00001"_s << u"00003"_s << 1;
    QTest::newRow("empty line in the middle")
        << u"a.txt"_s << kHeader + recordsFrom(1, 2) + "\r\n" + recordsFrom(3, 2)
        << u"Load stopped at line 6"_s << exclamation << 2 << u"00001"_s << u"00002"_s << 1;
    QTest::newRow("bad first record")
        << u"a.txt"_s << kHeader + "garbage\r\n" << u"Load stopped at line 4"_s << exclamation << 0 << QString()
        << QString() << 0;
    QTest::newRow("blank lines at the end") << u"a.txt"_s << kHeader + recordsFrom(1, 2) + "\r\n\r\n  \r\n"
                                            << QString() << 0 << 2 << u"00001"_s << u"00002"_s << 1;
    QTest::newRow("one record: step 1") << u"a.txt"_s << kHeader + recordsFrom(42, 1) << QString() << 0 << 1
                                        << u"00042"_s << u"00042"_s << 1;
    QTest::newRow("numbered in twos") << u"a.txt"_s << kHeader + recordsFrom(2, 4, 2) << QString() << 0 << 4
                                      << u"00002"_s << u"00008"_s << 2;
    QTest::newRow("step of 2.5 rounds to 2")
        << u"a.txt"_s << kHeader + recordBytes(u"1"_s) + recordBytes(u"3.5"_s) << QString() << 0 << 2
        << u"00001"_s << u"003.5"_s << 2;
    QTest::newRow("upper-case name") << u"A.TXT"_s << kHeader + recordsFrom(7, 2) << QString() << 0 << 2
                                     << u"00007"_s << u"00008"_s << 1;
}

void TestLoaderFile::loadEnds()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QFETCH(int, icon);
    QFETCH(int, records);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(int, step);

    OpenFixture t;
    t.open(t.write(u"before.txt"_s, kHeader + recordsFrom(11, 5)));
    QCOMPARE(t.ld.LOAD_Grid.records(), 5);
    QSignalSpy loading(&t.ld, &loader::Loader::loadingChanged);

    const QString folder = t.dir.path() + u"/SAVE DATA"_s;
    const std::map<QString, SpecialFile> special{{u"pipe"_s, SpecialFile::Pipe},
                                                 {u"link to pipe"_s, SpecialFile::LinkToPipe},
                                                 {u"socket"_s, SpecialFile::Socket},
                                                 {u"device"_s, SpecialFile::Device}};
    QString path;
    if (name == u"missing")
        path = folder + u"/missing.txt"_s;
    else if (special.contains(name))
        path = makeSpecialFile(special.at(name), folder, u"special.txt"_s);
    else if (!name.isEmpty())
        path = t.write(name, bytes);
    if (path.isEmpty() && !name.isEmpty())
        QSKIP("no such file here");
    // Should the load wait on the pipe, it is given an empty one.
    std::optional<PipeWriterOnCall> writer;
    if (name.endsWith(u"pipe"))
        writer.emplace(path);
    t.open(path);
    writer.reset();
    if (message.contains(u"%1"))
        message = message.arg(QDir::toNativeSeparators(path));

    if (message.isEmpty()) {
        QVERIFY2(t.messages.messages().isEmpty(), qPrintable(t.messages.messages().value(0).text));
    } else {
        QCOMPARE(t.messages.messages().size(), 1);
        QVERIFY2(t.messages.messages()[0].text.startsWith(message), qPrintable(t.messages.messages()[0].text));
        QCOMPARE(int(t.messages.messages()[0].icon), icon);
    }
    QCOMPARE(loading.size(), 2);
    QVERIFY(!t.ld.loading);
    QCOMPARE(t.ld.LOAD_Grid.records(), records);
    QCOMPARE(t.ld.LOAD_Grid.gridRows(), records + 2);
    QCOMPARE(t.ld.START_TEXT, start);
    QCOMPARE(t.ld.END_TEXT, end);
    QCOMPARE(t.ld.LD_POINT_STEP, step);
}

void TestLoaderFile::previousFileIsNeverPlottedAsTheNew()
{
    OpenFixture t;
    t.open(t.write(u"old.txt"_s, kHeader + recordsFrom(1, 50)));
    loader::Graph_SHOW_BUTT_Click(t.ld);
    QCOMPARE(t.ld.LOAD_Graph.x.size(), 51);

    t.open(t.write(u"new.txt"_s, kHeader));
    t.messages.clear();
    loader::Graph_SHOW_BUTT_Click(t.ld);
    loader::SET_SHOW_BUTT_Click(t.ld);
    QCOMPARE(t.messages.messages().size(), 2);
    QCOMPARE(t.messages.messages()[0].text, u"The Grid is no data"_s);
    QCOMPARE(t.messages.messages()[1].text, u"The Grid is no data!"_s);
    QVERIFY(t.ld.LOAD_Graph.x.isEmpty());
}

void TestLoaderFile::longLoadProgress_data()
{
    QTest::addColumn<int>("progressAfterMs");
    QTest::addColumn<int>("cancelAt");  // the progress report on which Cancel is pressed; 0: never
    // Shorter than the wait before the progress shows, on any machine.
    QTest::newRow("a short load shows no progress") << 60000 << 0;
    QTest::newRow("a long load shows its progress to the end") << 0 << 0;
    QTest::newRow("cancelled: as if the file stopped there") << 0 << 5;
}

void TestLoaderFile::longLoadProgress()
{
    QFETCH(int, progressAfterMs);
    QFETCH(int, cancelAt);
    OpenFixture t;
    const int total = 200;
    const QString path = t.write(u"long.txt"_s, kHeader + recordsFrom(1, total));
    // A slice of about nine records stands for a second of a large file.
    t.ld.progressAfter = std::chrono::milliseconds(progressAfterMs);
    t.ld.loadSlice = 1000;
    QList<int> progress;
    connect(&t.ld, &loader::Loader::loadProgress, this, [&](int percent) {
        progress.append(percent);
        QVERIFY(t.ld.loading);
        if (progress.size() == cancelAt)
            t.ld.cancelLoad();
    });
    t.open(path);

    QVERIFY(!t.ld.loading);
    QVERIFY(std::is_sorted(progress.cbegin(), progress.cend()));
    QVERIFY(progress.isEmpty() || (progress.first() >= 0 && progress.last() <= 100));
    const int rows = t.ld.LOAD_Grid.records();
    if (progressAfterMs > 0) {
        QVERIFY(progress.isEmpty());
    } else if (cancelAt == 0) {
        QVERIFY(progress.size() > 10);
        QVERIFY(progress.last() >= 90);
    } else {
        QCOMPARE(progress.size(), cancelAt);
    }
    if (cancelAt == 0) {
        QVERIFY2(t.messages.messages().isEmpty(), qPrintable(t.messages.messages().value(0).text));
        QCOMPARE(rows, total);
        return;
    }
    // The rows before the line it stopped at, and the range boxes over them.
    QVERIFY(rows > 0 && rows < total);
    QCOMPARE(t.messages.messages().size(), 1);
    QCOMPARE(t.messages.messages()[0].text,
             u"Load stopped at line %1\nThe load was cancelled."_s.arg(rows + formats::kHeaderLineCount + 1));
    QCOMPARE(t.ld.LOAD_Grid.cell(rows, loader::LoadGridModel::Point), QString::number(rows).rightJustified(5, u'0'));
    QCOMPARE(t.ld.END_TEXT, QString::number(rows).rightJustified(5, u'0'));
    // The next load is not cancelled by the last one's Cancel.
    t.open(path);
    QCOMPARE(t.ld.LOAD_Grid.records(), total);
}

// The window paints while a long file loads, but a run's tick that falls
// due meanwhile waits for the end of the load: a run's loop started inside
// the load would hold the load (and its modal progress) until the run ends.
void TestLoaderFile::panelTicksWaitForTheLoad()
{
    OpenFixture t;
    const int total = 200;
    const QString path = t.write(u"long.txt"_s, kHeader + recordsFrom(1, total));
    t.ld.progressAfter = std::chrono::milliseconds(0);
    t.ld.loadSlice = 1000;
    QList<bool> tickedWhileLoading;
    rt::PanelTimer timer;
    timer.setHandler([&] { tickedWhileLoading.append(t.ld.loading); });
    timer.setInterval(1);
    timer.setEnabled(true);
    int slices = 0;
    connect(&t.ld, &loader::Loader::loadProgress, this, [&](int) {
        ++slices;
        // As the window does with its progress: everything pending runs.
        QTest::qWait(2);
    });
    t.open(path);

    QVERIFY(slices > 10);
    QCOMPARE(t.ld.LOAD_Grid.records(), total);
    QVERIFY(!tickedWhileLoading.contains(true));
    // The tick that fell due comes once the load is over.
    QTRY_VERIFY(!tickedWhileLoading.isEmpty());
    timer.setEnabled(false);
}

void TestLoaderFile::tableAsTheViewSeesIt()
{
    OpenFixture t;
    t.open(t.write(u"a.txt"_s, kHeader + recordsFrom(1, 2)
                                   + u"00003,   00:00:03,    2013/05/06 12:34:59,        2W,              "
                                     u"\u3000,       DCV,     -0.5678_mV,\r\n"_s.toUtf8()));
    const loader::LoadGridModel &grid = t.ld.LOAD_Grid;
    // The records and one empty row below them.
    QCOMPARE(grid.rowCount(), 4);
    QCOMPARE(grid.columnCount(), 7);
    QStringList headings;
    for (int c = 0; c < 7; ++c)
        headings.append(grid.headerData(c, Qt::Horizontal).toString());
    QCOMPARE(headings, (QStringList{u"Point"_s, u"Time"_s, u"Actual Time"_s, u"Mode 1"_s, u"Display1"_s,
                                    u"Mode 2"_s, u"Display2"_s}));
    QStringList third;
    for (int c = 0; c < 7; ++c)
        third.append(grid.data(grid.index(2, c)).toString());
    QCOMPARE(third, (QStringList{u"00003"_s, u"00:00:03"_s, u"2013/05/06 12:34:59"_s, u"2W"_s, u"\u3000"_s,
                                 u"DCV"_s, u"-0.5678_mV"_s}));
    for (int c = 0; c < 7; ++c)
        QCOMPARE(grid.data(grid.index(3, c)).toString(), QString());
    QCOMPARE(grid.data(grid.index(0, 4), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    QCOMPARE(loader::kLoadColumns[1].widthTwips, 0);  // Time is hidden
}

void TestLoaderFile::rangeBoxKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("taken");
    QTest::newRow("a") << int('a') << false;
    QTest::newRow(".") << int('.') << false;
    QTest::newRow("-") << int('-') << false;
    QTest::newRow("space") << int(' ') << false;
    QTest::newRow("Ctrl+V") << 22 << false;
    QTest::newRow("0") << int('0') << true;
    QTest::newRow("1") << int('1') << true;
    QTest::newRow("9") << int('9') << true;
    QTest::newRow(":") << int(':') << true;
    QTest::newRow("Backspace") << 8 << true;
}

void TestLoaderFile::rangeBoxKeys()
{
    QFETCH(int, key);
    QFETCH(bool, taken);
    int code = key;
    loader::rangeBoxKeyPress(code);
    QCOMPARE(code, taken ? key : 0);
}

QTEST_GUILESS_MAIN(TestLoaderFile)
#include "tst_loader_file.moc"
