// The draw, its file, the exports and the notifications, on the files a closed event leaves.
// Built twice: against Maildir folders, and against the Dovecot server and SMTP sink.
#include "ProfileMailSessionFactory.h"
#include "events/EventFiles.h"
#include "lottery/ClosedEvent.h"
#include "lottery/Draw.h"
#include "lottery/DrawRecord.h"
#include "lottery/LotteryDesk.h"
#include "lottery/LotteryMessages.h"
#include "lottery/Notifier.h"
#include "mail/MimeReader.h"
#include "mail/ProfileKeys.h"
#include "platform/TextFiles.h"
#include "support/ChildProcess.h"
#include "support/ClosedEventFiles.h"
#include "support/MailSamples.h"
#include "support/MaildirBackend.h"
#include "support/MemorySettingsStore.h"
#include "support/ScriptRows.h"
#include "support/SelectedBackend.h"
#include "support/ServerBackend.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

const QString kKey = QStringLiteral("Lotto 2026-12-05: 3 17 22 31 40 45");
const QDateTime kDrawn = QDateTime(QDate(2026, 12, 5), QTime(10, 0), Qt::UTC);

// What the program printed on its standard output; a failure of it is told.
QByteArray run(const QString& program, const QStringList& arguments)
{
    const ChildProcess::Ended ended = ChildProcess::run(program, arguments);
    if (ended.exitCode != 0)
        qWarning("%s failed: %s", qPrintable(program), ended.err.constData());
    return ended.out;
}

// A few hundred distinct names of the kinds a staff list has: accents, inner, leading and
// trailing blanks, and pairs that differ only in case.
QStringList staffNames()
{
    const QStringList first{QStringLiteral("Ann"), QStringLiteral("José"), QStringLiteral("Zoë"),
                            QStringLiteral("Łukasz"), QStringLiteral("Ångström"), QStringLiteral("Nguyễn"),
                            QStringLiteral("Søren"), QStringLiteral("Bob"), QStringLiteral("Chloé"),
                            QStringLiteral("Dmitrij")};
    const QStringList last{QStringLiteral("Lee"), QStringLiteral("Müller"), QStringLiteral("O'Brien"),
                           QStringLiteral("van der Berg"), QStringLiteral("García"), QStringLiteral("Smith"),
                           QStringLiteral("Çelik"), QStringLiteral("Ødegård")};
    QStringList names;
    for (const QString& f : first)
        for (const QString& l : last) {
            const QString name = f + QLatin1Char(' ') + l;
            names << name << name.toLower() << name.toUpper() << f + QStringLiteral("  ") + l;
        }
    names << QStringLiteral(" Ann Lee") << QStringLiteral("Ann Lee ");
    return names;
}

class LotteryFixture
{
public:
    LotteryFixture() : files(settings) {}
    TestFolders folders;
    Settings settings{folders.settings()};
    EventFiles files;
    QString work(const QString& name) const { return folders.work() + name; }
};

// A lottery whose mail profile points at the test's mail backend.
struct MailedLotteryFixture : LotteryFixture
{
    MailedLotteryFixture() { backend.configure(store, SettingsKeys::kMailProfileName); }
    Backend backend{folders.root() + QStringLiteral("mail/")};
    MemorySettingsStore store;
};

} // namespace

