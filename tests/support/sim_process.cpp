#include "support/sim_process.h"

#include <QDeadlineTimer>

SimProcess::SimProcess(const QStringList &arguments)
{
    QStringList all = {QStringLiteral("--link"), linkPath(), QStringLiteral("--log"), logPath()};
    all += arguments;
    m_process.start(QStringLiteral(RAVELO_SIM_PROGRAM), all);
    if (!m_process.waitForStarted(5000))
        return;
    const QDeadlineTimer deadline(5000);
    while (!m_process.canReadLine() && !deadline.hasExpired()
           && m_process.state() == QProcess::Running)
        m_process.waitForReadyRead(int(deadline.remainingTime()));
    if (m_process.canReadLine())
        m_ptyPath = QString::fromLocal8Bit(m_process.readLine()).trimmed();
}

SimProcess::~SimProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
}
