#include "sim/instrument.h"

#include "sim/reply_forms.h"

#include <QLatin1StringView>
#include <QStringList>

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

// One power-line cycle at 60 Hz.
constexpr double kCycleMs = 1000.0 / 60.0;

// A command's on/off argument; anything else leaves the state as it is.
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

QByteArray flag(bool on)
{
    return on ? "1" : "0";
}

// A function without a range of its own answers the range query with this;
// the program reads it and goes on.
constexpr char kNoRange[] = "1";

// For the tables' build-time checks: null-safe text comparison.
constexpr bool same(const char *a, const char *b)
{
    if (!a || !b)
        return a == b;
    while (*a && *a == *b)
        ++a, ++b;
    return *a == *b;
}

// "105" -> 105: a scanner channel's number, 101 to 118.
std::optional<int> scanChannelNumber(const QByteArray &text)
{
    return wholeIn(text.trimmed(), Instrument::kFirstScanChannel,
                   Instrument::kFirstScanChannel + Instrument::kScanChannels - 1);
}

// A display that takes a new function keeps its range when the function
// has it, else moves to one of the function's middle ranges.
void fitRange(Instrument::Measure &m)
{
    if (findRangeCode(m.function, m.range))
        return;
    QList<QByteArray> labels;
    for (const RangeCode &r : rangeCodes())
        if (m.function == r.function)
            labels.append(r.label);
    if (!labels.isEmpty())
        m.range = labels.at(labels.size() / 2);
}

constexpr bool startsWith(const char *text, const char *prefix)
{
    while (*prefix && *text == *prefix)
        ++text, ++prefix;
    return !*prefix;
}

// The numbers the instrument keeps as a command set them, in any number
// form ("calc:lim:upp 5", "-1.5E-3"), and answers in the reading form
// ("+5.000000E+00"). Each is a reply field and a state key of its name;
// the command table names the command that sets it.
struct NumberSetting
{
    const char *name;
    double initial;
};
constexpr NumberSetting kNumberSettings[] = {
    // name       initial
    {"limupp",    1},          // compare limits, upper and lower
    {"limlow",    -1},
    {"rtdalpha",  3.85e-3},    // the user RTD's coefficients
    {"rtdbeta",   1.0863e-1},
    {"rtddelta",  1.4999},
    {"mathmmf",   1},          // math parameters M, B and REF%
    {"mathmbf",   0},
    {"mathperc",  1},
    {"relref",    0},          // REL reference: display 1's value when REL went on
};

constexpr bool isNumberSetting(const char *name)
{
    for (const NumberSetting &row : kNumberSettings)
        if (same(row.name, name))
            return true;
    return false;
}

// The hold reference as the instrument answers it: the shortest plain form
// ("0.01", "0.1", "1", "10").
QByteArray shortForm(double value)
{
    return QByteArray::number(value, 'g', 6);
}

} // namespace

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
    for (const NumberSetting &row : kNumberSettings)
        m_numbers[row.name] = row.initial;
    // The bank channels measure DC volts, the two current channels DC current.
    for (int i = 0; i < kScanChannels; ++i)
        m_scanChannels[std::size_t(i)].function = i < 16 ? "VOLT" : "CURR";
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
    if (!body) {
        // A scan pass that this command started or finished ends in a line
        // nobody asked for.
        if (const std::optional<qint64> end = std::exchange(m_passEnd, std::nullopt))
            return {{m_scanDone, *end}};
        return {};
    }
    const qint64 after = isReadingQuery(query) ? qint64(std::llround(each)) : 0;
    if (body->contains('\n') && !m_replyOverrides.count(query)) {
        // A form of several lines (the scanner's channel states): one reply
        // a line, each with its own terminator.
        std::vector<TimedReply> lines;
        for (const QByteArray &line : body->split('\n'))
            lines.push_back({line, after});
        return lines;
    }
    return {{*body, after}};
}

