// The trend graph window: one point appended per reading and the plot
// redrawn once per turn of the events, the elapsed-time label, ClearGraph
// and the X range buttons; and, as the per-reading step of demonstration
// and trigger readings, the table row, the record and the roll-over.

#include "core/panel.h"
#include "core/run_clock.h"
#include "platform/program_folder.h"
#include "runs/readings_table.h"
#include "runs/record_step.h"
#include "windows/trend_graph_window.h"

#include "support/files.h"
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <qcustomplot.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QDateTime kStart(QDate(2013, 5, 6), QTime(14, 22, 33));

// The window listening to a run on a panel without a window, the run's
// recorder on a fixed clock, in a program folder of its own.
struct GraphFixture
{
    GraphFixture()
    {
        rt::setProgramFolder(dir.path());
        state.LOG_NAME = u"demo"_s;
        state.SETTING.REC_EVERY = u"1"_s;
        state.MODE1 = u"DCV"_s;
        recorder.setClock([this] { return now; });
        form.connectRun(run);
    }
    ~GraphFixture() { rt::setProgramFolder({}); }

    // One demonstration tick: the reading and the clock, then the step.
    bool reading(const QString &display1, qint32 elapsed)
    {
        state.DISPLAY1 = display1;
        state.ELAPSED_SECS = elapsed;
        now = kStart.addSecs(elapsed);
        return runs::SHOW_Graph(run);
    }

    QCPGraph *plot() { return form.CWGraph1->graph(0); }
    QString saveFolder() const { return dir.path() + u"/SAVE DATA"_s; }

    QTemporaryDir dir;
    shell::Class1 link;
    PanelParts parts{link};
    shell::PanelState &state = parts.state;
    shell::CheckControl &SAVE_CHK = parts.controls.SAVE_CHK;
    shell::StatusLog &status = parts.status;
    QDateTime now = kStart;
    runs::ReadingsTableModel table;
    runs::ManualRunClock clock;
    runs::RunContext run{parts.panel, table, clock};
    runs::Recorder &recorder = run.recorder;
    runs::Graph_Form form;
};

} // namespace

class TestGraphForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void elapsedLabel_data();
    void elapsedLabel();
    void pointsAreAppended_data();
    void pointsAreAppended();
    void valueLabelsInOneForm_data();
    void valueLabelsInOneForm();
    void redrawnOncePerTurnOfEvents();
    void clearGraphEmptiesAndResetsAxes();
    void readingGoesToTableAndFile();
    void notSavingStillCountsAndRollsOver();
    void rollOverStartsNewFileAndTable();
    void zoomOut_data();
    void zoomOut();
    void returnDataTableRestartsNumbering();
    void unconnectedWindowOnlyWaits();
};

void TestGraphForm::elapsedLabel_data()
{
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("start") << 0 << u"00:00:00"_s;
    QTest::newRow("hour, minutes, seconds") << 3725 << u"01:02:05"_s;
    QTest::newRow("days are dropped") << 90061 << u"01:01:01"_s;
}

void TestGraphForm::elapsedLabel()
{
    QFETCH(int, elapsed);
    GraphFixture f;
    QCOMPARE(f.form.SHOW_Time->text(), u"00:00:00"_s);
    QCOMPARE(f.form.S_Time->text(), u"Time:"_s);
    f.reading(u"1_V"_s, elapsed);
    QTEST(f.form.SHOW_Time->text(), "shown");
}

void TestGraphForm::pointsAreAppended_data()
{
    QTest::addColumn<QString>("display1");
    QTest::addColumn<double>("value");
    QTest::newRow("unit suffix ignored") << u"1.234567_V"_s << 1.234567;
    QTest::newRow("negative milli") << u"-0.5_mA"_s << -0.5;
    QTest::newRow("exponent form") << u"+1.5E+03"_s << 1500.0;
    QTest::newRow("overload shows 0") << u"OL"_s << 0.0;
    QTest::newRow("open shows 0") << u"OPEN"_s << 0.0;
}

