#include "arrows/range_steps.h"

#include "arrows/range_ladders.h"
#include "core/panel.h"
#include "display/range_view.h"
#include "keys/auto_key.h"
#include "keys/key_exchange.h"
#include "keys/shift_key.h"

namespace arrows {

namespace {

using display::Lamp;

// ---- dB mode: the instrument names its voltage range by a code -------------------

struct DbStep
{
    char code;                         // first character of "conf:stat:rang?"
    const char16_t *ac, *dc;           // command by the AC lamp
    const char16_t *labelAc, *labelDc;
    bool dbAgain;                      // "calc:func db" follows
    int milli;                         // display 2's m lamp: -1 kept, 0 dark, 1 lit
};
constexpr DbStep kDbUp[] = {
    // code  AC                        DC                          label AC / DC        db again  m
    {'1', u"conf:volt:ac 1\\10",   u"conf:volt:dc 1\\10",    u"1V",   u"1V",    true,  0},
    {'2', u"conf:volt:ac 10\\10",  u"conf:volt:dc 10\\10",   u"10V",  u"10V",   true,  -1},
    {'3', u"conf:volt:ac 100\\10", u"conf:volt:dc 100\\10",  u"100V", u"100V",  true,  -1},
    {'4', u"conf:volt:ac 750\\10", u"conf:volt:dc 1000\\10", u"750V", u"1000V", true,  -1},
    {'5', u"conf:auto 0\\10",      u"conf:auto 0\\10",       u"750V", u"1000V", false, -1},
};
constexpr DbStep kDbDown[] = {
    {'1', u"conf:auto 0\\10",      u"conf:auto 0\\10",       u"100mV", u"100mV", false, -1},
    {'2', u"conf:volt:ac 0.1\\10", u"conf:volt:dc 0.1\\10",  u"100mV", u"100mV", true,  1},
    {'3', u"conf:volt:ac 1\\10",   u"conf:volt:dc 1\\10",    u"1V",    u"1V",    true,  -1},
    {'4', u"conf:volt:ac 10\\10",  u"conf:volt:dc 10\\10",   u"10V",   u"10V",   true,  -1},
    {'5', u"conf:volt:ac 100\\10", u"conf:volt:dc 100\\10",  u"100V",  u"100V",  true,  -1},
};

bool stepDb(Panel &p, Arrow key)
{
    display::DisplayModel &d = p.display;
    d.setLit(Lamp::AUTO_LAB1, false);
    ReadingPause pause(p);
    if (!p.state.REMOTE_OK)
        return true;
    const std::optional<QString> reply = keys::keyAsk(p, QStringLiteral("conf:stat:rang?\\10"));
    if (!reply)
        return false;
    const std::span<const DbStep> steps = key == Arrow::Up ? std::span<const DbStep>(kDbUp) : kDbDown;
    const DbStep *step = nullptr;
    for (const DbStep &s : steps)
        if (!reply->isEmpty() && reply->front() == QLatin1Char(s.code))
            step = &s;
    bool dbAgain = true;
    if (step) {
        if (step->milli >= 0)
            d.setLit(Lamp::T_min_LAB2, step->milli == 1);
        const bool ac = d.isLit(Lamp::AC_LAB1);
        if (!keys::keySend(p, QString::fromUtf16(ac ? step->ac : step->dc)))
            return false;
        p.state.MODE1_RANGE = QString::fromUtf16(ac ? step->labelAc : step->labelDc);
        dbAgain = step->dbAgain;
    }
    return !dbAgain || keys::keySend(p, QStringLiteral("calc:func db\\10"));
}

// ---- frequency and period: the input range, from the instrument's answer ----------

struct InputStep
{
    const char16_t *cut;  // the reply without its terminator; null: any other
    const char16_t *label;
    const char16_t *frequency, *period;  // null: nothing is sent
};
constexpr InputStep kInputUp[] = {
    {u"0.1",   u"1V",   u"conf:freq 1\\10",   u"conf:per 1\\10"},
    {u"1",     u"10V",  u"conf:freq 10\\10",  u"conf:per 10\\10"},
    {u"10",    u"100V", u"conf:freq 100\\10", u"conf:per 100\\10"},
    {nullptr,  u"750V", u"conf:freq 750\\10", u"conf:per 750\\10"},
};
constexpr InputStep kInputDown[] = {
    {u"0.1",   u"100mV", nullptr,              nullptr},
    {u"1",     u"100mV", u"CONF:FREQ 0.1\\10", u"CONF:PER 0.1\\10"},
    {u"10",    u"1V",    u"CONF:FREQ 1\\10",   u"CONF:PER 1\\10"},
    {u"100",   u"10V",   u"CONF:FREQ 10\\10",  u"CONF:PER 10\\10"},
    {nullptr,  u"100V",  u"CONF:FREQ 100\\10", u"CONF:PER 100\\10"},
};

bool stepInputRange(Panel &p, Arrow key)
{
    display::DisplayModel &d = p.display;
    const bool hz = d.isLit(Lamp::T_Hz_LAB1);
    if (!hz && !d.isLit(Lamp::T_S_LAB1))
        return true;
    if (key == Arrow::Up)
        d.setLit(Lamp::AUTO_LAB1, false);
    // With the link down the present label stands in for the answer.
    QString cut = p.state.MODE1_RANGE;
    if (p.state.REMOTE_OK) {
        const std::optional<QString> reply = keys::keyAsk(p, QStringLiteral("CONF:RANG?\\10"));
        if (!reply)
            return false;
        cut = *reply;
        if (cut.size() <= 1) {
            p.status.append(QStringLiteral("%1 key: \"CONF:RANG?\" got an empty answer, the key stopped there.")
                                .arg(key == Arrow::Up ? u"UP" : u"DOWN"));
            return true;
        }
    } else if (cut.isEmpty()) {
        return true;
    }
    cut.chop(1);
    for (const InputStep &step : key == Arrow::Up ? std::span<const InputStep>(kInputUp) : kInputDown) {
        if (step.cut && cut != QStringView(step.cut))
            continue;
        p.state.MODE1_RANGE = QString::fromUtf16(step.label);
        const char16_t *command = hz ? step.frequency : step.period;
        return !command || keys::keySend(p, QString::fromUtf16(command));
    }
    return true;
}

// Display 1 steps from a range it knows: the point and prefix a reading
// drew, or those of the fixed range its label names (drawn again here, as
// a drawing without a reading, like the identification's of an AC range,
// may put the point elsewhere). Otherwise, with the link up, the
// instrument is asked; a reply that names no range leaves a status line
// and *known false: no ladder steps, and nothing goes out for a guessed
// range. With the link down the drawing stands, as nothing goes out.
// Current leaves auto range by DOWN its own way: the single mode asks,
// the paired mode goes to the bottom range.
bool settleRange1(Panel &p, Arrow key, bool *known)
{
    *known = true;
    const shell::PanelState &s = p.state;
    if (s.reading1Shown)
        return true;
    const bool current = s.MODE1 == u"ACI" || s.MODE1 == u"DCI";
    if (current && key == Arrow::Down && s.MODE1_RANGE == QStringView(shell::kAutoRange))
        return true;
    if (display::showFixedRange1(p) != display::FixedRange::Unnamed || !s.REMOTE_OK)
        return true;
    if (!keys::askRange1(p, key == Arrow::Up ? u"UP" : u"DOWN", known))
        return false;
    if (*known)
        display::showFixedRange1(p);
    return true;
}

bool stepDisplay1(Panel &p, Arrow key, Target target)
{
    bool known = true;
    if (!settleRange1(p, key, &known))
        return false;
    if (!known)
        return true;
    return stepVoltage1(p, key, target) && stepCurrent1(p, key, target) && stepResistance1(p, key, target);
}

bool stepLadders(Panel &p, Arrow key)
{
    const shell::PanelState &s = p.state;
    display::DisplayModel &d = p.display;
    if (s.MODE2_ON && d.isLit(Lamp::ND2_LAB)) {
        if (key == Arrow::Down)
            d.setLit(Lamp::AUTO_LAB2, false);
        return stepVoltage2(p, key) && stepCurrent2(p, key) && stepResistance2(p, key);
    }
    if (s.MODE2_ON) {
        d.setLit(Lamp::AUTO_LAB1, false);
        return stepDisplay1(p, key, Target::Paired);
    }
    if (!stepDisplay1(p, key, Target::Single))
        return false;
    // Compare goes out again after every UP here, whether a ladder acted or not.
    if (key == Arrow::Up && s.COMP_ON && !keys::keySend(p, QStringLiteral("calc:func comp\\10")))
        return false;
    return stepInputRange(p, key);
}

} // namespace

bool stepRange(Panel &p, Arrow key)
{
    shell::PanelState &s = p.state;
    if (s.dB_DISP1 && s.dB_ON)
        return stepDb(p, key);
    const bool ok = stepLadders(p, key);
    if (key == Arrow::Up && s.dB_ON && s.READ_PAUSED)
        keys::resumeReading(p);
    return ok;
}

} // namespace arrows
