#pragma once

#include <QListWidget>
#include <QProcess>
#include <QStringList>

namespace Enrolix::Testing {

// The key the draw window tests draw with.
inline const QString kDrawKey = QStringLiteral("Lotto of 12 December: 4 9 15 23 38 41");

// The texts of a list's rows, top to bottom.
inline QStringList rows(QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// The ranking as anybody checks it: sha256sum of key, line feed and name, sorted in the C locale.
inline QStringList recomputed(const QStringList& names, const QString& key = kDrawKey)
{
    QProcess shell;
    shell.setProcessEnvironment([&key] {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KEY"), key);
        return env;
    }());
    shell.start(QStringLiteral("bash"),
                {QStringLiteral("-c"), QStringLiteral("while IFS= read -r n; do printf '%s\\t%s\\n' \"$(printf "
                                                      "'%s\\n%s' \"$KEY\" \"$n\" | sha256sum | cut -c1-64)\" \"$n\"; "
                                                      "done | LC_ALL=C sort | cut -f2")});
    shell.write((names.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(60000);
    return QString::fromUtf8(shell.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace Enrolix::Testing
