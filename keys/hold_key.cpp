#include "keys/hold_key.h"

#include "arrows/range_ladders.h"
#include "core/panel.h"
#include "display/mode_redraws.h"
#include "keys/menu_cursor.h"

namespace keys {

bool HOLD_IMG_ENTER(Panel &p)
{
    if (menuTakesCursor(p))
        return moveMenuCursor(p, Cursor::Left);
    // No tick reads the instrument while hold is switched; the run goes on
    // afterwards, also when the instrument did not answer.
    const arrows::ReadingPause pause(p);
    shell::PanelState &s = p.state;
    s.REL_ON = false;
    s.MXMN_ON = false;
    s.HOLD_ON = false;
    s.COMP_ON = false;
    display::HOLD_2ND_DISP(p);
    return true;
}

} // namespace keys
