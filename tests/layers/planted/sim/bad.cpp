#include "core/panel.h"
