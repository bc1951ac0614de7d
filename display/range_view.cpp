#include "display/range_view.h"

#include "display/glyph_words.h"
#include "core/panel.h"
#include "display/range_words.h"
#include "display/unit_lamps.h"
#include "keys/function_keys.h"
#include "platform/runtime.h"

#include <array>
#include <optional>
#include <span>

namespace display {

namespace {

using enum Lamp;

enum class Family { Volt, Current, Ohm, Frequency };

// Functions with ranges: family, unit lamp and AC/DC or 2W/4W lamp of each
// display.
struct FunctionRow
{
    const char16_t *code;
    Family family;
    Lamp unit1, mode1, unit2, mode2;
};

constexpr FunctionRow kRangedFunctions[] = {
    {u"ACV", Family::Volt,    T_V_LAB1, AC_LAB1, T_V_LAB2, AC_LAB2},
    {u"DCV", Family::Volt,    T_V_LAB1, DC_LAB1, T_V_LAB2, DC_LAB2},
    {u"ACI", Family::Current, T_A_LAB1, AC_LAB1, T_A_LAB2, AC_LAB2},
    {u"DCI", Family::Current, T_A_LAB1, DC_LAB1, T_A_LAB2, DC_LAB2},
    {u"2W",  Family::Ohm,     T_R_LAB1, W2_LAB1, T_R_LAB2, W2_LAB2},
    {u"4W",  Family::Ohm,     T_R_LAB1, W4_LAB1, T_R_LAB2, W4_LAB2},
};

// Display 1: the point and prefix of each range, and the range word display
// 2 spells in the single view. "AUTO" shows like the lowest range. Frequency
// and period take the input voltage range and spell their function instead.
struct Range1Row
{
    Family family;
    const char16_t *label;
    int point;  // DROP_IMG
    Prefix prefix;
    Word word;
};

constexpr Word kNoWord = {};

constexpr Range1Row kDisplay1RangeView[] = {
    {Family::Volt,      u"AUTO",  2, Prefix::Milli, rangeWord(u"100mV")},
    {Family::Volt,      u"100mV", 2, Prefix::Milli, rangeWord(u"100mV")},
    {Family::Volt,      u"1V",    0, Prefix::None,  rangeWord(u"1V")},
    {Family::Volt,      u"10V",   1, Prefix::None,  rangeWord(u"10V")},
    {Family::Volt,      u"100V",  2, Prefix::None,  rangeWord(u"100V")},
    {Family::Volt,      u"750V",  3, Prefix::None,  rangeWord(u"750V")},
    {Family::Volt,      u"1000V", 3, Prefix::None,  rangeWord(u"1000V")},
    {Family::Current,   u"AUTO",  2, Prefix::Micro, rangeWord(u"100uA")},
    {Family::Current,   u"100uA", 2, Prefix::Micro, rangeWord(u"100uA")},
    {Family::Current,   u"1mA",   0, Prefix::Milli, rangeWord(u"1mA")},
    {Family::Current,   u"10mA",  1, Prefix::Milli, rangeWord(u"10mA")},
    {Family::Current,   u"100mA", 2, Prefix::Milli, rangeWord(u"100mA")},
    {Family::Current,   u"1A",    0, Prefix::None,  rangeWord(u"1A")},
    {Family::Current,   u"10A",   1, Prefix::None,  rangeWord(u"10A")},
    {Family::Ohm,       u"AUTO",  2, Prefix::None,  rangeWord(u"100")},
    {Family::Ohm,       u"100",   2, Prefix::None,  rangeWord(u"100")},
    {Family::Ohm,       u"1K",    0, Prefix::Kilo,  rangeWord(u"1K")},
    {Family::Ohm,       u"10K",   1, Prefix::Kilo,  rangeWord(u"10K")},
    {Family::Ohm,       u"100K",  2, Prefix::Kilo,  rangeWord(u"100K")},
    {Family::Ohm,       u"1M",    0, Prefix::Mega,  rangeWord(u"1M")},
    {Family::Ohm,       u"10M",   1, Prefix::Mega,  rangeWord(u"10M")},
    {Family::Ohm,       u"100M",  2, Prefix::Mega,  rangeWord(u"100M")},
    {Family::Frequency, u"AUTO",  2, Prefix::None,  kNoWord},
    {Family::Frequency, u"100mV", 2, Prefix::Kilo,  kNoWord},
    {Family::Frequency, u"1V",    0, Prefix::None,  kNoWord},
    {Family::Frequency, u"10V",   1, Prefix::None,  kNoWord},
    {Family::Frequency, u"100V",  2, Prefix::None,  kNoWord},
    {Family::Frequency, u"750V",  3, Prefix::None,  kNoWord},
};

// Display 2 with a measurement of its own. Its points differ from display
// 1's: auto current sits at point 1 in milli, and 1 kilohm shows in ohms.
struct Range2Row
{
    Family family;
    const char16_t *label;
    int point;  // DROP_IMG2
    Prefix prefix;
};

constexpr Range2Row kDisplay2RangeView[] = {
    {Family::Volt,    u"AUTO",  2, Prefix::Milli},
    {Family::Volt,    u"100mV", 2, Prefix::Milli},
    {Family::Volt,    u"1V",    0, Prefix::None},
    {Family::Volt,    u"10V",   1, Prefix::None},
    {Family::Volt,    u"100V",  2, Prefix::None},
    {Family::Volt,    u"750V",  3, Prefix::None},
    {Family::Volt,    u"1000V", 3, Prefix::None},
    {Family::Current, u"AUTO",  1, Prefix::Milli},
    {Family::Current, u"100uA", 2, Prefix::Micro},
    {Family::Current, u"1mA",   0, Prefix::Milli},
    {Family::Current, u"10mA",  1, Prefix::Milli},
    {Family::Current, u"100mA", 2, Prefix::Milli},
    {Family::Current, u"1A",    0, Prefix::None},
    {Family::Current, u"10A",   1, Prefix::None},
    {Family::Ohm,     u"AUTO",  2, Prefix::None},
    {Family::Ohm,     u"100",   2, Prefix::None},
    {Family::Ohm,     u"1K",    3, Prefix::None},
    {Family::Ohm,     u"10K",   1, Prefix::Kilo},
    {Family::Ohm,     u"100K",  2, Prefix::Kilo},
    {Family::Ohm,     u"1M",    0, Prefix::Mega},
    {Family::Ohm,     u"10M",   1, Prefix::Mega},
    {Family::Ohm,     u"100M",  2, Prefix::Mega},
};

// Functions without ranges in the single view: unit lamp and word.
struct WordRow
{
    const char16_t *code;
    Lamp unit;
    bool autoDark;  // the AUTO lamp goes out (the closing step may relight it)
    Word word;
};

constexpr WordRow kWordFunctions[] = {
    {u"Hz",      T_Hz_LAB1, false, {u"",  u"F", u"R", u"E", u"Q", u""}},
    {u"P",       T_S_LAB1,  false, {u"P", u"E", u"R", u"1", u"O", u"D"}},
    {u"DIODE",   T_V_LAB1,  true,  {u"",  u"D", u"I", u"O", u"D", u"E"}},
    {u"CONTINU", T_R_LAB1,  true,  {u"",  u"C", u"O", u"N", u"T", u""}},
};

template <typename Row>
const Row *findRow(std::span<const Row> rows, const QString &code)
{
    for (const Row &row : rows)
        if (code == QStringView(row.code))
            return &row;
    return nullptr;
}

template <typename Row>
const Row *findRange(std::span<const Row> rows, Family family, const QString &label)
{
    for (const Row &row : rows)
        if (row.family == family && label == QStringView(row.label))
            return &row;
    return nullptr;  // a label outside the table lights nothing
}

bool isAuto(QStringView label)
{
    return label == QStringView(shell::kAutoRange);
}

void zeros(DisplayModel &d, Positions row)
{
    for (int i = 0; i < DisplayModel::count(row); ++i)
        d.draw(row, i, u"0");
}

void closingStep(Panel &p)
{
    if (isAuto(p.state.MODE1_RANGE))
        p.display.setLit(AUTO_LAB1, true);
    if (isAuto(p.state.MODE2_RANGE))
        p.display.setLit(AUTO_LAB2, true);
}

// The tail of the voltage, current and resistance paths: the caller's
// one-shot flag skips the closing step once.
void closeUnlessFlagged(Panel &p)
{
    if (p.state.AUTO_RANGE_FLAG) {
        p.state.AUTO_RANGE_FLAG = false;
        return;
    }
    closingStep(p);
}

// Point, prefix and (when asked) the range word of display 1's range: its
// point and prefix lamp alone lit, so no earlier drawing's stays beside
// them. A label that names no range shows neither.
void showRange1(Panel &p, Family family, bool spellWord)
{
    DisplayModel &d = p.display;
    const Range1Row *row = findRange<Range1Row>(kDisplay1RangeView, family, p.state.MODE1_RANGE);
    if (!row) {
        for (int k = 0; k < kDisplay1Points - 1; ++k)
            d.setLit(Points::DROP_IMG, k, false);
        showPrefixAlone(d, Prefix::None, 1);
        return;
    }
    d.setLit(Points::DROP_IMG, row->point, true);
    showPrefixAlone(d, row->prefix, 1);
    if (isAuto(row->label))
        d.setLit(AUTO_LAB1, true);
    if (spellWord && hasGlyphs(row->word))
        spell(d, row->word);
}

void dbmView(Panel &p)
{
    DisplayModel &d = p.display;
    ClearSHOW2(d);
    for (int k = 2; k <= 5; ++k)
        d.draw(Positions::DIS2_IMG, k, rt::mid(p.state.dBm_REF, k - 1, 1).value_or(QString()));
    for (Lamp lamp : {T_R_LAB2, T_V_LAB1, T_dBm_LAB1, T_dB_LAB})
        d.setLit(lamp, true);
    if (isAuto(p.state.MODE1_RANGE))
        d.setLit(AUTO_LAB1, true);
    d.setLit(p.state.MODE1 == u"ACV" ? AC_LAB1 : DC_LAB1, true);
}

void singleView(Panel &p)
{
    DisplayModel &d = p.display;
    shell::PanelState &s = p.state;
    ClearSHOW_ALL(d);
    zeros(d, Positions::DIS1_IMG);
    s.reading1Shown = false;

    if (const FunctionRow *f = findRow<FunctionRow>(kRangedFunctions, s.MODE1)) {
        showRange1(p, f->family, true);
        d.setLit(f->unit1, true);
        d.setLit(f->mode1, true);
        // Resistance asks the flag first; voltage and current stop at an
        // open math set-up first and leave the flag for the next call.
        if (f->family == Family::Ohm) {
            if (s.AUTO_RANGE_FLAG) {
                s.AUTO_RANGE_FLAG = false;
                return;
            }
            if (!s.MATH_SET)
                closingStep(p);
            return;
        }
        if (!s.MATH_SET)
            closeUnlessFlagged(p);
        return;
    }
    if (const WordRow *w = findRow<WordRow>(kWordFunctions, s.MODE1)) {
        d.setLit(w->unit, true);
        if (w->autoDark)
            d.setLit(AUTO_LAB1, false);
        spell(d, w->word);
        if (s.MODE1 == u"Hz" || s.MODE1 == u"P")
            showRange1(p, Family::Frequency, false);
    } else if (s.MODE1 == u"C" || s.MODE1 == u"F") {
        d.setLit(s.MODE1 == u"C" ? T_F_LAB1 : T_C_LAB1, true);
        keys::CF_IMG_ENTER(p);
    }
    closingStep(p);
}

void display1RangeView(Panel &p)
{
    DisplayModel &d = p.display;
    zeros(d, Positions::DIS1_IMG);
    p.state.reading1Shown = false;
    const FunctionRow *f = findRow<FunctionRow>(kRangedFunctions, p.state.MODE1);
    if (!f)
        return closingStep(p);
    showRange1(p, f->family, false);
    d.setLit(f->unit1, true);
    d.setLit(f->mode1, true);
    closeUnlessFlagged(p);
}

void display2RangeView(Panel &p)
{
    DisplayModel &d = p.display;
    zeros(d, Positions::DIS2_IMG);
    const FunctionRow *f = findRow<FunctionRow>(kRangedFunctions, p.state.MODE2);
    if (!f)
        return closingStep(p);
    if (const Range2Row *row = findRange<Range2Row>(kDisplay2RangeView, f->family, p.state.MODE2_RANGE)) {
        d.setLit(Points::DROP_IMG2, row->point, true);
        showPrefixAlone(d, row->prefix, 2);
        if (isAuto(row->label))
            d.setLit(AUTO_LAB2, true);
    }
    d.setLit(f->unit2, true);
    d.setLit(f->mode2, true);
    closeUnlessFlagged(p);
}

} // namespace

FixedRange showFixedRange1(Panel &p)
{
    const FunctionRow *f = findRow<FunctionRow>(kRangedFunctions, p.state.MODE1);
    if (!f)
        return FixedRange::NotRanged;
    if (isAuto(p.state.MODE1_RANGE) || !findRange<Range1Row>(kDisplay1RangeView, f->family, p.state.MODE1_RANGE))
        return FixedRange::Unnamed;
    DisplayModel::Batch batch(p.display);
    showRange1(p, f->family, false);
    return FixedRange::Drawn;
}

void CHK_RANGE(Panel &p)
{
    DisplayModel::Batch batch(p.display);
    if (!p.state.MODE2_ON && p.state.dBm_ON)
        dbmView(p);
    else if (!p.state.MODE2_ON)
        singleView(p);
    else if (!p.display.isLit(ND2_LAB))
        display1RangeView(p);
    else
        display2RangeView(p);
}

} // namespace display
