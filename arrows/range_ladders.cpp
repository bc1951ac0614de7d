#include "arrows/range_ladders.h"

#include "core/panel.h"
#include "display/glyph_words.h"
#include "display/range_words.h"
#include "display/unit_lamps.h"
#include "keys/key_exchange.h"
#include "keys/shift_key.h"
#include "platform/runtime.h"
#include "shell/identification.h"

#include <optional>
#include <span>

namespace arrows {

namespace {

using display::DisplayModel;
using display::Lamp;
using display::Points;
using display::Positions;
using display::Prefix;

// ---- words spelled on display 2 -------------------------------------------------

// 100 ohms reached from 1K drawn as point 0 shows a lit blank before the sign.
constexpr display::Word kHundredOhmBlank = {u"", u"1", u"0", u"0", u" ", u"ohm"};

void spellRange(DisplayModel &d, QStringView label)
{
    if (const display::Word *word = display::findRangeWord(label))
        display::spell(d, *word);
}

// ---- the shared steps of every ladder ---------------------------------------------

enum class Word : char { None, Label, HundredOhmBlank };

// What a row does before its command; the rest follows it.
enum class First : char {
    Nothing,  // command, point, label, word, lamps
    Point,    // point, label, word, command, lamps
    Lamps,    // lamps, command, point, label, word
};

constexpr int kKeep = -1;  // the point stays as it is
constexpr int kNone = -2;  // no point lit

// Two commands of an end step are one text split at '|'.
bool sendAll(Panel &p, const char16_t *commands)
{
    if (!commands)
        return true;
    for (const QString &command : QString::fromUtf16(commands).split(u'|'))
        if (!keys::keySend(p, command))
            return false;
    return true;
}

Points pointsOf(int displayNo)
{
    return displayNo == 2 ? Points::DROP_IMG2 : Points::DROP_IMG;
}

QString &rangeOf(Panel &p, int displayNo)
{
    return displayNo == 2 ? p.state.MODE2_RANGE : p.state.MODE1_RANGE;
}

void clear(Panel &p, int displayNo, bool single)
{
    if (displayNo == 2) {
        display::ClearDIS2(p.display);
        return;
    }
    display::ClearDIS1(p.display);
    if (single)
        display::ClearDIS2(p.display);
}

// Every digit of the display as 0, lit; the next reading draws over them.
void drawZeros(Panel &p, int displayNo)
{
    if (displayNo == 1)
        p.state.reading1Shown = false;
    const Positions row = displayNo == 2 ? Positions::DIS2_IMG : Positions::DIS1_IMG;
    for (int k = 0; k < DisplayModel::count(row); ++k)
        p.display.draw(row, k, u"0");
}

void setPrefix(Panel &p, Prefix prefix, int displayNo, bool lit)
{
    if (const std::optional<Lamp> lamp = display::prefixLamp(prefix, displayNo))
        p.display.setLit(*lamp, lit);
}

void movePoint(Panel &p, int displayNo, int from, int to)
{
    if (to == kKeep)
        return;
    const Points points = pointsOf(displayNo);
    if (from >= 0)
        p.display.setLit(points, from, false);
    if (to >= 0)
        p.display.setLit(points, to, true);
}

// ---- ladders read off the points --------------------------------------------------

enum class Lit : char { Any, Dark, On };

// The label a row writes when it names two: the AC (2-wire) one or the DC
// one, chosen by the command's own lamp or by the DC lamp.
enum class LabelBy : char { CommandLamp, DcLamp };

struct PointRow
{
    int point;                  // lowest lit point; kNone: no point, or one no row names
    Lit milli, kilo, mega;      // prefix lamps the row needs
    bool clear;
    const char16_t *a, *b;      // AC or 2-wire command, DC or 4-wire; two split at '|'
    First first;
    int to;                     // new point, kKeep or kNone
    Prefix off, on;             // prefix lamps darkened, lit
    const char16_t *labelA, *labelB;  // new label (one for both when labelB is null); null: kept
    LabelBy by;
    bool labelNeedsLink;        // the label changes only with the link up
    Word word;
    bool zeros;
};

constexpr auto Y = true, N = false;
constexpr Lit A_ = Lit::Any, D_ = Lit::Dark, L_ = Lit::On;
constexpr Prefix no = Prefix::None, mu = Prefix::Micro, mi = Prefix::Milli, ki = Prefix::Kilo,
                 me = Prefix::Mega;
constexpr First F0 = First::Nothing, FP = First::Point, FL = First::Lamps;
constexpr LabelBy byCmd = LabelBy::CommandLamp, byDc = LabelBy::DcLamp;
constexpr Word W0 = Word::None, WL = Word::Label, WB = Word::HundredOhmBlank;

// Display 1, voltage. The point sits after digit k; 2 with m lit is 100 mV.
// The top range keeps its point when UP sends it again, so DOWN steps from it.
constexpr PointRow kVolt1UpPaired[] = {
    // pt  m   k   M   clr  AC / DC                                                   first to     off on  label                 by    link word zeros
    {0,    A_, A_, A_, Y, u"conf:volt:ac 10\\10",  u"conf:volt:dc 10\\10",             F0, 1,     no, no, u"10V",  nullptr,    byCmd, N, W0, Y},
    {1,    A_, A_, A_, Y, u"conf:volt:ac 100\\10", u"conf:volt:dc 100\\10",            F0, 2,     no, no, u"100V", nullptr,    byCmd, N, W0, Y},
    {2,    D_, A_, A_, Y, u"conf:volt:ac 750\\10", u"conf:volt:dc 1000\\10",           FP, 3,     no, no, u"750V", u"1000V",   byDc,  N, W0, Y},
    {2,    L_, A_, A_, Y, u"conf:volt:ac 1\\10",   u"conf:volt:dc 1\\10",              F0, 0,     mi, no, u"1V",   nullptr,    byCmd, N, W0, Y},
    {3,    D_, A_, A_, Y, u"conf:volt:ac 750\\10", u"conf:volt:dc 1000\\10",           F0, 3,     no, no, u"750V", u"1000V",   byCmd, N, W0, Y},
    {3,    L_, A_, A_, Y, u"conf:volt:ac 1\\10",   u"conf:volt:dc 1\\10",              F0, 0,     mi, no, u"1V",   nullptr,    byCmd, N, W0, Y},
    {4,    A_, A_, A_, N, u"conf:volt:ac 100\\10|conf:volt:ac 750\\10",
                          u"conf:volt:dc 100\\10|conf:volt:dc 1000\\10",           F0, kKeep, no, no, u"750V", u"1000V",   byCmd, Y, W0, Y},
    {kNone,A_, A_, A_, N, nullptr, nullptr,                                            F0, kKeep, no, no, nullptr, nullptr,    byCmd, N, W0, Y},
};
constexpr PointRow kVolt1UpSingle[] = {
    {0,    A_, A_, A_, Y, u"conf:volt:ac 10\\10",  u"conf:volt:dc 10\\10",             F0, 1,     no, no, u"10V",  nullptr,    byCmd, N, WL, Y},
    {1,    A_, A_, A_, Y, u"conf:volt:ac 100\\10", u"conf:volt:dc 100\\10",            F0, 2,     no, no, u"100V", nullptr,    byCmd, N, WL, Y},
    {2,    L_, A_, A_, Y, u"conf:volt:ac 1\\10",   u"conf:volt:dc 1\\10",              F0, 0,     mi, no, u"1V",   nullptr,    byCmd, N, WL, Y},
    {2,    D_, A_, A_, Y, u"conf:volt:ac 750\\10", u"conf:volt:dc 1000\\10",           FP, 3,     no, no, u"750V", u"1000V",   byDc,  N, WL, Y},
    {3,    D_, A_, A_, N, u"conf:volt:ac 750\\10", u"conf:volt:dc 1000\\10",           F0, kKeep, no, no, u"750V", u"1000V",   byCmd, N, W0, Y},
    {3,    L_, A_, A_, N, u"conf:volt:ac 1\\10",   u"conf:volt:dc 1\\10",              F0, 0,     mi, no, u"1V",   nullptr,    byCmd, N, WL, Y},
    {kNone,A_, A_, A_, N, nullptr, nullptr,                                            F0, kKeep, no, no, nullptr, nullptr,    byCmd, N, W0, Y},
};
constexpr PointRow kVolt1DownPaired[] = {
    {0,    A_, A_, A_, Y, u"conf:volt:ac 0.1\\10", u"conf:volt:dc 0.1\\10",            F0, 2,     no, mi, u"100mV", nullptr,   byCmd, N, W0, Y},
    {1,    A_, A_, A_, Y, u"conf:volt:ac 1\\10",   u"conf:volt:dc 1\\10",              F0, 0,     no, no, u"1V",    nullptr,   byCmd, N, W0, Y},
    {2,    D_, A_, A_, Y, u"conf:volt:ac 10\\10",  u"conf:volt:dc 10\\10",             F0, 1,     no, no, u"10V",   nullptr,   byCmd, N, W0, Y},
    {2,    L_, A_, A_, N, u"conf:volt:ac 1\\10|conf:volt:ac min\\10",
                          u"conf:volt:dc 1\\10|conf:volt:dc min\\10",              F0, kKeep, no, no, u"100mV", nullptr,   byCmd, N, W0, Y},
    {3,    A_, A_, A_, Y, u"conf:volt:ac 100\\10", u"conf:volt:dc 100\\10",            F0, 2,     no, no, u"100V",  nullptr,   byCmd, N, W0, Y},
    {kNone,A_, A_, A_, N, nullptr, nullptr,                                            F0, kKeep, no, no, nullptr,  nullptr,   byCmd, N, W0, Y},
};
constexpr PointRow kVolt1DownSingle[] = {
    {0,    A_, A_, A_, Y, u"conf:volt:ac 0.1\\10", u"conf:volt:dc 0.1\\10",            F0, 2,     no, mi, u"100mV", nullptr,   byCmd, N, WL, Y},
    {1,    A_, A_, A_, Y, u"conf:volt:ac 1\\10",   u"conf:volt:dc 1\\10",              F0, 0,     mi, no, u"1V",    nullptr,   byCmd, N, WL, Y},
    {2,    L_, A_, A_, Y, u"conf:volt:ac 0.1\\10", u"conf:volt:dc 0.1\\10",            F0, 2,     no, mi, u"100mV", nullptr,   byCmd, N, WL, Y},
    {2,    D_, A_, A_, Y, u"conf:volt:ac 10\\10",  u"conf:volt:dc 10\\10",             F0, 1,     mi, no, u"10V",   nullptr,   byCmd, N, WL, Y},
    {3,    A_, A_, A_, Y, u"conf:volt:ac 100\\10", u"conf:volt:dc 100\\10",            F0, 2,     mi, no, u"100V",  nullptr,   byCmd, N, WL, Y},
    {kNone,A_, A_, A_, N, nullptr, nullptr,                                            F0, kKeep, no, no, nullptr,  nullptr,   byCmd, N, W0, Y},
};

// Display 1, resistance. 1K is drawn two ways: point 3 bare, or point 0 with
// k lit; both modes light k for it, so the next step reads it as 1K.
constexpr PointRow kRes1UpPaired[] = {
    // pt  m   k   M   clr  2-wire / 4-wire                                           first to     off on  label                 by    link word zeros
    {0,    A_, D_, A_, Y, u"conf:res 10000000\\10", u"conf:fres 10000000\\10",         F0, 1,     no, no, u"10M",  nullptr,    byCmd, N, W0, Y},
    {0,    A_, L_, A_, Y, u"conf:res 10000\\10",    u"conf:fres 10000\\10",            F0, 1,     no, no, u"10K",  nullptr,    byCmd, N, W0, Y},
    {1,    A_, D_, A_, Y, u"conf:res max\\10",      u"conf:fres max\\10",              F0, 2,     no, no, u"100M", nullptr,    byCmd, N, W0, Y},
    {1,    A_, L_, A_, Y, u"conf:res 100000\\10",   u"conf:fres 100000\\10",           F0, 2,     no, no, u"100K", nullptr,    byCmd, N, W0, Y},
    {2,    A_, L_, A_, Y, u"conf:res 1000000\\10",  u"conf:fres 1000000\\10",          FL, 0,     ki, me, u"1M",   nullptr,    byCmd, N, W0, Y},
    {2,    A_, D_, D_, Y, u"conf:res 1000\\10",     u"conf:fres 1000\\10",             FL, 0,     no, ki, u"1K",   nullptr,    byCmd, N, W0, Y},
    {2,    A_, D_, L_, Y, u"conf:res 10000000\\10|conf:res max\\10",
                          u"conf:fres 10000000\\10|conf:fres max\\10",             FL, 2,     no, me, u"100M", nullptr,    byCmd, N, W0, Y},
    {3,    A_, A_, A_, Y, u"conf:res 10000\\10",    u"conf:fres 10000\\10",            FL, 1,     no, ki, u"10K",  nullptr,    byCmd, N, W0, Y},
    {kNone,A_, A_, A_, N, nullptr, nullptr,                                            F0, kKeep, no, no, nullptr, nullptr,    byCmd, N, W0, Y},
};
constexpr PointRow kRes1UpSingle[] = {
    {0,    A_, D_, A_, Y, u"conf:res 10000000\\10", u"conf:fres 10000000\\10",         F0, 1,     no, no, u"10M",  nullptr,    byCmd, N, WL, Y},
    {0,    A_, L_, A_, Y, u"conf:res 10000\\10",    u"conf:fres 10000\\10",            F0, 1,     no, no, u"10K",  nullptr,    byCmd, N, WL, Y},
    {1,    A_, D_, A_, Y, u"conf:res max\\10",      u"conf:fres max\\10",              F0, 2,     no, no, u"100M", nullptr,    byCmd, N, WL, Y},
    {1,    A_, L_, A_, Y, u"conf:res 100000\\10",   u"conf:fres 100000\\10",           F0, 2,     no, no, u"100K", nullptr,    byCmd, N, WL, Y},
    {2,    A_, L_, A_, Y, u"conf:res 1000000\\10",  u"conf:fres 1000000\\10",          FL, 0,     ki, me, u"1M",   nullptr,    byCmd, N, WL, Y},
    {2,    A_, D_, D_, Y, u"conf:res 1000\\10",     u"conf:fres 1000\\10",             FL, 0,     no, ki, u"1K",   nullptr,    byCmd, N, WL, Y},
    {2,    A_, D_, L_, Y, u"conf:res 10000000\\10|conf:res max\\10",
                          u"conf:fres 10000000\\10|conf:fres max\\10",             F0, 2,     no, no, u"100M", nullptr,    byCmd, N, WL, Y},
    {3,    A_, A_, A_, Y, u"conf:res 10000\\10",    u"conf:fres 10000\\10",            FL, 1,     no, ki, u"10K",  nullptr,    byCmd, N, WL, Y},
    {kNone,A_, A_, A_, N, nullptr, nullptr,                                            F0, kKeep, no, no, nullptr, nullptr,    byCmd, N, W0, Y},
};
constexpr PointRow kRes1DownPaired[] = {
    {0,    A_, A_, L_, Y, u"conf:res 100000\\10",   u"conf:fres 100000\\10",           FL, 2,     me, ki, u"100K", nullptr,    byCmd, N, W0, Y},
    {0,    A_, A_, D_, Y, u"conf:res 100\\10",      u"conf:fres 100\\10",              FL, 2,     ki, no, u"100",  nullptr,    byCmd, N, W0, Y},
    {1,    A_, L_, A_, Y, u"conf:res 1000\\10",     u"conf:fres 1000\\10",             F0, 0,     no, no, u"1K",   nullptr,    byCmd, N, W0, Y},
    {1,    A_, D_, A_, Y, u"conf:res 1000000\\10",  u"conf:fres 1000000\\10",          F0, 0,     no, no, u"1M",   nullptr,    byCmd, N, W0, Y},
    {2,    A_, L_, A_, Y, u"conf:res 10000\\10",    u"conf:fres 10000\\10",            F0, 1,     no, no, u"10K",  nullptr,    byCmd, N, W0, Y},
    {2,    A_, D_, L_, Y, u"conf:res 10000000\\10", u"conf:fres 10000000\\10",         F0, 1,     no, no, u"10M",  nullptr,    byCmd, N, W0, Y},
    {2,    A_, D_, D_, Y, u"conf:res 1000\\10|conf:res 100\\10",
                          u"conf:fres 1000\\10|conf:fres 100\\10",                 F0, 2,     no, no, u"100",  nullptr,    byCmd, N, W0, Y},
    {3,    A_, A_, A_, Y, u"conf:res 100\\10",      u"conf:fres 100\\10",              F0, 2,     no, no, u"100",  nullptr,    byCmd, N, W0, Y},
    {kNone,A_, A_, A_, N, nullptr, nullptr,                                            F0, kKeep, no, no, nullptr, nullptr,    byCmd, N, W0, Y},
};
constexpr PointRow kRes1DownSingle[] = {
    {0,    A_, A_, L_, Y, u"conf:res 100000\\10",   u"conf:fres 100000\\10",           FL, 2,     me, ki, u"100K", nullptr,    byCmd, N, WL, Y},
    {0,    A_, A_, D_, Y, u"conf:res 100\\10",      u"conf:fres 100\\10",              FL, 2,     ki, no, u"100",  nullptr,    byCmd, N, WB, Y},
    {1,    A_, L_, A_, Y, u"conf:res 1000\\10",     u"conf:fres 1000\\10",             F0, 0,     no, no, u"1K",   nullptr,    byCmd, N, WL, Y},
    {1,    A_, D_, A_, Y, u"conf:res 1000000\\10",  u"conf:fres 1000000\\10",          F0, 0,     no, no, u"1M",   nullptr,    byCmd, N, WL, Y},
    {2,    A_, L_, A_, Y, u"conf:res 10000\\10",    u"conf:fres 10000\\10",            F0, 1,     no, no, u"10K",  nullptr,    byCmd, N, WL, Y},
    {2,    A_, D_, L_, Y, u"conf:res 10000000\\10", u"conf:fres 10000000\\10",         F0, 1,     no, no, u"10M",  nullptr,    byCmd, N, WL, Y},
    {2,    A_, D_, D_, Y, u"conf:res 1000\\10|conf:res 100\\10",
                          u"conf:fres 1000\\10|conf:fres 100\\10",                 F0, 2,     no, no, u"100",  nullptr,    byCmd, N, WL, Y},
    {3,    A_, A_, A_, Y, u"conf:res 100\\10",      u"conf:fres 100\\10",              F0, 2,     ki, no, u"100",  nullptr,    byCmd, N, WL, Y},
    {kNone,A_, A_, A_, N, nullptr, nullptr,                                            F0, kKeep, no, no, nullptr, nullptr,    byCmd, N, W0, Y},
};

// Display 2, voltage: the 100 V step up sets its label only with the link
// up; the bottom and DOWN to 100 mV leave the digits dark.
constexpr PointRow kVolt2Up[] = {
    {0,    A_, A_, A_, Y, u"conf2:volt:ac 10\\10",  u"conf2:volt:dc 10\\10",           F0, 1,     no, no, u"10V",  nullptr,    byCmd, N, W0, Y},
    {1,    A_, A_, A_, Y, u"conf2:volt:ac 100\\10", u"conf2:volt:dc 100\\10",          F0, 2,     no, no, u"100V", nullptr,    byCmd, N, W0, Y},
    {2,    D_, A_, A_, Y, u"conf2:volt:ac 750\\10", u"conf2:volt:dc 1000\\10",         F0, 3,     no, no, u"750V", u"1000V",   byCmd, Y, W0, Y},
    {2,    L_, A_, A_, Y, u"conf2:volt:ac 1\\10",   u"conf2:volt:dc 1\\10",            F0, 0,     mi, no, u"1V",   nullptr,    byCmd, N, W0, Y},
    {3,    A_, A_, A_, N, u"conf2:volt:ac 100\\10|conf2:volt:ac 750\\10",
                          u"conf2:volt:dc 100\\10|conf2:volt:dc 1000\\10",         F0, kKeep, no, no, u"750V", u"1000V",   byCmd, Y, W0, Y},
    {kNone,A_, A_, A_, N, nullptr, nullptr,                                            F0, kKeep, no, no, nullptr, nullptr,    byCmd, N, W0, Y},
};
constexpr PointRow kVolt2Down[] = {
    {0,    A_, A_, A_, Y, u"conf2:volt:ac min\\10", u"conf2:volt:dc min\\10",          F0, 2,     no, mi, u"100mV", nullptr,   byCmd, N, W0, N},
    {1,    A_, A_, A_, Y, u"conf2:volt:ac 1\\10",   u"conf2:volt:dc 1\\10",            F0, 0,     no, no, u"1V",    nullptr,   byCmd, N, W0, Y},
    {2,    L_, A_, A_, N, u"conf2:volt:ac 1\\10|conf2:volt:ac min\\10",
                          u"conf2:volt:dc 1\\10|conf2:volt:dc min\\10",            F0, kKeep, no, no, u"100mV", nullptr,   byCmd, N, W0, N},
    {2,    D_, A_, A_, Y, u"conf2:volt:ac 10\\10",  u"conf2:volt:dc 10\\10",           F0, 1,     no, no, u"10V",   nullptr,   byCmd, N, W0, Y},
    {3,    A_, A_, A_, Y, u"conf2:volt:ac 100\\10", u"conf2:volt:dc 100\\10",          F0, 2,     no, no, u"100V",  nullptr,   byCmd, N, W0, Y},
    {kNone,A_, A_, A_, N, nullptr, nullptr,                                            F0, kKeep, no, no, nullptr,  nullptr,   byCmd, N, W0, N},
};

// Display 2, resistance.
constexpr PointRow kRes2Up[] = {
    {0,    A_, A_, A_, Y, u"conf2:res 10000000\\10", u"conf2:fres 10000000\\10",       F0, 1,     no, no, u"10M",  nullptr,    byCmd, N, W0, Y},
    {1,    A_, D_, A_, Y, u"conf2:res max\\10",      u"conf2:fres max\\10",            F0, 2,     no, no, u"100M", nullptr,    byCmd, N, W0, Y},
    {1,    A_, L_, A_, Y, u"conf2:res 100000\\10",   u"conf2:fres 100000\\10",         F0, 2,     no, no, u"100K", nullptr,    byCmd, N, W0, Y},
    {2,    A_, L_, A_, Y, u"conf2:res 1000000\\10",  u"conf2:fres 1000000\\10",        F0, 0,     ki, me, u"1M",   nullptr,    byCmd, N, W0, Y},
    {2,    A_, D_, D_, Y, u"conf2:res 1000\\10",     u"conf2:fres 1000\\10",           F0, 3,     no, no, u"1K",   nullptr,    byCmd, N, W0, Y},
    {2,    A_, D_, L_, Y, u"conf2:res 10000000\\10|conf2:res max\\10",
                          u"conf2:fres 10000000\\10|conf2:fres max\\10",           F0, 2,     no, me, u"100M", nullptr,    byCmd, N, W0, Y},
    {3,    A_, A_, A_, Y, u"conf2:res 10000\\10",    u"conf2:fres 10000\\10",          F0, 1,     no, ki, u"10K",  nullptr,    byCmd, N, W0, Y},
    {kNone,A_, A_, A_, N, nullptr, nullptr,                                            F0, kKeep, no, no, nullptr, nullptr,    byCmd, N, W0, Y},
};
constexpr PointRow kRes2Down[] = {
    {0,    A_, A_, A_, Y, u"conf2:res 100000\\10",   u"conf2:fres 100000\\10",         F0, 2,     me, ki, u"100K", nullptr,    byCmd, N, W0, Y},
    {1,    A_, L_, A_, Y, u"conf2:res 1000\\10",     u"conf2:fres 1000\\10",           F0, 3,     ki, no, u"1K",   nullptr,    byCmd, N, W0, Y},
    {1,    A_, D_, A_, Y, u"conf2:res 1000000\\10",  u"conf2:fres 1000000\\10",        F0, 0,     no, no, u"1M",   nullptr,    byCmd, N, W0, Y},
    {2,    A_, L_, A_, Y, u"conf2:res 10000\\10",    u"conf2:fres 10000\\10",          F0, 1,     no, no, u"10K",  nullptr,    byCmd, N, W0, Y},
    {2,    A_, D_, L_, Y, u"conf2:res 10000000\\10", u"conf2:fres 10000000\\10",       F0, 1,     no, no, u"10M",  nullptr,    byCmd, N, W0, Y},
    {2,    A_, D_, D_, Y, u"conf2:res 1000\\10|conf2:res 100\\10",
                          u"conf2:fres 1000\\10|conf2:fres 100\\10",               F0, 2,     no, no, u"100",  nullptr,    byCmd, N, W0, Y},
    {3,    A_, A_, A_, Y, u"conf2:res 100\\10",      u"conf2:fres 100\\10",            F0, 2,     no, no, u"100",  nullptr,    byCmd, N, W0, Y},
    {kNone,A_, A_, A_, N, nullptr, nullptr,                                            F0, kKeep, no, no, nullptr, nullptr,    byCmd, N, W0, Y},
};

bool matches(Lit test, bool lit)
{
    return test == Lit::Any || (test == Lit::On) == lit;
}

bool prefixLit(const Panel &p, Prefix prefix, int displayNo)
{
    const std::optional<Lamp> lamp = display::prefixLamp(prefix, displayNo);
    return lamp && p.display.isLit(*lamp);
}

const PointRow &findPointRow(const Panel &p, std::span<const PointRow> rows, int point, int displayNo)
{
    for (const PointRow &row : rows)
        if (row.point == point && matches(row.milli, prefixLit(p, Prefix::Milli, displayNo))
            && matches(row.kilo, prefixLit(p, Prefix::Kilo, displayNo))
            && matches(row.mega, prefixLit(p, Prefix::Mega, displayNo)))
            return row;
    return rows.back();  // the row for no row
}

// The lowest lit point of 0 to `last`, or kNone.
int lowestLitPoint(const Panel &p, int displayNo, int last)
{
    return p.display.firstLitPoint(pointsOf(displayNo), last).value_or(kNone);
}

struct Ladder
{
    int displayNo;
    std::span<const PointRow> rows;
    int lastPoint;      // the search for the lit point ends here
    Lamp commandLamp;   // lit: the AC or 2-wire command
    bool single;        // display 2 is cleared and spells the range
};

bool applyPointRow(Panel &p, const Ladder &ladder)
{
    DisplayModel &d = p.display;
    const int point = lowestLitPoint(p, ladder.displayNo, ladder.lastPoint);
    const PointRow &row = findPointRow(p, ladder.rows, point, ladder.displayNo);
    const bool a = d.isLit(ladder.commandLamp);
    const bool linkUp = p.state.REMOTE_OK;
    if (row.clear)
        clear(p, ladder.displayNo, ladder.single);

    const char16_t *label = row.labelA;
    if (row.labelB) {
        const bool takeA = row.by == LabelBy::DcLamp ? !d.isLit(Lamp::DC_LAB1) : a;
        label = takeA ? row.labelA : row.labelB;
    }
    auto lamps = [&] {
        setPrefix(p, row.off, ladder.displayNo, false);
        setPrefix(p, row.on, ladder.displayNo, true);
    };
    auto panel = [&] {
        movePoint(p, ladder.displayNo, point, row.to);
        if (label && (linkUp || !row.labelNeedsLink)) {
            rangeOf(p, ladder.displayNo) = QString::fromUtf16(label);
            if (ladder.single && row.word == Word::Label)
                spellRange(d, QString::fromUtf16(label));
            else if (ladder.single && row.word == Word::HundredOhmBlank)
                display::spell(d, kHundredOhmBlank);
        }
    };
    const char16_t *commands = a ? row.a : row.b;
    switch (row.first) {
    case First::Nothing:
        if (!sendAll(p, commands))
            return false;
        panel();
        lamps();
        break;
    case First::Point:
        panel();
        if (!sendAll(p, commands))
            return false;
        lamps();
        break;
    case First::Lamps:
        lamps();
        if (!sendAll(p, commands))
            return false;
        panel();
        break;
    }
    if (row.zeros)
        drawZeros(p, ladder.displayNo);
    return true;
}

// ---- ladders read off the range label ----------------------------------------------

enum class When : char {
    Always, LinkDown, MicroLit, MilliOnly, NoPrefix, AcLit, AcDark, DcLit, DcDark, Single, Paired,
    FirmwareFrom2, FirmwareBelow2,
};

struct LabelRow
{
    const char16_t *from;
    When when;
    const char16_t *a, *b;  // AC and DC command
    int to;                 // new point, or kNone
    Prefix off, on;
    const char16_t *label;  // new label; null: nothing changes
};

constexpr When Al = When::Always, LD = When::LinkDown, Sg = When::Single, Pr = When::Paired;

constexpr LabelRow kCurr1Up[] = {
    // from      when             AC                           DC                           to     off on  label
    {u"AUTO",  LD,              nullptr,                     nullptr,                     kNone, no, no, nullptr},
    {u"AUTO",  When::MicroLit,  u"conf:curr:ac 0.001\\10",   u"conf:curr:dc 0.001\\10",   0,     mu, mi, u"1mA"},
    {u"AUTO",  When::MilliOnly, u"conf:curr:ac 0.01\\10",    u"conf:curr:dc 0.01\\10",    1,     mu, mi, u"10mA"},
    {u"AUTO",  When::NoPrefix,  u"conf:curr:ac 10\\10",      u"conf:curr:dc 10\\10",      1,     no, no, u"10A"},
    {u"100uA", Al,              u"conf:curr:ac 0.001\\10",   u"conf:curr:dc 0.001\\10",   0,     mu, mi, u"1mA"},
    {u"1mA",   Al,              u"conf:curr:ac 0.01\\10",    u"conf:curr:dc 0.01\\10",    1,     no, no, u"10mA"},
    {u"10mA",  Al,              u"conf:curr:ac 0.1\\10",     u"conf:curr:dc 0.1\\10",     2,     no, no, u"100mA"},
    {u"100mA", Al,              u"conf:curr:ac 1\\10",       u"conf:curr:dc 1\\10",       0,     mi, no, u"1A"},
    {u"1A",    Al,              u"conf:curr:ac 10\\10",      u"conf:curr:dc 10\\10",      1,     mi, no, u"10A"},
    {u"10A",   Sg,              u"conf:curr:ac 10\\10",      u"conf:curr:dc 10\\10",      1,     mi, no, u"10A"},
    {u"10A",   Pr,              nullptr,                     nullptr,                     1,     mi, no, u"10A"},
};
constexpr LabelRow kCurr1DownSingle[] = {
    {u"10A",   Al,              u"conf:curr:ac 1\\10",       u"conf:curr:dc 1\\10",       0,     mi, no, u"1A"},
    {u"1A",    Al,              u"conf:curr:ac 0.1\\10",     u"conf:curr:dc 0.1\\10",     2,     no, mi, u"100mA"},
    {u"100mA", Al,              u"conf:curr:ac 0.01\\10",    u"conf:curr:dc 0.01\\10",    1,     no, mi, u"10mA"},
    {u"10mA",  Al,              u"conf:curr:ac 0.001\\10",   u"conf:curr:dc 0.001\\10",   0,     no, mi, u"1mA"},
    {u"1mA",   When::DcLit,     u"conf:curr:ac 0.0001\\10",  u"conf:curr:dc 0.0001\\10",  2,     mi, mu, u"100uA"},
    {u"1mA",   When::DcDark,    nullptr,                     nullptr,                     0,     no, mi, u"1mA"},
    {u"100uA", Al,              nullptr,                     nullptr,                     2,     no, no, u"100uA"},
};
constexpr LabelRow kCurr1DownPaired[] = {
    {u"10A",   Al,              u"conf:curr:ac 1\\10",       u"conf:curr:dc 1\\10",       0,     mi, no, u"1A"},
    {u"1A",    Al,              u"conf:curr:ac 0.1\\10",     u"conf:curr:dc 0.1\\10",     2,     no, mi, u"100mA"},
    {u"100mA", Al,              u"conf:curr:ac 0.01\\10",    u"conf:curr:dc 0.01\\10",    1,     no, mi, u"10mA"},
    {u"10mA",  Al,              u"conf:curr:ac 0.001\\10",   u"conf:curr:dc 0.001\\10",   0,     no, no, u"1mA"},
    {u"1mA",   LD,              nullptr,                     nullptr,                     kNone, no, no, nullptr},
    {u"1mA",   When::AcLit,     u"conf:curr:ac 0.001\\10",   nullptr,                     0,     no, no, u"1mA"},
    {u"1mA",   When::AcDark,    nullptr,                     u"conf:curr:dc 0.0001\\10",  2,     mi, mu, u"100uA"},
    {u"100uA", Al,              nullptr,                     nullptr,                     2,     no, no, u"100uA"},
    {u"AUTO",  LD,              nullptr,                     nullptr,                     kNone, no, no, nullptr},
    {u"AUTO",  When::AcLit,     u"conf:curr:ac 0.001\\10",   nullptr,                     0,     mu, mi, u"1mA"},
    {u"AUTO",  When::AcDark,    nullptr,                     u"conf:curr:dc 0.0001\\10",  2,     mi, mu, u"100uA"},
};

// Display 2: firmware before 2.0 has no 1 A range there.
constexpr When F2 = When::FirmwareFrom2, F1 = When::FirmwareBelow2;
constexpr LabelRow kCurr2Up[] = {
    {u"100uA", Al,              u"conf2:curr:ac 0.001\\10",  u"conf2:curr:dc 0.001\\10",  0,     mu, mi, u"1mA"},
    {u"1mA",   Al,              u"conf2:curr:ac 0.01\\10",   u"conf2:curr:dc 0.01\\10",   1,     mu, no, u"10mA"},
    {u"10mA",  Al,              u"conf2:curr:ac 0.1\\10",    u"conf2:curr:dc 0.1\\10",    2,     no, no, u"100mA"},
    {u"100mA", F2,              u"conf2:curr:ac 1\\10",      u"conf2:curr:dc 1\\10",      0,     mi, no, u"1A"},
    {u"100mA", F1,              u"conf2:curr:ac 10\\10",     u"conf2:curr:dc 10\\10",     1,     mi, no, u"10A"},
    {u"1A",    Al,              u"conf2:curr:ac 10\\10",     u"conf2:curr:dc 10\\10",     1,     mi, no, u"10A"},
    {u"10A",   Al,              nullptr,                     nullptr,                     1,     mi, no, u"10A"},
};
constexpr LabelRow kCurr2Down[] = {
    {u"100uA", Al,              nullptr,                     nullptr,                     2,     no, no, u"100uA"},
    {u"1mA",   Al,              u"conf2:curr:ac 0.0001\\10", u"conf2:curr:dc 0.0001\\10", 2,     mi, mu, u"100uA"},
    {u"10mA",  Al,              u"conf2:curr:ac 0.001\\10",  u"conf2:curr:dc 0.001\\10",  0,     no, no, u"1mA"},
    {u"100mA", Al,              u"conf2:curr:ac 0.01\\10",   u"conf2:curr:dc 0.01\\10",   1,     no, mi, u"10mA"},
    {u"1A",    Al,              u"conf2:curr:ac 0.1\\10",    u"conf2:curr:dc 0.1\\10",    2,     no, mi, u"100mA"},
    {u"10A",   F1,              u"conf2:curr:ac 0.1\\10",    u"conf2:curr:dc 0.1\\10",    2,     no, mi, u"100mA"},
    {u"10A",   F2,              u"conf2:curr:ac 1\\10",      u"conf2:curr:dc 1\\10",      0,     mi, no, u"1A"},
};

bool firmwareFrom2(const Panel &p)
{
    return rt::leadingNumber(p.state.FW_VERSION) >= 2.0;
}

bool holds(const Panel &p, When when, int displayNo, bool single)
{
    const DisplayModel &d = p.display;
    const bool micro = prefixLit(p, Prefix::Micro, displayNo);
    const bool milli = prefixLit(p, Prefix::Milli, displayNo);
    switch (when) {
    case When::Always:         return true;
    case When::LinkDown:       return !p.state.REMOTE_OK;
    case When::MicroLit:       return micro;
    case When::MilliOnly:      return !micro && milli;
    case When::NoPrefix:       return !micro && !milli;
    case When::AcLit:          return d.isLit(Lamp::AC_LAB1);
    case When::AcDark:         return !d.isLit(Lamp::AC_LAB1);
    case When::DcLit:          return d.isLit(Lamp::DC_LAB1);
    case When::DcDark:         return !d.isLit(Lamp::DC_LAB1);
    case When::Single:         return single;
    case When::Paired:         return !single;
    case When::FirmwareFrom2:  return firmwareFrom2(p);
    case When::FirmwareBelow2: return !firmwareFrom2(p);
    }
    return false;
}

bool applyLabelRow(Panel &p, std::span<const LabelRow> rows, int displayNo, bool single)
{
    QString &range = rangeOf(p, displayNo);
    const LabelRow *row = nullptr;
    for (const LabelRow &r : rows)
        if (range == QStringView(r.from) && holds(p, r.when, displayNo, single)) {
            row = &r;
            break;
        }
    if (row) {
        const bool ac = p.display.isLit(displayNo == 2 ? Lamp::AC_LAB2 : Lamp::AC_LAB1);
        if (!sendAll(p, ac ? row->a : row->b))
            return false;
        if (row->to >= 0)
            p.display.setLit(pointsOf(displayNo), row->to, true);
        setPrefix(p, row->off, displayNo, false);
        setPrefix(p, row->on, displayNo, true);
        if (row->label) {
            range = QString::fromUtf16(row->label);
            if (single)
                spellRange(p.display, range);
        }
    }
    drawZeros(p, displayNo);
    return true;
}

bool acOrDc1(const DisplayModel &d)
{
    return d.isLit(Lamp::AC_LAB1) || d.isLit(Lamp::DC_LAB1);
}

bool twoOrFourWire1(const DisplayModel &d)
{
    return d.isLit(Lamp::W2_LAB1) || d.isLit(Lamp::W4_LAB1);
}

// Single-mode DOWN from AUTO: the instrument is put on a fixed range and
// says which; DOWN then steps from there. The reply is read as the
// identification reads it ("1" is the 1 A range's full scale, whatever
// lamp a placeholder left lit); the DC lamp gives the ladder whose ranges
// the reply may name. The range named lights its own prefix lamp in place
// of what the auto-range drawing left (the DCI key's micro, or a
// reading's), so the step's lamps go on from the range the instrument is
// on. A reply that names none leaves "AUTO".
bool askCurrentRange(Panel &p)
{
    ReadingPause pause(p);
    if (!p.state.REMOTE_OK)
        return true;
    if (!keys::keySend(p, QStringLiteral("conf:auto 0\\10")))
        return false;
    const std::optional<QString> reply = keys::keyAsk(p, QStringLiteral("conf:rang?\\10"));
    if (!reply)
        return false;
    const DisplayModel &d = p.display;
    const QStringView mode = d.isLit(Lamp::DC_LAB1) ? u"DCI" : u"ACI";
    const std::optional<QString> label = shell::currentRangeLabel(mode, *reply);
    if (!label) {
        shell::reportUnnamedRange(p, u"DOWN", reply->chopped(1), mode);
        return true;
    }
    p.state.MODE1_RANGE = *label;
    setPrefix(p, Prefix::Micro, 1, label->endsWith(u"uA"));
    setPrefix(p, Prefix::Milli, 1, label->endsWith(u"mA"));
    return true;
}

} // namespace

ReadingPause::ReadingPause(Panel &p)
    : m_p(p)
{
    keys::pauseReading(p);
}

ReadingPause::~ReadingPause()
{
    keys::resumeReading(m_p);
}

bool stepVoltage1(Panel &p, Arrow key, Target target)
{
    DisplayModel &d = p.display;
    const bool single = target == Target::Single;
    if (!acOrDc1(d) || !d.isLit(Lamp::T_V_LAB1) || (single && d.isLit(Lamp::ND2_LAB)))
        return true;
    d.setLit(Lamp::AUTO_LAB1, false);
    const bool up = key == Arrow::Up;
    const std::span<const PointRow> rows = up ? (single ? std::span<const PointRow>(kVolt1UpSingle) : kVolt1UpPaired)
                                              : (single ? std::span<const PointRow>(kVolt1DownSingle) : kVolt1DownPaired);
    const int last = !up && !single ? 4 : 5;
    return applyPointRow(p, {1, rows, last, Lamp::AC_LAB1, single});
}

bool stepResistance1(Panel &p, Arrow key, Target target)
{
    DisplayModel &d = p.display;
    const bool single = target == Target::Single;
    const bool up = key == Arrow::Up;
    if (!twoOrFourWire1(d) || (single && d.isLit(Lamp::ND2_LAB)) || (!single && up && !d.isLit(Lamp::T_R_LAB1)))
        return true;
    d.setLit(Lamp::AUTO_LAB1, false);
    const std::span<const PointRow> rows = up ? (single ? std::span<const PointRow>(kRes1UpSingle) : kRes1UpPaired)
                                              : (single ? std::span<const PointRow>(kRes1DownSingle) : kRes1DownPaired);
    return applyPointRow(p, {1, rows, single ? 5 : 4, Lamp::W2_LAB1, single});
}

bool stepCurrent1(Panel &p, Arrow key, Target target)
{
    DisplayModel &d = p.display;
    if (!d.isLit(Lamp::T_A_LAB1) || !acOrDc1(d))
        return true;
    const bool single = target == Target::Single;
    const bool up = key == Arrow::Up;
    if (!up && single && d.isLit(Lamp::AUTO_LAB1) && !askCurrentRange(p))
        return false;
    d.setLit(Lamp::AUTO_LAB1, false);
    clear(p, 1, single);
    const std::span<const LabelRow> rows = up ? std::span<const LabelRow>(kCurr1Up)
                                              : (single ? std::span<const LabelRow>(kCurr1DownSingle) : kCurr1DownPaired);
    return applyLabelRow(p, rows, 1, single);
}

bool stepVoltage2(Panel &p, Arrow key)
{
    DisplayModel &d = p.display;
    if (!d.isLit(Lamp::T_V_LAB2) || !(d.isLit(Lamp::AC_LAB2) || d.isLit(Lamp::DC_LAB2)))
        return true;
    d.setLit(Lamp::AUTO_LAB2, false);
    return applyPointRow(p, {2, key == Arrow::Up ? std::span<const PointRow>(kVolt2Up) : kVolt2Down, 3, Lamp::AC_LAB2, false});
}

bool stepCurrent2(Panel &p, Arrow key)
{
    DisplayModel &d = p.display;
    if (!d.isLit(Lamp::T_A_LAB2) || !(d.isLit(Lamp::AC_LAB2) || d.isLit(Lamp::DC_LAB2)))
        return true;
    d.setLit(Lamp::AUTO_LAB2, false);
    display::ClearDIS2(d);
    return applyLabelRow(p, key == Arrow::Up ? std::span<const LabelRow>(kCurr2Up) : kCurr2Down, 2, false);
}

bool stepResistance2(Panel &p, Arrow key)
{
    DisplayModel &d = p.display;
    // DOWN tests the 2ND lamp where UP tests the ohm lamp; 2ND is lit here.
    const Lamp third = key == Arrow::Up ? Lamp::T_R_LAB2 : Lamp::ND2_LAB;
    if (!(d.isLit(Lamp::W2_LAB2) || d.isLit(Lamp::W4_LAB2)) || !d.isLit(third))
        return true;
    d.setLit(Lamp::AUTO_LAB2, false);
    return applyPointRow(p, {2, key == Arrow::Up ? std::span<const PointRow>(kRes2Up) : kRes2Down, 3, Lamp::W2_LAB2, false});
}

} // namespace arrows
