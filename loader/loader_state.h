#pragma once
// What the loader window holds: the table of the file read last, the range
// boxes, the point step and both graphs as plain data. The window paints
// it and hears of changes by signal.

#include "loader/load_grid.h"

#include <QList>
#include <QObject>
#include <QString>

#include <chrono>
#include <optional>

namespace loader {

class SlicedWork;

// One graph: its points in the order they were appended, its captions, the
// axis ranges and the Y axis format.
struct LoadGraph
{
    QList<double> x;
    QList<double> y;
    QString xCaption;
    QString yCaption;
    double xFrom = 0;
    double xTo = 100;
    int xMajorDivisions = 10;
    int xMinorDivisions = 5;
    // Left as they are until a plot sets them: the graph's own range and
    // number format before the first plot.
    std::optional<std::pair<double, double>> yRange;
    std::optional<QString> yFormat;
};

class Loader : public QObject
{
    Q_OBJECT
public:
    explicit Loader(QObject *parent = nullptr) : QObject(parent) {}

    LoadGridModel LOAD_Grid;
    QString START_TEXT;
    QString END_TEXT;
    // The point-number step of the loaded file, used by the range plot.
    qint32 LD_POINT_STEP = 0;
    LoadGraph LOAD_Graph;   // display 1
    LoadGraph LOAD_Graph2;  // display 2
    bool loading = false;   // "Data loading" is shown and the buttons wait

    // A file is read a slice at a time, the window painting in between; a
    // load that runs longer than `progressAfter` shows its progress.
    std::chrono::milliseconds progressAfter{500};
    qint64 loadSlice = 1 << 20;  // bytes
    // Asked for by the progress's Cancel: the load stops before its next line.
    bool loadCancelled = false;
    void cancelLoad() { loadCancelled = true; }
    // A plot converts its rows this many at a time, shared out between the
    // window's thread and helpers; a plot that runs longer than
    // `progressAfter` shows its progress too.
    int plotSlice = 1 << 16;  // rows
    int plotHelpers = -1;     // helper threads; -1: one per core beside the window's, at most 7
    // From this many points on, a plot's value lists and the graphs' own
    // points are made on threads beside the window's; fewer take less time
    // than starting a thread.
    qsizetype besideFrom = qsizetype(1) << 16;
    // Asked for by the plot's Cancel, in any stage of the plot: both graphs
    // are left empty, and a status line says so.
    bool plotCancelled = false;
    void cancelPlot() { plotCancelled = true; }
    // The pace of the plot under way, while one is; the window makes the
    // graphs' own points under it.
    SlicedWork *plotting = nullptr;

    void setLoading(bool on)
    {
        loading = on;
        Q_EMIT loadingChanged(on);
    }

Q_SIGNALS:
    // "Data loading" to be shown (and painted at once) or hidden.
    void loadingChanged(bool loading);
    // How far a long load has come, 0 to 100; from its first half second on.
    void loadProgress(int percent);
    // The same for a long plot.
    void plotProgress(int percent);
    void rangeBoxesChanged();
    void graphsChanged();
    // A line for the program's status log.
    void told(const QString &line);
};

} // namespace loader
