#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace Enrolix::Testing {

// A request mail as a page link sends it: plain text, the display name encoded when it is not ASCII.
QByteArray requestMail(const QString& subject, const QString& text, const QString& name, const QString& address,
                       const QString& messageId = {});

// Registrations for event E00001 from "Person i" <pi@example.org>, for i from first on.
QList<QByteArray> registrations(int count, int first = 0);

// An HTML-only registration request whose body is html, quoted-printable as mail clients send HTML.
QByteArray htmlRequestMail(const QByteArray& html);

// HTML that shows the event number E00012 and goes on with unit repeated up to size bytes.
QByteArray htmlAfterNumber(const QByteArray& unit, qsizetype size);

// A sample message of tests/data/mail.
QByteArray sampleMail(const QString& file);

struct Recipient
{
    QString name;
    QString address;
};

// The first To of a raw message, decoded.
Recipient recipientOf(const QByteArray& raw);

// The value of one header of a raw message, unfolded and trimmed; empty when it is missing.
QByteArray headerOf(const QByteArray& raw, const QByteArray& name);

// Replies in the order of the requests they answer (by In-Reply-To among requestIds), whatever
// order they arrived in over several connections; replies to no request given come last.
QList<QByteArray> inRequestOrder(QList<QByteArray> replies, const QList<QByteArray>& requestIds);

} // namespace Enrolix::Testing
