#include "shell/status.h"

#include "core/panel.h"
#include "core/link_gate.h"
#include "shell/link_test.h"

namespace shell {

void MODE1_MODE2(Panel &p)
{
    const PanelState &s = p.state;
    p.status.append(QStringLiteral("MODE1=") + s.MODE1);
    p.status.append(QStringLiteral("MODE1 RANGE=") + s.MODE1_RANGE);
    p.status.append(QString());
    p.status.append(QStringLiteral("MODE2=") + s.MODE2);
    p.status.append(QStringLiteral("MODE2 RANGE=") + s.MODE2_RANGE);
}

void ClearMODE_DATA(Panel &p)
{
    p.state.DISPLAY1.clear();
    p.state.DISPLAY2.clear();
    if (!p.display.isLit(display::Lamp::ND2_LAB)) {
        p.state.MODE1.clear();
        p.state.MODE2.clear();
    }
}

void CHK_COM_TF_Click(Panel &p)
{
    const bool demonstration = p.controls.CHK_COM_TF.checked;
    p.state.REMOTE_OK = !demonstration;
    p.controls.Ran_CHK.checked = demonstration;
    p.controls.touch();
}

void Clear_BUTT_Click(Panel &p)
{
    p.status.clear();
}

void Err_Clear_BUTT_Click(Panel &p)
{
    if (!p.state.PORT_SET)
        return;
    if (const std::optional<QString> reply = ask(p, QStringLiteral("syst:err?\\10"), Sender::Always))
        p.status.append(replyText(*reply));
}

void Quit_BUTT_Click(Panel &p)
{
    send(p, QStringLiteral("SYST:LOC\\10"));
}

bool Text1_Change(const Panel &p)
{
    return !p.timers.READ_Timer.isEnabled() && p.status.lineCount() == 1
           && p.status.lines().front() == QStringView(kFetchSamplePhrase);
}

} // namespace shell
