#pragma once

#include "support/MailBackend.h"

#include <QMap>

namespace Enrolix::Testing {

// The Dovecot server and the SMTP sink of the mail-server fixture. Each backend signs on as a
// user of its own and sends from an address of its own, so tests never see each other's mail.
class ServerBackend final : public MailBackend
{
public:
    // The fixture's IMAP server, or its second one, whose capabilities lack IDLE.
    enum class Imap { WithIdle, WithoutIdle };

    explicit ServerBackend(const QString& root, Imap imap = Imap::WithIdle);

    QString problem() const override;
    void configure(SettingsStore& store, const QString& profile) const override;
    void deliver(const QByteArray& raw) override;
    // Over one connection.
    void deliver(const QList<QByteArray>& raws) override;
    // Puts the messages into the inbox, unread and in this order, at once: written into the
    // user's Maildir on the server's disk, which Dovecot takes in at the next selection of the
    // folder, where an APPEND each would take the server a disk sync each. False on failure.
    bool deliverAll(const QList<QByteArray>& raws);
    // Removes the user's mailbox and replies from the servers' disk, where tens of thousands of
    // files would slow the removal of the whole fixture.
    void discardMail();
    int unreadCount() const override;
    QList<QByteArray> replies() const override;

    // A value of the fixture's environment file (ports, folders, the certificate).
    QString value(const QString& key) const { return m_env.value(key); }
    QString user() const { return m_user; }
    QString from() const { return m_user + QStringLiteral("@example.com"); }
    QString imapUrl() const;
    QString smtpUrl() const;
    // The refusals the SMTP sink gives this backend's mails from now on, one a line ("RCPT * 554
    // 5.7.1 Relay access denied", see smtp_sink.py); none takes them away.
    void refuse(const QStringList& rules) const;

private:
    QMap<QString, QString> m_env;
    QString m_problem;
    QString m_user;
    // The keys of the environment file that name the IMAP server's port and state folder.
    QString m_portKey{QStringLiteral("ENROLIX_IMAP_PORT")};
    QString m_stateKey{QStringLiteral("ENROLIX_MAIL_STATE")};
};

} // namespace Enrolix::Testing
