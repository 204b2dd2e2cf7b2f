#include "support/MailBackend.h"

#include <QDir>
#include <QFile>

namespace Enrolix::Testing {

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
