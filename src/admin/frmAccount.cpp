#include "admin/frmAccount.h"

#include "admin/AdminMessages.h"
#include "gui/AppContext.h"
#include "gui/Named.h"
#include "mail/AccountSettings.h"
#include "mail/AccountTestJob.h"
#include "mail/ProfileKeys.h"
#include "platform/OAuthSignIn.h"
#include "platform/Prompter.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace Enrolix {
namespace {

using Provider = AccountForm::Provider;
using Security = AccountForm::Security;
using SignOn = AccountForm::SignOn;

template <std::size_t Count>
QComboBox* choices(const std::array<QString, Count>& texts, const char* name, QWidget* parent,
                   const QString& accessibleName = {})
{
    auto* box = named(new QComboBox(parent), name, accessibleName);
    for (const QString& text : texts)
        box->addItem(text);
    return box;
}

QSpinBox* portBox(const char* name, const QString& accessibleName, QWidget* parent)
{
    auto* box = named(new QSpinBox(parent), name, accessibleName);
    box->setRange(1, 65535);
    return box;
}

// A server's name, port and security side by side.
QHBoxLayout* serverRow(QLineEdit* server, QSpinBox* port, QComboBox* security)
{
    auto* row = new QHBoxLayout;
    row->addWidget(server, 1);
    row->addWidget(port);
    row->addWidget(security);
    return row;
}

} // namespace

frmAccount::frmAccount(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_context(context),
      m_tests(std::make_unique<AccountTestJob>(context.accounts), QStringLiteral("account test")),
      m_signIn(std::make_unique<OAuthSignIn>(context.browser))
{
    setObjectName(QStringLiteral("frmAccount"));
    setWindowTitle(AdminMessages::kAccountCaption);
    buildControls();
    load();
    connect(&m_tests.job(), &AccountTestJob::stepEnded, this, &frmAccount::onStepEnded);
    connect(&m_tests.job(), &AccountTestJob::finished, this, &frmAccount::onTestFinished);
    connect(m_signIn.get(), &OAuthSignIn::signedIn, this, [this](const QString& refreshToken) {
        m_form.refreshToken = refreshToken;
        m_context.prompter.ask(AdminMessages::signedIn());
    });
    connect(m_signIn.get(), &OAuthSignIn::failed, this,
            [this](const QString& reason) { m_context.prompter.ask(AdminMessages::signInFailed(reason)); });
}

frmAccount::~frmAccount() = default;

void frmAccount::buildControls()
{
    using namespace AdminMessages;
    cboProvider = choices(kProviders, "cboProvider", this);
    txtAddress = named(new QLineEdit(this), "txtAddress");
    txtIncomingServer = named(new QLineEdit(this), "txtIncomingServer");
    spnIncomingPort = portBox("spnIncomingPort", kAccessibleIncomingPort, this);
    cboIncomingSecurity = choices(kSecurities, "cboIncomingSecurity", this, kAccessibleIncomingSecurity);
    txtFolder = named(new QLineEdit(this), "txtFolder");
    txtOutgoingServer = named(new QLineEdit(this), "txtOutgoingServer");
    spnOutgoingPort = portBox("spnOutgoingPort", kAccessibleOutgoingPort, this);
    cboOutgoingSecurity = choices(kSecurities, "cboOutgoingSecurity", this, kAccessibleOutgoingSecurity);
    txtUser = named(new QLineEdit(this), "txtUser");
    cboSignOn = choices(kSignOns, "cboSignOn", this);
    txtPassword = named(new QLineEdit(this), "txtPassword");
    txtPassword->setEchoMode(QLineEdit::Password);
    txtCommand = named(new QLineEdit(this), "txtCommand");
    txtClientId = named(new QLineEdit(this), "txtClientId");
    txtClientSecret = named(new QLineEdit(this), "txtClientSecret");

    m_fields = new QFormLayout;
    const auto addRow = [this](const char* name, const QString& caption, QWidget* buddy, QLayout* row = nullptr) {
        auto* label = named(new QLabel(caption, this), name);
        label->setBuddy(buddy);
        if (row)
            m_fields->addRow(label, row);
        else
            m_fields->addRow(label, buddy);
    };
    addRow("lblProvider", kProviderLabel, cboProvider);
    addRow("lblAddress", kAddressLabel, txtAddress);
    addRow("lblIncomingServer", kIncomingServerLabel, txtIncomingServer,
           serverRow(txtIncomingServer, spnIncomingPort, cboIncomingSecurity));
    addRow("lblFolder", kFolderLabel, txtFolder);
    addRow("lblOutgoingServer", kOutgoingServerLabel, txtOutgoingServer,
           serverRow(txtOutgoingServer, spnOutgoingPort, cboOutgoingSecurity));
    addRow("lblUser", kUserLabel, txtUser);
    addRow("lblSignOn", kSignOnLabel, cboSignOn);
    addRow("lblPassword", kPasswordLabel, txtPassword);
    addRow("lblCommand", kCommandLabel, txtCommand);
    addRow("lblClientId", kClientIdLabel, txtClientId);
    addRow("lblClientSecret", kClientSecretLabel, txtClientSecret);

    cmdSignIn = named(new QPushButton(kSignInButton, this), "cmdSignIn");
    cmdTest = named(new QPushButton(kTestButton, this), "cmdTest");
    cmdSave = named(new QPushButton(kSaveButton, this), "cmdSave");
    cmdCancel = named(new QPushButton(kCancel, this), "cmdCancel");
    cmdCancel->setShortcut(QKeySequence(Qt::Key_Escape));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSignIn);
    buttons->addWidget(cmdTest);
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);

    auto* resultsLabel = named(new QLabel(kTestResultsLabel, this), "lblTestResults");
    lstResults = named(new QListWidget(this), "lstResults", kAccessibleTestResults);
    lstResults->setSelectionMode(QAbstractItemView::NoSelection);
    lstResults->setWordWrap(true);
    resultsLabel->setBuddy(lstResults);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_fields);
    layout->addLayout(buttons);
    layout->addWidget(resultsLabel);
    layout->addWidget(lstResults, 1);
    resize(640, 520);

    connect(cboProvider, &QComboBox::activated, this, &frmAccount::onProviderChosen);
    connect(cboSignOn, &QComboBox::currentIndexChanged, this, &frmAccount::showSignOn);
    connect(cmdSignIn, &QPushButton::clicked, this, &frmAccount::onSignIn);
    connect(cmdTest, &QPushButton::clicked, this, &frmAccount::onTest);
    connect(cmdSave, &QPushButton::clicked, this, &frmAccount::onSave);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAccount::onCancel);
}

