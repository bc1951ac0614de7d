#include "core/panel.h"
#include <QLabel>
