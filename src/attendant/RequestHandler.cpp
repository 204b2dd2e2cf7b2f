#include "attendant/RequestHandler.h"

#include "events/EventFiles.h"
#include "events/SignUpAddresses.h"
#include "platform/ControlCharacters.h"
#include "platform/DiskSync.h"
#include "platform/TextFiles.h"
#include "settings/Settings.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace Enrolix {
namespace {

using Entry = PendingReplies::Entry;
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

// The list as the request leaves it; the same list when it changes nothing.
QString changedList(const QString& list, RequestKind kind, const QString& name)
{
    if (kind == RequestKind::Registration)
        return hasLine(list, name) ? list : TextFiles::withLineAppended(list, name);
    QStringList kept = TextFiles::splitLines(list);
    return kept.removeAll(name) > 0 ? TextFiles::joinLines(kept) : list;
}

Entry entryOf(const Request& request, const Reply& reply, bool changed)
{
    Entry entry;
    entry.key = request.key;
    entry.event = request.event;
    entry.kind = request.kind;
    entry.name = request.name;
    entry.reply = reply;
    entry.address = request.address;
    entry.changed = changed;
    return entry;
}

bool sameAddress(const QString& one, const QString& other)
{
    return one.compare(other, Qt::CaseInsensitive) == 0;
}

} // namespace

RequestHandler::RequestHandler(const Settings& settings, PendingReplies& pending)
    : m_settings(settings), m_pending(pending),
      m_valve(ReplyValve::defaultPath(), settings.attendant.max_replies_per_sender)
{
}

bool RequestHandler::applyAddress(const Entry& change)
{
    const QString addresses = EventFiles(m_settings).addressPath(change.event);
    if (change.kind != RequestKind::Registration)
        return SignUpAddresses::remove(addresses, change.name).ok();
    // A name without an address is kept all the same: the list is the authority.
    if (change.address.isEmpty())
        return true;
    if (!SignUpAddresses::add(addresses, change.name, change.address, TextFiles::Sync::Later).ok())
        return false;
    m_unsynced.insert(addresses);
    return true;
}

