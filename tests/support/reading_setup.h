#pragma once
// Setting up a headless panel for a reading test in one line: a list of
// names, each a lamp to light ("DC_LAB1", "AUTO_LAB2", "MAX_LAB"), a
// decimal point to light ("DROP_IMG2(2)") or a panel flag to set
// ("MODE2_ON", "HOLD_ON", "REL_ON", "MXMN_ON", "MATH_ON", "COMP_ON",
// "dBm_ON", "dB_ON", "dB_WITH_dBm", "READ_OK", "DIS1_OL", "MATH_SET",
// the set-up menus "SENSOR_SET", "FILT_SET", "COMP_SET", "MIN_SEL",
// "ND2_VIEW", "READ_PAUSED") or a symbol ("DIODE_IMG", "CONTINU_IMG").
// An unknown name fails the test that gave it.

#include "core/panel.h"

#include <QStringList>

// False (with the name in `unknown`) when a name is none of the above.
bool setUp(Panel &p, const QStringList &names, QString *unknown = nullptr);
