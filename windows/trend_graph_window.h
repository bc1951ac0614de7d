#pragma once
// The trend graph window: plots the readings of demonstration ticks and
// trigger presses against the run's elapsed time, as the run's record step
// reports them (RunEvents::pointTaken).

#include <QWidget>

class QCheckBox;
class QCustomPlot;
class QLabel;
class QPushButton;

namespace shell {
struct PanelState;
}

namespace runs {

struct RunContext;

class Graph_Form : public QWidget
{
    Q_OBJECT
public:
    explicit Graph_Form(QWidget *parent = nullptr);

    // Listens to the run: its points, the start of a run, and "Return DATA
    // Table".
    void connectRun(RunContext &run);

    // Empties the graph and puts its axes back: the first 100 s of a run.
    void ClearGraph();
    // One reading more, `at` seconds into the run.
    void addPoint(double at, double value, const QString &elapsed);

    // "Zoo Out" switched: the whole run so far, or the first 100 s again.
    void CW_BUTT_ValueChanged(bool on);

    // The graph and its controls back at their places, fitted to the
    // window's inside (start-up, every resize of the main window and of
    // this window).
    void placeControls();

    QCustomPlot *CWGraph1 = nullptr;
    QLabel *S_Time = nullptr;
    QLabel *SHOW_Time = nullptr;
    QPushButton *CW_BUTT = nullptr;
    QPushButton *Command1 = nullptr;
    QCheckBox *Ran_CHK = nullptr;  // part of the window's design; it selects nothing

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Load();
    void setTimeAxis();
    void widenValueAxis(double value);

    const shell::PanelState *m_state = nullptr;
    double m_low = 0;
    double m_high = 0;
    bool m_hasValues = false;
};

} // namespace runs
