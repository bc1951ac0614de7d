// The command channel over the simulator: in-process for framing, time-outs
// and faults, and over a real pseudo-terminal with the ravelo-sim program.

#include "core/dmm_link.h"
#include "core/link_gate.h"
#include "support/sim_link.h"
#include "support/sim_process.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QThread>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using shell::Class1;
using shell::LinkError;

Q_DECLARE_METATYPE(sim::Eol)
Q_DECLARE_METATYPE(shell::LinkError)

namespace {

const QString kIdn = QStringLiteral("SIMULATED,SIM-DMM,000001,1.02");

// A real channel whose COM 1 is the given path.
struct EnvPort
{
    explicit EnvPort(const QString &path, int port = 1)
        : name("RAVELO_COM" + QByteArray::number(port))
    {
        qputenv(name.constData(), QFile::encodeName(path));
    }
    ~EnvPort() { qunsetenv(name.constData()); }
    QByteArray name;
};

} // namespace

class TestDmmLink : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void wireBytes_data();
    void wireBytes();
    void readingQueryBound();
    void devicePath();

    void replyHasOneCr_data();
    void replyHasOneCr();
    void silentInstrumentFailsWithinBound();
    void lateReplyNeverAnswersNextQuery();
    void lateReplyAfterNextQueryIsNotCarriedOn();
    void flushDropsSecondReply();
    void nothingElseTouchesTheLineInsideAWait();
    void nestedWaitLeavesTheOuterOneUnderWay();
    void hangupIsReportedNotHung();
    void openRefusesMissingChoices_data();
    void openRefusesMissingChoices();

    void startupCommandsInOrder();
    void startupStopsAtFirstFailure();

    void ptyReplyHasOneCr_data();
    void ptyReplyHasOneCr();
    void ptyReopenKeepsServing();
    void ptyHangupGivesClearError();
    void ptyBusyAndMissingHaveTheirOwnMessages();
};

void TestDmmLink::wireBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("backslash 10 ending") << u"conf:volt:ac\\10"_s << QByteArray("conf:volt:ac\n");
    QTest::newRow("CR LF ending") << u"CALC:MAX?\r\n"_s << QByteArray("CALC:MAX?\n");
    QTest::newRow("CR ending") << u"*TRG\r"_s << QByteArray("*TRG\n");
    QTest::newRow("LF ending") << u"*TRG\n"_s << QByteArray("*TRG\n");
    QTest::newRow("no ending") << u"SYST:LOC"_s << QByteArray("SYST:LOC\n");
    QTest::newRow("only one ending goes") << u"X\\10\r\n"_s << QByteArray("X\\10\n");
    QTest::newRow("10 without backslash stays") << u"TRIG:COUN 10"_s << QByteArray("TRIG:COUN 10\n");
    QTest::newRow("empty") << QString() << QByteArray("\n");
}

void TestDmmLink::wireBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, wire);
    QCOMPARE(shell::wireBytes(text), wire);
}

void TestDmmLink::readingQueryBound()
{
    SimLink sim;
    QVERIFY(sim.open());
    sim.link.setReplyBound(2000ms);
    sim.link.setExpectedReadingTime(3000ms);
    struct Case { const char *command; std::chrono::milliseconds bound; };
    const Case cases[] = {
        {"*IDN?\\10", 2000ms},     {"read? buf\\10", 5000ms}, {"CALC:MAX?\r\n", 5000ms},
        {"CALC:MIN?\\10", 5000ms}, {"val2?\\10", 5000ms},     {"SYST:ERR?\\10", 2000ms},
    };
    for (const Case &c : cases) {
        QVERIFY(sim.link.Write(QString::fromLatin1(c.command)));
        QCOMPARE(sim.link.boundForNextRead(), c.bound);
        sim.link.Flush();
    }
    sim.link.setExpectedReadingTime(100000ms);  // a long filter at the slow rate
    QVERIFY(sim.link.Write(u"read?\\10"_s));
    QCOMPARE(sim.link.boundForNextRead(), 60000ms);
    sim.link.Flush();

    // A triggered reading: two readings owed, then "*TRG"; each reply may
    // take a reading's time until both have come.
    sim.link.setExpectedReadingTime(3000ms);
    QVERIFY(sim.link.Write(u"read?\\10"_s));
    QVERIFY(sim.link.Write(u"read?\\10"_s));
    QVERIFY(sim.link.Write(u"*TRG\\10"_s));
    QCOMPARE(sim.link.boundForNextRead(), 5000ms);
    QVERIFY(sim.link.Read().has_value());
    QCOMPARE(sim.link.boundForNextRead(), 5000ms);
    QVERIFY(sim.link.Read().has_value());
    QCOMPARE(sim.link.boundForNextRead(), 2000ms);
}

