#include "formats/recorded_data.h"

#include "platform/program_folder.h"
#include "platform/runtime.h"

using namespace Qt::StringLiterals;

namespace formats {

namespace {

// The header block. Its commas mark the columns the record lines keep:
// 6, 18, 42, 53, 70, 81 and 98 with the wider field widths.
constexpr QStringView kHeadingLine =
    u"Total,"
    u"       Time,  "
    u"                  Now,    "
    u"  Mod1, "
    u"      Display1,,  "
    u"    Mod2, "
    u"      Display2,,";
constexpr int kRuleLength = 99;  // '=' characters before the rule's comma

bool isResistance(QStringView mode) { return mode == u"2W" || mode == u"4W"; }
bool isTemperature(QStringView mode) { return mode == u"C" || mode == u"F"; }

// Width in characters: a pair of UTF-16 surrogates is one character.
qsizetype characterCount(QStringView text)
{
    qsizetype count = text.size();
    for (qsizetype i = 1; i < text.size(); ++i)
        if (text[i].isLowSurrogate() && text[i - 1].isHighSurrogate())
            --count;
    return count;
}

void appendRightAligned(QString &line, QStringView text, qsizetype width)
{
    const qsizetype fill = width - characterCount(text);
    if (fill > 0)
        line.append(QString(fill, u' '));
    line.append(text);
}

void appendTwoDigits(QString &text, int value)
{
    text.append(QChar(u'0' + value / 10 % 10));
    text.append(QChar(u'0' + value % 10));
}

} // namespace

QString elapsedText(qint64 elapsedSecs)
{
    const qint64 inDay = ((elapsedSecs % 86400) + 86400) % 86400;
    QString text;
    text.reserve(8);
    appendTwoDigits(text, int(inDay / 3600));
    text.append(u':');
    appendTwoDigits(text, int(inDay % 3600 / 60));
    text.append(u':');
    appendTwoDigits(text, int(inDay % 60));
    return text;
}

QString dateTimeText(const QDateTime &when, QChar between)
{
    const QDate date = when.date();
    const QTime time = when.time();
    QString text;
    text.reserve(19);
    text.append(rt::pattern(date.year(), u"0000"));
    text.append(u'/');
    appendTwoDigits(text, date.month());
    text.append(u'/');
    appendTwoDigits(text, date.day());
    text.append(between);
    appendTwoDigits(text, time.hour());
    text.append(u':');
    appendTwoDigits(text, time.minute());
    text.append(u':');
    appendTwoDigits(text, time.second());
    return text;
}

QString fileStamp(const QDateTime &when, qint32 fileNo)
{
    const QDate date = when.date();
    const QTime time = when.time();
    QString stamp = u"-"_s + rt::pattern(date.year(), u"0000");
    appendTwoDigits(stamp, date.month());
    appendTwoDigits(stamp, date.day());
    stamp.append(u'-');
    appendTwoDigits(stamp, time.hour());
    appendTwoDigits(stamp, time.minute());
    appendTwoDigits(stamp, time.second());
    stamp.append(u'-');
    stamp.append(rt::pattern(fileNo, u"000"));
    return stamp;
}

QString recordFolder()
{
    return rt::inProgramFolder(u"SAVE DATA"_s);
}

QString recordPath(const QString &logName, const QString &stamp)
{
    return recordFolder() + u'/' + logName + stamp + u".txt"_s;
}

QByteArray headerBytes(const QDateTime &created)
{
    QString text = u"    "_s + dateTimeText(created, u'-') + u",\r\n"_s;
    text += kHeadingLine;
    text += u"\r\n"_s;
    text += QString(kRuleLength, u'=');
    text += u",\r\n"_s;
    return text.toUtf8();
}

QString recordLine(const RecordFields &fields)
{
    const bool temperature1 = isTemperature(fields.MODE1);
    QString line;
    line.reserve(112);
    line.append(rt::pattern(fields.total, u"00000"));
    line.append(u",   ");
    line.append(fields.elapsed);
    line.append(u",    ");
    line.append(dateTimeText(fields.now, u' '));
    line.append(u',');
    appendRightAligned(line, fields.MODE1, temperature1 ? 9 : 10);
    line.append(u',');
    appendRightAligned(line, fields.DISPLAY1,
                       isResistance(fields.MODE1) || temperature1 ? 15 : 16);
    line.append(u',');
    appendRightAligned(line, fields.MODE2, 10);
    line.append(u',');
    appendRightAligned(line, fields.DISPLAY2,
                       isResistance(fields.MODE2) && !temperature1 ? 15 : 16);
    line.append(u",\r\n");
    return line;
}

void fillEmptyDisplays(QString &DISPLAY1, QString &DISPLAY2, QStringView MODE1,
                       QStringView MODE2, bool MODE2_ON)
{
    const QString wide(1, QChar(kFullWidthSpace));
    if (DISPLAY1.isEmpty())
        DISPLAY1 = isResistance(MODE1) || isTemperature(MODE1) ? wide : u" "_s;
    if (MODE2_ON && !isTemperature(MODE1) && DISPLAY2.isEmpty())
        DISPLAY2 = isResistance(MODE1) && isResistance(MODE2) ? wide : u" "_s;
}

} // namespace formats
