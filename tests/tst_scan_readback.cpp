// The scanner's state read back into the scanner window's table at opening,
// over the real channel and the simulated scanner: the queries in order,
// each channel reply through the table's rules (four-wire partners lock as
// they are read), the state lines taken by their order, the settings, and
// an instrument that stops answering.

#include "scan/scan_controls.h"
#include "scan/scanner_readback.h"
#include "support/panel_fixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// One channel in a line: on box, auto box, function, range; "*" after a
// control that is disabled, "-" for a list without selection.
QString describe(const scan::ChannelTable &table, int channel)
{
    const scan::ChannelRow &r = table.channel(channel - scan::kFirstChannel);
    const auto mark = [](bool enabled) { return enabled ? u""_s : u"*"_s; };
    const auto shown = [](const scan::ScanList &list) { return list.index < 0 ? u"-"_s : list.text(); };
    return u"%1%2 %3%4 %5%6 %7%8"_s.arg(r.CHN_CHK.checked ? u"on"_s : u"off"_s, mark(r.CHN_CHK.enabled),
                                        r.S_Auto_CHK.checked ? u"auto"_s : u"manual"_s,
                                        mark(r.S_Auto_CHK.enabled), shown(r.MODE_Comb),
                                        mark(r.MODE_Comb.enabled), shown(r.Combo2), mark(r.Combo2.enabled));
}

QString settings(const scan::ScanControls &c)
{
    return QStringList{c.Count_TEXT, c.Timer_TEXT, c.SYS_DEL_TEXT, c.Repeat_TEXT,
                       c.EXT_TRIGGER ? u"EXT"_s : u"not EXT"_s}
        .join(u'|');
}

// The scanner window's controls as it opens them, before the read-back:
// function lists filled, nothing chosen.
struct Opening
{
    explicit Opening(sim::Faults faults = {}) : f(faults) { c.table.fillFunctionLists(); }

    void readBack()
    {
        f.sim.written.clear();
        scan::readScannerState(f.panel, c);
    }

    PanelFixture f;
    scan::ScanControls c;
};

QStringList readBackQueries()
{
    QStringList queries = {u"trig:sour?"_s, u"rout:coun?"_s, u"rout:del?"_s, u"trig:del?"_s,
                           u"ROUTe:MULTiple:STATe?"_s};
    for (int n = 101; n <= 118; ++n)
        queries.append(u"rout:chan? %1"_s.arg(n));
    return queries;
}

} // namespace

class TestScanReadback : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void queriesInOrderWithoutTheLinkEstablished();
    void channels_data();
    void channels();
    void settings_data();
    void settings();
    void stateLinesCountByOrder();
    void unparsableChannelReplyIsPassedOver();
    void silenceEndsTheReadBack_data();
    void silenceEndsTheReadBack();
};

void TestScanReadback::queriesInOrderWithoutTheLinkEstablished()
{
    Opening o;
    QVERIFY(o.f.sim.open());
    QVERIFY(!o.f.state.REMOTE_OK);  // the scanner window asks all the same
    o.readBack();
    QStringList sent;
    for (const QString &text : o.f.sim.written)
        sent.append(text.chopped(3));  // each ends in "\10"
    QCOMPARE(sent, readBackQueries());
    QCOMPARE(o.f.sim.wire(), readBackQueries());
    QVERIFY(o.f.status.lines().isEmpty());
    // The last read takes what comes within a short quiet time: it does not
    // wait out a read bound, and nothing is left owed for the next exchange.
    QCOMPARE(o.f.sim.link.lastError(), shell::LinkError::None);
    QVERIFY(o.f.sim.link.InputCount() == 0);
}

