#pragma once
// Display 2's part of a reading reply, the closing stage of the
// interpretation: while display 2 measures a function of its own (MODE2_ON)
// the display-2 field is shown by MODE2 and left in DISPLAY2 with its unit
// word ("050.000_mV", "100.000_uA", "0001.50_kOhm"); then, whatever display
// 2 shows, a DISPLAY2 longer than 13 characters reads "Detect".
//
// Voltage, current and resistance work in automatic range while display 2's
// AUTO lamp is lit (the lamp decides, not MODE2_RANGE): the row is chosen by
// magnitude with steps at 1.2 (volts), 1.8 (amperes) and 1.9 x 10^k (ohms),
// and sets its prefix lamps and point. The current and resistance rows
// therefore reach counts up to 199,999, which their drawing allows. In
// fixed range voltage and resistance go by the lit point (and prefix lamp),
// current by MODE2_RANGE; a range that matches no row leaves display 2 and
// DISPLAY2 as they are. Frequency and period are scaled here as text and
// drawn by the value scaling (CHK_READ2_RANGE). The other codes of MODE2
// (hold, math, statistics, compare views) are not interpreted here.

#include <QStringView>

struct Panel;

namespace reading {

// `field` is the display-2 field as it came. A field that is not a number
// (none at all when the reply had no comma) draws nothing and empties
// DISPLAY2: there is no second reading to record.
void showDisplay2Reading(Panel &p, QStringView field);

} // namespace reading
