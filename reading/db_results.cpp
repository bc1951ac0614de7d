#include "reading/db_results.h"

#include "display/glyph_words.h"
#include "display/number_drawing.h"
#include "core/panel.h"
#include "reading/reading_rows.h"

#include <cmath>
#include <optional>
#include <span>

namespace reading {

namespace {

using display::Lamp;
using display::Prefix;

// A dB or dBm value on display 1: two, three or four digits before the point.
struct LevelRow
{
    double bound;
    std::u16string_view text;  // pattern of the reading text
    Shown shown;           // drawing on display 1: always seven digits
};
constexpr LevelRow kLevelRows[] = {
    {12,         u"00.0000", {u"00.00000", 2, 5}},
    {120,        u"000.000", {u"000.0000", 3, 4}},
    {kOtherwise, u"0000.00", {u"0000.000", 4, 3}},
};

// The voltage a dBm value means, for DISPLAY1.
struct VoltRow
{
    double bound;
    double mul;
    std::u16string_view pattern;
    Prefix prefix;
};
constexpr VoltRow kDbmVoltRows[] = {
    {0.19,       1e3, u"000.000", Prefix::Milli},
    {1.9,        1,   u"0.00000", Prefix::None},
    {19,         1,   u"00.0000", Prefix::None},
    {190,        1,   u"000.000", Prefix::None},
    {kOtherwise, 1,   u"0000.00", Prefix::None},
};

// The voltage beside a dB value, on display 2: by magnitude while display
// 1's AUTO lamp is lit (with the milli lamp and the point), else by range.
struct VoltShown
{
    double bound;
    std::u16string_view label;  // MODE1_RANGE of the fixed rows
    double mul;
    Shown shown;
    Prefix prefix;
};
constexpr VoltShown kDbAutoRows[] = {
    {0.12,       {},      1e3, {u"000.000", 3, 3}, Prefix::Milli},
    {1.2,        {},      1,   {u"0.00000", 1, 5}, Prefix::None},
    {12,         {},      1,   {u"00.0000", 2, 4}, Prefix::None},
    {120,        {},      1,   {u"000.000", 3, 3}, Prefix::None},
    {kOtherwise, {},      1,   {u"0000.00", 4, 2}, Prefix::None},
};
constexpr VoltShown kDbRangeRows[] = {
    {kOtherwise, u"100mV", 1e3, {u"000.000", 3, 3}, Prefix::Milli},
    {kOtherwise, u"1V",    1,   {u"0.00000", 1, 5}, Prefix::None},
    {kOtherwise, u"10V",   1,   {u"00.0000", 2, 4}, Prefix::None},
    {kOtherwise, u"100V",  1,   {u"000.000", 3, 3}, Prefix::None},
    {kOtherwise, u"750V",  1,   {u"0000.00", 4, 2}, Prefix::None},
    {kOtherwise, u"1000V", 1,   {u"0000.00", 4, 2}, Prefix::None},
};
constexpr Shown kBesideDbm = {u"000.000", 3, 3};

// The dBm overload marker: the reading's digits hold the run 199999 once
// its point is gone (+1.99999E+09 reads +199999E+09).
constexpr char16_t kDbmOverloadRun[] = u"199999";

void showOverload1(Panel &p)
{
    display::SHOW_OL(p.display);
    p.state.DIS1_OL = true;
}

// The dB or dBm value on display 1, with the milli lamp dark; returns its
// number text.
QString showLevel(Panel &p, double level)
{
    p.display.setLit(Lamp::T_min_LAB1, false);
    const LevelRow &row = rowByMagnitude(std::span<const LevelRow>(kLevelRows), std::fabs(level));
    const QString text = rt::pattern(level, row.text);
    display::DIS1_READ_SHOW(p, text, row.shown.integers, row.shown.decimals, level < 0);
    return text;
}

// The reading text and drawing of the voltage beside a dB value.
void showDbVolts(Panel &p, const VoltShown &row, double x)
{
    display::DIS2_READ_SHOW(p, rt::numberText(x * row.mul), row.shown.integers,
                            row.shown.decimals, x < 0);
    p.state.DISPLAY2 = isOverloadValue(x)
                           ? QStringLiteral("OL")
                           : withUnitWord(scaled(x, row.mul, 1, row.shown), row.prefix, u"V");
}

} // namespace

void dBm_C_ENTER(Panel &p, QStringView Display1_data)
{
    shell::PanelState &s = p.state;
    const qsizetype point = Display1_data.indexOf(u'.');
    if (point < 0)
        return;  // not a reading: nothing changes
    const std::optional<double> v = rt::toNumber(Display1_data);
    QString digits = Display1_data.toString();
    digits.remove(point, 1);
    if (digits.contains(QStringView(kDbmOverloadRun)) || (v && isOverloadValue(*v))) {
        s.DISPLAY1 = QStringLiteral("OL");
        s.DISPLAY2.clear();
        showOverload1(p);
        return;
    }
    if (!v || *v == 0)
        return;

    s.DISPLAY2 = showLevel(p, *v) + QStringLiteral("_dBm");
    if (s.HOLD_ON) {
        s.MODE1 = QStringLiteral("dBm");
        s.DISPLAY1 = s.DISPLAY2;
        s.DISPLAY2 = rt::pattern(s.HOLD_REF_INT, u"00") + QStringLiteral("_%");
        return;
    }
    if (s.MXMN_ON) {
        s.MODE1 = QStringLiteral("dBm");
        s.DISPLAY1 = s.DISPLAY2;
        return;
    }
    // v dBm is 10^(v/10) mW into dBm_REF ohms.
    const std::optional<double> reference = rt::toNumber(s.dBm_REF);
    const double volts = reference ? std::sqrt(std::exp(*v * std::log(10.0) / 10) * *reference / 1000)
                                   : std::nan("");
    if (!std::isfinite(volts) || isOverloadValue(volts)) {
        s.DISPLAY1 = reference ? QStringLiteral("OL") : QString();
        return;
    }
    const VoltRow &row = rowByMagnitude(std::span<const VoltRow>(kDbmVoltRows), std::fabs(volts));
    s.DISPLAY1 = withUnitWord(rt::pattern(volts * row.mul, row.pattern), row.prefix, u"V");
}

void dB_C_ENTER(Panel &p, QStringView Display1_data, QStringView Display2_data)
{
    shell::PanelState &s = p.state;
    display::DisplayModel &d = p.display;
    s.dB_DISP1 = true;

    // Display 2: the voltage. A reply without it leaves display 2 as it is.
    if (const std::optional<double> x = rt::toNumber(Display2_data)) {
        if (s.dB_WITH_dBm) {
            const QString t = rt::pattern(*x, kBesideDbm.pattern);
            display::DIS2_READ_SHOW(p, t, kBesideDbm.integers, kBesideDbm.decimals, *x < 0);
            s.DISPLAY2 = isOverloadValue(*x) ? QStringLiteral("OL") : t + QStringLiteral(" V");
        } else if (d.isLit(Lamp::AUTO_LAB1)) {
            d.setLit(Lamp::T_min_LAB2, false);
            const VoltShown &row = rowByMagnitude(std::span<const VoltShown>(kDbAutoRows), std::fabs(*x));
            display::lightPrefix(d, row.prefix, 2);
            for (int i = 0; i < 5; ++i)
                d.setLit(display::Points::DROP_IMG2, i, false);
            d.setLit(display::Points::DROP_IMG2, 5 - row.shown.decimals, true);
            showDbVolts(p, row, *x);
        } else {
            for (const VoltShown &row : kDbRangeRows)
                if (s.MODE1_RANGE == QStringView(row.label)) {
                    showDbVolts(p, row, *x);
                    break;
                }
        }
    }

    // Display 1: the dB value.
    if (const std::optional<double> level = rt::toNumber(Display1_data)) {
        const QString text = showLevel(p, *level);
        s.DISPLAY1 = isOverloadValue(*level) ? QStringLiteral("OL") : text + QStringLiteral("_dB");
    }
}

} // namespace reading
