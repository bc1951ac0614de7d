// Plotting a loaded file: the whole file and a range of points on both
// graphs, the range checks with their messages in order, the Y range and
// the axis formats, files that do not start at point 1, one record, equal
// point numbers, gaps in the numbering, and a run's own recorded file.

#include "formats/recorded_data.h"
#include "loader/axis_units.h"
#include "loader/file_loading.h"
#include "loader/load_plots.h"
#include "loader/loader_state.h"
#include "loader/sliced_work.h"
#include "platform/dialogs.h"
#include "platform/panel_timer.h"
#include "platform/runtime.h"
#include "support/run_fixture.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <new>
#include <thread>

using namespace Qt::StringLiterals;
using loader::LoadGraph;

namespace {

const QDateTime kCreated(QDate(2013, 5, 6), QTime(12, 34, 56));

struct Rec
{
    qint32 point;
    QString MODE1;
    QString DISPLAY1;
    QString MODE2 = {};
    QString DISPLAY2 = {};
};

// A recorded file as the writer lays it out.
QByteArray fileOf(const QList<Rec> &records)
{
    QByteArray bytes = formats::headerBytes(kCreated);
    qint64 second = 0;
    for (const Rec &r : records) {
        ++second;
        bytes += formats::recordLine({r.point, formats::elapsedText(second), kCreated.addSecs(second),
                                      r.MODE1, r.DISPLAY1, r.MODE2, r.DISPLAY2})
                     .toUtf8();
    }
    return bytes;
}

// Points `from` to `to`, display 1 in volts.
QList<Rec> volts(int from, int to, const std::function<double(int)> &value)
{
    QList<Rec> records;
    for (int point = from; point <= to; ++point)
        records.append({point, u"DCV"_s, rt::pattern(value(point), u"0.000") + u"_V"_s});
    return records;
}

double millivolts(int point) { return 1 + point / 1000.0; }

QList<double> range(double from, double to)
{
    QList<double> out;
    for (double x = from; x <= to; ++x)
        out.append(x);
    return out;
}

struct LoaderFixture
{
    void load(const QByteArray &bytes)
    {
        const QString path = dir.filePath(u"loaded.txt"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        loader::loadRecordedFile(ld, path);
    }
    void setRange(const QString &start, const QString &end)
    {
        ld.START_TEXT = start;
        ld.END_TEXT = end;
    }
    QString lastMessage() const
    {
        return messages.messages().isEmpty() ? QString() : messages.messages().last().text;
    }

    QTemporaryDir dir;
    loader::Loader ld;
    rt::MessageRecorder messages;
};

} // namespace

class TestLoaderPlots : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wholeFile();
    void rangeOfPoints();
    void rangeInputErrors_data();
    void rangeInputErrors();
    void emptyGrid_data();
    void emptyGrid();
    void valueRangeAndFormat_data();
    void valueRangeAndFormat();
    void unplottableValues_data();
    void unplottableValues();
    void formatsByFunction_data();
    void formatsByFunction();
    void fileNumberedFrom501();
    void oneRecord();
    void equalPointNumbers();
    void startMovesUpToTheStep();
    void gapsInTheNumbering();
    void recordedRunLiesOnItsOwnAxis();
    void slicedPlotIsTheWholePlot_data();
    void slicedPlotIsTheWholePlot();
    void longPlotProgressAndCancel_data();
    void longPlotProgressAndCancel();
    void workBesideTheWindow();
};

void TestLoaderPlots::wholeFile()
{
    LoaderFixture t;
    t.load(fileOf(volts(1, 500, millivolts)));
    QSignalSpy changed(&t.ld, &loader::Loader::graphsChanged);
    loader::Graph_SHOW_BUTT_Click(t.ld);
    QCOMPARE(changed.size(), 1);
    QVERIFY(t.messages.messages().isEmpty());

    for (const LoadGraph *g : {&t.ld.LOAD_Graph, &t.ld.LOAD_Graph2}) {
        QCOMPARE(g->xCaption, u"Total Points"_s);
        QCOMPARE(g->xFrom, 1.0);  // "00001"
        QCOMPARE(g->xTo, 500.0);  // "00500"
        QCOMPARE(g->xMajorDivisions, 10);
        QCOMPARE(g->xMinorDivisions, 5);
        // A point of value 0 before the first, then each record at its point.
        QCOMPARE(g->x, QList<double>{0.0} + range(1, 500));
        QCOMPARE(g->y.size(), 501);
        QCOMPARE(g->y[0], 0.0);
    }
    const LoadGraph &g1 = t.ld.LOAD_Graph;
    QCOMPARE(g1.yCaption, u"DCV"_s);
    for (int point : {1, 250, 500})
        QCOMPARE(g1.y[point], double(float(millivolts(point))));
    QCOMPARE(g1.yFormat, u"*1\" V\""_s);  // 1.5 V at most

    // No display 2 in the file: a flat line at 0, no caption, no format.
    const LoadGraph &g2 = t.ld.LOAD_Graph2;
    QCOMPARE(g2.yCaption, QString());
    QVERIFY(std::all_of(g2.y.cbegin(), g2.y.cend(), [](double v) { return v == 0; }));
    QVERIFY(g2.yRange && g2.yRange->first < 0 && g2.yRange->second > 0);
    QCOMPARE(g2.yFormat, std::nullopt);
}

