#pragma once
// A timer with the habits the panel's procedures were written for:
//  - an interval of 0 never fires, even while enabled;
//  - enabling a timer that is already enabled does not restart its count;
//  - setting the interval restarts the count (when enabled);
//  - a tick never re-enters its own handler: a tick that comes while the
//    handler is still running (it lets events run while it waits) is dropped;
//  - while ticks are held (HeldTicks: an exchange with the instrument is
//    outstanding and events run meanwhile) a tick that falls due waits and
//    runs once the hold ends, so no timer's procedure starts an exchange in
//    the middle of another.
//
// While a ManualTimerClock lives, the timers keep no time of their own: the
// clock's owner (a test) turns it forward and each tick falls due exactly
// when its interval has passed on that clock.

#include <QObject>
#include <QList>
#include <QTimer>
#include <functional>

namespace rt {

class PanelTimer : public QObject
{
    Q_OBJECT
public:
    explicit PanelTimer(QObject *parent = nullptr);
    ~PanelTimer() override;

    void setInterval(int msecs);
    int interval() const { return m_interval; }

    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }

    // The X_Timer_Timer procedure.
    void setHandler(std::function<void()> handler) { m_handler = std::move(handler); }

    // Runs the handler as one tick would (tests, and the few places that
    // call a timer's procedure directly).
    void tick();

    bool inTick() const { return m_inTick; }

    // Milliseconds to the next tick, -1 when it will not tick.
    int remainingTime() const;

private:
    friend class ManualTimerClock;
    void restart();
    void timeout();
    void released();

    QTimer m_timer;
    qint64 m_dueAt = -1;  // on the manual clock, while one lives; -1: not due
    std::function<void()> m_handler;
    int m_interval = 0;
    bool m_enabled = false;
    bool m_inTick = false;
    bool m_held = false;  // a tick fell due while ticks were held
};

// A clock turned by hand, for tests of what happens after so many
// milliseconds: while it lives every PanelTimer (those made before it too)
// runs on it alone. One at a time.
class ManualTimerClock
{
public:
    ManualTimerClock();
    ~ManualTimerClock();
    ManualTimerClock(const ManualTimerClock &) = delete;
    ManualTimerClock &operator=(const ManualTimerClock &) = delete;

    // Turns the clock forward; every tick that falls due on the way runs,
    // in time order, each with the clock at its own moment.
    void advance(int msecs);
    qint64 now() const;
};

// Milliseconds on the clock the timers keep: the hand-turned one while it
// lives, otherwise a steady clock. Times taken here compare with each other
// only.
qint64 timerClockNow();

// Holds every PanelTimer's ticks while it lives; holds nest.
class HeldTicks
{
public:
    HeldTicks();
    ~HeldTicks();
    HeldTicks(const HeldTicks &) = delete;
    HeldTicks &operator=(const HeldTicks &) = delete;

    static bool active();
};

} // namespace rt
