#include "reading/math_results.h"

#include "display/glyph_words.h"
#include "core/panel.h"
#include "display/value_scaling.h"
#include "platform/runtime.h"

#include <array>
#include <cmath>
#include <optional>

namespace reading {

namespace {

using display::Word;

enum class Item : qint16 { MxB = 2, Reciprocal = 3, Percent = 4 };

struct MathRow
{
    Item item;
    Word word;           // spelled on display 2, over what it shows
    bool unitAppended;   // DISPLAY2 takes the function's base unit, and the parse ends
};
constexpr MathRow kMathRows[] = {
    {Item::MxB,        {u"", u"M", u"X", u"add", u"B", u""}, true},
    {Item::Reciprocal, {u"", u"1", u"MOD", u"X", u"", u""},  true},
    {Item::Percent,    {u"", u"PSU", u"MOD", u"PSD", u"", u""}, false},  // "%" in three glyphs
};

// The base unit of display 1's function, after an MX+B or 1/X value.
struct BaseUnit
{
    std::u16string_view code;
    std::u16string_view unit;
};
constexpr BaseUnit kBaseUnits[] = {
    {u"ACV", u"V"}, {u"DCV", u"V"}, {u"ACI", u"A"}, {u"DCI", u"A"},
    {u"2W", u"Ohm"}, {u"4W", u"Ohm"}, {u"Hz", u"Hz"}, {u"P", u"S"},
};

QStringView baseUnit(const QString &code)
{
    for (const BaseUnit &row : kBaseUnits)
        if (code == QStringView(row.code))
            return row.unit;
    return {};
}

const MathRow *findMathRow(qint16 item)
{
    for (const MathRow &row : kMathRows)
        if (qint16(row.item) == item)
            return &row;
    return nullptr;
}

// A quotient, or nothing when it has no value: a zero divisor, or a result
// too large for a number.
std::optional<double> quotient(double dividend, double divisor)
{
    if (divisor == 0)
        return std::nullopt;
    const double q = dividend / divisor;
    if (!std::isfinite(q))
        return std::nullopt;
    return q;
}

// How the value reached display 2's text.
enum class Shown { Value, Overload, Nothing };

// Display 1 shows `value` by the value scaling, which leaves it, scaled and
// with its prefix, in DISPLAY2 while math is on; over an overload it leaves
// DISPLAY2 alone, and a value that is not a number draws nothing.
Shown showScaled(Panel &p, const std::optional<QString> &value)
{
    p.state.DISPLAY2.clear();
    if (!value)
        return Shown::Nothing;
    QString copy = *value;
    if (!display::CHK_READ_RANGE(p, copy))
        return Shown::Nothing;
    return p.state.DISPLAY2.isEmpty() ? Shown::Overload : Shown::Value;
}

std::optional<QString> numberTextOf(std::optional<double> value)
{
    if (!value)
        return std::nullopt;
    return rt::numberText(*value);
}

Shown showMath(Panel &p, const MathRow &row, QStringView field)
{
    shell::PanelState &s = p.state;
    const std::optional<double> x = rt::toNumber(field);
    const double m = rt::leadingNumber(s.MATH_M_VALUE);
    switch (row.item) {
    case Item::MxB: {
        const double b = rt::leadingNumber(s.MATH_B_VALUE);
        const qsizetype underscore = s.DISPLAY1.indexOf(u'_');
        const QString unit = underscore < 0 ? s.DISPLAY1 : s.DISPLAY1.mid(underscore);
        const std::optional<double> result = x ? quotient(*x - b, m) : std::nullopt;
        s.DISPLAY1 = result ? rt::numberText(*result).left(8) + unit : QString();
        return showScaled(p, field.toString());
    }
    case Item::Reciprocal:
        return showScaled(p, numberTextOf(x ? quotient(1, *x) : std::nullopt));
    case Item::Percent: {
        const std::optional<double> ratio = x ? quotient(*x - m, m) : std::nullopt;
        return showScaled(p, numberTextOf(ratio ? std::optional<double>(*ratio * 100) : std::nullopt));
    }
    }
    return Shown::Nothing;
}

void showCompare(Panel &p, QStringView field)
{
    shell::PanelState &s = p.state;
    display::ClearSHOW2(p.display);
    const double x = rt::leadingNumber(field);
    if (x > rt::leadingNumber(s.MATH_M_VALUE)) {
        display::DIS2_SHOW_RANGE(p.display, u"H", u"I", u"G", u"H", u"", u"");
        s.DISPLAY2 = QStringLiteral("HIGH");
    } else if (x < rt::leadingNumber(s.MATH_B_VALUE)) {
        display::DIS2_SHOW_RANGE(p.display, u"L", u"O", u"W", u"", u"", u"");
        s.DISPLAY2 = QStringLiteral("LOW");
    } else {
        display::DIS2_SHOW_RANGE(p.display, u"P", u"A", u"S", u"S", u"", u"");
        s.DISPLAY2 = QStringLiteral("PASS");
    }
}

} // namespace

Interpretation showMathAndCompare(Panel &p, QStringView field)
{
    shell::PanelState &s = p.state;
    if (s.MATH_ON && !s.DIS1_OL) {
        if (const MathRow *row = findMathRow(s.MATH_ITEM)) {
            const Word &w = row->word;
            display::spell(p.display, w);
            const Shown shown = showMath(p, *row, field);
            if (shown == Shown::Overload)
                s.DISPLAY2 = QStringLiteral("OL");
            else if (shown == Shown::Value)
                s.DISPLAY2 += row->unitAppended ? baseUnit(s.MODE1) : QStringView(u"%");
            if (row->unitAppended)
                return Interpretation::Ends;
        }
    }
    if (s.COMP_ON) {
        showCompare(p, field);
        return Interpretation::Ends;
    }
    return Interpretation::GoesOn;
}

} // namespace reading
