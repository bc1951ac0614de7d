#pragma once
// The reply forms of the simulated instrument: one row per query it answers,
// each with the form of its reply and the reason for that form, so that a
// check against a real instrument reads one table.

#include <QByteArrayView>
#include <span>

namespace sim {

struct ReplyForm
{
    const char *query;  // lower case, blanks trimmed and single
    const char *form;   // text, with %name for a value of the model
    const char *why;    // what the program does with the reply
};

std::span<const ReplyForm> replyForms();

// The row of a query already in lower case with single blanks; nullptr when
// the instrument does not know it.
const ReplyForm *findReplyForm(QByteArrayView query);

} // namespace sim
