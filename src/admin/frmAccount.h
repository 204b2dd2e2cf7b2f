#pragma once

#include "mail/AccountForm.h"
#include "platform/JobThread.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QFormLayout;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace Enrolix {

struct AccountStep;
struct AppContext;
class AccountTestJob;
class OAuthSignIn;

// The attendant's mail account: provider, servers, sign-on, and Test Account. Reading and
// writing the profile, the presets and the checks are AccountForm's and AccountSettings'; Test
// Account runs as a job on a thread of its own.
class frmAccount final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAccount)

public:
    explicit frmAccount(AppContext& context, QWidget* parent = nullptr);
    // Asks a test under way to stop, and waits for it.
    ~frmAccount() override;

    // Shows the profile as the settings file holds it now.
    void load();
    // True while Test Account runs.
    bool testing() const { return m_testing; }

Q_SIGNALS:
    // Save or Cancel: the dialog hid itself.
    void left();
    void closedByFrame();
    // A Test Account has ended, every step shown.
    void testFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void display(const AccountForm& form);
    // The form as the controls hold it.
    AccountForm read() const;
    // The form when every required field is filled; otherwise says what is missing.
    std::optional<AccountForm> complete();
    void onProviderChosen(int index);
    void showSignOn();
    void onSignIn();
    void onTest();
    void onStepEnded(const AccountStep& step);
    void onTestFinished(const QString& rotatedRefreshToken);
    void onSave();
    void onCancel();

    AppContext& m_context;
    // What was loaded or signed in, with the keys the controls do not show.
    AccountForm m_form;
    JobThread<AccountTestJob> m_tests;
    std::unique_ptr<OAuthSignIn> m_signIn;
    bool m_testing{false};
    // The refresh token a running test was given, which the provider may rotate.
    QString m_testedRefreshToken;

    QFormLayout* m_fields{nullptr};
    QComboBox* cboProvider{nullptr};
    QLineEdit* txtAddress{nullptr};
    QLineEdit* txtIncomingServer{nullptr};
    QSpinBox* spnIncomingPort{nullptr};
    QComboBox* cboIncomingSecurity{nullptr};
    QLineEdit* txtFolder{nullptr};
    QLineEdit* txtOutgoingServer{nullptr};
    QSpinBox* spnOutgoingPort{nullptr};
    QComboBox* cboOutgoingSecurity{nullptr};
    QLineEdit* txtUser{nullptr};
    QComboBox* cboSignOn{nullptr};
    QLineEdit* txtPassword{nullptr};
    QLineEdit* txtCommand{nullptr};
    QLineEdit* txtClientId{nullptr};
    QLineEdit* txtClientSecret{nullptr};
    QPushButton* cmdSignIn{nullptr};
    QPushButton* cmdTest{nullptr};
    QPushButton* cmdSave{nullptr};
    QPushButton* cmdCancel{nullptr};
    QListWidget* lstResults{nullptr};
};

} // namespace Enrolix
