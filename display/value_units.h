#pragma once
// A value the instrument reports in base units (a maximum, a minimum, a
// relative reference, a statistic) shown on display 1 with its unit and
// prefix lamps, and left in DISPLAY1 with its unit word ("0.500000_V",
// "01.50000_kOhm", "012.3456_K_Hz"), so the table and the recorded file
// carry it. Steps at 1.2 x 10^k, strict less-than, a table per family of
// functions; from the family's last bound up nothing is drawn and DISPLAY1
// is kept, with the unit lamp lit.
//
// Overload first: a value whose digits in the form "0000000.0000000" hold
// the run "1999999", or whose magnitude is 1E9 or more (the instrument's
// overload is 9.9E+37), shows "OL" and changes nothing else.
//
// While the MATH lamp is enabled and the count statistic is chosen
// (AVER_DISP_SEL 0) the value is a count: seven whole digits, no point, no
// lamp, and DISPLAY1 the number as "0000012.0000000".

#include <QStringView>

struct Panel;

namespace display {

// False when DIS1_NUM_DATA is not a number: the lamps are dark by then, and
// the digits and DISPLAY1 are as they were. Functions without a table
// (diode, continuity, dB, dBm, none) darken the lamps and draw nothing.
[[nodiscard]] bool DIS1_SHOW_NUM(Panel &p, QStringView DIS1_NUM_DATA);

// Display 2's counterpart, by MODE2, with steps at 1.9 x 10^k, display 2's
// six digits, and DISPLAY2. Its overload test looks for "199999" in the text
// without its first point, and for a magnitude of 1E9 or more. No count form.
[[nodiscard]] bool DIS2_SHOW_NUM(Panel &p, QStringView DIS2_NUM_DATA);

} // namespace display
