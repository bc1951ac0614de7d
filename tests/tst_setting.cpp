// The settings record "XYZQQQ.Log": its bytes against hand-made golden
// files, the files it refuses to trust, and the values the program starts
// with and stores.

#include "formats/setting_record.h"
#include "shell/setting_rules.h"

#include "support/files.h"
#include "support/special_files.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>
#include <vector>

using namespace Qt::StringLiterals;
using shell::SETTING;

Q_DECLARE_METATYPE(shell::SETTING)

namespace {

QString dataFile(const QString &name)
{
    return QStringLiteral(RAVELO_TEST_DATA "/") + name;
}

bool putFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// COM 3, 9600 baud, REC_EVERY "1", "Continuous", SPEED "500".
QByteArray golden()
{
    return fileBytes(dataFile(u"setting_com3.bin"_s));
}

// The golden record with the bytes at offset replaced (given in hex).
QByteArray patched(QByteArray bytes, int offset, const char *hex)
{
    const QByteArray with = QByteArray::fromHex(hex);
    bytes.replace(offset, with.size(), with);
    return bytes;
}

QString padded(const QString &text)
{
    return text + QString(20 - text.size(), u' ');
}

// Decodes from a buffer of exactly the given size, so that the sanitizer
// sees any read past its end.
std::optional<SETTING> decodeExact(const QByteArray &bytes, QString *why)
{
    std::vector<char> exact(bytes.cbegin(), bytes.cend());
    return shell::decodeSetting(QByteArray::fromRawData(exact.data(), qsizetype(exact.size())), why);
}

SETTING record(qint16 port, qint32 baud, const QString &speed, const QString &recEvery = u"1"_s,
               const QString &testTime = u"Continuous"_s)
{
    SETTING s;
    s.PORT = port;
    s.BAUD = baud;
    s.REC_EVERY = recEvery;
    s.TEST_TIME_TEXT = testTime;
    s.SPEED = speed;
    return s;
}

} // namespace

class TestSetting : public QObject
{
    Q_OBJECT

private slots:
    void fixedText_data();
    void fixedText();

    void writerMatchesGolden();
    void goldenReadsBack();
    void roundTrip_data();
    void roundTrip();

    void trusted_data();
    void trusted();
    void untrusted_data();
    void untrusted();

    void readMissingFile();
    void readProblems_data();
    void readProblems();
    void writeReplacesLongerFile();
    void writeFails_data();
    void writeFails();

    void sampleInterval_data();
    void sampleInterval();
    void startup_data();
    void startup();
    void startupFromGoldenFile();

    void store_data();
    void store();
    void storeRefuses_data();
    void storeRefuses();
    void storedRecordMatchesGolden();

private:
    QTemporaryDir m_dir;
};

// ---- fixed 20-character texts ----------------------------------------------

void TestSetting::fixedText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty")               << QString() << QString(20, u' ');
    QTest::newRow("short, padded")       << u"0.5"_s << u"0.5                 "_s;
    QTest::newRow("exactly 20")          << u"12345678901234567890"_s << u"12345678901234567890"_s;
    QTest::newRow("long, cut")           << u"123456789012345678901234"_s << u"12345678901234567890"_s;
    QTest::newRow("spaces kept")         << u" 1 "_s << u" 1                  "_s;
    QTest::newRow("Latin-1 kept")        << u"5 \u00B5s \u00E9"_s << padded(u"5 \u00B5s \u00E9"_s);
    QTest::newRow("outside Latin-1 ?")   << u"1\u3000\u20AC"_s << padded(u"1??"_s);
    QTest::newRow("surrogate pair one ?") << u"a\U0001F600b"_s << padded(u"a?b"_s);
    QTest::newRow("cut after replacing") << (QString(19, u'x') + u"\U0001F600yz"_s) << (QString(19, u'x') + u"?"_s);
}

void TestSetting::fixedText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(shell::fixedText(text), expected);
}

// ---- golden bytes ------------------------------------------------------------

