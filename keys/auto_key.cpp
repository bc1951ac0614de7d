#include "keys/auto_key.h"

#include "core/panel.h"
#include "display/range_view.h"
#include "keys/function_keys.h"
#include "keys/key_exchange.h"
#include "shell/identification.h"
#include "shell/speed_check.h"

#include <array>
#include <optional>

namespace keys {

namespace {

using display::Lamp;
using display::Points;
using enum display::Lamp;

// ---- Back to auto range ------------------------------------------------------

struct AutoRow
{
    const char16_t *mode;       // MODE1 or MODE2
    bool (*key)(Panel &);       // selects the function again, in auto range
    const char16_t *command1;   // or this command on display 1 ...
    const char16_t *command2;   // ... and this one on display 2
    bool current;               // back only from the milli (and micro) ranges
    bool microToo;
    bool ohms;                  // the 2W/4W lamps flip first
};

constexpr AutoRow kAutoRows[] = {
    // mode   key              command1             command2              current micro  ohms
    {u"ACV", ACV_IMG_ENTER,   nullptr,             nullptr,              false,  false, false},
    {u"DCV", DCV_IMG_ENTER,   nullptr,             nullptr,              false,  false, false},
    {u"ACI", ACI_IMG_ENTER,   nullptr,             nullptr,              true,   false, false},
    {u"DCI", DCI_IMG_ENTER,   nullptr,             nullptr,              true,   true,  false},
    {u"2W",  W2W4_IMG_ENTER,  nullptr,             nullptr,              false,  false, true},
    {u"4W",  W2W4_IMG_ENTER,  nullptr,             nullptr,              false,  false, true},
    {u"Hz",  nullptr,         u"conf:freq\\10",    u"conf2:freq\\10",    false,  false, false},
    {u"P",   nullptr,         u"conf:per\\10",     u"conf2:per\\10",     false,  false, false},
};

const AutoRow *autoRow(QStringView mode)
{
    for (const AutoRow &row : kAutoRows)
        if (mode == QStringView(row.mode))
            return &row;
    return nullptr;  // no ranges: the key is refused
}

// The lamps of one display that the auto-range toggle reads.
struct DisplayLamps
{
    Lamp autoLamp, milli, micro, w2, w4;
};
constexpr DisplayLamps kLamps1 = {AUTO_LAB1, T_min_LAB1, T_u_LAB1, W2_LAB1, W4_LAB1};
constexpr DisplayLamps kLamps2 = {AUTO_LAB2, T_min_LAB2, T_u_LAB2, W2_LAB2, W4_LAB2};

// The range label that 10 A current keeps while it stays on that input.
constexpr char16_t kTenAmps[] = u"10A";

// Runs the row's way back to auto range on the display of `lamps`. False
// when it failed; *stays: the current input keeps its range.
bool backToAuto(Panel &p, const AutoRow &row, const DisplayLamps &lamps, bool oneAmp, bool *stays)
{
    display::DisplayModel &d = p.display;
    *stays = false;
    if (row.current && !d.isLit(lamps.milli) && !(row.microToo && d.isLit(lamps.micro)) && !oneAmp) {
        *stays = true;
        d.setLit(lamps.autoLamp, false);
        return true;
    }
    if (row.ohms) {
        const bool twoWire = d.isLit(lamps.w2);
        d.setLit(lamps.w2, !twoWire);
        d.setLit(lamps.w4, twoWire);
    }
    if (row.key)
        return row.key(p);
    return keySend(p, QString::fromUtf16(lamps.autoLamp == AUTO_LAB1 ? row.command1 : row.command2));
}

bool autoRange2(Panel &p)
{
    display::DisplayModel &d = p.display;
    shell::PanelState &s = p.state;
    if (s.MODE2.isEmpty()) {
        d.setLit(ND2_LAB, false);
        return true;
    }
    const AutoRow *row = autoRow(s.MODE2);
    if (!row) {
        d.setLit(AUTO_LAB2, false);
        return true;
    }
    if (d.isLit(AUTO_LAB2)) {
        d.setLit(AUTO_LAB2, false);
        s.MODE2_RANGE.clear();
        const bool exchanged = keySend(p, QStringLiteral("conf2:auto off\\10")) && AUTO_OFF(p);
        display::CHK_RANGE(p);  // after a failure too: see autoRange1
        return exchanged;
    }
    d.setLit(AUTO_LAB2, true);
    bool stays = false;
    if (!backToAuto(p, *row, kLamps2, false, &stays))
        return false;
    if (stays)
        s.MODE2_RANGE = QString::fromUtf16(kTenAmps);
    else if (!row->key)
        s.MODE2_RANGE = QStringView(shell::kAutoRange).toString();
    return true;
}

bool autoRange1(Panel &p)
{
    display::DisplayModel &d = p.display;
    shell::PanelState &s = p.state;
    const AutoRow *row = autoRow(s.MODE1);
    if (!row) {
        s.MODE1_RANGE.clear();
        d.setLit(AUTO_LAB1, false);
        return true;
    }
    if (d.isLit(AUTO_LAB1)) {
        d.setLit(AUTO_LAB1, false);
        s.MODE1_RANGE.clear();
        const bool exchanged = keySend(p, QStringLiteral("conf:auto off\\10")) && AUTO_OFF(p);
        // Redrawn after a failed exchange too: the label is still empty, so
        // the display shows no point and no prefix rather than keeping the
        // auto range's picture, which would read as a fixed range.
        display::CHK_RANGE(p);
        if (!exchanged)
            return false;
    } else {
        const bool oneAmp = s.MODE1_RANGE == u"1A";
        s.MODE1_RANGE = QStringView(shell::kAutoRange).toString();
        d.setLit(AUTO_LAB1, true);
        bool stays = false;
        if (!backToAuto(p, *row, kLamps1, oneAmp, &stays))
            return false;
        if (stays)
            s.MODE1_RANGE = QString::fromUtf16(kTenAmps);
    }
    // Selecting a function or a range ends compare on the instrument.
    if (s.COMP_ON)
        return keySend(p, QStringLiteral("calc:func comp\\10"));
    return true;
}

// ---- Reading rate --------------------------------------------------------------

struct RateLamp
{
    Lamp lamp;
    const char16_t *code;
};
// Slow, medium, fast: the index of a rate below.
constexpr RateLamp kRates[] = {{S_LAB, u"S"}, {M_LAB, u"M"}, {F_LAB, u"F"}};

using Preset = void (*)(Panel &);

// The sample intervals that suit a rate, by display 1's function; other
// functions keep their list.
struct PresetRow
{
    std::array<const char16_t *, 2> modes;
    std::array<Preset, 3> byRate;  // S, M, F
};
constexpr PresetRow kPresets[] = {
    {{u"DCV", u"DCI"}, {shell::MidTestSpeed,      shell::FullTestSpeed,  nullptr}},
    {{u"ACV", u"ACI"}, {shell::VerySlowTestSpeed, shell::SlowTestSpeed,  shell::MidTestSpeed}},
    {{u"P",   u"Hz"},  {shell::PHzTestSpeed,      shell::PHzHTestSpeed,  shell::PHzHTestSpeed}},
};

// The rate command by what display 1 shows: the first row whose lamp is lit
// (a row without lamps takes every function).
struct RateCommandRow
{
    std::array<std::optional<Lamp>, 2> when;
    std::array<const char16_t *, 3> byRate;  // S, M, F
};
constexpr RateCommandRow kRateCommands[] = {
    {{T_Hz_LAB1, T_S_LAB1}, {u"sens:freq:aper 1\\10", u"sens:freq:aper 0.1\\10", u"sens:freq:aper 0.01\\10"}},
    {{AC_LAB1},             {u"sens:det:band 3\\10",  u"sens:det:band 20\\10",   u"sens:det:band 200\\10"}},
    {{},                    {u"sens:det:rate s\\10",  u"sens:det:rate m\\10",    u"sens:det:rate f\\10"}},
};

bool matches(const Panel &p, const RateCommandRow &row)
{
    bool any = false;
    for (const std::optional<Lamp> &lamp : row.when) {
        if (lamp && p.display.isLit(*lamp))
            return true;
        any = any || lamp.has_value();
    }
    return !any;
}

bool stepRate(Panel &p)
{
    display::DisplayModel &d = p.display;
    // S goes to M, M to F, and F (or no lamp) to S.
    int old = 2;
    for (int rate = 0; rate < 2; ++rate) {
        if (d.isLit(kRates[rate].lamp)) {
            old = rate;
            break;
        }
    }
    const int next = (old + 1) % 3;

    for (const PresetRow &row : kPresets)
        if ((p.state.MODE1 == QStringView(row.modes[0]) || p.state.MODE1 == QStringView(row.modes[1]))
            && row.byRate[std::size_t(next)])
            row.byRate[std::size_t(next)](p);

    d.setLit(SHIFT_LAB, false);
    d.setLit(kRates[old].lamp, false);
    d.setLit(kRates[next].lamp, true);
    // The rate check after the key relights the lamp from this code while
    // the link is down, and from the instrument's answer while it is up.
    p.state.SPEED_CODE = QString::fromUtf16(kRates[next].code);

    for (const RateCommandRow &row : kRateCommands)
        if (matches(p, row))
            return keySend(p, QString::fromUtf16(row.byRate[std::size_t(next)]));
    return true;
}

// ---- The range label after auto range ----------------------------------------

enum class Family { Volt, Current, Ohm, Frequency };

struct FamilyRow
{
    const char16_t *mode;
    Family family;
};
constexpr FamilyRow kFamilies[] = {
    {u"ACV", Family::Volt},    {u"DCV", Family::Volt},
    {u"ACI", Family::Current}, {u"DCI", Family::Current},
    {u"2W",  Family::Ohm},     {u"4W",  Family::Ohm},
    {u"Hz",  Family::Frequency}, {u"P", Family::Frequency},
};

// The first rule whose lamp is lit, or that has no lamp, gives the label.
struct LabelRule
{
    std::optional<Lamp> when;
    const char16_t *label;
};

// The range by display, family and the first lit point (display 1 looks at
// points 0 to 4, display 2 at 0 to 3). The two displays put their points
// differently: display 2 shows resistance one place further left and fewer
// current ranges. A point without a row names no range.
struct PointRow
{
    int displayNo;
    Family family;
    int point;
    std::array<LabelRule, 3> rules;
};

constexpr PointRow kPointRows[] = {
    {1, Family::Volt,    0, {{{std::nullopt, u"1V"}}}},
    {1, Family::Volt,    1, {{{std::nullopt, u"10V"}}}},
    {1, Family::Volt,    2, {{{T_min_LAB1, u"100mV"}, {std::nullopt, u"100V"}}}},
    {1, Family::Volt,    3, {{{DC_LAB1, u"1000V"}, {std::nullopt, u"750V"}}}},
    {1, Family::Current, 0, {{{T_min_LAB1, u"1mA"}, {std::nullopt, u"1A"}}}},
    {1, Family::Current, 1, {{{std::nullopt, u"10A"}}}},
    {1, Family::Current, 2, {{{T_u_LAB1, u"100uA"}, {T_min_LAB1, u"10mA"}, {std::nullopt, u"10A"}}}},
    {1, Family::Current, 3, {{{std::nullopt, u"100mA"}}}},
    {1, Family::Ohm,     1, {{{std::nullopt, u"1M"}}}},
    {1, Family::Ohm,     2, {{{T_K_LAB1, u"10K"}, {std::nullopt, u"10M"}}}},
    {1, Family::Ohm,     3, {{{T_K_LAB1, u"100K"}, {T_M_LAB1, u"100M"}, {std::nullopt, u"100"}}}},
    {1, Family::Ohm,     4, {{{std::nullopt, u"1K"}}}},
    {2, Family::Volt,    0, {{{std::nullopt, u"1V"}}}},
    {2, Family::Volt,    1, {{{std::nullopt, u"10V"}}}},
    {2, Family::Volt,    2, {{{T_min_LAB2, u"100mV"}, {std::nullopt, u"100V"}}}},
    {2, Family::Volt,    3, {{{DC_LAB2, u"1000V"}, {std::nullopt, u"750V"}}}},
    {2, Family::Ohm,     0, {{{std::nullopt, u"1M"}}}},
    {2, Family::Ohm,     1, {{{T_K_LAB2, u"10K"}, {std::nullopt, u"10M"}}}},
    {2, Family::Ohm,     2, {{{T_K_LAB2, u"100K"}, {T_M_LAB2, u"100M"}, {std::nullopt, u"100"}}}},
    {2, Family::Ohm,     3, {{{std::nullopt, u"1K"}}}},
    {2, Family::Current, 1, {{{T_min_LAB2, u"10mA"}, {std::nullopt, u"10A"}}}},
    {2, Family::Current, 2, {{{std::nullopt, u"100mA"}}}},
};

// The input range of frequency and period, as the instrument names it.
struct InputRange
{
    const char16_t *reply;
    const char16_t *label;
};
constexpr InputRange kInputRanges[] = {
    {u"0.1", u"100mV"}, {u"1", u"1V"}, {u"10", u"10V"}, {u"100", u"100V"}, {u"750", u"750V"},
};

std::optional<Family> familyOf(QStringView mode)
{
    for (const FamilyRow &row : kFamilies)
        if (mode == QStringView(row.mode))
            return row.family;
    return std::nullopt;
}

int firstLitPoint(const display::DisplayModel &d, Points row, int searched)
{
    for (int i = 0; i < searched; ++i)
        if (d.isLit(row, i))
            return i;
    return searched;
}

const char16_t *labelAt(const display::DisplayModel &d, int displayNo, Family family, int point)
{
    for (const PointRow &row : kPointRows) {
        if (row.displayNo != displayNo || row.family != family || row.point != point)
            continue;
        for (const LabelRule &rule : row.rules)
            if (rule.label && (!rule.when || d.isLit(*rule.when)))
                return rule.label;
    }
    return nullptr;
}

// Asks the instrument for the input range of frequency or period.
bool askInputRange(Panel &p)
{
    if (!p.state.REMOTE_OK)
        return true;
    const std::optional<QString> reply = keyAsk(p, QStringLiteral("conf:rang?\\10"));
    if (!reply)
        return false;
    // The reply keeps its CR; without it, a bare number or any other text.
    QString label = reply->chopped(1);
    for (const InputRange &range : kInputRanges)
        if (label == QStringView(range.reply))
            label = QString::fromUtf16(range.label);
    p.state.MODE1_RANGE = label;
    return true;
}

} // namespace

bool askRange1(Panel &p, QStringView key, bool *named)
{
    *named = false;
    const std::optional<QString> reply = keyAsk(p, QStringLiteral("conf:rang?\\10"));
    if (!reply)
        return false;
    const QString text = reply->chopped(1);
    const std::optional<QString> label = shell::display1RangeLabel(p.state.MODE1, text);
    if (!label) {
        shell::reportUnnamedRange(p, key, text, p.state.MODE1);
        return true;
    }
    p.state.MODE1_RANGE = *label;
    *named = true;
    return true;
}

bool AUTO_IMG_ENTER(Panel &p)
{
    display::DisplayModel::Batch batch(p.display);
    if (p.display.isLit(SHIFT_LAB))
        return stepRate(p);
    if (p.display.isLit(ND2_LAB))
        return autoRange2(p);
    return autoRange1(p);
}

bool AUTO_OFF(Panel &p)
{
    const display::DisplayModel &d = p.display;
    shell::PanelState &s = p.state;
    const bool second = d.isLit(ND2_LAB);
    const std::optional<Family> family = familyOf(second ? s.MODE2 : s.MODE1);
    if (!family)
        return true;
    if (*family == Family::Frequency)
        return second || askInputRange(p);  // display 2 asks nothing
    // The zeros a function key leaves sit where auto range starts, not on
    // the range in force: without a reading the instrument is asked.
    if (!second && !s.reading1Shown && s.REMOTE_OK) {
        bool named = false;
        return askRange1(p, u"AUTO", &named);
    }
    const int point = second ? firstLitPoint(d, Points::DROP_IMG2, 4)
                             : firstLitPoint(d, Points::DROP_IMG, 5);
    if (const char16_t *label = labelAt(d, second ? 2 : 1, *family, point))
        (second ? s.MODE2_RANGE : s.MODE1_RANGE) = QString::fromUtf16(label);
    return true;
}

} // namespace keys
