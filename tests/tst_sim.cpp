// The simulator: the instrument model and its reply table, the line's
// framing and faults, the in-process device's waits, and ravelo-sim on a pty.

#include "sim/instrument.h"
#include "sim/line.h"
#include "sim/reply_forms.h"
#include "sim/sim_device.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <limits>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr char kIdn[] = "SIMULATED,SIM-DMM,000001,1.02";
// One reading reply: display 1, comma, display 2, each in exponent form.
const QRegularExpression kReadingReply(
    u"^[+-]\\d\\.\\d{6}E[+-]\\d{2},[+-]\\d\\.\\d{6}E[+-]\\d{2}$"_s);

QByteArray replyOf(sim::Instrument &instrument, const QByteArray &command)
{
    return instrument.handle(command).value_or("<none>");
}

// Far past any delay a test uses: everything queued is due.
constexpr qint64 kLater = 1'000'000'000;

// A pty port as a client opens it: plain POSIX, raw, non-blocking; every
// wait bounded by poll.
class Port
{
public:
    explicit Port(const QString &path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        termios raw = {};
        if (m_fd >= 0 && tcgetattr(m_fd, &raw) == 0) {
            cfmakeraw(&raw);
            tcsetattr(m_fd, TCSANOW, &raw);
        }
    }
    ~Port() { close(); }
    Port(const Port &) = delete;
    Port &operator=(const Port &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    bool write(const QByteArray &bytes)
    {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    enum class End { Enough, TimedOut, Gone };
    // Reads until `size` bytes came, the line went away (EOF, EIO, POLLHUP)
    // or timeoutMs passed.
    End read(QByteArray *into, qsizetype size, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (into->size() < size) {
            const qint64 left = timeoutMs - clock.elapsed();
            if (left <= 0)
                return End::TimedOut;
            pollfd fd = {m_fd, POLLIN, 0};
            if (poll(&fd, 1, int(left)) <= 0)
                continue;
            char buffer[256];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0)
                into->append(buffer, n);
            else if (n == 0 || errno != EAGAIN)
                return End::Gone;
            else if (fd.revents & POLLHUP)
                return End::Gone;
        }
        return End::Enough;
    }
    QByteArray ask(const QByteArray &command, qsizetype replySize, int timeoutMs = 2000)
    {
        QByteArray reply;
        if (write(command))
            read(&reply, replySize, timeoutMs);
        return reply;
    }

private:
    int m_fd;
};

// ravelo-sim in a temporary folder, its link at dir/com1.
class Program
{
public:
    Program() { m_process.setProgram(QStringLiteral(RAVELO_SIM_PROGRAM)); }
    ~Program()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }

    QString link() const { return m_dir.filePath(u"com1"_s); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    QProcess &process() { return m_process; }

    // Starts it and reads the first line (the slave's path).
    bool start(const QStringList &arguments)
    {
        m_process.setArguments(QStringList{u"--link"_s, link()} + arguments);
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return false;
        while (!m_process.canReadLine())
            if (!m_process.waitForReadyRead(5000))
                return false;
        m_slave = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        return true;
    }
    QString slave() const { return m_slave; }

    bool finishes(int ms = 3000)
    {
        return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(ms);
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_slave;
};

} // namespace

class TestSim : public QObject
{
    Q_OBJECT

private slots:
    void exponentForm_data();
    void exponentForm();

    void instrumentReplies_data();
    void instrumentReplies();
    void errorQueueKeepsOrderAndOverflows();
    void readingsWobbleSlowlyAndRepeat();
    void setStates_data();
    void setStates();
    void everyReplyFormRenders();

    void parseFaults_data();
    void parseFaults();
    void parseCutQuery_data();
    void parseCutQuery();
    void parseEol_data();
    void parseEol();
    void lineSplitsCommands_data();
    void lineSplitsCommands();
    void lineFramesReplies_data();
    void lineFramesReplies();
    void lineFaults_data();
    void lineFaults();
    void lineDelaysReplies();

    void deviceWaits_data();
    void deviceWaits();
    void deviceTakesCommandsInPieces();
    void deviceSignalsReadyReadFromTheEventLoop();
    void deviceHangsUp();

