#include "platform/panel_timer.h"

#include <QElapsedTimer>

namespace rt {

namespace {

int g_holds = 0;

// The hand-turned clock, while one lives, and every timer it drives.
bool g_manual = false;
qint64 g_manualNow = 0;
QList<PanelTimer *> &allTimers()
{
    static QList<PanelTimer *> timers;
    return timers;
}

// Tells the timers that held a tick that the hold is over.
class TickRelease : public QObject
{
    Q_OBJECT
signals:
    void released();
};

TickRelease &tickRelease()
{
    static TickRelease release;
    return release;
}

} // namespace

HeldTicks::HeldTicks() { ++g_holds; }

HeldTicks::~HeldTicks()
{
    if (--g_holds == 0)
        emit tickRelease().released();
}

bool HeldTicks::active() { return g_holds > 0; }

PanelTimer::PanelTimer(QObject *parent) : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PanelTimer::timeout);
    connect(&tickRelease(), &TickRelease::released, this, &PanelTimer::released);
    allTimers().append(this);
}

PanelTimer::~PanelTimer()
{
    allTimers().removeOne(this);
}

void PanelTimer::timeout()
{
    if (HeldTicks::active()) {
        m_held = true;
        return;
    }
    tick();
}

void PanelTimer::released()
{
    if (!m_held)
        return;
    m_held = false;
    // After the code that held the ticks has returned, and only while the
    // timer still runs.
    QTimer::singleShot(0, this, [this] {
        if (m_enabled && m_interval > 0)
            timeout();
    });
}

void PanelTimer::setInterval(int msecs)
{
    m_interval = msecs < 0 ? 0 : msecs;
    restart();
}

void PanelTimer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    restart();
}

void PanelTimer::restart()
{
    const bool runs = m_enabled && m_interval > 0;
    if (g_manual) {
        m_timer.stop();
        m_dueAt = runs ? g_manualNow + m_interval : -1;
    } else if (runs) {
        m_timer.start(m_interval);
    } else {
        m_timer.stop();
    }
}

int PanelTimer::remainingTime() const
{
    if (g_manual)
        return m_dueAt < 0 ? -1 : int(m_dueAt - g_manualNow);
    return m_timer.isActive() ? m_timer.remainingTime() : -1;
}

ManualTimerClock::ManualTimerClock()
{
    Q_ASSERT(!g_manual);
    g_manual = true;
    g_manualNow = 0;
    for (PanelTimer *timer : allTimers())
        timer->restart();
}

ManualTimerClock::~ManualTimerClock()
{
    g_manual = false;
    for (PanelTimer *timer : allTimers()) {
        timer->m_dueAt = -1;
        timer->restart();
    }
}

qint64 ManualTimerClock::now() const
{
    return g_manualNow;
}

qint64 timerClockNow()
{
    if (g_manual)
        return g_manualNow;
    static QElapsedTimer steady = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return steady.elapsed();
}

void ManualTimerClock::advance(int msecs)
{
    const qint64 until = g_manualNow + qMax(msecs, 0);
    for (;;) {
        PanelTimer *next = nullptr;
        for (PanelTimer *timer : allTimers())
            if (timer->m_dueAt >= 0 && timer->m_dueAt <= until
                && (!next || timer->m_dueAt < next->m_dueAt))
                next = timer;
        if (!next)
            break;
        g_manualNow = next->m_dueAt;
        next->m_dueAt += next->m_interval;  // the next tick, unless the handler changes it
        next->timeout();
    }
    g_manualNow = until;
}

void PanelTimer::tick()
{
    if (m_inTick || !m_handler)
        return;
    m_inTick = true;
    m_handler();
    m_inTick = false;
}

} // namespace rt

#include "panel_timer.moc"
