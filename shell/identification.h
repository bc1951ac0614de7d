#pragma once
// Identification of the instrument and the query of its whole state.

struct Panel;

namespace shell {

// Asks the instrument who it is and what it measures, and draws that: the
// version label, the filter, remote, trigger and scanner indications, the
// function, range, lamps and point of both displays, the range word on
// display 2 while it is off; then the interval list and the rate lamps.
// Runs at start-up and after the REL keys change the instrument's state.
//
// A reply that does not come, that is empty where text is needed or not a
// number where one is needed ends the dialogue: the link is reset and
// display 1 reads 000000.0. What was set before stays set.
void RDX_INF_TEST(Panel &p);

} // namespace shell
