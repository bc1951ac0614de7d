#include "shell/raw_command.h"

#include "core/panel.h"
#include "platform/dialogs.h"
#include "platform/runtime.h"
#include "core/link_gate.h"
#include "shell/link_test.h"

namespace shell {
namespace {

bool refuse(const QString &text)
{
    rt::messageBox(text, QStringLiteral("Fail"), rt::MessageIcon::Critical);
    return false;
}

} // namespace

const QStringList &commandPortItems()
{
    static const QStringList items = [] {
        QStringList ports;
        for (int port = 1; port <= 20; ++port)
            ports.append(QStringLiteral("COM %1").arg(port));
        return ports;
    }();
    return items;
}

const QStringList &commandBaudItems()
{
    static const QStringList items = {
        QStringLiteral("1200"),  QStringLiteral("2400"),  QStringLiteral("4800"),  QStringLiteral("9600"),
        QStringLiteral("19200"), QStringLiteral("38400"), QStringLiteral("57600"), QStringLiteral("115200"),
    };
    return items;
}

void Form_Load(CommandTestControls &w)
{
    w = CommandTestControls{};
    RS_OPT_Click(w);
}

void RS_OPT_Click(CommandTestControls &w)
{
    w.COM_LIST = 0;
    w.BR_LIST = commandBaudItems().front();
}

bool TEST_BUTT_Click(Panel &p, CommandTestControls &w)
{
    if (!mayTalk(p, Sender::Always))
        return false;
    Class1 &link = p.link;
    link.Port(w.COM_LIST + 1);
    if (!link.BaudRate(w.BR_LIST) || !link.Open())
        return refuse(QStringLiteral("TEST ERROR!!"));

    // Clears whatever the instrument still had to say; its own answer, or
    // silence, changes nothing.
    ask(p, QStringLiteral("*sre?\r"), Sender::Always);

    if (!send(p, QStringLiteral("*IDN?\\10"), Sender::Always))
        return refuse(QStringLiteral("TEST ERROR!!"));
    const std::optional<QString> reply = link.Read();
    if (!reply || !replyHasContent(*reply))
        return refuse(QStringLiteral("TEST ERROR!!"));
    rt::messageBox(replyText(*reply));
    OK_BUTT_Click(w);
    return true;
}

void OK_BUTT_Click(CommandTestControls &w)
{
    w.locked = true;
}

void Setting_BUTT_Click(CommandTestControls &w)
{
    w.locked = false;
}

void INPUT_BUTT_Click(Panel &p, CommandTestControls &w)
{
    if (w.IN_COMM.isEmpty()) {
        refuse(QStringLiteral("PLZ Input Command"));
        return;
    }
    if (!w.locked) {
        refuse(QStringLiteral("PLZ Click TEST Button"));
        return;
    }
    if (!mayTalk(p, Sender::Always))
        return;
    const QString command = rt::trimSpaces(w.IN_COMM);
    if (!send(p, command + QStringLiteral("\\10"), Sender::Always)) {
        p.status.append(QStringLiteral("Not sent \"%1\": %2").arg(command, p.link.lastErrorText()));
        return;
    }
    if (!command.contains(u'?'))
        return;
    if (const std::optional<QString> reply = p.link.Read()) {
        w.OUTPUT_READ = replyText(*reply);
    } else {
        w.OUTPUT_READ.clear();
        p.status.append(QStringLiteral("No reply to \"%1\": %2").arg(command, p.link.lastErrorText()));
    }
}

void Command1_Click(CommandTestControls &w)
{
    w.OUTPUT_READ.clear();
}

} // namespace shell
