// The headless displays: the panel as it opens, the lamp test, spelling,
// the five blankings (whose sets differ on purpose) and the fixed forms.
// Every part of the panel is named as the panel names it, "DIS1_IMG(3)",
// "DROP_IMG(6)", "T_dBm_LAB2", so a failure names what went wrong.

#include "core/display_model.h"
#include "display/glyph_words.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace display;

using Drawing = void (*)(DisplayModel &);
using Words = QList<Drawing>;
using Parts = QSet<QString>;

Q_DECLARE_METATYPE(display::Lamp)
Q_DECLARE_METATYPE(Words)
Q_DECLARE_METATYPE(display::Positions)

namespace {

QString indexed(const char *array, int index)
{
    return u"%1(%2)"_s.arg(QLatin1StringView(array)).arg(index);
}

// Every part that can be lit, with whether it is.
QList<std::pair<QString, bool>> everyPart(const DisplayModel &m)
{
    QList<std::pair<QString, bool>> parts;
    for (int i = 0; i < kDisplay1Positions; ++i)
        parts.append({indexed("DIS1_IMG", i), m.isLit(Positions::DIS1_IMG, i)});
    for (int i = 0; i < kDisplay2Positions; ++i)
        parts.append({indexed("DIS2_IMG", i), m.isLit(Positions::DIS2_IMG, i)});
    for (int i = 0; i < kDisplay1Points; ++i)
        parts.append({indexed("DROP_IMG", i), m.isLit(Points::DROP_IMG, i)});
    for (int i = 0; i < kDisplay2Points; ++i)
        parts.append({indexed("DROP_IMG2", i), m.isLit(Points::DROP_IMG2, i)});
    parts.append({u"DIODE_IMG"_s, m.isLit(Symbol::DIODE_IMG)});
    parts.append({u"CONTINU_IMG"_s, m.isLit(Symbol::CONTINU_IMG)});
    for (int i = 0; i < kLampCount; ++i)
        parts.append({lampName(Lamp(i)).toString(), m.isLit(Lamp(i))});
    return parts;
}

Parts litParts(const DisplayModel &m)
{
    Parts lit;
    for (const auto &[name, on] : everyPart(m))
        if (on)
            lit.insert(name);
    return lit;
}

Parts allParts()
{
    Parts all;
    for (const auto &part : everyPart(DisplayModel()))
        all.insert(part.first);
    return all;
}

// Groups read off the names, independent of the drawing code's own lists.
Parts digits1()  // positions and the foot points; the filter dot is apart
{
    Parts p;
    for (int i = 0; i < 7; ++i)
        p << indexed("DIS1_IMG", i);
    for (int i = 0; i < 6; ++i)
        p << indexed("DROP_IMG", i);
    return p;
}

Parts digits2()  // positions and all six points, the mid-height dot too
{
    Parts p;
    for (int i = 0; i < 6; ++i)
        p << indexed("DIS2_IMG", i) << indexed("DROP_IMG2", i);
    return p;
}

Parts labelsEndingIn(QStringView ending)
{
    Parts p;
    for (int i = 0; i < kLampCount; ++i)
        if (lampName(Lamp(i)).endsWith(ending))
            p << lampName(Lamp(i)).toString();
    return p;
}

Parts labels1() { return labelsEndingIn(u"_LAB1"); }
Parts labels2() { return labelsEndingIn(u"_LAB2"); }
Parts sharedLabels() { return labelsEndingIn(u"_LAB"); }
const Parts kSymbols = {u"DIODE_IMG"_s, u"CONTINU_IMG"_s};
const Parts kFilterDot = {u"DROP_IMG(6)"_s};
const Parts kRateAndRemote = {u"FILT_LAB"_s, u"RMT_LAB"_s, u"S_LAB"_s, u"M_LAB"_s, u"F_LAB"_s};

// Every part lit, the filter dot included, and a distinct glyph in every
// position so that a reload would show.
void lightEverything(DisplayModel &m)
{
    m.setAllLit(true);
    m.setLit(Points::DROP_IMG, 6, true);
    DIS1_SHOW_RANGE(m, u"0", u"1", u"2", u"3", u"4", u"5", u"6");
    DIS2_SHOW_RANGE(m, u"A", u"B", u"C", u"D", u"E", u"F");
}

QStringList glyphs(const DisplayModel &m, Positions row)
{
    QStringList g;
    for (int i = 0; i < DisplayModel::count(row); ++i)
        g << m.glyph(row, i);
    return g;
}

// What a row shows: the glyph of a lit position, "" for a dark one.
QStringList shown(const DisplayModel &m, Positions row)
{
    QStringList s;
    for (int i = 0; i < DisplayModel::count(row); ++i)
        s << (m.isLit(row, i) ? m.glyph(row, i) : QString());
    return s;
}

// "" when exactly the expected parts are lit; otherwise what differs, so
// that a failed QCOMPARE prints the parts by name.
QString litDifference(const DisplayModel &m, const Parts &expected)
{
    const Parts got = litParts(m);
    if (got == expected)
        return {};
    QStringList dark = (expected - got).values(), lit = (got - expected).values();
    dark.sort();
    lit.sort();
    return u"should be lit but dark: [%1]; should be dark but lit: [%2]"_s.arg(dark.join(u", "),
                                                                                lit.join(u", "));
}

Parts positionsShowing(Positions row, const QStringList &shownGlyphs)
{
    Parts p;
    for (int i = 0; i < shownGlyphs.size(); ++i)
        if (!shownGlyphs[i].isEmpty())
            p << indexed(row == Positions::DIS1_IMG ? "DIS1_IMG" : "DIS2_IMG", i);
    return p;
}

} // namespace

