// How long the window goes without its events while the program waits on a
// faulty line: the cells of tests/tst_line_faults (ravelo-sim on a pty with
// each of its faults, or killed; the identification at start-up, a normal
// run at 500 ms and a fast run at 33.333 ms), with a 10 ms timer on the
// event loop. longest_freeze_ms is the longest the timer went without
// running, beyond its own 10 ms. Goal: under 100 ms in every cell, on a
// machine not busy with other work (a loaded machine adds its own delays).
// Each cell runs once, in real time: about a minute and a half for all.
//
//   cmake --build build --target bench_line_faults ravelo-sim
//   build/bench/bench_line_faults
//   build/bench/bench_line_faults --benchmark_filter=fast  # the fast runs only

#include "support/line_cell.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// The longest the event loop went without running a 10 ms timer.
class FreezeProbe
{
public:
    FreezeProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_since.restart());
        });
        m_since.start();
        m_timer.start(kPeriodMs);
    }
    // Beyond the timer's own period.
    double longestFreezeMs() const { return double(std::max<qint64>(0, m_longest - kPeriodMs)); }

private:
    static constexpr int kPeriodMs = 10;
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

void report(benchmark::State &state, const FreezeProbe &probe, const LineCell &cell)
{
    state.counters["longest_freeze_ms"] = probe.longestFreezeMs();
    state.counters["records"] = cell.parts.state.RECORD_COUNT;
}

void idleExchange(benchmark::State &state, const IdleExchangeRow &row)
{
    for (auto _ : state) {
        LineCell cell(row.arguments);
        if (!cell.open())
            return state.SkipWithError("ravelo-sim did not start or the port did not open");
        FreezeProbe probe;
        cell.exchange(row);
        report(state, probe, cell);
    }
}

void run(benchmark::State &state, const RunRow &row)
{
    for (auto _ : state) {
        LineCell cell(row.arguments);
        if (!cell.open())
            return state.SkipWithError("ravelo-sim did not start or the port did not open");
        FreezeProbe probe;
        cell.runRow(row);
        if (cell.parts.state.runPhase != shell::RunPhase::Idle)
            return state.SkipWithError("the run did not end");
        report(state, probe, cell);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    for (const IdleExchangeRow &row : idleExchangeRows())
        benchmark::RegisterBenchmark(("idle/" + std::string(row.name)).c_str(), idleExchange, row)
            ->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
    for (const RunRow &row : runRows())
        benchmark::RegisterBenchmark(("run/" + std::string(row.name)).c_str(), run, row)
            ->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
