#pragma once
// The settings record as the program holds it: the serial port, its rate,
// the table's thinning, the test time and the sample interval. Its file
// form is formats/setting_record.h.

#include <QString>

namespace shell {

struct SETTING
{
    qint16 PORT = 0;
    qint32 BAUD = 0;
    QString REC_EVERY;       // always 20 characters once stored or read
    QString TEST_TIME_TEXT;  // always 20 characters once stored or read
    QString SPEED;           // "" until first set
};

} // namespace shell
