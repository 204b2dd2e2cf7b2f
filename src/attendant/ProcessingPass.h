#pragma once

#include "platform/mail/MailSession.h"

#include <QSet>
#include <QString>
#include <QtGlobal>

namespace Enrolix {

class MailSessionFactory;
class PassListener;
class RequestHandler;
struct Request;
struct Settings;

// What one pass did, for a log line.
struct PassReport
{
    // Signed on and read the list of unread mails.
    bool connected{false};
    // Why the pass counts as failed (sign-on, the mailbox, or its replies); empty when it did not.
    QString failure;
    int replies{0};
    // Mails that needed no reply: not requests, a program's mail, nobody to answer, or a reply
    // the server refused for good.
    int passedOver{0};
    // Mails left unread for a later pass.
    int leftForLater{0};
};

// The attendant's unit of work: signs on to the mail profile, answers every unread request
// mail against the event files, and signs off. It shows no box and throws nothing; a mail that
// fails is left for a later pass and the others go on. A mail is marked read only once its
// file change is made and its reply sent, so a pass that dies loses no request; once replies
// cannot go out at all, no further list is changed and the rest waits for a later pass.
class ProcessingPass
{
public:
    ProcessingPass(const Settings& settings, MailSessionFactory& mail, PassListener& listener);
    Q_DISABLE_COPY_MOVE(ProcessingPass)

    // One whole pass. Touches no timer: the caller holds its countdown while this runs.
    PassReport run();

    // Replies sent since the start, at most 32767.
    qint16 iRequestsProcessed() const { return m_iRequestsProcessed; }
    // Passes whose sign-on, fetch or replies failed, at most 32767.
    qint16 iMAPIErrors() const { return m_iMAPIErrors; }

private:
    enum class Handled { Replied, PassedOver, Left, RepliesStopped };

    Handled handleMail(MailSession& session, RequestHandler& handler, int index);
    void connectionFailed(PassReport& report, const QString& reason);
    // Sends one reply to the selected mail; counts it when it was sent.
    SendResult SendReply(const QString& senderemail, const QString& sender, const QString& subject,
                         const QString& message);

    const Settings& m_settings;
    MailSessionFactory& m_mail;
    PassListener& m_listener;
    MailSession* m_session{nullptr};
    int m_selected{-1};
    // Fingerprints of the mails read in this pass.
    QSet<QString> m_seen;
    bool m_allRead{true};
    qint16 m_iRequestsProcessed{0};
    qint16 m_iMAPIErrors{0};
};

} // namespace Enrolix
