#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace Enrolix {

class Prompter;
class SystemInfo;

// The about box: title, version, and a button that starts the system information tool.
// It is destroyed when closed.
class frmAbout final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAbout)

public:
    frmAbout(Prompter& prompter, SystemInfo& system, QWidget* parent = nullptr);

private:
    // Starts the system information tool, or says it is unavailable.
    void StartSysInfo();

    Prompter& m_prompter;
    SystemInfo& m_system;

    QLabel* picIcon{nullptr};
    QLabel* lblTitle{nullptr};
    QLabel* lblVersion{nullptr};
    QLabel* lblDescription{nullptr};
    QFrame* Line1{nullptr};
    QLabel* lblDisclaimer{nullptr};
    QPushButton* cmdOK{nullptr};
    QPushButton* cmdSysInfo{nullptr};
};

} // namespace Enrolix
