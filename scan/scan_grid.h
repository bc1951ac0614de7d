#pragma once
// The scanner window's two result grids: grid 0 shows bank A (101 to 108)
// and channel 117, grid 1 bank B (109 to 116) and channel 118, one column a
// channel and one row a pass. A long run adds up to 9,999 rows, so each grid
// is a model that a view shows; the channel headings are its header.

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <vector>

namespace scan {

inline constexpr int kScanGridColumns = 9;
// The designed column width; the window widens its columns to the widest
// result text in its font.
inline constexpr int kScanGridColumnTwips = 1170;

class ScanGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ScanGridModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // "CHAN:101" ... for the grid's nine columns.
    void setHeadings(const QStringList &headings);
    QString heading(int column) const { return m_headings.value(column); }

    // Rows below the headings; rows past the count are dropped, new ones
    // are empty.
    void setDataRows(int rows);
    int dataRows() const { return int(m_cells.size()); }
    // Data row `row` counts from 1, as the grid's rows below its headings.
    void setCell(int row, int column, const QString &text);
    QString cell(int row, int column) const;

private:
    QStringList m_headings;
    std::vector<QStringList> m_cells;
};

// The headings of grid 0 or 1: the bank's eight channels and its current
// channel.
QStringList scanGridHeadings(int grid);

} // namespace scan
