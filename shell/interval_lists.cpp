#include "shell/interval_lists.h"

#include <array>

namespace shell {
namespace {

enum class Kind { Ac, Dc, Frequency, Other };

struct KindRow
{
    const char16_t *mode;  // MODE1
    Kind kind;
};

constexpr KindRow kKinds[] = {
    {u"ACV", Kind::Ac},        {u"ACI", Kind::Ac},
    {u"DCV", Kind::Dc},        {u"DCI", Kind::Dc},
    {u"2W", Kind::Dc},         {u"4W", Kind::Dc},
    {u"Hz", Kind::Frequency},  {u"P", Kind::Frequency},
};

Kind kindOf(QStringView mode)
{
    for (const KindRow &row : kKinds)
        if (mode == QStringView(row.mode))
            return row.kind;
    return Kind::Other;
}

enum class When { Always, FastLit, SlowDark };

struct EntryRow
{
    Kind kind;
    const char16_t *entry;
    When when;
};

// The short intervals, by kind of function and the lamp each one waits for.
constexpr EntryRow kShortEntries[] = {
    {Kind::Ac,        u"33.333", When::FastLit},
    {Kind::Ac,        u"200",    When::FastLit},
    {Kind::Ac,        u"500",    When::SlowDark},
    {Kind::Ac,        u"1000",   When::SlowDark},
    {Kind::Dc,        u"16.667", When::SlowDark},
    {Kind::Dc,        u"33.333", When::Always},
    {Kind::Dc,        u"200",    When::Always},
    {Kind::Dc,        u"500",    When::Always},
    {Kind::Dc,        u"1000",   When::Always},
    {Kind::Frequency, u"200",    When::SlowDark},
    {Kind::Frequency, u"500",    When::SlowDark},
    {Kind::Frequency, u"1000",   When::Always},
    {Kind::Other,     u"200",    When::Always},
    {Kind::Other,     u"500",    When::Always},
    {Kind::Other,     u"1000",   When::Always},
};

// Every list ends with these.
constexpr std::array<const char16_t *, 7> kLongEntries = {
    u"2000", u"5000", u"10000", u"30000", u"60000", u"300000", u"600000",
};

} // namespace

IntervalList intervalList(QStringView MODE1, bool F_LAB, bool S_LAB)
{
    const Kind kind = kindOf(MODE1);
    IntervalList list;
    for (const EntryRow &row : kShortEntries) {
        const bool wanted = row.when == When::Always || (row.when == When::FastLit && F_LAB)
                            || (row.when == When::SlowDark && !S_LAB);
        if (row.kind == kind && wanted)
            list.entries.append(QString::fromUtf16(row.entry));
    }
    for (const char16_t *entry : kLongEntries)
        list.entries.append(QString::fromUtf16(entry));
    if (S_LAB && kind == Kind::Ac)
        list.text = QStringLiteral("2000");
    else if (S_LAB && kind == Kind::Frequency)
        list.text = QStringLiteral("1000");
    else
        list.text = QStringLiteral("500");
    return list;
}

IntervalList fullTestSpeedList() { return intervalList(u"DCV", false, false); }
IntervalList midTestSpeedList() { return intervalList(u"DCV", false, true); }
IntervalList slowTestSpeedList() { return intervalList(u"ACV", false, false); }
IntervalList verySlowTestSpeedList() { return intervalList(u"ACV", false, true); }
IntervalList pHzHTestSpeedList() { return intervalList(u"Hz", false, false); }
IntervalList pHzTestSpeedList() { return intervalList(u"Hz", false, true); }

} // namespace shell
