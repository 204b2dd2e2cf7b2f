#pragma once

#include "events/EventClosing.h"
#include "support/ChildProcess.h"
#include "support/MailSamples.h"
#include "support/MaildirBackend.h"
#include "support/OpenEvent.h"
#include "support/Subjects.h"
#include "support/TestContext.h"

#include <QListWidget>
#include <QStringList>
#include <QtTest>

namespace Enrolix::Testing {

// The key the draw window tests draw with.
inline const QString kDrawKey = QStringLiteral("Lotto of 12 December: 4 9 15 23 38 41");

// The texts of a list's rows, top to bottom.
inline QStringList rows(QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// The ranking as anybody checks it: sha256sum of key, line feed and name, sorted in the C locale.
inline QStringList recomputed(const QStringList& names, const QString& key = kDrawKey)
{
    ChildProcess shell(
        QStringLiteral("bash"),
        {QStringLiteral("-c"), QStringLiteral("while IFS= read -r n; do printf '%s\\t%s\\n' \"$(printf "
                                              "'%s\\n%s' \"$KEY\" \"$n\" | sha256sum | cut -c1-64)\" \"$n\"; "
                                              "done | LC_ALL=C sort | cut -f2")});
    shell.setEnvironment(QStringLiteral("KEY"), key);
    shell.setInput((names.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    if (!shell.start() || !shell.waitForEnd(60000))
        return {};
    return QString::fromUtf8(shell.ended().out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// An event that count people, "STEM N Ødegård" at "stemN@example.org", signed up for by mail
// (one pass) before it was closed: the files the draw starts from. The mail profile of the test
// context is a Maildir that the test reads.
struct SignedUpByMail
{
    SignedUpByMail(TestContext& test, const QString& event, const QString& stem, int count)
        : mail(test.mailFolder())
    {
        test.useMail(mail);
        OpenEvent::create(test.folders, event, {}, "First aid\r\nJanuary 12\r\n");
        for (int i = 1; i <= count; ++i) {
            names << QStringLiteral("%1 %2 Ødegård").arg(stem).arg(i);
            addresses << QStringLiteral("%1%2@example.org").arg(stem.toLower()).arg(i);
            mail.deliver(requestMail(Subjects::kRegister, event, names.last(), addresses.last()));
        }
        test.run();
        QCOMPARE(mail.unreadCount(), 0);
        QVERIFY(CloseEvent(test.settings, event).closed());
    }

    MaildirBackend mail;
    QStringList names;
    QStringList addresses;
};

} // namespace Enrolix::Testing
