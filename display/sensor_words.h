#pragma once
// The words of the temperature sensor menu, one glyph name per position,
// leftmost first: seven for display 1, six for display 2. "" leaves its
// position dark, " " lights a blank, "SUB" is the dash of T-CUP and "I2"
// the I of SIM.

#include "display/glyph_words.h"

#include <QStringView>
#include <array>
#include <string_view>

namespace display {

// Display 1.
inline constexpr Word1 kTCupWord1   = {u"", u"T", u"SUB", u"C", u"U", u"P", u""};
inline constexpr Word1 kSensorWord1 = {u"", u"S", u"E", u"N", u"S", u"O", u"R"};
inline constexpr Word1 kSimWord1    = {u"", u"", u"S", u"I2", u"M", u"", u""};
inline constexpr Word1 kTypeWord1   = {u"", u"", u"T", u"Y", u"P", u"E", u""};
inline constexpr Word1 kUserWord1   = {u"", u"", u"U", u"S", u"E", u"R", u""};

// Display 2.
inline constexpr Word kLevel1Word2 = {u"L", u"E", u"V", u"E", u"L", u"1"};
inline constexpr Word kLevel2Word2 = {u"L", u"E", u"V", u"E", u"L", u"2"};
inline constexpr Word kSensorWord2 = {u"S", u"E", u"N", u"S", u"O", u"R"};
inline constexpr Word kSimWord2    = {u"", u"S", u"I2", u"M", u"", u""};
inline constexpr Word kTypeWord2   = {u"", u"T", u"Y", u"P", u"E", u""};
inline constexpr Word kAlphaWord2  = {u" ", u"A", u"L", u"P", u"H", u"A"};
inline constexpr Word kBetaWord2   = {u" ", u"B", u"E", u"T", u"A", u" "};
inline constexpr Word kDeltaWord2  = {u" ", u"D", u"E", u"L", u"T", u"A"};

// "TYPE" with the thermocouple letter in position 6 (dark when the letter
// is ""). Position 5 stays dark but holds the blank glyph, so blinking
// positions 1 to 6 flashes a blank there, not what it held before.
void spellThermocouple(DisplayModel &model, QStringView letter);

} // namespace display
