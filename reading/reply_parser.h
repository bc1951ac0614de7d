#pragma once
// From one reading reply of the instrument to both displays and the reading
// texts DISPLAY1 and DISPLAY2 that the runs list and record. Both reading
// procedures hand their reply to the one interpretation (interpretation.h).

struct Panel;

namespace reading {

// Interprets the reply held in p.state.DISPLAY1 ("display-1 field, comma,
// display-2 field", its terminator still on) and leaves the shown values
// with their units in DISPLAY1 and DISPLAY2. Never throws, never shows a
// message, whatever the reply.
void READ_SHOW_PARSE(Panel &p);

// One triggered reading: sends the query (CALC:MAX? or CALC:MIN? while the
// MAX or MIN lamp is lit, else read?, and only while READ_OK), with the EXT
// lamp lit also read? and *TRG; reads one reply, drops the other replies it
// is owed, and interprets it as READ_SHOW_PARSE does. A maximum or minimum
// is one field: a comma is appended, so it is display 1's. Sends nothing
// beyond that and shows no message. False when no reply came (nothing
// could go out, or the reply timed out): then nothing is shown or changed,
// so a failed reading never passes for a copy of the one before.
bool TRIG_READ_SHOW(Panel &p);

// One demonstration reading, made without the instrument
// (demonstration_reading.cpp).
void RANDOM_READ_SHOW(Panel &p);

} // namespace reading