    void programAnswersOnPty_data();
    void programAnswersOnPty();
    void programLogsAndSurvivesReopen();
    void programPacesAtBaud();
    void programHangsUp();
    void programEndsOnSignal_data();
    void programEndsOnSignal();
    void programRejectsBadArguments_data();
    void programRejectsBadArguments();
    void programLinkRules();
};

// ---- exponent form ---------------------------------------------------------

void TestSim::exponentForm_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QByteArray>("expected");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("plain")                 << 1.234567 << 6 << QByteArray("+1.234567E+00");
    QTest::newRow("negative, small")       << -0.0123 << 6 << QByteArray("-1.230000E-02");
    QTest::newRow("overload, 8 decimals")  << 9.9e37 << 8 << QByteArray("+9.90000000E+37");
    QTest::newRow("zero")                  << 0.0 << 6 << QByteArray("+0.000000E+00");
    QTest::newRow("negative zero")         << -0.0 << 6 << QByteArray("+0.000000E+00");
    QTest::newRow("rounds into next power") << 9.9999996 << 6 << QByteArray("+1.000000E+01");
    QTest::newRow("rounds half a digit")   << 1.2345675e3 << 6 << QByteArray("+1.234568E+03");
    QTest::newRow("three exponent digits") << 1e-100 << 6 << QByteArray("+1.000000E-100");
    QTest::newRow("large negative")        << -123456.7 << 6 << QByteArray("-1.234567E+05");
    QTest::newRow("five decimals")         << 0.5 << 5 << QByteArray("+5.00000E-01");
    QTest::newRow("infinity as overload")  << inf << 6 << QByteArray("+9.900000E+37");
    QTest::newRow("minus infinity")        << -inf << 6 << QByteArray("-9.900000E+37");
}

void TestSim::exponentForm()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QByteArray, expected);
    QCOMPARE(sim::exponentForm(value, decimals), expected);
}

// ---- instrument ------------------------------------------------------------

void TestSim::instrumentReplies_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QString>("reply");  // pattern; empty: no reply
    QTest::addColumn<int>("errors");
    const QString idn = QRegularExpression::escape(QString::fromLatin1(kIdn));
    const QString reading = kReadingReply.pattern();
    QTest::newRow("*IDN?")                << QByteArray("*IDN?") << u'^' + idn + u'$' << 0;
    QTest::newRow("lower case")           << QByteArray("*idn?") << u'^' + idn + u'$' << 0;
    QTest::newRow("blanks and mixed case") << QByteArray(" \t*IdN? ") << u'^' + idn + u'$' << 0;
    QTest::newRow("*SRE?")                << QByteArray("*SRE?") << u"^\\+0$"_s << 0;
    QTest::newRow("error queue empty")    << QByteArray("SYST:ERR?") << u"^\\+0,\"No error\"$"_s << 0;
    QTest::newRow("read?")                << QByteArray("read?") << reading << 0;
    QTest::newRow("read? buf")            << QByteArray("read? buf") << reading << 0;
    QTest::newRow("READ?  BUF, wide gap") << QByteArray("READ?  BUF") << reading << 0;
    for (const char *command : {"SYST:OUTP:EOF 2", "SYST:PAR:SAVE 5", "SYST:PAR:LOAD 5",
                                "SENS:CURR:DET OFF", "SYST:LOC", "*TRG", "conf:volt:ac"})
        QTest::newRow(command) << QByteArray(command) << QString() << 0;
    QTest::newRow("unknown query")        << QByteArray("FOO:BAR?") << QString() << 1;
    QTest::newRow("known query, extra word") << QByteArray("*IDN? now") << QString() << 1;
}

void TestSim::instrumentReplies()
{
    QFETCH(QByteArray, command);
    QFETCH(QString, reply);
    QFETCH(int, errors);
    sim::Instrument instrument;
    const std::optional<QByteArray> got = instrument.handle(command);
    if (reply.isEmpty()) {
        QVERIFY2(!got, got.value_or("").constData());
    } else {
        QVERIFY(got);
        QVERIFY2(QRegularExpression(reply).match(QString::fromLatin1(*got)).hasMatch(),
                 got->constData());
    }
    QCOMPARE(int(instrument.errorQueue().size()), errors);
    if (errors)
        QCOMPARE(instrument.errorQueue().front(), QByteArray("-113,\"Undefined header\""));
}

void TestSim::errorQueueKeepsOrderAndOverflows()
{
    sim::Instrument instrument;
    instrument.pushError("-222,\"Data out of range\"");
    QVERIFY(!instrument.handle("FOO?"));
    QCOMPARE(replyOf(instrument, "SYST:ERR?"), QByteArray("-222,\"Data out of range\""));
    QCOMPARE(replyOf(instrument, "syst:err?"), QByteArray("-113,\"Undefined header\""));
    QCOMPARE(replyOf(instrument, "SYST:ERR?"), QByteArray("+0,\"No error\""));

    // A full queue ends in an overflow entry and loses what comes later.
    for (int i = 0; i < 30; ++i)
        instrument.handle("FOO?");
    QCOMPARE(instrument.errorQueue().size(), sim::Instrument::kErrorQueueSize);
    QCOMPARE(instrument.errorQueue().back(), QByteArray("-350,\"Queue overflow\""));
    QCOMPARE(instrument.errorQueue().front(), QByteArray("-113,\"Undefined header\""));
}

