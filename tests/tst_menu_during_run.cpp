// A normal run while a set-up menu is open: the readings are taken,
// interpreted, listed and recorded exactly as without the menu (the query
// and the display-2 scaling follow the measurement display as it stood
// before the menu cleared it), and the menu's displays stay as it drew them.

#include "keys/key_dispatcher.h"
#include "keys/shift_key.h"
#include "platform/panel_timer.h"
#include "support/display_reading.h"
#include "support/run_fixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using display::Lamp;

namespace {

constexpr int kMXMN = 14;

// What an eye sees on the panel.
struct Seen
{
    QString one;
    QString two;
    QSet<QString> lamps;
    bool operator==(const Seen &) const = default;
};

Seen seen(const display::DisplayModel &d)
{
    return {shown1(d), shown2(d), litLamps(d)};
}

struct Run
{
    bool simReady = false;
    QList<QByteArray> records;
    QStringList queries;  // the reading queries, in order
    bool menuOpenAtEnd = false;
    QString display1AtEnd;
};

// A 6 s run at 1000 ms; with `menuAt` the filter set-up opens then through
// SHIFT and MXMN and stays open. `menuShown` gets what the menu showed right
// after it opened and again before the last pass.
Run run(const QString &simState, const QStringList &lit, bool display2, std::optional<runs::Nanos> menuAt,
        QList<Seen> *menuShown = nullptr, std::optional<runs::Nanos> shiftAt = std::nullopt)
{
    rt::ManualTimerClock timers;  // the blink stays still
    RunFixture t(sim::Faults{}, u"0.1"_s);
    Run r;
    r.simReady = t.f.sim.instrument.setStates(simState + u",filtcount=10"_s);
    for (const QString &name : lit)
        t.f.display.setLit(lampNamed(name), true);
    if (display2) {
        t.f.state.MODE2_ON = true;
        t.f.state.MODE2 = u"ACV"_s;
        t.f.state.MODE2_RANGE = u"AUTO"_s;
    }
    if (menuAt) {
        t.clock.at(*menuAt, [&] {
            keys::SHIFT_IMG_MouseDown(t.f.panel);
            keys::SHIFT_IMG_MouseUp(t.f.panel);
            keys::BUTT1_IMG_MouseDown(t.f.panel, kMXMN);
            keys::BUTT1_IMG_MouseUp(t.f.panel, kMXMN);
            if (menuShown)
                menuShown->append(seen(t.f.display));
        });
        t.clock.at(5500ms, [&] {
            if (menuShown)
                menuShown->append(seen(t.f.display));
        });
    }
    if (shiftAt) {
        t.clock.at(*shiftAt, [&] {
            keys::SHIFT_IMG_MouseDown(t.f.panel);
            keys::SHIFT_IMG_MouseUp(t.f.panel);
        });
    }
    t.start();
    t.runTicks();
    r.menuOpenAtEnd = t.f.state.FILT_SET;
    r.display1AtEnd = shown1(t.f.display);
    r.records = RunFixture::records(t.files().value(0));
    for (const QString &text : std::as_const(t.f.sim.written))
        if (text.startsWith(u"read?") || text.startsWith(u"CALC:M"))
            r.queries.append(text);
    return r;
}

} // namespace

class TestMenuDuringRun : public QObject
{
    Q_OBJECT

private slots:
    void sameRecordsWithMenuOpen_data();
    void sameRecordsWithMenuOpen();
    void readingsShownAgainAfterTheMenu();
};

void TestMenuDuringRun::sameRecordsWithMenuOpen_data()
{
    QTest::addColumn<QString>("simState");
    QTest::addColumn<QStringList>("lit");
    QTest::addColumn<bool>("display2");
    QTest::addColumn<QString>("query");

    QTest::newRow("MAX lit: the maximum is still asked") << u"func1=DCV"_s
        << QStringList{u"DC_LAB1"_s, u"AUTO_LAB1"_s, u"MAX_LAB"_s} << false << u"CALC:MAX?\r\n"_s;
    QTest::newRow("display 2 on auto: still scaled by its lamp") << u"func1=DCV,func2=ACV,auto2=1"_s
        << QStringList{u"DC_LAB1"_s, u"AUTO_LAB1"_s, u"AC_LAB2"_s, u"AUTO_LAB2"_s} << true
        << u"read? buf\\10"_s;
}

void TestMenuDuringRun::sameRecordsWithMenuOpen()
{
    QFETCH(QString, simState);
    QFETCH(QStringList, lit);
    QFETCH(bool, display2);
    QFETCH(QString, query);

    const Run plain = run(simState, lit, display2, std::nullopt);
    QList<Seen> menu;
    const Run withMenu = run(simState, lit, display2, 2500ms, &menu);

    QVERIFY(plain.simReady && withMenu.simReady);
    QVERIFY(withMenu.menuOpenAtEnd);
    QCOMPARE(plain.records.size(), 6);
    QCOMPARE(withMenu.records, plain.records);
    QCOMPARE(withMenu.queries, QStringList(6, query));
    QCOMPARE(menu.size(), 2);
    QCOMPARE(menu[0].one, u"CNT.*_010"_s);
    QCOMPARE(menu[1].one, menu[0].one);
    QCOMPARE(menu[1].two, menu[0].two);
    QCOMPARE(menu[1].lamps, menu[0].lamps);
}

// SHIFT leaves the menu in the middle of the run: the passes after it draw
// on the panel again, and the records are those of a run without the menu.
void TestMenuDuringRun::readingsShownAgainAfterTheMenu()
{
    const QStringList lit = {u"DC_LAB1"_s, u"AUTO_LAB1"_s};
    const Run plain = run(u"func1=DCV"_s, lit, false, std::nullopt);
    const Run withMenu = run(u"func1=DCV"_s, lit, false, 1500ms, nullptr, 3500ms);

    QVERIFY(!withMenu.menuOpenAtEnd);
    QCOMPARE(withMenu.records, plain.records);
    QCOMPARE(withMenu.display1AtEnd, plain.display1AtEnd);
    QVERIFY(withMenu.display1AtEnd.startsWith(u"01.2"_s));
}

QTEST_GUILESS_MAIN(TestMenuDuringRun)
#include "tst_menu_during_run.moc"
