#include "arrows/limit_points.h"
#include "arrows/range_ladders.h"
#include "arrows/value_edits.h"

#include "core/panel.h"
#include "display/glyph_words.h"
#include "display/signed_digits.h"
#include "display/value_scaling.h"
#include "keys/key_exchange.h"
#include "platform/runtime.h"

#include <array>
#include <span>

// The arrow keys in the math menu. By the blink: an item's name blinking on
// display 2 (list mode) moves through M, B, 1/X and REF% and shows the
// item's value as the instrument holds it; a digit blinking (digit mode)
// steps that digit of EDIT_DIGITS; the point blinking (point mode) moves it
// a decade. Every press restarts the blink in step. Only queries go out;
// the math menu's ENTER sends the value.

namespace arrows {

namespace {

using display::Prefix;
using shell::PanelState;

using display::Word1;

constexpr Word1 kInverse = {u"I2", u"N", u"V", u"E", u"R", u"S", u"E"};
constexpr Word1 kContinuous = {u"C", u"O", u"N", u"T", u"I2", u"N", u"U"};

// ---- list mode ---------------------------------------------------------------------

constexpr qint16 kM = 1, kB = 2, kInverseItem = 3, kPercent = 4;
constexpr qint16 kCountStep = 6, kCountEntry = 61;

struct MathItem
{
    qint16 item;
    display::Word word;
    qint16 first, last;        // the part of the word that blinks
    const char16_t *query;     // null: the word INVERSE instead of a value
    QString PanelState::*kept; // where UP keeps the reply
};
constexpr MathItem kItems[] = {
    {kM,           {u"",  u"M", u"X",   u"ADD", u"B",   u""},    1, 1, u"calc:math:mmf?\\10",  &PanelState::MATH_M_VALUE},
    {kB,           {u"",  u"M", u"X",   u"ADD", u"B",   u""},    4, 4, u"calc:math:mbf?\\10",  &PanelState::MATH_B_VALUE},
    {kInverseItem, {u"",  u"1", u"MOD", u"X",   u"",    u""},    1, 3, nullptr,                nullptr},
    {kPercent,     {u"R", u"E", u"F",   u"PSU", u"MOD", u"PSD"}, 0, 5, u"calc:math:perc?\\10", &PanelState::MATH_M_VALUE},
};

// The list wraps at both ends; the count items lead back into it.
struct ListStep
{
    qint16 before, up, down;
};
constexpr ListStep kListSteps[] = {
    {kM,           kPercent,     kB},
    {kB,           kM,           kInverseItem},
    {kInverseItem, kB,           kPercent},
    {kPercent,     kInverseItem, kM},
    {5,            kM,           kM},
    {kCountStep,   kPercent,     kM},
};

const MathItem *findItem(qint16 item)
{
    for (const MathItem &row : kItems)
        if (row.item == item)
            return &row;
    return nullptr;
}

// The item's value is asked before the menu moves: when no reply comes the
// menu stays on the item it names, with that item's digits.
bool showItem(Panel &p, Arrow key, const MathItem &item)
{
    PanelState &s = p.state;
    display::DisplayModel &d = p.display;
    QString reply;
    if (item.query && s.REMOTE_OK) {
        const std::optional<QString> answer = keys::keyAsk(p, QString::fromUtf16(item.query));
        if (!answer)
            return false;
        reply = *answer;
    }
    display::spell(d, item.word);
    s.BLINK_FIRST = item.first;
    s.BLINK_LAST = item.last;
    s.BLINK_DOT = shell::kNoBlink;
    s.BLINK_DISP2 = true;
    s.MATH_ITEM = item.item;
    if (!item.query) {
        display::ClearSHOW1(d);
        display::spell(d, kInverse);
        return true;
    }
    if (key == Arrow::Up)
        s.*item.kept = reply;
    // Offline there is no value to show: 0 stands in. A reply that is not a
    // number leaves the display as it was.
    QString drawn = reply.isEmpty() ? QStringLiteral("0") : reply;
    (void)display::CHK_READ_RANGE(p, drawn);
    return true;
}

bool stepList(Panel &p, Arrow key)
{
    for (const ListStep &step : kListSteps)
        if (step.before == p.state.MATH_ITEM)
            return showItem(p, key, *findItem(key == Arrow::Up ? step.up : step.down));
    return true;  // the count entry: nothing to move to
}

// ---- digit mode --------------------------------------------------------------------

constexpr double kDigitSteps[] = {1000000, 100000, 10000, 1000, 100, 10, 1};
constexpr double kValueTop = 9999999;
constexpr double kValueBottom = -9999999;
constexpr double kCountTop = 1000000;  // count steps of the averaging function

// The whole word CONTINU blinks while a count of 1 (continuous) is shown.
bool continuousShown(const PanelState &s)
{
    return s.MATH_ITEM == kCountEntry && s.BLINK_FIRST == 0 && s.BLINK_LAST == 6;
}

void blinkDigit(PanelState &s, qint16 first, qint16 last)
{
    s.BLINK_FIRST = first;
    s.BLINK_LAST = last;
    s.BLINK_DOT = shell::kNoBlink;
    s.BLINK_DISP2 = false;
}

void stepDigit(Panel &p, Arrow key)
{
    PanelState &s = p.state;
    const bool up = key == Arrow::Up;
    double value = rt::leadingNumber(s.EDIT_DIGITS);
    if (s.BLINK_LAST >= 0 && s.BLINK_LAST < qint16(std::size(kDigitSteps)))
        value += (up ? 1 : -1) * kDigitSteps[s.BLINK_LAST];
    if (up) {
        const double top = s.MATH_ITEM == kCountStep ? kCountTop : kValueTop;
        if (value > top)
            value = top;
    } else if (s.MATH_ITEM == kCountStep || s.MATH_ITEM == kCountEntry) {
        // A count of 1 is continuous averaging.
        if (value <= 1) {
            s.EDIT_DIGITS = QStringLiteral("1");
            blinkDigit(s, 0, 6);
            display::spell(p.display, kContinuous);
            return;
        }
    } else if (value < kValueBottom) {
        value = kValueBottom;
    }
    s.EDIT_DIGITS = rt::pattern(value, u"0000000");
    display::drawEnteredDigits(p.display, s.EDIT_DIGITS, value < 0);
}

// ---- point mode --------------------------------------------------------------------

constexpr Prefix no = Prefix::None, mu = Prefix::Micro, mi = Prefix::Milli, ki = Prefix::Kilo,
                 me = Prefix::Mega;

constexpr PointStep kMathPointsUp[] = {
    // prefix  before  after  to   hide
    {me, 0, 1, me},
    {me, 1, 2, me},
    {me, 2, 3, me},
    {ki, 1, 2, ki},
    {ki, 2, 0, me},
    {ki, 3, 1, me},
    {mi, 0, 1, mi},
    {mi, 1, 2, mi},
    {mi, 2, 0, no},
    {mi, 3, 1, no},
    {mu, 2, 0, mi},
    {no, 0, 1, no},
    {no, 1, 2, no},
    {no, 2, 3, no},
    {no, 3, 1, ki},
    {no, 4, 2, ki},
};
constexpr PointStep kMathPointsDown[] = {
    {me, 0, 2, ki},
    {me, 1, 0, me},
    {me, 2, 1, me},
    {me, 3, 2, me},
    {ki, 1, 3, no},
    {ki, 2, 1, ki},
    {ki, 3, 2, ki},
    {mi, 0, 2, mu},
    {mi, 1, 0, mi},
    {mi, 2, 1, mi},
    {mi, 3, 2, mi},
    {mu, 0, 2, mu, false},
    {mu, 1, 2, mu, false},
    {mu, 2, 2, mu, false},
    {mu, 3, 2, mu, false},
    {mu, 4, 2, mu, false},
    {no, 0, 2, mi},
    {no, 1, 0, no},
    {no, 2, 1, no},
    {no, 3, 2, no},
    {no, 4, 3, no},
};

} // namespace

bool editMathParameter(Panel &p, Arrow key)
{
    PanelState &s = p.state;
    rt::PanelTimer &blink = p.timers.IMG_Timer;
    display::DisplayModel::Batch batch(p.display);
    blink.setEnabled(false);  // the blink starts again in step with the press
    bool ok = true;
    if (s.BLINK_DISP2) {
        ok = stepList(p, key);
    } else {
        if (key == Arrow::Up && continuousShown(s))
            blinkDigit(s, 6, 6);  // UP starts a count from the continuous one
        if (s.BLINK_DOT != shell::kNoBlink) {
            stepPoint(p, key == Arrow::Up ? std::span<const PointStep>(kMathPointsUp) : kMathPointsDown);
        } else {
            if (key == Arrow::Down && continuousShown(s))
                blinkDigit(s, 6, 6);
            stepDigit(p, key);
        }
    }
    blink.setEnabled(true);
    return ok;
}

bool UP_MATH_IMG_ENTER(Panel &p)
{
    const Target target = p.state.MODE2_ON ? Target::Paired : Target::Single;
    return stepVoltage1(p, Arrow::Up, target) && stepCurrent1(p, Arrow::Up, target)
           && stepResistance1(p, Arrow::Up, target);
}

bool DOWN_MATH_IMG_ENTER(Panel &p)
{
    const Target target = p.state.MODE2_ON ? Target::Paired : Target::Single;
    return stepVoltage1(p, Arrow::Down, target) && stepCurrent1(p, Arrow::Down, target)
           && stepResistance1(p, Arrow::Down, target);
}

} // namespace arrows