void TestSetting::writerMatchesGolden()
{
    QVERIFY(m_dir.isValid());
    const QByteArray expected = golden();
    QCOMPARE(expected.size(), shell::kSettingRecordSize);

    // Unpadded texts in memory: the writer pads them.
    const QString path = shell::settingPath(m_dir.path());
    QString why = u"stale"_s;
    QVERIFY(shell::writeSetting(path, record(3, 9600, u"500"_s), &why));
    QVERIFY(why.isEmpty());
    QCOMPARE(fileBytes(path), expected);
    QCOMPARE(shell::encodeSetting(record(3, 9600, u"500"_s, padded(u"1"_s), padded(u"Continuous"_s))), expected);
}

void TestSetting::goldenReadsBack()
{
    const shell::SettingRead read = shell::readSetting(dataFile(u"setting_com3.bin"_s));
    QVERIFY(read.fileFound);
    QVERIFY2(read.record, qPrintable(read.problem));
    QVERIFY(read.problem.isEmpty());
    QCOMPARE(read.record->PORT, qint16(3));
    QCOMPARE(read.record->BAUD, 9600);
    QCOMPARE(read.record->REC_EVERY, padded(u"1"_s));
    QCOMPARE(read.record->TEST_TIME_TEXT, padded(u"Continuous"_s));
    QCOMPARE(read.record->SPEED, u"500"_s);
}

void TestSetting::roundTrip_data()
{
    QTest::addColumn<SETTING>("setting");
    QTest::newRow("COM 3, 9600, 500")           << record(3, 9600, u"500"_s);
    QTest::newRow("no port, no baud, no speed") << record(0, 0, QString(), u"1"_s, u"0.5"_s);
    QTest::newRow("COM 10, 115200, 16.667")     << record(10, 115200, u"16.667"_s, u"1"_s, u"1440"_s);
    QTest::newRow("long texts cut to 20")
        << record(1, 19200, u"600000"_s, u"abcdefghijklmnopqrstuvwxyz"_s, u"0.5 minutes and then some more"_s);
    QTest::newRow("Latin-1 characters")         << record(2, 38400, u"33.333 \u00B5s"_s, u"\u00E9"_s, u"\u00B0"_s);
    QTest::newRow("SPEED of 78 characters")     << record(4, 57600, QString(78, u'9'));
}

void TestSetting::roundTrip()
{
    QFETCH(SETTING, setting);
    const QByteArray bytes = shell::encodeSetting(setting);
    QCOMPARE(bytes.size(), shell::kSettingRecordSize);

    // Everything after the SPEED text is zero.
    const qsizetype end = 50 + setting.SPEED.size();
    QCOMPARE(bytes.mid(end), QByteArray(shell::kSettingRecordSize - end, '\0'));

    QString why;
    const std::optional<SETTING> back = decodeExact(bytes, &why);
    QVERIFY2(back, qPrintable(why));
    QCOMPARE(back->PORT, setting.PORT);
    QCOMPARE(back->BAUD, setting.BAUD);
    QCOMPARE(back->SPEED, setting.SPEED);
    QCOMPARE(back->REC_EVERY, shell::fixedText(setting.REC_EVERY));
    QCOMPARE(back->TEST_TIME_TEXT, shell::fixedText(setting.TEST_TIME_TEXT));
    QCOMPARE(back->REC_EVERY.size(), 20);
}

// ---- which files are trusted ------------------------------------------------

void TestSetting::trusted_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint16>("port");
    QTest::addColumn<qint32>("baud");
    QTest::addColumn<QString>("speed");
    const QByteArray g = golden();
    QTest::newRow("just long enough (53 bytes)") << g.left(53) << qint16(3) << 9600 << u"500"_s;
    QTest::newRow("empty SPEED in 50 bytes")     << patched(g, 48, "0000").left(50) << qint16(3) << 9600 << QString();
    QTest::newRow("SPEED of 78 fills record")
        << patched(g, 48, "4e00") << qint16(3) << 9600 << (u"500"_s + QString(75, QChar(0)));
    QTest::newRow("longer than one record")
        << (g + QByteArray(200, '\x7f')) << qint16(3) << 9600 << u"500"_s;
    QTest::newRow("PORT 0, BAUD 0")              << patched(g, 0, "0000000000") << qint16(0) << 0 << u"500"_s;
    QTest::newRow("COM 10, 115200")              << patched(g, 0, "0a0000c20100") << qint16(10) << 115200 << u"500"_s;
}