void TestLoaderPlots::rangeOfPoints()
{
    LoaderFixture t;
    QList<Rec> records = volts(1, 500, millivolts);
    for (Rec &r : records) {
        r.MODE2 = u"DCV"_s;
        r.DISPLAY2 = rt::pattern(-r.point, u"0") + u"_mV"_s;
    }
    t.load(fileOf(records));
    t.setRange(u"100"_s, u"200"_s);
    loader::SET_SHOW_BUTT_Click(t.ld);
    QVERIFY(t.messages.messages().isEmpty());

    for (const LoadGraph *g : {&t.ld.LOAD_Graph, &t.ld.LOAD_Graph2}) {
        QCOMPARE(g->xFrom, 100.0);
        QCOMPARE(g->xTo, 200.0);
        QCOMPARE(g->x, QList<double>{0.0} + range(100, 200));
    }
    // Graph 1 starts with the first value at X = 0, graph 2 with 0.
    const LoadGraph &g1 = t.ld.LOAD_Graph;
    QCOMPARE(g1.y.first(), double(float(millivolts(100))));
    QCOMPARE(g1.y[1], double(float(millivolts(100))));
    QCOMPARE(g1.y.last(), double(float(millivolts(200))));
    const LoadGraph &g2 = t.ld.LOAD_Graph2;
    QCOMPARE(g2.y.first(), 0.0);
    QCOMPARE(g2.y[1], double(float(-0.1)));
    QCOMPARE(g2.y.last(), double(float(-0.2)));
    QCOMPARE(g2.yCaption, u"DCV"_s);
    QCOMPARE(g2.yFormat, u"*1000\" mV\""_s);
    QCOMPARE(t.ld.START_TEXT, u"100"_s);
}

void TestLoaderPlots::rangeInputErrors_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("message");
    QTest::newRow("end before start") << u"200"_s << u"100"_s << u"The \"START NUM\"(200) > \"End NUM\"(100)"_s;
    QTest::newRow("start before the first point") << u"0"_s << u"10"_s << u"The \"START NUM\" < \"00001\""_s;
    QTest::newRow("end after the last point") << u"1"_s << u"600"_s << u"The \"END Time\" > \"00500\""_s;
    QTest::newRow("end before start comes first") << u"600"_s << u"0"_s << u"The \"START NUM\"(600) > \"End NUM\"(0)"_s;
    QTest::newRow("start before first comes before end after last")
        << u"0"_s << u"600"_s << u"The \"START NUM\" < \"00001\""_s;
    QTest::newRow("12:30 reads as 12") << u"12:30"_s << u"11"_s << u"The \"START NUM\"(12:30) > \"End NUM\"(11)"_s;
}

void TestLoaderPlots::rangeInputErrors()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, message);
    LoaderFixture t;
    t.load(fileOf(volts(1, 500, millivolts)));
    loader::Graph_SHOW_BUTT_Click(t.ld);
    const LoadGraph before = t.ld.LOAD_Graph;

    QSignalSpy changed(&t.ld, &loader::Loader::graphsChanged);
    t.setRange(start, end);
    loader::SET_SHOW_BUTT_Click(t.ld);
    QCOMPARE(t.messages.messages().size(), 1);
    const rt::Message &m = t.messages.messages().first();
    QCOMPARE(m.text, message);
    QCOMPARE(m.title, u"Input error"_s);
    QCOMPARE(m.icon, rt::MessageIcon::Critical);
    // The graphs keep the previous plot.
    QCOMPARE(changed.size(), 0);
    QCOMPARE(t.ld.LOAD_Graph.x, before.x);
    QCOMPARE(t.ld.LOAD_Graph.xFrom, before.xFrom);
}

