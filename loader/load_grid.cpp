#include "loader/load_grid.h"

namespace loader {

namespace {
constexpr Qt::Alignment kCentred = Qt::AlignCenter;
constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
} // namespace

// clang-format off
const std::array<LoadColumn, kLoadColumnCount> kLoadColumns = {{
    // heading        width  alignment
    {u"Point",          600, kCentred},
    {u"Time",             0, kLeft},
    {u"Actual Time",   1800, kCentred},
    {u"Mode 1",         850, kCentred},
    {u"Display1",      1500, kCentred},
    {u"Mode 2",         850, kCentred},
    {u"Display2",      1500, kCentred},
}};
// clang-format on

LoadGridModel::LoadGridModel(QObject *parent) : QAbstractTableModel(parent) {}

int LoadGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : gridRows() - 1;
}

int LoadGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kLoadColumnCount;
}

QVariant LoadGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(kLoadColumns[std::size_t(index.column())].alignment);
    if (role != Qt::DisplayRole)
        return {};
    return cell(index.row() + 1, index.column());
}

QVariant LoadGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kLoadColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QString::fromUtf16(kLoadColumns[std::size_t(section)].heading);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(kLoadColumns[std::size_t(section)].alignment);
    return {};
}

void LoadGridModel::showRecords(formats::RecordedData records)
{
    beginResetModel();
    m_records = std::move(records);
    endResetModel();
}

void LoadGridModel::Clear_L_GRID()
{
    showRecords({});
}

QString LoadGridModel::cell(int gridRow, int column) const
{
    if (gridRow < 1 || gridRow > records() || column < 0 || column >= kLoadColumnCount)
        return {};
    return m_records.field(gridRow - 1, column);
}

QStringView LoadGridModel::cell(int gridRow, int column, formats::FieldBuffer &buffer) const
{
    if (gridRow < 1 || gridRow > records() || column < 0 || column >= kLoadColumnCount)
        return {};
    return m_records.field(gridRow - 1, column, buffer);
}

} // namespace loader
