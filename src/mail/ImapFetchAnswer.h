#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>

namespace Enrolix::ImapFetchAnswer {

// What the answer to one UID FETCH of several messages holds.
struct Messages
{
    // The messages read whole, by UID.
    QHash<qulonglong, QByteArray> whole;
    // Every byte of the answer was read, up to the tagged completion that ends it: nothing of it
    // is left for the connection to take for the answer to a later command.
    bool inStep{false};
};

// The messages in the answer text of a UID FETCH of the UIDs asked, each asked as its first longest
// bytes (BODY[]<0.longest>), the text holding every line of the answer as the server sent it.
// Responses are trusted in order up to the first one that cannot be: a line outside a literal
// long enough that the transport may have cut it, a literal longer than longest or running past
// the text (a message line that looks like the tagged completion ends the answer early), a
// message for a UID not asked or already answered, or anything not shaped as IMAP. A message of
// exactly longest bytes may be the start of a longer one and is left out.
Messages read(const QByteArray& text, const QSet<qulonglong>& asked, qsizetype longest);

} // namespace Enrolix::ImapFetchAnswer
