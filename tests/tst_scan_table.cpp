// The scanner window's channel table: four-wire partners, locking and
// releasing them through the chained rules, the bulk buttons, the range
// lists, and the key filters of the scan settings and the set-up name.

#include "scan/channel_table.h"
#include "scan/scan_controls.h"
#include "scan/scan_form.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using scan::ChannelTable;

namespace {

// A table as the window opens it without an instrument: function lists
// filled, nothing chosen, every channel unticked with its function list
// disabled.
struct OpenedTable
{
    OpenedTable()
    {
        table.fillFunctionLists();
        for (int i = 0; i < scan::kChannelCount; ++i)
            table.setFunctionEnabled(i, false);
    }
    ChannelTable table;
};

int indexOf(int channel) { return channel - scan::kFirstChannel; }

// One channel in a line: on box, auto box, function, range; "*" after a
// control that is disabled, "-" for a list without selection.
QString describe(const ChannelTable &table, int channel)
{
    const scan::ChannelRow &r = table.channel(indexOf(channel));
    const auto mark = [](bool enabled) { return enabled ? u""_s : u"*"_s; };
    const auto shown = [](const scan::ScanList &list) { return list.index < 0 ? u"-"_s : list.text(); };
    return u"%1%2 %3%4 %5%6 %7%8"_s.arg(r.CHN_CHK.checked ? u"on"_s : u"off"_s, mark(r.CHN_CHK.enabled),
                                        r.S_Auto_CHK.checked ? u"auto"_s : u"manual"_s,
                                        mark(r.S_Auto_CHK.enabled), shown(r.MODE_Comb),
                                        mark(r.MODE_Comb.enabled), shown(r.Combo2), mark(r.Combo2.enabled));
}

QStringList describeAll(const ChannelTable &table)
{
    QStringList rows;
    for (int i = 0; i < scan::kChannelCount; ++i)
        rows.append(describe(table, scan::kFirstChannel + i));
    return rows;
}

// A user's or a program's change, in a few words: "on 103", "off 103",
// "auto 103", "manual 103", "func 103 4W", "range 103 10 k", or a bulk
// button "On All Open", "On All Clear", "Auto All Open", "Auto All Clear".
void apply(ChannelTable &table, const QString &step)
{
    if (step == "On All Open"_L1)
        return table.On_All_Open_Butt_Click();
    if (step == "On All Clear"_L1)
        return table.On_All_Clear_Butt_Click();
    if (step == "Auto All Open"_L1)
        return table.Auto_All_Open_Butt_Click();
    if (step == "Auto All Clear"_L1)
        return table.Auto_All_Clear_Butt_Click();
    const QStringList words = step.split(u' ');
    const QString verb = words.at(0);
    const int i = indexOf(words.at(1).toInt());
    const QString entry = words.mid(2).join(u' ');
    if (verb == "on"_L1 || verb == "off"_L1)
        return table.setOn(i, verb == "on"_L1);
    if (verb == "auto"_L1 || verb == "manual"_L1)
        return table.setAuto(i, verb == "auto"_L1);
    if (verb == "func"_L1)
        QVERIFY2(table.selectFunction(i, int(table.channel(i).MODE_Comb.items.indexOf(entry))), qPrintable(step));
    else if (verb == "range"_L1)
        QVERIFY2(table.selectRange(i, int(table.channel(i).Combo2.items.indexOf(entry))), qPrintable(step));
    else
        QFAIL(qPrintable(u"unknown step "_s + step));
}

// 103 measures four-wire with auto range, ticked: it holds 111.
const QStringList kLock103 = {u"auto 103"_s, u"func 103 4W"_s, u"range 103 10 k"_s, u"on 103"_s};

} // namespace

class TestScanTable : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void partners_data();
    void partners();
    void partnerSyncOnBankAndCurrentChannels();
    void rules_data();
    void rules();
    void lockAndReleaseRoundTripEnds();
    void rangeLists_data();
    void rangeLists();
    void refusedSelectionsChangeNothing();
    void runModeGreysRepeat();
    void keyFilters_data();
    void keyFilters();
    void delayRoundsHalvesToEven_data();
    void delayRoundsHalvesToEven();
};

