#include "display/signed_digits.h"

#include "platform/runtime.h"

namespace display {

namespace {

// The glyph of one character: a digit, or a lit blank.
QString digitGlyph(QStringView c)
{
    if (c.size() == 1 && c.front() >= u'0' && c.front() <= u'9')
        return c.toString();
    return QStringLiteral(" ");
}

// Character `n` (from 1) of the text; past the end, its last character.
QString charOrLast(QStringView text, qsizetype n)
{
    if (n > text.size())
        return rt::right(text, 1).value_or(QString());
    return rt::mid(text, n, 1).value_or(QString());
}

struct SignGlyph
{
    char16_t millions;
    const char16_t *glyph;
};
constexpr SignGlyph kSignGlyphs[] = {
    {u'0', u"SUB"},
    {u'1', u"SUB1"},
};

QString signGlyph(QStringView text)
{
    const QString millions = charOrLast(text, 2);
    for (const SignGlyph &row : kSignGlyphs)
        if (millions == QStringView(&row.millions, 1))
            return QString::fromUtf16(row.glyph);
    return QStringLiteral(" ");
}

} // namespace

void drawEnteredDigits(DisplayModel &model, QStringView digits, bool signedForm)
{
    DisplayModel::Batch batch(model);
    const int count = DisplayModel::count(Positions::DIS1_IMG);
    for (int i = 0; i < count; ++i) {
        QString glyph;
        if (!signedForm)
            glyph = digitGlyph(rt::mid(digits, i + 1, 1).value_or(QString()));
        else if (i == 0)
            glyph = signGlyph(digits);
        else
            glyph = digitGlyph(charOrLast(digits, i + 2));
        model.draw(Positions::DIS1_IMG, i, glyph);
    }
}

} // namespace display
