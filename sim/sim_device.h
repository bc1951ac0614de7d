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
    // Moves replies whose time has come into the read buffer; true when
    // bytes arrived. Emits nothing: callers that may emit do so.
    bool pump() const;
    // With an event loop running, readyRead comes when a reply is due.
    void armTimer();
    void replyDue();

    mutable Line m_line;
    mutable QByteArray m_rx;
    QElapsedTimer m_clock;
    QTimer m_due;
};

} // namespace sim
