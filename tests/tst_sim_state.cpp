// The simulated instrument's measurement state: what the state keys set,
// how each display codes its functions and ranges, the commands that change
// the state, and names the model does not know.

#include "sim/instrument.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestSimState : public QObject
{
    Q_OBJECT

private slots:
    void replies_data();
    void replies();
    void rejected_data();
    void rejected();
    void displaysKeepToThemselves_data();
    void displaysKeepToThemselves();
    void commandsSetTheirState_data();
    void commandsSetTheirState();
    void unknownNames_data();
    void unknownNames();
};

void TestSimState::replies_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QByteArrayList>("commands");  // sent before the query
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QByteArray>("reply");

    const QByteArrayList none;
    QTest::newRow("starts at DC volts") << QString() << none << QByteArray("CONF:FUNC?") << QByteArray("VOLT");
    QTest::newRow("display 2 starts off") << QString() << none << QByteArray("conf2:func?") << QByteArray("NON");
    QTest::newRow("AC volts") << u"func1=acv"_s << none << QByteArray("conf:func?") << QByteArray("VOLT:AC");
    QTest::newRow("temperature") << u"func1=TEMP"_s << none << QByteArray("conf:func?") << QByteArray("TEMP:TCO");
    QTest::newRow("4W on display 2 is 16") << u"func2=4W"_s << none << QByteArray("conf2:func?") << QByteArray("16");
    QTest::newRow("Hz on display 2 is 8") << u"func2=Hz"_s << none << QByteArray("conf2:func?") << QByteArray("8");
    QTest::newRow("P on display 2 is 14") << u"func2=P"_s << none << QByteArray("conf2:func?") << QByteArray("14");
    QTest::newRow("unnamed number 9") << u"func2=9"_s << none << QByteArray("conf2:func?") << QByteArray("9");
    QTest::newRow("a fixed range ends auto") << u"func1=DCV,range1=100V"_s << none << QByteArray("conf:auto?")
                                             << QByteArray("0");
    QTest::newRow("auto again keeps the range") << u"func1=DCV,range1=100V,auto1=1"_s << none
                                                << QByteArray("conf:rang?") << QByteArray("100");
    QTest::newRow("DCI 100uA, display 1") << u"func1=DCI,range1=100uA"_s << none << QByteArray("conf:rang?")
                                          << QByteArray("0.0001");
    QTest::newRow("DCI 100uA, display 2") << u"func2=DCI,range2=100uA"_s << none << QByteArray("conf2:rang?")
                                          << QByteArray("0.000001");
    QTest::newRow("DCI 1mA, display 2") << u"func2=DCI,range2=1mA"_s << none << QByteArray("conf2:rang?")
                                        << QByteArray("0.00001");
    QTest::newRow("10K, display 1") << u"func1=2W,range1=10k"_s << none << QByteArray("conf:rang?")
                                    << QByteArray("10E4");
    QTest::newRow("10K, display 2") << u"func2=2W,range2=10K"_s << none << QByteArray("conf2:rang?")
                                    << QByteArray("3");
    QTest::newRow("new function, middle range") << u"func1=DCV,range1=1000V,func1=2W"_s << none
                                                << QByteArray("conf:rang?") << QByteArray("10E5");
    QTest::newRow("shared label kept") << u"func1=DCV,range1=1V,func1=ACV"_s << none << QByteArray("conf:rang?")
                                       << QByteArray("1");
    QTest::newRow("rate slow as band") << u"rate=S"_s << none << QByteArray("sens:det:band?") << QByteArray("+003");
    QTest::newRow("rate fast as gate") << u"rate=f"_s << none << QByteArray("SENS:FREQ:APER?")
                                       << QByteArray("+1.00000E-02");
    QTest::newRow("band 20 sets medium") << u"rate=F"_s << QByteArrayList{"SENS:DET:BAND 20"}
                                         << QByteArray("sens:det:rate?") << QByteArray("M");
    QTest::newRow("band 3 sets slow") << QString() << QByteArrayList{"sens:det:band 3"}
                                      << QByteArray("sens:det:band?") << QByteArray("+003");
    QTest::newRow("external trigger") << u"trigger=ext"_s << none << QByteArray("trig:sour?") << QByteArray("EXT");
    QTest::newRow("internal by command") << u"trigger=ext"_s << QByteArrayList{"TRIG:SOUR INT"}
                                         << QByteArray("trig:sour?") << QByteArray("IMM");
    QTest::newRow("filter on") << u"filter=on"_s << none << QByteArray("sens:aver:stat?") << QByteArray("1");
    QTest::newRow("scanner fitted") << u"scanner=1"_s << none << QByteArray("ROUT:STAT?") << QByteArray("1");
    QTest::newRow("unit F") << u"unit=f"_s << none << QByteArray("UNIT?") << QByteArray("F");
    QTest::newRow("thermocouple J") << u"tco=J"_s << none << QByteArray("sens:temp:tco:type?") << QByteArray("J");
    QTest::newRow("error entry keeps its comma") << u"error=-222,\"Data out of range\""_s << none
                                                 << QByteArray("syst:err?") << QByteArray("-222,\"Data out of range\"");
    QTest::newRow("error=none empties") << u"error=-222,\"X\",error=none"_s << none << QByteArray("syst:err?")
                                        << QByteArray("+0,\"No error\"");
    QTest::newRow("fixed reply") << u"reply:SENS:AVER:STAT?=ON"_s << none << QByteArray("sens:aver:stat?")
                                 << QByteArray("ON");
    QTest::newRow("empty fixed reply") << u"reply:*idn?="_s << none << QByteArray("*IDN?") << QByteArray();
    QTest::newRow("fixed reply undone") << u"reply:unit?=X,reply:unit?=auto"_s << none << QByteArray("unit?")
                                        << QByteArray("C");
}

