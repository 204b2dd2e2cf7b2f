#pragma once

#include <QString>

namespace Enrolix {

// What a refusal of an SMTP server says about whom it concerns: read from the enhanced status code
// (RFC 3463) at the start of its text where the server gives one, and from its reply code where not.
class SmtpRefusal
{
public:
    enum class Concern {
        // Not now (4xx): the same mail may be taken later.
        Transient,
        // For good, about the recipient's address itself: no such mailbox, the mailbox disabled or
        // full (X.1.x but the sender's own, X.2.x; without an enhanced code 550, 551, 553, 556).
        Mailbox,
        // The profile's trouble whatever the recipient: relaying denied, sign-on wanted or refused,
        // the sender not accepted (X.7.x, X.1.7, X.1.8; 530, 534, 535, 538).
        Policy,
        // For good, for another reason or none the server names.
        Other,
    };

    // code: the reply code; answer: the server's answer line, reply code first.
    SmtpRefusal(long code, const QString& answer);

    long code() const { return m_code; }
    // "5.7.1", or empty when the answer carries none (or one whose class is not the reply code's).
    const QString& enhancedCode() const { return m_enhanced; }
    Concern concern() const;
    // The answer as a coordinator reads it, on one line: the reply code alone when the server gave no text.
    QString quoted() const;
    // The same refusal: the same reply code and enhanced code, whatever the text.
    bool sameAs(const SmtpRefusal& other) const { return m_code == other.m_code && m_enhanced == other.m_enhanced; }

private:
    long m_code{0};
    QString m_enhanced;
    QString m_answer;
};

} // namespace Enrolix
