#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QtGlobal>

namespace Enrolix::Testing {

// The rows a checking script (tests/lottery/*.py) prints, one JSON array of strings a line.
// Empty when the script fails, which it reports on its standard error.
inline QList<QStringList> scriptRows(const QString& script, const QStringList& arguments)
{
    QProcess process;
    process.start(script, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(script), process.readAllStandardError().constData());
        return {};
    }
    QList<QStringList> rows;
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        if (line.isEmpty())
            continue;
        QStringList row;
        for (const QJsonValue& value : QJsonDocument::fromJson(line).array())
            row << value.toString();
        rows << row;
    }
    return rows;
}

} // namespace Enrolix::Testing
