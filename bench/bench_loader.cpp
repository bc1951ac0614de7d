// The recorded-data loader: a generated file in the recorder's own format
// opened in the loader window, listed and plotted on both graphs, the
// graphs and the table drawn. Goals: 18,000 records (a full file) under
// 20 ms; 1,000,000 records under 10 times one plain pass over the same
// file's bytes that counts its line ends (times_baseline, the pass measured
// in the same run), with the memory the load adds (peak_per_file) under
// twice the file's size. GRID_NUM_C converts a cell without touching the
// heap (allocs_per_cell = 0). Oversized and damaged files (2 GB of zeros, a
// good header before 2 GB of zeros, one 100 MB line, records followed by
// 1.2 GB of line ends) end in their message at once, with little memory.
// "Plot Graph" on 5,000,000 records (a day at 60 readings a second) within
// half a second, the window answering throughout.
//
// The peak is the resident set's, from a fresh window to the end of the
// plot. It means something for the large file, whose blocks come straight
// from the system; a small file fits in memory freed by earlier rounds.
//
//   cmake --build build --target bench_loader
//   QT_QPA_PLATFORM=offscreen build/bench/bench_loader
//   QT_QPA_PLATFORM=offscreen build/bench/bench_loader --benchmark_filter=openListPlot/1000000
//   QT_QPA_PLATFORM=offscreen build/bench/bench_loader --benchmark_filter=oversized
//   QT_QPA_PLATFORM=offscreen build/bench/bench_loader --benchmark_filter=plotWholeDay

#include "formats/recorded_data.h"
#include "formats/recorded_data_reader.h"
#include "loader/axis_units.h"
#include "loader/loader_state.h"
#include "loader/file_loading.h"
#include "loader/load_plots.h"
#include "platform/dialogs.h"
#include "platform/runtime.h"
#include "windows/loader_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <qcustomplot.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <new>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

// Heap allocations, counted while a benchmark asks for it.
namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};
} // namespace

void *operator new(std::size_t size)
{
    if (g_counting.load(std::memory_order_relaxed))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }

