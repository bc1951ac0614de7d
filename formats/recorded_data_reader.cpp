#include "formats/recorded_data_reader.h"

#include "platform/huge_pages.h"
#include "platform/runtime.h"

#include <QBuffer>
#include <QIODevice>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace formats {

namespace {

// A mark and where it must stand: `at` characters (1-based) into the text
// after the previous mark, or into the line for the first one.
struct HeaderMark
{
    char16_t mark;
    int at;
};

// "    2013/05/06-12:34:56,": the first "/" is the line's 9th character, and
// each later mark stands three characters after the one before.
constexpr HeaderMark kStartTimeMarks[] = {
    {u'/', 9}, {u'/', 3}, {u'-', 3}, {u':', 3}, {u':', 3}, {u',', 3},
};
// The column line's nine commas, each counted from the one before.
constexpr HeaderMark kColumnMarks[] = {
    {u',', 6}, {u',', 12}, {u',', 24}, {u',', 11}, {u',', 16},
    {u',', 1}, {u',', 11}, {u',', 16}, {u',', 1},
};
// 99 "=" and the comma.
constexpr HeaderMark kRuleMarks[] = {
    {u',', 100},
};

template <std::size_t N>
bool marksFit(QStringView line, const HeaderMark (&marks)[N])
{
    for (const HeaderMark &m : marks) {
        const qsizetype hit = line.indexOf(QChar(m.mark));
        if (hit + 1 != m.at)
            return false;
        line = line.sliced(hit + 1);
    }
    return true;
}

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

// The file is read this much at a time; a line may reach past a slice, so
// the buffer also holds the longest line and its line end.
constexpr qsizetype kReadChunk = 1 << 20;
constexpr qsizetype kBufferSize = kReadChunk + kLongestLine + 2;

// Fields are copied in whole pieces of this size, which may reach this far
// past a field's end: the read buffer and the store's blocks have that much
// room after their end.
constexpr qsizetype kPiece = 16;

void copyField(char *to, const char *from, qsizetype size)
{
    for (qsizetype done = 0; done < size; done += kPiece)
        std::memcpy(to + done, from + done, kPiece);
}

// The store's blocks start small, so a short file holds little, and grow to
// this size.
constexpr qsizetype kFirstStoreBlock = 4096;
using rt::kHugePage;

bool isControl(char c)
{
    return uchar(c) < 0x20 && c != '\t';
}

// Whether every byte is printable ASCII (no control character, no byte of
// a multi-byte character), eight bytes at a time: a record line nearly
// always is, and then it needs no closer look.
bool plainAscii(QByteArrayView bytes)
{
    constexpr quint64 kOnes = 0x0101010101010101;
    constexpr quint64 kHighBits = 0x8080808080808080;
    const char *p = bytes.data();
    const char *end = p + bytes.size();
    for (; end - p >= 8; p += 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        // A byte below 0x20 borrows into its own high bit; a high bit set
        // in the word itself is a non-ASCII byte.
        if (((word - kOnes * 0x20) | word) & kHighBits)
            return false;
    }
    for (; p < end; ++p)
        if (uchar(*p) < 0x20 || uchar(*p) >= 0x80)
            return false;
    return true;
}

// The first byte from `from` to `to` that is not a space, eight at a time.
qsizetype skipSpaces(QByteArrayView line, qsizetype from, qsizetype to)
{
    constexpr quint64 kSpaces = 0x2020202020202020;
    for (quint64 word; to - from >= 8; from += 8) {
        std::memcpy(&word, line.data() + from, 8);
        if (word != kSpaces)
            break;
    }
    while (from < to && line[from] == ' ')
        ++from;
    return from;
}

bool hasControl(QByteArrayView bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), isControl);
}

bool isBlankLine(QByteArrayView line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' '; });
}

QString decodeLine(QByteArrayView line, bool latin1)
{
    return latin1 ? QString::fromLatin1(line) : QString::fromUtf8(line);
}

} // namespace

bool headerLineFits(int lineNo, QStringView line)
{
    switch (lineNo) {
    case 1: return marksFit(line, kStartTimeMarks);
    case 2: return marksFit(line, kColumnMarks);
    case 3: return marksFit(line, kRuleMarks);
    }
    return false;
}

// ---- FieldBuffer ----------------------------------------------------------

QStringView FieldBuffer::decode(QByteArrayView bytes, bool latin1)
{
    // UTF-8 never needs more UTF-16 units than it has bytes.
    m_text.resize(bytes.size());
    if (latin1 || plainAscii(bytes)) {
        std::transform(bytes.begin(), bytes.end(), m_text.begin(),
                       [](char c) { return char16_t(uchar(c)); });
        return QStringView(m_text.data(), m_text.size());
    }
    QChar *end = m_utf8.appendToBuffer(reinterpret_cast<QChar *>(m_text.data()), bytes);
    return QStringView(m_text.data(), reinterpret_cast<char16_t *>(end) - m_text.data());
}

// ---- RecordedData ---------------------------------------------------------