void TestLoaderPlots::emptyGrid_data()
{
    QTest::addColumn<QByteArray>("file");  // empty: the grid cleared instead
    QTest::newRow("cleared grid") << QByteArray();
    QTest::newRow("rejected file") << QByteArray("   2013/05/06-12:34:56,\r\n");
    QTest::newRow("header only") << formats::headerBytes(kCreated);
}

void TestLoaderPlots::emptyGrid()
{
    QFETCH(QByteArray, file);
    LoaderFixture t;
    t.load(fileOf(volts(1, 5, millivolts)));
    loader::Graph_SHOW_BUTT_Click(t.ld);
    if (!file.isEmpty())
        t.load(file);
    else
        t.ld.LOAD_Grid.Clear_L_GRID();
    t.messages.clear();

    loader::Graph_SHOW_BUTT_Click(t.ld);
    loader::SET_SHOW_BUTT_Click(t.ld);
    const QList<rt::Message> expected{
        {u"The Grid is no data"_s, u"ERROR"_s, rt::MessageIcon::Critical},
        {u"The Grid is no data!"_s, u"ERROR"_s, rt::MessageIcon::Critical},
    };
    QCOMPARE(t.messages.messages().size(), 2);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(t.messages.messages()[i].text, expected[i].text);
        QCOMPARE(t.messages.messages()[i].title, expected[i].title);
        QCOMPARE(t.messages.messages()[i].icon, expected[i].icon);
    }
    // "Plot Graph" cleared both graphs before it found nothing to plot.
    QVERIFY(t.ld.LOAD_Graph.x.isEmpty());
    QVERIFY(t.ld.LOAD_Graph2.x.isEmpty());
    QCOMPARE(t.ld.LOAD_Graph.yCaption, u"Range MODE"_s);
}

void TestLoaderPlots::valueRangeAndFormat_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("readings");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<QString>("format");

    QTest::newRow("1 V to 3 V") << u"DCV"_s << QStringList{u"1.000_V"_s, u"2.500_V"_s, u"3.000_V"_s}
                                << 0.8 << 3.2 << uR"(*1" V")"_s;
    QTest::newRow("-5 V to -1 V: 5 decides the prefix")
        << u"DCV"_s << QStringList{u"-1.000_V"_s, u"-5.000_V"_s} << -5.4 << -0.6 << uR"(*1" V")"_s;
    QTest::newRow("-0.5 V to 0.2 V") << u"ACV"_s << QStringList{u"-500.0_mV"_s, u"0.2000_V"_s}
                                     << -0.57 << 0.27 << uR"(*1000" mV")"_s;
    QTest::newRow("0 to 1 exactly") << u"DCV"_s << QStringList{u"0.000_V"_s, u"1.000_V"_s} << -0.1 << 1.1
                                    << uR"(*1000" mV")"_s;
    QTest::newRow("just over 1000 V") << u"DCV"_s << QStringList{u"999.0_V"_s, u"1.0005_kV"_s}
                                      << 998.85 << 1000.65 << uR"(*0.001" kV")"_s;
    QTest::newRow("all 0") << u"DCV"_s << QStringList{u"0_V"_s, u"0_V"_s} << -1.0 << 1.0
                           << uR"(*1000000" uV")"_s;
    QTest::newRow("constant readings") << u"DCV"_s << QStringList{u"1.500_V"_s, u"1.500_V"_s} << 1.35 << 1.65
                                       << uR"(*1" V")"_s;
    QTest::newRow("kilohms") << u"2W"_s << QStringList{u"10.0001_kOhm"_s, u"12_kOhm"_s} << 9800.11 << 12199.99
                             << uR"(*0.001" kOhm")"_s;
    QTest::newRow("empty resistance reading reads 0") << u"4W"_s << QStringList{u"\u3000"_s, u"2_MOhm"_s}
                                                       << -200000.0 << 2200000.0 << uR"(*0.000001" MOhm")"_s;
    QTest::newRow("dBm has no family: the first format stays")
        << u"dBm"_s << QStringList{u"-10_dBm"_s, u"-20_dBm"_s} << -0.021 << -0.009 << uR"("mV")"_s;
}

