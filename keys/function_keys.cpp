#include "keys/function_keys.h"

#include "core/panel.h"
#include "display/glyph_words.h"
#include "display/range_words.h"
#include "keys/key_exchange.h"
#include "keys/sensor_items.h"
#include "platform/runtime.h"
#include "shell/speed_check.h"

#include <array>
#include <optional>
#include <span>

namespace keys {

namespace {

using display::Lamp;
using display::Points;
using display::Positions;
using display::rangeWord;
using display::Symbol;
using display::Word;
using enum display::Lamp;

// When a key asks the instrument for its reading rate.
enum class RateCheck { None, AfterCommands, AtEnd };

// How display 2 is blanked before display 1's word is spelled on it.
enum class Blank2 { Whole, DigitsOnly };

// The three functions that a move to AC or DC current, 4-wire or period
// ends first.
constexpr const char16_t *kOffRel = u"CALC:FUNC OFF,REL\\10";
constexpr const char16_t *kOffHold = u"CALC:FUNC OFF,HOLD\\10";
constexpr const char16_t *kOffMax = u"CALC:FUNC OFF,MAX\\10";

// AC current spells its range word with a lit blank before the 1.
constexpr Word kAc1mAWord = {u"", u"", u" ", u"1", u"M2", u"A"};

// Display 1: one row per function a key selects.
struct Display1Row
{
    const char16_t *mode;                          // MODE1
    std::array<const char16_t *, 4> commands;      // in order; nullptr: no more
    std::array<std::optional<Lamp>, 4> lamps;
    std::optional<Symbol> symbol;
    int point;                                     // DROP_IMG
    bool autoRange;                                // MODE1_RANGE := "AUTO"; else unchanged
    Word word;                                     // on display 2
    bool wordAlways;                               // spelled even while display 2 measures
    Blank2 blank2;
    RateCheck rateCheck;
    bool pressedAWhile;                            // the key picture stays down: ACDC_Timer
};

constexpr Display1Row kDisplay1Rows[] = {
    {u"ACV",     {u"calc:stat 0\\10", u"conf:volt:ac\\10"}, {AC_LAB1, AUTO_LAB1, T_V_LAB1, T_min_LAB1},
     std::nullopt, 2, true, rangeWord(u"100mV"), false, Blank2::Whole, RateCheck::None, true},
    {u"DCV",     {u"calc:stat 0\\10", u"conf:volt:dc\\10"}, {DC_LAB1, AUTO_LAB1, T_V_LAB1, T_min_LAB1},
     std::nullopt, 2, true, rangeWord(u"100mV"), false, Blank2::Whole, RateCheck::None, true},
    {u"ACI",     {kOffRel, kOffHold, kOffMax, u"conf:curr:ac\\10"}, {AC_LAB1, AUTO_LAB1, T_A_LAB1, T_min_LAB1},
     std::nullopt, 0, true, kAc1mAWord, false, Blank2::Whole, RateCheck::AfterCommands, true},
    {u"DCI",     {kOffRel, kOffHold, kOffMax, u"conf:curr:dc\\10"}, {DC_LAB1, AUTO_LAB1, T_A_LAB1, T_u_LAB1},
     std::nullopt, 2, true, rangeWord(u"100uA"), false, Blank2::DigitsOnly, RateCheck::AfterCommands, true},
    {u"4W",      {kOffRel, kOffHold, kOffMax, u"conf:fres\\10"}, {W4_LAB1, AUTO_LAB1, T_R_LAB1},
     std::nullopt, 2, true, rangeWord(u"100"), false, Blank2::Whole, RateCheck::None, false},
    {u"2W",      {u"conf:res\\10"}, {W2_LAB1, AUTO_LAB1, T_R_LAB1},
     std::nullopt, 2, true, rangeWord(u"100"), false, Blank2::Whole, RateCheck::None, false},
    {u"DIODE",   {u"conf:diod\\10"}, {T_V_LAB1},
     Symbol::DIODE_IMG, 0, false, {u"", u"D", u"I", u"O", u"D", u"E"}, true, Blank2::Whole, RateCheck::None, false},
    {u"CONTINU", {u"conf:cont\\10"}, {T_R_LAB1},
     Symbol::CONTINU_IMG, 3, false, {u"", u"C", u"O", u"N", u"T", u""}, true, Blank2::Whole, RateCheck::None, false},
    {u"P",       {kOffRel, kOffHold, kOffMax, u"conf:per\\10"}, {T_S_LAB1, T_u_LAB1, AUTO_LAB1},
     std::nullopt, 3, true, {u"P", u"E", u"R", u"1", u"O", u"D"}, false, Blank2::Whole, RateCheck::AtEnd, false},
    {u"Hz",      {u"conf:freq\\10"}, {T_Hz_LAB1, T_K_LAB1, AUTO_LAB1},
     std::nullopt, 2, true, {u"", u"F", u"R", u"E", u"Q", u""}, false, Blank2::Whole, RateCheck::AtEnd, false},
};

// Display 2 while 2ND is lit: no word, no prefix for current, and none of
// the functions that display 1 ends first.
struct Display2Row
{
    const char16_t *mode;  // MODE2
    const char16_t *command;
    std::array<std::optional<Lamp>, 4> lamps;
    int point;             // DROP_IMG2
    RateCheck rateCheck;
    bool pressedAWhile;
};

constexpr Display2Row kDisplay2Rows[] = {
    {u"ACV", u"conf2:volt:ac\\10", {AC_LAB2, AUTO_LAB2, T_V_LAB2, T_min_LAB2}, 2, RateCheck::None,          true},
    {u"DCV", u"conf2:volt:dc\\10", {DC_LAB2, AUTO_LAB2, T_V_LAB2, T_min_LAB2}, 2, RateCheck::None,          true},
    {u"ACI", u"conf2:curr:ac\\10", {AC_LAB2, AUTO_LAB2, T_A_LAB2},             1, RateCheck::None,          true},
    {u"DCI", u"conf2:curr:dc\\10", {DC_LAB2, AUTO_LAB2, T_A_LAB2},             1, RateCheck::AfterCommands, true},
    {u"4W",  u"conf2:fres\\10",    {W4_LAB2, AUTO_LAB2, T_R_LAB2},             2, RateCheck::None,          false},
    {u"2W",  u"conf2:res\\10",     {W2_LAB2, AUTO_LAB2, T_R_LAB2},             2, RateCheck::None,          false},
    {u"P",   u"conf2:per\\10",     {T_S_LAB2, AUTO_LAB2},                      3, RateCheck::AtEnd,         false},
    {u"Hz",  u"conf2:freq\\10",    {T_Hz_LAB2, AUTO_LAB2},                     3, RateCheck::AtEnd,         false},
};

template <typename Row>
const Row &rowOf(std::span<const Row> rows, QStringView mode)
{
    for (const Row &row : rows)
        if (mode == QStringView(row.mode))
            return row;
    Q_UNREACHABLE();
}

void lightAll(display::DisplayModel &d, const std::array<std::optional<Lamp>, 4> &lamps)
{
    for (const std::optional<Lamp> &lamp : lamps)
        if (lamp)
            d.setLit(*lamp, true);
}

void zeros(display::DisplayModel &d, Positions row)
{
    for (int i = 0; i < display::DisplayModel::count(row); ++i)
        d.draw(row, i, u"0");
}

// The reading rate, asked while the link is up; it has its own way with a
// missing reply.
void checkRate(Panel &p, RateCheck when, RateCheck now)
{
    if (when == now && p.state.REMOTE_OK)
        shell::SPEED_CHK(p);
}

bool selectDisplay1(Panel &p, QStringView mode)
{
    const Display1Row &row = rowOf<Display1Row>(kDisplay1Rows, mode);
    display::DisplayModel &d = p.display;
    shell::PanelState &s = p.state;
    display::DisplayModel::Batch batch(d);
    for (const char16_t *command : row.commands)
        if (command && !keySend(p, QString::fromUtf16(command)))
            return false;
    checkRate(p, row.rateCheck, RateCheck::AfterCommands);
    display::ClearSHOW1(d);
    lightAll(d, row.lamps);
    if (row.symbol)
        d.setLit(*row.symbol, true);
    s.MODE1 = QString::fromUtf16(row.mode);
    d.setLit(Points::DROP_IMG, row.point, true);
    if (row.wordAlways || !s.MODE2_ON) {
        if (row.blank2 == Blank2::Whole)
            display::ClearSHOW2(d);
        else
            display::ClearDIS2(d);
        display::spell(d, row.word);
    }
    if (row.autoRange)
        s.MODE1_RANGE = QStringView(shell::kAutoRange).toString();
    s.DISPLAY1.clear();
    s.reading1Shown = false;
    zeros(d, Positions::DIS1_IMG);
    checkRate(p, row.rateCheck, RateCheck::AtEnd);
    if (row.pressedAWhile)
        p.timers.ACDC_Timer.setEnabled(true);
    return true;
}

bool selectDisplay2(Panel &p, QStringView mode)
{
    const Display2Row &row = rowOf<Display2Row>(kDisplay2Rows, mode);
    display::DisplayModel &d = p.display;
    shell::PanelState &s = p.state;
    display::DisplayModel::Batch batch(d);
    if (!keySend(p, QString::fromUtf16(row.command)))
        return false;
    checkRate(p, row.rateCheck, RateCheck::AfterCommands);
    s.MODE2 = QString::fromUtf16(row.mode);
    s.MODE2_RANGE = QStringView(shell::kAutoRange).toString();
    s.DISPLAY2.clear();
    s.MODE2_ON = true;
    display::ClearSHOW2(d);
    lightAll(d, row.lamps);
    d.setLit(Points::DROP_IMG2, row.point, true);
    zeros(d, Positions::DIS2_IMG);
    checkRate(p, row.rateCheck, RateCheck::AtEnd);
    if (row.pressedAWhile)
        p.timers.ACDC_Timer.setEnabled(true);
    return true;
}

// The display the key works on, and the function it selects there. The
// toggling keys look at their lamp on that display.
bool select(Panel &p, QStringView mode)
{
    return p.display.isLit(ND2_LAB) ? selectDisplay2(p, mode) : selectDisplay1(p, mode);
}

bool lit1or2(const Panel &p, Lamp onDisplay1, Lamp onDisplay2)
{
    return p.display.isLit(p.display.isLit(ND2_LAB) ? onDisplay2 : onDisplay1);
}

// Asks the instrument for its thermocouple type, sends it back and spells it
// on display 2 ("TYPE K"). Without a reply the type stays as it was and
// nothing is sent or spelled: the key goes on to the unit, so the panel never
// keeps a wrong unit lamp.
bool refreshThermocouple(Panel &p)
{
    shell::PanelState &s = p.state;
    const std::optional<QString> reply = keyAsk(p, QStringLiteral("SENS:TEMP:TCO:TYPE?\\10"));
    if (!reply)
        return true;
    s.TCO_TYPE = typeLetter(*reply);
    if (!keySend(p, QStringLiteral("CONF:TEMP:TCO ") + s.TCO_TYPE + QStringLiteral("\\10")))
        return false;
    display::DIS2_SHOW_RANGE(p.display, u"T", u"Y", u"P", u"E", u"", s.TCO_TYPE);
    return true;
}

} // namespace

bool ACV_IMG_ENTER(Panel &p)
{
    return p.display.isLit(SHIFT_LAB) || select(p, u"ACV");
}

bool DCV_IMG_ENTER(Panel &p)
{
    return p.display.isLit(SHIFT_LAB) || select(p, u"DCV");
}

bool ACI_IMG_ENTER(Panel &p)
{
    return select(p, u"ACI");
}

bool DCI_IMG_ENTER(Panel &p)
{
    return select(p, u"DCI");
}

bool W2W4_IMG_ENTER(Panel &p)
{
    return select(p, lit1or2(p, W2_LAB1, W2_LAB2) ? u"4W" : u"2W");
}

bool DIOCON_IMG_ENTER(Panel &p)
{
    return selectDisplay1(p, p.display.isLit(Symbol::DIODE_IMG) ? u"CONTINU" : u"DIODE");
}

bool Hz_P_IMG_ENTER(Panel &p)
{
    return select(p, lit1or2(p, T_Hz_LAB1, T_Hz_LAB2) ? u"P" : u"Hz");
}

bool CF_IMG_ENTER(Panel &p)
{
    display::DisplayModel &d = p.display;
    shell::PanelState &s = p.state;
    display::DisplayModel::Batch batch(d);
    if (d.isLit(ND2_LAB)) {
        d.setLit(ND2_LAB, false);
        return true;
    }
    s.MODE1_RANGE.clear();
    s.DISPLAY1.clear();
    s.reading1Shown = false;
    display::ClearSHOW2(d);
    if (!s.MODE2_ON && s.REMOTE_OK && s.SENSOR_TYPE == u"TCO" && !refreshThermocouple(p))
        return false;

    const bool toFahrenheit = d.isLit(T_C_LAB1);
    if (!keySend(p, toFahrenheit ? QStringLiteral("unit f\\10") : QStringLiteral("unit c\\10")))
        return false;
    display::ClearSHOW1(d);
    d.setLit(toFahrenheit ? T_F_LAB1 : T_C_LAB1, true);
    s.MODE1 = toFahrenheit ? QStringLiteral("F") : QStringLiteral("C");
    return true;
}

} // namespace keys