void TestSim::readingsWobbleSlowlyAndRepeat()
{
    sim::Instrument a, b;
    QSet<QByteArray> seen;
    double last = 0;
    for (int i = 0; i < 200; ++i) {
        const QByteArray reply = replyOf(a, "read? buf");
        QCOMPARE(replyOf(b, "read? buf"), reply);  // deterministic
        QVERIFY2(kReadingReply.match(QString::fromLatin1(reply)).hasMatch(), reply.constData());
        const QList<QByteArray> fields = reply.split(',');
        const double v = fields[0].toDouble();
        QVERIFY2(v > 1.19 && v < 1.21, reply.constData());
        if (i > 0)
            QVERIFY2(std::fabs(v - last) < 1e-3, reply.constData());
        QCOMPARE(fields[1], QByteArray("+0.000000E+00"));
        last = v;
        seen.insert(fields[0]);
    }
    QVERIFY2(seen.size() > 50, "display 1 hardly changes");
}

void TestSim::setStates_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QString>("reply");  // pattern
    QTest::newRow("fixed display 1")  << u"display1=2.5"_s << true << QByteArray("read?")
                                      << u"^\\+2\\.500000E\\+00,\\+0\\.000000E\\+00$"_s;
    QTest::newRow("fixed display 2")  << u"display2=-0.001"_s << true << QByteArray("read?")
                                      << u"^\\+1\\.2\\d{5}E\\+00,-1\\.000000E-03$"_s;
    QTest::newRow("overload value")   << u"display1=9.9E37"_s << true << QByteArray("read?")
                                      << u"^\\+9\\.900000E\\+37,"_s;
    QTest::newRow("back to auto")     << u"display1=2.5,display1=auto"_s << true
                                      << QByteArray("read?") << u"^\\+1\\.2\\d{5}E\\+00,"_s;
    QTest::newRow("idn keeps commas") << u"idn=ACME,X1,7,2.00"_s << true << QByteArray("*IDN?")
                                      << u"^ACME,X1,7,2\\.00$"_s;
    QTest::newRow("idn then more")    << u"idn=A,B,C,D,display1=3"_s << true << QByteArray("*IDN?")
                                      << u"^A,B,C,D$"_s;
    QTest::newRow("unknown key")      << u"bogus=1"_s << false << QByteArray() << QString();
    QTest::newRow("not a number")     << u"display1=abc"_s << false << QByteArray() << QString();
    QTest::newRow("infinite")         << u"display1=inf"_s << false << QByteArray() << QString();
    QTest::newRow("no key")           << u"2.5"_s << false << QByteArray() << QString();
}

void TestSim::setStates()
{
    QFETCH(QString, list);
    QFETCH(bool, ok);
    QFETCH(QByteArray, query);
    QFETCH(QString, reply);
    sim::Instrument instrument;
    QString why;
    QCOMPARE(instrument.setStates(list, &why), ok);
    if (!ok) {
        QVERIFY(!why.isEmpty());
        return;
    }
    const QByteArray got = replyOf(instrument, query);
    QVERIFY2(QRegularExpression(reply).match(QString::fromLatin1(got)).hasMatch(), got.constData());
}

void TestSim::everyReplyFormRenders()
{
    QSet<QByteArray> queries;
    for (const sim::ReplyForm &row : sim::replyForms()) {
        const QByteArray query(row.query);
        QVERIFY2(!queries.contains(query), row.query);
        queries.insert(query);
        QCOMPARE(query, query.toLower().simplified());
        QVERIFY2(query.contains('?'), row.query);
        QVERIFY2(qstrlen(row.why) > 0, row.query);
        sim::Instrument instrument;
        const std::optional<QByteArray> reply = instrument.handle(query.toUpper());
        QVERIFY2(reply && !reply->isEmpty(), row.query);
        QVERIFY2(!reply->contains('%'), reply->constData());  // a name the model lacks
        QVERIFY2(instrument.errorQueue().empty(), row.query);
    }
}

// ---- line ------------------------------------------------------------------

