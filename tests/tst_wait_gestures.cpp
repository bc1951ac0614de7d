// A gesture that meets a wait on the instrument: the whole program on the
// simulator, its real windows, the user's input given to the window as the
// window system gives it (a press reaches the window first, and the window
// hands it to the control under the pointer).
//
// - A press made before a wait and released inside it ends its gesture
//   after the wait: the click comes once, nothing stays drawn pressed, and
//   SHIFT goes out as the keys say (ACV with SHIFT opens the scanner window,
//   whose read-back waits on the line).
// - A press refused inside a wait changes nothing but the status line: no
//   window comes forward, the focus stays, and its release clicks nothing.
// - Input held by a wait reaches its control after the wait, in the order
//   it came; what the wait hears acts inside it.

#include "core/link_gate.h"
#include "core/panel.h"
#include "platform/dialogs.h"
#include "platform/program_folder.h"
#include "platform/twips.h"
#include "keys/key_dispatcher.h"
#include "scan/scanner_waits.h"
#include "support/sim_link.h"
#include "windows/front_panel_window.h"
#include "windows/main_window.h"
#include "windows/scan_window.h"
#include "windows/status_window.h"
#include "windows/wait_input.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int kAcv = 0;
constexpr int kDcv = 1;
constexpr int kTwoFourWire = 4;

// Input as the window system gives it: to the top-level window, at the
// place of a point of one of its widgets.
struct User
{
    static QWindow *windowOf(QWidget *w) { return w->window()->windowHandle(); }
    static QPoint inWindow(QWidget *w, QPoint at) { return w->mapTo(w->window(), at); }

    static void press(QWidget *w, QPoint at = {})
    {
        at = at.isNull() ? w->rect().center() : at;
        QTest::mousePress(windowOf(w), Qt::LeftButton, {}, inWindow(w, at));
    }
    static void release(QWidget *w, QPoint at = {})
    {
        at = at.isNull() ? w->rect().center() : at;
        QTest::mouseRelease(windowOf(w), Qt::LeftButton, {}, inWindow(w, at));
    }
    static void move(QWidget *w, QPoint at) { QTest::mouseMove(windowOf(w), inWindow(w, at)); }
    static void keyPress(QWidget *w, Qt::Key key) { QTest::keyPress(windowOf(w), key); }
    static void keyRelease(QWidget *w, Qt::Key key) { QTest::keyRelease(windowOf(w), key); }
};

QPoint twipsCentre(const QRect &twips)
{
    return rt::twipsRect(twips.x(), twips.y(), twips.width(), twips.height()).center();
}

struct Program
{
    Program()
    {
        rt::setProgramFolder(folder.path());
        sim.instrument.setStates(u"chan101=on,VOLT,10,on,chan102=on,RES,1000,off,scancount=2,scandelay=20"_s);
        window = std::make_unique<shell::MDImain>(sim.link, folder.path());
        panel().timers.Timer1.setEnabled(false);
        window->show();
        window->activateWindow();
        ready = QTest::qWaitForWindowActive(window.get()) && sim.open();
        panel().state.REMOTE_OK = true;
        panel().state.scannerReported = true;
        // The link as a tested line leaves it: the keys talk to the instrument.
        panel().controls.CHK_COM_TF.enabled = false;
    }
    ~Program()
    {
        window.reset();
        rt::setProgramFolder({});
    }

    Panel &panel() { return window->panel(); }
    shell::SHOW_Form *frontPanel() { return window->showForm(); }
    QPushButton *load() { return window->quitForm()->LOAD_BUTT; }
    QMdiArea *area() { return window->findChild<QMdiArea *>(); }
    QMdiSubWindow *topWindow() { return area()->subWindowList(QMdiArea::StackingOrder).last(); }

