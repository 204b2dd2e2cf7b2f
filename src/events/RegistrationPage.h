#pragma once

#include "platform/TextFiles.h"

#include <QString>
#include <QStringList>

namespace Enrolix {

struct Settings;

// The static page through which people sign up for an open event: the event's texts and three
// mailto links whose subjects are the attendant's request subjects and whose body is the
// event number.
class RegistrationPage
{
public:
    // The event texts as the create dialog stores them (line breaks CR LF) and the event number.
    struct Event
    {
        QString number;
        QString information;
        QString dates;
    };

    // The 33 lines of the page, without their line ends. Every CR in the two event texts becomes
    // "</br>" (the LF after it stays, so a typed line break also breaks the page line); nothing
    // else is escaped.
    static QStringList lines(const Settings& settings, const Event& event);

    // The page whole (each line followed by CR LF), written out beside path and waiting to be
    // committed; see TextFiles::StagedFile.
    static TextFiles::StagedFile stage(const QString& path, const Settings& settings, const Event& event);
};

} // namespace Enrolix
