#include "scan/scanner_readback.h"

#include "scan/scan_controls.h"
#include "scan/scanner_waits.h"
#include "core/link_gate.h"
#include "core/panel.h"
#include "platform/runtime.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace scan {
namespace {

// The instrument's function keywords on the bank channels; compared
// exactly, letter case included.
struct KeywordRow
{
    const char16_t *keyword;
    int function;  // position in the function list
};
constexpr KeywordRow kKeywords[] = {
    {u"VOLT:AC",     0},  // ACV
    {u"VOLT",        1},  // DCV
    {u"RES",         2},  // 2W
    {u"FRES",        3},  // 4W
    {u"DIOD",        4},  // DIODE
    {u"CONT",        5},  // CONTINU
    {u"FREQ",        6},  // Hz
    {u"PER",         7},  // P
    {u"TEMP:TCO:C",  8},  // TC_C: thermocouple and both RTD connections
    {u"TEMP:RTD:C",  8},
    {u"TEMP:FRTD:C", 8},
    {u"TEMP:TCO:F",  9},  // TC_F
    {u"TEMP:RTD:F",  9},
    {u"TEMP:FRTD:F", 9},
};

// Range texts as the instrument gives them, by function position. They are
// compared as text: "1E+01" is no "10".
struct RangeValueRow
{
    int function;
    const char16_t *value;
    int range;  // position in the range list
};
constexpr RangeValueRow kRangeValues[] = {
    {0, u"0.1", 0}, {0, u"1", 1}, {0, u"10", 2}, {0, u"100", 3}, {0, u"750", 4},
    {1, u"0.1", 0}, {1, u"1", 1}, {1, u"10", 2}, {1, u"100", 3}, {1, u"1000", 4},
    {2, u"100", 0}, {2, u"1000", 1}, {2, u"10000", 2}, {2, u"100000", 3},
    {2, u"1000000", 4}, {2, u"10000000", 5}, {2, u"100000000", 6},
    {3, u"100", 0}, {3, u"1000", 1}, {3, u"10000", 2}, {3, u"100000", 3},
    {3, u"1000000", 4}, {3, u"10000000", 5}, {3, u"100000000", 6},
};

constexpr int kCurrentChannels = 16;  // 117 and 118 from here

const QColor kReadBackBlue(0, 0, 255);

// A count or delay reply as the box shows it: its leading number, rounded
// halves to even; "0" when that does not fit in 16 bits.
QString wholeText(QStringView reply)
{
    const std::optional<qint32> whole = rt::roundToWhole(rt::leadingNumber(reply));
    if (!whole || *whole < std::numeric_limits<qint16>::min() || *whole > std::numeric_limits<qint16>::max())
        return u"0"_s;
    return QString::number(*whole);
}

// The state of one channel-state line: two characters five after the first
// "+" ("+101 ON"), or from the fifth character when there is none.
bool stateLineSaysOn(QStringView line)
{
    const qsizetype plus = line.indexOf(u'+') + 1;  // counted from 1; 0 when none
    return rt::mid(line, plus + 5, 2).value_or(QString()) == "ON"_L1;
}

class ReadBack
{
public:
    ReadBack(Panel &p, ScanControls &c) : m_p(p), m_c(c) {}

    void run(const OpenWaitInput &input)
    {
        // Idle again however the read-back ends, its progress hidden.
        const PhaseScope phase(m_c, RunPhase::ReadingBack, m_p.state, [this] { m_c.hideStatus(); });
        const ScannerWaits waits(m_p, m_c, input);
        readAll();
    }

private:
    void readAll()
    {
        // What a silent instrument leaves; each reply overwrites its part.
        m_c.EXT_TRIGGER = false;
        m_c.Count_TEXT = m_c.Timer_TEXT = m_c.SYS_DEL_TEXT = u"0"_s;
        m_c.Repeat_TEXT = u"1"_s;
        m_c.touch();

        if (!progress(u"Reading the scan settings"_s))
            return;
        const std::optional<QString> source = ask(u"trig:sour?\\10"_s);
        if (quit(source.has_value()))
            return;
        if (!source)
            return lost(0);
        m_c.EXT_TRIGGER = rt::left(*source, 2).value_or(QString()) == "EX"_L1;

        const std::pair<QString, QString ScanControls::*> numbers[] = {
            {u"rout:coun?\\10"_s, &ScanControls::Count_TEXT},
            {u"rout:del?\\10"_s, &ScanControls::Timer_TEXT},
            {u"trig:del?\\10"_s, &ScanControls::SYS_DEL_TEXT},
        };
        for (const auto &[query, box] : numbers) {
            const std::optional<QString> reply = ask(query);
            if (quit(reply.has_value()))
                return;
            if (!reply)
                return lost(0);
            m_c.*box = wholeText(*reply);
            m_c.touch();
        }

        // One query, one line per channel: the n-th line is the n-th channel,
        // whatever number it carries.
        if (!progress(u"Reading which channels are on"_s))
            return;
        std::optional<QString> line = ask(u"ROUTe:MULTiple:STATe?\\10"_s);
        for (int i = 0; i < kChannelCount; ++i) {
            if (i > 0)
                line = m_p.link.Read();
            if (quit(line.has_value(), kChannelCount - i - 1))
                return;
            if (!line)
                return lost(i);
            setChannelOn(i, stateLineSaysOn(*line));
        }

        for (int i = 0; i < kChannelCount; ++i) {
            if (!progress(u"Reading channel %1 of %2"_s.arg(i + 1).arg(kChannelCount)))
                return;
            const std::optional<QString> reply
                = ask(u"rout:chan? 1%1\\10"_s.arg(rt::pattern(i + 1, u"00")));
            if (quit(reply.has_value()))
                return;
            if (!reply)
                return lost(kChannelCount);
            if (const std::optional<ChannelReply> cut = cutChannelReply(*reply))
                applyChannel(i, *cut);
        }
        // One more read, its reply dropped: whatever still comes within a
        // short quiet time, never a whole read bound of silence.
        m_p.link.discardUntilQuiet();
    }

