#pragma once
// Identification of the instrument and the query of its whole state.

#include <QString>
#include <QStringView>
#include <optional>

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

// The range that a reply to "conf:rang?" names in the current function
// `mode` ("ACI" or "DCI"), with or without its CR: the full scale of one of
// the function's ranges in any number form ("1" and "1.000000E+00" name 1A,
// "0.01" and "1.000000E-02" 10mA; "0.0001", 100uA, only in DC), or the
// range codes 2 (100mA) and 3 (1A). Nothing for any other reply.
std::optional<QString> currentRangeLabel(QStringView mode, QStringView reply);

// The range that display 1's range reply, without its terminator, names in
// function `mode`, read as the identification reads it: current by
// currentRangeLabel, voltage and resistance by their exact
// texts ("10", "10E5"). Nothing for a text that names none of the
// function's ranges.
std::optional<QString> display1RangeLabel(QStringView mode, QStringView text);

// The status line of a key whose "conf:rang?" reply named no range of
// `mode`: the panel then names no range the instrument is on.
void reportUnnamedRange(Panel &p, QStringView key, QStringView reply, QStringView mode);

} // namespace shell
