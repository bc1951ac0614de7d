// The simulated instrument's readings and its error queue: what each
// display and scanner channel reads, in the form the instrument prints a
// reading, and the queue of errors "syst:err?" empties.

#include "sim/instrument_internal.h"

#include <QByteArrayList>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace sim {
namespace {

constexpr char kNoError[] = "+0,\"No error\"";
constexpr char kQueueOverflow[] = "-350,\"Queue overflow\"";

// A DC voltage near 1.2 V that drifts slowly, with a little noise on top;
// the same sequence every run, so tests can rely on it.
double wobble(quint64 n)
{
    const double x = double(n);
    return 1.2 + 4e-4 * std::sin(x * 0.05) + 3e-5 * std::sin(x * 1.7);
}

// What each function reads when no test fixes a value: well inside its
// automatic range, so a panel on the simulator shows a plain reading.
struct TypicalReading
{
    const char *function;
    double value;
};
constexpr TypicalReading kTypicalReadings[] = {
    {"DCV",     1.2},
    {"ACV",     0.75},
    {"DCI",     0.0015},
    {"ACI",     0.015},
    {"2W",      1500},
    {"4W",      150},
    {"Hz",      1000},
    {"P",       0.001},
    {"DIODE",   0.55},
    {"CONTINU", 12},
    {"TEMP",    24.5},
};

} // namespace

QByteArray exponentForm(double value, int decimals)
{
    // The instrument shows overload as 9.9E+37; a value that is no number
    // at all has no other form to take.
    if (!std::isfinite(value))
        value = std::signbit(value) && !std::isnan(value) ? -9.9e37 : 9.9e37;
    if (value == 0)
        value = 0;  // no "-0"
    decimals = std::clamp(decimals, 0, 17);
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                         std::chars_format::scientific, decimals);
    if (ec != std::errc())
        return {};
    QByteArray out(value < 0 ? "-" : "+");
    for (const char *p = buffer; p != end; ++p)
        out += *p == 'e' ? 'E' : *p;
    return out;
}

double Instrument::typicalReading(const Measure &m) const
{
    if (m.function == "OFF")
        return 0;
    double value = 0;
    // Frequency and period range over their input voltage, not the reading.
    if (!m.autoRange && findRangeCode(m.function, m.range) && m.function != "Hz" && m.function != "P")
        value = fullScale(m.range) / 2;
    else
        for (const TypicalReading &row : kTypicalReadings)
            if (m.function == row.function)
                value = row.value;
    return value * wobble(m_readCount) / wobble(0);
}

QByteArray Instrument::scanReading(const ScanChannel &c) const
{
    if (c.overload)
        return kOverloadReading;
    if (c.fixed)
        return exponentForm(*c.fixed);
    double value = 0;
    for (const ScannerFunction &row : scannerFunctions())
        if (c.function == row.keyword)
            value = row.typical;
    // A fixed range reads half its full scale; the functions without a
    // range list are sent with range "1".
    const double range = c.range.toDouble();
    if (!c.autoRange && range > 1)
        value = range / 2;
    return exponentForm(value);
}

QByteArray Instrument::scanFetch() const
{
    std::vector<const ScanChannel *> on;
    for (const ScanChannel &c : m_scanChannels)
        if (c.on)
            on.push_back(&c);
    QByteArrayList lines;
    for (int k = 0; k < m_scanCount; ++k)
        lines.append(on.empty() ? exponentForm(0) : scanReading(*on[std::size_t(k) % on.size()]));
    return lines.join('\n');
}

void Instrument::noteReading(double value)
{
    m_max = m_max ? std::max(*m_max, value) : value;
    m_min = m_min ? std::min(*m_min, value) : value;
}

// What display 1 reads now, without taking a reading: the overload value,
// the last numbered reading, a test's value or the one typical of its
// function.
double Instrument::display1Value() const
{
    const Display &d = display(1);
    if (d.overload)
        return 9.9e37;
    if (m_numbered)
        return double(m_numberedCount);
    if (d.fixed)
        return *d.fixed;
    return d.measure.function == "DCV" && d.measure.autoRange ? wobble(m_readCount)
                                                              : typicalReading(d.measure);
}

QByteArray Instrument::display1Reading()
{
    const Display &d = display(1);
    if (d.overload)
        return kOverloadReading;
    // Numbered readings tell a test which query each reply answers.
    if (m_numbered)
        return exponentForm(double(++m_numberedCount));
    const double value = display1Value();
    if (!d.fixed)
        ++m_readCount;
    noteReading(value);
    return exponentForm(value);
}

QByteArray Instrument::display2Reading()
{
    const Display &d = display(2);
    if (d.overload)
        return kOverloadReading;
    return exponentForm(d.fixed.value_or(typicalReading(d.measure)));
}

void Instrument::pushError(const QByteArray &entry)
{
    if (m_errors.size() >= kErrorQueueSize)
        return;
    m_errors.push_back(m_errors.size() + 1 == kErrorQueueSize ? QByteArray(kQueueOverflow) : entry);
}

QByteArray Instrument::popError()
{
    if (m_errors.empty())
        return kNoError;
    QByteArray entry = m_errors.front();
    m_errors.pop_front();
    return entry;
}

} // namespace sim
