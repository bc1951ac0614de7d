#pragma once
#include "core/panel.h"
