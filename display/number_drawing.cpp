#include "display/number_drawing.h"

#include "display/glyph_words.h"
#include "core/panel.h"
#include "platform/runtime.h"

#include <QString>
#include <array>
#include <optional>

namespace display {

namespace {

// The pattern for each count of decimals, and the point it lights.
constexpr std::array<const char16_t *, 7> kPatterns1 = {
    u"0000000", u"000000.0", u"00000.00", u"0000.000", u"000.0000", u"00.00000", u"0.000000",
};
constexpr int kDigits1 = 7;
constexpr double kOverload1 = 1.2e6;    // first count that no longer fits display 1
constexpr double kLeadingOne1 = 1.0e6;  // from here the leading digit is a 1

// Display 2 knows two to five decimals; its digits before the point come
// from the padding below.
constexpr std::array<const char16_t *, 6> kPatterns2 = {
    nullptr, nullptr, u"0.00", u"0.000", u"0.0000", u"0.00000",
};
constexpr int kDigits2 = 6;
constexpr double kMinusOneLimit2 = 199999;  // below it a leading 1 takes the minus-one glyph

// Diode and continuity read "OPEN" over an overload unless the value sits in
// the small band the instrument still calls a reading.
constexpr double kOpenAbove = 1.0;
constexpr double kOpenBelow = -0.001;

// The value formatted with the pattern for `decimals`, or nothing when
// there is no such pattern or the text is not a number.
template <std::size_t N>
std::optional<QString> formatted(QStringView WWW, qint16 decimals,
                                 const std::array<const char16_t *, N> &patterns)
{
    if (decimals < 0 || std::size_t(decimals) >= N || !patterns[std::size_t(decimals)])
        return std::nullopt;
    const std::optional<double> value = rt::toNumber(WWW);
    if (!value)
        return std::nullopt;
    return rt::pattern(*value, QStringView(patterns[std::size_t(decimals)]));
}

// Drops the sign and pads with zeros to seven characters; on display 2 the
// point is one of the seven.
QString padded(QString s)
{
    if (s.startsWith(u'-'))
        s.remove(0, 1);
    const qsizetype fill = kDigits1 - rt::trimSpaces(s).size();
    if (fill > 0)
        s.prepend(QString(fill, u'0'));
    return s;
}

// The digits before the point followed by the last `decimals` characters.
// The whole integer part is kept, so a value too large for the display
// keeps its size and shows as overload.
QString withoutPoint(const QString &s, qint16 decimals)
{
    const qsizetype point = s.indexOf(u'.');
    return s.left(point) + rt::right(s, decimals).value_or(QString());
}

// While the math set-up is open the editor takes the digits as drawn.
void handToEditor(Panel &p, const QString &digits, bool negative)
{
    if (p.state.MATH_SET)
        p.state.EDIT_DIGITS = negative ? u'-' + digits : digits;
}

QString charAt(const QString &s, int i)
{
    return rt::mid(s, i + 1, 1).value_or(QString());
}

} // namespace

void DIS1_READ_SHOW(Panel &p, QStringView WWW, qint16 /*XXX*/, qint16 YYY, bool ZZZ)
{
    DisplayModel &d = p.display;
    DisplayModel::Batch batch(d);
    for (int i = 0; i < 6; ++i)
        d.setLit(Points::DROP_IMG, i, false);

    QString s;
    if (const std::optional<QString> text = formatted(WWW, YYY, kPatterns1)) {
        s = *text;
        if (YYY >= 1)
            d.setLit(Points::DROP_IMG, 6 - YYY, true);
    }
    s = padded(s);
    if (s.contains(u'.'))
        s = withoutPoint(s, YYY);
    handToEditor(p, s, ZZZ);

    const double count = rt::leadingNumber(s);
    if (std::abs(count) >= kOverload1) {
        SHOW_OL(d);
        p.state.DIS1_OL = true;
        const double w = rt::leadingNumber(WWW);
        const bool open = p.state.MODE1 == u"CONTINU" || p.state.MODE1 == u"DIODE";
        if (open && (w <= kOpenBelow || w >= kOpenAbove))
            SHOW_OPEN(d);
    } else {
        for (int i = 0; i < kDigits1; ++i) {
            QString c = charAt(s, i);
            if (c == u"#") {
                d.setLit(Positions::DIS1_IMG, i, false);
                continue;
            }
            if (ZZZ && i == 0 && c == u"1")
                c = QStringLiteral("-1");
            d.draw(Positions::DIS1_IMG, i, c);
        }
        p.state.DIS1_OL = false;
    }
    if (ZZZ && std::abs(count) < kLeadingOne1)
        d.setGlyph(Positions::DIS1_IMG, 0, u"SUB");
}

void DIS2_READ_SHOW(Panel &p, QStringView WWW, qint16 XXX, qint16 YYY, bool ZZZ,
                    double overloadCount)
{
    DisplayModel &d = p.display;
    DisplayModel::Batch batch(d);
    for (int i = 0; i < kDisplay2Points; ++i)
        d.setLit(Points::DROP_IMG2, i, false);

    QString s;
    if (const std::optional<QString> text = formatted(WWW, YYY, kPatterns2)) {
        s = *text;
        d.setLit(Points::DROP_IMG2, 5 - YYY, true);
    }
    s = padded(s);
    s = s.contains(u'.') ? withoutPoint(s, YYY)
                         : rt::left(s, qMax<qint16>(XXX, 0)).value_or(QString())
                               + rt::right(s, qMax<qint16>(YYY, 0)).value_or(QString());
    handToEditor(p, s, ZZZ);

    const double count = rt::leadingNumber(s);
    if (count >= overloadCount) {
        SHOW_OL2(d);
    } else {
        for (int i = 0; i < kDigits2; ++i) {
            const QString c = charAt(s, i);
            if (c == u"#")
                d.setLit(Positions::DIS2_IMG, i, false);
            else
                d.draw(Positions::DIS2_IMG, i, c);
        }
    }
    if (ZZZ) {
        const bool minusOne = s.startsWith(u'1') && count < kMinusOneLimit2;
        d.draw(Positions::DIS2_IMG, 0, minusOne ? u"SUB1" : u"SUB");
    }
}

} // namespace display
