#pragma once
// The relative value (REL) key and what it shows.

struct Panel;

namespace keys {

// Draws the instrument's second-display value on display 2 while REL is on:
// asks "val2?" (only while the link is up), scales the value in steps of
// 1.9 x 10^k (micro below 0.00019, mega from 1.9E6), lights at most one
// prefix lamp (hiding none) and the REL lamp. Without a number to show (link
// down, no reply, a reply that is not a number) nothing changes.
void REL_NUM_CHK(Panel &p);

// The REL key, and 2ND while the MIN, MAX or REL lamp is lit (the
// second-display view). Not built yet: the keys reach them and they do
// nothing.
bool REL_IMG_ENTER(Panel &p);
bool REL_2ND_ENTER(Panel &p);

} // namespace keys
