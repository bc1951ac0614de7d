#include "windows/loader_window.h"

#include "loader/axis_units.h"
#include "loader/file_loading.h"
#include "loader/load_plots.h"
#include "loader/sliced_work.h"
#include "loader/view_choice.h"
#include "platform/huge_pages.h"
#include "platform/twips.h"
#include "windows/axis_ticks.h"
#include "windows/form_place.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <qcustomplot.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <system_error>
#include <thread>

using namespace Qt::StringLiterals;

namespace loader {

namespace {

// The window's inside, in twips: as wide as designed, and tall enough for
// the table and the button panel that run to its foot (the graphs' area
// takes the designed 7800).
constexpr int kWidth = 11800;
constexpr int kHeight = 7950;
// The table and the button panel start together below the graphs' area.
constexpr int kBottomTop = 4880;
// In the button panel, right of the buttons: "View Graph" and "Set Range".
constexpr int kBoxLeft = 1710;
constexpr int kBoxWidth = 2280;

// Below this many points each one is marked, so a short file (one record
// included) shows its readings and not only the lines between them.
constexpr int kMarkedPointsUpTo = 100;

// The X axis: about as many major ticks as asked for, on whole point
// numbers, and a fixed number of minor divisions between two of them.
class PointTicker : public windows::PlainTicker
{
public:
    explicit PointTicker(const LoadGraph &graph) : m_minor(std::max(graph.xMinorDivisions, 1))
    {
        setTickCount(std::max(graph.xMajorDivisions, 1));
    }

protected:
    double getTickStep(const QCPRange &range) override
    {
        return std::max(1.0, QCPAxisTicker::getTickStep(range));
    }
    int getSubTickCount(double) override { return m_minor - 1; }

private:
    int m_minor;
};

// The Y axis in one of the loader's formats.
class FormatTicker : public windows::PlainTicker
{
public:
    explicit FormatTicker(QString format) : m_format(std::move(format)) {}

protected:
    QString getTickLabel(double tick, const QLocale &, QChar, int) override
    {
        return axisLabel(m_format, tick, tickStep());
    }

private:
    QString m_format;
};

QCustomPlot *newGraph(QWidget *parent)
{
    auto *plot = new QCustomPlot(parent);
    plot->addGraph();
    // Until a plot sets them.
    plot->xAxis->setTicker(QSharedPointer<windows::PlainTicker>::create());
    plot->yAxis->setTicker(QSharedPointer<windows::PlainTicker>::create());
    plot->graph(0)->setAdaptiveSampling(true);
    return plot;
}

// The points of `graph` as the graph takes them, built once and handed over
// whole: a million of them are plotted as fast as the graph draws them,
// its own adaptive sampling drawing no more of a pixel column than its
// extremes.
QVector<QCPGraphData> graphPoints(const LoadGraph &graph)
{
    const qsizetype count = std::min(graph.x.size(), graph.y.size());
    QVector<QCPGraphData> points;
    points.reserve(count);
    rt::adviseHugePages(points.data(), points.capacity() * qsizetype(sizeof(QCPGraphData)));
    for (qsizetype i = 0; i < count; ++i)
        points.emplaceBack(graph.x[i], graph.y[i]);
    return points;
}

void paintGraph(QCustomPlot *plot, const LoadGraph &graph, const QVector<QCPGraphData> &points)
{
    QCPGraph *line = plot->graph(0);
    line->data()->set(points, std::is_sorted(graph.x.cbegin(), graph.x.cend()));
    line->setScatterStyle(graph.x.size() <= kMarkedPointsUpTo ? QCPScatterStyle(QCPScatterStyle::ssDisc, 4)
                                                              : QCPScatterStyle());

    plot->xAxis->setLabel(graph.xCaption);
    plot->xAxis->setTicker(QSharedPointer<PointTicker>::create(graph));
    double from = graph.xFrom;
    double to = graph.xTo;
    if (from == to) {  // one point: keep it in the middle
        from -= 1;
        to += 1;
    }
    plot->xAxis->setRange(from, to);

    plot->yAxis->setLabel(graph.yCaption);
    if (graph.yRange)
        plot->yAxis->setRange(graph.yRange->first, graph.yRange->second);
    if (graph.yFormat)
        plot->yAxis->setTicker(QSharedPointer<FormatTicker>::create(*graph.yFormat));
    plot->replot(QCustomPlot::rpQueuedReplot);
}

} // namespace

Form_LD::Form_LD(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(u"Form3"_s);

    LOAD_Graph = newGraph(this);
    LOAD_Graph2 = newGraph(this);
    m_plotMargins = LOAD_Graph->axisRect()->minimumMargins();
    LOAD_Grid = new QTableView(this);
    LOAD_Grid->setModel(&m_loader.LOAD_Grid);

    Frame1 = new QFrame(this);
    Frame1->setFrameShape(QFrame::Box);
    struct Button { QPushButton **slot; const char16_t *caption; QRect twips; };
    const Button buttons[] = {
        {&OPEN_FILE_BUTT, u"Open File", {120, 480, 1500, 495}},
        {&Graph_SHOW_BUTT, u"Plot Graph", {120, 1080, 1500, 495}},
        {&SET_SHOW_BUTT, u"Plot Range", {120, 1680, 1500, 495}},
        {&Quit_BUTT, u"Return to Main", {120, 2280, 1500, 615}},
    };
    for (const Button &b : buttons) {
        *b.slot = new QPushButton(QString::fromUtf16(b.caption), Frame1);
        (*b.slot)->setGeometry(rt::twipsRect(b.twips.x(), b.twips.y(), b.twips.width(), b.twips.height()));
    }
    LOAD_LAB = new QLabel(u"Data loading"_s, Frame1);
    LOAD_LAB->setGeometry(rt::twipsRect(120, 120, 1500, 300));
    LOAD_LAB->setStyleSheet(u"color: red"_s);

    DISPLAY_Frame = new QGroupBox(u"View Graph"_s, Frame1);
    // The two boxes keep the buttons' margin from the panel's right edge.
    DISPLAY_Frame->setGeometry(rt::twipsRect(kBoxLeft, 120, kBoxWidth, 1575));
    for (int i = 0; i < kViewChoices; ++i) {
        auto *option = new QRadioButton(kGraphLayouts[std::size_t(i)].caption.toString(), DISPLAY_Frame);
        option->setGeometry(rt::twipsRect(120, 360 + i * 375, 2130, 330));
        connect(option, &QRadioButton::clicked, this, [this, i] { DIS_SHOW_OPT_Click(i); });
        DIS_SHOW_OPT[std::size_t(i)] = option;
    }

    Frame = new QGroupBox(u"Set Range"_s, Frame1);
    Frame->setGeometry(rt::twipsRect(kBoxLeft, 1680, kBoxWidth, 1215));
    Label1 = new QLabel(u"Start Point"_s, Frame);
    Label1->setGeometry(rt::twipsRect(120, 360, 950, 255));
    Label2 = new QLabel(u"End Point"_s, Frame);
    START_TEXT = new QLineEdit(Frame);
    // Just below their labels.
    START_TEXT->setGeometry(rt::twipsRect(120, 615, 855, 375));
    END_TEXT = new QLineEdit(Frame);
    END_TEXT->setGeometry(rt::twipsRect(1320, 615, 855, 375));
    START_TEXT->installEventFilter(this);
    END_TEXT->installEventFilter(this);

    connect(OPEN_FILE_BUTT, &QPushButton::clicked, this, [this] { OPEN_FILE_BUTT_Click(m_loader); });
    connect(Graph_SHOW_BUTT, &QPushButton::clicked, this, [this] { Graph_SHOW_BUTT_Click(m_loader); });
    connect(SET_SHOW_BUTT, &QPushButton::clicked, this, [this] { SET_SHOW_BUTT_Click(m_loader); });
    connect(Quit_BUTT, &QPushButton::clicked, this, [this] { shell::unloadForm(this); });
    connect(START_TEXT, &QLineEdit::textEdited, this, [this](const QString &text) { m_loader.START_TEXT = text; });
    connect(END_TEXT, &QLineEdit::textEdited, this, [this](const QString &text) { m_loader.END_TEXT = text; });

    connect(&m_loader, &Loader::loadingChanged, this, &Form_LD::showLoading);
    connect(&m_loader, &Loader::loadProgress, this, [this](int percent) {
        showProgress(u"Data loading"_s, percent, &Loader::cancelLoad);
    });
    connect(&m_loader, &Loader::plotProgress, this, [this](int percent) {
        showProgress(u"Plotting"_s, percent, &Loader::cancelPlot);
    });
    connect(&m_loader, &Loader::rangeBoxesChanged, this, &Form_LD::showRangeBoxes);
    connect(&m_loader, &Loader::graphsChanged, this, &Form_LD::showGraphs);

    Form_Load();
}

QSize Form_LD::sizeHint() const
{
    return rt::twipsSize(kWidth, kHeight);
}

void Form_LD::Form_Load()
{
    DIS_SHOW_OPT[0]->setChecked(true);
    DIS_SHOW_OPT_Click(0);
    LOAD_LAB->hide();
    resize(rt::twipsSize(kWidth, kHeight));
    LOAD_Graph->setGeometry(rt::twipsRect(120, 45, 11595, 4800));
    LOAD_Grid->setGeometry(rt::twipsRect(120, kBottomTop, 7390, 2940));
    Frame1->setGeometry(rt::twipsRect(7620, kBottomTop, 4110, 3015));
    RESET_LOAD_GRAPHS(m_loader);
    SET_L_Grid();
    Label2->setGeometry(rt::twipsRect(1315, 360, 950, 255));
}

void Form_LD::SET_L_Grid()
{
    // Up to a million rows of one height: fixed sections spare the view
    // from measuring each of them.
    QHeaderView *rows = LOAD_Grid->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(LOAD_Grid->fontMetrics().height() + 6);
    LOAD_Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    LOAD_Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LOAD_Grid->setWordWrap(false);
    const QFontMetrics metrics = LOAD_Grid->fontMetrics();
    for (int column = 0; column < kLoadColumnCount; ++column) {
        const int width = kLoadColumns[std::size_t(column)].widthTwips;
        LOAD_Grid->setColumnHidden(column, width == 0);
        if (width == 0)
            continue;
        // The designed width, or more where this font needs it for the
        // point number or the date.
        int pixels = rt::twipsToPixels(width);
        if (column == LoadGridModel::Point)
            pixels = std::max(pixels, metrics.horizontalAdvance(u"000000"_s) + 12);
        if (column == LoadGridModel::ActualTime)
            pixels = std::max(pixels, metrics.horizontalAdvance(u"0000/00/00 00:00:00"_s) + 12);
        LOAD_Grid->setColumnWidth(column, pixels);
    }
}

void Form_LD::DIS_SHOW_OPT_Click(int index)
{
    const GraphLayout &layout = loader::DIS_SHOW_OPT_Click(index);
    const QRect &g1 = layout.graph1;
    const QRect &g2 = layout.graph2;
    LOAD_Graph->setGeometry(rt::twipsRect(g1.x(), g1.y(), g1.width(), g1.height()));
    LOAD_Graph2->setGeometry(rt::twipsRect(g2.x(), g2.y(), g2.width(), g2.height()));
    LOAD_Graph->setVisible(layout.graph1Shown);
    LOAD_Graph2->setVisible(layout.graph2Shown);
    alignPlotAreas();
}

void Form_LD::alignPlotAreas()
{
    // What each graph's own labels need beside its plot area, from the
    // margins it has without the other.
    const std::array<QCustomPlot *, 2> plots{LOAD_Graph, LOAD_Graph2};
    std::array<QMargins, 2> need;
    for (std::size_t i = 0; i < plots.size(); ++i) {
        plots[i]->axisRect()->setMinimumMargins(m_plotMargins);
        QCPLayoutGrid *layout = plots[i]->plotLayout();
        layout->update(QCPLayoutElement::upPreparation);
        layout->update(QCPLayoutElement::upMargins);
        need[i] = plots[i]->axisRect()->margins();
    }
    // Both plot areas from the rightmost left edge to the leftmost right
    // edge, in the window.
    int left = std::numeric_limits<int>::min();
    int right = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < plots.size(); ++i) {
        const QRect at = plots[i]->geometry();
        left = std::max(left, at.left() + need[i].left());
        right = std::min(right, at.left() + at.width() - need[i].right());
    }
    for (QCustomPlot *plot : plots) {
        const QRect at = plot->geometry();
        plot->axisRect()->setMinimumMargins(QMargins(left - at.left(), m_plotMargins.top(),
                                                     at.left() + at.width() - right, m_plotMargins.bottom()));
        plot->replot(QCustomPlot::rpQueuedReplot);
    }
}

