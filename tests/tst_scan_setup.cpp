// Scanner set-up files: the writer against a hand-made golden file, saving
// and loading through the window's procedures (a locked four-wire pair, a
// channel without function, overwriting, names, unwritable folders), and
// files that are not set-ups, which change nothing.

#include "formats/scan_setup.h"
#include "platform/dialogs.h"
#include "platform/program_folder.h"
#include "scan/scan_controls.h"
#include "scan/scan_form.h"
#include "scan/setup_files.h"
#include "support/panel_fixture.h"
#include "support/special_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

using namespace Qt::StringLiterals;
using formats::ScanSetup;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray goldenBytes()
{
    return fileBytes(QStringLiteral(RAVELO_TEST_DATA "/scan/setup_golden.ini"));
}

// The golden file's set-up: on, auto, function, range per channel.
ScanSetup goldenSetup()
{
    const qint16 rows[18][4] = {
        {1, 1, 0, 4}, {0, 0, -1, -1}, {1, 0, 3, 2}, {1, 1, 1, 3}, {0, 1, 2, 6}, {1, 0, 4, 0},
        {1, 0, 9, 0}, {0, 0, 5, 0},   {1, 0, 6, 0}, {1, 1, 7, 0}, {0, 1, 3, 2}, {1, 1, 8, 0},
        {0, 0, 2, 0}, {0, 0, 1, 4},   {1, 0, 0, 0}, {0, 0, -1, -1}, {1, 1, 1, 0}, {0, 0, 0, 0},
    };
    ScanSetup setup;
    for (int i = 0; i < 18; ++i)
        setup.channels[std::size_t(i)] = {rows[i][0] == 1, rows[i][1] == 1, rows[i][2], rows[i][3]};
    setup.settings = {u"10"_s, u"5"_s, u"2"_s, u"1"_s};
    return setup;
}

QStringList setupLines(const ScanSetup &setup)
{
    QStringList lines;
    for (const formats::ScanChannelSetup &c : setup.channels)
        lines.append(u"%1,%2,%3,%4"_s.arg(c.on).arg(c.autoRange).arg(c.function).arg(c.range));
    lines.append(QStringList(setup.settings.cbegin(), setup.settings.cend()).join(u'|'));
    return lines;
}

// The golden file with one line replaced (1-based), or cut to `keep` lines.
QByteArray goldenWithLine(int line, const QByteArray &text)
{
    QList<QByteArray> lines = goldenBytes().split('\n');
    lines[line - 1] = text + '\r';
    return lines.join('\n');
}

// A scanner window's controls, opened without an instrument, over a panel
// whose program folder is a temporary one.
struct ScanWindowFixture
{
    ScanWindowFixture()
    {
        rt::setProgramFolder(dir.path());
        controls.table.fillFunctionLists();
        for (int i = 0; i < scan::kChannelCount; ++i)
            controls.table.setFunctionEnabled(i, false);
    }
    ~ScanWindowFixture() { rt::setProgramFolder({}); rt::setOpenFileHandler({}); }

    void answerOpenWith(const QString &path)
    {
        rt::setOpenFileHandler([this, path](const QString &, const QString &folder, const QString &filter) {
            askedFolder = folder;
            askedFilter = filter;
            return path;
        });
    }

    QString setupPath(const QString &name) const { return dir.filePath(u"SCAN DATA/"_s + name + u".ini"_s); }

    QTemporaryDir dir;
    PanelFixture panel;
    scan::ScanControls controls;
    bool answerOk = false;
    QList<rt::Message> questions;
    scan::ScanContext context{panel.panel, controls, [this](const rt::Message &question) {
                                  questions.append(question);
                                  return answerOk;
                              }};
    QString askedFolder;
    QString askedFilter;
};

// 104 measures four-wire, ticked, manual range "10 k", and holds 112; 101
// is ticked without a function; the settings as typed.
void setLockedPair(scan::ScanControls &c)
{
    scan::ChannelTable &t = c.table;
    t.setOn(3, true);
    t.selectFunction(3, scan::kFourWire);
    t.selectRange(3, 2);
    t.setOn(0, true);
    c.Count_TEXT = u"12"_s;
    c.Timer_TEXT = u"5"_s;
    c.SYS_DEL_TEXT = QString();
    c.Repeat_TEXT = u"3"_s;
}