bool RequestHandler::applyChange(const Entry& change, const QString& list, const QString& changed)
{
    const QString record = EventFiles(m_settings).recordPath(change.event);
    if (changed != list) {
        if (change.kind == RequestKind::Registration) {
            if (!TextFiles::appendLine(record, change.name, TextFiles::Sync::Later).ok())
                return false;
            m_unsynced.insert(record);
        } else if (!TextFiles::writeWhole(record, changed).ok()) {
            // A rewrite replaces the file and waits for the disk before it does.
            return false;
        }
    }
    // The list first: it is the authority, and an address is only kept for a name in it.
    return applyAddress(change);
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

void RequestHandler::recover()
{
    QHash<QString, QList<Entry>> changes;
    QStringList events;
    for (const Entry& entry : m_pending.entries()) {
        if (!entry.changed || entry.applied || !isOpenEvent(entry.event))
            continue;
        if (!changes.contains(entry.event))
            events.append(entry.event);
        changes[entry.event].append(entry);
    }
    for (const QString& event : std::as_const(events))
        recoverEvent(event, changes.value(event));
}

void RequestHandler::recoverEvent(const QString& event, const QList<Entry>& changes)
{
    std::optional<QString> list = TextFiles::readAll(EventFiles(m_settings).recordPath(event));
    if (!list) {
        m_held.insert(event);
        return;
    }
    // The list holds the state after some change, or before one: the changes after that point
    // are made again, in order. Whichever of equal states it is in, the same changes lead from it
    // to the same list.
    const QString digest = PendingReplies::listDigest(*list);
    qsizetype from = -1;
    bool ok = true;
    for (qsizetype i = changes.size() - 1; i >= 0 && from < 0; --i) {
        if (changes.at(i).after == digest) {
            // The list has this change; the addresses beside it may not.
            ok = applyAddress(changes.at(i));
            from = i + 1;
        } else if (changes.at(i).before == digest) {
            from = i;
        }
    }
    if (from < 0) {
        // Other hands changed the list since: it is left as they left it. But an entry of an
        // earlier version, without digests, can only be the last change that pass made.
        if (!changes.last().before.isEmpty())
            return;
        from = changes.size() - 1;
    }
    for (qsizetype i = from; i < changes.size() && ok; ++i) {
        const QString changed = changedList(*list, changes.at(i).kind, changes.at(i).name);
        ok = applyChange(changes.at(i), *list, changed);
        list = changed;
    }
    if (!ok)
        m_held.insert(event);
}

RequestHandler::Answer RequestHandler::pinned(const Request& request, const Reply& reply)
{
    // Without the entry only a retry after a crash could be answered otherwise; the reply goes all
    // the same.
    m_pending.add(entryOf(request, reply, false));
    return Answer{reply};
}

std::optional<RequestHandler::Answer> RequestHandler::change(const Request& request, const QString& list,
                                                             const QString& changed, Reply reply)
{
    Entry entry = entryOf(request, reply, true);
    entry.before = PendingReplies::listDigest(list);
    entry.after = PendingReplies::listDigest(changed);
    const std::optional<int> sequence = m_pending.add(entry);
    if (!sequence)
        return std::nullopt;
    // A rewrite is on the disk at once: its announcement must be there before it.
    if (request.kind != RequestKind::Registration && !m_pending.durableUpTo(*sequence))
        return std::nullopt;
    // Should the change fail, the entry stays: the next pass makes it before the mail comes again.
    if (!applyChange(entry, list, changed))
        return std::nullopt;
    return Answer{reply, *sequence};
}

std::optional<RequestHandler::Answer> RequestHandler::answer(const Request& request)
{
    // Once a request of an event could not be handled, the later ones wait with it for a later
    // pass: answered before it, they would be answered about a list it has not changed yet.
    if (m_held.contains(request.event))
        return std::nullopt;
    std::optional<Answer> answer = answerInOrder(request);
    if (!answer)
        m_held.insert(request.event);
    return answer;
}

std::optional<RequestHandler::Answer> RequestHandler::answerInOrder(const Request& request)
{
    if (const std::optional<Entry> pending = m_pending.find(request.key)) {
        // The same request again (or its mail back after it was finished): the same reply.
        if (pending->done || isOpenEvent(pending->event))
            return Answer{pending->reply, PendingReplies::kLoaded};
        // The event was closed since: whatever the first attempt did, it is answered afresh.
        m_pending.remove(request.key);
    }
    if (!m_valve.admits(request.address, request.key)) {
        Answer heldBack;
        heldBack.passedOver = true;
        return heldBack;
    }
    // Counted before it is answered: no reply goes out uncounted.
    if (!m_valve.count(request.address, request.key))
        return std::nullopt;
    return answerAfresh(request);
}

std::optional<RequestHandler::Answer> RequestHandler::answerAfresh(const Request& request)
{
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
    case RequestKind::Cancellation: {
        const QString changed = changedList(*list, request.kind, request.name);
        const bool registration = request.kind == RequestKind::Registration;
        if (changed == *list)
            return pinned(request, RequestProtocol::replyFor(registration ? Outcome::Duplicate : Outcome::NotRegistered,
                                                             request.event));
        if (!registration) {
            const std::optional<bool> refused = refusesCancellation(request);
            if (!refused)
                return std::nullopt;
            if (*refused)
                return pinned(request, RequestProtocol::replyFor(Outcome::CancellationFromOtherAddress, request.event));
        }
        if (!description)
            return std::nullopt;
        return change(request, *list, changed,
                      RequestProtocol::replyFor(registration ? Outcome::Registered : Outcome::Cancelled, request.event,
                                                *description));
    }
    case RequestKind::AttendeeList: {
        const std::optional<bool> allowed = mayHaveList(request);
        if (!allowed)
            return std::nullopt;
        if (!*allowed) {
            const bool coordinator = m_settings.attendant.attendee_list_for == AttendeeListFor::Coordinator;
            return pinned(request, RequestProtocol::replyFor(coordinator ? Outcome::ListForCoordinatorOnly
                                                                         : Outcome::ListForRegisteredOnly,
                                                             request.event));
        }
        if (!description)
            return std::nullopt;
        QString attendees;
        for (const QString& line : TextFiles::splitLines(*list))
            attendees += line + TextFiles::kLineEnd;
        return pinned(request,
                      RequestProtocol::replyFor(Outcome::AttendeeList, request.event, *description, attendees));
    }
    case RequestKind::None:
        break;
    }
    return std::nullopt;
}

std::optional<bool> RequestHandler::mayHaveList(const Request& request) const
{
    switch (m_settings.attendant.attendee_list_for) {
    case AttendeeListFor::Anyone:
        break;
    case AttendeeListFor::Coordinator:
        return sameAddress(request.address, m_settings.Training_Coordinator_Email_Address.trimmed());
    case AttendeeListFor::Registered: {
        const std::optional<QHash<QString, QString>> addresses =
            SignUpAddresses::readIfReadable(EventFiles(m_settings).addressPath(request.event));
        if (!addresses)
            return std::nullopt;
        return std::any_of(addresses->cbegin(), addresses->cend(),
                           [&request](const QString& address) { return sameAddress(address, request.address); });
    }
    }
    return true;
}

std::optional<bool> RequestHandler::refusesCancellation(const Request& request) const
{
    if (!m_settings.attendant.cancel_only_from_registering_address)
        return false;
    const std::optional<QHash<QString, QString>> addresses =
        SignUpAddresses::readIfReadable(EventFiles(m_settings).addressPath(request.event));
    if (!addresses)
        return std::nullopt;
    // A name signed up before addresses were kept has none to compare with: it is cancelled as before.
    const QString recorded = addresses->value(request.name);
    return !recorded.isEmpty() && !sameAddress(recorded, request.address);
}

void RequestHandler::replied(const Request& request)
{
    m_pending.finish(request.key);
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