void TestDmmLink::devicePath()
{
    {
        EnvPort env(u"/tmp/some-pty"_s, 4);
        QCOMPARE(shell::devicePathForPort(4), u"/tmp/some-pty"_s);
    }
    const QString fallback = shell::devicePathForPort(4);
    QVERIFY(fallback == u"/dev/ttyUSB3"_s || fallback == u"/dev/ttyS3"_s);
}

void TestDmmLink::replyHasOneCr_data()
{
    QTest::addColumn<sim::Eol>("eol");
    QTest::newRow("cr") << sim::Eol::Cr;
    QTest::newRow("lf") << sim::Eol::Lf;
    QTest::newRow("crlf") << sim::Eol::CrLf;
    QTest::newRow("lfcr") << sim::Eol::LfCr;
}

void TestDmmLink::replyHasOneCr()
{
    QFETCH(sim::Eol, eol);
    SimLink sim({}, eol);
    QVERIFY(sim.open());
    // Two queries in a row: the second half of a two-character terminator
    // must not become an empty reply or stick to the next one.
    for (int i = 0; i < 2; ++i) {
        QVERIFY(sim.link.Write(u"*IDN?\\10"_s));
        QCOMPARE(sim.link.Read(), std::optional<QString>(kIdn + u'\r'));
        QVERIFY(sim.link.Write(u"SYST:ERR?\\10"_s));
        QCOMPARE(sim.link.Read(), std::optional<QString>(u"+0,\"No error\"\r"_s));
    }
    QCOMPARE(sim.written.first(), u"*IDN?\\10"_s);
    QCOMPARE(sim.wire().first(), u"*IDN?"_s);
    QCOMPARE(sim.link.InputCount(), 0);
}

void TestDmmLink::silentInstrumentFailsWithinBound()
{
    sim::Faults faults;
    faults.silentAfter = 1;
    SimLink sim(faults);
    QVERIFY(sim.open());
    sim.link.setReplyBound(300ms);
    QVERIFY(sim.link.Write(u"*IDN?\\10"_s));
    QVERIFY(sim.link.Read().has_value());

    QVERIFY(sim.link.Write(u"*IDN?\\10"_s));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(sim.link.Read(), std::nullopt);
    QCOMPARE(sim.link.lastError(), LinkError::TimedOut);
    QVERIFY(!sim.link.lastErrorText().isEmpty());
    QVERIFY2(clock.elapsed() >= 300, "Read gave up before its bound");
    // Far beyond the bound, however busy the machine: Read waited on.
    QVERIFY2(clock.elapsed() < 20000, "Read did not give up");
}

void TestDmmLink::lateReplyNeverAnswersNextQuery()
{
    sim::Faults faults;
    faults.delayMs = 400;
    SimLink sim(faults);
    QVERIFY(sim.open());
    sim.link.setReplyBound(150ms);
    QVERIFY(sim.link.Write(u"*IDN?\\10"_s));
    QCOMPARE(sim.link.Read(), std::nullopt);

    QThread::msleep(500);  // the identity arrives, late
    sim.link.setReplyBound(2000ms);
    QVERIFY(sim.link.Write(u"SYST:ERR?\\10"_s));
    QCOMPARE(sim.link.Read(), std::optional<QString>(u"+0,\"No error\"\r"_s));
}

