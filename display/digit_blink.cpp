#include "display/digit_blink.h"

#include "core/display_model.h"
#include "core/panel.h"

namespace display {

void GLIS_RANGE(DisplayModel &model, qint16 NUM1_WWW, qint16 NUM2_WWW, qint16 DROP_WWW,
                bool ND_WWW)
{
    const Positions positions = ND_WWW ? Positions::DIS2_IMG : Positions::DIS1_IMG;
    const Points points = ND_WWW ? Points::DROP_IMG2 : Points::DROP_IMG;
    DisplayModel::Batch batch(model);
    if (NUM1_WWW != shell::kNoBlink) {
        const int last = qMin<int>(NUM2_WWW, DisplayModel::count(positions) - 1);
        for (int i = qMax<int>(NUM1_WWW, 0); i <= last; ++i)
            model.setLit(positions, i, !model.isLit(positions, i));
    }
    if (DROP_WWW != shell::kNoBlink)
        model.setLit(points, DROP_WWW, !model.isLit(points, DROP_WWW));
}

void IMG_Timer_Timer(Panel &p)
{
    const shell::PanelState &s = p.state;
    GLIS_RANGE(p.display, s.BLINK_FIRST, s.BLINK_LAST, s.BLINK_DOT, s.BLINK_DISP2);
}

} // namespace display
