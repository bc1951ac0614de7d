#include "keys/sensor_items.h"

#include "core/panel.h"
#include "keys/key_exchange.h"
#include "platform/runtime.h"
#include "reading/reply_text.h"

namespace keys {

namespace {

using display::Points;
using display::Positions;

constexpr Coefficient kCoefficients[] = {
    {u"SENS:TEMP:RTD:ALPH?\\10", &display::kAlphaWord2},
    {u"SENS:TEMP:RTD:BETA?\\10", &display::kBetaWord2},
    {u"SENS:TEMP:RTD:DELT?\\10", &display::kDeltaWord2},
};

// The simulation temperature: three integer digits and two decimals sent,
// positions 2 to 5 shown (the hundreds are not), the point after 3.
constexpr QStringView kSimulationPattern = u"000.00";
constexpr int kSimulationDecimals = 2;

// A coefficient: two integer digits and five decimals, all seven shown, the
// point after position 1.
constexpr QStringView kCoefficientPattern = u"00.00000";
constexpr int kCoefficientDecimals = 5;

// A formatted number without its point: the characters before it followed
// by the last `decimals` ("023.00" -> "02300").
QString withoutPoint(const QString &text, int decimals)
{
    const qsizetype point = text.indexOf(u'.');
    if (point < 0)
        return text;
    return text.left(point) + text.right(decimals);
}

// Character i (from 1) of a text, or "" past its end.
QStringView character(const QString &text, qsizetype i)
{
    return i >= 1 && i <= text.size() ? QStringView(text).mid(i - 1, 1) : QStringView();
}

} // namespace

bool moveTo(Panel &p, Outcome step, qint16 next)
{
    if (step == Outcome::Done)
        p.state.SENSOR_STATE = next;
    return step != Outcome::Failed;
}

void blinkOn(Panel &p, qint16 first, qint16 last, qint16 dot, bool display2)
{
    shell::PanelState &s = p.state;
    p.timers.IMG_Timer.setEnabled(false);
    s.BLINK_FIRST = first;
    s.BLINK_LAST = last;
    s.BLINK_DOT = dot;
    s.BLINK_DISP2 = display2;
    p.timers.IMG_Timer.setEnabled(true);
}

void blinkOff(Panel &p)
{
    p.timers.IMG_Timer.setEnabled(false);
}

QString typeLetter(const QString &reply)
{
    const qsizetype cr = reply.endsWith(u'\r') ? 1 : 0;
    return QStringView(reply).chopped(cr).left(1).toString();
}

Outcome chooseThermocouple(Panel &p)
{
    shell::PanelState &s = p.state;
    if (s.REMOTE_OK) {
        const std::optional<QString> reply = keyAsk(p, QStringLiteral("SENS:TEMP:TCO:TYPE?\\10"));
        if (!reply)
            return Outcome::Failed;
        s.TCO_TYPE = typeLetter(*reply);
    }
    display::DisplayModel::Batch batch(p.display);
    display::spellThermocouple(p.display, s.TCO_TYPE);
    display::spell(p.display, display::kSensorWord2);
    blinkOn(p, 1, 6, shell::kNoBlink, false);
    return Outcome::Done;
}

QString simulationDigits(Panel &p, double value)
{
    p.state.TCO_TYPE = rt::pattern(value, kSimulationPattern);
    return withoutPoint(p.state.TCO_TYPE, kSimulationDecimals);
}

Outcome editSimulation(Panel &p)
{
    shell::PanelState &s = p.state;
    if (s.REMOTE_OK) {
        const std::optional<QString> reply = keyAsk(p, QStringLiteral("SENS:TEMP:RJUN:SIM?\\10"));
        if (!reply)
            return Outcome::Failed;
        const std::optional<double> hundredths = rt::toNumber(*reply);
        if (!hundredths) {
            p.status.append(QStringLiteral("Sensor menu: the simulation temperature \"%1\" is not a number; "
                                           "nothing was sent.")
                                .arg(reading::replyText(*reply)));
            return Outcome::Stopped;
        }
        s.QUERY_VALUE = rt::numberText(*hundredths / 100);
    }
    // With the link down QUERY_VALUE holds the last temperature.
    const QString digits = simulationDigits(p, rt::leadingNumber(s.QUERY_VALUE));
    display::DisplayModel &d = p.display;
    display::DisplayModel::Batch batch(d);
    for (int i = 2; i <= 5; ++i) {
        const QStringView c = character(digits, i);
        if (!c.isEmpty() && c.front() >= u'0' && c.front() <= u'9')
            d.draw(Positions::DIS1_IMG, i, c);
        else
            d.setLit(Positions::DIS1_IMG, i, false);
    }
    s.QUERY_VALUE = rt::numberText(rt::leadingNumber(digits.left(5)) / 100);
    d.setLit(Points::DROP_IMG, kSimulationPoint, true);
    display::spell(d, display::kSimWord2);
    blinkOn(p, 5, 5, shell::kNoBlink, false);
    return Outcome::Done;
}

const Coefficient &coefficient(Rtd which)
{
    return kCoefficients[int(which)];
}

Outcome loadCoefficient(Panel &p, Rtd which)
{
    if (!p.state.REMOTE_OK)
        return Outcome::Done;
    const std::optional<QString> reply = keyAsk(p, QString::fromUtf16(coefficient(which).query));
    if (!reply)
        return Outcome::Failed;
    p.state.QUERY_VALUE = *reply;
    showCoefficient(p, rt::leadingNumber(*reply));
    return Outcome::Done;
}

Outcome coefficientByName(Panel &p, Rtd which, qint16 blinkLast)
{
    const Outcome loaded = loadCoefficient(p, which);
    if (loaded != Outcome::Done)
        return loaded;
    display::DisplayModel &d = p.display;
    d.setLit(Points::DROP_IMG, kCoefficientPoint, true);
    d.setLit(Points::DROP_IMG, 0, false);
    display::spell(d, *coefficient(which).name);
    blinkOn(p, 1, blinkLast, shell::kNoBlink, true);
    return Outcome::Done;
}

void showCoefficient(Panel &p, double value)
{
    shell::PanelState &s = p.state;
    s.TCO_TYPE = rt::pattern(value, kCoefficientPattern);
    s.QUERY_VALUE = withoutPoint(s.TCO_TYPE, kCoefficientDecimals);
    display::DisplayModel::Batch batch(p.display);
    for (int i = 0; i < display::kDisplay1Positions; ++i)
        p.display.draw(Positions::DIS1_IMG, i, character(s.QUERY_VALUE, i + 1));
}

} // namespace keys