void TestSim::parseFaults_data()
{
    QTest::addColumn<QString>("faultList");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QList<int>>("fields");  // silent, garble, cut, delay, hangup
    QTest::newRow("none")              << QString() << true << QList<int>{0, 0, 0, 0, 0};
    QTest::newRow("two")               << u"silent-after=3,delay-ms=200"_s << true
                                       << QList<int>{3, 0, 0, 200, 0};
    QTest::newRow("all, with blanks")  << u" silent-after=1, garble-every = 2 ,cut-every=3,"
                                          u"delay-ms=4,hangup-after=5"_s
                                       << true << QList<int>{1, 2, 3, 4, 5};
    QTest::newRow("zero is off")       << u"delay-ms=0"_s << true << QList<int>{0, 0, 0, 0, 0};
    QTest::newRow("unknown name")      << u"bogus=1"_s << false << QList<int>();
    QTest::newRow("no value")          << u"delay-ms"_s << false << QList<int>();
    QTest::newRow("empty value")       << u"delay-ms="_s << false << QList<int>();
    QTest::newRow("negative")          << u"delay-ms=-5"_s << false << QList<int>();
    QTest::newRow("not whole")         << u"delay-ms=1.5"_s << false << QList<int>();
    QTest::newRow("words")             << u"cut-every=often"_s << false << QList<int>();
    QTest::newRow("too large")         << u"delay-ms=99999999999"_s << false << QList<int>();
    QTest::newRow("given twice")       << u"cut-every=1,cut-every=2"_s << false << QList<int>();
    QTest::newRow("good then bad")     << u"cut-every=1,garble=2"_s << false << QList<int>();
}

void TestSim::parseFaults()
{
    QFETCH(QString, faultList);
    QFETCH(bool, ok);
    QFETCH(QList<int>, fields);
    QString why;
    const std::optional<sim::Faults> faults = sim::parseFaults(faultList, &why);
    QCOMPARE(bool(faults), ok);
    if (!faults) {
        QVERIFY(!why.isEmpty());
        return;
    }
    QCOMPARE((QList<int>{faults->silentAfter, faults->garbleEvery, faults->cutEvery,
                         faults->delayMs, faults->hangupAfter}),
             fields);
}

// The query whose replies are cut is kept as the instrument reads it.
void TestSim::parseCutQuery_data()
{
    QTest::addColumn<QString>("faultList");
    QTest::addColumn<QByteArray>("query");  // "" when the list is refused
    QTest::newRow("a query")          << u"cut-query=calc:lim:low?"_s << QByteArray("calc:lim:low?");
    QTest::newRow("case and blanks")  << u"delay-ms=5, cut-query = READ?  BUF "_s << QByteArray("read? buf");
    QTest::newRow("a command")        << u"cut-query=calc:lim:low 1"_s << QByteArray();
    QTest::newRow("empty")            << u"cut-query="_s << QByteArray();
    QTest::newRow("given twice")      << u"cut-query=*idn?,cut-query=*sre?"_s << QByteArray();
}

void TestSim::parseCutQuery()
{
    QFETCH(QString, faultList);
    QFETCH(QByteArray, query);
    QString why;
    const std::optional<sim::Faults> faults = sim::parseFaults(faultList, &why);
    QCOMPARE(bool(faults), !query.isEmpty());
    if (faults)
        QCOMPARE(faults->cutQuery, query);
    else
        QVERIFY(!why.isEmpty());
}

void TestSim::parseEol_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("eol");  // -1: fails
    QTest::newRow("cr")       << u"cr"_s << int(sim::Eol::Cr);
    QTest::newRow("LF")       << u"LF"_s << int(sim::Eol::Lf);
    QTest::newRow("crlf")     << u"crlf"_s << int(sim::Eol::CrLf);
    QTest::newRow("lfcr")     << u"lfcr"_s << int(sim::Eol::LfCr);
    QTest::newRow("empty")    << QString() << -1;
    QTest::newRow("cr lf")    << u"cr lf"_s << -1;
    QTest::newRow("escape")   << u"\\r"_s << -1;
}

void TestSim::parseEol()
{
    QFETCH(QString, text);
    QFETCH(int, eol);
    const std::optional<sim::Eol> got = sim::parseEol(text);
    QCOMPARE(got ? int(*got) : -1, eol);
}

void TestSim::lineSplitsCommands_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArrayList>("commands");
    QTest::addColumn<int>("replies");  // *IDN? replies sent back
    QTest::newRow("LF")                 << QByteArrayList{"*IDN?\n"} << QByteArrayList{"*IDN?"} << 1;
    QTest::newRow("CR LF")              << QByteArrayList{"*IDN?\r\n"} << QByteArrayList{"*IDN?"} << 1;
    QTest::newRow("lone CR")            << QByteArrayList{"*IDN?\r*TRG\r"}
                                        << QByteArrayList{"*IDN?", "*TRG"} << 1;
    QTest::newRow("CR LF split")        << QByteArrayList{"*IDN?\r", "\n*IDN?\n"}
                                        << QByteArrayList{"*IDN?", "*IDN?"} << 2;
    QTest::newRow("LF CR from a client") << QByteArrayList{"*IDN?\n\r*TRG\n\r"}
                                        << QByteArrayList{"*IDN?", "*TRG"} << 1;
    QTest::newRow("command in pieces")  << QByteArrayList{"*I", "DN", "?", "\n"}
                                        << QByteArrayList{"*IDN?"} << 1;
    QTest::newRow("no end yet")         << QByteArrayList{"*IDN?"} << QByteArrayList{} << 0;
    QTest::newRow("empty lines dropped") << QByteArrayList{"\n\r\n\r*TRG\n\n"}
                                        << QByteArrayList{"*TRG"} << 0;
    QTest::newRow("logged as sent")     << QByteArrayList{" *idn? \n", "conf:volt:ac\\10\n"}
                                        << QByteArrayList{" *idn? ", "conf:volt:ac\\10"} << 1;
}

