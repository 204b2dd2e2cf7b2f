#include "support/EnvironmentFile.h"

#include <QFile>

namespace Enrolix::Testing {

std::optional<QMap<QString, QString>> readEnvironmentFile(const char* variable)
{
    const QString path = qEnvironmentVariable(variable);
    if (path.isEmpty())
        return std::nullopt;
    return readEnvironmentFileAt(path);
}

std::optional<QMap<QString, QString>> readEnvironmentFileAt(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QMap<QString, QString> values;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            values.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1).trimmed()));
    }
    return values;
}

} // namespace Enrolix::Testing
