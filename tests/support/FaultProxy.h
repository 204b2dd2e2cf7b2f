#pragma once

#include <QProcess>
#include <QStringList>

namespace Enrolix::Testing {

// The loopback proxy of tests/mail/fault_proxy.py in front of a server port, running while
// the object lives: a distant, silent, trickling or refusing server for real.
class FaultProxy
{
public:
    // options: the proxy's own, e.g. {"--silent-after", "SELECT"}.
    FaultProxy(int targetPort, const QStringList& options);
    ~FaultProxy();
    FaultProxy(const FaultProxy&) = delete;
    FaultProxy& operator=(const FaultProxy&) = delete;

    // 0 when the proxy did not start.
    int port() const { return m_port; }
    // Connections from now on pass through untouched.
    void heal();
    // Cuts the connections open now.
    void cut();

private:
    QProcess m_process;
    int m_port{0};
};

} // namespace Enrolix::Testing
