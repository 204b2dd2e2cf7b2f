#pragma once

#include "attendant/RequestProtocol.h"
#include "platform/mail/MailSession.h"

#include <QtGlobal>

#include <optional>

namespace Enrolix {

class MailSessionFactory;
class PassListener;
struct Settings;

// The attendant's unit of work: signs on to the mail profile, answers every unread request
// mail against the event files, and signs off. It shows no box and throws nothing; a mail that
// fails is left for a later pass and the others go on. A mail is marked read only once its
// file change is made and its reply sent, so a pass that dies loses no request.
class ProcessingPass
{
public:
    ProcessingPass(const Settings& settings, MailSessionFactory& mail, PassListener& listener);
    Q_DISABLE_COPY_MOVE(ProcessingPass)

    // One whole pass. Touches no timer: the caller holds its countdown while this runs.
    void run();

    // Replies sent since the start, at most 32767.
    qint16 iRequestsProcessed() const { return m_iRequestsProcessed; }
    // Passes whose sign-on or fetch failed, at most 32767.
    qint16 iMAPIErrors() const { return m_iMAPIErrors; }

private:
    void handleMail(MailSession& session, int index);
    // Makes the request's file change and returns its reply; nothing when a file could not be
    // read or written (the change is then not made).
    std::optional<RequestProtocol::Reply> answer(RequestProtocol::RequestKind kind, const QString& event,
                                                 const QString& name) const;
    bool isOpenEvent(const QString& event) const;
    void connectionFailed();
    // Sends one reply to the selected mail; counts it when it was sent.
    SendResult SendReply(const QString& senderemail, const QString& sender, const QString& subject,
                         const QString& message);

    const Settings& m_settings;
    MailSessionFactory& m_mail;
    PassListener& m_listener;
    MailSession* m_session{nullptr};
    int m_selected{-1};
    qint16 m_iRequestsProcessed{0};
    qint16 m_iMAPIErrors{0};
};

} // namespace Enrolix
