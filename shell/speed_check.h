#pragma once
// The reading-rate lamp: asks the instrument for its rate and lights S, M or F.

struct Panel;

namespace shell {

void SPEED_CHK(Panel &p);

} // namespace shell
