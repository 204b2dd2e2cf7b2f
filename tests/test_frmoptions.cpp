#include "admin/AdminMessages.h"
#include "admin/FolderList.h"
#include "admin/Windows.h"
#include "admin/frmDirSelect.h"
#include "admin/frmMain.h"
#include "admin/frmOptions.h"
#include "gui/AppContext.h"
#include "gui/Twips.h"
#include "settings/SettingsMessages.h"
#include "support/Controls.h"
#include "support/FakeBrowser.h"
#include "support/FakeClipboard.h"
#include "support/FakeVolumeList.h"
#include "support/MemoryKeyring.h"
#include "support/MemorySettingsStore.h"
#include "support/ScriptedPrompter.h"
#include "support/TestContext.h"
#include "support/TestFolders.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <memory>

using namespace Enrolix;
using Testing::control;

namespace {

// Passes every box on to the script, after letting the test look at the windows as they are
// when the box comes up.
class ObservingPrompter final : public Prompter
{
public:
    explicit ObservingPrompter(Prompter& script) : m_script(script) {}
    Button ask(const Message& message) override
    {
        if (onAsk)
            onAsk();
        return m_script.ask(message);
    }
    std::function<void()> onAsk;

private:
    Prompter& m_script;
};

} // namespace

class TestFrmOptions : public QObject
{
    Q_OBJECT

    std::unique_ptr<Testing::TestFolders> m_folders;
    Testing::MemorySettingsStore m_store;
    Settings m_settings;
    Testing::ScriptedPrompter m_script;
    std::unique_ptr<ObservingPrompter> m_prompter;
    Testing::FakeClipboard m_clipboard;
    Testing::FakeHelpViewer m_help;
    Testing::FakeSystemInfo m_system;
    Testing::MemoryKeyring m_keyring;
    ProfileMailSessionFactory m_mail{m_store, {}, nullptr, &m_keyring};
    Testing::FakeBrowser m_browser;
    Testing::FakeFileChooser m_files;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<Windows> m_windows;

    QString root() const { return m_folders->root().chopped(1); }
    frmOptions& options() { return m_windows->options(); }
    frmDirSelect& picker() { return m_windows->dirSelect(); }
    QLineEdit* box(int index)
    {
        return control<QLineEdit>(options(), QStringLiteral("option(%1)").arg(std::size_t(index)));
    }