void frmAccount::load()
{
    m_form = AccountSettings::load(m_context.store, SettingsKeys::kMailProfileName);
    display(m_form);
    lstResults->clear();
}

void frmAccount::display(const AccountForm& form)
{
    cboProvider->setCurrentIndex(int(form.provider));
    txtAddress->setText(form.address);
    txtIncomingServer->setText(form.incomingServer);
    spnIncomingPort->setValue(form.incomingPort);
    cboIncomingSecurity->setCurrentIndex(int(form.incomingSecurity));
    txtFolder->setText(form.folder);
    txtOutgoingServer->setText(form.outgoingServer);
    spnOutgoingPort->setValue(form.outgoingPort);
    cboOutgoingSecurity->setCurrentIndex(int(form.outgoingSecurity));
    txtUser->setText(form.user);
    cboSignOn->setCurrentIndex(int(form.signOn));
    txtPassword->setText(form.password);
    txtPassword->setPlaceholderText(form.hasStoredSecret() ? AdminMessages::kPasswordKept : QString());
    txtCommand->setText(form.command);
    txtClientId->setText(form.oauth.clientId);
    txtClientSecret->setText(form.oauth.clientSecret);
    showSignOn();
}

AccountForm frmAccount::read() const
{
    AccountForm form = m_form;
    form.provider = Provider(cboProvider->currentIndex());
    form.address = txtAddress->text();
    form.incomingServer = txtIncomingServer->text();
    form.incomingPort = spnIncomingPort->value();
    form.incomingSecurity = Security(cboIncomingSecurity->currentIndex());
    form.folder = txtFolder->text();
    form.outgoingServer = txtOutgoingServer->text();
    form.outgoingPort = spnOutgoingPort->value();
    form.outgoingSecurity = Security(cboOutgoingSecurity->currentIndex());
    form.user = txtUser->text();
    form.signOn = SignOn(cboSignOn->currentIndex());
    form.password = txtPassword->text();
    form.command = txtCommand->text();
    form.oauth.clientId = txtClientId->text();
    form.oauth.clientSecret = txtClientSecret->text();
    return form;
}

