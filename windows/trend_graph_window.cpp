#include "windows/trend_graph_window.h"

#include "platform/runtime.h"
#include "platform/twips.h"
#include "core/panel.h"
#include "runs/record_step.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <qcustomplot.h>

using namespace Qt::StringLiterals;

namespace runs {

namespace {

// A run's first view: 00:00:00 to 00:01:40.
constexpr double kFirstWindowSecs = 100;

// Seconds of an hh:mm:ss caption; 0 for anything else.
qint64 captionSeconds(const QString &caption)
{
    const QStringList parts = caption.split(u':');
    if (parts.size() != 3)
        return 0;
    qint64 seconds = 0;
    for (const QString &part : parts)
        seconds = seconds * 60 + rt::toWhole(part).value_or(0);
    return seconds;
}

} // namespace

Graph_Form::Graph_Form(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(u"Graph"_s);
    CWGraph1 = new QCustomPlot(this);
    CWGraph1->addGraph();
    S_Time = new QLabel(u"Time:"_s, this);
    SHOW_Time = new QLabel(this);
    CW_BUTT = new QPushButton(u"Zoo Out"_s, this);
    CW_BUTT->setCheckable(true);
    Command1 = new QPushButton(u"Return DATA Table"_s, this);
    // Part of the window's design; it selects nothing.
    Ran_CHK = new QCheckBox(u"Random Number"_s, this);
    connect(CW_BUTT, &QPushButton::toggled, this, &Graph_Form::CW_BUTT_ValueChanged);
    Form_Load();
    S_Time->adjustSize();
    placeControls();
}

void Graph_Form::connectRun(RunContext &run)
{
    m_state = &run.panel.state;
    connect(&run.events, &RunEvents::pointTaken, this, &Graph_Form::addPoint);
    connect(&run.events, &RunEvents::graphCleared, this, [this] {
        SHOW_Time->setText(u"00:00:00"_s);
        ClearGraph();
    });
    connect(Command1, &QPushButton::clicked, this, [&run] { Graph_Command1_Click(run); });
}

void Graph_Form::Form_Load()
{
    SHOW_Time->setText(u"00:00:00"_s);
    SHOW_Time->adjustSize();
    ClearGraph();
}

void Graph_Form::ClearGraph()
{
    CWGraph1->graph(0)->data()->clear();
    m_hasValues = false;
    CWGraph1->xAxis->setLabel(u"Timer"_s);
    CWGraph1->yAxis->setLabel(u"Range MODE"_s);
    setTimeAxis();
    CWGraph1->xAxis->setRange(0, kFirstWindowSecs);
    CWGraph1->yAxis->setRange(0, 1);
    CWGraph1->replot(QCustomPlot::rpQueuedReplot);
}

void Graph_Form::setTimeAxis()
{
    auto ticker = QSharedPointer<QCPAxisTickerTime>::create();
    ticker->setTimeFormat(u"%h:%m:%s"_s);
    ticker->setTickCount(5);
    CWGraph1->xAxis->setTicker(ticker);
}

void Graph_Form::addPoint(double at, double value, const QString &elapsed)
{
    SHOW_Time->setText(elapsed);
    SHOW_Time->adjustSize();
    // One point more; the plot is redrawn once the events run, however many
    // points came in between.
    CWGraph1->graph(0)->addData(at, value);
    widenValueAxis(value);
    CWGraph1->replot(QCustomPlot::rpQueuedReplot);
}

void Graph_Form::widenValueAxis(double value)
{
    if (!m_hasValues) {
        m_low = m_high = value;
        m_hasValues = true;
    } else if (value >= m_low && value <= m_high) {
        return;
    } else {
        m_low = std::min(m_low, value);
        m_high = std::max(m_high, value);
    }
    const double span = m_high - m_low;
    const double margin = span > 0 ? span * 0.05 : (m_high != 0 ? std::abs(m_high) * 0.05 : 1.0);
    CWGraph1->yAxis->setRange(m_low - margin, m_high + margin);
}

void Graph_Form::CW_BUTT_ValueChanged(bool on)
{
    if (!m_state || m_state->ELAPSED_SECS == 0)
        return;
    const qint64 shown = captionSeconds(SHOW_Time->text());
    setTimeAxis();
    CWGraph1->xAxis->setRange(0, on ? double(std::max<qint64>(shown, 1)) : kFirstWindowSecs);
    CWGraph1->replot(QCustomPlot::rpQueuedReplot);
}

void Graph_Form::placeControls()
{
    CWGraph1->setGeometry(rt::twipsRect(0, 0, 6650, 4500));
    S_Time->move(rt::twipsPoint(50, 4600));
    SHOW_Time->move(rt::twipsPoint(540, 4600));
    CW_BUTT->setGeometry(rt::twipsRect(1700, 4540, 1100, 360));
    Command1->setGeometry(rt::twipsRect(2950, 4540, 2000, 360));
    Ran_CHK->setGeometry(rt::twipsRect(5100, 4560, 1500, 300));
}

} // namespace runs
