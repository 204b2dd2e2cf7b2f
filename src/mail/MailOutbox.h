#pragma once

#include "mail/MailSession.h"

#include <QByteArray>
#include <QString>

namespace Enrolix {

// Where replies go.
class MailOutbox
{
public:
    virtual ~MailOutbox() = default;
    // Sends one complete message (CR LF line ends) from the envelope sender to one recipient.
    virtual SendResult send(const QString& from, const QString& to, const QByteArray& message) = 0;
    // Why the last send failed, for the coordinator.
    virtual QString failure() const = 0;
    // True once nothing more can be sent through this outbox in the session: its connection was
    // lost, or its server refuses the profile.
    virtual bool lost() const { return false; }
};

} // namespace Enrolix
