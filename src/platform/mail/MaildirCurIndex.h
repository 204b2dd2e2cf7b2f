#pragma once

#include <QStringList>

#include <chrono>
#include <ctime>
#include <mutex>
#include <optional>

#include <sys/types.h>

namespace Enrolix {

class MaildirFolder;

// The unread mails of a Maildir's cur/ folder (those without the S flag), kept from one pass to
// the next. cur/ gathers every mail ever read: it is read through name by name, keeping only the
// unread names, and read again only once it changed. Every change of a folder's entries (a mail
// moved in, a flag changed by renaming the file in place, a deletion) gives the folder a new
// modification time, so an unchanged time means unchanged names; a time so recent that a later
// change could carry it too is not relied on. Shared by the inboxes of one program, one at a time.
class MaildirCurIndex
{
public:
    // How old the folder's time must be, when it is read, before it is relied on: well beyond the
    // tick of any file system's clock.
    static constexpr std::chrono::seconds kSettle{2};

    // The names of the unread mails in the cur/ folder of folder, in the folder's own order;
    // nothing when cur/ cannot be read.
    std::optional<QStringList> unread(const MaildirFolder& folder);

    // How often cur/ was read through, and how many names are kept until the next pass.
    int listings() const;
    qsizetype kept() const;

private:
    // What tells one state of a folder's entries from another.
    struct Stamp
    {
        dev_t device{0};
        ino_t inode{0};
        timespec modified{};
        timespec changed{};
        bool operator==(const Stamp& other) const;
    };
    static std::optional<Stamp> stampOf(const QString& path);

    mutable std::mutex m_mutex;
    // The cur/ folder listed last, its state then when it can be relied on, and its unread names.
    QString m_path;
    std::optional<Stamp> m_listed;
    QStringList m_unread;
    int m_listings{0};
};

} // namespace Enrolix
