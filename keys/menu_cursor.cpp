#include "keys/menu_cursor.h"

#include "core/panel.h"

namespace keys {

bool menuTakesCursor(const Panel &p)
{
    return p.state.SENSOR_SET || p.state.FILT_SET || p.state.COMP_SET;
}

// The sensor menu is tested first, then the filter, then the compare limits.
bool moveMenuCursor(Panel &p, Cursor way)
{
    if (p.state.SENSOR_SET)
        return sensorCursor(p, way);
    if (p.state.FILT_SET)
        return filterCursor(p, way);
    if (p.state.COMP_SET)
        return compareCursor(p, way);
    return true;
}

} // namespace keys