    // Quit ended the wait: the reply it was waiting for, if it had not come,
    // and the lines after it are dropped when they come.
    bool quit(bool replyCame, int linesAfter = 0)
    {
        if (!m_c.run.quitAsked())
            return false;
        m_p.link.expectLateLines(linesAfter + (replyCame ? 0 : 1));
        return true;
    }

    // Shows how far the read-back has come; false once Quit has ended it.
    bool progress(const QString &step)
    {
        if (m_c.run.quitAsked())
            return false;
        m_c.showStatus(step, kReadBackBlue);
        return true;
    }

    std::optional<QString> ask(const QString &query)
    {
        return shell::ask(m_p, query, shell::Sender::Scanner);
    }

    void setChannelOn(int i, bool on)
    {
        m_c.table.setOn(i, on);
        m_c.table.setFunctionEnabled(i, on);
    }

    // The rest of the channels stay off, as without an instrument.
    void lost(int firstUnread)
    {
        for (int i = firstUnread; i < kChannelCount; ++i)
            setChannelOn(i, false);
        const QString why = m_p.link.lastErrorText();
        m_p.status.append(u"Scanner state not read back%1: the scanner window starts from its empty table."_s
                              .arg(why.isEmpty() ? QString() : u" ("_s + why + u')'));
    }

    void applyChannel(int i, const ChannelReply &reply)
    {
        ChannelTable &t = m_c.table;
        const bool autoRange = reply.autoState == "ON"_L1;
        t.setAuto(i, autoRange);
        t.setRangeEnabled(i, !autoRange);

        if (i >= kCurrentChannels) {
            // DC current is "CURR"; anything else counts as AC.
            t.selectFunction(i, reply.keyword == "CURR"_L1 ? 1 : 0);
            t.selectRange(i, 0);
            return;
        }
        if (const std::optional<int> function = functionOfKeyword(reply.keyword))
            t.selectFunction(i, *function);
        const int shown = t.channel(i).MODE_Comb.index;
        if (shown >= 0 && shown <= kFourWire) {
            if (const std::optional<int> range = rangeOfValue(shown, reply.range))
                t.selectRange(i, *range);
        } else {
            t.selectRange(i, 0);  // refused by a list without entries
        }
    }

    Panel &m_p;
    ScanControls &m_c;
};

} // namespace

std::optional<ChannelReply> cutChannelReply(QStringView reply)
{
    const qsizetype first = reply.indexOf(u',');
    const qsizetype second = first < 0 ? -1 : reply.indexOf(u',', first + 1);
    const qsizetype third = second < 0 ? -1 : reply.indexOf(u',', second + 1);
    if (third < 0)
        return std::nullopt;
    return ChannelReply{reply.sliced(first + 1, second - first - 1).toString(),
                        reply.sliced(second + 1, third - second - 1).toString(),
                        reply.sliced(third + 1).left(2).toString()};
}

std::optional<int> functionOfKeyword(QStringView keyword)
{
    for (const KeywordRow &row : kKeywords)
        if (keyword == QStringView(row.keyword))
            return row.function;
    return std::nullopt;
}

std::optional<int> rangeOfValue(int function, QStringView value)
{
    for (const RangeValueRow &row : kRangeValues)
        if (row.function == function && value == QStringView(row.value))
            return row.range;
    return std::nullopt;
}

void readScannerState(Panel &p, ScanControls &c, const OpenWaitInput &input)
{
    ReadBack(p, c).run(input);
}

} // namespace scan