void TestDmmLink::lateReplyAfterNextQueryIsNotCarriedOn()
{
    sim::Faults faults;
    faults.delayMs = 400;
    SimLink sim(faults);
    QVERIFY(sim.open());
    sim.link.setReplyBound(150ms);
    QVERIFY(sim.link.Write(u"*IDN?\\10"_s));
    QCOMPARE(sim.link.Read(), std::nullopt);

    // The next question goes out before the late identity comes: the
    // channel owes the identity, waits for it and drops it first, so the
    // question gets its own answer, and so does the one after it.
    sim.link.setReplyBound(2000ms);
    QVERIFY(sim.link.Write(u"SYST:ERR?\\10"_s));
    QCOMPARE(sim.link.Read(), std::optional<QString>(u"+0,\"No error\"\r"_s));
    QCOMPARE(sim.link.lateRepliesDropped(), quint64(1));
    QVERIFY(sim.link.Write(u"*IDN?\\10"_s));
    QCOMPARE(sim.link.Read(), std::optional<QString>(kIdn + u'\r'));
}

void TestDmmLink::flushDropsSecondReply()
{
    SimLink sim;
    QVERIFY(sim.open());
    QVERIFY(sim.link.Write(u"*IDN?\\10"_s));
    QVERIFY(sim.link.Write(u"*IDN?\\10"_s));
    QCOMPARE(sim.link.Read(), std::optional<QString>(kIdn + u'\r'));
    QCOMPARE(sim.link.InputCount(), kIdn.size() + 1);
    sim.link.Flush();
    QCOMPARE(sim.link.InputCount(), 0);
    QVERIFY(sim.link.Write(u"SYST:ERR?\\10"_s));
    QCOMPARE(sim.link.Read(), std::optional<QString>(u"+0,\"No error\"\r"_s));
}

void TestDmmLink::hangupIsReportedNotHung()
{
    sim::Faults faults;
    faults.hangupAfter = 2;
    SimLink sim(faults);
    QVERIFY(sim.open());
    QSignalSpy problems(&sim.link, &Class1::problem);
    QVERIFY(sim.link.Write(u"SYST:OUTP:EOF 2\\10"_s));
    sim.link.Write(u"*IDN?\\10"_s);  // the line goes with the second command
    QCOMPARE(sim.link.Read(), std::nullopt);
    QCOMPARE(sim.link.lastError(), LinkError::LineLost);
    QCOMPARE(problems.count(), 1);
    QVERIFY(problems.first().first().toString().contains(u"lost"_s));
    QVERIFY(!sim.link.isOpen());
    // Later uses fail plainly, without another report.
    QVERIFY(!sim.link.Write(u"*IDN?\\10"_s));
    QCOMPARE(sim.link.lastError(), LinkError::NotOpen);
    QCOMPARE(problems.count(), 1);
}

void TestDmmLink::openRefusesMissingChoices_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("baud");
    QTest::addColumn<LinkError>("error");
    QTest::newRow("no port") << 0 << 9600 << LinkError::NoPortChosen;
    QTest::newRow("no baud") << 3 << 0 << LinkError::NoBaudChosen;
}

void TestDmmLink::openRefusesMissingChoices()
{
    QFETCH(int, port);
    QFETCH(int, baud);
    QFETCH(LinkError, error);
    SimLink sim;
    sim.link.Port(port);
    sim.link.BaudRate(baud);
    QVERIFY(!sim.link.Open());
    QCOMPARE(sim.link.lastError(), error);
    QCOMPARE(sim.opens, 0);
    QVERIFY(!sim.link.Write(u"*IDN?\\10"_s));
    QCOMPARE(sim.link.Read(), std::nullopt);
}

void TestDmmLink::startupCommandsInOrder()
{
    SimLink sim;
    shell::SETTING setting;
    setting.PORT = 3;
    setting.BAUD = 9600;
    QVERIFY(shell::openAtStartup(sim.link, setting));
    QCOMPARE(sim.link.port(), 3);
    QCOMPARE(sim.link.baudRate(), 9600);
    QCOMPARE(sim.written, QStringList({u"SYST:OUTP:EOF 2\\10"_s, u"SYST:PAR:SAVE 5\\10"_s,
                                       u"SYST:PAR:LOAD 5\\10"_s, u"SENS:CURR:DET OFF\\10"_s}));
    QCOMPARE(sim.wire(), QStringList({u"SYST:OUTP:EOF 2"_s, u"SYST:PAR:SAVE 5"_s,
                                      u"SYST:PAR:LOAD 5"_s, u"SENS:CURR:DET OFF"_s}));
    QVERIFY(sim.instrument.errorQueue().empty());
}

