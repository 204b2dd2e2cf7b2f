#pragma once

#include <QMetaType>
#include <QString>

namespace Enrolix {

// One step of Test Account, as it ended.
struct AccountStep
{
    enum class Kind { IncomingServer, IncomingSignOn, Folder, OutgoingServer, OutgoingSignOn };

    Kind kind{Kind::IncomingServer};
    bool ok{false};
    // The folder of a Folder step, as the coordinator named it.
    QString folder;
    // The unread mails of a Folder step that went well.
    qsizetype unread{0};
    // Why a step failed.
    QString reason;
};

} // namespace Enrolix

Q_DECLARE_METATYPE(Enrolix::AccountStep)
