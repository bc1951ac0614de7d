#include "keys/menu_cursor.h"
#include "keys/setup_menus.h"

#include "core/panel.h"
#include "display/digit_blink.h"
#include "display/filter_words.h"
#include "display/mode_redraws.h"
#include "keys/filter_count.h"
#include "keys/key_exchange.h"
#include "keys/shift_key.h"
#include "platform/runtime.h"

#include <algorithm>
#include <optional>
#include <span>

// The filter set-up on SHIFT + MXMN. With the filter off the key opens it:
// display 2 offers the type (MOV or REP), display 1 the count the
// instrument averages over; UP and DOWN change them, HOLD and TRIG move
// between the type and the count's three digits, and AUTO sends type and
// count and turns the filter on. With the filter on the same key turns it
// off. Nothing is sent while the set-up is open.

using namespace Qt::StringLiterals;

namespace keys {

namespace {

using display::Lamp;
using display::Points;
using display::Positions;

// Where the cursor stands: the type word on display 2, or the count digit
// at this position of display 1.
constexpr qint16 kTypeWord = -1;

struct CursorRow
{
    qint16 from;
    qint16 to;
};
// HOLD: one place left, the type word before the first digit.
constexpr CursorRow kHoldRows[] = {
    {kTypeWord, 6},
    {6,         5},
    {5,         4},
    {4,         kTypeWord},
};
// TRIG: one place right, the type word after the last digit.
constexpr CursorRow kTrigRows[] = {
    {kTypeWord, 4},
    {4,         5},
    {5,         6},
    {6,         kTypeWord},
};

// The type word in positions 1 to 3 of display 2.
constexpr qint16 kTypeFirst = 1;
constexpr qint16 kTypeLast = 3;

void blinkTypeWord(shell::PanelState &s)
{
    s.BLINK_FIRST = kTypeFirst;
    s.BLINK_LAST = kTypeLast;
    s.BLINK_DOT = shell::kNoBlink;
    s.BLINK_DISP2 = true;
}

qint16 cursorAt(const shell::PanelState &s)
{
    return s.BLINK_DISP2 ? kTypeWord : s.BLINK_LAST;
}

void enter(shell::PanelState &s, qint16 at)
{
    if (at == kTypeWord)
        return blinkTypeWord(s);
    s.BLINK_DISP2 = false;
    s.BLINK_FIRST = at;
    s.BLINK_LAST = at;
}

// The count as the set-up starts with it: the instrument's, held within
// what the set-up can send. No number (offline, a reply that is none)
// counts as the fewest.
QString countFrom(const std::optional<QString> &reply)
{
    const std::optional<double> n = reply ? rt::toNumber(*reply) : std::nullopt;
    const double count = n ? std::clamp(*n, double(kFewestFiltered), double(kMostFiltered)) : kFewestFiltered;
    return filterCountText(count);
}

bool openMenu(Panel &p)
{
    shell::PanelState &s = p.state;
    display::DisplayModel &d = p.display;
    // Asked before anything is drawn: an exchange that fails leaves the
    // panel as it was, and the reading goes on.
    std::optional<QString> reply;
    if (s.REMOTE_OK) {
        reply = keyAsk(p, u"sens:aver:coun?\\10"_s);
        if (!reply) {
            resumeReading(p);
            return false;
        }
    }
    display::DisplayModel::Batch batch(d);
    display::ClearSHOW1(d);
    display::ClearSHOW2(d);
    s.FILT_SET = true;
    s.FILT_MOVING = true;
    display::showFilterType(d, s.FILT_MOVING);
    blinkTypeWord(s);
    p.timers.IMG_Timer.setEnabled(true);
    s.LIMIT_DIGITS = countFrom(reply);
    display::showFilterCountWord(d);
    display::showFilterCount(d, s.LIMIT_DIGITS);
    return true;
}

bool filterOff(Panel &p)
{
    p.display.setLit(Lamp::FILT_LAB, false);
    const bool sent = keySend(p, u"sens:aver:stat 0\\10"_s);
    resumeReading(p);  // whether or not the instrument took it
    return sent;
}

// Type, count, then the filter on.
bool sendFilter(Panel &p)
{
    const shell::PanelState &s = p.state;
    return keySend(p, s.FILT_MOVING ? u"sens:aver:tcon mov\\10"_s : u"sens:aver:tcon rep\\10"_s)
           && keySend(p, u"sens:aver:coun "_s + QString::number(filterCount(s.LIMIT_DIGITS)) + u"\\10"_s)
           && keySend(p, u"sens:aver:stat 1\\10"_s);
}

} // namespace

bool FILT_IMG_ENTER(Panel &p)
{
    pauseReading(p);
    if (p.display.isLit(Lamp::FILT_LAB))
        return filterOff(p);
    return openMenu(p);
}

bool FILT_AUTO_ENTER(Panel &p)
{
    shell::PanelState &s = p.state;
    display::DisplayModel &d = p.display;
    display::DisplayModel::Batch batch(d);
    s.FILT_SET = false;
    p.timers.IMG_Timer.setEnabled(false);
    d.setLit(Points::DROP_IMG, 6, false);
    d.setLit(Points::DROP_IMG, 2, false);
    d.setLit(Positions::DIS1_IMG, 0, false);
    const bool sent = sendFilter(p);
    // The set-up is over either way: the measurement comes back and so does
    // a paused reading. The lamp tells only of a filter the instrument took.
    display::FILT_RANGE_CHK(p);
    if (sent)
        d.setLit(Lamp::FILT_LAB, true);
    return sent;
}

bool filterCursor(Panel &p, Cursor way)
{
    rt::PanelTimer &blink = p.timers.IMG_Timer;
    blink.setEnabled(false);  // the blink starts again in step with the cursor
    const qint16 at = cursorAt(p.state);
    for (const CursorRow &row : way == Cursor::Left ? std::span(kHoldRows) : std::span(kTrigRows)) {
        if (row.from != at)
            continue;
        display::showBlinkRun(p);  // what the cursor leaves
        enter(p.state, row.to);
        break;
    }
    blink.setEnabled(true);
    return true;
}

} // namespace keys
