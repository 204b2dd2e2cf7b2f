#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace Enrolix::Testing {

class TestFolders;

// An open event's files in a working folder: the sign-up list, the description and the addresses
// of the sign-ups. Their names are spelled here, apart from the program's, because they are the
// coordinator's stored files: a program that names them otherwise fails the tests.
class OpenEvent
{
public:
    static inline const QString kListSuffix = QStringLiteral(".sc");
    static inline const QString kDescriptionSuffix = QStringLiteral(".scn");
    static inline const QString kAddressSuffix = QStringLiteral(".sca");
    static inline const QByteArray kDescription = "Course\r\nMay 4\r\n";

    // The files of the event number in folder (which ends in a separator); nothing is written.
    OpenEvent(const QString& folder, const QString& number);
    // The same in the working folder of folders.
    OpenEvent(const TestFolders& folders, const QString& number);

    // Writes the event's sign-up list and description, as creating the event and sign-ups leave them.
    static OpenEvent create(const QString& folder, const QString& number, const QByteArray& list = {},
                            const QByteArray& description = kDescription);
    static OpenEvent create(const TestFolders& folders, const QString& number, const QByteArray& list = {},
                            const QByteArray& description = kDescription);

    QString number() const { return m_number; }
    QString listPath() const { return m_folder + m_number + kListSuffix; }
    QString descriptionPath() const { return m_folder + m_number + kDescriptionSuffix; }
    QString addressPath() const { return m_folder + m_number + kAddressSuffix; }

    // The sign-up list as it stands on the disk; "(missing)" when there is none.
    QByteArray list() const;
    // The names of the list, its empty lines left out.
    QStringList names() const;
    // A sign-up list holding names, each on a line of its own.
    static QByteArray lines(const QStringList& names);

private:
    QString m_folder;
    QString m_number;
};

} // namespace Enrolix::Testing
