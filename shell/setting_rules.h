#pragma once
// What the program makes of the settings record: the values it starts with
// after reading "XYZQQQ.Log", and the record it stores when the settings
// window's OK is pressed. No window is involved; the callers put the results
// into their lists and module variables.

#include "formats/setting_record.h"

#include <QString>
#include <optional>

namespace shell {

// The values the program starts with.
struct SettingStartup
{
    SETTING setting;                   // PORT and BAUD open the port
    qint32 SPEED_MS = 0;               // sample interval taken from the stored SPEED
    bool PORT_SET = false;             // PORT is not 0
    bool fileRead = false;             // a trusted record came from the file
    std::optional<int> portListIndex;  // settings window's port list position, when preset
    QString baudText;                  // settings window's baud-rate text, when preset ("" otherwise)
    QString status;                    // one line for the status log; "" when there is nothing to say
};

// Start-up values from what readSetting found. With no file, or one that
// cannot be trusted, the program starts with no port and no baud rate
// chosen. Either way REC_EVERY is "1" and TEST_TIME_TEXT "0.5", padded to 20
// characters: a stored test time is never shown again. The settings window's
// lists are preset only when both PORT and BAUD are chosen.
SettingStartup settingAtStartup(const SettingRead &read);

// The sample interval in whole milliseconds for a SPEED text: the number at
// its start, rounded halves to even ("16.667" -> 17, "33.333" -> 33), 0 for
// "" or a text with no number in front. A non-empty text that is not a plain
// number gets a one-line note in *why ("" otherwise).
qint32 sampleIntervalMs(const QString &speed, QString *why = nullptr);

// The record to store from the settings window's choices: PORT is the port
// list position + 1 (index -1 = none chosen, PORT 0), BAUD the baud-rate
// text as a whole number ("" = none chosen, BAUD 0), SPEED the sample-interval
// text as it stands, TEST_TIME_TEXT the test-time text cut or padded to 20
// characters, REC_EVERY the current one. *speedMs receives the
// sample-interval text as a rounded whole number.
// A port position past COM 10, a baud text that is not a number or not one
// of the instrument's rates, or a sample interval that is not a number gives
// nothing, a one-line reason in *why, and leaves *speedMs alone: nothing is
// stored that the program would refuse to read back.
std::optional<SETTING> settingForStore(int portListIndex, const QString &baudText, const QString &speedText,
                                       const QString &testTimeText, const SETTING &current, qint32 *speedMs,
                                       QString *why = nullptr);

} // namespace shell
