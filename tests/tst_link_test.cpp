// The connection settings window: its preset lists, the link test
// ("Connect") over the simulated instrument, the store with its three checks,
// its status text and the bytes of the settings file it writes; and the
// window itself, offscreen.

#include "platform/dialogs.h"
#include "windows/link_test_window.h"
#include "shell/link_test.h"
#include "shell/setting_rules.h"
#include "support/files.h"
#include "support/panel_fixture.h"

#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using rt::Message;
using rt::MessageIcon;

Q_DECLARE_METATYPE(rt::MessageIcon)

namespace {

QByteArray golden(const QString &name)
{
    return fileBytes(QStringLiteral(RAVELO_TEST_DATA "/") + name);
}

// A panel as the program has it after a start-up without a settings file:
// the run settings at their defaults, the lists showing "500" and "0.5".
struct SettingsPanel : PanelFixture
{
    explicit SettingsPanel(sim::Faults faults = {}) : PanelFixture(faults)
    {
        state.SETTING = shell::settingAtStartup({}).setting;
        controls.Speed_TIME.text = u"500"_s;
        controls.CONT_TIME_LIST.text = u"0.5"_s;
        sim.link.setReplyBound(300ms);
        sim.link.setQuietTime(20ms);
    }
    QTemporaryDir folder;
    QString settingFile() const { return shell::settingPath(folder.path()); }
};

QList<Message> only(const QString &text, const QString &title, MessageIcon icon)
{
    return {Message{text, title, icon}};
}

bool sameMessages(const QList<Message> &a, const QList<Message> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].text != b[i].text || a[i].title != b[i].title || a[i].icon != b[i].icon)
            return false;
    }
    return true;
}

QString describe(const QList<Message> &messages)
{
    QStringList out;
    for (const Message &m : messages)
        out.append(u"[%1 | %2 | %3]"_s.arg(m.text, m.title).arg(int(m.icon)));
    return out.join(u", ");
}

} // namespace

class TestLinkTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void presetFromRecord_data();
    void presetFromRecord();
    void firmwareVersion_data();
    void firmwareVersion();
    void replyContent_data();
    void replyContent();

    void linkTestSucceeds();
    void linkTestAsQdBrand();
    void linkTestFails_data();
    void linkTestFails();
    void storeFailureAfterIdentityKeepsLinkUp();

    void storeChecks_data();
    void storeChecks();
    void storeWritesRecordStatusAndSpeed_data();
    void storeWritesRecordStatusAndSpeed();
    void storeRefusesWhatCannotBeReadBack();

    void windowListsAndRandomData();
    void windowConnectClosesOnSuccess();
};

// ---- the lists as the window opens ------------------------------------------

void TestLinkTest::presetFromRecord_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("baudText");
    QTest::newRow("COM 3 at 19200") << 3 << 19200 << 2 << u"19200"_s;
    QTest::newRow("COM 10 at 115200") << 10 << 115200 << 9 << u"115200"_s;
    QTest::newRow("port 0: nothing chosen") << 0 << 9600 << -1 << QString();
    QTest::newRow("baud 0: nothing chosen") << 4 << 0 << -1 << QString();
}

void TestLinkTest::presetFromRecord()
{
    QFETCH(int, port);
    QFETCH(int, baud);
    QFETCH(int, index);
    QFETCH(QString, baudText);
    SettingsPanel f;
    f.state.SETTING.PORT = qint16(port);
    f.state.SETTING.BAUD = baud;
    f.state.SETTING.SPEED = u"16.667"_s;
    f.state.SPEED_MS = 500;
    const shell::Form2Controls lists = shell::Form_Load(f.panel);
    QCOMPARE(lists.COM_PORT_LIST, index);
    QCOMPARE(lists.BuadRate_LIST, baudText);
    // The interval in force follows the interval list, not a stored text.
    QCOMPARE(f.state.SPEED_MS, 500);
}

