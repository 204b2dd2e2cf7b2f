#pragma once

#include "platform/Message.h"

namespace Enrolix {

struct FileResult;

// The fixed texts of creating and closing events.
namespace EventMessages {

// One of the two event texts of the create dialog is empty.
Message provideNameAndDate();

// A creation step failed; the title carries the failure's code and description.
Message createFailed(const FileResult& failure);

// The attendant holds the working folder: creating or closing changed nothing.
Message workingFolderBusy();

// Closing refused before anything moved.
Message closeNoRecordFile(const QString& event, const QString& path);
Message closeNoDescriptionFile(const QString& event, const QString& path);
Message closeNameTaken(const QString& event, const QString& path);
Message closePageFolderUnavailable(const QString& event, const QString& folder);
Message closeMoveFailed(const QString& event, const QString& path, const QString& reason);
// The closed page could not be written beside the open one (a full disk, say).
Message closePageNotStaged(const QString& event, const QString& pagePath, const QString& reason);

// A move failed and the one before it could not be undone.
Message closeHalfDone(const QString& event, const QString& movedPath, const QString& stuckPath, const QString& reason);

// Both files moved but the closed page could not replace the open one.
Message closePageNotWritten(const QString& event, const QString& pagePath, const QString& reason);

// Why a file step failed, as a creation's title and a pass's reason name it.
QString counterHoldsNoNumber();
QString noEventNumbersLeft();
QString folderMissing(const QString& folder);
QString folderUnreadable(const QString& folder);
// Why the working folder's lock could not be taken at all.
QString lockFolderMissing(const QString& folder);
QString lockFolderFull(const QString& folder);
QString lockFolderNotWritable(const QString& folder);

} // namespace EventMessages
} // namespace Enrolix
