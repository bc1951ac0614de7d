#pragma once
// The key procedures the drawing hands over to, for the program to put in
// its Panel (panel.hooks = &keys::displayHooks()).

#include "display/panel_hooks.h"

namespace keys {

const display::PanelHooks &displayHooks();

} // namespace keys
