// The REL key's second-display value: "val2?" scaled in steps of 1.9 x 10^k
// on display 2 with at most one prefix lamp and the REL lamp, and nothing at
// all without a number to show.

#include "display/glyph_words.h"
#include "keys/rel_key.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace display;

class TestRelKey : public QObject
{
    Q_OBJECT

private slots:
    void secondDisplayValue_data();
    void secondDisplayValue();
    void nothingToShowChangesNothing_data();
    void nothingToShowChangesNothing();
};

void TestRelKey::secondDisplayValue_data()
{
    QTest::addColumn<QString>("value");  // the instrument's display 2
    QTest::addColumn<QString>("shown2");
    QTest::addColumn<QStringList>("lamps");

    QTest::newRow("zero is micro")       << u"0"_s << u"000.000"_s << QStringList{u"T_u_LAB2"_s};
    QTest::newRow("0.00019 is milli")    << u"0.00019"_s << u"0.19000"_s << QStringList{u"T_min_LAB2"_s};
    QTest::newRow("0.5, no prefix")      << u"0.5"_s << u"0.50000"_s << QStringList{};
    QTest::newRow("1.5 overloads 6 digits") << u"1.5"_s << u"_._OL__"_s << QStringList{};
    QTest::newRow("-2.5")                << u"-2.5"_s << u"[SUB]2.5000"_s << QStringList{};
    QTest::newRow("1900 is kilo")        << u"1900"_s << u"01.9000"_s << QStringList{u"T_K_LAB2"_s};
    QTest::newRow("50E6 is mega")        << u"5E7"_s << u"050.000"_s << QStringList{u"T_M_LAB2"_s};
}

void TestRelKey::secondDisplayValue()
{
    QFETCH(QString, value);
    QFETCH(QString, shown2);
    QFETCH(QStringList, lamps);
    PanelFixture f;
    darken(f.display);
    f.linkUp();
    QVERIFY(f.sim.instrument.setStates(u"display2="_s + value));
    f.display.setLit(Lamp::T_A_LAB2, true);  // no lamp is hidden

    keys::REL_NUM_CHK(f.panel);

    QCOMPARE(f.sim.written, QStringList{u"val2?\\10"_s});
    QCOMPARE(::shown2(f.display), shown2);
    QCOMPARE(litLamps(f.display), lampSet(lamps + QStringList{u"REL_LAB"_s, u"T_A_LAB2"_s}));
}

void TestRelKey::nothingToShowChangesNothing_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("reply");  // empty: the instrument says nothing
    QTest::newRow("link down")     << false << u"0.5"_s;
    QTest::newRow("not a number")  << true << u"abc"_s;
    QTest::newRow("no reply")      << true << QString();
}

void TestRelKey::nothingToShowChangesNothing()
{
    QFETCH(bool, link);
    QFETCH(QString, reply);
    PanelFixture f;
    darken(f.display);
    DIS2_SHOW_RANGE(f.display, u"1", u"2", u"3", u"4", u"5", u"6");
    if (reply.isEmpty())
        f.sim.faults.silentAfter = 1;
    if (link) {
        f.linkUp();
        f.sim.link.setReplyBound(std::chrono::milliseconds(100));
        f.sim.link.setQuietTime(std::chrono::milliseconds(10));
        QVERIFY(f.sim.link.Write(u"*CLS"_s));  // the one command that is heard
        f.sim.written.clear();
    }
    if (!reply.isEmpty())
        QVERIFY(f.sim.instrument.setStates(u"reply:val2?="_s + reply));

    keys::REL_NUM_CHK(f.panel);

    QCOMPARE(shown2(f.display), u"123456"_s);
    QVERIFY(litLamps(f.display).isEmpty());
    QCOMPARE(f.sim.written, link ? QStringList{u"val2?\\10"_s} : QStringList{});
}

QTEST_GUILESS_MAIN(TestRelKey)
#include "tst_rel_key.moc"
