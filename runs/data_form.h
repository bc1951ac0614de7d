#pragma once
// The readings table window: one row per recorded reading of a run.

#include <QWidget>

class QTableView;

namespace runs {

class DATA_Form : public QWidget
{
    Q_OBJECT
public:
    explicit DATA_Form(QWidget *parent = nullptr);

    QTableView *DATA_Grid = nullptr;
};

} // namespace runs
