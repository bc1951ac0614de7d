#include "loader/view_choice.h"

namespace loader {

// clang-format off
const std::array<GraphLayout, kViewChoices> kGraphLayouts = {{
    // caption                 graph 1                         graph 2                         shown 1, 2
    {u"View Display 1",       {120, 45, 11595, 4800},         {120, 2450, 11600, 2400},       true,  false},
    {u"View Display 2",       {120, 45, 11595, 4800},         {120, 45, 11600, 4800},         false, true},
    {u"View Display 1 + 2",   {120, 45, 11595, 2400},         {120, 2450, 11600, 2400},       true,  true},
}};
// clang-format on

const GraphLayout &DIS_SHOW_OPT_Click(int index)
{
    return kGraphLayouts[std::size_t(index >= 0 && index < kViewChoices ? index : 0)];
}

} // namespace loader
