// Recorded-data files: header and record lines against hand-made golden
// files over the width and fill rules, the stamp and the naming, the count
// and the roll-over, and the ways writing can fail.

#include "platform/program_folder.h"
#include "runs/recorder.h"
#include "core/panel_state.h"
#include "core/status_log.h"

#include "support/files.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace Qt::StringLiterals;

namespace {

QString dataFile(const QString &name)
{
    return QStringLiteral(RAVELO_TEST_DATA "/recorded/") + name;
}

const QDateTime kCreated(QDate(2013, 5, 6), QTime(14, 22, 33));
const QString kWide(1, QChar(formats::kFullWidthSpace));

// A wall clock that moves only when the test says so.
struct TestClock
{
    QDateTime now = kCreated;
    runs::DateTimeSource source()
    {
        return [this] { return now; };
    }
};

// The reading of one record step, put into the state as a run would.
void setReading(shell::PanelState &state, const QString &mode1, const QString &display1,
                const QString &mode2 = {}, const QString &display2 = {}, bool mode2On = false)
{
    state.MODE1 = mode1;
    state.DISPLAY1 = display1;
    state.MODE2 = mode2;
    state.DISPLAY2 = display2;
    state.MODE2_ON = mode2On;
}

} // namespace

class TestRecorder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void elapsedText_data();
    void elapsedText();
    void fileStampAndPath_data();
    void fileStampAndPath();
    void recordEvery_data();
    void recordEvery();
    void recordName_data();
    void recordName();

    void header();
    void recordLine_data();
    void recordLine();
    void fills_data();
    void fills();

    void runRollsOverIntoStampedFiles();
    void numberingContinuesFromTheLastRun();
    void notSavingTouchesNoFile();
    void recordBeforeAnyFileGetsFolderAndHeader();
    void existingFileGetsNoSecondHeader();
    void keptOpenRecordsReachTheFileAtOnce();
    void unusableFolderIsReported();
    void failedWriteIsReportedAndTakenBack_data();
    void failedWriteIsReportedAndTakenBack();

private:
    QString savePath(const QString &name) const { return m_dir.path() + u"/SAVE DATA/"_s + name; }

    QTemporaryDir m_dir;
    shell::PanelState m_state;
    shell::StatusLog m_status;
    TestClock m_clock;
};

void TestRecorder::init()
{
    QVERIFY(m_dir.isValid());
    QDir(m_dir.path() + u"/SAVE DATA"_s).removeRecursively();
    QFile::remove(m_dir.path() + u"/SAVE DATA"_s);
    rt::setProgramFolder(m_dir.path());
    m_state = {};
    m_state.LOG_NAME = u"bench"_s;
    m_state.SETTING.REC_EVERY = u"1                   "_s;
    m_status.clear();
    m_clock.now = kCreated;
}

void TestRecorder::cleanup()
{
    rt::setProgramFolder({});
}

// ---- The pieces of the format.

void TestRecorder::elapsedText_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("start") << qint64(0) << u"00:00:00"_s;
    QTest::newRow("under a minute") << qint64(59) << u"00:00:59"_s;
    QTest::newRow("hour, minutes, seconds") << qint64(3725) << u"01:02:05"_s;
    QTest::newRow("last second of a day") << qint64(86399) << u"23:59:59"_s;
    QTest::newRow("a whole day is dropped") << qint64(86400) << u"00:00:00"_s;
    QTest::newRow("day, hour, minute, second") << qint64(90061) << u"01:01:01"_s;
    QTest::newRow("year-long run") << qint64(31536000 + 61) << u"00:01:01"_s;
}

void TestRecorder::elapsedText()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QCOMPARE(formats::elapsedText(seconds), text);
}

void TestRecorder::fileStampAndPath_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<int>("fileNo");
    QTest::addColumn<QString>("stamp");
    QTest::newRow("first file")
        << kCreated << 1 << u"-20130506-142233-001"_s;
    QTest::newRow("afternoon hours, two-digit number")
        << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59)) << 12 << u"-20241231-235959-012"_s;
    QTest::newRow("morning keeps its zeros")
        << QDateTime(QDate(2001, 1, 2), QTime(3, 4, 5)) << 100 << u"-20010102-030405-100"_s;
    QTest::newRow("number past three digits")
        << kCreated << 1234 << u"-20130506-142233-1234"_s;
}

void TestRecorder::fileStampAndPath()
{
    QFETCH(QDateTime, when);
    QFETCH(int, fileNo);
    QFETCH(QString, stamp);
    QCOMPARE(formats::fileStamp(when, fileNo), stamp);
    QCOMPARE(formats::recordPath(u"bench"_s, stamp),
             m_dir.path() + u"/SAVE DATA/bench"_s + stamp + u".txt"_s);
}