void TestSetting::trusted()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint16, port);
    QFETCH(qint32, baud);
    QFETCH(QString, speed);
    QString why = u"stale"_s;
    const std::optional<SETTING> s = decodeExact(bytes, &why);
    QVERIFY2(s, qPrintable(why));
    QVERIFY(why.isEmpty());
    QCOMPARE(s->PORT, port);
    QCOMPARE(s->BAUD, baud);
    QCOMPARE(s->SPEED, speed);
    QCOMPARE(s->TEST_TIME_TEXT, padded(u"Continuous"_s));
}

void TestSetting::untrusted_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");  // part of the one-line reason
    const QByteArray g = golden();
    QTest::newRow("empty file")           << QByteArray() << u"too short (0 bytes)"_s;
    QTest::newRow("10 bytes")             << g.left(10) << u"too short (10 bytes)"_s;
    QTest::newRow("49 bytes")             << g.left(49) << u"too short (49 bytes)"_s;
    QTest::newRow("type tag 5")           << patched(g, 46, "0500") << u"type 5"_s;
    QTest::newRow("type tag 0")           << patched(g, 46, "0000") << u"type 0"_s;
    QTest::newRow("length 79")            << patched(g, 48, "4f00") << u"79 bytes"_s;
    QTest::newRow("length 65535")         << patched(g, 48, "ffff") << u"65535 bytes"_s;
    QTest::newRow("length past short file") << g.left(52) << u"too short (52 bytes)"_s;
    QTest::newRow("length 78 in 100 bytes") << patched(g, 48, "4e00").left(100) << u"too short (100 bytes)"_s;
    QTest::newRow("port 11")              << patched(g, 0, "0b00") << u"port 11"_s;
    QTest::newRow("port -1")              << patched(g, 0, "ffff") << u"port -1"_s;
    QTest::newRow("baud 1234")            << patched(g, 2, "d2040000") << u"baud rate 1234"_s;
    QTest::newRow("baud -9600")           << patched(g, 2, "80daffff") << u"baud rate -9600"_s;
}

void TestSetting::untrusted()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QString why;
    QVERIFY(!decodeExact(bytes, &why));
    QVERIFY2(why.contains(reason), qPrintable(why));
    QVERIFY2(why.startsWith(u"Settings file XYZQQQ.Log "_s), qPrintable(why));
    QVERIFY(!why.contains(u'\n'));
    QVERIFY(!shell::decodeSetting(bytes));  // no reason asked for: still nothing
}

// ---- the file ------------------------------------------------------------------

void TestSetting::readMissingFile()
{
    const shell::SettingRead read = shell::readSetting(m_dir.filePath(u"absent/XYZQQQ.Log"_s));
    QVERIFY(!read.fileFound);
    QVERIFY(!read.record);
    QVERIFY(read.problem.isEmpty());
}

void TestSetting::readProblems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");  // null: a folder of that name; "|": a named pipe
    QTest::addColumn<QString>("reason");
    QTest::newRow("12-byte file") << u"short"_s << golden().left(12) << u"too short (12 bytes)"_s;
    QTest::newRow("empty file")   << u"empty"_s << QByteArray("") << u"too short (0 bytes)"_s;
    QTest::newRow("a folder")     << u"folder"_s << QByteArray() << u"folder"_s;
    QTest::newRow("a named pipe nobody writes") << u"pipe"_s << QByteArray("|") << u"named pipe"_s;
}

void TestSetting::readProblems()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString folder = m_dir.filePath(name);
    QVERIFY(QDir().mkpath(folder));
    const QString path = shell::settingPath(folder);
    std::optional<PipeWriterOnCall> writer;  // should the read wait on the pipe
    if (bytes.isNull()) {
        QVERIFY(QDir().mkpath(path));
    } else if (bytes == "|") {
        if (makeSpecialFile(SpecialFile::Pipe, folder, QFileInfo(path).fileName()).isEmpty())
            QSKIP("no named pipes here");
        writer.emplace(path);
    } else {
        QVERIFY(putFile(path, bytes));
    }

    const shell::SettingRead read = shell::readSetting(path);
    writer.reset();
    QVERIFY(read.fileFound);
    QVERIFY(!read.record);
    QVERIFY2(read.problem.contains(reason), qPrintable(read.problem));
    QVERIFY(read.problem.endsWith(u"starting with no port chosen."_s));
}