void Form_LD::showLoading(bool loading)
{
    LOAD_LAB->setVisible(loading);
    for (QPushButton *button : {OPEN_FILE_BUTT, Graph_SHOW_BUTT, SET_SHOW_BUTT})
        button->setEnabled(!loading);
    // Paint the notice now: a short load ends before the window paints again.
    if (loading && isVisible())
        LOAD_LAB->repaint();
    if (!loading)
        delete m_progress;
}

void Form_LD::showProgress(const QString &label, int percent, void (Loader::*cancel)())
{
    if (!m_progress) {
        m_progress = new QProgressDialog(label, u"Cancel"_s, 0, 100, this);
        m_progress->setWindowModality(Qt::ApplicationModal);
        m_progress->setMinimumDuration(0);
        m_progress->setAutoReset(false);
        m_progress->setAutoClose(false);
        connect(m_progress, &QProgressDialog::canceled, &m_loader, cancel);
        m_progress->show();
    }
    // A modal progress lets events run as its value is set: of all clicks,
    // only its Cancel gets through. It lets none run for a value it already
    // shows, as through a long last stage at 100: then they are let run here.
    if (m_progress->value() == percent)
        QCoreApplication::processEvents();
    else
        m_progress->setValue(percent);
}

void Form_LD::showRangeBoxes()
{
    if (START_TEXT->text() != m_loader.START_TEXT)
        START_TEXT->setText(m_loader.START_TEXT);
    if (END_TEXT->text() != m_loader.END_TEXT)
        END_TEXT->setText(m_loader.END_TEXT);
}

