// The simulated instrument behind the set-up menus and the function keys:
// the filter, the compare limits, the temperature sensor, the hold, REL,
// MAX/MIN, dBm and math settings. Each setting is set by its command (as
// the program writes it, any letter case) or by its state key, and read
// back by its query and by its field.

#include "sim/instrument.h"
#include "support/sim_link.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestSimMenus : public QObject
{
    Q_OBJECT

private slots:
    void settingsReadBack_data();
    void settingsReadBack();
    void badStateValues_data();
    void badStateValues();
    void relTakesDisplay1Once();
    void holdReferenceStepsOverTheChannel();
};

namespace {

// A query's reply, or a field's value for a name without "?".
QByteArray probe(sim::Instrument &instrument, const QByteArray &name)
{
    if (name.contains('?'))
        return instrument.handle(name).value_or("<none>");
    return instrument.field(name).value_or("<no field>");
}

} // namespace

void TestSimMenus::settingsReadBack_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QByteArrayList>("commands");  // sent before the probe
    QTest::addColumn<QByteArray>("probe");         // a query, or a field name
    QTest::addColumn<QByteArray>("expected");

    const QByteArrayList none;
    using L = QByteArrayList;

    // Filter.
    QTest::newRow("filter count, bare")    << QString() << none << QByteArray("sens:aver:coun?") << QByteArray("10");
    QTest::newRow("filter count set")      << QString() << L{"sens:aver:coun 25"} << QByteArray("sens:aver:coun?") << QByteArray("25");
    QTest::newRow("filter count key")      << u"filtcount=100"_s << none << QByteArray("SENS:AVER:COUN?") << QByteArray("100");
    QTest::newRow("filter on")             << QString() << L{"sens:aver:stat 1"} << QByteArray("sens:aver:stat?") << QByteArray("1");
    QTest::newRow("filter off")            << u"filter=1"_s << L{"sens:aver:stat 0"} << QByteArray("sens:aver:stat?") << QByteArray("0");
    QTest::newRow("filter type moving")    << QString() << none << QByteArray("filttype") << QByteArray("MOV");
    QTest::newRow("filter type repeating") << QString() << L{"sens:aver:tcon rep"} << QByteArray("filttype") << QByteArray("REP");
    QTest::newRow("filter type back")      << u"filttype=REP"_s << L{"SENS:AVER:TCON MOV"} << QByteArray("filttype") << QByteArray("MOV");
    QTest::newRow("filter type word kept") << QString() << L{"sens:aver:tcon avg"} << QByteArray("filttype") << QByteArray("MOV");

    // Compare limits: set in any number form, read in the reading form.
    QTest::newRow("upper limit at start")  << QString() << none << QByteArray("calc:lim:upp?") << QByteArray("+1.000000E+00");
    QTest::newRow("upper limit whole")     << QString() << L{"calc:lim:upp 5"} << QByteArray("calc:lim:upp?") << QByteArray("+5.000000E+00");
    QTest::newRow("upper limit decimal")   << QString() << L{"calc:lim:upp 1.5"} << QByteArray("calc:lim:upp?") << QByteArray("+1.500000E+00");
    QTest::newRow("upper limit exponent")  << QString() << L{"CALC:LIM:UPP -1.5E-3"} << QByteArray("calc:lim:upp?") << QByteArray("-1.500000E-03");
    QTest::newRow("upper limit small")     << QString() << L{"calc:lim:upp 0.001"} << QByteArray("limupp") << QByteArray("+1.000000E-03");
    QTest::newRow("upper limit word kept") << QString() << L{"calc:lim:upp high"} << QByteArray("calc:lim:upp?") << QByteArray("+1.000000E+00");
    QTest::newRow("lower limit")           << QString() << L{"calc:lim:low -2"} << QByteArray("CALC:LIM:LOW?") << QByteArray("-2.000000E+00");
    QTest::newRow("lower leaves upper")    << QString() << L{"calc:lim:low 3"} << QByteArray("calc:lim:upp?") << QByteArray("+1.000000E+00");
    QTest::newRow("limit key")             << u"limlow=-0.25"_s << none << QByteArray("calc:lim:low?") << QByteArray("-2.500000E-01");
    QTest::newRow("compare on")            << QString() << L{"calc:lim:low 0", "calc:func comp"} << QByteArray("calcfunc") << QByteArray("comp");
    QTest::newRow("compare keeps readings") << u"display1=2.5,display2=1"_s << L{"calc:func comp"} << QByteArray("read?")
                                            << QByteArray("+2.500000E+00,+1.000000E+00");

    // Temperature sensor.
    QTest::newRow("thermocouple type set") << QString() << L{"sens:temp:tco:type T"} << QByteArray("SENS:TEMP:TCO:TYPE?") << QByteArray("T");
    QTest::newRow("type keeps function")   << QString() << L{"sens:temp:tco:type J"} << QByteArray("conf:func?") << QByteArray("VOLT");
    QTest::newRow("type Q ignored")        << QString() << L{"sens:temp:tco:type Q"} << QByteArray("sens:temp:tco:type?") << QByteArray("K");
    QTest::newRow("type two letters")      << QString() << L{"sens:temp:tco:type KJ"} << QByteArray("tco") << QByteArray("K");
    QTest::newRow("junction in hundredths") << QString() << none << QByteArray("SENS:TEMP:RJUN:SIM?") << QByteArray("2300");
    QTest::newRow("junction set in degrees") << QString() << L{"SENS:TEMP:RJUN:SIM 023.50"} << QByteArray("sens:temp:rjun:sim?") << QByteArray("2350");
    QTest::newRow("junction confirmed unchanged") << QString() << L{"SENS:TEMP:RJUN:SIM 023.00"} << QByteArray("rjunsim") << QByteArray("2300");
    QTest::newRow("junction rounds")       << QString() << L{"sens:temp:rjun:sim 1.005"} << QByteArray("rjunsim") << QByteArray("100");
    QTest::newRow("junction too hot")      << QString() << L{"sens:temp:rjun:sim 1000"} << QByteArray("rjunsim") << QByteArray("2300");
    QTest::newRow("junction key")          << u"rjunsim=1850"_s << none << QByteArray("SENS:TEMP:RJUN:SIM?") << QByteArray("1850");
    QTest::newRow("alpha at start")        << QString() << none << QByteArray("SENS:TEMP:RTD:ALPH?") << QByteArray("+3.850000E-03");
    QTest::newRow("alpha set")             << QString() << L{"SENS:TEMP:RTD:ALPH 00.00392"} << QByteArray("SENS:TEMP:RTD:ALPH?") << QByteArray("+3.920000E-03");
    QTest::newRow("beta set")              << QString() << L{"SENS:TEMP:RTD:BETA 00.11000"} << QByteArray("SENS:TEMP:RTD:BETA?") << QByteArray("+1.100000E-01");
    QTest::newRow("delta set")             << QString() << L{"SENS:TEMP:RTD:DELT 01.50000"} << QByteArray("SENS:TEMP:RTD:DELT?") << QByteArray("+1.500000E+00");
    QTest::newRow("beta leaves alpha")     << QString() << L{"SENS:TEMP:RTD:BETA 1"} << QByteArray("rtdalpha") << QByteArray("+3.850000E-03");

    // Hold reference: plain and short, as the arrow keys compare it.
    QTest::newRow("hold reference at start") << QString() << none << QByteArray("CALC:HOLD:REF?") << QByteArray("0.1");
    QTest::newRow("hold reference 10")     << QString() << L{"calc:hold:ref 10"} << QByteArray("calc:hold:ref?") << QByteArray("10");
    QTest::newRow("hold reference 0.01")   << QString() << L{"calc:hold:ref 0.01"} << QByteArray("CALC:HOLD:REF?") << QByteArray("0.01");
    QTest::newRow("hold reference 1.0")    << QString() << L{"calc:hold:ref 1.0"} << QByteArray("CALC:HOLD:REF?") << QByteArray("1");
    QTest::newRow("hold on")               << QString() << L{"calc:func hold"} << QByteArray("calcfunc") << QByteArray("hold");
    QTest::newRow("off,hold ends hold")    << QString() << L{"calc:func hold", "CALC:FUNC OFF,HOLD"} << QByteArray("calcfunc") << QByteArray("off");

    // dBm reference.
    QTest::newRow("dBm reference")         << QString() << L{"calc:dbm:ref 8000"} << QByteArray("dbmref") << QByteArray("8000");
    QTest::newRow("dBm reference 2")       << u"dbmref=50"_s << L{"calc:dbm:ref 2"} << QByteArray("dbmref") << QByteArray("2");
    QTest::newRow("dBm reference 0 kept")  << QString() << L{"calc:dbm:ref 0"} << QByteArray("dbmref") << QByteArray("600");

    // REL and MAX/MIN.
    QTest::newRow("val1? reading form")    << u"display1=0"_s << none << QByteArray("val1?") << QByteArray("+0.000000E+00");
    QTest::newRow("val1? overload")        << u"display1=ol"_s << none << QByteArray("val1?") << QByteArray(sim::kOverloadReading);
    QTest::newRow("val2? overload")        << u"func2=DCV,display2=ol"_s << none << QByteArray("val2?") << QByteArray(sim::kOverloadReading);
    QTest::newRow("val2? display 2 off")   << QString() << none << QByteArray("val2?") << QByteArray("+0.000000E+00");
    QTest::newRow("REL reference set")     << QString() << L{"calc:func rel", "calc:rel:ref 0.5"} << QByteArray("CALC:REL:REF?") << QByteArray("+5.000000E-01");
    QTest::newRow("REL reference key")     << u"relref=-3"_s << none << QByteArray("CALC:REL:REF?") << QByteArray("-3.000000E+00");
    QTest::newRow("off,rel ends rel")      << QString() << L{"calc:func rel", "CALC:FUNC OFF,REL"} << QByteArray("calcfunc") << QByteArray("off");
    QTest::newRow("off,max ends max")      << QString() << L{"calc:func max", "CALC:FUNC OFF,MAX"} << QByteArray("calcfunc") << QByteArray("off");
    QTest::newRow("off,max leaves min")    << QString() << L{"calc:func min", "CALC:FUNC OFF,MAX"} << QByteArray("calcfunc") << QByteArray("min");
    QTest::newRow("maximum, one field")    << u"display1=-4"_s << L{"calc:func max"} << QByteArray("CALC:MAX?") << QByteArray("-4.000000E+00");
    QTest::newRow("minimum, one field")    << u"display1=7"_s << L{"calc:func min"} << QByteArray("CALC:MIN?") << QByteArray("+7.000000E+00");
    QTest::newRow("math channel 1")        << QString() << L{"syst:math:chan 1"} << QByteArray("mathchan") << QByteArray("1");
    QTest::newRow("math channel 0")        << u"mathchan=1"_s << L{"SYST:MATH:CHAN 0"} << QByteArray("mathchan") << QByteArray("0");
    QTest::newRow("math channel 2 kept")   << QString() << L{"syst:math:chan 2"} << QByteArray("mathchan") << QByteArray("0");

    // Math parameters.
    QTest::newRow("math M at start")       << QString() << none << QByteArray("calc:math:mmf?") << QByteArray("+1.000000E+00");
    QTest::newRow("math M set")            << QString() << L{"calc:math:mmf 2.5E+3"} << QByteArray("calc:math:mmf?") << QByteArray("+2.500000E+03");
    QTest::newRow("math B set")            << QString() << L{"calc:math:mbf -0.5"} << QByteArray("calc:math:mbf?") << QByteArray("-5.000000E-01");
    QTest::newRow("math REF% set")         << QString() << L{"calc:math:perc 25"} << QByteArray("calc:math:perc?") << QByteArray("+2.500000E+01");
    QTest::newRow("math B leaves M")       << QString() << L{"calc:math:mbf 9"} << QByteArray("mathmmf") << QByteArray("+1.000000E+00");
}

