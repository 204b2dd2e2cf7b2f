#pragma once

#include <QString>
#include <QStringList>

namespace Enrolix {

// The mails of an inbox that a pass has fetched (which marks them read on the server) but not
// yet finished. A pass that dies leaves them here; the next sign-on makes them unread again.
class InFlightJournal
{
public:
    // The journal of one inbox and user, kept under the per-user data folder.
    InFlightJournal(const QString& inbox, const QString& user);

    QString path() const { return m_path; }
    // Records the id before its mail is fetched. False when it cannot be recorded.
    bool add(const QString& id) const;
    // The mail with this id is finished, or unread again.
    void remove(const QString& id) const;
    // The ids added and not removed, in the order they were added.
    QStringList pending() const;
    // Forgets everything (after the pending mails were made unread again).
    void clear() const;

private:
    QString m_path;
};

} // namespace Enrolix
