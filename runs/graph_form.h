#pragma once
// The trend graph window: plots readings against the run's elapsed time.
// It is also the per-reading step of the runs that do not go through an
// acquisition loop (demonstration ticks, trigger presses): each SHOW_Graph
// counts the reading, plots it, adds its table row and records it.

#include <QWidget>

#include <functional>

class QCheckBox;
class QCustomPlot;
class QLabel;
class QPushButton;

namespace shell {
struct CheckControl;
struct PanelState;
} // namespace shell

namespace runs {

class ReadingsTableModel;
class Recorder;

class Graph_Form : public QWidget
{
    Q_OBJECT
public:
    explicit Graph_Form(QWidget *parent = nullptr);

    // What SHOW_Graph works on beyond its own window: the panel's state
    // (the reading, the run clock, the numbering), the "Save Data" box, the
    // recorder and the readings table. Until connected SHOW_Graph does
    // nothing.
    void connectRun(shell::PanelState &state, const shell::CheckControl &SAVE_CHK,
                    Recorder &recorder, ReadingsTableModel &table);
    // The run's elapsed seconds to the fraction, so readings a fraction of a
    // second apart do not share one time; the whole ELAPSED_SECS otherwise.
    void setElapsedSource(std::function<double()> elapsedSeconds);

    // Empties the graph and puts its axes back: the first 100 s of a run.
    void ClearGraph();
    // One reading of the state; false when its record could not be written
    // (the recorder has said why in the status log).
    bool SHOW_Graph();

    // "Return DATA Table": the numbering restarts.
    void Command1_Click();
    // "Zoo Out" switched: the whole run so far, or the first 100 s again.
    void CW_BUTT_ValueChanged(bool on);

    // The graph and its controls back at their places (start-up and every
    // resize of the main window).
    void placeControls();

    QCustomPlot *CWGraph1 = nullptr;
    QLabel *S_Time = nullptr;
    QLabel *SHOW_Time = nullptr;
    QPushButton *CW_BUTT = nullptr;
    QPushButton *Command1 = nullptr;
    QCheckBox *Ran_CHK = nullptr;

private:
    void Form_Load();
    void setTimeAxis();
    void widenValueAxis(double value);

    shell::PanelState *m_state = nullptr;
    const shell::CheckControl *m_saveChk = nullptr;
    Recorder *m_recorder = nullptr;
    ReadingsTableModel *m_table = nullptr;
    std::function<double()> m_elapsedSeconds;
    double m_low = 0;
    double m_high = 0;
    bool m_hasValues = false;
};

} // namespace runs
