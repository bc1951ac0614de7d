#pragma once
// What a reply says, as every procedure that identifies the instrument
// reads it: the link test, the raw-command window's test and the state query.

#include <QString>

namespace shell {

// A reply (with its one CR) without its terminator.
QString replyText(const QString &reply);

// A reply that is nothing but blanks (space, TAB, CR, LF) has no content:
// an identification without content is no answer at all.
bool replyHasContent(const QString &reply);

// The firmware version: the first four characters of the identification's
// fourth comma-separated field (of what follows the last comma found when
// there are fewer fields).
QString firmwareVersion(const QString &identity);

} // namespace shell
