#include "keys/rel_key.h"

#include "display/number_drawing.h"
#include "core/panel.h"
#include "display/unit_lamps.h"
#include "platform/runtime.h"
#include "core/link_gate.h"

#include <cmath>
#include <limits>
#include <optional>

namespace keys {

namespace {

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

bool REL_IMG_ENTER(Panel &) { return true; }
bool REL_2ND_ENTER(Panel &) { return true; }

} // namespace keys
