#include "reading/reply_parser.h"

#include "core/link_gate.h"
#include "core/panel.h"
#include "platform/runtime.h"
#include "reading/interpretation.h"
#include "reading/reply_text.h"

namespace reading {

namespace {

// The interpretation of an accepted reply while DISPLAY1 holds `raw`: a path
// that makes no reading text of its own (a function or range without a
// table row, a dBm of 0, a dB value that is no number) leaves the reply's
// own text there, never its terminator, and never an older reading.
void interpretOverRaw(Panel &p, const QString &raw, const QString &reply)
{
    p.state.DISPLAY1 = raw;
    interpretReply(p, reply);
    const QString &text = p.state.DISPLAY1;
    if (!raw.isEmpty() && text.constData() == raw.constData() && text.size() == raw.size())
        p.state.DISPLAY1 = replyAsReading(reply);
}

} // namespace

void READ_SHOW_PARSE(Panel &p)
{
    const QString raw = p.state.DISPLAY1;
    // Trimmed only when there is something to trim: most replies have no spaces.
    const bool spaced = raw.startsWith(u' ') || raw.endsWith(u' ');
    if (const std::optional<QString> reply = acceptReply(p, spaced ? rt::trimSpaces(raw) : raw))
        interpretOverRaw(p, raw, *reply);
}

bool TRIG_READ_SHOW(Panel &p)
{
    using display::Lamp;
    shell::Class1 &link = p.link;
    const bool maximum = p.display.isLit(Lamp::MAX_LAB);
    const bool minimum = p.display.isLit(Lamp::MIN_LAB);

    // Each query that went out is owed one reply.
    int owed = 0;
    if (p.state.READ_OK) {
        const QString query = maximum ? QStringLiteral("CALC:MAX?\r\n")
                              : minimum ? QStringLiteral("CALC:MIN?\r\n")
                                        : QStringLiteral("read?\\10");
        owed += shell::send(p, query) ? 1 : 0;
    }
    if (p.display.isLit(Lamp::EXT_LAB)) {
        // With an external trigger the instrument answers each read? once
        // *TRG comes.
        owed += shell::send(p, QStringLiteral("read?\\10")) ? 1 : 0;
        shell::send(p, QStringLiteral("*TRG\\10"));
    }

    if (owed == 0)
        return false;
    // A read that times out has drained the line: nothing owed is left.
    const std::optional<QString> first = link.Read();
    if (!first)
        return false;
    QString reply = rt::trimSpaces(*first);
    // The replies owed after the first are read and dropped, however late
    // they come within the channel's bound: left waiting, the next one would
    // answer the next query.
    for (int i = 1; i < owed; ++i)
        if (!link.Read())
            break;
    if (maximum || minimum)
        reply += u',';  // the whole reply is display 1's

    if (const std::optional<QString> accepted = acceptReply(p, reply)) {
        link.Flush();
        interpretOverRaw(p, reply, *accepted);
    }
    return true;
}

} // namespace reading
