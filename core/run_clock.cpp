#include "core/run_clock.h"

#include <QCoreApplication>

#include <algorithm>
#include <thread>

namespace runs {

Nanos SystemRunClock::monotonic()
{
    return std::chrono::duration_cast<Nanos>(std::chrono::steady_clock::now().time_since_epoch());
}

QDateTime SystemRunClock::wallNow()
{
    return QDateTime::currentDateTime();
}

void SystemRunClock::sleepFor(Nanos span)
{
    if (span > Nanos::zero())
        std::this_thread::sleep_for(span);
}

RunClock &systemRunClock()
{
    static SystemRunClock clock;
    return clock;
}

QDateTime ManualRunClock::wallNow()
{
    return m_wallStart.addMSecs(std::chrono::duration_cast<std::chrono::milliseconds>(m_now).count());
}

void ManualRunClock::advance(Nanos span)
{
    const Nanos target = m_now + std::max(span, Nanos::zero());
    // Actions run at their own moment, in order; one may put another.
    while (!m_actions.empty() && m_actions.begin()->first <= target) {
        const auto first = m_actions.begin();
        m_now = std::max(m_now, first->first);
        const std::function<void()> action = std::move(first->second);
        m_actions.erase(first);
        action();
    }
    m_now = std::max(m_now, target);
}

void letEventsRun()
{
    QCoreApplication::processEvents();
}

bool waitUntil(RunClock &clock, Nanos deadline, const std::function<bool()> &stop)
{
    for (;;) {
        letEventsRun();
        if (stop && stop())
            return false;
        const Nanos left = deadline - clock.monotonic();
        if (left <= Nanos::zero())
            return true;
        clock.sleepFor(std::min(left, kWaitSlice));
    }
}

} // namespace runs
