// The identification and state query: what the panel shows after asking the
// simulated instrument who it is and what it measures, and what it does when
// a reply is missing or malformed.

#include "core/display_model.h"
#include "shell/identification.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"

#include <QTest>
#include <algorithm>
#include <chrono>

using namespace Qt::StringLiterals;
using display::Lamp;
using display::Points;
using display::Positions;
using display::Symbol;

namespace {

// Lamps and symbols lit, by name, sorted.
QStringList litNames(const display::DisplayModel &d)
{
    QStringList names;
    for (int i = 0; i < display::kLampCount; ++i)
        if (d.isLit(Lamp(i)))
            names.append(display::lampName(Lamp(i)).toString());
    if (d.isLit(Symbol::DIODE_IMG))
        names.append(u"DIODE_IMG"_s);
    if (d.isLit(Symbol::CONTINU_IMG))
        names.append(u"CONTINU_IMG"_s);
    names.sort();
    return names;
}

QStringList sorted(const QString &names)
{
    QStringList list = names.split(u' ', Qt::SkipEmptyParts);
    list.sort();
    return list;
}

// One display as text: the glyph of each lit position, "_" for a dark one.
QString shown(const display::DisplayModel &d, Positions row)
{
    QStringList glyphs;
    for (int i = 0; i < display::DisplayModel::count(row); ++i)
        glyphs.append(d.isLit(row, i) ? d.glyph(row, i) : u"_"_s);
    return glyphs.join(u' ');
}

QList<int> litPoints(const display::DisplayModel &d, Points row)
{
    QList<int> lit;
    for (int i = 0; i < display::DisplayModel::count(row); ++i)
        if (d.isLit(row, i))
            lit.append(i);
    return lit;
}

const QStringList kStartList = {u"start list"_s};

// The panel as the lamp test leaves it, on an open simulated link with the
// instrument in the given state.
void prepare(PanelFixture &f, const QString &state)
{
    QString why;
    QVERIFY2(f.sim.instrument.setStates(state, &why), qPrintable(why));
    QVERIFY(f.sim.open());
    f.sim.link.setReplyBound(std::chrono::milliseconds(300));  // time-outs come quickly
    f.display.setAllLit(false);
    f.controls.Speed_TIME.items = kStartList;
}

QStringList commands(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list.append(QString::fromLatin1(text) + u"\\10"_s);
    return list;
}

} // namespace

class TestIdentification : public QObject
{
    Q_OBJECT

private slots:
    void display1_data();
    void display1();
    void display2_data();
    void display2();
    void display2OffLeavesItsStateAlone();
    void wholeDialogueInOrder();
    void identity_data();
    void identity();
    void indications_data();
    void indications();
    void failure_data();
    void failure();
    void noPortFails();
};

// ---- Display 1 (display 2 off): function, automatic ranging, range ----------