void TestSetting::writeReplacesLongerFile()
{
    const QString folder = m_dir.filePath(u"replace"_s);
    QVERIFY(QDir().mkpath(folder));
    const QString path = shell::settingPath(folder);
    QVERIFY(putFile(path, QByteArray(300, 'x')));

    QString why;
    QVERIFY2(shell::writeSetting(path, record(3, 9600, u"500"_s), &why), qPrintable(why));
    QCOMPARE(fileBytes(path), golden());
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{u"XYZQQQ.Log"_s});  // no temporary left
}

void TestSetting::writeFails_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("isFolder");
    QTest::newRow("folder does not exist") << m_dir.filePath(u"no/such/folder/XYZQQQ.Log"_s) << false;
    QTest::newRow("path is a folder")      << m_dir.filePath(u"taken/XYZQQQ.Log"_s) << true;
}

void TestSetting::writeFails()
{
    QFETCH(QString, path);
    QFETCH(bool, isFolder);
    if (isFolder)
        QVERIFY(QDir().mkpath(path));

    QString why;
    QVERIFY(!shell::writeSetting(path, record(3, 9600, u"500"_s), &why));
    QVERIFY2(why.contains(u"XYZQQQ.Log"_s) && why.contains(u"not saved"_s), qPrintable(why));
    QCOMPARE(QFileInfo(path).isDir(), isFolder);  // nothing was put in its place
}

// ---- start-up ------------------------------------------------------------------

void TestSetting::sampleInterval_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<qint32>("ms");
    QTest::addColumn<bool>("noted");
    QTest::newRow("16.667")             << u"16.667"_s << 17 << false;
    QTest::newRow("33.333")             << u"33.333"_s << 33 << false;
    QTest::newRow("500")                << u"500"_s << 500 << false;
    QTest::newRow("half to even down")  << u"2.5"_s << 2 << false;
    QTest::newRow("half to even up")    << u"3.5"_s << 4 << false;
    QTest::newRow("empty, not yet set") << QString() << 0 << false;
    QTest::newRow("not a number")       << u"fast"_s << 0 << true;
    QTest::newRow("number in front")    << u"500 ms"_s << 500 << true;
    QTest::newRow("too large")          << u"1E20"_s << 0 << true;
}

void TestSetting::sampleInterval()
{
    QFETCH(QString, speed);
    QFETCH(qint32, ms);
    QFETCH(bool, noted);
    QString why = u"stale"_s;
    QCOMPARE(shell::sampleIntervalMs(speed, &why), ms);
    QCOMPARE(!why.isEmpty(), noted);
    if (noted)
        QVERIFY2(why.contains(speed), qPrintable(why));
}

void TestSetting::startup_data()
{
    QTest::addColumn<bool>("found");
    QTest::addColumn<bool>("trusted");
    QTest::addColumn<SETTING>("stored");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<qint16>("port");
    QTest::addColumn<qint32>("baud");
    QTest::addColumn<qint32>("speedMs");
    QTest::addColumn<int>("listIndex");  // -1: lists not preset
    QTest::addColumn<QString>("baudText");
    QTest::addColumn<QString>("status");  // part of the status line; "" = none

    const QString bad = u"Settings file XYZQQQ.Log is too short (12 bytes); starting with no port chosen."_s;
    QTest::newRow("no file")
        << false << false << SETTING{} << QString() << qint16(0) << 0 << 0 << -1 << QString() << QString();
    QTest::newRow("untrusted file")
        << true << false << SETTING{} << bad << qint16(0) << 0 << 0 << -1 << QString() << bad;
    QTest::newRow("COM 3, 9600, 16.667")
        << true << true << record(3, 9600, u"16.667"_s, u"7"_s) << QString()
        << qint16(3) << 9600 << 17 << 2 << u"9600"_s << QString();
    QTest::newRow("COM 10, 115200, 33.333")
        << true << true << record(10, 115200, u"33.333"_s) << QString()
        << qint16(10) << 115200 << 33 << 9 << u"115200"_s << QString();
    QTest::newRow("PORT 0: no preset")
        << true << true << record(0, 9600, u"500"_s) << QString() << qint16(0) << 9600 << 500 << -1 << QString()
        << QString();
    QTest::newRow("BAUD 0: no preset")
        << true << true << record(3, 0, u"500"_s) << QString() << qint16(3) << 0 << 500 << -1 << QString()
        << QString();
    QTest::newRow("SPEED empty")
        << true << true << record(3, 9600, QString()) << QString() << qint16(3) << 9600 << 0 << 2 << u"9600"_s
        << QString();
    QTest::newRow("SPEED not a number")
        << true << true << record(3, 9600, u"fast"_s) << QString() << qint16(3) << 9600 << 0 << 2 << u"9600"_s
        << u"\"fast\" is not a number"_s;
}

