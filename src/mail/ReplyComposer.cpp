#include "mail/ReplyComposer.h"

#include "mail/GMimeLibrary.h"
#include "mail/MessageIds.h"
#include "platform/ControlCharacters.h"

#include <QUuid>

namespace Enrolix::ReplyComposer {
namespace {

QString domainOf(const QString& address)
{
    const qsizetype at = address.lastIndexOf(QLatin1Char('@'));
    return at < 0 ? QStringLiteral("localhost") : address.mid(at + 1);
}

// A decoder takes "=?" for the start of an encoded word, inside a quoted string too, and a name
// holding one would be decoded a second time by the recipient's mail program (into a line
// break, say). Such a name goes out as encoded words of its own: decoded once, it is the name.
// Q encoding, each word whole characters: base64 would put padding inside the name, and
// decoders that join adjacent words stop there.
QByteArray displayName(const QString& name)
{
    if (!name.contains(QLatin1String("=?")))
        return name.toUtf8();
    // An encoded word has at most 75 characters, 12 of them around the text.
    constexpr qsizetype kWordText = 63;
    static const QByteArray plain = "!*+-/";
    QByteArray words;
    QByteArray word;
    const auto endWord = [&] {
        if (!words.isEmpty())
            words += ' ';
        words += "=?UTF-8?Q?" + word + "?=";
        word.clear();
    };
    for (qsizetype at = 0; at < name.size();) {
        const qsizetype length = name.at(at).isHighSurrogate() && at + 1 < name.size() ? 2 : 1;
        QByteArray encoded;
        for (const char byte : name.sliced(at, length).toUtf8()) {
            const bool letterOrDigit =
                (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9');
            if (letterOrDigit || plain.contains(byte))
                encoded += byte;
            else if (byte == ' ')
                encoded += '_';
            else
                encoded += '=' + QByteArray(1, byte).toHex().toUpper();
        }
        if (word.size() + encoded.size() > kWordText)
            endWord();
        word += encoded;
        at += length;
    }
    endWord();
    return words;
}

// The text as a mail body carries it: every line ended by CR LF (a lone CR or LF becomes one)
// and the other C0 controls but the tab shown by stand-ins, so no mail system or reader meets
// a bare line end or a terminal control.
QString bodyText(const QString& text)
{
    QString body;
    body.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            body += QLatin1String("\r\n");
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if (c.unicode() < 0x20 && c != QLatin1Char('\t')) {
            body += visibleControlCharacter(c);
        } else {
            body += c;
        }
    }
    return body;
}

GMimePart* textPart(const QString& text)
{
    GMimeTextPart* part = g_mime_text_part_new_with_subtype("plain");
    const QByteArray bytes = bodyText(text).toUtf8();
    GMimeStream* stream = g_mime_stream_mem_new_with_buffer(bytes.constData(), size_t(bytes.size()));
    GMimeDataWrapper* content = g_mime_data_wrapper_new_with_stream(stream, GMIME_CONTENT_ENCODING_DEFAULT);
    g_mime_part_set_content(GMIME_PART(part), content);
    g_object_unref(content);
    g_object_unref(stream);
    g_mime_content_type_set_parameter(g_mime_object_get_content_type(GMIME_OBJECT(part)), "charset", "UTF-8");
    g_mime_part_set_content_encoding(
        GMIME_PART(part), g_mime_part_get_best_content_encoding(GMIME_PART(part), GMIME_ENCODING_CONSTRAINT_7BIT));
    return GMIME_PART(part);
}

// The message of reply; threaded to request when there is one.
QByteArray composeMessage(const Reply& reply, const IncomingMail* request, const char* autoSubmitted)
{
    GMimeLibrary::ensureInitialised();
    GMimeMessage* message = g_mime_message_new(TRUE);
    GMimeObject* object = GMIME_OBJECT(message);

    g_mime_message_add_mailbox(message, GMIME_ADDRESS_TYPE_FROM, nullptr, reply.from.toUtf8().constData());
    // Without an explicit charset GMime would encode a non-ASCII name as ISO-8859-1.
    InternetAddress* to =
        internet_address_mailbox_new(displayName(reply.toName).constData(), reply.toAddress.toUtf8().constData());
    internet_address_set_charset(to, "UTF-8");
    internet_address_list_add(g_mime_message_get_addresses(message, GMIME_ADDRESS_TYPE_TO), to);
    g_object_unref(to);

    g_mime_message_set_subject(message, reply.subject.toUtf8().constData(), "UTF-8");
    GDateTime* now = g_date_time_new_now_local();
    g_mime_message_set_date(message, now);
    g_date_time_unref(now);
    // GMime's own generator opens /dev/urandom for every reply.
    const QByteArray id = QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + '@' + domainOf(reply.from).toUtf8();
    g_mime_message_set_message_id(message, id.constData());

    if (request && MessageIds::isSane(request->messageId)) {
        const QByteArray parent = '<' + request->messageId.toUtf8() + '>';
        const QByteArray references = MessageIds::replyReferences(request->references, request->messageId);
        g_mime_object_set_header(object, "In-Reply-To", parent.constData(), nullptr);
        g_mime_object_set_header(object, "References", references.constData(), nullptr);
    }
    g_mime_object_set_header(object, "Auto-Submitted", autoSubmitted, nullptr);

    GMimePart* body = textPart(reply.text);
    g_mime_message_set_mime_part(message, GMIME_OBJECT(body));
    g_object_unref(body);

    const QByteArray result = GMimeLibrary::toBytes(object);
    g_object_unref(message);
    return result;
}

} // namespace

QByteArray compose(const Reply& reply, const IncomingMail& request)
{
    return composeMessage(reply, &request, "auto-replied");
}

QByteArray composeNotification(const Reply& reply)
{
    return composeMessage(reply, nullptr, "auto-generated");
}

} // namespace Enrolix::ReplyComposer
