// ravelo-sim: the simulated instrument on a pseudo-terminal, for end-to-end
// runs of the program (RAVELO_COM1=/tmp/ravelo-com1 after
// "ravelo-sim --link /tmp/ravelo-com1").
//
// The simulator keeps a descriptor of its own on the pty's slave side, so a
// client may close the port and open it again without the master seeing a
// hang-up. On a scripted hang-up it closes both sides and leaves: a client
// then reads EOF or EIO, as from an unplugged adapter.

#include "sim/instrument.h"
#include "sim/line.h"

#include <QByteArray>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kBadArguments = 2;
constexpr int kFailed = 1;

constexpr char kUsage[] =
    "usage: ravelo-sim --link PATH [--baud N] [--eol cr|lf|crlf|lfcr] [--log FILE]\n"
    "                  [--idn TEXT] [--state key=value,...] [--fault LIST]\n"
    "  --link PATH   symbolic link to the pty's slave side (an old link is replaced)\n"
    "  --baud N      pace replies at N baud, 10 bits a byte (default: no pacing)\n"
    "  --eol E       reply terminator (default cr)\n"
    "  --log FILE    append each command received, one a line\n"
    "  --idn TEXT    identification reply, four comma-separated fields\n"
    "  --state LIST  instrument state: display1=N|auto, display2=N|auto, idn=TEXT,\n"
    "                func1=DCV|ACV|DCI|ACI|2W|4W|Hz|P|DIODE|CONTINU|TEMP, auto1=0|1,\n"
    "                range1=LABEL (10V, 1mA, 10K, ...; after func1; sets auto1=0),\n"
    "                func2=OFF|DCV|ACV|DCI|ACI|2W|4W|Hz|P|9..17, auto2=0|1, range2=LABEL,\n"
    "                rate=S|M|F, filter=0|1, trigger=ext|imm, scanner=0|1, unit=C|F,\n"
    "                tco=B|E|J|K|N|R|S|T, error=ENTRY (once per entry) or error=none,\n"
    "                calcfunc=off|hold|rel|..., holdref=N (answered as written),\n"
    "                reply:QUERY=TEXT (a fixed reply; TEXT auto undoes it),\n"
    "                display1=ol|display2=ol (the overload reading +9.90000000E+37),\n"
    "                triggap=MS (with trigger=ext, between the replies of one *TRG),\n"
    "                filtcount=1..100 (readings per filtered reading), timescale=X (times\n"
    "                every reading time; default 1, 0 answers at once),\n"
    "                numbered=0|1 (display 1 reads 1, 2, 3, ...: which query a reply answers),\n"
    "                chan101..chan118=on|off[,FUNCTION,RANGE,on|off] (a scanner channel:\n"
    "                in the scan, keyword as rout:chan? answers it, range as sent, auto),\n"
    "                scancount=N, scandelay=N, trigdel=N (whole numbers),\n"
    "                filttype=mov|rep, rjunsim=N (hundredths of a degree), dbmref=N,\n"
    "                mathchan=0|1, limupp, limlow, rtdalpha, rtdbeta, rtddelta, mathmmf,\n"
    "                mathmbf, mathperc, relref=NUMBER (any form; read back as +1.500000E+00)\n"
    "  --fault LIST  silent-after=N, garble-every=N, cut-every=N, delay-ms=N, hangup-after=N,\n"
    "                cut-query=QUERY (every reply to QUERY cut, as cut-every cuts one)\n"
    "Prints the slave's path as its first line; serves until SIGTERM or SIGINT.\n"
    "Exit codes: 0 done, 1 could not serve, 2 bad arguments.\n";

struct Options
{
    std::string link;
    int baud = 0;  // 0: no pacing
    sim::Eol eol = sim::Eol::Cr;
    std::string log;
    std::optional<QByteArray> idn;
    QString state;
    sim::Faults faults;
};

