#include "keys/key_exchange.h"

#include "core/link_gate.h"
#include "core/panel.h"
#include "platform/runtime.h"

namespace keys {

namespace {

// The exchange that failed last, for the status line of the key it ended.
QString g_failed;

bool failed(const QString &command)
{
    g_failed = command;
    return false;
}

} // namespace

bool keySend(Panel &p, const QString &command)
{
    if (!p.state.REMOTE_OK)
        return true;
    return shell::send(p, command) || failed(command);
}

std::optional<QString> keyAsk(Panel &p, const QString &query)
{
    if (!p.state.REMOTE_OK)
        return std::nullopt;
    std::optional<QString> reply = shell::ask(p, query);
    if (!reply)
        failed(query);
    return reply;
}

void keyEnded(Panel &p, QStringView key)
{
    QString what = g_failed;
    what.remove(QStringLiteral("\\10"));
    QString why = p.link.lastErrorText();
    if (why.isEmpty())
        why = QStringLiteral("The instrument did not take it.");
    p.status.append(QStringLiteral("%1 key: \"%2\" failed, the key stopped there. %3")
                        .arg(key, rt::trimSpaces(what), why));
}

} // namespace keys
