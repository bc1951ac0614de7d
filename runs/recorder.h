#pragma once
// Recorded-data files: "SAVE DATA/<LOG_NAME><FILE_STAMP>.txt" beside the
// program, a three-line header and one fixed-width record line per recorded
// reading, at most 18000 records a file. The recorded-data loader checks the
// header positions and trims every field, so the layout here is the layout
// it reads.
//
// Text is UTF-8 without a byte-order mark; every line ends in CR LF. Field
// widths count characters, so the full-width space U+3000 that stands for
// an empty resistance or temperature reading is one character wide.

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

// A file holds at most this many records; the next one starts a new file.
inline constexpr qint32 kRecordsPerFile = 18000;

// Stands for an empty reading of the resistance and temperature functions.
inline constexpr char16_t kFullWidthSpace = u'\u3000';

// The wall clock behind the stamp, the header and every record's date and
// time; tests put a fixed one in its place.
using DateTimeSource = std::function<QDateTime()>;
QDateTime systemNow();

// ---- The pieces of the format.

// hh:mm:ss of a run's elapsed seconds; whole days are dropped
// (3725 -> "01:02:05", 90061 -> "01:01:01").
QString elapsedText(qint64 elapsedSecs);

// "yyyy/MM/dd" and "HH:mm:ss" (24-hour clock) joined by `between`:
// '-' in the header and the readings table, ' ' in a record.
QString dateTimeText(const QDateTime &when, QChar between);

// "-yyyyMMdd-HHmmss-" and the file number as at least three digits:
// 6 May 2013 14:22:33, file 1 -> "-20130506-142233-001".
QString fileStamp(const QDateTime &when, qint32 fileNo);

// The folder "SAVE DATA" in the program's folder, and a file in it.
QString recordFolder();
QString recordPath(const QString &logName, const QString &stamp);

// The three header lines, each ended by CR LF.
QByteArray headerBytes(const QDateTime &created);

// A record's fields, as they stand when it is written.
struct RecordFields
{
    qint32 total = 0;     // RECORD_COUNT
    QString elapsed;      // hh:mm:ss
    QDateTime now;
    QString MODE1;
    QString DISPLAY1;
    QString MODE2;
    QString DISPLAY2;
};

// One record line ended by CR LF. Fields are right-aligned in their widths;
// a longer text is written whole.
QString recordLine(const RecordFields &fields);

// Empty readings of a record get their fill before the record is built,
// and keep it: U+3000 for the resistance and temperature functions, one
// space otherwise. Display 2 is filled only while it measures on its own
// and display 1 is not a temperature.
void fillEmptyDisplays(QString &DISPLAY1, QString &DISPLAY2, QStringView MODE1,
                       QStringView MODE2, bool MODE2_ON);

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

    // ---- One record step: count, record when due, roll over when due.

    // RECORD_COUNT + 1; returns the new count.
    qint32 nextRecord();
    // A pass that got no reading gives its number back, so record numbers
    // keep no gap.
    void takeBackRecord();
    // This step is recorded (RECORD_COUNT a multiple of REC_EVERY).
    bool isDue() const;

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
    qint32 m_recordsPerFile = kRecordsPerFile;
    QString m_path;
    qint32 m_fileNo = 0;  // the current file's number, LOG_FILE_NO in full
    QFile m_file;
    qint64 m_size = 0;    // bytes in the open file after its last whole line
    bool m_keepOpen = false;
    bool m_failing = false;
};

} // namespace runs
