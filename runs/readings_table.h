#pragma once
// The readings table: one row per recorded reading of the runs, numbered by
// RECORD_COUNT, which it shares with the recorded-data file. Rows can run to
// many thousands in a long run, so the table is a model that a view shows.
//
// The table keeps the grid's numbering: data row k (1-based) holds the k-th
// recorded step since RECORD_COUNT last restarted; the headings are the
// model's header, so data row k is model row k - 1.

#include <QAbstractTableModel>
#include <QDateTime>
#include <QString>
#include <QStringView>

#include <array>
#include <vector>

namespace shell {
struct PanelState;
}

namespace runs {

// One reading as the table shows it; an empty row has `filled` clear.
struct ReadingRow
{
    qint32 point = 0;   // RECORD_COUNT
    QDateTime when;     // shown as yyyy/MM/dd-HH:mm:ss
    QString MODE1;
    QString DISPLAY1;
    QString MODE2;
    QString DISPLAY2;
    bool filled = false;
};

// The columns of the grid, as data beside the model that shows them.
struct ReadingColumn
{
    const char16_t *heading;
    int widthTwips;  // 0 = hidden
    Qt::Alignment alignment;
};
inline constexpr int kReadingColumns = 7;
extern const std::array<ReadingColumn, kReadingColumns> kReadingColumnTable;

// How a record step grows the table. The loops keep exactly one row per
// recorded step; the trend graph's step keeps one empty row below the
// newest from the ninth reading on.
enum class RowRule { Loop, Graph };

class ReadingsTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Point, Time, ActualTime, Mode1, Display1, Mode2, Display2 };

    explicit ReadingsTableModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The data rows below the headings; rows past the count are dropped,
    // new ones are empty.
    void setDataRows(int rows);
    int dataRows() const { return int(m_rows.size()); }
    // Fills data row `dataRow` (1-based), growing the table when needed.
    void fillRow(int dataRow, const ReadingRow &row);
    const ReadingRow &row(int dataRow) const { return m_rows.at(std::size_t(dataRow - 1)); }

    // The row of one recorded step of RECORD_COUNT `row.point`, every
    // `every` steps one: data row point / every, the table cut or grown to
    // end there (plus the graph's empty row).
    void addReading(const ReadingRow &row, qint32 every, RowRule rule);

    // "Clear Data": the headings and one empty row.
    void clearData();

private:
    std::vector<ReadingRow> m_rows;
};

// The row of the reading the state holds now.
ReadingRow readingRow(const shell::PanelState &state, const QDateTime &now);

// The front panel's "Clear Data" button: the numbering restarts and the
// table keeps its headings and one empty row.
void Clear_DATA_BUTT_Click(shell::PanelState &state, ReadingsTableModel &table);

} // namespace runs