void TestLoaderPlots::valueRangeAndFormat()
{
    QFETCH(QString, mode);
    QFETCH(QStringList, readings);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(QString, format);
    QList<Rec> records;
    for (const QString &reading : readings)
        records.append({qint32(records.size() + 1), mode, reading});
    LoaderFixture t;
    t.load(fileOf(records));
    for (int plot = 0; plot < 2; ++plot) {
        if (plot == 0) {
            loader::Graph_SHOW_BUTT_Click(t.ld);
        } else {
            t.setRange(u"1"_s, QString::number(records.size()));
            loader::SET_SHOW_BUTT_Click(t.ld);
        }
        const LoadGraph &g = t.ld.LOAD_Graph;
        QVERIFY(g.yRange);
        QVERIFY2(qAbs(g.yRange->first - low) < 1e-4 * qMax(1.0, qAbs(low)), qPrintable(QString::number(g.yRange->first)));
        QVERIFY2(qAbs(g.yRange->second - high) < 1e-4 * qMax(1.0, qAbs(high)), qPrintable(QString::number(g.yRange->second)));
        QCOMPARE(g.yFormat, format);
    }
}

void TestLoaderPlots::unplottableValues_data()
{
    // Display 1 in volts or kilohms, display 2 beside it.
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("readings1");
    QTest::addColumn<QStringList>("readings2");
    QTest::addColumn<double>("low");  // graph 1's Y range
    QTest::addColumn<double>("high");
    QTest::addColumn<QString>("message");

    const auto beyond = [](int row, int display, const QString &text) {
        return u"Display%1 of row %2 (point %3), \"%4\", is beyond the graph's range and is not plotted."_s.arg(display)
            .arg(row)
            .arg(rt::pattern(row, u"00000"), text);
    };
    QTest::newRow("1e999 among volts")
        << u"DCV"_s << QStringList{u"1.000_V"_s, u"1e999_V"_s, u"3.000_V"_s} << QStringList() << 0.8 << 3.2
        << beyond(2, 1, u"1e999_V"_s);
    QTest::newRow("9E+37 kilohms first")
        << u"2W"_s << QStringList{u"9E+37_kOhm"_s, u"1_kOhm"_s, u"2_kOhm"_s} << QStringList() << 900.0 << 2100.0
        << beyond(1, 1, u"9E+37_kOhm"_s);
    QTest::newRow("nothing plottable") << u"DCV"_s << QStringList{u"1e999_V"_s, u"-1e999_V"_s} << QStringList()
                                       << -1.0 << 1.0 << beyond(1, 1, u"1e999_V"_s);
    QTest::newRow("the largest single-precision values are plotted")
        << u"DCV"_s << QStringList{u"3.4E+38_V"_s, u"-3.4E+38_V"_s} << QStringList() << -4.08e38 << 4.08e38
        << QString();
    QTest::newRow("both displays, each named")
        << u"DCV"_s << QStringList{u"1.000_V"_s, u"2.000_V"_s, u"-1e40_V"_s}
        << QStringList{u"1_V"_s, u"1e999_V"_s, u"1e999_V"_s} << 0.9 << 2.1
        << beyond(3, 1, u"-1e40_V"_s) + u"\n"_s + beyond(2, 2, u"1e999_V"_s);
}

void TestLoaderPlots::unplottableValues()
{
    QFETCH(QString, mode);
    QFETCH(QStringList, readings1);
    QFETCH(QStringList, readings2);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(QString, message);
    QList<Rec> records;
    for (const QString &reading : readings1)
        records.append({qint32(records.size() + 1), mode, reading, mode, readings2.value(records.size())});
    LoaderFixture t;
    t.load(fileOf(records));
    for (int plot = 0; plot < 2; ++plot) {
        t.messages.clear();
        if (plot == 0) {
            loader::Graph_SHOW_BUTT_Click(t.ld);
        } else {
            t.setRange(u"1"_s, QString::number(records.size()));
            loader::SET_SHOW_BUTT_Click(t.ld);
        }
        if (message.isEmpty()) {
            QVERIFY(t.messages.messages().isEmpty());
        } else {
            QCOMPARE(t.messages.messages().size(), 1);
            QCOMPARE(t.lastMessage(), message);
            QCOMPARE(t.messages.messages()[0].title, u"plot error"_s);
        }
        // What could not be plotted is a gap; the rest is plotted, and the
        // axis is set from it.
        for (const LoadGraph *g : {&t.ld.LOAD_Graph, &t.ld.LOAD_Graph2}) {
            const QStringList &readings = g == &t.ld.LOAD_Graph ? readings1 : readings2;
            QCOMPARE(g->y.size(), records.size() + 1);
            for (int row = 1; row <= records.size(); ++row) {
                const QString reading = readings.value(row - 1);
                QStringView text = reading;
                const double value = loader::GRID_NUM_C(text);
                const bool plottable = std::isfinite(float(value));
                QCOMPARE(std::isnan(g->y[row]), !plottable);
                if (plottable)
                    QCOMPARE(float(g->y[row]), float(value));
            }
            QVERIFY(g->yRange && std::isfinite(g->yRange->first) && std::isfinite(g->yRange->second));
        }
        const auto [from, to] = *t.ld.LOAD_Graph.yRange;
        QVERIFY2(qAbs(from - low) < 1e-4 * qMax(1.0, qAbs(low)), qPrintable(QString::number(from)));
        QVERIFY2(qAbs(to - high) < 1e-4 * qMax(1.0, qAbs(high)), qPrintable(QString::number(to)));
    }
}

