#include "reading/reply_text.h"

#include "platform/runtime.h"
#include "reading/reading_rows.h"

namespace reading {

ReplyFields splitReply(QStringView reply)
{
    const qsizetype comma = reply.indexOf(u',');
    if (comma < 0)
        return {reply, {}};
    return {reply.first(comma), reply.sliced(comma + 1)};
}

QString replyText(QStringView reply)
{
    QString text;
    text.reserve(reply.size());
    for (const QChar c : reply)
        if (c.unicode() >= 0x20 && c.unicode() != 0x7F)
            text += c;
    return rt::trimSpaces(text);
}

} // namespace reading

namespace reading {

QString replyAsReading(QStringView reply)
{
    const QString text = replyText(reply);
    return text.size() > kLongestDisplay1 ? kDetect : text;
}

} // namespace reading