void TestIdentification::display1_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("lit");      // lamps and symbols, any order
    QTest::addColumn<QList<int>>("point");  // DROP_IMG
    QTest::addColumn<QString>("word");     // display 2
    QTest::addColumn<QString>("firstInterval");

    // At start-up the rate lamps are dark, so the list is that of an
    // unknown rate: AC from 500 ms, DC and resistance from 16.667 ms, the
    // rest from 200 ms. The rate lamp then comes from the instrument; an AC
    // function has just been set to the slow detector band.
    QTest::newRow("DCV auto") << u"func1=DCV"_s << u"DCV"_s << u"AUTO"_s
        << u"RMT_LAB M_LAB DC_LAB1 T_V_LAB1 AUTO_LAB1 T_min_LAB1"_s << QList<int>{2}
        << u"_ 1 0 0 M2 V"_s << u"16.667"_s;
    QTest::newRow("DCV 1V") << u"func1=DCV,range1=1V"_s << u"DCV"_s << u"1V"_s
        << u"RMT_LAB M_LAB DC_LAB1 T_V_LAB1"_s << QList<int>{0} << u"_ _ _ 1 _ V"_s << u"16.667"_s;
    QTest::newRow("DCV 1000V") << u"func1=DCV,range1=1000V"_s << u"DCV"_s << u"1000V"_s
        << u"RMT_LAB M_LAB DC_LAB1 T_V_LAB1"_s << QList<int>{3} << u"1 0 0 0 _ V"_s << u"16.667"_s;
    QTest::newRow("ACV auto") << u"func1=ACV"_s << u"ACV"_s << u"AUTO"_s
        << u"RMT_LAB S_LAB AC_LAB1 T_V_LAB1 AUTO_LAB1 T_min_LAB1"_s << QList<int>{3}
        << u"_ 1 0 0 M2 V"_s << u"500"_s;
    QTest::newRow("ACV 100mV") << u"func1=ACV,range1=100mV"_s << u"ACV"_s << u"100mV"_s
        << u"RMT_LAB S_LAB AC_LAB1 T_V_LAB1 T_min_LAB1"_s << QList<int>{3} << u"1 0 0 _ M2 V"_s << u"500"_s;
    QTest::newRow("ACV 750V") << u"func1=ACV,range1=750V"_s << u"ACV"_s << u"750V"_s
        << u"RMT_LAB S_LAB AC_LAB1 T_V_LAB1"_s << QList<int>{4} << u"_ 7 5 0 _ V"_s << u"500"_s;
    QTest::newRow("ACI auto") << u"func1=ACI"_s << u"ACI"_s << u"AUTO"_s
        << u"RMT_LAB S_LAB AC_LAB1 T_A_LAB1 AUTO_LAB1 T_min_LAB1"_s << QList<int>{1}
        << u"_ _ _ 1 M2 A"_s << u"500"_s;
    QTest::newRow("ACI 10mA") << u"func1=ACI,range1=10mA"_s << u"ACI"_s << u"10mA"_s
        << u"RMT_LAB S_LAB AC_LAB1 T_A_LAB1 T_min_LAB1"_s << QList<int>{2} << u"_ 0 1 0 M2 A"_s << u"500"_s;
    QTest::newRow("DCI auto") << u"func1=DCI"_s << u"DCI"_s << u"AUTO"_s
        << u"RMT_LAB M_LAB DC_LAB1 T_A_LAB1 AUTO_LAB1 T_u_LAB1"_s << QList<int>{2}
        << u"_ 1 0 0 U2 A"_s << u"16.667"_s;
    QTest::newRow("DCI 100uA") << u"func1=DCI,range1=100uA"_s << u"DCI"_s << u"100uA"_s
        << u"RMT_LAB M_LAB DC_LAB1 T_A_LAB1 T_u_LAB1"_s << QList<int>{2} << u"_ 1 0 0 U2 A"_s << u"16.667"_s;
    QTest::newRow("DCI 1A") << u"func1=DCI,range1=1A"_s << u"DCI"_s << u"1A"_s
        << u"RMT_LAB M_LAB DC_LAB1 T_A_LAB1"_s << QList<int>{0} << u"_ _ _ 1 _ A"_s << u"16.667"_s;
    // Current ranges come as their full scale in any number form, or as the
    // range codes 2 and 3; 1 is the 1 A range here.
    QTest::newRow("DCI 100mA as 1.000000E-01") << u"func1=DCI,auto1=0,reply:conf:rang?=1.000000E-01"_s
        << u"DCI"_s << u"100mA"_s << u"RMT_LAB M_LAB DC_LAB1 T_A_LAB1 T_min_LAB1"_s << QList<int>{2}
        << u"_ 1 0 0 M2 A"_s << u"16.667"_s;
    QTest::newRow("DCI code 2") << u"func1=DCI,auto1=0,reply:conf:rang?=2"_s << u"DCI"_s << u"100mA"_s
        << u"RMT_LAB M_LAB DC_LAB1 T_A_LAB1 T_min_LAB1"_s << QList<int>{2} << u"_ 1 0 0 M2 A"_s << u"16.667"_s;
    QTest::newRow("DCI code 3") << u"func1=DCI,auto1=0,reply:conf:rang?=3"_s << u"DCI"_s << u"1A"_s
        << u"RMT_LAB M_LAB DC_LAB1 T_A_LAB1"_s << QList<int>{0} << u"_ _ _ 1 _ A"_s << u"16.667"_s;
    QTest::newRow("ACI 0.0001 names no AC range") << u"func1=ACI,auto1=0,reply:conf:rang?=0.0001"_s << u"ACI"_s
        << QString() << u"RMT_LAB S_LAB AC_LAB1 T_A_LAB1"_s << QList<int>{} << u"_ _ _ _ _ _"_s << u"500"_s;
    QTest::newRow("2W auto") << u"func1=2W"_s << u"2W"_s << u"AUTO"_s
        << u"RMT_LAB M_LAB W2_LAB1 T_R_LAB1 AUTO_LAB1 T_K_LAB1"_s << QList<int>{2}
        << u"_ 1 0 0 K ohm"_s << u"16.667"_s;
    QTest::newRow("2W 1K, no prefix lamp") << u"func1=2W,range1=1K"_s << u"2W"_s << u"1K"_s
        << u"RMT_LAB M_LAB W2_LAB1 T_R_LAB1"_s << QList<int>{0} << u"_ _ _ 1 K ohm"_s << u"16.667"_s;
    QTest::newRow("2W 10M") << u"func1=2W,range1=10M"_s << u"2W"_s << u"10M"_s
        << u"RMT_LAB M_LAB W2_LAB1 T_R_LAB1 T_M_LAB1"_s << QList<int>{1} << u"_ _ 1 0 M ohm"_s << u"16.667"_s;
    QTest::newRow("4W auto") << u"func1=4W"_s << u"4W"_s << u"AUTO"_s
        << u"RMT_LAB M_LAB W4_LAB1 T_R_LAB1 AUTO_LAB1 T_M_LAB1"_s << QList<int>{3}
        << u"_ 1 0 0 K ohm"_s << u"16.667"_s;
    QTest::newRow("4W 1K") << u"func1=4W,range1=1K"_s << u"4W"_s << u"1K"_s
        << u"RMT_LAB M_LAB W4_LAB1 T_R_LAB1"_s << QList<int>{4} << u"_ _ _ 1 K ohm"_s << u"16.667"_s;
    QTest::newRow("4W 100K") << u"func1=4W,range1=100K"_s << u"4W"_s << u"100K"_s
        << u"RMT_LAB M_LAB W4_LAB1 T_R_LAB1 T_K_LAB1"_s << QList<int>{3} << u"_ 1 0 0 K ohm"_s << u"16.667"_s;
    QTest::newRow("Hz auto") << u"func1=Hz"_s << u"Hz"_s << u"AUTO"_s
        << u"RMT_LAB M_LAB T_Hz_LAB1 T_K_LAB1 AUTO_LAB1"_s << QList<int>{2} << u"_ F R E Q _"_s << u"200"_s;
    QTest::newRow("P, range read and ignored") << u"func1=P,auto1=0"_s << u"P"_s << QString()
        << u"RMT_LAB M_LAB T_S_LAB1"_s << QList<int>{2} << u"P E R I O D"_s << u"200"_s;
    QTest::newRow("DIODE") << u"func1=DIODE,auto1=0"_s << u"DIODE"_s << QString()
        << u"RMT_LAB M_LAB DIODE_IMG T_V_LAB1"_s << QList<int>{0} << u"_ D I O D E"_s << u"200"_s;
    QTest::newRow("CONTINU") << u"func1=CONTINU,auto1=0"_s << u"CONTINU"_s << QString()
        << u"RMT_LAB M_LAB CONTINU_IMG T_R_LAB1"_s << QList<int>{3} << u"_ C O N T _"_s << u"200"_s;
    QTest::newRow("temperature C, type K") << u"func1=TEMP,auto1=0,unit=C,tco=K"_s << u"C"_s << QString()
        << u"RMT_LAB M_LAB T_C_LAB1"_s << QList<int>{3} << u"T Y P E _ K"_s << u"200"_s;
    // Automatic ranging lights AUTO before the temperature branch clears
    // the range label.
    QTest::newRow("temperature F, type J, auto") << u"func1=TEMP,unit=F,tco=J"_s << u"F"_s << QString()
        << u"RMT_LAB M_LAB T_F_LAB1 AUTO_LAB1"_s << QList<int>{3} << u"T Y P E _ J"_s << u"200"_s;
    // "VOLT:DC" is told by its characters 6-7, "DC", which name nothing.
    QTest::newRow("VOLT:DC selects nothing") << u"reply:conf:func?=VOLT:DC"_s << QString() << u"AUTO"_s
        << u"RMT_LAB M_LAB AUTO_LAB1"_s << QList<int>{} << u"_ _ _ _ _ _"_s << u"200"_s;
}

