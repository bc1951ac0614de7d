#pragma once
// Numbers on the two displays, drawn the way the instrument draws them: a
// fixed count of digits with leading zeros, the point after the digit the
// decimals call for, the minus sign in the first position, "OL" when the
// count does not fit, and on display 1 "OPEN" instead of "OL" in the diode
// and continuity functions.
//
// Display 1 has seven digits (a leading 0 or 1 and six more: counts up to
// 1,199,999), display 2 six (up to 119,999). Callers pass the value already
// scaled to the shown unit and choose the decimals; labels are never
// touched. While the math set-up is open the digit string (the shown digits
// without sign and point) also goes to EDIT_DIGITS, overloaded or not.

#include <QStringView>
#include <QtGlobal>

struct Panel;

namespace display {

// WWW: the value as text ("1.23456", "-0.5"). XXX: digits before the point
// (display 1 ignores it: its digits always fill seven places). YYY: decimals,
// 0..6 on display 1 and 2..5 on display 2; any other count draws zeros
// without a point, and so does a WWW that is not a number. ZZZ: the value is
// negative; the minus sign comes from this flag, never from the text.
// DIS1_READ_SHOW sets DIS1_OL: true over the overload and open forms, false
// over a number. The point chosen stays lit under "OL" and "OPEN".
void DIS1_READ_SHOW(Panel &p, QStringView WWW, qint16 XXX, qint16 YYY, bool ZZZ);

// Display 2 shows "OL" from a count of 120,000 up. Its automatic current and
// resistance readings step at 1.8 and 1.9 x 10^k, so they pass the wider
// limit: 150 uA draws as 150.000, 1500 ohm as 1500.00.
inline constexpr double kDisplay2Overload = 120000;
inline constexpr double kDisplay2WideOverload = 200000;
void DIS2_READ_SHOW(Panel &p, QStringView WWW, qint16 XXX, qint16 YYY, bool ZZZ,
                    double overloadCount = kDisplay2Overload);

} // namespace display