void TestRecorder::recordEvery_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("every");
    QTest::newRow("settings record's 1, padded") << u"1                   "_s << 1;
    QTest::newRow("five") << u"5"_s << 5;
    QTest::newRow("halves to even") << u"2.5"_s << 2;
    QTest::newRow("no settings record") << u""_s << 1;
    QTest::newRow("blank") << u"                    "_s << 1;
    QTest::newRow("zero") << u"0"_s << 1;
    QTest::newRow("negative") << u"-3"_s << 1;
    QTest::newRow("not a number") << u"abc"_s << 1;
    QTest::newRow("rounds to zero") << u"0.4"_s << 1;
}

void TestRecorder::recordEvery()
{
    QFETCH(QString, text);
    QFETCH(int, every);
    QCOMPARE(runs::recordEvery(text), every);
}

void TestRecorder::recordName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("usable");
    QTest::newRow("plain") << u"bench"_s << true;
    QTest::newRow("spaces and dots") << u"run 3.a"_s << true;
    QTest::newRow("full-width and accented") << u"Messung\u3000\u00e9"_s << true;
    QTest::newRow("empty") << u""_s << false;
    QTest::newRow("slash") << u"a/b"_s << false;
    QTest::newRow("backslash") << u"a\\b"_s << false;
    QTest::newRow("colon") << u"c:x"_s << false;
    QTest::newRow("parent folder") << u".."_s << false;
    QTest::newRow("dots inside") << u"a..b"_s << false;
    QTest::newRow("tab") << u"a\tb"_s << false;
    QTest::newRow("line feed") << u"a\nb"_s << false;
    QTest::newRow("delete") << u"a\u007fb"_s << false;
    QTest::newRow("C1 control") << u"a\u0085b"_s << false;
}

void TestRecorder::recordName()
{
    QFETCH(QString, name);
    QFETCH(bool, usable);
    QCOMPARE(runs::isUsableRecordName(name), usable);
}

// ---- Header and record lines, byte for byte.

void TestRecorder::header()
{
    QCOMPARE(formats::headerBytes(kCreated), fileBytes(dataFile(u"header_20130506_142233.txt"_s)));
}

void TestRecorder::recordLine_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<qint64>("elapsed");
    QTest::addColumn<QString>("mode1");
    QTest::addColumn<QString>("display1");
    QTest::addColumn<QString>("mode2");
    QTest::addColumn<QString>("display2");
    QTest::addColumn<bool>("mode2On");
    QTest::addColumn<int>("line");  // of record_lines.txt; its time is 14:22:34 + line

    QTest::newRow("volt, display 2 off: spaces in its fields")
        << 1 << qint64(1) << u"DCV"_s << u"1.234567_V"_s << u""_s << u""_s << false << 0;
    QTest::newRow("2-wire, empty reading: U+3000 in 15")
        << 2 << qint64(2) << u"2W"_s << u""_s << u""_s << u""_s << false << 1;
    QTest::newRow("Celsius: Mod1 in 9, Display1 in 15, Display2 in 16")
        << 3 << qint64(3) << u"C"_s << u"25.30_C"_s << u"DCV"_s << u"0.012345_V"_s << true << 2;
    QTest::newRow("Fahrenheit beside 2-wire: display 2 gets no fill")
        << 4 << qint64(4) << u"F"_s << u""_s << u"2W"_s << u""_s << true << 3;
    QTest::newRow("4-wire beside 2-wire: both U+3000 in 15")
        << 5 << qint64(5) << u"4W"_s << u""_s << u"2W"_s << u""_s << true << 4;
    QTest::newRow("volt beside 2-wire: a space in 15")
        << 6 << qint64(6) << u"DCV"_s << u"-0.000012_V"_s << u"2W"_s << u""_s << true << 5;
    QTest::newRow("texts longer than their fields are written whole")
        << 7 << qint64(7) << u"CONTINU"_s << u"1234567.8901234567_kOhm"_s << u"DCI"_s
        << u"-1234567.89012345_mA"_s << true << 6;
    QTest::newRow("six-digit total, elapsed past a day")
        << 123456 << qint64(90061) << u"ACI"_s << u"0.123456_A"_s << u"ACV"_s << u"1.000000_V"_s
        << true << 7;
}

