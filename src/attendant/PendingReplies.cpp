#include "attendant/PendingReplies.h"

#include "platform/DiskSync.h"
#include "platform/TextFiles.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace Enrolix {
namespace {

using RequestProtocol::RequestKind;

const QString kKey = QStringLiteral("key");
const QString kDone = QStringLiteral("done");
const QString kDropped = QStringLiteral("dropped");
const QString kEvent = QStringLiteral("event");
const QString kKind = QStringLiteral("kind");
const QString kName = QStringLiteral("name");
const QString kAddress = QStringLiteral("address");
const QString kSubject = QStringLiteral("subject");
const QString kText = QStringLiteral("text");
const QString kChanged = QStringLiteral("changed");
const QString kBefore = QStringLiteral("before");
const QString kAfter = QStringLiteral("after");
const QString kApplied = QStringLiteral("applied");
const QString kRegistration = QStringLiteral("registration");
const QString kCancellation = QStringLiteral("cancellation");
const QString kAttendeeList = QStringLiteral("attendee-list");

QString kindName(RequestKind kind)
{
    switch (kind) {
    case RequestKind::Cancellation:
        return kCancellation;
    case RequestKind::AttendeeList:
        return kAttendeeList;
    case RequestKind::Registration:
    case RequestKind::None:
        break;
    }
    return kRegistration;
}

RequestKind kindNamed(const QString& name)
{
    if (name == kCancellation)
        return RequestKind::Cancellation;
    if (name == kAttendeeList)
        return RequestKind::AttendeeList;
    return RequestKind::Registration;
}

// One entry as one line: JSON escapes the line ends of the reply text.
QString lineOf(const PendingReplies::Entry& entry)
{
    QJsonObject object{
        {kKey, entry.key},         {kEvent, entry.event},     {kKind, kindName(entry.kind)},
        {kName, entry.name},       {kAddress, entry.address}, {kSubject, entry.reply.subject},
        {kText, entry.reply.text}, {kChanged, entry.changed},
    };
    if (entry.changed) {
        object.insert(kBefore, entry.before);
        object.insert(kAfter, entry.after);
    }
    if (entry.applied)
        object.insert(kApplied, true);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

} // namespace

QString PendingReplies::pathIn(const QString& workingFolder)
{
    return workingFolder + QStringLiteral(".enrolix-pending-replies");
}

QString PendingReplies::listDigest(const QString& content)
{
    // Half of a SHA-256 tells the states of one list apart well enough and keeps the lines short.
    return QString::fromLatin1(QCryptographicHash::hash(content.toUtf8(), QCryptographicHash::Sha256).toHex().left(32));
}

bool PendingReplies::load()
{
    m_entries.clear();
    if (!QFile::exists(m_path))
        return true;
    const std::optional<QStringList> lines = TextFiles::readLines(m_path);
    if (!lines)
        return false;
    for (const QString& line : *lines) {
        // A line cut short by a crash is no entry; the change it would announce was never made.
        const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
        if (object.contains(kDone)) {
            markDone(object.value(kDone).toString());
            continue;
        }
        if (object.contains(kDropped)) {
            drop(object.value(kDropped).toString());
            continue;
        }
        const QString key = object.value(kKey).toString();
        if (key.isEmpty())
            continue;
        // Entries of earlier versions stand for changes and have no digests.
        Entry entry;
        entry.key = key;
        entry.event = object.value(kEvent).toString();
        entry.kind = kindNamed(object.value(kKind).toString());
        entry.name = object.value(kName).toString();
        entry.reply = {object.value(kSubject).toString(), object.value(kText).toString()};
        entry.address = object.value(kAddress).toString();
        entry.changed = object.value(kChanged).toBool(true);
        entry.before = object.value(kBefore).toString();
        entry.after = object.value(kAfter).toString();
        entry.applied = object.value(kApplied).toBool(false);
        m_entries.append(entry);
    }
    return true;
}

std::optional<PendingReplies::Entry> PendingReplies::find(const QString& key) const
{
    for (const Entry& entry : m_entries) {
        if (entry.key == key)
            return entry;
    }
    return std::nullopt;
}

std::optional<int> PendingReplies::add(const Entry& entry)
{
    if (!TextFiles::appendLine(m_path, lineOf(entry), TextFiles::Sync::Later).ok())
        return std::nullopt;
    m_entries.append(entry);
    return ++m_written;
}

bool PendingReplies::durableUpTo(int sequence)
{
    const std::lock_guard<std::mutex> lock(m_syncing);
    if (m_durable >= sequence)
        return true;
    // Everything written before the sync starts is covered by it.
    const int written = m_written;
    if (QFile::exists(m_path) && !DiskSync::path(m_path))
        return false;
    m_durable = written;
    return true;
}

bool PendingReplies::drop(const QString& key)
{
    return m_entries.removeIf([&](const Entry& entry) { return entry.key == key; }) > 0;
}

bool PendingReplies::markDone(const QString& key)
{
    for (Entry& entry : m_entries) {
        if (entry.key == key && !entry.done) {
            entry.done = true;
            return true;
        }
    }
    return false;
}

void PendingReplies::finish(const QString& key)
{
    // Not on the disk at once: losing this record only sends the same reply once more.
    if (markDone(key))
        record(kDone, key, TextFiles::Sync::Later);
}

void PendingReplies::remove(const QString& key)
{
    if (drop(key))
        record(kDropped, key, TextFiles::Sync::Now);
}

void PendingReplies::record(const QString& what, const QString& key, TextFiles::Sync sync)
{
    const QJsonObject object{{what, key}};
    TextFiles::appendLine(m_path, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)), sync);
}

void PendingReplies::keepOnly(const QSet<QString>& keys)
{
    m_entries.removeIf([&](const Entry& entry) { return entry.done || !keys.contains(entry.key); });
    if (m_entries.isEmpty()) {
        if (QFile::exists(m_path))
            QFile::remove(m_path);
        return;
    }
    // The lists are on the disk: a change kept here must never be made again, as the entries of
    // the later changes it would have to come before are gone.
    QStringList lines;
    for (Entry& entry : m_entries) {
        entry.applied = true;
        lines.append(lineOf(entry));
    }
    TextFiles::writeLines(m_path, lines);
}

} // namespace Enrolix
