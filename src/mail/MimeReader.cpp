#include "mail/MimeReader.h"

#include "mail/GMimeLibrary.h"
#include "mail/HtmlText.h"
#include "mail/MessageIds.h"
#include "mail/TextLineBuilder.h"
#include "platform/ControlCharacters.h"

#include <QStringDecoder>
#include <QStringList>

namespace Enrolix::MimeReader {
namespace {

// Longest address a mail system takes (a path of 256 octets with its angle brackets) and longest
// local part, in octets of UTF-8.
constexpr qsizetype kMaxAddressLength = 254;
constexpr qsizetype kMaxLocalPartLength = 64;

// Bytes read from a part's decoded content at a time.
constexpr qsizetype kReadSize = 64 * 1024;

QString fromUtf8(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

// The first mailbox of an address list, looking into a group when the list starts with one.
InternetAddressMailbox* firstMailbox(InternetAddressList* list)
{
    if (!list || internet_address_list_length(list) == 0)
        return nullptr;
    InternetAddress* address = internet_address_list_get_address(list, 0);
    if (INTERNET_ADDRESS_IS_GROUP(address))
        return firstMailbox(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address)));
    return INTERNET_ADDRESS_IS_MAILBOX(address) ? INTERNET_ADDRESS_MAILBOX(address) : nullptr;
}

struct BodyParts
{
    GMimePart* plain{nullptr};
    GMimePart* html{nullptr};
};

void collectBody(GMimeObject* /*parent*/, GMimeObject* part, gpointer data)
{
    auto* parts = static_cast<BodyParts*>(data);
    if (!GMIME_IS_TEXT_PART(part))
        return;
    const char* disposition = g_mime_object_get_disposition(part);
    if (disposition && g_ascii_strcasecmp(disposition, GMIME_DISPOSITION_ATTACHMENT) == 0)
        return;
    GMimeContentType* type = g_mime_object_get_content_type(part);
    if (!parts->plain && g_mime_content_type_is_type(type, "text", "plain"))
        parts->plain = GMIME_PART(part);
    else if (!parts->html && g_mime_content_type_is_type(type, "text", "html"))
        parts->html = GMIME_PART(part);
}

void addFilter(GMimeStream* stream, GMimeFilter* filter)
{
    if (!filter)
        return;
    g_mime_stream_filter_add(GMIME_STREAM_FILTER(stream), filter);
    g_object_unref(filter);
}

// The part's content as a stream: decoded from its transfer encoding and converted from its
// charset to UTF-8 as it is read, so nothing holds the whole content at once. Null without content.
GMimeStream* openContent(GMimePart* part)
{
    GMimeDataWrapper* content = g_mime_part_get_content(part);
    GMimeStream* source = content ? g_mime_data_wrapper_get_stream(content) : nullptr;
    if (!source)
        return nullptr;
    g_mime_stream_reset(source);
    GMimeStream* decoded = g_mime_stream_filter_new(source);
    const GMimeContentEncoding encoding = g_mime_data_wrapper_get_encoding(content);
    if (encoding == GMIME_CONTENT_ENCODING_BASE64 || encoding == GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE ||
        encoding == GMIME_CONTENT_ENCODING_UUENCODE)
        addFilter(decoded, g_mime_filter_basic_new(encoding, FALSE));
    if (const char* charset = g_mime_object_get_content_type_parameter(GMIME_OBJECT(part), "charset"))
        addFilter(decoded, g_mime_filter_charset_new(charset, "UTF-8"));
    return decoded;
}

// Reads up to size bytes; 0 only at the end (a filter may yield nothing for one read of its source).
int readSome(GMimeStream* stream, char* buffer, int size)
{
    for (;;) {
        const ssize_t count = g_mime_stream_read(stream, buffer, size_t(size));
        if (count > 0)
            return int(count);
        if (count < 0 || g_mime_stream_eos(stream))
            return 0;
    }
}

QString plainTextOf(GMimeStream* content)
{
    QString text;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QByteArray buffer(kReadSize, Qt::Uninitialized);
    while (text.size() < IncomingMail::kTextLimit) {
        const int count = readSome(content, buffer.data(), int(buffer.size()));
        if (count == 0)
            break;
        text += utf8(QByteArrayView(buffer.constData(), count));
    }
    truncateWhole(text, IncomingMail::kTextLimit);
    return text;
}

QString htmlTextOf(GMimeStream* content)
{
    return HtmlText::toPlainText([content](char* buffer, int size) { return readSome(content, buffer, size); },
                                 IncomingMail::kTextLimit);
}

QString textOf(const BodyParts& parts)
{
    GMimeStream* content = parts.plain ? openContent(parts.plain) : parts.html ? openContent(parts.html) : nullptr;
    if (!content)
        return {};
    const QString text = parts.plain ? plainTextOf(content) : htmlTextOf(content);
    g_object_unref(content);
    return text;
}

// The subject exactly as the mail carries it: the raw value unfolded and decoded, with only the
// one blank after "Subject:" dropped (GMime's own subject is trimmed). GMime keeps a header only
// up to a NUL in it; the NUL then stands as U+FFFD, so that such a subject matches no request.
QString subjectOf(GMimeMessage* message, const QByteArray& raw)
{
    GMimeHeaderList* headers = g_mime_object_get_header_list(GMIME_OBJECT(message));
    GMimeHeader* header = headers ? g_mime_header_list_get_header(headers, "Subject") : nullptr;
    if (!header)
        return {};
    QByteArray value = g_mime_header_get_raw_value(header);
    const qint64 colon = g_mime_header_get_offset(header) + qstrlen(g_mime_header_get_raw_name(header));
    const qint64 end = colon + 1 + value.size();
    const bool endsAtNul = colon >= 0 && end < raw.size() && raw.at(colon) == ':' && raw.at(end) == '\0';

    if (value.endsWith('\n'))
        value.chop(value.endsWith("\r\n") ? 2 : 1);
    // Unfolding: the line break of each fold goes, the blanks after it stay.
    value.replace("\r\n", "").replace("\n", "");
    if (value.startsWith(' ') || value.startsWith('\t'))
        value.remove(0, 1);
    char* decoded = g_mime_utils_header_decode_text(nullptr, value.constData());
    QString subject = fromUtf8(decoded);
    g_free(decoded);
    if (endsAtNul)
        subject += QChar(QChar::ReplacementCharacter);
    return subject;
}

QString messageIdOf(GMimeMessage* message)
{
    const QString id = fromUtf8(g_mime_message_get_message_id(message));
    return MessageIds::isSane(id) ? id : QString();
}

// The sane ids of the References header, in angle brackets and separated by blanks.
QString referencesOf(GMimeMessage* message)
{
    const char* header = g_mime_object_get_header(GMIME_OBJECT(message), "References");
    GMimeReferences* references = header ? g_mime_references_parse(nullptr, header) : nullptr;
    if (!references)
        return {};
    QStringList ids;
    for (int i = 0; i < g_mime_references_length(references); ++i) {
        const QString id = fromUtf8(g_mime_references_get_message_id(references, i));
        if (MessageIds::isSane(id))
            ids.append(QLatin1Char('<') + id + QLatin1Char('>'));
    }
    g_mime_references_free(references);
    return ids.join(QLatin1Char(' '));
}

bool isAutomatic(GMimeMessage* message)
{
    const QString submitted = fromUtf8(g_mime_object_get_header(GMIME_OBJECT(message), "Auto-Submitted")).trimmed();
    const QString kind = submitted.section(QLatin1Char(';'), 0, 0).trimmed();
    if (!kind.isEmpty() && kind.compare(QLatin1String("no"), Qt::CaseInsensitive) != 0)
        return true;
    GMimeObject* body = g_mime_message_get_mime_part(message);
    return body && g_mime_content_type_is_type(g_mime_object_get_content_type(body), "multipart", "report");
}

} // namespace

