#pragma once

#include "platform/TextFiles.h"

#include <QString>
#include <QStringList>

namespace Enrolix {

struct Settings;

// Names and places of an event's files. Paths are plain concatenations of a folder setting
// (which always ends in the separator), the event number and a suffix.
class EventFiles
{
public:
    explicit EventFiles(const Settings& settings) : m_settings(settings) {}

    static inline const QString kRecordSuffix = QStringLiteral(".sc");
    static inline const QString kDescriptionSuffix = QStringLiteral(".scn");
    static inline const QString kAddressSuffix = QStringLiteral(".sca");
    static inline const QString kClosedSuffix = QStringLiteral(".cl");
    static inline const QString kPageSuffix = QStringLiteral(".html");

    // "E" followed by the counter value with at least five digits, zero-padded.
    static QString eventNumber(int counterValue);

    QString recordPath(const QString& event) const;
    QString descriptionPath(const QString& event) const;
    // The addresses of the sign-ups (SignUpAddresses).
    QString addressPath(const QString& event) const;
    QString pagePath(const QString& event) const;
    QString publishedAddress(const QString& event) const;

    // Lists the open events: the plain files of the working folder matching "*.sc" (any case),
    // ascending by name without regard to case, each less its last three characters.
    // Fails, leaving events untouched, when the working folder cannot be listed.
    FileResult listOpenEvents(QStringList& events) const;
    // The closed events in the same way: the files matching "*.sc.cl".
    FileResult listClosedEvents(QStringList& events) const;

    // True when any file of the event exists, open or closed, or its page.
    bool anyFileExists(const QString& event) const;

private:
    FileResult listEvents(const QString& suffix, QStringList& events) const;

    const Settings& m_settings;
};

} // namespace Enrolix
