#pragma once

#include <QByteArray>
#include <QString>

namespace Enrolix::Testing {

// A request mail as a page link sends it: plain text, the display name encoded when it is not ASCII.
QByteArray requestMail(const QString& subject, const QString& text, const QString& name, const QString& address,
                       const QString& messageId = {});

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

} // namespace Enrolix::Testing
