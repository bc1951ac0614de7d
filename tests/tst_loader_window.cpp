// The loader window: its first layout, the view choice, the range boxes'
// key filter, "Data loading" while a file is read, the table view and the
// two graphs as the loader's state has them, tick labels in the axis
// formats, and "Return to Main".

#include "formats/recorded_data.h"
#include "loader/file_loading.h"
#include "loader/load_plots.h"
#include "platform/dialogs.h"
#include "platform/runtime.h"
#include "platform/twips.h"
#include "windows/dialogs_window.h"
#include "windows/loader_window.h"

#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>
#include <qcustomplot.h>

#include <cmath>
#include <map>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QDateTime kCreated(QDate(2013, 5, 6), QTime(12, 34, 56));

// A recorded file of the given points; display 2 only where a function for
// it is given.
QByteArray fileOfPoints(const QList<qint32> &points, const QString &mode, const std::function<QString(int)> &display1,
                        const QString &mode2 = {}, const std::function<QString(int)> &display2 = {})
{
    QByteArray bytes = formats::headerBytes(kCreated);
    for (const qint32 point : points)
        bytes += formats::recordLine({point, formats::elapsedText(point), kCreated.addSecs(point), mode,
                                      display1(point), mode2, display2 ? display2(point) : QString()})
                     .toUtf8();
    return bytes;
}

QByteArray fileOf(int first, int last, const QString &mode, const std::function<QString(int)> &display1,
                  const QString &mode2 = {}, const std::function<QString(int)> &display2 = {})
{
    QList<qint32> points;
    for (int point = first; point <= last; ++point)
        points.append(point);
    return fileOfPoints(points, mode, display1, mode2, display2);
}

QString volts(int point) { return rt::pattern(1 + point / 1000.0, u"0.000") + u"_V"_s; }

QRect pixels(const QRect &twips) { return rt::twipsRect(twips.x(), twips.y(), twips.width(), twips.height()); }

// The window on its own, the Open dialog answered with a file written in a
// folder of its own, message boxes recorded.
struct WindowFixture
{
    WindowFixture()
    {
        rt::setOpenFileHandler([this](const QString &, const QString &, const QString &) { return answer; });
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }
    ~WindowFixture() { rt::setOpenFileHandler({}); }

    void open(const QByteArray &bytes)
    {
        answer = dir.filePath(u"loaded.txt"_s);
        QFile file(answer);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        QTest::mouseClick(form.OPEN_FILE_BUTT, Qt::LeftButton);
    }
    static void type(QLineEdit *box, const QString &text)
    {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }
    // The Y tick labels as drawn now.
    static QStringList yLabels(QCustomPlot *plot)
    {
        plot->replot();
        return QStringList(plot->yAxis->tickVectorLabels().cbegin(), plot->yAxis->tickVectorLabels().cend());
    }

    QTemporaryDir dir;
    QString answer;
    rt::MessageRecorder messages;
    loader::Form_LD form;
};

} // namespace

class TestLoaderWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstLayout();
    void viewChoice_data();
    void viewChoice();
    void rangeBoxKeys_data();
    void rangeBoxKeys();
    void openListAndPlot();
    void refusedFileKeepsRangeBoxesAndPlot();
    void tickLabels_data();
    void tickLabels();
    void pointAxisInFull();
    void bothGraphsShareTheirPlotEdges_data();
    void bothGraphsShareTheirPlotEdges();
    void oneRecordStaysInSight();
    void longRunDrawsTheSameLine();
    void longLoadShowsCancellableProgress();
    void longPlotShowsProgress();
    void cancelInEachStageOfAPlot_data();
    void cancelInEachStageOfAPlot();
    void cancelHeardAtARepeatedValue();
    void openDialogShowsNamesWhole_data();
    void openDialogShowsNamesWhole();
    void returnToMain();
};