// Each option takes a value, as "--name VALUE" or "--name=VALUE". Given
// twice, the later value counts; a bad value fails wherever it stands.
using TakeValue = bool (*)(Options &, const QString &value, QString *why);

bool fail(QString *why, const QString &reason)
{
    *why = reason;
    return false;
}

bool takeLink(Options &options, const QString &value, QString *why)
{
    if (value.isEmpty())
        return fail(why, QStringLiteral("--link needs a path"));
    options.link = value.toLocal8Bit().toStdString();
    return true;
}

bool takeBaud(Options &options, const QString &value, QString *why)
{
    bool ok = false;
    options.baud = value.toInt(&ok);
    if (!ok || options.baud <= 0 || options.baud > 4'000'000)
        return fail(why, QStringLiteral("--baud needs a rate from 1 to 4000000, not \"%1\"").arg(value));
    return true;
}

bool takeEol(Options &options, const QString &value, QString *why)
{
    const std::optional<sim::Eol> eol = sim::parseEol(value);
    if (!eol)
        return fail(why, QStringLiteral("--eol is cr, lf, crlf or lfcr, not \"%1\"").arg(value));
    options.eol = *eol;
    return true;
}

bool takeLog(Options &options, const QString &value, QString *)
{
    options.log = value.toLocal8Bit().toStdString();
    return true;
}

bool takeIdn(Options &options, const QString &value, QString *)
{
    options.idn = value.toUtf8();
    return true;
}

// Checked against the instrument once all options are in.
bool takeState(Options &options, const QString &value, QString *)
{
    options.state = value;
    return true;
}

bool takeFaults(Options &options, const QString &value, QString *why)
{
    QString reason;
    const std::optional<sim::Faults> faults = sim::parseFaults(value, &reason);
    if (!faults)
        return fail(why, QStringLiteral("--fault: %1").arg(reason));
    options.faults = *faults;
    return true;
}

struct OptionRow
{
    const char *name;
    const char *valueName;  // as the usage names it
    TakeValue take;
};
constexpr OptionRow kOptions[] = {
    // name    value   take
    {"link",   "PATH", takeLink},
    {"baud",   "N",    takeBaud},
    {"eol",    "E",    takeEol},
    {"log",    "FILE", takeLog},
    {"idn",    "TEXT", takeIdn},
    {"state",  "LIST", takeState},
    {"fault",  "LIST", takeFaults},
};

std::optional<Options> parseArguments(int argc, char **argv, QString *why)
{
    QCommandLineParser parser;
    for (const OptionRow &row : kOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(row.name), QString(),
                                            QString::fromLatin1(row.valueName)));
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (!parser.parse(arguments)) {
        *why = parser.errorText();
        return std::nullopt;
    }
    if (const QStringList extra = parser.positionalArguments(); !extra.isEmpty()) {
        *why = QStringLiteral("unknown argument \"%1\"").arg(extra.first());
        return std::nullopt;
    }
    Options options;
    for (const OptionRow &row : kOptions)
        for (const QString &value : parser.values(QString::fromLatin1(row.name)))
            if (!row.take(options, value, why))
                return std::nullopt;
    if (options.link.empty()) {
        *why = QStringLiteral("--link PATH is required");
        return std::nullopt;
    }
    return options;
}

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

bool setFlags(int fd, int statusFlags)
{
    return fcntl(fd, F_SETFD, FD_CLOEXEC) == 0
           && fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | statusFlags) == 0;
}

