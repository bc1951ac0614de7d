#pragma once
// The range words: what display 2 spells for each range, by its range label
// (MODE1_RANGE, MODE2_RANGE). The function keys, the range view, the arrow
// keys, the identification and display 1's readings all spell a range from
// this one table. The few places that spell a range their own way (shifted
// one position, with leading zeros or lit blanks) keep that word beside
// their own rows, named for what it is.

#include "display/glyph_words.h"

#include <QStringView>
#include <algorithm>
#include <string_view>

namespace display {

struct RangeWord
{
    std::u16string_view label;
    Word word;
};

inline constexpr RangeWord kRangeWords[] = {
    // label      glyphs, leftmost first
    {u"100mV",  {u"",  u"1", u"0", u"0", u"M2", u"V"}},
    {u"1V",     {u"",  u"",  u"",  u"1", u"",   u"V"}},
    {u"10V",    {u"",  u"",  u"1", u"0", u"",   u"V"}},
    {u"100V",   {u"",  u"1", u"0", u"0", u"",   u"V"}},
    {u"750V",   {u"",  u"7", u"5", u"0", u"",   u"V"}},
    {u"1000V",  {u"1", u"0", u"0", u"0", u"",   u"V"}},
    {u"100uA",  {u"",  u"1", u"0", u"0", u"U2", u"A"}},
    {u"1mA",    {u"",  u"",  u"",  u"1", u"M2", u"A"}},
    {u"10mA",   {u"",  u"",  u"1", u"0", u"M2", u"A"}},
    {u"100mA",  {u"",  u"1", u"0", u"0", u"M2", u"A"}},
    {u"1A",     {u"",  u"",  u"",  u"1", u"",   u"A"}},
    {u"10A",    {u"",  u"",  u"1", u"0", u"",   u"A"}},
    {u"100",    {u"",  u"1", u"0", u"0", u"",   u"ohm"}},
    {u"1K",     {u"",  u"",  u"",  u"1", u"K",  u"ohm"}},
    {u"10K",    {u"",  u"",  u"1", u"0", u"K",  u"ohm"}},
    {u"100K",   {u"",  u"1", u"0", u"0", u"K",  u"ohm"}},
    {u"1M",     {u"",  u"",  u"",  u"1", u"M",  u"ohm"}},
    {u"10M",    {u"",  u"",  u"1", u"0", u"M",  u"ohm"}},
    {u"100M",   {u"",  u"1", u"0", u"0", u"M",  u"ohm"}},
};

consteval bool rangeWordsDrawable()
{
    for (const RangeWord &row : kRangeWords)
        for (const std::u16string_view glyph : row.word)
            if (!glyph.empty() && std::ranges::find(kGlyphNames, glyph) == std::end(kGlyphNames))
                return false;
    return true;
}
static_assert(rangeWordsDrawable(), "a range word names a glyph the picture folder does not hold");

// The word of a range label, for a table built by the compiler: a label
// without a word stops the build there.
consteval Word rangeWord(std::u16string_view label)
{
    for (const RangeWord &row : kRangeWords)
        if (row.label == label)
            return row.word;
    throw "no range word has this label";
}

// The word of a range label; nothing for "AUTO" or a label without one.
inline const Word *findRangeWord(QStringView label)
{
    for (const RangeWord &row : kRangeWords)
        if (label == QStringView(row.label))
            return &row.word;
    return nullptr;
}

} // namespace display
