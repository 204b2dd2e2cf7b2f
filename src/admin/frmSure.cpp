#include "admin/frmSure.h"

#include "admin/AdminMessages.h"
#include "admin/LockRetry.h"
#include "events/EventClosing.h"
#include "events/EventMessages.h"
#include "gui/AppContext.h"
#include "gui/Twips.h"
#include "platform/Prompter.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace Enrolix {
namespace {

QLabel* label(const char* name, const QString& caption, bool bold, QWidget* parent)
{
    auto* control = new QLabel(caption, parent);
    control->setObjectName(QString::fromLatin1(name));
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(12);
    font.setBold(bold);
    control->setFont(font);
    control->setAlignment(Qt::AlignCenter);
    // One line each, so the window is always as wide as the longest, whatever the font; a wrapped
    // line would need a height that the window does not grow to when the question changes.
    return control;
}

QPushButton* button(const char* name, const QString& caption, QWidget* parent)
{
    auto* control = new QPushButton(caption, parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setMinimumSize(twipsToPixels(1335, parent), twipsToPixels(375, parent));
    return control;
}

} // namespace

frmSure::frmSure(AppContext& context, std::function<bool()> passRunning, QWidget* parent)
    : QWidget(parent), m_context(context), m_lockRetry(new LockRetry(std::move(passRunning), this))
{
    setObjectName(QStringLiteral("frmSure"));
    setWindowTitle(AdminMessages::kSureCaption);

    lblCancelYN = label("lblCancelYN", AdminMessages::kSureQuestion, true, this);
    lblCancel = label("lblCancel", AdminMessages::kSureReminder, false, this);
    lblConfirm = label("lblConfirm", AdminMessages::kSureWarning, true, this);
    QPalette warning = lblConfirm->palette();
    warning.setColor(QPalette::WindowText, Qt::red);
    lblConfirm->setPalette(warning);
    cmdYes = button("cmdYes", AdminMessages::kYes, this);
    cmdNo = button("cmdNo", AdminMessages::kNo, this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdYes);
    buttons->addStretch();
    buttons->addWidget(cmdNo);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(12);
    layout->addWidget(lblCancelYN);
    layout->addWidget(lblCancel);
    layout->addWidget(lblConfirm);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    setMinimumWidth(380);

    connect(cmdYes, &QPushButton::clicked, this, &frmSure::onYes);
    connect(cmdNo, &QPushButton::clicked, this, &frmSure::onNo);
    connect(m_lockRetry, &LockRetry::waitingChanged, cmdYes, [this](bool waiting) { cmdYes->setEnabled(!waiting); });
    connect(m_lockRetry, &LockRetry::refused, this, [this] {
        m_context.prompter.ask(EventMessages::workingFolderBusy());
        leave();
    });
}

frmSure::~frmSure() = default;

void frmSure::askToClose(const QString& event)
{
    m_event = event;
    lblCancelYN->setText(AdminMessages::sureQuestion(event));
}

void frmSure::onNo()
{
    // Before the box: a closing still waiting must not go ahead behind it.
    m_lockRetry->cancel();
    m_context.prompter.ask(AdminMessages::courseRemainsOpen());
    leave();
}

void frmSure::onYes()
{
    m_lockRetry->run([this, event = m_event] { return tryClose(event); });
}

bool frmSure::tryClose(const QString& event)
{
    const CloseResult result = CloseEvent(m_context.settings, event);
    if (result.status == CloseResult::Status::Busy)
        return false;
    if (!result.closed())
        m_context.prompter.ask(result.report);
    leave();
    return true;
}

void frmSure::leave()
{
    hide();
    Q_EMIT left();
}

void frmSure::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    Q_EMIT closedByFrame();
}

} // namespace Enrolix