void TestLoaderWindow::firstLayout()
{
    WindowFixture t;
    loader::Form_LD &f = t.form;
    QCOMPARE(f.windowTitle(), u"Form3"_s);
    // As wide as designed, and tall enough for the table and the button
    // panel below the graphs' area.
    QCOMPARE(f.width(), rt::twipsToPixels(11800));
    QVERIFY(f.rect().contains(f.Frame1->geometry()));
    QVERIFY(f.rect().contains(f.LOAD_Grid->geometry()));
    QVERIFY(f.LOAD_LAB->isHidden());
    QCOMPARE(f.LOAD_LAB->text(), u"Data loading"_s);
    QCOMPARE(f.OPEN_FILE_BUTT->text(), u"Open File"_s);
    QCOMPARE(f.Graph_SHOW_BUTT->text(), u"Plot Graph"_s);
    QCOMPARE(f.SET_SHOW_BUTT->text(), u"Plot Range"_s);
    QCOMPARE(f.Quit_BUTT->text(), u"Return to Main"_s);
    QCOMPARE(f.Frame->title(), u"Set Range"_s);
    QCOMPARE(f.DISPLAY_Frame->title(), u"View Graph"_s);
    QCOMPARE(f.Label1->text(), u"Start Point"_s);
    QCOMPARE(f.Label2->text(), u"End Point"_s);
    QCOMPARE(f.Label2->geometry(), rt::twipsRect(1315, 360, 950, 255));
    QCOMPARE(f.LOAD_Grid->geometry(), rt::twipsRect(120, 4880, 7390, 2940));
    // Beside the table, clear of the graphs' area.
    QCOMPARE(f.Frame1->geometry(), rt::twipsRect(7620, 4880, 4110, 3015));
    QVERIFY(!f.Frame1->geometry().intersects(f.LOAD_Graph->geometry()));
    QVERIFY(f.DIS_SHOW_OPT[0]->isChecked());
    QVERIFY(f.LOAD_Graph->isVisible());
    QVERIFY(!f.LOAD_Graph2->isVisible());
    for (QCustomPlot *plot : {f.LOAD_Graph, f.LOAD_Graph2}) {
        QCOMPARE(plot->xAxis->label(), u"Total Points"_s);
        QCOMPARE(plot->yAxis->label(), u"Range MODE"_s);
        QCOMPARE(plot->xAxis->range(), QCPRange(0, 100));
        QCOMPARE(plot->graph(0)->dataCount(), 0);
    }
    // Time is hidden; the others have their widths.
    QVERIFY(f.LOAD_Grid->isColumnHidden(1));
    QVERIFY(f.LOAD_Grid->columnWidth(0) >= rt::twipsToPixels(600));
    QCOMPARE(f.LOAD_Grid->columnWidth(4), rt::twipsToPixels(1500));
    QCOMPARE(f.LOAD_Grid->model()->headerData(6, Qt::Horizontal).toString(), u"Display2"_s);
}

void TestLoaderWindow::viewChoice_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<bool>("shown1");
    QTest::addColumn<bool>("shown2");
    QTest::addColumn<QRect>("place1");  // twips, of the graphs shown
    QTest::addColumn<QRect>("place2");
    QTest::newRow("View Display 1") << 0 << true << false << QRect(120, 45, 11595, 4800) << QRect();
    QTest::newRow("View Display 2") << 1 << false << true << QRect() << QRect(120, 45, 11600, 4800);
    QTest::newRow("View Display 1 + 2") << 2 << true << true << QRect(120, 45, 11595, 2400)
                                        << QRect(120, 2450, 11600, 2400);
}