void TestSimState::replies()
{
    QFETCH(QString, state);
    QFETCH(QByteArrayList, commands);
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, reply);
    sim::Instrument instrument;
    QString why;
    QVERIFY2(instrument.setStates(state, &why), qPrintable(why));
    for (const QByteArray &command : commands)
        QVERIFY(!instrument.handle(command));
    QCOMPARE(instrument.handle(query).value_or("<none>"), reply);
}

void TestSimState::rejected_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("range before its function") << u"range1=10K"_s;
    QTest::newRow("no such range") << u"func1=ACV,range1=1000V"_s;
    QTest::newRow("no such range on AC current") << u"func1=ACI,range1=100uA"_s;
    QTest::newRow("diode on display 2") << u"func2=DIODE"_s;
    QTest::newRow("display 1 cannot be off") << u"func1=OFF"_s;
    QTest::newRow("number on display 1") << u"func1=9"_s;
    QTest::newRow("number with a name") << u"func2=16"_s;
    QTest::newRow("rate word") << u"rate=slow"_s;
    QTest::newRow("auto yes") << u"auto1=yes"_s;
    QTest::newRow("unit K") << u"unit=K"_s;
    QTest::newRow("thermocouple X") << u"tco=X"_s;
    QTest::newRow("trigger bus") << u"trigger=bus"_s;
    QTest::newRow("reply to a command") << u"reply:conf:volt:ac=1"_s;
}

void TestSimState::rejected()
{
    QFETCH(QString, state);
    sim::Instrument instrument;
    QString why;
    QVERIFY(!instrument.setStates(state, &why));
    QVERIFY(!why.isEmpty());
}

