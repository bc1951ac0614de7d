// The readings table: rows follow RECORD_COUNT under the loops' and the
// trend graph's rules, REC_EVERY thins them, a restart of the numbering
// drops the older rows, "Clear Data" leaves one empty row; the window shows
// the headings, hides the Time column and keeps the newest row in sight.

#include "windows/readings_table_window.h"
#include "runs/readings_table.h"
#include "core/panel_state.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

using namespace Qt::StringLiterals;
using runs::ReadingsTableModel;
using runs::RowRule;

namespace {

const QDateTime kWhen(QDate(2013, 5, 6), QTime(14, 22, 33));

runs::ReadingRow reading(qint32 point)
{
    return {point, kWhen.addSecs(point), u"DCV"_s, u"1.00000%1_V"_s.arg(point % 10), u""_s, u""_s, true};
}

// The "Point" column of every data row, "" for an empty row.
QStringList points(const ReadingsTableModel &table)
{
    QStringList shown;
    for (int row = 0; row < table.rowCount(); ++row)
        shown << table.index(row, ReadingsTableModel::Point).data().toString();
    return shown;
}

QStringList numbers(int from, int to, int step = 1)
{
    QStringList list;
    for (int n = from; n <= to; n += step)
        list << QString::number(n);
    return list;
}

} // namespace

class TestReadingsTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void headingsAndCells();
    void rowsFollowTheCount_data();
    void rowsFollowTheCount();
    void restartedNumberingDropsOlderRows();
    void clearDataLeavesOneEmptyRow();
    void windowShowsTheNewestRow();
};

void TestReadingsTable::headingsAndCells()
{
    ReadingsTableModel table;
    QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QStringList headings{u"Point"_s, u"Time"_s, u"Actual Time"_s, u"Mode 1"_s,
                               u"Display1"_s, u"Mode 2"_s, u"Display2"_s};
    QCOMPARE(table.columnCount(), headings.size());
    for (int column = 0; column < headings.size(); ++column) {
        QCOMPARE(table.headerData(column, Qt::Horizontal).toString(), headings[column]);
        const auto align = table.headerData(column, Qt::Horizontal, Qt::TextAlignmentRole)
                               .value<Qt::Alignment>();
        QCOMPARE(align, column == 1 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    }

    table.addReading({7, QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)), u"2W"_s, u"\u3000"_s,
                      u"DCV"_s, u"0.5_V"_s, true},
                     1, RowRule::Loop);
    const QStringList cells{u"7"_s, u""_s, u"2024/01/02-03:04:05"_s, u"2W"_s, u"\u3000"_s,
                            u"DCV"_s, u"0.5_V"_s};
    QCOMPARE(table.rowCount(), 7);
    for (int column = 0; column < cells.size(); ++column) {
        QCOMPARE(table.index(6, column).data().toString(), cells[column]);
        QCOMPARE(table.index(0, column).data().toString(), u""_s);  // rows not written
    }
}

void TestReadingsTable::rowsFollowTheCount_data()
{
    QTest::addColumn<int>("readings");
    QTest::addColumn<int>("every");
    QTest::addColumn<RowRule>("rule");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("loop: ten readings, ten rows") << 10 << 1 << RowRule::Loop << numbers(1, 10);
    QTest::newRow("loop: every third reading") << 10 << 3 << RowRule::Loop << numbers(3, 9, 3);
    QTest::newRow("graph: first reading") << 1 << 1 << RowRule::Graph << numbers(1, 1);
    QTest::newRow("graph: eighth reading, no empty row") << 8 << 1 << RowRule::Graph << numbers(1, 8);
    QTest::newRow("graph: ninth reading, one empty row below")
        << 9 << 1 << RowRule::Graph << numbers(1, 9) + QStringList{u""_s};
    QTest::newRow("graph: ten readings, ten rows and an empty one")
        << 10 << 1 << RowRule::Graph << numbers(1, 10) + QStringList{u""_s};
    QTest::newRow("graph: every second, the spare row from count 9")
        << 10 << 2 << RowRule::Graph << numbers(2, 10, 2) + QStringList{u""_s};
}

void TestReadingsTable::rowsFollowTheCount()
{
    QFETCH(int, readings);
    QFETCH(int, every);
    QFETCH(RowRule, rule);
    QFETCH(QStringList, shown);

    ReadingsTableModel table;
    QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (int count = 1; count <= readings; ++count) {
        if (count % every == 0)
            table.addReading(reading(count), every, rule);
    }
    QCOMPARE(points(table), shown);
}

// A roll-over or "Return DATA Table" restarts RECORD_COUNT: the next row is
// row 1 and the table keeps nothing below it.
void TestReadingsTable::restartedNumberingDropsOlderRows()
{
    for (const RowRule rule : {RowRule::Loop, RowRule::Graph}) {
        ReadingsTableModel table;
        QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (int count = 1; count <= 50; ++count)
            table.addReading(reading(count), 1, rule);
        table.addReading(reading(1), 1, rule);
        QCOMPARE(points(table), numbers(1, 1));
        QCOMPARE(table.row(1).DISPLAY1, u"1.000001_V"_s);
    }
}

void TestReadingsTable::clearDataLeavesOneEmptyRow()
{
    ReadingsTableModel table;
    QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::QtTest);
    shell::PanelState state;
    for (int count = 1; count <= 12; ++count)
        table.addReading(reading(count), 1, RowRule::Loop);
    state.RECORD_COUNT = 12;

    runs::Clear_DATA_BUTT_Click(state, table);
    QCOMPARE(state.RECORD_COUNT, 0);
    QCOMPARE(points(table), QStringList{u""_s});

    state.RECORD_COUNT = 1;
    state.MODE1 = u"ACV"_s;
    state.DISPLAY1 = u"0.25_V"_s;
    table.addReading(runs::readingRow(state, kWhen), 1, RowRule::Loop);
    QCOMPARE(points(table), numbers(1, 1));
    QCOMPARE(table.index(0, ReadingsTableModel::Display1).data().toString(), u"0.25_V"_s);
}

void TestReadingsTable::windowShowsTheNewestRow()
{
    runs::DATA_Form form;
    form.resize(500, 200);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowTitle(), u"Form3"_s);
    QVERIFY(form.Grid_DATA->isColumnHidden(ReadingsTableModel::Time));
    QCOMPARE(form.Grid_DATA->columnWidth(ReadingsTableModel::Point), 40);  // 600 twips
    // 1700 twips at least, and room for the whole date in this font.
    const int dateWidth = form.Grid_DATA->columnWidth(ReadingsTableModel::ActualTime);
    QVERIFY(dateWidth >= 113);
    QVERIFY(dateWidth > form.Grid_DATA->fontMetrics().horizontalAdvance(u"2013/05/06-14:22:33"_s));
    QCOMPARE(form.Grid_DATA->model(), form.model());

    for (int count = 1; count <= 300; ++count)
        form.model()->addReading(reading(count), 1, RowRule::Loop);
    QCoreApplication::processEvents();
    const QScrollBar *bar = form.Grid_DATA->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
}

QTEST_MAIN(TestReadingsTable)
#include "tst_readings_table.moc"
