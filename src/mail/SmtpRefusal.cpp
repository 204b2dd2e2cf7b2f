#include "mail/SmtpRefusal.h"

#include "platform/ControlCharacters.h"

#include <QRegularExpression>

namespace Enrolix {

SmtpRefusal::SmtpRefusal(long code, const QString& answer) : m_code(code), m_answer(answer)
{
    // "554 5.7.1 text" or "554-5.7.1 text": class, subject and detail after the reply code.
    static const QRegularExpression enhanced(
        QStringLiteral("^(\\d{3})[ -]([245])\\.(\\d{1,3})\\.(\\d{1,3})(?![\\d.])"));
    const QRegularExpressionMatch match = enhanced.match(answer);
    if (match.hasMatch() && match.captured(1).toLong() == code && match.captured(2).toLong() == code / 100)
        m_enhanced = match.captured(2) + QLatin1Char('.') + match.captured(3) + QLatin1Char('.') + match.captured(4);
}

SmtpRefusal::Concern SmtpRefusal::concern() const
{
    if (m_code / 100 == 4)
        return Concern::Transient;
    if (!m_enhanced.isEmpty()) {
        const QString subject = m_enhanced.section(QLatin1Char('.'), 1, 1);
        const QString detail = m_enhanced.section(QLatin1Char('.'), 2, 2);
        // X.1.7 and X.1.8 are about the sender's address, not the recipient's.
        if (subject == QLatin1String("7") ||
            (subject == QLatin1String("1") && (detail == QLatin1String("7") || detail == QLatin1String("8"))))
            return Concern::Policy;
        if (subject == QLatin1String("1") || subject == QLatin1String("2"))
            return Concern::Mailbox;
    }
    switch (m_code) {
    case 530: // authentication required
    case 534: // mechanism too weak
    case 535: // credentials invalid
    case 538: // encryption required
        return Concern::Policy;
    default:
        break;
    }
    if (!m_enhanced.isEmpty())
        return Concern::Other;
    switch (m_code) {
    case 550: // mailbox unavailable
    case 551: // user not local
    case 553: // mailbox name not allowed
    case 556: // the domain accepts no mail
        return Concern::Mailbox;
    default:
        // 552 among them: given for too many recipients too, which only waits (RFC 5321, 4.5.3.1.10).
        return Concern::Other;
    }
}

QString SmtpRefusal::quoted() const
{
    if (m_answer.isEmpty())
        return QString::number(m_code);
    QString line = m_answer;
    for (QChar& c : line) {
        if (isControlCharacter(c))
            c = visibleControlCharacter(c);
    }
    return line;
}

} // namespace Enrolix
