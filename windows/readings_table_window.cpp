#include "windows/readings_table_window.h"

#include "platform/twips.h"
#include "runs/readings_table.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace runs {

DATA_Form::DATA_Form(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Form3"));
    m_model = new ReadingsTableModel(this);
    Grid_DATA = new QTableView(this);
    Grid_DATA->setModel(m_model);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Grid_DATA);
    SET_DATA_GRID();

    // The newest reading stays in sight.
    connect(m_model, &QAbstractItemModel::rowsInserted, Grid_DATA, &QTableView::scrollToBottom);
    connect(m_model, &QAbstractItemModel::dataChanged, Grid_DATA,
            [this](const QModelIndex &topLeft) {
                if (topLeft.row() >= m_model->rowCount() - 2)
                    Grid_DATA->scrollToBottom();
            });
}

void DATA_Form::SET_DATA_GRID()
{
    // Thousands of rows of one height: fixed sections keep the view from
    // measuring each of them.
    Grid_DATA->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid_DATA->verticalHeader()->hide();
    Grid_DATA->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid_DATA->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const QFontMetrics metrics = Grid_DATA->fontMetrics();
    Grid_DATA->verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
    for (int column = 0; column < kReadingColumns; ++column) {
        const int width = kReadingColumnTable[std::size_t(column)].widthTwips;
        Grid_DATA->setColumnHidden(column, width == 0);
        if (width == 0)
            continue;
        // The designed width, or more where this font needs it for the date.
        int pixels = rt::twipsToPixels(width);
        if (column == ReadingsTableModel::ActualTime)
            pixels = std::max(pixels, metrics.horizontalAdvance(QStringLiteral("0000/00/00-00:00:00")) + 12);
        Grid_DATA->setColumnWidth(column, pixels);
    }
}

} // namespace runs
