#include "keys/rel_key.h"

#include "arrows/range_ladders.h"
#include "core/panel.h"
#include "display/glyph_words.h"
#include "display/number_drawing.h"
#include "display/range_view.h"
#include "display/unit_lamps.h"
#include "display/value_units.h"
#include "core/link_gate.h"
#include "keys/key_exchange.h"
#include "keys/shift_key.h"
#include "platform/runtime.h"
#include "reading/reading_rows.h"
#include "reading/reply_text.h"
#include "shell/identification.h"

#include <cmath>
#include <limits>

namespace keys {

namespace {

using display::Lamp;
using display::Prefix;

// One step of the second-display value: applies when |value| < bound.
struct RelRow
{
    double bound;
    double mul, div;
    const char16_t *pattern;
    qint16 integers, decimals;
    Prefix prefix;
};

constexpr double kLarger = std::numeric_limits<double>::infinity();

constexpr RelRow kRelRows[] = {
    {0.00019,  1e6, 1,   u"000.000", 3, 3, Prefix::Micro},
    {0.0019,   1e3, 1,   u"0.00000", 1, 5, Prefix::Milli},
    {0.019,    1e3, 1,   u"00.0000", 2, 4, Prefix::Milli},
    {0.19,     1e3, 1,   u"000.000", 3, 3, Prefix::Milli},
    {1.9,      1,   1,   u"0.00000", 1, 5, Prefix::None},
    {19,       1,   1,   u"00.0000", 2, 4, Prefix::None},
    {190,      1,   1,   u"000.000", 3, 3, Prefix::None},
    {1900,     1,   1,   u"0000.00", 4, 2, Prefix::None},
    {19000,    1,   1e3, u"00.0000", 2, 4, Prefix::Kilo},
    {190000,   1,   1e3, u"000.000", 3, 3, Prefix::Kilo},
    {1900000,  1,   1e6, u"0.00000", 1, 5, Prefix::Mega},
    {19000000, 1,   1e6, u"00.0000", 2, 4, Prefix::Mega},
    {kLarger,  1,   1e6, u"000.000", 3, 3, Prefix::Mega},
};

const RelRow &findRelRow(double magnitude)
{
    for (const RelRow &row : kRelRows)
        if (magnitude < row.bound)
            return row;
    return std::end(kRelRows)[-1];  // NaN never gets here: replies are finite
}

// The stored-value views: the lamp that chooses each in REL_2ND_ENTER, the
// query of its value and its word on display 2.
struct ViewRow
{
    StoredView view;
    Lamp lamp;
    const char16_t *query;
    display::Word word;
};

constexpr ViewRow kViews[] = {
    {StoredView::Max, Lamp::MAX_LAB, u"CALC:MAX?\\10",     {u"LEFT", u"SUB", u"M", u"A",  u"X", u""}},
    {StoredView::Min, Lamp::MIN_LAB, u"CALC:MIN?\\10",     {u"LEFT", u"SUB", u"M", u"I2", u"N", u""}},
    {StoredView::Rel, Lamp::REL_LAB, u"CALC:REL:REF?\\10", {u"LEFT", u"SUB", u"R", u"E",  u"L", u""}},
};

const ViewRow &viewRow(StoredView view)
{
    for (const ViewRow &row : kViews)
        if (row.view == view)
            return row;
    return kViews[0];
}

// Switching REL on or taking a view ends these functions; their lamps stay.
void endOtherFunctions(shell::PanelState &s)
{
    s.dBm_ON = false;
    s.HOLD_ON = false;
    s.COMP_ON = false;
    s.MATH_ON = false;
}

bool relOff(Panel &p)
{
    shell::PanelState &s = p.state;
    display::DisplayModel &d = p.display;
    d.setLit(Lamp::REL_LAB, false);
    d.setLit(Lamp::MIN_LAB, false);
    d.setLit(Lamp::MAX_LAB, false);
    s.REL_ON = false;
    s.MODE2.clear();
    s.DISPLAY2.clear();
    if (!keySend(p, QStringLiteral("CALC:FUNC OFF,REL\\10")))
        return false;
    const bool autoRange = s.MODE1_RANGE == QStringView(shell::kAutoRange);
    s.AUTO_RANGE_FLAG = s.AUTO_RANGE_FLAG || autoRange;
    d.setLit(Lamp::AUTO_LAB1, autoRange);
    display::CHK_RANGE(p);
    return true;
}

bool relOn(Panel &p)
{
    shell::PanelState &s = p.state;
    if (s.REMOTE_OK) {
        // The reply is a reading: the channel waits for it as long as for
        // one (readingBound()), never longer.
        const std::optional<QString> reply = keyAsk(p, QStringLiteral("val1?\\10"));
        if (!reply)
            return false;
        const std::optional<bool> overload = isRelOverload(*reply);
        if (!overload) {
            p.status.append(QStringLiteral("REL key: display 1's value \"%1\" is not a number; REL stays off.")
                                .arg(reading::replyText(*reply)));
            return true;
        }
        if (*overload) {
            p.status.clear();
            p.status.append(QStringLiteral("The DISPLAY1 is OL"));
            return true;
        }
    }
    display::DisplayModel &d = p.display;
    d.setLit(Lamp::MIN_LAB, false);
    d.setLit(Lamp::MAX_LAB, false);
    d.setLit(Lamp::REL_LAB, true);
    s.REL_ON = true;
    s.MXMN_ON = false;
    endOtherFunctions(s);
    return keySend(p, QStringLiteral("calc:func rel\\10"));
}

bool enterView(Panel &p)
{
    shell::PanelState &s = p.state;
    p.timers.READ_Timer.setEnabled(false);
    display::ClearSHOW2(p.display);
    for (const ViewRow &row : kViews) {
        if (!p.display.isLit(row.lamp))
            continue;
        if (!showStoredView(p, row.view))
            return false;
        if (row.view == StoredView::Rel) {
            s.REL_ON = false;
            return true;
        }
        // The instrument's math channel to display 2 while the view shows.
        if (!keySend(p, QStringLiteral("syst:math:chan 1\\10")))
            return false;
        s.ND2_VIEW = true;
        s.MXMN_ON = row.view == StoredView::Max;
        return true;
    }
    return true;
}

void leaveView(Panel &p)
{
    shell::PanelState &s = p.state;
    s.ND2_VIEW = false;
    if (!s.READ_PAUSED)
        p.timers.STOP_Timer.setEnabled(true);
    // Only a run that waits for its ticks gets them back: a loop holding the
    // line has READ_Timer off, and a tick now would start a second loop.
    if (s.runPhase == shell::RunPhase::Timed)
        p.timers.READ_Timer.setEnabled(true);
    if (s.REMOTE_OK)
        shell::RDX_INF_TEST(p);
    else
        display::CHK_RANGE(p);  // nobody to ask: the view words go
}

} // namespace

void REL_NUM_CHK(Panel &p)
{
    const std::optional<QString> reply =
        shell::ask(p, QStringLiteral("val2?\\10"));
    const std::optional<double> value = rt::toNumber(reply.value_or(QString()));
    if (!value)
        return;
    const RelRow &row = findRelRow(std::fabs(*value));
    const QString text = rt::pattern(*value * row.mul / row.div, QStringView(row.pattern));
    display::DisplayModel::Batch batch(p.display);
    display::DIS2_READ_SHOW(p, text, row.integers, row.decimals, rt::leadingNumber(text) < 0);
    display::lightPrefix(p.display, row.prefix, 2);
    p.display.setLit(display::Lamp::REL_LAB, true);
}

std::optional<bool> isRelOverload(const QString &reply)
{
    const std::optional<double> value = rt::toNumber(reply);
    if (!value)
        return std::nullopt;
    // The digits of the plain number text, the point taken out: "0.1999999"
    // holds the run as "+1.999999E+00" does.
    const QString digits = rt::numberText(*value).remove(u'.');
    return digits.contains(u"1999999") || reading::isOverloadValue(*value);
}

bool showStoredView(Panel &p, StoredView view)
{
    const ViewRow &row = viewRow(view);
    display::DisplayModel::Batch batch(p.display);
    display::spell(p.display, row.word);
    if (!p.state.REMOTE_OK)
        return true;
    const std::optional<QString> reply = keyAsk(p, QString::fromUtf16(row.query));
    if (!reply)
        return false;
    // A reply that is no number leaves display 1 as it was.
    (void)display::DIS1_SHOW_NUM(p, *reply);
    return true;
}

bool REL_IMG_ENTER(Panel &p)
{
    const bool running = p.timers.READ_Timer.isEnabled();
    const arrows::ReadingPause pause(p);  // the run goes on, whichever way the key ends
    if (running && p.state.REMOTE_OK)
        p.link.Flush();
    display::DisplayModel::Batch batch(p.display);
    return p.display.isLit(Lamp::REL_LAB) ? relOff(p) : relOn(p);
}

bool REL_2ND_ENTER(Panel &p)
{
    shell::PanelState &s = p.state;
    display::DisplayModel::Batch batch(p.display);
    bool ok = true;
    if (p.timers.READ_Timer.isEnabled())
        ok = enterView(p);
    else
        leaveView(p);
    endOtherFunctions(s);
    if (ok && p.display.isLit(Lamp::REL_LAB) && s.REMOTE_OK) {
        ok = keySend(p, QStringLiteral("calc:func rel\\10"));
        if (ok) {
            p.display.setLit(Lamp::AUTO_LAB1, false);
            // Asked as the instrument expects after "calc:func rel"; the
            // value is not used here.
            ok = keyAsk(p, QStringLiteral("val2?\\10")).has_value();
        }
    }
    resumeReading(p);
    return ok;
}

} // namespace keys
