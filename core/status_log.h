#pragma once
// The status log: plain text lines shown in the status window's text box,
// never saved. Every window writes its status and diagnostic lines here.
//
// The log is one text document, which the status window's box shows and
// edits in place; it keeps the newest kMaxLines lines, so an all-night run
// on a flaky line cannot grow it without end.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTextDocument>

namespace shell {

class StatusLog : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxLines = 10000;

    explicit StatusLog(QObject *parent = nullptr);
    ~StatusLog() override;

    // Adds one line; a text with line ends inside becomes several lines.
    void append(const QString &line);
    void clear();

    // The lines, oldest first; an empty document is an empty log.
    QStringList lines() const;
    int lineCount() const;
    // The text box's text: the lines, each ended by CR LF.
    QString text() const;

    // The document the status window's box shows; what the user types
    // there is the log.
    QTextDocument &document() { return m_document; }

Q_SIGNALS:
    void appended(const QString &line);
    void cleared();

private:
    QTextDocument m_document;
    bool m_empty = true;  // no line yet (a document always has one block)
    bool m_appending = false;
};

} // namespace shell