void TestSim::lineSplitsCommands()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArrayList, commands);
    QFETCH(int, replies);
    sim::Instrument instrument;
    sim::Line line(instrument);
    for (const QByteArray &chunk : chunks)
        line.receive(chunk, 0);
    QCOMPARE(line.commands(), commands);
    QCOMPARE(line.takeDue(0), (QByteArray(kIdn) + '\r').repeated(replies));
    QCOMPARE(line.takeCommands(), commands);
    QVERIFY(line.commands().isEmpty());
}

void TestSim::lineFramesReplies_data()
{
    QTest::addColumn<QString>("eol");
    QTest::addColumn<QByteArray>("terminator");
    QTest::newRow("cr")   << u"cr"_s << QByteArray("\r");
    QTest::newRow("lf")   << u"lf"_s << QByteArray("\n");
    QTest::newRow("crlf") << u"crlf"_s << QByteArray("\r\n");
    QTest::newRow("lfcr") << u"lfcr"_s << QByteArray("\n\r");
}

void TestSim::lineFramesReplies()
{
    QFETCH(QString, eol);
    QFETCH(QByteArray, terminator);
    sim::Instrument instrument;
    sim::Line line(instrument, {}, *sim::parseEol(eol));
    line.receive("*IDN?\n*TRG\n*SRE?\n", 0);
    QCOMPARE(line.takeDue(0), kIdn + terminator + "+0" + terminator);
}

void TestSim::lineFaults_data()
{
    // Each command's outcome: ok, none (no reply), garbled, cut,
    // garbled+cut, gone (the line hung up).
    QTest::addColumn<QString>("faultList");
    QTest::addColumn<QByteArrayList>("commands");
    QTest::addColumn<QStringList>("outcomes");
    const QByteArrayList idn4{"*IDN?", "*IDN?", "*IDN?", "*IDN?"};
    QTest::newRow("no faults")       << QString() << idn4 << QStringList{"ok", "ok", "ok", "ok"};
    QTest::newRow("silent after 2")  << u"silent-after=2"_s << idn4
                                     << QStringList{"ok", "ok", "none", "none"};
    QTest::newRow("silent counts commands") << u"silent-after=2"_s
                                     << QByteArrayList{"*TRG", "*IDN?", "*IDN?"}
                                     << QStringList{"none", "ok", "none"};
    QTest::newRow("garble every 2")  << u"garble-every=2"_s << idn4
                                     << QStringList{"ok", "garbled", "ok", "garbled"};
    QTest::newRow("garble counts replies") << u"garble-every=2"_s
                                     << QByteArrayList{"*IDN?", "*TRG", "FOO?", "*IDN?"}
                                     << QStringList{"ok", "none", "none", "garbled"};
    QTest::newRow("cut every 3")     << u"cut-every=3"_s << idn4
                                     << QStringList{"ok", "ok", "cut", "ok"};
    QTest::newRow("garble and cut")  << u"garble-every=2,cut-every=2"_s << idn4
                                     << QStringList{"ok", "garbled+cut", "ok", "garbled+cut"};
    QTest::newRow("hang up after 2") << u"hangup-after=2"_s << idn4
                                     << QStringList{"ok", "gone", "gone", "gone"};
    QTest::newRow("hang up on a command") << u"hangup-after=1"_s
                                     << QByteArrayList{"*TRG", "*IDN?"} << QStringList{"gone", "gone"};
    QTest::newRow("cut one query, any case") << u"cut-query=*idn?"_s
                                     << QByteArrayList{"*IDN?", " *idn? ", "*SRE?", "*IDN?"}
                                     << QStringList{"cut", "cut", "+0\r", "cut"};
    QTest::newRow("cut query among counted cuts") << u"cut-query=*SRE?,cut-every=2"_s
                                     << QByteArrayList{"*SRE?", "*IDN?", "*IDN?", "*IDN?"}
                                     << QStringList{"+", "cut", "ok", "cut"};
}

