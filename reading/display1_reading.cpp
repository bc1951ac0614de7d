#include "reading/display1_reading.h"

#include "display/glyph_words.h"
#include "display/number_drawing.h"
#include "display/range_words.h"
#include "core/panel.h"
#include "display/value_scaling.h"
#include "reading/reading_rows.h"
#include "reading/reply_text.h"

#include <array>
#include <optional>

namespace reading {

namespace {

using display::Lamp;
using display::Prefix;
using display::rangeWord;
using display::Word;  // display 2's range word

// One row of a function's table. An automatic row is chosen by |x| < bound
// and lights its prefix lamp; every row scales x by mul / div, formats it
// with its pattern, draws it and appends the unit word of its prefix.
struct Row
{
    double bound;
    double mul, div;
    Shown shown;
    Prefix prefix;
    Word word = {};                  // spelled on display 2 while it is free (automatic rows)
    std::u16string_view only = {};   // the row serves only this MODE1 (empty: any)
    bool acWord = false;             // with DC_LAB1 dark, display 2 spells kAcTopWord instead
    bool kiloText = false;           // drawn in ohms; the text goes to kilo from 1000 up
};

struct FixedRow
{
    std::u16string_view label;  // MODE1_RANGE
    double mul, div;
    Shown shown;
    Prefix prefix;
};

constexpr Word kAcTopWord = rangeWord(u"750V");

// Automatic current at 1 A spells its word with lit blanks around the 1.
constexpr Word kBlank1AWord = {u"", u" ", u" ", u"1", u" ", u"A"};

// Voltage ("ACV", "DCV"): the milli lamp is the only prefix.
constexpr Row kVoltageRows[] = {
    // bound      mul  div  shown                  prefix          word
    {0.12,       1e3, 1,   {u"000.0000", 3, 4}, Prefix::Milli, rangeWord(u"100mV")},
    {1.2,        1,   1,   {u"0.000000", 1, 6}, Prefix::None,  rangeWord(u"1V")},
    {12,         1,   1,   {u"00.00000", 2, 5}, Prefix::None,  rangeWord(u"10V")},
    {120,        1,   1,   {u"000.0000", 3, 4}, Prefix::None,  rangeWord(u"100V")},
    {kOtherwise, 1,   1,   {u"0000.000", 4, 3}, Prefix::None,  rangeWord(u"1000V"), {}, true},
};
constexpr FixedRow kVoltageFixed[] = {
    {u"100mV", 1e3, 1, {u"000.0000", 3, 4}, Prefix::Milli},
    {u"1V",    1,   1, {u"0.000000", 1, 6}, Prefix::None},
    {u"10V",   1,   1, {u"00.00000", 2, 5}, Prefix::None},
    {u"100V",  1,   1, {u"000.0000", 3, 4}, Prefix::None},
    {u"750V",  1,   1, {u"0000.000", 4, 3}, Prefix::None},
    {u"1000V", 1,   1, {u"0000.000", 4, 3}, Prefix::None},
};

// Current ("ACI", "DCI"): alternating current has no microampere row.
constexpr Row kCurrentRows[] = {
    {0.00012,    1e6, 1, {u"000.0000", 3, 4}, Prefix::Micro, rangeWord(u"100uA"), u"DCI"},
    {0.0012,     1e3, 1, {u"0.000000", 1, 6}, Prefix::Milli, rangeWord(u"1mA")},
    {0.012,      1e3, 1, {u"00.00000", 2, 5}, Prefix::Milli, rangeWord(u"10mA")},
    {0.12,       1e3, 1, {u"000.0000", 3, 4}, Prefix::Milli, rangeWord(u"100mA")},
    {1.2,        1,   1, {u"0.000000", 1, 6}, Prefix::None,  kBlank1AWord},
    {kOtherwise, 1,   1, {u"00.00000", 2, 5}, Prefix::None,  rangeWord(u"10A")},
};
constexpr FixedRow kCurrentFixed[] = {
    {u"100uA", 1e6, 1, {u"000.0000", 3, 4}, Prefix::Micro},
    {u"1mA",   1e3, 1, {u"0.000000", 1, 6}, Prefix::Milli},
    {u"10mA",  1e3, 1, {u"00.00000", 2, 5}, Prefix::Milli},
    {u"100mA", 1e3, 1, {u"000.0000", 3, 4}, Prefix::Milli},
    {u"1A",    1,   1, {u"0.000000", 1, 6}, Prefix::None},
    {u"10A",   1,   1, {u"00.00000", 2, 5}, Prefix::None},
};

// Resistance ("2W", "4W"): the 1 kOhm decade is drawn in ohms.
constexpr Row kResistanceRows[] = {
    {120,        1, 1,   {u"000.0000", 3, 4}, Prefix::None, rangeWord(u"100")},
    {1200,       1, 1,   {u"0000.000", 4, 3}, Prefix::None, rangeWord(u"1K"), {}, false, true},
    {12000,      1, 1e3, {u"00.00000", 2, 5}, Prefix::Kilo, rangeWord(u"10K")},
    {120000,     1, 1e3, {u"000.0000", 3, 4}, Prefix::Kilo, rangeWord(u"100K")},
    {1200000,    1, 1e6, {u"0.000000", 1, 6}, Prefix::Mega, rangeWord(u"1M")},
    {12000000,   1, 1e6, {u"00.00000", 2, 5}, Prefix::Mega, rangeWord(u"10M")},
    {kOtherwise, 1, 1e6, {u"000.0000", 3, 4}, Prefix::Mega, rangeWord(u"100M")},
};
constexpr FixedRow kResistanceFixed[] = {
    {u"100",  1, 1,   {u"000.0000", 3, 4}, Prefix::None},
    {u"1K",   1, 1e3, {u"0.000000", 1, 6}, Prefix::Kilo},
    {u"10K",  1, 1e3, {u"00.00000", 2, 5}, Prefix::Kilo},
    {u"100K", 1, 1e3, {u"000.0000", 3, 4}, Prefix::Kilo},
    {u"1M",   1, 1e6, {u"0.000000", 1, 6}, Prefix::Mega},
    {u"10M",  1, 1e6, {u"00.00000", 2, 5}, Prefix::Mega},
    {u"100M", 1, 1e6, {u"000.0000", 3, 4}, Prefix::Mega},
};

// Frequency and period ("Hz", "P"): text only; the value scaling draws.
constexpr Row kFrequencyRows[] = {
    {kZeroRow,   1,   1,   {u"0000.000", 4, 3}, Prefix::None},
    {0.00012,    1e6, 1,   {u"000.0000", 3, 4}, Prefix::Micro},
    {0.0012,     1e3, 1,   {u"0.000000", 1, 6}, Prefix::Milli},
    {0.012,      1e3, 1,   {u"00.00000", 2, 5}, Prefix::Milli},
    {0.12,       1e3, 1,   {u"000.0000", 3, 4}, Prefix::Milli},
    {1.2,        1,   1,   {u"0.000000", 1, 6}, Prefix::None},
    {12,         1,   1,   {u"00.00000", 2, 5}, Prefix::None},
    {120,        1,   1,   {u"000.0000", 3, 4}, Prefix::None},
    {1200,       1,   1,   {u"0000.000", 4, 3}, Prefix::None},
    {12000,      1,   1e3, {u"00.00000", 2, 5}, Prefix::Kilo},
    {120000,     1,   1e3, {u"000.0000", 3, 4}, Prefix::Kilo},
    {1200000,    1,   1e6, {u"0.000000", 1, 6}, Prefix::Mega},
    {12000000,   1,   1e6, {u"00.00000", 2, 5}, Prefix::Mega},
    {kOtherwise, 1,   1e6, {u"000.0000", 3, 4}, Prefix::Mega},
};

// Diode, continuity and temperature: one row each, no range, no lamp.
constexpr Shown kDiodeShown = {u"0.000000", 1, 6};
constexpr Shown kContinuityShown = {u"0000.000", 4, 3};
constexpr Shown kTemperatureShown = {u"0000.000", 4, 3};
// A temperature sensor that is not connected reads 4000 degrees.
constexpr char16_t kNoSensor[] = u"4000.000";

enum class Kind { Ranged, Frequency, Diode, Continuity, Temperature };

// An automatic row darkens every prefix lamp of display 1, then lights its
// own: a math result drawn before may have lit any of them.
constexpr Lamp kPrefixLamps[] = {Lamp::T_u_LAB1, Lamp::T_min_LAB1, Lamp::T_K_LAB1, Lamp::T_M_LAB1};

struct Ranged
{
    std::span<const Row> autoRows;
    std::span<const FixedRow> fixedRows;
    bool emptiedFirst;  // DISPLAY1 is emptied before the row runs
};
constexpr Ranged kVoltage = {kVoltageRows, kVoltageFixed, false};
constexpr Ranged kCurrent = {kCurrentRows, kCurrentFixed, false};
constexpr Ranged kResistance = {kResistanceRows, kResistanceFixed, true};

struct Function
{
    std::u16string_view code;  // MODE1
    Kind kind;
    const Ranged *ranged;
    std::u16string_view unit;
};
constexpr Function kFunctions[] = {
    {u"ACV",     Kind::Ranged,      &kVoltage,    u"V"},
    {u"DCV",     Kind::Ranged,      &kVoltage,    u"V"},
    {u"ACI",     Kind::Ranged,      &kCurrent,    u"A"},
    {u"DCI",     Kind::Ranged,      &kCurrent,    u"A"},
    {u"2W",      Kind::Ranged,      &kResistance, u"Ohm"},
    {u"4W",      Kind::Ranged,      &kResistance, u"Ohm"},
    {u"Hz",      Kind::Frequency,   nullptr,      u"Hz"},
    {u"P",       Kind::Frequency,   nullptr,      u"s"},
    {u"DIODE",   Kind::Diode,       nullptr,      u"V"},
    {u"CONTINU", Kind::Continuity,  nullptr,      u"Ohm"},
    {u"C",       Kind::Temperature, nullptr,      u"C"},
    {u"F",       Kind::Temperature, nullptr,      u"F"},
};

const Function *findFunction(const QString &code)
{
    for (const Function &f : kFunctions)
        if (code == QStringView(f.code))
            return &f;
    return nullptr;
}

bool display2Free(const shell::PanelState &s)
{
    return !s.MODE2_ON && !s.HOLD_ON && !s.REL_ON;
}

// Display 2 already spells the word, with no point lit: a run's readings in
// one range redraw nothing.
bool alreadySpelled(const display::DisplayModel &d, const Word &w)
{
    using display::Positions;
    for (int i = 0; i < display::kDisplay2Positions; ++i) {
        const bool lit = d.isLit(Positions::DIS2_IMG, i);
        const std::u16string_view name = w[std::size_t(i)];
        if (name.empty() ? lit : !lit || d.glyph(Positions::DIS2_IMG, i) != QStringView(name))
            return false;
    }
    return !d.firstLitPoint(display::Points::DROP_IMG2, display::kDisplay2Points - 1);
}

void spellRangeWord(display::DisplayModel &d, const Word &w)
{
    if (alreadySpelled(d, w))
        return;
    display::ClearDIS2(d);
    display::DIS2_SHOW_RANGE(d, w[0], w[1], w[2], w[3], w[4], w[5]);
}

// Text, drawing and unit word of one row, automatic or fixed.
void showRow(Panel &p, double x, double mul, double div, const Shown &shown, Prefix prefix,
             QStringView unit, bool kiloText)
{
    QString &text = p.state.DISPLAY1;
    text = scaled(x, mul, div, shown);
    display::DIS1_READ_SHOW(p, text, shown.integers, shown.decimals, x < 0);
    p.state.reading1Shown = true;
    if (kiloText && x >= 1000)
        text = withUnitWord(scaled(x, 1, 1000, shown), Prefix::Kilo, unit);
    else
        appendUnitWord(text, prefix, unit);
}

void showRanged(Panel &p, const Function &f, double x, QStringView reply)
{
    shell::PanelState &s = p.state;
    const Ranged &r = *f.ranged;
    if (r.emptiedFirst)
        s.DISPLAY1.clear();
    if (s.MODE1_RANGE == u"AUTO") {
        const double a = std::fabs(x);
        const Row *row = nullptr;
        for (const Row &candidate : r.autoRows)
            if (a < candidate.bound && (candidate.only.empty() || s.MODE1 == QStringView(candidate.only))) {
                row = &candidate;
                break;
            }
        if (!row)
            row = &r.autoRows.back();  // a NaN never comes: the field converted
        for (Lamp lamp : kPrefixLamps)
            p.display.setLit(lamp, false);
        display::lightPrefix(p.display, row->prefix, 1);
        if (display2Free(s))
            spellRangeWord(p.display, row->acWord && !p.display.isLit(Lamp::DC_LAB1) ? kAcTopWord : row->word);
        showRow(p, x, row->mul, row->div, row->shown, row->prefix, f.unit, row->kiloText);
        return;
    }
    for (const FixedRow &row : r.fixedRows)
        if (s.MODE1_RANGE == QStringView(row.label))
            return showRow(p, x, row.mul, row.div, row.shown, row.prefix, f.unit, false);
    // A range label without a row: nothing drawn. Resistance stays empty;
    // voltage and current keep the reply's text.
    if (!r.emptiedFirst)
        s.DISPLAY1 = replyAsReading(reply);
}

void showFrequency(Panel &p, const Function &f, double x, QStringView field)
{
    const Row &row = rowByMagnitude(std::span<const Row>(kFrequencyRows), std::fabs(x));
    p.state.DISPLAY1 = withUnitWord(scaled(x, row.mul, row.div, row.shown), row.prefix, f.unit);
    QString copy = field.toString();
    (void)display::CHK_READ_RANGE(p, copy);  // the field converted, so it draws
}

// Diode and continuity read "OPEN" beyond the display.
void showTestRow(Panel &p, double x, const Shown &shown, QStringView unit)
{
    QString &text = p.state.DISPLAY1;
    text = scaled(x, 1, 1, shown);
    display::DIS1_READ_SHOW(p, text, shown.integers, shown.decimals, x < 0);
    if (p.state.DIS1_OL)
        text = QStringLiteral("OPEN");
    else
        appendUnitWord(text, Prefix::None, unit);
}

void showTemperature(Panel &p, const Function &f, double x)
{
    QString &text = p.state.DISPLAY1;
    text = scaled(x, 1, 1, kTemperatureShown);
    display::DIS1_READ_SHOW(p, text, kTemperatureShown.integers, kTemperatureShown.decimals, x < 0);
    if (text == QStringView(kNoSensor))
        text = kDetect;
    else
        appendUnitWord(text, Prefix::None, f.unit);
}

} // namespace

void showDisplay1Reading(Panel &p, QStringView field, QStringView reply)
{
    const Function *f = findFunction(p.state.MODE1);
    if (!f) {
        p.state.DISPLAY1 = replyAsReading(reply);
        return;
    }
    const std::optional<double> x = rt::toNumber(field);
    if (!x) {
        p.state.DISPLAY1.clear();
        return;
    }
    switch (f->kind) {
    case Kind::Ranged:      return showRanged(p, *f, *x, reply);  // marks its reading as it draws it
    case Kind::Frequency:   showFrequency(p, *f, *x, field); break;
    case Kind::Diode:       showTestRow(p, *x, kDiodeShown, f->unit); break;
    case Kind::Continuity:  showTestRow(p, *x, kContinuityShown, f->unit); break;
    case Kind::Temperature: showTemperature(p, *f, *x); break;
    }
    p.state.reading1Shown = true;
}

} // namespace reading
