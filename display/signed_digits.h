#pragma once
// A value being entered digit by digit, drawn on display 1's seven places.
//
// Plain form: the seven characters of the text, one per place. Signed form
// (a limit of 0 or below, a negative math value): the text is "-" and seven
// digits, one more than the places, so the sign shares place 0 with the
// millions digit: "SUB" over a 0, "SUB1" over a 1, and a lit blank over any
// other digit, which the display cannot show beside a sign. Places 1 to 6
// take characters 3 to 8; a place past the end of the text repeats its last
// character. Any character that is not a digit draws as a lit blank, and
// every place ends lit. Points and labels are left as they are.

#include "core/display_model.h"

#include <QStringView>

namespace display {

void drawEnteredDigits(DisplayModel &model, QStringView digits, bool signedForm);

} // namespace display
