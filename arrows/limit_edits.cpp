#include "arrows/limit_digits.h"
#include "arrows/limit_points.h"
#include "arrows/value_edits.h"

#include "core/panel.h"
#include "display/compare_words.h"
#include "display/signed_digits.h"
#include "keys/key_exchange.h"
#include "platform/runtime.h"

// The arrow keys in the compare limits menu. By the blink: the limit's name
// blinking on display 2 (list mode) switches between the upper and the lower
// limit and reads it from the instrument; a digit blinking (digit mode)
// steps that digit; the point blinking (point mode) moves it a decade. Only
// the two queries go out; nothing is sent until ENTER.

namespace arrows {

namespace {

using display::Prefix;
using shell::PanelState;

constexpr Prefix no = Prefix::None, mu = Prefix::Micro, mi = Prefix::Milli, ki = Prefix::Kilo,
                 me = Prefix::Mega;

// UP climbs micro 2, milli 0..2, base 0..3, kilo 1..2, mega 0..2; DOWN
// walks back. Mega at 2 (UP) and micro (DOWN) are the ends.
constexpr PointStep kLimitPointsUp[] = {
    // prefix  before  after  to   hide
    {me, 0,         1, me},
    {me, 1,         2, me},
    {me, 2,         2, me, false},
    {ki, 1,         2, ki},
    {ki, 2,         0, me},
    {mi, 0,         1, mi},
    {mi, 1,         2, mi},
    {mi, 2,         0, no},
    {mu, 2,         0, mi},
    {no, 0,         1, no},
    {no, 1,         2, no},
    {no, 2,         3, no},
    {no, 3,         1, ki},
};
constexpr PointStep kLimitPointsDown[] = {
    {me, 0,         2, ki},
    {me, 1,         0, me},
    {me, 2,         1, me},
    {me, 3,         2, me},
    {ki, 0,         4, no},
    {ki, 1,         3, no},
    {ki, 2,         1, ki},
    {ki, 3,         2, ki},
    {mi, 0,         2, mu},
    {mi, 1,         0, mi},
    {mi, 2,         1, mi},
    {mi, 3,         2, mi},
    {mu, kAnyPoint, 2, mu, false},
    {no, 0,         2, mi},
    {no, 1,         0, no},
    {no, 2,         1, no},
    {no, 3,         2, no},
    {no, 4,         3, no},
    {no, 5,         4, no},
};

// One query a limit: where its reply is kept.
struct LimitQuery
{
    const char16_t *query;
    QString PanelState::*kept;
};
constexpr LimitQuery kUpperQuery = {u"calc:lim:upp?\\10", &PanelState::MATH_M_VALUE};
constexpr LimitQuery kLowerQuery = {u"calc:lim:low?\\10", &PanelState::MATH_B_VALUE};

// Either key switches to the other limit, draws it and loads its digits.
// The limit is asked before the menu moves: when no reply comes the menu
// stays on the limit it names with that limit's digits, so ENTER never
// sends one limit's digits as the other.
bool switchLimit(Panel &p, Arrow key)
{
    PanelState &s = p.state;
    const bool high = !s.COMP_HIGH;
    const LimitQuery &limit = high ? kUpperQuery : kLowerQuery;
    QString reply;
    if (s.REMOTE_OK) {
        const std::optional<QString> answer = keys::keyAsk(p, QString::fromUtf16(limit.query));
        if (!answer)
            return false;
        reply = *answer;
        s.*limit.kept = reply;
    } else if (key == Arrow::Down) {
        // Offline DOWN forgets the limit; UP keeps the last one read.
        s.*limit.kept = QString();
    }
    s.COMP_HIGH = high;
    const display::LimitName &name = display::limitName(high);
    s.BLINK_LAST = name.last;
    display::spell(p.display, name.word);

    // A reply that does not begin with a number counts as 0.
    const QString drawn = rt::toNumber(reply) ? reply : rt::numberText(rt::leadingNumber(reply));
    (void)loadLimit(p, drawn, s.*limit.kept);  // drawn is a number: it loads
    return true;
}

constexpr double kDigitSteps[] = {1000000, 100000, 10000, 1000, 100, 10, 1};
constexpr double kLimitTop = 9999999;
constexpr double kLimitBottom = -1999999;

void stepDigit(Panel &p, Arrow key)
{
    PanelState &s = p.state;
    double value = rt::leadingNumber(s.LIMIT_DIGITS);
    if (s.BLINK_LAST >= 0 && s.BLINK_LAST < qint16(std::size(kDigitSteps)))
        value += (key == Arrow::Up ? 1 : -1) * kDigitSteps[s.BLINK_LAST];
    if (key == Arrow::Up && value > kLimitTop)
        value = kLimitTop;
    if (key == Arrow::Down && value < kLimitBottom)
        value = kLimitBottom;
    s.LIMIT_DIGITS = rt::pattern(value, u"0000000");
    display::drawEnteredDigits(p.display, s.LIMIT_DIGITS, value <= 0);
}

} // namespace

bool editLimit(Panel &p, Arrow key)
{
    const PanelState &s = p.state;
    if (s.BLINK_DISP2)
        return switchLimit(p, key);
    if (s.BLINK_DOT == shell::kNoBlink)
        stepDigit(p, key);
    else
        stepPoint(p, key == Arrow::Up ? std::span<const PointStep>(kLimitPointsUp) : kLimitPointsDown);
    return true;
}

} // namespace arrows