void TestIdentification::display1()
{
    QFETCH(QString, state);
    QFETCH(QString, mode);
    QFETCH(QString, range);
    QFETCH(QString, lit);
    QFETCH(QList<int>, point);
    QFETCH(QString, word);
    QFETCH(QString, firstInterval);
    PanelFixture f;
    prepare(f, state);

    shell::RDX_INF_TEST(f.panel);

    QCOMPARE(f.state.MODE1, mode);
    QCOMPARE(f.state.MODE1_RANGE, range);
    QCOMPARE(litNames(f.display), sorted(lit));
    QCOMPARE(litPoints(f.display, Points::DROP_IMG), point);
    QCOMPARE(litPoints(f.display, Points::DROP_IMG2), QList<int>{});
    QCOMPARE(shown(f.display, Positions::DIS1_IMG), u"O O O O O O O"_s);
    QCOMPARE(shown(f.display, Positions::DIS2_IMG), word);
    QVERIFY(!f.state.MODE2_ON);
    QCOMPARE(f.sim.written.contains(u"sens:det:band 3\\10"_s), mode.startsWith(u"AC"));
    QCOMPARE(f.controls.Speed_TIME.items.value(0), firstInterval);
    QCOMPARE(f.state.SPEED_MS, 500);
}

// ---- Display 2 on ------------------------------------------------------------

