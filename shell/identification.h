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

// How a current range reply of 1 reads. The instrument's range code 1 is
// 10 mA or 10 A, told apart by the m lamp of the reading drawn; where no
// reading tells them apart, 1 is the full scale of the 1 A range.
enum class ReplyOne { TenMilliamps, TenAmps, OneAmp };

// The range that a reply to "conf:rang?" names in the current function
// `mode` ("ACI" or "DCI"), with or without its CR: the range codes 1 (as
// `one` says), 2 (100mA) and 3 (1A), or the full scale of one of the
// function's ranges in any number form ("0.01" and "1.000000E-02" name
// 10mA; "0.0001", 100uA, only in DC). Nothing for any other reply.
std::optional<QString> currentRangeLabel(QStringView mode, QStringView reply, ReplyOne one);

// The range that display 1's range reply, without its terminator, names in
// function `mode`, read as the identification reads it: current by
// currentRangeLabel with 1 as 1A, voltage and resistance by their exact
// texts ("10", "10E5"). Nothing for a text that names none of the
// function's ranges.
std::optional<QString> display1RangeLabel(QStringView mode, QStringView text);

// The status line of a key whose "conf:rang?" reply named no range of
// `mode`: the panel then names no range the instrument is on.
void reportUnnamedRange(Panel &p, QStringView key, QStringView reply, QStringView mode);

} // namespace shell
