#include "shell/identification.h"

#include "display/panel.h"

namespace shell {

void RDX_INF_TEST(Panel &)
{
    // The identification and state query come with their own change; until
    // then the panel stays as the lamp test leaves it and the link down.
}

} // namespace shell