void TestIdentification::display2_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("mode2");
    QTest::addColumn<QString>("range2");
    QTest::addColumn<QString>("lit2");       // display-2 lamps besides display 1's
    QTest::addColumn<QList<int>>("point2");  // DROP_IMG2

    QTest::newRow("VOLT auto") << u"func2=DCV"_s << u"DCV"_s << u"AUTO"_s
        << u"DC_LAB2 T_V_LAB2 AUTO_LAB2 T_min_LAB2"_s << QList<int>{2};
    // The fixed range comes with its terminator; only without it is it found.
    QTest::newRow("VOLT:AC 750V") << u"func2=ACV,range2=750V"_s << u"ACV"_s << u"750V"_s
        << u"AC_LAB2 T_V_LAB2"_s << QList<int>{3};
    QTest::newRow("VOLT 100mV") << u"func2=DCV,range2=100mV"_s << u"DCV"_s << u"100mV"_s
        << u"DC_LAB2 T_V_LAB2 T_min_LAB2"_s << QList<int>{2};
    QTest::newRow("CURR 100uA") << u"func2=DCI,range2=100uA"_s << u"DCI"_s << u"100uA"_s
        << u"DC_LAB2 T_A_LAB2 T_u_LAB2"_s << QList<int>{2};
    QTest::newRow("CURR 1mA") << u"func2=DCI,range2=1mA"_s << u"DCI"_s << u"1mA"_s
        << u"DC_LAB2 T_A_LAB2 T_min_LAB2"_s << QList<int>{0};
    QTest::newRow("CURR 10mA coded 0.001") << u"func2=DCI,reply:conf2:rang?=0.001,auto2=0"_s << u"DCI"_s
        << u"10mA"_s << u"DC_LAB2 T_A_LAB2 T_min_LAB2"_s << QList<int>{1};
    // AC current has no automatic row: no prefix lamp, no point.
    QTest::newRow("CURR:AC auto") << u"func2=ACI"_s << u"ACI"_s << u"AUTO"_s
        << u"AC_LAB2 T_A_LAB2 AUTO_LAB2"_s << QList<int>{};
    QTest::newRow("RES 10K") << u"func2=2W,range2=10K"_s << u"2W"_s << u"10K"_s
        << u"W2_LAB2 T_R_LAB2 T_K_LAB2"_s << QList<int>{1};
    QTest::newRow("RES auto") << u"func2=2W"_s << u"2W"_s << u"AUTO"_s
        << u"W2_LAB2 T_R_LAB2 AUTO_LAB2 T_M_LAB2"_s << QList<int>{2};
    QTest::newRow("16 (4W) 100M") << u"func2=4W,range2=100M"_s << u"4W"_s << u"100M"_s
        << u"W4_LAB2 T_R_LAB2 T_M_LAB2"_s << QList<int>{2};
    QTest::newRow("8 (Hz)") << u"func2=Hz"_s << u"Hz"_s << u"AUTO"_s
        << u"T_Hz_LAB2 AUTO_LAB2"_s << QList<int>{3};
    QTest::newRow("14 (P), fixed") << u"func2=P,auto2=0"_s << u"P"_s << QString()
        << u"T_S_LAB2"_s << QList<int>{3};
    QTest::newRow("9 names nothing") << u"func2=9"_s << QString() << u"AUTO"_s
        << u"AUTO_LAB2"_s << QList<int>{};
    QTest::newRow("unknown range text") << u"func2=DCV,auto2=0,reply:conf2:rang?=0.5"_s << u"DCV"_s
        << QString() << u"DC_LAB2 T_V_LAB2"_s << QList<int>{};
}

