#include "loader/load_plots.h"

#include "loader/axis_units.h"
#include "loader/loader_state.h"
#include "loader/sliced_work.h"
#include "platform/dialogs.h"
#include "platform/huge_pages.h"
#include "platform/runtime.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <exception>
#include <limits>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace loader {

namespace {

using Column = LoadGridModel::Column;

// A plot's rows are converted by the window's thread and up to this many
// helpers.
constexpr int kMostHelpers = 7;

// One plot's pace, from its first list to its graphs drawn: a plot that
// takes longer than half a second shows its progress, and the window makes
// the graphs' points under the same pace.
struct PlotPace
{
    explicit PlotPace(Loader &ld) : ld(ld), work(ld, &Loader::plotProgress, ld.plotCancelled)
    {
        ld.plotting = &work;
    }
    ~PlotPace() { ld.plotting = nullptr; }
    PlotPace(const PlotPace &) = delete;
    PlotPace &operator=(const PlotPace &) = delete;

    Loader &ld;
    SlicedWork work;
};

// `size` values of a graph, 0 until they are written, kept in huge pages
// where the system has them: a million points are filled at once.
QList<double> newValues(qsizetype size)
{
    QList<double> values;
    values.reserve(size);
    rt::adviseHugePages(values.data(), values.capacity() * qsizetype(sizeof(double)));
    values.resize(size);
    return values;
}

// The X values and both graphs' values. Fresh pages are the slowest part
// of plotting millions of points: those lists are made side by side, the
// window painting meanwhile. None when the plot was cancelled.
std::optional<std::array<QList<double>, 3>> newValueLists(const Loader &ld, qsizetype size, SlicedWork &pace)
{
    std::array<QList<double>, 3> lists;
    if (size < ld.besideFrom) {
        for (QList<double> &list : lists)
            list = newValues(size);
        return lists;
    }
    const bool cancelled = pace.runBeside([&] {
        std::array<std::exception_ptr, 2> failures;
        {
            std::array<std::jthread, 2> helpers;
            for (std::size_t i = 0; i < helpers.size(); ++i) {
                try {
                    helpers[i] = std::jthread([&, i] {
                        try {
                            lists[i] = newValues(size);
                        } catch (...) {
                            failures[i] = std::current_exception();
                        }
                    });
                } catch (const std::system_error &) {
                    lists[i] = newValues(size);  // no thread to be had
                }
            }
            lists[2] = newValues(size);
        }
        for (const std::exception_ptr &failure : failures)
            if (failure)
                std::rethrow_exception(failure);
    }, 0);
    if (cancelled)
        return std::nullopt;
    return lists;
}

void resetGraph(LoadGraph &graph)
{
    graph.x.clear();
    graph.y.clear();
    graph.xCaption = u"Total Points"_s;
    graph.yCaption = u"Range MODE"_s;
    graph.xMajorDivisions = 10;
    graph.xMinorDivisions = 5;
    graph.xFrom = 0;
    graph.xTo = 100;
}

void resetGraphs(Loader &ld)
{
    resetGraph(ld.LOAD_Graph);
    resetGraph(ld.LOAD_Graph2);
}

double pointOf(const LoadGridModel &grid, int row)
{
    return rt::leadingNumber(grid.cell(row, Column::Point));
}

// A tenth of the span above and below the values. One value, or many
// alike, still get a band around them, so their flat line shows. Worked in
// double precision: the span of two single-precision values may not fit in
// one.
std::pair<double, double> valueRange(float low, float high)
{
    double margin = std::abs(double(high) - double(low)) / 10;
    if (margin == 0)
        margin = low != 0 ? std::abs(double(low)) / 10 : 1.0;
    return {double(low) - margin, double(high) + margin};
}

// A value is plotted in single precision; one beyond its range ("1e999_V")
// is a gap in the line, and the axis is set from the others.
constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

// The first row of a display whose value could not be plotted.
struct Unplotted
{
    int display = 0;
    int row = 0;
};

// One display's values over a run of rows: the smallest and the greatest
// of those that could be plotted, and the first row that could not.
struct DisplayValues
{
    float low = 0;
    float high = 0;
    bool anyPlotted = false;
    int unplottedRow = 0;  // 0: none

