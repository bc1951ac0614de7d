// Whole measurement runs against ravelo-sim on a pty, on the system clock,
// through the real START path and serial channel:
//   - a 60 s fast run at 16.667 ms, 115200 baud: samples kept (goal: all
//     3600), the program's share of one core (goal: under 15 %);
//   - a 60 s normal run at 200 ms: how late each pass begins after its
//     deadline (goal: 99th percentile within 2 ms), share of a core (goal:
//     under 5 %);
//   - 60 s fast runs at 9600 and 4800 baud: samples kept, and the run's
//     wall time (it still ends on time);
//   - a 10-minute fast run: resident memory at 1 minute and at the end
//     (goal: flat; the fast run adds no table rows). Its samples fall
//     short of the notice's count by about one block: each block begins
//     when the one before has come in, a little over a second apart, and
//     the run ends on its time.
// Each runs once; the figures are the counters of its line. With
// RAVELO_BENCH_BRIEF set every run lasts 3 s instead (named ".../3s"): the
// tests' brief pass over the benchmarks, whose figures mean nothing.
//
//   cmake --build build --target bench_run_loops ravelo-sim
//   build/bench/bench_run_loops --benchmark_filter='60s'   # the three 60 s runs
//   build/bench/bench_run_loops --benchmark_filter=Memory  # the 10-minute run
//   build/bench/bench_run_loops --benchmark_filter=Hour    # the two hour-long runs:
//     a fast run at 16.667 ms (216,000 samples expected, resident memory at
//     1 minute and at the end) and a 200 ms run on a line that garbles every
//     50th reply (records, blank records, replies that held no value)

#include "core/panel.h"
#include "platform/dialogs.h"
#include "platform/program_folder.h"
#include "runs/readings_table.h"
#include "runs/run_control.h"
#include "core/dmm_link.h"
#include "shell/front_panel.h"
#include "shell/speed_check.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto secs = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return secs(usage.ru_utime) + secs(usage.ru_stime);
}

