#pragma once
// The one way the program shows a message box, asks a question or asks for
// a file. Tests put a recorder or a scripted answer in place of the real
// dialogs, so no test ever waits on a window.
//
// While a run holds the line to the instrument (a measurement run, a scan,
// the scanner's read-back) nothing here stops the program to wait for the
// user: a message box shows without waiting for its OK, and a question or a
// file dialog is not opened at all; its refusal is one status line. Which
// runs hold the line is known further up: the panel's owner puts the rule's
// two functions in place (setLineHold).

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
    // The box waits for its OK before the program goes on; false while a
    // run holds the line (the box only shows, and the run goes on).
    bool modal = true;
};

// Shows a message box with an OK button: modal, or only shown while a run
// holds the line.
void messageBox(const QString &text, const QString &title = {},
                MessageIcon icon = MessageIcon::None);

// The program's title, used when a message box is given none.
QString programTitle();

// A file to open, or "" when the user cancels. `filter` uses Qt's form
// ("Ini (*.ini)"). While a run holds the line: "" and a status line.
QString openFileName(const QString &caption, const QString &folder, const QString &filter);

using MessageHandler = std::function<void(const Message &)>;
using OpenFileHandler = std::function<QString(const QString &caption, const QString &folder,
                                              const QString &filter)>;
using QuestionHandler = std::function<bool(const Message &)>;

// Asks `question` with OK and Cancel; true for OK. `answer`, when given,
// answers in place of the program's box (a window's own answerer, a test).
// While a run holds the line it is not asked: false (Cancel) and a status
// line.
bool askOkCancel(const Message &question, const QuestionHandler &answer = {});

// The status lines of a refusal while a run holds the line.
inline constexpr char16_t kFileDialogRefusal[] =
    u"Not now: a run or a scan holds the instrument; stop it before choosing a file.";
QString questionRefusal(const Message &question);

// Whether a run holds the line, and the rule itself: `held` says whether
// one does now, `refused` writes a refusal's status line. `owner` marks
// whose they are. The newest rule in place counts; when its owner takes it
// away the one before counts again (a second panel that comes and goes).
struct LineHold
{
    std::function<bool()> held;
    std::function<void(const QString &line)> refused;
};
void setLineHold(const void *owner, LineHold hold);
void clearLineHold(const void *owner);
bool lineHeld();

// The real dialogs, which the windows put in place (windows/dialogs_window.h).
// Until then a message goes to the program's warning output, a question is
// answered Cancel and a file dialog answers "".
void setRealDialogs(MessageHandler messages, OpenFileHandler openFile, QuestionHandler questions);

// Replace the real dialogs (tests). An empty function puts the real one back.
void setMessageHandler(MessageHandler handler);
void setOpenFileHandler(OpenFileHandler handler);
void setQuestionHandler(QuestionHandler handler);

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
