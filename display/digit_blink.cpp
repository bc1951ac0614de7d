#include "display/digit_blink.h"

#include "core/display_model.h"
#include "core/panel.h"

namespace display {

namespace {

// Sets each position and point of a run to what `lit` makes of its state.
template<typename Lit>
void eachOfRun(DisplayModel &model, qint16 first, qint16 last, qint16 dot, bool display2, Lit lit)
{
    const Positions positions = display2 ? Positions::DIS2_IMG : Positions::DIS1_IMG;
    const Points points = display2 ? Points::DROP_IMG2 : Points::DROP_IMG;
    DisplayModel::Batch batch(model);
    if (first != shell::kNoBlink) {
        const int end = qMin<int>(last, DisplayModel::count(positions) - 1);
        for (int i = qMax<int>(first, 0); i <= end; ++i)
            model.setLit(positions, i, lit(model.isLit(positions, i)));
    }
    if (dot != shell::kNoBlink)
        model.setLit(points, dot, lit(model.isLit(points, dot)));
}

} // namespace

void GLIS_RANGE(DisplayModel &model, qint16 NUM1_WWW, qint16 NUM2_WWW, qint16 DROP_WWW,
                bool ND_WWW)
{
    eachOfRun(model, NUM1_WWW, NUM2_WWW, DROP_WWW, ND_WWW, [](bool lit) { return !lit; });
}

void IMG_Timer_Timer(Panel &p)
{
    const shell::PanelState &s = p.state;
    GLIS_RANGE(p.display, s.BLINK_FIRST, s.BLINK_LAST, s.BLINK_DOT, s.BLINK_DISP2);
}

void showBlinkRun(Panel &p)
{
    const shell::PanelState &s = p.state;
    eachOfRun(p.display, s.BLINK_FIRST, s.BLINK_LAST, s.BLINK_DOT, s.BLINK_DISP2, [](bool) { return true; });
}

} // namespace display
