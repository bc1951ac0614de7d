// The recorder alone: how many records a second it formats and writes, each
// flushed to the system as written, roll-over every 18000 records included.
// Goal: at least 200,000 records a second (items_per_second).
//
//   cmake --build build --target bench_recorder && build/bench/bench_recorder

#include "platform/program_folder.h"
#include "runs/recorder.h"
#include "core/panel_state.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <array>

using namespace Qt::StringLiterals;

namespace {

// Readings as the fast loop gets them: the instrument's texts, unparsed.
const std::array<QString, 4> kReadings{u"+1.234567E+00"_s, u"-9.876543E-03"_s,
                                       u"+1.000000E+01"_s, u"+4.200000E-06"_s};

void formatRecordLine(benchmark::State &run)
{
    const QDateTime now = QDateTime::currentDateTime();
    qint32 total = 0;
    for (auto _ : run) {
        ++total;
        const formats::RecordFields fields{total, formats::elapsedText(total), now, u"DCV"_s,
                                        kReadings[std::size_t(total) % kReadings.size()], {}, {}};
        benchmark::DoNotOptimize(formats::recordLine(fields).toUtf8());
    }
    run.SetItemsProcessed(run.iterations());
}
BENCHMARK(formatRecordLine);

// The fast loop's record step: count, record with the wall clock, roll over.
void writeRecords(benchmark::State &run)
{
    QTemporaryDir folder;
    rt::setProgramFolder(folder.path());
    shell::PanelState state;
    state.LOG_NAME = u"bench"_s;
    state.SETTING.REC_EVERY = u"1"_s;
    state.MODE1 = u"DCV"_s;
    runs::Recorder recorder(state);
    if (!recorder.create() || !recorder.openForRun(true)) {
        run.SkipWithError("cannot create the recorded-data file");
        return;
    }
    qint64 step = 0;
    bool ok = true;
    for (auto _ : run) {
        ++step;
        recorder.nextRecord();
        state.DISPLAY1 = kReadings[std::size_t(step) % kReadings.size()];
        ok = recorder.writeRecord(formats::elapsedText(step / 60), true) && ok;
        ok = recorder.rollOverIfDue(true) && ok;
    }
    recorder.close();
    rt::setProgramFolder({});
    if (!ok)
        run.SkipWithError("a write failed");
    run.SetItemsProcessed(run.iterations());
}
BENCHMARK(writeRecords)->MinTime(2.0);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