RecordedData RecordedData::fromBytes(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer device(&copy);
    device.open(QIODevice::ReadOnly);
    RecordedDataReader reader(device);
    while (reader.readSome(kReadChunk)) {
    }
    return reader.take();
}

// A large block is a whole huge page where the system has them: a million
// records then take a few dozen page faults, not tens of thousands.
RecordedData::Block RecordedData::newBlock(qsizetype size, bool huge)
{
    void *block = nullptr;
#ifdef Q_OS_LINUX
    if (huge) {
        const qsizetype pages = (size + kHugePage - 1) / kHugePage * kHugePage;
        block = std::aligned_alloc(std::size_t(kHugePage), std::size_t(pages));
        if (block)
            rt::adviseHugePages(block, pages);
    }
#else
    Q_UNUSED(huge);
#endif
    if (!block)
        block = std::malloc(std::size_t(size));
    if (!block)
        throw std::bad_alloc();
    return Block(static_cast<char *>(block));
}

char *RecordedData::storeRoom(qsizetype size)
{
    // A position in the store is its block's index in the high 32 bits and
    // the offset in that block in the low ones.
    const qsizetype block = qsizetype(m_used >> 32);
    const qsizetype offset = qsizetype(m_used & 0xFFFFFFFF);
    if (block < qsizetype(m_blocks.size()) && offset + size <= m_blockSize) {
        m_used += size;
        return m_blocks[std::size_t(block)].get() + offset;
    }
    const qsizetype blockSize = std::max(size, m_blocks.empty() ? kFirstStoreBlock
                                                                 : std::min(m_blockSize * 2, kHugePage - kPiece));
    m_blocks.push_back(newBlock(blockSize + kPiece, blockSize + kPiece == kHugePage));
    m_blockSize = blockSize;
    m_used = (qint64(m_blocks.size() - 1) << 32) + size;
    return m_blocks.back().get();
}

bool RecordedData::addRecord(QByteArrayView line, bool latin1)
{
    // Each field runs from its start to the comma that closes it; what
    // follows the sixth comma, less its last character (the record's
    // closing comma), is the last field, and the text after a seventh
    // comma stays part of it.
    std::array<qsizetype, kRecordFieldCount> from{};
    std::array<qsizetype, kRecordFieldCount> to{};
    qsizetype pos = 0;
    for (int column = 0; column < kRecordFieldCount - 1; ++column) {
        const void *comma = std::memchr(line.data() + pos, ',', std::size_t(line.size() - pos));
        if (!comma)
            return false;
        from[std::size_t(column)] = pos;
        to[std::size_t(column)] = static_cast<const char *>(comma) - line.data();
        pos = to[std::size_t(column)] + 1;
    }
    if (pos >= line.size())
        return false;
    qsizetype last = line.size() - 1;
    if (!latin1)  // the last character may take several bytes
        while (last > pos && (uchar(line[last]) & 0xC0) == 0x80)
            --last;
    from.back() = pos;
    to.back() = last;

    qsizetype total = 0;
    for (std::size_t c = 0; c < from.size(); ++c) {
        // Fields are right-aligned: most of a line is the spaces before them.
        from[c] = skipSpaces(line, from[c], to[c]);
        while (to[c] > from[c] && line[to[c] - 1] == ' ')
            --to[c];
        total += to[c] - from[c];
    }

    Record record;
    record.latin1 = latin1;
    char *out = storeRoom(total);
    record.start = m_used - total;
    qsizetype at = 0;
    for (std::size_t c = 0; c < from.size(); ++c) {
        const qsizetype size = to[c] - from[c];
        copyField(out + at, line.data() + from[c], size);
        at += size;
        record.ends[c] = quint16(at);
    }
    if ((m_recordCount & (kChunkRecords - 1)) == 0) {
        // The first chunk takes its pages as it fills: a short file holds little.
        const qsizetype bytes = kChunkRecords * qsizetype(sizeof(Record));
        m_records.reserve(m_records.size() + 1);
        m_recordBlocks.push_back(newBlock(bytes, !m_recordBlocks.empty()));
        m_records.push_back(reinterpret_cast<Record *>(m_recordBlocks.back().get()));
    }
    m_records.back()[std::size_t(m_recordCount & (kChunkRecords - 1))] = record;
    ++m_recordCount;
    return true;
}

QByteArrayView RecordedData::fieldBytes(qsizetype record, int column) const
{
    const Record &r = recordAt(record);
    const char *fields = m_blocks[std::size_t(r.start >> 32)].get() + (r.start & 0xFFFFFFFF);
    const qsizetype begin = column == 0 ? 0 : r.ends[std::size_t(column - 1)];
    return QByteArrayView(fields + begin, r.ends[std::size_t(column)] - begin);
}

QString RecordedData::field(qsizetype record, int column) const
{
    return decodeLine(fieldBytes(record, column), isLatin1(record));
}

QStringView RecordedData::field(qsizetype record, int column, FieldBuffer &buffer) const
{
    return buffer.decode(fieldBytes(record, column), isLatin1(record));
}

// ---- RecordedDataReader ---------------------------------------------------

RecordedDataReader::RecordedDataReader(QIODevice &device) : m_device(device) {}

