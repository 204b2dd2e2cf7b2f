#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QVariant>

namespace Enrolix::Testing {

// The XDG folders of an enrolix-attendant that a benchmark starts, under a folder of its own: the
// settings file it reads, and the environment that points it there.
class AttendantHome
{
public:
    explicit AttendantHome(const QString& folder) : m_folder(folder) {}

    // The program's default data folder, where its working files and default Maildirs live.
    QString data() const { return m_folder + QStringLiteral("/data/enrolix/"); }
    // A value of the settings file's [options].
    void setOption(const QString& key, const QVariant& value) const;
    // A key of the attendant's mail profile, beside those useServers writes.
    void setProfile(const QString& key, const QVariant& value) const;
    // A mail profile on the IMAP and SMTP servers of the fixture, signed on as user with the
    // fixture's password and certificate, replies from from.
    void useServers(const QString& imap, const QString& smtp, const QString& user, const QString& from,
                    const QString& caFile) const;
    QProcessEnvironment environment() const;

private:
    QString m_folder;
};

} // namespace Enrolix::Testing
