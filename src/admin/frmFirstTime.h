#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

namespace Enrolix {

struct AppContext;

// The welcome screen: the program's first window, pointing a new user to the options.
// Its check box decides whether it is shown at the next start.
class frmFirstTime final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmFirstTime)

public:
    explicit frmFirstTime(AppContext& context, QWidget* parent = nullptr);

    // Ticks or clears "Show this screen at startup", as the loaded settings say.
    void setShowAtStartup(bool show);

Q_SIGNALS:
    // The user left the screen: the main window comes next.
    void left();

private:
    void onContinue();

    AppContext& m_context;

    QLabel* Settings{nullptr};
    QLabel* lblTitle{nullptr};
    QLabel* lblLabel1{nullptr};
    QLabel* firsttime{nullptr};
    QCheckBox* chkShow{nullptr};
    QPushButton* cmdContinue{nullptr};
};

} // namespace Enrolix
