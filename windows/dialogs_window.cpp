#include "windows/dialogs_window.h"

#include "platform/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QTreeView>

#include <memory>

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

QFileDialog *openFileDialog(QWidget *parent, const QString &caption, const QString &folder,
                            const QString &filter)
{
    auto *dialog = new QFileDialog(parent, caption, folder, filter);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    // The list of files in detail: size, type and date each as wide as
    // their longest entry, the names taking the rest of the width.
    if (auto *details = dialog->findChild<QTreeView *>()) {
        QHeaderView *header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    return dialog;
}

void installDialogs()
{
    rt::setRealDialogs(
        [](const rt::Message &message) {
            const QString title = message.title.isEmpty() ? rt::programTitle() : message.title;
            if (message.modal) {
                QMessageBox box(boxIcon(message.icon), title, message.text, QMessageBox::Ok,
                                QApplication::activeWindow());
                box.exec();
                return;
            }
            // A run holds the line: the box shows and the run goes on; it
            // goes away with its OK.
            auto *box = new QMessageBox(boxIcon(message.icon), title, message.text, QMessageBox::Ok,
                                        QApplication::activeWindow());
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->setModal(false);
            box->show();
        },
        [](const QString &caption, const QString &folder, const QString &filter) {
            const std::unique_ptr<QFileDialog> dialog(
                openFileDialog(QApplication::activeWindow(), caption, folder, filter));
            if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
                return QString();
            return dialog->selectedFiles().constFirst();
        },
        [](const rt::Message &question) {
            const QString title = question.title.isEmpty() ? rt::programTitle() : question.title;
            QMessageBox box(boxIcon(question.icon), title, question.text,
                            QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
            return box.exec() == QMessageBox::Ok;
        });
}

} // namespace windows
