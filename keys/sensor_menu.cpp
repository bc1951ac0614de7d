// The temperature sensor menu: SHIFT + T_CF opens it, AUTO is its ENTER,
// HOLD and TRIG move sideways and along the digits, SHIFT leaves it
// (keys/shift_key.cpp), UP and DOWN step it (arrows/sensor_steps.cpp). The
// states and what the keys share are told in keys/sensor_items.h.

#include "keys/menu_cursor.h"
#include "keys/setup_menus.h"

#include "core/panel.h"
#include "display/digit_blink.h"
#include "display/sensor_words.h"
#include "keys/key_exchange.h"
#include "keys/sensor_items.h"
#include "keys/shift_key.h"

#include <algorithm>

namespace keys {

namespace {

using namespace display;

template<typename Row, std::size_t N>
const Row *rowOf(const Row (&rows)[N], qint16 state)
{
    const auto row = std::find_if(std::begin(rows), std::end(rows),
                                  [state](const Row &r) { return r.state == state; });
    return row == std::end(rows) ? nullptr : row;
}

// ---- Opening.

// ---- ENTER, by state.

Outcome twoWires(Panel &p)
{
    p.state.RTD_WIRES = 2;
    return Outcome::Done;
}

Outcome fourWires(Panel &p)
{
    p.state.RTD_WIRES = 4;
    return Outcome::Done;
}

Outcome rtdItems(Panel &p)
{
    spell(p.display, kTypeWord2);
    spell(p.display, kUserWord1);
    return Outcome::Done;
}

// An item's value sent: back to level 2, the item's word on display 1,
// and the point its value was read with dark (-1: none).
Outcome sent(Panel &p, const Word1 &item, int point)
{
    spell(p.display, item);
    spell(p.display, kLevel2Word2);
    blinkOff(p);
    if (point >= 0)
        p.display.setLit(Points::DROP_IMG, point, false);
    return Outcome::Done;
}

// A coefficient by name, blinking on all five positions after the first.
Outcome byName(Panel &p, Rtd which)
{
    return coefficientByName(p, which, 5);
}

// SENSOR_TYPE once the item is confirmed.
enum class Sensor { Kept, Thermocouple, Rtd };

struct EnterRow
{
    qint16 state;
    const char16_t *sends;     // sent followed by TCO_TYPE; null: nothing
    Outcome (*then)(Panel &);  // what follows: queries, words, blink
    Sensor sensor;
    qint16 next;
};

// 11 and 33 are no rows: ENTER does nothing there. A user RTD's
// coefficients are confirmed alpha, beta, delta, from the name (4x) or
// from its digits (5x) alike; the last one returns to level 2.
constexpr EnterRow kEnterRows[] = {
    // state  sends               then                                                              sensor                 next
    {12, nullptr,                 twoWires,                                                         Sensor::Kept,          12},
    {13, nullptr,                 fourWires,                                                        Sensor::Kept,          13},
    {21, nullptr,                 chooseThermocouple,                                               Sensor::Kept,          31},
    {22, nullptr,                 editSimulation,                                                   Sensor::Kept,          32},
    {23, nullptr,                 rtdItems,                                                         Sensor::Kept,          34},
    {31, u"sens:temp:tco:type ",  [](Panel &p) { return sent(p, kSensorWord1, -1); },               Sensor::Thermocouple,  21},
    {32, u"SENS:TEMP:RJUN:SIM ",  [](Panel &p) { return sent(p, kSimWord1, kSimulationPoint); },    Sensor::Thermocouple,  22},
    {34, nullptr,                 [](Panel &p) { return byName(p, Rtd::Alpha); },                   Sensor::Kept,          41},
    {41, u"SENS:TEMP:RTD:ALPH ",  [](Panel &p) { return byName(p, Rtd::Beta); },                    Sensor::Kept,          42},
    {51, u"SENS:TEMP:RTD:ALPH ",  [](Panel &p) { return byName(p, Rtd::Beta); },                    Sensor::Kept,          42},
    {42, u"SENS:TEMP:RTD:BETA ",  [](Panel &p) { return byName(p, Rtd::Delta); },                   Sensor::Kept,          43},
    {52, u"SENS:TEMP:RTD:BETA ",  [](Panel &p) { return byName(p, Rtd::Delta); },                   Sensor::Kept,          43},
    {43, u"SENS:TEMP:RTD:DELT ",  [](Panel &p) { return sent(p, kTypeWord1, kCoefficientPoint); },  Sensor::Kept,          23},
    {53, u"SENS:TEMP:RTD:DELT ",  [](Panel &p) { return sent(p, kTypeWord1, kCoefficientPoint); },  Sensor::Rtd,           23},
};

// ---- HOLD and TRIG, by state.

struct CursorRow;
using Move = void (*)(Panel &, const CursorRow &);

struct CursorRow
{
    qint16 state;
    Move move;
    const Word1 *word1;  // sideways: display 1's word
    const Word *word2;   // sideways: display 2's word; null: unchanged
    bool rtdLampsOut;             // sideways: W2_LAB2 and W4_LAB2 go dark
    qint16 next;                  // sideways and edit: the state it leads to
    qint16 first, last;           // digits: the positions the cursor goes round;
                                  // edit: the digit it starts on from the name
    qint16 shown;                 // edit: display-1 position lit as it starts; -1 none
};

// To the next item of the same level.
void sideways(Panel &p, const CursorRow &row)
{
    spell(p.display, *row.word1);
    if (row.word2)
        spell(p.display, *row.word2);
    if (row.rtdLampsOut) {
        p.display.setLit(Lamp::W2_LAB2, false);
        p.display.setLit(Lamp::W4_LAB2, false);
    }
    p.state.SENSOR_STATE = row.next;
}

// The digit cursor one place along first..last, round at the ends; the
// digit it leaves is lit, whatever phase the blink left it in.
void moveDigit(Panel &p, const CursorRow &row, int way)
{
    shell::PanelState &s = p.state;
    const qint16 from = s.BLINK_LAST;
    if (from < row.first || from > row.last)
        return;
    qint16 to = qint16(from + way);
    if (to < row.first)
        to = row.last;
    else if (to > row.last)
        to = row.first;
    display::showBlinkRun(p);  // the digit it leaves
    s.BLINK_FIRST = to;
    s.BLINK_LAST = to;
    s.BLINK_DISP2 = false;
}

void digitLeft(Panel &p, const CursorRow &row) { moveDigit(p, row, -1); }
void digitRight(Panel &p, const CursorRow &row) { moveDigit(p, row, +1); }

// From a coefficient's name to its digits: the cursor leaves the name (lit
// again) for a digit; with the cursor already on a digit it stays there.
void editDigits(Panel &p, const CursorRow &row)
{
    shell::PanelState &s = p.state;
    if (s.BLINK_DISP2) {
        s.BLINK_DISP2 = false;
        s.BLINK_FIRST = row.first;
        s.BLINK_LAST = row.first;
        if (row.shown >= 0)
            p.display.setLit(Positions::DIS1_IMG, row.shown, true);
    }
    s.SENSOR_STATE = row.next;
    for (int i = 1; i <= 5; ++i)
        p.display.setLit(Positions::DIS2_IMG, i, true);
}

// HOLD: left. States not listed (11, 13, 23, 31, 33, 34) ignore it.
constexpr CursorRow kHoldRows[] = {
    // state  move        word1          word2          RTD out  next  first last  shown
    {12,     sideways,   &kTCupWord1,   nullptr,       true,    11,   0,    0,    -1},
    {21,     sideways,   &kSimWord1,    &kLevel2Word2, false,   22,   0,    0,    -1},
    {22,     sideways,   &kSensorWord1, &kLevel2Word2, false,   21,   0,    0,    -1},
    {32,     digitLeft,  nullptr,       nullptr,       false,   0,    2,    5,    -1},
    {41,     editDigits, nullptr,       nullptr,       false,   51,   6,    6,    -1},
    {42,     editDigits, nullptr,       nullptr,       false,   52,   6,    6,    -1},
    {43,     editDigits, nullptr,       nullptr,       false,   53,   6,    6,    -1},
    {51,     digitLeft,  nullptr,       nullptr,       false,   0,    0,    6,    -1},
    {52,     digitLeft,  nullptr,       nullptr,       false,   0,    0,    6,    -1},
    {53,     digitLeft,  nullptr,       nullptr,       false,   0,    0,    6,    -1},
};

// TRIG: right. States not listed (11, 12, 23, 31, 33, 34) ignore it.
constexpr CursorRow kTrigRows[] = {
    // state  move        word1          word2          RTD out  next  first last  shown
    {13,     sideways,   &kTCupWord1,   nullptr,       true,    11,   0,    0,    -1},
    {21,     sideways,   &kSimWord1,    &kLevel2Word2, false,   22,   0,    0,    -1},
    {22,     sideways,   &kSensorWord1, &kLevel2Word2, false,   21,   0,    0,    -1},
    {32,     digitRight, nullptr,       nullptr,       false,   0,    2,    5,    -1},
    {41,     editDigits, nullptr,       nullptr,       false,   51,   0,    0,    6},
    {42,     editDigits, nullptr,       nullptr,       false,   52,   0,    0,    6},
    {43,     editDigits, nullptr,       nullptr,       false,   53,   0,    0,    6},
    {51,     digitRight, nullptr,       nullptr,       false,   0,    0,    6,    -1},
    {52,     digitRight, nullptr,       nullptr,       false,   0,    0,    6,    -1},
    {53,     digitRight, nullptr,       nullptr,       false,   0,    0,    6,    -1},
};

} // namespace

bool SENSOR_IMG_ENTER(Panel &p)
{
    shell::PanelState &s = p.state;
    s.SENSOR_SET = true;
    const bool paused = pauseReading(p);
    // A failed exchange leaves the menu closed and the run as it was.
    const auto failed = [&p, paused] {
        p.state.SENSOR_SET = false;
        if (paused)
            resumeReading(p);
        return false;
    };
    if (s.REMOTE_OK) {
        const std::optional<QString> type = keyAsk(p, QStringLiteral("sens:temp:tco:type?\\10"));
        if (!type)
            return failed();
        s.TCO_TYPE = typeLetter(*type);
        // Its answer is not used: the simulation item asks again.
        if (!keyAsk(p, QStringLiteral("sens:temp:rjun:sim?\\10")))
            return failed();
    } else {
        s.TCO_TYPE.clear();
    }
    DisplayModel &d = p.display;
    DisplayModel::Batch batch(d);
    ClearSHOW1(d);
    ClearSHOW2(d);
    s.SENSOR_STATE = 11;
    spell(d, kLevel1Word2);
    spell(d, kTCupWord1);
    return true;
}

bool SENSOR_AUTO_ENTER(Panel &p)
{
    shell::PanelState &s = p.state;
    const EnterRow *row = rowOf(kEnterRows, s.SENSOR_STATE);
    if (!row)
        return true;
    if (row->sends && !keySend(p, QString::fromUtf16(row->sends) + s.TCO_TYPE + QStringLiteral("\\10")))
        return false;
    const Outcome step = row->then(p);
    if (step == Outcome::Done && row->sensor == Sensor::Thermocouple)
        s.SENSOR_TYPE = QStringLiteral("TCO");
    else if (step == Outcome::Done && row->sensor == Sensor::Rtd)
        s.SENSOR_TYPE = s.RTD_WIRES == 2 ? QStringLiteral("2RTD") : QStringLiteral("4RTD");
    return moveTo(p, step, row->next);
}

bool sensorCursor(Panel &p, Cursor way)
{
    const CursorRow *row = way == Cursor::Left ? rowOf(kHoldRows, p.state.SENSOR_STATE)
                                               : rowOf(kTrigRows, p.state.SENSOR_STATE);
    if (row)
        row->move(p, *row);
    return true;
}

} // namespace keys