void TestScanTable::partners_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("partner");
    QTest::newRow("101 with 109") << 101 << 109;
    QTest::newRow("104 with 112") << 104 << 112;
    QTest::newRow("108 with 116") << 108 << 116;
    QTest::newRow("109 with 101") << 109 << 101;
    QTest::newRow("112 with 104") << 112 << 104;
    QTest::newRow("116 with 108") << 116 << 108;
    QTest::newRow("117 alone") << 117 << 0;
    QTest::newRow("118 alone") << 118 << 0;
}

void TestScanTable::partners()
{
    QFETCH(int, channel);
    QFETCH(int, partner);
    const int found = scan::partnerOf(indexOf(channel));
    QCOMPARE(found < 0 ? 0 : found + scan::kFirstChannel, partner);
}

void TestScanTable::partnerSyncOnBankAndCurrentChannels()
{
    OpenedTable t;
    for (const QString &step : {u"on 104"_s, u"func 104 DCV"_s, u"range 104 1 V"_s, u"on 117"_s})
        apply(t.table, step);
    QCOMPARE(describe(t.table, 112), u"off manual -* -"_s);
    // Index 3 is channel 104: its partner 112 takes "4W" with 104's range
    // position and auto value, unticked, all four controls disabled.
    t.table.SCAN_4W_PARTNER_SYNC(3);
    QCOMPARE(describe(t.table, 112), u"off* manual* 4W* 1 k*"_s);
    QCOMPARE(describe(t.table, 104), u"on manual DCV 1 V"_s);

    // Index 16 is channel 117, which has no partner: nothing changes.
    const QStringList before = describeAll(t.table);
    QSignalSpy changed(&t.table, &ChannelTable::changed);
    t.table.SCAN_4W_PARTNER_SYNC(16);
    QCOMPARE(describeAll(t.table), before);
    QCOMPARE(changed.count(), 0);
}

void TestScanTable::rules_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("expected");  // "channel: state"

    QTest::newRow("ticking 103 on 4W with auto locks 111")
        << kLock103 << QStringList{u"103: on auto 4W 10 k*"_s, u"111: off* auto* 4W* 10 k*"_s};
    QTest::newRow("unticking 103 releases 111 to DCV, its list still disabled")
        << (kLock103 + QStringList{u"off 103"_s})
        << QStringList{u"103: off auto 4W* 10 k*"_s, u"111: off auto DCV* 100 mV*"_s};
    QTest::newRow("103 to ACV while ticked releases 111 and enables its list")
        << (kLock103 + QStringList{u"func 103 ACV"_s})
        << QStringList{u"103: on auto ACV 100 mV*"_s, u"111: off auto DCV 100 mV*"_s};
    QTest::newRow("the partner's range follows the channel's")
        << (kLock103 + QStringList{u"manual 103"_s, u"range 103 100 M"_s})
        << QStringList{u"103: on manual 4W 100 M"_s, u"111: off* manual* 4W* 100 M*"_s};
    QTest::newRow("4W with auto clear: ticking does not lock")
        << QStringList{u"func 103 4W"_s, u"on 103"_s}
        << QStringList{u"103: on manual 4W 100"_s, u"111: off manual -* -"_s};
    QTest::newRow("4W with auto clear: the next range change locks")
        << QStringList{u"func 103 4W"_s, u"on 103"_s, u"range 103 1 k"_s}
        << QStringList{u"103: on manual 4W 1 k"_s, u"111: off* manual* 4W* 1 k*"_s};
    QTest::newRow("bank B locks bank A")
        << QStringList{u"on 116"_s, u"func 116 4W"_s, u"range 116 100 k"_s}
        << QStringList{u"116: on manual 4W 100 k"_s, u"108: off* manual* 4W* 100 k*"_s};
    QTest::newRow("On All Open ticks 117 and 118 too")
        << QStringList{u"On All Open"_s}
        << QStringList{u"117: on manual - -"_s, u"118: on manual - -"_s, u"101: on manual - -"_s};
    QTest::newRow("On All Clear disables every list")
        << QStringList{u"On All Open"_s, u"func 105 DCV"_s, u"On All Clear"_s}
        << QStringList{u"105: off manual DCV* 100 mV*"_s, u"118: off manual -* -*"_s};
    QTest::newRow("Auto All Open leaves 117 and 118 alone")
        << QStringList{u"On All Open"_s, u"Auto All Open"_s}
        << QStringList{u"101: on auto - -*"_s, u"116: on auto - -*"_s, u"117: on manual - -"_s,
                       u"118: on manual - -"_s};
    QTest::newRow("Auto All Clear clears 117 and 118 and goes back to the first range")
        << QStringList{u"on 117"_s, u"auto 117"_s, u"func 117 DCI_2A"_s, u"on 118"_s, u"auto 118"_s,
                       u"on 102"_s, u"func 102 DCV"_s, u"range 102 100 V"_s, u"Auto All Clear"_s}
        << QStringList{u"117: on manual DCI_2A Max 2A"_s, u"118: on manual - -"_s,
                       u"102: on manual DCV 100 mV"_s};
    QTest::newRow("a No Range function has one entry, enabled while ticked and manual")
        << QStringList{u"on 105"_s, u"func 105 DIODE"_s}
        << QStringList{u"105: on manual DIODE No Range"_s};
}