void TestLinkTest::firmwareVersion_data()
{
    QTest::addColumn<QString>("identity");
    QTest::addColumn<QString>("version");
    QTest::newRow("four fields") << u"MAKER,DMM,123,1.23beta"_s << u"1.23"_s;
    QTest::newRow("short fourth field") << u"MAKER,DMM,123,2.0"_s << u"2.0"_s;
    QTest::newRow("fewer fields: after the last comma") << u"MAKER,DMM,1.02x"_s << u"1.02"_s;
    QTest::newRow("no comma: the text itself") << u"ABCDEFG"_s << u"ABCD"_s;
    QTest::newRow("empty fourth field") << u"A,B,C,"_s << QString();
    QTest::newRow("fifth field ignored") << u"A,B,C,9.87,extra"_s << u"9.87"_s;
}

void TestLinkTest::firmwareVersion()
{
    QFETCH(QString, identity);
    QFETCH(QString, version);
    QCOMPARE(shell::firmwareVersion(identity), version);
}

void TestLinkTest::replyContent_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("content");
    QTest::addColumn<QString>("text");
    QTest::newRow("identity") << u"A,B,C,1.0\r"_s << true << u"A,B,C,1.0"_s;
    QTest::newRow("terminator only") << u"\r"_s << false << QString();
    QTest::newRow("blanks only") << u" \t \r"_s << false << u" \t "_s;
    QTest::newRow("one character") << u"0\r"_s << true << u"0"_s;
}

void TestLinkTest::replyContent()
{
    QFETCH(QString, reply);
    QFETCH(bool, content);
    QFETCH(QString, text);
    QCOMPARE(shell::replyHasContent(reply), content);
    QCOMPARE(shell::replyText(reply), text);
}

// ---- the link test ------------------------------------------------------------

void TestLinkTest::linkTestSucceeds()
{
    SettingsPanel f;
    const QString identity = u"MAKER,DMM-6,0042,1.23-rc"_s;
    f.sim.instrument.setIdentity(identity.toLatin1());
    f.controls.CHK_COM_TF.enabled = true;
    f.controls.CONT_TIME_LIST.text = u"Continuous"_s;
    rt::MessageRecorder messages;

    QVERIFY(shell::LINL_TEST_Click(f.panel, {2, u"9600"_s}, f.folder.path()));

    QCOMPARE(f.sim.link.port(), 3);
    QCOMPARE(f.sim.link.baudRate(), 9600);
    QCOMPARE(f.sim.wire().mid(0, 5), (QStringList{u"*SRE?"_s, u"SYST:OUTP:EOF 2"_s, u"SYST:PAR:SAVE 5"_s,
                                                  u"SYST:PAR:LOAD 5"_s, u"*IDN?"_s}));
    QVERIFY(f.state.REMOTE_OK);
    QVERIFY(!f.controls.CHK_COM_TF.enabled);
    QCOMPARE(f.controls.VER_LAB, identity);
    QCOMPARE(f.state.FW_VERSION, u"1.23"_s);
    QVERIFY2(sameMessages(messages.messages(), only(identity, u"Success"_s, MessageIcon::Information)),
             qPrintable(describe(messages.messages())));
    // The store it performs: COM 3, 9600, "Continuous", "500", byte for byte.
    QCOMPARE(fileBytes(f.settingFile()), golden(u"setting_com3.bin"_s));
    QCOMPARE(f.state.SETTING.PORT, qint16(3));
    QCOMPARE(f.status.text(), u"TEST Speed: 500 milliseconds\r\n\r\nTest time : Continuous\r\n\r\n"_s);
    QCOMPARE(f.state.SPEED_MS, 500);
}

void TestLinkTest::linkTestAsQdBrand()
{
    SettingsPanel f;
    f.state.BRAND_CODE = u"QD"_s;
    f.sim.instrument.setIdentity("MAKER,MODEL-7,0042,1.50");
    rt::MessageRecorder messages;
    QVERIFY(shell::LINL_TEST_Click(f.panel, {0, u"115200"_s}, f.folder.path()));
    QCOMPARE(f.controls.VER_LAB, u"MODEL-7"_s);
    QCOMPARE(f.state.FW_VERSION, u"1.50"_s);
}