bool locked(const scan::ChannelRow &r)
{
    return !r.CHN_CHK.checked && !r.CHN_CHK.enabled && !r.S_Auto_CHK.enabled && !r.MODE_Comb.enabled
           && !r.Combo2.enabled && r.MODE_Comb.index == scan::kFourWire;
}

QStringList titles(const QList<rt::Message> &messages)
{
    QStringList list;
    for (const rt::Message &m : messages)
        list.append(m.title);
    return list;
}

} // namespace

class TestScanSetup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writerMatchesGoldenFile();
    void readerReadsGoldenFile();
    void settingsLineReadsWholeNumbers_data();
    void settingsLineReadsWholeNumbers();
    void lockedPairAndEmptyChannelRoundTrip();
    void existingSetupIsReplacedOnlyAfterOk_data();
    void existingSetupIsReplacedOnlyAfterOk();
    void unusableNamesAreRefused_data();
    void unusableNamesAreRefused();
    void unwritableFolderIsReportedNeverSaveOk();
    void malformedFilesChangeNothing_data();
    void malformedFilesChangeNothing();
    void filesNoSetupCanBeAreRefusedUnread_data();
    void filesNoSetupCanBeAreRefusedUnread();
    void setupPaddedToTheLimitLoads();
    void cancelledOpenDialogChangesNothing();
};

void TestScanSetup::writerMatchesGoldenFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"golden.ini"_s);
    QString why;
    QVERIFY2(formats::writeScanSetup(path, goldenSetup(), &why), qPrintable(why));
    QCOMPARE(fileBytes(path), goldenBytes());
}

void TestScanSetup::readerReadsGoldenFile()
{
    QString why;
    const std::optional<ScanSetup> read = formats::parseScanSetup(goldenBytes(), &why);
    QVERIFY2(read, qPrintable(why));
    QCOMPARE(setupLines(*read), setupLines(goldenSetup()));

    // LF alone and a blank line at the end read the same.
    QByteArray lf = goldenBytes();
    lf.replace("\r\n", "\n");
    const std::optional<ScanSetup> fromLf = formats::parseScanSetup(lf + '\n', &why);
    QVERIFY2(fromLf, qPrintable(why));
    QCOMPARE(setupLines(*fromLf), setupLines(goldenSetup()));
}

void TestScanSetup::settingsLineReadsWholeNumbers_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("settings");
    QTest::newRow("as written") << QByteArray("10,5,2,1") << u"10|5|2|1"_s;
    QTest::newRow("halves to even") << QByteArray("1.5,2.5,3.5,0.5") << u"2|2|4|0"_s;
    QTest::newRow("leading zero and blanks") << QByteArray("05, 7 ,0009,1") << u"5|7|9|1"_s;
    QTest::newRow("empty boxes") << QByteArray(",,,") << u"0|0|0|0"_s;
    QTest::newRow("16-bit edges") << QByteArray("32767,-32768,0,1") << u"32767|-32768|0|1"_s;
}

void TestScanSetup::settingsLineReadsWholeNumbers()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, settings);
    QString why;
    const std::optional<ScanSetup> read = formats::parseScanSetup(goldenWithLine(19, line), &why);
    QVERIFY2(read, qPrintable(why));
    QCOMPARE(setupLines(*read).constLast(), settings);
}

