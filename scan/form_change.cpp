#include "scan/form_change.h"

#include "scan/scan_controls.h"
#include "platform/runtime.h"

#include <limits>

namespace scan {
namespace {

constexpr double kAbove = std::numeric_limits<double>::infinity();

// How a value is shown: v x times / over in the pattern, then the unit. A
// row without a pattern shows its unit alone ("OL", "OPEN").
struct Shown
{
    const char16_t *pattern;
    double times;
    double over;
    const char16_t *unit;
};

constexpr Shown kOverRange = {nullptr, 1, 1, u"OL"};
constexpr Shown kOpen = {nullptr, 1, 1, u"OPEN"};

// By value: the first row of the function whose bound the value is below.
struct ValueRow
{
    const char16_t *functions;  // space-separated function texts
    double below;
    Shown shown;
};

// Auto range.
constexpr ValueRow kAutoRows[] = {
    {u"ACV DCV",        -120,      {u"0000.000", 1,    1,       u" V"}},
    {u"ACV DCV",        -12,       {u"000.0000", 1,    1,       u" V"}},
    {u"ACV DCV",        -1.2,      {u"00.00000", 1,    1,       u" V"}},
    {u"ACV DCV",        -0.12,     {u"0.000000", 1,    1,       u" V"}},
    {u"ACV DCV",        0.12,      {u"000.0000", 1000, 1,       u" mV"}},
    {u"ACV DCV",        1.2,       {u"0.000000", 1,    1,       u" V"}},
    {u"ACV DCV",        12,        {u"00.00000", 1,    1,       u" V"}},
    {u"ACV DCV",        120,       {u"000.0000", 1,    1,       u" V"}},
    {u"ACV DCV",        kAbove,    {u"0000.000", 1,    1,       u" V"}},
    {u"ACI_2A DCI_2A",  kAbove,    {u"00.00000", 1,    1,       u" A"}},
    {u"2W 4W",          120,       {u"000.0000", 1,    1,       u" Ohm"}},
    {u"2W 4W",          1200,      {u"0.000000", 1,    1000,    u" kOhm"}},
    {u"2W 4W",          12000,     {u"00.00000", 1,    1000,    u" kOhm"}},
    {u"2W 4W",          120000,    {u"000.0000", 1,    1000,    u" kOhm"}},
    {u"2W 4W",          1200000,   {u"0.000000", 1,    1000000, u" MOhm"}},
    {u"2W 4W",          12000000,  {u"00.00000", 1,    1000000, u" MOhm"}},
    {u"2W 4W",          120000000, {u"000.0000", 1,    1000000, u" MOhm"}},
    {u"2W 4W",          kAbove,    kOverRange},
    {u"DIODE",          kAbove,    {u"0.000000", 1,    1,       u" V"}},
    {u"CONTINU",        kAbove,    {u"0000.000", 1,    1,       u" Ohm"}},
};

// Manual range of the functions without a range list, and auto range of
// frequency, period and temperature.
constexpr ValueRow kValueRows[] = {
    {u"ACI_2A DCI_2A",  kAbove,    {u"00.00000", 1,       1,       u" A"}},
    {u"DIODE",          1.2,       {u"0.000000", 1,       1,       u" V"}},
    {u"DIODE",          kAbove,    kOpen},
    {u"CONTINU",        1200,      {u"0000.000", 1,       1,       u" Ohm"}},
    {u"CONTINU",        kAbove,    kOpen},
    {u"Hz",             1000,      {u"000.0000", 1,       1,       u" Hz"}},
    {u"Hz",             1000000,   {u"000.0000", 1,       1000,    u" kHz"}},
    {u"Hz",             kAbove,    {u"000.0000", 1,       1000000, u" MHZ"}},
    {u"P",              0.001,     {u"000.0000", 1000000, 1,       u" us"}},
    {u"P",              1,         {u"000.0000", 1000,    1,       u" ms"}},
    {u"P",              kAbove,    {u"000.0000", 1,       1,       u" s"}},
    {u"TC_C C",         kAbove,    {u"0000.000", 1,       1,       u" C"}},
    {u"TC_F F",         kAbove,    {u"0000.000", 1,       1,       u" F"}},
};

// Manual range of the functions with a range list, by the range's text; a
// row without a range takes any other text.
struct RangeRow
{
    const char16_t *functions;
    const char16_t *range;
    Shown shown;
};
constexpr RangeRow kRangeRows[] = {
    {u"ACV DCV", u"100 mV", {u"000.0000", 1000, 1,       u" mV"}},
    {u"ACV DCV", u"1 V",    {u"0.000000", 1,    1,       u" V"}},
    {u"ACV DCV", u"10 V",   {u"00.00000", 1,    1,       u" V"}},
    {u"ACV DCV", u"100 V",  {u"000.0000", 1,    1,       u" V"}},
    {u"ACV DCV", u"750 V",  {u"0000.000", 1,    1,       u" V"}},
    {u"ACV DCV", nullptr,   {u"000.0000", 1,    1,       u" V"}},
    {u"2W 4W",   u"100",    {u"000.0000", 1,    1,       u" Ohm"}},
    {u"2W 4W",   u"1 K",    {u"0.000000", 1,    1000,    u" kOhm"}},
    {u"2W 4W",   u"1 k",    {u"0.000000", 1,    1000,    u" kOhm"}},
    {u"2W 4W",   u"10 K",   {u"00.00000", 1,    1000,    u" kOhm"}},
    {u"2W 4W",   u"10 k",   {u"00.00000", 1,    1000,    u" kOhm"}},
    {u"2W 4W",   u"100 K",  {u"000.0000", 1,    1000,    u" kOhm"}},
    {u"2W 4W",   u"100 k",  {u"000.0000", 1,    1000,    u" kOhm"}},
    {u"2W 4W",   u"1 M",    {u"0.000000", 1,    1000000, u" MOhm"}},
    {u"2W 4W",   u"10 M",   {u"00.00000", 1,    1000000, u" MOhm"}},
    {u"2W 4W",   u"100 M",  {u"000.0000", 1,    1000000, u" MOhm"}},
    {u"2W 4W",   nullptr,   kOverRange},
};

// Exact, case-sensitive membership in a space-separated list.
bool listed(const char16_t *functions, QStringView function)
{
    for (QStringView item : QStringView(functions).split(u' '))
        if (item == function)
            return true;
    return false;
}

QString show(const Shown &shown, double v)
{
    if (!shown.pattern)
        return QString::fromUtf16(shown.unit);
    return rt::pattern(v * shown.times / shown.over, QStringView(shown.pattern))
           + QString::fromUtf16(shown.unit);
}

template <std::size_t N>
const Shown *byValue(const ValueRow (&rows)[N], QStringView function, double v)
{
    for (const ValueRow &row : rows)
        if (listed(row.functions, function) && v < row.below)
            return &row.shown;
    return nullptr;
}

const Shown *byRange(QStringView function, QStringView range, bool *hasRanges)
{
    *hasRanges = false;
    for (const RangeRow &row : kRangeRows) {
        if (!listed(row.functions, function))
            continue;
        *hasRanges = true;
        if (!row.range || range == QStringView(row.range))
            return &row.shown;
    }
    return nullptr;
}

} // namespace

QString formChange(QStringView function, QStringView range, bool autoRange, QStringView READ_Change)
{
    // A reply that is not a number (a stray line, a garbled reading) would
    // pass for 0 and look like a real reading.
    const std::optional<double> value = rt::toNumber(READ_Change);
    if (!value)
        return kNotANumber.toString();
    const double v = *value;
    const Shown *shown = nullptr;
    if (autoRange)
        shown = byValue(kAutoRows, function, v);
    if (!shown) {
        bool hasRanges = false;
        if (!autoRange)
            shown = byRange(function, range, &hasRanges);
        if (!hasRanges && !shown)
            shown = byValue(kValueRows, function, v);
    }
    return shown ? show(*shown, v) : function.toString();
}

QStringList widestResults()
{
    QStringList texts{kNotANumber.toString()};
    const auto add = [&](const Shown &shown) {
        QString text = QString::fromUtf16(shown.unit);
        if (shown.pattern)
            text.prepend(QStringLiteral("-0") + QString::fromUtf16(shown.pattern));
        if (!texts.contains(text))
            texts.append(text);
    };
    for (const ValueRow &row : kAutoRows)
        add(row.shown);
    for (const ValueRow &row : kValueRows)
        add(row.shown);
    for (const RangeRow &row : kRangeRows)
        add(row.shown);
    return texts;
}

QString Form_Change(const ScanControls &c, QStringView READ_Change, int jjj_NUM)
{
    const ChannelRow &row = c.table.channel(jjj_NUM);
    return formChange(row.MODE_Comb.text(), row.Combo2.text(), row.S_Auto_CHK.checked, READ_Change);
}

} // namespace scan
