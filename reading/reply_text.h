#pragma once
// The reading reply as text: "display-1 field, comma, display-2 field", as
// the instrument sends it (each field a number such as +1.234567E+00), and
// the reply written into a reading text when there is nothing to interpret.

#include <QString>
#include <QStringView>

namespace reading {

struct ReplyFields
{
    QStringView display1;  // before the first comma; the whole reply without one
    QStringView display2;  // after the first comma, to the end; empty without one
};

// Views into `reply`, which must outlive them. A reply without a comma is a
// display-1 field only: an instrument answering one value shows it on
// display 1.
ReplyFields splitReply(QStringView reply);

// The reply without its terminator and without any other control
// character, so a reading text never breaks a record line.
QString replyText(QStringView reply);

// The reply as a reading text when nothing better is known: replyText,
// or "Detect" when that is longer than DISPLAY1 may be (15 characters).
QString replyAsReading(QStringView reply);

} // namespace reading
