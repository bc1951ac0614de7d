#pragma once
// Identification of the instrument and the query of its whole state.

struct Panel;

namespace shell {

// Asks the instrument who it is and what it measures, and draws that.
void RDX_INF_TEST(Panel &p);

} // namespace shell
