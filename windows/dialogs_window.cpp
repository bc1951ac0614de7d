#include "windows/dialogs_window.h"

#include "platform/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace windows {

namespace {

QMessageBox::Icon boxIcon(rt::MessageIcon icon)
{
    switch (icon) {
    case rt::MessageIcon::Critical: return QMessageBox::Critical;
    case rt::MessageIcon::Exclamation: return QMessageBox::Warning;
    case rt::MessageIcon::Information: return QMessageBox::Information;
    case rt::MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void installDialogs()
{
    rt::setRealDialogs(
        [](const rt::Message &message) {
            const QString title = message.title.isEmpty() ? rt::programTitle() : message.title;
            QMessageBox box(boxIcon(message.icon), title, message.text, QMessageBox::Ok,
                            QApplication::activeWindow());
            box.exec();
        },
        [](const QString &caption, const QString &folder, const QString &filter) {
            return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, folder, filter);
        });
}

} // namespace windows
