#include "platform/DesktopHelpViewer.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QtTest>

using namespace Enrolix;

namespace {

const QString kHelp = QStringLiteral(ENROLIX_HELP_SOURCE);
const QString kContents = QStringLiteral("Welcome.htm");

QString contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The targets of a page's links: href="..." in a help page, (...) after ] in the README.
QStringList linksOf(const QString& path)
{
    static const QRegularExpression html(QStringLiteral("href=\"([^\"]*)\""));
    static const QRegularExpression markdown(QStringLiteral("\\]\\(([^)\\s]+)\\)"));
    QStringList links;
    for (const QRegularExpressionMatch& match :
         (path.endsWith(QStringLiteral(".md")) ? markdown : html).globalMatch(contentOf(path)))
        links << match.captured(1);
    return links;
}

} // namespace

class TestHelpViewer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showTopic_opensThePageInOneWindow()
    {
        Testing::TestFolders folders;
        folders.write(folders.root() + QStringLiteral("Welcome.htm"),
                      "<html><body><h1>Welcome</h1><a href=\"Other.htm\">other</a></body></html>");
        DesktopHelpViewer viewer;
        viewer.showTopic(folders.root().chopped(1), QStringLiteral("Welcome.htm"), nullptr);
        QWidget* window = viewer.window();
        QVERIFY(window && window->isVisible());
        auto* browser = window->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
        QVERIFY(browser);
        QVERIFY(browser->toPlainText().contains(QStringLiteral("Welcome")));
        viewer.showTopic(folders.root().chopped(1), QStringLiteral("Welcome.htm"), nullptr);
        QCOMPARE(viewer.window(), window);
    }

    void showTopic_missingHelp_isReportedInTheWindow()
    {
        Testing::TestFolders folders;
        DesktopHelpViewer viewer;
        viewer.showTopic(folders.root() + QStringLiteral("nohelp"), QStringLiteral("Welcome.htm"), nullptr);
        auto* browser = viewer.window()->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("could not be found")));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("Welcome.htm")));
    }

    // The help as it ships: every page is linked from the contents, and every link leads somewhere.
    void helpPage_isLinkedFromTheContents_data()
    {
        QTest::addColumn<QString>("page");
        const QStringList pages = QDir(kHelp).entryList({QStringLiteral("*.htm")}, QDir::Files);
        QVERIFY(pages.size() > 1);
        for (const QString& page : pages) {
            if (page != kContents)
                QTest::newRow(qPrintable(page)) << page;
        }
    }
    void helpPage_isLinkedFromTheContents()
    {
        QFETCH(QString, page);
        QVERIFY2(linksOf(kHelp + QLatin1Char('/') + kContents).contains(page), qPrintable(page));
    }

    void link_resolves_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString& page : QDir(kHelp).entryList({QStringLiteral("*.htm")}, QDir::Files))
            QTest::newRow(qPrintable(page)) << kHelp + QLatin1Char('/') + page;
        QTest::newRow("README.md") << QStringLiteral(ENROLIX_README);
    }
    void link_resolves()
    {
        QFETCH(QString, path);
        const QStringList links = linksOf(path);
        QVERIFY2(!links.isEmpty(), qPrintable(path));
        const QDir folder = QFileInfo(path).dir();
        static const QRegularExpression elsewhere(QStringLiteral("^(https?|mailto):"));
        for (const QString& link : links) {
            if (elsewhere.match(link).hasMatch())
                continue;
            const QString file = link.section(QLatin1Char('#'), 0, 0);
            const QString anchor = link.section(QLatin1Char('#'), 1);
            const QString target = file.isEmpty() ? path : folder.filePath(file);
            QVERIFY2(QFileInfo(target).isFile(), qPrintable(path + QStringLiteral(": ") + link));
            if (!anchor.isEmpty())
                QVERIFY2(contentOf(target).contains(QStringLiteral("name=\"%1\"").arg(anchor)),
                         qPrintable(path + QStringLiteral(": ") + link));
        }
    }

    void defaultHelpFile_isBesideTheProgramOrInstalled()
    {
        QVERIFY(DesktopHelpViewer::defaultHelpFile().endsWith(QStringLiteral("enrolix2")));
    }
};

QTEST_MAIN(TestHelpViewer)
#include "test_helpviewer.moc"
