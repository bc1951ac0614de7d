#include "arrows/arrow_keys.h"

#include "arrows/range_steps.h"
#include "arrows/value_edits.h"
#include "core/panel.h"

namespace arrows {

namespace {

using shell::PanelState;

// The branches in the order their flags are tested; the first set flag
// takes the press.
struct Branch
{
    bool PanelState::*flag;
    bool (*edit)(Panel &, Arrow);
};
constexpr Branch kBranches[] = {
    {&PanelState::MATH_SET,   editMathParameter},
    {&PanelState::SENSOR_SET, stepSensorMenu},
    {&PanelState::FILT_SET,   stepFilter},
    {&PanelState::COMP_SET,   editLimit},
    {&PanelState::HOLD_ON,    stepHoldReference},
    {&PanelState::dBm_ON,     stepdBmReference},
    {&PanelState::REL_SET,    editRelativeValue},
};

bool press(Panel &p, Arrow key)
{
    for (const Branch &branch : kBranches)
        if (p.state.*branch.flag)
            return branch.edit(p, key);
    if (p.state.MATH_ON)
        return key == Arrow::Up ? UP_MATH_IMG_ENTER(p) : DOWN_MATH_IMG_ENTER(p);
    return stepRange(p, key);
}

} // namespace

bool UP_IMG_ENTER(Panel &p)
{
    return press(p, Arrow::Up);
}

bool DOWN_IMG_ENTER(Panel &p)
{
    return press(p, Arrow::Down);
}

} // namespace arrows