void TestLoaderPlots::formatsByFunction_data()
{
    QTest::addColumn<QList<Rec>>("records");
    QTest::addColumn<QString>("format1");
    QTest::addColumn<QString>("format2");

    // Display 2 in REL takes the unit of display 1's function.
    QTest::newRow("REL with Mode 1 DCV: volts")
        << QList<Rec>{{1, u"DCV"_s, u"1.0_V"_s, u"REL"_s, u"0.5_V"_s}, {2, u"DCV"_s, u"1.1_V"_s, u"REL"_s, u"0.6_V"_s}}
        << uR"(*1" V")"_s << uR"(*1000" mV")"_s;
    QTest::newRow("REL with Mode 1 Diode: first format stays")
        << QList<Rec>{{1, u"Diode"_s, u"0.6_V"_s, u"REL"_s, u"0.1_V"_s}, {2, u"Diode"_s, u"0.6_V"_s, u"REL"_s, u"0.2_V"_s}}
        << uR"(*1000" mV")"_s << uR"("mV")"_s;
    // The caption row picks the first format, the last row the family.
    QTest::newRow("MX+B: family from the last row's Mode 1")
        << QList<Rec>{{1, u"ACV"_s, u"1_V"_s, u"MX+B"_s, u"5_V"_s}, {2, u"ACV"_s, u"1_V"_s, u"MX+B"_s, u"5_V"_s},
                      {3, u"2W"_s, u"1_kOhm"_s, u"MX+B"_s, u"5_kOhm"_s}}
        << uR"(*1" V")"_s << uR"(*0.001" kOhm")"_s;
    QTest::newRow("HOLD on display 2")
        << QList<Rec>{{1, u"DCV"_s, u"1_V"_s, u"HOLD"_s, u"25.00 %"_s}, {2, u"DCV"_s, u"2_V"_s, u"HOLD"_s, u"30.00 %"_s}}
        << uR"(*1" V")"_s << uR"(*1" %")"_s;
}

void TestLoaderPlots::formatsByFunction()
{
    QFETCH(QList<Rec>, records);
    QFETCH(QString, format1);
    QFETCH(QString, format2);
    LoaderFixture t;
    t.load(fileOf(records));
    loader::Graph_SHOW_BUTT_Click(t.ld);
    QCOMPARE(t.ld.LOAD_Graph.yFormat, format1);
    QCOMPARE(t.ld.LOAD_Graph2.yFormat, format2);

    // A function the tables do not know sets no format: both stay.
    for (const QString &unknown : {u"DIODE"_s, u"dcv"_s}) {
        t.load(fileOf({{1, unknown, u"1_V"_s, unknown, u"1_V"_s}, {2, unknown, u"2_V"_s, unknown, u"2_V"_s}}));
        loader::Graph_SHOW_BUTT_Click(t.ld);
        QCOMPARE(t.ld.LOAD_Graph.yCaption, unknown);
        QCOMPARE(t.ld.LOAD_Graph.yFormat, format1);
        QCOMPARE(t.ld.LOAD_Graph2.yFormat, format2);
    }
}

