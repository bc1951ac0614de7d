#include "sim/line.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace sim {
namespace {

struct FaultName
{
    const char *name;
    int Faults::*field;
};
constexpr FaultName kFaultNames[] = {
    {"silent-after", &Faults::silentAfter},
    {"garble-every", &Faults::garbleEvery},
    {"cut-every",    &Faults::cutEvery},
    {"delay-ms",     &Faults::delayMs},
    {"hangup-after", &Faults::hangupAfter},
};

// The one fault whose value is a text: the query whose replies are cut.
constexpr QStringView kCutQuery = u"cut-query";

struct EolName
{
    const char *name;
    Eol eol;
    const char *bytes;
};
constexpr EolName kEolNames[] = {
    {"cr",   Eol::Cr,   "\r"},
    {"lf",   Eol::Lf,   "\n"},
    {"crlf", Eol::CrLf, "\r\n"},
    {"lfcr", Eol::LfCr, "\n\r"},
};

bool fail(QString *why, const QString &reason)
{
    if (why)
        *why = reason;
    return false;
}

bool every(qint64 count, int n)
{
    return n > 0 && count % n == 0;
}

// Each byte moves forward by 1 + (its position mod 93) within the 94
// characters '!'..'~': never by 94, so every byte changes; the result is
// printable, never a terminator; the same reply garbles the same way.
QByteArray garbled(QByteArray body)
{
    constexpr int first = '!', count = '~' - '!' + 1;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const int from = ((int(uchar(body[i])) - first) % count + count) % count;
        body[i] = char(first + (from + 1 + int(i % (count - 1))) % count);
    }
    return body;
}

} // namespace

std::optional<Faults> parseFaults(QStringView faultList, QString *why)
{
    Faults faults;
    QList<QStringView> seen;
    for (QStringView item : faultList.split(u',')) {
        item = item.trimmed();
        if (item.isEmpty())
            continue;
        const qsizetype eq = item.indexOf(u'=');
        if (eq < 0) {
            fail(why, QStringLiteral("fault \"%1\" needs =N").arg(item));
            return std::nullopt;
        }
        const QStringView name = item.left(eq).trimmed();
        const QStringView text = item.mid(eq + 1).trimmed();
        const FaultName *known = nullptr;
        for (const FaultName &row : kFaultNames)
            if (name == QLatin1StringView(row.name))
                known = &row;
        const bool cutQuery = name == kCutQuery;
        if (!known && !cutQuery) {
            fail(why, QStringLiteral("unknown fault \"%1\" (known: silent-after, garble-every, "
                                     "cut-every, delay-ms, hangup-after, cut-query)").arg(name));
            return std::nullopt;
        }
        if (seen.contains(name)) {
            fail(why, QStringLiteral("fault \"%1\" given twice").arg(name));
            return std::nullopt;
        }
        seen.append(name);
        if (cutQuery) {
            faults.cutQuery = normalised(text.toUtf8());
            if (!faults.cutQuery.contains('?')) {
                fail(why, QStringLiteral("fault \"%1\" needs a query (with \"?\"), not \"%2\"")
                              .arg(name, text));
                return std::nullopt;
            }
            continue;
        }
        bool ok = false;
        const uint value = text.toUInt(&ok);
        if (!ok || text.startsWith(u'+') || value > uint(std::numeric_limits<int>::max())) {
            fail(why, QStringLiteral("fault \"%1\" needs a whole number from 0 up, not \"%2\"")
                          .arg(name, text));
            return std::nullopt;
        }
        faults.*(known->field) = int(value);
    }
    return faults;
}

std::optional<Eol> parseEol(QStringView text)
{
    for (const EolName &row : kEolNames)
        if (text.compare(QLatin1StringView(row.name), Qt::CaseInsensitive) == 0)
            return row.eol;
    return std::nullopt;
}

QByteArray eolBytes(Eol eol)
{
    for (const EolName &row : kEolNames)
        if (row.eol == eol)
            return row.bytes;
    return "\r";
}

Line::Line(Instrument &instrument, Faults faults, Eol eol)
    : m_instrument(instrument), m_faults(faults), m_eol(eol)
{
}

void Line::receive(const QByteArray &bytes, qint64 nowMs)
{
    // CR LF (or LF CR) ends a command and then an empty one, which is
    // dropped like any empty line.
    for (char c : bytes) {
        if (m_hungUp)
            return;
        if (c != '\r' && c != '\n') {
            m_pending += c;
            continue;
        }
        if (m_pending.isEmpty())
            continue;
        const QByteArray text = m_pending;
        m_pending.clear();
        command(text, nowMs);
    }
}

void Line::command(const QByteArray &text, qint64 nowMs)
{
    m_commands.append(text);
    ++m_received;
    if (m_faults.hangupAfter > 0 && m_received >= m_faults.hangupAfter) {
        m_hungUp = true;
        m_pending.clear();
        m_queue.clear();
        return;
    }
    // The instrument answers one query after the other: a reply that waits
    // for a reading (or a block of them) starts when the replies queued
    // ahead of it have left.
    const qint64 start = std::max(nowMs + m_faults.delayMs, m_queue.empty() ? 0 : m_queue.back().dueMs);
    const bool cut = !m_faults.cutQuery.isEmpty() && normalised(text) == m_faults.cutQuery;
    for (const Instrument::TimedReply &part : m_instrument.answer(text))
        queueReply(part.body, start + part.afterMs, cut);
    // A trigger releases the read? queries that waited for it, one reading
    // after the other.
    const std::vector<QByteArray> triggered = m_instrument.takeTriggered();
    for (std::size_t i = 0; i < triggered.size(); ++i)
        queueReply(triggered[i], nowMs + m_faults.delayMs + qint64(i) * m_instrument.triggerGapMs());
}

void Line::queueReply(const QByteArray &body, qint64 dueMs, bool cut)
{
    if (m_faults.silentAfter > 0 && m_received > m_faults.silentAfter)
        return;
    ++m_replies;
    QByteArray bytes = body;
    if (every(m_replies, m_faults.garbleEvery))
        bytes = garbled(bytes);
    if (cut || every(m_replies, m_faults.cutEvery))
        bytes.truncate(bytes.size() / 2);
    else
        bytes += eolBytes(m_eol);
    m_queue.push_back({dueMs, bytes});
}

QByteArray Line::takeDue(qint64 nowMs)
{
    QByteArray out;
    auto it = m_queue.begin();
    for (; it != m_queue.end() && it->dueMs <= nowMs; ++it)
        out += it->bytes;
    m_queue.erase(m_queue.begin(), it);
    return out;
}

std::optional<qint64> Line::nextDue() const
{
    if (m_queue.empty())
        return std::nullopt;
    return m_queue.front().dueMs;
}

QByteArrayList Line::takeCommands()
{
    return std::exchange(m_commands, {});
}

} // namespace sim
