#pragma once

#include "mail/MailOutbox.h"
#include "mail/MailSession.h"

#include <QString>

#include <memory>
#include <stop_token>

namespace Enrolix {

// An open session, or why none could be opened.
struct SignOn
{
    std::unique_ptr<MailSession> session;
    QString failure;
};

// The outbox of a profile, to send mails of the program's own, or why it could not be opened.
struct OutboxSignOn
{
    std::unique_ptr<MailOutbox> outbox;
    // The address the mails come from.
    QString from;
    QString failure;
};

// Opens mail sessions on named profiles. Once stop is asked, the session or outbox gives up
// waiting for its servers: a request under way fails within about a second, as though the
// connection were lost, and the replies not yet sending are Deferred.
class MailSessionFactory
{
public:
    virtual ~MailSessionFactory() = default;
    // Signs on to the profile; no session when it cannot be opened or its mail system not reached.
    virtual SignOn signOn(const QString& profile, std::stop_token stop = {}) = 0;
    // The profile's outbox alone; a server is reached at the first send.
    virtual OutboxSignOn openOutbox(const QString& profile, std::stop_token stop = {}) = 0;
};

} // namespace Enrolix