void TestSimMenus::settingsReadBack()
{
    QFETCH(QString, state);
    QFETCH(QByteArrayList, commands);
    QFETCH(QByteArray, probe);
    QFETCH(QByteArray, expected);
    sim::Instrument instrument;
    QString why;
    QVERIFY2(instrument.setStates(state, &why), qPrintable(why));
    for (const QByteArray &command : commands)
        QVERIFY(!instrument.handle(command));
    QCOMPARE(::probe(instrument, probe), expected);
    QVERIFY(instrument.errorQueue().empty());
}

void TestSimMenus::badStateValues_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("filter type word")      << u"filttype=avg"_s;
    QTest::newRow("junction in degrees")   << u"rjunsim=23.5"_s;
    QTest::newRow("dBm reference 0")       << u"dbmref=0"_s;
    QTest::newRow("math channel 2")        << u"mathchan=2"_s;
    QTest::newRow("limit not a number")    << u"limupp=high"_s;
    QTest::newRow("coefficient infinite")  << u"rtdalpha=inf"_s;
}

void TestSimMenus::badStateValues()
{
    QFETCH(QString, state);
    sim::Instrument instrument;
    const QByteArray key = state.section(u'=', 0, 0).toLatin1();
    const QByteArray before = instrument.field(key).value_or("<no field>");
    QString why;
    QVERIFY(!instrument.setStates(state, &why));
    QVERIFY2(why.contains(QString::fromLatin1(key)), qPrintable(why));
    QCOMPARE(instrument.field(key).value_or("<no field>"), before);
}

