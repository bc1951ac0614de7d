#include "reading/reply_parser.h"

#include "display/panel.h"
#include "platform/runtime.h"
#include "reading/interpretation.h"
#include "reading/reply_text.h"

namespace reading {

void READ_SHOW_PARSE(Panel &p)
{
    if (const std::optional<QString> reply = acceptReply(p, rt::trimSpaces(p.state.DISPLAY1))) {
        // The raw reply leaves DISPLAY1 now: a path that makes no reading
        // text of its own (dBm of 0, a dB value that is no number) leaves
        // the reply's text, never its terminator.
        p.state.DISPLAY1 = replyAsReading(*reply);
        interpretReply(p, *reply);
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
        owed += link.Write(query) ? 1 : 0;
    }
    if (p.display.isLit(Lamp::EXT_LAB)) {
        // With an external trigger the instrument answers each read? once
        // *TRG comes.
        owed += link.Write(QStringLiteral("read?\\10")) ? 1 : 0;
        link.Write(QStringLiteral("*TRG\\10"));
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
