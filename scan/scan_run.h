#pragma once
// Scan runs: the continuous scan ("Scan") and the step scan ("Step"), for a
// repeat count or until stopped, paced by the two 100 ms run timers. Each
// tick that finds the instrument talking fetches the pass's readings into
// the result grids (and the scan data file when "SAVE DATA" is ticked),
// moves to a new row and arms the next pass; "Stop" ends either kind.
//
// Every exchange goes through the gate as the scanner's own (it talks
// whether or not the front panel's link is established). A run never
// shares the instrument with a measurement run.

#include <QString>
#include <QStringView>

namespace scan {

struct ScanContext;
class ScanControls;

enum class RunKind { Scan, Step };

// The start buttons. Refused with a message while a measurement run is in
// progress or a scan runs. A scan data file that cannot be begun, or a
// channel set-up that fails, leaves the window idle. A run starts on a
// quiet line: what the instrument still owes from before (a stopped run's
// end-of-pass line, the rest of its readings) is waited for and dropped
// first.
void Scan_BUTT_Click(ScanContext &s);
void STEP_BUTT_Click(ScanContext &s);
// Stop acts at once whatever the line does: clicked during a tick's wait it
// ends the wait, and "rout:func off" goes out without waiting for the lines
// still owed, which the next exchange drops.
void STOP_BUTT_Click(ScanContext &s);

// Points the two run timers at their ticks; the window's opening does it.
void connectScanTimers(ScanContext &s);
void Timer1_Scan_Timer(ScanContext &s);
void Timer1_STEP_Timer(ScanContext &s);

// Sends the channel list and each ticked channel's function, range and
// auto flag; false (and "Is Error" shown) when a command did not go out.
bool SCAN_CHANNEL_SETUP(ScanContext &s);

// The "rout:chan" command of ticked channel i as it stands in the table.
QString channelCommand(const ScanControls &c, int i);

// The channel table locked for a run: nothing of it takes the user's hand.
// The unlock gives back the table the lock found, each control enabled as
// it was: a four-wire partner locked before the run stays locked.
void SCAN_TABLE_LOCK(ScanControls &c);
void SCAN_TABLE_UNLOCK(ScanControls &c);

// Begins a new scan data file: a new FILE_STAMP from SCAN_FILE_NO, the
// folder when missing, the header of the channels ticked now. The file
// becomes the one results go to. False, with the reason, when it fails.
bool SCAN_FILE_CREATE(ScanContext &s, QString *why = nullptr);

// A box's number as the run sends it: its leading number, shortest text.
QString numberOf(QStringView box);

} // namespace scan
