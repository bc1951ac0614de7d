#pragma once
// A combo box shows the items of its model's list: refilled only when they
// differ, so the user's open list and its scroll position survive a refresh.

#include <QStringList>

class QComboBox;

namespace windows {

// Call with the box's signals blocked.
void showItems(QComboBox *box, const QStringList &items);

} // namespace windows
