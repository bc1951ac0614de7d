// The simulated instrument as a whole: a command as it reads it, its
// answer to a query and when that answer leaves. The state it keeps and
// answers from is set in state_keys.cpp (by tests) and commands.cpp (by
// commands), read in reply_fields.cpp, and measured in readings.cpp.

#include "sim/instrument_internal.h"

#include <QByteArrayView>

#include <cmath>
#include <utility>

namespace sim {
namespace {

constexpr char kDefaultIdentity[] = "SIMULATED,SIM-DMM,000001,1.02";
constexpr char kUndefinedHeader[] = "-113,\"Undefined header\"";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The queries that wait for a measurement.
bool isReadingQuery(const QByteArray &query)
{
    return query == "read?" || query == "read? buf" || query == "calc:max?" || query == "calc:min?"
           || query == "val1?" || query == "val2?";
}

// Conversion time of one reading in ms at the slow, medium and fast rate,
// by kind of function. DC fits the shortest sample interval the panel
// offers at each rate (16.667 ms up, 33.333 ms at slow); AC needs its
// detector to settle; frequency and period take their gate time.
struct ReadingTimeRow
{
    const char *functions;  // the model's codes, space-separated
    double slow, medium, fast;
};
constexpr ReadingTimeRow kReadingTimes[] = {
    // functions                          S      M     F
    {"DCV DCI 2W 4W DIODE CONTINU TEMP",   30,    16,   5},
    {"ACV ACI",                            1500,  400,  33},
    {"Hz P",                               1000,  100,  10},
};

// One power-line cycle at 60 Hz.
constexpr double kCycleMs = 1000.0 / 60.0;

} // namespace

QByteArray normalised(const QByteArray &command)
{
    QByteArray out;
    out.reserve(command.size());
    bool blank = false;
    for (char c : command) {
        if (isBlank(c)) {
            blank = !out.isEmpty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    }
    return out;
}

Instrument::Instrument()
    : m_idn(kDefaultIdentity)
{
    for (const NumberSetting &row : kNumberSettings)
        m_numbers[row.name] = row.initial;
    // The bank channels measure DC volts, the two current channels DC current.
    for (int i = 0; i < kScanChannels; ++i)
        m_scanChannels[std::size_t(i)].function = i < 16 ? "VOLT" : "CURR";
}

std::optional<QByteArray> Instrument::handle(const QByteArray &command)
{
    const QByteArray query = normalised(command);
    if (!query.contains('?')) {
        act(query);
        return std::nullopt;  // a command: done without a word
    }
    if (m_externalTrigger && query == "read?") {
        m_waitingReads.push_back(query);
        return std::nullopt;  // answered when *TRG comes
    }
    return replyTo(query);
}

std::vector<Instrument::TimedReply> Instrument::answer(const QByteArray &command)
{
    const QByteArray query = normalised(command);
    const double each = readingTimeMs();
    if (query == "val1?" && m_sampleCount > 1 && !m_replyOverrides.count(query)) {
        // A block: every value one reading after the one before.
        std::vector<TimedReply> block;
        for (int k = 1; k <= m_sampleCount; ++k)
            block.push_back({display1Reading(), qint64(std::llround(k * each))});
        return block;
    }
    const std::optional<QByteArray> body = handle(command);
    if (!body) {
        // A scan pass that this command started or finished ends in a line
        // nobody asked for.
        if (const std::optional<qint64> end = std::exchange(m_passEnd, std::nullopt))
            return {{m_scanDone, *end}};
        return {};
    }
    const qint64 after = isReadingQuery(query) ? qint64(std::llround(each)) : 0;
    if (body->contains('\n') && !m_replyOverrides.count(query)) {
        // A form of several lines (the scanner's channel states): one reply
        // a line, each with its own terminator.
        std::vector<TimedReply> lines;
        for (const QByteArray &line : body->split('\n'))
            lines.push_back({line, after});
        return lines;
    }
    return {{*body, after}};
}

double Instrument::readingTimeMs() const
{
    const QByteArray &function = display(1).measure.function;
    double each = 0;
    if (const auto nplc = m_nplc.find(function); nplc != m_nplc.end()) {
        each = nplc->second * kCycleMs;
    } else {
        for (const ReadingTimeRow &row : kReadingTimes) {
            if (QByteArray(row.functions).split(' ').contains(function)) {
                each = m_rate == 'S' ? row.slow : m_rate == 'M' ? row.medium : row.fast;
                break;
            }
        }
    }
    if (m_filter)
        each *= m_filterCount;
    return each * m_timeScale;
}

std::vector<QByteArray> Instrument::takeTriggered()
{
    return std::exchange(m_triggered, {});
}

std::optional<QByteArray> Instrument::replyTo(const QByteArray &query)
{
    if (const auto overridden = m_replyOverrides.find(query); overridden != m_replyOverrides.end())
        return overridden->second;
    const ReplyForm *row = findReplyForm(query);
    if (!row) {
        pushError(kUndefinedHeader);
        return std::nullopt;
    }
    return render(row->form);
}

QByteArray Instrument::render(const char *form)
{
    QByteArray out;
    for (const char *p = form; *p;) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        const char *name = ++p;
        while ((*p >= 'a' && *p <= 'z') || (*p >= '0' && *p <= '9'))
            ++p;
        const QByteArrayView key(name, p - name);
        // An unknown name stays in the reply as written, where a test of
        // the table sees it.
        out += field(key).value_or('%' + key.toByteArray());
    }
    return out;
}

void Instrument::setIdentity(const QByteArray &idn)
{
    m_idn = idn;
}

} // namespace sim
