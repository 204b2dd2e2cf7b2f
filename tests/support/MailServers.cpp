#include "support/MailServers.h"

#include "support/EnvironmentFile.h"

#include <QProcess>

#include <cstdio>

namespace Enrolix::Testing {

MailServers::MailServers(const QString& folder) : m_file(folder + QStringLiteral("/servers.env"))
{
    QProcess::execute(QStringLiteral(ENROLIX_MAIL_SERVERS_SCRIPT), {QStringLiteral("start"), m_file});
    m_environment = readEnvironmentFileAt(m_file).value_or(QMap<QString, QString>());
}

MailServers::~MailServers()
{
    QProcess::execute(QStringLiteral(ENROLIX_MAIL_SERVERS_SCRIPT), {QStringLiteral("stop"), m_file});
}

bool MailServers::started() const
{
    if (m_environment.isEmpty())
        std::fprintf(stderr, "the mail servers did not start\n");
    return !m_environment.isEmpty();
}

} // namespace Enrolix::Testing