void TestScanReadback::channels_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QStringList>("expected");  // "channel: state"

    QTest::newRow("101 VOLT:AC 750 ON") << u"chan101=on,VOLT:AC,750,on"_s
                                        << QStringList{u"101: on auto ACV 750 V*"_s};
    QTest::newRow("101 unticked keeps its lists disabled")
        << u"chan101=off,VOLT:AC,750,on"_s << QStringList{u"101: off auto ACV* 750 V*"_s};
    QTest::newRow("110 FRES 10000 OFF, ticked, locks 102")
        << u"chan110=on,FRES,10000,off"_s
        << QStringList{u"110: on manual 4W 10 k"_s, u"102: off* manual* 4W* 10 k*"_s};
    QTest::newRow("110 FRES unticked locks nothing")
        << u"chan110=off,FRES,10000,off"_s
        << QStringList{u"110: off manual 4W* 10 k"_s, u"102: off auto DCV* 10 V*"_s};
    QTest::newRow("both partners on: 103's lock unticks 111, whose own line then sets DCV")
        << u"chan103=on,FRES,100,on,chan111=on,VOLT,1,off"_s
        << QStringList{u"103: on auto 4W 100*"_s, u"111: off* manual* DCV* 1 V"_s};
    QTest::newRow("117 CURR") << u"chan117=on,CURR,2,on"_s << QStringList{u"117: on auto DCI_2A Max 2A*"_s};
    QTest::newRow("118 CURR:AC") << u"chan118=on,CURR:AC,10,off"_s
                                 << QStringList{u"118: on manual ACI_2A Max 2A"_s};
    QTest::newRow("118 anything else is AC") << u"chan118=on,VOLT,10,off"_s
                                             << QStringList{u"118: on manual ACI_2A Max 2A"_s};
    QTest::newRow("TEMP:RTD:F") << u"chan105=on,TEMP:RTD:F,1,off"_s
                                << QStringList{u"105: on manual TC_F No Range"_s};
    QTest::newRow("TEMP:FRTD:C") << u"chan105=on,TEMP:FRTD:C,1,off"_s
                                 << QStringList{u"105: on manual TC_C No Range"_s};
    QTest::newRow("range 1E+01 is no 10") << u"chan104=on,VOLT,1E+01,off"_s
                                          << QStringList{u"104: on manual DCV 100 mV"_s};
    QTest::newRow("keywords are compared in their case") << u"chan106=on,volt,10,off"_s
                                                         << QStringList{u"106: on manual - -"_s};
    QTest::newRow("DC volts at 1000") << u"chan107=on,VOLT,1000,on"_s
                                      << QStringList{u"107: on auto DCV 1000 V*"_s};
    QTest::newRow("100M ohms") << u"chan116=on,RES,100000000,off"_s
                               << QStringList{u"116: on manual 2W 100 M"_s};
}

void TestScanReadback::channels()
{
    QFETCH(QString, state);
    QFETCH(QStringList, expected);
    Opening o;
    QString why;
    QVERIFY2(o.f.sim.instrument.setStates(state, &why), qPrintable(why));
    QVERIFY(o.f.sim.open());
    o.readBack();
    for (const QString &line : expected) {
        const int channel = line.left(3).toInt();
        QCOMPARE(u"%1: %2"_s.arg(channel).arg(describe(o.c.table, channel)), line);
    }
}

void TestScanReadback::settings_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("expected");  // Count|Scan Delay|System Delay|Repeat|trigger
    QTest::newRow("as the instrument holds them") << u"scancount=12,scandelay=3,trigdel=40"_s
                                                  << u"12|3|40|1|not EXT"_s;
    QTest::newRow("external trigger") << u"trigger=ext"_s << u"1|0|0|1|EXT"_s;
    QTest::newRow("EX is enough") << u"reply:trig:sour?=EXTERNAL"_s << u"1|0|0|1|EXT"_s;
    QTest::newRow("ex in lower case is not") << u"reply:trig:sour?=ext"_s << u"1|0|0|1|not EXT"_s;
    QTest::newRow("halves to even") << u"reply:rout:coun?=2.5,reply:rout:del?=3.5"_s << u"2|4|0|1|not EXT"_s;
    QTest::newRow("leading number") << u"reply:rout:coun?=+5.0E+01"_s << u"50|0|0|1|not EXT"_s;
    QTest::newRow("beyond 16 bits shows 0") << u"reply:rout:coun?=40000,reply:trig:del?=-32768"_s
                                            << u"0|0|-32768|1|not EXT"_s;
    QTest::newRow("no number") << u"reply:rout:del?=none"_s << u"1|0|0|1|not EXT"_s;
}

void TestScanReadback::settings()
{
    QFETCH(QString, state);
    QFETCH(QString, expected);
    Opening o;
    QString why;
    QVERIFY2(o.f.sim.instrument.setStates(state, &why), qPrintable(why));
    QVERIFY(o.f.sim.open());
    o.readBack();
    QCOMPARE(::settings(o.c), expected);
}

