#include "shell/identity_reply.h"

#include "platform/runtime.h"

#include <algorithm>

namespace shell {
namespace {

QString afterFirstComma(const QString &text)
{
    const qsizetype comma = text.indexOf(u',');
    return comma < 0 ? text : text.mid(comma + 1);
}

} // namespace

QString replyText(const QString &reply)
{
    return reply.endsWith(u'\r') ? reply.chopped(1) : reply;
}

bool replyHasContent(const QString &reply)
{
    return !std::all_of(reply.cbegin(), reply.cend(), rt::isBlank);
}

QString firmwareVersion(const QString &identity)
{
    const QString fourth = afterFirstComma(afterFirstComma(afterFirstComma(identity)));
    return rt::left(fourth, 4).value_or(QString());
}

} // namespace shell
