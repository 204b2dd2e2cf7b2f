#pragma once

#include "support/TestFolders.h"

#include <QString>
#include <QStringList>

namespace Enrolix::Testing {

// A closed event in the working folder as closing leaves it: the list, the description and
// the addresses, each with ".cl" appended. Names whose address is empty get no address line.
inline void writeClosedEvent(const TestFolders& folders, const QString& event, const QStringList& names,
                             const QStringList& addresses, const QByteArray& description = "Safety\r\nMay 4\r\n")
{
    QByteArray list;
    QByteArray sca;
    for (qsizetype i = 0; i < names.size(); ++i) {
        list += names.at(i).toUtf8() + "\r\n";
        if (i < addresses.size() && !addresses.at(i).isEmpty())
            sca += names.at(i).toUtf8() + '\t' + addresses.at(i).toUtf8() + "\r\n";
    }
    folders.write(folders.work() + event + QStringLiteral(".sc.cl"), list);
    folders.write(folders.work() + event + QStringLiteral(".sca.cl"), sca);
    folders.write(folders.work() + event + QStringLiteral(".scn.cl"), description);
}

} // namespace Enrolix::Testing