// Keys and commands for one display leave the other as it was. Each row
// gives function word, automatic ranging and range code of display 1, then
// of display 2, as the instrument answers them.
void TestSimState::displaysKeepToThemselves_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QByteArrayList>("commands");
    QTest::addColumn<QString>("both");

    const QByteArrayList none;
    QTest::newRow("as it starts")      << QString() << none                   << u"VOLT 1 10 | NON 1 1"_s;
    QTest::newRow("func1")             << u"func1=ACV"_s << none              << u"VOLT:AC 1 10 | NON 1 1"_s;
    QTest::newRow("func2")             << u"func2=ACV"_s << none              << u"VOLT 1 10 | VOLT:AC 1 10"_s;
    QTest::newRow("auto1")             << u"func2=DCV,auto1=0"_s << none      << u"VOLT 0 10 | VOLT 1 10"_s;
    QTest::newRow("auto2")             << u"func2=DCV,auto2=0"_s << none      << u"VOLT 1 10 | VOLT 0 10"_s;
    QTest::newRow("range1")            << u"func2=DCV,range1=100V"_s << none  << u"VOLT 0 100 | VOLT 1 10"_s;
    QTest::newRow("range2")            << u"func2=DCV,range2=1V"_s << none    << u"VOLT 1 10 | VOLT 0 1"_s;
    QTest::newRow("conf2:off")         << u"func2=DCV"_s << QByteArrayList{"CONF2:OFF"}
                                       << u"VOLT 1 10 | NON 1 1"_s;
    QTest::newRow("display 2 to NON")  << u"func2=DCV"_s << QByteArrayList{"SENS:FUNC2 \"NON\""}
                                       << u"VOLT 1 10 | NON 1 1"_s;
    QTest::newRow("display 2 to VOLT") << u"func2=ACV"_s << QByteArrayList{"SENS:FUNC2 \"VOLT\""}
                                       << u"VOLT 1 10 | VOLT:AC 1 10"_s;
    // The function keys' commands: each display its own, in auto range.
    QTest::newRow("conf and conf2 functions") << QString() << QByteArrayList{"conf:volt:ac", "CONF2:FRES"}
                                       << u"VOLT:AC 1 10 | 16 1 4"_s;
    QTest::newRow("a function goes to auto") << u"func1=DCV,range1=100V"_s << QByteArrayList{"conf:res"}
                                       << u"RES 1 10E5 | NON 1 1"_s;
    QTest::newRow("conf2 frequency")   << QString() << QByteArrayList{"conf2:freq"} << u"VOLT 1 10 | 8 1 1"_s;
    QTest::newRow("conf:auto off keeps the range") << QString() << QByteArrayList{"conf:auto off"}
                                       << u"VOLT 0 10 | NON 1 1"_s;
    QTest::newRow("conf:auto 1")       << u"func1=DCV,range1=1V"_s << QByteArrayList{"CONF:AUTO 1"}
                                       << u"VOLT 1 1 | NON 1 1"_s;
    QTest::newRow("conf2:auto off")    << u"func2=DCV"_s << QByteArrayList{"conf2:auto off"}
                                       << u"VOLT 1 10 | VOLT 0 10"_s;
    // Frequency and period range over their input, named bare.
    QTest::newRow("frequency input range") << QString() << QByteArrayList{"conf:freq", "conf:auto 0"}
                                       << u"FREQ 0 10 | NON 1 1"_s;
    QTest::newRow("period 750 V input") << u"func1=P,range1=750V"_s << QByteArrayList{}
                                       << u"PER 0 750 | NON 1 1"_s;
}

void TestSimState::displaysKeepToThemselves()
{
    QFETCH(QString, state);
    QFETCH(QByteArrayList, commands);
    QFETCH(QString, both);
    sim::Instrument instrument;
    QString why;
    QVERIFY2(instrument.setStates(state, &why), qPrintable(why));
    for (const QByteArray &command : commands)
        QVERIFY(!instrument.handle(command));
    auto display = [&instrument](const QByteArray &header) {
        QByteArrayList replies;
        for (const char *query : {":func?", ":auto?", ":rang?"})
            replies << instrument.handle(header + query).value_or("<none>");
        return QString::fromLatin1(replies.join(' '));
    };
    QCOMPARE(display("conf") + u" | "_s + display("conf2"), both);
}

