#pragma once
// The tick labels of every axis of the program in one plain form: numbers
// in full with their thousands grouped and as many places as the step from
// tick to tick needs ("500,000", "1,000,000"; "0.25", "0.50"), never a
// power of ten beside a number written out.

#include <qcustomplot.h>

namespace windows {

class PlainTicker : public QCPAxisTicker
{
protected:
    QVector<double> createTickVector(double tickStep, const QCPRange &range) override;
    QString getTickLabel(double tick, const QLocale &locale, QChar formatChar, int precision) override;

    // The step between two ticks as the axis was last laid out.
    double tickStep() const { return m_step; }

private:
    double m_step = 1;
};

} // namespace windows