class TestDisplayModel : public QObject
{
    Q_OBJECT

private slots:
    void showSameTakesWhatIsShownNotTheCaptions();
    void opensFullyLit();
    void lampTestBlinksEveryPartButTheFilterDot();
    void blanking_data();
    void blanking();
    void spellingRangeWordOnDisplay2();
    void emptyHidesAndBlankLights();
    void glyphNamesKeptAsGiven();
    void fixedForms_data();
    void fixedForms();
    void changedOncePerOperation();
    void outOfRangeChangesNothing();
    void oneDecimalPointPerDisplay_data();
    void oneDecimalPointPerDisplay();
    void captions_data();
    void captions();
    void captionsCanBeAdapted();
};

void TestDisplayModel::opensFullyLit()
{
    const DisplayModel m;
    QCOMPARE(litDifference(m, allParts() - kFilterDot), QString());
    for (Positions row : {Positions::DIS1_IMG, Positions::DIS2_IMG})
        for (const QString &g : glyphs(m, row))
            QCOMPARE(g, u"STA"_s);
}

void TestDisplayModel::lampTestBlinksEveryPartButTheFilterDot()
{
    for (bool filterDot : {false, true}) {
        DisplayModel m;
        m.setLit(Points::DROP_IMG, 6, filterDot);
        const Parts dot = filterDot ? kFilterDot : Parts();

        m.setAllLit(false);
        QCOMPARE(litDifference(m, dot), QString());
        m.setAllLit(true);
        QCOMPARE(litDifference(m, (allParts() - kFilterDot) | dot), QString());
        m.setAllLit(false);
        QCOMPARE(litDifference(m, dot), QString());
        // Darkening keeps the pictures: lighting again shows them unchanged.
        QCOMPARE(m.glyph(Positions::DIS2_IMG, 5), u"STA"_s);
    }
}