QString cleanDisplayName(const QString& name, const QString& address)
{
    QString clean = name;
    for (QChar& c : clean) {
        if (isControlCharacter(c))
            c = QLatin1Char(' ');
    }
    return clean.isEmpty() ? address : clean;
}

bool isUsableAddress(const QString& address)
{
    const qsizetype at = address.lastIndexOf(QLatin1Char('@'));
    if (at <= 0 || at == address.size() - 1)
        return false;
    if (address.toUtf8().size() > kMaxAddressLength || address.first(at).toUtf8().size() > kMaxLocalPartLength)
        return false;
    for (const QChar c : address) {
        if (isControlCharacter(c) || c.isSpace() || c == QLatin1Char('<') || c == QLatin1Char('>'))
            return false;
    }
    return true;
}

IncomingMail read(const QByteArray& raw)
{
    IncomingMail mail;
    GMimeMessage* message = GMimeLibrary::parse(raw);
    if (!message)
        return mail;

    if (InternetAddressMailbox* sender = firstMailbox(g_mime_message_get_from(message))) {
        const QString address = fromUtf8(internet_address_mailbox_get_addr(sender));
        if (isUsableAddress(address))
            mail.senderAddress = address;
        mail.senderName = cleanDisplayName(fromUtf8(internet_address_get_name(INTERNET_ADDRESS(sender))), address);
    }
    mail.subject = subjectOf(message, raw);
    mail.messageId = messageIdOf(message);
    mail.references = referencesOf(message);
    mail.automatic = isAutomatic(message);

    BodyParts parts;
    g_mime_message_foreach(message, collectBody, &parts);
    mail.text = textOf(parts);

    g_object_unref(message);
    return mail;
}

} // namespace Enrolix::MimeReader
