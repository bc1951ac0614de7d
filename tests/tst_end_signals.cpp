// The program ended by a signal (SIGTERM, SIGINT, SIGHUP) ends as its
// close ends it: a scan or read-back ends as Stop ends it, a run ends after
// its pass or block with its file closed, then "SYST:LOC" goes out last and
// the program exits with 0. A second signal ends it at once.
//
// Each case is a program of its own on ravelo-sim (--log keeps what came
// over the wire): this test program started again with "--program MOMENT",
// which builds the main window and hears the signals as app/main.cpp does,
// brings the program to the moment and sends itself the signal there; or
// build/ravelo itself, sent the signal from here once it has started.

#include "core/dmm_link.h"
#include "core/panel.h"
#include "formats/setting_record.h"
#include "platform/dialogs.h"
#include "platform/end_signals.h"
#include "platform/program_folder.h"
#include "platform/twips.h"
#include "scan/scan_form.h"
#include "shell/speed_check.h"
#include "windows/front_panel_window.h"
#include "windows/main_window.h"
#include "windows/scan_window.h"
#include "support/files.h"
#include "support/sim_process.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <signal.h>

using namespace Qt::StringLiterals;

namespace {

// Where the program is when the signal comes.
enum class Moment {
    Idle,       // started, nothing going on
    Scan,       // a saving scan, between its second and third pass
    ReadBack,   // the scanner window reads the scanner back, inside a reply's wait
    NormalRun,  // a recorded run of the normal loop, three records in
    FastRun,    // a recorded run of the fast loop, a block in
};

// What the program does at its moment.
enum class Send {
    One,             // one signal
    TwiceAtOnce,     // SIGTERM twice, before the first is heard
    AgainWhenHeard,  // SIGTERM, then SIGINT once the first is heard
};

// The scanner's channels: 101 DCV auto, 102 2W on 1 k, 117 DCI_2A auto.
const QString kScannerState = u"scanner=on,chan101=on,VOLT,10,on,chan102=on,RES,1000,off,"
                              "chan117=on,CURR,10,on,scancount=3,scandelay=20"_s;
constexpr char kPassFields[] = "   01.20000 V,0.500000 kOhm,   00.10000 A,";

// ---- The program's side ------------------------------------------------------

void clickStart(shell::MDImain &window)
{
    const QRect key = shell::SHOW_Form::startKeyRect();
    QTest::mouseClick(window.showForm(), Qt::LeftButton, {},
                      rt::twipsRect(key.x(), key.y(), key.width(), key.height()).center());
}

// Sets the program on its way to the moment; `reached` says when it has come.
std::function<bool()> goTowards(Moment moment, shell::MDImain &window, QObject *owner)
{
    Panel &panel = window.panel();
    switch (moment) {
    case Moment::Idle:
        return [&panel] { return !panel.link.isWaiting(); };
    case Moment::Scan: {
        scan::Scan_Form *form = window.openScanForm();
        if (!form)
            return [] { return false; };
        scan::ScanControls &c = form->controls();
        c.Repeat_TEXT = u"20"_s;
        c.Save_DATA_CHK = true;
        panel.state.SCAN_NAME = u"Signal"_s;
        panel.state.SCAN_FILE_NO = 1;
        c.touch();
        QTest::mouseClick(form->Scan_BUTT, Qt::LeftButton);
        return [&panel, &c] {
            return c.runActive() && c.passNumber == 2 && !panel.link.isWaiting() && c.Timer1_Scan.isEnabled();
        };
    }
    case Moment::ReadBack: {
        auto since = std::make_shared<QElapsedTimer>();
        since->start();
        QTimer::singleShot(0, &window, [&window] { window.openScanForm(); });
        return [&panel, &window, since] {
            auto *form = window.findChild<scan::Scan_Form *>();
            return form && form->controls().run.readingBack() && panel.link.isWaiting() && since->elapsed() > 900;
        };
    }
    case Moment::NormalRun:
    case Moment::FastRun: {
        panel.controls.Speed_TIME.text = moment == Moment::NormalRun ? u"200"_s : u"16.667"_s;
        shell::Speed_TIME_Click(panel);
        panel.controls.CONT_TIME_LIST.text = u"Continuous"_s;
        shell::CONT_TIME_LIST_Click(panel);
        // The user names the record when the box comes forward.
        shell::SHOW_Form *show = window.showForm();
        auto *user = new QTimer(owner);
        QObject::connect(user, &QTimer::timeout, owner, [show, user] {
            if (!show->INPU_NAME_Frame->isVisible())
                return;
            user->stop();
            show->INPU_NAME_TEXT->clear();
            QTest::keyClicks(show->INPU_NAME_TEXT, u"signal"_s);
            QTest::mouseClick(show->INPU_NAME_OK, Qt::LeftButton);
        });
        user->start(20);
        QTimer::singleShot(0, &window, [&window] { clickStart(window); });
        const int records = moment == Moment::NormalRun ? 3 : 60;
        return [&panel, records] { return panel.state.RECORD_COUNT >= records; };
    }
    }
    return [] { return false; };
}

// The program as app/main.cpp builds it, on the program folder given, with
// message boxes written to stdout instead of shown.
int programMain(int argc, char *argv[])
{
    const auto moment = Moment(QByteArray(argv[2]).toInt());
    const auto send = Send(QByteArray(argv[3]).toInt());
    const QString folder = QString::fromLocal8Bit(argv[4]);
    rt::catchEndSignals();
    QApplication app(argc, argv);
    rt::setProgramFolder(folder);
    rt::MessageRecorder messages;
    shell::Class1 link;
    shell::MDImain window(link, folder);
    window.show();
    rt::EndSignals endSignals;
    QObject::connect(&endSignals, &rt::EndSignals::endAsked, &window, &shell::MDImain::endProgram);
    if (send == Send::AgainWhenHeard) {
        QObject::connect(&endSignals, &rt::EndSignals::endAsked, &app,
                         [] { QTimer::singleShot(0, [] { std::raise(SIGINT); }); });
    }

    // The watch fires inside the waits as well: it sets out once.
    bool setOut = false;
    std::function<bool()> reached;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        if (!setOut) {
            if (!window.panel().state.REMOTE_OK || link.isWaiting())
                return;
            setOut = true;
            reached = goTowards(moment, window, &app);
            return;
        }
        if (!reached || !reached())
            return;

        watch.stop();
        std::raise(SIGTERM);
        if (send == Send::TwiceAtOnce)
            std::raise(SIGTERM);
    });
    watch.start(5);
    const int code = app.exec();
    for (const rt::Message &message : messages.messages())
        std::printf("message: %s\n", qPrintable(message.text));
    return code;
}