void TestDisplayModel::blanking_data()
{
    QTest::addColumn<Words>("words");
    QTest::addColumn<Parts>("leftLit");

    const Parts all = allParts();
    QTest::newRow("ClearSHOW_ALL")
        << Words{ClearSHOW_ALL}
        << (Parts{u"MIN_LAB"_s, u"MAX_LAB"_s} | kRateAndRemote | kFilterDot);
    QTest::newRow("ClearSHOW1")
        << Words{ClearSHOW1}
        << (digits2() | labels2() | Parts{u"ND2_LAB"_s, u"EXT_LAB"_s} | kRateAndRemote | kFilterDot);
    QTest::newRow("ClearSHOW2")
        << Words{ClearSHOW2}
        << (digits1() | kFilterDot | labels1() | kSymbols | Parts{u"T_dBm_LAB2"_s}
            | (sharedLabels() - Parts{u"START_LAB"_s}));
    QTest::newRow("ClearDIS1") << Words{ClearDIS1} << (all - digits1());
    QTest::newRow("ClearDIS2") << Words{ClearDIS2} << (all - digits2());
    QTest::newRow("ClearSHOW1 then ClearSHOW2, as a function key does")
        << Words{ClearSHOW1, ClearSHOW2}
        << (Parts{u"T_dBm_LAB2"_s, u"ND2_LAB"_s, u"EXT_LAB"_s} | kRateAndRemote | kFilterDot);
}

void TestDisplayModel::blanking()
{
    QFETCH(Words, words);
    QFETCH(Parts, leftLit);

    DisplayModel m;
    lightEverything(m);
    const QStringList before1 = glyphs(m, Positions::DIS1_IMG);
    const QStringList before2 = glyphs(m, Positions::DIS2_IMG);
    for (Drawing word : words)
        word(m);
    QCOMPARE(litDifference(m, leftLit), QString());
    // Darkened, not reloaded.
    QCOMPARE(glyphs(m, Positions::DIS1_IMG), before1);
    QCOMPARE(glyphs(m, Positions::DIS2_IMG), before2);
}

void TestDisplayModel::spellingRangeWordOnDisplay2()
{
    DisplayModel m;
    m.setAllLit(false);
    m.setLit(Points::DROP_IMG2, 3, true);  // left over from a number
    m.setLit(Lamp::AUTO_LAB2, true);
    const Parts litBefore = litParts(m);

    DIS2_SHOW_RANGE(m, u"", u"1", u"0", u"0", u"M2", u"V");

    QCOMPARE(shown(m, Positions::DIS2_IMG),
             (QStringList{QString(), u"1"_s, u"0"_s, u"0"_s, u"M2"_s, u"V"_s}));
    QCOMPARE(m.glyph(Positions::DIS2_IMG, 0), u"STA"_s);  // dark, picture kept
    // Only positions changed: the point and the label stay as they were.
    Parts positions;
    for (int i = 1; i < 6; ++i)
        positions << indexed("DIS2_IMG", i);
    QCOMPARE(litDifference(m, litBefore | positions), QString());
    QCOMPARE(shown(m, Positions::DIS1_IMG), QStringList(7, QString()));
}

void TestDisplayModel::emptyHidesAndBlankLights()
{
    DisplayModel m;
    DIS1_SHOW_RANGE(m, u"C", u"O", u"N", u"T", u"I2", u"N", u"U");
    DIS1_SHOW_RANGE(m, u"S", u" ", u"", u"", u"", u"", u"");

    // " " is a lit blank; "" is dark and keeps what it last showed.
    QCOMPARE(shown(m, Positions::DIS1_IMG),
             (QStringList{u"S"_s, u" "_s, {}, {}, {}, {}, {}}));
    QCOMPARE(glyphs(m, Positions::DIS1_IMG),
             (QStringList{u"S"_s, u" "_s, u"N"_s, u"T"_s, u"I2"_s, u"N"_s, u"U"_s}));

    // A blink step: dark, then lit again without loading.
    for (int i : {1, 4}) {
        m.setLit(Positions::DIS1_IMG, i, false);
        m.setLit(Positions::DIS1_IMG, i, true);
    }
    QCOMPARE(shown(m, Positions::DIS1_IMG),
             (QStringList{u"S"_s, u" "_s, {}, {}, u"I2"_s, {}, {}}));
}

