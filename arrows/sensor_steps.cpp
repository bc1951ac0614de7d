// UP and DOWN in the temperature sensor menu: between its levels, through
// the thermocouple types and the RTD coefficients by name, and on the digit
// under the cursor of the simulation temperature or a coefficient. They
// send no setting (ENTER does, from TCO_TYPE), only the queries of the
// items they move to, and touch neither the reading timers nor the menu's
// flag. The states are told in keys/sensor_items.h.

#include "arrows/value_edits.h"

#include "core/panel.h"
#include "display/sensor_words.h"
#include "keys/sensor_items.h"
#include "platform/runtime.h"

#include <algorithm>
#include <iterator>

namespace arrows {

namespace {

using display::Positions;
using keys::Outcome;
using keys::Rtd;

// DOWN steps forward through the list, UP back, both round at the ends.
constexpr QStringView kThermocouples = u"BEJKNRST";

// The simulation temperature's digit under the cursor (2 to 5) is tens,
// units, tenths or hundredths of a degree. UP stops at 50, DOWN at 0.
constexpr double kSimulationSteps[] = {10, 1, 0.1, 0.01};
constexpr int kSimulationFirstDigit = 2;
constexpr double kSimulationHighest = 50;

// A coefficient's digit under the cursor (0 to 6); both keys keep it
// within 0 to 10.
constexpr double kCoefficientSteps[] = {10, 1, 0.1, 0.01, 0.001, 0.0001, 0.00001};
constexpr double kCoefficientHighest = 10;

double signFor(Arrow key)
{
    return key == Arrow::Up ? 1 : -1;
}

Outcome levelOne(Panel &p, Arrow)
{
    display::spell(p.display, display::kTCupWord1);
    display::spell(p.display, display::kLevel1Word2);
    return Outcome::Done;
}

Outcome levelTwo(Panel &p, Arrow)
{
    display::spell(p.display, display::kSensorWord1);
    display::spell(p.display, display::kLevel2Word2);
    return Outcome::Done;
}

Outcome chooseType(Panel &p, Arrow)
{
    return keys::chooseThermocouple(p);
}

Outcome editSimulation(Panel &p, Arrow)
{
    return keys::editSimulation(p);
}

// A TCO_TYPE that is none of the letters stays as it is.
Outcome stepType(Panel &p, Arrow key)
{
    QString &type = p.state.TCO_TYPE;
    const qsizetype at = type.size() == 1 ? kThermocouples.indexOf(type.front()) : -1;
    if (at >= 0) {
        const qsizetype n = kThermocouples.size();
        type = kThermocouples.mid((key == Arrow::Up ? at + n - 1 : at + 1) % n, 1).toString();
    }
    display::spellThermocouple(p.display, type);
    return Outcome::Done;
}

// QUERY_VALUE holds the temperature in degrees ("23.5").
Outcome stepSimulation(Panel &p, Arrow key)
{
    shell::PanelState &s = p.state;
    double value = rt::leadingNumber(s.QUERY_VALUE);
    const int cursor = s.BLINK_LAST - kSimulationFirstDigit;
    if (cursor >= 0 && cursor < int(std::size(kSimulationSteps)))
        value += signFor(key) * kSimulationSteps[cursor];
    if (key == Arrow::Up)
        value = std::min(value, kSimulationHighest);
    else
        value = std::max(value, 0.0);
    const QString digits = keys::simulationDigits(p, value);  // "02350"
    const double hundredths = rt::leadingNumber(digits);
    display::DisplayModel::Batch batch(p.display);
    if (hundredths > 0) {
        // Tens, units, tenths, hundredths on positions 2 to 5.
        for (int i = 2; i <= 5; ++i)
            p.display.draw(Positions::DIS1_IMG, i, QStringView(digits).mid(i - 1, 1));
    } else {
        // Zero fills the whole display from the digits, the last one
        // repeated past their end: seven zeros.
        for (int i = 0; i < display::kDisplay1Positions; ++i)
            p.display.draw(Positions::DIS1_IMG, i,
                           QStringView(digits).mid(std::min<qsizetype>(i, digits.size() - 1), 1));
    }
    s.QUERY_VALUE = rt::numberText(hundredths / 100);
    return Outcome::Done;
}

// Moving between the coefficients by name asks for the one moved to; the
// blink covers BETA's four letters, ALPHA's and DELTA's five.
Outcome byName(Panel &p, Rtd which)
{
    return keys::coefficientByName(p, which, which == Rtd::Beta ? 4 : 5);
}

// TCO_TYPE holds the coefficient as ENTER sends it ("00.00385").
Outcome stepCoefficient(Panel &p, Arrow key)
{
    double value = rt::leadingNumber(p.state.TCO_TYPE);
    const int cursor = p.state.BLINK_LAST;
    if (cursor >= 0 && cursor < int(std::size(kCoefficientSteps)))
        value += signFor(key) * kCoefficientSteps[cursor];
    keys::showCoefficient(p, std::clamp(value, 0.0, kCoefficientHighest));
    return Outcome::Done;
}

struct ArrowRow
{
    qint16 state;
    Arrow key;
    qint16 next;
    Outcome (*act)(Panel &, Arrow);  // null: nothing drawn, nothing asked
};

constexpr Arrow Up = Arrow::Up;
constexpr Arrow Down = Arrow::Down;

// A state and key not listed change nothing: UP in 11, 12 and 13, DOWN in
// 23. The state moves on only when the row's work is done.
constexpr ArrowRow kArrowRows[] = {
    // state  key   next  act
    {11,     Down, 21,   levelTwo},
    {12,     Down, 11,   nullptr},
    {13,     Down, 11,   nullptr},
    {21,     Up,   11,   levelOne},
    {22,     Up,   11,   levelOne},
    {21,     Down, 31,   chooseType},
    {22,     Down, 32,   editSimulation},
    {23,     Up,   13,   nullptr},
    {23,     Down, 23,   nullptr},
    {31,     Up,   31,   stepType},
    {31,     Down, 31,   stepType},
    {32,     Up,   32,   stepSimulation},
    {32,     Down, 32,   stepSimulation},
    {33,     Up,   31,   nullptr},
    {34,     Up,   31,   nullptr},
    {33,     Down, 33,   nullptr},
    {34,     Down, 33,   nullptr},
    {41,     Up,   43,   [](Panel &p, Arrow) { return byName(p, Rtd::Delta); }},
    {41,     Down, 42,   [](Panel &p, Arrow) { return byName(p, Rtd::Beta); }},
    {42,     Up,   41,   [](Panel &p, Arrow) { return byName(p, Rtd::Alpha); }},
    {42,     Down, 43,   [](Panel &p, Arrow) { return byName(p, Rtd::Delta); }},
    {43,     Up,   42,   [](Panel &p, Arrow) { return byName(p, Rtd::Beta); }},
    {43,     Down, 41,   [](Panel &p, Arrow) { return byName(p, Rtd::Alpha); }},
    {51,     Up,   51,   stepCoefficient},
    {51,     Down, 51,   stepCoefficient},
    {52,     Up,   52,   stepCoefficient},
    {52,     Down, 52,   stepCoefficient},
    {53,     Up,   53,   stepCoefficient},
    {53,     Down, 53,   stepCoefficient},
};

} // namespace

bool stepSensorMenu(Panel &p, Arrow key)
{
    const shell::PanelState &s = p.state;
    const auto row = std::find_if(std::begin(kArrowRows), std::end(kArrowRows),
                                  [&s, key](const ArrowRow &r) { return r.state == s.SENSOR_STATE && r.key == key; });
    if (row == std::end(kArrowRows))
        return true;
    return keys::moveTo(p, row->act ? row->act(p, key) : Outcome::Done, row->next);
}

} // namespace arrows
