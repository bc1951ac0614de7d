#pragma once
// The connection settings window's procedures: its lists, the link test
// ("Connect") and the store of the settings record. The window only shows
// the lists and calls these; everything they change is in the Panel.

#include "shell/identity_reply.h"

#include <QString>
#include <QStringList>

struct Panel;

namespace shell {

// What the settings window's two lists hold. Nothing chosen: position -1
// and an empty baud-rate text.
struct Form2Controls
{
    int COM_PORT_LIST = -1;  // position p stands for "COM p+1"
    QString BuadRate_LIST;   // "9600" .. "115200", or ""
};

// "COM 1" .. "COM 10" and the five baud rates.
const QStringList &form2PortItems();
const QStringList &form2BaudItems();

// The lists as the window opens: preset from the settings record in memory
// (read at start-up or stored by the last OK) when it names both a port and
// a baud rate, otherwise nothing chosen.
Form2Controls Form_Load(const Panel &p);

// The port list, the baud-rate list and "Connect" are usable only while the
// front panel's "Random Data" is clear.
bool linkControlsEnabled(const Panel &p);

// The status window's two lines about a run's settings, each followed by an
// empty line, replacing what the log held:
//   "TEST Speed: 500 milliseconds" / "" / "Test time : 0.5 minutes" / "".
void showRunSettings(Panel &p, const QString &speedText, const QString &testTimeText);

enum class StoreResult {
    Stored,   // record, file, status text and SPEED_MS updated
    Refused,  // one of the three checks failed; its message box has been shown
    Failed,   // the choices cannot be stored or the file cannot be written; see *why
};

// The settings window's OK: checks the lists and the front panel's interval
// and test-time texts, then writes the settings file in the program's folder
// and, once it is written, takes the record into SETTING, replaces the status
// text and sets SPEED_MS from the interval text. Nothing is stored when a
// check fails or the file cannot be written.
StoreResult OK_BUTT_Click(Panel &p, const Form2Controls &f, const QString &programFolder,
                          QString *why = nullptr);

// "Connect": opens the chosen port, asks the instrument who it is, marks the
// link as up, shows the answer, stores the settings and checks the rate.
// Any failure (no port, no answer, an answer without content, a store that
// fails) shows "TEST ERROR!!" / "Fail", puts the reason in the status log and
// enables "Random Data" again; what was done before the failure stands.
// True when the settings were stored and the window closes.
bool LINL_TEST_Click(Panel &p, const Form2Controls &f, const QString &programFolder);

} // namespace shell
