#include "support/MailBackend.h"

#include "mail/MimeReader.h"

#include <QDir>
#include <QFile>

namespace Enrolix::Testing {

QStringList MailBackend::replySubjects() const
{
    QStringList subjects;
    for (const QByteArray& raw : replies())
        subjects << MimeReader::read(raw).subject;
    return subjects;
}

QList<QByteArray> MailBackend::messagesIn(const QString& folder)
{
    QList<QByteArray> result;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            result.append(file.readAll());
    }
    return result;
}

} // namespace Enrolix::Testing