bool watchSignals()
{
    if (pipe(g_signalPipe) != 0 || !setFlags(g_signalPipe[0], O_NONBLOCK)
        || !setFlags(g_signalPipe[1], O_NONBLOCK))
        return false;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        if (sigaction(signal, &action, nullptr) != 0)
            return false;
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

void complain(const char *what, const std::string &detail = {})
{
    std::fprintf(stderr, "ravelo-sim: %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
}

struct Pty
{
    int master = -1;
    int slave = -1;  // our own, so a client's close is no hang-up
    std::string slavePath;
};

std::optional<Pty> openPty()
{
    Pty pty;
    pty.master = posix_openpt(O_RDWR | O_NOCTTY);
    if (pty.master < 0 || grantpt(pty.master) != 0 || unlockpt(pty.master) != 0)
        return std::nullopt;
    if (const char *name = ptsname(pty.master))
        pty.slavePath = name;
    else
        return std::nullopt;
    pty.slave = open(pty.slavePath.c_str(), O_RDWR | O_NOCTTY);
    termios raw = {};
    if (pty.slave < 0 || tcgetattr(pty.slave, &raw) != 0)
        return std::nullopt;
    cfmakeraw(&raw);
    if (tcsetattr(pty.slave, TCSANOW, &raw) != 0 || !setFlags(pty.master, O_NONBLOCK)
        || !setFlags(pty.slave, 0))
        return std::nullopt;
    return pty;
}

// Replaces a symbolic link at path, never anything else.
bool makeLink(const std::string &path, const std::string &target)
{
    struct stat st = {};
    if (lstat(path.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            complain("refusing to replace something that is not a symbolic link", path);
            return false;
        }
        if (unlink(path.c_str()) != 0) {
            complain("cannot remove the old link", path + ": " + std::strerror(errno));
            return false;
        }
    }
    if (symlink(target.c_str(), path.c_str()) != 0) {
        complain("cannot make the link", path + ": " + std::strerror(errno));
        return false;
    }
    return true;
}

// Removes the link only while it still points at our slave.
void removeLink(const std::string &path, const std::string &target)
{
    char buffer[4096];
    const ssize_t n = readlink(path.c_str(), buffer, sizeof buffer);
    if (n > 0 && std::string(buffer, size_t(n)) == target)
        unlink(path.c_str());
}

class Server
{
public:
    Server(const Options &options, sim::Instrument &instrument, Pty pty, std::FILE *log)
        : m_line(instrument, options.faults, options.eol), m_pty(std::move(pty)),
          m_log(log), m_start(Clock::now()),
          m_periodNs(options.baud > 0 ? 10'000'000'000LL / options.baud : 0)
    {
    }

    int serve();

private:
    using Clock = std::chrono::steady_clock;
    qint64 nowNs() const
    {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - m_start).count();
    }
    bool receive(qint64 now);
    bool send(qint64 now);
    int pollTimeoutMs(qint64 now) const;
    void logCommands();

    sim::Line m_line;
    Pty m_pty;
    std::FILE *m_log;
    Clock::time_point m_start;
    qint64 m_periodNs;    // one byte at the chosen baud; 0 without pacing
    qint64 m_nextByteNs = 0;
    bool m_blocked = false;  // the pty took no more: wait until it does
    QByteArray m_out;     // due bytes not written yet
};

bool Server::receive(qint64 now)
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(m_pty.master, buffer, sizeof buffer);
        if (n > 0) {
            m_line.receive(QByteArray(buffer, n), now / 1'000'000);
            logCommands();
            if (m_line.hungUp())
                return true;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return true;
        complain("reading the pty failed", n == 0 ? "end of file" : std::strerror(errno));
        return false;
    }
}

void Server::logCommands()
{
    for (const QByteArray &command : m_line.takeCommands()) {
        if (!m_log)
            continue;
        std::fwrite(command.constData(), 1, size_t(command.size()), m_log);
        std::fputc('\n', m_log);
        std::fflush(m_log);
    }
}

bool Server::send(qint64 now)
{
    const QByteArray due = m_line.takeDue(now / 1'000'000);
    if (!due.isEmpty()) {
        if (m_out.isEmpty())
            m_nextByteNs = std::max(m_nextByteNs, now);
        m_out += due;
    }
    if (m_out.isEmpty())
        return true;
    qint64 count = m_out.size();
    if (m_periodNs > 0) {
        // Catch up at most 2 ms of lateness (poll wakes to the ms), never
        // a burst after the pty was full.
        m_nextByteNs = std::max(m_nextByteNs, now - 2'000'000);
        count = m_nextByteNs > now ? 0 : std::min<qint64>(count, (now - m_nextByteNs) / m_periodNs + 1);
    }
    if (count == 0)
        return true;
    const ssize_t n = write(m_pty.master, m_out.constData(), size_t(count));
    if (n < 0) {
        m_blocked = errno == EAGAIN;
        if (errno == EAGAIN || errno == EINTR)
            return true;
        complain("writing the pty failed", std::strerror(errno));
        return false;
    }
    m_blocked = n < count;
    m_out.remove(0, n);
    m_nextByteNs += n * m_periodNs;
    return true;
}

int Server::pollTimeoutMs(qint64 now) const
{
    std::optional<qint64> wakeNs;
    if (const std::optional<qint64> due = m_line.nextDue())
        wakeNs = *due * 1'000'000;
    if (!m_out.isEmpty() && m_periodNs > 0 && !m_blocked)
        wakeNs = std::min(wakeNs.value_or(m_nextByteNs), m_nextByteNs);
    if (!wakeNs)
        return -1;
    const qint64 ms = (*wakeNs - now + 999'999) / 1'000'000;  // rounded up: never early
    return int(std::clamp<qint64>(ms, 0, 60'000));
}

int Server::serve()
{
    for (;;) {
        qint64 now = nowNs();
        if (!send(now))
            return kFailed;
        pollfd fds[2] = {{m_pty.master, POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
        if (m_blocked || (!m_out.isEmpty() && m_periodNs == 0))
            fds[0].events |= POLLOUT;
        const int ready = poll(fds, 2, pollTimeoutMs(now));
        if (ready < 0 && errno != EINTR) {
            complain("poll failed", std::strerror(errno));
            return kFailed;
        }
        if (ready <= 0)
            continue;
        if (fds[1].revents)
            return 0;  // SIGTERM, SIGINT or SIGHUP
        if (fds[0].revents & POLLOUT)
            m_blocked = false;
        if (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) {
            now = nowNs();
            if (!receive(now))
                return kFailed;
            if (m_line.hungUp())
                return 0;  // the scripted hang-up: leave, closing both sides
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    QString why;
    const std::optional<Options> options = parseArguments(argc, argv, &why);
    if (!options) {
        std::fprintf(stderr, "ravelo-sim: %s\n%s", qPrintable(why), kUsage);
        return kBadArguments;
    }
    sim::Instrument instrument;
    if (options->idn)
        instrument.setIdentity(*options->idn);
    // On a line the instrument takes its time for every reading.
    instrument.setState(u"timescale", u"1");
    if (!instrument.setStates(options->state, &why)) {
        std::fprintf(stderr, "ravelo-sim: --state: %s\n%s", qPrintable(why), kUsage);
        return kBadArguments;
    }

    std::FILE *log = nullptr;
    if (!options->log.empty() && !(log = std::fopen(options->log.c_str(), "a"))) {
        complain("cannot open the log", options->log + ": " + std::strerror(errno));
        return kFailed;
    }
    if (!watchSignals()) {
        complain("cannot watch signals", std::strerror(errno));
        return kFailed;
    }
    const std::optional<Pty> pty = openPty();
    if (!pty) {
        complain("cannot open a pseudo-terminal", std::strerror(errno));
        return kFailed;
    }
    if (!makeLink(options->link, pty->slavePath))
        return kFailed;
    std::printf("%s\n", pty->slavePath.c_str());
    std::fflush(stdout);

    const int result = Server(*options, instrument, *pty, log).serve();

    close(pty->master);
    close(pty->slave);
    removeLink(options->link, pty->slavePath);
    if (log)
        std::fclose(log);
    return result;
}
