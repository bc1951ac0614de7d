// Scan runs in the scanner window, shown offscreen with its result grids in
// sight, over the in-process simulated scanner that answers at once:
//   - fetchPerReading: the program's own cost of one fetched reading, a
//     continuous run of 999-reading passes (Form_Change, the grid cell, the
//     data file's field and line, the "Write Data" status label repainted,
//     the grids drawn after each pass). Goal: under 50 us a reading
//     (us_per_reading). Argument: channels ticked; 1 completes a row (a new
//     grid row and a file line) with every reading, 18 mixes the functions
//     and ranges of the table.
//   - gridsGrowTo9999: both result grids grown one row at a time, as the
//     passes open rows, from 1 to 9,999 rows, then drawn. Goal: under 50 ms.
//   - rollOverClear: the tick whose row is the 9,999th: its one reading,
//     then the roll-over (a new data file begun, both grids cleared back to
//     one row), then drawn. Goal: under 50 ms.
//   - fetchWireTime: not a timing but a sum. The bytes of the simulator's
//     reply to "fetc?" after "rout:coun 999" (999 lines, each the reading's
//     exponent form and a CR), taken from the simulator's own line framing,
//     at 10 bits a byte on the wire; wire_s is that time at the baud rate of
//     the argument (9600, 115200).
//
//   cmake --build build --target bench_scan && QT_QPA_PLATFORM=offscreen build/bench/bench_scan

#include "core/dmm_link.h"
#include "core/panel.h"
#include "formats/scan_data.h"
#include "platform/dialogs.h"
#include "platform/panel_timer.h"
#include "platform/program_folder.h"
#include "scan/scan_controls.h"
#include "scan/scan_run.h"
#include "sim/line.h"
#include "sim/sim_device.h"
#include "windows/scan_window.h"

#include <QApplication>
#include <QFileInfo>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kReadingsPerPass = 999;  // the most the three-digit Count box takes
constexpr int kLastGridRow = 9999;     // the row after it rolls over

// The channel table of the mixed set-up: a bank channel's function by its
// list position, its range position or -1 for auto range. No 4W: it would
// take its partner channel out.
struct ChannelSetup
{
    int function;
    int range;
};
constexpr ChannelSetup kBankSetups[] = {
    {1, -1},  // DCV auto
    {0, -1},  // ACV auto
    {2, 2},   // 2W 10 k
    {1, 1},   // DCV 1 V
    {4, -1},  // DIODE
    {6, -1},  // Hz
    {8, -1},  // TC_C
    {5, -1},  // CONTINU
};

// Ticks the first `channels` channels: the bank ones as above, 117 DCI_2A
// and 118 ACI_2A in auto range.
void tickChannels(scan::ChannelTable &table, int channels)
{
    for (int i = 0; i < channels && i < scan::kChannelCount; ++i) {
        table.setOn(i, true);
        if (i >= 16) {
            table.selectFunction(i, i == 16 ? 1 : 0);
            table.setAuto(i, true);
            continue;
        }
        const ChannelSetup &setup = kBankSetups[i % std::size(kBankSetups)];
        table.selectFunction(i, setup.function);
        table.setAuto(i, setup.range < 0);
        if (setup.range >= 0)
            table.selectRange(i, setup.range);
    }
}

// The scanner window over the panel's real channel on the in-process
// simulator (the test fixture's few lines), the program folder a temporary
// one, the timers on a hand-turned clock so only the bench ticks them.
struct ScanBench
{
    explicit ScanBench(int channels, int count, bool save = true)
    {
        rt::setProgramFolder(folder.path());
        link.Port(1);
        link.BaudRate(9600);
        opened = link.Open();
        panel.state.REMOTE_OK = true;
        panel.state.SCAN_NAME = u"bench"_s;
        panel.state.SCAN_FILE_NO = 1;

        form = std::make_unique<scan::Scan_Form>(panel);
        form->resize(1000, 700);
        form->tabs->setCurrentIndex(1);  // the result grids in sight
        form->show();
        QCoreApplication::processEvents();
        // As the main window opens it: the form's load step connects the
        // run's timers and reads the scanner's set-up back.
        loaded = form->load();

        scan::ScanControls &c = controls();
        tickChannels(c.table, channels);
        c.Count_TEXT = QString::number(count);
        c.Timer_TEXT = u"0"_s;
        c.SYS_DEL_TEXT = u"0"_s;
        c.selectRunMode(1);  // continuous
        c.Save_DATA_CHK = save;
        form->context().pace = [](float) {};
        c.touch();
    }
    ~ScanBench()
    {
        form.reset();
        rt::setProgramFolder({});
    }

    scan::ScanControls &controls() { return form->controls(); }
    void start() { scan::Scan_BUTT_Click(form->context()); }
    void tick() { controls().Timer1_Scan.tick(); }
    // What the event loop does between ticks: the grids and the label drawn.
    void draw()
    {
        QCoreApplication::processEvents();
        for (QTableView *grid : form->Scan_Grid)
            grid->viewport()->repaint();
    }
    // Why the run is not going as it should, or nothing.
    const char *fault()
    {
        if (!opened)
            return "the simulated port did not open";
        if (!loaded)
            return "the scanner window did not load";
        if (!messages.messages().isEmpty())
            return "the run put up a message";
        if (!controls().runActive())
            return "the run is not running";
        return nullptr;
    }

