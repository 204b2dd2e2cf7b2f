#include "support/NotificationService.h"

namespace Enrolix::Testing {
namespace {

const QString kConnection = QStringLiteral("test-notification-service");

} // namespace

NotificationService::NotificationService(const QString& busAddress)
    : m_bus(QDBusConnection::connectToBus(busAddress, kConnection))
{
    m_serving = m_bus.isConnected() &&
                m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                     QDBusConnection::ExportScriptableSlots) &&
                m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
}

NotificationService::~NotificationService()
{
    m_bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
    QDBusConnection::disconnectFromBus(kConnection);
}

uint NotificationService::Notify(const QString& application, uint, const QString&, const QString& summary,
                                 const QString& body, const QStringList&, const QVariantMap& hints, int)
{
    m_shown.append({application, summary, body, hints});
    return uint(m_shown.size());
}

} // namespace Enrolix::Testing