RecordedDataReader::~RecordedDataReader() = default;

bool RecordedDataReader::readSome(qint64 bytes)
{
    try {
        qint64 handled = 0;
        while (!m_ended && handled < bytes) {
            const char *begin = m_buffer.constData() + m_pos;
            const qsizetype avail = m_size - m_pos;

            // After a blank line, a run of line ends is taken whole: a file
            // may end in millions of them.
            if (m_blankFrom != 0 && avail > 0) {
                const char *p = begin;
                const char *afterLastEnd = begin;
                qint64 ends = 0;
                for (const char *e = begin + avail; p < e && (*p == '\n' || *p == '\r' || *p == ' '); ++p)
                    if (*p == '\n') {
                        ++ends;
                        afterLastEnd = p + 1;
                    }
                if (ends > 1) {
                    m_lineNo += ends;
                    m_pos += afterLastEnd - begin;
                    m_consumed += afterLastEnd - begin;
                    handled += afterLastEnd - begin;
                    continue;
                }
            }

            if (const void *end = avail > 0 ? std::memchr(begin, '\n', std::size_t(avail)) : nullptr) {
                const qsizetype length = static_cast<const char *>(end) - begin;
                m_pos += length + 1;
                m_consumed += length + 1;
                handled += length + 1;
                handleLine(QByteArrayView(begin, length), Line::Whole);
                continue;
            }
            if (avail > kLongestLine + 1) {
                // No line end where the longest line has ended: refused from
                // what is here, the rest of the file never read.
                ++m_lineNo;
                const ReadEnd end = hasControl(QByteArrayView(begin, kLongestLine + 1)) ? ReadEnd::NotText
                                                                                          : ReadEnd::LongLine;
                finish(m_lineNo <= kHeaderLineCount ? ReadEnd::HeaderRejected : end, m_lineNo);
                continue;
            }
            if (!fillBuffer()) {
                if (!m_ended && m_size > m_pos)
                    handleLine(QByteArrayView(m_buffer.constData() + m_pos, m_size - m_pos), Line::Last);
                if (!m_ended)
                    finish(ReadEnd::Complete, 0);
            }
        }
    } catch (const std::bad_alloc &) {
        finish(ReadEnd::OutOfMemory, m_lineNo);
    }
    return !m_ended;
}

void RecordedDataReader::cancel()
{
    if (!m_ended)
        finish(ReadEnd::Cancelled, m_lineNo + 1);
}

bool RecordedDataReader::fillBuffer()
{
    if (m_buffer.isEmpty())
        m_buffer.resize(kBufferSize + kPiece);
    // What is not taken yet (part of a line) moves to the front.
    const qsizetype rest = m_size - m_pos;
    if (m_pos > 0 && rest > 0)
        std::memmove(m_buffer.data(), m_buffer.constData() + m_pos, std::size_t(rest));
    m_pos = 0;
    m_size = rest;
    const qint64 got = m_device.read(m_buffer.data() + m_size, kBufferSize - m_size);
    if (got < 0) {
        m_data.m_error = m_device.errorString();
        finish(ReadEnd::ReadFailed, m_lineNo + 1);
        return false;
    }
    m_size += qsizetype(got);
    return got > 0;
}

bool RecordedDataReader::handleLine(QByteArrayView line, Line kind)
{
    ++m_lineNo;
    const bool header = m_lineNo <= kHeaderLineCount;
    const auto fail = [&](ReadEnd end) {
        finish(header ? ReadEnd::HeaderRejected : end, m_lineNo);
        return false;
    };
    if (m_lineNo == 1 && line.startsWith(kUtf8Bom))
        line = line.sliced(kUtf8Bom.size());
    if (line.endsWith('\r'))
        line.chop(1);

    bool latin1 = false;
    if (!plainAscii(line)) {
        if (hasControl(line.first(std::min(line.size(), kLongestLine))))
            return fail(ReadEnd::NotText);
        latin1 = !line.isValidUtf8();
    }
    if (line.size() > kLongestLine)
        return fail(ReadEnd::LongLine);
    if (header) {
        if (!headerLineFits(int(m_lineNo), decodeLine(line, latin1)))
            return fail(ReadEnd::HeaderRejected);
        return true;
    }

    // Blank lines at the end are an editor's; before a record they end the read.
    if (isBlankLine(line)) {
        if (m_blankFrom == 0)
            m_blankFrom = m_lineNo;
        return true;
    }
    if (m_blankFrom != 0) {
        finish(ReadEnd::BadRecord, m_blankFrom);
        return false;
    }
    if (kind == Line::Last)
        return fail(ReadEnd::CutRecord);
    if (!m_data.addRecord(line, latin1))
        return fail(ReadEnd::BadRecord);
    return true;
}

void RecordedDataReader::finish(ReadEnd end, qint64 line)
{
    m_ended = true;
    if (end == ReadEnd::HeaderRejected)
        m_data = RecordedData{};
    m_data.m_end = end;
    m_data.m_endLine = end == ReadEnd::Complete ? 0 : line;
}

RecordedData RecordedDataReader::take()
{
    return std::move(m_data);
}

} // namespace formats