    // The scanner window opened on a line without delay; its runs wait
    // `delayMs` for every reply after that.
    scan::Scan_Form *openScanner(int delayMs)
    {
        form = window->openScanForm();
        sim.faults.delayMs = delayMs;
        sim.open();
        if (!form)
            return nullptr;
        form->controls().Repeat_TEXT = u"2"_s;
        // In front, but lower down: the front panel and Load are in sight.
        QWidget *area = this->area()->viewport();
        const int below = std::max(frontPanel()->mapTo(area, QPoint(0, frontPanel()->height())).y(),
                                   load()->mapTo(area, QPoint(0, load()->height())).y());
        form->parentWidget()->move(0, below + 4);
        return form;
    }
    scan::ScanControls &controls() { return form->controls(); }
    bool betweenPasses() { return controls().runActive() && !sim.link.isWaiting() && controls().Timer1_Scan.isEnabled(); }
    bool inAPassWait() { return controls().runActive() && sim.link.isWaiting() && sim.link.runsAllEventsInWaits(); }
    // Runs a scan; `user` is asked at every pass of the events, inside the
    // waits too, until the run ends.
    bool scan(const std::function<void()> &user)
    {
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, user);
        tick.start(2);
        QTest::mouseClick(form->Scan_BUTT, Qt::LeftButton);
        return QTest::qWaitFor([this] { return !controls().run.holdsLine(); }, 20000);
    }

    int lines(const char16_t *line) { return int(panel().status.lines().count(QString::fromUtf16(line))); }

    QTemporaryDir folder;
    SimLink sim;
    rt::MessageRecorder messages;
    std::unique_ptr<shell::MDImain> window;
    QPointer<scan::Scan_Form> form;
    bool ready = false;
};

// A widget that notes the input it gets.
struct Recorder : QWidget
{
    QList<QEvent::Type> got;
    bool event(QEvent *e) override
    {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            got.append(e->type());
            break;
        default:
            break;
        }
        return QWidget::event(e);
    }
};

} // namespace

class TestWaitGestures : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void buttonPressedBeforeAWaitClicksAfterIt_data();
    void buttonPressedBeforeAWaitClicksAfterIt();
    void scannerKeyReleasedInsideTheReadBack();
    void refusedPressChangesNothingOnScreen_data();
    void refusedPressChangesNothingOnScreen();
    void heldInputComesAfterTheWaitInOrder();
};

void TestWaitGestures::buttonPressedBeforeAWaitClicksAfterIt_data()
{
    QTest::addColumn<bool>("keyboard");
    QTest::newRow("mouse") << false;
    QTest::newRow("Space on the focused button") << true;
}

// The status window's Load goes down between two passes of a scan and comes
// up inside the next pass's wait.
void TestWaitGestures::buttonPressedBeforeAWaitClicksAfterIt()
{
    QFETCH(bool, keyboard);
    Program program;
    QVERIFY(program.ready);
    QVERIFY(program.openScanner(150));
    QPushButton *load = program.load();
    QSignalSpy clicks(load, &QPushButton::clicked);

    enum { BeforePress, Pressed, Released } step = BeforePress;
    bool downBeforeWait = false;
    int clicksInsideWait = -1;
    const bool ran = program.scan([&] {
        if (step == BeforePress && program.betweenPasses()) {
            if (keyboard) {
                load->setFocus();
                User::keyPress(load, Qt::Key_Space);
            } else {
                User::press(load);
            }
            downBeforeWait = load->isDown();
            step = Pressed;
        } else if (step == Pressed && program.inAPassWait()) {
            if (keyboard)
                User::keyRelease(load, Qt::Key_Space);
            else
                User::release(load);
            clicksInsideWait = int(clicks.count());
            step = Released;
        }
    });
    QVERIFY(ran);
    QCOMPARE(step, Released);
    QVERIFY(downBeforeWait);
    QCOMPARE(clicksInsideWait, 0);
    QTRY_COMPARE(clicks.count(), 1);
    QVERIFY(!load->isDown());
    QVERIFY(program.window->quitForm()->loaderForm());
    QCOMPARE(program.lines(shell::kScanRefusal), 0);
    QVERIFY2(program.messages.messages().isEmpty(), qPrintable(program.messages.messages().value(0).text));
}