namespace {

// In UTC: the clock of 1,000,000 records is counted without a time zone.
const QDateTime kStart(QDate(2013, 5, 6), QTime(14, 22, 33), Qt::UTC);

// Readings as a run records them, display 2 measuring too.
const std::array<QString, 4> kDisplay1{u"01.20000_V"_s, u"-0.567812_V"_s, u"10.0001_kOhm"_s, u"OL"_s};
const std::array<QString, 4> kMode1{u"DCV"_s, u"DCV"_s, u"2W"_s, u"DCV"_s};
const std::array<QString, 4> kDisplay2{u"59.999_Hz"_s, u"0.123456_V"_s, u"\u3000"_s, u"-10.5_mV"_s};
const std::array<QString, 4> kMode2{u"Hz"_s, u"ACV"_s, u"2W"_s, u"DCV"_s};

// One file per size for the whole program, written once.
const QString &generatedFile(qint64 records)
{
    static QTemporaryDir folder;
    static std::map<qint64, QString> files;
    auto [it, added] = files.try_emplace(records);
    if (!added)
        return it->second;
    it->second = folder.filePath(u"bench-%1.txt"_s.arg(records));
    QFile file(it->second);
    if (!file.open(QIODevice::WriteOnly))
        return it->second;
    file.write(formats::headerBytes(kStart));
    QByteArray block;
    for (qint64 i = 1; i <= records; ++i) {
        const std::size_t k = std::size_t(i % 4);
        block += formats::recordLine({qint32(i), formats::elapsedText(i), kStart.addSecs(i), kMode1[k],
                                      kDisplay1[k], kMode2[k], kDisplay2[k]})
                     .toUtf8();
        if (block.size() > (1 << 20)) {
            file.write(block);
            block.clear();
        }
    }
    file.write(block);
    return it->second;
}

// Resident set and its peak, in bytes; writing 5 to clear_refs starts a new
// peak from the present size.
qint64 statusBytes(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stoll(line.substr(key.size())) * 1024;
    return 0;
}
void restartPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The baseline: one pass over the file's bytes, counting its line ends.
qint64 countLineEnds(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    static std::vector<char> chunk(1 << 20);
    qint64 ends = 0;
    for (qint64 got; (got = file.read(chunk.data(), qint64(chunk.size()))) > 0;)
        ends += std::count(chunk.data(), chunk.data() + got, '\n');
    return ends;
}

double secondsOf(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// "Open File", "Plot Graph" and both graphs and the table drawn, on a fresh
// window each time.
void openListPlot(benchmark::State &run)
{
    const qint64 records = run.range(0);
    const QString path = generatedFile(records);
    const double fileBytes = double(QFileInfo(path).size());
    rt::MessageRecorder messages;
    rt::setOpenFileHandler([&](const QString &, const QString &, const QString &) { return path; });
    double peak = 0;
    double loadSeconds = 0;
    double baselineSeconds = 0;
    for (auto _ : run) {
        run.PauseTiming();
        auto form = std::make_unique<loader::Form_LD>();
        form->DIS_SHOW_OPT_Click(2);  // both graphs in sight
        form->show();
        QCoreApplication::processEvents();
        baselineSeconds += secondsOf([&] { benchmark::DoNotOptimize(countLineEnds(path)); });
        restartPeak();
        const qint64 before = statusBytes("VmRSS");
        run.ResumeTiming();

        loadSeconds += secondsOf([&] {
            loader::OPEN_FILE_BUTT_Click(form->state());
            loader::Graph_SHOW_BUTT_Click(form->state());
            form->LOAD_Graph->replot(QCustomPlot::rpImmediateRefresh);
            form->LOAD_Graph2->replot(QCustomPlot::rpImmediateRefresh);
            form->LOAD_Grid->viewport()->repaint();
        });

        run.PauseTiming();
        peak = std::max(peak, double(statusBytes("VmHWM") - before));
        if (form->state().LOAD_Grid.records() != records || !messages.messages().isEmpty())
            run.SkipWithError("the file did not load whole");
        form.reset();
        run.ResumeTiming();
    }
    rt::setOpenFileHandler({});
    run.counters["file_MB"] = fileBytes / 1e6;
    run.counters["peak_MB"] = peak / 1e6;
    run.counters["peak_per_file"] = peak / fileBytes;
    run.counters["baseline_ms"] = 1000 * baselineSeconds / double(run.iterations());
    run.counters["times_baseline"] = loadSeconds / baselineSeconds;
    run.SetItemsProcessed(run.iterations() * records);
}
BENCHMARK(openListPlot)->Arg(18000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(openListPlot)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// "Plot Graph" on a day's run at 60 readings a second (5,000,000 records,
// about 570 MB), the file loaded once before: both graphs plotted and
// drawn. Goal: within half a second, the window answering throughout.
// longest_wait_ms is the longest the window's events waited during a plot
// (the longest gap between turns of a 1 ms timer, up to the graphs drawn);
// progress_shown says whether the plot showed its progress, drawn_points
// how many points graph 1 was handed.
void plotWholeDay(benchmark::State &run)
{
    const qint64 records = run.range(0);
    const QString path = generatedFile(records);
    rt::MessageRecorder messages;
    rt::setOpenFileHandler([&](const QString &, const QString &, const QString &) { return path; });
    auto form = std::make_unique<loader::Form_LD>();
    form->DIS_SHOW_OPT_Click(2);  // both graphs in sight
    form->show();
    QCoreApplication::processEvents();
    loader::OPEN_FILE_BUTT_Click(form->state());
    rt::setOpenFileHandler({});
    if (form->state().LOAD_Grid.records() != records || !messages.messages().isEmpty())
        return run.SkipWithError("the file did not load whole");

    QElapsedTimer clock;
    clock.start();
    qint64 lastTurn = 0;
    qint64 longestWait = 0;
    QTimer turns;
    turns.setTimerType(Qt::PreciseTimer);
    turns.setInterval(1);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        longestWait = std::max(longestWait, clock.elapsed() - lastTurn);
        lastTurn = clock.elapsed();
    });
    bool progressShown = false;
    QObject::connect(&form->state(), &loader::Loader::plotProgress, [&] { progressShown = true; });
    for (auto _ : run) {
        turns.start();
        lastTurn = clock.elapsed();
        loader::Graph_SHOW_BUTT_Click(form->state());
        form->LOAD_Graph->replot(QCustomPlot::rpImmediateRefresh);
        form->LOAD_Graph2->replot(QCustomPlot::rpImmediateRefresh);
        longestWait = std::max(longestWait, clock.elapsed() - lastTurn);
        turns.stop();
    }
    if (form->state().LOAD_Graph.y.size() != records + 1 || !messages.messages().isEmpty())
        run.SkipWithError("the plot is not whole");
    run.counters["longest_wait_ms"] = double(longestWait);
    run.counters["drawn_points"] = form->LOAD_Graph->graph(0)->dataCount();
    run.counters["progress_shown"] = progressShown ? 1 : 0;
    run.SetItemsProcessed(run.iterations() * records);
}
BENCHMARK(plotWholeDay)->Arg(5000000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Reading alone: the file's records split and kept, nothing shown.
void readRecords(benchmark::State &run)
{
    const QString path = generatedFile(run.range(0));
    for (auto _ : run) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return run.SkipWithError("no file");
        formats::RecordedDataReader reader(file);
        while (reader.readSome(1 << 20)) {
        }
        benchmark::DoNotOptimize(reader.take().recordCount());
    }
}
BENCHMARK(readRecords)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The baseline pass alone.
void lineEndPass(benchmark::State &run)
{
    const QString path = generatedFile(run.range(0));
    for (auto _ : run)
        benchmark::DoNotOptimize(countLineEnds(path));
    run.counters["file_MB"] = double(QFileInfo(path).size()) / 1e6;
}
BENCHMARK(lineEndPass)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Files no run writes, each opened once: the message, the rows listed, the
// time to the message and the memory the load took.
enum class Oversized { Zeros, HeaderThenZeros, LongLine, LineEnds };
constexpr qint64 kGigabytes2 = 2LL << 30;

QString oversizedFile(Oversized kind)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(u"oversized-%1.txt"_s.arg(int(kind)));
    if (QFileInfo::exists(path))
        return path;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return path;
    QByteArray three = formats::headerBytes(kStart);
    for (qint32 i = 1; i <= 3; ++i)
        three += formats::recordLine({i, formats::elapsedText(i), kStart.addSecs(i), kMode1[0], kDisplay1[0],
                                      kMode2[0], kDisplay2[0]})
                     .toUtf8();
    switch (kind) {
    case Oversized::Zeros:  // sparse: no room on the disk
        file.resize(kGigabytes2);
        break;
    case Oversized::HeaderThenZeros:
        file.write(three);
        file.resize(kGigabytes2);
        break;
    case Oversized::LongLine: {
        const QByteArray block(1 << 20, 'x');
        for (int i = 0; i < 100; ++i)
            file.write(block);
        file.write("\r\n");
        break;
    }
    case Oversized::LineEnds: {
        file.write(three);
        const QByteArray block(1 << 20, '\n');
        for (int i = 0; i < 1200; ++i)
            file.write(block);
        break;
    }
    }
    return path;
}