void TestDisplayModel::glyphNamesKeptAsGiven()
{
    DisplayModel m;
    DIS2_SHOW_RANGE(m, u"", u"M", u"X", u"add", u"B", u"");
    QCOMPARE(m.glyph(Positions::DIS2_IMG, 3), u"add"_s);
    // The picture folder answers to any letter case.
    QVERIFY(isGlyphName(u"add"));
    QVERIFY(isGlyphName(u"ADD"));
    QVERIFY(isGlyphName(u"Ohm"));
    QVERIFY(isGlyphName(u" "));
    QVERIFY(isGlyphName(u"-1"));
    QVERIFY(!isGlyphName(u""));
    QVERIFY(!isGlyphName(u"Z"));
    QVERIFY(!isGlyphName(u"ADD "));
}

void TestDisplayModel::fixedForms_data()
{
    QTest::addColumn<Words>("words");
    QTest::addColumn<Positions>("row");
    QTest::addColumn<QStringList>("expected");  // "" = dark

    QTest::newRow("SHOW_OL") << Words{SHOW_OL} << Positions::DIS1_IMG
                             << QStringList{{}, {}, {}, u"O"_s, u"L"_s, {}, {}};
    QTest::newRow("SHOW_OPEN over SHOW_OL")
        << Words{SHOW_OL, SHOW_OPEN} << Positions::DIS1_IMG
        << QStringList{{}, {}, u"O"_s, u"P"_s, u"E"_s, u"N"_s, {}};
    QTest::newRow("SHOW_OPEN leaves 0, 1, 6")
        << Words{SHOW_OPEN} << Positions::DIS1_IMG
        << QStringList{u"1"_s, u"2"_s, u"O"_s, u"P"_s, u"E"_s, u"N"_s, u"7"_s};
    QTest::newRow("SHOW_OL2") << Words{SHOW_OL2} << Positions::DIS2_IMG
                              << QStringList{{}, {}, u"O"_s, u"L"_s, {}, {}};
    QTest::newRow("SHOW_OPEN2 leaves 0, 1")
        << Words{SHOW_OPEN2} << Positions::DIS2_IMG
        << QStringList{u"1"_s, u"2"_s, u"O"_s, u"P"_s, u"E"_s, u"N"_s};
    QTest::newRow("SHOW_OPEN2 over SHOW_OL2")
        << Words{SHOW_OL2, SHOW_OPEN2} << Positions::DIS2_IMG
        << QStringList{{}, {}, u"O"_s, u"P"_s, u"E"_s, u"N"_s};
}

void TestDisplayModel::fixedForms()
{
    QFETCH(Words, words);
    QFETCH(Positions, row);
    QFETCH(QStringList, expected);

    // A number with its point and unit, as the number drawing leaves it.
    DisplayModel m;
    m.setAllLit(false);
    DIS1_SHOW_RANGE(m, u"1", u"2", u"3", u"4", u"5", u"6", u"7");
    DIS2_SHOW_RANGE(m, u"1", u"2", u"3", u"4", u"5", u"6");
    m.setLit(Points::DROP_IMG, 0, true);
    m.setLit(Points::DROP_IMG2, 4, true);
    m.setLit(Lamp::T_V_LAB1, true);
    m.setLit(Lamp::T_A_LAB2, true);
    const Positions other = row == Positions::DIS1_IMG ? Positions::DIS2_IMG : Positions::DIS1_IMG;
    const QStringList otherBefore = shown(m, other);

    for (Drawing word : words)
        word(m);

    QCOMPARE(shown(m, row), expected);
    QCOMPARE(shown(m, other), otherBefore);
    // The points and labels are untouched: the number's point stays lit.
    const Parts numberMarks = {u"DROP_IMG(0)"_s, u"DROP_IMG2(4)"_s, u"T_V_LAB1"_s, u"T_A_LAB2"_s};
    const Parts expectedLit =
        numberMarks | positionsShowing(row, expected) | positionsShowing(other, otherBefore);
    QCOMPARE(litDifference(m, expectedLit), QString());
    // Darkened positions keep the digit they showed.
    for (int i = 0; i < DisplayModel::count(row); ++i)
        if (expected[i].isEmpty())
            QCOMPARE(m.glyph(row, i), QString::number(i + 1));
}

