#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QSaveFile;

namespace Enrolix {

// Outcome of a file operation: on failure a numeric code and a description the caller can report.
struct FileResult
{
    int code{0};
    QString description;

    bool ok() const { return code == 0; }
    static FileResult success() { return {}; }
};

// The working files: UTF-8 without a byte-order mark, every written line ended by CR LF.
// Readers accept CR LF, LF or CR. Nothing stays open between calls.
namespace TextFiles {

inline const QString kLineEnd = QStringLiteral("\r\n");

// Whole content exactly as stored, or nothing when the file cannot be opened for reading.
std::optional<QString> readAll(const QString& path, FileResult* result = nullptr);

// The lines without their line ends, or nothing when the file cannot be opened for reading.
std::optional<QStringList> readLines(const QString& path, FileResult* result = nullptr);

// Calls visit with each line, without its line end, reading one line at a time, so that a long
// file never sits whole in memory. The lines are those readLines gives.
FileResult forEachLine(const QString& path, const std::function<void(const QString&)>& visit);

// Rewrites the file with only the lines keep() keeps, one line at a time, staged like a
// StagedFile: a failure leaves the file as it was.
FileResult keepLines(const QString& path, const std::function<bool(const QString&)>& keep);

// The first line without its line end (empty for an empty file).
std::optional<QString> readFirstLine(const QString& path, FileResult* result = nullptr);

// A whole new content for a file, written and synced to a temporary file beside it, that
// replaces the file only when committed. So a full disk or a lost drive is found out before
// anything is replaced, and a failure never leaves a half-written file.
class StagedFile
{
public:
    StagedFile(const QString& path, const QString& content);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Success when the whole content is on the disk, waiting to be committed.
    const FileResult& result() const { return m_result; }
    // Renames the temporary file over the file. Without a commit the file stays as it was.
    FileResult commit();
    // Gives the content the file's name only while no file (nor link) of that name exists: it
    // never replaces a file, so a file of another owner is never overwritten.
    FileResult commitNew();
    // Removes the file that commitNew() made; nothing else is ever removed.
    void takeBack();

private:
    std::unique_ptr<QSaveFile> m_file;
    FileResult m_result;
    bool m_madeNew{false};
};

// Replaces the whole content as a staged file committed at once.
FileResult writeWhole(const QString& path, const QString& content);

// Each line followed by CR LF.
QString joinLines(const QStringList& lines);

// Each line followed by CR LF, written whole as above.
FileResult writeLines(const QString& path, const QStringList& lines);

// Whether a write waits until it is on the disk, or may reach it later (a record whose loss to
// a power cut only repeats work).
enum class Sync { Now, Later };

// Appends the text followed by CR LF; the file is created when missing. A write that does not
// fit is taken back, so the file keeps exactly its old content.
FileResult appendLine(const QString& path, const QString& line, Sync sync = Sync::Now);

// The text as appendLine leaves a file that held it.
QString withLineAppended(const QString& text, const QString& line);

// Creates the file empty, or fails if a file of that name exists already.
FileResult createEmptyNew(const QString& path);

// Splits text at CR LF, LF or CR; a final line end does not start another line.
QStringList splitLines(const QString& text);

// The text with every CR LF or lone CR turned into LF, as text widgets expect line breaks.
QString withLfLineEnds(QString text);

bool exists(const QString& path);

} // namespace TextFiles
} // namespace Enrolix
