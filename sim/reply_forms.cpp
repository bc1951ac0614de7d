#include "sim/reply_forms.h"

namespace sim {
namespace {

// %name stands for a value of the model (Instrument::field): idn, error,
// display1, display2. Everything else is copied as it stands.
constexpr ReplyForm kReplyForms[] = {
    // query        form                   why
    {"*idn?",      "%idn",                "four fields: maker, model, serial, firmware; the program takes the version from field 4"},
    {"*sre?",      "+0",                  "service request enable mask, signed whole number; nothing here ever requests service"},
    {"syst:err?",  "%error",              "oldest error-queue entry, code comma quoted text; '+0,\"No error\"' when the queue is empty"},
    {"read?",      "%display1,%display2", "display 1, comma, display 2, each as +1.234567E+00; the program splits at the comma"},
    {"read? buf",  "%display1,%display2", "same as read?, from the reading buffer; the panel's reading timer sends this one"},
};

} // namespace

std::span<const ReplyForm> replyForms()
{
    return kReplyForms;
}

const ReplyForm *findReplyForm(QByteArrayView query)
{
    for (const ReplyForm &row : kReplyForms)
        if (query == QByteArrayView(row.query))
            return &row;
    return nullptr;
}

} // namespace sim
