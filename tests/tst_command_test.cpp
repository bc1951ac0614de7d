// The raw-command window: its lists, the lock that typed commands need,
// the link test on the program's one channel, typed commands and queries
// over the simulated instrument; and the window itself, offscreen.

#include "platform/dialogs.h"
#include "windows/raw_command_window.h"
#include "shell/raw_command.h"
#include "support/panel_fixture.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <chrono>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using shell::CommandTestControls;

namespace {

struct RawPanel : PanelFixture
{
    explicit RawPanel(sim::Faults faults = {}) : PanelFixture(faults)
    {
        sim.link.setReplyBound(300ms);
        sim.link.setQuietTime(20ms);
    }
};

QStringList texts(const QList<rt::Message> &messages)
{
    QStringList out;
    for (const rt::Message &m : messages)
        out.append(m.text + u" | "_s + m.title);
    return out;
}

} // namespace

class TestCommandTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listsAndFreshStart();
    void lockStates_data();
    void lockStates();
    void testOpensChosenPortAndShowsIdentity();
    void testFails_data();
    void testFails();
    void typedCommands_data();
    void typedCommands();
    void unansweredQueryClearsOldReply();
    void windowFollowsLock();
    void windowQuitAsksForFrontPanel();
};

void TestCommandTest::listsAndFreshStart()
{
    QCOMPARE(shell::commandPortItems().size(), 20);
    QCOMPARE(shell::commandPortItems().front(), u"COM 1"_s);
    QCOMPARE(shell::commandPortItems().back(), u"COM 20"_s);
    QCOMPARE(shell::commandBaudItems(), (QStringList{u"1200"_s, u"2400"_s, u"4800"_s, u"9600"_s, u"19200"_s,
                                                     u"38400"_s, u"57600"_s, u"115200"_s}));

    // Every opening starts unlocked at "COM 1", 1200, whatever was left.
    CommandTestControls w{7, u"57600"_s, true, u"*idn?"_s, u"old"_s};
    shell::Form_Load(w);
    QCOMPARE(w.COM_LIST, 0);
    QCOMPARE(w.BR_LIST, u"1200"_s);
    QVERIFY(!w.locked);
}

// Steps: L load, O OK, S Setting, T a TEST that succeeds, F a TEST that fails.
void TestCommandTest::lockStates_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("locked");
    QTest::newRow("loaded: unlocked") << u"L"_s << false;
    QTest::newRow("OK locks without testing") << u"LO"_s << true;
    QTest::newRow("Setting unlocks") << u"LOS"_s << false;
    QTest::newRow("a successful TEST locks") << u"LT"_s << true;
    QTest::newRow("a failed TEST leaves it unlocked") << u"LF"_s << false;
    QTest::newRow("a failed TEST leaves a lock alone") << u"LOF"_s << true;
    QTest::newRow("Setting after TEST unlocks") << u"LTS"_s << false;
    QTest::newRow("reloading unlocks") << u"LOL"_s << false;
}

void TestCommandTest::lockStates()
{
    QFETCH(QString, steps);
    QFETCH(bool, locked);
    RawPanel f;
    rt::MessageRecorder messages;
    CommandTestControls w;
    for (QChar step : steps) {
        switch (step.unicode()) {
        case u'L': shell::Form_Load(w); break;
        case u'O': shell::OK_BUTT_Click(w); break;
        case u'S': shell::Setting_BUTT_Click(w); break;
        case u'T':
            f.sim.instrument.setIdentity("A,B,C,1.0");
            QVERIFY(shell::TEST_BUTT_Click(f.panel, w));
            break;
        case u'F':
            f.sim.instrument.setIdentity("  ");
            QVERIFY(!shell::TEST_BUTT_Click(f.panel, w));
            break;
        }
    }
    QCOMPARE(w.locked, locked);
    // Typed commands go out exactly while locked.
    w.IN_COMM = u"*cls"_s;
    f.sim.written.clear();
    messages.clear();
    shell::INPUT_BUTT_Click(f.panel, w);
    QCOMPARE(f.sim.written.contains(u"*cls\\10"_s), locked);
    QCOMPARE(texts(messages.messages()),
             locked ? QStringList{} : QStringList{u"PLZ Click TEST Button | Fail"_s});
}

