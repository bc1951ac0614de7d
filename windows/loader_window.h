#pragma once
// The recorded-data loader window: opens a recorded file, lists it in a
// table and plots display 1 and display 2 on two graphs. It paints the
// loader's state (loader/) and forwards its clicks there.

#include "loader/loader_state.h"

#include <QMargins>
#include <QPointer>
#include <QWidget>

#include <array>

class QCustomPlot;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QRadioButton;
class QTableView;

namespace loader {

class Form_LD : public QWidget
{
    Q_OBJECT
public:
    explicit Form_LD(QWidget *parent = nullptr);

    Loader &state() { return m_loader; }

    // The window as laid out; it has no layout to tell its size.
    QSize sizeHint() const override;

    // "View Graph": which graphs show, and where.
    void DIS_SHOW_OPT_Click(int index);

    QCustomPlot *LOAD_Graph = nullptr;
    QCustomPlot *LOAD_Graph2 = nullptr;
    QTableView *LOAD_Grid = nullptr;
    QFrame *Frame1 = nullptr;
    QPushButton *OPEN_FILE_BUTT = nullptr;
    QPushButton *Graph_SHOW_BUTT = nullptr;
    QPushButton *SET_SHOW_BUTT = nullptr;
    QPushButton *Quit_BUTT = nullptr;
    QGroupBox *Frame = nullptr;  // "Set Range"
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *START_TEXT = nullptr;
    QLineEdit *END_TEXT = nullptr;
    QGroupBox *DISPLAY_Frame = nullptr;  // "View Graph"
    std::array<QRadioButton *, 3> DIS_SHOW_OPT{};
    QLabel *LOAD_LAB = nullptr;  // "Data loading"

protected:
    // The range boxes' key filter.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void SET_L_Grid();
    void showLoading(bool loading);
    // A long load's or plot's progress; its Cancel calls `cancel`.
    void showProgress(const QString &label, int percent, void (Loader::*cancel)());
    void showRangeBoxes();
    void showGraphs();
    // The two graphs' plot areas share their left and right edges, so a
    // point number lies at the same x in both: each gets the margins the
    // wider labels of either need.
    void alignPlotAreas();

    Loader m_loader;
    QPointer<QProgressDialog> m_progress;  // while a long load runs
    QMargins m_plotMargins;                 // a graph's own least margins
};

} // namespace loader
