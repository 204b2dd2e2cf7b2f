#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

namespace Enrolix {

// The mails of an inbox that a pass is about to fetch (which marks them read on the server) and
// has not yet finished. A pass that dies leaves them here; the next sign-on makes them unread
// again. The file stays open while the session runs; the records of a pass are on the disk
// before its first fetch, so neither a killed program nor a lost power supply loses a mail.
class InFlightJournal
{
public:
    // The journal of one inbox and user, kept under the per-user data folder. inbox is the
    // inbox in one spelling whatever way the profile writes it; legacyInbox the profile's own
    // text, under which journals of earlier versions were named.
    InFlightJournal(const QString& inbox, const QString& user, const QString& legacyInbox = {});
    Q_DISABLE_COPY_MOVE(InFlightJournal)

    QString path() const { return m_path; }
    // Records the ids, on the disk, before their mails are fetched: one write and one sync,
    // however many. False when they cannot be.
    bool add(const QStringList& ids);
    // The mails with these ids are finished, or unread again: one write, however many. Reaches
    // the disk with sync() or the next add(); a record lost to a power cut only makes its mail
    // unread once more.
    void remove(const QStringList& ids);
    // Puts the removals on the disk.
    void sync();
    // The ids added and not removed, in the order they were added.
    QStringList pending() const;
    // Forgets everything (after the pending mails were made unread again).
    void clear();

private:
    bool record(const QByteArray& lines, bool sync);

    QString m_path;
    QString m_legacyPath;
    QFile m_file;
};

} // namespace Enrolix
