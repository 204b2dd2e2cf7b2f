#include "events/SignUpAddresses.h"

#include <QStringList>

namespace Enrolix::SignUpAddresses {
namespace {

QString nameOf(const QString& line)
{
    return line.section(kSeparator, 0, 0);
}

} // namespace

FileResult add(const QString& path, const QString& name, const QString& address, TextFiles::Sync sync)
{
    const QStringList lines = TextFiles::readLines(path).value_or(QStringList());
    for (const QString& line : lines) {
        if (nameOf(line) == name)
            return FileResult::success();
    }
    return TextFiles::appendLine(path, name + kSeparator + address, sync);
}

FileResult remove(const QString& path, const QString& name)
{
    if (!TextFiles::exists(path))
        return FileResult::success();
    FileResult read;
    const std::optional<QStringList> lines = TextFiles::readLines(path, &read);
    if (!lines)
        return read;
    QStringList kept;
    for (const QString& line : *lines) {
        if (nameOf(line) != name)
            kept.append(line);
    }
    if (kept.size() == lines->size())
        return FileResult::success();
    return TextFiles::writeLines(path, kept);
}

QHash<QString, QString> read(const QString& path)
{
    return readIfReadable(path).value_or(QHash<QString, QString>());
}

std::optional<QHash<QString, QString>> readIfReadable(const QString& path)
{
    QHash<QString, QString> addresses;
    if (!TextFiles::exists(path))
        return addresses;
    const std::optional<QStringList> lines = TextFiles::readLines(path);
    if (!lines)
        return std::nullopt;
    for (const QString& line : *lines) {
        const qsizetype tab = line.indexOf(kSeparator);
        if (tab > 0 && !addresses.contains(line.left(tab)))
            addresses.insert(line.left(tab), line.mid(tab + 1));
    }
    return addresses;
}

} // namespace Enrolix::SignUpAddresses