// ---- The test's side ---------------------------------------------------------

struct Ended
{
    bool finished = false;
    QProcess::ExitStatus status = QProcess::NormalExit;
    int code = -1;
    QString output;
    QStringList wire;  // what the simulator received, in order
};

QStringList logLines(const QString &path)
{
    QFile log(path);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

struct Bench
{
    explicit Bench(const QStringList &simArguments)
        : sim(QStringList{u"--baud"_s, u"115200"_s, u"--log"_s, logPath()} + simArguments)
    {
        shell::SETTING setting;
        setting.PORT = 1;
        setting.BAUD = 115200;
        setting.REC_EVERY = u"1"_s;
        setting.TEST_TIME_TEXT = u"Continuous"_s;
        setting.SPEED = u"500"_s;
        recordWritten = shell::writeSetting(shell::settingPath(folder.path()), setting);
        environment.insert(u"RAVELO_COM1"_s, sim.linkPath());
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    }
    QString logPath() const { return logFolder.filePath(u"sim.log"_s); }
    bool ready() const { return sim.started() && recordWritten; }

    // Runs `program` with `arguments` to its end; `started` (if any) is
    // called once the simulator has received more than `startedAfter`
    // commands and then none for a second.
    Ended run(const QString &program, const QStringList &arguments, const std::function<void(qint64 pid)> &started = {},
              int startedAfter = 0)
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, arguments);
        Ended ended;
        if (!process.waitForStarted(10000))
            return ended;
        if (started) {
            // Started: the simulator has heard the identification, and
            // nothing more for a second.
            QElapsedTimer since;
            since.start();
            qsizetype heard = 0;
            QElapsedTimer quiet;
            quiet.start();
            while (since.elapsed() < 30000 && (heard <= startedAfter || quiet.elapsed() < 1000)) {
                QTest::qWait(50);
                const qsizetype now = logLines(logPath()).size();
                if (now != heard)
                    quiet.restart();
                heard = now;
            }
            started(process.processId());
        }
        ended.finished = process.waitForFinished(60000);
        if (!ended.finished) {
            process.kill();
            process.waitForFinished();
        }
        ended.status = process.exitStatus();
        ended.code = process.exitCode();
        ended.output = QString::fromLocal8Bit(process.readAllStandardOutput());
        ended.wire = logLines(logPath());
        return ended;
    }

    Ended runProgram(Moment moment, Send send = Send::One)
    {
        return run(QCoreApplication::applicationFilePath(),
                   {u"--program"_s, QString::number(int(moment)), QString::number(int(send)), folder.path()});
    }

    QTemporaryDir logFolder;
    QTemporaryDir folder;
    SimProcess sim;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    bool recordWritten = false;
};