void TestSetting::startup()
{
    QFETCH(bool, found);
    QFETCH(bool, trusted);
    QFETCH(SETTING, stored);
    QFETCH(QString, problem);
    QFETCH(qint16, port);
    QFETCH(qint32, baud);
    QFETCH(qint32, speedMs);
    QFETCH(int, listIndex);
    QFETCH(QString, baudText);
    QFETCH(QString, status);

    shell::SettingRead read;
    read.fileFound = found;
    if (trusted)
        read.record = stored;
    read.problem = problem;

    const shell::SettingStartup start = shell::settingAtStartup(read);
    QCOMPARE(start.setting.PORT, port);
    QCOMPARE(start.setting.BAUD, baud);
    QCOMPARE(start.PORT_SET, port != 0);
    QCOMPARE(start.SPEED_MS, speedMs);
    QCOMPARE(start.fileRead, trusted);
    QCOMPARE(start.portListIndex.value_or(-1), listIndex);
    QCOMPARE(start.baudText, baudText);
    QCOMPARE(start.setting.SPEED, trusted ? stored.SPEED : QString());
    // Whatever the file held, the run settings start from their defaults.
    QCOMPARE(start.setting.REC_EVERY, padded(u"1"_s));
    QCOMPARE(start.setting.TEST_TIME_TEXT, padded(u"0.5"_s));
    if (status.isEmpty())
        QVERIFY2(start.status.isEmpty(), qPrintable(start.status));
    else
        QVERIFY2(start.status.contains(status), qPrintable(start.status));
}

void TestSetting::startupFromGoldenFile()
{
    const shell::SettingStartup start =
        shell::settingAtStartup(shell::readSetting(dataFile(u"setting_com3_fast.bin"_s)));
    QCOMPARE(start.setting.PORT, qint16(3));
    QCOMPARE(start.setting.BAUD, 9600);
    QCOMPARE(start.SPEED_MS, 17);
    QVERIFY(start.PORT_SET);
    QCOMPARE(start.portListIndex.value_or(-1), 2);
    QCOMPARE(start.baudText, u"9600"_s);
    QCOMPARE(start.setting.TEST_TIME_TEXT, padded(u"0.5"_s));
    QVERIFY2(start.status.isEmpty(), qPrintable(start.status));
}

// ---- storing ----------------------------------------------------------------------

void TestSetting::store_data()
{
    QTest::addColumn<int>("listIndex");
    QTest::addColumn<QString>("baudText");
    QTest::addColumn<QString>("speedText");
    QTest::addColumn<QString>("testTime");
    QTest::addColumn<qint16>("port");
    QTest::addColumn<qint32>("baud");
    QTest::addColumn<qint32>("speedMs");
    QTest::newRow("COM 3, 19200, 500")      << 2 << u"19200"_s << u"500"_s << u"0.5"_s << qint16(3) << 19200 << 500;
    QTest::newRow("nothing chosen")         << -1 << QString() << u"500"_s << u"1"_s << qint16(0) << 0 << 500;
    QTest::newRow("COM 10, 115200")         << 9 << u"115200"_s << u"1000"_s << u"Continuous"_s << qint16(10) << 115200 << 1000;
    QTest::newRow("16.667 rounds to 17")    << 0 << u"9600"_s << u"16.667"_s << u"10"_s << qint16(1) << 9600 << 17;
    QTest::newRow("33.333 rounds to 33")    << 0 << u"9600"_s << u"33.333"_s << u"10"_s << qint16(1) << 9600 << 33;
    QTest::newRow("baud with blanks")       << 1 << u" 38400 "_s << u"200"_s << u"5"_s << qint16(2) << 38400 << 200;
    QTest::newRow("long test time cut")     << 1 << u"57600"_s << u"200"_s << u"a test time far too long"_s
                                            << qint16(2) << 57600 << 200;
}

