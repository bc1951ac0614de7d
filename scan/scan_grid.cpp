#include "scan/scan_grid.h"

namespace scan {

ScanGridModel::ScanGridModel(QObject *parent) : QAbstractTableModel(parent) {}

int ScanGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_cells.size());
}

int ScanGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kScanGridColumns;
}

QVariant ScanGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    if (role == Qt::DisplayRole)
        return m_cells.at(std::size_t(index.row())).value(index.column());
    return {};
}

QVariant ScanGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole)
            return section + 1;
        return {};
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    if (role == Qt::DisplayRole)
        return m_headings.value(section);
    return {};
}

void ScanGridModel::setHeadings(const QStringList &headings)
{
    m_headings = headings;
    emit headerDataChanged(Qt::Horizontal, 0, kScanGridColumns - 1);
}

void ScanGridModel::setDataRows(int rows)
{
    rows = std::max(rows, 0);
    const int now = dataRows();
    if (rows > now) {
        beginInsertRows({}, now, rows - 1);
        m_cells.resize(std::size_t(rows), QStringList(kScanGridColumns, QString()));
        endInsertRows();
    } else if (rows < now) {
        beginRemoveRows({}, rows, now - 1);
        m_cells.resize(std::size_t(rows));
        endRemoveRows();
    }
}

void ScanGridModel::setCell(int row, int column, const QString &text)
{
    if (row < 1 || column < 0 || column >= kScanGridColumns)
        return;
    if (row > dataRows())
        setDataRows(row);
    m_cells[std::size_t(row - 1)][column] = text;
    const QModelIndex at = index(row - 1, column);
    emit dataChanged(at, at, {Qt::DisplayRole});
}

QString ScanGridModel::cell(int row, int column) const
{
    if (row < 1 || row > dataRows())
        return {};
    return m_cells.at(std::size_t(row - 1)).value(column);
}

QStringList scanGridHeadings(int grid)
{
    const int first = grid == 0 ? 101 : 109;
    QStringList headings;
    for (int channel = first; channel < first + 8; ++channel)
        headings.append(QStringLiteral("CHAN:%1").arg(channel));
    headings.append(QStringLiteral("CHAN:%1").arg(grid == 0 ? 117 : 118));
    return headings;
}

} // namespace scan
