#pragma once
// From one reading reply of the instrument to both displays and the reading
// texts DISPLAY1 and DISPLAY2 that the runs list and record.

struct Panel;

namespace reading {

// Interprets the reply held in p.state.DISPLAY1 ("display-1 field, comma,
// display-2 field", its terminator still on) and leaves the shown values
// with their units in DISPLAY1 and DISPLAY2. Never throws, never shows a
// message, whatever the reply.
void READ_SHOW_PARSE(Panel &p);

// One triggered reading: sends the query, reads one reply and interprets it
// as READ_SHOW_PARSE does.
void TRIG_READ_SHOW(Panel &p);

// One demonstration reading, made without the instrument.
void RANDOM_READ_SHOW(Panel &p);

} // namespace reading
