// RANDOM_READ_SHOW (declared in reply_parser.h): one demonstration reading,
// made up without the instrument to fit display 1's range. It is drawn digit
// by digit on display 1 and left in DISPLAY1 as the number followed directly
// by the range label's unit ("126.345mV", "-3.45V"); DISPLAY2 is emptied
// and the START lamp blinks once per reading.
//
// The draws come from the platform's random source, reseeded each time from
// the time of day, so a test that fixes both knows the reading.

#include "reading/reply_parser.h"

#include "display/glyph_words.h"
#include "core/panel.h"
#include "platform/random_source.h"
#include "platform/runtime.h"
#include "platform/time_of_day.h"

#include <cmath>

namespace reading {

namespace {

using display::Positions;

// The decimals M and the point shown, by the range's leading number R.
struct DecimalsRow
{
    double range;  // R
    double span;   // M = Int(r x span)
    int point;     // DROP_IMG shown
};
constexpr DecimalsRow kDecimalsRows[] = {
    {1,    99999, 1},
    {10,   9999,  2},
    {100,  999,   3},
    {1000, 99,    4},
};

const DecimalsRow *findDecimalsRow(double range)
{
    for (const DecimalsRow &row : kDecimalsRows)
        if (row.range == range)
            return &row;
    return nullptr;  // M is R itself, and no point is shown
}

// The label after its leading number ("mV" of "100mV", "K" of "10K"); ""
// when the label has no leading number ("AUTO", temperature's "").
QString unitOf(const QString &label, double range)
{
    const QString number = rt::numberText(range);
    return label.startsWith(number) ? label.mid(number.size()) : QString();
}

// Display 1 shows D across its seven positions; a six-character D starts
// at position 1, with position 0 as its sign. D is padded to six when it
// has three to five characters.
QString digitsToDraw(QString d)
{
    if (d.size() >= 3 && d.size() <= 5)
        d.prepend(QString(6 - d.size(), u'0'));
    return d;
}

} // namespace

void RANDOM_READ_SHOW(Panel &p)
{
    shell::PanelState &s = p.state;
    display::DisplayModel &d = p.display;
    display::DisplayModel::Batch batch(d);
    rt::RandomSource &random = rt::randomSource();
    random.reseed(float(rt::secondsSinceMidnight()));

    for (int i = 0; i < 6; ++i)
        d.setLit(display::Points::DROP_IMG, i, false);
    const bool negative = std::floor(2 * random.next()) + 1 == 2;
    const double range = rt::leadingNumber(s.MODE1_RANGE);
    const double whole = 2 * std::floor(random.next() * range);
    const DecimalsRow *row = findDecimalsRow(range);
    const double decimals = row ? std::floor(random.next() * row->span) : range;
    if (row)
        d.setLit(display::Points::DROP_IMG, row->point, true);

    const QString f = rt::numberText(whole);
    const QString m = rt::numberText(decimals);
    // The sign goes into the text as it goes onto the display, so the graph
    // and the record read what the panel shows.
    s.DISPLAY1 = (negative ? QStringLiteral("-") : QString()) + f + u'.' + m
                 + unitOf(s.MODE1_RANGE, range);
    s.DISPLAY2.clear();

    QString digits = digitsToDraw(f + m);
    for (int i = 0; i < display::kDisplay1Positions; ++i) {
        const QString glyph = digits.left(1);
        d.draw(Positions::DIS1_IMG, i, display::isGlyphName(glyph) ? glyph : QString());
        if (i < display::kDisplay1Positions - 1)
            digits = rt::right(digits, display::kDisplay1Positions - 1 - i).value_or(QString());
    }
    // Position 0 is the sign. A seven-digit reading keeps its leading 1
    // there, drawn as minus-one when negative.
    const bool leadingOne = d.glyph(Positions::DIS1_IMG, 0) == u"1" && (f + m).size() >= 7;
    if (negative)
        d.draw(Positions::DIS1_IMG, 0, leadingOne ? u"-1" : u"SUB");
    else if (!leadingOne)
        d.setLit(Positions::DIS1_IMG, 0, false);

    d.setLit(display::Lamp::START_LAB, !d.isLit(display::Lamp::START_LAB));
}

} // namespace reading
