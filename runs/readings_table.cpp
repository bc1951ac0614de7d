#include "runs/readings_table.h"

#include "runs/recorder.h"
#include "core/panel_state.h"

using namespace Qt::StringLiterals;

namespace runs {

namespace {
constexpr Qt::Alignment kCentred = Qt::AlignCenter;
constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;

// From the ninth reading on, the trend graph's step keeps an empty row
// below the newest.
constexpr qint32 kGraphSpareFrom = 9;
} // namespace

// clang-format off
const std::array<ReadingColumn, kReadingColumns> kReadingColumnTable = {{
    // heading        width  alignment
    {u"Point",          600, kCentred},
    {u"Time",             0, kLeft},     // never written
    {u"Actual Time",   1700, kCentred},
    {u"Mode 1",         850, kCentred},
    {u"Display1",      1400, kCentred},
    {u"Mode 2",         850, kCentred},
    {u"Display2",      1400, kCentred},
}};
// clang-format on

ReadingsTableModel::ReadingsTableModel(QObject *parent) : QAbstractTableModel(parent) {}

int ReadingsTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ReadingsTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kReadingColumns;
}

QVariant ReadingsTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(kReadingColumnTable[std::size_t(index.column())].alignment);
    if (role != Qt::DisplayRole)
        return {};
    const ReadingRow &r = m_rows[std::size_t(index.row())];
    if (!r.filled)
        return QString();
    switch (index.column()) {
    case Point: return QString::number(r.point);
    case Time: return QString();
    case ActualTime: return formats::dateTimeText(r.when, u'-');
    case Mode1: return r.MODE1;
    case Display1: return r.DISPLAY1;
    case Mode2: return r.MODE2;
    case Display2: return r.DISPLAY2;
    }
    return {};
}

QVariant ReadingsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kReadingColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QString::fromUtf16(kReadingColumnTable[std::size_t(section)].heading);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(kReadingColumnTable[std::size_t(section)].alignment);
    return {};
}

void ReadingsTableModel::setDataRows(int rows)
{
    rows = std::max(rows, 0);
    const int now = dataRows();
    if (rows < now) {
        beginRemoveRows({}, rows, now - 1);
        m_rows.resize(std::size_t(rows));
        endRemoveRows();
    } else if (rows > now) {
        beginInsertRows({}, now, rows - 1);
        m_rows.resize(std::size_t(rows));
        endInsertRows();
    }
}

void ReadingsTableModel::fillRow(int dataRow, const ReadingRow &row)
{
    if (dataRow < 1)
        return;
    if (dataRow > dataRows())
        setDataRows(dataRow);
    ReadingRow &target = m_rows[std::size_t(dataRow - 1)];
    target = row;
    target.filled = true;
    Q_EMIT dataChanged(index(dataRow - 1, 0), index(dataRow - 1, kReadingColumns - 1));
}

void ReadingsTableModel::addReading(const ReadingRow &row, qint32 every, RowRule rule)
{
    every = std::max(every, 1);
    const int dataRow = int(row.point / every);
    if (dataRow < 1)
        return;
    const bool spare = rule == RowRule::Graph && row.point >= kGraphSpareFrom;
    // The table ends at the new row: after a restart of the numbering the
    // older rows go.
    setDataRows(dataRow + (spare ? 1 : 0));
    fillRow(dataRow, row);
}

void ReadingsTableModel::clearData()
{
    setDataRows(0);
    setDataRows(1);
}

ReadingRow readingRow(const shell::PanelState &state, const QDateTime &now)
{
    return {state.RECORD_COUNT, now,           state.MODE1, state.DISPLAY1,
            state.MODE2,        state.DISPLAY2, true};
}

void Clear_DATA_BUTT_Click(shell::PanelState &state, ReadingsTableModel &table)
{
    state.RECORD_COUNT = 0;
    table.clearData();
}

} // namespace runs