void TestRecorder::recordLine()
{
    QFETCH(int, total);
    QFETCH(qint64, elapsed);
    QFETCH(QString, mode1);
    QFETCH(QString, display1);
    QFETCH(QString, mode2);
    QFETCH(QString, display2);
    QFETCH(bool, mode2On);
    QFETCH(int, line);

    formats::fillEmptyDisplays(display1, display2, mode1, mode2, mode2On);
    const formats::RecordFields fields{total, formats::elapsedText(elapsed), kCreated.addSecs(1 + line),
                                    mode1, display1, mode2, display2};
    const QList<QByteArray> golden = fileLines(dataFile(u"record_lines.txt"_s));
    QVERIFY(line < golden.size());
    QCOMPARE(formats::recordLine(fields).toUtf8(), golden[line] + '\n');
}

void TestRecorder::fills_data()
{
    QTest::addColumn<QString>("mode1");
    QTest::addColumn<QString>("mode2");
    QTest::addColumn<bool>("mode2On");
    QTest::addColumn<QString>("display1");
    QTest::addColumn<QString>("display2");
    QTest::addColumn<QString>("filled1");
    QTest::addColumn<QString>("filled2");

    QTest::newRow("volt: a space")
        << u"DCV"_s << u""_s << false << u""_s << u""_s << u" "_s << u""_s;
    QTest::newRow("diode: a space")
        << u"DIODE"_s << u""_s << false << u""_s << u""_s << u" "_s << u""_s;
    QTest::newRow("2-wire: U+3000") << u"2W"_s << u""_s << false << u""_s << u""_s << kWide << u""_s;
    QTest::newRow("Celsius: U+3000") << u"C"_s << u""_s << false << u""_s << u""_s << kWide << u""_s;
    QTest::newRow("codes are case-sensitive")
        << u"2w"_s << u""_s << false << u""_s << u""_s << u" "_s << u""_s;
    QTest::newRow("readings are kept")
        << u"2W"_s << u"4W"_s << true << u"1.0_Ohm"_s << u"2.0_Ohm"_s << u"1.0_Ohm"_s << u"2.0_Ohm"_s;
    QTest::newRow("display 2 off: not filled")
        << u"2W"_s << u"4W"_s << false << u""_s << u""_s << kWide << u""_s;
    QTest::newRow("both resistance: U+3000 on display 2")
        << u"4W"_s << u"2W"_s << true << u"1_Ohm"_s << u""_s << u"1_Ohm"_s << kWide;
    QTest::newRow("volt beside 2-wire: a space on display 2")
        << u"DCV"_s << u"2W"_s << true << u"1_V"_s << u""_s << u"1_V"_s << u" "_s;
    QTest::newRow("2-wire beside volt: a space on display 2")
        << u"2W"_s << u"DCV"_s << true << u"1_Ohm"_s << u""_s << u"1_Ohm"_s << u" "_s;
    QTest::newRow("Fahrenheit: display 2 never filled")
        << u"F"_s << u"2W"_s << true << u""_s << u""_s << kWide << u""_s;
}

void TestRecorder::fills()
{
    QFETCH(QString, mode1);
    QFETCH(QString, mode2);
    QFETCH(bool, mode2On);
    QFETCH(QString, display1);
    QFETCH(QString, display2);
    formats::fillEmptyDisplays(display1, display2, mode1, mode2, mode2On);
    QTEST(display1, "filled1");
    QTEST(display2, "filled2");
}

// ---- The writer.

// Five recorded readings one second apart with three records a file: the
// third closes the first file, the next two go to a second one with its own
// stamp, number and header, numbered from 1 again.
void TestRecorder::runRollsOverIntoStampedFiles()
{
    runs::Recorder recorder(m_state, &m_status, m_clock.source());
    recorder.setRecordsPerFile(3);
    QVERIFY(recorder.create());
    QCOMPARE(m_state.LOG_FILE_NO, 1);
    QCOMPARE(m_state.FILE_STAMP, u"-20130506-142233-001"_s);
    QCOMPARE(recorder.path(), savePath(u"bench-20130506-142233-001.txt"_s));
    QVERIFY(!recorder.isOpen());

    QVERIFY(recorder.openForRun(true));
    for (int step = 1; step <= 5; ++step) {
        m_clock.now = kCreated.addSecs(step);
        recorder.nextRecord();
        QVERIFY(recorder.isDue(1));
        setReading(m_state, u"DCV"_s, u"1.00000%1_V"_s.arg(step));
        QVERIFY(recorder.writeRecord(formats::elapsedText(step), true));
        QVERIFY(recorder.rollOverIfDue(true));
    }
    recorder.close();
    QVERIFY(!recorder.isOpen());

    QCOMPARE(m_state.RECORD_COUNT, 2);
    QCOMPARE(m_state.LOG_FILE_NO, 2);
    QCOMPARE(m_state.FILE_STAMP, u"-20130506-142236-002"_s);
    QCOMPARE(recorder.path(), savePath(u"bench-20130506-142236-002.txt"_s));
    QCOMPARE(QDir(m_dir.path() + u"/SAVE DATA"_s).entryList(QDir::Files),
             QStringList({u"bench-20130506-142233-001.txt"_s, u"bench-20130506-142236-002.txt"_s}));
    QCOMPARE(fileBytes(savePath(u"bench-20130506-142233-001.txt"_s)),
             fileBytes(dataFile(u"bench-20130506-142233-001.txt"_s)));
    QCOMPARE(fileBytes(savePath(u"bench-20130506-142236-002.txt"_s)),
             fileBytes(dataFile(u"bench-20130506-142236-002.txt"_s)));
    QVERIFY(m_status.lines().isEmpty());
}

