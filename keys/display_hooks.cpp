#include "keys/display_hooks.h"

#include "keys/function_keys.h"
#include "keys/rel_key.h"

namespace keys {

const display::PanelHooks &displayHooks()
{
    static constexpr display::PanelHooks kHooks{&CF_IMG_ENTER, &REL_NUM_CHK};
    return kHooks;
}

} // namespace keys
