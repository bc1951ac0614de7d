#pragma once
// Reading a recorded-data file back (the writer is recorded_data.h): the
// three header lines are checked by the positions of their marks, and each
// record line is split at its commas into seven fields.
//
// The file is read in slices, line by line, and each line is tested as it
// comes: a header that fails is refused from the file's first bytes, and a
// file of gigabytes of junk is never read whole. Only the records are kept,
// each field trimmed of its padding, so what a loaded file holds is what its
// rows show.
//
// Each line is decoded on its own: a line that is valid UTF-8 is UTF-8, any
// other line Latin-1, so one stray byte changes one line. Lines end in CR LF
// or LF. Fields are trimmed of ASCII spaces only, so the U+3000 fill of an
// empty resistance reading stays in its field.

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringView>
#include <QVarLengthArray>

#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

class QIODevice;

namespace formats {

inline constexpr int kRecordFieldCount = 7;  // Total, Time, Now, Mod1, Display1, Mod2, Display2
inline constexpr int kHeaderLineCount = 3;
// A record line is about 110 characters; a line longer than this is no
// line the recorder wrote.
inline constexpr qsizetype kLongestLine = 65535;

// Whether header line `lineNo` (1 to 3) has its marks where the writer puts
// them: line 1 the date marks of "    yyyy/mm/dd-HH:mm:ss,", line 2 the nine
// commas of the column line, line 3 the comma after 99 "=". Only the marks
// are tested, not the characters between them.
bool headerLineFits(int lineNo, QStringView line);

// How a read ended. Every end but Complete and HeaderRejected leaves the
// records before the line it names.
enum class ReadEnd {
    Complete,        // every line read; blank lines at the end are skipped
    HeaderRejected,  // a header line failed its test (or was cut, too long, or no text)
    BadRecord,       // a record line has fewer than six commas, or nothing after its sixth
    CutRecord,       // the last line has no line end: the file was cut inside it
    NotText,         // a line holds a NUL or another control character
    LongLine,        // a line longer than kLongestLine
    Cancelled,       // the reader was asked to stop
    ReadFailed,      // the device failed to give more bytes
    OutOfMemory,     // no room for more records
};

// A field decoded without touching the heap (for the usual short fields):
// one buffer, reused field after field.
class FieldBuffer
{
public:
    QStringView decode(QByteArrayView bytes, bool latin1);

private:
    QVarLengthArray<char16_t, 128> m_text;
    QStringDecoder m_utf8{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
};

// The records of a file and how its read ended.
class RecordedData
{
public:
    RecordedData() = default;  // no file: no records
    RecordedData(RecordedData &&) noexcept = default;
    RecordedData &operator=(RecordedData &&) noexcept = default;
    // The whole of `bytes` read as a file.
    static RecordedData fromBytes(const QByteArray &bytes);

    ReadEnd end() const { return m_end; }
    // The 1-based number of the line that ended the read early; 0 when complete.
    qint64 endLine() const { return m_endLine; }
    // The device's own words when it failed.
    QString error() const { return m_error; }

    qsizetype recordCount() const { return m_recordCount; }
    // Field `column` (0 to 6) of record `record` (0-based), trimmed of spaces.
    QString field(qsizetype record, int column) const;
    // The same field, in `buffer` until its next use.
    QStringView field(qsizetype record, int column, FieldBuffer &buffer) const;
    // Whether the record's line was not UTF-8, and so read as Latin-1.
    bool isLatin1(qsizetype record) const { return recordAt(record).latin1; }

private:
    friend class RecordedDataReader;

    // A record's fields lie one after the other in the store from `start`;
    // each field ends where `ends` says (counted from `start`).
    struct Record
    {
        qint64 start = 0;
        std::array<quint16, kRecordFieldCount> ends{};
        bool latin1 = false;
    };

    // Records lie in chunks of this many, which never move either.
    static constexpr int kChunkBits = 16;
    static constexpr qsizetype kChunkRecords = qsizetype(1) << kChunkBits;
    const Record &recordAt(qsizetype record) const
    {
        return m_records[std::size_t(record >> kChunkBits)][std::size_t(record & (kChunkRecords - 1))];
    }

    // Adds a record line (no line end), or says it is no record.
    bool addRecord(QByteArrayView line, bool latin1);
    char *storeRoom(qsizetype size);
    QByteArrayView fieldBytes(qsizetype record, int column) const;

    // The fields' bytes in blocks that never move, so the store grows
    // without copying what it holds.
    struct FreeBlock
    {
        void operator()(char *block) const { std::free(block); }
    };
    using Block = std::unique_ptr<char, FreeBlock>;
    // A block of `size` bytes; `huge`: in whole huge pages where the system has them.
    static Block newBlock(qsizetype size, bool huge);
    std::vector<Block> m_blocks;
    qint64 m_used = 0;           // where the next field goes (see storeRoom)
    qsizetype m_blockSize = 0;  // the last block's size
    std::vector<Record *> m_records;  // the chunks, in `m_recordBlocks`
    std::vector<Block> m_recordBlocks;
    qsizetype m_recordCount = 0;
    ReadEnd m_end = ReadEnd::Complete;
    qint64 m_endLine = 0;
    QString m_error;
};

// Reads a recorded file from a device, a slice at a time, so that its
// caller can show progress and let the window paint between slices.
class RecordedDataReader
{
public:
    explicit RecordedDataReader(QIODevice &device);
    ~RecordedDataReader();

    // Reads on, about `bytes` of the file; false once the read has ended.
    bool readSome(qint64 bytes);
    // Ends the read before the next line, as if the file stopped there.
    void cancel();

    bool atEnd() const { return m_ended; }
    qint64 bytesRead() const { return m_consumed; }
    qint64 linesRead() const { return m_lineNo; }
    // The records and how the read ended; the reader is spent.
    RecordedData take();

private:
    enum class Line { Whole, Last };  // `Last`: the file ends without a line end
    bool handleLine(QByteArrayView line, Line kind);
    void finish(ReadEnd end, qint64 line);
    bool fillBuffer();

    QIODevice &m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;   // first byte of the buffer not yet taken
    qsizetype m_size = 0;  // bytes of the buffer filled
    qint64 m_consumed = 0;
    qint64 m_lineNo = 0;
    qint64 m_blankFrom = 0;  // first of the blank lines read last; 0 = none
    bool m_ended = false;
    RecordedData m_data;
};

} // namespace formats
