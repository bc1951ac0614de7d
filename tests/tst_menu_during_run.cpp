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
    QList<QByteArray> records;
    QStringList queries;  // the reading queries, in order
};

// A 6 s run at 1000 ms; with `menuAt` the filter set-up opens then through
// SHIFT and MXMN and stays open. `menuShown` gets what the menu showed right
// after it opened and again before the last pass.
Run run(const QString &simState, const QStringList &lit, bool display2, std::optional<runs::Nanos> menuAt,
        QList<Seen> *menuShown = nullptr)
{
    rt::ManualTimerClock timers;  // the blink stays still
    RunFixture t(sim::Faults{}, u"0.1"_s);
    if (!t.f.sim.instrument.setStates(simState + u",reply:sens:aver:coun?=10"_s))
        qFatal("bad simulator state");
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
    t.start();
    t.runTicks();
    if (menuAt && !t.f.state.FILT_SET)
        qFatal("the menu did not stay open");
    Run r;
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

    QCOMPARE(plain.records.size(), 6);
    QCOMPARE(withMenu.records, plain.records);
    QCOMPARE(withMenu.queries, QStringList(6, query));
    QCOMPARE(menu.size(), 2);
    QCOMPARE(menu[0].one, u"CNT.*_010"_s);
    QCOMPARE(menu[1].one, menu[0].one);
    QCOMPARE(menu[1].two, menu[0].two);
    QCOMPARE(menu[1].lamps, menu[0].lamps);
}

QTEST_GUILESS_MAIN(TestMenuDuringRun)
#include "tst_menu_during_run.moc"
