#pragma once
// The simulator as a byte-level QIODevice, for tests: the real command
// channel runs on it exactly as on a serial port, time-outs included.

#include "sim/line.h"

#include <QElapsedTimer>
#include <QIODevice>
#include <QTimer>

namespace sim {

class SimDevice : public QIODevice
{
    Q_OBJECT
public:
    // The instrument is the caller's, so a test can change its state while
    // the device runs. The device starts open for reading and writing;
    // opening it again is harmless, and fails once the line has gone away.
    explicit SimDevice(Instrument &instrument, Faults faults = {}, Eol eol = Eol::Cr,
                       QObject *parent = nullptr);

    // Paces replies as a serial line at this rate does, 10 bits a byte: a
    // reply's bytes arrive one after the other from its due time on, so a
    // block of readings comes in one by one. 0 (the default): a reply
    // arrives whole at its due time.
    void setBaud(int baud);

    bool open(OpenMode mode) override;
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    // True at once when bytes are waiting; otherwise sleeps until the next
    // reply is due (true) or for msecs (false), never longer. msecs = -1
    // waits for a queued reply however late, and returns false at once
    // when nothing is queued.
    bool waitForReadyRead(int msecs) override;
    bool waitForBytesWritten(int msecs) override;

    // Commands received, as they arrived on the wire, without line ends.
    const QByteArrayList &commands() const { return m_line.commands(); }
    bool hungUp() const { return m_line.hungUp(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    // Moves replies whose time has come into the read buffer (at the
    // line's pace); true when bytes arrived. Emits nothing: callers that
    // may emit do so.
    bool pump() const;
    // When the next byte arrives, in ms on the device's clock, if any is
    // on its way.
    std::optional<qint64> nextArrival() const;
    // With an event loop running, readyRead comes when a reply is due.
    void armTimer();
    void replyDue();

    mutable Line m_line;
    mutable QByteArray m_rx;
    mutable QByteArray m_paced;        // due, still on its way at the line's pace
    mutable qint64 m_nextByteNs = 0;   // when the first byte of m_paced arrives
    qint64 m_byteNs = 0;               // one byte at the line's rate; 0: no pacing
    QElapsedTimer m_clock;
    QTimer m_due;
};

} // namespace sim
