#pragma once

#include <QObject>

#include <memory>

namespace Enrolix {

struct AppContext;
class VolumeList;
class frmMain;
class frmSure;
class frmOptions;
class frmDirSelect;

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

    frmMain& main();
    frmSure& sure();
    frmOptions& options();
    frmDirSelect& dirSelect();

    // Shows the main window again (enabled), which refreshes its event list.
    void showMain();

    // The main window's commands.
    void commandCloseEvent();
    void commandOptions();

private:
    void wireMainCommands();
    void browse();
    void leavePicker();
    void dropPicker();

    AppContext& m_context;
    std::unique_ptr<VolumeList> m_volumes;
    std::unique_ptr<frmMain> m_main;
    std::unique_ptr<frmSure> m_sure;
    std::unique_ptr<frmOptions> m_options;
    std::unique_ptr<frmDirSelect> m_dirSelect;
};

} // namespace Enrolix
