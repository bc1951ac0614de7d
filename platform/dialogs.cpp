#include "platform/dialogs.h"

#include <QtGlobal>

#include <vector>

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

QuestionHandler &questionHandler()
{
    static QuestionHandler handler;
    return handler;
}

QuestionHandler &realQuestion()
{
    static QuestionHandler handler;
    return handler;
}

struct HeldBy
{
    const void *owner = nullptr;
    LineHold hold;
};

// The rules put in place, newest last; the newest counts.
std::vector<HeldBy> &lineHolds()
{
    static std::vector<HeldBy> holds;
    return holds;
}

void refuse(const QString &line)
{
    if (!lineHolds().empty() && lineHolds().back().hold.refused)
        lineHolds().back().hold.refused(line);
}

} // namespace

QString programTitle() { return QStringLiteral("RAVELO"); }

void messageBox(const QString &text, const QString &title, MessageIcon icon)
{
    const Message message{text, title, icon, !lineHeld()};
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
    if (lineHeld()) {
        refuse(QString::fromUtf16(kFileDialogRefusal));
        return {};
    }
    if (openFileHandler())
        return openFileHandler()(caption, folder, filter);
    if (realOpenFile())
        return realOpenFile()(caption, folder, filter);
    return {};
}

bool askOkCancel(const Message &question, const QuestionHandler &answer)
{
    if (lineHeld()) {
        refuse(questionRefusal(question));
        return false;
    }
    if (answer)
        return answer(question);
    if (questionHandler())
        return questionHandler()(question);
    if (realQuestion())
        return realQuestion()(question);
    return false;
}

QString questionRefusal(const Message &question)
{
    return QStringLiteral("Not now: a run or a scan holds the instrument, so \"%1\" was answered Cancel; "
                          "stop it first.")
        .arg(question.text);
}

void setLineHold(const void *owner, LineHold hold)
{
    clearLineHold(owner);
    lineHolds().push_back({owner, std::move(hold)});
}

void clearLineHold(const void *owner)
{
    std::erase_if(lineHolds(), [owner](const HeldBy &held) { return held.owner == owner; });
}

bool lineHeld()
{
    return !lineHolds().empty() && lineHolds().back().hold.held && lineHolds().back().hold.held();
}

void setRealDialogs(MessageHandler messages, OpenFileHandler openFile, QuestionHandler questions)
{
    realMessageBox() = std::move(messages);
    realOpenFile() = std::move(openFile);
    realQuestion() = std::move(questions);
}

void setMessageHandler(MessageHandler handler) { messageHandler() = std::move(handler); }
void setOpenFileHandler(OpenFileHandler handler) { openFileHandler() = std::move(handler); }
void setQuestionHandler(QuestionHandler handler) { questionHandler() = std::move(handler); }

MessageRecorder::MessageRecorder()
{
    setMessageHandler([this](const Message &message) { m_messages.append(message); });
}

MessageRecorder::~MessageRecorder() { setMessageHandler({}); }

} // namespace rt
