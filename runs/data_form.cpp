#include "runs/data_form.h"

#include <QTableView>
#include <QVBoxLayout>

namespace runs {

DATA_Form::DATA_Form(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Form3"));
    DATA_Grid = new QTableView(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DATA_Grid);
}

} // namespace runs
