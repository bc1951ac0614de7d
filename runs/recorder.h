#pragma once
// The recorder writes a run's readings into recorded-data files (their form
// is formats/recorded_data.h), keeping the file naming and counting in the
// panel state and rolling over to a new file when one is full.

#include "formats/recorded_data.h"

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringView>

#include <functional>

namespace shell {
struct PanelState;
class StatusLog;
} // namespace shell

namespace runs {

// The wall clock behind the stamp, the header and every record's date and
// time; tests put a fixed one in its place.
using DateTimeSource = std::function<QDateTime()>;
QDateTime systemNow();

// Every how many record steps one is recorded: the whole number the
// settings field REC_EVERY reads as; anything that is not a positive
// number counts as 1.
qint32 recordEvery(QStringView REC_EVERY);

// Whether a typed record name can become part of a file name in "SAVE DATA":
// not empty, and no "/", "\", ":", "..", nor control characters, so a name
// never reaches outside the folder or names a device or stream.
bool isUsableRecordName(QStringView name);

// ---- The writer.
//
// Keeps the run's file naming and counting in the panel state (LOG_NAME,
// FILE_STAMP, LOG_FILE_NO, RECORD_COUNT) and its own current path, which
// only create() and a roll-over change. Records are written only when the
// caller says it is saving (the "Save Data" box); a file that does not exist
// yet gets its folder and its header before the first record, so no record
// ever lands in a file without one. Every record is flushed to the system as
// it is written. A failure is returned as false with a reason, and told once
// in the status log until a write succeeds again.
class Recorder
{
public:
    explicit Recorder(shell::PanelState &state, shell::StatusLog *status = nullptr,
                      DateTimeSource now = systemNow);
    ~Recorder();
    Recorder(const Recorder &) = delete;
    Recorder &operator=(const Recorder &) = delete;

    void setClock(DateTimeSource now) { m_now = std::move(now); }
    QDateTime now() const { return m_now(); }

    // Tests only: a smaller file size shows a roll-over in a few records.
    void setRecordsPerFile(qint32 records) { m_recordsPerFile = records > 0 ? records : 1; }
    qint32 recordsPerFile() const { return m_recordsPerFile; }

    // The file records go to now; "" before the first file of the program.
    QString path() const { return m_path; }
    bool isOpen() const { return m_file.isOpen(); }

    // A run that records starts its first file: LOG_FILE_NO 1, a new stamp,
    // the folder when it is missing, the header. The file is closed again.
    bool create(QString *why = nullptr);

    // A run's loop keeps the file open from here to close(); without a
    // loop each record opens and closes it. Nothing is created while not
    // saving.
    bool openForRun(bool saving, QString *why = nullptr);
    // End of a run, quit, or a fatal error: the file is closed.
    void close();
    // At the end of a run: a file this run started that never got a record
    // (the instrument was silent, the run stopped at once) holds only its
    // header and is removed.
    void removeIfNoRecord();

    // ---- One record step: count, record when due, roll over when due.

    // RECORD_COUNT + 1; returns the new count.
    qint32 nextRecord();
    // This step is recorded: RECORD_COUNT a multiple of `every` (REC_EVERY
    // as recordEvery() reads it).
    bool isDue(qint32 every) const;

    // Fills empty readings in the state (the fill stays), then writes one
    // record of the state's functions and readings with the given elapsed
    // text. Does nothing and succeeds while not saving.
    bool writeRecord(const QString &elapsed, bool saving, QString *why = nullptr);

    // After a step that filled the file: the file is closed, RECORD_COUNT
    // restarts at 0, LOG_FILE_NO + 1 with a new stamp, and, while saving,
    // the new file gets its header (and stays open within a run).
    bool rollOver(bool saving, QString *why = nullptr);
    bool rollOverIfDue(bool saving, QString *why = nullptr);

private:
    void startFile(qint32 fileNo);
    bool ensureOpen(QString *why);
    bool writeBytes(const QByteArray &bytes, QString *why);
    bool failed(const QString &reason, QString *why);
    void succeeded();

    shell::PanelState &m_state;
    shell::StatusLog *m_status = nullptr;
    DateTimeSource m_now;
    qint32 m_recordsPerFile = formats::kRecordsPerFile;
    QString m_path;
    qint32 m_fileNo = 0;  // the current file's number, LOG_FILE_NO in full
    QFile m_file;
    qint64 m_size = 0;    // bytes in the open file after its last whole line
    bool m_keepOpen = false;
    bool m_fileHasRecord = true;  // the current file holds a record (or is not ours to remove)
    bool m_failing = false;
};

} // namespace runs
