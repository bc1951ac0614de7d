// The simulated instrument's commands: the table of the commands that
// change its state, its handlers and build-time checks, and act(), which
// splits a command into header and argument and finds its row.

#include "sim/instrument_internal.h"

#include <QByteArrayView>

#include <array>
#include <cmath>

namespace sim {
namespace {

// A command's on/off argument; anything else leaves the state as it is.
void onOff(const QByteArray &argument, bool *on)
{
    if (argument == "on" || argument == "1")
        *on = true;
    else if (argument == "off" || argument == "0")
        *on = false;
}

// The hold reference as the instrument answers it: the shortest plain form
// ("0.01", "0.1", "1", "10").
QByteArray shortForm(double value)
{
    return QByteArray::number(value, 'g', 6);
}

} // namespace

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

} // namespace sim
