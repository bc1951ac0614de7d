#pragma once
// The status window's procedures and the front panel's small diagnostic
// ones: the mode dump, forgetting the function codes, the demonstration
// switch "Random Data", the error-queue button, Quit and the typed phrase
// that opens the raw-command window. The windows call these and show what
// they leave in the Panel.

#include <QString>

struct Panel;

namespace shell {

// The phrase that, typed alone into the status log while no run is going,
// opens the raw-command window.
inline constexpr char16_t kFetchSamplePhrase[] = u"fetch sample";

// "Show Mode": appends MODE1, MODE1_RANGE, an empty line, MODE2 and
// MODE2_RANGE, each as "NAME=value".
void MODE1_MODE2(Panel &p);

// Forgets both reading texts, and the function codes too unless the 2ND
// lamp is lit.
void ClearMODE_DATA(Panel &p);

// "Random Data" was clicked; its new state is in p.controls.CHK_COM_TF.
// Ticked: demonstration readings, every command skipped (REMOTE_OK false).
// Cleared: back to the instrument (REMOTE_OK true), without asking it.
void CHK_COM_TF_Click(Panel &p);

// "Clear Text".
void Clear_BUTT_Click(Panel &p);

// "Clear Error": one entry of the instrument's error queue into the log,
// only when the settings record gave a port at start-up. A failed exchange
// leaves the log as it was.
void Err_Clear_BUTT_Click(Panel &p);

// "Quit": returns the instrument to local operation while the link is up.
// Ending the program is the window's part.
void Quit_BUTT_Click(Panel &p);

// The log changed: true when the raw-command window is to open, that is when
// no run is timed (READ_Timer disabled) and the whole log text is exactly
// the phrase.
bool Text1_Change(const Panel &p);

} // namespace shell
