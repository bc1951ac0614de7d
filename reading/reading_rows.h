#pragma once
// What the tables of the reading interpretation have in common: how a row
// shows a value (pattern and digits), how it is chosen by the value's
// magnitude, and how its unit word is spelled. Shared by display 1,
// display 2 and the dB results; nothing here draws.

#include "display/unit_lamps.h"
#include "platform/runtime.h"

#include <QString>
#include <QStringView>
#include <cmath>
#include <limits>
#include <span>
#include <string_view>

namespace reading {

// A pattern and the digits before and after the point that go with it (the
// XXX and YYY of the number drawing).
struct Shown
{
    std::u16string_view pattern;
    qint16 integers;
    qint16 decimals;
};

// Bounds of rows chosen by magnitude: a row applies when |x| < bound; the
// zero row only to 0 itself; the last row to whatever is left.
inline constexpr double kZeroRow = 0;
inline constexpr double kOtherwise = std::numeric_limits<double>::infinity();

// The first row, in table order, that takes `magnitude`. Rows end with a
// kOtherwise row, so one always does.
template <class Row>
const Row &rowByMagnitude(std::span<const Row> rows, double magnitude)
{
    for (const Row &row : rows)
        if (row.bound == kZeroRow ? magnitude == 0 : magnitude < row.bound)
            return row;
    return rows.back();
}

// The value scaled and formatted: rt::pattern(x * mul / div, pattern).
inline QString scaled(double x, double mul, double div, const Shown &shown)
{
    return rt::pattern(x * mul / div, shown.pattern);
}

// Appends "_", the prefix letter and the unit: "_mV", "_kOhm", "_us", "_Hz".
inline void appendUnitWord(QString &text, display::Prefix prefix, QStringView unit)
{
    text.reserve(text.size() + 2 + unit.size());
    text += u'_';
    switch (prefix) {
    case display::Prefix::None:  break;
    case display::Prefix::Micro: text += u'u'; break;
    case display::Prefix::Milli: text += u'm'; break;
    case display::Prefix::Kilo:  text += u'k'; break;
    case display::Prefix::Mega:  text += u'M'; break;
    }
    text += unit;
}

// The text with its unit word after it.
inline QString withUnitWord(QString text, display::Prefix prefix, QStringView unit)
{
    appendUnitWord(text, prefix, unit);
    return text;
}

// The instrument sends overload as 9.9E+37; anything from 1E9 up is
// overload too, since no reading of the instrument comes near it.
inline bool isOverloadValue(double value)
{
    return std::fabs(value) >= 1e9;
}

// The reading texts stay within the record's fields: DISPLAY1 up to 15
// characters, DISPLAY2 up to 13; a longer text reads "Detect".
inline constexpr qsizetype kLongestDisplay1 = 15;
inline constexpr qsizetype kLongestDisplay2 = 13;
inline const QString kDetect = QStringLiteral("Detect");

} // namespace reading
