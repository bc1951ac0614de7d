#pragma once
// The TRIG key: one triggered reading, SHIFT + TRIG the trigger source, and
// in a set-up menu the cursor one place right. Not built yet: the key
// reaches it and it does nothing.

struct Panel;

namespace keys {

bool TRIG_IMG_ENTER(Panel &p);

} // namespace keys
