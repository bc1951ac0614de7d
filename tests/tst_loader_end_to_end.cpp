// A recorded run opened again: ravelo-sim on a pty, the main window, a run
// started with the START key and recorded, then the status window's Load
// button, the loader's Open File, Plot Graph, the three views, Plot Range
// and a cancelled plot on the file the run wrote.
//
// Under a real X server, RAVELO_SHOTS=<folder> saves a screenshot of the
// screen after each step (ImageMagick's import), for instance with
// QT_QPA_PLATFORM=xcb under xvfb-run -a -s "-screen 0 1280x1024x24".

#include "core/dmm_link.h"
#include "core/panel.h"
#include "formats/setting_record.h"
#include "platform/dialogs.h"
#include "platform/program_folder.h"
#include "platform/twips.h"
#include "shell/speed_check.h"
#include "support/program_on_sim.h"
#include "windows/front_panel_window.h"
#include "windows/loader_window.h"
#include "windows/main_window.h"
#include "windows/status_window.h"

#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <qcustomplot.h>

using namespace Qt::StringLiterals;

namespace {

void shoot(const QString &name)
{
    const QString folder = qEnvironmentVariable("RAVELO_SHOTS");
    if (folder.isEmpty())
        return;
    QTest::qWait(400);  // let the windows paint
    QDir().mkpath(folder);
    QProcess::execute(u"import"_s, {u"-window"_s, u"root"_s, folder + u"/"_s + name + u".png"_s});
}

} // namespace

class TestLoaderEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recordedRunOpensAndPlots();
};

