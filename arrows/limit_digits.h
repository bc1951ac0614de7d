#pragma once
// A compare limit as the limits menu edits it. LIMIT_DIGITS holds the value
// shown on display 1 as a whole number of its last digit: seven digits, a
// "-" first when negative, no point. The lit point (the first of DROP_IMG
// 0..4) and the lit prefix lamp carry the scale, so 1.5 shown as "01.50000"
// is "0150000" with point 1, and -1.5 is "-0150000".
//
// Loading draws a limit with the program's own scaling and takes the digits
// from what was drawn; the text for the instrument puts the point and the
// prefix's exponent back. A text that begins with "-" is negative, anything
// else (0 included) is not: the sign decides where the point goes.

#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>

struct Panel;

namespace arrows {

// The first lit point of display 1 among 0..4, or 5 when none is.
qint16 firstLitPoint1(const Panel &p);

// Draws `drawn` on display 1 (CHK_READ_RANGE) and loads LIMIT_DIGITS from
// `value` scaled to the prefix and point lit by that drawing. A limit drawn
// as overload, without a point, loads as 0 at point 3 (drawLimitZeros).
// False, with LIMIT_DIGITS unchanged, when `drawn` is not a number.
bool loadLimit(Panel &p, const QString &drawn, QStringView value);

// The limit the menu falls back on: 0 with point 3 lit, drawn as a dark
// place and six zeros, in LIMIT_DIGITS as "0000000".
void drawLimitZeros(Panel &p);

// LIMIT_DIGITS with the point put back after the first lit point and the
// exponent of the lit prefix, as the instrument reads a number ("1.5",
// "1.23457E-05"). Nothing when LIMIT_DIGITS does not make a number.
std::optional<QString> limitValueText(const Panel &p);

} // namespace arrows