void TestSim::lineFaults()
{
    QFETCH(QString, faultList);
    QFETCH(QByteArrayList, commands);
    QFETCH(QStringList, outcomes);
    sim::Instrument instrument;
    sim::Line line(instrument, *sim::parseFaults(faultList));
    const QByteArray body(kIdn);
    auto allDiffer = [](const QByteArray &a, const QByteArray &b) {
        for (qsizetype i = 0; i < a.size(); ++i)
            if (a[i] == b[i] || a[i] < '!' || a[i] > '~')
                return false;
        return true;
    };
    QStringList got;
    for (const QByteArray &command : commands) {
        line.receive(command + '\n', 0);
        const QByteArray out = line.takeDue(kLater);
        if (line.hungUp())
            got << (out.isEmpty() ? u"gone"_s : u"sent after hang-up: "_s + QString::fromLatin1(out));
        else if (out.isEmpty())
            got << u"none"_s;
        else if (out == body + '\r')
            got << u"ok"_s;
        else if (out == body.left(body.size() / 2))
            got << u"cut"_s;
        else if (out.size() == body.size() + 1 && out.endsWith('\r') && allDiffer(out.chopped(1), body))
            got << u"garbled"_s;
        else if (out.size() == body.size() / 2 && allDiffer(out, body))
            got << u"garbled+cut"_s;
        else
            got << QString::fromLatin1(out);
    }
    QCOMPARE(got, outcomes);
    // The line keeps the hang-up command and hears nothing after it.
    const qsizetype heard = outcomes.contains(u"gone"_s) ? outcomes.indexOf(u"gone"_s) + 1
                                                         : outcomes.size();
    QCOMPARE(line.commands(), commands.first(heard));
}

void TestSim::lineDelaysReplies()
{
    sim::Instrument instrument;
    sim::Line line(instrument, *sim::parseFaults(u"delay-ms=200,garble-every=1"));
    line.receive("*IDN?\n", 1000);
    line.receive("*IDN?\n", 1050);
    QCOMPARE(line.nextDue(), std::optional<qint64>(1200));
    QVERIFY(line.takeDue(1199).isEmpty());
    const QByteArray first = line.takeDue(1200);
    QCOMPARE(first.size(), qsizetype(sizeof kIdn));  // body and CR
    QCOMPARE(line.nextDue(), std::optional<qint64>(1250));
    QCOMPARE(line.takeDue(1250), first);  // the same reply garbles the same way
    QCOMPARE(line.nextDue(), std::nullopt);

    // A hang-up loses what is still queued.
    sim::Line dying(instrument, *sim::parseFaults(u"delay-ms=200,hangup-after=2"));
    dying.receive("*IDN?\n", 0);
    dying.receive("*IDN?\n", 10);
    QVERIFY(dying.hungUp());
    QCOMPARE(dying.nextDue(), std::nullopt);
    QVERIFY(dying.takeDue(kLater).isEmpty());
}

// ---- in-process device -----------------------------------------------------

void TestSim::deviceWaits_data()
{
    QTest::addColumn<QString>("faults");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("waitMs");
    QTest::addColumn<bool>("ready");
    QTest::addColumn<int>("atLeastMs");
    // A reply that is not to come in the wait is due long after it, so that
    // a wait that runs on to the reply is told from one that gave up.
    QTest::newRow("reply waiting")          << QString() << QByteArray("*IDN?\n") << 60000 << true << 0;
    QTest::newRow("late reply within wait") << u"delay-ms=80"_s << QByteArray("*IDN?\n") << 60000 << true << 75;
    QTest::newRow("late reply beyond wait") << u"delay-ms=60000"_s << QByteArray("*IDN?\n") << 40 << false << 35;
    QTest::newRow("no reply, bounded")      << QString() << QByteArray("*TRG\n") << 40 << false << 35;
    QTest::newRow("no reply, unbounded")    << QString() << QByteArray("*TRG\n") << -1 << false << 0;
    QTest::newRow("late reply, unbounded")  << u"delay-ms=60"_s << QByteArray("*IDN?\n") << -1 << true << 55;
    QTest::newRow("late reply, no wait")    << u"delay-ms=60000"_s << QByteArray("*IDN?\n") << 0 << false << 0;
}

void TestSim::deviceWaits()
{
    QFETCH(QString, faults);
    QFETCH(QByteArray, command);
    QFETCH(int, waitMs);
    QFETCH(bool, ready);
    QFETCH(int, atLeastMs);
    sim::Instrument instrument;
    sim::SimDevice device(instrument, *sim::parseFaults(faults));
    QVERIFY(device.open(QIODevice::ReadWrite));  // as the channel opens it
    QCOMPARE(device.write(command), command.size());
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(device.waitForReadyRead(waitMs), ready);
    const qint64 took = clock.elapsed();
    // Only a wait gone on far too long fails the bound, whatever the
    // machine's load.
    QVERIFY2(took >= atLeastMs && took < 20000, QByteArray::number(took).constData());
    QCOMPARE(device.readAll(), ready ? QByteArray(kIdn) + '\r' : QByteArray());
}