void TestScanReadback::stateLinesCountByOrder()
{
    Opening o;
    // Eighteen lines, each ended by the instrument's CR: the third names
    // no channel that exists, the fifth has a comma, the seventh no "+",
    // the ninth says "on" in lower case.
    QStringList lines;
    for (int n = 101; n <= 118; ++n)
        lines.append(u"+%1 OFF"_s.arg(n));
    lines[2] = u"+120 ON"_s;
    lines[4] = u"+105,ON"_s;
    lines[6] = u"107 ON"_s;
    lines[8] = u"+109 on"_s;
    QVERIFY(o.f.sim.instrument.setState(u"reply:ROUTe:MULTiple:STATe?", lines.join(u'\r')));
    QVERIFY(o.f.sim.open());
    o.readBack();
    QStringList ticked;
    for (int i = 0; i < scan::kChannelCount; ++i) {
        const scan::ChannelRow &r = o.c.table.channel(i);
        if (r.CHN_CHK.checked)
            ticked.append(QString::number(scan::kFirstChannel + i));
        // A channel's function list follows its state line.
        QCOMPARE(r.MODE_Comb.enabled, r.CHN_CHK.checked);
    }
    QCOMPARE(ticked, (QStringList{u"103"_s, u"105"_s, u"107"_s}));
}

void TestScanReadback::unparsableChannelReplyIsPassedOver()
{
    Opening o;
    QVERIFY(o.f.sim.instrument.setStates(u"chan103=on,VOLT:AC,1,on,chan104=on,RES,1000,off,"
                                         "reply:rout:chan? 103=103;VOLT:AC;1;ON"_s));
    QVERIFY(o.f.sim.open());
    o.readBack();
    QCOMPARE(describe(o.c.table, 103), u"on manual - -"_s);  // ticked, nothing more
    QCOMPARE(describe(o.c.table, 104), u"on manual 2W 1 k"_s);
    QVERIFY(o.f.status.lines().isEmpty());
}

void TestScanReadback::silenceEndsTheReadBack_data()
{
    QTest::addColumn<int>("answered");  // read-back queries answered before the silence
    QTest::addColumn<QString>("expected");  // settings
    QTest::addColumn<QStringList>("channels");
    QTest::newRow("silent from the start") << 0 << u"0|0|0|1|not EXT"_s
                                           << QStringList{u"101: off manual -* -"_s, u"118: off manual -* -"_s};
    QTest::newRow("silent after the count") << 2 << u"9|0|0|1|EXT"_s
                                            << QStringList{u"101: off manual -* -"_s};
    QTest::newRow("silent after two channels")
        << 7 << u"9|2|3|1|EXT"_s
        << QStringList{u"101: on auto ACV 1 V*"_s, u"102: on manual DCV 10 V"_s, u"103: on manual - -"_s};
}

void TestScanReadback::silenceEndsTheReadBack()
{
    QFETCH(int, answered);
    QFETCH(QString, expected);
    QFETCH(QStringList, channels);
    // The instrument hears a first command before the read-back and then
    // answers `answered` more queries.
    sim::Faults faults;
    faults.silentAfter = 1 + answered;
    Opening o(faults);
    QVERIFY(o.f.sim.instrument.setStates(u"trigger=ext,scancount=9,scandelay=2,trigdel=3,"
                                         "chan101=on,VOLT:AC,1,on,chan102=on,VOLT,10,off,chan103=on"_s));
    QVERIFY(o.f.sim.open());
    o.f.sim.link.setReplyBound(150ms);
    QVERIFY(o.f.sim.link.Write(u"*CLS\\10"_s));
    o.readBack();

    // The first query left without a reply is the last one sent.
    QCOMPARE(o.f.sim.written.size(), answered + 1);
    QCOMPARE(o.f.sim.written.constLast().chopped(3), readBackQueries().at(answered));
    QCOMPARE(::settings(o.c), expected);
    for (const QString &line : channels) {
        const int channel = line.left(3).toInt();
        QCOMPARE(u"%1: %2"_s.arg(channel).arg(describe(o.c.table, channel)), line);
    }
    QCOMPARE(o.f.status.lines().size(), 1);
    QVERIFY(o.f.status.lines().at(0).startsWith(u"Scanner state not read back"_s));
}

QTEST_GUILESS_MAIN(TestScanReadback)
#include "tst_scan_readback.moc"
