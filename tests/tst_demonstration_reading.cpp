// The demonstration reading with the platform's clock and random source
// fixed: the reading for each range, its digits, point and sign on display
// 1, the text with the range's unit (none without a leading number), the
// START lamp blinking; and the program's own generator reseeded from the
// time of day.

#include "platform/random_source.h"
#include "platform/time_of_day.h"
#include "reading/reply_parser.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace display;

class TestDemonstrationReading : public QObject
{
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void reseedsFromTheTimeOfDay();
    void programGeneratorStaysInRange_data();
    void programGeneratorStaysInRange();
};

namespace {

// Hands out the draws it was given, in order, and remembers each seed.
class ScriptedDraws final : public rt::RandomSource
{
public:
    explicit ScriptedDraws(QList<double> draws) : m_draws(std::move(draws)) {}
    void reseed(float seed) override { seeds.append(seed); }
    double next() override { return m_draws.isEmpty() ? 0 : m_draws.takeFirst(); }
    QList<float> seeds;
    qsizetype left() const { return m_draws.size(); }

private:
    QList<double> m_draws;
};

// The draw r that gives Int(r x span) = n.
double drawFor(double n, double span)
{
    return (n + 0.5) / span;
}

} // namespace

void TestDemonstrationReading::reading_data()
{
    QTest::addColumn<QString>("range");
    QTest::addColumn<QList<double>>("draws");  // sign, whole part, decimals
    QTest::addColumn<QString>("display1");
    QTest::addColumn<QString>("shown1");

    const double plus = 0.2, minus = 0.7;
    QTest::newRow("1V, decimals 45")  << u"1V"_s << QList<double>{plus, 0.99, drawFor(45, 99999)}
                                      << u"0.45V"_s << u"_0.00045"_s;
    QTest::newRow("10V")              << u"10V"_s << QList<double>{plus, 0.95, drawFor(1234, 9999)}
                                      << u"18.1234V"_s << u"_18.1234"_s;
    QTest::newRow("100mV, negative")  << u"100mV"_s << QList<double>{minus, 0.63, drawFor(345, 999)}
                                      << u"-126.345mV"_s << u"[SUB]126.345"_s;
    QTest::newRow("1000V")            << u"1000V"_s << QList<double>{plus, 0.9995, drawFor(98, 99)}
                                      << u"1998.98V"_s << u"_1998.98"_s;
    QTest::newRow("750V: seven digits") << u"750V"_s << QList<double>{plus, 0.999}
                                      << u"1498.750V"_s << u"1498750"_s;
    QTest::newRow("750V, negative")   << u"750V"_s << QList<double>{minus, 0.999}
                                      << u"-1498.750V"_s << u"[-1]498750"_s;
    QTest::newRow("750V, six digits") << u"750V"_s << QList<double>{minus, 0.5}
                                      << u"-750.750V"_s << u"[SUB]750750"_s;
    QTest::newRow("10K ohms")         << u"10K"_s << QList<double>{plus, 0.0, drawFor(7, 9999)}
                                      << u"0.7K"_s << u"_00.0007"_s;
    QTest::newRow("100 ohms: no unit") << u"100"_s << QList<double>{plus, 0.5, drawFor(12, 999)}
                                      << u"100.12"_s << u"_010.012"_s;
    QTest::newRow("AUTO: zeros")      << u"AUTO"_s << QList<double>{plus, 0.9}
                                      << u"0.0"_s << u"_000000"_s;
    QTest::newRow("temperature: no label") << u""_s << QList<double>{minus, 0.9}
                                      << u"-0.0"_s << u"[SUB]000000"_s;
}

void TestDemonstrationReading::reading()
{
    QFETCH(QString, range);
    QFETCH(QList<double>, draws);
    QFETCH(QString, display1);
    QFETCH(QString, shown1);
    ScriptedDraws random(draws);
    rt::ScopedRandomSource useIt(random);
    rt::FixedTimeOfDay now(3600);
    PanelFixture f;  // no link at all
    darken(f.display);
    f.display.setLit(Points::DROP_IMG, 5, true);  // an earlier point goes dark
    f.state.MODE1_RANGE = range;
    f.state.DISPLAY2 = u"before"_s;

    reading::RANDOM_READ_SHOW(f.panel);

    QCOMPARE(f.state.DISPLAY1, display1);
    QCOMPARE(f.state.DISPLAY2, QString());
    QCOMPARE(::shown1(f.display), shown1);
    QCOMPARE(random.left(), 0);  // every draw used, none more
    QVERIFY(f.display.isLit(Lamp::START_LAB));
    reading::RANDOM_READ_SHOW(f.panel);
    QVERIFY(!f.display.isLit(Lamp::START_LAB));  // blinks once per reading
}

void TestDemonstrationReading::reseedsFromTheTimeOfDay()
{
    ScriptedDraws random({});
    rt::ScopedRandomSource useIt(random);
    PanelFixture f;
    f.state.MODE1_RANGE = u"10V"_s;
    {
        rt::FixedTimeOfDay now(45296.25);
        reading::RANDOM_READ_SHOW(f.panel);
        now.set(86399.5);
        reading::RANDOM_READ_SHOW(f.panel);
    }
    QCOMPARE(random.seeds, (QList<float>{45296.25f, 86399.5f}));
    const double clock = rt::secondsSinceMidnight();  // the real clock is back
    QVERIFY(clock >= 0 && clock < 86400);
}

void TestDemonstrationReading::programGeneratorStaysInRange_data()
{
    QTest::addColumn<QString>("range");
    QTest::addColumn<int>("largestWhole");
    QTest::addColumn<int>("largestDecimals");
    QTest::newRow("1V")    << u"1V"_s << 0 << 99998;
    QTest::newRow("10V")   << u"10V"_s << 18 << 9998;
    QTest::newRow("100mV") << u"100mV"_s << 198 << 998;
    QTest::newRow("1000V") << u"1000V"_s << 1998 << 98;
    QTest::newRow("750V")  << u"750V"_s << 1498 << 750;
}

void TestDemonstrationReading::programGeneratorStaysInRange()
{
    QFETCH(QString, range);
    QFETCH(int, largestWhole);
    QFETCH(int, largestDecimals);
    PanelFixture f;
    f.state.MODE1_RANGE = range;
    rt::FixedTimeOfDay now(0);
    QSet<QString> seen;
    for (int i = 0; i < 2000; ++i) {
        now.set(i * 0.25);
        reading::RANDOM_READ_SHOW(f.panel);
        QString text = f.state.DISPLAY1;
        if (text.startsWith(u'-'))
            text.remove(0, 1);
        const qsizetype point = text.indexOf(u'.');
        const int whole = text.left(point).toInt();
        const int decimals = text.mid(point + 1).toInt();  // stops at the unit
        QVERIFY2(whole % 2 == 0 && whole >= 0 && whole <= largestWhole, qPrintable(text));
        QVERIFY2(decimals >= 0 && decimals <= largestDecimals, qPrintable(text));
        seen.insert(f.state.DISPLAY1);
    }
    QVERIFY(seen.size() > 100);
    // The same time of day gives the same reading.
    now.set(7.25);
    reading::RANDOM_READ_SHOW(f.panel);
    const QString first = f.state.DISPLAY1;
    reading::RANDOM_READ_SHOW(f.panel);
    QCOMPARE(f.state.DISPLAY1, first);
}

QTEST_GUILESS_MAIN(TestDemonstrationReading)
#include "tst_demonstration_reading.moc"