void TestScanSetup::lockedPairAndEmptyChannelRoundTrip()
{
    ScanWindowFixture saved;
    setLockedPair(saved.controls);
    QVERIFY(locked(saved.controls.table.channel(11)));
    saved.controls.SSBS_Input_Text = u"pair"_s;
    saved.controls.SSBS_Frame_front = true;
    rt::MessageRecorder messages;
    scan::SSBS_OK_BUTT_Click(saved.context);
    QVERIFY(!saved.controls.SSBS_Frame_front);
    QCOMPARE(titles(messages.messages()), QStringList{u"Save Ok"_s});
    QCOMPARE(messages.messages().at(0).text, u"Scan box settings saved successfully."_s);

    const QList<QByteArray> lines = fileBytes(saved.setupPath(u"pair"_s)).split('\n');
    QCOMPARE(lines.size(), 20);  // 19 lines and nothing after the last CR LF
    QCOMPARE(lines.at(0), QByteArray("1,0,-1,-1\r"));
    QCOMPARE(lines.at(3), QByteArray("1,0,3,2\r"));
    QCOMPARE(lines.at(11), QByteArray("0,0,3,2\r"));  // the partner: unticked, "4W", 104's range
    QCOMPARE(lines.at(18), QByteArray("12,5,,3\r"));

    // Into a window whose table is quite different: every channel ticked
    // with auto range, 112 on DC volts.
    ScanWindowFixture loaded;
    loaded.controls.table.On_All_Open_Butt_Click();
    loaded.controls.table.Auto_All_Open_Butt_Click();
    loaded.controls.table.selectFunction(11, scan::kDcVolts);
    loaded.answerOpenWith(saved.setupPath(u"pair"_s));
    messages.clear();
    scan::File_Open_Ctrl(loaded.context);
    QCOMPARE(titles(messages.messages()), QStringList{u"Load Ok"_s});
    QCOMPARE(messages.messages().at(0).text, u"Scan box settings loaded successfully."_s);
    QCOMPARE(loaded.askedFolder, loaded.dir.filePath(u"SCAN DATA"_s));
    QVERIFY(loaded.askedFilter.contains(u"*.ini"_s));

    ScanSetup expected = scan::currentSetup(saved.controls);
    expected.settings[2] = u"0"_s;  // the empty box reads back as 0
    QCOMPARE(setupLines(scan::currentSetup(loaded.controls)), setupLines(expected));
    QVERIFY(locked(loaded.controls.table.channel(11)));
    QCOMPARE(loaded.controls.table.channel(11).Combo2.text(), u"10 k"_s);
    QVERIFY(loaded.controls.table.channel(0).Combo2.items.isEmpty());
}

void TestScanSetup::existingSetupIsReplacedOnlyAfterOk_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("Cancel keeps the old set-up") << false;
    QTest::newRow("OK replaces it") << true;
}

void TestScanSetup::existingSetupIsReplacedOnlyAfterOk()
{
    QFETCH(bool, ok);
    ScanWindowFixture f;
    QVERIFY(QDir(f.dir.path()).mkpath(u"SCAN DATA"_s));
    QVERIFY(writeBytes(f.setupPath(u"bench"_s), goldenBytes()));
    setLockedPair(f.controls);
    f.controls.SSBS_Input_Text = u"bench"_s;
    f.answerOk = ok;
    rt::MessageRecorder messages;
    scan::SSBS_OK_BUTT_Click(f.context);

    QCOMPARE(f.questions.size(), 1);
    QCOMPARE(f.questions.at(0).text, u"File exists,rewrite existed ini file?"_s);
    QCOMPARE(f.questions.at(0).title, u"File exists"_s);
    QCOMPARE(f.questions.at(0).icon, rt::MessageIcon::Exclamation);
    if (ok) {
        QCOMPARE(fileBytes(f.setupPath(u"bench"_s)), formats::scanSetupBytes(scan::currentSetup(f.controls)));
        QCOMPARE(titles(messages.messages()), QStringList{u"Save Ok"_s});
    } else {
        QCOMPARE(fileBytes(f.setupPath(u"bench"_s)), goldenBytes());
        QVERIFY(messages.messages().isEmpty());
    }
    QCOMPARE(QDir(f.dir.filePath(u"SCAN DATA"_s)).entryList(QDir::Files), QStringList{u"bench.ini"_s});
}

void TestScanSetup::unusableNamesAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QString();
    QTest::newRow("slash") << u"../up"_s;
    QTest::newRow("backslash") << u"a\\b"_s;
    QTest::newRow("colon") << u"c:d"_s;
    QTest::newRow("two dots") << u"x..y"_s;
    QTest::newRow("control character") << u"tab\there"_s;
}

void TestScanSetup::unusableNamesAreRefused()
{
    QFETCH(QString, name);
    ScanWindowFixture f;
    f.controls.SSBS_Input_Text = name;
    rt::MessageRecorder messages;
    scan::SSBS_OK_BUTT_Click(f.context);
    QCOMPARE(messages.messages().size(), 1);
    QCOMPARE(messages.messages().at(0).text, u"The input name is error."_s);
    QCOMPARE(messages.messages().at(0).title, u"Input error"_s);
    QCOMPARE(messages.messages().at(0).icon, rt::MessageIcon::Critical);
    QVERIFY(f.questions.isEmpty());
    // Nothing written anywhere: the folder holds only the empty "SCAN DATA".
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{u"SCAN DATA"_s});
    QVERIFY(QDir(f.dir.filePath(u"SCAN DATA"_s)).isEmpty());
}

