#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

namespace Enrolix::Testing {

// A freedesktop notification service on a bus of the test, recording every notification it is
// asked to show. Calls are answered while the test's event loop runs (QTRY_*).
class NotificationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Shown
    {
        QString application;
        QString summary;
        QString body;
        QVariantMap hints;
    };

    explicit NotificationService(const QString& busAddress);
    ~NotificationService() override;
    Q_DISABLE_COPY_MOVE(NotificationService)

    // True once it serves the notifications on the bus.
    bool isServing() const { return m_serving; }
    const QList<Shown>& shown() const { return m_shown; }

public Q_SLOTS:
    Q_SCRIPTABLE uint Notify(const QString& application, uint replacesId, const QString& icon, const QString& summary,
                             const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout);

private:
    QDBusConnection m_bus;
    bool m_serving{false};
    QList<Shown> m_shown;
};

} // namespace Enrolix::Testing
