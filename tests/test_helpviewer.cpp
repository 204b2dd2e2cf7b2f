#include "platform/DesktopHelpViewer.h"
#include "support/TestFolders.h"

#include <QTextBrowser>
#include <QtTest>

using namespace Enrolix;

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

    void defaultHelpFile_isBesideTheProgramOrInstalled()
    {
        QVERIFY(DesktopHelpViewer::defaultHelpFile().endsWith(QStringLiteral("enrolix2")));
    }
};

QTEST_MAIN(TestHelpViewer)
#include "test_helpviewer.moc"
