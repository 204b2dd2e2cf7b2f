#pragma once

#include "settings/Settings.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

namespace Enrolix::Testing {

// A private temporary tree with a working folder and a page folder, and XDG folders pointed
// into it so nothing touches the real user's files.
class TestFolders
{
public:
    TestFolders();

    bool isValid() const { return m_root.isValid(); }
    QString root() const { return m_root.path() + QLatin1Char('/'); }
    QString work() const { return root() + QStringLiteral("work/"); }
    QString pages() const { return root() + QStringLiteral("pages/"); }

    // Settings as a load would leave them, pointing at the folders above.
    Settings settings() const;

    static void write(const QString& path, const QByteArray& bytes);
    // The file's bytes; "(missing)" when it cannot be read.
    static QByteArray read(const QString& path);
    // Every file and folder below the root, by its path under the root, with its content (a
    // link by where it points), to show that nothing changed.
    QMap<QString, QByteArray> snapshot() const;

private:
    QTemporaryDir m_root;
};

} // namespace Enrolix::Testing
