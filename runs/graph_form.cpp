#include "runs/graph_form.h"

#include "platform/twips.h"

#include <QLabel>
#include <qcustomplot.h>

namespace runs {

Graph_Form::Graph_Form(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Graph"));
    CWGraph1 = new QCustomPlot(this);
    CWGraph1->xAxis->setLabel(QStringLiteral("Time (s)"));
    S_Time = new QLabel(QStringLiteral("Time:"), this);
    SHOW_Time = new QLabel(QStringLiteral("00:00:00"), this);
    S_Time->adjustSize();
    SHOW_Time->adjustSize();
    placeControls();
}

void Graph_Form::placeControls()
{
    CWGraph1->setGeometry(rt::twipsRect(0, 0, 6650, 4500));
    S_Time->move(rt::twipsPoint(50, 4600));
    SHOW_Time->move(rt::twipsPoint(540, 4600));
}

} // namespace runs