class TestLottery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ranking_agreesNameForName_withSha256sumOfTheRecipe()
    {
        const QStringList names = staffNames();
        QVERIFY(names.size() >= 300);
        TestFolders folders;
        QByteArray input;
        for (const QString& name : names)
            input += name.toUtf8() + '\0';
        const QString list = folders.root() + QStringLiteral("names");
        folders.write(list, input);
        // The check anybody can make, a name at a time, sorted by the C locale.
        const QString script = QStringLiteral(
            "i=0; while IFS= read -r -d '' n; do "
            "printf '%s\\t%s\\n' \"$(printf '%s\\n%s' \"$KEY\" \"$n\" | sha256sum | cut -d' ' -f1)\" $i; "
            "i=$((i+1)); done < \"$1\" | LC_ALL=C sort");
        qputenv("KEY", kKey.toUtf8());
        const QList<QByteArray> lines = run(QStringLiteral("bash"), {QStringLiteral("-c"), script,
                                                                    QStringLiteral("bash"), list})
                                            .split('\n');

        // The list as a sign-up file may hold it: shuffled, with repeats and an empty line.
        QStringList shuffled = names + names.mid(0, 5) + QStringList{QString()};
        std::shuffle(shuffled.begin(), shuffled.end(), *QRandomGenerator::global());
        const int seats = 20;
        const QList<Draw::Entry> drawn = Draw::rank(shuffled, kKey, seats);
        QCOMPARE(drawn.size(), names.size());
        for (int i = 0; i < drawn.size(); ++i) {
            const QList<QByteArray> fields = lines.at(i).split('\t');
            QCOMPARE(fields.size(), 2);
            QCOMPARE(drawn.at(i).name, names.at(fields.at(1).toInt()));
            QCOMPARE(drawn.at(i).hash.toLatin1(), fields.at(0));
            QCOMPARE(drawn.at(i).rank, i + 1);
            QCOMPARE(drawn.at(i).selected, i < seats);
        }
    }

    void drawFile_saysWhatWasDrawn_andReadsBack()
    {
        LotteryFixture f;
        writeClosedEvent(f.folders, QStringLiteral("E00004"),
                         {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Zoë Ødegård"),
                          QStringLiteral("Dan"), QStringLiteral("Eve")},
                         {QStringLiteral("ann@example.org")});
        LotteryDesk desk(f.files);
        QVERIFY(!desk.choose(QStringLiteral("E00004")));
        QVERIFY(!desk.drawWith(QStringLiteral("2"), kKey, kDrawn));
        QVERIFY(!desk.save());

        const QByteArray bytes = f.folders.read(f.work(QStringLiteral("E00004.draw.txt")));
        QVERIFY(bytes.endsWith("\r\n"));
        const QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
        const QByteArray listHash =
            run(QStringLiteral("sha256sum"), {f.work(QStringLiteral("E00004.sc.cl"))}).left(64);
        QCOMPARE(lines.mid(0, 8), (QStringList{QStringLiteral("Event: E00004"), QStringLiteral("Sign-ups: 5"),
                                               QStringLiteral("List SHA-256: ") + QString::fromLatin1(listHash),
                                               QStringLiteral("Draw key: ") + kKey, QStringLiteral("Seats: 2"),
                                               QStringLiteral("Drawn: 2026-12-05T10:00:00Z"),
                                               QStringLiteral("Method: names ranked by SHA-256 of the draw key, a "
                                                              "line feed and the name"),
                                               QString()}));
        QCOMPARE(lines.size(), 8 + 5 + 1);
        for (int i = 0; i < 5; ++i) {
            const QStringList row = lines.at(8 + i).split(QLatin1Char('\t'));
            const Draw::Entry& entry = desk.draw()->entries.at(i);
            QCOMPARE(row, (QStringList{QString::number(i + 1), i < 2 ? QStringLiteral("Selected") : QStringLiteral("Waiting"),
                                       entry.name, Draw::rankHash(kKey, entry.name)}));
        }

        LotteryDesk again(f.files);
        QVERIFY(!again.choose(QStringLiteral("E00004")));
        QVERIFY(again.draw());
        QCOMPARE(again.draw()->text(), desk.draw()->text());
    }

    void drawInput_isChecked_beforeAnythingIsDrawn_data()
    {
        QTest::addColumn<QString>("seats");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("message");
        const QString seats = LotteryMessages::seatsNotWhole().text;
        for (const char* bad : {"", "0", "-3", "2.5", "abc", "1e3", "+4", "99999999999"})
            QTest::addRow("seats '%s'", bad) << QString::fromLatin1(bad) << kKey << seats;
        QTest::addRow("empty key") << QStringLiteral("3") << QString() << LotteryMessages::noDrawKey().text;
        QTest::addRow("blanks around seats") << QStringLiteral(" 3 ") << kKey << QString();
        QTest::addRow("more seats than names") << QStringLiteral("40") << kKey << QString();
    }
    void drawInput_isChecked_beforeAnythingIsDrawn()
    {
        QFETCH(QString, seats);
        QFETCH(QString, key);
        QFETCH(QString, message);
        LotteryFixture f;
        writeClosedEvent(f.folders, QStringLiteral("E00002"), {QStringLiteral("Ann"), QStringLiteral("Bob")}, {});
        LotteryDesk desk(f.files);
        QVERIFY(!desk.choose(QStringLiteral("E00002")));
        const std::optional<Message> refused = desk.drawWith(seats, key, kDrawn);
        QCOMPARE(refused ? refused->text : QString(), message);
        QCOMPARE(bool(desk.draw()), message.isEmpty());
        if (desk.draw())
            QCOMPARE(std::count_if(desk.draw()->entries.begin(), desk.draw()->entries.end(),
                                   [](const Draw::Entry& e) { return e.selected; }),
                     std::min(seats.trimmed().toInt(), 2));
    }

    void drawWhoseMailsWentOut_cannotBeRedrawn_butIsShownAgain()
    {
        LotteryFixture f;
        writeClosedEvent(f.folders, QStringLiteral("E00003"),
                         {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cy")}, {});
        LotteryDesk desk(f.files);
        QVERIFY(!desk.choose(QStringLiteral("E00003")));
        QVERIFY(!desk.drawWith(QStringLiteral("1"), kKey, kDrawn));
        QVERIFY(!desk.save());
        // Before any mail went out, another key is a new draw.
        QVERIFY(!desk.drawWith(QStringLiteral("1"), QStringLiteral("other"), kDrawn));
        QCOMPARE(desk.draw()->key, QStringLiteral("other"));
        QVERIFY(!desk.drawWith(QStringLiteral("1"), kKey, kDrawn));
        QVERIFY(!desk.save());
        f.folders.write(f.work(QStringLiteral("E00003.sent")), "Ann\tann@example.org\r\n");

        LotteryDesk later(f.files);
        QVERIFY(!later.choose(QStringLiteral("E00003")));
        const QString before = later.draw()->text();
        for (const auto& [seats, key] : {std::pair{QStringLiteral("2"), kKey}, std::pair{QStringLiteral("1"), QStringLiteral("x")}}) {
            const std::optional<Message> refused = later.drawWith(seats, key, kDrawn.addDays(1));
            QVERIFY(refused);
            QCOMPARE(refused->text, QStringLiteral("Notifications for this draw have been sent; it cannot be drawn again."));
        }
        QVERIFY(!later.drawWith(QStringLiteral("1"), kKey, kDrawn.addDays(1)));
        QCOMPARE(later.draw()->text(), before);
    }

    void csvExports_readBackWithPython_withFormulasDisarmed()
    {
        LotteryFixture f;
        const QStringList names{QStringLiteral("=HYPERLINK(\"http://x\")"), QStringLiteral("+1 Plus"),
                                QStringLiteral("-minus"), QStringLiteral("@at"), QStringLiteral("\ttab"),
                                QStringLiteral("Comma, Name"), QStringLiteral("Quote \"Q\" Name"),
                                QStringLiteral("Zoë Ødegård")};
        const QStringList addresses{QStringLiteral("a@example.org"), QStringLiteral("b@example.org"),
                                    QString(), QStringLiteral("=cmd@example.org")};
        writeSignUps(f.folders, QStringLiteral("E00005"), names, addresses);
        writeClosedEvent(f.folders, QStringLiteral("E00006"), names, addresses);

        const QString openCsv = f.folders.root() + QStringLiteral("open.csv");
        QVERIFY(!LotteryDesk::exportSignUps(f.files, QStringLiteral("E00005"), openCsv));
        LotteryDesk desk(f.files);
        QVERIFY(!desk.choose(QStringLiteral("E00006")));
        QVERIFY(!desk.drawWith(QStringLiteral("3"), kKey, kDrawn));
        const QString drawCsv = f.folders.root() + QStringLiteral("draw.csv");
        QVERIFY(!desk.exportDraw(drawCsv));

        const auto rowsOf = [](const QString& path) { return scriptRows(QStringLiteral(ENROLIX_CHECK_CSV), {path}); };
        const auto guarded = [](const QString& text) {
            return !text.isEmpty() && QStringLiteral("=+-@\t").contains(text.front()) ? QLatin1Char('\'') + text : text;
        };
        const QList<QStringList> open = rowsOf(openCsv);
        QCOMPARE(open.size(), names.size() + 1);
        QCOMPARE(open.first(), (QStringList{QStringLiteral("Name"), QStringLiteral("Address")}));
        for (qsizetype i = 0; i < names.size(); ++i)
            QCOMPARE(open.at(i + 1), (QStringList{guarded(names.at(i)), guarded(addresses.value(i))}));

        const QList<QStringList> drawn = rowsOf(drawCsv);
        QCOMPARE(drawn.size(), names.size() + 1);
        QCOMPARE(drawn.first(), (QStringList{QStringLiteral("Rank"), QStringLiteral("Status"), QStringLiteral("Name"),
                                             QStringLiteral("Address")}));
        for (qsizetype i = 0; i < names.size(); ++i) {
            const Draw::Entry& entry = desk.draw()->entries.at(i);
            const QString address = addresses.value(names.indexOf(entry.name));
            QCOMPARE(drawn.at(i + 1), (QStringList{QString::number(i + 1), entry.selected ? QStringLiteral("Selected")
                                                                                        : QStringLiteral("Waiting"),
                                                   guarded(entry.name), guarded(address)}));
        }
    }

    void notifications_reachEveryDrawnAddress_once()
    {
        MailedLotteryFixture f;
        Backend& backend = f.backend;
        QVERIFY2(backend.problem().isEmpty(), qPrintable(backend.problem()));
        MemorySettingsStore& store = f.store;
        const QStringList names{QStringLiteral("Ann Archer"), QStringLiteral("Bob Baker"), QStringLiteral("Zoë Ødegård"),
                                QStringLiteral("Dan Dale"), QStringLiteral("Eve East"), QStringLiteral("Old Timer")};
        const QStringList addresses{QStringLiteral("ann@example.org"), QStringLiteral("bob@example.org"),
                                    QStringLiteral("zoe@example.org"), QStringLiteral("dan@example.org"),
                                    QStringLiteral("eve@example.org")};
        writeClosedEvent(f.folders, QStringLiteral("E00007"), names, addresses);
        LotteryDesk desk(f.files);
        QVERIFY(!desk.choose(QStringLiteral("E00007")));
        QVERIFY(!desk.drawWith(QStringLiteral("2"), kKey, kDrawn));
        ProfileMailSessionFactory mail(store);
        Notifier notifier(mail, f.settings);

        QList<int> progress;
        const NotifyOutcome outcome =
            notifier.send(*desk.chosen(), *desk.draw(), [&](int done, int total) { progress << done * 10 + total; });
        QCOMPARE(outcome.message().text,
                 QStringLiteral("Notifications sent: 2 invitations, 3 waiting-list mails, 1 without an address."));
        QCOMPARE(progress, (QList<int>{15, 25, 35, 45, 55}));
        QTRY_COMPARE_WITH_TIMEOUT(backend.replies().size(), 5, 10000);

        QMap<QString, QByteArray> byAddress;
        for (const QByteArray& raw : backend.replies())
            byAddress.insert(recipientOf(raw).address, raw);
        for (const Draw::Entry& entry : desk.draw()->entries) {
            const QString address = addresses.value(names.indexOf(entry.name));
            if (address.isEmpty()) {
                QVERIFY(entry.name == QStringLiteral("Old Timer"));
                continue;
            }
            const QByteArray raw = byAddress.value(address);
            QVERIFY2(!raw.isEmpty(), qPrintable(address));
            QCOMPARE(recipientOf(raw).name, entry.name);
            QCOMPARE(headerOf(raw, "Auto-Submitted"), QByteArray("auto-generated"));
            QVERIFY(headerOf(raw, "In-Reply-To").isEmpty());
            const IncomingMail read = MimeReader::read(raw);
            const LotteryMessages::Notification expected =
                entry.selected ? LotteryMessages::invitation(QStringLiteral("E00007"), QStringLiteral("Safety\r\nMay 4\r\n"),
                                                             QStringLiteral("please contact the Training Coordinator at Quillmark"))
                               : LotteryMessages::waitingPlace(QStringLiteral("E00007"), QStringLiteral("Safety\r\nMay 4\r\n"),
                                                               entry.rank - 2);
            QCOMPARE(read.subject, expected.subject);
            QCOMPARE(read.text, expected.text);
        }

        const NotifyOutcome again = notifier.send(*desk.chosen(), *desk.draw());
        QCOMPARE(again.message().text, QStringLiteral("All notifications for this draw have already been sent."));
        QTest::qWait(200);
        QCOMPARE(backend.replies().size(), 5);
    }

    void unreachableProfile_sendsNothing_andMarksNothing()
    {
        MailedLotteryFixture f;
        MemorySettingsStore& store = f.store;
        // A port where nothing listens.
        store.write(SettingsKeys::kMailProfileName, SettingsKeys::kMailOutbox, QStringLiteral("smtp://127.0.0.1:9"));
        writeClosedEvent(f.folders, QStringLiteral("E00008"), {QStringLiteral("Ann"), QStringLiteral("Bob")},
                         {QStringLiteral("ann@example.org"), QStringLiteral("bob@example.org")});
        LotteryDesk desk(f.files);
        QVERIFY(!desk.choose(QStringLiteral("E00008")));
        QVERIFY(!desk.drawWith(QStringLiteral("1"), kKey, kDrawn));
        ProfileMailSessionFactory mail(store);
        const Message box = Notifier(mail, f.settings).send(*desk.chosen(), *desk.draw()).message();
        QVERIFY2(box.text.startsWith(QStringLiteral("The mail profile could not be reached; nothing was sent.\r")),
                 qPrintable(box.text));
        QVERIFY(box.text.size() > 60); // the reason follows
        QCOMPARE(box.title, kApplicationTitle);
        QVERIFY(!QFile::exists(f.work(QStringLiteral("E00008.sent"))));
        QVERIFY(!Notifier::anySent(*desk.chosen()));
    }

#ifdef ENROLIX_PASS_ON_SERVERS
    // A server that refuses the profile stops the run; whoever it did not take is mailed next time.
    void notifications_serverRefusingTheProfile_stopsTheRun_andRecordsNobodyNotSent_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("refusedFrom");
        QTest::addColumn<QString>("reason");
        QTest::newRow("relaying denied for everyone, 5.7.1")
            << "554 5.7.1 Relay access denied" << 0 << "554 5.7.1 Relay access denied";
        QTest::newRow("relaying denied from the second, 5.7.1")
            << "554 5.7.1 Relay access denied" << 1 << "554 5.7.1 Relay access denied";
        QTest::newRow("the same 554 without enhanced codes")
            << "554 Relay access denied" << 0 << "554 Relay access denied (3 recipients in a row)";
    }
    void notifications_serverRefusingTheProfile_stopsTheRun_andRecordsNobodyNotSent()
    {
        QFETCH(QString, answer);
        QFETCH(int, refusedFrom);
        QFETCH(QString, reason);
        MailedLotteryFixture f;
        const ServerBackend& backend = f.backend;
        QVERIFY2(backend.problem().isEmpty(), qPrintable(backend.problem()));
        const QStringList names{QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cid"),
                                QStringLiteral("Dee")};
        const QStringList addresses{QStringLiteral("ann@example.org"), QStringLiteral("bob@example.org"),
                                    QStringLiteral("cid@example.org"), QStringLiteral("dee@example.org")};
        writeClosedEvent(f.folders, QStringLiteral("E00009"), names, addresses);
        LotteryDesk desk(f.files);
        QVERIFY(!desk.choose(QStringLiteral("E00009")));
        QVERIFY(!desk.drawWith(QStringLiteral("2"), kKey, kDrawn));
        // The mails go in the order drawn.
        QStringList rules;
        const QList<Draw::Entry>& drawn = desk.draw()->entries;
        for (int i = refusedFrom; i < drawn.size(); ++i)
            rules << QStringLiteral("RCPT ") + addresses.at(names.indexOf(drawn.at(i).name)) + QLatin1Char(' ') +
                         answer;
        backend.refuse(rules);
        ProfileMailSessionFactory mail(f.store);
        Notifier notifier(mail, f.settings);

        const NotifyOutcome stopped = notifier.send(*desk.chosen(), *desk.draw());
        QCOMPARE(stopped.kind, refusedFrom == 0 ? NotifyOutcome::Kind::Unreachable : NotifyOutcome::Kind::Stopped);
        QCOMPARE(stopped.reason, backend.smtpUrl() + QStringLiteral(": the server refuses to send mail: ") + reason);
        QVERIFY2(stopped.message().text.endsWith(stopped.reason), qPrintable(stopped.message().text));
        QCOMPARE(int(backend.replies().size()), refusedFrom);
        const QStringList sent = TextFiles::readLines(desk.chosen()->sentPath).value_or(QStringList());
        QCOMPARE(int(sent.size()), refusedFrom);

        backend.refuse({});
        const NotifyOutcome rest = notifier.send(*desk.chosen(), *desk.draw());
        QCOMPARE(rest.kind, NotifyOutcome::Kind::Done);
        QCOMPARE(rest.invitations + rest.waiting, int(names.size()) - refusedFrom);
        QStringList recipients;
        for (const QByteArray& raw : backend.replies())
            recipients << recipientOf(raw).address;
        recipients.sort();
        QCOMPARE(recipients, addresses);
    }
#endif
};

QTEST_GUILESS_MAIN(TestLottery)
#include "test_lottery.moc"