void TestIdentification::display2()
{
    QFETCH(QString, state);
    QFETCH(QString, mode2);
    QFETCH(QString, range2);
    QFETCH(QString, lit2);
    QFETCH(QList<int>, point2);
    PanelFixture f;
    prepare(f, u"func1=DCV,range1=10V,"_s + state);

    shell::RDX_INF_TEST(f.panel);

    QVERIFY(f.state.MODE2_ON);
    QCOMPARE(f.state.MODE2, mode2);
    QCOMPARE(f.state.MODE2_RANGE, range2);
    QCOMPARE(litNames(f.display), sorted(u"RMT_LAB M_LAB DC_LAB1 T_V_LAB1 "_s + lit2));
    QCOMPARE(litPoints(f.display, Points::DROP_IMG2), point2);
    QCOMPARE(shown(f.display, Positions::DIS2_IMG), u"O O O O O O"_s);  // no range word
    QCOMPARE(f.state.MODE1, u"DCV"_s);
    QCOMPARE(f.state.MODE1_RANGE, u"10V"_s);
    QCOMPARE(litPoints(f.display, Points::DROP_IMG), QList<int>{1});
}

void TestIdentification::display2OffLeavesItsStateAlone()
{
    PanelFixture f;
    prepare(f, u"func1=DCV,range1=10V,func2=OFF"_s);
    f.state.MODE2_ON = true;
    f.state.MODE2 = u"ACV"_s;
    f.state.MODE2_RANGE = u"100V"_s;

    shell::RDX_INF_TEST(f.panel);

    QVERIFY(f.state.MODE2_ON);
    QCOMPARE(f.state.MODE2, u"ACV"_s);
    QCOMPARE(f.state.MODE2_RANGE, u"100V"_s);
    QVERIFY(!f.sim.written.contains(u"conf2:auto?\\10"_s));
    QCOMPARE(shown(f.display, Positions::DIS2_IMG), u"_ _ 1 0 _ V"_s);  // the range word
}

void TestIdentification::wholeDialogueInOrder()
{
    PanelFixture f;
    prepare(f, u"func1=DCV,range1=10V,func2=2W,range2=1K,scanner=1"_s);

    shell::RDX_INF_TEST(f.panel);

    QCOMPARE(f.sim.written,
             commands({"TRIG:SOUR INT", "*IDN?", "sens:aver:stat?", "ROUT:STAT?", "rout:func OFF",
                       "trig:sour?", "conf2:func?", "conf2:auto?", "conf2:rang?", "conf:auto?",
                       "conf:rang?", "conf:func?", "sens:det:rate?"}));
    QCOMPARE(f.sim.wire().size(), f.sim.written.size());
    QCOMPARE(f.state.MODE2_RANGE, u"1K"_s);
}

// ---- Identification reply ------------------------------------------------------

