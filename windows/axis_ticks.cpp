#include "windows/axis_ticks.h"

#include "platform/runtime.h"

namespace windows {

QVector<double> PlainTicker::createTickVector(double tickStep, const QCPRange &range)
{
    m_step = tickStep;
    return QCPAxisTicker::createTickVector(tickStep, range);
}

QString PlainTicker::getTickLabel(double tick, const QLocale &, QChar, int)
{
    return rt::groupedNumber(tick, rt::placesOfStep(m_step));
}

} // namespace windows
