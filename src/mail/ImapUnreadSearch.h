#pragma once

#include "mail/ImapSequenceSet.h"
#include "mail/MailTransport.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace Enrolix {

// Lists the unread mails of a selected IMAP folder, all of them or none. An answer line that the
// transport could have cut is never trusted: a server with ESEARCH is asked for the whole folder
// in compact sets with their count, which must agree, and otherwise the folder is searched in
// ranges of UIDs so narrow that no answer line comes near the transport's limit.
class ImapUnreadSearch
{
public:
    // What the sign-on and the selection of the folder said about it.
    struct Folder
    {
        bool extendedSearch{false};
        std::optional<qulonglong> uidNext;
        std::optional<qulonglong> messages;

        static Folder of(const QByteArray& answers);
    };

    // url: the folder, as the transport's requests name it.
    ImapUnreadSearch(MailTransport& transport, const QByteArray& url) : m_transport(transport), m_url(url) {}

    // The UIDs of the unread mails among those the folder held when selected, ascending; nothing
    // when they cannot all be known, and failure() says why.
    std::optional<QList<qulonglong>> run(const Folder& folder);
    QString failure() const { return m_failure; }

private:
    using Range = ImapSequenceSet::Range;
    // The unread UIDs of one range; at most most of them can be.
    std::optional<QList<qulonglong>> search(Range range, bool extended, qulonglong most);

    MailTransport& m_transport;
    QByteArray m_url;
    QString m_failure;
    // The last search failed as a request, not for what it answered.
    bool m_requestFailed{false};
};

} // namespace Enrolix
