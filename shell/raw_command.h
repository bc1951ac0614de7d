#pragma once
// The raw-command window's procedures: choose a port and a baud rate, test
// the link with an identification, then send typed commands and show the
// replies. The settings are "locked" once tested (or confirmed with OK);
// typed commands go out only while they are.

#include <QString>
#include <QStringList>

struct Panel;

namespace shell {

struct CommandTestControls
{
    int COM_LIST = 0;                          // position p stands for "COM p+1"
    QString BR_LIST = QStringLiteral("1200");  // baud-rate text
    bool locked = false;                       // Setting_Frame, COM_BR_Frame and OK_BUTT disabled
    QString IN_COMM;                           // the command typed
    QString OUTPUT_READ;                       // the last reply
};

// "COM 1" .. "COM 20" and the eight baud rates, rising.
const QStringList &commandPortItems();
const QStringList &commandBaudItems();

// Each opening starts unlocked on "COM 1" at 1200 baud.
void Form_Load(CommandTestControls &w);
// "RS-232" chosen: the first port and the first rate.
void RS_OPT_Click(CommandTestControls &w);

// "TEST": opens the chosen port on the program's one channel, asks "*IDN?"
// and shows the answer, then locks the settings. No answer, or one without
// content, shows "TEST ERROR!!" / "Fail" and leaves them unlocked.
// True when locked.
bool TEST_BUTT_Click(Panel &p, CommandTestControls &w);

// "OK" locks without testing; "Setting" unlocks.
void OK_BUTT_Click(CommandTestControls &w);
void Setting_BUTT_Click(CommandTestControls &w);

// "Input OK": sends the typed text, spaces trimmed, as one command; a text
// with "?" anywhere is a query, and its reply replaces OUTPUT_READ. Refused
// with "PLZ Input Command" when nothing is typed and "PLZ Click TEST Button"
// while the settings are unlocked. A query that gets no reply empties
// OUTPUT_READ, so an old reply never passes for the new one, and says so in
// the status log.
void INPUT_BUTT_Click(Panel &p, CommandTestControls &w);

// "Clear Output".
void Command1_Click(CommandTestControls &w);

} // namespace shell
