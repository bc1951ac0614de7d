#pragma once
// The line side of the simulator, shared by the in-process device and the
// pty program: splits received bytes into commands, asks the instrument,
// frames each reply with the chosen terminator and applies scripted faults.

#include "sim/instrument.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <optional>
#include <vector>

namespace sim {

// Faults, as "--fault silent-after=3,delay-ms=500". 0 means off.
struct Faults
{
    int silentAfter = 0;  // nothing is answered after the N-th command (the
                          // instrument still acts on what it hears)
    int garbleEvery = 0;  // every N-th reply has its bytes scrambled
    int cutEvery = 0;     // every N-th reply loses its second half and terminator
    int delayMs = 0;      // each reply waits N ms
    int hangupAfter = 0;  // the line goes away after N commands
    // Every reply to this query (as the instrument reads it: any letter case,
    // blanks aside) loses its second half and terminator, as cut-every cuts
    // one: a lost reply to one named query. Empty: off.
    QByteArray cutQuery = {};
};
std::optional<Faults> parseFaults(QStringView faultList, QString *why = nullptr);

enum class Eol { Cr, Lf, CrLf, LfCr };
std::optional<Eol> parseEol(QStringView text);
QByteArray eolBytes(Eol eol);

class Line
{
public:
    struct Outgoing
    {
        qint64 dueMs;      // when the bytes go out, on the caller's clock
        QByteArray bytes;  // framed (and possibly faulted) reply
    };

    Line(Instrument &instrument, Faults faults = {}, Eol eol = Eol::Cr);

    // Bytes received at nowMs. A command ends at LF, CR or CR LF, split
    // across calls or not; an empty command is dropped. Each command is logged, answered and its reply queued.
    // Bytes after hang-up are ignored.
    //
    // Hang-up: the hangupAfter-th command is logged but neither answered nor
    // seen by the instrument; replies still queued are lost with the line.
    void receive(const QByteArray &bytes, qint64 nowMs);

    // Replies whose time has come, in order; removed from the queue.
    QByteArray takeDue(qint64 nowMs);
    // Due time of the next queued reply, if any.
    std::optional<qint64> nextDue() const;

    bool hungUp() const { return m_hungUp; }
    // Every command received, as it arrived, without its line end.
    const QByteArrayList &commands() const { return m_commands; }
    // The commands logged so far, removed from the log (a long run keeps
    // the log short this way; fault counts are kept apart).
    QByteArrayList takeCommands();

private:
    Instrument &m_instrument;
    Faults m_faults;
    Eol m_eol;
    QByteArray m_pending;
    QByteArrayList m_commands;
    std::vector<Outgoing> m_queue;
    qint64 m_received = 0;  // commands, for silent-after and hang-up
    qint64 m_replies = 0;   // replies, for garble-every and cut-every
    bool m_hungUp = false;

    void command(const QByteArray &text, qint64 nowMs);
    // Frames one reply, applies the reply faults and queues it; `cut`
    // cuts it whatever the counts say.
    void queueReply(const QByteArray &body, qint64 dueMs, bool cut = false);
};

} // namespace sim
