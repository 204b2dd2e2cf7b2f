#include "platform/mail/MimeReader.h"

#include "platform/ControlCharacters.h"
#include "platform/mail/GMimeLibrary.h"
#include "platform/mail/HtmlText.h"

namespace Enrolix::MimeReader {
namespace {

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
    GMimeTextPart* plain{nullptr};
    GMimeTextPart* html{nullptr};
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
        parts->plain = GMIME_TEXT_PART(part);
    else if (!parts->html && g_mime_content_type_is_type(type, "text", "html"))
        parts->html = GMIME_TEXT_PART(part);
}

QString textOf(GMimeTextPart* part)
{
    char* text = g_mime_text_part_get_text(part);
    QString result = fromUtf8(text);
    g_free(text);
    return result;
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
    mail.subject = fromUtf8(g_mime_message_get_subject(message));
    mail.messageId = fromUtf8(g_mime_message_get_message_id(message));
    mail.references = fromUtf8(g_mime_object_get_header(GMIME_OBJECT(message), "References")).simplified();
    mail.automatic = isAutomatic(message);

    BodyParts parts;
    g_mime_message_foreach(message, collectBody, &parts);
    if (parts.plain)
        mail.text = textOf(parts.plain);
    else if (parts.html)
        mail.text = HtmlText::toPlainText(textOf(parts.html));

    g_object_unref(message);
    return mail;
}

} // namespace Enrolix::MimeReader
