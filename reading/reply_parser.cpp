#include "reading/reply_parser.h"

#include "core/link_gate.h"
#include "core/panel.h"
#include "platform/runtime.h"
#include "reading/interpretation.h"
#include "reading/reply_text.h"

namespace reading {

void READ_SHOW_PARSE(Panel &p)
{
    const QString raw = p.state.DISPLAY1;
    // Trimmed only when there is something to trim: most replies have no spaces.
    const bool spaced = raw.startsWith(u' ') || raw.endsWith(u' ');
    if (const std::optional<QString> reply = acceptReply(p, spaced ? rt::trimSpaces(raw) : raw)) {
        interpretReply(p, *reply);
        // A path that makes no reading text of its own (a dBm of 0, a dB
        // value that is no number) leaves DISPLAY1 as the loop stored it:
        // the raw reply gives way to its text, never its terminator.
        const QString &text = p.state.DISPLAY1;
        if (!raw.isEmpty() && text.constData() == raw.constData() && text.size() == raw.size())
            p.state.DISPLAY1 = replyAsReading(*reply);
    }
}

void TRIG_READ_SHOW(Panel &p)
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

    QString reply;
    if (owed > 0) {
        // A read that times out has drained the line: nothing owed is left.
        if (const std::optional<QString> first = link.Read()) {
            reply = rt::trimSpaces(*first);
            // The replies owed after the first are read and dropped, however
            // late they come within the channel's bound: left waiting, the
            // next one would answer the next query.
            for (int i = 1; i < owed; ++i)
                if (!link.Read())
                    break;
        }
    }
    if (maximum || minimum)
        reply += u',';  // the whole reply is display 1's

    if (const std::optional<QString> accepted = acceptReply(p, reply)) {
        link.Flush();
        interpretReply(p, *accepted);
    }
}

} // namespace reading
