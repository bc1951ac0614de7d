#include "sim/sim_device.h"

#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>
#include <cstring>

namespace sim {

SimDevice::SimDevice(Instrument &instrument, Faults faults, Eol eol, QObject *parent)
    : QIODevice(parent), m_line(instrument, faults, eol)
{
    m_clock.start();
    m_due.setSingleShot(true);
    m_due.setTimerType(Qt::PreciseTimer);
    connect(&m_due, &QTimer::timeout, this, &SimDevice::replyDue);
    QIODevice::open(QIODevice::ReadWrite);
}

bool SimDevice::open(OpenMode mode)
{
    if (m_line.hungUp()) {
        setErrorString(tr("The line went away (the simulated instrument hung up)."));
        return false;
    }
    if (isOpen() && openMode() == mode)
        return true;  // keeps bytes already waiting
    return QIODevice::open(mode);
}

void SimDevice::setBaud(int baud)
{
    m_byteNs = baud > 0 ? 10'000'000'000LL / baud : 0;
}

bool SimDevice::pump() const
{
    if (!isOpen())
        return false;
    const qint64 nowNs = m_clock.nsecsElapsed();
    const qint64 nowMs = nowNs / 1'000'000;
    if (m_byteNs == 0) {
        const QByteArray due = m_line.takeDue(nowMs);
        m_rx += due;
        return !due.isEmpty();
    }
    // Each reply starts when it is due or when the bytes ahead of it have
    // gone, whichever is later.
    for (std::optional<qint64> due = m_line.nextDue(); due && *due <= nowMs; due = m_line.nextDue()) {
        if (m_paced.isEmpty())
            m_nextByteNs = std::max(m_nextByteNs, *due * 1'000'000);
        m_paced += m_line.takeDue(*due);
    }
    if (m_paced.isEmpty() || nowNs < m_nextByteNs)
        return false;
    const qint64 count = std::min<qint64>(m_paced.size(), (nowNs - m_nextByteNs) / m_byteNs + 1);
    m_rx += m_paced.left(count);
    m_paced.remove(0, count);
    m_nextByteNs += count * m_byteNs;
    return true;
}

std::optional<qint64> SimDevice::nextArrival() const
{
    if (!m_paced.isEmpty())
        return (m_nextByteNs + 999'999) / 1'000'000;  // rounded up: never early
    return m_line.nextDue();
}

qint64 SimDevice::bytesAvailable() const
{
    pump();
    return m_rx.size() + QIODevice::bytesAvailable();
}

qint64 SimDevice::readData(char *data, qint64 maxSize)
{
    pump();
    const qint64 n = qMin(maxSize, qint64(m_rx.size()));
    memcpy(data, m_rx.constData(), size_t(n));
    m_rx.remove(0, n);
    return n;
}

qint64 SimDevice::writeData(const char *data, qint64 maxSize)
{
    if (m_line.hungUp()) {
        setErrorString(tr("The line went away (the simulated instrument hung up)."));
        return -1;
    }
    m_line.receive(QByteArray(data, maxSize), m_clock.elapsed());
    if (m_line.hungUp()) {
        // Like an unplugged adapter: what was waiting is lost with the line.
        m_rx.clear();
        m_paced.clear();
        m_due.stop();
        close();
        setErrorString(tr("The line went away (the simulated instrument hung up)."));
        return maxSize;
    }
    armTimer();
    QMetaObject::invokeMethod(this, [this, maxSize] { emit bytesWritten(maxSize); },
                              Qt::QueuedConnection);
    return maxSize;
}

void SimDevice::armTimer()
{
    if (const std::optional<qint64> due = nextArrival())
        m_due.start(int(std::clamp<qint64>(*due - m_clock.elapsed(), 0, 1 << 30)));
}

void SimDevice::replyDue()
{
    pump();
    armTimer();
    if (!m_rx.isEmpty())
        emit readyRead();
}

bool SimDevice::waitForReadyRead(int msecs)
{
    const QDeadlineTimer deadline(msecs < 0 ? QDeadlineTimer::Forever : QDeadlineTimer(msecs));
    for (;;) {
        if (!isOpen())
            return false;
        if (pump()) {
            emit readyRead();
            return true;
        }
        if (bytesAvailable() > 0)
            return true;
        const std::optional<qint64> due = nextArrival();
        if (!due && deadline.isForever())
            return false;  // nothing will ever come
        const qint64 left = deadline.remainingTime();  // -1 when forever
        const qint64 untilDue = due ? qMax<qint64>(0, *due - m_clock.elapsed()) : -1;
        if (!due || (left >= 0 && untilDue > left)) {
            QThread::msleep(ulong(left));
            if (pump()) {  // due in the very last moment
                emit readyRead();
                return true;
            }
            return false;
        }
        QThread::msleep(ulong(untilDue));
    }
}

bool SimDevice::waitForBytesWritten(int)
{
    return true;  // every byte is taken in at once
}

} // namespace sim