    rt::ManualTimerClock clock;
    rt::MessageRecorder messages;
    QTemporaryDir folder;
    sim::Instrument instrument;
    shell::Class1 link{[this](int, qint32, shell::LinkError *, QString *) -> std::unique_ptr<QIODevice> {
        auto device = std::make_unique<sim::SimDevice>(instrument);
        if (!device->isOpen())
            device->open(QIODevice::ReadWrite);
        return device;
    }};
    PanelParts parts{link};
    Panel &panel = parts.panel;
    std::unique_ptr<scan::Scan_Form> form;
    bool opened = false;
    bool loaded = false;
};

// One tick a 999-reading pass, on and on; the rows roll over on their own
// when they reach the end of the grids.
void fetchPerReading(benchmark::State &run)
{
    const int channels = int(run.range(0));
    ScanBench bench(channels, kReadingsPerPass);
    bench.start();
    if (const char *why = bench.fault())
        return run.SkipWithError(why);
    // One pass before timing: every ticked cell of the first row is filled.
    bench.tick();
    bench.draw();
    for (int i = 0; i < channels; ++i) {
        const auto grid = std::size_t(i < 8 || i == 16 ? 0 : 1);
        const int column = i < 16 ? i % 8 : 8;
        if (bench.controls().Scan_Grid[grid].cell(1, column).isEmpty())
            return run.SkipWithError("a ticked channel got no reading");
    }
    if (QFileInfo(bench.controls().scanFilePath).size() <= formats::scanHeaderBytes({}, {}).size())
        return run.SkipWithError("the pass wrote nothing to the data file");
    std::chrono::steady_clock::duration spent{};
    for (auto _ : run) {
        const auto began = std::chrono::steady_clock::now();
        bench.tick();
        bench.draw();
        spent += std::chrono::steady_clock::now() - began;
    }
    if (const char *why = bench.fault())
        return run.SkipWithError(why);
    const double readings = double(run.iterations()) * kReadingsPerPass;
    run.SetItemsProcessed(qint64(readings));
    run.counters["us_per_reading"] = std::chrono::duration<double, std::micro>(spent).count() / readings;
}
BENCHMARK(fetchPerReading)->Arg(1)->Arg(18)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void gridsGrowTo9999(benchmark::State &run)
{
    ScanBench bench(1, 1);
    std::array<scan::ScanGridModel, 2> &grids = bench.controls().Scan_Grid;
    for (auto _ : run) {
        run.PauseTiming();
        for (scan::ScanGridModel &grid : grids)
            grid.setDataRows(1);
        bench.draw();
        run.ResumeTiming();

        for (int row = 2; row <= kLastGridRow; ++row)
            for (scan::ScanGridModel &grid : grids)
                grid.setDataRows(row);
        bench.draw();
    }
    if (grids[0].dataRows() != kLastGridRow || grids[1].dataRows() != kLastGridRow
        || bench.form->Scan_Grid[1]->model()->rowCount() != kLastGridRow)
        run.SkipWithError("the grids did not reach 9,999 rows");
}
BENCHMARK(gridsGrowTo9999)->Unit(benchmark::kMillisecond)->UseRealTime();

void rollOverClear(benchmark::State &run)
{
    ScanBench bench(1, 1);
    bench.start();
    if (const char *why = bench.fault())
        return run.SkipWithError(why);
    scan::ScanControls &c = bench.controls();
    bool cleared = true;
    for (auto _ : run) {
        run.PauseTiming();
        for (scan::ScanGridModel &grid : c.Scan_Grid)
            grid.setDataRows(kLastGridRow);
        c.SCAN_ROW = kLastGridRow;
        bench.draw();
        const qint16 file = bench.panel.state.SCAN_FILE_NO;
        run.ResumeTiming();

        bench.tick();
        bench.draw();

        run.PauseTiming();
        cleared = cleared && c.SCAN_ROW == 1 && c.Scan_Grid[0].dataRows() == 1 && c.Scan_Grid[1].dataRows() == 1
                  && bench.panel.state.SCAN_FILE_NO == file + 1;
        run.ResumeTiming();
    }
    if (const char *why = bench.fault())
        return run.SkipWithError(why);
    if (!cleared)
        run.SkipWithError("the tick did not roll over to one row and a new file");
}
BENCHMARK(rollOverClear)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

// The fetch reply's bytes as the simulator frames them, for the mixed
// set-up of all 18 channels.
qint64 fetchReplyBytes(int *lines)
{
    scan::ScanControls c;
    c.table.fillFunctionLists();
    tickChannels(c.table, scan::kChannelCount);
    sim::Instrument instrument;
    sim::Line line(instrument);
    QByteArray commands = "rout:open:all\nrout:coun " + QByteArray::number(kReadingsPerPass) + '\n';
    for (int i = 0; i < scan::kChannelCount; ++i)
        commands += scan::channelCommand(c, i).chopped(3).toLatin1() + '\n';  // "\10" is the LF
    line.receive(commands, 0);
    line.takeDue(1'000'000);  // the set-up's commands get no reply
    line.receive("fetc?\n", 0);
    const QByteArray reply = line.takeDue(1'000'000);
    *lines = int(reply.count('\r'));
    return reply.size();
}

void fetchWireTime(benchmark::State &run)
{
    const double baud = double(run.range(0));
    int lines = 0;
    qint64 bytes = 0;
    for (auto _ : run)
        bytes = fetchReplyBytes(&lines);
    if (lines != kReadingsPerPass)
        return run.SkipWithError("the reply does not have 999 lines");
    run.SetLabel("computed, not timed");
    run.counters["reply_lines"] = lines;
    run.counters["reply_bytes"] = double(bytes);
    run.counters["wire_s"] = double(bytes) * 10 / baud;
}
BENCHMARK(fetchWireTime)->Arg(9600)->Arg(115200)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
