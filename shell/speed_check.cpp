#include "shell/speed_check.h"

#include "display/panel.h"

namespace shell {

void SPEED_CHK(Panel &)
{
    // The rate query comes with the identification; with the link down, as
    // at start-up, it asks nothing.
}

} // namespace shell