double Instrument::readingTimeMs() const
{
    const QByteArray &function = display(1).measure.function;
    double each = 0;
    if (const auto nplc = m_nplc.find(function); nplc != m_nplc.end()) {
        each = nplc->second * kCycleMs;
    } else {
        for (const ReadingTimeRow &row : kReadingTimes) {
            if (QByteArray(row.functions).split(' ').contains(function)) {
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

void Instrument::setIdentity(const QByteArray &idn)
{
    m_idn = idn;
}

// ---- state keys --------------------------------------------------------------

// The state that tests and "ravelo-sim --state key=value,..." set, by key.
// A row names the display its key sets, so state kept per display (or per
// scanner channel) is one row per channel, all with one handler.
struct Instrument::StateKeys
{
    // One "key=value" as a handler sees it.
    struct Setting
    {
        QStringView key;    // as given, for the reason of a failure
        QStringView rest;   // what follows the row's key, for a key with a rest
        QStringView value;  // as given
        QString word;       // the value without blanks around it
        int channel;        // the row's
        QString *why;

        bool fail(const QString &reason) const
        {
            if (why)
                *why = reason;
            return false;
        }
        bool onOff(bool &target) const
        {
            if (word == u"1" || word.compare(u"on", Qt::CaseInsensitive) == 0)
                target = true;
            else if (word == u"0" || word.compare(u"off", Qt::CaseInsensitive) == 0)
                target = false;
            else
                return fail(QStringLiteral("%1 is 0, 1, on or off, not \"%2\"").arg(key, value));
            return true;
        }
        bool letter(char &target, QStringView letters) const
        {
            if (word.size() != 1 || !letters.contains(word.at(0).toUpper()))
                return fail(QStringLiteral("%1 is one of %2, not \"%3\"").arg(key, letters, value));
            target = char(word.at(0).toUpper().unicode());
            return true;
        }
    };

    struct Row
    {
        const char *key;   // the whole key, or the fixed part of a key with a rest
        const char *rest;  // what follows that part, as the list of keys names it; nullptr: none
        int channel;       // the display the key sets; 0: the instrument as a whole
        bool (*set)(Instrument &, const Setting &);
    };

    // A number, "ol" for the overload form, or "auto" for a typical value,
    // for a display or a scanner channel.
    static bool fixedReading(std::optional<double> &fixed, bool &overload, const Setting &s)
    {
        overload = false;
        if (s.word == u"auto") {
            fixed.reset();
            return true;
        }
        if (s.word == u"ol") {
            overload = true;  // read as +9.90000000E+37
            return true;
        }
        const std::optional<double> v = number(s.value);
        if (!v)
            return s.fail(QStringLiteral("%1 needs a number, \"ol\" or \"auto\", not \"%2\"")
                              .arg(s.key, s.value));
        fixed = v;
        return true;
    }

    static bool reading(Instrument &in, const Setting &s)
    {
        Display &d = in.display(s.channel);
        return fixedReading(d.fixed, d.overload, s);
    }

    // "scanread:105=VALUE": what scanner channel 105 reads: a number, "ol"
    // for overload, "auto" for a value typical of its function.
    static bool scanReading(Instrument &in, const Setting &s)
    {
        const std::optional<int> n = scanChannelNumber(s.rest.toLatin1());
        if (!n)
            return s.fail(QStringLiteral("%1: a scanner channel is 101 to 118").arg(s.key));
        ScanChannel &c = in.m_scanChannels.at(std::size_t(*n - kFirstScanChannel));
        return fixedReading(c.fixed, c.overload, s);
    }

    // The line that ends a scan pass, for tests of an instrument that
    // never says "SCAN OK".
    static bool scanDone(Instrument &in, const Setting &s)
    {
        in.m_scanDone = s.value.toLatin1();
        return true;
    }

    static bool identity(Instrument &in, const Setting &s)
    {
        in.setIdentity(s.value.toUtf8());  // any text: tests feed malformed ones on purpose
        return true;
    }

    // A function by the panel's code, any letter case. Display 2 also takes
    // "OFF" and the function numbers the panel has no name for. A range that
    // the new function lacks gives way to one of its middle ranges.
    static bool function(Instrument &in, const Setting &s)
    {
        Measure &m = in.display(s.channel).measure;
        const FunctionWord *row = findFunctionWord(s.word.toLatin1());
        const bool offered = row && (s.channel == 1 ? row->word1 : row->word2);
        bool isNumber = false;
        const int code = s.word.toInt(&isNumber);
        const bool unnamed = s.channel == 2 && isNumber && code >= 9 && code <= 17 && code != 14
                             && code != 16;
        if (!offered && !unnamed)
            return s.fail(QStringLiteral("func%1 is no function of display %1: \"%2\"")
                              .arg(s.channel)
                              .arg(s.word));
        m.function = offered ? QByteArray(row->function) : s.word.toLatin1();
        fitRange(m);
        return true;
    }

    static bool autoRange(Instrument &in, const Setting &s)
    {
        return s.onOff(in.display(s.channel).measure.autoRange);
    }

    // A fixed range by its label, for the present function; choosing one
    // turns automatic ranging off, as the instrument's range keys do.
    static bool range(Instrument &in, const Setting &s)
    {
        Measure &m = in.display(s.channel).measure;
        const RangeCode *row = findRangeCode(m.function, s.word.toLatin1());
        if (!row || !(s.channel == 1 ? row->code1 : row->code2))
            return s.fail(QStringLiteral("range%1: \"%2\" is no range of %3 (set func%1 first)")
                              .arg(s.channel)
                              .arg(s.word, QString::fromLatin1(m.function)));
        m.range = row->label;
        m.autoRange = false;
        return true;
    }

    static bool rate(Instrument &in, const Setting &s) { return s.letter(in.m_rate, u"SMF"); }
    static bool filter(Instrument &in, const Setting &s) { return s.onOff(in.m_filter); }
    static bool numbered(Instrument &in, const Setting &s) { return s.onOff(in.m_numbered); }
    static bool scanner(Instrument &in, const Setting &s) { return s.onOff(in.m_scanner); }
    static bool unit(Instrument &in, const Setting &s) { return s.letter(in.m_unit, u"CF"); }
    static bool thermocouple(Instrument &in, const Setting &s)
    {
        return s.letter(in.m_thermocouple, u"BEJKNRST");
    }

    static bool trigger(Instrument &in, const Setting &s)
    {
        if (s.word.compare(u"ext", Qt::CaseInsensitive) == 0)
            in.m_externalTrigger = true;
        else if (s.word.compare(u"imm", Qt::CaseInsensitive) == 0
                 || s.word.compare(u"int", Qt::CaseInsensitive) == 0)
            in.m_externalTrigger = false;
        else
            return s.fail(QStringLiteral("trigger is ext or imm, not \"%1\"").arg(s.value));
        return true;
    }

    static bool calcFunction(Instrument &in, const Setting &s)
    {
        if (s.word.isEmpty() || s.word.contains(u' '))
            return s.fail(QStringLiteral("calcfunc is one word (off, hold, rel, ...), not \"%1\"").arg(s.value));
        in.m_calcFunction = s.word.toLower().toLatin1();
        return true;
    }

    // Kept as written, so tests choose the form: "+1.00000E-01" or "0.1".
    static bool holdReference(Instrument &in, const Setting &s)
    {
        if (!number(s.word))
            return s.fail(QStringLiteral("holdref needs a number, not \"%1\"").arg(s.value));
        in.m_holdReference = s.word.toLatin1();
        return true;
    }

    // "error=none" empties the queue; any other text is one more entry.
    static bool error(Instrument &in, const Setting &s)
    {
        if (s.word.compare(u"none", Qt::CaseInsensitive) == 0)
            in.m_errors.clear();
        else
            in.pushError(s.value.toUtf8());
        return true;
    }

    // "reply:QUERY=TEXT" answers QUERY with TEXT as it stands; "=auto" undoes it.
    static bool fixedReply(Instrument &in, const Setting &s)
    {
        const QByteArray query = normalised(s.rest.toUtf8());
        if (!query.contains('?'))
            return s.fail(QStringLiteral("%1: only a query has a reply").arg(s.key));
        if (s.value == u"auto")
            in.m_replyOverrides.erase(query);
        else
            in.m_replyOverrides[query] = s.value.toUtf8();
        return true;
    }

    static bool triggerGap(Instrument &in, const Setting &s)
    {
        bool ok = false;
        const int ms = s.word.toInt(&ok);
        if (!ok || ms < 0 || ms > 60'000)
            return s.fail(QStringLiteral("triggap needs milliseconds from 0 to 60000, not \"%1\"").arg(s.value));
        in.m_triggerGapMs = ms;
        return true;
    }

    static bool filterCount(Instrument &in, const Setting &s)
    {
        const std::optional<int> n = wholeIn(s.word.toLatin1(), 1, 100);
        if (!n)
            return s.fail(QStringLiteral("filtcount is a whole number from 1 to 100, not \"%1\"").arg(s.value));
        in.m_filterCount = *n;
        return true;
    }

    // One scanner channel, "on,FRES,10000,off": in the scan or not, then
    // optionally its function keyword and range, kept as written (tests
    // give texts the instrument never sends on purpose), and auto range.
    static bool scanChannel(Instrument &in, const Setting &s)
    {
        ScanChannel &c = in.m_scanChannels.at(std::size_t(s.channel - kFirstScanChannel));
        const QList<QStringView> fields = QStringView(s.word).split(u',');
        const auto bad = [&] {
            return s.fail(QStringLiteral("%1 is on|off or on|off,FUNCTION,RANGE,on|off, not \"%2\"")
                              .arg(s.key, s.value));
        };
        const auto onOff = [](QStringView w, bool &target) {
            const QString t = w.trimmed().toString();
            if (t == u"1" || t.compare(u"on", Qt::CaseInsensitive) == 0)
                target = true;
            else if (t == u"0" || t.compare(u"off", Qt::CaseInsensitive) == 0)
                target = false;
            else
                return false;
            return true;
        };
        ScanChannel set = c;
        if ((fields.size() != 1 && fields.size() != 4) || !onOff(fields.at(0), set.on))
            return bad();
        if (fields.size() == 4) {
            set.function = fields.at(1).trimmed().toLatin1();
            set.range = fields.at(2).trimmed().toLatin1();
            if (set.function.isEmpty() || set.range.isEmpty() || !onOff(fields.at(3), set.autoRange))
                return bad();
        }
        c = set;
        return true;
    }

    static bool wholeNumber(const Setting &s, int &target, int high, int low = 0)
    {
        const std::optional<int> n = wholeIn(s.word.toLatin1(), low, high);
        if (!n)
            return s.fail(QStringLiteral("%1 is a whole number from %2 to %3, not \"%4\"")
                              .arg(s.key).arg(low).arg(high).arg(s.value));
        target = *n;
        return true;
    }
    static bool scanCount(Instrument &in, const Setting &s) { return wholeNumber(s, in.m_scanCount, 99'999); }
    static bool scanDelay(Instrument &in, const Setting &s) { return wholeNumber(s, in.m_scanDelay, 99'999); }
    static bool triggerDelay(Instrument &in, const Setting &s)
    {
        int delay = 0;
        if (!wholeNumber(s, delay, 99'999))
            return false;
        in.m_triggerDelay = QByteArray::number(delay);
        return true;
    }

    // In hundredths of a degree, as "SENS:TEMP:RJUN:SIM?" answers.
    static bool junction(Instrument &in, const Setting &s)
    {
        return wholeNumber(s, in.m_junctionHundredths, 99'999, -99'999);
    }
    static bool dbmReference(Instrument &in, const Setting &s) { return wholeNumber(s, in.m_dbmReference, 9999, 1); }
    static bool mathChannel(Instrument &in, const Setting &s) { return wholeNumber(s, in.m_mathChannel, 1); }

    static bool filterType(Instrument &in, const Setting &s)
    {
        if (s.word.compare(u"mov", Qt::CaseInsensitive) == 0)
            in.m_filterMoving = true;
        else if (s.word.compare(u"rep", Qt::CaseInsensitive) == 0)
            in.m_filterMoving = false;
        else
            return s.fail(QStringLiteral("filttype is mov or rep, not \"%1\"").arg(s.value));
        return true;
    }

    // A number setting by its name (kNumberSettings), in any number form.
    // Defined out of line below the table, with find().
    static bool numberSetting(Instrument &in, const Setting &s);

    static bool timeScale(Instrument &in, const Setting &s)
    {
        const std::optional<double> n = number(s.value);
        if (!n || *n < 0 || *n > 1000)
            return s.fail(QStringLiteral("timescale is a number from 0 to 1000, not \"%1\"").arg(s.value));
        in.m_timeScale = *n;
        return true;
    }

    // In the order the list of known keys names them.
    static constexpr Row kRows[] = {
        // key          rest      channel  set
        {"display1",    nullptr,  1,       reading},
        {"display2",    nullptr,  2,       reading},
        {"idn",         nullptr,  0,       identity},
        {"func1",       nullptr,  1,       function},
        {"auto1",       nullptr,  1,       autoRange},
        {"range1",      nullptr,  1,       range},
        {"func2",       nullptr,  2,       function},
        {"auto2",       nullptr,  2,       autoRange},
        {"range2",      nullptr,  2,       range},
        {"rate",        nullptr,  0,       rate},
        {"filter",      nullptr,  0,       filter},
        {"trigger",     nullptr,  0,       trigger},
        {"scanner",     nullptr,  0,       scanner},
        {"unit",        nullptr,  0,       unit},
        {"tco",         nullptr,  0,       thermocouple},
        {"calcfunc",    nullptr,  0,       calcFunction},
        {"holdref",     nullptr,  0,       holdReference},
        {"error",       nullptr,  0,       error},
        {"reply:",      "QUERY",  0,       fixedReply},
        {"triggap",     nullptr,  0,       triggerGap},
        {"filtcount",   nullptr,  0,       filterCount},
        {"filttype",    nullptr,  0,       filterType},
        {"rjunsim",     nullptr,  0,       junction},
        {"dbmref",      nullptr,  0,       dbmReference},
        {"mathchan",    nullptr,  0,       mathChannel},
        {"limupp",      nullptr,  0,       numberSetting},
        {"limlow",      nullptr,  0,       numberSetting},
        {"rtdalpha",    nullptr,  0,       numberSetting},
        {"rtdbeta",     nullptr,  0,       numberSetting},
        {"rtddelta",    nullptr,  0,       numberSetting},
        {"mathmmf",     nullptr,  0,       numberSetting},
        {"mathmbf",     nullptr,  0,       numberSetting},
        {"mathperc",    nullptr,  0,       numberSetting},
        {"relref",      nullptr,  0,       numberSetting},
        {"timescale",   nullptr,  0,       timeScale},
        {"numbered",    nullptr,  0,       numbered},
        {"scancount",   nullptr,  0,       scanCount},
        {"scandelay",   nullptr,  0,       scanDelay},
        {"trigdel",     nullptr,  0,       triggerDelay},
        {"scanread:",   "CHANNEL", 0,      scanReading},
        {"scandone",    nullptr,  0,       scanDone},
        {"chan101",     nullptr,  101,     scanChannel},
        {"chan102",     nullptr,  102,     scanChannel},
        {"chan103",     nullptr,  103,     scanChannel},
        {"chan104",     nullptr,  104,     scanChannel},
        {"chan105",     nullptr,  105,     scanChannel},
        {"chan106",     nullptr,  106,     scanChannel},
        {"chan107",     nullptr,  107,     scanChannel},
        {"chan108",     nullptr,  108,     scanChannel},
        {"chan109",     nullptr,  109,     scanChannel},
        {"chan110",     nullptr,  110,     scanChannel},
        {"chan111",     nullptr,  111,     scanChannel},
        {"chan112",     nullptr,  112,     scanChannel},
        {"chan113",     nullptr,  113,     scanChannel},
        {"chan114",     nullptr,  114,     scanChannel},
        {"chan115",     nullptr,  115,     scanChannel},
        {"chan116",     nullptr,  116,     scanChannel},
        {"chan117",     nullptr,  117,     scanChannel},
        {"chan118",     nullptr,  118,     scanChannel},
    };

    // A number setting's row names one of kNumberSettings, and each of
    // them has its row.
    static constexpr bool numberSettingsKeyed()
    {
        for (const Row &row : kRows)
            if ((row.set == numberSetting) != isNumberSetting(row.key))
                return false;
        for (const NumberSetting &setting : kNumberSettings) {
            bool keyed = false;
            for (const Row &row : kRows)
                keyed = keyed || same(row.key, setting.name);
            if (!keyed)
                return false;
        }
        return true;
    }

    // Each row can be reached: no earlier row takes all of its keys.
    static constexpr bool eachRowReachable()
    {
        for (std::size_t i = 0; i < std::size(kRows); ++i)
            for (std::size_t j = 0; j < i; ++j)
                if (kRows[j].rest ? startsWith(kRows[i].key, kRows[j].key)
                                  : !kRows[i].rest && same(kRows[i].key, kRows[j].key))
                    return false;
        return true;
    }

    // The row of a key, and in *rest what follows the row's key; the key's
    // letter case counts.
    static const Row *find(QStringView key, QStringView *rest);

    static QString known()
    {
        QStringList keys;
        for (const Row &row : kRows)
            keys.append(QString::fromLatin1(row.key) + QLatin1StringView(row.rest));
        return keys.join(u", ");
    }
};

// numberSetting is an ordinary function, not an inline member, and the
// checks that compare the rows' handlers with it run below its definition.
// GCC folds "these two functions differ" at compile time only when it knows
// one of them is not at address zero. Under -fsanitize=undefined (its null
// checks turn off -fdelete-null-pointer-checks) it stops assuming that of a
// weak symbol, and a member defined in its class is one; a function defined
// out of line is not.
bool Instrument::StateKeys::numberSetting(Instrument &in, const Setting &s)
{
    const std::optional<double> v = number(s.word);
    if (!v)
        return s.fail(QStringLiteral("%1 needs a number, not \"%2\"").arg(s.key, s.value));
    in.m_numbers[s.key.toLatin1()] = *v;
    return true;
}

const Instrument::StateKeys::Row *Instrument::StateKeys::find(QStringView key, QStringView *rest)
{
    static_assert(eachRowReachable(), "a state key row is hidden by an earlier one");
    static_assert(numberSettingsKeyed(), "a number setting has no state key, or a wrong one");
    for (const Row &row : kRows) {
        const QLatin1StringView name(row.key);
        if (row.rest ? key.startsWith(name) : key == name) {
            *rest = key.mid(name.size());
            return &row;
        }
    }
    return nullptr;
}

bool Instrument::setState(QStringView key, QStringView value, QString *why)
{
    QStringView rest;
    const StateKeys::Row *row = StateKeys::find(key, &rest);
    if (!row) {
        if (why)
            *why = QStringLiteral("unknown state key \"%1\" (known: %2)").arg(key, StateKeys::known());
        return false;
    }
    return row->set(*this, {key, rest, value, value.trimmed().toString(), row->channel, why});
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

// ---- commands ----------------------------------------------------------------

// The commands that change the state, by header (the command's first word,
// lower case) and, where it matters, argument. Every other command is taken
// without a word and without effect, as is a known one with an argument
// its handler does not take.
struct Instrument::Commands
{
    struct Row
    {
        const char *header;
        const char *argument;  // the one argument the row takes; nullptr: any, for the handler
        int channel;           // the display it sets; 0: the instrument as a whole
        void (*act)(Instrument &, const Row &, const QByteArray &argument);
        // The function the command selects or whose integration time it
        // sets; for a number setting's command, the setting's name.
        const char *function;
    };

    // One trigger answers every read? that waits for it.
    static void trigger(Instrument &in, const Row &, const QByteArray &)
    {
        // One step of a step pass that waits for triggers; the last ends it.
        if (in.m_scanMode == "step" && in.m_externalTrigger && in.m_stepsTaken < in.m_scanCount
            && ++in.m_stepsTaken == in.m_scanCount)
            in.m_passEnd = 0;
        for (const QByteArray &query : in.m_waitingReads)
            in.m_triggered.push_back(in.replyTo(query).value_or(QByteArray()));
        in.m_waitingReads.clear();
    }

    static void triggerSource(Instrument &in, const Row &, const QByteArray &argument)
    {
        if (argument == "int" || argument == "imm")
            in.m_externalTrigger = false;
        else if (argument == "ext")
            in.m_externalTrigger = true;
    }

    // A rate command: its argument for the slow, medium and fast rate; any
    // argument, as any rate, sets the integration time again.
    static void rateBy(Instrument &in, const QByteArray &argument, std::array<const char *, 3> slowMediumFast)
    {
        constexpr char kRates[] = {'S', 'M', 'F'};
        for (std::size_t i = 0; i < slowMediumFast.size(); ++i)
            if (argument == slowMediumFast[i])
                in.m_rate = kRates[i];
        in.m_nplc.clear();
    }

    // The AC detector band sets the rate: 3 Hz slow, 20 medium, 200 fast.
    static void detectorBand(Instrument &in, const Row &, const QByteArray &argument)
    {
        rateBy(in, argument, {"3", "20", "200"});
    }

    static void readingRate(Instrument &in, const Row &, const QByteArray &argument)
    {
        rateBy(in, argument, {"s", "m", "f"});
    }

    static void unit(Instrument &in, const Row &, const QByteArray &argument)
    {
        if (argument == "c" || argument == "f")
            in.m_unit = char(argument.at(0) - 'a' + 'A');
    }

    // The thermocouple type, one letter; display 1's function stays.
    static bool thermocoupleType(Instrument &in, const QByteArray &argument)
    {
        if (argument.size() != 1 || !QByteArrayView("bejknrst").contains(argument.at(0)))
            return false;
        in.m_thermocouple = char(argument.at(0) - 'a' + 'A');
        return true;
    }
    static void sensorType(Instrument &in, const Row &, const QByteArray &argument)
    {
        thermocoupleType(in, argument);
    }

    // Configures display 1 for a thermocouple of the type given.
    static void thermocouple(Instrument &in, const Row &, const QByteArray &argument)
    {
        if (thermocoupleType(in, argument))
            in.display(1).measure.function = "TEMP";
    }

    // In degrees ("023.00"); kept, and answered, in hundredths.
    static void junctionSimulation(Instrument &in, const Row &, const QByteArray &argument)
    {
        const std::optional<double> v = number(QString::fromLatin1(argument));
        if (v && std::abs(*v) < 1000)
            in.m_junctionHundredths = int(std::lround(*v * 100));
    }

    static void dbmReference(Instrument &in, const Row &, const QByteArray &argument)
    {
        in.m_dbmReference = wholeIn(argument, 1, 9999).value_or(in.m_dbmReference);
    }

    static void mathChannel(Instrument &in, const Row &, const QByteArray &argument)
    {
        in.m_mathChannel = wholeIn(argument, 0, 1).value_or(in.m_mathChannel);
    }

    // The row's number setting, any number form; anything else leaves it.
    // Defined out of line below the table, with find(), as numberSetting is.
    static void setNumber(Instrument &in, const Row &row, const QByteArray &argument);

    // "off" ends whatever runs; "off,rel" ends REL only when it runs. The
    // maximum and minimum start again either way. REL going on takes
    // display 1's value as its reference.
    static void calcFunction(Instrument &in, const Row &, const QByteArray &argument)
    {
        if (argument == "rel" && in.m_calcFunction != "rel")
            in.m_numbers["relref"] = in.display1Value();
        if (argument.startsWith("off,")) {
            if (in.m_calcFunction == argument.mid(4))
                in.m_calcFunction = "off";
        } else if (!argument.isEmpty()) {
            in.m_calcFunction = argument;
        }
        in.m_max.reset();
        in.m_min.reset();
    }

    static void holdReference(Instrument &in, const Row &, const QByteArray &argument)
    {
        if (const std::optional<double> v = number(QString::fromLatin1(argument)))
            in.m_holdReference = shortForm(*v);
    }

    static void filter(Instrument &in, const Row &, const QByteArray &argument)
    {
        onOff(argument, &in.m_filter);
    }
    static void filterCount(Instrument &in, const Row &, const QByteArray &argument)
    {
        in.m_filterCount = wholeIn(argument, 1, 100).value_or(in.m_filterCount);
    }
    static void filterType(Instrument &in, const Row &, const QByteArray &argument)
    {
        if (argument == "mov" || argument == "rep")
            in.m_filterMoving = argument == "mov";
    }
    static void zeroAuto(Instrument &in, const Row &, const QByteArray &argument)
    {
        onOff(argument, &in.m_zeroAuto);
    }
    static void gainAuto(Instrument &in, const Row &, const QByteArray &argument)
    {
        onOff(argument, &in.m_gainAuto);
    }
    static void displayOn(Instrument &in, const Row &, const QByteArray &argument)
    {
        onOff(argument, &in.m_displayOn);
    }

    static void triggerDelay(Instrument &in, const Row &, const QByteArray &argument)
    {
        if (number(QString::fromLatin1(argument)))
            in.m_triggerDelay = argument;
    }

    static void sampleCount(Instrument &in, const Row &, const QByteArray &argument)
    {
        in.m_sampleCount = wholeIn(argument, 1, 1024).value_or(in.m_sampleCount);
    }

    static void functionOff(Instrument &in, const Row &row, const QByteArray &)
    {
        in.display(row.channel).measure.function = "OFF";
    }

    // "conf:volt:ac", "conf2:freq", ...: the row's function on the row's
    // display, in automatic range. With a range after it ("conf:volt:dc 10",
    // "conf2:res max", "conf:freq 0.1": full scale, min or max) that range,
    // fixed.
    static void selectFunction(Instrument &in, const Row &row, const QByteArray &argument)
    {
        Measure &m = in.display(row.channel).measure;
        m.function = row.function;
        m.autoRange = true;
        fitRange(m);
        if (const std::optional<QByteArray> label = rangeNamed(m.function, argument)) {
            m.range = *label;
            m.autoRange = false;
        }
    }

    static std::optional<QByteArray> rangeNamed(const QByteArray &function, const QByteArray &argument)
    {
        QList<QByteArray> labels;
        for (const RangeCode &r : rangeCodes())
            if (function == r.function)
                labels.append(r.label);
        if (labels.isEmpty() || argument.isEmpty())
            return std::nullopt;
        if (argument == "min")
            return labels.front();
        if (argument == "max")
            return labels.back();
        const std::optional<double> v = number(QString::fromLatin1(argument));
        for (const QByteArray &label : labels)
            if (v && std::abs(fullScale(label) - *v) <= 1e-9 * *v)
                return label;
        return std::nullopt;
    }

    // "conf:auto 0|1|off|on", "conf2:auto off": automatic ranging; off
    // keeps the range in force.
    static void autoRange(Instrument &in, const Row &row, const QByteArray &argument)
    {
        onOff(argument, &in.display(row.channel).measure.autoRange);
    }

    // The frequency gate time sets the rate: 1 s slow, 0.1 s medium, 10 ms fast.
    static void gateTime(Instrument &in, const Row &, const QByteArray &argument)
    {
        rateBy(in, argument, {"1", "0.1", "0.01"});
    }

    // "calc:stat 0" ends the math function that runs.
    static void calcState(Instrument &in, const Row &, const QByteArray &argument)
    {
        if (argument == "0" || argument == "off")
            in.m_calcFunction = "off";
    }

    // Power-line cycles, above 0 and up to 100, for the row's function.
    static void integrationTime(Instrument &in, const Row &row, const QByteArray &argument)
    {
        const std::optional<double> v = number(QString::fromLatin1(argument));
        if (v && *v > 0 && *v <= 100)
            in.m_nplc[row.function] = *v;
    }

    // The scan list: "rout:open:all" takes every channel out, "rout:clos
    // 1NN" takes one out, "rout:chan 1NN,CODE,RANGE,AUTO" puts one in with
    // its function, range and auto range. A code without a keyword, or a
    // channel that is none, leaves the state as it is.
    static void openAll(Instrument &in, const Row &, const QByteArray &)
    {
        for (ScanChannel &c : in.m_scanChannels)
            c.on = false;
    }

    static void closeChannel(Instrument &in, const Row &, const QByteArray &argument)
    {
        if (const std::optional<int> n = scanChannelNumber(argument))
            in.m_scanChannels.at(std::size_t(*n - kFirstScanChannel)).on = false;
    }

    static void scanChannel(Instrument &in, const Row &, const QByteArray &argument)
    {
        const QList<QByteArray> fields = argument.split(',');
        if (fields.size() != 4)
            return;
        const std::optional<int> n = scanChannelNumber(fields.at(0));
        const std::optional<int> code = wholeIn(fields.at(1).trimmed(), 0, 99);
        const ScannerFunction *function = code ? findScannerFunction(*code) : nullptr;
        if (!n || !function)
            return;
        ScanChannel &c = in.m_scanChannels.at(std::size_t(*n - kFirstScanChannel));
        c.on = true;
        c.function = function->keyword;
        c.range = fields.at(2).trimmed();
        onOff(fields.at(3).trimmed(), &c.autoRange);
    }

    static void scanCount(Instrument &in, const Row &, const QByteArray &argument)
    {
        in.m_scanCount = wholeIn(argument, 0, 99'999).value_or(in.m_scanCount);
    }
    static void scanDelay(Instrument &in, const Row &, const QByteArray &argument)
    {
        in.m_scanDelay = wholeIn(argument, 0, 99'999).value_or(in.m_scanDelay);
    }

    // "rout:func scan|step|off": a pass over the scan list. A timed pass
    // ends Count scan delays on; a step pass on external triggers ends at
    // its Count-th "*trg".
    static void scanFunction(Instrument &in, const Row &, const QByteArray &argument)
    {
        if (argument != "scan" && argument != "step" && argument != "off")
            return;
        in.m_scanMode = argument;
        in.m_stepsTaken = 0;
        in.m_passEnd.reset();
        const bool triggered = argument == "step" && in.m_externalTrigger;
        if (argument != "off" && !triggered)
            in.m_passEnd = qint64(std::llround(double(in.m_scanCount) * in.m_scanDelay * in.m_timeScale));
    }

    static void nothing(Instrument &, const Row &, const QByteArray &) {}

    static constexpr Row kRows[] = {
        // header               argument   channel  act               function
        {"*trg",                nullptr,   0,       trigger,           nullptr},
        {"trig:sour",           nullptr,   0,       triggerSource,     nullptr},
        {"sens:det:band",       nullptr,   0,       detectorBand,      nullptr},
        {"sens:det:rate",       nullptr,   0,       readingRate,       nullptr},
        {"unit",                nullptr,   0,       unit,              nullptr},
        {"conf:temp:tco",       nullptr,   0,       thermocouple,      nullptr},
        {"calc:func",           nullptr,   0,       calcFunction,      nullptr},
        {"calc:hold:ref",       nullptr,   0,       holdReference,     nullptr},
        {"sens:aver:stat",      nullptr,   0,       filter,            nullptr},
        {"sens:aver:coun",      nullptr,   0,       filterCount,       nullptr},
        {"sens:aver:tcon",      nullptr,   0,       filterType,        nullptr},
        {"sens:temp:tco:type",  nullptr,   0,       sensorType,        nullptr},
        {"sens:temp:rjun:sim",  nullptr,   0,       junctionSimulation, nullptr},
        {"sens:temp:rtd:alph",  nullptr,   0,       setNumber,         "rtdalpha"},
        {"sens:temp:rtd:beta",  nullptr,   0,       setNumber,         "rtdbeta"},
        {"sens:temp:rtd:delt",  nullptr,   0,       setNumber,         "rtddelta"},
        {"calc:lim:upp",        nullptr,   0,       setNumber,         "limupp"},
        {"calc:lim:low",        nullptr,   0,       setNumber,         "limlow"},
        {"calc:math:mmf",       nullptr,   0,       setNumber,         "mathmmf"},
        {"calc:math:mbf",       nullptr,   0,       setNumber,         "mathmbf"},
        {"calc:math:perc",      nullptr,   0,       setNumber,         "mathperc"},
        {"calc:rel:ref",        nullptr,   0,       setNumber,         "relref"},
        {"calc:dbm:ref",        nullptr,   0,       dbmReference,      nullptr},
        {"syst:math:chan",      nullptr,   0,       mathChannel,       nullptr},
        {"sens:zero:auto",      nullptr,   0,       zeroAuto,          nullptr},
        {"sens:gain:auto",      nullptr,   0,       gainAuto,          nullptr},
        {"syst:disp",           nullptr,   0,       displayOn,         nullptr},
        {"trig:del",            nullptr,   0,       triggerDelay,      nullptr},
        {"sample:count",        nullptr,   0,       sampleCount,       nullptr},
        {"conf2:off",           nullptr,   2,       functionOff,       nullptr},
        {"sens:func2",          "\"non\"", 2,       functionOff,       nullptr},
        {"sens:volt:dc:nplc",   nullptr,   0,       integrationTime,   "DCV"},
        {"sens:curr:dc:nplc",   nullptr,   0,       integrationTime,   "DCI"},
        {"sens:res:dc:nplc",    nullptr,   0,       integrationTime,   "2W"},
        {"sens:fres:dc:nplc",   nullptr,   0,       integrationTime,   "4W"},
        {"rout:open:all",       nullptr,   0,       openAll,           nullptr},
        {"rout:clos",           nullptr,   0,       closeChannel,      nullptr},
        {"rout:chan",           nullptr,   0,       scanChannel,       nullptr},
        {"rout:coun",           nullptr,   0,       scanCount,         nullptr},
        {"rout:del",            nullptr,   0,       scanDelay,         nullptr},
        {"rout:func",           nullptr,   0,       scanFunction,      nullptr},
        {"rout:adv",            nullptr,   0,       nothing,           nullptr},
        {"rout:scan:fin",       nullptr,   0,       nothing,           nullptr},
        {"trac:cle",            nullptr,   0,       nothing,           nullptr},
        {"conf:volt:ac",        nullptr,   1,       selectFunction,    "ACV"},
        {"conf:volt:dc",        nullptr,   1,       selectFunction,    "DCV"},
        {"conf:curr:ac",        nullptr,   1,       selectFunction,    "ACI"},
        {"conf:curr:dc",        nullptr,   1,       selectFunction,    "DCI"},
        {"conf:res",            nullptr,   1,       selectFunction,    "2W"},
        {"conf:fres",           nullptr,   1,       selectFunction,    "4W"},
        {"conf:diod",           nullptr,   1,       selectFunction,    "DIODE"},
        {"conf:cont",           nullptr,   1,       selectFunction,    "CONTINU"},
        {"conf:freq",           nullptr,   1,       selectFunction,    "Hz"},
        {"conf:per",            nullptr,   1,       selectFunction,    "P"},
        {"conf2:volt:ac",       nullptr,   2,       selectFunction,    "ACV"},
        {"conf2:volt:dc",       nullptr,   2,       selectFunction,    "DCV"},
        {"conf2:curr:ac",       nullptr,   2,       selectFunction,    "ACI"},
        {"conf2:curr:dc",       nullptr,   2,       selectFunction,    "DCI"},
        {"conf2:res",           nullptr,   2,       selectFunction,    "2W"},
        {"conf2:fres",          nullptr,   2,       selectFunction,    "4W"},
        {"conf2:freq",          nullptr,   2,       selectFunction,    "Hz"},
        {"conf2:per",           nullptr,   2,       selectFunction,    "P"},
        {"conf:auto",           nullptr,   1,       autoRange,         nullptr},
        {"conf2:auto",          nullptr,   2,       autoRange,         nullptr},
        {"sens:freq:aper",      nullptr,   0,       gateTime,          nullptr},
        {"calc:stat",           nullptr,   0,       calcState,         nullptr},
    };

    // Each row can be reached: no earlier row with its header takes its
    // argument too.
    static constexpr bool eachRowReachable()
    {
        for (std::size_t i = 0; i < std::size(kRows); ++i)
            for (std::size_t j = 0; j < i; ++j)
                if (same(kRows[i].header, kRows[j].header)
                    && (!kRows[j].argument || same(kRows[i].argument, kRows[j].argument)))
                    return false;
        return true;
    }

    // A number setting's command names one of kNumberSettings.
    static constexpr bool numberSettingsNamed()
    {
        for (const Row &row : kRows)
            if (row.act == setNumber && !isNumberSetting(row.function))
                return false;
        return true;
    }

    static const Row *find(const QByteArray &header, const QByteArray &argument);
};

void Instrument::Commands::setNumber(Instrument &in, const Row &row, const QByteArray &argument)
{
    if (const std::optional<double> v = number(QString::fromLatin1(argument)))
        in.m_numbers[row.function] = *v;
}

const Instrument::Commands::Row *Instrument::Commands::find(const QByteArray &header,
                                                            const QByteArray &argument)
{
    static_assert(eachRowReachable(), "a command row is hidden by an earlier one");
    static_assert(numberSettingsNamed(), "a command sets a number setting that is not there");
    for (const Row &row : kRows)
        if (header == row.header && (!row.argument || argument == row.argument))
            return &row;
    return nullptr;
}

// A command, already normalised: its header, a blank, its argument.
void Instrument::act(const QByteArray &command)
{
    const qsizetype blank = command.indexOf(' ');
    const QByteArray header = blank < 0 ? command : command.left(blank);
    const QByteArray argument = blank < 0 ? QByteArray() : command.mid(blank + 1);
    if (const Commands::Row *row = Commands::find(header, argument))
        row->act(*this, *row, argument);
}

// ---- reply fields ------------------------------------------------------------

// The values a reply form names as %name (reply_forms.cpp), and a few more
// that tests read. A row names the display it reads, so a value kept per
// display (or per scanner channel) is one row per channel.
struct Instrument::Fields
{
    struct Row
    {
        const char *name;
        int channel;  // the display it reads; 0: the instrument as a whole
        QByteArray (*value)(Instrument &, int channel);
    };

    static QByteArray identity(Instrument &in, int) { return in.m_idn; }
    static QByteArray error(Instrument &in, int) { return in.popError(); }

    // Advances the reading, as the instrument takes a new one.
    static QByteArray reading(Instrument &in, int channel)
    {
        return channel == 2 ? in.display2Reading() : in.display1Reading();
    }

    // Display 1's extremes since the math function last changed; before
    // any reading the present one is both.
    static QByteArray extreme(Instrument &in, const std::optional<double> &value)
    {
        if (!in.m_max && !in.display(1).overload)
            in.display1Reading();
        if (in.display(1).overload || !in.m_max)
            return QByteArray(kOverloadReading);
        return exponentForm(*value);
    }
    static QByteArray maximum(Instrument &in, int) { return extreme(in, in.m_max); }
    static QByteArray minimum(Instrument &in, int) { return extreme(in, in.m_min); }

    static QByteArray functionWord(Instrument &in, int channel)
    {
        const Measure &m = in.display(channel).measure;
        const FunctionWord *row = findFunctionWord(m.function);
        if (!row)
            return m.function;  // display 2's unnamed function numbers
        const char *w = channel == 1 ? row->word1 : row->word2;
        return w ? QByteArray(w) : QByteArray();
    }

    static QByteArray autoRange(Instrument &in, int channel)
    {
        return flag(in.display(channel).measure.autoRange);
    }

    static QByteArray rangeCode(Instrument &in, int channel)
    {
        const Measure &m = in.display(channel).measure;
        const RangeCode *row = findRangeCode(m.function, m.range);
        const char *code = row ? (channel == 1 ? row->code1 : row->code2) : nullptr;
        return code ? QByteArray(code) : QByteArray(kNoRange);
    }

    // Display 1's voltage range as the dB function names it: "1" (100 mV)
    // to "5" (the top range); "0" in any other function.
    static QByteArray voltageRangeCode(Instrument &in, int channel)
    {
        const Measure &m = in.display(channel).measure;
        if (m.function != "DCV" && m.function != "ACV")
            return "0";
        int n = 0;
        for (const RangeCode &r : rangeCodes())
            if (m.function == r.function) {
                ++n;
                if (m.range == r.label)
                    return QByteArray::number(n);
            }
        return "0";
    }

    // Integration time of the display's function, if a command set one.
    static QByteArray nplc(Instrument &in, int channel)
    {
        const auto nplc = in.m_nplc.find(in.display(channel).measure.function);
        return nplc == in.m_nplc.end() ? QByteArray() : QByteArray::number(nplc->second);
    }

    static QByteArray trigger(Instrument &in, int) { return in.m_externalTrigger ? "EXT" : "IMM"; }
    static QByteArray filter(Instrument &in, int) { return flag(in.m_filter); }
    static QByteArray scanner(Instrument &in, int) { return flag(in.m_scanner); }
    static QByteArray unit(Instrument &in, int) { return QByteArray(1, in.m_unit); }
    static QByteArray thermocouple(Instrument &in, int) { return QByteArray(1, in.m_thermocouple); }
    static QByteArray rate(Instrument &in, int) { return QByteArray(1, in.m_rate); }

    // The AC detector band and the frequency gate time that go with the rate.
    static QByteArray band(Instrument &in, int)
    {
        return in.m_rate == 'S' ? "+003" : in.m_rate == 'M' ? "+020" : "+200";
    }
    static QByteArray aperture(Instrument &in, int)
    {
        return in.m_rate == 'S' ? "+1.00000E+00" : in.m_rate == 'M' ? "+1.00000E-01" : "+1.00000E-02";
    }

    static QByteArray calcFunction(Instrument &in, int) { return in.m_calcFunction; }
    static QByteArray holdReference(Instrument &in, int) { return in.m_holdReference; }
    static QByteArray filterCount(Instrument &in, int) { return QByteArray::number(in.m_filterCount); }
    static QByteArray filterType(Instrument &in, int) { return in.m_filterMoving ? "MOV" : "REP"; }
    static QByteArray junction(Instrument &in, int) { return QByteArray::number(in.m_junctionHundredths); }
    static QByteArray dbmReference(Instrument &in, int) { return QByteArray::number(in.m_dbmReference); }
    static QByteArray mathChannel(Instrument &in, int) { return QByteArray::number(in.m_mathChannel); }
    static QByteArray sampleCount(Instrument &in, int) { return QByteArray::number(in.m_sampleCount); }
    static QByteArray displayOn(Instrument &in, int) { return flag(in.m_displayOn); }
    static QByteArray zeroAuto(Instrument &in, int) { return flag(in.m_zeroAuto); }
    static QByteArray gainAuto(Instrument &in, int) { return flag(in.m_gainAuto); }
    static QByteArray triggerDelay(Instrument &in, int) { return in.m_triggerDelay; }

    static QByteArray scanCount(Instrument &in, int) { return QByteArray::number(in.m_scanCount); }
    static QByteArray scanDelay(Instrument &in, int) { return QByteArray::number(in.m_scanDelay); }

    static QByteArray scanFetch(Instrument &in, int) { return in.scanFetch(); }

    // "+101 ON" to "+118 OFF", one line a channel.
    static QByteArray scanStates(Instrument &in, int)
    {
        QByteArrayList lines;
        for (int i = 0; i < kScanChannels; ++i)
            lines.append('+' + QByteArray::number(kFirstScanChannel + i)
                         + (in.m_scanChannels[std::size_t(i)].on ? " ON" : " OFF"));
        return lines.join('\n');
    }

    // "110,FRES,10000,OFF".
    static QByteArray scanChannel(Instrument &in, int channel)
    {
        const ScanChannel &c = in.scanChannel(channel);
        return QByteArray::number(channel) + ',' + c.function + ',' + c.range + ','
               + (c.autoRange ? "ON" : "OFF");
    }

    static constexpr Row kRows[] = {
        // name          channel  value
        {"idn",          0,       identity},
        {"error",        0,       error},
        {"display1",     1,       reading},
        {"display2",     2,       reading},
        {"max",          0,       maximum},
        {"min",          0,       minimum},
        {"func1",        1,       functionWord},
        {"auto1",        1,       autoRange},
        {"range1",       1,       rangeCode},
        {"vrange1",      1,       voltageRangeCode},
        {"nplc1",        1,       nplc},
        {"func2",        2,       functionWord},
        {"auto2",        2,       autoRange},
        {"range2",       2,       rangeCode},
        {"trigger",      0,       trigger},
        {"filter",       0,       filter},
        {"scanner",      0,       scanner},
        {"unit",         0,       unit},
        {"tco",          0,       thermocouple},
        {"rate",         0,       rate},
        {"band",         0,       band},
        {"aperture",     0,       aperture},
        {"calcfunc",     0,       calcFunction},
        {"holdref",      0,       holdReference},
        {"filtcount",    0,       filterCount},
        {"filttype",     0,       filterType},
        {"rjunsim",      0,       junction},
        {"dbmref",       0,       dbmReference},
        {"mathchan",     0,       mathChannel},
        {"samplecount",  0,       sampleCount},
        {"display",      0,       displayOn},
        {"zeroauto",     0,       zeroAuto},
        {"gainauto",     0,       gainAuto},
        {"trigdel",      0,       triggerDelay},
        {"scancount",    0,       scanCount},
        {"scandelay",    0,       scanDelay},
        {"scanstates",   0,       scanStates},
        {"scanfetch",    0,       scanFetch},
        {"chan101",      101,     scanChannel},
        {"chan102",      102,     scanChannel},
        {"chan103",      103,     scanChannel},
        {"chan104",      104,     scanChannel},
        {"chan105",      105,     scanChannel},
        {"chan106",      106,     scanChannel},
        {"chan107",      107,     scanChannel},
        {"chan108",      108,     scanChannel},
        {"chan109",      109,     scanChannel},
        {"chan110",      110,     scanChannel},
        {"chan111",      111,     scanChannel},
        {"chan112",      112,     scanChannel},
        {"chan113",      113,     scanChannel},
        {"chan114",      114,     scanChannel},
        {"chan115",      115,     scanChannel},
        {"chan116",      116,     scanChannel},
        {"chan117",      117,     scanChannel},
        {"chan118",      118,     scanChannel},
    };

    // Unique among the rows and the number settings, which are fields too.
    static constexpr bool namesUnique()
    {
        for (std::size_t i = 0; i < std::size(kRows); ++i) {
            if (isNumberSetting(kRows[i].name))
                return false;
            for (std::size_t j = 0; j < i; ++j)
                if (same(kRows[i].name, kRows[j].name))
                    return false;
        }
        return true;
    }

    static const Row *find(QByteArrayView name)
    {
        static_assert(namesUnique(), "a reply field is named twice");
        for (const Row &row : kRows)
            if (name == QByteArrayView(row.name))
                return &row;
        return nullptr;
    }
};

std::optional<QByteArray> Instrument::field(QByteArrayView name)
{
    if (const Fields::Row *row = Fields::find(name))
        return row->value(*this, row->channel);
    if (const auto setting = m_numbers.find(name.toByteArray()); setting != m_numbers.end())
        return exponentForm(setting->second);
    return std::nullopt;
}

// ---- readings and the error queue ----------------------------------------------

double Instrument::typicalReading(const Measure &m) const
{
    if (m.function == "OFF")
        return 0;
    double value = 0;
    // Frequency and period range over their input voltage, not the reading.
    if (!m.autoRange && findRangeCode(m.function, m.range) && m.function != "Hz" && m.function != "P")
        value = fullScale(m.range) / 2;
    else
        for (const TypicalReading &row : kTypicalReadings)
            if (m.function == row.function)
                value = row.value;
    return value * wobble(m_readCount) / wobble(0);
}

QByteArray Instrument::scanReading(const ScanChannel &c) const
{
    if (c.overload)
        return kOverloadReading;
    if (c.fixed)
        return exponentForm(*c.fixed);
    double value = 0;
    for (const ScannerFunction &row : scannerFunctions())
        if (c.function == row.keyword)
            value = row.typical;
    // A fixed range reads half its full scale; the functions without a
    // range list are sent with range "1".
    const double range = c.range.toDouble();
    if (!c.autoRange && range > 1)
        value = range / 2;
    return exponentForm(value);
}

QByteArray Instrument::scanFetch() const
{
    std::vector<const ScanChannel *> on;
    for (const ScanChannel &c : m_scanChannels)
        if (c.on)
            on.push_back(&c);
    QByteArrayList lines;
    for (int k = 0; k < m_scanCount; ++k)
        lines.append(on.empty() ? exponentForm(0) : scanReading(*on[std::size_t(k) % on.size()]));
    return lines.join('\n');
}

void Instrument::noteReading(double value)
{
    m_max = m_max ? std::max(*m_max, value) : value;
    m_min = m_min ? std::min(*m_min, value) : value;
}

// What display 1 reads now, without taking a reading: the overload value,
// the last numbered reading, a test's value or the one typical of its
// function.
double Instrument::display1Value() const
{
    const Display &d = display(1);
    if (d.overload)
        return 9.9e37;
    if (m_numbered)
        return double(m_numberedCount);
    if (d.fixed)
        return *d.fixed;
    return d.measure.function == "DCV" && d.measure.autoRange ? wobble(m_readCount)
                                                              : typicalReading(d.measure);
}

QByteArray Instrument::display1Reading()
{
    const Display &d = display(1);
    if (d.overload)
        return kOverloadReading;
    // Numbered readings tell a test which query each reply answers.
    if (m_numbered)
        return exponentForm(double(++m_numberedCount));
    const double value = display1Value();
    if (!d.fixed)
        ++m_readCount;
    noteReading(value);
    return exponentForm(value);
}

QByteArray Instrument::display2Reading()
{
    const Display &d = display(2);
    if (d.overload)
        return kOverloadReading;
    return exponentForm(d.fixed.value_or(typicalReading(d.measure)));
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
