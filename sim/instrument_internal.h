#pragma once
// What the parts of the simulated instrument share (instrument.cpp,
// state_keys.cpp, commands.cpp, reply_fields.cpp, readings.cpp): number
// forms, scanner channel numbers, range labels, and the number settings
// with their table. For the simulator's own files only.

#include "sim/instrument.h"
#include "sim/reply_forms.h"

#include <QList>
#include <QStringView>

#include <cmath>
#include <optional>

namespace sim {

// The full scale of a range label: its number times the prefix after it
// ("100mV" 0.1, "100uA" 1E-4, "10K" 1E4, "1M" 1E6; "100" ohms 100).
inline double fullScale(const QByteArray &label)
{
    qsizetype i = 0;
    while (i < label.size() && label.at(i) >= '0' && label.at(i) <= '9')
        ++i;
    double value = label.left(i).toDouble();
    const char prefix = i < label.size() ? label.at(i) : '\0';
    if (prefix == 'm')
        value *= 1e-3;
    else if (prefix == 'u')
        value *= 1e-6;
    else if (prefix == 'K' || prefix == 'k')
        value *= 1e3;
    else if (prefix == 'M')
        value *= 1e6;
    return value;
}

inline std::optional<double> number(QStringView text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);  // C locale, blanks allowed
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

inline std::optional<int> wholeIn(const QByteArray &argument, int low, int high)
{
    bool ok = false;
    const int n = argument.toInt(&ok);
    return ok && n >= low && n <= high ? std::optional<int>(n) : std::nullopt;
}

// For the tables' build-time checks: null-safe text comparison.
constexpr bool same(const char *a, const char *b)
{
    if (!a || !b)
        return a == b;
    while (*a && *a == *b)
        ++a, ++b;
    return *a == *b;
}

// "105" -> 105: a scanner channel's number, 101 to 118.
inline std::optional<int> scanChannelNumber(const QByteArray &text)
{
    return wholeIn(text.trimmed(), Instrument::kFirstScanChannel,
                   Instrument::kFirstScanChannel + Instrument::kScanChannels - 1);
}

// A display that takes a new function keeps its range when the function
// has it, else moves to one of the function's middle ranges.
inline void fitRange(Instrument::Measure &m)
{
    if (findRangeCode(m.function, m.range))
        return;
    QList<QByteArray> labels;
    for (const RangeCode &r : rangeCodes())
        if (m.function == r.function)
            labels.append(r.label);
    if (!labels.isEmpty())
        m.range = labels.at(labels.size() / 2);
}

// The numbers the instrument keeps as a command set them, in any number
// form ("calc:lim:upp 5", "-1.5E-3"), and answers in the reading form
// ("+5.000000E+00"). Each is a reply field and a state key of its name;
// the command table names the command that sets it.
struct NumberSetting
{
    const char *name;
    double initial;
};
inline constexpr NumberSetting kNumberSettings[] = {
    // name       initial
    {"limupp",    1},          // compare limits, upper and lower
    {"limlow",    -1},
    {"rtdalpha",  3.85e-3},    // the user RTD's coefficients
    {"rtdbeta",   1.0863e-1},
    {"rtddelta",  1.4999},
    {"mathmmf",   1},          // math parameters M, B and REF%
    {"mathmbf",   0},
    {"mathperc",  1},
    {"relref",    0},          // REL reference: display 1's value when REL went on
};

constexpr bool isNumberSetting(const char *name)
{
    for (const NumberSetting &row : kNumberSettings)
        if (same(row.name, name))
            return true;
    return false;
}

} // namespace sim
