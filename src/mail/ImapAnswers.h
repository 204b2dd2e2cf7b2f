#pragma once

#include "mail/ImapSequenceSet.h"

#include <QByteArray>
#include <QList>

#include <optional>

namespace Enrolix::ImapAnswers {

// The untagged responses of an IMAP answer text, each without its "* " and its final line end.
// A literal ({n} at a line's end, then n bytes) belongs to its response, whatever its bytes
// look like, so a message text that reads like a response is never taken for one.
QList<QByteArray> untagged(const QByteArray& text);

// The UIDs that a UID SEARCH over the UIDs asked answered, ascending, when the answer can be
// trusted: one SEARCH response, of numbers only, none of them twice or outside asked, at most
// most of them. Nothing otherwise.
std::optional<QList<qulonglong>> searchResults(const QByteArray& text, ImapSequenceSet::Range asked, qulonglong most);

// The same for a UID SEARCH RETURN (ALL COUNT): one ESEARCH response, for UIDs and for the
// command the answer completes, whose ALL set holds as many UIDs as its COUNT says.
std::optional<QList<qulonglong>> extendedSearchResults(const QByteArray& text, ImapSequenceSet::Range asked,
                                                       qulonglong most);

// The value of the [UIDVALIDITY n] response code among the untagged responses of text.
std::optional<qulonglong> uidValidity(const QByteArray& text);
// The value of [UIDNEXT n]: the UID the folder's next mail will get.
std::optional<qulonglong> uidNext(const QByteArray& text);
// The number of mails in the folder as the last "n EXISTS" of text gives it.
std::optional<qulonglong> messageCount(const QByteArray& text);

// The capabilities of the server, upper-case, as the last listing in text gives them (an
// untagged CAPABILITY response, or a [CAPABILITY ...] response code, tagged or not): the one
// after the sign-on, which may offer more than the one before.
QList<QByteArray> capabilities(const QByteArray& text);

} // namespace Enrolix::ImapAnswers