void TestSim::deviceTakesCommandsInPieces()
{
    sim::Instrument instrument;
    sim::SimDevice device(instrument);
    device.write("*ID");
    QCOMPARE(device.bytesAvailable(), qint64(0));
    device.write("N?\n*SRE?\nSYST:LOC\n");
    QVERIFY(device.open(QIODevice::ReadWrite));  // opening again keeps what waits
    QCOMPARE(device.read(4), QByteArray(kIdn).left(4));
    QCOMPARE(device.readAll(), QByteArray(kIdn).mid(4) + "\r+0\r");
    QCOMPARE(device.commands(), (QByteArrayList{"*IDN?", "*SRE?", "SYST:LOC"}));
    QVERIFY(device.waitForBytesWritten(0));
}

void TestSim::deviceSignalsReadyReadFromTheEventLoop()
{
    sim::Instrument instrument;
    sim::SimDevice device(instrument, *sim::parseFaults(u"delay-ms=30"));
    QSignalSpy ready(&device, &QIODevice::readyRead);
    QSignalSpy written(&device, &QIODevice::bytesWritten);
    device.write("*IDN?\n");
    QCOMPARE(ready.size(), 0);  // nothing inside write()
    QVERIFY(ready.wait(2000));
    QCOMPARE(device.readAll(), QByteArray(kIdn) + '\r');
    QCOMPARE(written.size(), 1);
    QCOMPARE(written.first().first().toLongLong(), 6);
}

void TestSim::deviceHangsUp()
{
    sim::Instrument instrument;
    sim::SimDevice device(instrument, *sim::parseFaults(u"hangup-after=2"));
    device.write("*IDN?\n");
    QVERIFY(device.waitForReadyRead(0));
    device.write("*IDN?\n");
    QVERIFY(device.hungUp());
    QVERIFY(!device.isOpen());
    QVERIFY(device.errorString().contains(u"went away"_s));
    // Nothing is to come: both waits give up at once, long before the
    // bounded one's minute.
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!device.waitForReadyRead(-1));
    QVERIFY(!device.waitForReadyRead(60000));
    QVERIFY(clock.elapsed() < 20000);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"not open"_s));
    QCOMPARE(device.write("*IDN?\n"), -1);
    QVERIFY(!device.open(QIODevice::ReadWrite));
    QVERIFY(device.errorString().contains(u"went away"_s));
    QCOMPARE(device.commands(), (QByteArrayList{"*IDN?", "*IDN?"}));
}

// ---- ravelo-sim on a pty -----------------------------------------------------

void TestSim::programAnswersOnPty_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("default")   << QStringList() << QByteArray("*IDN?\n") << QByteArray(kIdn) + '\r';
    QTest::newRow("--eol lfcr") << QStringList{u"--eol"_s, u"lfcr"_s} << QByteArray("*SRE?\n")
                               << QByteArray("+0\n\r");
    QTest::newRow("--idn")     << QStringList{u"--idn=ACME,X1,7,2.00"_s} << QByteArray("*IDN?\n")
                               << QByteArray("ACME,X1,7,2.00\r");
    QTest::newRow("--state")   << QStringList{u"--state"_s, u"display1=-2.5,display2=1e-3"_s}
                               << QByteArray("READ? BUF\n")
                               << QByteArray("-2.500000E+00,+1.000000E-03\r");
    QTest::newRow("--state, a limit") << QStringList{u"--state=limupp=5"_s}
                               << QByteArray("calc:lim:upp?\ncalc:lim:low 0.5\nCALC:LIM:LOW?\n")
                               << QByteArray("+5.000000E+00\r+5.000000E-01\r");
    QTest::newRow("--state, display 2 overload") << QStringList{u"--state"_s, u"func2=DCV,display2=ol"_s}
                               << QByteArray("val2?\n") << QByteArray("+9.90000000E+37\r");
    QTest::newRow("--fault cut") << QStringList{u"--fault"_s, u"cut-every=1"_s}
                               << QByteArray("*SRE?\n*IDN?\n") << QByteArray("+") + QByteArray(kIdn).left(14);
    QTest::newRow("later value counts") << QStringList{u"--idn"_s, u"A,B,C,D"_s, u"--idn=ACME,X1,7,2.00"_s}
                               << QByteArray("*IDN?\n") << QByteArray("ACME,X1,7,2.00\r");
}

void TestSim::programAnswersOnPty()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    Program program;
    QVERIFY(program.start(arguments));
    QCOMPARE(QFileInfo(program.link()).symLinkTarget(), program.slave());
    Port port(program.link());
    QVERIFY(port.isOpen());
    QCOMPARE(port.ask(command, reply.size()), reply);
}

