// The simulated instrument's reply fields: the table of the values its
// replies are made of, its handlers and build-time check, and field(),
// which gives a value by its name.

#include "sim/instrument_internal.h"

#include <QByteArrayList>

namespace sim {
namespace {

QByteArray flag(bool on)
{
    return on ? "1" : "0";
}

// A function without a range of its own answers the range query with this;
// the program reads it and goes on.
constexpr char kNoRange[] = "1";

} // namespace

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

} // namespace sim
