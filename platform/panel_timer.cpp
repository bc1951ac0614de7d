#include "platform/panel_timer.h"

namespace rt {

PanelTimer::PanelTimer(QObject *parent) : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PanelTimer::tick);
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
