#pragma once
// The one way the program shows a message box or asks for a file. Tests put
// a recorder or a scripted answer in place of the real dialogs, so no test
// ever waits on a window.

#include <QString>
#include <QStringList>
#include <functional>

namespace rt {

enum class MessageIcon { None, Critical, Exclamation, Information };

struct Message
{
    QString text;
    QString title;  // "" = the program's own title
    MessageIcon icon = MessageIcon::None;
};

// Shows a modal message box with an OK button.
void messageBox(const QString &text, const QString &title = {},
                MessageIcon icon = MessageIcon::None);

// The program's title, used when a message box is given none.
QString programTitle();

// A file to open, or "" when the user cancels. `filter` uses Qt's form
// ("Ini (*.ini)").
QString openFileName(const QString &caption, const QString &folder, const QString &filter);

using MessageHandler = std::function<void(const Message &)>;
using OpenFileHandler = std::function<QString(const QString &caption, const QString &folder,
                                              const QString &filter)>;

// The real dialogs, which the windows put in place (windows/dialogs_window.h).
// Until then a message goes to the program's warning output and a file
// dialog answers "".
void setRealDialogs(MessageHandler messages, OpenFileHandler openFile);

// Replace the real dialogs (tests). An empty function puts the real one back.
void setMessageHandler(MessageHandler handler);
void setOpenFileHandler(OpenFileHandler handler);

// Records every message box instead of showing it, while it lives.
class MessageRecorder
{
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    const QList<Message> &messages() const { return m_messages; }
    void clear() { m_messages.clear(); }
    void record(const Message &message) { m_messages.append(message); }

private:
    QList<Message> m_messages;
};

} // namespace rt
