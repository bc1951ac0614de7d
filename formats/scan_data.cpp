#include "formats/scan_data.h"

#include "formats/recorded_data.h"
#include "formats/scan_setup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace formats {
namespace {

constexpr int kHeaderColumn = 12;  // a header text is right-aligned in 12, then " ,"
constexpr int kFieldWidth = 13;    // a reading is right-aligned in 13, then ","
constexpr int kRuleExtra = 19;     // the rule is 19 signs longer than line 5

void appendPadded(QString &line, QStringView text, int width)
{
    if (text.size() < width)
        line.append(QString(width - text.size(), u' '));
    line.append(text);
}

QString twoDigits(int value)
{
    return QString::number(value).rightJustified(2, u'0');
}

} // namespace

QString scanPath(const QString &scanName, const QString &stamp)
{
    return scanDataFolder() + u'/' + scanName + stamp + u".txt"_s;
}

QByteArray scanHeaderBytes(const QDateTime &created, const QList<ScanHeaderChannel> &channels)
{
    QString channelLine, functionLine, rangeLine;
    for (const ScanHeaderChannel &c : channels) {
        channelLine += u"    CHAN:1"_s + twoDigits(c.index + 1) + u" ,"_s;
        appendPadded(functionLine, c.function, kHeaderColumn);
        functionLine += u" ,"_s;
        if (c.autoRange)
            rangeLine += u"        AUTO ,"_s;
        else {
            appendPadded(rangeLine, c.range, kHeaderColumn);
            rangeLine += u" ,"_s;
        }
    }
    channelLine += QString(17, u' ') + u"Now ,"_s;
    functionLine += u" ,"_s;
    rangeLine += u" ,"_s;

    QString text = u"    "_s + dateTimeText(created, u'-') + u",\r\n"_s;
    text += u"    \r\n"_s;
    text += channelLine + u"\r\n"_s;
    text += functionLine + u"\r\n"_s;
    text += rangeLine + u"\r\n"_s;
    text += QString(rangeLine.size() + kRuleExtra, u'=') + u",\r\n"_s;
    return text.toUtf8();
}

QString scanField(QStringView text)
{
    if (text.size() >= kOverloadTextLength)
        return kOverloadField.toString();
    QString field;
    field.reserve(kFieldWidth + 1);
    appendPadded(field, text, kFieldWidth);
    field += u',';
    return field;
}

QString scanLineTail(const QDateTime &written)
{
    return u"  "_s + dateTimeText(written, u'-') + u",\r\n"_s;
}

bool appendScanFile(const QString &path, const QByteArray &bytes, QString *why)
{
    const auto fail = [why](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(u"The folder %1 cannot be made."_s.arg(QDir::toNativeSeparators(folder)));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return fail(u"%1 cannot be opened: %2"_s.arg(QDir::toNativeSeparators(path), file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.flush())
        return fail(u"Writing %1 failed: %2"_s.arg(QDir::toNativeSeparators(path), file.errorString()));
    return true;
}

} // namespace formats
