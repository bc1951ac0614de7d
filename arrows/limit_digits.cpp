#include "arrows/limit_digits.h"

#include "core/panel.h"
#include "display/glyph_words.h"
#include "display/value_scaling.h"
#include "platform/runtime.h"

namespace arrows {

namespace {

using display::Lamp;
using display::Points;

// The value in the lit prefix's unit, and the exponent that undoes it.
// Tested in this order; none lit: base unit.
struct PrefixScale
{
    Lamp lamp;
    double factor;
    const char16_t *exponent;
};
constexpr PrefixScale kPrefixScales[] = {
    {Lamp::T_u_LAB1,   1e6,  u"E-6"},
    {Lamp::T_min_LAB1, 1e3,  u"E-3"},
    {Lamp::T_K_LAB1,   1e-3, u"E+3"},
    {Lamp::T_M_LAB1,   1e-6, u"E+6"},
};

const PrefixScale *litScale(const Panel &p)
{
    for (const PrefixScale &row : kPrefixScales)
        if (p.display.isLit(row.lamp))
            return &row;
    return nullptr;
}

// The pattern of each point: point k leaves k + 1 digits before it.
constexpr const char16_t *kPointPatterns[] = {
    u"0.000000", u"00.00000", u"000.0000", u"0000.000", u"00000.00",
};

constexpr qint16 kNoPoint = 5;
constexpr qint16 kFallbackPoint = 3;

// A "-" first moves everything one character right.
qsizetype signWidth(QStringView text)
{
    return text.startsWith(u'-') ? 1 : 0;
}

} // namespace

qint16 firstLitPoint1(const Panel &p)
{
    return qint16(p.display.firstLitPoint(Points::DROP_IMG, kNoPoint - 1).value_or(kNoPoint));
}

bool loadLimit(Panel &p, const QString &drawn, QStringView value)
{
    QString shown = drawn;
    if (!display::CHK_READ_RANGE(p, shown))
        return false;
    const qint16 point = firstLitPoint1(p);
    if (point == kNoPoint) {
        drawLimitZeros(p);
        return true;
    }
    double number = rt::leadingNumber(value);
    if (const PrefixScale *scale = litScale(p))
        number *= scale->factor;
    const QString text = rt::pattern(number, QStringView(kPointPatterns[point]));
    // The point stands right after the digits before it.
    const qsizetype before = point + 1 + signWidth(text);
    p.state.LIMIT_DIGITS = text.left(before) + text.mid(before + 1);
    return true;
}

void drawLimitZeros(Panel &p)
{
    display::DisplayModel &d = p.display;
    display::DisplayModel::Batch batch(d);
    d.setLit(Points::DROP_IMG, kFallbackPoint, true);
    display::DIS1_SHOW_RANGE(d, u"", u"0", u"0", u"0", u"0", u"0", u"0");
    p.state.LIMIT_DIGITS = QStringLiteral("0000000");
}

std::optional<QString> limitValueText(const Panel &p)
{
    const QString &digits = p.state.LIMIT_DIGITS;
    const qsizetype before = firstLitPoint1(p) + 1 + signWidth(digits);
    QString text = digits.left(before) + u'.' + digits.mid(before);
    if (const PrefixScale *scale = litScale(p))
        text += QString::fromUtf16(scale->exponent);
    const std::optional<double> value = rt::toNumber(text);
    if (!value)
        return std::nullopt;
    return rt::numberText(*value);
}

} // namespace arrows
