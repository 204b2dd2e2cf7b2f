#pragma once

#include "support/OpenEvent.h"
#include "support/TestFolders.h"

#include <QString>
#include <QStringList>

namespace Enrolix::Testing {

// An event's sign-up list and addresses as registrations leave them, the file names ending in
// suffix (".cl" once closed). Names whose address is empty get no address line.
inline void writeSignUps(const TestFolders& folders, const QString& event, const QStringList& names,
                         const QStringList& addresses, const QString& suffix = {})
{
    QByteArray sca;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i < addresses.size() && !addresses.at(i).isEmpty())
            sca += names.at(i).toUtf8() + '\t' + addresses.at(i).toUtf8() + "\r\n";
    }
    const OpenEvent files(folders, event);
    TestFolders::write(files.listPath() + suffix, OpenEvent::lines(names));
    TestFolders::write(files.addressPath() + suffix, sca);
}

// A closed event in the working folder as closing leaves it: the list, the description and
// the addresses, each with ".cl" appended.
inline void writeClosedEvent(const TestFolders& folders, const QString& event, const QStringList& names,
                             const QStringList& addresses, const QByteArray& description = "Safety\r\nMay 4\r\n")
{
    writeSignUps(folders, event, names, addresses, QStringLiteral(".cl"));
    TestFolders::write(OpenEvent(folders, event).descriptionPath() + QStringLiteral(".cl"), description);
}

} // namespace Enrolix::Testing
