#pragma once
// The scanner window's procedures that need more than its own controls:
// the panel (channel, state, status log) and the user's answers. The window
// calls them; tests call them without a window.

#include "scan/scan_controls.h"
#include "scan/scanner_waits.h"
#include "platform/dialogs.h"

#include <QDateTime>

#include <functional>

struct Panel;

namespace scan {

struct ScanContext
{
    Panel &panel;
    ScanControls &controls;
    // Answers an OK/Cancel question in place of the program's box (tests);
    // true for OK. Either way the question goes through rt::askOkCancel,
    // which does not ask it while a run holds the line.
    std::function<bool(const rt::Message &)> askOkCancel;

    // The wall clock of file names and time stamps; tests fix it.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
    // The window's rule for the user's input inside its waits (its Stop and
    // Quit, the program's Quit are heard; scanner_waits.h). Without one the
    // waits judge no input.
    OpenWaitInput inputDuringWaits = {};

    // The pause between channels of a set-up, in units of 10 ms (Delay);
    // tests that count commands, not time, put a no-op here.
    std::function<void(float)> pace = {};

    bool ask(const rt::Message &question) const { return rt::askOkCancel(question, askOkCancel); }
};

// The opening, as far as it is not the window's own (showing the
// "ScanBox Setting" menu, placing the window): repeat-count mode, the run
// timers at 100 ms and stopped, both name boxes closed, the result grids,
// the function lists, then the scanner's state read back from the
// instrument.
void Form_Load(ScanContext &s);

// "Quit", and the close box while Quit is enabled: every control greys
// (closing) and the front panel's rate lamp is refreshed, and the window
// closes. False (and nothing done) while a run has Quit disabled, or while
// the window already closes: it stays open. During the read-back at
// opening it ends the read-back (quitAsked) and returns false: the window
// closes once the read-back has given way, without a rate query of its
// own, as the scanner key that opened it asks the rate right after.
bool Quit_BUTT_Click(ScanContext &s);

// The program is ending: a run stops as Stop stops it, a read-back ends as
// Quit ends it. True when the window no longer holds the line; otherwise it
// lets go once the wait in progress has given way (lineReleased).
bool letGoForProgramEnd(ScanContext &s);

// The scan data name box. Ticking "SAVE DATA" opens it; OK takes a name
// that can be part of a file name and starts the file numbering at 1;
// Cancel clears "SAVE DATA".
void Save_DATA_CHK_Click(ScanContext &s);
void INPU_NAME_OK_Click(ScanContext &s);
void NAME_BUTT_CANC_Click(ScanContext &s);

// The set-up name box: the main window's "Save ScanBox Status(&S)" opens
// it, Cancel closes it, OK saves (setup_files.h).
void SSBS_SS_Click(ScanContext &s);
void SSBS_Cancel_Butt_Click(ScanContext &s);

// Waits `second` x 10 ms (rounded, halves to even) without letting events
// run; the channel set-up of a run paces the scanner with it.
void Delay(float second);
int delayMilliseconds(float second);

} // namespace scan
