#include "keys/trigger_key.h"

#include "keys/menu_cursor.h"

namespace keys {

bool TRIG_IMG_ENTER(Panel &p)
{
    if (menuTakesCursor(p))
        return moveMenuCursor(p, Cursor::Right);
    return true; // the trigger switch and the triggered reading: not built yet
}

} // namespace keys
