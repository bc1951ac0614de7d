#pragma once
// The function keys of the drawn front panel.

struct Panel;

namespace keys {

// The temperature key T_CF. With 2ND lit it only puts 2ND out. Otherwise it
// empties display 1's range and reading text, blanks display 2, refreshes
// the thermocouple type while display 2 is free and the sensor is a
// thermocouple (asks the instrument, sends the type back, spells "TYPE" and
// the letter), and toggles the unit by the Celsius lamp: lit goes to
// Fahrenheit, dark to Celsius, with display 1 left blank until the next
// reading. The range view lights the other unit's lamp first to make the key
// redraw the unit already chosen. Commands go out only while the link is up.
void CF_IMG_ENTER(Panel &p);

} // namespace keys
