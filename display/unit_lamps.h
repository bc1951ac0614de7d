#pragma once
// The prefix lamps of the two displays by what they mean, so that the
// tables of ranges and scalings name a prefix once for both displays.

#include "core/display_model.h"

#include <optional>

namespace display {

enum class Prefix { None, Micro, Milli, Kilo, Mega };

// T_u_LAB1/2, T_min_LAB1/2, T_K_LAB1/2, T_M_LAB1/2; nothing for None.
inline std::optional<Lamp> prefixLamp(Prefix prefix, int displayNo)
{
    const bool two = displayNo == 2;
    switch (prefix) {
    case Prefix::None:  return std::nullopt;
    case Prefix::Micro: return two ? Lamp::T_u_LAB2 : Lamp::T_u_LAB1;
    case Prefix::Milli: return two ? Lamp::T_min_LAB2 : Lamp::T_min_LAB1;
    case Prefix::Kilo:  return two ? Lamp::T_K_LAB2 : Lamp::T_K_LAB1;
    case Prefix::Mega:  return two ? Lamp::T_M_LAB2 : Lamp::T_M_LAB1;
    }
    return std::nullopt;
}

// Lights the prefix's lamp on display 1 or 2; None lights nothing.
inline void lightPrefix(DisplayModel &model, Prefix prefix, int displayNo)
{
    if (const std::optional<Lamp> lamp = prefixLamp(prefix, displayNo))
        model.setLit(*lamp, true);
}

// Lights the prefix's lamp on display 1 or 2 and puts out the other three
// prefix lamps of that display; None leaves all four dark.
inline void showPrefixAlone(DisplayModel &model, Prefix prefix, int displayNo)
{
    for (Prefix each : {Prefix::Micro, Prefix::Milli, Prefix::Kilo, Prefix::Mega})
        model.setLit(*prefixLamp(each, displayNo), each == prefix);
}

} // namespace display
