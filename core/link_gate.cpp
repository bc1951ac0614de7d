#include "core/link_gate.h"

#include "core/panel.h"

namespace shell {

bool mayTalk(Panel &p, Sender who)
{
    // Nobody's exchange starts inside another's wait for its reply.
    if (p.link.isWaiting()) {
        p.status.append(QString::fromUtf16(kBusyRefusal));
        return false;
    }
    switch (who) {
    case Sender::Run:
        return true;
    case Sender::Panel:
        if (!p.state.REMOTE_OK)
            return false;
        [[fallthrough]];
    case Sender::Always:
        if (p.state.scanRunning) {
            p.status.append(QString::fromUtf16(kScanRefusal));
            return false;
        }
        [[fallthrough]];
    case Sender::Scanner:
        if (!instrumentStreaming(p.state))
            return true;
        p.status.append(QString::fromUtf16(kStreamingRefusal));
        return false;
    }
    return false;
}

bool runHoldsLine(const PanelState &state)
{
    if (state.scanRunning)
        return true;
    switch (state.runPhase) {
    case RunPhase::Timed:
    case RunPhase::NormalLoop:
    case RunPhase::FastLoop:
    case RunPhase::Ending:
        return true;
    case RunPhase::Idle:
    case RunPhase::Naming:  // the record-name box waits for the user anyway
        break;
    }
    return false;
}

bool send(Panel &p, const QString &command, Sender who)
{
    return mayTalk(p, who) && p.link.Write(command);
}

bool sendNow(Panel &p, const QString &command, Sender who)
{
    return mayTalk(p, who) && p.link.WriteNow(command);
}

std::optional<QString> ask(Panel &p, const QString &query, Sender who)
{
    if (!send(p, query, who))
        return std::nullopt;
    return p.link.Read();
}

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

} // namespace shell
