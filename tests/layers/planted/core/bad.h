#pragma once
#include "windows/front_panel_window.h"
