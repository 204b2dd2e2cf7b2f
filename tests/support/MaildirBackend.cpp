#include "support/MaildirBackend.h"

#include "mail/MailProfile.h"
#include "mail/ProfileKeys.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>

namespace Enrolix::Testing {

MaildirBackend::MaildirBackend(const QString& root) : m_root(root)
{
    for (const QString& box : {inbox(), outbox()}) {
        for (const char* sub : {"tmp", "new", "cur"})
            QDir().mkpath(box + QLatin1String(sub));
    }
}

QString MaildirBackend::problem() const
{
    return QDir(inbox() + QStringLiteral("new")).exists() ? QString() : QStringLiteral("no Maildir at ") + m_root;
}

void MaildirBackend::configure(SettingsStore& store, const QString& profile) const
{
    store.write(profile, SettingsKeys::kMailInbox, MailProfile::kMaildirScheme + inbox());
    store.write(profile, SettingsKeys::kMailOutbox, MailProfile::kMaildirScheme + outbox());
    store.write(profile, SettingsKeys::kMailFrom, QStringLiteral("attendant@example.com"));
}

void MaildirBackend::deliver(const QByteArray& raw)
{
    // Names sort in delivery order; the times may tie.
    QFile file(inbox() + QStringLiteral("new/1700000000.M%1P1.test").arg(++m_delivered, 6, 10, QLatin1Char('0')));
    if (file.open(QIODevice::WriteOnly))
        file.write(raw);
}

int MaildirBackend::unreadCount() const
{
    int count = int(QDir(inbox() + QStringLiteral("new")).entryList(QDir::Files).size());
    for (const QString& name : QDir(inbox() + QStringLiteral("cur")).entryList(QDir::Files)) {
        if (!name.section(QStringLiteral(":2,"), 1).contains(QLatin1Char('S')))
            ++count;
    }
    return count;
}

QList<QByteArray> MaildirBackend::replies() const
{
    return messagesIn(outbox() + QStringLiteral("new"));
}

} // namespace Enrolix::Testing
