#pragma once
// The basic drawing words of the two displays, on which every other drawing
// builds: spelling one glyph per position, the five ways of blanking, and
// the fixed forms "OPEN" and "OL". They draw on the model only and send
// nothing to the instrument.
//
// Callers usually blank first and then spell: a function key blanks both
// displays, lights its labels and spells its range word on display 2.

#include "core/display_model.h"

#include <QStringView>
#include <array>
#include <string_view>

namespace display {

// The glyph names the picture folder holds, one picture "DIS_<name>.BMP"
// each. "I2" is the second form of I (CONTINU, MIN), "M2" the milli sign,
// "U2" the micro sign, "SUB" and "-" two minus signs, "SUB1" and "-1" a
// minus joined to a 1, "MOD" the slash, "PSU"/"PSD" the rings of "%",
// "LEFT" the mark before the REL/MIN/MAX views, " " a lit blank and "STA"
// all segments.
inline constexpr std::u16string_view kGlyphNames[] = {
    u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9",
    u"A", u"B", u"C", u"D", u"E", u"F", u"G", u"H", u"I", u"J", u"K", u"L", u"M",
    u"N", u"O", u"P", u"Q", u"R", u"S", u"T", u"U", u"V", u"W", u"X", u"Y",
    u"I2", u"M2", u"U2", u"ohm", u"SUB", u"-", u"SUB1", u"-1",
    u"ADD", u"MOD", u"PSU", u"PSD", u"LEFT", u" ", u"STA",
};

// A name of kGlyphNames, in any letter case ("add" draws "ADD").
bool isGlyphName(QStringView name);

// Spell one glyph per position, leftmost first. The empty name darkens its
// position (which keeps its old glyph); " " lights a blank. Points and
// labels are left as they are, so a word over a number keeps its point
// unless the caller blanks first.
void DIS1_SHOW_RANGE(DisplayModel &model, QStringView DIS1_0, QStringView DIS1_1,
                     QStringView DIS1_2, QStringView DIS1_3, QStringView DIS1_4,
                     QStringView DIS1_5, QStringView DIS1_6);
void DIS2_SHOW_RANGE(DisplayModel &model, QStringView DIS2_0, QStringView DIS2_1,
                     QStringView DIS2_2, QStringView DIS2_3, QStringView DIS2_4,
                     QStringView DIS2_5);

// A word on display 2: one glyph name per position, left to right; ""
// darkens its position.
using Word = std::array<std::u16string_view, 6>;

// DIS2_SHOW_RANGE of a word.
void spell(DisplayModel &model, const Word &word);

// A word on display 1: seven glyph names, leftmost first.
using Word1 = std::array<std::u16string_view, kDisplay1Positions>;

// DIS1_SHOW_RANGE of a word.
void spell(DisplayModel &model, const Word1 &word);

// A word with a glyph in at least one position.
bool hasGlyphs(const Word &word);

// Blanking: each darkens its own set and leaves everything else. The sets
// differ on purpose; the filter dot DROP_IMG(6) is in none of them.
//   ClearSHOW_ALL  both displays with their symbols, mode and unit labels,
//                  and the shared labels but MIN, MAX, FILT, RMT and rate
//   ClearSHOW1     display 1 with symbols, mode and unit labels, and the
//                  shared labels but 2ND, EXT, FILT, RMT and rate
//   ClearSHOW2     display 2 with its mode and unit labels (not its dBm
//                  label) and START
//   ClearDIS1      display 1's positions and points only
//   ClearDIS2      display 2's positions and points only (mid dot included)
void ClearSHOW_ALL(DisplayModel &model);
void ClearSHOW1(DisplayModel &model);
void ClearSHOW2(DisplayModel &model);
void ClearDIS1(DisplayModel &model);
void ClearDIS2(DisplayModel &model);

// Fixed forms. None touches a point or a label, so the point of the number
// they replace stays lit.
//   SHOW_OPEN   display 1: "OPEN" in positions 2..5; 0, 1 and 6 untouched
//   SHOW_OPEN2  display 2: "OPEN" in positions 2..5; 0 and 1 untouched
//   SHOW_OL     display 1: "OL" in positions 3, 4; every other position dark
//   SHOW_OL2    display 2: "OL" in positions 2, 3; every other position dark
// The open form is drawn over SHOW_OL, which has darkened 0, 1 and 6.
void SHOW_OPEN(DisplayModel &model);
void SHOW_OPEN2(DisplayModel &model);
void SHOW_OL(DisplayModel &model);
void SHOW_OL2(DisplayModel &model);

} // namespace display
