#pragma once
// The signals that ask a program to end - SIGTERM (kill, a service manager,
// a session's logout), SIGINT (Ctrl-C) and SIGHUP (a terminal closed) -
// heard in the event loop, so that the program can end as its own close
// ends it instead of stopping wherever it stands.
//
// The handler does one thing that is safe in a handler: it writes the
// signal's number to a pipe. An EndSignals object watches the pipe and
// emits endAsked() once, from the event loop (the waits on the instrument
// let events run, so it is heard inside them too). From the first signal
// on, another one ends the process at once with the system's default
// action, for a program whose close does not come.
//
// A signal that was ignored when the program started (nohup, a shell's
// background job) stays ignored. Where there are no such signals (Windows)
// nothing is caught and endAsked() never comes.

#include <QObject>

class QSocketNotifier;

namespace rt {

// Catches the three signals from now on. Call it once, early: a signal
// that comes before an EndSignals object watches waits in the pipe for
// it. False when no pipe could be made; the signals keep their default
// action then.
bool catchEndSignals();

class EndSignals : public QObject
{
    Q_OBJECT
public:
    // Watches the pipe of catchEndSignals() (which must have been called).
    explicit EndSignals(QObject *parent = nullptr);

signals:
    // The first of the signals came; its number.
    void endAsked(int signalNumber);

private:
    void readPipe();

    QSocketNotifier *m_notifier = nullptr;
    bool m_asked = false;
};

} // namespace rt
