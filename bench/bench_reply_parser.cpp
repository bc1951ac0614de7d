// The reading interpretation alone: reply text in, display model and
// reading texts out, no painting. A mix of replies of every function on
// both displays, as the run loops hand them over (terminator on), plus the
// overload value and math, dB and dBm.
// Goal: at least 500,000 replies a second on one core (items_per_second),
// so interpretation never limits a run.
//
//   cmake --build build --target bench_reply_parser && build/bench/bench_reply_parser

#include "core/panel.h"
#include "reading/reply_parser.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <deque>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// One headless panel set up for one function.
struct BenchPanel
{
    shell::Class1 link;
    PanelParts parts{link};
    Panel &panel = parts.panel;
    std::vector<QString> replies;
};

struct Case
{
    const char16_t *mode1, *range1, *mode2;  // mode2 "" = display 2 off
    bool autoLamp2, math, dB, dBm;
    std::vector<const char16_t *> replies;
};

const std::vector<Case> kCases = {
    {u"DCV", u"AUTO", u"", false, false, false, false,
     {u"+1.200134E+00,+0.000000E+00\r", u"-5.012345E-02,+0.000000E+00\r", u"+9.90000000E+37,+0.000000E+00\r"}},
    {u"ACV", u"10V", u"Hz", true, false, false, false, {u"+5.000012E+00,+1.000003E+03\r"}},
    {u"DCI", u"AUTO", u"DCV", true, false, false, false, {u"+1.500000E-04,+1.234567E+01\r"}},
    {u"ACI", u"100mA", u"", false, false, false, false, {u"+1.512345E-02,+0.000000E+00\r"}},
    {u"2W", u"AUTO", u"DCI", true, false, false, false, {u"+1.500123E+03,+1.500000E-04\r"}},
    {u"4W", u"10K", u"2W", true, false, false, false, {u"+5.123456E+03,+1.500000E+03\r"}},
    {u"Hz", u"", u"P", true, false, false, false, {u"+1.000012E+03,+1.000000E-03\r"}},
    {u"P", u"", u"", false, false, false, false, {u"+5.000000E-04,+0.000000E+00\r"}},
    {u"C", u"", u"", false, false, false, false, {u"-1.250000E+01,+0.000000E+00\r"}},
    {u"F", u"", u"", false, false, false, false, {u"+9.860000E+01,+0.000000E+00\r"}},
    {u"DIODE", u"", u"", false, false, false, false, {u"+5.512345E-01,+0.000000E+00\r"}},
    {u"CONTINU", u"", u"", false, false, false, false, {u"+9.90000000E+37,+0.000000E+00\r"}},
    {u"DCV", u"10V", u"", false, true, false, false, {u"+3.000000E+00,+0.000000E+00\r"}},
    {u"dB", u"AUTO", u"DCV", false, false, true, false, {u"-3.500000E+00,+5.000000E-02\r"}},
    {u"dBm", u"AUTO", u"", false, false, false, true, {u"+1.000000E+01,+0.000000E+00\r"}},
};

void interpretReplies(benchmark::State &run)
{
    std::deque<BenchPanel> panels;  // panels hold references: never moved
    for (const Case &c : kCases) {
        BenchPanel &b = panels.emplace_back();
        b.panel.state.MODE1 = QString::fromUtf16(c.mode1);
        b.panel.state.MODE1_RANGE = QString::fromUtf16(c.range1);
        b.panel.state.MODE2 = QString::fromUtf16(c.mode2);
        b.panel.state.MODE2_ON = !b.panel.state.MODE2.isEmpty();
        b.panel.display.setLit(display::Lamp::AUTO_LAB2, c.autoLamp2);
        b.panel.display.setLit(display::Lamp::AUTO_LAB1, true);
        b.panel.state.MATH_ON = c.math;
        b.panel.state.MATH_ITEM = 2;
        b.panel.state.MATH_M_VALUE = u"2"_s;
        b.panel.state.MATH_B_VALUE = u"1"_s;
        b.panel.state.dB_ON = c.dB;
        b.panel.state.dBm_ON = c.dBm;
        b.panel.state.dBm_REF = u"0600"_s;
        for (const char16_t *reply : c.replies)
            b.replies.push_back(QString::fromUtf16(reply));
    }
    std::size_t next = 0;
    for (auto _ : run) {
        BenchPanel &b = panels[next % panels.size()];
        b.panel.state.DISPLAY1 = b.replies[(next / panels.size()) % b.replies.size()];
        reading::READ_SHOW_PARSE(b.panel);
        benchmark::DoNotOptimize(b.panel.state.DISPLAY1.constData());
        benchmark::DoNotOptimize(b.panel.state.DISPLAY2.constData());
        ++next;
    }
    run.SetItemsProcessed(run.iterations());
}
BENCHMARK(interpretReplies)->MinTime(2.0);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
