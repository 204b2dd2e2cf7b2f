#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace Enrolix::Testing {

// What a coordinator expects of the attendant, written apart from the program: requests
// handled one after the other in mailbox order, each against the lists as the requests before
// it left them. Tests compare the program's lists and reply subjects with it.
class SignUpModel
{
public:
    enum class Kind { Register, Cancel, AttendeeList };

    // The open events and their lists at the start.
    explicit SignUpModel(QMap<QString, QStringList> lists = {}) : m_lists(std::move(lists)) {}

    void openEvent(const QString& event, const QStringList& names = {}) { m_lists.insert(event, names); }
    // Handles one request from the person named; returns the subject of its reply.
    QString handle(Kind kind, const QString& event, const QString& name);
    // The list of an open event, in order.
    QStringList list(const QString& event) const { return m_lists.value(event); }
    const QMap<QString, QStringList>& lists() const { return m_lists; }

    // The request subjects of the page links.
    static QString subjectOf(Kind kind);

private:
    QMap<QString, QStringList> m_lists;
};

} // namespace Enrolix::Testing
