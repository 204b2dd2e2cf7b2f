#pragma once

#include "support/TestFolders.h"

#include <QString>
#include <QStringList>

namespace Enrolix::Testing {

// An event's sign-up list and addresses as registrations leave them, the file names ending in
// suffix (".cl" once closed). Names whose address is empty get no address line.
inline void writeSignUps(const TestFolders& folders, const QString& event, const QStringList& names,
                         const QStringList& addresses, const QString& suffix = {})
{
    QByteArray list;
    QByteArray sca;
    for (qsizetype i = 0; i < names.size(); ++i) {
        list += names.at(i).toUtf8() + "\r\n";
        if (i < addresses.size() && !addresses.at(i).isEmpty())
            sca += names.at(i).toUtf8() + '\t' + addresses.at(i).toUtf8() + "\r\n";
    }
    folders.write(folders.work() + event + QStringLiteral(".sc") + suffix, list);
    folders.write(folders.work() + event + QStringLiteral(".sca") + suffix, sca);
}

// A closed event in the working folder as closing leaves it: the list, the description and
// the addresses, each with ".cl" appended.
inline void writeClosedEvent(const TestFolders& folders, const QString& event, const QStringList& names,
                             const QStringList& addresses, const QByteArray& description = "Safety\r\nMay 4\r\n")
{
    writeSignUps(folders, event, names, addresses, QStringLiteral(".cl"));
    folders.write(folders.work() + event + QStringLiteral(".scn.cl"), description);
}

} // namespace Enrolix::Testing