void TestSetting::store()
{
    QFETCH(int, listIndex);
    QFETCH(QString, baudText);
    QFETCH(QString, speedText);
    QFETCH(QString, testTime);
    QFETCH(qint16, port);
    QFETCH(qint32, baud);
    QFETCH(qint32, speedMs);

    const SETTING current = record(7, 9600, u"1"_s, padded(u"1"_s), padded(u"0.5"_s));
    qint32 ms = -1;
    QString why = u"stale"_s;
    const std::optional<SETTING> s =
        shell::settingForStore(listIndex, baudText, speedText, testTime, current, &ms, &why);
    QVERIFY2(s, qPrintable(why));
    QVERIFY(why.isEmpty());
    QCOMPARE(s->PORT, port);
    QCOMPARE(s->BAUD, baud);
    QCOMPARE(s->SPEED, speedText);
    QCOMPARE(s->TEST_TIME_TEXT, shell::fixedText(testTime));
    QCOMPARE(s->TEST_TIME_TEXT.size(), 20);
    QCOMPARE(s->REC_EVERY, padded(u"1"_s));
    QCOMPARE(ms, speedMs);
}

void TestSetting::storeRefuses_data()
{
    QTest::addColumn<int>("listIndex");
    QTest::addColumn<QString>("baudText");
    QTest::addColumn<QString>("speedText");
    QTest::addColumn<QString>("reason");
    QTest::newRow("baud not a number")  << 2 << u"fast"_s << u"500"_s << u"\"fast\" is not a number"_s;
    QTest::newRow("baud 1234")          << 2 << u"1234"_s << u"500"_s << u"1234"_s;
    QTest::newRow("port past COM 10")   << 10 << u"9600"_s << u"500"_s << u"Port position 10"_s;
    QTest::newRow("port below none")    << -2 << u"9600"_s << u"500"_s << u"Port position -2"_s;
    QTest::newRow("speed not a number") << 2 << u"9600"_s << u"fast"_s << u"Sample interval"_s;
    QTest::newRow("speed empty")        << 2 << u"9600"_s << QString() << u"Sample interval"_s;
}

void TestSetting::storeRefuses()
{
    QFETCH(int, listIndex);
    QFETCH(QString, baudText);
    QFETCH(QString, speedText);
    QFETCH(QString, reason);
    qint32 ms = -1;
    QString why;
    QVERIFY(!shell::settingForStore(listIndex, baudText, speedText, u"0.5"_s, SETTING{}, &ms, &why));
    QVERIFY2(why.contains(reason), qPrintable(why));
    QVERIFY(!why.contains(u'\n'));
    QCOMPARE(ms, -1);  // left alone
}

void TestSetting::storedRecordMatchesGolden()
{
    // A run started with no file, then COM 3, 9600, 500 ms and "Continuous" stored.
    const shell::SettingStartup start = shell::settingAtStartup(shell::SettingRead{});
    qint32 ms = 0;
    const std::optional<SETTING> s =
        shell::settingForStore(2, u"9600"_s, u"500"_s, u"Continuous"_s, start.setting, &ms);
    QVERIFY(s);
    const QString folder = m_dir.filePath(u"stored"_s);
    QVERIFY(QDir().mkpath(folder));
    QString why;
    QVERIFY2(shell::writeSetting(shell::settingPath(folder), *s, &why), qPrintable(why));
    QCOMPARE(fileBytes(shell::settingPath(folder)), golden());
    QCOMPARE(ms, 500);
}

QTEST_GUILESS_MAIN(TestSetting)
#include "tst_setting.moc"
