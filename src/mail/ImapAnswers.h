#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

namespace Enrolix::ImapAnswers {

// The untagged responses of an IMAP answer text, each without its "* " and its final line end.
// A literal ({n} at a line's end, then n bytes) belongs to its response, whatever its bytes
// look like, so a message text that reads like a response is never taken for one.
QList<QByteArray> untagged(const QByteArray& text);

// The numbers of the SEARCH responses in text, in the order given.
QList<qulonglong> searchResults(const QByteArray& text);

// The value of the [UIDVALIDITY n] response code among the untagged responses of text.
std::optional<qulonglong> uidValidity(const QByteArray& text);

} // namespace Enrolix::ImapAnswers