    // The value of `row`, as it is plotted.
    double take(int row, float value)
    {
        if (!std::isfinite(value)) {
            if (unplottedRow == 0)
                unplottedRow = row;
            return kGap;
        }
        low = anyPlotted ? std::min(low, value) : value;
        high = anyPlotted ? std::max(high, value) : value;
        anyPlotted = true;
        return value;
    }
    // Followed by the rows of `next`.
    void join(const DisplayValues &next)
    {
        if (unplottedRow == 0)
            unplottedRow = next.unplottedRow;
        if (next.anyPlotted) {
            low = anyPlotted ? std::min(low, next.low) : next.low;
            high = anyPlotted ? std::max(high, next.high) : next.high;
            anyPlotted = true;
        }
    }
};

// Both displays' values of rows `firstRow` to `lastRow`, written from
// `y1[0]` and `y2[0]` on, and each row's point number from `x[0]` on when
// `x` is given.
struct RowValues
{
    const LoadGridModel &grid;
    int firstRow;
    int lastRow;
    double *x;
    double *y1;
    double *y2;
};

// One slice of the rows, `from` to `to`.
std::array<DisplayValues, 2> convertSlice(const RowValues &rows, int from, int to)
{
    std::array<DisplayValues, 2> values;
    formats::FieldBuffer buffer;
    for (int row = from; row <= to; ++row) {
        const std::size_t i = std::size_t(row - rows.firstRow);
        if (rows.x)
            rows.x[i] = rt::leadingNumber(rows.grid.cell(row, Column::Point, buffer));
        QStringView text = rows.grid.cell(row, Column::Display1, buffer);
        rows.y1[i] = values[0].take(row, float(GRID_NUM_C(text)));
        text = rows.grid.cell(row, Column::Display2, buffer);
        rows.y2[i] = values[1].take(row, float(GRID_NUM_C(text)));
    }
    return values;
}

// Converts the rows a slice at a time. The slices are shared out between
// the window's thread and helper threads, which only read the table and
// write each its own slices' values; between its slices the window's
// thread lets the window paint, and after half a second shows progress.
// Returns nothing when the plot was cancelled.
std::optional<std::array<DisplayValues, 2>> convertRows(Loader &ld, SlicedWork &pace, const RowValues &rows)
{
    const int sliceRows = std::max(ld.plotSlice, 1);
    const int count = rows.lastRow - rows.firstRow + 1;
    const int slices = (count + sliceRows - 1) / sliceRows;
    std::vector<std::array<DisplayValues, 2>> sliceValues(std::size_t(std::max(slices, 0)));
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    std::atomic<bool> stop{false};
    std::exception_ptr failure;
    std::mutex failureLock;
    // Converts the next slice; false when there is none left.
    const auto work = [&] {
        const int slice = stop ? slices : next++;
        if (slice >= slices)
            return false;
        try {
            const int from = rows.firstRow + slice * sliceRows;
            sliceValues[std::size_t(slice)] = convertSlice(rows, from, std::min(from + sliceRows - 1, rows.lastRow));
        } catch (...) {
            const std::lock_guard lock(failureLock);
            failure = std::current_exception();
            stop = true;
            return false;
        }
        ++done;
        return true;
    };

    const int cores = int(std::thread::hardware_concurrency());
    const int helperCount = std::min(ld.plotHelpers >= 0 ? ld.plotHelpers : std::min(cores - 1, kMostHelpers),
                                     slices - 1);
    // Each helper is joined before the values it writes go out of scope.
    std::vector<std::jthread> helpers;
    helpers.reserve(std::size_t(std::max(helperCount, 0)));
    try {
        for (int i = 0; i < helperCount; ++i)
            helpers.emplace_back([&] {
                while (work()) {
                }
            });
    } catch (const std::system_error &) {
        // No more threads to be had: the window's thread does the rest.
    }
    while (work())
        if (slices > 1 && pace.sliceDone(double(done) / slices))
            stop = true;
    helpers.clear();  // joined
    if (failure)
        std::rethrow_exception(failure);
    if (ld.plotCancelled)
        return std::nullopt;
    std::array<DisplayValues, 2> values;
    for (const std::array<DisplayValues, 2> &slice : sliceValues)
        for (std::size_t d = 0; d < 2; ++d)
            values[d].join(slice[d]);
    return values;
}

// One display's graph from its values: the caption row names the function
// and so picks the first format; the values' size picks the scaled one.
std::optional<Unplotted> showDisplay(LoadGraph &graph, int display, PlotKind kind, const LoadGridModel &grid,
                                     int captionRow, int lastRow, const QList<double> &x, QList<double> y,
                                     const DisplayValues &values)
{
    const Column modeColumn = display == 1 ? Column::Mode1 : Column::Mode2;
    graph.yCaption = grid.cell(captionRow, modeColumn);
    if (auto format = firstFormat(display, kind, graph.yCaption, grid.cell(captionRow, Column::Mode1)))
        graph.yFormat = std::move(format);

    graph.x = x;
    graph.y = std::move(y);
    graph.yRange = valueRange(values.low, values.high);

    const UnitFamily family = displayFamily(display, graph.yCaption, grid.cell(lastRow, Column::Mode1));
    if (auto format = scaledFormat(family, prefixBySize(std::max(std::abs(values.high), std::abs(values.low)))))
        graph.yFormat = std::move(format);
    if (values.unplottedRow == 0)
        return std::nullopt;
    return Unplotted{display, values.unplottedRow};
}

// One message for both graphs, naming each display's first row left out.
void tellUnplotted(const LoadGridModel &grid, std::initializer_list<std::optional<Unplotted>> displays)
{
    QStringList lines;
    for (const std::optional<Unplotted> &u : displays) {
        if (!u)
            continue;
        const Column column = u->display == 1 ? Column::Display1 : Column::Display2;
        lines.append(u"Display%1 of row %2 (point %3), \"%4\", is beyond the graph's range and is not plotted."_s
                         .arg(u->display)
                         .arg(u->row)
                         .arg(grid.cell(u->row, Column::Point), grid.cell(u->row, column)));
    }
    if (!lines.isEmpty())
        rt::messageBox(lines.join(u'\n'), u"plot error"_s, rt::MessageIcon::Exclamation);
}

// What a cancelled plot leaves as it was: the Y axes' ranges and formats,
// which a plot sets as it ends.
struct YAxes
{
    explicit YAxes(const Loader &ld)
        : range{ld.LOAD_Graph.yRange, ld.LOAD_Graph2.yRange}, format{ld.LOAD_Graph.yFormat, ld.LOAD_Graph2.yFormat}
    {
    }
    std::array<std::optional<std::pair<double, double>>, 2> range;
    std::array<std::optional<QString>, 2> format;
};

// Cancel, in whichever stage of the plot it came: both graphs empty, their
// Y axes as before the plot.
void leaveCancelledPlot(Loader &ld, const YAxes &before)
{
    for (std::size_t i = 0; i < 2; ++i) {
        LoadGraph &graph = i == 0 ? ld.LOAD_Graph : ld.LOAD_Graph2;
        graph.yRange = before.range[i];
        graph.yFormat = before.format[i];
    }
    RESET_LOAD_GRAPHS(ld);
    Q_EMIT ld.told(u"Plot cancelled: both graphs are left empty."_s);
}

void tenKeyError()
{
    rt::messageBox(u"Ten key in is error."_s);
}

void inputError(const QString &text)
{
    rt::messageBox(text, u"Input error"_s, rt::MessageIcon::Critical);
}

} // namespace