long residentKb()
{
    QFile statm(u"/proc/self/statm"_s);
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

// ravelo-sim on a pty of its own, for the run's channel.
class Simulator
{
public:
    explicit Simulator(int baud, const QString &faults = {})
    {
        const QString program = QCoreApplication::applicationDirPath() + u"/../ravelo-sim"_s;
        QStringList arguments = {u"--link"_s, m_dir.filePath(u"com1"_s), u"--baud"_s, QString::number(baud)};
        if (!faults.isEmpty())
            arguments += {u"--fault"_s, faults};
        m_process.start(program, arguments);
        if (m_process.waitForStarted(5000) && m_process.waitForReadyRead(5000))
            m_ok = m_process.readLine().startsWith('/');
        qputenv("RAVELO_COM1", QFile::encodeName(m_dir.filePath(u"com1"_s)));
    }
    ~Simulator()
    {
        m_process.terminate();
        m_process.waitForFinished(3000);
    }
    bool ok() const { return m_ok; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    bool m_ok = false;
};

// One run of the front panel on the simulator, as the START key makes it.
struct Bench
{
    Bench(int baud, const QString &interval, const QString &minutes, const QString &faults = {})
        : sim(baud, faults)
    {
        rt::setProgramFolder(folder.path());
        link.Port(1);
        link.BaudRate(baud);
        opened = sim.ok() && link.Open();
        panel.state.REMOTE_OK = true;
        panel.state.MODE1 = u"DCV"_s;
        panel.state.SETTING.REC_EVERY = u"1"_s;
        panel.display.setAllLit(false);
        panel.display.setLit(display::Lamp::M_LAB, true);
        panel.controls.CHK_COM_TF.enabled = false;
        panel.controls.Speed_TIME.items = shell::sampleIntervals();
        panel.controls.Speed_TIME.text = interval;
        shell::setSampleInterval(panel, interval);
        panel.controls.CONT_TIME_LIST.text = minutes;
        panel.state.SETTING.TEST_TIME_TEXT = minutes;
        runs::connectRunTimers(run);
        QObject::connect(&run.events, &runs::RunEvents::nameBoxOpened, [this] {
            panel.controls.INPU_NAME_TEXT = u"bench"_s;
            runs::INPU_NAME_OK_Click(run);
        });
    }
    ~Bench() { rt::setProgramFolder({}); }

    // START, then events until the run is over; the program's CPU seconds
    // and wall seconds of the run.
    void run_(const std::function<void()> &everySecond = {})
    {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (everySecond)
                everySecond();
            if (panel.state.runPhase == shell::RunPhase::Idle)
                loop.quit();
        });
        const double cpu0 = cpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        runs::START_IMG_MouseDown(run);
        poll.start(1000);
        loop.exec();
        cpu = cpuSeconds() - cpu0;
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    }

    // The records of every file of the run (a long run rolls over).
    qint64 recordsOnDisk(qint64 *blank = nullptr) const
    {
        qint64 records = 0;
        const QDir saved(folder.filePath(u"SAVE DATA"_s));
        for (const QString &name : saved.entryList(QDir::Files)) {
            QFile file(saved.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QList<QByteArray> lines = file.readAll().split('\n');
            for (qsizetype i = 3; i < lines.size(); ++i) {
                if (lines[i].isEmpty())
                    continue;
                ++records;
                // Display 1 is the fifth field: blank when it holds no reading.
                const QList<QByteArray> fields = lines[i].split(',');
                if (blank && (fields.size() < 5 || fields[4].trimmed().isEmpty()))
                    ++*blank;
            }
        }
        return records;
    }

    QTemporaryDir folder;
    Simulator sim;
    shell::Class1 link;
    PanelParts parts{link};
    Panel &panel = parts.panel;
    runs::ReadingsTableModel table;
    runs::RunContext run{panel, table};
    bool opened = false;
    double cpu = 0;
    double wall = 0;
};

void fastRun(benchmark::State &s, int baud, const QString &minutes, bool memory)
{
    for (auto _ : s) {
        Bench bench(baud, u"16.667"_s, minutes);
        if (!bench.opened) {
            s.SkipWithError("ravelo-sim did not start or the port did not open");
            return;
        }
        long rssAtOneMinute = 0;
        int seconds = 0;
        bench.run_([&] {
            if (++seconds == 60)
                rssAtOneMinute = residentKb();
        });
        const double expected = std::round(runs::runLength(minutes) * 1000 / 16.667);
        const double samples = double(bench.recordsOnDisk());
        s.counters["samples"] = samples;
        s.counters["lost"] = std::max(0.0, expected - samples);
        s.counters["cpu_pct"] = 100 * bench.cpu / bench.wall;
        s.counters["wall_s"] = bench.wall;
        if (memory) {
            s.counters["rss_1min_kB"] = double(rssAtOneMinute);
            s.counters["rss_end_kB"] = double(residentKb());
        }
    }
}

// An hour at 200 ms on a line that garbles every 50th reply: every readable
// reply is recorded, none blank, and the run goes on to its end.
void garbledHour(benchmark::State &s, const QString &minutes)
{
    for (auto _ : s) {
        Bench bench(115200, u"200"_s, minutes, u"garble-every=50"_s);
        if (!bench.opened) {
            s.SkipWithError("ravelo-sim did not start or the port did not open");
            return;
        }
        qint64 passes = 0;
        bench.run.passBegan = [&](runs::Nanos) { ++passes; };
        rt::MessageRecorder messages;
        bench.run_();
        qint64 blank = 0;
        s.counters["passes"] = double(passes);
        s.counters["records"] = double(bench.recordsOnDisk(&blank));
        s.counters["blank"] = double(blank);
        s.counters["unreadable"] =
            double(bench.panel.status.lines().filter(u"holds no value"_s).size());
        s.counters["ended_early"] = messages.messages().isEmpty() ? 0 : 1;
        s.counters["cpu_pct"] = 100 * bench.cpu / bench.wall;
        s.counters["wall_s"] = bench.wall;
    }
}

void normalRun(benchmark::State &s, const QString &minutes)
{
    for (auto _ : s) {
        Bench bench(115200, u"200"_s, minutes);
        if (!bench.opened) {
            s.SkipWithError("ravelo-sim did not start or the port did not open");
            return;
        }
        std::vector<double> lateMs;
        bench.run.passBegan = [&](runs::Nanos late) {
            lateMs.push_back(std::chrono::duration<double, std::milli>(late).count());
        };
        bench.run_();
        std::sort(lateMs.begin(), lateMs.end());
        auto percentile = [&](double p) {
            return lateMs.empty() ? 0.0 : lateMs[std::min(lateMs.size() - 1, std::size_t(p * double(lateMs.size())))];
        };
        s.counters["passes"] = double(lateMs.size());
        s.counters["late_p50_ms"] = percentile(0.50);
        s.counters["late_p99_ms"] = percentile(0.99);
        s.counters["late_max_ms"] = lateMs.empty() ? 0.0 : lateMs.back();
        s.counters["cpu_pct"] = 100 * bench.cpu / bench.wall;
        s.counters["wall_s"] = bench.wall;
    }
}

} // namespace

// A run's name (its length comes last), what it is, and its test time in
// minutes.
struct WholeRun
{
    const char *name;
    std::function<void(benchmark::State &, const QString &)> run;
    const char16_t *minutes;
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const auto fast = [](int baud, bool memory) {
        return [baud, memory](benchmark::State &s, const QString &minutes) { fastRun(s, baud, minutes, memory); };
    };
    const WholeRun runs[] = {
        {"FastRun/115200baud/60s", fast(115200, false), u"1"},
        {"NormalRun/200ms/60s", normalRun, u"1"},
        {"FastRun/9600baud/60s", fast(9600, false), u"1"},
        // A line slower than the samples: 34 values a second get through.
        {"FastRun/4800baud/60s", fast(4800, false), u"1"},
        {"FastRun/Memory/115200baud/600s", fast(115200, true), u"10"},
        // The hour-long runs: --benchmark_filter=Hour
        {"FastRun/Hour/115200baud/3600s", fast(115200, true), u"60"},
        {"NormalRun/Hour/200ms/garble50/3600s", garbledHour, u"60"},
    };
    // RAVELO_BENCH_BRIEF: every run for 3 s, to see that each still runs.
    const bool brief = qEnvironmentVariableIsSet("RAVELO_BENCH_BRIEF");
    for (const WholeRun &r : runs) {
        const QString minutes = brief ? u"0.05"_s : QString::fromUtf16(r.minutes);
        std::string name = r.name;
        if (brief)
            name = name.substr(0, name.rfind('/')) + "/3s";
        benchmark::RegisterBenchmark(name.c_str(), [r, minutes](benchmark::State &s) { r.run(s, minutes); })
            ->Iterations(1)->Unit(benchmark::kSecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
