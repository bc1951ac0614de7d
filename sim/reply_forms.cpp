#include "sim/reply_forms.h"

namespace sim {
namespace {

// %name stands for a value of the model (Instrument::field): idn, error,
// display1, display2, max, min. Everything else is copied as it stands.
// Measurement state: func1, auto1, range1, func2, auto2, range2, trigger,
// filter, filtcount, scanner, unit, tco, rjunsim, band, aperture, rate,
// calcfunc, holdref; the numbers kept as set (limupp, limlow, rtdalpha,
// rtdbeta, rtddelta, mathmmf, mathmbf, mathperc, relref).
//
// Scan runs. "rout:func scan" takes "rout:coun" readings over the channels
// in the scan, one each scan delay ("rout:del", ms, times the time scale),
// then sends the line "SCAN OK" unasked: the scanner window polls for
// waiting bytes and then reads until it sees that line. "rout:func step"
// does the same with the internal trigger source; with the external one it
// takes one reading per "*trg" and sends "SCAN OK" after the last. A "*trg"
// after a finished pass gets no reply. "rout:func off" ends a pass.
// "TRAC:CLE", "rout:scan:fin on" and "rout:adv on" get no reply.
constexpr ReplyForm kReplyForms[] = {
    // query        form                   why
    {"*idn?",      "%idn",                "four fields: maker, model, serial, firmware; the program takes the version from field 4"},
    {"*sre?",      "+0",                  "service request enable mask, signed whole number; nothing here ever requests service"},
    {"syst:err?",  "%error",              "oldest error-queue entry, code comma quoted text; '+0,\"No error\"' when the queue is empty"},
    {"read?",      "%display1,%display2", "display 1, comma, display 2, each as +1.234567E+00; the program splits at the comma"},
    {"read? buf",  "%display1,%display2", "same as read?, from the reading buffer; the panel's reading timer sends this one"},
    {"trig:sour?",      "%trigger",  "\"EXT\" or \"IMM\": the program keeps the first two characters and lights EXT on \"EX\""},
    {"sens:aver:stat?", "%filter",   "\"0\" or \"1\": converted to a Boolean (CR as a blank), lights the filter lamp"},
    {"rout:stat?",      "%scanner",  "\"1\" when the scanner option is fitted, else \"0\"; the leading number is compared with 1"},
    {"conf2:func?",     "%func2",    "display-2 word (functionWords); \"NON\" when display 2 is off; last character dropped, then compared"},
    {"conf2:auto?",     "%auto2",    "\"0\" or \"1\": display 2's automatic ranging, converted to a number"},
    {"conf2:rang?",     "%range2",   "display-2 range code (rangeCodes); compared without its terminator"},
    {"conf:auto?",      "%auto1",    "\"0\" or \"1\": display 1's automatic ranging, converted to a number (CR as a blank)"},
    {"conf:rang?",      "%range1",   "display-1 range code (rangeCodes); last character dropped, then compared; in frequency and period the input range \"0.1\" to \"750\", which the AUTO key names \"100mV\" to \"750V\""},
    {"conf:stat:rang?", "%vrange1",  "display-1 voltage range code \"1\" (100 mV) to \"5\" (750 V AC, 1000 V DC), \"0\" in other functions: the dB step takes the first character and steps from it"},
    {"conf:func?",      "%func1",    "display-1 word (functionWords): the program tests characters 6-7 (\"AC\", \"TC\") or the first three"},
    {"unit?",           "%unit",     "temperature unit, one letter \"C\" or \"F\"; last character dropped, then compared with \"C\""},
    {"sens:temp:tco:type?", "%tco",  "thermocouple type, one letter; the program spells its first character on display 2"},
    {"sens:det:band?",  "%band",     "AC detector band \"+003\", \"+020\" or \"+200\" (slow, medium, fast): the first four characters"},
    {"sens:freq:aper?", "%aperture", "gate time in seconds, 1, 0.1 or 0.01, as +1.00000E-01: with the CR on, the second-last character is 0, 1 or 2"},
    {"sens:det:rate?",  "%rate",     "reading rate, one letter \"S\", \"M\" or \"F\": the first character is the rate code"},
    {"calc:hold:ref?",  "%holdref",  "hold reference in percent, plain and short (\"0.01\", \"0.1\", \"1\", \"10\"): both readers drop the last character (the CR); the hold key shows the rest's number as \"0.10\", the arrow keys compare the rest as text with the four steps, so an exponent form would never step"},
    {"sens:aver:coun?", "%filtcount", "filter count, a bare whole number: the filter menu formats its number \"000\" on display 1"},
    {"sens:temp:rjun:sim?", "%rjunsim", "reference-junction simulation in hundredths of a degree (\"2300\" for 23 degrees): the sensor menu divides the number by 100, shows \"23.00\" and sends back the degrees \"023.00\", so confirming unchanged is neutral. TO BE CHECKED on a real instrument: the program's reading implies this scale"},
    {"sens:temp:rtd:alph?", "%rtdalpha", "user RTD alpha as +3.850000E-03: the sensor menu formats its number \"00.00000\" and edits the seven digits"},
    {"sens:temp:rtd:beta?", "%rtdbeta",  "user RTD beta, read as alpha"},
    {"sens:temp:rtd:delt?", "%rtddelta", "user RTD delta, read as alpha"},
    {"calc:lim:upp?",   "%limupp",   "upper compare limit as +5.000000E+00: drawn on display 1 with its prefix lamp, then scaled to that prefix and edited as seven digits"},
    {"calc:lim:low?",   "%limlow",   "lower compare limit, read as the upper one"},
    {"calc:math:mmf?",  "%mathmmf",  "math factor M as +1.000000E+00: drawn on display 1 with its prefix lamp and edited as seven digits"},
    {"calc:math:mbf?",  "%mathmbf",  "math offset B, read as M"},
    {"calc:math:perc?", "%mathperc", "math REF% reference, read as M"},
    {"calc:rel:ref?",   "%relref",   "REL reference, one field as +1.234567E+00 (display 1's value when REL went on, or as \"calc:rel:ref\" set it): drawn on display 1"},
    {"val2?",           "%display2", "display 2's value as +1.234567E+00: converted to a number and scaled for display 2 (REL on)"},
    {"calc:max?",       "%max",      "largest display-1 reading since calc:func, one field: the program appends \",\" so the whole reply is display 1's"},
    {"calc:min?",       "%min",      "smallest display-1 reading since calc:func, one field, treated as calc:max?"},
    {"val1?",           "%display1", "display 1's value as +1.234567E+00; after \"sample:count N\" a block of N values, each ended by CR, one a sample interval: the fast run records each text as it stands"},
    {"rout:coun?",      "%scancount", "scan count, a whole number: the scanner window shows its leading number, rounded, in Count"},
    {"rout:del?",       "%scandelay", "scan delay, a whole number: shown the same way as Scan Delay"},
    {"trig:del?",       "%trigdel",   "system delay as last set, a whole number as the program sends it: shown the same way as System Delay"},
    {"route:multiple:state?", "%scanstates", "18 replies, one per channel 101..118 in order, \"+101 ON\" or \"+101 OFF\": the scanner window takes the n-th for the n-th channel, two characters five after the \"+\""},
    {"rout:chan? 101", "%chan101", "channel number, function keyword (scannerFunctions), range as the set-up sent it (\"10000\"), auto \"ON\" or \"OFF\": the scanner window cuts at the commas, compares keyword and range as text and takes the first two characters of the last field"},
    {"rout:chan? 102", "%chan102", "as rout:chan? 101"},
    {"rout:chan? 103", "%chan103", "as rout:chan? 101"},
    {"rout:chan? 104", "%chan104", "as rout:chan? 101"},
    {"rout:chan? 105", "%chan105", "as rout:chan? 101"},
    {"rout:chan? 106", "%chan106", "as rout:chan? 101"},
    {"rout:chan? 107", "%chan107", "as rout:chan? 101"},
    {"rout:chan? 108", "%chan108", "as rout:chan? 101"},
    {"rout:chan? 109", "%chan109", "as rout:chan? 101"},
    {"rout:chan? 110", "%chan110", "as rout:chan? 101"},
    {"rout:chan? 111", "%chan111", "as rout:chan? 101"},
    {"rout:chan? 112", "%chan112", "as rout:chan? 101"},
    {"rout:chan? 113", "%chan113", "as rout:chan? 101"},
    {"rout:chan? 114", "%chan114", "as rout:chan? 101"},
    {"rout:chan? 115", "%chan115", "as rout:chan? 101"},
    {"rout:chan? 116", "%chan116", "as rout:chan? 101"},
    {"rout:chan? 117", "%chan117", "as rout:chan? 101"},
    {"rout:chan? 118", "%chan118", "as rout:chan? 101"},
    {"fetc?",          "%scanfetch", "the last pass's readings, \"rout:coun\" lines, one number each in the reading form, over the channels in the scan in channel order (and round again): the scanner window reads one line per reading and places them by order"},
};

// Functions by display. Display 2 answers frequency, period and 4-wire
// resistance with the instrument's function numbers; it offers no diode,
// continuity or temperature. (DC voltage is "VOLT": "VOLT:DC" would select
// nothing, since characters 6-7 would be "DC".)
constexpr FunctionWord kFunctionWords[] = {
    // function   display 1   display 2
    {"DCV",     "VOLT",     "VOLT"},
    {"ACV",     "VOLT:AC",  "VOLT:AC"},
    {"DCI",     "CURR",     "CURR"},
    {"ACI",     "CURR:AC",  "CURR:AC"},
    {"2W",      "RES",      "RES"},
    {"4W",      "FRES",     "16"},
    {"Hz",      "FREQ",     "8"},
    {"P",       "PER",      "14"},
    {"DIODE",   "DIOD",     nullptr},
    {"CONTINU", "CONT",     nullptr},
    {"TEMP",    "TEMP:TCO", nullptr},
    {"OFF",     nullptr,    "NON"},
};

// Ranges by display. Display 1 names current and resistance ranges by their
// full-scale value ("0.0001" A, "10E2" ohms); display 2 codes DC current two
// decades lower and resistance by its step "1" to "7". Frequency and period
// range over their input voltage, answered bare on display 1 only.
constexpr RangeCode kRangeCodes[] = {
    // function label     display 1  display 2
    {"DCV", "100mV", "0.1",    "0.1"},
    {"DCV", "1V",    "1",      "1"},
    {"DCV", "10V",   "10",     "10"},
    {"DCV", "100V",  "100",    "100"},
    {"DCV", "1000V", "1000",   "1000"},
    {"ACV", "100mV", "0.1",    "0.1"},
    {"ACV", "1V",    "1",      "1"},
    {"ACV", "10V",   "10",     "10"},
    {"ACV", "100V",  "100",    "100"},
    {"ACV", "750V",  "750",    "750"},
    {"DCI", "100uA", "0.0001", "0.000001"},
    {"DCI", "1mA",   "0.001",  "0.00001"},
    {"DCI", "10mA",  "0.01",   "0.0001"},
    {"DCI", "100mA", "0.1",    "0.1"},
    {"DCI", "1A",    "1",      "1"},
    {"DCI", "10A",   "10",     "10"},
    {"ACI", "1mA",   "0.001",  "0.001"},
    {"ACI", "10mA",  "0.01",   "0.01"},
    {"ACI", "100mA", "0.1",    "0.1"},
    {"ACI", "1A",    "1",      "1"},
    {"ACI", "10A",   "10",     "10"},
    {"2W",  "100",   "10E2",   "1"},
    {"2W",  "1K",    "10E3",   "2"},
    {"2W",  "10K",   "10E4",   "3"},
    {"2W",  "100K",  "10E5",   "4"},
    {"2W",  "1M",    "10E6",   "5"},
    {"2W",  "10M",   "10E7",   "6"},
    {"2W",  "100M",  "10E8",   "7"},
    {"4W",  "100",   "10E2",   "1"},
    {"4W",  "1K",    "10E3",   "2"},
    {"4W",  "10K",   "10E4",   "3"},
    {"4W",  "100K",  "10E5",   "4"},
    {"4W",  "1M",    "10E6",   "5"},
    {"4W",  "10M",   "10E7",   "6"},
    {"4W",  "100M",  "10E8",   "7"},
    {"Hz",  "100mV", "0.1",    nullptr},
    {"Hz",  "1V",    "1",      nullptr},
    {"Hz",  "10V",   "10",     nullptr},
    {"Hz",  "100V",  "100",    nullptr},
    {"Hz",  "750V",  "750",    nullptr},
    {"P",   "100mV", "0.1",    nullptr},
    {"P",   "1V",    "1",      nullptr},
    {"P",   "10V",   "10",     nullptr},
    {"P",   "100V",  "100",    nullptr},
    {"P",   "750V",  "750",    nullptr},
};

// The scanner's function codes. 5 and 6 (the milliamp ranges) have no
// keyword the program knows and are not modelled.
constexpr ScannerFunction kScannerFunctions[] = {
    // code  keyword         typical reading in auto range
    {1,  "VOLT",         1.2},
    {2,  "VOLT:AC",      0.5},
    {3,  "CURR",         0.1},
    {4,  "CURR:AC",      0.1},
    {7,  "RES",          1000},
    {8,  "FREQ",         1000},
    {9,  "TEMP:TCO:C",   25},
    {13, "CONT",         10},
    {14, "PER",          0.001},
    {15, "TEMP:TCO:F",   77},
    {16, "FRES",         1000},
    {17, "DIOD",         0.6},
    {18, "TEMP:RTD:C",   25},
    {19, "TEMP:FRTD:C",  25},
    {20, "TEMP:RTD:F",   77},
    {21, "TEMP:FRTD:F",  77},
};

} // namespace

std::span<const ScannerFunction> scannerFunctions()
{
    return kScannerFunctions;
}

const ScannerFunction *findScannerFunction(int code)
{
    for (const ScannerFunction &row : kScannerFunctions)
        if (row.code == code)
            return &row;
    return nullptr;
}

std::span<const ReplyForm> replyForms()
{
    return kReplyForms;
}

const ReplyForm *findReplyForm(QByteArrayView query)
{
    for (const ReplyForm &row : kReplyForms)
        if (query == QByteArrayView(row.query))
            return &row;
    return nullptr;
}

std::span<const FunctionWord> functionWords()
{
    return kFunctionWords;
}

const FunctionWord *findFunctionWord(QByteArrayView function)
{
    for (const FunctionWord &row : kFunctionWords)
        if (function.compare(QByteArrayView(row.function), Qt::CaseInsensitive) == 0)
            return &row;
    return nullptr;
}

std::span<const RangeCode> rangeCodes()
{
    return kRangeCodes;
}

const RangeCode *findRangeCode(QByteArrayView function, QByteArrayView label)
{
    for (const RangeCode &row : kRangeCodes)
        if (function.compare(QByteArrayView(row.function), Qt::CaseInsensitive) == 0
            && label.compare(QByteArrayView(row.label), Qt::CaseInsensitive) == 0)
            return &row;
    return nullptr;
}

} // namespace sim
