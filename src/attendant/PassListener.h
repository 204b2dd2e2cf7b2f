#pragma once

#include <QString>

namespace Enrolix {

// What a processing pass reports while it runs, so the attendant window can show it at once.
class PassListener
{
public:
    virtual ~PassListener() = default;
    // "Connecting...", "Connected" or "Not Connected".
    virtual void statusChanged(const QString& status) = 0;
    // After each reply that was sent; the new count of replies sent.
    virtual void replySent(qint16 requestsProcessed) = 0;
    // After a pass that could not sign on, read the mailbox or send its replies: the new count
    // of failed passes, and why it failed.
    virtual void connectionFailed(qint16 connectionFailures, const QString& reason) = 0;
};

} // namespace Enrolix
