#pragma once
// The one gate to the instrument. Every exchange of the panel's procedures
// passes here, and the gate applies the two rules of who may talk when:
//
//  - the link rule: key procedures, the rate check, the run start and the
//    end-of-run commands send only while the link is established
//    (REMOTE_OK); while it is down the command and the reading of its reply
//    are skipped without a word;
//  - the streaming rule: while a fast run streams its samples a query from
//    anyone else would take a sample as its reply, so nothing else goes out;
//    the refusal is one status line (no message box, which would hold up
//    the run);
//  - the scan rule: while the scanner window reads the scanner's state
//    back or runs a scan only the scanner talks (the instrument sends a
//    scan's end-of-pass line unasked, which anyone else's query would take
//    as its reply); the refusal is one status line too.
//
// The start-up commands, the identification, the link test and the
// raw-command window talk to the instrument whether the link is established
// or not (Sender::Always); the run's own loops own the line while they run
// (Sender::Run).

#include "core/dmm_link.h"
#include "core/setting.h"

#include <QString>
#include <QStringList>
#include <optional>

struct Panel;

namespace shell {

struct PanelState;

enum class Sender {
    Panel,    // every rule
    Always,   // the streaming and scan rules
    Run,      // the run's own loop: no rule
    Scanner,  // the scanner window: the streaming rule only
};

// Sends one command; false when a rule held it back or it did not go out.
bool send(Panel &p, const QString &command, Sender who = Sender::Panel);

// Sends one command at once, without first waiting for replies still owed
// (a stop that must reach the instrument now).
bool sendNow(Panel &p, const QString &command, Sender who = Sender::Panel);

// Sends one query and reads its reply (with its CR); nothing when a rule
// held it back, it did not go out or no reply came.
std::optional<QString> ask(Panel &p, const QString &query, Sender who = Sender::Panel);

// The status line of a refusal while another exchange waits for its reply.
inline constexpr char16_t kBusyRefusal[] = u"Not now: the instrument is answering another query.";
// The status line of a refusal while the scanner window runs a scan.
inline constexpr char16_t kScanRefusal[] = u"Not now: the scanner window is running a scan; stop it first.";

// Whether `who` may talk to the instrument now; a refusal writes its status
// line (never while the link is simply down).
bool mayTalk(Panel &p, Sender who);

// Whether a run holds the line: a measurement run (a demonstration run
// too) from the moment its name is given through its end, or the scanner
// window's scan or read-back. Meanwhile nothing may stop the event thread to wait for the
// user (platform/dialogs.h): the run would take no reading until answered.
bool runHoldsLine(const PanelState &state);

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

} // namespace shell
