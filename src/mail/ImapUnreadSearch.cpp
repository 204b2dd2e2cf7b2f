#include "mail/ImapUnreadSearch.h"

#include "mail/ImapAnswers.h"
#include "mail/MailTexts.h"

#include <algorithm>

namespace Enrolix {
namespace {

// How long a search's answer line may grow: half the transport's limit, for the words around the UIDs.
constexpr qsizetype kAnswerUids = MailTransport::kWholeAnswerLine / 2;

} // namespace

ImapUnreadSearch::Folder ImapUnreadSearch::Folder::of(const QByteArray& answers)
{
    return {ImapAnswers::capabilities(answers).contains("ESEARCH"), ImapAnswers::uidNext(answers),
            ImapAnswers::messageCount(answers)};
}

std::optional<QList<qulonglong>> ImapUnreadSearch::run(const Folder& folder)
{
    m_failure.clear();
    m_requestFailed = false;
    if (!folder.uidNext) {
        m_failure = MailTexts::noNextUid(QString::fromUtf8(m_url));
        return std::nullopt;
    }
    // Mails that arrive meanwhile get UIDs from UIDNEXT on; they wait for the next pass, after
    // every mail before them.
    const Range all{1, *folder.uidNext - 1};
    // No range holds more unread mails than the folder held mails.
    const qulonglong most = std::min(all.size(), folder.messages.value_or(all.size()));
    if (most == 0)
        return QList<qulonglong>();
    if (folder.extendedSearch) {
        if (std::optional<QList<qulonglong>> found = search(all, true, most))
            return found;
        // A set too fragmented for one line is asked for again, range by range.
        if (m_requestFailed)
            return std::nullopt;
        m_failure.clear();
    }
    // A UID takes its digits and a separator in the answer line.
    const qulonglong perRange = qulonglong(kAnswerUids) / (QByteArray::number(all.last).size() + 1);
    const qulonglong width = most <= perRange ? all.size() : perRange;
    QList<qulonglong> uids;
    for (qulonglong first = all.first;;) {
        const Range range{first, all.last - first < width ? all.last : first + width - 1};
        const std::optional<QList<qulonglong>> found =
            search(range, folder.extendedSearch, std::min(most, range.size()));
        if (!found)
            return std::nullopt;
        uids += *found;
        if (range.last == all.last)
            break;
        first = range.last + 1;
    }
    return uids;
}

std::optional<QList<qulonglong>> ImapUnreadSearch::search(Range range, bool extended, qulonglong most)
{
    const QByteArray uids = "UID " + QByteArray::number(range.first) + ':' + QByteArray::number(range.last);
    const QByteArray command =
        extended ? "UID SEARCH RETURN (ALL COUNT) " + uids + " UNSEEN" : "UID SEARCH " + uids + " UNSEEN";
    if (!m_transport.request(m_url, command)) {
        m_requestFailed = true;
        m_failure = m_transport.failure().reason;
        return std::nullopt;
    }
    // The answers as the server sent them: what libcurl hands on as the body of a command is cut
    // short at a literal.
    const QByteArray& answers = m_transport.headers();
    std::optional<QList<qulonglong>> found = extended ? ImapAnswers::extendedSearchResults(answers, range, most)
                                                      : ImapAnswers::searchResults(answers, range, most);
    if (!found)
        m_failure = MailTexts::unreadNotListed(QString::fromUtf8(m_url));
    return found;
}

} // namespace Enrolix
