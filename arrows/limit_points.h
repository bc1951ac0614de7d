#pragma once
// Moving the decimal point of a value being entered on display 1, one
// decade a press: the digits stay, the point and at the ends of a prefix
// the prefix lamp move, so the value shown grows or shrinks tenfold. The
// compare limits and the math values walk by their own tables of steps.
//
// The new point is not lit here: it becomes BLINK_DOT, and the blink
// shows it on its next step.

#include "display/unit_lamps.h"

#include <QtGlobal>
#include <span>

struct Panel;

namespace arrows {

inline constexpr qint16 kAnyPoint = -1;

struct PointStep
{
    display::Prefix prefix;  // lit before
    qint16 before;           // BLINK_DOT before, or kAnyPoint
    qint16 after;            // BLINK_DOT after
    display::Prefix to;      // lit after
    bool hideOld = true;     // the old point goes dark
};

// The prefix lamp lit on display 1, tested mega, kilo, milli, micro.
display::Prefix litPrefix1(const Panel &p);

// Applies the step of the lit prefix and BLINK_DOT; a combination the
// table does not name changes nothing.
void stepPoint(Panel &p, std::span<const PointStep> steps);

} // namespace arrows