void TestCommandTest::testOpensChosenPortAndShowsIdentity()
{
    // Port 15: more than the settings window offers.
    RawPanel f;
    f.sim.instrument.setIdentity("MAKER,DMM,7,2.10");
    rt::MessageRecorder messages;
    CommandTestControls w;
    w.COM_LIST = 14;
    w.BR_LIST = u"19200"_s;
    QVERIFY(shell::TEST_BUTT_Click(f.panel, w));
    QCOMPARE(f.sim.link.port(), 15);
    QCOMPARE(f.sim.link.baudRate(), 19200);
    QCOMPARE(f.sim.written, (QStringList{u"*sre?\r"_s, u"*IDN?\\10"_s}));
    QCOMPARE(f.sim.wire(), (QStringList{u"*sre?"_s, u"*IDN?"_s}));
    QCOMPARE(messages.messages().size(), 1);
    QCOMPARE(messages.messages()[0].text, u"MAKER,DMM,7,2.10"_s);
    QCOMPARE(messages.messages()[0].title, QString());
    QCOMPARE(messages.messages()[0].icon, rt::MessageIcon::None);
    // The raw window does not decide the panel's link state.
    QVERIFY(!f.state.REMOTE_OK);
}

void TestCommandTest::testFails_data()
{
    QTest::addColumn<QString>("baud");
    QTest::addColumn<QByteArray>("identity");
    QTest::addColumn<int>("silentAfter");
    QTest::newRow("no answer to *IDN?") << u"1200"_s << QByteArray("A,B,C,1.0") << 1;
    QTest::newRow("empty identification") << u"1200"_s << QByteArray() << 0;
    QTest::newRow("blank identification") << u"1200"_s << QByteArray(" \t ") << 0;
    QTest::newRow("no baud rate") << QString() << QByteArray("A,B,C,1.0") << 0;
}

void TestCommandTest::testFails()
{
    QFETCH(QString, baud);
    QFETCH(QByteArray, identity);
    QFETCH(int, silentAfter);
    sim::Faults faults;
    faults.silentAfter = silentAfter;
    RawPanel f(faults);
    f.sim.instrument.setIdentity(identity);
    rt::MessageRecorder messages;
    CommandTestControls w;
    w.BR_LIST = baud;
    QVERIFY(!shell::TEST_BUTT_Click(f.panel, w));
    QCOMPARE(texts(messages.messages()), QStringList{u"TEST ERROR!! | Fail"_s});
    QCOMPARE(messages.messages()[0].icon, rt::MessageIcon::Critical);
    QVERIFY(!w.locked);
}

void TestCommandTest::typedCommands_data()
{
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("messages");
    const QString old = u"old reply"_s;
    QTest::newRow("query, spaces trimmed: reply replaces output")
        << true << u"  *idn? "_s << QStringList{u"*idn?\\10"_s} << u"SIMULATED,SIM-DMM,000001,1.02"_s
        << QStringList{};
    QTest::newRow("'?' anywhere makes a query")
        << true << u"syst:err?"_s << QStringList{u"syst:err?\\10"_s} << u"+0,\"No error\""_s << QStringList{};
    QTest::newRow("command: nothing read, output kept")
        << true << u"conf:volt:dc"_s << QStringList{u"conf:volt:dc\\10"_s} << old << QStringList{};
    QTest::newRow("blanks only: sent as a line end alone")
        << true << u"   "_s << QStringList{u"\\10"_s} << old << QStringList{};
    QTest::newRow("nothing typed") << true << QString() << QStringList{} << old
                                   << QStringList{u"PLZ Input Command | Fail"_s};
    QTest::newRow("unlocked") << false << u"*idn?"_s << QStringList{} << old
                              << QStringList{u"PLZ Click TEST Button | Fail"_s};
    QTest::newRow("unlocked and nothing typed") << false << QString() << QStringList{} << old
                                                << QStringList{u"PLZ Input Command | Fail"_s};
}

