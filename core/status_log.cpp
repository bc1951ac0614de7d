#include "core/status_log.h"

#include <QRegularExpression>

namespace shell {

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
        m_lines.append(part);
        Q_EMIT appended(part);
    }
}

void StatusLog::clear()
{
    m_lines.clear();
    Q_EMIT cleared();
}

QString StatusLog::text() const
{
    QString text;
    for (const QString &line : m_lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

} // namespace shell
