#include "platform/DBusDesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace Enrolix {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
// A service that is slow to start must not hold up the passes for long.
constexpr int kAnswerMs = 5000;
// The urgency hints a desktop notification service understands.
constexpr uchar kNormal = 1;
constexpr uchar kCritical = 2;
// The server's own default display time.
constexpr int kDefaultTimeout = -1;

} // namespace

DBusDesktopNotifier::DBusDesktopNotifier(const QString& application, const QString& icon, const QString& desktopEntry)
    : m_application(application), m_icon(icon), m_desktopEntry(desktopEntry)
{
}

bool DBusDesktopNotifier::notify(const Notice& notice)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(notice.urgent ? kCritical : kNormal)},
                            {QStringLiteral("desktop-entry"), m_desktopEntry}};
    call << m_application << uint(0) << m_icon << notice.summary << notice.body << QStringList() << hints
         << kDefaultTimeout;
    return bus.call(call, QDBus::Block, kAnswerMs).type() == QDBusMessage::ReplyMessage;
}

} // namespace Enrolix
