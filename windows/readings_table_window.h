#pragma once
// The readings table window: one row per recorded reading of a run.

#include <QWidget>

class QTableView;

namespace runs {

class ReadingsTableModel;

class DATA_Form : public QWidget
{
    Q_OBJECT
public:
    explicit DATA_Form(QWidget *parent = nullptr);

    // The rows the runs add; the window keeps it for the program's life.
    ReadingsTableModel *model() const { return m_model; }

    QTableView *Grid_DATA = nullptr;

private:
    void SET_DATA_GRID();

    ReadingsTableModel *m_model = nullptr;
};

} // namespace runs
