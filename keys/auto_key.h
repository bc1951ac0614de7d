#pragma once
// The AUTO key when no set-up menu claims it: auto range on or off, and
// with SHIFT the instrument's reading rate.
//
// Auto range works on display 1, or on display 2 while 2ND is lit, and goes
// the way that display's AUTO lamp says: lit goes to a fixed range (the
// range in force, named by AUTO_OFF), dark back to auto range by running
// the function's key again (the 2W/4W lamps flip first, so the resistance
// key keeps 2-wire or 4-wire) or by the frequency or period command. The
// current ranges come back to auto only from the milli and micro ranges
// (and display 1's 1 A range); from the 10 A input the lamp goes out again
// and the label reads "10A", as the instrument keeps that input. Functions
// without ranges (temperature, diode, continuity, none) refuse the key:
// the lamp stays dark and nothing is sent. On display 1 compare, when on,
// is sent again afterwards.
//
// With SHIFT the rate steps S, M, F and back to S, starting from the lit
// rate lamp (none lit counts as F): the sample-interval list gets the
// preset for the new rate and display 1's function, the rate lamp moves,
// SPEED_CODE follows it, and the rate command for display 1's function
// (gate time, AC band or reading rate) goes out. SHIFT goes out.
//
// Commands go out only while the link is up; the panel changes all the
// same. False when an exchange failed and ended the key there; a display
// on its way to a fixed range is redrawn all the same, with the empty
// label: no point and no prefix, as for a range reply that names none.

#include <QStringView>

struct Panel;

namespace keys {

bool AUTO_IMG_ENTER(Panel &p);

// The range label of the display that has just left auto range (display 2
// while 2ND is lit), read off the drawn display: the first lit point and
// the prefix and DC lamps. Frequency and period on display 1 ask the
// instrument for the input range instead ("conf:rang?", while the link is
// up), and so does display 1 while it shows no reading of its function yet
// (the range read as the identification reads it; one that names none
// leaves the label and a status line). A picture that names no range
// leaves the label as it is; the caller empties it first and redraws
// afterwards. False when the query failed.
bool AUTO_OFF(Panel &p);

// Asks the instrument which range display 1 is on ("conf:rang?") and makes
// it MODE1_RANGE, the reply read as the identification reads it (*named).
// A reply that names no range of MODE1 leaves the label and a status line
// naming `key`. False when the query failed.
bool askRange1(Panel &p, QStringView key, bool *named);

} // namespace keys
