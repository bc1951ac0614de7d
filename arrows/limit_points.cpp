#include "arrows/limit_points.h"

#include "core/panel.h"

namespace arrows {

using display::Points;
using display::Prefix;

Prefix litPrefix1(const Panel &p)
{
    for (Prefix prefix : {Prefix::Mega, Prefix::Kilo, Prefix::Milli, Prefix::Micro})
        if (p.display.isLit(*display::prefixLamp(prefix, 1)))
            return prefix;
    return Prefix::None;
}

void stepPoint(Panel &p, std::span<const PointStep> steps)
{
    const Prefix prefix = litPrefix1(p);
    qint16 &dot = p.state.BLINK_DOT;
    for (const PointStep &step : steps) {
        if (step.prefix != prefix || (step.before != kAnyPoint && step.before != dot))
            continue;
        display::DisplayModel::Batch batch(p.display);
        if (step.hideOld)
            p.display.setLit(Points::DROP_IMG, dot, false);
        dot = step.after;
        if (step.to != prefix) {
            if (const auto lamp = display::prefixLamp(prefix, 1))
                p.display.setLit(*lamp, false);
            display::lightPrefix(p.display, step.to, 1);
        }
        return;
    }
}

} // namespace arrows
