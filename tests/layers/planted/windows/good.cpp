#include "core/panel.h"
#include <QLabel>
#include "display/range_view.h"
