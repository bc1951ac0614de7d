#include "loader/load_plots.h"

#include "loader/axis_units.h"
#include "loader/loader_state.h"
#include "platform/dialogs.h"
#include "platform/huge_pages.h"
#include "platform/runtime.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace loader {

namespace {

using Column = LoadGridModel::Column;

// Room for `size` values of a graph, kept in huge pages where the system has
// them: a million points are filled at once.
void reserveValues(QList<double> &values, qsizetype size)
{
    values.reserve(size);
    rt::adviseHugePages(values.data(), values.capacity() * qsizetype(sizeof(double)));
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

// What goes before the first row's value, at the first X.
enum class Lead { Zero, FirstValue };

// One display's column of rows `firstRow` to `lastRow` on `graph`, at the
// X values in `x` (one more than the rows: the lead point first). The
// caption row names the function and so picks the first format.
std::optional<Unplotted> plotDisplay(LoadGraph &graph, int display, PlotKind kind, const LoadGridModel &grid,
                                    int captionRow, int firstRow, int lastRow, const QList<double> &x, Lead lead)
{
    const Column modeColumn = display == 1 ? Column::Mode1 : Column::Mode2;
    const Column valueColumn = display == 1 ? Column::Display1 : Column::Display2;
    graph.yCaption = grid.cell(captionRow, modeColumn);
    if (auto format = firstFormat(display, kind, graph.yCaption, grid.cell(captionRow, Column::Mode1)))
        graph.yFormat = std::move(format);

    graph.x = x;
    reserveValues(graph.y, x.size());
    formats::FieldBuffer buffer;
    float low = 0;
    float high = 0;
    bool anyPlotted = false;
    std::optional<Unplotted> unplotted;
    for (int row = firstRow; row <= lastRow; ++row) {
        QStringView text = grid.cell(row, valueColumn, buffer);
        const float value = float(GRID_NUM_C(text));
        const bool plottable = std::isfinite(value);
        if (!plottable && !unplotted)
            unplotted = Unplotted{display, row};
        if (row == firstRow)
            graph.y.append(lead == Lead::Zero ? 0.0 : plottable ? double(value) : kGap);
        if (!plottable) {
            graph.y.append(kGap);
            continue;
        }
        low = anyPlotted ? std::min(low, value) : value;
        high = anyPlotted ? std::max(high, value) : value;
        anyPlotted = true;
        graph.y.append(value);
    }
    graph.yRange = valueRange(low, high);

    const UnitFamily family = displayFamily(display, graph.yCaption, grid.cell(lastRow, Column::Mode1));
    if (auto format = scaledFormat(family, prefixBySize(std::max(std::abs(high), std::abs(low)))))
        graph.yFormat = std::move(format);
    return unplotted;
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
    // earlier run's numbering lies on its own X axis.
    QList<double> x;
    reserveValues(x, last + 1);
    x.append(first - ld.LD_POINT_STEP);
    formats::FieldBuffer buffer;
    for (int row = 1; row <= last; ++row)
        x.append(rt::leadingNumber(grid.cell(row, Column::Point, buffer)));

    const int captionRow = std::min(2, last);
    const auto unplotted1 = plotDisplay(ld.LOAD_Graph, 1, PlotKind::WholeFile, grid, captionRow, 1, last, x, Lead::Zero);
    const auto unplotted2 = plotDisplay(ld.LOAD_Graph2, 2, PlotKind::WholeFile, grid, captionRow, 1, last, x, Lead::Zero);
    Q_EMIT ld.graphsChanged();
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
    QList<double> x;
    reserveValues(x, lastRow - *firstRow + 2);
    x.append(0);
    for (int row = *firstRow; row <= lastRow; ++row)
        x.append(S + double(row - *firstRow) * step);

    const auto unplotted1 =
        plotDisplay(ld.LOAD_Graph, 1, PlotKind::Range, grid, records, *firstRow, lastRow, x, Lead::FirstValue);
    const auto unplotted2 =
        plotDisplay(ld.LOAD_Graph2, 2, PlotKind::Range, grid, records, *firstRow, lastRow, x, Lead::Zero);
    Q_EMIT ld.graphsChanged();
    tellUnplotted(grid, {unplotted1, unplotted2});
}

} // namespace loader
