#pragma once
// The simulator as a byte-level QIODevice, for tests: the real command
// channel runs on it exactly as on a serial port, time-outs included.

#include "sim/line.h"

#include <QElapsedTimer>
#include <QIODevice>

namespace sim {

class SimDevice : public QIODevice
{
    Q_OBJECT
public:
    // The instrument is the caller's, so a test can change its state while
    // the device runs.
    explicit SimDevice(Instrument &instrument, Faults faults = {}, Eol eol = Eol::Cr,
                       QObject *parent = nullptr);

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    bool waitForReadyRead(int msecs) override;
    bool waitForBytesWritten(int msecs) override;

    // Commands received, as they arrived on the wire, without line ends.
    const QByteArrayList &commands() const { return m_line.commands(); }
    bool hungUp() const { return m_line.hungUp(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    // Moves replies whose time has come into the read buffer; closes the
    // device when the line has hung up.
    void pump() const;

    mutable Line m_line;
    mutable QByteArray m_rx;
    QElapsedTimer m_clock;
};

} // namespace sim
