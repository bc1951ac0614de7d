#pragma once
// The eight function keys of the drawn front panel. Each selects what a
// display measures: it sends the function's command (while the link is up),
// sets the function code and range label, and redraws the display it works
// on with its lamps, a fixed point and a row of zeros; on display 1 it also
// spells the starting range or the function's name on display 2 while
// display 2 has no function of its own.
//
// They work on display 1, except while 2ND is lit: then the volt, current,
// resistance and frequency/period keys select display 2's function with the
// display-2 form of the command ("conf2:volt:ac"), and the temperature key
// only puts 2ND out. The diode/continuity key always works on display 1.
//
// The toggling keys decide by their own lamp: W2W4 goes to 4-wire while the
// 2W lamp is lit, else to 2-wire; Hz_P to period while the Hz lamp is lit;
// D_C to continuity while the diode symbol is lit; T_CF to Fahrenheit while
// the Celsius lamp is lit. A caller that wants the function already shown
// lights the other lamp first (the AUTO key, the range view).
//
// Each returns false when an exchange failed and ended it there (see
// key_exchange.h). Frequency/period and temperature end only themselves:
// the key that ran them goes on.

struct Panel;

namespace keys {

bool ACV_IMG_ENTER(Panel &p);
bool DCV_IMG_ENTER(Panel &p);
bool ACI_IMG_ENTER(Panel &p);
bool DCI_IMG_ENTER(Panel &p);
bool W2W4_IMG_ENTER(Panel &p);
bool DIOCON_IMG_ENTER(Panel &p);
bool Hz_P_IMG_ENTER(Panel &p);

// The temperature key T_CF. With 2ND lit it only puts 2ND out. Otherwise it
// empties display 1's range and reading text, blanks display 2, refreshes
// the thermocouple type while display 2 is free and the sensor is a
// thermocouple (asks the instrument, sends the type back, spells "TYPE" and
// the letter), and toggles the unit by the Celsius lamp: lit goes to
// Fahrenheit, dark to Celsius, with display 1 left blank until the next
// reading. The range view lights the other unit's lamp first to make the key
// redraw the unit already chosen. Commands go out only while the link is up.
bool CF_IMG_ENTER(Panel &p);

} // namespace keys