void TestDisplayModel::changedOncePerOperation()
{
    DisplayModel m;
    int calls = 0;
    int otherView = 0;  // a second view hears every change as well
    QObject::connect(&m, &DisplayModel::changed, [&calls] { ++calls; });
    QObject::connect(&m, &DisplayModel::changed, [&otherView] { ++otherView; });

    m.setAllLit(false);
    QCOMPARE(calls, 1);
    const quint64 dark = m.revision();
    m.setAllLit(false);  // nothing to darken
    ClearSHOW_ALL(m);
    m.setLit(Lamp::HOLD_LAB, false);
    QCOMPARE(calls, 1);
    QCOMPARE(m.revision(), dark);

    DIS2_SHOW_RANGE(m, u"", u"1", u"0", u"0", u"M2", u"V");
    QCOMPARE(calls, 2);
    DIS2_SHOW_RANGE(m, u"", u"1", u"0", u"0", u"M2", u"V");  // the same word again
    QCOMPARE(calls, 2);
    ClearSHOW2(m);
    QCOMPARE(calls, 3);
    QVERIFY(m.revision() > dark);

    {
        DisplayModel::Batch outer(m);
        SHOW_OL(m);
        {
            DisplayModel::Batch inner(m);
            m.setLit(Lamp::START_LAB, true);
        }
        QCOMPARE(calls, 3);  // held until the outermost batch ends
    }
    QCOMPARE(calls, 4);
    QCOMPARE(otherView, 4);

    QObject::disconnect(&m, nullptr, nullptr, nullptr);  // no listener: changes still count
    const quint64 before = m.revision();
    m.setLit(Symbol::DIODE_IMG, true);
    QCOMPARE(m.revision(), before + 1);
}

void TestDisplayModel::outOfRangeChangesNothing()
{
    DisplayModel m;
    const quint64 before = m.revision();
    m.draw(Positions::DIS2_IMG, 6, u"X");
    m.draw(Positions::DIS1_IMG, -1, u"X");
    m.setLit(Positions::DIS1_IMG, 7, false);
    m.setLit(Points::DROP_IMG2, 6, true);
    m.setGlyph(Positions::DIS2_IMG, 6, u"X");
    QCOMPARE(m.revision(), before);
    QVERIFY(!m.isLit(Positions::DIS2_IMG, 6));
    QVERIFY(m.glyph(Positions::DIS2_IMG, 6).isEmpty());
    QVERIFY(!m.isLit(Points::DROP_IMG2, 6));
    QVERIFY(m.isLit(Points::DROP_IMG2, 5));  // the mid-height dot exists
}