void oversized(benchmark::State &run)
{
    const auto kind = Oversized(run.range(0));
    const QString path = oversizedFile(kind);
    rt::MessageRecorder messages;
    rt::setOpenFileHandler([&](const QString &, const QString &, const QString &) { return path; });
    loader::Loader ld;
    double peak = 0;
    for (auto _ : run) {
        run.PauseTiming();
        messages.clear();
        restartPeak();
        const qint64 before = statusBytes("VmRSS");
        run.ResumeTiming();
        loader::OPEN_FILE_BUTT_Click(ld);
        run.PauseTiming();
        peak = std::max(peak, double(statusBytes("VmHWM") - before));
        run.ResumeTiming();
    }
    rt::setOpenFileHandler({});
    run.counters["file_MB"] = double(QFileInfo(path).size()) / 1e6;
    run.counters["peak_MB"] = peak / 1e6;
    run.counters["rows"] = ld.LOAD_Grid.records();
    run.SetLabel(messages.messages().isEmpty() ? "no message"
                                                : QString(messages.messages()[0].text).replace(u'\n', u' ').toStdString());
}
BENCHMARK(oversized)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// GRID_NUM_C over the reading texts of a file, with heap allocations counted.
void gridNumber(benchmark::State &run)
{
    const std::array<QString, 8> texts{kDisplay1[0], kDisplay1[1], kDisplay1[2], kDisplay1[3],
                                       kDisplay2[0], kDisplay2[1], kDisplay2[2], u"25.00 %"_s};
    long allocations = 0;
    std::size_t i = 0;
    for (auto _ : run) {
        QStringView text = texts[i++ % texts.size()];
        g_allocations = 0;
        g_counting = true;
        const double value = loader::GRID_NUM_C(text);
        g_counting = false;
        allocations += g_allocations;
        benchmark::DoNotOptimize(value);
    }
    run.counters["allocs_per_cell"] = benchmark::Counter(double(allocations) / double(run.iterations()));
    run.SetItemsProcessed(run.iterations());
}
BENCHMARK(gridNumber);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