// Commands the other tests leave out, with arguments the instrument takes
// and ones it ignores (the state stays).
void TestSimState::commandsSetTheirState_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QByteArrayList>("commands");
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("unit F")                 << QString() << QByteArrayList{"UNIT F"}
                                            << QByteArray("unit") << QByteArray("F");
    QTest::newRow("unit K ignored")         << QString() << QByteArrayList{"unit k"}
                                            << QByteArray("unit") << QByteArray("C");
    QTest::newRow("thermocouple J")         << QString() << QByteArrayList{"CONF:TEMP:TCO J"}
                                            << QByteArray("tco") << QByteArray("J");
    QTest::newRow("thermocouple X ignored") << QString() << QByteArrayList{"conf:temp:tco x"}
                                            << QByteArray("tco") << QByteArray("K");
    QTest::newRow("hold reference")         << QString() << QByteArrayList{"CALC:HOLD:REF 1"}
                                            << QByteArray("holdref") << QByteArray("1");
    QTest::newRow("hold reference word")    << QString() << QByteArrayList{"calc:hold:ref big"}
                                            << QByteArray("holdref") << QByteArray("0.1");
    QTest::newRow("math function")          << QString() << QByteArrayList{"CALC:FUNC REL"}
                                            << QByteArray("calcfunc") << QByteArray("rel");
    QTest::newRow("off,rel ends rel")       << QString() << QByteArrayList{"calc:func rel", "calc:func off,rel"}
                                            << QByteArray("calcfunc") << QByteArray("off");
    QTest::newRow("off,hold leaves rel")    << QString() << QByteArrayList{"calc:func rel", "calc:func off,hold"}
                                            << QByteArray("calcfunc") << QByteArray("rel");
    QTest::newRow("rate by letter")         << QString() << QByteArrayList{"SENS:DET:RATE F"}
                                            << QByteArray("rate") << QByteArray("F");
    QTest::newRow("filter count")           << QString() << QByteArrayList{"SENS:AVER:COUN 5"}
                                            << QByteArray("filtcount") << QByteArray("5");
    QTest::newRow("filter count too large") << QString() << QByteArrayList{"sens:aver:coun 101"}
                                            << QByteArray("filtcount") << QByteArray("10");
    QTest::newRow("trigger delay word")     << QString() << QByteArrayList{"trig:del soon"}
                                            << QByteArray("trigdel") << QByteArray("0");
    QTest::newRow("NPLC of DC current")     << u"func1=DCI"_s << QByteArrayList{"SENS:CURR:DC:NPLC 3"}
                                            << QByteArray("nplc1") << QByteArray("3");
    QTest::newRow("NPLC of 4W")             << u"func1=4W"_s << QByteArrayList{"sens:fres:dc:nplc 0.5"}
                                            << QByteArray("nplc1") << QByteArray("0.5");
    QTest::newRow("NPLC of 2W")             << u"func1=2W"_s << QByteArrayList{"sens:res:dc:nplc 10"}
                                            << QByteArray("nplc1") << QByteArray("10");
    QTest::newRow("NPLC above 100")         << QString() << QByteArrayList{"sens:volt:dc:nplc 101"}
                                            << QByteArray("nplc1") << QByteArray();
    QTest::newRow("any band undoes NPLC")   << QString() << QByteArrayList{"sens:volt:dc:nplc 1", "sens:det:band 7"}
                                            << QByteArray("nplc1") << QByteArray();
    QTest::newRow("gate time 1 s is slow")  << QString() << QByteArrayList{"sens:freq:aper 1"}
                                            << QByteArray("rate") << QByteArray("S");
    QTest::newRow("gate time 10 ms is fast") << QString() << QByteArrayList{"SENS:FREQ:APER 0.01"}
                                            << QByteArray("rate") << QByteArray("F");
    QTest::newRow("gate time 2 s ignored")  << QString() << QByteArrayList{"sens:freq:aper 2"}
                                            << QByteArray("rate") << QByteArray("M");
    QTest::newRow("compare on")             << QString() << QByteArrayList{"calc:func comp"}
                                            << QByteArray("calcfunc") << QByteArray("comp");
    QTest::newRow("calc:stat 0 ends math")  << QString() << QByteArrayList{"calc:func comp", "calc:stat 0"}
                                            << QByteArray("calcfunc") << QByteArray("off");
    QTest::newRow("thermocouple measures temperature") << QString() << QByteArrayList{"CONF:TEMP:TCO J"}
                                            << QByteArray("func1") << QByteArray("TEMP:TCO");
}

void TestSimState::commandsSetTheirState()
{
    QFETCH(QString, state);
    QFETCH(QByteArrayList, commands);
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, value);
    sim::Instrument instrument;
    QString why;
    QVERIFY2(instrument.setStates(state, &why), qPrintable(why));
    for (const QByteArray &command : commands)
        QVERIFY(!instrument.handle(command));
    QCOMPARE(instrument.field(field), std::optional<QByteArray>(value));
    QVERIFY(instrument.errorQueue().empty());
}

// A name is a state key or a reply field as a whole, in its letter case:
// never a part of one, nor one with more after it.
void TestSimState::unknownNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("part of a key")      << u"func"_s;
    QTest::newRow("a key and more")     << u"display12"_s;
    QTest::newRow("letter case")        << u"Func1"_s;
    QTest::newRow("reply without colon") << u"reply"_s;
    QTest::newRow("nothing")            << QString();
}

void TestSimState::unknownNames()
{
    QFETCH(QString, name);
    sim::Instrument instrument;
    QString why;
    QVERIFY(!instrument.setState(name, u"1", &why));
    QVERIFY2(why.contains(u'"' + name + u'"') && why.contains(u"reply:QUERY"), qPrintable(why));
    QCOMPARE(instrument.field(name.toLatin1()), std::nullopt);
    QCOMPARE(instrument.handle("read?").value_or("<none>").left(4), QByteArray("+1.2"));  // nothing was set
}

QTEST_GUILESS_MAIN(TestSimState)
#include "tst_sim_state.moc"