// The one data file of a folder under the program's folder.
QList<QByteArray> onlyFile(const QTemporaryDir &folder, const QString &subfolder)
{
    const QDir data(folder.filePath(subfolder));
    const QStringList names = data.entryList(QDir::Files);
    if (names.size() != 1)
        return {"not one file: " + names.join(u' ').toUtf8()};
    return fileLines(data.filePath(names[0]));
}

} // namespace

Q_DECLARE_METATYPE(Moment)

class TestEndSignals : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void theProgramItselfEndsOnASignal_data();
    void theProgramItselfEndsOnASignal();
    void endsAsItsCloseDoes_data();
    void endsAsItsCloseDoes();
    void aSecondSignalEndsAtOnce_data();
    void aSecondSignalEndsAtOnce();
};

void TestEndSignals::theProgramItselfEndsOnASignal_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

// build/ravelo, idle on the simulator, sent a signal from outside.
void TestEndSignals::theProgramItselfEndsOnASignal()
{
    QFETCH(int, signalNumber);
    Bench bench({});
    QVERIFY2(bench.ready(), qPrintable(bench.sim.errors()));
    // Its own copy, so that its folder (the settings record) is the bench's.
    const QString program = bench.folder.filePath(u"ravelo"_s);
    QVERIFY(QFile::copy(QStringLiteral(RAVELO_PROGRAM), program));
    QVERIFY(QFile::link(QFileInfo(QStringLiteral(RAVELO_PROGRAM)).dir().filePath(u"DISPLAY_BMP"_s),
                        bench.folder.filePath(u"DISPLAY_BMP"_s)));
    const Ended ended = bench.run(
        program, {}, [signalNumber](qint64 pid) { ::kill(pid_t(pid), signalNumber); }, 4);

    QVERIFY(ended.finished);
    QCOMPARE(ended.status, QProcess::NormalExit);
    QCOMPARE(ended.code, 0);
    QVERIFY2(ended.wire.contains(u"*IDN?"_s), qPrintable(ended.wire.join(u' ')));
    QCOMPARE(ended.wire.last(), u"SYST:LOC"_s);
    QCOMPARE(ended.wire.count(u"SYST:LOC"_s), 1);
}

void TestEndSignals::endsAsItsCloseDoes_data()
{
    QTest::addColumn<Moment>("moment");
    QTest::addColumn<QStringList>("simArguments");
    QTest::newRow("idle") << Moment::Idle << QStringList{};
    QTest::newRow("scan") << Moment::Scan << QStringList{u"--state"_s, kScannerState};
    // Every reply 300 ms late, so the read-back is long enough to cut.
    QTest::newRow("read-back") << Moment::ReadBack
                               << QStringList{u"--state"_s, kScannerState, u"--fault"_s, u"delay-ms=300"_s};
    QTest::newRow("normal run") << Moment::NormalRun << QStringList{};
    QTest::newRow("fast run") << Moment::FastRun << QStringList{};
}

