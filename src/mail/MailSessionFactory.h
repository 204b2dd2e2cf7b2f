#pragma once

#include "mail/MailSession.h"

#include <QString>

#include <memory>

namespace Enrolix {

// An open session, or why none could be opened.
struct SignOn
{
    std::unique_ptr<MailSession> session;
    QString failure;
};

// Opens mail sessions on named profiles.
class MailSessionFactory
{
public:
    virtual ~MailSessionFactory() = default;
    // Signs on to the profile; no session when it cannot be opened or its mail system not reached.
    virtual SignOn signOn(const QString& profile) = 0;
};

} // namespace Enrolix
