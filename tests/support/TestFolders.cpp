#include "support/TestFolders.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace Enrolix::Testing {

TestFolders::TestFolders()
{
    QDir().mkpath(work());
    QDir().mkpath(pages());
    qputenv("XDG_CONFIG_HOME", (root() + QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", (root() + QStringLiteral("data")).toUtf8());
}

Settings TestFolders::settings() const
{
    Settings s;
    s.Working_Files_Directory = work();
    s.HTML_File_Path = pages();
    s.HTML_Nice_File_Path = QStringLiteral("https://example.org/courses/");
    s.Training_Coordinator_Name = QStringLiteral("Training Coordinator");
    s.Training_Coordinator_Ext = QStringLiteral("Quillmark");
    s.Registration_Attendant_Email = QStringLiteral("attendant@example.org");
    s.Seconds_Wait_Between_Email_Processing = 600;
    s.Organisation_Name = QStringLiteral("Training and Development");
    s.Counter_File_Path = work() + QStringLiteral("Auto_Counter.txt");
    s.ProgressFactor = 100.0 / 600.0;
    return s;
}

void TestFolders::write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QByteArray TestFolders::read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QMap<QString, QByteArray> TestFolders::snapshot() const
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root(), QDir::Files | QDir::Hidden | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QByteArray content = info.isSymLink() ? "<link to " + info.symLinkTarget().toUtf8() + '>'
                                   : info.isDir()   ? QByteArray("<dir>")
                                                    : read(path);
        files.insert(path.mid(root().size()), content);
    }
    return files;
}

} // namespace Enrolix::Testing
