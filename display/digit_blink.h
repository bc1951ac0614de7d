#pragma once
// The blink of what is being edited: the digit under the cursor, a word or
// value on display 2, and the point that moves with it. One step flips each
// chosen position and point on its own; nothing is loaded, so a position
// that comes back shows the glyph it last held. Two steps give back the
// display as it was.

#include <QtGlobal>

struct Panel;

namespace display {

class DisplayModel;

// Flips positions NUM1_WWW..NUM2_WWW (none when NUM1_WWW is kNoBlink, 10,
// or greater than NUM2_WWW) and point DROP_WWW (none when kNoBlink) of
// display 1, or of display 2 when ND_WWW is set. Indices outside the display
// change nothing.
void GLIS_RANGE(DisplayModel &model, qint16 NUM1_WWW, qint16 NUM2_WWW, qint16 DROP_WWW,
                bool ND_WWW);

// IMG_Timer's tick: one blink step of the run the panel state describes
// (BLINK_FIRST, BLINK_LAST, BLINK_DOT, BLINK_DISP2).
void IMG_Timer_Timer(Panel &p);

// Lights every position and point of the run the panel state describes,
// whatever phase the blink left them in: an edit cursor does this before
// it moves on, so nothing it leaves stays dark.
void showBlinkRun(Panel &p);

} // namespace display
