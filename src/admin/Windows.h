#pragma once

#include <QObject>

#include <memory>

namespace Enrolix {

struct AppContext;
class frmMain;
class frmAutoAttend;

// Creates every window of the program on first use, keeps it for reuse, and wires the
// navigation between them: a window that hides the main window shows it again when left.
class Windows final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Windows)

public:
    explicit Windows(AppContext& context, QObject* parent = nullptr);
    ~Windows() override;

    frmMain& main();
    // Loaded once, hidden with its timer off, and kept for the whole run.
    frmAutoAttend& attendant();

    // Shows the main window again (enabled), which refreshes its event list.
    void showMain();

private:
    void wireMainCommands();
    void startAutoProcessing();

    AppContext& m_context;
    std::unique_ptr<frmMain> m_main;
    std::unique_ptr<frmAutoAttend> m_attendant;
};

} // namespace Enrolix
