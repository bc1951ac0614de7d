#pragma once
// The SHIFT key and the two long presses.
//
// SHIFT leaves an open set-up menu without confirming it (the blink stops,
// the panel is redrawn for the functions that stay on, a paused run goes on);
// with no menu open it toggles the SHIFT lamp, which the other keys read for
// their second function. It sends nothing.
//
// Holding MXMN for a second turns maximum/minimum off; holding 2ND for a
// second turns display 2 off. A press is long only when the key is still
// down a second after its mouse-down, whatever the line did meanwhile: the
// tick first takes in the input that waited behind an exchange, so a
// mouse-up made in time is seen however late it is handled, and a release
// handled while the long press is still owed counts from the event's own
// time. Each long press disarms its timer first, so it acts once even when
// its exchange fails.

#include <QtGlobal>

struct Panel;

namespace keys {

void SHIFT_IMG_MouseDown(Panel &p);
void SHIFT_IMG_MouseUp(Panel &p);

void MXMN_Timer_Timer(Panel &p);
void ND2_Timer_Timer(Panel &p);

// The mouse-ups of MXMN and 2ND, `at` on the clock of their mouse-down's
// time: a second or more after the press, with its tick not yet run, the
// long press acts now; earlier, the press stays the short one it was.
void MXMN_MouseUp(Panel &p, qint64 at);
void ND2_MouseUp(Panel &p, qint64 at);

// A key procedure stops a run's reading timers for the time of its own
// exchanges or of a menu (READ_PAUSED remembers it); true when this call
// stopped them.
bool pauseReading(Panel &p);

// A key procedure that stopped the run's timers starts them again.
void resumeReading(Panel &p);

} // namespace keys