// A number shows one decimal point: lighting one puts out every other
// decimal point of its display, whatever lit them (the lamp test, a
// start-up placeholder, an earlier range). The other display and the
// mid-height dots stay as they were; putting a point out touches no other.
void TestDisplayModel::oneDecimalPointPerDisplay_data()
{
    QTest::addColumn<Parts>("litBefore");
    QTest::addColumn<bool>("display2");
    QTest::addColumn<int>("point");
    QTest::addColumn<bool>("lit");
    QTest::addColumn<Parts>("litAfter");

    const Parts midDots = {u"DROP_IMG(6)"_s, u"DROP_IMG2(5)"_s};
    QTest::newRow("display 1: 2 then 5, as a cut start-up drew it")
        << Parts{u"DROP_IMG(2)"_s} << false << 5 << true << Parts{u"DROP_IMG(5)"_s};
    QTest::newRow("display 1: the lamp test's points, the dots kept")
        << Parts{u"DROP_IMG(0)"_s, u"DROP_IMG(3)"_s, u"DROP_IMG(5)"_s, u"DROP_IMG2(1)"_s} + midDots << false << 1 << true
        << Parts{u"DROP_IMG(1)"_s, u"DROP_IMG2(1)"_s} + midDots;
    QTest::newRow("display 2: 0 then 4, display 1 kept")
        << Parts{u"DROP_IMG2(0)"_s, u"DROP_IMG(2)"_s} << true << 4 << true
        << Parts{u"DROP_IMG2(4)"_s, u"DROP_IMG(2)"_s};
    QTest::newRow("the filter dot beside a point")
        << Parts{u"DROP_IMG(2)"_s} << false << 6 << true << Parts{u"DROP_IMG(2)"_s, u"DROP_IMG(6)"_s};
    QTest::newRow("the mid-height dot beside a point")
        << Parts{u"DROP_IMG2(3)"_s} << true << 5 << true << Parts{u"DROP_IMG2(3)"_s, u"DROP_IMG2(5)"_s};
    QTest::newRow("putting one out leaves the rest")
        << Parts{u"DROP_IMG(1)"_s, u"DROP_IMG2(1)"_s} + midDots << false << 4 << false
        << Parts{u"DROP_IMG(1)"_s, u"DROP_IMG2(1)"_s} + midDots;
}

void TestDisplayModel::oneDecimalPointPerDisplay()
{
    QFETCH(Parts, litBefore);
    QFETCH(bool, display2);
    QFETCH(int, point);
    QFETCH(bool, lit);
    QFETCH(Parts, litAfter);
    DisplayModel m;
    m.setAllLit(true);  // every point of both displays, as the lamp test leaves them
    m.setLit(Points::DROP_IMG, 6, true);
    for (int i = 0; i < kDisplay1Points; ++i)
        if (!litBefore.contains(indexed("DROP_IMG", i)))
            m.setLit(Points::DROP_IMG, i, false);
    for (int i = 0; i < kDisplay2Points; ++i)
        if (!litBefore.contains(indexed("DROP_IMG2", i)))
            m.setLit(Points::DROP_IMG2, i, false);
    Parts others = litParts(m);  // everything but the points
    for (int i = 0; i < kDisplay1Points; ++i)
        others.remove(indexed("DROP_IMG", i));
    for (int i = 0; i < kDisplay2Points; ++i)
        others.remove(indexed("DROP_IMG2", i));

    m.setLit(display2 ? Points::DROP_IMG2 : Points::DROP_IMG, point, lit);

    QCOMPARE(litDifference(m, others + litAfter), QString());
}

void TestDisplayModel::captions_data()
{
    QTest::addColumn<Lamp>("lamp");
    QTest::addColumn<QString>("caption");

    QTest::newRow("ohm 1")       << Lamp::T_R_LAB1   << u"\u03A9"_s;
    QTest::newRow("ohm 2")       << Lamp::T_R_LAB2   << u"\u03A9"_s;
    QTest::newRow("Celsius")     << Lamp::T_C_LAB1   << u"\u00B0C"_s;
    QTest::newRow("Fahrenheit")  << Lamp::T_F_LAB2   << u"\u00B0F"_s;
    QTest::newRow("m after dB")  << Lamp::T_dBm_LAB1 << u"m"_s;
    QTest::newRow("dBm on 2")    << Lamp::T_dBm_LAB2 << u"dBm"_s;
    QTest::newRow("milli")       << Lamp::T_min_LAB2 << u"m"_s;
    QTest::newRow("kilo")        << Lamp::T_K_LAB1   << u"k"_s;
    QTest::newRow("mega")        << Lamp::T_M_LAB2   << u"M"_s;
    QTest::newRow("seconds")     << Lamp::T_S_LAB1   << u"S"_s;
    QTest::newRow("2W mode")     << Lamp::W2_LAB2    << u"2W"_s;
    QTest::newRow("2ND")         << Lamp::ND2_LAB    << u"2ND"_s;
    QTest::newRow("percent")     << Lamp::T_PS_LAB   << u"%"_s;
    QTest::newRow("START is *")  << Lamp::START_LAB  << u"*"_s;
    QTest::newRow("slow rate")   << Lamp::S_LAB      << u"S"_s;
    QTest::newRow("fast rate")   << Lamp::F_LAB      << u"F"_s;
}

