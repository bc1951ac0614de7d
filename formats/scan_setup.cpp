#include "formats/scan_setup.h"

#include "formats/save_file.h"

#include "platform/plain_file.h"
#include "platform/program_folder.h"
#include "platform/runtime.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <limits>

namespace formats {
namespace {

constexpr int kFields = 4;

const char *const kChannelFieldNames[kFields] = {"on box", "auto box", "function", "range"};

QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

// A field's whole number: a number and nothing else (blanks around it
// allowed), rounded halves to even, within 16 bits.
std::optional<qint16> fieldNumber(QStringView field, int line, int column, QString *why)
{
    const auto fail = [&](const QString &problem) -> std::optional<qint16> {
        if (why)
            *why = QStringLiteral("Line %1, field %2: %3").arg(line).arg(column).arg(problem);
        return std::nullopt;
    };
    const std::optional<double> number = rt::toNumber(field);
    if (!number)
        return fail(QStringLiteral("\"%1\" is not a number.").arg(field));
    const std::optional<qint32> whole = rt::roundToWhole(*number);
    if (!whole || *whole < std::numeric_limits<qint16>::min() || *whole > std::numeric_limits<qint16>::max())
        return fail(QStringLiteral("%1 does not fit in 16 bits.").arg(field));
    return qint16(*whole);
}

bool channelLine(QStringView line, int number, ScanChannelSetup &channel, QString *why)
{
    const QList<QStringView> fields = line.split(u',');
    if (fields.size() != kFields) {
        if (why)
            *why = QStringLiteral("Line %1 has %2 fields; a channel line has 4 (on box, auto box, "
                                  "function, range).")
                       .arg(number)
                       .arg(fields.size());
        return false;
    }
    std::array<qint16, kFields> values{};
    for (int i = 0; i < kFields; ++i) {
        const std::optional<qint16> value = fieldNumber(fields.at(i), number, i + 1, why);
        if (!value)
            return false;
        values[std::size_t(i)] = *value;
    }
    for (int i = 0; i < kFields; ++i) {
        const qint16 value = values[std::size_t(i)];
        const bool box = i < 2;
        if ((box && value != 0 && value != 1) || (!box && value < -1)) {
            if (why)
                *why = QStringLiteral("Line %1, field %2: the %3 is %4; it is %5.")
                           .arg(number)
                           .arg(i + 1)
                           .arg(QLatin1StringView(kChannelFieldNames[i]))
                           .arg(value)
                           .arg(box ? QStringLiteral("0 or 1") : QStringLiteral("-1 (none) or a position"));
            return false;
        }
    }
    channel = {values[0] == 1, values[1] == 1, values[2], values[3]};
    return true;
}

bool settingsLine(QStringView line, std::array<QString, 4> &settings, QString *why)
{
    const QList<QStringView> fields = line.split(u',');
    if (fields.size() != kFields) {
        if (why)
            *why = QStringLiteral("Line %1 has %2 fields; the settings line has 4 (Count, Scan Delay, "
                                  "System Delay, Repeat).")
                       .arg(kSetupLines)
                       .arg(fields.size());
        return false;
    }
    for (int i = 0; i < kFields; ++i) {
        // A box left empty was written empty and reads as 0.
        qint16 value = 0;
        if (!rt::trimSpaces(fields.at(i)).isEmpty()) {
            const std::optional<qint16> number = fieldNumber(fields.at(i), kSetupLines, i + 1, why);
            if (!number)
                return false;
            value = *number;
        }
        settings[std::size_t(i)] = QString::number(value);
    }
    return true;
}

} // namespace

QString scanDataFolder()
{
    return rt::inProgramFolder(QStringLiteral("SCAN DATA"));
}

QString scanSetupPath(const QString &name)
{
    return scanDataFolder() + u'/' + name + QStringLiteral(".ini");
}

QByteArray scanSetupBytes(const ScanSetup &setup)
{
    QString text;
    for (const ScanChannelSetup &c : setup.channels) {
        text += QStringLiteral("%1,%2,%3,%4\r\n")
                    .arg(c.on ? 1 : 0)
                    .arg(c.autoRange ? 1 : 0)
                    .arg(c.function)
                    .arg(c.range);
    }
    text += QStringList(setup.settings.cbegin(), setup.settings.cend()).join(u',');
    text += QStringLiteral("\r\n");
    return text.toUtf8();
}

bool writeScanSetup(const QString &path, const ScanSetup &setup, QString *why)
{
    const auto fail = [&](const QString &reason) {
        if (why)
            *why = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    QString reason;
    if (!formats::saveWhole(path, scanSetupBytes(setup), &reason))
        return fail(reason);
    return true;
}

std::optional<ScanSetup> parseScanSetup(const QByteArray &bytes, QString *why)
{
    const QString text = decode(bytes);
    QList<QStringView> lines = QStringView(text).split(u'\n');
    for (QStringView &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    // Blank lines after the last one are no lines of the set-up.
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    if (lines.size() != kSetupLines) {
        if (why)
            *why = QStringLiteral("The file has %1 %2, not %3.")
                       .arg(lines.size())
                       .arg(lines.size() == 1 ? QStringLiteral("line") : QStringLiteral("lines"))
                       .arg(kSetupLines);
        return std::nullopt;
    }
    ScanSetup setup;
    for (int i = 0; i < kSetupChannels; ++i) {
        if (!channelLine(lines.at(i), i + 1, setup.channels[std::size_t(i)], why))
            return std::nullopt;
    }
    if (!settingsLine(lines.at(kSetupChannels), setup.settings, why))
        return std::nullopt;
    return setup;
}

std::optional<ScanSetup> readScanSetup(const QString &path, QString *why)
{
    const auto fail = [&](const QString &reason) -> std::optional<ScanSetup> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    const auto tooLarge = [&](qint64 size) {
        return fail(QStringLiteral("The file is %1 bytes; a set-up file is at most %2 bytes.")
                        .arg(size)
                        .arg(kSetupMaxBytes));
    };
    // Only a plain file of a set-up's size is read: a device would never end.
    QFile file(path);
    QString refused;
    if (!rt::openPlainFile(file, refused))
        return fail(refused);
    if (file.size() > kSetupMaxBytes)
        return tooLarge(file.size());
    // The file may have grown since its size was taken.
    const QByteArray bytes = file.read(kSetupMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (bytes.size() > kSetupMaxBytes)
        return tooLarge(std::max(file.size(), qint64(bytes.size())));
    return parseScanSetup(bytes, why);
}

} // namespace formats
