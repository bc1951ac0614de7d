#pragma once
// Display 1's part of a reading reply: the display-1 field interpreted by
// the function (MODE1) and range (MODE1_RANGE) of display 1, drawn on
// display 1 with its prefix lamp, the range spelled on display 2 while
// display 2 is free, and the shown value left in DISPLAY1 with its unit word
// ("050.0000_mV", "0001.100_kOhm", "-0012.500_C", "OPEN", "Detect").
//
// Voltage, current and resistance follow MODE1_RANGE: "AUTO" picks the row
// by magnitude (steps at 1.2 x 10^k, strict less-than) and lights the
// prefix lamp; a fixed label picks its own row and touches no lamp.
// Frequency and period are scaled here as text only and drawn by the value
// scaling (CHK_READ_RANGE); diode, continuity and temperature have one row
// each.

#include <QStringView>

struct Panel;

namespace reading {

// `field` is the display-1 field as it came ("+1.234567E+00", a CR may
// follow). A field that is not a number draws nothing and leaves DISPLAY1
// empty: there is no reading to record. A function without a table leaves
// the reply itself, without its terminator, in DISPLAY1. The length rule
// (more than 15 characters read "Detect") is the caller's.
void showDisplay1Reading(Panel &p, QStringView field, QStringView reply);

} // namespace reading
