#pragma once

#include <QString>
#include <QStringList>

#include <optional>

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

// The first line without its line end (empty for an empty file).
std::optional<QString> readFirstLine(const QString& path, FileResult* result = nullptr);

// Replaces the whole content through a temporary file renamed over the old one, so a failure
// never leaves a half-written file.
FileResult writeWhole(const QString& path, const QString& content);

// Each line followed by CR LF, written whole as above.
FileResult writeLines(const QString& path, const QStringList& lines);

// Appends the text followed by CR LF as one write; the file is created when missing.
FileResult appendLine(const QString& path, const QString& line);

// Creates the file empty, or fails if a file of that name exists already.
FileResult createEmptyNew(const QString& path);

// Splits text at CR LF, LF or CR; a final line end does not start another line.
QStringList splitLines(const QString& text);

// The text with every CR LF or lone CR turned into LF, as text widgets expect line breaks.
QString withLfLineEnds(QString text);

bool exists(const QString& path);

} // namespace TextFiles
} // namespace Enrolix
