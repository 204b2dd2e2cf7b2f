#pragma once

#include "mail/IncomingMail.h"

#include <QByteArray>
#include <QString>

namespace Enrolix::ReplyComposer {

struct Reply
{
    QString from;
    QString toAddress;
    QString toName;
    QString subject;
    QString text;
};

// The reply to request as a complete message with CR LF line ends: From, To, Subject, Date,
// Message-ID, In-Reply-To and References of the request (only when its id is sane, References
// shortened to MessageIds::kMaxReferences ids), "Auto-Submitted: auto-replied", and
// the text as text/plain in UTF-8, its lines ended by CR LF and its other C0 controls but the
// tab replaced by visible stand-ins.
QByteArray compose(const Reply& reply, const IncomingMail& request);

// A mail the program sends of its own accord (a notification after a draw): as a reply, but
// answering no mail, and "Auto-Submitted: auto-generated".
QByteArray composeNotification(const Reply& reply);

} // namespace Enrolix::ReplyComposer
