#pragma once
// The SHIFT key and the two long presses.
//
// SHIFT leaves an open set-up menu without confirming it (the blink stops,
// the panel is redrawn for the functions that stay on, a paused run goes on);
// with no menu open it toggles the SHIFT lamp, which the other keys read for
// their second function. It sends nothing.
//
// Holding MXMN for a second turns maximum/minimum off; holding 2ND for a
// second turns display 2 off. The key's mouse-up disarms its timer, so a
// shorter press is a short press. Each tick disarms its own timer first,
// so a long press acts once even when its exchange fails.

struct Panel;

namespace keys {

void SHIFT_IMG_MouseDown(Panel &p);
void SHIFT_IMG_MouseUp(Panel &p);

void MXMN_Timer_Timer(Panel &p);
void ND2_Timer_Timer(Panel &p);

// A key procedure stops a run's reading timers for the time of its own
// exchanges or of a menu (READ_PAUSED remembers it); true when this call
// stopped them.
bool pauseReading(Panel &p);

// A key procedure that stopped the run's timers starts them again.
void resumeReading(Panel &p);

} // namespace keys
