#include "support/LockHolder.h"

namespace Enrolix::Testing {

LockHolder::LockHolder(const QString& program, const QString& folder)
{
    m_process.start(program, {folder});
    while (!m_process.canReadLine() && m_process.waitForReadyRead(10000)) {
    }
    if (m_process.readLine().trimmed() != "locked")
        m_problem = program + QStringLiteral(" did not take the lock: ") + m_process.errorString() +
                    QString::fromLocal8Bit(m_process.readAllStandardError());
}

LockHolder::~LockHolder()
{
    letGo();
}

void LockHolder::letGo()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.write("\n");
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(10000))
        m_process.kill();
    m_process.waitForFinished(10000);
}

} // namespace Enrolix::Testing
