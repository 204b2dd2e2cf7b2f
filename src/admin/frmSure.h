#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace Enrolix {

struct AppContext;
class frmMain;

// Asks before closing the event selected in the main window, and closes it on Yes.
class frmSure final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmSure)

public:
    frmSure(AppContext& context, const frmMain& main, QWidget* parent = nullptr);
    ~frmSure() override;

    QLabel* lblCancelYN{nullptr};
    QLabel* lblCancel{nullptr};
    QLabel* lblConfirm{nullptr};
    QPushButton* cmdYes{nullptr};
    QPushButton* cmdNo{nullptr};

Q_SIGNALS:
    // Yes or No was answered and the dialog hid itself.
    void left();
    // The user closed the window through its frame.
    void closedByFrame();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void askAboutSelectedEvent();
    void onYes();
    void onNo();

    AppContext& m_context;
    const frmMain& m_main;
};

} // namespace Enrolix