void TestScanTable::rules()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, expected);
    OpenedTable t;
    for (const QString &step : steps)
        apply(t.table, step);
    for (const QString &line : expected) {
        const int channel = line.left(3).toInt();
        QCOMPARE(u"%1: %2"_s.arg(channel).arg(describe(t.table, channel)), line);
    }
}

void TestScanTable::lockAndReleaseRoundTripEnds()
{
    OpenedTable t;
    for (const QString &step : kLock103)
        apply(t.table, step);
    apply(t.table, u"off 103"_s);
    const QStringList released = describeAll(t.table);

    // Lock again and release again: the chain of rules ends each time and
    // comes back to the same table.
    apply(t.table, u"on 103"_s);
    QCOMPARE(describe(t.table, 111), u"off* auto* 4W* 10 k*"_s);
    apply(t.table, u"off 103"_s);
    QCOMPARE(describeAll(t.table), released);

    // A released partner may take 4W itself while unticked: it locks its
    // ticked partner in turn, and the chain still ends.
    apply(t.table, u"on 103"_s);
    apply(t.table, u"func 103 ACV"_s);
    apply(t.table, u"func 111 4W"_s);
    QCOMPARE(describe(t.table, 103), u"off* auto* 4W* 100*"_s);
    QCOMPARE(describe(t.table, 111), u"off auto 4W 100*"_s);
}

void TestScanTable::rangeLists_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QStringList>("ranges");
    QTest::newRow("ACV") << 101 << u"ACV"_s
                         << QStringList{u"100 mV"_s, u"1 V"_s, u"10 V"_s, u"100 V"_s, u"750 V"_s};
    QTest::newRow("DCV") << 101 << u"DCV"_s
                         << QStringList{u"100 mV"_s, u"1 V"_s, u"10 V"_s, u"100 V"_s, u"1000 V"_s};
    QTest::newRow("2W") << 109 << u"2W"_s
                        << QStringList{u"100"_s, u"1 k"_s, u"10 k"_s, u"100 k"_s, u"1 M"_s, u"10 M"_s, u"100 M"_s};
    QTest::newRow("TC_F") << 116 << u"TC_F"_s << QStringList{u"No Range"_s};
    QTest::newRow("Hz") << 102 << u"Hz"_s << QStringList{u"No Range"_s};
    QTest::newRow("current, AC") << 117 << u"ACI_2A"_s << QStringList{u"Max 2A"_s};
    QTest::newRow("current, DC") << 118 << u"DCI_2A"_s << QStringList{u"Max 2A"_s};
}