// A run does not restart the count: its first file goes on from the last
// run's number and rolls over at the next multiple of the file size.
void TestRecorder::numberingContinuesFromTheLastRun()
{
    runs::Recorder recorder(m_state, &m_status, m_clock.source());
    recorder.setRecordsPerFile(5);
    m_state.RECORD_COUNT = 3;
    QVERIFY(recorder.create());
    const QString first = recorder.path();
    for (int step = 1; step <= 4; ++step) {
        m_clock.now = kCreated.addSecs(step);
        recorder.nextRecord();
        setReading(m_state, u"ACV"_s, u"0.5_V"_s);
        QVERIFY(recorder.writeRecord(formats::elapsedText(step), true));
        QVERIFY(recorder.rollOverIfDue(true));
    }
    const QList<QByteArray> firstLines = fileLines(first);
    QCOMPARE(firstLines.size(), 5);
    QVERIFY(firstLines[3].startsWith("00004,"));
    QVERIFY(firstLines[4].startsWith("00005,"));
    const QList<QByteArray> secondLines = fileLines(recorder.path());
    QCOMPARE(secondLines.size(), 5);
    QVERIFY(secondLines[3].startsWith("00001,"));
    QVERIFY(secondLines[4].startsWith("00002,"));
}

// With "Save Data" clear nothing is opened, created or written, and the
// readings keep their texts; the count still restarts at each file size.
void TestRecorder::notSavingTouchesNoFile()
{
    runs::Recorder recorder(m_state, &m_status, m_clock.source());
    recorder.setRecordsPerFile(2);
    QVERIFY(recorder.openForRun(false));
    for (int step = 1; step <= 5; ++step) {
        recorder.nextRecord();
        setReading(m_state, u"2W"_s, u""_s);
        QVERIFY(recorder.writeRecord(formats::elapsedText(step), false));
        QVERIFY(recorder.rollOverIfDue(false));
    }
    recorder.close();
    QCOMPARE(m_state.RECORD_COUNT, 1);
    QCOMPARE(m_state.LOG_FILE_NO, 2);
    QCOMPARE(m_state.DISPLAY1, u""_s);
    QVERIFY(!QFileInfo::exists(m_dir.path() + u"/SAVE DATA"_s));
    QVERIFY(m_status.lines().isEmpty());
}

// A record never lands in a file without its header: with no file started
// yet (a trigger press before any START), or with the folder gone since the
// START, the folder and the header come first.
void TestRecorder::recordBeforeAnyFileGetsFolderAndHeader()
{
    const QList<QByteArray> header = fileLines(dataFile(u"header_20130506_142233.txt"_s));
    for (const bool started : {false, true}) {
        init();
        runs::Recorder recorder(m_state, &m_status, m_clock.source());
        if (started) {
            QVERIFY(recorder.create());
            QVERIFY(QDir(m_dir.path() + u"/SAVE DATA"_s).removeRecursively());
        }
        recorder.nextRecord();
        setReading(m_state, u"DCV"_s, u"1_V"_s);
        QVERIFY(recorder.writeRecord(u"00:00:00"_s, true));
        QCOMPARE(recorder.path(), savePath(u"bench-20130506-142233-001.txt"_s));
        const QList<QByteArray> lines = fileLines(recorder.path());
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.mid(0, 3), header);
        QVERIFY(lines[3].startsWith("00001,   00:00:00,"));
    }
}

// A START within the same second under the same name meets its own file:
// records go on at its end under the one header.
void TestRecorder::existingFileGetsNoSecondHeader()
{
    runs::Recorder recorder(m_state, &m_status, m_clock.source());
    QVERIFY(recorder.create());
    recorder.nextRecord();
    setReading(m_state, u"DCV"_s, u"1_V"_s);
    QVERIFY(recorder.writeRecord(u"00:00:00"_s, true));
    QVERIFY(recorder.create());
    recorder.nextRecord();
    QVERIFY(recorder.writeRecord(u"00:00:00"_s, true));
    const QList<QByteArray> lines = fileLines(recorder.path());
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines[3].startsWith("00001,"));
    QVERIFY(lines[4].startsWith("00002,"));
}