void TestLoaderWindow::viewChoice()
{
    QFETCH(int, option);
    QFETCH(bool, shown1);
    QFETCH(bool, shown2);
    QFETCH(QRect, place1);
    QFETCH(QRect, place2);
    WindowFixture t;
    loader::Form_LD &f = t.form;
    QCOMPARE(f.DIS_SHOW_OPT[std::size_t(option)]->text(),
             (QStringList{u"View Display 1"_s, u"View Display 2"_s, u"View Display 1 + 2"_s}[option]));
    // From another choice, by a click on the option.
    QTest::mouseClick(f.DIS_SHOW_OPT[std::size_t((option + 1) % 3)], Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(f.DIS_SHOW_OPT[std::size_t(option)], Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(f.DIS_SHOW_OPT[std::size_t(option)]->isChecked());
    QCOMPARE(f.LOAD_Graph->isVisible(), shown1);
    QCOMPARE(f.LOAD_Graph2->isVisible(), shown2);
    if (shown1)
        QCOMPARE(f.LOAD_Graph->geometry(), pixels(place1));
    if (shown2)
        QCOMPARE(f.LOAD_Graph2->geometry(), pixels(place2));
}

void TestLoaderWindow::rangeBoxKeys_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("digits and colon") << u"12:30"_s << u"12:30"_s;
    QTest::newRow("letters, full stop and minus refused") << u"1a.-2"_s << u"12"_s;
    QTest::newRow("space refused") << u"1 2"_s << u"12"_s;
}

void TestLoaderWindow::rangeBoxKeys()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    WindowFixture t;
    for (QLineEdit *box : {t.form.START_TEXT, t.form.END_TEXT}) {
        box->setFocus();
        QTest::keyClicks(box, typed);
        QCOMPARE(box->text(), shown);
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), shown.chopped(1));
    }
    QCOMPARE(t.form.state().START_TEXT, shown.chopped(1));
    QCOMPARE(t.form.state().END_TEXT, shown.chopped(1));
}

void TestLoaderWindow::openListAndPlot()
{
    WindowFixture t;
    loader::Form_LD &f = t.form;
    // While the file is read, "Data loading" shows and the buttons wait.
    bool sawLoading = false;
    QObject::connect(&f.state(), &loader::Loader::loadingChanged, &f, [&](bool loading) {
        if (loading)
            sawLoading = f.LOAD_LAB->isVisible() && !f.OPEN_FILE_BUTT->isEnabled()
                         && !f.Graph_SHOW_BUTT->isEnabled() && !f.SET_SHOW_BUTT->isEnabled();
    });
    t.open(fileOf(1, 500, u"DCV"_s, volts));
    QVERIFY(sawLoading);
    QVERIFY(f.LOAD_LAB->isHidden());
    QVERIFY(f.OPEN_FILE_BUTT->isEnabled() && f.Graph_SHOW_BUTT->isEnabled() && f.SET_SHOW_BUTT->isEnabled());
    QVERIFY(t.messages.messages().isEmpty());
    QCOMPARE(f.LOAD_Grid->model()->rowCount(), 501);
    QCOMPARE(f.LOAD_Grid->model()->index(499, 4).data().toString(), u"1.500_V"_s);
    QVERIFY(f.LOAD_Grid->isColumnHidden(1));  // still, after the table was replaced
    QCOMPARE(f.START_TEXT->text(), u"00001"_s);
    QCOMPARE(f.END_TEXT->text(), u"00500"_s);

    QTest::mouseClick(f.Graph_SHOW_BUTT, Qt::LeftButton);
    for (QCustomPlot *plot : {f.LOAD_Graph, f.LOAD_Graph2}) {
        QCOMPARE(plot->graph(0)->dataCount(), 501);
        QCOMPARE(plot->xAxis->range(), QCPRange(1, 500));
    }
    QCOMPARE(f.LOAD_Graph->yAxis->label(), u"DCV"_s);
    QCOMPARE(f.LOAD_Graph->graph(0)->data()->at(500)->value, double(float(1.5)));

    WindowFixture::type(f.START_TEXT, u"100"_s);
    WindowFixture::type(f.END_TEXT, u"200"_s);
    QTest::mouseClick(f.SET_SHOW_BUTT, Qt::LeftButton);
    QVERIFY(t.messages.messages().isEmpty());
    QCOMPARE(f.LOAD_Graph->graph(0)->dataCount(), 102);
    QCOMPARE(f.LOAD_Graph->xAxis->range(), QCPRange(100, 200));

    WindowFixture::type(f.START_TEXT, u"200"_s);
    WindowFixture::type(f.END_TEXT, u"100"_s);
    QTest::mouseClick(f.SET_SHOW_BUTT, Qt::LeftButton);
    QCOMPARE(t.messages.messages().size(), 1);
    QCOMPARE(t.messages.messages()[0].text, u"The \"START NUM\"(200) > \"End NUM\"(100)"_s);
    QCOMPARE(f.LOAD_Graph->graph(0)->dataCount(), 102);
}

