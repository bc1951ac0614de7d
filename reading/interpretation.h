#pragma once
// The one interpretation of a reading reply, shared by the run loops
// (READ_SHOW_PARSE) and the triggered reading (TRIG_READ_SHOW); they differ
// only in how the reply arrives.
//
// acceptReply: an empty reply stands for the last non-empty one
// (LAST_REPLY); a reply shorter than 3 characters is no reading: READ_OK
// goes false, DISPLAY1 reads "0.000000" (DISPLAY2 "0.00000" while display 2
// measures) and nothing is drawn.
//
// interpretReply, in order: split at the first comma; READ_OK true; dBm or
// dB take the fields (dBm goes on only while maximum/minimum is on);
// otherwise display 1 by function and range, then its length rule; display
// 1 in overload empties DISPLAY2; math and compare; display 2.
//
// Neither throws, shows a message or reads past the reply, whatever it
// holds: a step whose value is missing is skipped.

#include <QString>
#include <QStringView>
#include <optional>

struct Panel;

namespace reading {

// The reply to interpret, or nothing for one too short to be a reading.
std::optional<QString> acceptReply(Panel &p, const QString &reply);

// From the split onward. `reply` has its spaces trimmed; its terminator
// may still be on.
void interpretReply(Panel &p, QStringView reply);

} // namespace reading
