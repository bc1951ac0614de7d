#include "shell/front_panel.h"

#include "core/panel.h"
#include "shell/identification.h"
#include "core/link_gate.h"
#include "shell/speed_check.h"

using display::Lamp;
using display::Points;
using display::Positions;

namespace shell {

const QStringList &sampleIntervals()
{
    static const QStringList items = {
        QStringLiteral("16.667"), QStringLiteral("33.333"), QStringLiteral("200"),
        QStringLiteral("500"),    QStringLiteral("1000"),   QStringLiteral("2000"),
        QStringLiteral("5000"),   QStringLiteral("10000"),  QStringLiteral("30000"),
        QStringLiteral("60000"),  QStringLiteral("300000"), QStringLiteral("600000"),
    };
    return items;
}

const QStringList &testTimes()
{
    static const QStringList items = {
        QStringLiteral("0.5"), QStringLiteral("1"),   QStringLiteral("5"),
        QStringLiteral("10"),  QStringLiteral("30"),  QStringLiteral("60"),
        QStringLiteral("180"), QStringLiteral("360"), QStringLiteral("720"),
        QStringLiteral("1440"), QStringLiteral("Continuous"),
    };
    return items;
}

QString keyPicture(int key, bool pressed)
{
    static const char *const kKeys[kKeyCount] = {
        "ACV", "DCV", "ACI", "DCI", "W2W4", "D_C", "Hz_P", "T_CF",
        "AUTO", "UP", "DOWN", "HOLD", "TRIG", "REL", "MXMN", "ND2",
    };
    if (key < 0 || key >= kKeyCount)
        return {};
    return QString::fromLatin1(kKeys[key]) + (pressed ? QStringLiteral("_BUTT2.BMP")
                                                      : QStringLiteral("_BUTT1.BMP"));
}

void LOCALE_UNIT_SET(Panel &p)
{
    const QString degree = QStringLiteral("\u00B0");
    p.display.setCaption(Lamp::T_C_LAB1, degree + u'C');
    p.display.setCaption(Lamp::T_C_LAB2, degree + u'C');
    p.display.setCaption(Lamp::T_F_LAB1, degree + u'F');
    p.display.setCaption(Lamp::T_F_LAB2, degree + u'F');
}

SettingStartup SHOW_Form_Load(Panel &p, const QString &programFolder)
{
    LOCALE_UNIT_SET(p);

    p.state.MATH_DONE = false;
    p.state.ND2_VIEW = false;
    p.controls.Ran_CHK.enabled = false;
    p.state.SENSOR_TYPE = QStringLiteral("TCO");
    p.state.RTD_WIRES = 2;

    PanelTimers &t = p.timers;
    t.READ_Timer.setInterval(1000);
    t.STOP_Timer.setInterval(1000);
    t.ACDC_Timer.setInterval(500);
    t.IMG_Timer.setInterval(300);
    for (rt::PanelTimer *timer : {&t.READ_Timer, &t.STOP_Timer, &t.ACDC_Timer, &t.IMG_Timer})
        timer->setEnabled(false);

    p.controls.INPU_NAME_Frame_front = false;

    const SettingStartup start = settingAtStartup(readSetting(settingPath(programFolder)));
    p.state.SETTING = start.setting;
    p.state.SPEED_MS = start.SPEED_MS;
    if (!start.status.isEmpty())
        p.status.append(start.status);

    // A port that cannot be opened leaves the link down, without a box:
    // the status log has the reason, and the settings window the cure.
    // A record that names no port or rate says so too: the program does not
    // know which line to open.
    if (!openAtStartup(p.link, start.setting) && start.fileRead
        && (p.link.lastError() == LinkError::NoPortChosen || p.link.lastError() == LinkError::NoBaudChosen))
        p.status.append(QStringLiteral("The settings record \"%1\": %2").arg(QString::fromLatin1(kSettingFileName), p.link.lastErrorText()));
    p.state.PORT_SET = start.setting.PORT != 0;

    p.state.DISPLAY_BMP_PATH = programFolder + QStringLiteral("/DISPLAY_BMP");
    p.state.MODE2_ON = false;
    p.display.setLit(Lamp::AC_LAB1, false);
    p.display.setLit(Lamp::T_Hz_LAB1, false);
    p.display.setLit(Lamp::T_S_LAB1, false);

    SPEED_CHK(p);

    PanelControls &c = p.controls;
    c.SHIFT_IMG = QStringLiteral("SHIFT_BUTT1.BMP");
    c.START_IMG = QStringLiteral("START_BUTT1.BMP");
    c.ON_IMG = QStringLiteral("ON_BUTT.BMP");
    c.OFF_IMG = QStringLiteral("OFF_BUTT.BMP");
    for (int i = 0; i < kKeyCount; ++i)
        c.BUTT1_IMG[std::size_t(i)] = keyPicture(i, false);
    {
        // Every character shows the all-segments picture and every point
        // its dot; the filter dot stays dark until the filter set-up.
        display::DisplayModel::Batch batch(p.display);
        for (int i = 0; i < display::DisplayModel::count(Positions::DIS1_IMG); ++i)
            p.display.setGlyph(Positions::DIS1_IMG, i, u"STA");
        for (int i = 0; i < display::DisplayModel::count(Positions::DIS2_IMG); ++i)
            p.display.setGlyph(Positions::DIS2_IMG, i, u"STA");
        p.display.setLit(Points::DROP_IMG, 6, false);
    }

    p.controls.Speed_TIME.items = sampleIntervals();
    setSampleInterval(p, QStringLiteral("500"));  // a run polls at the interval shown
    p.controls.CONT_TIME_LIST.items = testTimes();
    p.controls.CONT_TIME_LIST.text = QStringLiteral("0.5");
    p.controls.touch();

    p.state.TIMER1_TICKS = 0;
    t.Timer1.setInterval(300);
    t.Timer1.setEnabled(true);
    return start;
}

void Timer1_Timer(Panel &p)
{
    ++p.state.TIMER1_TICKS;
    // The diode symbol tells the phase: lit means the last step lit the set.
    p.display.setAllLit(!p.display.isLit(display::Symbol::DIODE_IMG));
    if (p.state.TIMER1_TICKS != 3)
        return;
    p.timers.Timer1.setEnabled(false);
    p.display.setLit(Lamp::START_LAB, true);
    struct RateLamp { const char16_t *code; Lamp lamp; };
    static constexpr RateLamp kRateLamps[] = {
        {u"S", Lamp::S_LAB}, {u"M", Lamp::M_LAB}, {u"F", Lamp::F_LAB}};
    for (const RateLamp &rate : kRateLamps) {
        if (p.state.SPEED_CODE == QStringView(rate.code)) {
            p.display.setLit(rate.lamp, true);
            break;
        }
    }
    RDX_INF_TEST(p);
}

void SHOW_Form_Unload(Panel &p)
{
    send(p, QStringLiteral("SYST:LOC\\10"));
}

} // namespace shell