// A file whose header is refused empties the table; the range boxes and
// the graphs keep what the file before it gave them.
void TestLoaderWindow::refusedFileKeepsRangeBoxesAndPlot()
{
    WindowFixture t;
    loader::Form_LD &f = t.form;
    t.open(fileOf(11, 40, u"DCV"_s, volts));
    QTest::mouseClick(f.Graph_SHOW_BUTT, Qt::LeftButton);
    WindowFixture::type(f.END_TEXT, u"30"_s);

    // Three spaces before the year where the recorder writes four.
    const QByteArray good = fileOf(1, 3, u"DCV"_s, volts);
    t.open("   2013/05/06-12:34:56,\r\n" + good.sliced(good.indexOf('\n') + 1));
    QCOMPARE(t.messages.messages().size(), 1);
    QCOMPARE(t.messages.messages()[0].text, u"LOAD ERROR~"_s);
    QCOMPARE(f.LOAD_Grid->model()->rowCount(), 1);
    QCOMPARE(f.START_TEXT->text(), u"00011"_s);
    QCOMPARE(f.END_TEXT->text(), u"30"_s);
    QCOMPARE(f.state().LD_POINT_STEP, 1);
    for (QCustomPlot *plot : {f.LOAD_Graph, f.LOAD_Graph2}) {
        QCOMPARE(plot->graph(0)->dataCount(), 31);
        QCOMPARE(plot->xAxis->range(), QCPRange(11, 40));
    }
    QCOMPARE(f.LOAD_Graph->yAxis->label(), u"DCV"_s);
}

void TestLoaderWindow::tickLabels_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("reading");  // %1: 1 to 5
    QTest::addColumn<QString>("pattern");  // every Y tick label matches
    QTest::newRow("scaled: value times factor and the prefixed unit") << u"DCV"_s << u"%1_mV"_s
                                                                       << u"^-?\\d+(\\.\\d+)? mV$"_s;
    QTest::newRow("first format that stays: its text") << u"dBm"_s << u"-%1_dBm"_s << u"^mV$"_s;
    QTest::newRow("kilohms") << u"2W"_s << u"%1_kOhm"_s << u"^\\d+(\\.\\d+)? kOhm$"_s;
}

void TestLoaderWindow::tickLabels()
{
    QFETCH(QString, mode);
    QFETCH(QString, reading);
    QFETCH(QString, pattern);
    WindowFixture t;
    t.open(fileOf(1, 5, mode, [&](int point) { return reading.arg(point); }));
    QTest::mouseClick(t.form.Graph_SHOW_BUTT, Qt::LeftButton);
    const QStringList labels = WindowFixture::yLabels(t.form.LOAD_Graph);
    QVERIFY(labels.size() >= 2);
    const QRegularExpression expected(pattern);
    for (const QString &label : labels)
        QVERIFY2(expected.match(label).hasMatch(), qPrintable(labels.join(u" | ")));
}

// A run of five million points: the point axis writes every number in
// full, its thousands grouped; no power of ten beside "500,000".
void TestLoaderWindow::pointAxisInFull()
{
    WindowFixture t;
    t.open(fileOfPoints({1, 5000000}, u"DCV"_s, volts));
    QTest::mouseClick(t.form.Graph_SHOW_BUTT, Qt::LeftButton);
    for (QCustomPlot *plot : {t.form.LOAD_Graph, t.form.LOAD_Graph2}) {
        plot->replot();
        const QList<QString> labels = plot->xAxis->tickVectorLabels();
        QCOMPARE(QStringList(labels.cbegin(), labels.cend()),
                 (QStringList{u"500,000"_s, u"1,000,000"_s, u"1,500,000"_s, u"2,000,000"_s, u"2,500,000"_s,
                              u"3,000,000"_s, u"3,500,000"_s, u"4,000,000"_s, u"4,500,000"_s, u"5,000,000"_s}));
    }
}

