#include "attendant/RequestHandler.h"

#include "events/EventFiles.h"
#include "events/SignUpAddresses.h"
#include "platform/ControlCharacters.h"
#include "platform/DiskSync.h"
#include "platform/TextFiles.h"

#include <QFileInfo>

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

} // namespace

bool RequestHandler::applyChange(const QString& event, const QString& list, RequestKind kind, const QString& name,
                                 const QString& address)
{
    const EventFiles files(m_settings);
    const QString record = files.recordPath(event);
    const QString addresses = files.addressPath(event);
    if (kind == RequestKind::Registration) {
        if (!hasLine(list, name)) {
            if (!TextFiles::appendLine(record, name, TextFiles::Sync::Later).ok())
                return false;
            m_unsynced.insert(record);
        }
        // The list first: it is the authority, and an address is only kept for a name in it.
        if (address.isEmpty())
            return true;
        if (!SignUpAddresses::add(addresses, name, address, TextFiles::Sync::Later).ok())
            return false;
        m_unsynced.insert(addresses);
        return true;
    }
    // A rewrite replaces the file and waits for the disk before it does.
    QStringList kept = TextFiles::splitLines(list);
    if (kept.removeAll(name) > 0 && !TextFiles::writeLines(record, kept).ok())
        return false;
    return SignUpAddresses::remove(addresses, name).ok();
}

RequestHandler::RequestHandler(const Settings& settings, PendingReplies& pending)
    : m_settings(settings), m_pending(pending)
{
}

bool RequestHandler::isOpenEvent(const QString& event) const
{
    // The number comes from a stranger's mail: it must not lead out of the working folder.
    if (event.contains(QLatin1Char('/')) || event.contains(QLatin1Char('\\')) || event.contains(QLatin1String("..")) ||
        containsControlCharacter(event))
        return false;
    const EventFiles files(m_settings);
    return QFileInfo(files.recordPath(event)).isFile() && QFileInfo(files.descriptionPath(event)).isFile();
}

bool RequestHandler::makeSure(const PendingReplies::Entry& entry)
{
    const std::optional<QString> list = TextFiles::readAll(EventFiles(m_settings).recordPath(entry.event));
    return list && applyChange(entry.event, *list, entry.kind, entry.name, entry.address);
}

std::optional<RequestHandler::Answer> RequestHandler::change(const Request& request, const QString& list, Reply reply)
{
    const std::optional<int> sequence =
        m_pending.add({request.key, request.event, request.kind, request.name, reply, false, request.address});
    if (!sequence)
        return std::nullopt;
    if (!applyChange(request.event, list, request.kind, request.name, request.address))
        return std::nullopt;
    return Answer{reply, *sequence};
}

std::optional<RequestHandler::Answer> RequestHandler::answer(const Request& request)
{
    if (const std::optional<PendingReplies::Entry> pending = m_pending.find(request.key)) {
        // A finished request whose mail came back all the same: its reply once more.
        if (pending->done)
            return Answer{pending->reply, PendingReplies::kLoaded};
        // The event was closed since: whatever the first attempt did, it is answered afresh.
        if (!isOpenEvent(pending->event))
            m_pending.remove(request.key);
        else if (!makeSure(*pending))
            return std::nullopt;
        else
            return Answer{pending->reply, PendingReplies::kLoaded};
    }
    if (!isOpenEvent(request.event))
        return Answer{RequestProtocol::replyFor(Outcome::NoSuchEvent, request.event)};

    const EventFiles files(m_settings);
    const std::optional<QString> list = TextFiles::readAll(files.recordPath(request.event));
    if (!list)
        return std::nullopt;
    // The description is read before any write, so a failure leaves the list as it was.
    const std::optional<QString> description = TextFiles::readAll(files.descriptionPath(request.event));

    switch (request.kind) {
    case RequestKind::Registration:
        if (hasLine(*list, request.name))
            return Answer{RequestProtocol::replyFor(Outcome::Duplicate, request.event)};
        if (!description)
            return std::nullopt;
        return change(request, *list, RequestProtocol::replyFor(Outcome::Registered, request.event, *description));
    case RequestKind::Cancellation:
        if (!TextFiles::splitLines(*list).contains(request.name))
            return Answer{RequestProtocol::replyFor(Outcome::NotRegistered, request.event)};
        if (!description)
            return std::nullopt;
        return change(request, *list, RequestProtocol::replyFor(Outcome::Cancelled, request.event, *description));
    case RequestKind::AttendeeList: {
        if (!description)
            return std::nullopt;
        QString attendees;
        for (const QString& line : TextFiles::splitLines(*list))
            attendees += line + TextFiles::kLineEnd;
        return Answer{RequestProtocol::replyFor(Outcome::AttendeeList, request.event, *description, attendees)};
    }
    case RequestKind::None:
        break;
    }
    return std::nullopt;
}

void RequestHandler::replied(const Request& request)
{
    m_pending.finish(request.key);
}

void RequestHandler::recover()
{
    // In the order made: a cancellation after a registration of the same name stays the last word.
    for (const PendingReplies::Entry& entry : m_pending.entries()) {
        if (isOpenEvent(entry.event))
            makeSure(entry);
    }
}

bool RequestHandler::syncChanges()
{
    bool synced = true;
    for (const QString& record : std::as_const(m_unsynced))
        synced = DiskSync::path(record) && synced;
    if (synced)
        m_unsynced.clear();
    return synced;
}

} // namespace Enrolix
