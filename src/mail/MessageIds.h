#pragma once

#include <QByteArray>
#include <QString>

// The message ids that a reply echoes: a stranger's mail can carry anything in them, and a
// reply header line must stay within 998 octets.
namespace Enrolix::MessageIds {

// Longest id (without angle brackets) that is echoed. Real ids are far shorter.
inline constexpr qsizetype kMaxLength = 250;
// Most ids a reply's References holds: the first of the thread and the last ones before it.
inline constexpr qsizetype kMaxReferences = 10;

// True for an id of msg-id form (id-left "@" id-right, without the angle brackets: dot-atom text
// on the left, dot-atom text or a domain literal on the right) of at most kMaxLength characters.
bool isSane(const QString& id);

// The References of a reply to a mail with the given id and References header: its sane ids,
// then the id itself, each in angle brackets and separated by blanks. Of a longer thread only
// the first id and the last kMaxReferences - 1 are kept.
QByteArray replyReferences(const QString& references, const QString& id);

} // namespace Enrolix::MessageIds
