#include "shell/link_test.h"

#include "core/panel.h"
#include "platform/dialogs.h"
#include "platform/runtime.h"
#include "core/link_gate.h"
#include "shell/setting_rules.h"
#include "shell/speed_check.h"

#include <algorithm>

namespace shell {
namespace {

QString afterFirstComma(const QString &text)
{
    const qsizetype comma = text.indexOf(u',');
    return comma < 0 ? text : text.mid(comma + 1);
}

QString beforeFirstComma(const QString &text)
{
    const qsizetype comma = text.indexOf(u',');
    return comma < 0 ? text : text.left(comma);
}

// The link test's one failure report; the reason goes to the status log so
// the user sees more than "TEST ERROR!!".
bool linkTestFailed(Panel &p, const QString &why)
{
    rt::messageBox(QStringLiteral("TEST ERROR!!"), QStringLiteral("Fail"), rt::MessageIcon::Critical);
    if (!why.isEmpty())
        p.status.append(QStringLiteral("Link test failed: ") + why);
    p.controls.CHK_COM_TF.enabled = true;
    p.controls.touch();
    return false;
}

} // namespace

const QStringList &form2PortItems()
{
    static const QStringList items = [] {
        QStringList ports;
        for (int port = 1; port <= 10; ++port)
            ports.append(QStringLiteral("COM %1").arg(port));
        return ports;
    }();
    return items;
}

const QStringList &form2BaudItems()
{
    static const QStringList items = {
        QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"),
        QStringLiteral("57600"), QStringLiteral("115200"),
    };
    return items;
}

Form2Controls Form_Load(const Panel &p)
{
    Form2Controls f;
    const SETTING &s = p.state.SETTING;
    if (s.PORT != 0 && s.BAUD != 0) {
        f.COM_PORT_LIST = s.PORT - 1;
        f.BuadRate_LIST = QString::number(s.BAUD);
    }
    return f;
}

bool linkControlsEnabled(const Panel &p)
{
    return !p.controls.CHK_COM_TF.checked;
}

void showRunSettings(Panel &p, const QString &speedText, const QString &testTimeText)
{
    const QString testTime = rt::trimSpaces(testTimeText);
    p.status.clear();
    p.status.append(QStringLiteral("TEST Speed: ") + rt::trimSpaces(speedText) + QStringLiteral(" milliseconds"));
    p.status.append(QString());
    if (testTime == QStringLiteral("Continuous"))
        p.status.append(QStringLiteral("Test time : Continuous"));
    else
        p.status.append(QStringLiteral("Test time : ") + testTime + QStringLiteral(" minutes"));
    p.status.append(QString());
}

StoreResult OK_BUTT_Click(Panel &p, const Form2Controls &f, const QString &programFolder, QString *why)
{
    const PanelControls &c = p.controls;
    if (f.COM_PORT_LIST < 0 && f.BuadRate_LIST.isEmpty() && !c.CHK_COM_TF.checked) {
        rt::messageBox(QStringLiteral("COM PORT The field is blank please reselect"),
                       QStringLiteral("Setting error"), rt::MessageIcon::Critical);
        return StoreResult::Refused;
    }
    if (c.CONT_TIME_LIST.text.isEmpty()) {
        rt::messageBox(QStringLiteral("The field is a blank to read time in succession!Please input again"));
        return StoreResult::Refused;
    }
    if (c.Speed_TIME.text.isEmpty()) {
        rt::messageBox(QStringLiteral("Speed Time field is a blank!Please input again"));
        return StoreResult::Refused;
    }

    qint32 speedMs = 0;
    QString reason;
    const std::optional<SETTING> record = settingForStore(f.COM_PORT_LIST, f.BuadRate_LIST, c.Speed_TIME.text,
                                                          c.CONT_TIME_LIST.text, p.state.SETTING, &speedMs,
                                                          &reason);
    if (!record || !writeSetting(settingPath(programFolder), *record, &reason)) {
        if (why)
            *why = reason;
        return StoreResult::Failed;
    }
    p.state.SETTING = *record;
    showRunSettings(p, c.Speed_TIME.text, c.CONT_TIME_LIST.text);
    p.state.SPEED_MS = speedMs;
    return StoreResult::Stored;
}

bool LINL_TEST_Click(Panel &p, const Form2Controls &f, const QString &programFolder)
{
    if (!mayTalk(p, Sender::Always))
        return false;
    Class1 &link = p.link;
    link.Port(f.COM_PORT_LIST + 1);
    if (!link.BaudRate(f.BuadRate_LIST))
        return linkTestFailed(p, QStringLiteral("no baud rate is chosen."));
    if (!link.Open())
        return linkTestFailed(p, link.lastErrorText());

    // The service-request mask is asked only to clear the instrument's
    // output; its answer, or its silence, changes nothing.
    ask(p, QStringLiteral("*SRE?\\10"), Sender::Always);

    QStringList commands = startupCommands().mid(0, 3);
    commands.append(QStringLiteral("*IDN?\\10"));
    for (const QString &command : std::as_const(commands)) {
        if (!send(p, command, Sender::Always))
            return linkTestFailed(p, link.lastErrorText());
    }
    const std::optional<QString> reply = link.Read();
    if (!reply)
        return linkTestFailed(p, QStringLiteral("the instrument did not answer \"*IDN?\" (%1)")
                                     .arg(link.lastErrorText()));
    if (!replyHasContent(*reply))
        return linkTestFailed(p, QStringLiteral("the instrument answered \"*IDN?\" with nothing."));

    const QString identity = replyText(*reply);
    p.controls.CHK_COM_TF.enabled = false;
    p.state.REMOTE_OK = true;
    if (p.state.BRAND_CODE == QStringLiteral("VX"))
        p.controls.VER_LAB = identity;
    else if (p.state.BRAND_CODE == QStringLiteral("QD"))
        p.controls.VER_LAB = beforeFirstComma(afterFirstComma(identity));
    p.state.FW_VERSION = firmwareVersion(identity);
    p.controls.touch();
    rt::messageBox(identity, QStringLiteral("Success"), rt::MessageIcon::Information);

    QString why;
    const StoreResult stored = OK_BUTT_Click(p, f, programFolder, &why);
    if (stored == StoreResult::Failed)
        return linkTestFailed(p, why);
    SPEED_CHK(p);
    return stored == StoreResult::Stored;
}

} // namespace shell
