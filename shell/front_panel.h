#pragma once
// The front panel's load, its power-on lamp test and its unload: the
// procedures behind the window, runnable without it.

#include "shell/setting_rules.h"

#include <QString>

struct Panel;

namespace shell {

// The sample intervals (ms) and test times (min) the lists offer at start.
const QStringList &sampleIntervals();
const QStringList &testTimes();

// The picture file of key 0..15 ("ACV_BUTT1.BMP"; pressed: "ACV_BUTT2.BMP").
QString keyPicture(int key, bool pressed);

// Sets the temperature unit captions of both displays. Every language gets
// the degree sign: the code pages some languages once used put another
// character in its place.
void LOCALE_UNIT_SET(Panel &p);

// Loads the front panel: captions, state, timers, the settings record, the
// port and its start-up commands, the pictures of the displays, the lists,
// and finally the lamp test's timer. Returns what the settings record gave,
// for the settings window's lists.
SettingStartup SHOW_Form_Load(Panel &p, const QString &programFolder);

// One tick of the lamp test: dark, lit, dark; then START and the rate lamp
// light and the identification runs.
void Timer1_Timer(Panel &p);

// The panel closes: the instrument goes back to local operation, only while
// the link is up.
void SHOW_Form_Unload(Panel &p);

} // namespace shell
