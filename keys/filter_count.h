#pragma once
// The count of readings the instrument's filter averages, as the filter
// set-up edits it: 2 to 100, held as three digits ("010").

#include "platform/runtime.h"

#include <QString>

namespace keys {

inline constexpr int kFewestFiltered = 2;
inline constexpr int kMostFiltered = 100;

inline QString filterCountText(double count)
{
    return rt::pattern(count, u"000");
}

// The count the digits hold; digits that hold none count as the fewest.
inline int filterCount(const QString &digits)
{
    return rt::toWhole(digits).value_or(kFewestFiltered);
}

} // namespace keys