// SHIFT, then ACV: its press opens the scanner window, whose read-back waits
// on the line; ACV comes up inside that wait. Afterwards SHIFT is out, ACV is
// up, and DCV chooses DC volts.
void TestWaitGestures::scannerKeyReleasedInsideTheReadBack()
{
    Program program;
    QVERIFY(program.ready);
    program.sim.faults.delayMs = 40;
    program.sim.open();
    Panel &p = program.panel();
    shell::SHOW_Form *front = program.frontPanel();
    const QPoint shift = twipsCentre(shell::SHOW_Form::shiftKeyRect());
    const QPoint acv = twipsCentre(shell::SHOW_Form::keyRect(kAcv));
    const QPoint dcv = twipsCentre(shell::SHOW_Form::keyRect(kDcv));
    const QString acvUp = p.controls.BUTT1_IMG[kAcv];
    const QString shiftUp = p.controls.SHIFT_IMG;

    // The lamp test of the start lights every lamp; its timer is off here.
    p.display.setAllLit(false);
    User::press(front, shift);
    User::release(front, shift);
    QVERIFY(p.display.isLit(display::Lamp::SHIFT_LAB));

    bool released = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto *form = program.window->findChild<scan::Scan_Form *>();
        if (released || !form || !form->controls().run.readingBack() || !program.sim.link.isWaiting())
            return;
        User::release(front, acv);
        released = true;
    });
    user.start(2);
    User::press(front, acv);  // the read-back runs inside the press
    user.stop();
    QVERIFY(released);
    QPointer<scan::Scan_Form> form = program.window->findChild<scan::Scan_Form *>();
    QVERIFY(form && form->isVisibleTo(program.window.get()));
    QVERIFY(!form->controls().run.holdsLine());

    QTRY_VERIFY(!p.display.isLit(display::Lamp::SHIFT_LAB));
    QCOMPARE(p.controls.BUTT1_IMG[kAcv], acvUp);
    QCOMPARE(p.controls.SHIFT_IMG, shiftUp);
    QCOMPARE(program.lines(scan::kReadBackRefusal), 0);

    // The scanner's Quit, then DCV: DC volts, and no second read-back.
    QTest::mouseClick(form->Quit_BUTT, Qt::LeftButton);
    QTRY_VERIFY(!form || !form->isVisibleTo(program.window.get()));
    const qsizetype before = program.sim.wire().size();
    User::press(front, dcv);
    User::release(front, dcv);
    const QStringList after = program.sim.wire().mid(before);
    QVERIFY2(after.contains(u"conf:volt:dc"_s), qPrintable(after.join(u" | "_s)));
    QVERIFY2(!after.contains(u"rout:coun?"_s), qPrintable(after.join(u" | "_s)));
}

void TestWaitGestures::refusedPressChangesNothingOnScreen_data()
{
    QTest::addColumn<int>("target");  // 0: a front panel key, 1: Load, 2: the front panel's title
    QTest::addColumn<bool>("releaseInside");
    QTest::addColumn<bool>("betweenPasses");  // refused by the key itself, outside the waits
    for (const bool inside : {true, false}) {
        const char *when = inside ? "released inside the wait" : "released after it";
        QTest::addRow("a front panel key, %s", when) << 0 << inside << false;
        QTest::addRow("the status window's Load, %s", when) << 1 << inside << false;
    }
    QTest::newRow("the front panel's title bar") << 2 << true << false;
    QTest::newRow("a front panel key between passes") << 0 << true << true;
}

