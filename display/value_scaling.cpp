#include "display/value_scaling.h"

#include "display/glyph_words.h"
#include "display/number_drawing.h"
#include "core/panel.h"
#include "display/unit_lamps.h"
#include "platform/runtime.h"

#include <cmath>
#include <optional>
#include <span>

namespace display {

namespace {

using enum Lamp;

struct Shown
{
    const char16_t *pattern;
    qint16 integers;  // XXX
    qint16 decimals;  // YYY
};

// One row per decade step. A row applies when |value| < bound (the zero row
// when the value is 0); the value is multiplied by `mul` and divided by
// `div` before it is formatted. `suffix` follows the text in DISPLAY2 while
// math is on.
struct ScaleRow
{
    double bound;
    Prefix prefix;
    double mul, div;
    Shown one, two;  // display 1, display 2
    const char16_t *suffix;
};

constexpr double kZeroRow = 0;  // bound of the row for exactly 0

constexpr ScaleRow kScaleRows[] = {
    // bound       prefix          mul  div  display 1                 display 2                suffix
    {kZeroRow,     Prefix::None,  1,   1,   {u"0000.00",  1, 6}, {u"0000.00", 1, 5}, u""},
    {0.00012,      Prefix::Micro, 1e6, 1,   {u"000.0000", 3, 4}, {u"000.000", 3, 3}, u" u"},
    {0.0012,       Prefix::Milli, 1e3, 1,   {u"0.000000", 1, 6}, {u"0.00000", 1, 5}, u" m"},
    {0.012,        Prefix::Milli, 1e3, 1,   {u"00.00000", 2, 5}, {u"00.0000", 2, 4}, u" m"},
    {0.12,         Prefix::Milli, 1e3, 1,   {u"000.0000", 3, 4}, {u"000.000", 3, 3}, u" m"},
    {1.2,          Prefix::None,  1,   1,   {u"0.000000", 1, 6}, {u"0.00000", 1, 5}, u""},
    {12,           Prefix::None,  1,   1,   {u"00.00000", 2, 5}, {u"00.0000", 2, 4}, u""},
    {120,          Prefix::None,  1,   1,   {u"000.0000", 3, 4}, {u"000.000", 3, 3}, u""},
    {1200,         Prefix::None,  1,   1,   {u"0000.000", 4, 3}, {u"0000.00", 4, 2}, u""},
    {12000,        Prefix::Kilo,  1,   1e3, {u"00.00000", 2, 5}, {u"00.0000", 2, 4}, u" k"},
    {120000,       Prefix::Kilo,  1,   1e3, {u"000.0000", 3, 4}, {u"000.000", 3, 3}, u" k"},
    {1200000,      Prefix::Mega,  1,   1e6, {u"0.000000", 1, 6}, {u"0.00000", 1, 5}, u" M"},
    {12000000,     Prefix::Mega,  1,   1e6, {u"00.00000", 2, 5}, {u"00.0000", 2, 4}, u" M"},
    {120000000,    Prefix::Mega,  1,   1e6, {u"000.0000", 3, 4}, {u"000.000", 3, 3}, u" M"},
};

const ScaleRow *findScaleRow(double magnitude)
{
    for (const ScaleRow &row : kScaleRows)
        if (row.bound == kZeroRow ? magnitude == 0 : magnitude < row.bound)
            return &row;
    return nullptr;  // overload
}

// The unit lamp of each function code, display 1 / display 2.
struct UnitRow
{
    const char16_t *code;
    Lamp one, two;
};

constexpr UnitRow kUnitLamps[] = {
    {u"ACV", T_V_LAB1,  T_V_LAB2},
    {u"DCV", T_V_LAB1,  T_V_LAB2},
    {u"ACI", T_A_LAB1,  T_A_LAB2},
    {u"DCI", T_A_LAB1,  T_A_LAB2},
    {u"2W",  T_R_LAB1,  T_R_LAB2},
    {u"4W",  T_R_LAB1,  T_R_LAB2},
    {u"Hz",  T_Hz_LAB1, T_Hz_LAB2},
    {u"P",   T_S_LAB1,  T_S_LAB2},
    {u"C",   T_C_LAB1,  T_C_LAB2},
    {u"F",   T_F_LAB1,  T_F_LAB2},
};

std::optional<Lamp> unitLamp(const QString &code, int displayNo)
{
    for (const UnitRow &row : kUnitLamps)
        if (code == QStringView(row.code))
            return displayNo == 2 ? row.two : row.one;
    return std::nullopt;
}

// The lamps each scaling darkens first: prefixes, then units (not dBm).
constexpr Lamp kDarkened1[] = {T_u_LAB1, T_min_LAB1, T_K_LAB1, T_M_LAB1, T_V_LAB1, T_A_LAB1,
                               T_R_LAB1, T_Hz_LAB1, T_W_LAB1, T_S_LAB1, T_C_LAB1, T_F_LAB1};
constexpr Lamp kDarkened2[] = {T_u_LAB2, T_min_LAB2, T_K_LAB2, T_M_LAB2, T_V_LAB2, T_A_LAB2,
                               T_R_LAB2, T_Hz_LAB2, T_W_LAB2, T_S_LAB2, T_C_LAB2, T_F_LAB2};

// The math items that show no unit: the percent item always, M and 1/X
// while the set-up is open.
bool mathHidesUnit(const shell::PanelState &s)
{
    return s.MATH_ITEM == 4 || (s.MATH_SET && (s.MATH_ITEM == 1 || s.MATH_ITEM == 3));
}

// Everything but the drawing itself, for either display. Returns the row
// (nullptr over an overload) or nothing when the text is not a number.
struct Scaled
{
    const ScaleRow *row = nullptr;
    Shown shown{};
    bool negative = false;
};

std::optional<Scaled> scale(Panel &p, QString &text, int displayNo, bool unitShown)
{
    DisplayModel &d = p.display;
    const Points points = displayNo == 2 ? Points::DROP_IMG2 : Points::DROP_IMG;
    for (int i = 0; i < 6; ++i)
        d.setLit(points, i, false);
    for (Lamp lamp : displayNo == 2 ? std::span<const Lamp>(kDarkened2) : kDarkened1)
        d.setLit(lamp, false);
    if (unitShown) {
        const QString &code = displayNo == 2 ? p.state.MODE2 : p.state.MODE1;
        if (const std::optional<Lamp> lamp = unitLamp(code, displayNo))
            d.setLit(*lamp, true);
    }

    const std::optional<double> value = rt::toNumber(text);
    if (!value)
        return std::nullopt;
    Scaled out;
    out.row = findScaleRow(std::fabs(*value));
    if (!out.row)
        return out;
    lightPrefix(d, out.row->prefix, displayNo);
    out.shown = displayNo == 2 ? out.row->two : out.row->one;
    // The zero row and the unscaled rows format the value as given; the
    // others scale it first. Either way the pattern reads it as a number.
    text = rt::pattern(*value * out.row->mul / out.row->div, QStringView(out.shown.pattern));
    out.negative = out.row->bound != kZeroRow && rt::leadingNumber(text) < 0;
    return out;
}

} // namespace

bool CHK_READ_RANGE(Panel &p, QString &CHK_READ_NUM)
{
    DisplayModel::Batch batch(p.display);
    const std::optional<Scaled> scaled = scale(p, CHK_READ_NUM, 1, !mathHidesUnit(p.state));
    if (!scaled)
        return false;
    if (!scaled->row) {
        SHOW_OL(p.display);
        return true;
    }
    if (p.state.MATH_ON)
        p.state.DISPLAY2 = CHK_READ_NUM + QString::fromUtf16(scaled->row->suffix);
    DIS1_READ_SHOW(p, CHK_READ_NUM, scaled->shown.integers, scaled->shown.decimals,
                   scaled->negative);
    return true;
}

bool CHK_READ2_RANGE(Panel &p, QString &CHK_READ2_NUM)
{
    DisplayModel::Batch batch(p.display);
    const std::optional<Scaled> scaled = scale(p, CHK_READ2_NUM, 2, true);
    if (!scaled)
        return false;
    if (!scaled->row) {
        SHOW_OL2(p.display);
        return true;
    }
    DIS2_READ_SHOW(p, CHK_READ2_NUM, scaled->shown.integers, scaled->shown.decimals,
                   scaled->negative);
    return true;
}

} // namespace display