void TestLoaderEndToEnd::recordedRunOpensAndPlots()
{
    ProgramOnSim program({}, u"0.02"_s, u"200"_s);
    QVERIFY2(program.ready(), qPrintable(program.sim.errors()));
    const QTemporaryDir &folder = program.folder;
    const rt::MessageRecorder &messages = program.messages;
    std::unique_ptr<shell::MDImain> &window = program.start();
    if (!qEnvironmentVariableIsEmpty("RAVELO_SHOTS"))
        window->resize(1270, 1000);  // room for the loader beside the others
    window->show();
    Panel &panel = window->panel();
    QTRY_VERIFY_WITH_TIMEOUT(panel.state.REMOTE_OK, 5000);
    panel.controls.Speed_TIME.text = u"200"_s;
    shell::Speed_TIME_Click(panel);
    panel.controls.CONT_TIME_LIST.text = u"0.02"_s;  // 1.2 s: six readings
    shell::CONT_TIME_LIST_Click(panel);

    // START, a name typed into the record-name box, and the run to its end.
    shell::SHOW_Form *show = window->showForm();
    QTimer user;
    connect(&user, &QTimer::timeout, this, [&] {
        if (!show->INPU_NAME_Frame->isVisible())
            return;
        show->INPU_NAME_TEXT->clear();
        QTest::keyClicks(show->INPU_NAME_TEXT, u"e2e"_s);
        QTest::mouseClick(show->INPU_NAME_OK, Qt::LeftButton);
    });
    user.start(20);
    const QRect start = shell::SHOW_Form::startKeyRect();
    QTest::mouseClick(show, Qt::LeftButton, {},
                      rt::twipsRect(start.x(), start.y(), start.width(), start.height()).center());
    QTRY_COMPARE_WITH_TIMEOUT(panel.state.runPhase, shell::RunPhase::Idle, 15000);
    user.stop();
    QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.messages().value(0).text));
    const QString saveFolder = folder.filePath(u"SAVE DATA"_s);
    const QStringList names = QDir(saveFolder).entryList({u"*.txt"_s}, QDir::Files);
    QCOMPARE(names.size(), 1);
    const QString recorded = saveFolder + u"/"_s + names[0];

    // The status window's Load button opens the loader.
    QTest::mouseClick(window->quitForm()->LOAD_BUTT, Qt::LeftButton);
    QPointer<loader::Form_LD> ld(window->quitForm()->loaderForm());
    QVERIFY(ld);
    QTRY_VERIFY(ld->isVisible());
    QString askedFolder;
    rt::setOpenFileHandler([&](const QString &, const QString &in, const QString &) {
        askedFolder = in;
        return recorded;
    });
    QTest::mouseClick(ld->OPEN_FILE_BUTT, Qt::LeftButton);
    rt::setOpenFileHandler({});
    QCOMPARE(askedFolder, saveFolder);
    QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.messages().value(0).text));
    QAbstractItemModel *table = ld->LOAD_Grid->model();
    QCOMPARE(table->rowCount(), 6 + 1);
    QCOMPARE(table->index(5, 0).data().toString(), u"00006"_s);
    QCOMPARE(table->index(0, 3).data().toString(), u"DCV"_s);
    QVERIFY(table->index(0, 4).data().toString().endsWith(u"_V"_s)
            || table->index(0, 4).data().toString().endsWith(u"_mV"_s));
    QCOMPARE(ld->START_TEXT->text(), u"00001"_s);
    QCOMPARE(ld->END_TEXT->text(), u"00006"_s);
    shoot(u"1-listed"_s);

    QTest::mouseClick(ld->Graph_SHOW_BUTT, Qt::LeftButton);
    QCOMPARE(ld->LOAD_Graph->graph(0)->dataCount(), 7);
    QCOMPARE(ld->LOAD_Graph2->graph(0)->dataCount(), 7);
    QCOMPARE(ld->LOAD_Graph->xAxis->range(), QCPRange(1, 6));
    QCOMPARE(ld->LOAD_Graph->yAxis->label(), u"DCV"_s);
    QVERIFY(ld->LOAD_Graph->isVisible() && !ld->LOAD_Graph2->isVisible());
    shoot(u"2-view-display-1"_s);

    QTest::mouseClick(ld->DIS_SHOW_OPT[1], Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!ld->LOAD_Graph->isVisible() && ld->LOAD_Graph2->isVisible());
    shoot(u"3-view-display-2"_s);
    QTest::mouseClick(ld->DIS_SHOW_OPT[2], Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(ld->LOAD_Graph->isVisible() && ld->LOAD_Graph2->isVisible());
    shoot(u"4-view-display-1-and-2"_s);

    for (auto [box, text] : {std::pair{ld->START_TEXT, u"2"_s}, std::pair{ld->END_TEXT, u"5"_s}}) {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }
    QTest::mouseClick(ld->SET_SHOW_BUTT, Qt::LeftButton);
    QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.messages().value(0).text));
    QCOMPARE(ld->LOAD_Graph->graph(0)->dataCount(), 5);
    QCOMPARE(ld->LOAD_Graph->xAxis->range(), QCPRange(2, 5));
    shoot(u"5-range-2-to-5"_s);

    // A plot's Cancel is told in the status window's log, once.
    loader::Loader &state = ld->state();
    state.progressAfter = std::chrono::milliseconds(0);
    state.plotSlice = 1;
    state.plotHelpers = 0;
    const auto cancel = connect(&state, &loader::Loader::plotProgress, this, [&] {
        if (auto *progress = ld->findChild<QProgressDialog *>())
            QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
    });
    const int logLines = panel.status.lineCount();
    QTest::mouseClick(ld->Graph_SHOW_BUTT, Qt::LeftButton);
    disconnect(cancel);
    QCOMPARE(ld->LOAD_Graph->graph(0)->dataCount(), 0);
    QCOMPARE(panel.status.lineCount(), logLines + 1);
    QCOMPARE(panel.status.lines().constLast(), u"Plot cancelled: both graphs are left empty."_s);

    QTest::mouseClick(ld->Quit_BUTT, Qt::LeftButton);
    QTRY_VERIFY(ld.isNull());
    window.reset();
}

QTEST_MAIN(TestLoaderEndToEnd)
#include "tst_loader_end_to_end.moc"
