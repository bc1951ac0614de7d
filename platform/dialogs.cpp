#include "platform/dialogs.h"

#include <QtGlobal>

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

// The program's real dialogs, put in place by its windows.
MessageHandler &realMessageBox()
{
    static MessageHandler handler;
    return handler;
}

OpenFileHandler &realOpenFile()
{
    static OpenFileHandler handler;
    return handler;
}

} // namespace

QString programTitle() { return QStringLiteral("RAVELO"); }

void messageBox(const QString &text, const QString &title, MessageIcon icon)
{
    const Message message{text, title, icon};
    if (messageHandler()) {
        messageHandler()(message);
        return;
    }
    if (realMessageBox()) {
        realMessageBox()(message);
        return;
    }
    // No window to show it in: the message still reaches somebody.
    qWarning("%s: %s", qPrintable(title.isEmpty() ? programTitle() : title), qPrintable(text));
}

QString openFileName(const QString &caption, const QString &folder, const QString &filter)
{
    if (openFileHandler())
        return openFileHandler()(caption, folder, filter);
    if (realOpenFile())
        return realOpenFile()(caption, folder, filter);
    return {};
}

void setRealDialogs(MessageHandler messages, OpenFileHandler openFile)
{
    realMessageBox() = std::move(messages);
    realOpenFile() = std::move(openFile);
}

void setMessageHandler(MessageHandler handler) { messageHandler() = std::move(handler); }
void setOpenFileHandler(OpenFileHandler handler) { openFileHandler() = std::move(handler); }

MessageRecorder::MessageRecorder()
{
    setMessageHandler([this](const Message &message) { m_messages.append(message); });
}

MessageRecorder::~MessageRecorder() { setMessageHandler({}); }

} // namespace rt
