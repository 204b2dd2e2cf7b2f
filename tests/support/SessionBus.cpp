#include "support/SessionBus.h"

#include <QFile>

namespace Enrolix::Testing {
namespace {

// No <servicedir>: a service installed on this machine must not be started in the test's place.
const char* const kConfiguration = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

} // namespace

SessionBus::SessionBus()
{
    const QString configuration = m_folder.filePath(QStringLiteral("session.conf"));
    QFile file(configuration);
    if (!m_folder.isValid() || !file.open(QIODevice::WriteOnly) ||
        file.write(QString::fromUtf8(kConfiguration).arg(m_folder.path()).toUtf8()) < 0)
        return;
    file.close();
    // It complains of limits it may not raise, which matter nothing here.
    m_daemon.setStandardErrorFile(QProcess::nullDevice());
    m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--nofork"), QStringLiteral("--print-address"),
                                                   QStringLiteral("--config-file=") + configuration});
    if (m_daemon.waitForReadyRead(10000))
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

SessionBus::~SessionBus()
{
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(5000)) {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
}

} // namespace Enrolix::Testing