void TestLinkTest::linkTestFails_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("baud");
    QTest::addColumn<QByteArray>("identity");
    QTest::addColumn<int>("silentAfter");
    QTest::addColumn<bool>("remoteBefore");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no port chosen") << -1 << u"9600"_s << QByteArray("A,B,C,1.0") << 0 << false
                                    << u"No serial port"_s;
    QTest::newRow("no baud rate chosen") << 0 << QString() << QByteArray("A,B,C,1.0") << 0 << false
                                         << u"no baud rate"_s;
    QTest::newRow("no answer to *IDN?") << 0 << u"9600"_s << QByteArray("A,B,C,1.0") << 1 << false
                                        << u"did not answer"_s;
    // An empty line may never reach the caller as a reply: the channel
    // takes it for a stray line end and the query times out instead.
    QTest::newRow("empty identification") << 0 << u"9600"_s << QByteArray() << 0 << false
                                          << u"\"*IDN?\""_s;
    QTest::newRow("blank identification") << 0 << u"9600"_s << QByteArray("   ") << 0 << false
                                          << u"with nothing"_s;
    QTest::newRow("link already up stays up") << 0 << u"9600"_s << QByteArray("  ") << 0 << true
                                              << u"with nothing"_s;
}

void TestLinkTest::linkTestFails()
{
    QFETCH(int, port);
    QFETCH(QString, baud);
    QFETCH(QByteArray, identity);
    QFETCH(int, silentAfter);
    QFETCH(bool, remoteBefore);
    QFETCH(QString, reason);
    sim::Faults faults;
    faults.silentAfter = silentAfter;
    SettingsPanel f(faults);
    f.sim.instrument.setIdentity(identity);
    f.state.REMOTE_OK = remoteBefore;
    f.state.FW_VERSION = u"old"_s;
    f.controls.CHK_COM_TF.enabled = false;
    f.status.append(u"before"_s);
    rt::MessageRecorder messages;

    QVERIFY(!shell::LINL_TEST_Click(f.panel, {port, baud}, f.folder.path()));

    QVERIFY2(sameMessages(messages.messages(), only(u"TEST ERROR!!"_s, u"Fail"_s, MessageIcon::Critical)),
             qPrintable(describe(messages.messages())));
    QCOMPARE(f.state.REMOTE_OK, remoteBefore);
    QCOMPARE(f.state.FW_VERSION, u"old"_s);
    QVERIFY(f.controls.CHK_COM_TF.enabled);
    QVERIFY(!QFile::exists(f.settingFile()));
    QCOMPARE(f.status.lines().size(), 2);
    QVERIFY2(f.status.lines().last().contains(reason), qPrintable(f.status.lines().last()));
}

void TestLinkTest::storeFailureAfterIdentityKeepsLinkUp()
{
    // The identification answered, so the link is up; the settings file
    // cannot be written (its folder does not exist): the failure is reported
    // and nothing is taken as stored.
    SettingsPanel f;
    f.controls.CHK_COM_TF.enabled = true;
    rt::MessageRecorder messages;
    const QString missing = f.folder.path() + u"/no such folder"_s;

    QVERIFY(!shell::LINL_TEST_Click(f.panel, {0, u"9600"_s}, missing));

    QCOMPARE(messages.messages().size(), 2);
    QCOMPARE(messages.messages()[0].title, u"Success"_s);
    QCOMPARE(messages.messages()[1].text, u"TEST ERROR!!"_s);
    QVERIFY(f.state.REMOTE_OK);
    QVERIFY(f.controls.CHK_COM_TF.enabled);
    QCOMPARE(f.state.SETTING.PORT, qint16(0));
    QVERIFY(f.status.lines().last().contains(u"Settings not saved"_s));
}

// ---- the store ------------------------------------------------------------------

