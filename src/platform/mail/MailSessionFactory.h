#pragma once

#include "platform/mail/MailSession.h"

#include <QString>

#include <memory>

namespace Enrolix {

// Opens mail sessions on named profiles.
class MailSessionFactory
{
public:
    virtual ~MailSessionFactory() = default;
    // Signs on to the profile; nothing when it cannot be opened or its mail system not reached.
    virtual std::unique_ptr<MailSession> signOn(const QString& profile) = 0;
};

} // namespace Enrolix
