#pragma once
// "View Graph": which of the two graphs the loader window shows, and where.
// Both graphs are always plotted; the choice only lays them out.

#include <QRect>
#include <QStringView>

#include <array>

namespace loader {

struct GraphLayout
{
    QStringView caption;  // of the option button
    QRect graph1;         // twips
    QRect graph2;
    bool graph1Shown;
    bool graph2Shown;
};

// Option 0 "View Display 1": graph 1 over the whole graph area; option 1
// "View Display 2": graph 2 there instead; option 2 "View Display 1 + 2":
// the two one above the other.
inline constexpr int kViewChoices = 3;
extern const std::array<GraphLayout, kViewChoices> kGraphLayouts;

// The layout of option `index`; option 0 for an index out of range.
const GraphLayout &DIS_SHOW_OPT_Click(int index);

} // namespace loader
