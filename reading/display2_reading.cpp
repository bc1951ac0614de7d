#include "reading/display2_reading.h"

#include "display/number_drawing.h"
#include "core/panel.h"
#include "display/value_scaling.h"
#include "reading/reading_rows.h"

#include <optional>

namespace reading {

namespace {

using display::Lamp;
using display::Prefix;

// An automatic row: chosen by |v| < bound; it darkens its family's prefix
// lamps, lights its own, and draws |v| scaled by mul / div.
struct Row
{
    double bound;
    double mul, div;
    Shown shown;
    Prefix prefix;
    bool kiloText = false;  // drawn in ohms; the text goes to kilo from 1000 up
};

// A fixed row chosen by the lowest lit point among 0..3 of display 2 and,
// where given, a lit prefix lamp; the first match in table order.
struct PointRow
{
    int point;
    std::optional<Lamp> lit;
    double mul, div;
    Shown shown;
    Prefix prefix;
};

// A fixed row chosen by MODE2_RANGE.
struct LabelRow
{
    std::u16string_view label;
    double mul, div;
    Shown shown;
    Prefix prefix;
};

constexpr Row kVoltageRows[] = {
    // bound      mul  div  shown                 prefix
    {0.12,       1e3, 1, {u"000.000", 3, 3}, Prefix::Milli},
    {1.2,        1,   1, {u"0.00000", 1, 5}, Prefix::None},
    {12,         1,   1, {u"00.0000", 2, 4}, Prefix::None},
    {120,        1,   1, {u"000.000", 3, 3}, Prefix::None},
    {kOtherwise, 1,   1, {u"0000.00", 4, 2}, Prefix::None},
};
constexpr PointRow kVoltagePoints[] = {
    {0, std::nullopt,     1,   1, {u"0.00000", 1, 5}, Prefix::None},
    {1, std::nullopt,     1,   1, {u"00.0000", 2, 4}, Prefix::None},
    {2, Lamp::T_min_LAB2, 1e3, 1, {u"000.000", 3, 3}, Prefix::Milli},
    {2, std::nullopt,     1,   1, {u"000.000", 3, 3}, Prefix::None},
    {3, std::nullopt,     1,   1, {u"0000.00", 4, 2}, Prefix::None},  // DC and AC alike
};

constexpr Row kCurrentRows[] = {
    {0.00018,    1e6, 1, {u"000.000", 3, 3}, Prefix::Micro},
    {0.0018,     1e3, 1, {u"0.00000", 1, 5}, Prefix::Milli},
    {0.018,      1e3, 1, {u"00.0000", 2, 4}, Prefix::Milli},
    {0.18,       1e3, 1, {u"000.000", 3, 3}, Prefix::Milli},
    {kOtherwise, 1,   1, {u"00.0000", 2, 4}, Prefix::None},
};
constexpr LabelRow kCurrentLabels[] = {
    {u"100uA", 1e6, 1, {u"000.000", 3, 3}, Prefix::Micro},
    {u"1mA",   1e3, 1, {u"0.00000", 1, 5}, Prefix::Milli},
    {u"10mA",  1e3, 1, {u"00.0000", 2, 4}, Prefix::Milli},
    {u"100mA", 1e3, 1, {u"000.000", 3, 3}, Prefix::Milli},
    {u"1A",    1,   1, {u"0.00000", 1, 5}, Prefix::None},
    {u"10A",   1,   1, {u"00.0000", 2, 4}, Prefix::None},
};

constexpr Row kResistanceRows[] = {
    {190,        1, 1,   {u"000.000", 3, 3}, Prefix::None},
    {1900,       1, 1,   {u"0000.00", 4, 2}, Prefix::None, true},
    {19000,      1, 1e3, {u"00.0000", 2, 4}, Prefix::Kilo},
    {190000,     1, 1e3, {u"000.000", 3, 3}, Prefix::Kilo},
    {1900000,    1, 1e6, {u"0.00000", 1, 5}, Prefix::Mega},
    {19000000,   1, 1e6, {u"00.0000", 2, 4}, Prefix::Mega},
    {kOtherwise, 1, 1e6, {u"000.000", 3, 3}, Prefix::Mega},
};
constexpr PointRow kResistancePoints[] = {
    {0, std::nullopt,    1, 1e6, {u"0.00000", 1, 5}, Prefix::Mega},
    {1, Lamp::T_K_LAB2,  1, 1e3, {u"00.0000", 2, 4}, Prefix::Kilo},
    {1, std::nullopt,    1, 1e6, {u"00.0000", 2, 4}, Prefix::Mega},
    {2, Lamp::T_K_LAB2,  1, 1e3, {u"000.000", 3, 3}, Prefix::Kilo},
    {2, Lamp::T_M_LAB2,  1, 1e6, {u"000.000", 3, 3}, Prefix::Mega},
    {2, std::nullopt,    1, 1,   {u"000.000", 3, 3}, Prefix::None},
    {3, std::nullopt,    1, 1,   {u"0000.00", 4, 2}, Prefix::None},
};

// Frequency and period: text only; the value scaling draws.
constexpr Row kFrequencyRows[] = {
    {kZeroRow,   1,   1,   {u"0000.00", 4, 2}, Prefix::None},
    {0.00019,    1e6, 1,   {u"000.000", 3, 3}, Prefix::Micro},
    {0.0019,     1e3, 1,   {u"0.00000", 1, 5}, Prefix::Milli},
    {0.019,      1e3, 1,   {u"00.0000", 2, 4}, Prefix::Milli},
    {0.19,       1e3, 1,   {u"000.000", 3, 3}, Prefix::Milli},
    {1.9,        1,   1,   {u"0.00000", 1, 5}, Prefix::None},
    {19,         1,   1,   {u"00.0000", 2, 4}, Prefix::None},
    {190,        1,   1,   {u"000.000", 3, 3}, Prefix::None},
    {1900,       1,   1,   {u"0000.00", 4, 2}, Prefix::None},
    {19000,      1,   1e3, {u"00.0000", 2, 4}, Prefix::Kilo},
    {190000,     1,   1e3, {u"000.000", 3, 3}, Prefix::Kilo},
    {1900000,    1,   1e6, {u"0.00000", 1, 5}, Prefix::Mega},
    {19000000,   1,   1e6, {u"00.0000", 2, 4}, Prefix::Mega},
    {kOtherwise, 1,   1e6, {u"000.000", 3, 3}, Prefix::Mega},
};

// An automatic row darkens every prefix lamp of display 2, then lights its own.
constexpr Lamp kPrefixLamps[] = {Lamp::T_u_LAB2, Lamp::T_min_LAB2, Lamp::T_K_LAB2, Lamp::T_M_LAB2};

struct Family
{
    std::span<const Row> autoRows;
    std::span<const PointRow> pointRows;
    std::span<const LabelRow> labelRows;
    double autoOverload;  // first count the automatic rows' drawing shows as "OL"
};
constexpr Family kVoltage = {kVoltageRows, kVoltagePoints, {}, display::kDisplay2Overload};
constexpr Family kCurrent = {kCurrentRows, {}, kCurrentLabels, display::kDisplay2WideOverload};
constexpr Family kResistance = {kResistanceRows, kResistancePoints, {}, display::kDisplay2WideOverload};

struct Function
{
    std::u16string_view code;  // MODE2
    const Family *family;      // nullptr: frequency or period
    std::u16string_view unit;
};
constexpr Function kFunctions[] = {
    {u"ACV", &kVoltage,    u"V"},
    {u"DCV", &kVoltage,    u"V"},
    {u"ACI", &kCurrent,    u"A"},
    {u"DCI", &kCurrent,    u"A"},
    {u"2W",  &kResistance, u"Ohm"},
    {u"4W",  &kResistance, u"Ohm"},
    {u"Hz",  nullptr,      u"Hz"},
    {u"P",   nullptr,      u"s"},
};

const Function *findFunction(const QString &code)
{
    for (const Function &f : kFunctions)
        if (code == QStringView(f.code))
            return &f;
    return nullptr;
}

// The drawing row: the magnitude drawn with the sign from the flag, then
// the signed value with its unit word as the reading text.
void showRow(Panel &p, double v, double mul, double div, const Shown &shown, Prefix prefix,
             QStringView unit, bool kiloText, double overload)
{
    QString &text = p.state.DISPLAY2;
    text = scaled(std::fabs(v), mul, div, shown);
    display::DIS2_READ_SHOW(p, text, shown.integers, shown.decimals, v < 0, overload);
    if (kiloText && v >= 1000)
        text = withUnitWord(scaled(v, 1, 1000, shown), Prefix::Kilo, unit);
    else if (v < 0)
        text = withUnitWord(scaled(v, mul, div, shown), prefix, unit);
    else
        appendUnitWord(text, prefix, unit);  // the magnitude drawn is the value
}

std::optional<int> lowestLitPoint(const display::DisplayModel &d)
{
    for (int point = 0; point <= 3; ++point)
        if (d.isLit(display::Points::DROP_IMG2, point))
            return point;
    return std::nullopt;
}

void showFamily(Panel &p, const Family &f, QStringView unit, double v)
{
    display::DisplayModel &d = p.display;
    if (d.isLit(Lamp::AUTO_LAB2)) {
        const Row &row = rowByMagnitude(f.autoRows, std::fabs(v));
        for (Lamp lamp : kPrefixLamps)
            d.setLit(lamp, false);
        display::lightPrefix(d, row.prefix, 2);
        showRow(p, v, row.mul, row.div, row.shown, row.prefix, unit, row.kiloText, f.autoOverload);
        return;
    }
    if (const std::optional<int> point = lowestLitPoint(d))
        for (const PointRow &row : f.pointRows)
            if (row.point == *point && (!row.lit || d.isLit(*row.lit)))
                return showRow(p, v, row.mul, row.div, row.shown, row.prefix, unit, false,
                               display::kDisplay2Overload);
    for (const LabelRow &row : f.labelRows)
        if (p.state.MODE2_RANGE == QStringView(row.label))
            return showRow(p, v, row.mul, row.div, row.shown, row.prefix, unit, false,
                           display::kDisplay2Overload);
}

void showFrequency(Panel &p, const Function &f, double v, QStringView field)
{
    const Row &row = rowByMagnitude(std::span<const Row>(kFrequencyRows), std::fabs(v));
    p.state.DISPLAY2 = withUnitWord(scaled(v, row.mul, row.div, row.shown), row.prefix, f.unit);
    QString copy = field.toString();
    (void)display::CHK_READ2_RANGE(p, copy);  // the field converted, so it draws
}

} // namespace

void showDisplay2Reading(Panel &p, QStringView field)
{
    shell::PanelState &s = p.state;
    const Function *f = s.MODE2_ON ? findFunction(s.MODE2) : nullptr;
    if (f) {
        if (const std::optional<double> v = rt::toNumber(field)) {
            if (f->family)
                showFamily(p, *f->family, f->unit, *v);
            else
                showFrequency(p, *f, *v, field);
        } else {
            s.DISPLAY2.clear();
        }
    }
    if (s.DISPLAY2.size() > kLongestDisplay2)
        s.DISPLAY2 = kDetect;
}

} // namespace reading
