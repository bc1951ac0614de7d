#pragma once
// Scan data files: "SCAN DATA/<SCAN_NAME><FILE_STAMP>.txt" beside the
// program, a six-line header naming the ticked channels, then one line per
// result row: each reading right-aligned in a 14-character field, then the
// moment the line was written.
//
// Text is UTF-8 without a byte-order mark (every text the scanner writes is
// ASCII); every line ends in CR LF. The date's "/" and the time's ":" are
// written as they stand, whatever the locale.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>

namespace formats {

// One ticked channel as the header describes it.
struct ScanHeaderChannel
{
    int index = 0;        // 0..17: channel 101 + index
    QString function;     // the function list's text
    QString range;        // the range list's text
    bool autoRange = false;
};

// The field a reading that overflows its pattern is written as.
inline constexpr QStringView kOverloadField = u"  OL         ,";
// Formatted texts from this many characters up are written as overload.
inline constexpr int kOverloadTextLength = 32;

// A data file in the folder "SCAN DATA" (scanDataFolder(), scan_setup.h).
QString scanPath(const QString &scanName, const QString &stamp);

// The six header lines, each ended by CR LF; channels in ascending order.
QByteArray scanHeaderBytes(const QDateTime &created, const QList<ScanHeaderChannel> &channels);

// One reading's field: the text right-aligned in 13 characters and ",". A
// text of 14 to 31 characters does not fit and is written whole, then ",";
// one of 32 or more is the overload field.
QString scanField(QStringView text);

// The end of a data line: two spaces, the moment as yyyy/MM/dd-HH:mm:ss,
// ",", CR LF.
QString scanLineTail(const QDateTime &written);

// Creates the folder when it is missing and appends `bytes` to the file,
// flushed. False, with the reason, when any step fails.
bool appendScanFile(const QString &path, const QByteArray &bytes, QString *why = nullptr);

} // namespace formats
