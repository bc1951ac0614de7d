#pragma once
// Reading a recorded-data file back (the writer is recorded_data.h): the
// three header lines are checked by the positions of their marks, and each
// record line is split at its commas into seven fields.
//
// The file's bytes are kept as they are, with the field boundaries of each
// record beside them; a field becomes text only when somebody asks for it.
// A file of a million records is a hundred megabytes, so this keeps one copy
// of it, not two.
//
// The text is UTF-8; a file that is not valid UTF-8 is read as Latin-1. Lines
// end in CR LF or LF. Fields are trimmed of ASCII spaces only, so the U+3000
// fill of an empty resistance reading stays in its field.

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringView>
#include <QVarLengthArray>

#include <array>
#include <vector>

namespace formats {

inline constexpr int kRecordFieldCount = 7;  // Total, Time, Now, Mod1, Display1, Mod2, Display2
inline constexpr int kHeaderLineCount = 3;

// Whether header line `lineNo` (1 to 3) has its marks where the writer puts
// them: line 1 the date marks of "    yyyy/mm/dd-HH:mm:ss,", line 2 the nine
// commas of the column line, line 3 the comma after 99 "=". Only the marks
// are tested, not the characters between them.
bool headerLineFits(int lineNo, QStringView line);

// How a read ended.
enum class ReadEnd {
    Complete,        // every line read; blank lines at the end are skipped
    HeaderRejected,  // a header line failed its test
    BadRecord,       // a record line has fewer than six commas, or nothing after its sixth
};

// A field decoded without touching the heap (for the usual short fields):
// one buffer, reused field after field.
class FieldBuffer
{
public:
    QStringView decode(QByteArrayView bytes, bool utf8);

private:
    QVarLengthArray<char16_t, 128> m_text;
    QStringDecoder m_utf8{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
};

class RecordedData
{
public:
    RecordedData() = default;  // no file: no records
    static RecordedData fromBytes(QByteArray bytes);

    ReadEnd end() const { return m_end; }
    // The 1-based number of the line that ended the read early; 0 when complete.
    qint64 endLine() const { return m_endLine; }
    bool isUtf8() const { return m_utf8; }

    qsizetype recordCount() const { return qsizetype(m_records.size()); }
    // Field `column` (0 to 6) of record `record` (0-based), trimmed of spaces.
    QString field(qsizetype record, int column) const;
    // The same field untrimmed, in `buffer` until its next use.
    QStringView field(qsizetype record, int column, FieldBuffer &buffer) const;

private:
    // A record's line start in the file, and for each field the offset from
    // the line start of the byte after it: the comma that closes it, or, for
    // the last field, the record's closing character.
    struct Record
    {
        qint64 start = 0;
        std::array<quint16, kRecordFieldCount> ends{};
    };

    QByteArrayView fieldBytes(qsizetype record, int column) const;
    bool splitRecord(qint64 start, QByteArrayView line);

    QByteArray m_bytes;
    bool m_utf8 = true;
    ReadEnd m_end = ReadEnd::Complete;
    qint64 m_endLine = 0;
    std::vector<Record> m_records;
};

} // namespace formats
