// The platform stand-ins: twips, the timer's habits, the dialog seams and
// the program's folder.

#include "platform/dialogs.h"
#include "platform/panel_timer.h"
#include "platform/program_folder.h"
#include "platform/twips.h"

#include <QCoreApplication>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPlatform : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void twips_data();
    void twips();
    void timerWithZeroIntervalNeverTicks();
    void enablingAgainDoesNotRestart();
    void settingIntervalRestarts();
    void tickNeverReentersItsHandler();
    void manualClockTicksInTimeOrder();
    void messagesAreRecordedNotShown();
    void openFileCanBeAnswered();
    void programFolder();
};

void TestPlatform::twips_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("one pixel") << 15 << 1;
    QTest::newRow("main window width") << 12000 << 800;
    QTest::newRow("panel width") << 11800 << 787;
    QTest::newRow("half rounds up") << 8 << 1;
    QTest::newRow("below half rounds down") << 7 << 0;
    QTest::newRow("negative mirrors positive") << -8 << -1;
}

void TestPlatform::twips()
{
    QFETCH(int, twips);
    QFETCH(int, pixels);
    QCOMPARE(rt::twipsToPixels(twips), pixels);
}

void TestPlatform::timerWithZeroIntervalNeverTicks()
{
    rt::PanelTimer timer;
    int ticks = 0;
    timer.setHandler([&] { ++ticks; });
    timer.setEnabled(true);
    QVERIFY(timer.isEnabled());
    QCOMPARE(timer.remainingTime(), -1);
    QTest::qWait(50);
    QCOMPARE(ticks, 0);
}

// On the hand-turned clock, so the counts are exact whatever the machine.
void TestPlatform::enablingAgainDoesNotRestart()
{
    rt::ManualTimerClock clock;
    rt::PanelTimer timer;
    timer.setHandler([] {});
    timer.setInterval(1000);
    timer.setEnabled(true);
    clock.advance(300);
    timer.setEnabled(true);
    QCOMPARE(timer.remainingTime(), 700);  // enabling an enabled timer keeps its count
    timer.setEnabled(false);
    QCOMPARE(timer.remainingTime(), -1);
    timer.setEnabled(true);
    QCOMPARE(timer.remainingTime(), 1000);
}

void TestPlatform::settingIntervalRestarts()
{
    rt::ManualTimerClock clock;
    rt::PanelTimer timer;
    timer.setHandler([] {});
    timer.setInterval(1000);
    timer.setEnabled(true);
    clock.advance(300);
    timer.setInterval(1000);
    QCOMPARE(timer.remainingTime(), 1000);  // the count starts again
    timer.setInterval(0);
    QCOMPARE(timer.remainingTime(), -1);
    QVERIFY(timer.isEnabled());
}

void TestPlatform::tickNeverReentersItsHandler()
{
    rt::PanelTimer timer;
    int depth = 0;
    int deepest = 0;
    int ticks = 0;
    timer.setHandler([&] {
        ++ticks;
        ++depth;
        deepest = std::max(deepest, depth);
        if (ticks == 1)
            QTest::qWait(100);  // lets the timer's own events run, as a run loop does
        --depth;
    });
    timer.setInterval(5);
    timer.setEnabled(true);
    QTRY_VERIFY(ticks >= 3);
    QCOMPARE(deepest, 1);
}

// On the hand-turned clock each tick falls due when its interval has passed
// on that clock, in time order across timers, with the timers' own habits.
void TestPlatform::manualClockTicksInTimeOrder()
{
    rt::PanelTimer early;  // made before the clock: it runs on it all the same
    rt::ManualTimerClock clock;
    rt::PanelTimer blink, hold, never;
    QStringList ticks;
    blink.setHandler([&] { ticks << u"blink %1"_s.arg(clock.now()); });
    hold.setHandler([&] {
        ticks << u"hold %1"_s.arg(clock.now());
        hold.setEnabled(false);
        blink.setEnabled(false);
    });
    early.setHandler([&] { ticks << u"early %1"_s.arg(clock.now()); });
    never.setHandler([&] { ticks << u"never"_s; });
    blink.setInterval(300);
    blink.setEnabled(true);
    hold.setInterval(1000);
    hold.setEnabled(true);
    never.setEnabled(true);  // interval 0
    early.setInterval(700);
    early.setEnabled(true);

    clock.advance(650);
    early.setEnabled(true);  // no restart
    blink.setInterval(300);  // restarts: next at 950
    clock.advance(999 - 650);
    QCOMPARE(ticks, (QStringList{u"blink 300"_s, u"blink 600"_s, u"early 700"_s, u"blink 950"_s}));
    clock.advance(2000);
    QCOMPARE(ticks.mid(4), (QStringList{u"hold 1000"_s, u"early 1400"_s, u"early 2100"_s, u"early 2800"_s}));
    QCOMPARE(hold.remainingTime(), -1);
    QCOMPARE(early.remainingTime(), 3500 - 2999);
}

void TestPlatform::messagesAreRecordedNotShown()
{
    rt::MessageRecorder recorder;
    rt::messageBox(u"TEST ERROR!!"_s, u"Fail"_s, rt::MessageIcon::Critical);
    rt::messageBox(u"Done"_s);
    QCOMPARE(recorder.messages().size(), 2);
    QCOMPARE(recorder.messages().at(0).text, u"TEST ERROR!!"_s);
    QCOMPARE(recorder.messages().at(0).title, u"Fail"_s);
    QCOMPARE(recorder.messages().at(0).icon, rt::MessageIcon::Critical);
    QCOMPARE(recorder.messages().at(1).title, QString());
}

void TestPlatform::openFileCanBeAnswered()
{
    QString askedFolder;
    rt::setOpenFileHandler([&](const QString &, const QString &folder, const QString &) {
        askedFolder = folder;
        return u"/tmp/chosen.ini"_s;
    });
    QCOMPARE(rt::openFileName(u"Open"_s, u"/tmp/SCAN DATA"_s, u"Ini (*.ini)"_s),
             u"/tmp/chosen.ini"_s);
    QCOMPARE(askedFolder, u"/tmp/SCAN DATA"_s);
    rt::setOpenFileHandler({});
}

void TestPlatform::programFolder()
{
    QCOMPARE(rt::programFolder(), QCoreApplication::applicationDirPath());
    rt::setProgramFolder(u"/tmp/ravelo-folder"_s);
    QCOMPARE(rt::inProgramFolder(u"XYZQQQ.Log"_s), u"/tmp/ravelo-folder/XYZQQQ.Log"_s);
    rt::setProgramFolder({});
    QCOMPARE(rt::programFolder(), QCoreApplication::applicationDirPath());
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
