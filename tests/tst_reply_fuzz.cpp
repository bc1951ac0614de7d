// Many random and mutated replies, under many panel set-ups, through the
// reply parser (and some through the triggered reading on the simulator),
// from a fixed seed: the parse always completes and leaves the panel
// consistent: READ_OK as the reply's length says, only known glyphs lit, at
// most one point and one prefix lamp per display, "OL" drawn whenever
// DIS1_OL says so, and reading texts without control characters that keep
// their length limits.

#include "display/glyph_words.h"
#include "platform/runtime.h"
#include "reading/reply_parser.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"

#include <QtTest>
#include <random>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace display;

class TestReplyFuzz : public QObject
{
    Q_OBJECT

private slots:
    void parserKeepsThePanelConsistent();
    void triggeredReadingOnGarbledLines();
    void megabyteOfDigits();
};

namespace {

constexpr unsigned kSeed = 20261210;
constexpr int kSetups = 80;
constexpr int kRepliesPerSetup = 150;

const QStringList kCorpus = {
    u"+1.234567E+00,+0.000000E+00\r"_s, u"+9.90000000E+37,+9.90000000E+37\r"_s,
    u"-5.000000E-02,+1.500000E+03\r"_s, u"0,0"_s, u"+1.99999E+09,\r"_s, u"1500,0.00015"_s,
    u"+4.000000E+03,-1.0E-06\r"_s, u"-1.199999E+00,+1.899999E+03\r"_s, u"1.5"_s,
    u"+1.000000E+01\r,"_s, u"12\r"_s, u","_s, u""_s, u"1,2,3"_s, u"abc,def"_s,
};

const QString kAlphabet = u"0123456789+-.eE, \t\r\n"_s;

class Fuzzer
{
public:
    explicit Fuzzer(unsigned seed) : m_rng(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool chance(int percent) { return below(100) < percent; }
    template <class T> const T &pick(const QList<T> &list) { return list.at(below(int(list.size()))); }

    QChar anyChar()
    {
        switch (below(4)) {
        case 0: return QChar(char16_t(below(256)));          // a byte off the line
        case 1: return chance(50) ? QChar(u'\uFFFD') : QChar(char16_t(0xD800));  // not text
        default: return kAlphabet.at(below(int(kAlphabet.size())));
        }
    }

    QString reply()
    {
        if (chance(15)) {  // pure noise
            QString s;
            for (int n = below(40); n > 0; --n)
                s += anyChar();
            return s;
        }
        QString s = pick(kCorpus);
        for (int n = below(5); n > 0; --n) {
            const int at = below(int(s.size()) + 1);
            switch (below(5)) {
            case 0: s.insert(at, anyChar()); break;
            case 1: if (at < s.size()) s.remove(at, 1); break;
            case 2: if (at < s.size()) s[at] = anyChar(); break;
            case 3: s.insert(at, s.mid(below(int(s.size()) + 1), below(8))); break;
            case 4: s.truncate(at); break;
            }
        }
        return s;
    }

private:
    std::mt19937 m_rng;
};

const QStringList kModes1 = {u"DCV"_s, u"ACV"_s, u"DCI"_s, u"ACI"_s, u"2W"_s, u"4W"_s, u"Hz"_s, u"P"_s,
                             u"C"_s, u"F"_s, u"DIODE"_s, u"CONTINU"_s, u""_s, u"dB"_s, u"dBm"_s};
const QStringList kModes2 = {u"DCV"_s, u"ACV"_s, u"DCI"_s, u"ACI"_s, u"2W"_s, u"4W"_s, u"Hz"_s, u"P"_s,
                             u"HOLD"_s, u"COUNT"_s};
const QStringList kRanges = {u"AUTO"_s, u"AUTO"_s, u"100mV"_s, u"10V"_s, u"750V"_s, u"1000V"_s, u"100uA"_s,
                             u"10A"_s, u"100"_s, u"10K"_s, u"100M"_s, u"7K"_s, u""_s};

struct Setup
{
    bool math23 = false;   // MX+B or 1/X: the parse ends after math
    bool compare = false;
    bool db = false;       // dB or dBm takes the reply
    bool display2 = false; // the display-2 stage runs every time
    QString text;          // for failure messages
};

Setup randomSetup(Fuzzer &z, Panel &p)
{
    shell::PanelState &s = p.state;
    Setup out;
    s.MODE1 = z.pick(kModes1);
    s.MODE1_RANGE = z.pick(kRanges);
    if (z.chance(40)) {
        s.MODE2_ON = true;
        s.MODE2 = z.pick(kModes2);
        s.MODE2_RANGE = z.pick(kRanges);
        p.display.setLit(Lamp::AUTO_LAB2, z.chance(60));
        p.display.setLit(Points::DROP_IMG2, z.below(5), z.chance(50));
    }
    p.display.setLit(Lamp::DC_LAB1, z.chance(50));
    p.display.setLit(Lamp::AUTO_LAB1, z.chance(50));
    s.HOLD_ON = z.chance(10);
    s.REL_ON = z.chance(10);
    if (z.chance(25)) {
        s.MATH_ON = true;
        s.MATH_ITEM = qint16(2 + z.below(4));
        s.MATH_M_VALUE = z.pick(QStringList{u"2"_s, u"0"_s, u"1E-9"_s, u"-3.5"_s, u"x"_s});
        s.MATH_B_VALUE = z.pick(QStringList{u"1"_s, u"0"_s, u""_s});
    }
    s.COMP_ON = z.chance(15);
    s.dBm_ON = s.MODE1 == u"dBm" || z.chance(5);
    s.dB_ON = s.MODE1 == u"dB" || z.chance(5);
    s.MXMN_ON = z.chance(20);
    s.dB_WITH_dBm = z.chance(30);
    s.dBm_REF = z.pick(QStringList{u"0050"_s, u"0600"_s, u""_s});
    out.db = s.dBm_ON || s.dB_ON;
    out.math23 = s.MATH_ON && (s.MATH_ITEM == 2 || s.MATH_ITEM == 3);
    out.compare = s.COMP_ON;
    out.display2 = !out.db && !out.math23 && !out.compare;
    out.text = u"MODE1=%1 range=%2 MODE2=%3 math=%4/%5 comp=%6 dBm=%7 dB=%8 mxmn=%9"_s
                   .arg(s.MODE1, s.MODE1_RANGE, s.MODE2_ON ? s.MODE2 : u"off"_s)
                   .arg(s.MATH_ON).arg(s.MATH_ITEM).arg(s.COMP_ON).arg(s.dBm_ON).arg(s.dB_ON).arg(s.MXMN_ON);
    return out;
}

bool hasControl(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    return false;
}

// Every consistency rule; the first one broken, or "".
QString broken(const Panel &p, const Setup &setup, bool readOk)
{
    const shell::PanelState &s = p.state;
    const DisplayModel &d = p.display;
    if (s.READ_OK != readOk)
        return u"READ_OK"_s;
    for (Positions row : {Positions::DIS1_IMG, Positions::DIS2_IMG})
        for (int i = 0; i < DisplayModel::count(row); ++i)
            if (d.isLit(row, i) && !isGlyphName(d.glyph(row, i)))
                return u"unknown glyph \"%1\""_s.arg(d.glyph(row, i));
    int points1 = 0, points2 = 0;
    for (int i = 0; i < 6; ++i)
        points1 += d.isLit(Points::DROP_IMG, i);
    for (int i = 0; i < 5; ++i)
        points2 += d.isLit(Points::DROP_IMG2, i);
    if (points1 > 1 || points2 > 1)
        return u"points %1 and %2"_s.arg(points1).arg(points2);
    const Lamp prefixes1[] = {Lamp::T_u_LAB1, Lamp::T_min_LAB1, Lamp::T_K_LAB1, Lamp::T_M_LAB1};
    const Lamp prefixes2[] = {Lamp::T_u_LAB2, Lamp::T_min_LAB2, Lamp::T_K_LAB2, Lamp::T_M_LAB2};
    int lit1 = 0, lit2 = 0;
    for (Lamp l : prefixes1)
        lit1 += d.isLit(l);
    for (Lamp l : prefixes2)
        lit2 += d.isLit(l);
    if (lit1 > 1 || lit2 > 1)
        return u"prefix lamps %1 and %2"_s.arg(lit1).arg(lit2);
    if (s.DIS1_OL) {
        const QString form = shown1(d).remove(u'.');
        if (form != u"___OL__" && !form.contains(u"OPEN"))
            return u"DIS1_OL over \"%1\""_s.arg(shown1(d));
    }
    if (hasControl(s.DISPLAY1) || hasControl(s.DISPLAY2))
        return u"control character in a reading text"_s;
    if (readOk && !setup.db && !s.MATH_ON && s.DISPLAY1.size() > 15)
        return u"DISPLAY1 \"%1\""_s.arg(s.DISPLAY1);
    if (readOk && setup.display2 && s.DISPLAY2.size() > 13)
        return u"DISPLAY2 \"%1\""_s.arg(s.DISPLAY2);
    return {};
}

} // namespace

void TestReplyFuzz::parserKeepsThePanelConsistent()
{
    Fuzzer z(kSeed);
    int interpreted = 0;
    for (int n = 0; n < kSetups; ++n) {
        PanelFixture f;
        darken(f.display);
        const Setup setup = randomSetup(z, f.panel);
        for (int i = 0; i < kRepliesPerSetup; ++i) {
            const QString reply = z.reply();
            const QString trimmed = rt::trimSpaces(reply);
            const QString used = trimmed.isEmpty() ? f.state.LAST_REPLY : trimmed;
            f.state.DISPLAY1 = reply;
            reading::READ_SHOW_PARSE(f.panel);
            const bool readOk = used.size() >= 3;
            interpreted += readOk;
            const QString why = broken(f.panel, setup, readOk);
            if (!why.isEmpty())
                QFAIL(qPrintable(u"%1 after reply %2 under %3"_s
                                     .arg(why, QString::fromLatin1(reply.toUtf8().toPercentEncoding()), setup.text)));
        }
    }
    QVERIFY(interpreted > kSetups * kRepliesPerSetup / 2);  // most replies reach the tables
}

void TestReplyFuzz::triggeredReadingOnGarbledLines()
{
    // Replies garbled or cut on the line, some of them late.
    Fuzzer z(kSeed + 1);
    PanelFixture f(sim::Faults{.garbleEvery = 3, .cutEvery = 7});
    darken(f.display);
    QVERIFY(f.sim.instrument.setStates(u"trigger=ext"));
    f.linkUp();
    f.sim.link.setReplyBound(30ms);
    f.sim.link.setQuietTime(5ms);
    for (int i = 0; i < 60; ++i) {
        f.state = shell::PanelState{};
        darken(f.display);
        f.display.setLit(Lamp::EXT_LAB, true);
        const Setup setup = randomSetup(z, f.panel);
        f.display.setLit(Lamp::MAX_LAB, z.chance(20));
        QString override = z.reply();
        override.remove(u'\r').remove(u'\n');
        f.sim.instrument.setState(z.chance(50) ? u"reply:read?" : u"reply:calc:max?", override);
        f.sim.instrument.setState(u"triggap", z.chance(20) ? u"10" : u"0");
        reading::TRIG_READ_SHOW(f.panel);
        const QString why = broken(f.panel, setup, f.state.READ_OK);
        if (!why.isEmpty())
            QFAIL(qPrintable(u"%1 under %2"_s.arg(why, setup.text)));
    }
}

void TestReplyFuzz::megabyteOfDigits()
{
    for (const QString &mode : {u"DCV"_s, u""_s, u"dBm"_s, u"Hz"_s}) {
        PanelFixture f;
        darken(f.display);
        f.state.MODE1 = mode;
        f.state.dBm_ON = mode == u"dBm";
        f.state.MODE1_RANGE = u"AUTO"_s;
        f.state.MODE2_ON = true;
        f.state.MODE2 = u"2W"_s;
        f.display.setLit(Lamp::AUTO_LAB2, true);
        const QString digits(1 << 20, u'7');
        f.state.DISPLAY1 = digits + u'.' + digits + u',' + digits + u'\r';
        reading::READ_SHOW_PARSE(f.panel);
        QVERIFY(f.state.READ_OK);
        QVERIFY2(f.state.DISPLAY1.size() <= 15, qPrintable(mode));
        QVERIFY2(f.state.DISPLAY2.size() <= 13, qPrintable(mode));
    }
}

QTEST_GUILESS_MAIN(TestReplyFuzz)
#include "tst_reply_fuzz.moc"