// During a scan the scanner window is in front; a press on another window
// inside a pass's wait is refused with one line, and that window stays
// behind, without the focus. Its release, inside the wait or after it,
// clicks nothing. Between passes the panel's keys refuse a press
// themselves: the panel stays behind too.
void TestWaitGestures::refusedPressChangesNothingOnScreen()
{
    QFETCH(int, target);
    QFETCH(bool, releaseInside);
    QFETCH(bool, betweenPasses);
    Program program;
    QVERIFY(program.ready);
    QVERIFY(program.openScanner(150));
    QMdiSubWindow *scanner = qobject_cast<QMdiSubWindow *>(program.form->parentWidget());
    QVERIFY(scanner);
    QCOMPARE(program.area()->activeSubWindow(), scanner);
    QCOMPARE(program.topWindow(), scanner);
    QWidget *pressed = nullptr;
    QPoint at;
    switch (target) {
    case 0:
        pressed = program.frontPanel();
        at = twipsCentre(shell::SHOW_Form::keyRect(kTwoFourWire));
        break;
    case 1:
        pressed = program.load();
        at = pressed->rect().center();
        break;
    default:
        pressed = program.window->window(program.frontPanel());
        at = QPoint(pressed->width() / 2, 8);
        break;
    }
    QSignalSpy loads(program.load(), &QPushButton::clicked);
    const Panel &p = program.panel();
    const QString keyUp = p.controls.BUTT1_IMG[kTwoFourWire];

    enum { BeforePress, Pressed, Released } step = BeforePress;
    int linesAtPress = -1;
    bool changedAtPress = true;
    const bool ran = program.scan([&] {
        const bool moment = betweenPasses ? program.betweenPasses() : program.inAPassWait();
        if (step == BeforePress && moment && program.controls().passNumber == 1) {
            const int before = program.lines(shell::kScanRefusal);
            QWidget *focused = QApplication::focusWidget();
            User::press(pressed, at);
            linesAtPress = program.lines(shell::kScanRefusal) - before;
            changedAtPress = QApplication::focusWidget() != focused || program.area()->activeSubWindow() != scanner
                             || program.topWindow() != scanner || program.load()->isDown()
                             || p.controls.BUTT1_IMG[kTwoFourWire] != keyUp;
            step = Pressed;
            if (releaseInside) {
                User::release(pressed, at);
                step = Released;
            }
        } else if (step == Pressed && !program.sim.link.isWaiting()) {
            User::release(pressed, at);
            step = Released;
        }
    });
    QVERIFY(ran);
    QCOMPARE(step, Released);
    QCOMPARE(linesAtPress, 1);
    QVERIFY(!changedAtPress);
    QTest::qWait(50);  // anything held comes in
    QCOMPARE(program.lines(shell::kScanRefusal), 1);
    QCOMPARE(program.area()->activeSubWindow(), scanner);
    QCOMPARE(program.topWindow(), scanner);
    QCOMPARE(loads.count(), 0);
    QVERIFY(!program.load()->isDown());
    QCOMPARE(p.controls.BUTT1_IMG[kTwoFourWire], keyUp);
    QVERIFY(!program.window->quitForm()->loaderForm());
    QVERIFY2(program.messages.messages().isEmpty(), qPrintable(program.messages.messages().value(0).text));
}

// Inside a wait under an InputDuringWaits: a widget pressed before the wait
// gets its moves and its release only after the wait, in order, once the
// program is back in its events; the heard button is clicked inside it.
void TestWaitGestures::heldInputComesAfterTheWaitInOrder()
{
    SimLink sim({.delayMs = 150});
    QVERIFY(sim.open());
    QWidget top;
    top.resize(200, 100);
    auto *recorder = new Recorder;
    recorder->setParent(&top);
    recorder->setGeometry(0, 0, 100, 100);
    recorder->setMouseTracking(true);
    auto *heard = new QPushButton(u"Stop"_s, &top);
    heard->setGeometry(110, 10, 80, 30);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    int refusals = 0;
    QSignalSpy heardClicks(heard, &QPushButton::clicked);

    User::press(recorder, {10, 10});
    recorder->got.clear();
    QList<QEvent::Type> gotInsideWait;
    int heardInsideWait = -1;
    QTimer user;
    user.setSingleShot(true);
    QObject::connect(&user, &QTimer::timeout, [&] {
        User::move(recorder, {20, 10});
        User::move(recorder, {30, 10});
        User::release(recorder, {30, 10});
        QTest::mouseClick(User::windowOf(heard), Qt::LeftButton, {}, User::inWindow(heard, heard->rect().center()));
        gotInsideWait = recorder->got;
        heardInsideWait = int(heardClicks.count());
    });
    {
        const windows::InputDuringWaits input(
            sim.link, {[heard](const QObject *target) { return target == heard; }, [&refusals] { ++refusals; }});
        QVERIFY(sim.link.Write(u"*idn?\\10"_s));
        user.start(20);
        QVERIFY(sim.link.Read().has_value());
    }
    QVERIFY(gotInsideWait.isEmpty());
    QCOMPARE(heardInsideWait, 1);
    QVERIFY(recorder->got.isEmpty());  // not before the program is back in its events
    QTRY_COMPARE(recorder->got, (QList<QEvent::Type>{QEvent::MouseMove, QEvent::MouseMove, QEvent::MouseButtonRelease}));
    QCOMPARE(refusals, 0);
    QCOMPARE(heardClicks.count(), 1);
}

QTEST_MAIN(TestWaitGestures)
#include "tst_wait_gestures.moc"
