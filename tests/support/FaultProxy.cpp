#include "support/FaultProxy.h"

#include <csignal>
#include <sys/types.h>

namespace Enrolix::Testing {

FaultProxy::FaultProxy(int targetPort, const QStringList& options)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("/usr/bin/python3"),
                    QStringList{QStringLiteral(ENROLIX_FAULT_PROXY), QString::number(targetPort)} + options);
    if (!m_process.waitForReadyRead(10000))
        return;
    m_port = m_process.readLine().trimmed().toInt();
}

void FaultProxy::heal()
{
    ::kill(pid_t(m_process.processId()), SIGUSR1);
}

void FaultProxy::cut()
{
    ::kill(pid_t(m_process.processId()), SIGUSR2);
}

FaultProxy::~FaultProxy()
{
    m_process.kill();
    m_process.waitForFinished(5000);
}

} // namespace Enrolix::Testing
