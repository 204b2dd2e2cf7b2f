#pragma once

#include "platform/TextFiles.h"

#include <QByteArray>
#include <QString>

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

    // The part of a file name before its ":2," flags.
    static QString baseName(const QString& fileName);
    // The flags after ":2,", empty when there are none.
    static QString flags(const QString& fileName);

private:
    QString uniqueName() const;

    QString m_path;
};

} // namespace Enrolix
