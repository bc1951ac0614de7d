#include "formats/recorded_data_reader.h"

#include "platform/runtime.h"

#include <algorithm>
#include <cstring>
#include <limits>

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

bool isBlankLine(QByteArrayView line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' '; });
}

bool onlyBlankLinesFrom(QByteArrayView rest)
{
    return std::all_of(rest.begin(), rest.end(),
                       [](char c) { return c == ' ' || c == '\r' || c == '\n'; });
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return (uchar(c) & 0x80) == 0; });
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

QStringView FieldBuffer::decode(QByteArrayView bytes, bool utf8)
{
    // UTF-8 never needs more UTF-16 units than it has bytes.
    m_text.resize(bytes.size());
    if (!utf8 || isAscii(bytes)) {
        std::transform(bytes.begin(), bytes.end(), m_text.begin(),
                       [](char c) { return char16_t(uchar(c)); });
        return QStringView(m_text.data(), m_text.size());
    }
    QChar *end = m_utf8.appendToBuffer(reinterpret_cast<QChar *>(m_text.data()), bytes);
    return QStringView(m_text.data(), reinterpret_cast<char16_t *>(end) - m_text.data());
}

RecordedData RecordedData::fromBytes(QByteArray bytes)
{
    RecordedData data;
    data.m_bytes = std::move(bytes);
    const QByteArrayView all(data.m_bytes);
    data.m_utf8 = all.isValidUtf8();
    data.m_records.reserve(std::size_t(std::count(all.begin(), all.end(), '\n')) + 1);

    qint64 pos = data.m_utf8 && all.startsWith(kUtf8Bom) ? kUtf8Bom.size() : 0;
    qint64 lineNo = 0;
    while (pos < all.size()) {
        ++lineNo;
        const qint64 newline = all.indexOf('\n', pos);
        const qint64 next = newline < 0 ? all.size() : newline + 1;
        QByteArrayView line = all.sliced(pos, (newline < 0 ? all.size() : newline) - pos);
        if (line.endsWith('\r'))
            line.chop(1);

        if (lineNo <= kHeaderLineCount) {
            const QString text = data.m_utf8 ? QString::fromUtf8(line) : QString::fromLatin1(line);
            if (!headerLineFits(int(lineNo), text)) {
                data.m_end = ReadEnd::HeaderRejected;
                data.m_endLine = lineNo;
                data.m_records.clear();
                return data;
            }
        } else if (isBlankLine(line) && onlyBlankLinesFrom(all.sliced(next))) {
            break;  // an editor's blank lines at the end
        } else if (!data.splitRecord(pos, line)) {
            data.m_end = ReadEnd::BadRecord;
            data.m_endLine = lineNo;
            break;
        }
        pos = next;
    }
    data.m_records.shrink_to_fit();
    return data;
}

bool RecordedData::splitRecord(qint64 start, QByteArrayView line)
{
    // Offsets are kept in 16 bits; a record line is about a hundred bytes.
    if (line.size() > std::numeric_limits<quint16>::max())
        return false;
    Record record;
    record.start = start;
    qsizetype from = 0;
    for (int column = 0; column < kRecordFieldCount - 1; ++column) {
        const qsizetype comma = line.indexOf(',', from);
        if (comma < 0)
            return false;
        record.ends[std::size_t(column)] = quint16(comma);
        from = comma + 1;
    }
    // What follows the sixth comma, less its last character (the record's
    // closing comma), is the last field; the text after a seventh comma
    // stays part of it.
    if (from >= line.size())
        return false;
    qsizetype last = line.size() - 1;
    if (m_utf8)
        while (last > from && (uchar(line[last]) & 0xC0) == 0x80)
            --last;
    record.ends[kRecordFieldCount - 1] = quint16(last);
    m_records.push_back(record);
    return true;
}

QByteArrayView RecordedData::fieldBytes(qsizetype record, int column) const
{
    const Record &r = m_records[std::size_t(record)];
    const qsizetype begin = column == 0 ? 0 : r.ends[std::size_t(column - 1)] + 1;
    const qsizetype end = r.ends[std::size_t(column)];
    return QByteArrayView(m_bytes).sliced(r.start + begin, end - begin);
}

QString RecordedData::field(qsizetype record, int column) const
{
    const QByteArrayView bytes = fieldBytes(record, column);
    return rt::trimSpaces(m_utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes));
}

QStringView RecordedData::field(qsizetype record, int column, FieldBuffer &buffer) const
{
    return buffer.decode(fieldBytes(record, column), m_utf8);
}

} // namespace formats