// Each reading adds one point at its elapsed time; the points before it
// stay as they were.
void TestGraphForm::pointsAreAppended()
{
    QFETCH(QString, display1);
    QFETCH(double, value);
    GraphFixture f;
    f.reading(u"2_V"_s, 1);
    f.reading(u"3_V"_s, 2);
    f.reading(display1, 3);
    QCOMPARE(f.plot()->dataCount(), 3);
    QCOMPARE(f.plot()->data()->at(0)->key, 1.0);
    QCOMPARE(f.plot()->data()->at(0)->value, 2.0);
    QCOMPARE(f.plot()->data()->at(1)->value, 3.0);
    QCOMPARE(f.plot()->data()->at(2)->key, 3.0);
    QCOMPARE(f.plot()->data()->at(2)->value, value);
    // The value axis takes in every point.
    for (int i = 0; i < 3; ++i)
        QVERIFY(f.form.CWGraph1->yAxis->range().contains(f.plot()->data()->at(i)->value));

    // Within a run, on the run clock to the fraction, readings in one second
    // keep apart.
    f.state.runPhase = shell::RunPhase::Timed;
    f.clock.advance(std::chrono::milliseconds(3250));
    f.reading(u"4_V"_s, 3);
    f.clock.advance(std::chrono::milliseconds(250));
    f.reading(u"5_V"_s, 3);
    QCOMPARE(f.plot()->data()->at(3)->key, 3.25);
    QCOMPARE(f.plot()->data()->at(4)->key, 3.5);
}

// Readings that come faster than the events run cost one redraw, not one
// each.
// Whatever the readings' size, the value axis writes its numbers out in
// full, thousands grouped, each with the same places: never "500000"
// beside "1·10⁶".
void TestGraphForm::valueLabelsInOneForm_data()
{
    QTest::addColumn<QStringList>("readings");
    QTest::addColumn<QString>("pattern");  // every label matches
    QTest::newRow("millions") << QStringList{u"500000_Ohm"_s, u"5000000_Ohm"_s}
                              << uR"(^\d{1,3}(,\d{3})*$)"_s;
    QTest::newRow("millionths") << QStringList{u"0.0000125_A"_s, u"0.0000175_A"_s}
                                << uR"(^0\.0000\d{2,3}$)"_s;
    QTest::newRow("around zero") << QStringList{u"-0.25_V"_s, u"0.25_V"_s} << uR"(^-?0\.\d+$)"_s;
}

void TestGraphForm::valueLabelsInOneForm()
{
    QFETCH(QStringList, readings);
    QFETCH(QString, pattern);
    GraphFixture f;
    for (qsizetype i = 0; i < readings.size(); ++i)
        f.reading(readings[i], qint32(i + 1));
    f.form.CWGraph1->replot();
    const QList<QString> labels = f.form.CWGraph1->yAxis->tickVectorLabels();
    QVERIFY(labels.size() >= 3);
    const QRegularExpression form(pattern);
    const auto places = [](const QString &label) { return label.contains(u'.') ? label.size() - label.indexOf(u'.') : 0; };
    for (const QString &label : labels) {
        QVERIFY2(form.match(label).hasMatch(), qPrintable(QStringList(labels).join(u" | ")));
        QCOMPARE(places(label), places(labels.first()));
    }
}

