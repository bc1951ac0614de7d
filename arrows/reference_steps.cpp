#include "arrows/value_edits.h"

#include "core/panel.h"
#include "display/filter_words.h"
#include "display/glyph_words.h"
#include "display/mode_redraws.h"
#include "keys/filter_count.h"
#include "keys/key_exchange.h"
#include "platform/runtime.h"

#include <optional>
#include <span>
#include <string_view>

// UP and DOWN on a short list or range: the filter set-up's type and count
// (sent later by its ENTER), the hold reference and the dBm reference
// impedance (both sent at once).

using namespace Qt::StringLiterals;

namespace arrows {

namespace {

// The count digit under the cursor and what a press adds or takes away.
struct CountStep
{
    qint16 cursor;
    int step;
};
constexpr CountStep kCountSteps[] = {
    {4, 100},
    {5, 10},
    {6, 1},
};

// Hold reference in percent, as the instrument answers it.
constexpr std::u16string_view kHoldReferences[] = {u"0.01", u"0.1", u"1", u"10"};

// dBm reference impedances in ohms, as four digits; the command takes the
// number ("0050" goes out as 50).
constexpr std::u16string_view kdBmReferences[] = {
    u"0002", u"0004", u"0008", u"0016", u"0050", u"0075", u"0093",
    u"0110", u"0124", u"0125", u"0135", u"0150", u"0250", u"0300",
    u"0500", u"0600", u"0800", u"0900", u"1000", u"1200", u"8000",
};

// The entry one step on from `text` (UP the next, DOWN the one before).
// Nothing past either end, and nothing for a text that is no entry.
std::optional<QString> stepped(std::span<const std::u16string_view> list, QStringView text, Arrow key)
{
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (text != QStringView(list[i]))
            continue;
        const std::size_t next = key == Arrow::Up ? i + 1 : i - 1;  // 0 - 1 wraps past the end
        if (next >= list.size())
            return std::nullopt;
        return QString::fromUtf16(list[next].data(), qsizetype(list[next].size()));
    }
    return std::nullopt;
}

} // namespace

bool stepFilter(Panel &p, Arrow key)
{
    shell::PanelState &s = p.state;
    if (s.BLINK_DISP2) {
        s.FILT_MOVING = !s.FILT_MOVING;
        display::showFilterType(p.display, s.FILT_MOVING);
        return true;
    }
    const bool up = key == Arrow::Up;
    int count = keys::filterCount(s.LIMIT_DIGITS);
    for (const CountStep &row : kCountSteps)
        if (s.BLINK_LAST == row.cursor)
            count += up ? row.step : -row.step;
    if (up && count > keys::kMostFiltered)
        count = keys::kMostFiltered;
    if (!up && count < keys::kFewestFiltered)
        count = keys::kFewestFiltered;
    s.LIMIT_DIGITS = keys::filterCountText(count);
    display::showFilterCount(p.display, s.LIMIT_DIGITS);
    return true;
}

bool stepHoldReference(Panel &p, Arrow key)
{
    if (p.state.REMOTE_OK) {
        const std::optional<QString> reply = keys::keyAsk(p, u"CALC:HOLD:REF?\\10"_s);
        if (!reply)
            return false;
        // The reply without its terminator; a reply with nothing in it is
        // no reference to step, and nothing goes out.
        const QString now = reply->chopped(reply->isEmpty() ? 0 : 1);
        if (rt::trimSpaces(now).isEmpty())
            return true;
        // Sent on every press, the same value at either end or for a reply
        // in another form.
        const QString next = stepped(kHoldReferences, now, key).value_or(now);
        if (!keys::keySend(p, u"calc:hold:ref "_s + next + u"\\10"_s))
            return false;
    }
    // With the lamp dark the hold view switches on again: it asks the
    // instrument and shows the reference as it now is.
    p.display.setLit(display::Lamp::HOLD_LAB, false);
    display::HOLD_2ND_DISP(p);
    return true;
}

bool stepdBmReference(Panel &p, Arrow key)
{
    const std::optional<QString> next = stepped(kdBmReferences, p.state.dBm_REF, key);
    if (!next)
        return true;
    const int ohms = rt::toWhole(*next).value_or(0);
    if (!keys::keySend(p, u"calc:dbm:ref %1\\10"_s.arg(ohms)))
        return false;
    p.state.dBm_REF = *next;
    const QString &r = *next;
    display::DIS2_SHOW_RANGE(p.display, u"", u"", QStringView(r).mid(0, 1), QStringView(r).mid(1, 1),
                             QStringView(r).mid(2, 1), QStringView(r).mid(3, 1));
    return true;
}

} // namespace arrows
