#include "platform/TextFiles.h"

#include "platform/DiskSync.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace Enrolix::TextFiles {
namespace {

// The device's own error, or for a failure that only the system call reported (a sync), its errno.
FileResult failure(const QFileDevice& file)
{
    if (file.error() == QFileDevice::NoError)
        return FileResult{int(QFileDevice::WriteError), qt_error_string(errno)};
    return FileResult{int(file.error()), file.errorString()};
}

// A last line without its line end needs one first, or an appended line would be glued to it.
bool needsLineEndAfter(QChar last)
{
    return last != QLatin1Char('\n') && last != QLatin1Char('\r');
}

// What an append adds after a last character that needs a line end, or not.
QString appendedText(bool needsLineEnd, const QString& line)
{
    return (needsLineEnd ? kLineEnd : QString()) + line + kLineEnd;
}

void store(FileResult* target, FileResult value)
{
    if (target)
        *target = std::move(value);
}

} // namespace

std::optional<QString> readAll(const QString& path, FileResult* result)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        store(result, failure(file));
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        store(result, failure(file));
        return std::nullopt;
    }
    store(result, FileResult::success());
    return QString::fromUtf8(bytes);
}

QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

std::optional<QStringList> readLines(const QString& path, FileResult* result)
{
    const std::optional<QString> text = readAll(path, result);
    if (!text)
        return std::nullopt;
    return splitLines(*text);
}

FileResult forEachLine(const QString& path, const std::function<void(const QString&)>& visit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(file);
    while (!file.atEnd()) {
        QByteArray bytes = file.readLine();
        if (file.error() != QFileDevice::NoError)
            return failure(file);
        if (bytes.endsWith('\n'))
            bytes.chop(1);
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        // Lines ended by a lone CR arrive together, as what comes before the next LF.
        for (const QByteArray& line : bytes.split('\r'))
            visit(QString::fromUtf8(line));
    }
    return FileResult::success();
}

FileResult keepLines(const QString& path, const std::function<bool(const QString&)>& keep)
{
    QSaveFile staged(path);
    // Unbuffered and written in chunks of our own: a chunk that does not fit fails with its reason.
    if (!staged.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(staged);
    constexpr qsizetype kChunk = 64 * 1024;
    QByteArray chunk;
    bool written = true;
    const auto writeChunk = [&] {
        written = written && staged.write(chunk) == chunk.size();
        chunk.clear();
    };
    const FileResult read = forEachLine(path, [&](const QString& line) {
        if (!keep(line))
            return;
        chunk += (line + kLineEnd).toUtf8();
        if (chunk.size() >= kChunk)
            writeChunk();
    });
    writeChunk();
    if (!read.ok()) {
        staged.cancelWriting();
        return read;
    }
    if (!written || !DiskSync::file(staged)) {
        const FileResult result = failure(staged);
        staged.cancelWriting();
        return result;
    }
    if (!staged.commit())
        return failure(staged);
    DiskSync::folder(QFileInfo(path).absolutePath());
    return FileResult::success();
}

std::optional<QString> readFirstLine(const QString& path, FileResult* result)
{
    const std::optional<QStringList> lines = readLines(path, result);
    if (!lines)
        return std::nullopt;
    return lines->isEmpty() ? QString() : lines->first();
}

StagedFile::StagedFile(const QString& path, const QString& content) : m_file(std::make_unique<QSaveFile>(path))
{
    // Unbuffered: a write that does not fit fails here, not unseen in a flush at the commit.
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        m_result = failure(*m_file);
        return;
    }
    const QByteArray bytes = content.toUtf8();
    if (m_file->write(bytes) != bytes.size() || !DiskSync::file(*m_file)) {
        m_result = failure(*m_file);
        m_file->cancelWriting();
    }
}

StagedFile::~StagedFile()
{
    if (m_file->isOpen())
        m_file->cancelWriting();
}

FileResult StagedFile::commit()
{
    if (!m_result.ok())
        return m_result;
    if (!m_file->commit())
        return failure(*m_file);
    DiskSync::folder(QFileInfo(m_file->fileName()).absolutePath());
    return FileResult::success();
}

FileResult StagedFile::commitNew()
{
    if (!m_result.ok())
        return m_result;
    // The empty file claims the name at once, or fails when the name is taken; the content then
    // replaces only that claim.
    const FileResult claimed = createEmptyNew(m_file->fileName());
    if (!claimed.ok())
        return claimed;
    const FileResult committed = commit();
    if (!committed.ok()) {
        QFile::remove(m_file->fileName());
        return committed;
    }
    m_madeNew = true;
    return committed;
}

void StagedFile::takeBack()
{
    if (!m_madeNew)
        return;
    m_madeNew = false;
    const QString path = m_file->fileName();
    if (QFile::remove(path))
        DiskSync::folder(QFileInfo(path).absolutePath());
}

FileResult writeWhole(const QString& path, const QString& content)
{
    return StagedFile(path, content).commit();
}

QString joinLines(const QStringList& lines)
{
    QString content;
    for (const QString& line : lines)
        content += line + kLineEnd;
    return content;
}

FileResult writeLines(const QString& path, const QStringList& lines)
{
    return writeWhole(path, joinLines(lines));
}

FileResult appendLine(const QString& path, const QString& line, Sync sync)
{
    // One open for the check and the write: the attendant appends for every registration.
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered))
        return failure(file);
    bool needsLineEnd = false;
    const qint64 size = file.size();
    char last = 0;
    if (size > 0 && file.seek(size - 1) && file.getChar(&last))
        needsLineEnd = needsLineEndAfter(QLatin1Char(last));
    const QByteArray bytes = appendedText(needsLineEnd, line).toUtf8();
    if (file.write(bytes) != bytes.size() || (sync == Sync::Now && !DiskSync::file(file))) {
        const FileResult result = failure(file);
        // A name cut short by a full disk would stay in the list for good.
        file.resize(size);
        DiskSync::file(file);
        return result;
    }
    file.close();
    return FileResult::success();
}

QString withLineAppended(const QString& text, const QString& line)
{
    return text + appendedText(!text.isEmpty() && needsLineEndAfter(text.back()), line);
}

FileResult createEmptyNew(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return failure(file);
    file.close();
    return FileResult::success();
}

QString withLfLineEnds(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

bool exists(const QString& path)
{
    return QFileInfo::exists(path);
}

} // namespace Enrolix::TextFiles
