#pragma once
// Math and compare results of a reading, between display 1 and display 2.
//
// With math on and display 1 not in overload, MATH_ITEM chooses:
//   2 MX+B  display 2 spells "MX+B"; DISPLAY1 = (x - B) / M, its first 8
//           characters, with display 1's unit word; display 1 shows the
//           instrument's value and DISPLAY2 takes it scaled, with the unit.
//   3 1/X   display 2 spells "1/X"; display 1 shows 1 / x and DISPLAY2 takes
//           it scaled, with the unit.
//   4 REF%  display 2 spells "%"; display 1 shows (x - M) / M x 100 and
//           DISPLAY2 takes it with "%".
// MX+B and 1/X end the interpretation there. Over a result the display
// cannot show DISPLAY2 is "OL"; with no result (a zero M or x, a field that
// is not a number) it is empty, never an earlier reading with a unit added.
//
// Compare (COMP_ON, unless MX+B or 1/X ended it): display 2 spells and
// DISPLAY2 reads "HIGH" above the upper limit (MATH_M_VALUE), "LOW" below
// the lower (MATH_B_VALUE), else "PASS" (both limits included); it ends
// the interpretation too.

#include <QStringView>

struct Panel;

namespace reading {

enum class Interpretation { GoesOn, Ends };

// `field` is the display-1 field of the reply.
Interpretation showMathAndCompare(Panel &p, QStringView field);

} // namespace reading
