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

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringView>

namespace formats {

// A file holds at most this many records; the next one starts a new file.
inline constexpr qint32 kRecordsPerFile = 18000;

// Stands for an empty reading of the resistance and temperature functions.
inline constexpr char16_t kFullWidthSpace = u'\u3000';

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

} // namespace formats
