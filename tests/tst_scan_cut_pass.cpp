// A scan pass cut short while its readings arrive. On a slow line the
// readings of one pass come in one by one (the simulator paces its replies
// at 1200 baud, four readings of about 130 ms each); Stop, the main
// window's close, or the end a SIGTERM asks for (endProgram, which the
// program's signal watcher calls), comes after 0 to 3 of the second pass's
// readings. The
// cut pass is not saved and its readings leave the grid: every line of the
// file holds every ticked channel. The first pass, read whole, is kept.

#include "core/panel.h"
#include "platform/dialogs.h"
#include "platform/program_folder.h"
#include "windows/main_window.h"
#include "windows/scan_window.h"
#include "support/files.h"
#include "support/sim_link.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// 101 DCV auto, 102 2W on 1 k, 110 DCV auto, 117 DCI_2A auto: one reading
// each per pass.
constexpr char kPassFields[] = "   01.20000 V,0.500000 kOhm,   01.20000 V,   00.10000 A,";

enum class Cut { Stop, MainClose, Signal };

struct Program
{
    Program()
    {
        rt::setProgramFolder(folder.path());
        sim.instrument.setStates(u"chan101=on,VOLT,10,on,chan102=on,RES,1000,off,chan110=on,VOLT,10,on,"
                                 "chan117=on,CURR,10,on,scancount=4,scandelay=20"_s);
        window = std::make_unique<shell::MDImain>(sim.link, folder.path());
        window->panel().timers.Timer1.setEnabled(false);
        window->show();
        sim.open();
        window->panel().state.REMOTE_OK = true;
        form = window->openScanForm();
        // Read back on a quick line; the run's replies come at the slow
        // line's pace.
        sim.baud = 1200;
        sim.open();
        if (!form)
            return;
        scan::ScanControls &c = form->controls();
        c.Repeat_TEXT = u"3"_s;
        c.Save_DATA_CHK = true;
        window->panel().state.SCAN_NAME = u"Cut"_s;
        window->panel().state.SCAN_FILE_NO = 1;
        c.touch();
    }
    ~Program()
    {
        window.reset();
        rt::setProgramFolder({});
    }

    scan::ScanControls &controls() { return form->controls(); }

    // The data lines of the run's file, without their time stamps.
    QList<QByteArray> dataFields() const
    {
        const QDir dataFolder(folder.filePath(u"SCAN DATA"_s));
        const QStringList names = dataFolder.entryList({u"Cut-*.txt"_s}, QDir::Files);
        if (names.size() != 1)
            return {"no file or more than one"};
        return scanDataFields(fileLines(dataFolder.filePath(names[0])));
    }
    // Row `row` of both grids: 101, 102, 117 of grid 0; 110 of grid 1.
    QStringList gridRow(int row)
    {
        const scan::ScanControls &c = controls();
        return {c.Scan_Grid[0].cell(row, 0), c.Scan_Grid[0].cell(row, 1), c.Scan_Grid[1].cell(row, 1),
                c.Scan_Grid[0].cell(row, 8)};
    }

    QTemporaryDir folder;
    SimLink sim;
    rt::MessageRecorder messages;
    std::unique_ptr<shell::MDImain> window;
    QPointer<scan::Scan_Form> form;
};

} // namespace

Q_DECLARE_METATYPE(Cut)

class TestScanCutPass : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cutPassIsNotFiled_data();
    void cutPassIsNotFiled();
};

void TestScanCutPass::cutPassIsNotFiled_data()
{
    QTest::addColumn<Cut>("cut");
    QTest::addColumn<int>("readingsBefore");  // of the second pass, placed when the cut comes
    const std::pair<Cut, const char *> cuts[] = {
        {Cut::Stop, "Stop"}, {Cut::MainClose, "close"}, {Cut::Signal, "SIGTERM's end"}};
    for (const auto &[cut, name] : cuts)
        for (int k = 0; k < 4; ++k)
            QTest::addRow("%s after %d of 4 readings", name, k) << cut << k;
}

void TestScanCutPass::cutPassIsNotFiled()
{
    QFETCH(Cut, cut);
    QFETCH(int, readingsBefore);
    Program program;
    QVERIFY(program.form);
    scan::ScanControls &c = program.controls();

    // The cut comes from a timer that fires inside the channel's waits, as
    // a click does.
    qsizetype wireAtCut = -1;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (wireAtCut >= 0 || c.passNumber != 2 || !program.sim.link.isWaiting()
            || program.sim.wire().count(u"fetc?"_s) != 2 || c.FETCH_COUNT != readingsBefore)
            return;
        wireAtCut = program.sim.wire().size();
        if (cut == Cut::Stop)
            QTest::mouseClick(program.form->STOP_BUTT, Qt::LeftButton);
        else if (cut == Cut::MainClose)
            program.window->close();
        else
            program.window->endProgram();
    });
    user.start(0);
    QTest::mouseClick(program.form->Scan_BUTT, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(wireAtCut >= 0, 20000);
    if (cut == Cut::Stop)
        QTRY_VERIFY_WITH_TIMEOUT(!c.run.holdsLine(), 5000);
    else
        QTRY_VERIFY_WITH_TIMEOUT(!program.window->isVisible(), 5000);
    user.stop();

    QVERIFY2(program.messages.messages().isEmpty(), qPrintable(program.messages.messages().value(0).text));
    QCOMPARE(program.dataFields(), QList<QByteArray>{kPassFields});
    // The grid shows what the file holds: the first pass, then nothing.
    QCOMPARE(program.gridRow(1),
             (QStringList{u"01.20000 V"_s, u"0.500000 kOhm"_s, u"01.20000 V"_s, u"00.10000 A"_s}));
    QCOMPARE(program.gridRow(2), QStringList(4));
    QCOMPARE(c.SCAN_ROW, 2);
    // The log says why the pass is missing.
    QVERIFY2(program.window->panel().status.text().contains(u"Pass 2 was cut short"_s),
             qPrintable(program.window->panel().status.text()));
    // Nothing but the end of the scan (and, closing, the instrument's
    // release) went out after the cut.
    const QStringList after = program.sim.wire().mid(wireAtCut);
    if (cut == Cut::Stop)
        QCOMPARE(after, QStringList{u"rout:func off"_s});
    else
        QCOMPARE(after.mid(0, 1), QStringList{u"rout:func off"_s});
}

QTEST_MAIN(TestScanCutPass)
#include "tst_scan_cut_pass.moc"
