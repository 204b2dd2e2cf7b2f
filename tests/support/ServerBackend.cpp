#include "support/ServerBackend.h"

#include "support/CurlTestClient.h"
#include "support/EnvironmentFile.h"

#include "mail/ProfileKeys.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace Enrolix::Testing {

ServerBackend::ServerBackend(const QString& /*root*/, Imap imap)
{
    if (imap == Imap::WithoutIdle) {
        m_portKey = QStringLiteral("ENROLIX_IMAP_NOIDLE_PORT");
        m_stateKey = QStringLiteral("ENROLIX_NOIDLE_STATE");
    }
    static int sequence = 0;
    m_user = QStringLiteral("t%1-%2").arg(QCoreApplication::applicationPid()).arg(++sequence);
    const std::optional<QMap<QString, QString>> env = readEnvironmentFile("ENROLIX_MAIL_SERVERS");
    if (!env) {
        m_problem = QStringLiteral("the mail servers of the test fixture are not running (no %1)")
                        .arg(qEnvironmentVariable("ENROLIX_MAIL_SERVERS"));
        return;
    }
    m_env = *env;
}

QString ServerBackend::problem() const
{
    return m_problem;
}

QString ServerBackend::imapUrl() const
{
    return QStringLiteral("imap://127.0.0.1:%1/INBOX").arg(value(m_portKey));
}

QString ServerBackend::smtpUrl() const
{
    return QStringLiteral("smtp://127.0.0.1:%1").arg(value(QStringLiteral("ENROLIX_SMTP_PORT")));
}

void ServerBackend::configure(SettingsStore& store, const QString& profile) const
{
    store.write(profile, SettingsKeys::kMailInbox, imapUrl());
    store.write(profile, SettingsKeys::kMailOutbox, smtpUrl());
    store.write(profile, SettingsKeys::kMailUser, m_user);
    store.write(profile, SettingsKeys::kMailPassword, QStringLiteral("secret"));
    store.write(profile, SettingsKeys::kMailFrom, from());
    store.write(profile, SettingsKeys::kMailCaFile, value(QStringLiteral("ENROLIX_MAIL_CA")));
}

void ServerBackend::deliver(const QByteArray& raw)
{
    deliver(QList<QByteArray>{raw});
}

void ServerBackend::deliver(const QList<QByteArray>& raws)
{
    CurlTestClient client(value(QStringLiteral("ENROLIX_MAIL_CA")), m_user);
    for (const QByteArray& raw : raws) {
        if (!client.append(imapUrl().toUtf8(), raw))
            qWarning("APPEND failed");
    }
}

bool ServerBackend::deliverAll(const QList<QByteArray>& raws)
{
    // Signing on makes the server create the user's Maildir.
    CurlTestClient client(value(QStringLiteral("ENROLIX_MAIL_CA")), m_user);
    if (!client.request(imapUrl().toUtf8(), "NOOP"))
        return false;
    const QString maildir = value(m_stateKey) + QStringLiteral("/mail/") + m_user;
    const QFileInfo folder(maildir);
    // Dovecot numbers new files in the order of the times their names begin with.
    const qint64 first = QDateTime::currentSecsSinceEpoch() - raws.size();
    for (qsizetype i = 0; i < raws.size(); ++i) {
        const QString name =
            QStringLiteral("%1.M0P%2Q%3.enrolix-test").arg(first + i).arg(QCoreApplication::applicationPid()).arg(i);
        const QString temporary = maildir + QStringLiteral("/tmp/") + name;
        QFile file(temporary);
        if (!file.open(QIODevice::WriteOnly) || file.write(raws.at(i)) != raws.at(i).size())
            return false;
        file.close();
        // The server reads and renames a user's files as the owner of the user's folder.
        if (::chown(QFile::encodeName(temporary).constData(), folder.ownerId(), folder.groupId()) != 0 ||
            !QFile::rename(temporary, maildir + QStringLiteral("/new/") + name))
            return false;
    }
    return true;
}

void ServerBackend::discardMail()
{
    if (!m_problem.isEmpty())
        return;
    QDir(value(m_stateKey) + QStringLiteral("/mail/") + m_user).removeRecursively();
    QDir(value(QStringLiteral("ENROLIX_SINK_DIR")) + QLatin1Char('/') + from().toLower()).removeRecursively();
}

int ServerBackend::unreadCount() const
{
    CurlTestClient client(value(QStringLiteral("ENROLIX_MAIL_CA")), m_user);
    return client.unreadCount(imapUrl().toUtf8()).value_or(-1);
}

void ServerBackend::refuse(const QStringList& rules) const
{
    const QString path =
        value(QStringLiteral("ENROLIX_SINK_DIR")) + QLatin1Char('/') + from().toLower() + QStringLiteral(".refuse");
    QFile file(path);
    if (rules.isEmpty()) {
        file.remove();
        return;
    }
    if (!file.open(QIODevice::WriteOnly) || file.write(rules.join(QLatin1Char('\n')).toUtf8() + '\n') < 0)
        qWarning("%s cannot be written", qPrintable(path));
}

QList<QByteArray> ServerBackend::replies() const
{
    return messagesIn(value(QStringLiteral("ENROLIX_SINK_DIR")) + QLatin1Char('/') + from().toLower() +
                      QStringLiteral("/new"));
}

} // namespace Enrolix::Testing
