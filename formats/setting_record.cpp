#include "formats/setting_record.h"

#include "formats/save_file.h"
#include "platform/plain_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <type_traits>

namespace shell {

namespace {

// Where the fields sit in record 1.
constexpr int kPortAt = 0;
constexpr int kBaudAt = 2;
constexpr int kRecEveryAt = 6;
constexpr int kTestTimeAt = 26;
constexpr int kSpeedTagAt = 46;
constexpr int kSpeedLengthAt = 48;
constexpr int kSpeedTextAt = 50;
constexpr int kSpeedTextRoom = kSettingRecordSize - kSpeedTextAt;  // 78
constexpr quint16 kTextTag = 8;

constexpr int kHighestPort = 10;
constexpr std::array<qint32, 6> kBaudRates = {0, 9600, 19200, 38400, 57600, 115200};

constexpr QLatin1StringView kStartsEmpty("; starting with no port chosen.");

// Every character is stored as one byte. Characters past U+00FF have no
// byte of their own and become '?'; a surrogate pair is one character and
// so one '?'.
QByteArray oneBytePerCharacter(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const char32_t c : text.toUcs4())
        bytes.append(c <= 0xFF ? char(c) : '?');
    return bytes;
}

QString settingFileName()
{
    return QLatin1StringView(kSettingFileName);
}

std::nullopt_t untrusted(QString *why, const QString &reason)
{
    if (why)
        *why = QStringLiteral("Settings file %1 %2%3").arg(settingFileName(), reason, kStartsEmpty);
    return std::nullopt;
}

// A little-endian whole number of sizeof(T) bytes; the caller has checked
// that the bytes are there.
template <typename T>
T fieldAt(const QByteArray &bytes, int offset)
{
    std::make_unsigned_t<T> value = 0;
    for (int i = int(sizeof(T)) - 1; i >= 0; --i)
        value = std::make_unsigned_t<T>((value << 8) | quint8(bytes.at(offset + i)));
    return T(value);
}

void putText(QByteArray &record, int offset, const QByteArray &text)
{
    std::copy(text.cbegin(), text.cend(), record.begin() + offset);
}

} // namespace

QString fixedText(const QString &text)
{
    // Storable characters first, so that what is kept in memory is what the
    // file gives back.
    const QString stored = QString::fromLatin1(oneBytePerCharacter(text));
    return stored.left(kFixedTextWidth).leftJustified(kFixedTextWidth, u' ');
}

QByteArray encodeSetting(const SETTING &setting)
{
    QByteArray record(kSettingRecordSize, '\0');
    char *at = record.data();
    qToLittleEndian<qint16>(setting.PORT, at + kPortAt);
    qToLittleEndian<qint32>(setting.BAUD, at + kBaudAt);
    putText(record, kRecEveryAt, oneBytePerCharacter(fixedText(setting.REC_EVERY)));
    putText(record, kTestTimeAt, oneBytePerCharacter(fixedText(setting.TEST_TIME_TEXT)));

    // A SPEED text longer than the rest of the record keeps what fits.
    const QByteArray speed = oneBytePerCharacter(setting.SPEED).left(kSpeedTextRoom);
    qToLittleEndian<quint16>(kTextTag, at + kSpeedTagAt);
    qToLittleEndian<quint16>(quint16(speed.size()), at + kSpeedLengthAt);
    putText(record, kSpeedTextAt, speed);
    return record;
}

std::optional<SETTING> decodeSetting(const QByteArray &bytes, QString *why)
{
    // Only record 1 counts; anything after it is ignored.
    const qsizetype size = std::min<qsizetype>(bytes.size(), kSettingRecordSize);
    if (size < kSpeedTextAt)
        return untrusted(why, QStringLiteral("is too short (%1 bytes)").arg(bytes.size()));

    const quint16 tag = fieldAt<quint16>(bytes, kSpeedTagAt);
    if (tag != kTextTag)
        return untrusted(why, QStringLiteral("is damaged (sample interval has type %1, not text)").arg(tag));

    const quint16 length = fieldAt<quint16>(bytes, kSpeedLengthAt);
    if (length > kSpeedTextRoom)
        return untrusted(why, QStringLiteral("is damaged (sample interval of %1 bytes does not fit in the record)")
                                  .arg(length));
    if (size < kSpeedTextAt + length)
        return untrusted(why, QStringLiteral("is too short (%1 bytes) for its sample interval of %2 bytes")
                                  .arg(bytes.size())
                                  .arg(length));

    const qint16 port = fieldAt<qint16>(bytes, kPortAt);
    if (port < 0 || port > kHighestPort)
        return untrusted(why, QStringLiteral("names port %1, not COM 1 to COM %2").arg(port).arg(kHighestPort));

    const qint32 baud = fieldAt<qint32>(bytes, kBaudAt);
    if (std::find(kBaudRates.cbegin(), kBaudRates.cend(), baud) == kBaudRates.cend())
        return untrusted(why, QStringLiteral("names baud rate %1, not 9600, 19200, 38400, 57600 or 115200")
                                  .arg(baud));

    SETTING setting;
    setting.PORT = port;
    setting.BAUD = baud;
    setting.REC_EVERY = QString::fromLatin1(bytes.constData() + kRecEveryAt, kFixedTextWidth);
    setting.TEST_TIME_TEXT = QString::fromLatin1(bytes.constData() + kTestTimeAt, kFixedTextWidth);
    setting.SPEED = QString::fromLatin1(bytes.constData() + kSpeedTextAt, length);
    if (why)
        why->clear();
    return setting;
}

QString settingPath(const QString &folder)
{
    return QDir(folder).filePath(settingFileName());
}

bool writeSetting(const QString &path, const SETTING &setting, QString *why)
{
    const auto fail = [&](const QString &reason) {
        if (why)
            *why = QStringLiteral("Settings not saved: %1 (%2).").arg(QDir::toNativeSeparators(path), reason);
        return false;
    };

    QString reason;
    if (!formats::saveWhole(path, encodeSetting(setting), &reason))
        return fail(reason);
    if (why)
        why->clear();
    return true;
}

SettingRead readSetting(const QString &path)
{
    SettingRead read;
    const QFileInfo info(path);
    if (!info.exists())
        return read;
    read.fileFound = true;

    const auto unreadable = [&](const QString &reason) {
        read.problem = QStringLiteral("Settings file %1 cannot be read (%2)%3").arg(settingFileName(), reason, kStartsEmpty);
        return read;
    };
    QFile file(path);
    QString refused;
    if (!rt::openPlainFile(file, refused))
        return unreadable(refused);
    // Record 1 is all the program needs; a longer file is not read further.
    const QByteArray bytes = file.read(kSettingRecordSize);
    if (file.error() != QFileDevice::NoError)
        return unreadable(file.errorString());

    read.record = decodeSetting(bytes, &read.problem);
    return read;
}

} // namespace shell
