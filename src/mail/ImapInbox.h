#pragma once

#include "mail/ImapUnreadSearch.h"
#include "mail/InFlightJournal.h"
#include "mail/MailInbox.h"
#include "mail/MailTransport.h"

#include <QSet>

#include <memory>

namespace Enrolix {

struct MailProfile;

// Requests read from an IMAP folder over one connection per pass. Ids are message UIDs, listed
// in ascending order, all of the unread ones or none. Several messages come with one UID FETCH,
// each as far as an answer line of the transport stays whole, and any that the answer does not
// give whole is fetched alone by its URL.
// Fetching a message marks it \Seen on the server, so marking it read costs nothing more; every UID of the pass is
// journalled before the first fetch, and a message the pass does not finish is made unread again, all of them at the
// end in a few short commands, or by the next sign-on if the pass dies. Journal entries carry the folder's UIDVALIDITY:
// after the folder was recreated they name other messages and are dropped.
class ImapInbox final : public MailInbox
{
public:
    ImapInbox(const MailProfile& profile, std::unique_ptr<MailTransport> transport);

    bool open() override;
    std::optional<QStringList> unread() override;
    std::optional<QByteArray> fetch(const QString& id) override;
    QList<std::optional<QByteArray>> fetchMany(const QStringList& ids) override;
    bool markRead(const QString& id) override;
    void leaveUnread(const QString& id) override;
    void close() override;
    QString failure() const override { return m_failure; }
    bool lost() const override { return m_transport->lost(); }

    // The folder's URL in one spelling, however the profile writes it: lower-case scheme and
    // host, the port written out, and INBOX for an empty or otherwise spelt inbox name.
    static QByteArray canonicalFolder(const QString& location);

private:
    // Makes the messages unread, with as few commands as keep each short; true when the server took them.
    bool markUnread(const QStringList& ids);
    QStringList journalEntries(const QStringList& ids) const;
    void failed();

    QByteArray m_folder;
    QString m_validity;
    ImapUnreadSearch::Folder m_selected;
    QString m_failure;
    std::unique_ptr<MailTransport> m_transport;
    InFlightJournal m_journal;
    // Journalled in this session, in mailbox order; of these, those fetched and those finished.
    QStringList m_open;
    QSet<QString> m_fetched;
    QSet<QString> m_finished;
};

} // namespace Enrolix
