#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class QWidget;

namespace Enrolix {

struct AppContext;
class VolumeList;
class frmMain;
class frmAutoAttend;
class frmFirstTime;
class frmAbout;
class frmCreate;
class frmLocation;
class frmSure;
class frmOptions;
class frmDirSelect;
class frmDraw;
class frmAccount;
class AttendantEngine;

// Creates every window of the program on first use, keeps it for reuse, and wires the
// navigation between them: a window that hides the main window shows it again when left.
class Windows final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Windows)

public:
    explicit Windows(AppContext& context, QObject* parent = nullptr);
    // volumes: the drives the directory picker offers.
    Windows(AppContext& context, std::unique_ptr<VolumeList> volumes, QObject* parent = nullptr);
    ~Windows() override;

    // The start-up sequence: the welcome screen's load step. Loads the settings and the
    // attendant window, then shows the welcome screen or, when it is not wanted, the main window.
    void startUp();

    frmMain& main();
    frmFirstTime& welcome();
    // The about box, beside the main window; at most one at a time.
    frmAbout& about();
    // Loaded once, hidden with its timer off, and kept for the whole run.
    frmAutoAttend& attendant();
    frmCreate& create();
    frmLocation& location();
    frmSure& sure();
    frmOptions& options();
    frmDirSelect& dirSelect();
    // The draw window, made at its first use and kept.
    frmDraw& draw();
    // The mail account dialog; closed through its frame, it is made afresh at the next use.
    frmAccount& account();

    // Shows the main window again (enabled), which refreshes its event list.
    void showMain();

    // True while the attendant's pass runs on its thread.
    bool passRunning() const;
    // True while the draw window's notifications go out on their thread.
    bool notificationsRunning() const;

    // The main window's commands.
    void commandCloseEvent();
    void commandOptions();
    void commandAccount();
    void commandDrawLottery();
    void commandExportSignUps();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wireMainCommands();
    void startAutoProcessing();

    // Closing the window through its frame while the main window is hidden shows the main
    // window again, so the coordinator is never left without a window.
    void returnToMainOnFrameClose(QWidget& window);
    void dropPicker();

    AppContext& m_context;
    std::unique_ptr<VolumeList> m_volumes;
    std::unique_ptr<frmMain> m_main;
    std::unique_ptr<frmAutoAttend> m_attendant;
    std::unique_ptr<AttendantEngine> m_engine;
    std::unique_ptr<frmFirstTime> m_welcome;
    QPointer<frmAbout> m_about;
    std::unique_ptr<frmCreate> m_create;
    std::unique_ptr<frmLocation> m_location;
    std::unique_ptr<frmSure> m_sure;
    std::unique_ptr<frmOptions> m_options;
    std::unique_ptr<frmDirSelect> m_dirSelect;
    std::unique_ptr<frmDraw> m_draw;
    std::unique_ptr<frmAccount> m_account;
};

} // namespace Enrolix
