#include "platform/mail/MaildirFolder.h"

#include "platform/DiskSync.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSysInfo>

#include <atomic>
#include <cerrno>

namespace Enrolix {
namespace {

const QString kInfo = QStringLiteral(":2,");

} // namespace

MaildirFolder::MaildirFolder(const QString& path)
    : m_path(path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/'))
{
}

bool MaildirFolder::prepare(bool create) const
{
    for (const char* sub : {"tmp", "new", "cur"}) {
        const QString folder = m_path + QLatin1String(sub);
        if (QDir(folder).exists())
            continue;
        if (!create || !QDir().mkpath(folder))
            return false;
    }
    return true;
}

QString MaildirFolder::uniqueName() const
{
    static std::atomic<quint64> sequence{0};
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QString host = QSysInfo::machineHostName();
    host.replace(QLatin1Char('/'), QStringLiteral("\\057")).replace(QLatin1Char(':'), QStringLiteral("\\072"));
    return QStringLiteral("%1.M%2P%3Q%4.%5")
        .arg(now / 1000)
        .arg((now % 1000) * 1000, 6, 10, QLatin1Char('0'))
        .arg(QCoreApplication::applicationPid())
        .arg(++sequence, 8, 10, QLatin1Char('0'))
        .arg(host);
}

FileResult MaildirFolder::deliver(const QByteArray& message) const
{
    const QString name = uniqueName();
    const QString temporary = m_path + QStringLiteral("tmp/") + name;
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return FileResult{int(file.error()), temporary + QStringLiteral(": ") + file.errorString()};
    if (file.write(message) != message.size() || !DiskSync::file(file)) {
        const QString reason = file.error() != QFileDevice::NoError ? file.errorString() : qt_error_string(errno);
        file.close();
        QFile::remove(temporary);
        return FileResult{int(QFileDevice::WriteError), temporary + QStringLiteral(": ") + reason};
    }
    file.close();
    if (!QFile::rename(temporary, m_path + QStringLiteral("new/") + name)) {
        QFile::remove(temporary);
        return FileResult{int(QFileDevice::RenameError), temporary + QStringLiteral(": could not be moved into new/")};
    }
    DiskSync::folder(m_path + QStringLiteral("new"));
    return FileResult::success();
}

QString MaildirFolder::baseName(const QString& fileName)
{
    const qsizetype info = fileName.indexOf(kInfo);
    return info < 0 ? fileName : fileName.left(info);
}

QString MaildirFolder::flags(const QString& fileName)
{
    const qsizetype info = fileName.indexOf(kInfo);
    return info < 0 ? QString() : fileName.mid(info + kInfo.size());
}

} // namespace Enrolix