void RESET_LOAD_GRAPHS(Loader &ld)
{
    resetGraphs(ld);
    Q_EMIT ld.graphsChanged();
}

void Graph_SHOW_BUTT_Click(Loader &ld)
{
    resetGraphs(ld);
    const LoadGridModel &grid = ld.LOAD_Grid;
    const int last = grid.records();
    if (last == 0) {
        Q_EMIT ld.graphsChanged();
        rt::messageBox(u"The Grid is no data"_s, u"ERROR"_s, rt::MessageIcon::Critical);
        return;
    }

    const double first = pointOf(grid, 1);
    for (LoadGraph *graph : {&ld.LOAD_Graph, &ld.LOAD_Graph2}) {
        graph->xFrom = first;
        graph->xTo = pointOf(grid, last);
    }
    // Each record at its own point number, so a file that continues an
    // earlier run's numbering lies on its own X axis; a point of value 0
    // one step before the first.
    std::optional<Unplotted> unplotted1;
    std::optional<Unplotted> unplotted2;
    // The window makes the graphs' own points under the same pace, as it
    // hears the graphs changed: a Cancel there counts as well.
    const YAxes before(ld);
    const bool cancelled = [&] {
        PlotPace pace(ld);
        auto lists = newValueLists(ld, last + 1, pace.work);
        if (!lists)
            return true;
        auto &[x, y1, y2] = *lists;
        x[0] = first - ld.LD_POINT_STEP;
        const auto values = convertRows(ld, pace.work, {grid, 1, last, x.data() + 1, y1.data() + 1, y2.data() + 1});
        if (!values)
            return true;

        const int captionRow = std::min(2, last);
        unplotted1 = showDisplay(ld.LOAD_Graph, 1, PlotKind::WholeFile, grid, captionRow, last, x, std::move(y1),
                                 (*values)[0]);
        unplotted2 = showDisplay(ld.LOAD_Graph2, 2, PlotKind::WholeFile, grid, captionRow, last, x, std::move(y2),
                                 (*values)[1]);
        Q_EMIT ld.graphsChanged();
        return ld.plotCancelled;
    }();
    if (cancelled)
        return leaveCancelledPlot(ld, before);
    tellUnplotted(grid, {unplotted1, unplotted2});
}

