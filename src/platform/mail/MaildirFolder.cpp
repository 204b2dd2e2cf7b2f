#include "platform/mail/MaildirFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSysInfo>

#include <atomic>

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

bool MaildirFolder::deliver(const QByteArray& message) const
{
    const QString name = uniqueName();
    const QString temporary = m_path + QStringLiteral("tmp/") + name;
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    const bool written = file.write(message) == message.size() && file.flush();
    file.close();
    if (!written || !QFile::rename(temporary, m_path + QStringLiteral("new/") + name)) {
        QFile::remove(temporary);
        return false;
    }
    return true;
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
