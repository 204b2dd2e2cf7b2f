#pragma once

#include "support/MailBackend.h"

namespace Enrolix::Testing {

// An inbox and an outbox Maildir under a folder of the test.
class MaildirBackend final : public MailBackend
{
public:
    explicit MaildirBackend(const QString& root);

    QString problem() const override;
    void configure(SettingsStore& store, const QString& profile) const override;
    using MailBackend::deliver;
    void deliver(const QByteArray& raw) override;
    int unreadCount() const override;
    QList<QByteArray> replies() const override;

    QString inbox() const { return m_root + QStringLiteral("inbox/"); }
    QString outbox() const { return m_root + QStringLiteral("outbox/"); }

private:
    QString m_root;
    int m_delivered{0};
};

} // namespace Enrolix::Testing
