#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

namespace Enrolix {

// The mails of an inbox that a pass has fetched (which marks them read on the server) but not
// yet finished. A pass that dies leaves them here; the next sign-on makes them unread again.
// The file stays open while the session runs, and every record is on the disk before the
// fetch it announces, so neither a killed program nor a lost power supply loses one.
class InFlightJournal
{
public:
    // The journal of one inbox and user, kept under the per-user data folder. inbox is the
    // inbox in one spelling whatever way the profile writes it; legacyInbox the profile's own
    // text, under which journals of earlier versions were named.
    InFlightJournal(const QString& inbox, const QString& user, const QString& legacyInbox = {});
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
    QString m_legacyPath;
    QFile m_file;
};

} // namespace Enrolix
