#include "shell/speed_check.h"

#include "formats/setting_record.h"

#include "core/link_gate.h"
#include "core/panel.h"
#include "platform/runtime.h"

#include <optional>

using display::Lamp;

namespace shell {
namespace {

struct RateLamp
{
    const char16_t *code;
    Lamp lamp;
};
constexpr RateLamp kRateLamps[] = {{u"S", Lamp::S_LAB}, {u"M", Lamp::M_LAB}, {u"F", Lamp::F_LAB}};

struct BandRow
{
    const char16_t *reply;  // first four characters of the band reply
    const char16_t *code;
};
// The AC detector band: 3 Hz is slow, 20 Hz medium, 200 Hz fast.
constexpr BandRow kBands[] = {{u"+003", u"S"}, {u"+020", u"M"}, {u"+200", u"F"}};

struct ApertureRow
{
    QChar digit;  // second-last character of the gate-time reply
    const char16_t *code;
};
// The gate time comes as "+1.00000E-01" and its CR: the exponent's last
// digit, 0 (1 s), 1 (0.1 s) or 2 (10 ms), is the second-last character.
constexpr ApertureRow kApertures[] = {{u'0', u"S"}, {u'1', u"M"}, {u'2', u"F"}};

// The rate code the instrument reports, or nothing when the query failed.
// An unrecognised reply gives the code unchanged.
std::optional<QString> askRate(Panel &p)
{
    const display::DisplayModel &d = p.display;
    const bool ac = d.isLit(Lamp::AC_LAB1);
    const bool frequency = d.isLit(Lamp::T_Hz_LAB1) || d.isLit(Lamp::T_S_LAB1);
    const QString query = ac          ? QStringLiteral("sens:det:band?\\10")
                          : frequency ? QStringLiteral("sens:FREQ:APER?\\10")
                                      : QStringLiteral("sens:det:rate?\\10");
    const std::optional<QString> read = ask(p, query);
    if (!read)
        return std::nullopt;
    const QString reply = rt::trimSpaces(*read);
    if (ac) {
        const QString band = rt::left(reply, 4).value_or(QString());
        for (const BandRow &row : kBands)
            if (band == QStringView(row.reply))
                return QString::fromUtf16(row.code);
        return p.state.SPEED_CODE;
    }
    if (frequency) {
        const std::optional<QString> digit = rt::mid(reply, reply.size() - 1, 1);
        if (!digit)
            return std::nullopt;  // too short to have a second-last character
        for (const ApertureRow &row : kApertures)
            if (*digit == row.digit)
                return QString::fromUtf16(row.code);
        return p.state.SPEED_CODE;
    }
    return rt::left(reply, 1).value_or(QString());
}

void showRateLamps(Panel &p)
{
    display::DisplayModel::Batch batch(p.display);
    for (const RateLamp &rate : kRateLamps)
        p.display.setLit(rate.lamp, p.state.SPEED_CODE == QStringView(rate.code));
}

// The two lines of interval and test time that replace the status text.
void showIntervalAndTestTime(Panel &p)
{
    const QString interval = rt::trimSpaces(p.controls.Speed_TIME.text);
    const QString testTime = rt::trimSpaces(p.controls.CONT_TIME_LIST.text);
    const bool continuous = rt::trimSpaces(p.state.SETTING.TEST_TIME_TEXT) == u"Continuous";
    p.status.clear();
    p.status.append(QStringLiteral("TEST Speed: ") + interval + QStringLiteral(" milliseconds\r\n\r\n"));
    p.status.append(QStringLiteral("Test time : ") + testTime
                    + (continuous ? QString() : QStringLiteral(" minutes")) + QStringLiteral("\r\n\r\n"));
}

} // namespace

void SPEED_CHK(Panel &p)
{
    if (p.state.REMOTE_OK) {
        const std::optional<QString> code = askRate(p);
        if (!code) {
            // No reply: the rate is unknown; the lamps stay as they are.
            p.state.SPEED_CODE.clear();
            return;
        }
        p.state.SPEED_CODE = *code;
    }
    showRateLamps(p);
}

void setSampleInterval(Panel &p, const QString &text)
{
    p.controls.Speed_TIME.text = text;
    if (const std::optional<qint32> ms = rt::toWhole(text))
        p.state.SPEED_MS = *ms;
    p.controls.touch();
}

void showIntervalList(Panel &p, const IntervalList &list)
{
    p.controls.Speed_TIME.items = list.entries;
    setSampleInterval(p, list.text);
}

void FullTestSpeed(Panel &p) { showIntervalList(p, fullTestSpeedList()); }
void MidTestSpeed(Panel &p) { showIntervalList(p, midTestSpeedList()); }
void SlowTestSpeed(Panel &p) { showIntervalList(p, slowTestSpeedList()); }
void VerySlowTestSpeed(Panel &p) { showIntervalList(p, verySlowTestSpeedList()); }
void PHzHTestSpeed(Panel &p) { showIntervalList(p, pHzHTestSpeedList()); }
void PHzTestSpeed(Panel &p) { showIntervalList(p, pHzTestSpeedList()); }

void rebuildSpeedList(Panel &p)
{
    showIntervalList(p, intervalList(p.state.MODE1, p.display.isLit(Lamp::F_LAB),
                                     p.display.isLit(Lamp::S_LAB)));
}

void Speed_TIME_Change(Panel &p)
{
    setSampleInterval(p, QStringLiteral("500"));
}

void CONT_TIME_LIST_Change(Panel &p)
{
    p.controls.CONT_TIME_LIST.text = QStringLiteral("0.5");
    p.controls.touch();
}

void Speed_TIME_Click(Panel &p)
{
    p.state.SETTING.SPEED = p.controls.Speed_TIME.text;
    showIntervalAndTestTime(p);
    setSampleInterval(p, p.controls.Speed_TIME.text);
}

void CONT_TIME_LIST_Click(Panel &p)
{
    p.state.SETTING.TEST_TIME_TEXT = fixedText(p.controls.CONT_TIME_LIST.text);
    showIntervalAndTestTime(p);
    setSampleInterval(p, p.controls.Speed_TIME.text);
}

} // namespace shell
