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
    int silentAfter = 0;  // nothing is answered after the N-th command
    int garbleEvery = 0;  // every N-th reply has its bytes scrambled
    int cutEvery = 0;     // every N-th reply loses its second half and terminator
    int delayMs = 0;      // each reply waits N ms
    int hangupAfter = 0;  // the line goes away after N commands
};
std::optional<Faults> parseFaults(QStringView spec, QString *why = nullptr);

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

    // Bytes received at nowMs. A command ends at LF (a CR before it is
    // dropped); each complete command is logged, answered and its reply
    // queued. Bytes after hang-up are ignored.
    void receive(const QByteArray &bytes, qint64 nowMs);

    // Replies whose time has come, in order; removed from the queue.
    QByteArray takeDue(qint64 nowMs);
    // Due time of the next queued reply, if any.
    std::optional<qint64> nextDue() const;

    bool hungUp() const { return m_hungUp; }
    // Every command received, as it arrived, without its line end.
    const QByteArrayList &commands() const { return m_commands; }

private:
    Instrument &m_instrument;
    Faults m_faults;
    Eol m_eol;
    QByteArray m_pending;
    QByteArrayList m_commands;
    std::vector<Outgoing> m_queue;
    int m_replies = 0;
    bool m_hungUp = false;
};

} // namespace sim
