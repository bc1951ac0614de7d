#include "display/value_units.h"

#include "display/glyph_words.h"
#include "display/number_drawing.h"
#include "core/panel.h"
#include "display/unit_lamps.h"
#include "platform/runtime.h"

#include <QString>
#include <cmath>
#include <limits>
#include <optional>
#include <span>

namespace display {

namespace {

using enum Lamp;

// One decade step: applies when |value| < bound. The value is multiplied
// by `mul` and divided by `div`, formatted with `pattern`, drawn with
// (integers, decimals), and followed by `suffix` in the reading text.
struct UnitRow
{
    double bound;
    Prefix prefix;
    double mul, div;
    const char16_t *pattern;
    qint16 integers, decimals;
    const char16_t *suffix;
};

// ---- Display 1.

constexpr UnitRow kVolt1[] = {
    {0.0012,    Prefix::Milli, 1e3, 1,   u"0.000000", 1, 6, u"_mV"},
    {0.012,     Prefix::Milli, 1e3, 1,   u"00.00000", 2, 5, u"_mV"},
    {0.12,      Prefix::Milli, 1e3, 1,   u"000.0000", 3, 4, u"_mV"},
    {1.2,       Prefix::None,  1,   1,   u"0.000000", 1, 6, u"_V"},
    {12,        Prefix::None,  1,   1,   u"00.00000", 2, 5, u"_V"},
    {120,       Prefix::None,  1,   1,   u"000.0000", 3, 4, u"_V"},
    {1200,      Prefix::None,  1,   1,   u"0000.000", 4, 3, u"_V"},
};

constexpr UnitRow kCurrent1[] = {
    {0.0000012, Prefix::Micro, 1e6, 1,   u"0.000000", 1, 6, u"_uA"},
    {0.000012,  Prefix::Micro, 1e6, 1,   u"00.00000", 2, 5, u"_uA"},
    {0.00012,   Prefix::Micro, 1e6, 1,   u"000.0000", 3, 4, u"_uA"},
    {0.0012,    Prefix::Milli, 1e3, 1,   u"0.000000", 1, 6, u"_mA"},
    {0.012,     Prefix::Milli, 1e3, 1,   u"00.00000", 2, 5, u"_mA"},
    {0.12,      Prefix::Milli, 1e3, 1,   u"000.0000", 3, 4, u"_mA"},
    {12,        Prefix::None,  1,   1,   u"00.00000", 2, 5, u"_A"},
};

constexpr UnitRow kOhm1[] = {
    {120,       Prefix::None,  1,   1,   u"000.0000", 3, 4, u"_Ohm"},
    {1200,      Prefix::None,  1,   1,   u"0000.000", 4, 3, u"_Ohm"},
    {12000,     Prefix::Kilo,  1,   1e3, u"00.00000", 2, 5, u"_kOhm"},
    {120000,    Prefix::Kilo,  1,   1e3, u"000.0000", 3, 4, u"_kOhm"},
    {1200000,   Prefix::Mega,  1,   1e6, u"0.000000", 1, 6, u"_MOhm"},
    {12000000,  Prefix::Mega,  1,   1e6, u"00.00000", 2, 5, u"_MOhm"},
    {120000000, Prefix::Mega,  1,   1e6, u"000.0000", 3, 4, u"_MOhm"},
};

// Frequency and period: the unit word follows the prefix word ("_K_Hz").
constexpr UnitRow kFrequency1[] = {
    {0.00012,   Prefix::Micro, 1e6, 1,   u"000.0000", 3, 4, u"_u"},
    {0.0012,    Prefix::Milli, 1e3, 1,   u"0.000000", 1, 6, u"_m"},
    {0.012,     Prefix::Milli, 1e3, 1,   u"00.00000", 2, 5, u"_m"},
    {0.12,      Prefix::Milli, 1e3, 1,   u"000.0000", 3, 4, u"_m"},
    {1.2,       Prefix::None,  1,   1,   u"0.000000", 1, 6, u"_"},
    {12,        Prefix::None,  1,   1,   u"00.00000", 2, 5, u"_"},
    {120,       Prefix::None,  1,   1,   u"000.0000", 3, 4, u"_"},
    {1200,      Prefix::None,  1,   1,   u"0000.000", 4, 3, u"_"},
    {12000,     Prefix::Kilo,  1,   1e3, u"00.00000", 2, 5, u"_K"},
    {120000,    Prefix::Kilo,  1,   1e3, u"000.0000", 3, 4, u"_K"},
    {1200000,   Prefix::Mega,  1,   1e6, u"0.000000", 1, 6, u"_M"},
    {12000000,  Prefix::Mega,  1,   1e6, u"00.00000", 2, 5, u"_M"},
    {120000000, Prefix::Mega,  1,   1e6, u"000.0000", 3, 4, u"_M"},
};

// Temperature: one row for every size.
constexpr double kAnySize = std::numeric_limits<double>::infinity();
constexpr UnitRow kTemperature1[] = {
    {kAnySize,  Prefix::None,  1,   1,   u"0000.000", 4, 3, u""},
};

// ---- Display 2: six digits, steps at 1.9 x 10^k.

constexpr UnitRow kVolt2[] = {
    {0.0019,    Prefix::Milli, 1e3, 1,   u"0.00000", 1, 5, u"_mV"},
    {0.019,     Prefix::Milli, 1e3, 1,   u"00.0000", 2, 4, u"_mV"},
    {0.19,      Prefix::Milli, 1e3, 1,   u"000.000", 3, 3, u"_mV"},
    {1.9,       Prefix::None,  1,   1,   u"0.00000", 1, 5, u"_V"},
    {19,        Prefix::None,  1,   1,   u"00.0000", 2, 4, u"_V"},
    {190,       Prefix::None,  1,   1,   u"000.000", 3, 3, u"_V"},
    {1900,      Prefix::None,  1,   1,   u"0000.00", 4, 2, u"_V"},
};

constexpr UnitRow kCurrent2[] = {
    {0.0000019, Prefix::Micro, 1e6, 1,   u"0.00000", 1, 5, u"_uA"},
    {0.000019,  Prefix::Micro, 1e6, 1,   u"00.0000", 2, 4, u"_uA"},
    {0.00019,   Prefix::Micro, 1e6, 1,   u"000.000", 3, 3, u"_uA"},
    {0.0019,    Prefix::Milli, 1e3, 1,   u"0.00000", 1, 5, u"_mA"},
    {0.019,     Prefix::Milli, 1e3, 1,   u"00.0000", 2, 4, u"_mA"},
    {0.19,      Prefix::Milli, 1e3, 1,   u"000.000", 3, 3, u"_mA"},
    {19,        Prefix::None,  1,   1,   u"00.0000", 2, 4, u"_A"},
};

constexpr UnitRow kOhm2[] = {
    {190,       Prefix::None,  1,   1,   u"000.000", 3, 3, u"_Ohm"},
    {1900,      Prefix::None,  1,   1,   u"0000.00", 4, 2, u"_Ohm"},
    {19000,     Prefix::Kilo,  1,   1e3, u"00.0000", 2, 4, u"_kOhm"},
    {190000,    Prefix::Kilo,  1,   1e3, u"000.000", 3, 3, u"_kOhm"},
    {1900000,   Prefix::Mega,  1,   1e6, u"0.00000", 1, 5, u"_MOhm"},
    {19000000,  Prefix::Mega,  1,   1e6, u"00.0000", 2, 4, u"_MOhm"},
    {190000000, Prefix::Mega,  1,   1e6, u"000.000", 3, 3, u"_MOhm"},
};

constexpr UnitRow kFrequency2[] = {
    {0.00019,   Prefix::Micro, 1e6, 1,   u"000.000", 3, 3, u"_u"},
    {0.0019,    Prefix::Milli, 1e3, 1,   u"0.00000", 1, 5, u"_m"},
    {0.019,     Prefix::Milli, 1e3, 1,   u"00.0000", 2, 4, u"_m"},
    {0.19,      Prefix::Milli, 1e3, 1,   u"000.000", 3, 3, u"_m"},
    {1.9,       Prefix::None,  1,   1,   u"0.00000", 1, 5, u"_"},
    {19,        Prefix::None,  1,   1,   u"00.0000", 2, 4, u"_"},
    {190,       Prefix::None,  1,   1,   u"000.000", 3, 3, u"_"},
    {1900,      Prefix::None,  1,   1,   u"0000.00", 4, 2, u"_"},
    {19000,     Prefix::Kilo,  1,   1e3, u"00.0000", 2, 4, u"_k"},
    {190000,    Prefix::Kilo,  1,   1e3, u"000.000", 3, 3, u"_k"},
    {1900000,   Prefix::Mega,  1,   1e6, u"0.00000", 1, 5, u"_M"},
    {19000000,  Prefix::Mega,  1,   1e6, u"00.0000", 2, 4, u"_M"},
    {190000000, Prefix::Mega,  1,   1e6, u"000.000", 3, 3, u"_M"},
};

constexpr UnitRow kTemperature2[] = {
    {kAnySize,  Prefix::None,  1,   1,   u"0000.00", 4, 2, u"_"},
};

// Which table a function code takes, its unit lamp, and the unit word that
// follows the row's suffix (frequency, period and temperature).
struct FamilyRow
{
    const char16_t *code;
    std::span<const UnitRow> rows;
    Lamp unit;
    const char16_t *unitWord;
};

constexpr FamilyRow kFamilies1[] = {
    {u"ACV", kVolt1,        T_V_LAB1,  u""},
    {u"DCV", kVolt1,        T_V_LAB1,  u""},
    {u"ACI", kCurrent1,     T_A_LAB1,  u""},
    {u"DCI", kCurrent1,     T_A_LAB1,  u""},
    {u"2W",  kOhm1,         T_R_LAB1,  u""},
    {u"4W",  kOhm1,         T_R_LAB1,  u""},
    {u"Hz",  kFrequency1,   T_Hz_LAB1, u"_Hz"},
    {u"P",   kFrequency1,   T_S_LAB1,  u"_S"},
    {u"C",   kTemperature1, T_C_LAB1,  u"_C"},
    {u"F",   kTemperature1, T_F_LAB1,  u"_F"},
};

constexpr FamilyRow kFamilies2[] = {
    {u"ACV", kVolt2,        T_V_LAB2,  u""},
    {u"DCV", kVolt2,        T_V_LAB2,  u""},
    {u"ACI", kCurrent2,     T_A_LAB2,  u""},
    {u"DCI", kCurrent2,     T_A_LAB2,  u""},
    {u"2W",  kOhm2,         T_R_LAB2,  u""},
    {u"4W",  kOhm2,         T_R_LAB2,  u""},
    {u"Hz",  kFrequency2,   T_Hz_LAB2, u"_Hz"},
    {u"P",   kFrequency2,   T_S_LAB2,  u"_s"},
    {u"C",   kTemperature2, T_C_LAB2,  u"_C"},
    {u"F",   kTemperature2, T_F_LAB2,  u"_F"},
};

// The lamps darkened before each value, in this order.
constexpr Lamp kLamps1[] = {T_V_LAB1, T_A_LAB1, T_R_LAB1, T_Hz_LAB1, T_S_LAB1, T_C_LAB1,
                            T_F_LAB1, T_dB_LAB, T_dBm_LAB1, T_u_LAB1, T_min_LAB1, T_K_LAB1,
                            T_M_LAB1};
constexpr Lamp kLamps2[] = {T_V_LAB2, T_A_LAB2, T_R_LAB2, T_Hz_LAB2, T_S_LAB2, T_C_LAB2,
                            T_F_LAB2, T_dBm_LAB2, T_u_LAB2, T_min_LAB2, T_K_LAB2, T_M_LAB2};

// The instrument's overload is 9.9E+37; no value it shows comes near 1E9.
constexpr double kOverloadMagnitude = 1.0e9;

const FamilyRow *findFamily(std::span<const FamilyRow> families, const QString &code)
{
    for (const FamilyRow &row : families)
        if (code == QStringView(row.code))
            return &row;
    return nullptr;
}

const UnitRow *findRow(std::span<const UnitRow> rows, double magnitude)
{
    for (const UnitRow &row : rows)
        if (magnitude < row.bound)
            return &row;
    return nullptr;
}

// The digits without their first point, as the overload marker is looked for.
QString withoutFirstPoint(QString text)
{
    const qsizetype point = text.indexOf(u'.');
    if (point >= 0)
        text.remove(point, 1);
    return text;
}

struct Drawn
{
    QString text;
    qint16 integers, decimals;
    bool negative;
};

Drawn formatRow(const UnitRow &row, double value)
{
    const QString text = rt::pattern(value * row.mul / row.div, QStringView(row.pattern));
    return {text, row.integers, row.decimals, rt::leadingNumber(text) < 0};
}

// Chooses the family and row, lights the lamps and returns what to draw
// with the reading text; nothing when no row applies.
std::optional<std::pair<Drawn, QString>> unitValue(DisplayModel &d, const FamilyRow &family,
                                                   double value, int displayNo)
{
    d.setLit(family.unit, true);
    const UnitRow *row = findRow(family.rows, std::fabs(value));
    if (!row)
        return std::nullopt;
    lightPrefix(d, row->prefix, displayNo);
    Drawn drawn = formatRow(*row, value);
    QString reading = drawn.text + QString::fromUtf16(row->suffix) + QString::fromUtf16(family.unitWord);
    return std::pair{std::move(drawn), std::move(reading)};
}

} // namespace

bool DIS1_SHOW_NUM(Panel &p, QStringView DIS1_NUM_DATA)
{
    DisplayModel &d = p.display;
    DisplayModel::Batch batch(d);
    const std::optional<double> value = rt::toNumber(DIS1_NUM_DATA);
    const QString asCount = value ? rt::pattern(*value, u"0000000.0000000")
                                  : DIS1_NUM_DATA.toString();
    if (withoutFirstPoint(asCount).contains(u"1999999")
        || (value && std::fabs(*value) >= kOverloadMagnitude)) {
        SHOW_OL(d);
        return true;
    }
    for (Lamp lamp : kLamps1)
        d.setLit(lamp, false);
    if (!value)
        return false;

    if (p.state.AVER_DISP_SEL == 0 && p.controls.MATH_LAB_enabled) {
        p.state.DISPLAY1 = asCount;
        DIS1_READ_SHOW(p, asCount, 7, 0, rt::leadingNumber(asCount) < 0);
        return true;
    }
    const FamilyRow *family = findFamily(kFamilies1, p.state.MODE1);
    if (!family)
        return true;
    if (const auto shown = unitValue(d, *family, *value, 1)) {
        const auto &[drawn, reading] = *shown;
        p.state.DISPLAY1 = reading;
        DIS1_READ_SHOW(p, drawn.text, drawn.integers, drawn.decimals, drawn.negative);
    }
    return true;
}

bool DIS2_SHOW_NUM(Panel &p, QStringView DIS2_NUM_DATA)
{
    DisplayModel &d = p.display;
    DisplayModel::Batch batch(d);
    const std::optional<double> value = rt::toNumber(DIS2_NUM_DATA);
    if (withoutFirstPoint(DIS2_NUM_DATA.toString()).contains(u"199999")
        || (value && std::fabs(*value) >= kOverloadMagnitude)) {
        SHOW_OL2(d);
        return true;
    }
    for (Lamp lamp : kLamps2)
        d.setLit(lamp, false);
    if (!value)
        return false;

    const FamilyRow *family = findFamily(kFamilies2, p.state.MODE2);
    if (!family)
        return true;
    if (const auto shown = unitValue(d, *family, *value, 2)) {
        const auto &[drawn, reading] = *shown;
        p.state.DISPLAY2 = reading;
        DIS2_READ_SHOW(p, drawn.text, drawn.integers, drawn.decimals, drawn.negative);
    }
    return true;
}

} // namespace display
