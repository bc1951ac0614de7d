#include "keys/menu_cursor.h"
#include "keys/setup_menus.h"

#include "arrows/limit_digits.h"
#include "core/panel.h"
#include "display/digit_blink.h"
#include "display/compare_words.h"
#include "keys/arrow_keys.h"
#include "keys/key_exchange.h"
#include "keys/shift_key.h"

#include <span>

// The compare limits menu on SHIFT + HOLD while compare is off. Display 2
// names the limit (HIGH, then LOW), display 1 shows its value as the
// instrument holds it; UP and DOWN change it (arrows/limit_edits.cpp), HOLD
// and TRIG move the cursor between the name, the digits and the point.
// ENTER on HIGH sends the upper limit and goes on to LOW; ENTER on LOW sends
// the lower limit and turns compare on. The limits sent are also the ones
// each reading is judged against from then on.

using namespace Qt::StringLiterals;

namespace keys {

namespace {

using display::Lamp;
using display::Points;
using display::Positions;
using shell::PanelState;

void blinkLimitName(PanelState &s)
{
    const display::LimitName &name = display::limitName(s.COMP_HIGH);
    s.BLINK_DISP2 = true;
    s.BLINK_DOT = shell::kNoBlink;
    s.BLINK_FIRST = name.first;
    s.BLINK_LAST = name.last;
}

// ---- the cursor -------------------------------------------------------------------

enum class At : char { Name, Point, Digit, Elsewhere };

At cursorAt(const PanelState &s, qint16 *digit)
{
    if (s.BLINK_DISP2)
        return At::Name;
    if (s.BLINK_FIRST == shell::kNoBlink && s.BLINK_LAST == shell::kNoBlink)
        return At::Point;
    if (s.BLINK_FIRST == s.BLINK_LAST && s.BLINK_LAST >= 0 && s.BLINK_LAST <= 6) {
        *digit = s.BLINK_LAST;
        return At::Digit;
    }
    return At::Elsewhere;
}

// One move: from a kind of place (digits lo..hi) to another; a move to a
// digit goes to `digit`, or `digit` places on from a digit when `relative`.
struct CursorMove
{
    At from;
    qint16 lo, hi;
    At to;
    qint16 digit;
    bool relative;
};
// HOLD: one place left; name, point, digits 6..0, name.
constexpr CursorMove kHoldMoves[] = {
    {At::Name,  0, 0, At::Point, 0,  false},
    {At::Point, 0, 0, At::Digit, 6,  false},
    {At::Digit, 1, 6, At::Digit, -1, true},
    {At::Digit, 0, 0, At::Name,  0,  false},
};
// TRIG: one place right; name, digits 0..6, point, name.
constexpr CursorMove kTrigMoves[] = {
    {At::Name,  0, 0, At::Digit, 0,  false},
    {At::Digit, 0, 5, At::Digit, 1,  true},
    {At::Digit, 6, 6, At::Point, 0,  false},
    {At::Point, 0, 0, At::Name,  0,  false},
};

void enter(Panel &p, At at, qint16 digit)
{
    PanelState &s = p.state;
    switch (at) {
    case At::Name:
        blinkLimitName(s);
        break;
    case At::Point:
        s.BLINK_DISP2 = false;
        s.BLINK_FIRST = s.BLINK_LAST = shell::kNoBlink;
        s.BLINK_DOT = arrows::firstLitPoint1(p);
        break;
    case At::Digit:
        s.BLINK_DISP2 = false;
        s.BLINK_FIRST = s.BLINK_LAST = digit;
        s.BLINK_DOT = shell::kNoBlink;
        break;
    case At::Elsewhere:
        break;
    }
}

// ---- ENTER ------------------------------------------------------------------------

bool sendLimit(Panel &p, const QString &command, const QString &value, QString PanelState::*kept)
{
    if (!keySend(p, command + value + u"\\10"_s))
        return false;
    p.state.*kept = value;  // readings are judged against it from now on
    return true;
}

// Compare takes over the panel: the other functions are off, the zeros and
// PASS wait for the first reading, and the paused run goes on.
void compareOn(Panel &p)
{
    PanelState &s = p.state;
    display::DisplayModel &d = p.display;
    s.REL_ON = s.MXMN_ON = s.HOLD_ON = s.MATH_ON = false;
    s.COMP_SET = false;
    s.COMP_ON = true;
    d.setLit(Lamp::COMP_LAB, true);
    s.MODE2 = u"COMP"_s;
    for (int k = 0; k < display::DisplayModel::count(Positions::DIS1_IMG); ++k)
        d.draw(Positions::DIS1_IMG, k, u"0");
    display::spell(d, display::kPassPlaceholder);
    p.timers.IMG_Timer.setEnabled(false);
    resumeReading(p);
}

} // namespace

bool COMP_IMG_ENTER(Panel &p)
{
    PanelState &s = p.state;
    display::DisplayModel &d = p.display;
    display::DisplayModel::Batch batch(d);
    pauseReading(p);
    d.setLit(Lamp::SHIFT_LAB, false);
    // Asked before the menu opens: with no upper limit read there are no
    // digits ENTER could send as it, so a failed query leaves the panel
    // measuring as it was.
    QString reply;
    if (s.REMOTE_OK) {
        const std::optional<QString> answer = keyAsk(p, u"calc:lim:upp?\\10"_s);
        if (!answer) {
            resumeReading(p);
            return false;
        }
        reply = *answer;
    }
    s.COMP_SET = true;
    s.COMP_HIGH = true;
    display::ClearSHOW2(d);
    display::ClearDIS1(d);
    for (Lamp lamp : {Lamp::T_dB_LAB, Lamp::T_dBm_LAB1, Lamp::MATH_LAB})
        d.setLit(lamp, false);
    display::spell(d, display::kUpperLimitName.word);
    blinkLimitName(s);
    p.timers.IMG_Timer.setEnabled(true);

    s.MATH_M_VALUE = reply;
    // Offline there is no limit to show: 0 stands in.
    if (!arrows::loadLimit(p, reply.isEmpty() ? u"0"_s : reply, reply))
        arrows::drawLimitZeros(p);
    return true;
}

bool COMPSET_AUTO_ENTER(Panel &p)
{
    PanelState &s = p.state;
    display::DisplayModel &d = p.display;
    display::DisplayModel::Batch batch(d);
    if (s.BLINK_DOT != shell::kNoBlink)
        d.setLit(Points::DROP_IMG, s.BLINK_DOT, true);
    p.timers.IMG_Timer.setEnabled(true);

    const std::optional<QString> value = arrows::limitValueText(p);
    if (!value) {
        p.status.append(u"AUTO key: the limit \"%1\" is not a number; nothing was sent."_s.arg(s.LIMIT_DIGITS));
        return true;
    }
    if (s.COMP_HIGH) {
        if (!sendLimit(p, u"calc:lim:upp "_s, *value, &PanelState::MATH_M_VALUE))
            return false;
        display::showBlinkRun(p);  // a digit the blink left dark, should LOW not come
        blinkLimitName(s);
        // On to the lower limit; without its reply the menu stays on HIGH.
        return DOWN_IMG_ENTER(p);
    }
    if (!sendLimit(p, u"calc:lim:low "_s, *value, &PanelState::MATH_B_VALUE)
        || !keySend(p, u"calc:func comp\\10"_s))
        return false;
    compareOn(p);
    return true;
}

bool compareCursor(Panel &p, Cursor way)
{
    display::DisplayModel::Batch batch(p.display);
    qint16 digit = 0;
    const At at = cursorAt(p.state, &digit);
    for (const CursorMove &move : way == Cursor::Left ? std::span(kHoldMoves) : std::span(kTrigMoves)) {
        if (move.from != at || (at == At::Digit && (digit < move.lo || digit > move.hi)))
            continue;
        display::showBlinkRun(p);  // what the cursor leaves
        enter(p, move.to, move.relative ? qint16(digit + move.digit) : move.digit);
        break;
    }
    return true;
}

} // namespace keys
