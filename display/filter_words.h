#pragma once
// The filter set-up on the drawn displays: the filter type on display 2
// (MOV for a moving average, REP for a repeating one, in positions 1 to 3)
// and the count on display 1 (CNT in positions 0 to 2, the point after the
// T and the mid-height dot, then three count digits in positions 4 to 6).

#include "core/display_model.h"
#include "display/glyph_words.h"

#include <QStringView>

namespace display {

// The type word, the other positions of display 2 dark.
const Word &filterTypeWord(bool moving);
void showFilterType(DisplayModel &model, bool moving);

// CNT with its two points; positions 3 to 6 dark.
void showFilterCountWord(DisplayModel &model);

// The three characters of a count ("010") in positions 4 to 6, lit.
void showFilterCount(DisplayModel &model, QStringView digits);

} // namespace display
