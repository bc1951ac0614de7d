#pragma once
// The items of the temperature sensor menu that both AUTO (ENTER) and the
// arrow keys reach: choosing the thermocouple type, editing the reference-
// junction simulation temperature and loading an RTD coefficient. They ask
// the instrument only while the link is up; the words, the blink and the
// values change all the same.
//
// The menu's positions (SENSOR_STATE): the tens digit is the level, the
// ones digit the item.
//   11 thermocouple (T-CUP)      12, 13 the RTD items of level 1
//   21 thermocouple type         22 reference-junction simulation
//   23 level 2 of the RTD        31 type letter      32 temperature digits
//   33, 34 level 3 of the RTD    41, 42, 43 alpha, beta, delta by name
//   51, 52, 53 the digits of alpha, beta, delta
//
// The value that ENTER sends is kept in TCO_TYPE as it is sent: the type
// letter, the temperature as "000.00" or a coefficient as "00.00000".

#include "display/sensor_words.h"

#include <QString>
#include <QtGlobal>

struct Panel;

namespace keys {

// How one step of the menu ended.
enum class Outcome {
    Done,     // the menu may move on
    Failed,   // an exchange failed: the press ends, and its key says so
    Stopped,  // a reply made no sense: the press ends, said in the status log
};

// The end of a key's step: the menu moves to `next` once the step is done.
// False only when an exchange failed (the key then says so).
bool moveTo(Panel &p, Outcome step, qint16 next);

// The blink of the item or digit being chosen: BLINK_FIRST..BLINK_LAST,
// the point BLINK_DOT (shell::kNoBlink: none) and the display. IMG_Timer
// starts again, so the blink begins in phase.
void blinkOn(Panel &p, qint16 first, qint16 last, qint16 dot, bool display2);
void blinkOff(Panel &p);

// The thermocouple type letter of the instrument's reply: its first
// character before the CR, "" for an empty reply. The T_CF key reads it so
// too.
QString typeLetter(const QString &reply);

// From the type item (21) to the type letter (31): asks the instrument's
// type, spells TYPE and the letter on display 1 and SENSOR on display 2,
// and blinks positions 1 to 6.
Outcome chooseThermocouple(Panel &p);

// From the simulation item (22) to its digits (32): asks the temperature
// (the instrument answers in hundredths of a degree: "2300" is 23.00),
// draws it with two decimals on positions 2 to 5 and blinks the last digit.
// The point after position 3 is lit (two integer digits, two decimals).
// With the link down the last value is drawn again. A reply that is no
// number stops the press with a status line.
Outcome editSimulation(Panel &p);

// The simulation temperature `value` (degrees) as ENTER sends it
// ("023.00", into TCO_TYPE) and its five digits ("02300", returned).
QString simulationDigits(Panel &p, double value);
inline constexpr int kSimulationPoint = 3;

// The three coefficients of a user RTD, in the order ENTER confirms them:
// by name in states 41, 42, 43, their digits in 51, 52, 53.
enum class Rtd { Alpha, Beta, Delta };
struct Coefficient
{
    const char16_t *query;
    const display::Word *name;  // on display 2
};
const Coefficient &coefficient(Rtd which);

// A coefficient reads as two integer digits and five decimals: the point
// after position 1 is lit from the first name to the last confirmation.
inline constexpr int kCoefficientPoint = 1;

// Asks for a coefficient and shows it (below); nothing with the link down.
// A reply that is no number counts as 0.
Outcome loadCoefficient(Panel &p, Rtd which);

// A coefficient by name: its digits (loaded as above), the point, its
// name on display 2, blinking on positions 1 to `blinkLast`.
Outcome coefficientByName(Panel &p, Rtd which, qint16 blinkLast);

// A coefficient as ENTER sends it ("00.00385", into TCO_TYPE) and its seven
// digits ("0000385", into QUERY_VALUE), drawn on display 1.
void showCoefficient(Panel &p, double value);

} // namespace keys