void TestLinkTest::storeChecks_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("baud");
    QTest::addColumn<bool>("randomData");
    QTest::addColumn<QString>("testTime");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<rt::MessageIcon>("icon");
    const QString blankPort = u"COM PORT The field is blank please reselect"_s;
    const QString blankTime = u"The field is a blank to read time in succession!Please input again"_s;
    const QString blankSpeed = u"Speed Time field is a blank!Please input again"_s;
    QTest::newRow("no port and no rate") << -1 << QString() << false << u"0.5"_s << u"500"_s << blankPort
                                         << u"Setting error"_s << MessageIcon::Critical;
    QTest::newRow("empty test time") << 2 << u"9600"_s << false << QString() << u"500"_s << blankTime << QString()
                                     << MessageIcon::None;
    QTest::newRow("empty interval") << 2 << u"9600"_s << false << u"0.5"_s << QString() << blankSpeed << QString()
                                    << MessageIcon::None;
    QTest::newRow("port check comes first") << -1 << QString() << false << QString() << QString() << blankPort
                                            << u"Setting error"_s << MessageIcon::Critical;
    QTest::newRow("Random Data passes the port check") << -1 << QString() << true << QString() << u"500"_s
                                                       << blankTime << QString() << MessageIcon::None;
}

void TestLinkTest::storeChecks()
{
    QFETCH(int, port);
    QFETCH(QString, baud);
    QFETCH(bool, randomData);
    QFETCH(QString, testTime);
    QFETCH(QString, speed);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(rt::MessageIcon, icon);
    SettingsPanel f;
    f.controls.CHK_COM_TF.checked = randomData;
    f.controls.CONT_TIME_LIST.text = testTime;
    f.controls.Speed_TIME.text = speed;
    f.state.SPEED_MS = 1000;
    f.status.append(u"kept"_s);
    const shell::SETTING before = f.state.SETTING;
    rt::MessageRecorder messages;

    QCOMPARE(shell::OK_BUTT_Click(f.panel, {port, baud}, f.folder.path()), shell::StoreResult::Refused);

    QVERIFY2(sameMessages(messages.messages(), only(text, title, icon)), qPrintable(describe(messages.messages())));
    QVERIFY(!QFile::exists(f.settingFile()));
    QCOMPARE(f.status.lines(), QStringList{u"kept"_s});
    QCOMPARE(f.state.SPEED_MS, 1000);
    QCOMPARE(f.state.SETTING.PORT, before.PORT);
    QCOMPARE(f.state.SETTING.SPEED, before.SPEED);
}

void TestLinkTest::storeWritesRecordStatusAndSpeed_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("baud");
    QTest::addColumn<bool>("randomData");
    QTest::addColumn<QString>("testTime");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("goldenFile");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("speedMs");
    QTest::addColumn<int>("storedPort");
    QTest::newRow("COM 3, continuous, 500 ms")
        << 2 << u"9600"_s << false << u"Continuous"_s << u"500"_s << u"setting_com3.bin"_s
        << u"TEST Speed: 500 milliseconds\r\n\r\nTest time : Continuous\r\n\r\n"_s << 500 << 3;
    QTest::newRow("fast interval rounds half to even")
        << 2 << u"9600"_s << false << u"Continuous"_s << u"16.667"_s << u"setting_com3_fast.bin"_s
        << u"TEST Speed: 16.667 milliseconds\r\n\r\nTest time : Continuous\r\n\r\n"_s << 17 << 3;
    QTest::newRow("COM 5 at 57600, in minutes")
        << 4 << u"57600"_s << false << u"0.5"_s << u"33.333"_s << QString()
        << u"TEST Speed: 33.333 milliseconds\r\n\r\nTest time : 0.5 minutes\r\n\r\n"_s << 33 << 5;
    QTest::newRow("demonstration: no port stored")
        << -1 << QString() << true << u"1440"_s << u"600000"_s << QString()
        << u"TEST Speed: 600000 milliseconds\r\n\r\nTest time : 1440 minutes\r\n\r\n"_s << 600000 << 0;
}

