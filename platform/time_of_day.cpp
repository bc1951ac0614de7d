#include "platform/time_of_day.h"

#include <QTime>

namespace rt {

namespace {

FixedTimeOfDay *g_fixed = nullptr;  // the event thread's only

} // namespace

double secondsSinceMidnight()
{
    if (g_fixed)
        return g_fixed->seconds();
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

FixedTimeOfDay::FixedTimeOfDay(double seconds)
    : m_seconds(seconds), m_before(g_fixed)
{
    g_fixed = this;
}

FixedTimeOfDay::~FixedTimeOfDay()
{
    g_fixed = m_before;
}

} // namespace rt
