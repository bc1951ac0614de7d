#pragma once
// Who may talk to the instrument, and when. The panel's key procedures, the
// rate check, the run start and the end-of-run commands send only while the
// link is established (REMOTE_OK); while it is down they skip the command
// and the reading of its reply, without a word. The start-up commands, the
// link test, the identification and the raw-command window send regardless.

#include "shell/dmm_link.h"
#include "shell/setting.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace shell {

// The commands sent each time the port is opened at start-up, in order.
inline const QStringList &startupCommands()
{
    static const QStringList commands = {
        QStringLiteral("SYST:OUTP:EOF 2\\10"),
        QStringLiteral("SYST:PAR:SAVE 5\\10"),
        QStringLiteral("SYST:PAR:LOAD 5\\10"),
        QStringLiteral("SENS:CURR:DET OFF\\10"),
    };
    return commands;
}

// Sets the port number and rate from the record, opens the port and sends
// the start-up commands. The first failure skips the rest; the reason is in
// link.lastErrorText() (an open failure has also gone out as a problem line).
bool openAtStartup(Class1 &link, const SETTING &setting);

// A command that waits for the link: sent only while REMOTE_OK is true.
bool writeIfLinked(bool REMOTE_OK, Class1 &link, const QString &command);

// A query that waits for the link: nothing is sent or read while REMOTE_OK
// is false; otherwise the reply (with its CR) or nothing on failure.
std::optional<QString> queryIfLinked(bool REMOTE_OK, Class1 &link, const QString &query);

} // namespace shell
