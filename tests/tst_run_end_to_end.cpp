// A recorded run through the real START path: ravelo-sim on a pty, the main
// window with its serial channel, a click on the START key, a name typed
// into the record-name box, and the file on disk afterwards.

#include "core/panel.h"
#include "platform/dialogs.h"
#include "platform/program_folder.h"
#include "platform/twips.h"
#include "windows/readings_table_window.h"
#include "runs/readings_table.h"
#include "runs/run_control.h"
#include "core/dmm_link.h"
#include "windows/main_window.h"
#include "formats/setting_record.h"
#include "windows/front_panel_window.h"
#include "shell/speed_check.h"
#include "support/files.h"
#include "support/sim_process.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// Where the commas of a record fall (1-based), as the heading line has them.
QList<int> commaPositions(const QByteArray &line)
{
    QList<int> positions;
    const QString text = QString::fromUtf8(line);
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u',')
            positions.append(int(i + 1));
    return positions;
}

} // namespace

class TestRunEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void recordedRunThroughStart_data();
    void recordedRunThroughStart();
};

void TestRunEndToEnd::recordedRunThroughStart_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<int>("records");
    QTest::addColumn<bool>("fast");
    QTest::newRow("normal loop, 200 ms for 1.2 s") << u"200"_s << u"0.02"_s << 6 << false;
    QTest::newRow("fast loop, 16.667 ms for 2 s") << u"16.667"_s << u"0.0333333"_s << 120 << true;
}

void TestRunEndToEnd::recordedRunThroughStart()
{
    QFETCH(QString, interval);
    QFETCH(QString, minutes);
    QFETCH(int, records);
    QFETCH(bool, fast);

    QTemporaryDir folder;
    const QString log = folder.filePath(u"sim.log"_s);
    SimProcess sim({u"--baud"_s, u"115200"_s, u"--log"_s, log});
    QVERIFY2(sim.started(), qPrintable(sim.errors()));
    qputenv("RAVELO_COM1", QFile::encodeName(sim.linkPath()));
    shell::SETTING setting;
    setting.PORT = 1;
    setting.BAUD = 115200;
    setting.REC_EVERY = u"1"_s;
    setting.TEST_TIME_TEXT = minutes;
    setting.SPEED = interval;
    QVERIFY(shell::writeSetting(shell::settingPath(folder.path()), setting));
    rt::setProgramFolder(folder.path());
    rt::MessageRecorder messages;

    shell::Class1 link;
    auto window = std::make_unique<shell::MDImain>(link, folder.path());
    window->show();
    Panel &panel = window->panel();
    // The lamp test ends in the identification.
    QTRY_VERIFY_WITH_TIMEOUT(panel.state.REMOTE_OK, 5000);
    QCOMPARE(panel.state.MODE1, u"DCV"_s);
    panel.controls.Speed_TIME.text = interval;
    shell::Speed_TIME_Click(panel);
    panel.controls.CONT_TIME_LIST.text = minutes;
    shell::CONT_TIME_LIST_Click(panel);

    // The user types a name when the box comes forward, and clicks OK.
    shell::SHOW_Form *show = window->showForm();
    bool sawNotice = false;
    QTimer user;
    connect(&user, &QTimer::timeout, this, [&] {
        sawNotice = sawNotice || window->noticeForm();
        if (!show->INPU_NAME_Frame->isVisible())
            return;
        show->INPU_NAME_TEXT->clear();
        QTest::keyClicks(show->INPU_NAME_TEXT, u"e2e"_s);
        QTest::mouseClick(show->INPU_NAME_OK, Qt::LeftButton);
    });
    user.start(20);
    const QRect start = rt::twipsRect(shell::SHOW_Form::startKeyRect().x(), shell::SHOW_Form::startKeyRect().y(),
                                      shell::SHOW_Form::startKeyRect().width(),
                                      shell::SHOW_Form::startKeyRect().height());
    QTest::mouseClick(show, Qt::LeftButton, {}, start.center());
    QCOMPARE(panel.controls.START_TEXT, u"Logging"_s);
    QTRY_COMPARE_WITH_TIMEOUT(panel.state.runPhase, shell::RunPhase::Idle, 15000);
    user.stop();

    QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.messages().value(0).text));
    QCOMPARE(panel.controls.START_TEXT, u"START"_s);
    QCOMPARE(panel.state.LOG_NAME, u"e2e"_s);
    const QStringList names = QDir(folder.filePath(u"SAVE DATA"_s)).entryList(QDir::Files);
    QCOMPARE(names.size(), 1);
    QVERIFY(QRegularExpression(u"^e2e-\\d{8}-\\d{6}-001\\.txt$"_s).match(names[0]).hasMatch());
    const QList<QByteArray> lines = fileLines(folder.filePath(u"SAVE DATA/"_s + names[0]));
    QCOMPARE(lines.size(), 3 + records);
    QVERIFY2(QRegularExpression(u"^    \\d{4}/\\d\\d/\\d\\d-\\d\\d:\\d\\d:\\d\\d,\\r$"_s)
                 .match(QString::fromLatin1(lines[0])).hasMatch(), lines[0].constData());
    QCOMPARE(lines[1], QByteArray("Total,       Time,                    Now,      Mod1,       Display1,,"
                                  "      Mod2,       Display2,,\r"));
    QCOMPARE(lines[2], QByteArray(99, '=') + ",\r");
    const QList<int> columns = {6, 18, 42, 53, 70, 81, 98};
    for (int i = 0; i < records; ++i) {
        const QByteArray &record = lines[3 + i];
        QVERIFY2(record.startsWith(QByteArray::number(i + 1).rightJustified(5, '0') + ",   "),
                 record.constData());
        QVERIFY2(record.endsWith(",\r"), record.constData());
        QCOMPARE(commaPositions(record), columns);
        QCOMPARE(record.mid(42, 10), QByteArray("       DCV"));
    }
    QCOMPARE(panel.state.RECORD_COUNT, records);
    // The normal loop lists its readings; the fast one only records.
    QCOMPARE(window->dataForm()->model()->dataRows(), fast ? 0 : records);
    QCOMPARE(sawNotice, fast);
    QFile commands(log);
    QVERIFY(commands.open(QIODevice::ReadOnly));
    const QByteArray wire = commands.readAll();
    if (fast)
        QCOMPARE(wire.count("val1?\n"), 2);
    else
        QCOMPARE(wire.count("read? buf\n"), records);

    window.reset();
    rt::setProgramFolder({});
    qunsetenv("RAVELO_COM1");
}

QTEST_MAIN(TestRunEndToEnd)
#include "tst_run_end_to_end.moc"