void TestDmmLink::startupStopsAtFirstFailure()
{
    SimLink sim;
    shell::SETTING setting;  // no port chosen
    QVERIFY(!shell::openAtStartup(sim.link, setting));
    QVERIFY(sim.written.isEmpty());
    QCOMPARE(sim.link.lastError(), LinkError::NoPortChosen);
}

void TestDmmLink::ptyReplyHasOneCr_data()
{
    QTest::addColumn<QString>("eol");
    QTest::newRow("cr") << u"cr"_s;
    QTest::newRow("lf") << u"lf"_s;
    QTest::newRow("crlf") << u"crlf"_s;
    QTest::newRow("lfcr") << u"lfcr"_s;
}

void TestDmmLink::ptyReplyHasOneCr()
{
    QFETCH(QString, eol);
    SimProcess sim({u"--eol"_s, eol});
    QVERIFY2(sim.started(), qPrintable(sim.errors()));
    EnvPort env(sim.linkPath());
    Class1 link;
    link.Port(1);
    QVERIFY(link.BaudRate(u"9600"_s));
    QVERIFY2(link.Open(), qPrintable(link.lastErrorText()));
    for (int i = 0; i < 2; ++i) {
        QVERIFY(link.Write(u"*IDN?\\10"_s));
        QCOMPARE(link.Read(), std::optional<QString>(kIdn + u'\r'));
    }
    QVERIFY(link.Write(u"read? buf\\10"_s));
    const std::optional<QString> reading = link.Read();
    QVERIFY(reading.has_value());
    QVERIFY(reading->endsWith(u'\r'));
    QCOMPARE(reading->count(u'\r'), 1);
    QCOMPARE(reading->count(u','), 1);
}

void TestDmmLink::ptyReopenKeepsServing()
{
    SimProcess sim;
    QVERIFY2(sim.started(), qPrintable(sim.errors()));
    EnvPort env(sim.linkPath());
    Class1 link;
    link.Port(1);
    link.BaudRate(9600);
    for (int round = 0; round < 3; ++round) {
        QVERIFY2(link.Open(), qPrintable(link.lastErrorText()));
        QVERIFY(link.Write(u"*IDN?\\10"_s));
        QCOMPARE(link.Read(), std::optional<QString>(kIdn + u'\r'));
    }
}

void TestDmmLink::ptyHangupGivesClearError()
{
    SimProcess sim({u"--fault"_s, u"hangup-after=1"_s});
    QVERIFY2(sim.started(), qPrintable(sim.errors()));
    EnvPort env(sim.linkPath());
    Class1 link;
    link.Port(1);
    link.BaudRate(9600);
    link.setReplyBound(1000ms);
    QVERIFY2(link.Open(), qPrintable(link.lastErrorText()));
    QElapsedTimer clock;
    clock.start();
    // The instrument hangs up as the query arrives: the write itself may
    // already see it go, else the read does.
    if (link.Write(u"*IDN?\\10"_s))
        QCOMPARE(link.Read(), std::nullopt);
    QCOMPARE(link.lastError(), LinkError::LineLost);
    QVERIFY(link.lastErrorText().contains(u"lost"_s));
    QVERIFY2(!link.lastErrorText().isEmpty(), "the failure has no words");
    QVERIFY2(clock.elapsed() < 30000, "hang-up was not noticed");  // 30 reply bounds
}

