#include "platform/mail/MaildirFolder.h"

#include "platform/DiskSync.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSysInfo>

#include <atomic>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <sys/stat.h>

namespace Enrolix {
namespace {

// What parts a file name from its flags.
constexpr char kInfoMark[] = ":2,";
const QString kInfo = QString::fromLatin1(kInfoMark);

// A message file: a plain file, or a link to one; a name the folder gives no kind for is looked up.
// Hidden names (".", "..", a client's own files) are no mail.
bool isMessageFile(int folder, const dirent& entry)
{
    if (entry.d_name[0] == '.')
        return false;
    if (entry.d_type == DT_REG)
        return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return false;
    struct stat target = {};
    return ::fstatat(folder, entry.d_name, &target, 0) == 0 && S_ISREG(target.st_mode);
}

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

bool MaildirFolder::forEachFile(const char* sub, const std::function<void(const char* name)>& visit) const
{
    DIR* folder = ::opendir(QFile::encodeName(m_path + QLatin1String(sub)).constData());
    if (!folder)
        return false;
    // A listing cut short by an error must not pass for the whole folder.
    errno = 0;
    while (const dirent* entry = ::readdir(folder)) {
        if (isMessageFile(::dirfd(folder), *entry))
            visit(entry->d_name);
        errno = 0;
    }
    const bool whole = errno == 0;
    ::closedir(folder);
    return whole;
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

bool MaildirFolder::seen(const char* fileName)
{
    const char* info = std::strstr(fileName, kInfoMark);
    return info && std::strchr(info + std::strlen(kInfoMark), 'S');
}

} // namespace Enrolix