void SET_SHOW_BUTT_Click(Loader &ld)
{
    const LoadGridModel &grid = ld.LOAD_Grid;
    if (grid.cell(1, Column::Point).isEmpty()) {
        rt::messageBox(u"The Grid is no data!"_s, u"ERROR"_s, rt::MessageIcon::Critical);
        return;
    }
    const int records = grid.records();
    const qint32 step = ld.LD_POINT_STEP;
    if (step == 0)
        return tenKeyError();

    // A start between two points moves up to the next one.
    const std::optional<qint32> start = rt::roundToWhole(rt::leadingNumber(ld.START_TEXT));
    if (!start)
        return tenKeyError();
    double S = *start;
    if (const qint64 rest = qint64(*start) % step; rest != 0) {
        S = double(qint64(*start) - rest + step);
        ld.START_TEXT = rt::numberText(S);
        Q_EMIT ld.rangeBoxesChanged();
    }
    const double E = rt::leadingNumber(ld.END_TEXT);
    if (E < S)
        return inputError(u"The \"START NUM\"("_s + ld.START_TEXT + u") > \"End NUM\"("_s
                          + ld.END_TEXT + u")"_s);
    const double first = pointOf(grid, 1);
    if (S < first)
        return inputError(u"The \"START NUM\" < \""_s + grid.cell(1, Column::Point) + u"\""_s);
    if (E > pointOf(grid, records))
        return inputError(u"The \"END Time\" > \""_s + grid.cell(records, Column::Point) + u"\""_s);

    const std::optional<qint32> count = rt::roundToWhole((E - S + 1) / step);
    const std::optional<qint32> firstRow = rt::roundToWhole((S - first) / step + 1);
    if (!count || !firstRow || *firstRow < 1 || *firstRow > records)
        return tenKeyError();
    // Numbering with gaps could put the range's end past the last record.
    const int lastRow = std::clamp(qint64(*firstRow) + *count - 1, qint64(*firstRow), qint64(records));

    resetGraphs(ld);
    for (LoadGraph *graph : {&ld.LOAD_Graph, &ld.LOAD_Graph2}) {
        graph->xFrom = S;
        graph->xTo = E;
    }
    // Point S at S, each further row one step on; before it, graph 1 has
    // its first value at 0, graph 2 the value 0.
    const int rows = lastRow - *firstRow + 1;
    std::optional<Unplotted> unplotted1;
    std::optional<Unplotted> unplotted2;
    const YAxes before(ld);
    const bool cancelled = [&] {
        PlotPace pace(ld);
        auto lists = newValueLists(ld, rows + 1, pace.work);
        if (!lists)
            return true;
        auto &[x, y1, y2] = *lists;
        for (int i = 0; i < rows; ++i)
            x[i + 1] = S + double(i) * step;
        const auto values = convertRows(ld, pace.work, {grid, *firstRow, lastRow, nullptr, y1.data() + 1, y2.data() + 1});
        if (!values)
            return true;
        y1[0] = y1[1];

        unplotted1 =
            showDisplay(ld.LOAD_Graph, 1, PlotKind::Range, grid, records, lastRow, x, std::move(y1), (*values)[0]);
        unplotted2 =
            showDisplay(ld.LOAD_Graph2, 2, PlotKind::Range, grid, records, lastRow, x, std::move(y2), (*values)[1]);
        Q_EMIT ld.graphsChanged();
        return ld.plotCancelled;
    }();
    if (cancelled)
        return leaveCancelledPlot(ld, before);
    tellUnplotted(grid, {unplotted1, unplotted2});
}

} // namespace loader
