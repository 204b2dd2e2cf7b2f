#pragma once

#include "platform/TextFiles.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace Enrolix {

// A Maildir folder with its tmp, new and cur subfolders.
class MaildirFolder
{
public:
    explicit MaildirFolder(const QString& path);

    // True when the three subfolders exist; creates what is missing when create is set.
    bool prepare(bool create) const;

    QString path() const { return m_path; }

    // Stores a message safely: written and synced under tmp/, then renamed into new/.
    FileResult deliver(const QByteArray& message) const;

    // Calls visit with the name of every message file in the subfolder sub ("new" or "cur"), one at
    // a time and in the folder's own order: cur/ keeps every mail ever read, and its names are
    // never held all at once. False when the subfolder cannot be opened or read to its end.
    bool forEachFile(const char* sub, const std::function<void(const char* name)>& visit) const;

    // The part of a file name before its ":2," flags.
    static QString baseName(const QString& fileName);
    // The flags after ":2,", empty when there are none.
    static QString flags(const QString& fileName);
    // True when the flags of a file name, as the folder lists it, hold S: the mail was read.
    static bool seen(const char* fileName);

private:
    QString uniqueName() const;

    QString m_path;
};

} // namespace Enrolix
