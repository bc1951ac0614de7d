#pragma once
// Key procedures that the drawing hands over to. The range view redraws the
// temperature function through the temperature key, and the mode redraws
// show the relative value through the REL key's procedure; both keys live
// above the display, so the program fills this table in when it builds the
// panel (keys::displayHooks()). A panel without the table skips those two
// steps, which only a test that wants nothing of the keys does.

struct Panel;

namespace display {

struct PanelHooks
{
    void (*CF_IMG_ENTER)(Panel &) = nullptr;  // the temperature key
    void (*REL_NUM_CHK)(Panel &) = nullptr;   // the relative value on display 2
};

} // namespace display