void TestDmmLink::ptyBusyAndMissingHaveTheirOwnMessages()
{
    SimProcess sim;
    QVERIFY2(sim.started(), qPrintable(sim.errors()));
    EnvPort env(sim.linkPath());
    Class1 first;
    first.Port(1);
    first.BaudRate(9600);
    QVERIFY2(first.Open(), qPrintable(first.lastErrorText()));

    Class1 second;
    second.Port(1);
    second.BaudRate(9600);
    QSignalSpy problems(&second, &Class1::problem);
    QVERIFY(!second.Open());
    QCOMPARE(second.lastError(), LinkError::PortBusy);
    QVERIFY(second.lastErrorText().contains(u"in use"_s));
    QCOMPARE(problems.count(), 1);

    EnvPort missing(u"/nonexistent/ravelo-port"_s, 7);
    Class1 third;
    third.Port(7);
    third.BaudRate(9600);
    QVERIFY(!third.Open());
    QCOMPARE(third.lastError(), LinkError::MissingDevice);
    QVERIFY(third.lastErrorText().contains(u"COM 7"_s));
    QVERIFY(third.lastErrorText() != second.lastErrorText());
}

// Inside a wait for a reply, every other use of the line is refused (it
// would take the reply, or drop it), and the refusals leave the wait's
// mark standing: the wait still gets its reply.
void TestDmmLink::nothingElseTouchesTheLineInsideAWait()
{
    SimLink sim({.delayMs = 200});
    QVERIFY(sim.open());
    struct Inside
    {
        const char *name;
        std::function<bool(shell::Class1 &)> use;
    };
    const Inside uses[] = {
        {"Write", [](shell::Class1 &l) { return l.Write(u"*idn?\\10"_s); }},
        {"Read", [](shell::Class1 &l) { return l.Read().has_value(); }},
        {"settle", [](shell::Class1 &l) { return l.settle(); }},
        {"discardUntilQuiet", [](shell::Class1 &l) { return l.discardUntilQuiet(); }},
    };
    QStringList refused;
    bool stillWaiting = true;
    QTimer inside;
    inside.setSingleShot(true);
    QObject::connect(&inside, &QTimer::timeout, [&] {
        for (const Inside &use : uses) {
            if (!use.use(sim.link) && sim.link.lastError() == shell::LinkError::Busy)
                refused.append(QString::fromLatin1(use.name));
            stillWaiting = stillWaiting && sim.link.isWaiting();
        }
    });
    QVERIFY(sim.link.Write(u"*idn?\\10"_s));
    inside.start(50);
    const std::optional<QString> reply = sim.link.Read();
    QCOMPARE(refused, (QStringList{u"Write"_s, u"Read"_s, u"settle"_s, u"discardUntilQuiet"_s}));
    QVERIFY(stillWaiting);
    QVERIFY(reply.has_value());
    QVERIFY(!sim.link.isWaiting());
    QCOMPARE(sim.wire().count(u"*idn?"_s), 1);
}

// A wait begun inside another's events (a slice run from a tick that fell
// inside a wait) ends, and the outer wait is still under way after it: the
// line stays shut to everyone else until the outer wait has its reply.
void TestDmmLink::nestedWaitLeavesTheOuterOneUnderWay()
{
    SimLink sim({.delayMs = 150});
    QVERIFY(sim.open());
    struct Inside
    {
        bool ran = false;
        bool waitingAfterInner = false;
        LinkError writeAfterInner = LinkError::None;
    } inside;
    QTimer tick;
    tick.setSingleShot(true);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        inside.ran = true;
        sim.link.runSliceEvents();
        inside.waitingAfterInner = sim.link.isWaiting();
        if (!sim.link.Write(u"*idn?\\10"_s))
            inside.writeAfterInner = sim.link.lastError();
    });
    QVERIFY(sim.link.Write(u"*idn?\\10"_s));
    tick.start(30);
    const std::optional<QString> reply = sim.link.Read();
    QVERIFY(inside.ran);
    QVERIFY(inside.waitingAfterInner);
    QCOMPARE(inside.writeAfterInner, LinkError::Busy);
    QCOMPARE(reply, std::optional<QString>(kIdn + u'\r'));
    QVERIFY(!sim.link.isWaiting());
    QCOMPARE(sim.wire().count(u"*idn?"_s), 1);
}

QTEST_GUILESS_MAIN(TestDmmLink)
#include "tst_dmm_link.moc"