void TestLoaderPlots::fileNumberedFrom501()
{
    LoaderFixture t;
    t.load(fileOf(volts(501, 1000, millivolts)));
    QCOMPARE(t.ld.LD_POINT_STEP, 1);
    loader::Graph_SHOW_BUTT_Click(t.ld);
    const LoadGraph &g = t.ld.LOAD_Graph;
    QCOMPARE(g.xFrom, 501.0);
    QCOMPARE(g.xTo, 1000.0);
    // On its own axis: the lead point one step before point 501.
    QCOMPARE(g.x, QList<double>{500.0} + range(501, 1000));
    QCOMPARE(g.y[1], double(float(millivolts(501))));

    t.setRange(u"600"_s, u"700"_s);
    loader::SET_SHOW_BUTT_Click(t.ld);
    QVERIFY(t.messages.messages().isEmpty());
    QCOMPARE(g.x, QList<double>{0.0} + range(600, 700));
    QCOMPARE(g.y[1], double(float(millivolts(600))));
    QCOMPARE(g.y.last(), double(float(millivolts(700))));
}

void TestLoaderPlots::oneRecord()
{
    LoaderFixture t;
    // A longer file first: its rows must not speak for the next one.
    t.load(fileOf(volts(1, 3, millivolts)));
    t.load(fileOf({{42, u"ACI"_s, u"0.250_A"_s}}));
    QVERIFY(t.messages.messages().isEmpty());
    QCOMPARE(t.ld.LD_POINT_STEP, 1);
    QCOMPARE(t.ld.START_TEXT, u"00042"_s);
    QCOMPARE(t.ld.END_TEXT, u"00042"_s);

    loader::Graph_SHOW_BUTT_Click(t.ld);
    const LoadGraph &g = t.ld.LOAD_Graph;
    QCOMPARE(g.yCaption, u"ACI"_s);  // the record's row, not the empty row below it
    QCOMPARE(g.x, (QList<double>{41, 42}));
    QCOMPARE(g.y, (QList<double>{0, 0.25}));
    QCOMPARE(g.xFrom, 42.0);
    QCOMPARE(g.xTo, 42.0);
    QVERIFY(g.yRange && g.yRange->first < 0.25 && g.yRange->second > 0.25);
    QCOMPARE(g.yFormat, uR"(*1000" mA")"_s);

    loader::SET_SHOW_BUTT_Click(t.ld);
    QVERIFY(t.messages.messages().isEmpty());
    QCOMPARE(g.x, (QList<double>{0, 42}));
    QCOMPARE(g.y, (QList<double>{0.25, 0.25}));
}

void TestLoaderPlots::equalPointNumbers()
{
    LoaderFixture t;
    t.load(fileOf({{5, u"DCV"_s, u"1_V"_s}, {5, u"DCV"_s, u"2_V"_s}}));
    QCOMPARE(t.ld.LD_POINT_STEP, 0);
    t.setRange(u"5"_s, u"5"_s);
    loader::SET_SHOW_BUTT_Click(t.ld);
    QCOMPARE(t.messages.messages().size(), 1);
    const rt::Message &m = t.messages.messages().first();
    QCOMPARE(m.text, u"Ten key in is error."_s);
    QCOMPARE(m.title, QString());
    QCOMPARE(m.icon, rt::MessageIcon::None);
    // The whole file still plots.
    loader::Graph_SHOW_BUTT_Click(t.ld);
    QCOMPARE(t.messages.messages().size(), 1);
    QCOMPARE(t.ld.LOAD_Graph.x, (QList<double>{5, 5, 5}));
}

void TestLoaderPlots::startMovesUpToTheStep()
{
    LoaderFixture t;
    QList<Rec> records;
    for (int point = 2; point <= 20; point += 2)
        records.append({point, u"DCV"_s, QString::number(point) + u"_V"_s});
    t.load(fileOf(records));
    QCOMPARE(t.ld.LD_POINT_STEP, 2);
    QSignalSpy boxes(&t.ld, &loader::Loader::rangeBoxesChanged);
    t.setRange(u"3"_s, u"9"_s);
    loader::SET_SHOW_BUTT_Click(t.ld);
    QVERIFY(t.messages.messages().isEmpty());
    QCOMPARE(t.ld.START_TEXT, u"4"_s);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(t.ld.LOAD_Graph.x, (QList<double>{0, 4, 6, 8}));
    QCOMPARE(t.ld.LOAD_Graph.y, (QList<double>{4, 4, 6, 8}));
}

