#pragma once
// The loader's table of records. A recorded file holds up to 18000 records
// (a generated one far more), so the table is a model over the records'
// fields as read: it is built whole when a file is read, and a cell's text
// is made only when the view asks for it.
//
// Rows are counted as the grid counts them: row 0 the headings, rows 1 to N
// the records, and one empty row below the last record, so a table of N
// records has N + 2 rows and the last record is in row count minus 2. An
// empty table has the headings and one empty row. Model row r is grid row
// r + 1 (the headings are the model's header).

#include "formats/recorded_data_reader.h"

#include <QAbstractTableModel>

#include <array>

namespace loader {

// The grid's columns, as data beside the model that shows them.
struct LoadColumn
{
    const char16_t *heading;
    int widthTwips;  // 0 = hidden
    Qt::Alignment alignment;
};
inline constexpr int kLoadColumnCount = formats::kRecordFieldCount;
extern const std::array<LoadColumn, kLoadColumnCount> kLoadColumns;

class LoadGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Point, Time, ActualTime, Mode1, Display1, Mode2, Display2 };

    explicit LoadGridModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The records of a read file, all at once.
    void showRecords(formats::RecordedData records);
    // The headings and one empty row.
    void Clear_L_GRID();

    int records() const { return int(m_records.recordCount()); }
    // Rows as the grid counts them: records + 2.
    int gridRows() const { return records() + 2; }
    // The text of a cell (grid row 1 to records, trimmed); "" for the
    // empty row and anything outside the table.
    QString cell(int gridRow, int column) const;
    // The same in `buffer` until its next use; no heap.
    QStringView cell(int gridRow, int column, formats::FieldBuffer &buffer) const;

private:
    formats::RecordedData m_records;
};

} // namespace loader
