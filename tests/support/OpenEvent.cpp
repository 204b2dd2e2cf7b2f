#include "support/OpenEvent.h"

#include "support/TestFolders.h"

namespace Enrolix::Testing {

OpenEvent::OpenEvent(const QString& folder, const QString& number) : m_folder(folder), m_number(number) {}

OpenEvent::OpenEvent(const TestFolders& folders, const QString& number) : OpenEvent(folders.work(), number) {}

OpenEvent OpenEvent::create(const QString& folder, const QString& number, const QByteArray& list,
                            const QByteArray& description)
{
    const OpenEvent event(folder, number);
    TestFolders::write(event.listPath(), list);
    TestFolders::write(event.descriptionPath(), description);
    return event;
}

OpenEvent OpenEvent::create(const TestFolders& folders, const QString& number, const QByteArray& list,
                            const QByteArray& description)
{
    return create(folders.work(), number, list, description);
}

QByteArray OpenEvent::list() const
{
    return TestFolders::read(listPath());
}

QStringList OpenEvent::names() const
{
    return QString::fromUtf8(list()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

QByteArray OpenEvent::lines(const QStringList& names)
{
    QByteArray text;
    for (const QString& name : names)
        text += name.toUtf8() + "\r\n";
    return text;
}

} // namespace Enrolix::Testing
