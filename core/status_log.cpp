#include "core/status_log.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>

namespace shell {

StatusLog::StatusLog(QObject *parent) : QObject(parent)
{
    m_document.setUndoRedoEnabled(false);
    m_document.setMaximumBlockCount(kMaxLines);
    // Typed into the box: the log is what the box now shows.
    connect(&m_document, &QTextDocument::contentsChanged, this, [this] {
        if (!m_appending)
            m_empty = m_document.isEmpty();
    });
}

// The document goes before this object's own connections do: it must not
// reach the log while the log is being taken down.
StatusLog::~StatusLog()
{
    m_document.disconnect(this);
}

void StatusLog::append(const QString &line)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QString body = line;
    if (body.endsWith(u'\n'))
        body.chop(body.endsWith(QStringLiteral("\r\n")) ? 2 : 1);
    else if (body.endsWith(u'\r'))
        body.chop(1);
    const QStringList parts = body.split(lineEnd);
    for (const QString &part : parts) {
        {
            m_appending = true;
            QTextCursor end(&m_document);
            end.movePosition(QTextCursor::End);
            if (!m_empty)
                end.insertBlock();
            end.insertText(part);
            m_empty = false;
            m_appending = false;
        }
        Q_EMIT appended(part);
    }
}

void StatusLog::clear()
{
    m_appending = true;
    m_document.clear();
    m_empty = true;
    m_appending = false;
    Q_EMIT cleared();
}

QStringList StatusLog::lines() const
{
    QStringList lines;
    if (m_empty)
        return lines;
    lines.reserve(m_document.blockCount());
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next())
        lines.append(block.text());
    return lines;
}

int StatusLog::lineCount() const
{
    return m_empty ? 0 : m_document.blockCount();
}

QString StatusLog::text() const
{
    QString text;
    for (const QString &line : lines())
        text += line + QStringLiteral("\r\n");
    return text;
}

} // namespace shell
