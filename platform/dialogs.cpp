#include "platform/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace rt {
namespace {

MessageHandler &messageHandler()
{
    static MessageHandler handler;
    return handler;
}

OpenFileHandler &openFileHandler()
{
    static OpenFileHandler handler;
    return handler;
}

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString programTitle() { return QStringLiteral("RAVELO"); }

void messageBox(const QString &text, const QString &title, MessageIcon icon, QWidget *parent)
{
    const Message message{text, title, icon};
    if (messageHandler()) {
        messageHandler()(message);
        return;
    }
    QMessageBox box(boxIcon(icon), title.isEmpty() ? programTitle() : title, text,
                    QMessageBox::Ok, parent);
    box.exec();
}

QString openFileName(const QString &caption, const QString &folder, const QString &filter,
                     QWidget *parent)
{
    if (openFileHandler())
        return openFileHandler()(caption, folder, filter);
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

void setMessageHandler(MessageHandler handler) { messageHandler() = std::move(handler); }
void setOpenFileHandler(OpenFileHandler handler) { openFileHandler() = std::move(handler); }

MessageRecorder::MessageRecorder()
{
    setMessageHandler([this](const Message &message) { m_messages.append(message); });
}

MessageRecorder::~MessageRecorder() { setMessageHandler({}); }

} // namespace rt
