#pragma once

#include <QString>

#include <optional>

namespace Enrolix {

struct Settings;

// What the event list shows for its selection: the selected event, its description and its
// sign-up list, or nothing selected.
struct EventSelection
{
    QString event;
    QString description;
    // The sign-up list with the file's own line ends; empty when nobody signed up.
    QString attendees;

    bool selected() const { return !event.isEmpty(); }
    bool hasAttendees() const { return !attendees.isEmpty(); }
};

// Reads the event's files afresh. Nothing when its sign-up list is gone (closed or removed since
// the list was built); an unreadable description reads as empty.
std::optional<EventSelection> readEventSelection(const Settings& settings, const QString& event);

} // namespace Enrolix