void TestEndSignals::endsAsItsCloseDoes()
{
    QFETCH(Moment, moment);
    QFETCH(QStringList, simArguments);
    Bench bench(simArguments);
    QVERIFY2(bench.ready(), qPrintable(bench.sim.errors()));
    const Ended ended = bench.runProgram(moment);

    QVERIFY(ended.finished);
    QCOMPARE(ended.status, QProcess::NormalExit);
    QCOMPARE(ended.code, 0);
    QVERIFY2(!ended.output.contains(u"message:"_s), qPrintable(ended.output));
    const QStringList &wire = ended.wire;
    QVERIFY(!wire.isEmpty());
    QCOMPARE(wire.last(), u"SYST:LOC"_s);

    switch (moment) {
    case Moment::Idle:
        QCOMPARE(wire.count(u"SYST:LOC"_s), 1);
        break;
    case Moment::Scan: {
        // Stopped as Stop stops it, no pass armed after it, then released;
        // each pass read is filed whole.
        QCOMPARE(wire.mid(wire.size() - 2), (QStringList{u"rout:func off"_s, u"SYST:LOC"_s}));
        const QList<QByteArray> fields = scanDataFields(onlyFile(bench.folder, u"SCAN DATA"_s));
        QCOMPARE(fields.size(), 2);
        QCOMPARE(fields, QList<QByteArray>(wire.count(u"fetc?"_s), kPassFields));
        QCOMPARE(wire.count(u"rout:func scan"_s), 3);
        break;
    }
    case Moment::ReadBack:
        // Ended where it was: the last channels were never asked, and no
        // scan began.
        QVERIFY(wire.contains(u"rout:coun?"_s));
        QVERIFY(!wire.contains(u"rout:chan? 117"_s));
        QVERIFY(!wire.contains(u"rout:func scan"_s));
        break;
    case Moment::NormalRun:
    case Moment::FastRun: {
        // Every reading taken is in the file, and the file is whole.
        const QList<QByteArray> lines = onlyFile(bench.folder, u"SAVE DATA"_s);
        QVERIFY2(lines.size() > 3, lines.value(0).constData());
        const qsizetype records = lines.size() - 3;
        if (moment == Moment::NormalRun) {
            QCOMPARE(records, wire.count(u"read? buf"_s));
        } else {
            // The blocks before the last are whole; the last ends at the
            // sample in hand (the instrument's rest of it is not read).
            const qsizetype blocks = wire.count(u"val1?"_s);
            QVERIFY2(records > 60 * (blocks - 1) && records <= 60 * blocks,
                     qPrintable(u"%1 records of %2 blocks"_s.arg(records).arg(blocks)));
            // The instrument's display and single readings come back before
            // it is released.
            QCOMPARE(wire.mid(wire.size() - 3),
                     (QStringList{u"SYST:DISP ON"_s, u"sample:count 1"_s, u"SYST:LOC"_s}));
        }
        for (qsizetype k = 3; k < lines.size(); ++k) {
            QVERIFY2(lines[k].startsWith(QByteArray::number(k - 2).rightJustified(5, '0') + ','),
                     lines[k].constData());
            QVERIFY2(lines[k].endsWith(",\r"), lines[k].constData());
        }
        QCOMPARE(wire.count(u"SYST:LOC"_s), 1);
        break;
    }
    }
}

void TestEndSignals::aSecondSignalEndsAtOnce_data()
{
    QTest::addColumn<int>("send");
    QTest::newRow("SIGTERM twice, before the first is heard") << int(Send::TwiceAtOnce);
    QTest::newRow("SIGINT after a SIGTERM heard") << int(Send::AgainWhenHeard);
}

// A normal run, three records in: the second signal ends the program where
// it stands, so the instrument is never released.
void TestEndSignals::aSecondSignalEndsAtOnce()
{
    QFETCH(int, send);
    Bench bench({});
    QVERIFY2(bench.ready(), qPrintable(bench.sim.errors()));
    const Ended ended = bench.runProgram(Moment::NormalRun, Send(send));

    QVERIFY(ended.finished);
    QCOMPARE(ended.status, QProcess::CrashExit);
    QVERIFY2(ended.wire.contains(u"read? buf"_s), qPrintable(ended.wire.join(u' ')));
    QVERIFY(!ended.wire.contains(u"SYST:LOC"_s));
}

int main(int argc, char *argv[])
{
    if (argc == 5 && qstrcmp(argv[1], "--program") == 0)
        return programMain(argc, argv);
    QApplication app(argc, argv);
    TestEndSignals test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_end_signals.moc"