    void openOptions()
    {
        m_script.expect(AdminMessages::optionsWarning(), Testing::DefaultButton{Button::Ok});
        control<QAction>(m_windows->main(), "mnuOptions")->trigger();
        QVERIFY(options().isVisible());
        QVERIFY(!m_windows->main().isVisible());
    }
    void activate(QWidget& window)
    {
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    void browse(int target)
    {
        control<QPushButton>(options(), QStringLiteral("cmdSelectDir(%1)").arg(std::size_t(target)))->click();
        QVERIFY(picker().isVisible());
        QVERIFY(!options().isEnabled());
    }
    void openFolder(const QString& name)
    {
        FolderList* list = control<FolderList>(picker(), "DirSelect");
        const QList<QTreeWidgetItem*> items = list->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(items.size(), 1);
        list->scrollToItem(items.first());
        const QPoint centre = list->visualItemRect(items.first()).center();
        // A real double click: a click, then the second press arriving as a double click.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    }
    QList<QPair<QString, QString>> savedSettings(const QString& folder0, const QString& folder1, const QString& folder2,
                                                 const QString& seconds)
    {
        return {{"Working_Files_Directory", folder0},      {"HTML_File_Path", folder1},
                {"HTML_Nice_File_Path", folder2},          {"Training_Coordinator_Name", "Dana Coordinator"},
                {"Training_Coordinator_Ext", "ext. 4411"}, {"Seconds_Wait_Between_Email_Processing", seconds},
                {"RegAttend", "attendant@example.org"}};
    }

private Q_SLOTS:
    void init()
    {
        m_folders = std::make_unique<Testing::TestFolders>();
        m_script.reset();
        m_store.values.clear();
        m_store.set(QStringLiteral("Working_Files_Directory"), root() + QStringLiteral("/work"));
        m_store.set(QStringLiteral("HTML_File_Path"), root() + QStringLiteral("/pages"));
        m_store.set(QStringLiteral("HTML_Nice_File_Path"), QStringLiteral("https://example.org/courses"));
        m_store.set(QStringLiteral("Training_Coordinator_Name"), QStringLiteral("Dana Coordinator"));
        m_store.set(QStringLiteral("Training_Coordinator_Ext"), QStringLiteral("ext. 4411"));
        m_store.set(QStringLiteral("RegAttend"), QStringLiteral("attendant@example.org"));
        m_store.set(QStringLiteral("Seconds_Wait_Between_Email_Processing"), QStringLiteral("120"));
        m_settings.LoadSettings(m_store);
        m_store.writes.clear();
        m_folders->write(m_settings.Counter_File_Path, "7\r\n");

        m_prompter = std::make_unique<ObservingPrompter>(m_script);
        m_context = std::make_unique<AppContext>(AppContext{m_store, m_settings, *m_prompter, m_clipboard, m_help,
                                                            m_system, m_mail, m_files, m_keyring, m_browser, m_mail});
        auto volumes = std::make_unique<Testing::FakeVolumeList>(
            QList<Volume>{{QStringLiteral("/"), QStringLiteral("system")},
                          {root() + QStringLiteral("/unplugged"), QStringLiteral("stick")},
                          {m_folders->pages(), QStringLiteral("pages")}});
        m_windows = std::make_unique<Windows>(*m_context, std::move(volumes));
        m_windows->showMain();
    }
    void cleanup()
    {
        m_windows.reset();
        ENROLIX_VERIFY_BOXES(m_script);
    }

    // --- opening
    void open_showsDialog_hidesMain_thenWarns()
    {
        bool optionsShown = false;
        bool mainShown = true;
        m_prompter->onAsk = [&] {
            optionsShown = options().isVisible();
            mainShown = m_windows->main().isVisible();
        };
        const Message warning = AdminMessages::optionsWarning();
        QCOMPARE(warning, plainMessage(QStringLiteral(
                              "Changing settings may make application unusable.  Please review the Helpfile for more "
                              "informaition and make note of current settings before making any changes.")));
        openOptions();
        QVERIFY(optionsShown);
        QVERIFY(!mainShown);
    }

    void dialog_controlsAsDesigned()
    {
        openOptions();
        frmOptions& dialog = options();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Options"));
        const QSize size(twipsToPixels(7935, &dialog), twipsToPixels(4515, &dialog));
        QCOMPARE(dialog.minimumSize(), size);
        QCOMPARE(dialog.maximumSize(), size);
        QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

        const QStringList labels{"Working Files Directory:",    "HTML File Path:",
                                 "HTML File User Path:",        "Training Coordinator Name:",
                                 "Telephone or Email Contact:", "Attendant Email Address",
                                 "Second Between Checks:"};
        const QStringList tips{
            "system files directory",
            "Where the registration page will be saved to by default.",
            "Normally same as HTML File Path.  See help before making changes.",
            "Name will apprar on registration page",
            "Contact information",
            "Your email address if you will using your account to process registration or a dedicated account",
            "For automated attendant processing"};
        const QStringList labelNames{"Label1", "Label6", "Label5", "Label4", "Label3", "Label7", "Label11"};
        for (int i = 0; i < 7; ++i) {
            auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("option(%1)").arg(i));
            QVERIFY2(edit, qPrintable(QString::number(i)));
            QCOMPARE(edit->toolTip(), tips.at(i));
            auto* label = dialog.findChild<QLabel*>(labelNames.at(i));
            QVERIFY(label);
            QCOMPARE(label->text(), labels.at(i));
            QCOMPARE(label->buddy(), edit);
        }
        for (int i = 0; i < 2; ++i) {
            auto* browse = dialog.findChild<QPushButton*>(QStringLiteral("cmdSelectDir(%1)").arg(i));
            QVERIFY(browse);
            QCOMPARE(browse->text(), QStringLiteral("Browse"));
            QVERIFY(!browse->accessibleName().isEmpty());
        }
        activate(dialog);
        QTRY_COMPARE(QApplication::focusWidget(), control<QPushButton>(dialog, "cmdOK"));
    }

    void load_fillsBoxesFromLoadedSettings()
    {
        openOptions();
        const QStringList expected{root() + "/work/",
                                   root() + "/pages/",
                                   "https://example.org/courses/",
                                   "Dana Coordinator",
                                   "ext. 4411",
                                   "attendant@example.org",
                                   "120"};
        for (int i = 0; i < 7; ++i)
            QCOMPARE(box(i)->text(), expected.at(i));
    }

    // --- leaving
    void cancel_keepsEdits_andOkSavesThemLater()
    {
        openOptions();
        box(3)->setText(QStringLiteral("Robin Roe"));
        control<QPushButton>(options(), "cmdCancel")->click();
        QVERIFY(!options().isVisible());
        QVERIFY(m_windows->main().isVisible());
        QVERIFY(m_store.writes.isEmpty());
        openOptions();
        QCOMPARE(box(3)->text(), QStringLiteral("Robin Roe"));
        control<QPushButton>(options(), "cmdOK")->click();
        QCOMPARE(m_store.values.value(QStringLiteral("options/Training_Coordinator_Name")),
                 QStringLiteral("Robin Roe"));
        QCOMPARE(m_settings.Training_Coordinator_Name, QStringLiteral("Robin Roe"));
    }

    void escape_cancels()
    {
        openOptions();
        activate(options());
        QTest::keyClick(&options(), Qt::Key_Escape);
        QTRY_VERIFY(!options().isVisible()); // a shortcut presses its button visibly first
        QVERIFY(m_windows->main().isVisible());
        QVERIFY(m_store.writes.isEmpty());
    }

    void closeBox_discardsEdits_nextOpeningReloads()
    {
        openOptions();
        box(3)->setText(QStringLiteral("Robin Roe"));
        QPointer<frmOptions> first(&options());
        QVERIFY(first->close());
        QVERIFY(m_windows->main().isVisible());
        QTRY_VERIFY(first.isNull());
        QVERIFY(m_store.writes.isEmpty());
        openOptions();
        QCOMPARE(box(3)->text(), QStringLiteral("Dana Coordinator"));
    }

    // --- saving
    void ok_intervalBelowFive_becomesFive_savedInKeyOrder()
    {
        openOptions();
        box(6)->setText(QStringLiteral("2"));
        control<QPushButton>(options(), "cmdOK")->click();
        QCOMPARE(box(6)->text(), QStringLiteral("5"));
        QCOMPARE(m_store.writes,
                 savedSettings(root() + "/work/", root() + "/pages/", "https://example.org/courses/", "5"));
        QCOMPARE(m_settings.Seconds_Wait_Between_Email_Processing, qint16(5));
        QVERIFY(!options().isVisible());
        QVERIFY(m_windows->main().isVisible());
    }

    void ok_halfInterval_storedAsTyped_loadedAsNearestEven()
    {
        openOptions();
        box(6)->setText(QStringLiteral("30.5"));
        control<QPushButton>(options(), "cmdOK")->click();
        QCOMPARE(m_store.values.value(QStringLiteral("options/Seconds_Wait_Between_Email_Processing")),
                 QStringLiteral("30.5"));
        QCOMPARE(m_settings.Seconds_Wait_Between_Email_Processing, qint16(30));
    }

    void ok_nonNumericInterval_savesNothing()
    {
        openOptions();
        box(6)->setText(QStringLiteral("soon"));
        m_script.expect(AdminMessages::mustBeNumeric(), Testing::DefaultButton{Button::Ok});
        control<QPushButton>(options(), "cmdOK")->click();
        QVERIFY(m_store.writes.isEmpty());
        QCOMPARE(m_settings.Seconds_Wait_Between_Email_Processing, qint16(120));
        QVERIFY(options().isVisible());
        QVERIFY(!m_windows->main().isVisible());
    }

    void ok_missingWorkingFolder_offersCounterFile()
    {
        openOptions();
        box(0)->setText(root() + QStringLiteral("/not-there"));
        m_script.expect(SettingsMessages::noCounterFound(), Testing::DefaultButton{Button::Yes}, Button::No);
        m_script.expect(SettingsMessages::errorNotCorrected(), Testing::DefaultButton{Button::Ok});
        m_script.expect(AdminMessages::couldNotAccessFiles(),
                        Testing::DefaultButton{Button::Ok}); // the main window lists the folder that is not there
        control<QPushButton>(options(), "cmdOK")->click();
        QCOMPARE(m_settings.Working_Files_Directory, root() + QStringLiteral("/not-there/"));
        QVERIFY(m_windows->main().isVisible());
    }

    // --- the interval check on leaving the box
    void interval_leftEmpty_refused_focusReturns()
    {
        openOptions();
        activate(options());
        box(6)->setFocus();
        QTRY_VERIFY(box(6)->hasFocus());
        box(6)->clear();
        m_script.expect(plainMessage(QStringLiteral("Must be numeric value.")), Testing::DefaultButton{Button::Ok});
        QTest::keyClick(box(6), Qt::Key_Tab);
        QTRY_COMPARE(m_script.shown().size(), 2);
        QTRY_VERIFY(box(6)->hasFocus());
    }

    void interval_leftNumeric_noMessage()
    {
        openOptions();
        activate(options());
        box(6)->setFocus();
        QTRY_VERIFY(box(6)->hasFocus());
        box(6)->setText(QStringLiteral("-3.5"));
        QTest::keyClick(box(6), Qt::Key_Tab);
        QTRY_VERIFY(box(5)->hasFocus());
        QCoreApplication::processEvents();
        QCOMPARE(m_script.shown().size(), 1);
    }

    // --- the directory picker
    void browse_pageFolder_fillsFolderAndPrefix()
    {
        openOptions();
        browse(1);
        QCOMPARE(picker().windowTitle(), QStringLiteral("Select Directory"));
        QCOMPARE(box(1)->text(), QStringLiteral("/"));
        QCOMPARE(box(2)->text(), QStringLiteral("/"));
        QVERIFY(control<FolderList>(picker(), "DirSelect")->setPath(m_folders->root()));
        QCOMPARE(box(1)->text(), root());
        openFolder(QStringLiteral("pages"));
        QCOMPARE(control<FolderList>(picker(), "DirSelect")->path(), root() + QStringLiteral("/pages"));
        QCOMPARE(box(1)->text(), root() + QStringLiteral("/pages"));
        QCOMPARE(box(2)->text(), root() + QStringLiteral("/pages"));
        QCOMPARE(box(0)->text(), root() + QStringLiteral("/work/"));
        control<QPushButton>(picker(), "cmdOK")->click();
        QVERIFY(!picker().isVisible());
        QVERIFY(options().isEnabled());
        control<QPushButton>(options(), "cmdOK")->click();
        QCOMPARE(m_store.writes, savedSettings(root() + "/work/", root() + "/pages", root() + "/pages", "120"));
    }

    void browse_cancel_restoresLoadedSettings_data()
    {
        QTest::addColumn<int>("target");
        QTest::newRow("working folder") << 0;
        QTest::newRow("page folder") << 1;
    }
    void browse_cancel_restoresLoadedSettings()
    {
        QFETCH(int, target);
        openOptions();
        box(target)->setText(QStringLiteral("/typed/before/browse"));
        box(2)->setText(QStringLiteral("typed prefix"));
        browse(target);
        QVERIFY(control<FolderList>(picker(), "DirSelect")->setPath(m_folders->work()));
        control<QPushButton>(picker(), "cmdCancel")->click();
        QVERIFY(!picker().isVisible());
        QVERIFY(options().isEnabled());
        QCOMPARE(box(target)->text(), target == 0 ? m_settings.Working_Files_Directory : m_settings.HTML_File_Path);
        QCOMPARE(box(2)->text(), target == 1 ? m_settings.HTML_Nice_File_Path : QStringLiteral("typed prefix"));
    }

    void browse_again_fromRoot_onlyAChangeCounts()
    {
        openOptions();
        browse(0);
        control<QPushButton>(picker(), "cmdOK")->click();
        QCOMPARE(box(0)->text(), QStringLiteral("/"));
        box(0)->setText(QStringLiteral("/typed"));
        browse(0);
        QCOMPARE(box(0)->text(), QStringLiteral("/typed")); // the list was at the root already
        QVERIFY(control<FolderList>(picker(), "DirSelect")->setPath(m_folders->work()));
        control<QPushButton>(picker(), "cmdOK")->click();
        browse(0);
        QCOMPARE(box(0)->text(), QStringLiteral("/"));
        control<QPushButton>(picker(), "cmdOK")->click();
    }

    void picker_closeBox_enablesOptions_keepsPath()
    {
        openOptions();
        browse(0);
        QVERIFY(control<FolderList>(picker(), "DirSelect")->setPath(m_folders->work()));
        QPointer<frmDirSelect> first(&picker());
        QVERIFY(first->close());
        QVERIFY(options().isEnabled());
        QVERIFY(!m_windows->main().isVisible());
        QCOMPARE(box(0)->text(), root() + QStringLiteral("/work"));
        QTRY_VERIFY(first.isNull());
        browse(0);
        QCOMPARE(box(0)->text(), QStringLiteral("/"));
    }

    void picker_drives_unreadableSaysDriveNotFound()
    {
        openOptions();
        browse(0);
        QComboBox* drives = control<QComboBox>(picker(), "drvDriveSelect");
        QCOMPARE(drives->count(), 3);
        QCOMPARE(drives->currentIndex(), 0);
        m_script.expect(plainMessage(QStringLiteral("Drive not found.")), Testing::DefaultButton{Button::Ok});
        drives->setCurrentIndex(1);
        Q_EMIT drives->activated(1);
        QCOMPARE(control<FolderList>(picker(), "DirSelect")->path(), QStringLiteral("/"));
        QCOMPARE(drives->currentIndex(), 1);
        QCOMPARE(box(0)->text(), QStringLiteral("/"));

        drives->setCurrentIndex(2);
        Q_EMIT drives->activated(2);
        QCOMPARE(control<FolderList>(picker(), "DirSelect")->path(), root() + QStringLiteral("/pages"));
        QCOMPARE(box(0)->text(), root() + QStringLiteral("/pages"));
    }

    void options_closeBoxWhilePicking_dropsBoth_mainBack()
    {
        openOptions();
        browse(1);
        QPointer<frmDirSelect> pickerWindow(&picker());
        QVERIFY(options().close());
        QVERIFY(m_windows->main().isVisible());
        QTRY_VERIFY(pickerWindow.isNull());
        QVERIFY(m_store.writes.isEmpty());
    }
};

QTEST_MAIN(TestFrmOptions)
#include "test_frmoptions.moc"
