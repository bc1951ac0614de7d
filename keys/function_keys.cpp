#include "keys/function_keys.h"

#include "display/glyph_words.h"
#include "core/panel.h"
#include "platform/runtime.h"
#include "core/link_gate.h"

#include <optional>

namespace keys {

namespace {

using display::Lamp;

// Asks the instrument for its thermocouple type, sends it back and spells it
// on display 2 ("TYPE K"). Without a reply the type stays as it was and
// nothing is sent or spelled: the key goes on to the unit, so the panel never
// keeps a wrong unit lamp.
void refreshThermocouple(Panel &p)
{
    shell::PanelState &s = p.state;
    const std::optional<QString> reply =
        shell::ask(p, QStringLiteral("SENS:TEMP:TCO:TYPE?\\10"));
    if (!reply)
        return;
    // The reply ends in its CR; the type is the first character before it.
    s.TCO_TYPE = rt::left(reply->chopped(1), 1).value_or(QString());
    shell::send(p, 
                         QStringLiteral("CONF:TEMP:TCO ") + s.TCO_TYPE + QStringLiteral("\\10"));
    display::DIS2_SHOW_RANGE(p.display, u"T", u"Y", u"P", u"E", u"", s.TCO_TYPE);
}

} // namespace

void CF_IMG_ENTER(Panel &p)
{
    display::DisplayModel &d = p.display;
    shell::PanelState &s = p.state;
    display::DisplayModel::Batch batch(d);
    if (d.isLit(Lamp::ND2_LAB)) {
        d.setLit(Lamp::ND2_LAB, false);
        return;
    }
    s.MODE1_RANGE.clear();
    s.DISPLAY1.clear();
    display::ClearSHOW2(d);
    if (!s.MODE2_ON && s.REMOTE_OK && s.SENSOR_TYPE == u"TCO")
        refreshThermocouple(p);

    const bool toFahrenheit = d.isLit(Lamp::T_C_LAB1);
    shell::send(p, 
                         toFahrenheit ? QStringLiteral("unit f\\10") : QStringLiteral("unit c\\10"));
    display::ClearSHOW1(d);
    d.setLit(toFahrenheit ? Lamp::T_F_LAB1 : Lamp::T_C_LAB1, true);
    s.MODE1 = toFahrenheit ? QStringLiteral("F") : QStringLiteral("C");
}

} // namespace keys
