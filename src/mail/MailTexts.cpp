#include "mail/MailTexts.h"

namespace Enrolix::MailTexts {

QString withEventInformation(const QString& description)
{
    const QString crLf = QStringLiteral("\r\n");
    return crLf + crLf + QStringLiteral("Event Information:") + crLf + description;
}

QString unreadNotListed(const QString& folder)
{
    return QStringLiteral("%1: the list of unread mails could not be read whole").arg(folder);
}

QString noNextUid(const QString& folder)
{
    return QStringLiteral("%1: the server does not say which UID the folder gives next, so its unread mails cannot "
                          "be listed")
        .arg(folder);
}

QString journalUnwritable(const QString& path)
{
    return QStringLiteral("the journal of fetched mails %1 cannot be written").arg(path);
}

QString maildirMissing(const QString& path)
{
    return QStringLiteral("maildir:%1: ").arg(path) + kFolderMissing;
}

QString renewedSignInNotKept(const QString& user, const QString& reason)
{
    return QStringLiteral("the keyring could not keep the renewed sign-in for %1 (%2): sign in again under "
                          "Tools > Mail Account")
        .arg(user, reason);
}

QString keyringHoldsNoSecret(const QString& user)
{
    return QStringLiteral("the keyring is locked or holds no password for %1").arg(user);
}

QString tokenEndpointAnswer(const QString& url, long status)
{
    return QStringLiteral("%1: the token endpoint gave no access token (HTTP %2)").arg(url).arg(status);
}

} // namespace Enrolix::MailTexts
