#include "events/EventMessages.h"

#include "platform/TextFiles.h"

#include <QStringList>

namespace Enrolix::EventMessages {
namespace {

const QString kNothingChanged = QStringLiteral("Nothing has been changed; the event is still open.");

Message notClosed(const QString& event, const QString& cause)
{
    return plainMessage(QStringList{QStringLiteral("Event %1 was not closed.").arg(event), cause, kNothingChanged}.join(
        QLatin1Char('\r')));
}

} // namespace

Message workingFolderBusy()
{
    return plainMessage(
        QStringLiteral("The attendant is answering requests in this working folder. Please try again in a moment."));
}

Message closeNoRecordFile(const QString& event, const QString& path)
{
    return notClosed(event, QStringLiteral("Its sign-up file %1 does not exist.").arg(path));
}

Message closeNoDescriptionFile(const QString& event, const QString& path)
{
    return notClosed(event, QStringLiteral("Its description file %1 is missing or cannot be read.").arg(path));
}

Message closeNameTaken(const QString& event, const QString& path)
{
    return notClosed(event, QStringLiteral("A file named %1 already exists.").arg(path));
}

Message closePageFolderUnavailable(const QString& event, const QString& folder)
{
    return notClosed(event, QStringLiteral("The page folder %1 does not exist or cannot be written to.").arg(folder));
}

Message closePageNotStaged(const QString& event, const QString& pagePath, const QString& reason)
{
    return notClosed(event, QStringLiteral("The closed page %1 could not be written: %2").arg(pagePath, reason));
}

Message closeMoveFailed(const QString& event, const QString& path, const QString& reason)
{
    return notClosed(event, QStringLiteral("%1 could not be renamed: %2").arg(path, reason));
}

Message closeHalfDone(const QString& event, const QString& movedPath, const QString& stuckPath, const QString& reason)
{
    const QStringList lines{
        QStringLiteral("Event %1 is only partly closed.").arg(event),
        QStringLiteral("%1 could not be renamed: %2").arg(stuckPath, reason),
        QStringLiteral("%1 has already been renamed and could not be put back.").arg(movedPath),
        QStringLiteral("The event no longer appears in the list, but its page still offers registration."),
        QStringLiteral("Rename the files by hand to finish or undo the closing.")};
    return plainMessage(lines.join(QLatin1Char('\r')));
}

Message closePageNotWritten(const QString& event, const QString& pagePath, const QString& reason)
{
    const QStringList lines{QStringLiteral("Event %1 is closed, but its page could not be rewritten.").arg(event),
                            QStringLiteral("%1: %2").arg(pagePath, reason),
                            QStringLiteral("The page still offers registration; replace or remove it by hand."),
                            QStringLiteral("Potential Causes:"),
                            QStringLiteral("- Network drive not available."),
                            QStringLiteral("- You don't have permission to write to the page folder.")};
    return plainMessage(lines.join(QLatin1Char('\r')));
}

Message provideNameAndDate()
{
    return plainMessage(QStringLiteral("Please provide event name and date."));
}

Message createFailed(const FileResult& failure)
{
    const QStringList lines{QStringLiteral("Failed to create a course file."), QStringLiteral("Potential Causes:"),
                            QStringLiteral("- Network drive not available."),
                            QStringLiteral("- You don't have permissions to create files in the specified folder."),
                            QStringLiteral("- The directory selected in Options is not available.")};
    return Message{QStringLiteral("Error") + QString::number(failure.code) + QStringLiteral(": ") + failure.description,
                   lines.join(QLatin1Char('\r')),
                   {Button::Ok},
                   Button::Ok};
}

QString counterHoldsNoNumber()
{
    return QStringLiteral("The counter file holds no event number");
}

QString noEventNumbersLeft()
{
    return QStringLiteral("No event numbers are left");
}

QString folderMissing(const QString& folder)
{
    return QStringLiteral("The folder %1 does not exist.").arg(folder);
}

QString folderUnreadable(const QString& folder)
{
    return QStringLiteral("The folder %1 cannot be read.").arg(folder);
}

QString lockFolderMissing(const QString& folder)
{
    return QStringLiteral("the working folder %1 does not exist").arg(folder);
}

QString lockFolderFull(const QString& folder)
{
    return QStringLiteral("the working folder %1 is full").arg(folder);
}

QString lockFolderNotWritable(const QString& folder)
{
    return QStringLiteral("the working folder %1 cannot be written to").arg(folder);
}

} // namespace Enrolix::EventMessages
