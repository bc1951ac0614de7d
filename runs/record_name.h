#pragma once
// The record name a run is filed under: the name box, its OK and Cancel,
// and START's wait for one of them.

namespace runs {

struct RunContext;

// The name box at 2400, 3200, in front, its text ready for typing.
void openNameBox(RunContext &r);
// START's wait for the name: the box comes forward and the window's events
// run until OK or Cancel closes it. False when the program ends meanwhile
// (the run is then not begun).
bool waitForRecordName(RunContext &r);

// "Save Data" ticked brings the box forward; OK takes a usable name (one
// that stays inside "SAVE DATA") and records under it, Cancel runs
// without a file.
void SAVE_CHK_Click(RunContext &r);
void INPU_NAME_OK_Click(RunContext &r);
void NAME_BUTT_CANC_Click(RunContext &r);

} // namespace runs