void TestScanTable::rangeLists()
{
    QFETCH(int, channel);
    QFETCH(QString, function);
    QFETCH(QStringList, ranges);
    OpenedTable t;
    apply(t.table, u"on %1"_s.arg(channel));
    apply(t.table, u"func %1 %2"_s.arg(channel).arg(function));
    const scan::ScanList &range = t.table.channel(indexOf(channel)).Combo2;
    QCOMPARE(range.items, ranges);
    QCOMPARE(range.index, 0);
}

void TestScanTable::refusedSelectionsChangeNothing()
{
    OpenedTable t;
    apply(t.table, u"on 117"_s);
    const QStringList before = describeAll(t.table);
    QVERIFY(!t.table.selectFunction(indexOf(117), 2));  // 117 has two functions
    QVERIFY(!t.table.selectRange(indexOf(117), 0));     // no function: no ranges yet
    QVERIFY(!t.table.selectFunction(indexOf(101), -2));
    QCOMPARE(describeAll(t.table), before);

    // -1 is no selection: the range list empties with it.
    apply(t.table, u"func 117 ACI_2A"_s);
    QVERIFY(t.table.selectFunction(indexOf(117), -1));
    QCOMPARE(describe(t.table, 117), u"on manual - -"_s);
    QVERIFY(t.table.channel(indexOf(117)).Combo2.items.isEmpty());
}

void TestScanTable::runModeGreysRepeat()
{
    scan::ScanControls c;
    c.selectRunMode(0);
    QVERIFY(c.Repeat_TEXT_enabled);
    QCOMPARE(c.Repeat_LAB_color, scan::kCaptionBlack);
    QCOMPARE(c.Cont_OPT1_color, scan::kCaptionGrey);

    c.setCheck1(true);  // selects "Continuous"
    QCOMPARE(c.Cont_OPT, 1);
    QVERIFY(!c.Repeat_TEXT_enabled);
    QCOMPARE(c.Repeat_LAB_color, scan::kCaptionGrey);
    QCOMPARE(c.Cont_OPT1_color, scan::kCaptionBlack);

    c.setCheck1(false);
    QCOMPARE(c.Cont_OPT, 0);
    QVERIFY(c.Repeat_TEXT_enabled);
}

void TestScanTable::keyFilters_data()
{
    QTest::addColumn<QChar>("key");
    QTest::addColumn<bool>("inSettings");
    QTest::addColumn<bool>("inSetupName");
    QTest::newRow("a") << QChar(u'a') << false << true;
    QTest::newRow("Z") << QChar(u'Z') << false << true;
    QTest::newRow("7") << QChar(u'7') << true << true;
    QTest::newRow("underscore") << QChar(u'_') << false << true;
    QTest::newRow("backspace") << QChar(8) << true << true;
    QTest::newRow("blank") << QChar(u' ') << false << false;
    QTest::newRow("minus") << QChar(u'-') << false << false;
    QTest::newRow("point") << QChar(u'.') << false << false;
    QTest::newRow("slash") << QChar(u'/') << false << false;
    QTest::newRow("accented letter") << QChar(u'\u00e9') << false << false;
    QTest::newRow("full-width digit") << QChar(u'\uff11') << false << false;
}

void TestScanTable::keyFilters()
{
    QFETCH(QChar, key);
    QFETCH(bool, inSettings);
    QFETCH(bool, inSetupName);
    QCOMPARE(scan::isDigitKey(key), inSettings);
    QCOMPARE(scan::isSetupNameKey(key), inSetupName);
}

void TestScanTable::delayRoundsHalvesToEven_data()
{
    QTest::addColumn<float>("second");
    QTest::addColumn<int>("ms");
    QTest::newRow("0.25 -> 2.5 -> 2") << 0.25f << 2;
    QTest::newRow("0.75 -> 7.5 -> 8") << 0.75f << 8;
    QTest::newRow("1 -> 10") << 1.0f << 10;
    QTest::newRow("negative waits nothing") << -1.0f << 0;
}

void TestScanTable::delayRoundsHalvesToEven()
{
    QFETCH(float, second);
    QFETCH(int, ms);
    QCOMPARE(scan::delayMilliseconds(second), ms);
}

QTEST_GUILESS_MAIN(TestScanTable)
#include "tst_scan_table.moc"
