#include "sim/instrument.h"

#include "sim/reply_forms.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

namespace sim {
namespace {

constexpr char kDefaultIdentity[] = "SIMULATED,SIM-DMM,000001,1.02";
constexpr char kNoError[] = "+0,\"No error\"";
constexpr char kUndefinedHeader[] = "-113,\"Undefined header\"";
constexpr char kQueueOverflow[] = "-350,\"Queue overflow\"";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Lower case, blanks trimmed at both ends and single inside: the instrument
// reads "READ?  BUF " as "read? buf".
QByteArray normalised(const QByteArray &command)
{
    QByteArray out;
    out.reserve(command.size());
    bool blank = false;
    for (char c : command) {
        if (isBlank(c)) {
            blank = !out.isEmpty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    }
    return out;
}

// A DC voltage near 1.2 V that drifts slowly, with a little noise on top;
// the same sequence every run, so tests can rely on it.
double wobble(quint64 n)
{
    const double x = double(n);
    return 1.2 + 4e-4 * std::sin(x * 0.05) + 3e-5 * std::sin(x * 1.7);
}

// What each function reads when no test fixes a value: well inside its
// automatic range, so a panel on the simulator shows a plain reading.
struct TypicalReading
{
    const char *function;
    double value;
};
constexpr TypicalReading kTypicalReadings[] = {
    {"DCV",     1.2},
    {"ACV",     0.75},
    {"DCI",     0.0015},
    {"ACI",     0.015},
    {"2W",      1500},
    {"4W",      150},
    {"Hz",      1000},
    {"P",       0.001},
    {"DIODE",   0.55},
    {"CONTINU", 12},
    {"TEMP",    24.5},
};

// The full scale of a range label: its number times the prefix after it
// ("100mV" 0.1, "100uA" 1E-4, "10K" 1E4, "1M" 1E6; "100" ohms 100).
double fullScale(const QByteArray &label)
{
    qsizetype i = 0;
    while (i < label.size() && label.at(i) >= '0' && label.at(i) <= '9')
        ++i;
    double value = label.left(i).toDouble();
    const char prefix = i < label.size() ? label.at(i) : '\0';
    if (prefix == 'm')
        value *= 1e-3;
    else if (prefix == 'u')
        value *= 1e-6;
    else if (prefix == 'K' || prefix == 'k')
        value *= 1e3;
    else if (prefix == 'M')
        value *= 1e6;
    return value;
}

std::optional<double> number(QStringView text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);  // C locale, blanks allowed
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

QByteArray exponentForm(double value, int decimals)
{
    // The instrument shows overload as 9.9E+37; a value that is no number
    // at all has no other form to take.
    if (!std::isfinite(value))
        value = std::signbit(value) && !std::isnan(value) ? -9.9e37 : 9.9e37;
    if (value == 0)
        value = 0;  // no "-0"
    decimals = std::clamp(decimals, 0, 17);
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                         std::chars_format::scientific, decimals);
    if (ec != std::errc())
        return {};
    QByteArray out(value < 0 ? "-" : "+");
    for (const char *p = buffer; p != end; ++p)
        out += *p == 'e' ? 'E' : *p;
    return out;
}

Instrument::Instrument()
    : m_idn(kDefaultIdentity)
{
}

std::optional<QByteArray> Instrument::handle(const QByteArray &command)
{
    const QByteArray query = normalised(command);
    if (!query.contains('?')) {
        act(query);
        return std::nullopt;  // a command: done without a word
    }
    if (m_externalTrigger && query == "read?") {
        m_waitingReads.push_back(query);
        return std::nullopt;  // answered when *TRG comes
    }
    return replyTo(query);
}

namespace {

// The queries that wait for a measurement.
bool isReadingQuery(const QByteArray &query)
{
    return query == "read?" || query == "read? buf" || query == "calc:max?" || query == "calc:min?"
           || query == "val1?" || query == "val2?";
}

// Conversion time of one reading in ms at the slow, medium and fast rate,
// by kind of function. DC fits the shortest sample interval the panel
// offers at each rate (16.667 ms up, 33.333 ms at slow); AC needs its
// detector to settle; frequency and period take their gate time.
struct ReadingTimeRow
{
    const char *functions;  // the model's codes, space-separated
    double slow, medium, fast;
};
constexpr ReadingTimeRow kReadingTimes[] = {
    // functions                          S      M     F
    {"DCV DCI 2W 4W DIODE CONTINU TEMP",   30,    16,   5},
    {"ACV ACI",                            1500,  400,  33},
    {"Hz P",                               1000,  100,  10},
};

// The DC functions an NPLC command sets, by its header.
struct NplcRow
{
    const char *header;
    const char *function;
};
constexpr NplcRow kNplcHeaders[] = {
    {"sens:volt:dc:nplc", "DCV"},
    {"sens:curr:dc:nplc", "DCI"},
    {"sens:res:dc:nplc",  "2W"},
    {"sens:fres:dc:nplc", "4W"},
};

// One power-line cycle at 60 Hz.
constexpr double kCycleMs = 1000.0 / 60.0;

void onOff(const QByteArray &argument, bool *on)
{
    if (argument == "on" || argument == "1")
        *on = true;
    else if (argument == "off" || argument == "0")
        *on = false;
}

std::optional<int> wholeIn(const QByteArray &argument, int low, int high)
{
    bool ok = false;
    const int n = argument.toInt(&ok);
    return ok && n >= low && n <= high ? std::optional<int>(n) : std::nullopt;
}

} // namespace

std::vector<Instrument::TimedReply> Instrument::answer(const QByteArray &command)
{
    const QByteArray query = normalised(command);
    const double each = readingTimeMs();
    if (query == "val1?" && m_sampleCount > 1 && !m_replyOverrides.count(query)) {
        // A block: every value one reading after the one before.
        std::vector<TimedReply> block;
        for (int k = 1; k <= m_sampleCount; ++k)
            block.push_back({display1Reading(), qint64(std::llround(k * each))});
        return block;
    }
    const std::optional<QByteArray> body = handle(command);
    if (!body)
        return {};
    return {{*body, isReadingQuery(query) ? qint64(std::llround(each)) : 0}};
}

double Instrument::readingTimeMs() const
{
    double each = 0;
    if (const auto nplc = m_nplc.find(m_display1.function); nplc != m_nplc.end()) {
        each = nplc->second * kCycleMs;
    } else {
        for (const ReadingTimeRow &row : kReadingTimes) {
            if (QByteArray(row.functions).split(' ').contains(m_display1.function)) {
                each = m_rate == 'S' ? row.slow : m_rate == 'M' ? row.medium : row.fast;
                break;
            }
        }
    }
    if (m_filter)
        each *= m_filterCount;
    return each * m_timeScale;
}

std::vector<QByteArray> Instrument::takeTriggered()
{
    return std::exchange(m_triggered, {});
}

std::optional<QByteArray> Instrument::replyTo(const QByteArray &query)
{
    if (const auto overridden = m_replyOverrides.find(query); overridden != m_replyOverrides.end())
        return overridden->second;
    const ReplyForm *row = findReplyForm(query);
    if (!row) {
        pushError(kUndefinedHeader);
        return std::nullopt;
    }
    return render(row->form);
}

QByteArray Instrument::render(const char *form)
{
    QByteArray out;
    for (const char *p = form; *p;) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        const char *name = ++p;
        while ((*p >= 'a' && *p <= 'z') || (*p >= '0' && *p <= '9'))
            ++p;
        const QByteArrayView key(name, p - name);
        // An unknown name stays in the reply as written, where a test of
        // the table sees it.
        out += field(key).value_or('%' + key.toByteArray());
    }
    return out;
}

// The state a command changes. Every other command is taken without a word
// and without effect.
void Instrument::act(const QByteArray &command)
{
    const qsizetype blank = command.indexOf(' ');
    const QByteArray header = blank < 0 ? command : command.left(blank);
    const QByteArray argument = blank < 0 ? QByteArray() : command.mid(blank + 1);
    if (header == "*trg") {
        // One trigger answers every read? that waits for it.
        for (const QByteArray &query : m_waitingReads)
            m_triggered.push_back(replyTo(query).value_or(QByteArray()));
        m_waitingReads.clear();
    } else if (header == "trig:sour") {
        if (argument == "int" || argument == "imm")
            m_externalTrigger = false;
        else if (argument == "ext")
            m_externalTrigger = true;
    } else if (header == "sens:det:band") {
        // The AC detector band sets the rate: 3 Hz slow, 20 medium, 200 fast.
        if (argument == "3")
            m_rate = 'S';
        else if (argument == "20")
            m_rate = 'M';
        else if (argument == "200")
            m_rate = 'F';
    } else if (header == "sens:det:rate") {
        if (argument == "s" || argument == "m" || argument == "f")
            m_rate = char(argument.at(0) - 'a' + 'A');
    } else if (header == "unit") {
        if (argument == "c" || argument == "f")
            m_unit = char(argument.at(0) - 'a' + 'A');
    } else if (header == "conf:temp:tco") {
        if (argument.size() == 1 && QByteArrayView("bejknrst").contains(argument.at(0)))
            m_thermocouple = char(argument.at(0) - 'a' + 'A');
    } else if (header == "calc:func") {
        // "off" ends whatever runs; "off,rel" ends REL only when it runs.
        if (argument.startsWith("off,")) {
            if (m_calcFunction == argument.mid(4))
                m_calcFunction = "off";
        } else if (!argument.isEmpty()) {
            m_calcFunction = argument;
        }
        m_max.reset();  // the maximum and minimum start again
        m_min.reset();
    } else if (header == "calc:hold:ref") {
        if (const std::optional<double> v = number(QString::fromLatin1(argument)))
            m_holdReference = exponentForm(*v, 5);
    } else if (header == "sens:aver:stat") {
        onOff(argument, &m_filter);
    } else if (header == "sens:aver:coun") {
        m_filterCount = wholeIn(argument, 1, 100).value_or(m_filterCount);
    } else if (header == "sens:zero:auto") {
        onOff(argument, &m_zeroAuto);
    } else if (header == "sens:gain:auto") {
        onOff(argument, &m_gainAuto);
    } else if (header == "syst:disp") {
        onOff(argument, &m_displayOn);
    } else if (header == "trig:del") {
        if (number(QString::fromLatin1(argument)))
            m_triggerDelay = argument;
    } else if (header == "sample:count") {
        m_sampleCount = wholeIn(argument, 1, 1024).value_or(m_sampleCount);
    } else if (header == "conf2:off" || (header == "sens:func2" && argument == "\"non\"")) {
        m_display2.function = "OFF";
    }
    if (header == "sens:det:rate" || header == "sens:det:band")
        m_nplc.clear();  // the rate sets the integration time again
    for (const NplcRow &row : kNplcHeaders) {
        const std::optional<double> v = header == row.header ? number(QString::fromLatin1(argument))
                                                             : std::nullopt;
        if (v && *v > 0 && *v <= 100)
            m_nplc[row.function] = *v;
    }
}

namespace {

QByteArray flag(bool on)
{
    return on ? "1" : "0";
}

// A function without a range of its own answers the range query with this;
// the program reads it and goes on.
constexpr char kNoRange[] = "1";

} // namespace

std::optional<QByteArray> Instrument::field(QByteArrayView name)
{
    auto word = [](const Measure &m, int display) -> QByteArray {
        const FunctionWord *row = findFunctionWord(m.function);
        if (!row)
            return m.function;  // display 2's unnamed function numbers
        const char *w = display == 1 ? row->word1 : row->word2;
        return w ? QByteArray(w) : QByteArray();
    };
    auto range = [](const Measure &m, int display) -> QByteArray {
        const RangeCode *row = findRangeCode(m.function, m.range);
        const char *code = row ? (display == 1 ? row->code1 : row->code2) : nullptr;
        return code ? QByteArray(code) : QByteArray(kNoRange);
    };
    if (name == "func1")
        return word(m_display1, 1);
    if (name == "func2")
        return word(m_display2, 2);
    if (name == "auto1")
        return flag(m_display1.autoRange);
    if (name == "auto2")
        return flag(m_display2.autoRange);
    if (name == "range1")
        return range(m_display1, 1);
    if (name == "range2")
        return range(m_display2, 2);
    if (name == "trigger")
        return m_externalTrigger ? "EXT" : "IMM";
    if (name == "filter")
        return flag(m_filter);
    if (name == "scanner")
        return flag(m_scanner);
    if (name == "unit")
        return QByteArray(1, m_unit);
    if (name == "tco")
        return QByteArray(1, m_thermocouple);
    if (name == "band")
        return m_rate == 'S' ? "+003" : m_rate == 'M' ? "+020" : "+200";
    if (name == "aperture")
        return m_rate == 'S' ? "+1.00000E+00" : m_rate == 'M' ? "+1.00000E-01" : "+1.00000E-02";
    if (name == "rate")
        return QByteArray(1, m_rate);
    if (name == "calcfunc")
        return m_calcFunction;
    if (name == "holdref")
        return m_holdReference;
    if (name == "idn")
        return m_idn;
    if (name == "error")
        return popError();
    if (name == "display1")
        return display1Reading();
    if (name == "display2")
        return display2Reading();
    if (name == "filtcount")
        return QByteArray::number(m_filterCount);
    if (name == "samplecount")
        return QByteArray::number(m_sampleCount);
    if (name == "display")
        return flag(m_displayOn);
    if (name == "zeroauto")
        return flag(m_zeroAuto);
    if (name == "gainauto")
        return flag(m_gainAuto);
    if (name == "trigdel")
        return m_triggerDelay;
    if (name == "nplc1") {
        const auto nplc = m_nplc.find(m_display1.function);
        return nplc == m_nplc.end() ? QByteArray() : QByteArray::number(nplc->second);
    }
    if (name == "max" || name == "min") {
        if (!m_max && !m_overload1)
            display1Reading();  // none yet: the present reading is both
        if (m_overload1 || !m_max)
            return QByteArray(kOverloadReading);
        return exponentForm(name == "max" ? *m_max : *m_min);
    }
    return std::nullopt;
}

void Instrument::setIdentity(const QByteArray &idn)
{
    m_idn = idn;
}

bool Instrument::setState(QStringView key, QStringView value, QString *why)
{
    auto fail = [why](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    auto reading = [&](std::optional<double> &fixed, bool &overload) {
        overload = false;
        if (value.trimmed() == u"auto") {
            fixed.reset();
            return true;
        }
        if (value.trimmed() == u"ol") {
            overload = true;  // read as +9.90000000E+37
            return true;
        }
        const std::optional<double> v = number(value);
        if (!v)
            return fail(QStringLiteral("%1 needs a number, \"ol\" or \"auto\", not \"%2\"")
                            .arg(key, value));
        fixed = v;
        return true;
    };
    if (key == u"display1")
        return reading(m_fixedDisplay1, m_overload1);
    if (key == u"display2")
        return reading(m_fixedDisplay2, m_overload2);
    if (key == u"triggap") {
        bool ok = false;
        const int ms = value.trimmed().toInt(&ok);
        if (!ok || ms < 0 || ms > 60'000)
            return fail(QStringLiteral("triggap needs milliseconds from 0 to 60000, not \"%1\"").arg(value));
        m_triggerGapMs = ms;
        return true;
    }
    if (key == u"filtcount") {
        const std::optional<int> n = wholeIn(value.trimmed().toLatin1(), 1, 100);
        if (!n)
            return fail(QStringLiteral("filtcount is a whole number from 1 to 100, not \"%1\"").arg(value));
        m_filterCount = *n;
        return true;
    }
    if (key == u"timescale") {
        const std::optional<double> n = number(value);
        if (!n || *n < 0 || *n > 1000)
            return fail(QStringLiteral("timescale is a number from 0 to 1000, not \"%1\"").arg(value));
        m_timeScale = *n;
        return true;
    }
    if (key == u"idn") {
        setIdentity(value.toUtf8());  // any text: tests feed malformed ones on purpose
        return true;
    }
    if (key.startsWith(u"reply:")) {
        const QByteArray query = normalised(key.mid(6).toUtf8());
        if (!query.contains('?'))
            return fail(QStringLiteral("%1: only a query has a reply").arg(key));
        if (value == u"auto")
            m_replyOverrides.erase(query);
        else
            m_replyOverrides[query] = value.toUtf8();
        return true;
    }
    const QString v = value.trimmed().toString();
    auto onOff = [&](bool &target) {
        if (v == u"1" || v.compare(u"on", Qt::CaseInsensitive) == 0)
            target = true;
        else if (v == u"0" || v.compare(u"off", Qt::CaseInsensitive) == 0)
            target = false;
        else
            return fail(QStringLiteral("%1 is 0, 1, on or off, not \"%2\"").arg(key, value));
        return true;
    };
    auto letter = [&](char &target, QStringView letters) {
        if (v.size() != 1 || !letters.contains(v.at(0).toUpper()))
            return fail(QStringLiteral("%1 is one of %2, not \"%3\"").arg(key, letters, value));
        target = char(v.at(0).toUpper().unicode());
        return true;
    };
    if (key == u"func1" || key == u"func2")
        return setFunction(key == u"func1" ? 1 : 2, v, why);
    if (key == u"range1" || key == u"range2")
        return setRange(key == u"range1" ? 1 : 2, v, why);
    if (key == u"auto1")
        return onOff(m_display1.autoRange);
    if (key == u"auto2")
        return onOff(m_display2.autoRange);
    if (key == u"rate")
        return letter(m_rate, u"SMF");
    if (key == u"filter")
        return onOff(m_filter);
    if (key == u"scanner")
        return onOff(m_scanner);
    if (key == u"trigger") {
        if (v.compare(u"ext", Qt::CaseInsensitive) == 0)
            m_externalTrigger = true;
        else if (v.compare(u"imm", Qt::CaseInsensitive) == 0 || v.compare(u"int", Qt::CaseInsensitive) == 0)
            m_externalTrigger = false;
        else
            return fail(QStringLiteral("trigger is ext or imm, not \"%1\"").arg(value));
        return true;
    }
    if (key == u"unit")
        return letter(m_unit, u"CF");
    if (key == u"tco")
        return letter(m_thermocouple, u"BEJKNRST");
    if (key == u"calcfunc") {
        if (v.isEmpty() || v.contains(u' '))
            return fail(QStringLiteral("calcfunc is one word (off, hold, rel, ...), not \"%1\"").arg(value));
        m_calcFunction = v.toLower().toLatin1();
        return true;
    }
    if (key == u"holdref") {
        // Kept as written, so tests choose the form: "+1.00000E-01" or "0.1".
        if (!number(v))
            return fail(QStringLiteral("holdref needs a number, not \"%1\"").arg(value));
        m_holdReference = v.toLatin1();
        return true;
    }
    if (key == u"error") {
        // "error=none" empties the queue; any other text is one more entry.
        if (v.compare(u"none", Qt::CaseInsensitive) == 0)
            m_errors.clear();
        else
            pushError(value.toUtf8());
        return true;
    }
    return fail(QStringLiteral("unknown state key \"%1\" (known: display1, display2, idn, func1, "
                               "auto1, range1, func2, auto2, range2, rate, filter, trigger, scanner, "
                               "unit, tco, calcfunc, holdref, error, reply:QUERY, triggap, filtcount, "
                               "timescale)").arg(key));
}

// A function by the panel's code, any letter case. Display 2 also takes
// "OFF" and the function numbers the panel has no name for. A range that
// the new function lacks gives way to one of its middle ranges.
bool Instrument::setFunction(int display, QStringView value, QString *why)
{
    Measure &m = display == 1 ? m_display1 : m_display2;
    const FunctionWord *row = findFunctionWord(value.toLatin1());
    const bool offered = row && (display == 1 ? row->word1 : row->word2);
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    const bool unnamed = display == 2 && isNumber && number >= 9 && number <= 17 && number != 14
                         && number != 16;
    if (!offered && !unnamed) {
        if (why)
            *why = QStringLiteral("func%1 is no function of display %1: \"%2\"").arg(display).arg(value);
        return false;
    }
    m.function = offered ? QByteArray(row->function) : value.toLatin1();
    if (!findRangeCode(m.function, m.range)) {
        QList<QByteArray> labels;
        for (const RangeCode &r : rangeCodes())
            if (m.function == r.function)
                labels.append(r.label);
        if (!labels.isEmpty())
            m.range = labels.at(labels.size() / 2);
    }
    return true;
}

// A fixed range by its label, for the present function; choosing one turns
// automatic ranging off, as the instrument's range keys do.
bool Instrument::setRange(int display, QStringView value, QString *why)
{
    Measure &m = display == 1 ? m_display1 : m_display2;
    const RangeCode *row = findRangeCode(m.function, value.toLatin1());
    if (!row || !(display == 1 ? row->code1 : row->code2)) {
        if (why)
            *why = QStringLiteral("range%1: \"%2\" is no range of %3 (set func%1 first)")
                       .arg(display).arg(value, QString::fromLatin1(m.function));
        return false;
    }
    m.range = row->label;
    m.autoRange = false;
    return true;
}

bool Instrument::setStates(QStringView list, QString *why)
{
    // "display1=1.5,idn=A,B,C,D": an item without "=" continues the value
    // before it, so an identity keeps its commas.
    QList<std::pair<QString, QString>> items;
    for (QStringView item : list.split(u',')) {
        const qsizetype eq = item.indexOf(u'=');
        if (eq < 0) {
            if (items.isEmpty()) {
                if (item.trimmed().isEmpty())
                    continue;
                if (why)
                    *why = QStringLiteral("\"%1\" is not key=value").arg(item);
                return false;
            }
            items.last().second += u',' + item.toString();
            continue;
        }
        items.append({item.left(eq).trimmed().toString(), item.mid(eq + 1).toString()});
    }
    for (const auto &[key, value] : items)
        if (!setState(key, value, why))
            return false;
    return true;
}

double Instrument::typicalReading(const Measure &m) const
{
    if (m.function == "OFF")
        return 0;
    double value = 0;
    if (!m.autoRange && findRangeCode(m.function, m.range))
        value = fullScale(m.range) / 2;
    else
        for (const TypicalReading &row : kTypicalReadings)
            if (m.function == row.function)
                value = row.value;
    return value * wobble(m_readCount) / wobble(0);
}

void Instrument::noteReading(double value)
{
    m_max = m_max ? std::max(*m_max, value) : value;
    m_min = m_min ? std::min(*m_min, value) : value;
}

QByteArray Instrument::display1Reading()
{
    if (m_overload1)
        return kOverloadReading;
    double value = 0;
    if (m_fixedDisplay1) {
        value = *m_fixedDisplay1;
    } else {
        value = m_display1.function == "DCV" && m_display1.autoRange ? wobble(m_readCount)
                                                                       : typicalReading(m_display1);
        ++m_readCount;
    }
    noteReading(value);
    return exponentForm(value);
}

QByteArray Instrument::display2Reading()
{
    if (m_overload2)
        return kOverloadReading;
    return exponentForm(m_fixedDisplay2.value_or(typicalReading(m_display2)));
}

void Instrument::pushError(const QByteArray &entry)
{
    if (m_errors.size() >= kErrorQueueSize)
        return;
    m_errors.push_back(m_errors.size() + 1 == kErrorQueueSize ? QByteArray(kQueueOverflow) : entry);
}

QByteArray Instrument::popError()
{
    if (m_errors.empty())
        return kNoError;
    QByteArray entry = m_errors.front();
    m_errors.pop_front();
    return entry;
}

} // namespace sim
