// The settings file may hold mail passwords: it is readable by its owner only once the program
// writes it, and once either program starts while a profile in it holds a password.
#include "mail/ProfileKeys.h"
#include "platform/IniSettingsStore.h"
#include "settings/SettingsKeys.h"
#include "support/ChildProcess.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <sys/stat.h>

using namespace Enrolix;
using namespace Enrolix::Testing;

namespace {

// The permission bits of the file, or -1 when it is missing.
int modeOf(const QString& path)
{
    struct stat status
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777) : -1;
}

void writeWithMode(const QString& path, const QByteArray& text, int mode)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
}

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Writing
    void write_newFile_isOwnerOnlyFromTheStart()
    {
        TestFolders folders;
        const QString path = IniSettingsStore::defaultFilePath();
        QCOMPARE(modeOf(path), -1);
        IniSettingsStore store;
        store.write(SettingsKeys::kMailProfileName, SettingsKeys::kMailPassword, QStringLiteral("secret"));
        QCOMPARE(modeOf(path), 0600);
        QCOMPARE(IniSettingsStore(path).read(SettingsKeys::kMailProfileName, SettingsKeys::kMailPassword, {}),
                 QStringLiteral("secret"));
    }

    void write_fileReadableByOthers_becomesOwnerOnly()
    {
        TestFolders folders;
        const QString path = IniSettingsStore::defaultFilePath();
        writeWithMode(path, "[options]\nFirstRun=False\n", 0644);
        IniSettingsStore store;
        QCOMPARE(modeOf(path), 0644);
        store.write(SettingsKeys::kOptions, SettingsKeys::kSecondsWait, QStringLiteral("60"));
        QCOMPARE(modeOf(path), 0600);
        QCOMPARE(store.read(SettingsKeys::kOptions, SettingsKeys::kFirstRun, {}), QStringLiteral("False"));
    }

    // Starting up
    void startUp_fileReadableByOthers_isOwnerOnlyWhenAProfileHoldsAPassword_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QByteArray>("profile");
        QTest::addColumn<int>("mode");
        const QByteArray password = "password=secret\n";
        const QByteArray command = "password_command=secret-tool lookup service enrolix\n";
        QTest::newRow("attendant, password") << ENROLIX_ATTENDANT << "[MS%20Exchange%20Settings]\n" + password << 0600;
        QTest::newRow("attendant, password in another profile") << ENROLIX_ATTENDANT << "[Other]\n" + password << 0600;
        QTest::newRow("attendant, password command")
            << ENROLIX_ATTENDANT << "[MS%20Exchange%20Settings]\n" + command << 0644;
        QTest::newRow("attendant, empty password") << ENROLIX_ATTENDANT << QByteArray("[Other]\npassword=\n") << 0644;
        QTest::newRow("desktop, password") << ENROLIX_DESKTOP << "[MS%20Exchange%20Settings]\n" + password << 0600;
    }
    void startUp_fileReadableByOthers_isOwnerOnlyWhenAProfileHoldsAPassword()
    {
        QFETCH(QString, program);
        QFETCH(QByteArray, profile);
        QFETCH(int, mode);
        TestFolders folders;
        const QString path = IniSettingsStore::defaultFilePath();
        // A working folder of the test's own, with no mailbox to answer.
        writeWithMode(path,
                      "[options]\nFirstRun=False\nWorking_Files_Directory=" + folders.work().toUtf8() + "\n" + profile,
                      0644);
        ChildProcess process(program, program == QLatin1String(ENROLIX_ATTENDANT)
                                          ? QStringList{QStringLiteral("--once")}
                                          : QStringList{});
        QVERIFY(process.start());
        if (program == QLatin1String(ENROLIX_ATTENDANT)) {
            QVERIFY(process.waitForEnd(30000));
            QCOMPARE(modeOf(path), mode);
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(modeOf(path), mode, 30000);
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settingsfile.moc"
