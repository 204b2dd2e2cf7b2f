#include "support/MailSamples.h"

#include "mail/GMimeLibrary.h"
#include "support/Subjects.h"

#include <QFile>

#include <algorithm>

namespace Enrolix::Testing {

QByteArray requestMail(const QString& subject, const QString& text, const QString& name, const QString& address,
                       const QString& messageId)
{
    static int sequence = 0;
    const QString id = messageId.isEmpty() ? QStringLiteral("req%1@example.net").arg(++sequence) : messageId;
    QByteArray from;
    if (name.isEmpty())
        from = '<' + address.toUtf8() + '>';
    else
        from = "=?UTF-8?B?" + name.toUtf8().toBase64() + "?= <" + address.toUtf8() + '>';
    return "From: " + from + "\r\nTo: registrations@example.com\r\nSubject: " + subject.toUtf8() +
           "\r\nDate: Mon, 7 Dec 2026 09:00:00 +0000\r\nMessage-ID: <" + id.toUtf8() +
           ">\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: "
           "8bit\r\n\r\n" +
           text.toUtf8();
}

QList<QByteArray> registrations(int count, int first)
{
    QList<QByteArray> mails;
    for (int i = first; i < first + count; ++i)
        mails.append(requestMail(QStringLiteral("Register for Event   (Enrolix)"), QStringLiteral("E00001"),
                                 QStringLiteral("Person %1").arg(i), QStringLiteral("p%1@example.org").arg(i)));
    return mails;
}

QByteArray htmlRequestMail(const QByteArray& html)
{
    GMimeLibrary::ensureInitialised();
    GMimeMessage* message = g_mime_message_new(TRUE);
    g_mime_message_add_mailbox(message, GMIME_ADDRESS_TYPE_FROM, "Hal Baker", "hal@example.net");
    g_mime_message_add_mailbox(message, GMIME_ADDRESS_TYPE_TO, nullptr, "registrations@example.com");
    g_mime_message_set_subject(message, Subjects::kRegister.toUtf8().constData(), nullptr);
    GMimeTextPart* body = g_mime_text_part_new_with_subtype("html");
    g_mime_text_part_set_text(body, html.constData());
    g_mime_part_set_content_encoding(GMIME_PART(body), GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE);
    g_mime_message_set_mime_part(message, GMIME_OBJECT(body));
    g_object_unref(body);

    const QByteArray raw = GMimeLibrary::toBytes(GMIME_OBJECT(message));
    g_object_unref(message);
    return raw;
}

QByteArray htmlAfterNumber(const QByteArray& unit, qsizetype size)
{
    QByteArray html = "<html><body><div>E00012</div>";
    html.reserve(size);
    while (html.size() + unit.size() <= size)
        html += unit;
    return html;
}

QByteArray sampleMail(const QString& file)
{
    QFile sample(qEnvironmentVariable("ENROLIX_TEST_DATA") + QStringLiteral("/mail/") + file);
    return sample.open(QIODevice::ReadOnly) ? sample.readAll() : QByteArray();
}

Recipient recipientOf(const QByteArray& raw)
{
    Recipient recipient;
    if (GMimeMessage* message = GMimeLibrary::parse(raw)) {
        InternetAddressList* to = g_mime_message_get_to(message);
        if (to && internet_address_list_length(to) > 0) {
            InternetAddress* first = internet_address_list_get_address(to, 0);
            recipient.name = QString::fromUtf8(internet_address_get_name(first));
            if (INTERNET_ADDRESS_IS_MAILBOX(first))
                recipient.address =
                    QString::fromUtf8(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(first)));
        }
        g_object_unref(message);
    }
    return recipient;
}

QByteArray headerOf(const QByteArray& raw, const QByteArray& name)
{
    qsizetype end = raw.indexOf("\r\n\r\n");
    const QByteArray head = raw.left(end < 0 ? raw.size() : end);
    QByteArray value;
    bool inside = false;
    for (const QByteArray& line : head.split('\n')) {
        const QByteArray bare = line.endsWith('\r') ? line.chopped(1) : line;
        if (inside && (bare.startsWith(' ') || bare.startsWith('\t'))) {
            value += ' ' + bare.trimmed();
            continue;
        }
        if (inside)
            break;
        if (bare.toLower().startsWith(name.toLower() + ':')) {
            value = bare.mid(name.size() + 1).trimmed();
            inside = true;
        }
    }
    return value;
}

QList<QByteArray> inRequestOrder(QList<QByteArray> replies, const QList<QByteArray>& requestIds)
{
    const auto position = [&requestIds](const QByteArray& reply) {
        const qsizetype at = requestIds.indexOf(headerOf(reply, "In-Reply-To"));
        return at < 0 ? requestIds.size() : at;
    };
    std::stable_sort(replies.begin(), replies.end(), [&position](const QByteArray& one, const QByteArray& other) {
        return position(one) < position(other);
    });
    return replies;
}

} // namespace Enrolix::Testing
