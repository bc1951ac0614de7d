#include "support/reading_setup.h"

#include <QRegularExpression>

using namespace display;

namespace {

struct Flag
{
    const char *name;
    bool shell::PanelState::*field;
};
constexpr Flag kFlags[] = {
    {"MODE2_ON", &shell::PanelState::MODE2_ON}, {"HOLD_ON", &shell::PanelState::HOLD_ON},
    {"REL_ON", &shell::PanelState::REL_ON},     {"MXMN_ON", &shell::PanelState::MXMN_ON},
    {"MATH_ON", &shell::PanelState::MATH_ON},   {"COMP_ON", &shell::PanelState::COMP_ON},
    {"dBm_ON", &shell::PanelState::dBm_ON},     {"dB_ON", &shell::PanelState::dB_ON},
    {"dB_WITH_dBm", &shell::PanelState::dB_WITH_dBm}, {"READ_OK", &shell::PanelState::READ_OK},
    {"DIS1_OL", &shell::PanelState::DIS1_OL},   {"MATH_SET", &shell::PanelState::MATH_SET},
    {"SENSOR_SET", &shell::PanelState::SENSOR_SET}, {"FILT_SET", &shell::PanelState::FILT_SET},
    {"COMP_SET", &shell::PanelState::COMP_SET}, {"MIN_SEL", &shell::PanelState::MIN_SEL},
    {"ND2_VIEW", &shell::PanelState::ND2_VIEW}, {"READ_PAUSED", &shell::PanelState::READ_PAUSED},
    {"reading1Shown", &shell::PanelState::reading1Shown},
};

bool setOne(Panel &p, const QString &name)
{
    for (const Flag &flag : kFlags)
        if (name == QLatin1StringView(flag.name)) {
            p.state.*flag.field = true;
            return true;
        }
    for (int i = 0; i < kLampCount; ++i)
        if (name == lampName(Lamp(i))) {
            p.display.setLit(Lamp(i), true);
            return true;
        }
    for (Symbol symbol : {Symbol::DIODE_IMG, Symbol::CONTINU_IMG})
        if (name == (symbol == Symbol::DIODE_IMG ? u"DIODE_IMG" : u"CONTINU_IMG")) {
            p.display.setLit(symbol, true);
            return true;
        }
    static const QRegularExpression point(u"^(DROP_IMG2?)\\((\\d)\\)$"_qs);
    if (const QRegularExpressionMatch m = point.match(name); m.hasMatch()) {
        p.display.setLit(m.captured(1) == u"DROP_IMG" ? Points::DROP_IMG : Points::DROP_IMG2,
                         m.captured(2).toInt(), true);
        return true;
    }
    return false;
}

} // namespace

bool setUp(Panel &p, const QStringList &names, QString *unknown)
{
    for (const QString &name : names)
        if (!setOne(p, name)) {
            if (unknown)
                *unknown = name;
            return false;
        }
    return true;
}
