#pragma once

#include "platform/mail/CurlConnection.h"
#include "platform/mail/InFlightJournal.h"
#include "platform/mail/MailInbox.h"

namespace Enrolix {

struct MailProfile;

// Requests read from an IMAP folder over one connection per pass. Ids are message UIDs.
// Fetching marks a message \Seen on the server (the only reliable fetch through libcurl), so
// every fetched UID is journalled first and made unread again if its pass does not finish it.
// Journal entries carry the folder's UIDVALIDITY: after the folder was recreated they name
// other messages and are dropped.
class ImapInbox final : public MailInbox
{
public:
    ImapInbox(const MailProfile& profile, const QString& password, const TransportLimits& limits,
              std::shared_ptr<TroubleClock> clock);

    bool open() override;
    std::optional<QStringList> unread() override;
    std::optional<QByteArray> fetch(const QString& id) override;
    bool markRead(const QString& id) override;
    void leaveUnread(const QString& id) override;
    QString failure() const override;
    bool lost() const override { return m_connection.lost(); }

    // The folder's URL in one spelling, however the profile writes it: lower-case scheme and
    // host, the port written out, and INBOX for an empty or otherwise spelt inbox name.
    static QByteArray canonicalFolder(const QString& location);

private:
    bool store(const QString& id, const QByteArray& change);
    QString journalEntry(const QString& id) const;

    QByteArray m_folder;
    QString m_validity;
    QString m_failure;
    CurlConnection m_connection;
    InFlightJournal m_journal;
};

} // namespace Enrolix