void TestScanSetup::unwritableFolderIsReportedNeverSaveOk()
{
    ScanWindowFixture f;
    // A file stands where the folder should be: no set-up can be written.
    QVERIFY(writeBytes(f.dir.filePath(u"SCAN DATA"_s), "not a folder"));
    f.controls.SSBS_Input_Text = u"Set Data"_s;
    rt::MessageRecorder messages;
    scan::SSBS_OK_BUTT_Click(f.context);
    QCOMPARE(titles(messages.messages()), QStringList{u"Save error"_s});
    QCOMPARE(messages.messages().at(0).icon, rt::MessageIcon::Critical);
    QVERIFY(messages.messages().at(0).text.contains(u"Set Data.ini"_s));
    QCOMPARE(fileBytes(f.dir.filePath(u"SCAN DATA"_s)), QByteArray("not a folder"));
}

void TestScanSetup::malformedFilesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("named");  // in the message

    QByteArray eighteen = goldenBytes();
    eighteen.chop(QByteArray("10,5,2,1\r\n").size());
    QTest::newRow("18 lines") << eighteen << u"18 lines"_s;
    QTest::newRow("three fields") << goldenWithLine(5, "0,1,2") << u"Line 5"_s;
    QTest::newRow("five fields") << goldenWithLine(6, "1,0,4,0,0") << u"Line 6"_s;
    QTest::newRow("function 9 on channel 117") << goldenWithLine(17, "1,1,9,0") << u"Line 17"_s;
    QTest::newRow("x,1,0,0") << goldenWithLine(2, "x,1,0,0") << u"Line 2"_s;
    QTest::newRow("on box 2") << goldenWithLine(3, "2,0,3,2") << u"Line 3"_s;
    QTest::newRow("range past the 4W list") << goldenWithLine(11, "0,1,3,7") << u"Line 11"_s;
    QTest::newRow("range without a function") << goldenWithLine(2, "0,0,-1,0") << u"Line 2"_s;
    QTest::newRow("position below -1") << goldenWithLine(9, "1,0,-2,0") << u"Line 9"_s;
    QTest::newRow("line 19 beyond 16 bits") << goldenWithLine(19, "40000,5,2,1") << u"Line 19"_s;
    QTest::newRow("line 19 not a number") << goldenWithLine(19, "10,five,2,1") << u"Line 19"_s;
    QTest::newRow("a text file") << QByteArray("hello\r\n") << u"1 line,"_s;
    QTest::newRow("empty") << QByteArray() << u"0 lines"_s;
    QByteArray crOnly = goldenBytes();
    crOnly.replace("\r\n", "\r");
    QTest::newRow("CR-only line ends") << crOnly << u"1 line,"_s;
    QTest::newRow("NUL bytes in a field") << goldenWithLine(4, QByteArray("1,1,1\0,3", 9)) << u"Line 4, field 3"_s;
    QTest::newRow("all NUL bytes") << QByteArray(300, '\0') << u"1 line,"_s;
    QByteArray junk;
    for (int i = 0; i < 600; ++i)
        junk.append(char((i * 97 + 13) % 256));
    QTest::newRow("binary junk") << junk << u"lines, not 19"_s;
}

void TestScanSetup::malformedFilesChangeNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, named);
    ScanWindowFixture f;
    setLockedPair(f.controls);
    const QStringList before = setupLines(scan::currentSetup(f.controls));
    const QString path = f.dir.filePath(u"broken.ini"_s);
    QVERIFY(writeBytes(path, bytes));
    f.answerOpenWith(path);

    rt::MessageRecorder messages;
    QSignalSpy changed(&f.controls.table, &scan::ChannelTable::changed);
    scan::File_Open_Ctrl(f.context);
    QCOMPARE(titles(messages.messages()), QStringList{u"Load error"_s});
    QVERIFY2(messages.messages().at(0).text.contains(named), qPrintable(messages.messages().at(0).text));
    QVERIFY(messages.messages().at(0).text.contains(u"broken.ini"_s));
    QCOMPARE(setupLines(scan::currentSetup(f.controls)), before);
    QCOMPARE(changed.count(), 0);
    QVERIFY(locked(f.controls.table.channel(11)));
}

