#include "runs/recorder.h"

#include "platform/program_folder.h"
#include "platform/runtime.h"
#include "shell/panel_state.h"
#include "shell/status_log.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace runs {

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

QDateTime systemNow()
{
    return QDateTime::currentDateTime();
}

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

qint32 recordEvery(QStringView REC_EVERY)
{
    const std::optional<qint32> every = rt::toWhole(REC_EVERY);
    return every && *every > 0 ? *every : 1;
}

bool isUsableRecordName(QStringView name)
{
    if (name.isEmpty() || name.contains(u".."))
        return false;
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

// ---- Recorder

Recorder::Recorder(shell::PanelState &state, shell::StatusLog *status, DateTimeSource now)
    : m_state(state), m_status(status), m_now(std::move(now))
{
}

Recorder::~Recorder()
{
    close();
}

bool Recorder::create(QString *why)
{
    m_file.close();
    startFile(1);
    const bool ok = ensureOpen(why);
    if (!m_keepOpen)
        m_file.close();
    return ok;
}

bool Recorder::openForRun(bool saving, QString *why)
{
    m_keepOpen = true;
    return !saving || ensureOpen(why);
}

void Recorder::close()
{
    m_keepOpen = false;
    m_file.close();
}

qint32 Recorder::nextRecord()
{
    return ++m_state.RECORD_COUNT;
}

void Recorder::takeBackRecord()
{
    if (m_state.RECORD_COUNT > 0)
        --m_state.RECORD_COUNT;
}

bool Recorder::isDue() const
{
    return m_state.RECORD_COUNT % recordEvery(m_state.SETTING.REC_EVERY) == 0;
}

bool Recorder::writeRecord(const QString &elapsed, bool saving, QString *why)
{
    if (!saving)
        return true;
    fillEmptyDisplays(m_state.DISPLAY1, m_state.DISPLAY2, m_state.MODE1, m_state.MODE2,
                      m_state.MODE2_ON);
    if (!ensureOpen(why))
        return false;
    const RecordFields fields{m_state.RECORD_COUNT, elapsed, now(), m_state.MODE1,
                              m_state.DISPLAY1, m_state.MODE2, m_state.DISPLAY2};
    const bool ok = writeBytes(recordLine(fields).toUtf8(), why);
    if (!m_keepOpen)
        m_file.close();
    return ok;
}

bool Recorder::rollOver(bool saving, QString *why)
{
    m_file.close();
    m_state.RECORD_COUNT = 0;
    startFile(m_fileNo + 1);
    if (!saving)
        return true;
    const bool ok = ensureOpen(why);
    if (!m_keepOpen)
        m_file.close();
    return ok;
}

bool Recorder::rollOverIfDue(bool saving, QString *why)
{
    if (m_state.RECORD_COUNT <= 0 || m_state.RECORD_COUNT % m_recordsPerFile != 0)
        return true;
    return rollOver(saving, why);
}

void Recorder::startFile(qint32 fileNo)
{
    m_fileNo = fileNo;
    // The panel's copy of the number is 16 bits wide; the stamp carries the
    // true number even past a year of the fastest sampling.
    m_state.LOG_FILE_NO = qint16(std::min<qint32>(fileNo, std::numeric_limits<qint16>::max()));
    m_state.FILE_STAMP = fileStamp(now(), fileNo);
    m_path = recordPath(m_state.LOG_NAME, m_state.FILE_STAMP);
}

bool Recorder::ensureOpen(QString *why)
{
    if (m_file.isOpen())
        return true;
    if (m_path.isEmpty())
        startFile(1);  // a record before any START: its file starts here
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath()))
        return failed(u"cannot create the folder %1"_s.arg(info.absolutePath()), why);
    const bool needsHeader = !info.exists() || info.size() == 0;
    m_file.setFileName(m_path);
    // Unbuffered: every write goes to the system at once, and a failed one
    // leaves nothing behind in a buffer to be written later.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return failed(u"cannot open %1: %2"_s.arg(m_path, m_file.errorString()), why);
    m_size = m_file.size();
    if (needsHeader && !writeBytes(headerBytes(now()), why))
        return false;
    return true;
}

bool Recorder::writeBytes(const QByteArray &bytes, QString *why)
{
    const qint64 written = m_file.write(bytes);
    if (written != bytes.size()) {
        const QString reason = written < 0
            ? m_file.errorString()
            : u"%1 of %2 bytes written"_s.arg(written).arg(bytes.size());
        // A cut line would run into the next record: take it back.
        if (written > 0 && !m_file.isSequential())
            m_file.resize(m_size);
        m_file.close();
        return failed(u"cannot write to %1: %2"_s.arg(m_path, reason), why);
    }
    m_size += written;
    succeeded();
    return true;
}

bool Recorder::failed(const QString &reason, QString *why)
{
    if (why)
        *why = reason;
    if (!m_failing && m_status)
        m_status->append(u"Recording failed: "_s + reason);
    m_failing = true;
    return false;
}

void Recorder::succeeded()
{
    if (m_failing && m_status)
        m_status->append(u"Recording again to "_s + m_path);
    m_failing = false;
}

} // namespace runs