void TestLinkTest::storeWritesRecordStatusAndSpeed()
{
    QFETCH(int, port);
    QFETCH(QString, baud);
    QFETCH(bool, randomData);
    QFETCH(QString, testTime);
    QFETCH(QString, speed);
    QFETCH(QString, goldenFile);
    QFETCH(QString, status);
    QFETCH(int, speedMs);
    QFETCH(int, storedPort);
    SettingsPanel f;
    f.controls.CHK_COM_TF.checked = randomData;
    f.controls.CONT_TIME_LIST.text = testTime;
    f.controls.Speed_TIME.text = speed;
    f.status.append(u"replaced"_s);
    rt::MessageRecorder messages;

    QCOMPARE(shell::OK_BUTT_Click(f.panel, {port, baud}, f.folder.path()), shell::StoreResult::Stored);

    QVERIFY(messages.messages().isEmpty());
    QCOMPARE(f.status.text(), status);
    QCOMPARE(f.state.SPEED_MS, speedMs);
    QCOMPARE(f.state.SETTING.PORT, qint16(storedPort));
    QCOMPARE(f.state.SETTING.SPEED, speed);
    if (!goldenFile.isEmpty())
        QCOMPARE(fileBytes(f.settingFile()), golden(goldenFile));
    // What was written reads back as what is held.
    const shell::SettingRead read = shell::readSetting(f.settingFile());
    QVERIFY(read.record);
    QCOMPARE(read.record->PORT, f.state.SETTING.PORT);
    QCOMPARE(read.record->BAUD, f.state.SETTING.BAUD);
    QCOMPARE(read.record->TEST_TIME_TEXT, f.state.SETTING.TEST_TIME_TEXT);
    QCOMPARE(read.record->SPEED, speed);
}

void TestLinkTest::storeRefusesWhatCannotBeReadBack()
{
    // An interval text that is not a number would leave SPEED_MS without a
    // value and a file the program refuses at its next start.
    SettingsPanel f;
    f.controls.Speed_TIME.text = u"fast"_s;
    rt::MessageRecorder messages;
    QString why;
    QCOMPARE(shell::OK_BUTT_Click(f.panel, {0, u"9600"_s}, f.folder.path(), &why), shell::StoreResult::Failed);
    QVERIFY(why.contains(u"fast"_s));
    QVERIFY(!QFile::exists(f.settingFile()));
    QVERIFY(f.status.lines().isEmpty());
}

// ---- the window -------------------------------------------------------------------

void TestLinkTest::windowListsAndRandomData()
{
    SettingsPanel f;
    f.state.SETTING.PORT = 2;
    f.state.SETTING.BAUD = 38400;
    shell::Form2 window(f.panel, f.folder.path());
    QCOMPARE(window.windowTitle(), u"Setting"_s);
    QCOMPARE(window.COM_PORT_LIST->count(), 10);
    QVERIFY(window.COM_PORT_LIST->itemText(9).startsWith(u"COM 10 "_s));
    QVERIFY(window.COM_PORT_LIST->itemText(0).contains(shell::devicePathForPort(1)));
    QCOMPARE(window.COM_PORT_LIST->currentIndex(), 1);
    QCOMPARE(window.BuadRate_LIST->currentText(), u"38400"_s);
    QVERIFY(!window.COM_PORT_LIST->isEditable());
    QVERIFY(window.LINL_TEST->isEnabled());

    f.controls.CHK_COM_TF.checked = true;
    window.refreshEnabled();
    QVERIFY(!window.COM_PORT_LIST->isEnabled());
    QVERIFY(!window.BuadRate_LIST->isEnabled());
    QVERIFY(!window.LINL_TEST->isEnabled());

    // A window opened while Random Data is ticked starts that way.
    shell::Form2 ticked(f.panel, f.folder.path());
    QVERIFY(!ticked.LINL_TEST->isEnabled());
}

void TestLinkTest::windowConnectClosesOnSuccess()
{
    SettingsPanel f;
    rt::MessageRecorder messages;
    auto *window = new shell::Form2(f.panel, f.folder.path());
    QPointer<shell::Form2> alive(window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->COM_PORT_LIST->setCurrentIndex(0);
    window->BuadRate_LIST->setCurrentIndex(0);
    QTest::mouseClick(window->LINL_TEST, Qt::LeftButton);
    QVERIFY(f.state.REMOTE_OK);
    QCOMPARE(f.state.SETTING.PORT, qint16(1));
    QTRY_VERIFY(alive.isNull());
}

QTEST_MAIN(TestLinkTest)
#include "tst_link_test.moc"
