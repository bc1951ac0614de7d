#include "shell/setting_rules.h"

#include "platform/runtime.h"

#include <algorithm>
#include <array>

namespace shell {

namespace {

// The defaults of the two run settings: one reading recorded in every one,
// and the test-time list's first entry.
constexpr QLatin1StringView kRecEveryDefault("1");
constexpr QLatin1StringView kTestTimeDefault("0.5");

constexpr int kPortListSize = 10;  // "COM 1" .. "COM 10"
constexpr std::array<qint32, 5> kBaudRates = {9600, 19200, 38400, 57600, 115200};

std::nullopt_t refuse(QString *why, const QString &reason)
{
    if (why)
        *why = reason;
    return std::nullopt;
}

} // namespace

qint32 sampleIntervalMs(const QString &speed, QString *why)
{
    if (why)
        why->clear();
    if (speed.isEmpty())
        return 0;

    const std::optional<qint32> ms = rt::roundToWhole(rt::leadingNumber(speed));
    if (!ms) {
        if (why)
            *why = QStringLiteral("Stored sample interval \"%1\" is out of range; using 0 ms.").arg(speed);
        return 0;
    }
    if (!rt::toNumber(speed) && why)
        *why = QStringLiteral("Stored sample interval \"%1\" is not a number; using %2 ms.").arg(speed).arg(*ms);
    return *ms;
}

SettingStartup settingAtStartup(const SettingRead &read)
{
    SettingStartup start;
    if (read.record) {
        start.fileRead = true;
        start.setting = *read.record;
        if (start.setting.PORT != 0 && start.setting.BAUD != 0) {
            start.portListIndex = start.setting.PORT - 1;
            start.baudText = QString::number(start.setting.BAUD);
        }
        start.SPEED_MS = sampleIntervalMs(start.setting.SPEED, &start.status);
    } else {
        start.status = read.problem;
    }
    start.setting.REC_EVERY = fixedText(kRecEveryDefault);
    start.setting.TEST_TIME_TEXT = fixedText(kTestTimeDefault);
    start.PORT_SET = start.setting.PORT != 0;
    return start;
}

std::optional<SETTING> settingForStore(int portListIndex, const QString &baudText, const QString &speedText,
                                       const QString &testTimeText, const SETTING &current, qint32 *speedMs,
                                       QString *why)
{
    if (portListIndex < -1 || portListIndex >= kPortListSize)
        return refuse(why, QStringLiteral("Port position %1 is not one of COM 1 to COM %2; settings not saved.")
                               .arg(portListIndex)
                               .arg(kPortListSize));

    qint32 baud = 0;  // nothing chosen
    if (!rt::trimSpaces(baudText).isEmpty()) {
        const std::optional<qint32> rate = rt::toWhole(baudText);
        if (!rate)
            return refuse(why, QStringLiteral("Baud rate \"%1\" is not a number; settings not saved.").arg(baudText));
        if (std::find(kBaudRates.cbegin(), kBaudRates.cend(), *rate) == kBaudRates.cend())
            return refuse(why, QStringLiteral("Baud rate %1 is not 9600, 19200, 38400, 57600 or 115200; "
                                              "settings not saved.")
                                   .arg(*rate));
        baud = *rate;
    }

    const std::optional<qint32> ms = rt::toWhole(speedText);
    if (!ms)
        return refuse(why,
                      QStringLiteral("Sample interval \"%1\" is not a number; settings not saved.").arg(speedText));

    SETTING setting;
    setting.PORT = qint16(portListIndex + 1);
    setting.BAUD = baud;
    setting.REC_EVERY = fixedText(current.REC_EVERY);
    setting.TEST_TIME_TEXT = fixedText(testTimeText);
    setting.SPEED = speedText;
    if (speedMs)
        *speedMs = *ms;
    if (why)
        why->clear();
    return setting;
}

} // namespace shell
