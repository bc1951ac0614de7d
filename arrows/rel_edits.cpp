#include "arrows/value_edits.h"

#include "core/panel.h"
#include "platform/runtime.h"

#include <cmath>

// The REL reference entry: seven digits on display 1, the cursor digit
// (BLINK_LAST, 0 = leftmost) stepped by UP and DOWN. Nothing is sent; the
// point, the prefix and display 2 stay as they are.

namespace arrows {

namespace {

using display::Positions;

constexpr double kLargest = 1999999;  // in units of the last digit

// Display 1 from REL_VALUE: seven digits, or for a negative value the sign
// at position 0 over the six lower digits. The panel's joined "-1" keeps
// the leading 1 of a magnitude of 1000000 or more.
void drawRelValue(Panel &p, double value)
{
    const QString &text = p.state.REL_VALUE;
    const bool negative = value < 0;
    const QString digits = negative ? text.mid(1) : text;
    display::DisplayModel::Batch batch(p.display);
    for (int i = 0; i < display::kDisplay1Positions; ++i)
        p.display.draw(Positions::DIS1_IMG, i, digits.mid(i, 1));
    if (negative)
        p.display.draw(Positions::DIS1_IMG, 0, std::fabs(value) >= 1000000 ? u"-1" : u"-");
}

} // namespace

bool editRelativeValue(Panel &p, Arrow key)
{
    shell::PanelState &s = p.state;
    const int sign = key == Arrow::Up ? 1 : -1;
    double value = rt::leadingNumber(s.REL_VALUE);
    if (s.BLINK_LAST >= 0 && s.BLINK_LAST <= 6)
        value += sign * std::pow(10.0, 6 - s.BLINK_LAST);
    // UP has only its upper bound, DOWN only its lower one.
    if (key == Arrow::Up && value > kLargest)
        value = kLargest;
    if (key == Arrow::Down && value < -kLargest)
        value = -kLargest;
    s.REL_VALUE = rt::pattern(value, u"0000000");
    drawRelValue(p, value);
    return true;
}

} // namespace arrows
