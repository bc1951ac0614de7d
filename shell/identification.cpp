#include "shell/identification.h"

#include "shell/identity_reply.h"

#include "display/glyph_words.h"
#include "display/range_words.h"
#include "display/unit_lamps.h"
#include "core/link_gate.h"
#include "core/panel.h"
#include "platform/runtime.h"
#include "shell/speed_check.h"

#include <array>
#include <optional>

using display::Lamp;
using display::Points;
using display::Positions;
using display::Symbol;

namespace shell {
namespace {

using display::Prefix;

using display::rangeWord;
using display::Word;

// ---- Display 2 --------------------------------------------------------------

struct Display2Function
{
    const char16_t *reply;     // "conf2:func?" without its terminator
    const char16_t *mode;      // MODE2
    std::optional<Lamp> modeLamp;
    Lamp unitLamp;
    const char16_t *ranges;    // rows of kDisplay2RangeReplies, or nullptr
    int point;                 // fixed point of a function without ranges, or -1
};

// Frequency, period and 4-wire resistance come as the instrument's function
// numbers; the other numbers it may send name nothing the panel shows.
constexpr Display2Function kDisplay2Functions[] = {
    {u"VOLT",    u"DCV", Lamp::DC_LAB2,    Lamp::T_V_LAB2,  u"DCV", -1},
    {u"VOLT:AC", u"ACV", Lamp::AC_LAB2,    Lamp::T_V_LAB2,  u"ACV", -1},
    {u"CURR",    u"DCI", Lamp::DC_LAB2,    Lamp::T_A_LAB2,  u"DCI", -1},
    {u"CURR:AC", u"ACI", Lamp::AC_LAB2,    Lamp::T_A_LAB2,  u"ACI", -1},
    {u"RES",     u"2W",  Lamp::W2_LAB2,    Lamp::T_R_LAB2,  u"R",   -1},
    {u"8",       u"Hz",  std::nullopt,     Lamp::T_Hz_LAB2, nullptr, 3},
    {u"14",      u"P",   std::nullopt,     Lamp::T_S_LAB2,  nullptr, 3},
    {u"16",      u"4W",  Lamp::W4_LAB2,    Lamp::T_R_LAB2,  u"R",   -1},
};

struct Display2Range
{
    const char16_t *ranges;
    const char16_t *text;   // "conf2:rang?" without its terminator; "111" = automatic
    const char16_t *label;  // MODE2_RANGE; nullptr keeps "AUTO"
    Prefix prefix;
    int point;              // element of DROP_IMG2
};

// Display 2 codes DC current two decades lower than display 1 and
// resistance by its step. AC current has no automatic row: no prefix and
// no point then.
constexpr Display2Range kDisplay2RangeReplies[] = {
    {u"DCV", u"0.1",      u"100mV", Prefix::Milli, 2},
    {u"DCV", u"1",        u"1V",    Prefix::None,  0},
    {u"DCV", u"10",       u"10V",   Prefix::None,  1},
    {u"DCV", u"100",      u"100V",  Prefix::None,  2},
    {u"DCV", u"1000",     u"1000V", Prefix::None,  3},
    {u"DCV", u"111",      nullptr,  Prefix::Milli, 2},
    {u"ACV", u"0.1",      u"100mV", Prefix::Milli, 2},
    {u"ACV", u"1",        u"1V",    Prefix::None,  0},
    {u"ACV", u"10",       u"10V",   Prefix::None,  1},
    {u"ACV", u"100",      u"100V",  Prefix::None,  2},
    {u"ACV", u"750",      u"750V",  Prefix::None,  3},
    {u"ACV", u"111",      nullptr,  Prefix::Milli, 2},
    {u"DCI", u"0.000001", u"100uA", Prefix::Micro, 2},
    {u"DCI", u"0.00001",  u"1mA",   Prefix::Milli, 0},
    {u"DCI", u"0.0001",   u"10mA",  Prefix::Milli, 1},
    {u"DCI", u"0.001",    u"10mA",  Prefix::Milli, 1},
    {u"DCI", u"0.01",     u"10mA",  Prefix::Milli, 1},
    {u"DCI", u"0.1",      u"100mA", Prefix::Milli, 2},
    {u"DCI", u"1",        u"1A",    Prefix::None,  1},
    {u"DCI", u"10",       u"10A",   Prefix::None,  1},
    {u"DCI", u"111",      nullptr,  Prefix::Milli, 1},
    {u"ACI", u"0.001",    u"1mA",   Prefix::Milli, 0},
    {u"ACI", u"0.01",     u"10mA",  Prefix::Milli, 1},
    {u"ACI", u"0.1",      u"100mA", Prefix::Milli, 2},
    {u"ACI", u"1",        u"1A",    Prefix::None,  1},
    {u"ACI", u"10",       u"10A",   Prefix::None,  1},
    {u"R",   u"1",        u"100",   Prefix::None,  2},
    {u"R",   u"2",        u"1K",    Prefix::None,  3},
    {u"R",   u"3",        u"10K",   Prefix::Kilo,  1},
    {u"R",   u"4",        u"100K",  Prefix::Kilo,  2},
    {u"R",   u"5",        u"1M",    Prefix::Mega,  0},
    {u"R",   u"6",        u"10M",   Prefix::Mega,  1},
    {u"R",   u"7",        u"100M",  Prefix::Mega,  2},
    {u"R",   u"111",      nullptr,  Prefix::Mega,  2},
};

// ---- Display 1 --------------------------------------------------------------

struct Display1Function
{
    const char16_t *mode;  // MODE1; u"TEMP" = the temperature branch
    std::optional<Lamp> modeLamp;
    std::optional<Lamp> unitLamp;
    std::optional<Symbol> symbol;
    bool ranged;           // its range rows are kDisplay1RangeReplies under its mode
    int point;             // fixed point of a function without ranges
    Word word;             // fixed word of a function without ranges
};

constexpr Display1Function kDisplay1Functions[] = {
    {u"ACV",     Lamp::AC_LAB1,   Lamp::T_V_LAB1, std::nullopt,        true,  -1, {}},
    {u"ACI",     Lamp::AC_LAB1,   Lamp::T_A_LAB1, std::nullopt,        true,  -1, {}},
    {u"DCV",     Lamp::DC_LAB1,   Lamp::T_V_LAB1, std::nullopt,        true,  -1, {}},
    {u"DCI",     Lamp::DC_LAB1,   Lamp::T_A_LAB1, std::nullopt,        true,  -1, {}},
    {u"2W",      Lamp::W2_LAB1,   Lamp::T_R_LAB1, std::nullopt,        true,  -1, {}},
    {u"4W",      Lamp::W4_LAB1,   Lamp::T_R_LAB1, std::nullopt,        true,  -1, {}},
    {u"Hz",      Lamp::T_Hz_LAB1, Lamp::T_K_LAB1, std::nullopt,        false, 2, {u"", u"F", u"R", u"E", u"Q", u""}},
    {u"DIODE",   std::nullopt,    Lamp::T_V_LAB1, Symbol::DIODE_IMG,   false, 0, {u"", u"D", u"I", u"O", u"D", u"E"}},
    {u"CONTINU", std::nullopt,    Lamp::T_R_LAB1, Symbol::CONTINU_IMG, false, 3, {u"", u"C", u"O", u"N", u"T", u""}},
    {u"P",       std::nullopt,    Lamp::T_S_LAB1, std::nullopt,        false, 2, {u"P", u"E", u"R", u"I", u"O", u"D"}},
    {u"TEMP",    std::nullopt,    std::nullopt,   std::nullopt,        false, 3, {}},
};

// How the "conf:func?" reply F names a function. A reply longer than five
// characters is told by its characters 6-7 (and, for AC, whether it starts
// "VOLT"); a shorter one by how it starts. "FRES" comes before "FRE".
struct FunctionMatch
{
    bool longReply;
    const char16_t *key;    // characters 6-7, or the start of a short reply
    const char16_t *start;  // a long reply also starts so
    const char16_t *mode;   // row of kDisplay1Functions
};

constexpr FunctionMatch kFunctionMatches[] = {
    {true,  u"AC",   u"VOLT", u"ACV"},
    {true,  u"AC",   u"",     u"ACI"},
    {true,  u"TC",   u"",     u"TEMP"},
    {false, u"VOL",  u"",     u"DCV"},
    {false, u"CUR",  u"",     u"DCI"},
    {false, u"RES",  u"",     u"2W"},
    {false, u"FRES", u"",     u"4W"},
    {false, u"FRE",  u"",     u"Hz"},
    {false, u"DIO",  u"",     u"DIODE"},
    {false, u"CON",  u"",     u"CONTINU"},
    {false, u"PER",  u"",     u"P"},
};

struct Display1Range
{
    const char16_t *mode;
    const char16_t *text;   // "conf:rang?" without its terminator; "111" = automatic
    const char16_t *label;  // MODE1_RANGE; nullptr keeps "AUTO"
    Prefix prefix;
    int point;              // element of DROP_IMG
    Word word;              // spelled on display 2 while it is off
};

// Three AC ranges are spelled here apart from their range words: 100 mV one
// position to the left, 10 mA and 100 mA with leading zeros.
constexpr Word kAc100mVWord = {u"1", u"0", u"0", u"",  u"M2", u"V"};
constexpr Word kAc10mAWord  = {u"",  u"0", u"1", u"0", u"M2", u"A"};
constexpr Word kAc100mAWord = {u"0", u"1", u"0", u"0", u"M2", u"A"};

// The AC functions and 4-wire put the point one position further right
// than DC and 2-wire (4-wire at 1K two): display 1 shows them with another
// number of digits.
constexpr Display1Range kDisplay1RangeReplies[] = {
    {u"ACV", u"0.1",    u"100mV", Prefix::Milli, 3, kAc100mVWord},
    {u"ACV", u"1",      u"1V",    Prefix::None,  1, rangeWord(u"1V")},
    {u"ACV", u"10",     u"10V",   Prefix::None,  2, rangeWord(u"10V")},
    {u"ACV", u"100",    u"100V",  Prefix::None,  3, rangeWord(u"100V")},
    {u"ACV", u"750",    u"750V",  Prefix::None,  4, rangeWord(u"750V")},
    {u"ACV", u"111",    nullptr,  Prefix::Milli, 3, rangeWord(u"100mV")},
    {u"DCV", u"0.1",    u"100mV", Prefix::Milli, 2, rangeWord(u"100mV")},
    {u"DCV", u"1",      u"1V",    Prefix::None,  0, rangeWord(u"1V")},
    {u"DCV", u"10",     u"10V",   Prefix::None,  1, rangeWord(u"10V")},
    {u"DCV", u"100",    u"100V",  Prefix::None,  2, rangeWord(u"100V")},
    {u"DCV", u"1000",   u"1000V", Prefix::None,  3, rangeWord(u"1000V")},
    {u"DCV", u"111",    nullptr,  Prefix::Milli, 2, rangeWord(u"100mV")},
    {u"ACI", u"0.001",  u"1mA",   Prefix::Milli, 1, rangeWord(u"1mA")},
    {u"ACI", u"0.01",   u"10mA",  Prefix::Milli, 2, kAc10mAWord},
    {u"ACI", u"0.1",    u"100mA", Prefix::Milli, 3, kAc100mAWord},
    {u"ACI", u"1",      u"1A",    Prefix::None,  1, rangeWord(u"1A")},
    {u"ACI", u"10",     u"10A",   Prefix::None,  2, rangeWord(u"10A")},
    {u"ACI", u"111",    nullptr,  Prefix::Milli, 1, rangeWord(u"1mA")},
    {u"DCI", u"0.0001", u"100uA", Prefix::Micro, 2, rangeWord(u"100uA")},
    {u"DCI", u"0.001",  u"1mA",   Prefix::Milli, 0, rangeWord(u"1mA")},
    {u"DCI", u"0.01",   u"10mA",  Prefix::Milli, 1, rangeWord(u"10mA")},
    {u"DCI", u"0.1",    u"100mA", Prefix::Milli, 2, rangeWord(u"100mA")},
    {u"DCI", u"1",      u"1A",    Prefix::None,  0, rangeWord(u"1A")},
    {u"DCI", u"10",     u"10A",   Prefix::None,  1, rangeWord(u"10A")},
    {u"DCI", u"111",    nullptr,  Prefix::Micro, 2, rangeWord(u"100uA")},
    {u"2W",  u"10E2",   u"100",   Prefix::None,  2, rangeWord(u"100")},
    {u"2W",  u"10E3",   u"1K",    Prefix::None,  0, rangeWord(u"1K")},
    {u"2W",  u"10E4",   u"10K",   Prefix::Kilo,  1, rangeWord(u"10K")},
    {u"2W",  u"10E5",   u"100K",  Prefix::Kilo,  2, rangeWord(u"100K")},
    {u"2W",  u"10E6",   u"1M",    Prefix::Mega,  0, rangeWord(u"1M")},
    {u"2W",  u"10E7",   u"10M",   Prefix::Mega,  1, rangeWord(u"10M")},
    {u"2W",  u"10E8",   u"100M",  Prefix::Mega,  2, rangeWord(u"100M")},
    {u"2W",  u"111",    nullptr,  Prefix::Kilo,  2, rangeWord(u"100K")},
    {u"4W",  u"10E2",   u"100",   Prefix::None,  3, rangeWord(u"100")},
    {u"4W",  u"10E3",   u"1K",    Prefix::None,  4, rangeWord(u"1K")},
    {u"4W",  u"10E4",   u"10K",   Prefix::Kilo,  2, rangeWord(u"10K")},
    {u"4W",  u"10E5",   u"100K",  Prefix::Kilo,  3, rangeWord(u"100K")},
    {u"4W",  u"10E6",   u"1M",    Prefix::Mega,  1, rangeWord(u"1M")},
    {u"4W",  u"10E7",   u"10M",   Prefix::Mega,  2, rangeWord(u"10M")},
    {u"4W",  u"10E8",   u"100M",  Prefix::Mega,  3, rangeWord(u"100M")},
    {u"4W",  u"111",    nullptr,  Prefix::Mega,  3, rangeWord(u"100K")},
};

// The range codes a current range reply may be besides a full scale.
struct CurrentCode
{
    double code;
    const char16_t *label;
};
constexpr CurrentCode kCurrentCodes[] = {
    {2, u"100mA"},
    {3, u"1A"},
};

bool isCurrent(QStringView mode)
{
    return mode == u"ACI" || mode == u"DCI";
}

// The automatic row's text: never a range the instrument is on.
constexpr char16_t kAutomaticText[] = u"111";

// The row of display 1's range text in function `mode`. Current texts are
// read as numbers, so a range comes in any number form or as its code.
const Display1Range *display1Range(QStringView mode, QStringView text)
{
    std::optional<QString> label;
    if (isCurrent(mode) && text != QStringView(kAutomaticText)) {
        label = currentRangeLabel(mode, text);
        if (!label)
            return nullptr;
    }
    for (const Display1Range &row : kDisplay1RangeReplies) {
        if (mode != QStringView(row.mode))
            continue;
        if (label ? row.label && *label == QStringView(row.label) : text == QStringView(row.text))
            return &row;
    }
    return nullptr;
}

// ---- Helpers ----------------------------------------------------------------

void light(Panel &p, std::optional<Lamp> lamp)
{
    if (lamp)
        p.display.setLit(*lamp, true);
}


void drawAll(Panel &p, Positions row, QStringView glyph)
{
    for (int i = 0; i < display::DisplayModel::count(row); ++i)
        p.display.draw(row, i, glyph);
}

// The exchange the identification made last, so a failure can say where
// and how it stopped.
struct LastExchange
{
    QString command;
    std::optional<QString> reply;  // what came, when the query was answered
    QString error;                 // the channel's account otherwise
};
LastExchange g_last;

bool sendId(Panel &p, const QString &command)
{
    g_last = {command, std::nullopt, {}};
    const bool sent = send(p, command, Sender::Always);
    if (!sent)
        g_last.error = p.link.lastErrorText();
    return sent;
}

std::optional<QString> askId(Panel &p, const QString &query)
{
    g_last = {query, std::nullopt, {}};
    g_last.reply = ask(p, query, Sender::Always);
    if (!g_last.reply)
        g_last.error = p.link.lastErrorText();
    return g_last.reply;
}

// The reply without its last character (the terminator); an empty reply
// has none to lose.
std::optional<QString> dropLast(const std::optional<QString> &reply)
{
    if (!reply || reply->isEmpty())
        return std::nullopt;
    return reply->chopped(1);
}

// Whether a reply, still carrying its CR, is a number other than 0. A reply
// that is no number ends the dialogue.
std::optional<bool> nonZero(const std::optional<QString> &reply)
{
    if (!reply)
        return std::nullopt;
    const std::optional<double> value = rt::toNumber(*reply);
    if (!value)
        return std::nullopt;
    return *value != 0;
}

const Display1Function *display1Function(QStringView mode)
{
    for (const Display1Function &row : kDisplay1Functions)
        if (mode == QStringView(row.mode))
            return &row;
    return nullptr;
}

const Display1Function *matchDisplay1(const QString &F)
{
    const bool longReply = F.size() > 5;
    const QString pair = rt::mid(F, 6, 2).value_or(QString());
    for (const FunctionMatch &m : kFunctionMatches) {
        if (m.longReply != longReply)
            continue;
        const bool hit = longReply ? pair == QStringView(m.key) && F.startsWith(QStringView(m.start))
                                   : F.startsWith(QStringView(m.key));
        if (hit)
            return display1Function(m.mode);
    }
    return nullptr;
}

// ---- The steps --------------------------------------------------------------

bool askIdentity(Panel &p)
{
    if (!sendId(p, QStringLiteral("TRIG:SOUR INT\\10")))
        return false;
    p.display.setLit(Lamp::RMT_LAB, true);
    // An empty identity is no instrument: whatever answered, the link is
    // not established.
    const std::optional<QString> reply = askId(p, QStringLiteral("*IDN?\\10"));
    if (!reply || !replyHasContent(*reply))
        return false;
    const std::optional<QString> idn = dropLast(reply);
    p.controls.CHK_COM_TF.enabled = false;
    p.state.REMOTE_OK = true;

    // Maker, model, serial, version: each cut takes the text right of the
    // next comma; a reply without commas stays whole.
    auto cut = [](const QString &text) {
        return rt::right(text, text.size() - text.indexOf(u',') - 1).value_or(text);
    };
    if (p.state.BRAND_CODE == u"VX")
        p.controls.VER_LAB = *idn;
    QString rest = cut(*idn);
    if (p.state.BRAND_CODE == u"QD") {
        const std::optional<QString> model = rt::left(rest, rest.indexOf(u','));
        if (!model)
            return false;  // too short for the model field
        p.controls.VER_LAB = *model;
    }
    p.state.FW_VERSION = firmwareVersion(*idn);
    return true;
}

bool askFilter(Panel &p)
{
    const std::optional<bool> on = nonZero(askId(p, QStringLiteral("sens:aver:stat?\\10")));
    if (!on)
        return false;
    p.display.setLit(Lamp::FILT_LAB, *on);
    return true;
}

bool askScanner(Panel &p)
{
    const std::optional<QString> reply = askId(p, QStringLiteral("ROUT:STAT?\\10"));
    if (!reply)
        return false;
    if (rt::numberText(rt::leadingNumber(*reply)) != u"1")
        return true;
    // The scanner is fitted. It leaves its own function only while no view
    // of REL, MIN or MAX depends on it.
    const display::DisplayModel &d = p.display;
    if (!d.isLit(Lamp::REL_LAB) && !d.isLit(Lamp::MIN_LAB) && !d.isLit(Lamp::MAX_LAB)
        && !sendId(p, QStringLiteral("rout:func OFF\\10")))
        return false;
    // SHIFT with ACV or DCV opens the scanner now; the blue legends say so.
    p.state.scannerReported = true;
    p.controls.MODE_TEXT[0].color = kLegendBlue;
    p.controls.MODE_TEXT[1].color = kLegendBlue;
    return true;
}

bool askTriggerSource(Panel &p)
{
    const std::optional<QString> reply = askId(p, QStringLiteral("trig:sour?\\10"));
    if (!reply)
        return false;
    p.state.IDN_REPLY = rt::left(*reply, 2).value_or(QString());
    p.display.setLit(Lamp::EXT_LAB, p.state.IDN_REPLY == u"EX");
    return true;
}

// Display 2's function and range; *function receives the function reply.
bool askDisplay2(Panel &p, QString *function)
{
    const std::optional<QString> reply = dropLast(askId(p, QStringLiteral("conf2:func?\\10")));
    if (!reply)
        return false;
    *function = *reply;
    if (*function == u"NON")
        return true;  // display 2 is off: nothing of it changes

    p.state.MODE2_ON = true;
    const std::optional<QString> autoReply = dropLast(askId(p, QStringLiteral("conf2:auto?\\10")));
    if (!autoReply)
        return false;
    drawAll(p, Positions::DIS2_IMG, u"O");
    const std::optional<bool> automatic = nonZero(autoReply);
    if (!automatic)
        return false;
    QString rangeText;
    if (*automatic) {
        rangeText = QStringLiteral("111");
        p.state.MODE2_RANGE = QStringLiteral("AUTO");
        p.display.setLit(Lamp::AUTO_LAB2, true);
    } else {
        // The range comes with its terminator like every reply; compared
        // with it, a fixed range would never be found.
        const std::optional<QString> range = dropLast(askId(p, QStringLiteral("conf2:rang?\\10")));
        if (!range)
            return false;
        rangeText = *range;
    }

    for (const Display2Function &f : kDisplay2Functions) {
        if (*function != QStringView(f.reply))
            continue;
        p.state.MODE2 = QString::fromUtf16(f.mode);
        light(p, f.modeLamp);
        light(p, f.unitLamp);
        if (f.point >= 0)
            p.display.setLit(Points::DROP_IMG2, f.point, true);
        if (!f.ranges)
            break;
        for (const Display2Range &r : kDisplay2RangeReplies) {
            if (QStringView(r.ranges) != QStringView(f.ranges) || rangeText != QStringView(r.text))
                continue;
            if (r.label)
                p.state.MODE2_RANGE = QString::fromUtf16(r.label);
            display::lightPrefix(p.display, r.prefix, 2);
            p.display.setLit(Points::DROP_IMG2, r.point, true);
            break;
        }
        break;
    }
    return true;
}

bool askTemperature(Panel &p, bool display2Off)
{
    p.display.setLit(Points::DROP_IMG, 3, true);
    p.state.MODE1_RANGE.clear();
    const std::optional<QString> unit = dropLast(askId(p, QStringLiteral("UNIT?\\10")));
    if (!unit)
        return false;
    const bool celsius = *unit == u"C";
    p.state.MODE1 = celsius ? QStringLiteral("C") : QStringLiteral("F");
    p.display.setLit(celsius ? Lamp::T_C_LAB1 : Lamp::T_F_LAB1, true);
    if (!display2Off)
        return true;
    const std::optional<QString> type = dropLast(askId(p, QStringLiteral("sens:temp:tco:type?\\10")));
    if (!type)
        return false;
    const QString letter = rt::left(*type, 1).value_or(QString());
    display::DIS2_SHOW_RANGE(p.display, u"T", u"Y", u"P", u"E", u"", letter);
    return true;
}

bool askDisplay1(Panel &p, bool display2Off)
{
    const std::optional<QString> autoReply = askId(p, QStringLiteral("conf:auto?\\10"));
    if (!autoReply)
        return false;
    drawAll(p, Positions::DIS1_IMG, u"O");
    const std::optional<bool> automatic = nonZero(autoReply);  // its CR counts as a blank
    if (!automatic)
        return false;
    QString rangeText;
    if (*automatic) {
        rangeText = QStringLiteral("111");
        p.state.MODE1_RANGE = QStringLiteral("AUTO");
        p.display.setLit(Lamp::AUTO_LAB1, true);
    } else {
        const std::optional<QString> range = dropLast(askId(p, QStringLiteral("conf:rang?\\10")));
        if (!range)
            return false;
        rangeText = *range;
    }

    const std::optional<QString> F = dropLast(askId(p, QStringLiteral("conf:func?\\10")));
    if (!F)
        return false;
    const Display1Function *f = matchDisplay1(*F);
    if (!f)
        return true;  // a function the panel does not show: nothing is set
    if (f->mode == QStringView(u"TEMP"))
        return askTemperature(p, display2Off);

    p.state.MODE1 = QString::fromUtf16(f->mode);
    light(p, f->modeLamp);
    light(p, f->unitLamp);
    if (f->symbol)
        p.display.setLit(*f->symbol, true);
    if (f->ranged) {
        if (const Display1Range *r = display1Range(p.state.MODE1, rangeText)) {
            if (r->label)
                p.state.MODE1_RANGE = QString::fromUtf16(r->label);
            display::lightPrefix(p.display, r->prefix, 1);
            p.display.setLit(Points::DROP_IMG, r->point, true);
            if (display2Off)
                display::spell(p.display, r->word);
        }
    } else {
        p.display.setLit(Points::DROP_IMG, f->point, true);
        if (display2Off)
            display::spell(p.display, f->word);
    }
    // The AC functions read at the slow detector band from here on.
    if (f->modeLamp == Lamp::AC_LAB1 && !sendId(p, QStringLiteral("sens:det:band 3\\10")))
        return false;
    return true;
}

// Display 1 reads 000000.0: the instrument did not answer as it should.
void identificationFailed(Panel &p)
{
    const QString asked = rt::trimSpaces(QString(g_last.command).remove(QStringLiteral("\\10")));
    QString how;
    if (!g_last.reply)
        how = g_last.error.isEmpty() ? QStringLiteral("it was not sent") : g_last.error;
    else if (rt::trimSpaces(g_last.reply->chopped(1)).isEmpty())
        how = QStringLiteral("the reply was empty");
    else
        how = QStringLiteral("the reply \"%1\" is cut or garbled").arg(g_last.reply->chopped(1));
    p.status.append(QStringLiteral("The instrument was not identified: \"%1\" failed, %2").arg(asked, how));
    p.link.Reset();
    drawAll(p, Positions::DIS1_IMG, u"0");
    p.display.setLit(Points::DROP_IMG, 5, true);
}

} // namespace

void RDX_INF_TEST(Panel &p)
{
    g_last = {};
    p.state.reading1Shown = false;  // display 1 gets the glyphs "O", or 000000.0
    display::DisplayModel::Batch batch(p.display);
    QString display2Function;
    const bool answered = askIdentity(p) && askFilter(p) && askScanner(p) && askTriggerSource(p)
                          && askDisplay2(p, &display2Function)
                          && askDisplay1(p, display2Function == u"NON");
    p.controls.touch();
    if (!answered)
        return identificationFailed(p);
    // The list follows the rate lamps as they were before this check.
    rebuildSpeedList(p);
    SPEED_CHK(p);
}

std::optional<QString> currentRangeLabel(QStringView mode, QStringView reply)
{
    if (!isCurrent(mode))
        return std::nullopt;
    const std::optional<double> value = rt::toNumber(reply);
    if (!value)
        return std::nullopt;
    for (const CurrentCode &c : kCurrentCodes)
        if (*value == c.code)
            return QString::fromUtf16(c.label);
    for (const Display1Range &row : kDisplay1RangeReplies)
        if (mode == QStringView(row.mode) && row.label && rt::toNumber(row.text) == value)
            return QString::fromUtf16(row.label);
    return std::nullopt;
}

std::optional<QString> display1RangeLabel(QStringView mode, QStringView text)
{
    const Display1Range *row = display1Range(mode, text);
    if (!row || !row->label)
        return std::nullopt;
    return QString::fromUtf16(row->label);
}

void reportUnnamedRange(Panel &p, QStringView key, QStringView reply, QStringView mode)
{
    p.status.append(QStringLiteral("%1 key: \"conf:rang?\" answered \"%2\", which names no %3 range; "
                                   "the panel cannot name the range the instrument is on.")
                        .arg(key, reply, mode));
}

} // namespace shell
