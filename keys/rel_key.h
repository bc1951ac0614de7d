#pragma once
// The relative value (REL) key, the second-display view of the stored
// maximum, minimum and relative reference (2ND while the MAX, MIN or REL
// lamp is lit), and the REL value on display 2.

#include <optional>

class QString;
struct Panel;

namespace keys {

// Draws the instrument's second-display value on display 2 while REL is on:
// asks "val2?" (only while the link is up), scales the value in steps of
// 1.9 x 10^k (micro below 0.00019, mega from 1.9E6), lights at most one
// prefix lamp (hiding none) and the REL lamp. Without a number to show (link
// down, no reply, a reply that is not a number) nothing changes.
void REL_NUM_CHK(Panel &p);

// The REL key. The REL lamp decides: lit, REL goes off (the range view is
// redrawn); dark, display 1's value is asked ("val1?", link up only) and
// REL goes on unless it is an overload, which replaces the status log's
// text with "The DISPLAY1 is OL" and changes nothing else. A run's timers
// are paused for the key and go on afterwards, whichever way it ends.
// False when an exchange failed (REL stays as it was).
bool REL_IMG_ENTER(Panel &p);

// 2ND while the MAX, MIN or REL lamp is lit. While READ_Timer runs the view
// is entered: display 1 shows the stored value, display 2 its word (MAX,
// MIN or REL after the arrow mark) and READ_Timer stops. Otherwise the view
// is left: READ_Timer goes on only for a run waiting for its ticks (never
// for a loop that holds the line) and the panel is read back from the
// instrument. False when an exchange failed.
bool REL_2ND_ENTER(Panel &p);

// Whether a reply to "val1?" is an overload: the value's digits hold the
// run "1999999" (the point removed), or its magnitude is 1E9 or more (the
// instrument's 9.9E+37). Nothing when the reply is not a number.
std::optional<bool> isRelOverload(const QString &reply);

// The three views of stored values, for REL_2ND_ENTER and the MXMN key.
enum class StoredView { Max, Min, Rel };

// Display 2 spells the view's word; while the link is up display 1 shows
// the value the instrument stores for it ("CALC:MAX?", "CALC:MIN?",
// "CALC:REL:REF?"). False when the query got no reply.
bool showStoredView(Panel &p, StoredView view);

} // namespace keys