void TestIdentification::identity_data()
{
    QTest::addColumn<QString>("brand");
    QTest::addColumn<QString>("idn");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("remote");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("version");

    QTest::newRow("four fields") << u"VX"_s << u"ACME,X1,7,2.00"_s << true << true
                                 << u"ACME,X1,7,2.00"_s << u"2.00"_s;
    QTest::newRow("long version") << u"VX"_s << u"ACME,X1,7,1.02.3"_s << true << true
                                  << u"ACME,X1,7,1.02.3"_s << u"1.02"_s;
    QTest::newRow("short version") << u"VX"_s << u"ACME,X1,7,2"_s << true << true
                                   << u"ACME,X1,7,2"_s << u"2"_s;
    QTest::newRow("no commas") << u"VX"_s << u"ABCDEFG"_s << true << true << u"ABCDEFG"_s << u"ABCD"_s;
    QTest::newRow("brand QD shows the model") << u"QD"_s << u"ACME,X1,7,2.00"_s << true << true
                                              << u"X1"_s << u"2.00"_s;
    // Too short for the model field: the link is up, the dialogue ends.
    QTest::newRow("brand QD, no commas") << u"QD"_s << u"ABCDEFG"_s << false << true << QString() << QString();
    // A reply with no content identifies nothing.
    QTest::newRow("empty") << u"VX"_s << QString() << false << false << QString() << QString();
    QTest::newRow("blanks") << u"VX"_s << u"   "_s << false << false << QString() << QString();
}

void TestIdentification::identity()
{
    QFETCH(QString, brand);
    QFETCH(QString, idn);
    QFETCH(bool, ok);
    QFETCH(bool, remote);
    QFETCH(QString, label);
    QFETCH(QString, version);
    PanelFixture f;
    prepare(f, QString());
    f.sim.instrument.setIdentity(idn.toLatin1());
    f.state.BRAND_CODE = brand;

    shell::RDX_INF_TEST(f.panel);

    QCOMPARE(f.state.REMOTE_OK, remote);
    QCOMPARE(f.controls.CHK_COM_TF.enabled, !remote);
    QCOMPARE(f.controls.VER_LAB, label);
    QCOMPARE(f.state.FW_VERSION, version);
    QCOMPARE(f.sim.written.contains(u"sens:aver:stat?\\10"_s), ok);
    QCOMPARE(shown(f.display, Positions::DIS1_IMG), ok ? u"O O O O O O O"_s : u"0 0 0 0 0 0 0"_s);
}

// ---- Filter, scanner and trigger indications ---------------------------------

void TestIdentification::indications_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("litBefore");
    QTest::addColumn<bool>("filter");
    QTest::addColumn<bool>("external");
    QTest::addColumn<QString>("trigger");  // IDN_REPLY
    QTest::addColumn<bool>("scannerBlue");
    QTest::addColumn<bool>("routOff");

    QTest::newRow("filter on") << u"filter=1"_s << QString() << true << false << u"IM"_s << false << false;
    QTest::newRow("filter off darkens its lamp") << u"filter=0"_s << u"FILT_LAB"_s << false << false
                                                 << u"IM"_s << false << false;
    // The dialogue sets internal triggering before it asks.
    QTest::newRow("external trigger is set internal") << u"trigger=ext"_s << u"EXT_LAB"_s << false
                                                      << false << u"IM"_s << false << false;
    QTest::newRow("an instrument that stays external") << u"reply:trig:sour?=EXT"_s << QString() << false
                                                       << true << u"EX"_s << false << false;
    QTest::newRow("scanner fitted") << u"scanner=1"_s << QString() << false << false << u"IM"_s << true << true;
    QTest::newRow("scanner as 1.0") << u"reply:rout:stat?=1.0"_s << QString() << false << false << u"IM"_s
                                    << true << true;
    QTest::newRow("scanner 10 is not fitted") << u"reply:rout:stat?=10"_s << QString() << false << false
                                              << u"IM"_s << false << false;
    QTest::newRow("scanner under REL stays on") << u"scanner=1"_s << u"REL_LAB"_s << false << false
                                                << u"IM"_s << true << false;
    QTest::newRow("scanner under MAX stays on") << u"scanner=1"_s << u"MAX_LAB"_s << false << false
                                                << u"IM"_s << true << false;
}