void Form_LD::showGraphs()
{
    // A long run's points for both graphs are built side by side, the
    // window painting meanwhile: their fresh pages are most of the time a
    // plot of millions of points takes here. A short one's take less than
    // starting a thread.
    QVector<QCPGraphData> points1;
    QVector<QCPGraphData> points2;
    const auto build = [&] {
        std::jthread other;
        try {
            if (m_loader.LOAD_Graph2.y.size() >= m_loader.besideFrom)
                other = std::jthread([&] { points2 = graphPoints(m_loader.LOAD_Graph2); });
        } catch (const std::system_error &) {
            // No thread to be had: built below.
        }
        if (!other.joinable())
            points2 = graphPoints(m_loader.LOAD_Graph2);
        points1 = graphPoints(m_loader.LOAD_Graph);
    };
    if (m_loader.LOAD_Graph.y.size() < m_loader.besideFrom) {
        build();
    } else if (SlicedWork *plotting = m_loader.plotting) {
        // The plot's last stage: its Cancel leaves both graphs empty, which
        // the plot tells the window next.
        if (plotting->runBeside(build, 1))
            return;
    } else {
        runBeside(build);
    }
    paintGraph(LOAD_Graph, m_loader.LOAD_Graph, points1);
    paintGraph(LOAD_Graph2, m_loader.LOAD_Graph2, points2);
    alignPlotAreas();
    if (!m_loader.loading)
        delete m_progress;  // a long plot's: the plot is over
}

bool Form_LD::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == START_TEXT || watched == END_TEXT) && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Only keys that type a character reach the filter (Backspace and
        // Ctrl+V included); moving keys, Delete and Tab do not.
        const bool moves = key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab
                           || key->key() == Qt::Key_Backtab;
        if (key->key() == Qt::Key_Backspace || (!key->text().isEmpty() && !moves)) {
            int code = key->key() == Qt::Key_Backspace ? 8 : key->text().at(0).unicode();
            rangeBoxKeyPress(code);
            if (code == 0)
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace loader
