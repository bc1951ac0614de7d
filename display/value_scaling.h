#pragma once
// The program's own auto-ranging of a shown value: for a value in base
// units (volt, ampere, ohm, hertz, second, degree) it picks the prefix, the
// point and the digits, lights the unit and prefix lamps, and draws the
// number. Independent of the instrument's measuring range.
//
// Steps are at 1.2 x 10^k, each a strict less-than: 1.2 itself shows as
// "01.20000". Micro and kilo have no four-digit row: 0.00012 shows in milli,
// 120000 in mega. From 1.2E8 up the display shows "OL" and the text is left
// as it came. The COMP key and the arrow keys read the lit prefix lamp and
// point back to rebuild the digits being edited, so the lamps and points lit
// here are part of the contract.

#include <QString>

struct Panel;

namespace display {

// CHK_READ_NUM holds the value ("-1.23456E-03", "0.5"); on return it holds
// the text drawn (the value scaled and formatted, "-01.23456"), or the text
// as it came over an overload. The unit lamp follows MODE1, except for the
// math percent item and, with the math set-up open, its M and 1/X items.
// While math is on, DISPLAY2 takes the drawn text with " u", " m", " k" or
// " M" after it.
// False, with nothing drawn and the text unchanged, when the text is not a
// number: by then the points and prefix lamps are dark and the unit lamp is
// lit. The caller decides what that failure means.
[[nodiscard]] bool CHK_READ_RANGE(Panel &p, QString &CHK_READ_NUM);

// The same on display 2 with MODE2, six digits and its own patterns; it
// never writes DISPLAY2 and always lights the unit lamp.
[[nodiscard]] bool CHK_READ2_RANGE(Panel &p, QString &CHK_READ2_NUM);

} // namespace display
