#include "windows/list_items.h"

#include <QComboBox>

namespace windows {

void showItems(QComboBox *box, const QStringList &items)
{
    QStringList shown;
    shown.reserve(box->count());
    for (int i = 0; i < box->count(); ++i)
        shown.append(box->itemText(i));
    if (shown != items) {
        box->clear();
        box->addItems(items);
    }
}

} // namespace windows
