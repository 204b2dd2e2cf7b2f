#pragma once

#include "mail/TransportLimits.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <stop_token>

namespace Enrolix {

struct MailProfile;

// What went wrong with the last request of a transport.
struct TransportFailure
{
    enum class Stage {
        None,
        // The server refused a recipient (RCPT).
        Recipient,
        // Anything else: the server unreachable, silent, refusing the sign-on or the sender.
        Other,
    };
    Stage stage{Stage::None};
    // The server's numeric answer (0 when it gave none).
    long serverCode{0};
    // In words for the coordinator, with the server's address.
    QString reason;
    // The server as the coordinator knows it ("smtp://host:port"), without path or credentials.
    QString server;
    // The server's answer line with that code, as it gave it ("554 5.7.1 Relay access denied"); empty
    // when it gave none.
    QString answer;
};

// One connection to an IMAP or SMTP server, kept from request to request within a pass.
class MailTransport
{
public:
    // The longest line of an IMAP answer that headers() is sure to hold whole: a longer one may
    // arrive cut, its middle left out, so commands are shaped to keep their answers shorter.
    static constexpr qsizetype kWholeAnswerLine = 8 * 1024;
    // The longest literal of an IMAP answer that headers() is sure to hold whole, together with
    // the lines around it of at most kWholeAnswerLine; the answer to a longer one may lose bytes.
    static constexpr qsizetype kWholeLiteral = 128 * 1024;

    virtual ~MailTransport() = default;
    // An IMAP request: the URL alone (a fetch of the message it names), or a command sent as it
    // stands. The untagged answers, or the fetched message, are in body() afterwards; the
    // answers around them (those of SELECT among them) in headers().
    virtual bool request(const QByteArray& url, const QByteArray& command = {}) = 0;
    // Sends one complete message over SMTP from one envelope sender to one recipient.
    virtual bool send(const QByteArray& url, const QByteArray& from, const QByteArray& to,
                      const QByteArray& message) = 0;
    virtual const QByteArray& body() const = 0;
    virtual const QByteArray& headers() const = 0;
    virtual TransportFailure failure() const = 0;
    // True once the server could not be reached or stopped answering: every further request of
    // this connection fails at once, so a dead server costs a pass one time limit, not one per mail.
    virtual bool lost() const = 0;
    // Ends the connection, and the next request opens a new one: for an answer that could not be
    // read to its end, whose rest the server would otherwise seem to give to later commands.
    virtual void startAfresh() = 0;
};

// Opens the transports of a session; both connections of a session share one trouble clock and
// one stop: once it is asked, their requests give up waiting for a silent server.
class MailTransportFactory
{
public:
    virtual ~MailTransportFactory() = default;
    virtual std::unique_ptr<MailTransport> open(const MailProfile& profile, const QString& secret,
                                                const TransportLimits& limits, std::shared_ptr<TroubleClock> clock,
                                                std::stop_token stop) = 0;
    // A connection that signs on to nothing, under the TLS rules of one that does: whether the
    // server can be reached at all.
    virtual std::unique_ptr<MailTransport> openUnsigned(const MailProfile& profile, const TransportLimits& limits,
                                                        std::shared_ptr<TroubleClock> clock, std::stop_token stop) = 0;
};

} // namespace Enrolix
