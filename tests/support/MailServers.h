#pragma once

#include <QMap>
#include <QString>

namespace Enrolix::Testing {

// The IMAP server and SMTP sink of tests/mail/mailservers.sh for a program of its own, such as a
// benchmark, that runs outside the CTest fixtures: started with the object, stopped when it goes.
class MailServers
{
public:
    // Their environment file is written into folder.
    explicit MailServers(const QString& folder);
    ~MailServers();
    MailServers(const MailServers&) = delete;
    MailServers& operator=(const MailServers&) = delete;

    // The file that names their ports, folders and certificate, as ENROLIX_MAIL_SERVERS does.
    QString environmentFile() const { return m_file; }
    // Whether they started; when not, says so on standard error.
    bool started() const;
    // Its values; empty when the servers did not start.
    const QMap<QString, QString>& environment() const { return m_environment; }

private:
    QString m_file;
    QMap<QString, QString> m_environment;
};

} // namespace Enrolix::Testing
