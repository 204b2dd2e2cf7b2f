#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

namespace Enrolix {

// The mails of an inbox that a pass has fetched (which marks them read on the server) but not
// yet finished. A pass that dies leaves them here; the next sign-on makes them unread again.
// The file stays open while the session runs, and every record reaches the system at once,
// so a killed program loses none.
class InFlightJournal
{
public:
    // The journal of one inbox and user, kept under the per-user data folder.
    InFlightJournal(const QString& inbox, const QString& user);
    Q_DISABLE_COPY_MOVE(InFlightJournal)

    QString path() const { return m_path; }
    // Records the id before its mail is fetched. False when it cannot be recorded.
    bool add(const QString& id);
    // The mail with this id is finished, or unread again.
    void remove(const QString& id);
    // The ids added and not removed, in the order they were added.
    QStringList pending() const;
    // Forgets everything (after the pending mails were made unread again).
    void clear();

private:
    bool record(const QByteArray& line);

    QString m_path;
    QFile m_file;
};

} // namespace Enrolix