void TestDisplayModel::captions()
{
    QFETCH(Lamp, lamp);
    QFETCH(QString, caption);
    QCOMPARE(designedCaption(lamp), caption);
    QCOMPARE(DisplayModel().caption(lamp), caption);
}

void TestDisplayModel::captionsCanBeAdapted()
{
    // Start-up may set another degree sign for the user's language once;
    // the designed caption stays available.
    DisplayModel m;
    int calls = 0;
    QObject::connect(&m, &DisplayModel::changed, [&calls] { ++calls; });
    m.setCaption(Lamp::T_C_LAB1, u"\u2103"_s);
    QCOMPARE(m.caption(Lamp::T_C_LAB1), u"\u2103"_s);
    QCOMPARE(designedCaption(Lamp::T_C_LAB1), u"\u00B0C"_s);
    QCOMPARE(m.caption(Lamp::T_C_LAB2), u"\u00B0C"_s);
    QCOMPARE(calls, 1);

    // Every label has a caption and a name of its own.
    Parts names;
    for (int i = 0; i < kLampCount; ++i) {
        QVERIFY(!designedCaption(Lamp(i)).isEmpty());
        names << lampName(Lamp(i)).toString();
    }
    QCOMPARE(names.size(), kLampCount);
    QCOMPARE(labels1().size(), 18);
    QCOMPARE(labels2().size(), 18);
    QCOMPARE(sharedLabels().size(), 26);
}

// A copy for readings drawn aside: what shows is taken, the captions are not.
void TestDisplayModel::showSameTakesWhatIsShownNotTheCaptions()
{
    DisplayModel shown;
    shown.setAllLit(false);
    shown.draw(Positions::DIS1_IMG, 3, u"7");
    shown.draw(Positions::DIS2_IMG, 5, u"ohm");
    shown.setLit(Points::DROP_IMG, 6, true);  // the filter dot too
    shown.setLit(Points::DROP_IMG2, 2, true);
    shown.setLit(Symbol::DIODE_IMG, true);
    shown.setLit(Lamp::T_K_LAB1, true);
    DisplayModel copy;
    copy.setCaption(Lamp::T_C_LAB1, u"C"_s);
    const quint64 before = copy.revision();

    copy.showSame(shown);

    QVERIFY(copy.revision() != before);
    for (int i = 0; i < DisplayModel::count(Positions::DIS1_IMG); ++i) {
        QCOMPARE(copy.isLit(Positions::DIS1_IMG, i), shown.isLit(Positions::DIS1_IMG, i));
        QCOMPARE(copy.glyph(Positions::DIS1_IMG, i), shown.glyph(Positions::DIS1_IMG, i));
    }
    QCOMPARE(copy.glyph(Positions::DIS2_IMG, 5), u"ohm"_s);
    QVERIFY(copy.isLit(Points::DROP_IMG, 6) && copy.isLit(Points::DROP_IMG2, 2) && !copy.isLit(Points::DROP_IMG, 0));
    QVERIFY(copy.isLit(Symbol::DIODE_IMG) && !copy.isLit(Symbol::CONTINU_IMG));
    QVERIFY(copy.isLit(Lamp::T_K_LAB1) && !copy.isLit(Lamp::T_M_LAB1));
    QCOMPARE(copy.caption(Lamp::T_C_LAB1), u"C"_s);
}

QTEST_APPLESS_MAIN(TestDisplayModel)
#include "tst_display_model.moc"
