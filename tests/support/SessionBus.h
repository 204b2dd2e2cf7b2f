#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace Enrolix::Testing {

// A session bus of the test's own: a dbus-daemon on a socket in a temporary folder, with a
// configuration that starts no service by itself, so only what the test puts on it answers.
class SessionBus
{
public:
    SessionBus();
    ~SessionBus();
    Q_DISABLE_COPY_MOVE(SessionBus)

    // Empty when the daemon could not be started.
    QString address() const { return m_address; }

private:
    QTemporaryDir m_folder;
    QProcess m_daemon;
    QString m_address;
};

} // namespace Enrolix::Testing
