#pragma once
// dBm and dB readings. While dBm or dB is on, the reply is not interpreted
// by function and range; its fields go here instead.
//
// dBm_C_ENTER: display 1 shows the dBm value; DISPLAY2 takes it with "_dBm"
// ("10.0000_dBm") and DISPLAY1 the voltage that it means across the dBm
// reference impedance dBm_REF ("0.70711_V" for 10 dBm into 50 ohm), steps at
// 1.9 x 10^k. With hold on, DISPLAY1 takes the dBm text and DISPLAY2 the
// hold reference ("10_%"); with maximum/minimum on, DISPLAY1 takes the dBm
// text. A text with "199999" once its first point is gone, or a value of
// 1E9 and up (the instrument's 9.9E+37), is overload: "OL", DISPLAY2 empty.
// A text without a point, or the value 0, changes nothing.
//
// dB_C_ENTER: display 2 shows the voltage (the display-2 field), by its
// magnitude while display 1's AUTO lamp is lit, else by MODE1_RANGE, or as
// "012.500 V" beside dBm; display 1 shows the dB value, DISPLAY1 "10.0000_dB".

#include <QStringView>

struct Panel;

namespace reading {

void dBm_C_ENTER(Panel &p, QStringView Display1_data);
void dB_C_ENTER(Panel &p, QStringView Display1_data, QStringView Display2_data);

} // namespace reading
