#include "events/EventClosing.h"

#include "events/EventFiles.h"
#include "events/EventMessages.h"
#include "events/WorkingFolderLock.h"
#include "platform/TextFiles.h"
#include "settings/Settings.h"

#include <QFile>
#include <QFileInfo>

namespace Enrolix {
namespace {

CloseResult refused(Message report)
{
    return CloseResult{CloseResult::Status::Refused, std::move(report)};
}

bool isWritableFolder(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

} // namespace

QStringList closedPageLines(const QString& event, const QString& description)
{
    QString info = description;
    info.replace(QLatin1Char('\r'), QStringLiteral("</br>"));
    return {
        QStringLiteral("<html>"),
        QStringLiteral("<head>"),
        QStringLiteral("<title>Enrolix</title>"),
        QStringLiteral("</head>"),
        QStringLiteral("<BODY bgcolor=\"#003366\" link=\"#FF9900\" vlink=\"#FFFF00\" text=\"#FFFFFF\">"),
        QStringLiteral("<body>"),
        QStringLiteral("<p align=\"center\"><b><font color=\"#FFFFFF\" size=\"7\">Enrolix</font></b></p>"),
        QStringLiteral("<p align=\"center\"><font size=\"5\"><u>Automated Event Registration</u></font></p>"),
        QStringLiteral("<table border=\"1\" width=\"100%\">"),
        QStringLiteral("  <tr>"),
        QStringLiteral("    <td width=\"16%\"><b><font size=\"4\">Event Number</font></b></td>"),
        QStringLiteral("    <td width=\"84%\">") + event.left(6) + QStringLiteral("</td>"),
        QStringLiteral("  </tr>"),
        QStringLiteral("  <tr>"),
        QStringLiteral("    <td width=\"16%\"><b><font size=\"4\">Event Info</font></b></td>"),
        QStringLiteral("    <td width=\"84%\">") + info + QStringLiteral("</td>"),
        QStringLiteral("  </tr>"),
        QStringLiteral("</table>"),
        QStringLiteral("<p>This event is now closed for registration.</p></p>"),
        QStringLiteral(" "),
    };
}

CloseResult CloseEvent(const Settings& settings, const QString& event)
{
    // A pass must not append to a list while it is moved; checks and moves happen under the lock.
    WorkingFolderLock lock(settings.Working_Files_Directory);
    if (lock.lock(std::chrono::milliseconds::zero()) == WorkingFolderLock::Outcome::Busy)
        return CloseResult{CloseResult::Status::Busy, EventMessages::workingFolderBusy()};
    const EventFiles files(settings);
    const QString record = files.recordPath(event);
    const QString description = files.descriptionPath(event);
    const QString closedRecord = record + EventFiles::kClosedSuffix;
    const QString closedDescription = description + EventFiles::kClosedSuffix;
    const QString addresses = files.addressPath(event);
    const QString closedAddresses = addresses + EventFiles::kClosedSuffix;
    // The addresses beside the list go with it; an event without them closes all the same.
    const bool hasAddresses = TextFiles::exists(addresses);
    // The whole event number names the page, so a stray file such as "E00003 copy.sc" can
    // never overwrite the page of E00003.
    const QString page = files.pagePath(event);

    if (!TextFiles::exists(record))
        return refused(EventMessages::closeNoRecordFile(event, record));
    const std::optional<QString> text = TextFiles::readAll(description);
    if (!text)
        return refused(EventMessages::closeNoDescriptionFile(event, description));
    for (const QString& taken : {closedRecord, closedDescription}) {
        if (TextFiles::exists(taken))
            return refused(EventMessages::closeNameTaken(event, taken));
    }
    if (hasAddresses && TextFiles::exists(closedAddresses))
        return refused(EventMessages::closeNameTaken(event, closedAddresses));
    if (!isWritableFolder(settings.HTML_File_Path))
        return refused(EventMessages::closePageFolderUnavailable(event, settings.HTML_File_Path));
    // The closed page is written out before anything moves, so a full page folder is found
    // while the event is still whole; the open page is replaced only after both moves.
    TextFiles::StagedFile closedPage(page, TextFiles::joinLines(closedPageLines(event, *text)));
    if (!closedPage.result().ok())
        return refused(EventMessages::closePageNotStaged(event, page, closedPage.result().description));

    QList<QPair<QString, QString>> moves{{record, closedRecord}, {description, closedDescription}};
    if (hasAddresses)
        moves.append({addresses, closedAddresses});
    for (qsizetype done = 0; done < moves.size(); ++done) {
        QFile file(moves.at(done).first);
        if (file.rename(moves.at(done).second))
            continue;
        const QString reason = file.errorString();
        // What moved already goes back, so the event stays whole and open.
        bool undone = true;
        for (qsizetype back = done - 1; back >= 0; --back)
            undone = QFile::rename(moves.at(back).second, moves.at(back).first) && undone;
        if (done == 0 || undone)
            return refused(EventMessages::closeMoveFailed(event, moves.at(done).first, reason));
        return CloseResult{CloseResult::Status::HalfClosed,
                           EventMessages::closeHalfDone(event, record, moves.at(done).first, reason)};
    }

    const FileResult written = closedPage.commit();
    if (!written.ok())
        return CloseResult{CloseResult::Status::PageNotWritten,
                           EventMessages::closePageNotWritten(event, page, written.description)};
    return CloseResult{};
}

} // namespace Enrolix
