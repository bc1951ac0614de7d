#include "platform/end_signals.h"

#include <QSocketNotifier>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace rt {

#ifdef Q_OS_UNIX

namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe from the handler to the event loop: [0] is read, [1] written.
// Set once before any handler is, never changed after.
int g_pipe[2] = {-1, -1};

// The one thing the handler does: the signal's number into the pipe.
void onEndSignal(int number)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(number);
    // A full pipe keeps the byte out; the ones in it are heard all the same.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

bool setFlags(int fd, int fdFlags, int statusFlags)
{
    const int fdNow = ::fcntl(fd, F_GETFD);
    const int statusNow = ::fcntl(fd, F_GETFL);
    return fdNow != -1 && statusNow != -1 && ::fcntl(fd, F_SETFD, fdNow | fdFlags) != -1
           && ::fcntl(fd, F_SETFL, statusNow | statusFlags) != -1;
}

bool isIgnored(int number)
{
    struct sigaction now = {};
    return ::sigaction(number, nullptr, &now) == 0 && now.sa_handler == SIG_IGN;
}

// From the first signal heard on, any of them ends the process at once.
void endAtOnceFromNowOn()
{
    for (const int number : kEndSignals) {
        if (!isIgnored(number))
            ::signal(number, SIG_DFL);
    }
}

} // namespace

bool catchEndSignals()
{
    if (g_pipe[0] != -1)
        return true;
    int ends[2];
    if (::pipe(ends) != 0)
        return false;
    // Neither end blocks (a handler never waits on a full pipe), and neither
    // goes to a program started from here.
    if (!setFlags(ends[0], FD_CLOEXEC, O_NONBLOCK) || !setFlags(ends[1], FD_CLOEXEC, O_NONBLOCK)) {
        ::close(ends[0]);
        ::close(ends[1]);
        return false;
    }
    g_pipe[0] = ends[0];
    g_pipe[1] = ends[1];
    for (const int number : kEndSignals) {
        if (isIgnored(number))
            continue;
        struct sigaction action = {};
        action.sa_handler = onEndSignal;
        sigemptyset(&action.sa_mask);
        // The handler is taken back as it runs, so a second signal of the
        // same kind ends the process at once even before the event loop has
        // heard the first (a program stuck in a call); calls it cuts short
        // start again.
        action.sa_flags = SA_RESETHAND | SA_RESTART;
        ::sigaction(number, &action, nullptr);
    }
    return true;
}

EndSignals::EndSignals(QObject *parent) : QObject(parent)
{
    if (g_pipe[0] == -1)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &EndSignals::readPipe);
}

void EndSignals::readPipe()
{
    unsigned char numbers[16];
    const ssize_t count = ::read(g_pipe[0], numbers, sizeof numbers);
    if (count <= 0 || m_asked)
        return;
    m_asked = true;
    endAtOnceFromNowOn();
    if (count > 1)
        ::raise(numbers[1]);  // a second one came before the first was heard
    emit endAsked(numbers[0]);
}

#else

bool catchEndSignals()
{
    return false;
}

EndSignals::EndSignals(QObject *parent) : QObject(parent)
{
}

void EndSignals::readPipe()
{
}

#endif

} // namespace rt