void TestLoaderPlots::gapsInTheNumbering()
{
    LoaderFixture t;
    t.load(fileOf({{1, u"DCV"_s, u"1_V"_s}, {2, u"DCV"_s, u"2_V"_s}, {3, u"DCV"_s, u"3_V"_s},
                   {10, u"DCV"_s, u"10_V"_s}}));
    t.setRange(u"1"_s, u"10"_s);
    loader::SET_SHOW_BUTT_Click(t.ld);
    QVERIFY(t.messages.messages().isEmpty());
    // Ten points asked for, four records there: no more are read.
    QCOMPARE(t.ld.LOAD_Graph.y, (QList<double>{1, 1, 2, 3, 10}));
    QCOMPARE(t.ld.LOAD_Graph2.y.size(), 5);

    t.setRange(u"6"_s, u"10"_s);  // would start past the last record
    loader::SET_SHOW_BUTT_Click(t.ld);
    QCOMPARE(t.lastMessage(), u"Ten key in is error."_s);
}

void TestLoaderPlots::recordedRunLiesOnItsOwnAxis()
{
    // A run that continues the numbering of earlier ones, recorded by the
    // program's own run on the simulated instrument.
    RunFixture run(sim::Faults{}, u"0.05"_s);  // 3 s at 1000 ms
    run.f.state.RECORD_COUNT = 500;
    run.start();
    run.runTicks();
    QCOMPARE(run.files().size(), 1);

    loader::Loader ld;
    rt::MessageRecorder messages;
    loader::loadRecordedFile(ld, run.files().first());
    QVERIFY(messages.messages().isEmpty());
    QCOMPARE(ld.LOAD_Grid.records(), 3);
    QCOMPARE(ld.START_TEXT, u"00501"_s);
    QCOMPARE(ld.END_TEXT, u"00503"_s);
    loader::Graph_SHOW_BUTT_Click(ld);
    QCOMPARE(ld.LOAD_Graph.x, (QList<double>{500, 501, 502, 503}));
    QCOMPARE(ld.LOAD_Graph.yCaption, u"DCV"_s);
    QVERIFY(ld.LOAD_Graph.yFormat.has_value());
}

// A plot's rows are converted in slices, shared between the window's thread
// and helper threads and finished in any order; what it plots is what one
// pass over the rows plots. The file puts the extremes, the unplottable
// values and the function change in different slices.
void TestLoaderPlots::slicedPlotIsTheWholePlot_data()
{
    QTest::addColumn<int>("slice");    // rows
    QTest::addColumn<int>("helpers");  // -1: as the machine has cores
    QTest::newRow("slices of 7, on the window's thread") << 7 << 0;
    QTest::newRow("slices of 7, with helpers") << 7 << -1;
    QTest::newRow("one row each, with helpers") << 1 << -1;
    QTest::newRow("slices of 64, three helpers") << 64 << 3;
}

void TestLoaderPlots::slicedPlotIsTheWholePlot()
{
    QFETCH(int, slice);
    QFETCH(int, helpers);
    QList<Rec> records;
    for (int point = 1; point <= 1000; ++point) {
        const double wave = std::sin(point / 40.0);
        Rec r{point, point < 700 ? u"DCV"_s : u"2W"_s, rt::pattern(wave, u"0.0000") + u"_V"_s, u"ACV"_s,
              rt::pattern(-wave * 2, u"0.000") + u"_mV"_s};
        if (point == 333)
            r.DISPLAY1 = u"7.5_V"_s;  // the greatest
        if (point == 812)
            r.DISPLAY1 = u"-9_V"_s;  // the smallest
        if (point == 3 || point == 600)
            r.DISPLAY2 = u"1e999_V"_s;
        if (point == 950)
            r.DISPLAY1 = u"-1e40_V"_s;
        records.append(r);
    }
    struct Plot
    {
        LoadGraph g1;
        LoadGraph g2;
        QStringList messages;
    };
    const auto plot = [&](int sliceRows, int helperCount, bool range) {
        LoaderFixture t;
        t.load(fileOf(records));
        t.ld.plotSlice = sliceRows;
        t.ld.plotHelpers = helperCount;
        t.messages.clear();
        if (range) {
            t.setRange(u"2"_s, u"990"_s);
            loader::SET_SHOW_BUTT_Click(t.ld);
        } else {
            loader::Graph_SHOW_BUTT_Click(t.ld);
        }
        QStringList texts;
        for (const rt::Message &m : t.messages.messages())
            texts.append(m.text);
        return Plot{t.ld.LOAD_Graph, t.ld.LOAD_Graph2, texts};
    };
    // NaN is no value equal to itself: the gaps compare as gaps.
    const auto samePoints = [](const QList<double> &a, const QList<double> &b) {
        return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend(),
                          [](double p, double q) { return p == q || (std::isnan(p) && std::isnan(q)); });
    };
    for (const bool range : {false, true}) {
        const Plot whole = plot(1 << 20, 0, range);
        const Plot sliced = plot(slice, helpers, range);
        QCOMPARE(whole.g1.x.size(), range ? 990 : 1001);
        QCOMPARE(whole.messages.size(), 1);  // rows 950 and 3 named
        QCOMPARE(sliced.messages, whole.messages);
        for (const auto &[a, b] : {std::pair{&whole.g1, &sliced.g1}, std::pair{&whole.g2, &sliced.g2}}) {
            QCOMPARE(b->x, a->x);
            QVERIFY(samePoints(b->y, a->y));
            QCOMPARE(b->yRange, a->yRange);
            QCOMPARE(b->yCaption, a->yCaption);
            QCOMPARE(b->yFormat, a->yFormat);
        }
        QVERIFY(whole.messages[0].contains(u"row 950"_s) && whole.messages[0].contains(u"row 3 "_s));
        QVERIFY2(whole.g1.yRange->first < -9 && whole.g1.yRange->second > 7.5, "the extremes of all slices");
    }
}