// "View Display 1 + 2": the two plot areas start and end at the same x in
// the window, whichever graph has the wider labels.
void TestLoaderWindow::bothGraphsShareTheirPlotEdges_data()
{
    QTest::addColumn<bool>("wideAbove");  // the kilohms on graph 1, else on graph 2
    QTest::newRow("wide labels on graph 1") << true;
    QTest::newRow("wide labels on graph 2") << false;
}

void TestLoaderWindow::bothGraphsShareTheirPlotEdges()
{
    QFETCH(bool, wideAbove);
    const auto kilohms = [](int point) { return rt::pattern(10 + point / 10000.0, u"0.0000") + u"_kOhm"_s; };
    const auto small = [](int point) { return rt::pattern(point % 3, u"0") + u"_V"_s; };
    WindowFixture t;
    t.open(wideAbove ? fileOf(1, 50, u"2W"_s, kilohms, u"DCV"_s, small)
                     : fileOf(1, 50, u"DCV"_s, small, u"2W"_s, kilohms));
    QTest::mouseClick(t.form.DIS_SHOW_OPT[2], Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(t.form.Graph_SHOW_BUTT, Qt::LeftButton);
    const auto plotArea = [&](QCustomPlot *plot) {
        plot->replot();
        return plot->axisRect()->rect().translated(plot->geometry().topLeft());
    };
    const QRect above = plotArea(t.form.LOAD_Graph);
    const QRect below = plotArea(t.form.LOAD_Graph2);
    QCOMPARE(above.left(), below.left());
    QCOMPARE(above.right(), below.right());
    QVERIFY(above.bottom() < below.top());
    // The wide labels are whole left of the plot area.
    QCustomPlot *wide = wideAbove ? t.form.LOAD_Graph : t.form.LOAD_Graph2;
    const QFontMetrics metrics(wide->yAxis->tickLabelFont());
    for (const QString &label : wide->yAxis->tickVectorLabels())
        QVERIFY2(metrics.horizontalAdvance(label) < above.left() - wide->x(), qPrintable(label));
}

void TestLoaderWindow::oneRecordStaysInSight()
{
    WindowFixture t;
    t.open(fileOf(42, 42, u"DCV"_s, volts));
    QTest::mouseClick(t.form.Graph_SHOW_BUTT, Qt::LeftButton);
    QCustomPlot *plot = t.form.LOAD_Graph;
    QVERIFY(plot->xAxis->range().contains(42));
    QVERIFY(plot->xAxis->range().size() > 0);
    const double value = plot->graph(0)->data()->at(1)->value;
    QVERIFY(plot->yAxis->range().contains(value));
    QVERIFY(plot->yAxis->range().size() > 0);
    QCOMPARE(plot->graph(0)->scatterStyle().shape(), QCPScatterStyle::ssDisc);
}

// A long run, handed to the graph in one piece, is drawn from all of its
// values: in every pixel column of the drawn graph, the points handed over
// reach exactly as low and as high as the file's own, and a gap stays a
// gap.
void TestLoaderWindow::longRunDrawsTheSameLine()
{
    WindowFixture t;
    t.open(fileOf(1, 30000, u"DCV"_s, [](int point) {
        if (point == 12345)
            return u"1e999_V"_s;  // beyond the graph: a gap
        const double spike = point % 997 == 0 ? 3 : 0;
        return rt::pattern(std::sin(point / 50.0) + spike, u"0.0000") + u"_V"_s;
    }));
    QTest::mouseClick(t.form.Graph_SHOW_BUTT, Qt::LeftButton);
    QCustomPlot *plot = t.form.LOAD_Graph;
    plot->replot();
    const loader::LoadGraph &graph = t.form.state().LOAD_Graph;
    const QCPGraphDataContainer &drawn = *plot->graph(0)->data();
    QCOMPARE(graph.y.size(), 30001);

    struct Column
    {
        double low = qInf();
        double high = -qInf();
        bool gap = false;
        bool operator==(const Column &) const = default;
    };
    const auto add = [&](std::map<int, Column> &columns, double key, double value) {
        Column &c = columns[int(std::floor(plot->xAxis->coordToPixel(key)))];
        c.gap = c.gap || std::isnan(value);
        if (!std::isnan(value)) {
            c.low = std::min(c.low, value);
            c.high = std::max(c.high, value);
        }
    };
    std::map<int, Column> file;
    for (qsizetype i = 0; i < graph.y.size(); ++i)
        add(file, graph.x[i], graph.y[i]);
    std::map<int, Column> handed;
    for (auto point = drawn.constBegin(); point != drawn.constEnd(); ++point)
        add(handed, point->key, point->value);
    QVERIFY(file.size() > 500);  // a column per pixel of the graph's width
    QVERIFY(std::any_of(file.cbegin(), file.cend(), [](const auto &c) { return c.second.gap; }));
    QVERIFY(handed == file);
}

void TestLoaderWindow::longLoadShowsCancellableProgress()
{
    WindowFixture t;
    loader::Loader &ld = t.form.state();
    ld.progressAfter = std::chrono::milliseconds(0);  // every load is long here
    ld.loadSlice = 1000;
    int reports = 0;
    bool shownWhileLoading = true;
    connect(&ld, &loader::Loader::loadProgress, this, [&] {
        auto *progress = t.form.findChild<QProgressDialog *>();
        shownWhileLoading = shownWhileLoading && progress && progress->isVisible() && progress->isModal()
                            && t.form.LOAD_LAB->isVisible() && !t.form.OPEN_FILE_BUTT->isEnabled();
        if (++reports == 3 && progress)
            QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
    });
    t.open(fileOf(1, 300, u"DCV"_s, volts));

    QVERIFY(shownWhileLoading);
    QCOMPARE(reports, 3);  // the Cancel took at once
    QCOMPARE(t.form.findChild<QProgressDialog *>(), nullptr);
    QVERIFY(t.form.OPEN_FILE_BUTT->isEnabled());
    const int rows = ld.LOAD_Grid.records();
    QVERIFY(rows > 0 && rows < 300);
    QCOMPARE(t.messages.messages().size(), 1);
    QVERIFY2(t.messages.messages()[0].text.endsWith(u"The load was cancelled."_s),
             qPrintable(t.messages.messages()[0].text));
    QCOMPARE(t.form.LOAD_Grid->model()->rowCount(), rows + 1);
}

void TestLoaderWindow::longPlotShowsProgress()
{
    WindowFixture t;
    loader::Loader &ld = t.form.state();
    t.open(fileOf(1, 300, u"DCV"_s, volts));
    ld.progressAfter = std::chrono::milliseconds(0);  // every plot is long here
    ld.plotSlice = 10;
    ld.plotHelpers = 0;  // every slice on the window's thread, each reported
    int reports = 0;
    bool shown = true;
    connect(&ld, &loader::Loader::plotProgress, this, [&] {
        auto *progress = t.form.findChild<QProgressDialog *>();
        shown = shown && progress && progress->isVisible() && progress->isModal()
                && progress->labelText() == u"Plotting"_s;
        ++reports;
    });
    QTest::mouseClick(t.form.Graph_SHOW_BUTT, Qt::LeftButton);

    QVERIFY(reports > 0);
    QVERIFY(shown);
    QCOMPARE(t.form.findChild<QProgressDialog *>(), nullptr);
    QCOMPARE(t.form.LOAD_Graph->graph(0)->dataCount(), 301);
    QVERIFY(t.messages.messages().isEmpty());
}

// A plot runs in three stages: its value lists are made beside the window,
// its rows converted slice by slice, and the graphs' own points built
// beside the window. A Cancel pressed in any of them, heard as a click is,
// with the other events of the stage, leaves both graphs empty, the Y axes
// as they were, and one status line; the next plot is whole.
void TestLoaderWindow::cancelInEachStageOfAPlot_data()
{
    QTest::addColumn<bool>("range");     // "Plot Range" 1 to 300, else "Plot Graph"
    QTest::addColumn<bool>("beside");    // the lists and points are made beside the window
    QTest::addColumn<int>("slice");      // rows converted at a time
    QTest::addColumn<int>("pressAt");    // Cancel pressed on this report of the stage (1 = its first)
    QTest::addColumn<int>("stageFrom");  // the reports of the stage, in percent
    QTest::addColumn<int>("stageTo");
    // A stage beside the window reports as it starts, as it ends and at
    // each paint between; with one slice the rows report nothing: the
    // lists report 0 and the graphs' points 100.
    for (const bool range : {false, true}) {
        const char *plot = range ? "Plot Range" : "Plot Graph";
        QTest::addRow("%s, making the value lists", plot) << range << true << 1000 << 1 << 0 << 0;
        QTest::addRow("%s, converting the rows", plot) << range << false << 10 << 3 << 1 << 99;
        QTest::addRow("%s, building the graphs' points", plot) << range << true << 1000 << 1 << 100 << 100;
    }
}

void TestLoaderWindow::cancelInEachStageOfAPlot()
{
    QFETCH(bool, range);
    QFETCH(bool, beside);
    QFETCH(int, slice);
    QFETCH(int, pressAt);
    QFETCH(int, stageFrom);
    QFETCH(int, stageTo);
    WindowFixture t;
    loader::Loader &ld = t.form.state();
    t.open(fileOf(1, 300, u"DCV"_s, volts));
    const QCPRange yBefore = t.form.LOAD_Graph->yAxis->range();
    ld.progressAfter = std::chrono::milliseconds(0);  // every plot is long here
    ld.plotSlice = slice;
    ld.plotHelpers = 0;  // every slice on the window's thread, each reported
    ld.besideFrom = beside ? 0 : 1 << 30;
    QList<int> reports;
    qsizetype pressed = -1;  // the report it was pressed on
    int inStage = 0;
    const auto press = connect(&ld, &loader::Loader::plotProgress, this, [&](int percent) {
        reports.append(percent);
        if (percent < stageFrom || percent > stageTo || ++inStage != pressAt)
            return;
        pressed = reports.size() - 1;
        // Queued as the user's click is, to be heard while the stage runs.
        auto *cancel = t.form.findChild<QProgressDialog *>()->findChild<QPushButton *>();
        QMetaObject::invokeMethod(cancel, &QPushButton::click, Qt::QueuedConnection);
    });
    QSignalSpy told(&ld, &loader::Loader::told);
    QPushButton *button = range ? t.form.SET_SHOW_BUTT : t.form.Graph_SHOW_BUTT;
    QTest::mouseClick(button, Qt::LeftButton);

    // Heard in the stage it was pressed in: no report from a later one.
    QVERIFY(pressed >= 0);
    for (qsizetype i = pressed; i < reports.size(); ++i)
        QVERIFY2(reports[i] >= stageFrom && reports[i] <= stageTo,
                 qPrintable(u"report %1 of %2: %3%"_s.arg(i + 1).arg(reports.size()).arg(reports[i])));
    QCOMPARE(told.size(), 1);
    QCOMPARE(told[0][0].toString(), u"Plot cancelled: both graphs are left empty."_s);
    QVERIFY(t.messages.messages().isEmpty());
    QCOMPARE(t.form.findChild<QProgressDialog *>(), nullptr);
    for (QCustomPlot *plot : {t.form.LOAD_Graph, t.form.LOAD_Graph2}) {
        QCOMPARE(plot->graph(0)->dataCount(), 0);
        QCOMPARE(plot->yAxis->label(), u"Range MODE"_s);
        QCOMPARE(plot->yAxis->range(), yBefore);
    }
    QVERIFY(ld.LOAD_Graph.y.isEmpty() && ld.LOAD_Graph2.y.isEmpty());
    QVERIFY(button->isEnabled());

    // The next plot is not cancelled by this one's Cancel.
    disconnect(press);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(t.form.LOAD_Graph->graph(0)->dataCount(), 301);
    QCOMPARE(t.form.LOAD_Graph2->graph(0)->dataCount(), 301);
    QCOMPARE(told.size(), 1);
}

// A long stage reports the same percentage again and again (the graphs'
// points at 100): a Cancel pressed meanwhile is heard at the next report,
// not lost with the progress at the end.
void TestLoaderWindow::cancelHeardAtARepeatedValue()
{
    WindowFixture t;
    loader::Loader &ld = t.form.state();
    Q_EMIT ld.plotProgress(100);
    auto *progress = t.form.findChild<QProgressDialog *>();
    QVERIFY(progress && progress->isVisible());
    QMetaObject::invokeMethod(progress->findChild<QPushButton *>(), &QPushButton::click, Qt::QueuedConnection);
    Q_EMIT ld.plotProgress(100);
    QVERIFY(ld.plotCancelled);
    ld.plotCancelled = false;
    RESET_LOAD_GRAPHS(ld);  // the plot's end
    QCOMPARE(t.form.findChild<QProgressDialog *>(), nullptr);
}

// The Open dialog lists a recorded run's file, or a scanner set-up, with
// its name whole: the date and time in it tell runs apart.
void TestLoaderWindow::openDialogShowsNamesWhole_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("names");  // the first is measured
    QTest::newRow("recorded data") << QString() << loader::kOpenFilter.toString()
                                   << QStringList{u"DMM-20261211-102250-001.txt"_s, u"DMM-20261211-102250-002.txt"_s,
                                                  u"a.txt"_s};
    QTest::newRow("scanner set-up") << u"Load ScanBox Status"_s << u"Ini (*.ini)"_s
                                    << QStringList{u"Bench_four_wire_channels_1_to_18.ini"_s, u"Set.ini"_s};
}

