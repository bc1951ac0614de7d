#pragma once
// The range and function view: after a change of function, range or mode
// the panel waits with zeros in its digits, the point where the range puts
// it, the unit, prefix, AC/DC, 2W/4W and AUTO lamps lit, and, while display
// 2 has no measurement of its own, display 2 spelling the range ("100mV",
// right-aligned) or the function ("FREQ", "DIODE"). With dBm on, display 2
// shows the dBm reference impedance instead. The next reading replaces it.
//
// Four views, chosen in this order:
//   dBm view                display 2 off, dBm on
//   single view             display 2 off
//   display-1 range view    display 2 on, 2ND dark
//   display-2 range view    display 2 on, 2ND lit
// Every view but the dBm view ends by lighting the AUTO lamp of each display
// whose range label is "AUTO". AUTO_RANGE_FLAG is a one-shot from the caller:
// on the voltage, current and resistance paths it is cleared and that
// closing step skipped, so one display's redraw does not relight the other's
// AUTO lamp.
//
// The temperature functions are redrawn by the temperature key itself
// (keys::CF_IMG_ENTER): the view lights the other unit's lamp first, so the
// key's toggle lands on the unit already chosen, re-sends it to the
// instrument, and spells the thermocouple type. Nothing else here sends.

struct Panel;

namespace display {

void CHK_RANGE(Panel &p);

// Display 1's point and prefix lamp of the fixed range that MODE1_RANGE
// names in MODE1's voltage, current or resistance function, each alone lit:
// the range a step starts from when no reading has been drawn. Nothing
// changes for "AUTO", a label that names no range of the function, or a
// function without these ranges.
enum class FixedRange { Drawn, Unnamed, NotRanged };
FixedRange showFixedRange1(Panel &p);

} // namespace display
