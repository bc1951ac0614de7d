#pragma once
// The words of the compare limits menu on display 2: the name of the limit
// being set, with the places its blink covers, and the verdict that stands
// in until the first reading after the menu closes.

#include "display/glyph_words.h"

#include <QtGlobal>

namespace display {

struct LimitName
{
    Word word;
    qint16 first, last;  // BLINK_FIRST, BLINK_LAST while the name blinks
};

inline constexpr LimitName kUpperLimitName = {{u"", u"H", u"I", u"G", u"H", u""}, 1, 4};
inline constexpr LimitName kLowerLimitName = {{u"", u"L", u"O", u"W", u"", u""}, 1, 3};

inline const LimitName &limitName(bool high)
{
    return high ? kUpperLimitName : kLowerLimitName;
}

inline constexpr Word kPassPlaceholder = {u"P", u"A", u"S", u"S", u"", u""};

} // namespace display
