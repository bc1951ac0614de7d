#include "platform/panel_timer.h"

namespace rt {

namespace {

int g_holds = 0;

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
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
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