void TestCommandTest::typedCommands()
{
    QFETCH(bool, locked);
    QFETCH(QString, typed);
    QFETCH(QStringList, written);
    QFETCH(QString, output);
    QFETCH(QStringList, messages);
    RawPanel f;
    QVERIFY(f.sim.open());
    rt::MessageRecorder recorder;
    CommandTestControls w;
    w.locked = locked;
    w.IN_COMM = typed;
    w.OUTPUT_READ = u"old reply"_s;
    shell::INPUT_BUTT_Click(f.panel, w);
    QCOMPARE(f.sim.written, written);
    QCOMPARE(w.OUTPUT_READ, output);
    QCOMPARE(texts(recorder.messages()), messages);
    for (const rt::Message &m : recorder.messages())
        QCOMPARE(m.icon, rt::MessageIcon::Critical);
}

void TestCommandTest::unansweredQueryClearsOldReply()
{
    // An unknown query gets no reply: the old one must not pass for it.
    RawPanel f;
    QVERIFY(f.sim.open());
    rt::MessageRecorder recorder;
    CommandTestControls w;
    w.locked = true;
    w.IN_COMM = u"nonsense?"_s;
    w.OUTPUT_READ = u"old reply"_s;
    shell::INPUT_BUTT_Click(f.panel, w);
    QCOMPARE(w.OUTPUT_READ, QString());
    QVERIFY(recorder.messages().isEmpty());
    QCOMPARE(f.status.lines().size(), 1);
    QVERIFY(f.status.lines().front().contains(u"nonsense?"_s));

    // A port that is not open: nothing goes out, and the log says so.
    f.sim.link.Port(0);
    f.sim.link.Open();
    w.IN_COMM = u"*rst"_s;
    shell::INPUT_BUTT_Click(f.panel, w);
    QCOMPARE(f.status.lines().size(), 2);
    QVERIFY(f.status.lines().back().contains(u"*rst"_s));
}

void TestCommandTest::windowFollowsLock()
{
    RawPanel f;
    rt::MessageRecorder messages;
    shell::Command_TEST window(f.panel);
    QCOMPARE(window.windowTitle(), u"Form1"_s);
    QCOMPARE(window.COM_LIST->currentText(), u"COM 1"_s);
    QCOMPARE(window.BR_LIST->currentText(), u"1200"_s);
    QVERIFY(window.RS_OPT->isChecked());
    auto unlocked = [&] {
        return window.Setting_Frame->isEnabled() && window.COM_BR_Frame->isEnabled() && window.OK_BUTT->isEnabled();
    };
    auto lockedShown = [&] {
        return !window.Setting_Frame->isEnabled() && !window.COM_BR_Frame->isEnabled()
               && !window.OK_BUTT->isEnabled();
    };
    QVERIFY(unlocked());

    QTest::mouseClick(window.OK_BUTT, Qt::LeftButton);
    QVERIFY(lockedShown());
    QTest::mouseClick(window.Setting_BUTT, Qt::LeftButton);
    QVERIFY(unlocked());

    // TEST on the chosen list entries, then a typed query shows its reply.
    window.COM_LIST->setCurrentIndex(2);
    window.BR_LIST->setCurrentIndex(3);
    QTest::mouseClick(window.TEST_BUTT, Qt::LeftButton);
    QVERIFY(lockedShown());
    QCOMPARE(f.sim.link.port(), 3);
    QCOMPARE(f.sim.link.baudRate(), 9600);
    window.IN_COMM->setText(u"*idn?"_s);
    QTest::mouseClick(window.INPUT_BUTT, Qt::LeftButton);
    QCOMPARE(window.OUTPUT_READ->toPlainText(), u"SIMULATED,SIM-DMM,000001,1.02"_s);
    QTest::mouseClick(window.Command1, Qt::LeftButton);
    QCOMPARE(window.OUTPUT_READ->toPlainText(), QString());
}

void TestCommandTest::windowQuitAsksForFrontPanel()
{
    RawPanel f;
    auto *window = new shell::Command_TEST(f.panel);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    QPointer<shell::Command_TEST> alive(window);
    bool asked = false;
    connect(window, &shell::Command_TEST::frontPanelWanted, this, [&] { asked = true; });
    QTest::mouseClick(window->Quit_BUTT, Qt::LeftButton);
    QVERIFY(asked);
    QTRY_VERIFY(alive.isNull());
}

QTEST_MAIN(TestCommandTest)
#include "tst_command_test.moc"