// Whatever is named in the dialog, the window reads at most a set-up's
// worth of it: a folder, a file far larger than 19 short lines (sparse, so
// the test stays small) and a device that never ends are refused before
// their bytes are read, with what they are in the message.
void TestScanSetup::filesNoSetupCanBeAreRefusedUnread_data()
{
    QTest::addColumn<QString>("kind");  // folder, device, or a file of this size
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("named");

    QTest::newRow("a folder") << u"folder"_s << qint64(0) << u"is a folder"_s;
    QTest::newRow("150 MB") << u"file"_s << qint64(150'000'000) << u"150000000 bytes"_s;
    QTest::newRow("one byte over") << u"file"_s << formats::kSetupMaxBytes + 1
                                   << u"%1 bytes"_s.arg(formats::kSetupMaxBytes + 1);
    QTest::newRow("4 GB and more") << u"file"_s << qint64(5) * 1024 * 1024 * 1024 << u"5368709120 bytes"_s;
    if (QFileInfo(u"/dev/zero"_s).exists())
        QTest::newRow("an endless device") << u"/dev/zero"_s << qint64(0) << u"not a plain file"_s;
    QTest::newRow("a named pipe nobody writes") << u"pipe"_s << qint64(0) << u"named pipe, not a plain file"_s;
}

void TestScanSetup::filesNoSetupCanBeAreRefusedUnread()
{
    QFETCH(QString, kind);
    QFETCH(qint64, size);
    QFETCH(QString, named);
    ScanWindowFixture f;
    setLockedPair(f.controls);
    const QStringList before = setupLines(scan::currentSetup(f.controls));
    QString path = f.dir.filePath(u"odd.ini"_s);
    if (kind == u"folder"_s) {
        QVERIFY(QDir(f.dir.path()).mkdir(u"odd.ini"_s));
    } else if (kind == u"file"_s) {
        // A valid set-up at its start: only its size is wrong.
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(goldenBytes()), goldenBytes().size());
        QVERIFY2(file.resize(size), qPrintable(file.errorString()));
    } else if (kind == u"pipe"_s) {
        path = makeSpecialFile(SpecialFile::Pipe, f.dir.path(), u"odd.ini"_s);
        if (path.isEmpty())
            QSKIP("no named pipes here");
    } else {
        path = kind;
    }
    f.answerOpenWith(path);

    rt::MessageRecorder messages;
    QSignalSpy changed(&f.controls.table, &scan::ChannelTable::changed);
    // Should the read wait on the pipe, it is given an empty one.
    std::optional<PipeWriterOnCall> writer;
    if (kind == u"pipe"_s)
        writer.emplace(path);
    scan::File_Open_Ctrl(f.context);
    writer.reset();
    QCOMPARE(titles(messages.messages()), QStringList{u"Load error"_s});
    const QString text = messages.messages().at(0).text;
    QVERIFY2(text.contains(named), qPrintable(text));
    QVERIFY2(text.contains(QFileInfo(path).fileName()), qPrintable(text));
    QCOMPARE(setupLines(scan::currentSetup(f.controls)), before);
    QCOMPARE(changed.count(), 0);
}

// The limit leaves room for a hand-edited file: the golden set-up with
// blanks around its fields up to the last byte allowed still loads.
void TestScanSetup::setupPaddedToTheLimitLoads()
{
    QByteArray padded = goldenBytes();
    padded.replace(",", " , ");
    const qint64 room = formats::kSetupMaxBytes - padded.size();
    QVERIFY(room > 0);
    QList<QByteArray> lines = padded.split('\n');
    lines[18] = QByteArray(room, ' ') + lines[18];
    padded = lines.join('\n');
    QCOMPARE(padded.size(), formats::kSetupMaxBytes);

    ScanWindowFixture f;
    const QString path = f.dir.filePath(u"padded.ini"_s);
    QVERIFY(writeBytes(path, padded));
    f.answerOpenWith(path);
    rt::MessageRecorder messages;
    scan::File_Open_Ctrl(f.context);
    QCOMPARE(titles(messages.messages()), QStringList{u"Load Ok"_s});
    QCOMPARE(setupLines(scan::currentSetup(f.controls)), setupLines(goldenSetup()));
}

void TestScanSetup::cancelledOpenDialogChangesNothing()
{
    ScanWindowFixture f;
    setLockedPair(f.controls);
    const QStringList before = setupLines(scan::currentSetup(f.controls));
    f.answerOpenWith(QString());
    rt::MessageRecorder messages;
    scan::File_Open_Ctrl(f.context);
    QVERIFY(messages.messages().isEmpty());
    QCOMPARE(setupLines(scan::currentSetup(f.controls)), before);
}

QTEST_GUILESS_MAIN(TestScanSetup)
#include "tst_scan_setup.moc"
