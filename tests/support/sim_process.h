#pragma once
// ravelo-sim as a separate program on a pseudo-terminal, for end-to-end
// tests of the channel over a real serial device.

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

class SimProcess
{
public:
    // Starts ravelo-sim with --link in a temporary folder and the extra
    // arguments; waits for the pty path it prints first.
    explicit SimProcess(const QStringList &arguments = {});
    ~SimProcess();
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    bool started() const { return !m_ptyPath.isEmpty(); }
    QString linkPath() const { return m_dir.filePath(QStringLiteral("com1")); }
    QString logPath() const { return m_dir.filePath(QStringLiteral("sim.log")); }
    QString ptyPath() const { return m_ptyPath; }
    QProcess &process() { return m_process; }
    QString errors() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_ptyPath;
};
