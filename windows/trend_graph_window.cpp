#include "windows/trend_graph_window.h"

#include "platform/runtime.h"
#include "platform/twips.h"
#include "core/panel.h"
#include "runs/record_step.h"
#include "windows/axis_ticks.h"

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

// Run time in hh:mm:ss on whole seconds, minutes or hours, in at most as
// many steps as asked for: more labels than that run into each other under
// a graph of this width.
class RunTimeTicker : public QCPAxisTickerTime
{
protected:
    double getTickStep(const QCPRange &range) override
    {
        double step = QCPAxisTickerTime::getTickStep(range);
        // The next round step up is the one chosen for a wider range.
        QCPRange wider = range;
        for (int tries = 0; tries < 32 && step > 0 && range.size() / step > tickCount(); ++tries) {
            wider.upper = wider.lower + wider.size() * 1.25;
            step = std::max(step, QCPAxisTickerTime::getTickStep(wider));
        }
        return step;
    }
};

} // namespace

Graph_Form::Graph_Form(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(u"Graph"_s);
    CWGraph1 = new QCustomPlot(this);
    CWGraph1->addGraph();
    // The readings in full, as the loader's axes show them.
    CWGraph1->yAxis->setTicker(QSharedPointer<windows::PlainTicker>::create());
    S_Time = new QLabel(u"Time:"_s, this);
    SHOW_Time = new QLabel(this);
    CW_BUTT = new QPushButton(u"Zoo Out"_s, this);
    CW_BUTT->setCheckable(true);
    Command1 = new QPushButton(u"Return DATA Table"_s, this);
    // Part of the window's design; it selects nothing.
    Ran_CHK = new QCheckBox(u"Random Number"_s, this);
    connect(CW_BUTT, &QPushButton::toggled, this, &Graph_Form::CW_BUTT_ValueChanged);
    Form_Load();
    // On its own as it is in the main window; there the window's frame and
    // title take their part of the designed size.
    resize(rt::twipsSize(6630, 5000));
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
    auto ticker = QSharedPointer<RunTimeTicker>::create();
    ticker->setTimeFormat(u"%h:%m:%s"_s);
    ticker->setTickCount(5);
    CWGraph1->xAxis->setTicker(ticker);
}

void Graph_Form::addPoint(double at, double value, const QString &elapsed)
{
    SHOW_Time->setText(elapsed);
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
    // The graph takes the window's inside above a row that holds the run
    // time and the buttons, each as wide as its caption needs in this font,
    // from the time label's designed left edge on. A row too long for the
    // window goes on below.
    const int left = rt::twipsToPixels(50);
    constexpr int kGap = 6;
    constexpr int kLabelGap = 4;  // between "Time:" and the time
    constexpr int kButtonPadding = 12;
    auto widthOf = [](QWidget *control) {
        if (auto *button = qobject_cast<QPushButton *>(control))
            return button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width() + 2 * kButtonPadding;
        return control->sizeHint().width();
    };
    const int timeWidth =
        std::max(SHOW_Time->sizeHint().width(), SHOW_Time->fontMetrics().horizontalAdvance(u"00:00:00"_s));
    struct Item { QWidget *control; int width; int gapBefore; };
    const Item items[] = {
        {S_Time, widthOf(S_Time), 0},
        {SHOW_Time, timeWidth, kLabelGap},
        {CW_BUTT, widthOf(CW_BUTT), kGap},
        {Command1, widthOf(Command1), kGap},
        {Ran_CHK, widthOf(Ran_CHK), kGap},
    };
    int rowHeight = 0;
    for (const Item &item : items)
        rowHeight = std::max(rowHeight, item.control->sizeHint().height());
    QList<QList<const Item *>> rows{{}};
    int x = left;
    for (const Item &item : items) {
        const int from = rows.last().isEmpty() ? left : x + item.gapBefore;
        if (!rows.last().isEmpty() && from + item.width > width() - left) {
            rows.append(QList<const Item *>());
            x = left;
        } else {
            x = from;
        }
        rows.last().append(&item);
        x += item.width;
    }
    int top = height() - kGap / 2 - int(rows.size()) * (rowHeight + kGap / 2);
    CWGraph1->setGeometry(0, 0, width(), std::max(top - kGap / 2, 0));
    for (const QList<const Item *> &row : rows) {
        x = left;
        for (const Item *item : row) {
            if (item != row.first())
                x += item->gapBefore;
            item->control->setGeometry(x, top, item->width, rowHeight);
            x += item->width;
        }
        top += rowHeight + kGap / 2;
    }
}

void Graph_Form::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeControls();
}

} // namespace runs
