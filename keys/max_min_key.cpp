#include "keys/max_min_key.h"

#include "core/panel.h"
#include "keys/key_exchange.h"
#include "keys/rel_key.h"

namespace keys {

bool MAX_IMG_ENTER(Panel &p)
{
    shell::PanelState &s = p.state;
    const bool toMin = !s.MIN_SEL;
    s.MIN_SEL = toMin;
    if (!keySend(p, toMin ? QStringLiteral("calc:func min\\10") : QStringLiteral("calc:func max\\10")))
        return false;
    display::DisplayModel::Batch batch(p.display);
    p.display.setLit(display::Lamp::MAX_LAB, !toMin);
    p.display.setLit(display::Lamp::MIN_LAB, toMin);
    if (!s.ND2_VIEW)
        return true;
    return showStoredView(p, toMin ? StoredView::Min : StoredView::Max);
}

} // namespace keys
