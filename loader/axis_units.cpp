#include "loader/axis_units.h"

#include "platform/runtime.h"

#include <array>
#include <cmath>

namespace loader {

namespace {

using enum UnitFamily;

// ---- Unit families ---------------------------------------------------------

struct FamilyRow
{
    QStringView function;
    UnitFamily display1;
    UnitFamily display2;
    bool display2ByMode1 = false;  // display 2 takes the family of the "Mode 1" text
};

// clang-format off
constexpr FamilyRow kFamilyRows[] = {
    // function     display 1  display 2
    {u"ACV",        V,         V},
    {u"DCV",        V,         V},
    {u"ACDCV",      V,         V},
    {u"Diode",      V,         V},
    {u"ACI",        A,         A},
    {u"DCI",        A,         A},
    {u"ACDCI",      A,         A},
    {u"2W",         Ohm,       Ohm},
    {u"4W",         Ohm,       Ohm},
    {u"CONTINU",    Ohm,       Ohm},
    {u"Hz",         Hz,        Hz},
    {u"P",          s,         s},
    {u"C",          C,         C},
    {u"F",          F,         F},
    {u"dB",         dB,        None},
    {u"dBm",        None,      V},
    {u"HOLD",       None,      Percent},
    {u"MX+B",       None,      None,  true},
    {u"1/X",        None,      None,  true},
    {u"REF%",       None,      None,  true},
    {u"REL",        None,      None,  true},
    {u"MAX",        None,      None,  true},
    {u"MIN",        None,      None,  true},
    {u"COMP",       None,      None,  true},
};

// Display 2 in a math function: the family of display 1's function. A
// diode or dB reading on display 1 leaves display 2 without a unit.
struct MathFamilyRow
{
    QStringView mode1;
    UnitFamily family;
};
constexpr MathFamilyRow kMathFamilyRows[] = {
    {u"ACV", V},   {u"DCV", V},   {u"ACDCV", V},
    {u"ACI", A},   {u"DCI", A},   {u"ACDCI", A},
    {u"C", C},     {u"F", F},     {u"P", s},     {u"Hz", Hz},
    {u"2W", Ohm},  {u"4W", Ohm},  {u"CONTINU", Ohm},
};
// clang-format on

// ---- Prefixes and scaled formats ------------------------------------------

struct PrefixRow
{
    double above;  // the values' largest magnitude is above this
    Prefix prefix;
};
constexpr PrefixRow kPrefixRows[] = {
    {1000000, Prefix::Mega},
    {1000, Prefix::Kilo},
    {1, Prefix::None},
    {0.001, Prefix::Milli},
};

// clang-format off
// One row per family from V to %, one column per prefix from M to u.
constexpr std::array<std::array<QStringView, 5>, 9> kScaledFormats = {{
    {u"*0.000001\" MV\"",   u"*0.001\" kV\"",   u"*1\" V\"",   u"*1000\" mV\"",   u"*1000000\" uV\""},
    {u"*0.000001\" MA\"",   u"*0.001\" kA\"",   u"*1\" A\"",   u"*1000\" mA\"",   u"*1000000\" uA\""},
    {u"*0.000001\" MOhm\"", u"*0.001\" kOhm\"", u"*1\" Ohm\"", u"*1000\" mOhm\"", u"*1000000\" uOhm\""},
    {u"*0.000001\" MHz\"",  u"*0.001\" kHz\"",  u"*1\" Hz\"",  u"*1000\" mHz\"",  u"*1000000\" uHz\""},
    {u"*0.000001\" Ms\"",   u"*0.001\" ks\"",   u"*1\" s\"",   u"*1000\" ms\"",   u"*1000000\" us\""},
    {u"*0.000001\" MF\"",   u"*0.001\" kF\"",   u"*1\" F\"",   u"*1000\" mF\"",   u"*1000000\" uF\""},
    {u"*0.000001\" MC\"",   u"*0.001\" kC\"",   u"*1\" C\"",   u"*1000\" mC\"",   u"*1000000\" uC\""},
    {u"*0.000001\" MdB\"",  u"*0.001\" kdB\"",  u"*1\" dB\"",  u"*1000\" mdB\"",  u"*1000000\" udB\""},
    {u"*0.000001\" M%\"",   u"*0.001\" k%\"",   u"*1\" %\"",   u"*1000\" m%\"",   u"*1000000\" u%\""},
}};
// clang-format on

// ---- First formats ---------------------------------------------------------

struct FirstFormat
{
    const char16_t *text = nullptr;  // nullptr: no format
    bool byMode1 = false;            // chosen by the caption row's "Mode 1" text
};
constexpr FirstFormat kNoFormat{};
constexpr FirstFormat kByMode1{nullptr, true};
constexpr FirstFormat mV{u"\"mV\""};
constexpr FirstFormat mA{u"\"mA\""};
constexpr FirstFormat us{u"\"us\""};
constexpr FirstFormat s_{u"\"s\""};
constexpr FirstFormat Ohm_{u"\" Ohm\""};
constexpr FirstFormat Hz_{u"\" Hz\""};
constexpr FirstFormat Hz_tight{u"\"Hz\""};
constexpr FirstFormat dB_{u"\" dB\""};
constexpr FirstFormat dB_bare{u"dB"};
constexpr FirstFormat C_bare{u"C"};
constexpr FirstFormat F_bare{u"F"};
constexpr FirstFormat percent{u"\" %\""};

struct FirstFormatRow
{
    QStringView function;
    // display 1 whole file, display 1 range, display 2 whole file, display 2 range
    std::array<FirstFormat, 4> formats;
};

// clang-format off
constexpr FirstFormatRow kFirstFormatRows[] = {
    {u"ACV",     {mV,         mV,         mV,         mV}},
    {u"DCV",     {mV,         mV,         mV,         mV}},
    {u"ACDCV",   {mV,         mV,         mV,         mV}},
    {u"Diode",   {mV,         mV,         mV,         mV}},
    {u"dBm",     {mV,         mV,         kNoFormat,  kNoFormat}},
    {u"ACI",     {mA,         mA,         mA,         mA}},
    {u"DCI",     {mA,         mA,         mA,         mA}},
    {u"ACDCI",   {mA,         mA,         mA,         mA}},
    {u"C",       {C_bare,     C_bare,     C_bare,     C_bare}},
    {u"F",       {F_bare,     F_bare,     F_bare,     F_bare}},
    {u"P",       {us,         us,         s_,         us}},
    {u"Hz",      {Hz_,        Hz_,        Hz_tight,   Hz_tight}},
    {u"2W",      {Ohm_,       Ohm_,       Ohm_,       Ohm_}},
    {u"4W",      {Ohm_,       Ohm_,       Ohm_,       Ohm_}},
    {u"CONTINU", {Ohm_,       kNoFormat,  kNoFormat,  kNoFormat}},
    {u"dB",      {dB_,        dB_bare,    kNoFormat,  kNoFormat}},
    {u"HOLD",    {kNoFormat,  kNoFormat,  percent,    percent}},
    {u"MX+B",    {kNoFormat,  kNoFormat,  kByMode1,   kByMode1}},
    {u"1/X",     {kNoFormat,  kNoFormat,  kByMode1,   kByMode1}},
    {u"REF%",    {kNoFormat,  kNoFormat,  kByMode1,   kByMode1}},
    {u"REL",     {kNoFormat,  kNoFormat,  kByMode1,   kByMode1}},
    {u"MAX",     {kNoFormat,  kNoFormat,  kByMode1,   kByMode1}},
    {u"MIN",     {kNoFormat,  kNoFormat,  kByMode1,   kByMode1}},
    {u"COMP",    {kNoFormat,  kNoFormat,  kByMode1,   kByMode1}},
};
// clang-format on

// Display 2 in a math function, by the caption row's "Mode 1" text.
struct MathFirstFormatRow
{
    QStringView mode1;
    const char16_t *format;
};
// clang-format off
constexpr MathFirstFormatRow kMathFirstFormats[] = {
    {u"ACV", u"\"mV\""},  {u"DCV", u"\"mV\""},  {u"ACDCV", u"\"mV\""},
    {u"Diode", u"\"mV\""}, {u"dBm", u"\"mV\""},
    {u"ACI", u"\"mA\""},  {u"DCI", u"\"mA\""},  {u"ACDCI", u"\"mA\""},
    {u"C", u""},          {u"F", u""},          // no text at all
    {u"P", u"\"us\""},    {u"Hz", u"\" Hz\""},
    {u"2W", u"\" Ohm\""}, {u"4W", u"\" Ohm\""}, {u"CONTINU", u"\" Ohm\""},
};
// clang-format on

template <typename Row, std::size_t N>
const Row *findRow(const Row (&rows)[N], QStringView key, QStringView Row::*column)
{
    for (const Row &row : rows)
        if (row.*column == key)
            return &row;
    return nullptr;
}

// The prefix letters a reading text holds, found in one pass (a table of a
// million readings is converted when it is plotted).
struct PrefixLetters
{
    bool micro = false;  // "u"
    bool milli = false;  // "m", but not the "m" of "Ohm"
    bool kilo = false;   // "k"
    bool mega = false;   // "M"
};

// Up to its first "%", where the text is cut (`end`).
PrefixLetters prefixLetters(QStringView text, qsizetype &end)
{
    PrefixLetters found;
    for (end = 0; end < text.size(); ++end) {
        switch (text[end].unicode()) {
        case u'%': return found;
        case u'u': found.micro = true; break;
        case u'm': found.milli = found.milli || !(end >= 2 && text[end - 2] == u'O' && text[end - 1] == u'h'); break;
        case u'k': found.kilo = true; break;
        case u'M': found.mega = true; break;
        }
    }
    return found;
}

} // namespace

double GRID_NUM_C(QStringView &GRID_NUM_RANGE)
{
    qsizetype end = 0;
    const PrefixLetters prefix = prefixLetters(GRID_NUM_RANGE, end);
    GRID_NUM_RANGE = GRID_NUM_RANGE.first(end);
    const double value = rt::leadingNumber(GRID_NUM_RANGE);
    if (prefix.micro)
        return value / 1000000;
    if (prefix.milli)
        return value / 1000;
    if (prefix.kilo)
        return value * 1000;
    if (prefix.mega)
        return value * 1000000;
    return value;
}

UnitFamily displayFamily(int display, QStringView function, QStringView lastMode1)
{
    const FamilyRow *row = findRow(kFamilyRows, function, &FamilyRow::function);
    if (!row)
        return None;
    if (display == 1)
        return row->display1;
    if (!row->display2ByMode1)
        return row->display2;
    const MathFamilyRow *math = findRow(kMathFamilyRows, lastMode1, &MathFamilyRow::mode1);
    return math ? math->family : None;
}

Prefix prefixBySize(float largest)
{
    // The comparison is made in double precision, as the bounds are written.
    for (const PrefixRow &row : kPrefixRows)
        if (double(largest) > row.above)
            return row.prefix;
    return Prefix::Micro;
}

std::optional<QString> scaledFormat(UnitFamily family, Prefix prefix)
{
    if (family == None)
        return std::nullopt;
    return kScaledFormats[std::size_t(family) - 1][std::size_t(prefix)].toString();
}

std::optional<QString> firstFormat(int display, PlotKind kind, QStringView function,
                                   QStringView captionMode1)
{
    const FirstFormatRow *row = findRow(kFirstFormatRows, function, &FirstFormatRow::function);
    if (!row)
        return std::nullopt;
    const std::size_t column = std::size_t(display == 1 ? 0 : 2) + (kind == PlotKind::Range ? 1 : 0);
    const FirstFormat &format = row->formats[column];
    if (format.byMode1) {
        const MathFirstFormatRow *math =
            findRow(kMathFirstFormats, captionMode1, &MathFirstFormatRow::mode1);
        if (!math)
            return std::nullopt;
        return QString::fromUtf16(math->format);
    }
    if (!format.text)
        return std::nullopt;
    return QString::fromUtf16(format.text);
}

QString axisLabel(QStringView format, double value, double step)
{
    const qsizetype open = format.indexOf(u'"');
    const qsizetype close = format.lastIndexOf(u'"');
    const QStringView quoted = open >= 0 && close > open ? format.sliced(open + 1, close - open - 1)
                                                         : QStringView();
    if (format.startsWith(u'*')) {
        const double factor = rt::leadingNumber(format.sliced(1));
        return rt::groupedNumber(value * factor, rt::placesOfStep(std::abs(step * factor))).append(quoted);
    }
    if (format.startsWith(u'"'))
        return quoted.toString();
    return format.toString();
}

} // namespace loader