void TestLoaderWindow::openDialogShowsNamesWhole()
{
    QFETCH(QString, caption);
    QFETCH(QString, filter);
    QFETCH(QStringList, names);
    QTemporaryDir dir;
    for (const QString &name : names) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(QByteArray(1234, 'x')) == 1234);
    }
    std::unique_ptr<QFileDialog> dialog(windows::openFileDialog(nullptr, caption, dir.path(), filter));
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    auto *view = dialog->findChild<QTreeView *>();
    QVERIFY(view && view->isVisible());
    QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), names.size());
    // The name's text, its icon, and the style's margins round each.
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const int need = view->fontMetrics().horizontalAdvance(names[0]) + view->iconSize().width() + 4 * margin;
    QTRY_VERIFY2(view->columnWidth(0) >= need && view->header()->sectionViewportPosition(0) >= 0
                     && view->header()->sectionViewportPosition(0) + view->columnWidth(0) <= view->viewport()->width(),
                 qPrintable(u"the name column is %1 wide at %2 in a list %3 wide; \"%4\" needs %5"_s
                                .arg(view->columnWidth(0))
                                .arg(view->header()->sectionViewportPosition(0))
                                .arg(view->viewport()->width())
                                .arg(names[0])
                                .arg(need)));
    if (const QScreen *screen = dialog->screen())
        QVERIFY(screen->availableGeometry().contains(dialog->geometry()));
}

void TestLoaderWindow::returnToMain()
{
    rt::MessageRecorder messages;
    QPointer<loader::Form_LD> form = new loader::Form_LD;
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    QTest::mouseClick(form->Quit_BUTT, Qt::LeftButton);
    QTRY_VERIFY(form.isNull());
    QVERIFY(messages.messages().isEmpty());
}

QTEST_MAIN(TestLoaderWindow)
#include "tst_loader_window.moc"
