#pragma once
// The trend graph window: plots readings against the run's elapsed time.

#include <QWidget>

class QCPGraph;
class QCustomPlot;
class QLabel;

namespace runs {

class Graph_Form : public QWidget
{
    Q_OBJECT
public:
    explicit Graph_Form(QWidget *parent = nullptr);

    // The graph and its two labels back at their places (start-up and every
    // resize of the main window).
    void placeControls();

    QCustomPlot *CWGraph1 = nullptr;
    QLabel *S_Time = nullptr;
    QLabel *SHOW_Time = nullptr;
};

} // namespace runs
