// The simulated instrument's state keys: the table of what a test or
// "ravelo-sim --state" may set, its handlers and build-time checks, and
// setState() and setStates(), which read a key or a list of keys.

#include "sim/instrument_internal.h"

#include <QLatin1StringView>
#include <QStringList>

#include <utility>

namespace sim {
namespace {

constexpr bool startsWith(const char *text, const char *prefix)
{
    while (*prefix && *text == *prefix)
        ++text, ++prefix;
    return !*prefix;
}

} // namespace

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

} // namespace sim
