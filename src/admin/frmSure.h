#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace Enrolix {

struct AppContext;

// Asks before closing an event, and closes it on Yes.
class frmSure final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmSure)

public:
    explicit frmSure(AppContext& context, QWidget* parent = nullptr);
    ~frmSure() override;

    // The event that Yes closes; the question names it from now on.
    void askToClose(const QString& event);

Q_SIGNALS:
    // Yes or No was answered and the dialog hid itself.
    void left();
    // The user closed the window through its frame.
    void closedByFrame();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void onYes();
    void onNo();

    AppContext& m_context;
    QString m_event;

    QLabel* lblCancelYN{nullptr};
    QLabel* lblCancel{nullptr};
    QLabel* lblConfirm{nullptr};
    QPushButton* cmdYes{nullptr};
    QPushButton* cmdNo{nullptr};
};

} // namespace Enrolix