void TestGraphForm::redrawnOncePerTurnOfEvents()
{
    GraphFixture f;
    QCoreApplication::processEvents();
    QSignalSpy replots(f.form.CWGraph1, &QCustomPlot::afterReplot);
    for (int i = 1; i <= 20; ++i)
        f.reading(u"%1_V"_s.arg(i), i);
    QCOMPARE(replots.size(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(replots.size(), 1);
    QCOMPARE(f.plot()->dataCount(), 20);
}

void TestGraphForm::clearGraphEmptiesAndResetsAxes()
{
    GraphFixture f;
    f.form.CW_BUTT->setChecked(true);
    f.reading(u"7_V"_s, 500);
    f.reading(u"8_V"_s, 501);
    f.form.CW_BUTT->setChecked(false);
    f.form.CW_BUTT->setChecked(true);
    QCOMPARE(f.form.CWGraph1->xAxis->range().upper, 501.0);

    f.form.ClearGraph();
    QCOMPARE(f.plot()->dataCount(), 0);
    QCOMPARE(f.form.CWGraph1->xAxis->range(), QCPRange(0, 100));
    QCOMPARE(f.form.CWGraph1->xAxis->label(), u"Timer"_s);
    QCOMPARE(f.form.CWGraph1->yAxis->label(), u"Range MODE"_s);
    QVERIFY(f.form.CWGraph1->xAxis->ticker().dynamicCast<QCPAxisTickerTime>());
    // The value axis forgets the old run's values.
    f.reading(u"-2_V"_s, 1);
    QVERIFY(f.form.CWGraph1->yAxis->range().upper < 7);
}

void TestGraphForm::readingGoesToTableAndFile()
{
    GraphFixture f;
    f.SAVE_CHK.checked = true;
    QVERIFY(f.recorder.create());
    f.state.MODE2 = u"2W"_s;
    f.state.MODE2_ON = true;
    f.state.DISPLAY2 = u"1.5_kOhm"_s;
    QVERIFY(f.reading(u"1.234567_V"_s, 5));

    QCOMPARE(f.state.RECORD_COUNT, 1);
    QCOMPARE(f.table.rowCount(), 1);
    const runs::ReadingRow &row = f.table.row(1);
    QCOMPARE(row.point, 1);
    QCOMPARE(row.when, kStart.addSecs(5));
    QCOMPARE(row.DISPLAY1, u"1.234567_V"_s);
    QCOMPARE(row.DISPLAY2, u"1.5_kOhm"_s);

    const QList<QByteArray> lines = fileLines(f.recorder.path());
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[3], QByteArray("00001,   00:00:05,    2013/05/06 14:22:38,       DCV,      "
                                  "1.234567_V,        2W,       1.5_kOhm,\r"));
    QVERIFY(f.status.lines().isEmpty());
}

void TestGraphForm::notSavingStillCountsAndRollsOver()
{
    GraphFixture f;
    f.recorder.setRecordsPerFile(3);
    for (int i = 1; i <= 7; ++i)
        QVERIFY(f.reading(u"1_V"_s, i));
    QCOMPARE(f.state.RECORD_COUNT, 1);
    QCOMPARE(f.state.LOG_FILE_NO, 2);
    QCOMPARE(f.table.rowCount(), 1);
    QCOMPARE(f.plot()->dataCount(), 7);
    QCOMPARE(f.form.SHOW_Time->text(), u"00:00:07"_s);
    QVERIFY(!QFileInfo::exists(f.saveFolder()));
}

// The third reading fills the file; the fourth goes, as record 00001, to a
// new file with its header, and the table shrinks to it.
void TestGraphForm::rollOverStartsNewFileAndTable()
{
    GraphFixture f;
    f.SAVE_CHK.checked = true;
    f.recorder.setRecordsPerFile(3);
    QVERIFY(f.recorder.create());
    const QString first = f.recorder.path();
    for (int i = 1; i <= 4; ++i)
        QVERIFY(f.reading(u"%1_V"_s.arg(i), i));

    QCOMPARE(fileLines(first).size(), 6);
    const QString second = f.recorder.path();
    QVERIFY(second != first);
    QVERIFY(second.endsWith(u"demo-20130506-142236-002.txt"_s));
    const QList<QByteArray> lines = fileLines(second);
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[0].startsWith("    2013/05/06-14:22:36,"));
    QVERIFY(lines[3].startsWith("00001,   00:00:04,"));
    QCOMPARE(f.table.rowCount(), 1);
    QCOMPARE(f.table.row(1).DISPLAY1, u"4_V"_s);
}

void TestGraphForm::zoomOut_data()
{
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<double>("zoomedOut");
    QTest::newRow("no run time yet: nothing changes") << 0 << 100.0;
    QTest::newRow("the run so far") << 250 << 250.0;
    QTest::newRow("past a day: the shown time") << 86400 + 30 << 30.0;
}

void TestGraphForm::zoomOut()
{
    QFETCH(int, elapsed);
    QFETCH(double, zoomedOut);
    GraphFixture f;
    QCOMPARE(f.form.CW_BUTT->text(), u"Zoo Out"_s);
    f.reading(u"1_V"_s, elapsed);
    f.form.CW_BUTT->setChecked(true);
    QCOMPARE(f.form.CWGraph1->xAxis->range(), QCPRange(0, zoomedOut));
    f.form.CW_BUTT->setChecked(false);
    QCOMPARE(f.form.CWGraph1->xAxis->range(), QCPRange(0, 100));
}

void TestGraphForm::returnDataTableRestartsNumbering()
{
    GraphFixture f;
    for (int i = 1; i <= 12; ++i)
        f.reading(u"1_V"_s, i);
    QCOMPARE(f.table.rowCount(), 13);
    QCOMPARE(f.form.Command1->text(), u"Return DATA Table"_s);
    f.form.Command1->click();
    QCOMPARE(f.state.RECORD_COUNT, 0);
    QCOMPARE(f.table.rowCount(), 13);  // the table changes with the next reading
    f.reading(u"2_V"_s, 13);
    QCOMPARE(f.table.rowCount(), 1);
    QCOMPARE(f.table.row(1).point, 1);
}

void TestGraphForm::unconnectedWindowOnlyWaits()
{
    runs::Graph_Form form;
    form.Command1->click();
    form.CW_BUTT->setChecked(true);
    QCOMPARE(form.CWGraph1->graph(0)->dataCount(), 0);
    QCOMPARE(form.CWGraph1->xAxis->range(), QCPRange(0, 100));
}

QTEST_MAIN(TestGraphForm)
#include "tst_graph_form.moc"
