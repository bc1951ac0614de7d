// The trend graph with 100,000 points, zoomed out so that every one is in
// view: one redraw of the window's graph and one drawing into a picture.
// Goal: a redraw under 50 ms.
//
//   cmake --build build --target bench_graph && QT_QPA_PLATFORM=offscreen build/bench/bench_graph

#include "platform/program_folder.h"
#include "windows/trend_graph_window.h"
#include "core/panel.h"
#include "core/run_clock.h"
#include "runs/readings_table.h"
#include "runs/record_step.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <qcustomplot.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kPoints = 100000;

// A demonstration run of 100,000 readings 200 ms apart, through SHOW_Graph,
// with "Zoo Out" on at its end.
struct LongRun
{
    LongRun()
    {
        rt::setProgramFolder(folder.path());
        form.connectRun(run);
        form.resize(443, 333);  // the window's 6630 x 5000 twips
        form.show();
        parts.state.SETTING.REC_EVERY = u"1"_s;
        parts.state.MODE1 = u"DCV"_s;
        parts.state.runPhase = shell::RunPhase::Timed;
        for (int i = 0; i < kPoints; ++i) {
            clock.advance(std::chrono::milliseconds(200));
            runs::updateElapsed(run);
            parts.state.DISPLAY1 = QString::number(1.0 + 0.01 * std::sin(i * 0.001) + 0.001 * (i % 7)) + u"_V"_s;
            runs::SHOW_Graph(run);
        }
        parts.state.runPhase = shell::RunPhase::Idle;
        form.CW_BUTT->setChecked(true);
        QCoreApplication::processEvents();
    }
    ~LongRun() { rt::setProgramFolder({}); }

    QTemporaryDir folder;
    shell::Class1 link;
    PanelParts parts{link};
    runs::ReadingsTableModel table;
    runs::ManualRunClock clock;
    runs::RunContext run{parts.panel, table, clock};
    runs::Graph_Form form;
};

// Made once the application exists, gone before it goes.
std::unique_ptr<LongRun> g_longRun;

LongRun &longRun()
{
    if (!g_longRun)
        g_longRun = std::make_unique<LongRun>();
    return *g_longRun;
}

void replot100k(benchmark::State &run)
{
    QCustomPlot *plot = longRun().form.CWGraph1;
    if (plot->graph(0)->dataCount() != kPoints || plot->xAxis->range().upper < kPoints * 0.2 - 1) {
        run.SkipWithError("the graph does not hold the run");
        return;
    }
    for (auto _ : run)
        plot->replot(QCustomPlot::rpImmediateRefresh);
    run.SetItemsProcessed(run.iterations() * kPoints);
}
BENCHMARK(replot100k)->Unit(benchmark::kMillisecond);

void toPixmap100k(benchmark::State &run)
{
    QCustomPlot *plot = longRun().form.CWGraph1;
    for (auto _ : run)
        benchmark::DoNotOptimize(plot->toPixmap(plot->width(), plot->height()));
    run.SetItemsProcessed(run.iterations() * kPoints);
}
BENCHMARK(toPixmap100k)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (const QByteArray shot = qgetenv("RAVELO_BENCH_SHOT"); !shot.isEmpty())
        longRun().form.grab().save(QString::fromLocal8Bit(shot));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_longRun.reset();
    return 0;
}
