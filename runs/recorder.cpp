#include "runs/recorder.h"

#include "platform/program_folder.h"
#include "platform/runtime.h"
#include "core/panel_state.h"
#include "core/status_log.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace runs {

QDateTime systemNow()
{
    return QDateTime::currentDateTime();
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

bool Recorder::isDue(qint32 every) const
{
    return m_state.RECORD_COUNT % std::max(every, 1) == 0;
}

bool Recorder::writeRecord(const QString &elapsed, bool saving, QString *why)
{
    if (!saving)
        return true;
    formats::fillEmptyDisplays(m_state.DISPLAY1, m_state.DISPLAY2, m_state.MODE1, m_state.MODE2,
                      m_state.MODE2_ON);
    if (!ensureOpen(why))
        return false;
    const formats::RecordFields fields{m_state.RECORD_COUNT, elapsed, now(), m_state.MODE1,
                              m_state.DISPLAY1, m_state.MODE2, m_state.DISPLAY2};
    const bool ok = writeBytes(formats::recordLine(fields).toUtf8(), why);
    if (ok)
        m_fileHasRecord = true;
    if (!m_keepOpen)
        m_file.close();
    return ok;
}

void Recorder::removeIfNoRecord()
{
    if (m_fileHasRecord || m_path.isEmpty() || m_file.isOpen())
        return;
    m_fileHasRecord = true;
    // Only a file that holds its header and nothing more.
    const QFileInfo info(m_path);
    if (info.exists() && info.size() == formats::headerBytes(now()).size())
        QFile::remove(m_path);
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
    m_state.FILE_STAMP = formats::fileStamp(now(), fileNo);
    m_path = formats::recordPath(m_state.LOG_NAME, m_state.FILE_STAMP);
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
    if (needsHeader && !writeBytes(formats::headerBytes(now()), why))
        return false;
    if (needsHeader)
        m_fileHasRecord = false;
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
