#include "windows/dialogs_window.h"

#include "platform/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

#include <memory>
#include <utility>

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

// Widens `dialog`, as far as its screen allows, until its list of files
// shows every column whole beside the others.
void fitFileColumns(QFileDialog *dialog, QTreeView *details)
{
    if (!dialog->isVisible())
        return;
    const QHeaderView *header = details->header();
    const QAbstractItemView *view = details;  // where the column's hint is public
    int need = 0;
    for (int column = 0; column < header->count(); ++column)
        if (!header->isSectionHidden(column))
            need += std::max(header->sectionSizeHint(column), view->sizeHintForColumn(column));
    const int lacking = need - details->viewport()->width();
    if (lacking <= 0)
        return;
    QRect frame = dialog->geometry();
    frame.setWidth(frame.width() + lacking);
    if (const QScreen *screen = dialog->screen()) {
        const QRect room = screen->availableGeometry();
        frame.setWidth(std::min(frame.width(), room.width()));
        frame.moveLeft(std::clamp(frame.left(), room.left(), room.right() + 1 - frame.width()));
    }
    dialog->setGeometry(frame);
}

} // namespace

QFileDialog *openFileDialog(QWidget *parent, const QString &caption, const QString &folder,
                            const QString &filter)
{
    auto *dialog = new QFileDialog(parent, caption, folder, filter);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setViewMode(QFileDialog::Detail);
    // The list of files in detail, every column as wide as its longest
    // entry: the names whole ("DMM-20261211-102250-001.txt", not
    // "DMM-2026...-001.txt"), then size, type and date; the last column
    // takes what is left. The dialog widens for them once they are listed.
    if (auto *details = dialog->findChild<QTreeView *>()) {
        QHeaderView *header = details->header();
        header->setStretchLastSection(true);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        auto pending = std::make_shared<bool>(false);
        const auto fitSoon = [dialog, details, pending] {
            if (std::exchange(*pending, true))
                return;
            QTimer::singleShot(0, dialog, [dialog, details, pending] {
                *pending = false;
                fitFileColumns(dialog, details);
            });
        };
        QObject::connect(details->model(), &QAbstractItemModel::rowsInserted, dialog, fitSoon);
        QObject::connect(details->model(), &QAbstractItemModel::dataChanged, dialog, fitSoon);
        fitSoon();  // a listing known at once, once the dialog shows
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
