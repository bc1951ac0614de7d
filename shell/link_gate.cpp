#include "shell/link_gate.h"

namespace shell {

bool openAtStartup(Class1 &link, const SETTING &setting)
{
    link.Port(setting.PORT);
    link.BaudRate(setting.BAUD);
    if (!link.Open())
        return false;
    for (const QString &command : startupCommands()) {
        if (!link.Write(command))
            return false;
    }
    return true;
}

bool writeIfLinked(bool REMOTE_OK, Class1 &link, const QString &command)
{
    if (!REMOTE_OK)
        return false;
    return link.Write(command);
}

std::optional<QString> queryIfLinked(bool REMOTE_OK, Class1 &link, const QString &query)
{
    if (!REMOTE_OK || !link.Write(query))
        return std::nullopt;
    return link.Read();
}

} // namespace shell
