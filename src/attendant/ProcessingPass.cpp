#include "attendant/ProcessingPass.h"

#include "attendant/PassListener.h"
#include "attendant/PassStatus.h"
#include "events/EventFiles.h"
#include "platform/ControlCharacters.h"
#include "platform/TextFiles.h"
#include "platform/mail/MailSessionFactory.h"
#include "settings/SettingsKeys.h"

#include <QFileInfo>

#include <limits>

namespace Enrolix {
namespace {

using RequestProtocol::Outcome;
using RequestProtocol::Reply;
using RequestProtocol::RequestKind;

// True when one of the lines of text (ended by CR LF, LF or CR) is exactly line. Searches the
// text in place: a long sign-up list is not split into lines for every registration.
bool hasLine(const QString& text, const QString& line)
{
    if (line.isEmpty())
        return TextFiles::splitLines(text).contains(line);
    const auto isLineEnd = [](QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); };
    for (qsizetype at = text.indexOf(line); at >= 0; at = text.indexOf(line, at + 1)) {
        const qsizetype end = at + line.size();
        if ((at == 0 || isLineEnd(text.at(at - 1))) && (end == text.size() || isLineEnd(text.at(end))))
            return true;
    }
    return false;
}

void increment(qint16& counter)
{
    if (counter < std::numeric_limits<qint16>::max())
        ++counter;
}

} // namespace

ProcessingPass::ProcessingPass(const Settings& settings, MailSessionFactory& mail, PassListener& listener)
    : m_settings(settings), m_mail(mail), m_listener(listener)
{
}

void ProcessingPass::run()
{
    const std::unique_ptr<MailSession> session = m_mail.signOn(SettingsKeys::kMailProfileName);
    if (!session) {
        connectionFailed();
        return;
    }
    m_listener.statusChanged(PassStatus::kConnecting);
    if (!session->fetchUnread()) {
        session->signOff();
        connectionFailed();
        return;
    }
    m_listener.statusChanged(PassStatus::kConnected);

    m_session = session.get();
    const int count = session->count();
    for (int index = 0; index < count; ++index)
        handleMail(*session, index);
    m_session = nullptr;
    m_selected = -1;
    session->signOff();
}

void ProcessingPass::handleMail(MailSession& session, int index)
{
    m_selected = index;
    const std::optional<IncomingMail> mail = session.read(index);
    if (!mail) {
        session.leaveUnread(index);
        return;
    }
    const RequestKind kind = RequestProtocol::classify(mail->subject);
    // Not a request, a program's mail (answering it could start a loop), or nobody to answer.
    if (kind == RequestKind::None || mail->automatic || mail->senderAddress.isEmpty()) {
        session.markRead(index);
        return;
    }
    const std::optional<Reply> reply = answer(kind, RequestProtocol::eventNumberOf(mail->text), mail->senderName);
    if (!reply) {
        session.leaveUnread(index);
        return;
    }
    if (SendReply(mail->senderAddress, mail->senderName, reply->subject, reply->text) == SendResult::Transient)
        session.leaveUnread(index);
    else
        session.markRead(index);
}

bool ProcessingPass::isOpenEvent(const QString& event) const
{
    // The number comes from a stranger's mail: it must not lead out of the working folder.
    if (event.contains(QLatin1Char('/')) || event.contains(QLatin1Char('\\')) || event.contains(QLatin1String("..")) ||
        containsControlCharacter(event))
        return false;
    const EventFiles files(m_settings);
    return QFileInfo(files.recordPath(event)).isFile() && QFileInfo(files.descriptionPath(event)).isFile();
}

std::optional<Reply> ProcessingPass::answer(RequestKind kind, const QString& event, const QString& name) const
{
    if (!isOpenEvent(event))
        return RequestProtocol::replyFor(Outcome::NoSuchEvent, event);

    const EventFiles files(m_settings);
    const QString record = files.recordPath(event);
    const std::optional<QString> list = TextFiles::readAll(record);
    if (!list)
        return std::nullopt;
    // The description is read before any write, so a failure leaves the list as it was.
    const auto description = [&] { return TextFiles::readAll(files.descriptionPath(event)); };

    switch (kind) {
    case RequestKind::Registration: {
        if (hasLine(*list, name))
            return RequestProtocol::replyFor(Outcome::Duplicate, event);
        const std::optional<QString> d = description();
        if (!d || !TextFiles::appendLine(record, name).ok())
            return std::nullopt;
        return RequestProtocol::replyFor(Outcome::Registered, event, *d);
    }
    case RequestKind::Cancellation: {
        QStringList kept = TextFiles::splitLines(*list);
        if (kept.removeAll(name) == 0)
            return RequestProtocol::replyFor(Outcome::NotRegistered, event);
        const std::optional<QString> d = description();
        if (!d || !TextFiles::writeLines(record, kept).ok())
            return std::nullopt;
        return RequestProtocol::replyFor(Outcome::Cancelled, event, *d);
    }
    case RequestKind::AttendeeList: {
        const std::optional<QString> d = description();
        if (!d)
            return std::nullopt;
        QString attendees;
        for (const QString& line : TextFiles::splitLines(*list))
            attendees += line + TextFiles::kLineEnd;
        return RequestProtocol::replyFor(Outcome::AttendeeList, event, *d, attendees);
    }
    case RequestKind::None:
        break;
    }
    return std::nullopt;
}

SendResult ProcessingPass::SendReply(const QString& senderemail, const QString& sender, const QString& subject,
                                     const QString& message)
{
    const SendResult result = m_session->sendReply(m_selected, senderemail, sender, subject, message);
    if (result == SendResult::Sent) {
        increment(m_iRequestsProcessed);
        m_listener.replySent(m_iRequestsProcessed);
    }
    return result;
}

void ProcessingPass::connectionFailed()
{
    increment(m_iMAPIErrors);
    m_listener.connectionFailed(m_iMAPIErrors);
    m_listener.statusChanged(PassStatus::kNotConnected);
}

} // namespace Enrolix