void TestSim::programLogsAndSurvivesReopen()
{
    Program program;
    const QString log = program.file(u"commands.log"_s);
    {
        QFile old(log);  // the log is appended to
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier\n");
    }
    QVERIFY(program.start({u"--log"_s, log}));
    {
        Port port(program.link());
        QCOMPARE(port.ask("*IDN?\n", sizeof kIdn), QByteArray(kIdn) + '\r');
        port.write("SYST:LOC\r\n");
    }
    for (int i = 0; i < 2; ++i) {  // the client closes and comes back
        Port port(program.link());
        const QByteArray reply = port.ask("read? buf\n", 28);
        QVERIFY2(kReadingReply.match(QString::fromLatin1(reply.chopped(1))).hasMatch(),
                 reply.constData());
        QVERIFY(reply.endsWith('\r'));
    }
    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("earlier\n*IDN?\nSYST:LOC\nread? buf\nread? buf\n"));
}

void TestSim::programPacesAtBaud()
{
    // 2400 baud, 10 bits a byte: the 30-byte reply needs 125 ms on the wire.
    Program program;
    QVERIFY(program.start({u"--baud"_s, u"2400"_s}));
    Port port(program.link());
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(port.ask("*IDN?\n", sizeof kIdn), QByteArray(kIdn) + '\r');
    QVERIFY2(clock.elapsed() >= 110, QByteArray::number(clock.elapsed()).constData());
}

void TestSim::programHangsUp()
{
    Program program;
    QVERIFY(program.start({u"--fault"_s, u"hangup-after=2"_s}));
    Port port(program.link());
    QCOMPARE(port.ask("*IDN?\n", sizeof kIdn), QByteArray(kIdn) + '\r');
    QVERIFY(port.write("*IDN?\n"));
    QByteArray rest;
    QCOMPARE(port.read(&rest, 1, 3000), Port::End::Gone);
    QVERIFY(rest.isEmpty());
    QVERIFY(program.finishes());
    QCOMPARE(program.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.process().exitCode(), 0);
    QVERIFY(!QFileInfo(program.link()).isSymLink());
}

void TestSim::programEndsOnSignal_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT")  << SIGINT;
}

void TestSim::programEndsOnSignal()
{
    QFETCH(int, signal);
    Program program;
    QVERIFY(program.start({}));
    {
        Port port(program.link());  // a client still holding the port
        QCOMPARE(port.ask("*SRE?\n", 3), QByteArray("+0\r"));
        QCOMPARE(::kill(pid_t(program.process().processId()), signal), 0);
        QVERIFY(program.finishes());
    }
    QCOMPARE(program.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.process().exitCode(), 0);
    QVERIFY(!QFileInfo(program.link()).isSymLink());
}

void TestSim::programRejectsBadArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing")        << QStringList();
    QTest::newRow("no link path")   << QStringList{u"--link"_s};
    QTest::newRow("unknown option") << QStringList{u"--link"_s, u"L"_s, u"--speed"_s, u"9600"_s};
    QTest::newRow("bad eol")        << QStringList{u"--link"_s, u"L"_s, u"--eol"_s, u"crcr"_s};
    QTest::newRow("bad baud")       << QStringList{u"--link"_s, u"L"_s, u"--baud"_s, u"0"_s};
    QTest::newRow("bad fault")      << QStringList{u"--link"_s, u"L"_s, u"--fault"_s, u"delay-ms=x"_s};
    QTest::newRow("bad state")      << QStringList{u"--link"_s, u"L"_s, u"--state"_s, u"nope=1"_s};
    QTest::newRow("stray argument") << QStringList{u"--link"_s, u"L"_s, u"9600"_s};
    QTest::newRow("bad value before a good one")
        << QStringList{u"--link"_s, u"L"_s, u"--fault"_s, u"delay-ms=x"_s, u"--fault"_s, u"delay-ms=1"_s};
}

void TestSim::programRejectsBadArguments()
{
    QFETCH(QStringList, arguments);
    QTemporaryDir dir;
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(QStringLiteral(RAVELO_SIM_PROGRAM), arguments);
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardOutput().isEmpty());
    QVERIFY(!process.readAllStandardError().isEmpty());
    QVERIFY(!QFileInfo(dir.filePath(u"L"_s)).exists() && !QFileInfo(dir.filePath(u"L"_s)).isSymLink());
}

void TestSim::programLinkRules()
{
    // A stale link from an earlier run is replaced ...
    Program stale;
    QVERIFY(QFile::link(u"/nonexistent/pts"_s, stale.link()));
    QVERIFY(stale.start({}));
    QCOMPARE(QFileInfo(stale.link()).symLinkTarget(), stale.slave());

    // ... a regular file never is.
    Program blocked;
    {
        QFile file(blocked.link());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep me");
    }
    QVERIFY(!blocked.start({}));
    QVERIFY(blocked.finishes());
    QCOMPARE(blocked.process().exitCode(), 1);
    QFile file(blocked.link());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep me"));
}

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