// A plot that runs long shows its progress as a long load does, and its
// Cancel leaves both graphs empty; the next plot is whole.
void TestLoaderPlots::longPlotProgressAndCancel_data()
{
    QTest::addColumn<int>("cancelAt");  // the progress report on which Cancel is pressed; 0: never
    QTest::newRow("progress to the end") << 0;
    QTest::newRow("cancelled") << 3;
}

void TestLoaderPlots::longPlotProgressAndCancel()
{
    QFETCH(int, cancelAt);
    LoaderFixture t;
    t.load(fileOf(volts(1, 300, millivolts)));
    t.ld.progressAfter = std::chrono::milliseconds(0);  // every plot is long here
    t.ld.plotSlice = 10;
    t.ld.plotHelpers = 0;
    QList<int> progress;
    connect(&t.ld, &loader::Loader::plotProgress, this, [&](int percent) {
        progress.append(percent);
        if (progress.size() == cancelAt)
            t.ld.cancelPlot();
    });
    QSignalSpy changed(&t.ld, &loader::Loader::graphsChanged);
    loader::Graph_SHOW_BUTT_Click(t.ld);

    QCOMPARE(changed.size(), 1);
    QVERIFY(t.messages.messages().isEmpty());
    QVERIFY(std::is_sorted(progress.cbegin(), progress.cend()));
    if (cancelAt == 0) {
        QVERIFY(progress.size() > 10);
        QVERIFY(progress.first() >= 0 && progress.last() >= 90 && progress.last() <= 100);
        QCOMPARE(t.ld.LOAD_Graph.x.size(), 301);
        return;
    }
    QCOMPARE(progress.size(), cancelAt);
    for (const LoadGraph *g : {&t.ld.LOAD_Graph, &t.ld.LOAD_Graph2}) {
        QVERIFY(g->x.isEmpty() && g->y.isEmpty());
        QCOMPARE(g->yCaption, u"Range MODE"_s);
    }
    // The next plot is not cancelled by the last one's Cancel.
    loader::Graph_SHOW_BUTT_Click(t.ld);
    QCOMPARE(t.ld.LOAD_Graph.x.size(), 301);
}

// A plot's lists and points of millions are made on a thread beside the
// window: the window's events run meanwhile (here a timer's, which the work
// waits for), the panel's ticks wait for the end, and what the work throws
// comes back to the caller.
void TestLoaderPlots::workBesideTheWindow()
{
    std::atomic<bool> eventRan{false};
    QTimer::singleShot(1, this, [&] { eventRan = true; });
    QList<bool> panelTicked;
    rt::PanelTimer panel;
    panel.setHandler([&] { panelTicked.append(true); });
    panel.setInterval(1);
    panel.setEnabled(true);
    bool sawEvent = false;
    loader::runBeside([&] {
        // Bounded, so that a window that never turns fails here.
        for (int i = 0; i < 5000 && !eventRan; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        sawEvent = eventRan;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    });
    QVERIFY(sawEvent);
    QVERIFY(panelTicked.isEmpty());
    QTRY_VERIFY(!panelTicked.isEmpty());  // once the work is over
    panel.setEnabled(false);

    QVERIFY_THROWS_EXCEPTION(std::bad_alloc, loader::runBeside([] { throw std::bad_alloc(); }));
}

QTEST_MAIN(TestLoaderPlots)
#include "tst_loader_plots.moc"
