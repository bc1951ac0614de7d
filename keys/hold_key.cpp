#include "keys/hold_key.h"

#include "keys/menu_cursor.h"

namespace keys {

bool HOLD_IMG_ENTER(Panel &p)
{
    if (menuTakesCursor(p))
        return moveMenuCursor(p, Cursor::Left);
    return true; // the hold toggle: not built yet
}

} // namespace keys