// Within a run the file stays open, and each record is in the file the
// moment writeRecord returns: a killed program loses nothing written.
void TestRecorder::keptOpenRecordsReachTheFileAtOnce()
{
    runs::Recorder recorder(m_state, &m_status, m_clock.source());
    QVERIFY(recorder.create());
    QVERIFY(recorder.openForRun(true));
    QVERIFY(recorder.isOpen());
    for (int step = 1; step <= 3; ++step) {
        recorder.nextRecord();
        setReading(m_state, u"DCI"_s, u"0.1_A"_s);
        QVERIFY(recorder.writeRecord(formats::elapsedText(step), true));
        QCOMPARE(fileLines(recorder.path()).size(), 3 + step);
        QVERIFY(recorder.isOpen());
    }
    recorder.close();
    QVERIFY(!recorder.isOpen());
}

// "SAVE DATA" is a file: the folder cannot be made. The failure is the
// result, with a reason, and one status line however often it repeats.
void TestRecorder::unusableFolderIsReported()
{
    QFile blocker(m_dir.path() + u"/SAVE DATA"_s);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    runs::Recorder recorder(m_state, &m_status, m_clock.source());
    QString why;
    QVERIFY(!recorder.create(&why));
    QVERIFY2(why.contains(u"SAVE DATA"_s), qPrintable(why));
    QCOMPARE(m_status.lines().size(), 1);
    QVERIFY(m_status.lines().first().startsWith(u"Recording failed: "_s));

    recorder.nextRecord();
    setReading(m_state, u"DCV"_s, u"1_V"_s);
    QVERIFY(!recorder.writeRecord(u"00:00:01"_s, true, &why));
    QVERIFY(!why.isEmpty());
    QCOMPARE(m_status.lines().size(), 1);

    // The folder can be made again: recording goes on, and says so.
    QVERIFY(QFile::remove(m_dir.path() + u"/SAVE DATA"_s));
    QVERIFY(recorder.writeRecord(u"00:00:01"_s, true));
    QCOMPARE(m_status.lines().size(), 2);
    QVERIFY(m_status.lines().last().startsWith(u"Recording again to "_s));
    QCOMPARE(fileLines(recorder.path()).size(), 4);
}

// A disk that takes no more bytes, or stops a write part-way (the file size
// limit stands in for it): the failure is the result, with a reason and a
// status line, never taken for success; what part of the line got in is
// taken back, so the next record does not run into half a line.
void TestRecorder::failedWriteIsReportedAndTakenBack_data()
{
    QTest::addColumn<int>("room");  // bytes the file may still grow by
    QTest::addColumn<QString>("reason");
    QTest::newRow("nothing gets in") << 0 << u"cannot write to "_s;
    QTest::newRow("cut part-way") << 40 << u"40 of "_s;
}

void TestRecorder::failedWriteIsReportedAndTakenBack()
{
    QFETCH(int, room);
    QFETCH(QString, reason);
#ifndef Q_OS_LINUX
    QSKIP("needs a file size limit");
#else
    runs::Recorder recorder(m_state, &m_status, m_clock.source());
    QVERIFY(recorder.create());
    QVERIFY(recorder.openForRun(true));
    const qint64 headerSize = QFileInfo(recorder.path()).size();
    recorder.nextRecord();
    setReading(m_state, u"DCV"_s, u"1_V"_s);

    rlimit previous{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit cut = previous;
    cut.rlim_cur = rlim_t(headerSize + room);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &cut), 0);
    QString why;
    const bool written = recorder.writeRecord(u"00:00:01"_s, true, &why);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written);
    QVERIFY2(why.contains(reason), qPrintable(why));
    QCOMPARE(QFileInfo(recorder.path()).size(), headerSize);
    QCOMPARE(m_status.lines().size(), 1);

    QVERIFY(recorder.writeRecord(u"00:00:01"_s, true));
    recorder.close();
    const QList<QByteArray> lines = fileLines(recorder.path());
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[3].startsWith("00001,   00:00:01,"));
    QVERIFY(lines[3].endsWith("\r"));
    QVERIFY(fileBytes(recorder.path()).endsWith(",\r\n"));
#endif
}

QTEST_GUILESS_MAIN(TestRecorder)
#include "tst_recorder.moc"