std::optional<AccountForm> frmAccount::complete()
{
    const AccountForm form = read();
    if (const std::optional<AccountForm::Field> field = form.missing()) {
        m_context.prompter.ask(AdminMessages::enterField(*field));
        return std::nullopt;
    }
    if (form.mixesPlainAndStartTls()) {
        m_context.prompter.ask(AdminMessages::plainBesideStartTls());
        return std::nullopt;
    }
    return form;
}

void frmAccount::onProviderChosen(int index)
{
    AccountForm form = read();
    form.applyPreset(Provider(index));
    m_form.oauth = form.oauth;
    display(form);
}

void frmAccount::showSignOn()
{
    const auto signOn = SignOn(cboSignOn->currentIndex());
    m_fields->setRowVisible(txtPassword, signOn == SignOn::Password);
    m_fields->setRowVisible(txtCommand, signOn == SignOn::Command);
    m_fields->setRowVisible(txtClientId, signOn == SignOn::OAuth);
    m_fields->setRowVisible(txtClientSecret, signOn == SignOn::OAuth);
    cmdSignIn->setEnabled(signOn == SignOn::OAuth);
    const bool servers = Provider(cboProvider->currentIndex()) != Provider::ThisComputer;
    for (QWidget* control :
         std::initializer_list<QWidget*>{txtIncomingServer, spnIncomingPort, cboIncomingSecurity, txtFolder,
                                         txtOutgoingServer, spnOutgoingPort, cboOutgoingSecurity})
        control->setEnabled(servers);
}

void frmAccount::onSignIn()
{
    const AccountForm form = read();
    if (form.oauth.clientId.trimmed().isEmpty()) {
        m_context.prompter.ask(AdminMessages::enterField(AccountForm::Field::ClientId));
        return;
    }
    if (form.oauth.authorizeUrl.isEmpty() || form.oauth.tokenUrl.isEmpty()) {
        m_context.prompter.ask(AdminMessages::signInAddressesMissing());
        return;
    }
    m_signIn->start({form.oauth.authorizeUrl, form.oauth.tokenUrl, form.oauth.scope, form.oauth.clientId.trimmed(),
                     form.oauth.clientSecret.trimmed()});
}

void frmAccount::onTest()
{
    const std::optional<AccountForm> form = complete();
    if (!form)
        return;
    lstResults->clear();
    m_testing = true;
    cmdTest->setEnabled(false);
    m_testedRefreshToken = form->signOn == SignOn::OAuth ? form->refreshToken : QString();
    m_tests.post(
        [profile = form->profile(), given = form->givenSecret()](AccountTestJob& job) { job.test(profile, given); });
}

void frmAccount::onStepEnded(const AccountStep& step)
{
    lstResults->addItem(AdminMessages::testResult(step));
}

void frmAccount::onTestFinished(const QString& rotatedRefreshToken)
{
    // The provider took the signed-in token back and gave another: only that one is good now.
    if (!rotatedRefreshToken.isEmpty() && m_form.refreshToken == m_testedRefreshToken &&
        !m_testedRefreshToken.isEmpty())
        m_form.refreshToken = rotatedRefreshToken;
    m_testing = false;
    cmdTest->setEnabled(true);
    Q_EMIT testFinished();
}

void frmAccount::onSave()
{
    const std::optional<AccountForm> form = complete();
    if (!form)
        return;
    const AccountSettings::Saved saved =
        AccountSettings::save(m_context.store, SettingsKeys::kMailProfileName, *form, m_context.keyring);
    if (!saved.ok) {
        m_context.prompter.ask(AdminMessages::keyringRefused(saved.failure));
        return;
    }
    if (saved.secretInFile)
        m_context.prompter.ask(AdminMessages::noKeyring());
    Q_EMIT left();
    hide();
}

void frmAccount::onCancel()
{
    Q_EMIT left();
    hide();
}

void frmAccount::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    Q_EMIT closedByFrame();
}

} // namespace Enrolix