void TestIdentification::indications()
{
    QFETCH(QString, state);
    QFETCH(QString, litBefore);
    QFETCH(bool, filter);
    QFETCH(bool, external);
    QFETCH(QString, trigger);
    QFETCH(bool, scannerBlue);
    QFETCH(bool, routOff);
    PanelFixture f;
    prepare(f, state);
    if (!litBefore.isEmpty())
        f.display.setLit(lampNamed(litBefore), true);

    shell::RDX_INF_TEST(f.panel);

    QCOMPARE(f.display.isLit(Lamp::FILT_LAB), filter);
    QCOMPARE(f.display.isLit(Lamp::EXT_LAB), external);
    QCOMPARE(f.state.IDN_REPLY, trigger);
    const QColor expected = scannerBlue ? shell::kLegendBlue : shell::kLegendGrey;
    QCOMPARE(f.controls.MODE_TEXT[0].color, expected);
    QCOMPARE(f.controls.MODE_TEXT[1].color, expected);
    QCOMPARE(f.controls.MODE_TEXT[2].color, shell::kLegendGrey);
    QCOMPARE(f.state.scannerReported, scannerBlue);  // SHIFT with ACV or DCV opens the scanner
    QCOMPARE(f.sim.written.contains(u"rout:func OFF\\10"_s), routOff);
    QCOMPARE(f.sim.written.last(), u"sens:det:rate?\\10"_s);  // the dialogue ran to its end
}

// ---- Failure path -----------------------------------------------------------

void TestIdentification::failure_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("silentAfter");
    QTest::addColumn<QString>("last");  // the last command written
    QTest::addColumn<bool>("remote");
    QTest::addColumn<QString>("display2");

    QTest::newRow("time-out at *IDN?") << QString() << 1 << u"*IDN?"_s << false << u"_ _ _ _ _ _"_s;
    QTest::newRow("non-number at sens:aver:stat?") << u"reply:sens:aver:stat?=ON"_s << 0
                                                   << u"sens:aver:stat?"_s << true << u"_ _ _ _ _ _"_s;
    QTest::newRow("time-out at trig:sour?") << QString() << 4 << u"trig:sour?"_s << true << u"_ _ _ _ _ _"_s;
    // Display 2's digits are drawn before its reply is converted.
    QTest::newRow("non-number at conf2:auto?") << u"func2=DCV,reply:conf2:auto?=AUTO"_s << 0
                                               << u"conf2:auto?"_s << true << u"O O O O O O"_s;
    QTest::newRow("non-number at conf:auto?") << u"reply:conf:auto?=1,5"_s << 0 << u"conf:auto?"_s << true
                                              << u"_ _ _ _ _ _"_s;
    QTest::newRow("time-out at conf:func?") << u"auto1=0"_s << 8 << u"conf:func?"_s << true
                                            << u"_ _ _ _ _ _"_s;
}

void TestIdentification::failure()
{
    QFETCH(QString, state);
    QFETCH(int, silentAfter);
    QFETCH(QString, last);
    QFETCH(bool, remote);
    QFETCH(QString, display2);
    sim::Faults faults;
    faults.silentAfter = silentAfter;
    PanelFixture f(faults);
    prepare(f, state);
    f.display.setLit(Points::DROP_IMG, 2, true);  // an earlier drawing's point goes out
    const QString speedText = f.controls.Speed_TIME.text;

    shell::RDX_INF_TEST(f.panel);

    QCOMPARE(f.sim.written.last(), last + u"\\10"_s);  // the transcript stops there
    QCOMPARE(f.state.REMOTE_OK, remote);
    QCOMPARE(shown(f.display, Positions::DIS1_IMG), u"0 0 0 0 0 0 0"_s);
    QCOMPARE(litPoints(f.display, Points::DROP_IMG), QList<int>{5});  // 000000.0
    QCOMPARE(shown(f.display, Positions::DIS2_IMG), display2);
    QVERIFY(f.display.isLit(Lamp::RMT_LAB));
    // Neither the list nor the rate lamps are refreshed.
    QCOMPARE(f.controls.Speed_TIME.items, kStartList);
    QCOMPARE(f.controls.Speed_TIME.text, speedText);
    QVERIFY(!f.display.isLit(Lamp::M_LAB));
}

void TestIdentification::noPortFails()
{
    PanelFixture f;  // the port is never opened
    f.display.setAllLit(false);

    shell::RDX_INF_TEST(f.panel);

    QVERIFY(!f.state.REMOTE_OK);
    QVERIFY(!f.display.isLit(Lamp::RMT_LAB));
    QCOMPARE(shown(f.display, Positions::DIS1_IMG), u"0 0 0 0 0 0 0"_s);
    QCOMPARE(litPoints(f.display, Points::DROP_IMG), QList<int>{5});
}

QTEST_GUILESS_MAIN(TestIdentification)
#include "tst_identification.moc"
