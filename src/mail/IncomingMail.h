#pragma once

#include <QString>
#include <QtGlobal>

namespace Enrolix {

// What the attendant reads of one mail, already decoded.
struct IncomingMail
{
    // RFC 2047 decoded; control characters replaced by blanks; the address when it would be empty.
    QString senderName;
    // Empty when the mail has no usable sender address: such a mail gets no reply.
    QString senderAddress;
    // Decoded and unfolded, every blank kept as sent but the one after "Subject:"; a NUL in the
    // header ends it with U+FFFD.
    QString subject;
    // The text/plain part decoded to UTF-8, or the text of an HTML-only mail; at most its first
    // kTextLimit characters. Only the first six are ever used, and a mail of many megabytes
    // must not be held whole in memory for them.
    static constexpr qsizetype kTextLimit = 64 * 1024;
    QString text;
    // Threading of a reply: the request's Message-ID without angle brackets, and its References
    // in angle brackets separated by blanks; ids that are not sane (MessageIds::isSane) are left out.
    QString messageId;
    QString references;
    // Names this very message, whatever store or folder it is read from again (a hash of its bytes).
    QString fingerprint;
    // Written by a program (Auto-Submitted other than "no", or a delivery report): never answered.
    bool automatic{false};
};

} // namespace Enrolix