// REL going on takes the value display 1 shows, without taking a reading
// of its own (numbered readings go on from where they were); sent again
// while REL is on, it keeps its reference.
void TestSimMenus::relTakesDisplay1Once()
{
    sim::Instrument instrument;
    QVERIFY(instrument.setStates(u"display1=2.5"_s));
    instrument.handle("calc:func rel");
    QVERIFY(instrument.setState(u"display1", u"3"));
    instrument.handle("calc:func rel");
    QCOMPARE(instrument.handle("CALC:REL:REF?"), QByteArray("+2.500000E+00"));
    instrument.handle("CALC:FUNC OFF,REL");
    instrument.handle("calc:func rel");
    QCOMPARE(instrument.handle("CALC:REL:REF?"), QByteArray("+3.000000E+00"));

    QVERIFY(instrument.setStates(u"numbered=1"_s));
    instrument.handle("read?");
    instrument.handle("read?");
    instrument.handle("calc:func off");
    instrument.handle("calc:func rel");
    QCOMPARE(instrument.handle("CALC:REL:REF?"), QByteArray("+2.000000E+00"));
    QCOMPARE(instrument.handle("val1?"), QByteArray("+3.000000E+00"));
}

// Both readers of the hold reference drop the reply's last character, the
// CR the channel keeps: what is left must be one of the steps as text.
void TestSimMenus::holdReferenceStepsOverTheChannel()
{
    SimLink sim;
    QVERIFY(sim.open());
    for (const char *step : {"0.01", "0.1", "1", "10"}) {
        QVERIFY(sim.link.Write(u"calc:hold:ref "_s + QLatin1StringView(step) + u"\\10"_s));
        QVERIFY(sim.link.Write(u"CALC:HOLD:REF?\\10"_s));
        const std::optional<QString> reply = sim.link.Read();
        QVERIFY(reply);
        QCOMPARE(reply->chopped(1), QLatin1StringView(step));
    }
    QCOMPARE(sim.instrument.field("holdref"), std::optional<QByteArray>("10"));
}

QTEST_GUILESS_MAIN(TestSimMenus)
#include "tst_sim_menus.moc"
