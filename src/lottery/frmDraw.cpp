#include "lottery/frmDraw.h"

#include "events/EventFiles.h"
#include "gui/AppContext.h"
#include "gui/Named.h"
#include "lottery/LotteryMessages.h"
#include "lottery/NotifyJob.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "settings/Settings.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace Enrolix {

frmDraw::frmDraw(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_context(context), m_files(std::make_unique<EventFiles>(context.settings)),
      m_desk(*m_files), m_notifications(std::make_unique<NotifyJob>(context.mail), QStringLiteral("notifications"))
{
    setObjectName(QStringLiteral("frmDraw"));
    setWindowTitle(LotteryMessages::kDrawCaption);
    buildControls();
    updateButtons();
    connect(&m_notifications.job(), &NotifyJob::progressed, this, [this](int done, int total) {
        prgSend->setMaximum(total);
        prgSend->setValue(done);
    });
    connect(&m_notifications.job(), &NotifyJob::finished, this, &frmDraw::onSent);
    connect(&m_notifications.job(), &NotifyJob::released, this, &frmDraw::onReleased);
}

frmDraw::~frmDraw() = default;

void frmDraw::buildControls()
{
    auto* closedLabel = new QLabel(LotteryMessages::kClosedEventsLabel, this);
    lstClosed = named(new QListWidget(this), "lstClosed", LotteryMessages::kClosedEvents);
    closedLabel->setBuddy(lstClosed);
    lstClosed->setMaximumHeight(120);
    txtInformation = named(new QPlainTextEdit(this), "txtInformation", LotteryMessages::kEventInformation);
    txtInformation->setReadOnly(true);
    txtInformation->setMaximumHeight(90);
    lblSignUps = named(new QLabel(this), "lblSignUps");
    txtSeats = named(new QLineEdit(this), "txtSeats");
    txtKey = named(new QLineEdit(this), "txtKey");
    txtKey->setToolTip(LotteryMessages::kDrawKeyTip);

    auto* form = new QFormLayout;
    auto* signUpsLabel = new QLabel(LotteryMessages::kSignUps, this);
    signUpsLabel->setBuddy(lblSignUps);
    form->addRow(signUpsLabel, lblSignUps);
    form->addRow(LotteryMessages::kSeats, txtSeats);
    form->addRow(LotteryMessages::kDrawKey, txtKey);

    cmdDraw = named(new QPushButton(LotteryMessages::kDraw, this), "cmdDraw");
    cmdSave = named(new QPushButton(LotteryMessages::kSave, this), "cmdSave");
    cmdExport = named(new QPushButton(LotteryMessages::kExport, this), "cmdExport");
    cmdSend = named(new QPushButton(LotteryMessages::kSend, this), "cmdSend");
    cmdRelease = named(new QPushButton(LotteryMessages::kRelease, this), "cmdRelease", LotteryMessages::kReleaseName);
    cmdRelease->setToolTip(LotteryMessages::kReleaseTip);
    cmdBack = named(new QPushButton(LotteryMessages::kBack, this), "cmdBack");
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {cmdDraw, cmdSave, cmdExport, cmdSend, cmdRelease})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(cmdBack);

    auto* resultLabel = new QLabel(LotteryMessages::kDrawResultLabel, this);
    lstResult = named(new QListWidget(this), "lstResult", LotteryMessages::kDrawResult);
    resultLabel->setBuddy(lstResult);
    prgSend = named(new QProgressBar(this), "prgSend", LotteryMessages::kProgress);
    prgSend->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(closedLabel);
    layout->addWidget(lstClosed);
    layout->addWidget(txtInformation);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(resultLabel);
    layout->addWidget(lstResult, 1);
    layout->addWidget(prgSend);
    resize(700, 560);

    connect(lstClosed, &QListWidget::itemSelectionChanged, this, &frmDraw::reloadEvent);
    connect(cmdDraw, &QPushButton::clicked, this, &frmDraw::onDraw);
    connect(cmdSave, &QPushButton::clicked, this, &frmDraw::onSave);
    connect(cmdExport, &QPushButton::clicked, this, &frmDraw::onExport);
    connect(cmdSend, &QPushButton::clicked, this, &frmDraw::onSend);
    connect(cmdRelease, &QPushButton::clicked, this, &frmDraw::onRelease);
    connect(lstResult, &QListWidget::currentRowChanged, this, &frmDraw::updateButtons);
    connect(cmdBack, &QPushButton::clicked, this, &frmDraw::backRequested);
}

bool frmDraw::listClosedEvents()
{
    QStringList events;
    const FileResult listed = m_files->listClosedEvents(events);
    if (!listed.ok()) {
        m_context.prompter.ask(LotteryMessages::fileProblem(listed.description));
        return false;
    }
    if (events.isEmpty()) {
        m_context.prompter.ask(LotteryMessages::noClosedEvent());
        return false;
    }
    const QString current = m_desk.chosen() ? m_desk.chosen()->event : QString();
    lstClosed->clear();
    lstClosed->addItems(events);
    const qsizetype again = events.indexOf(current);
    lstClosed->setCurrentRow(again >= 0 ? int(again) : 0);
    return true;
}

void frmDraw::reloadEvent()
{
    const QListWidgetItem* item = lstClosed->currentItem();
    if (!item)
        return;
    if (const std::optional<Message> problem = m_desk.choose(item->text()))
        m_context.prompter.ask(*problem);
    const auto& closed = m_desk.chosen();
    txtInformation->setPlainText(closed ? TextFiles::withLfLineEnds(closed->description) : QString());
    lblSignUps->setText(closed ? QString::number(closed->names.size()) : QString());
    txtSeats->setText(m_desk.draw() ? QString::number(m_desk.draw()->seats) : QString());
    txtKey->setText(m_desk.draw() ? m_desk.draw()->key : QString());
    showDraw();
}

void frmDraw::onDraw()
{
    if (const std::optional<Message> refused =
            m_desk.drawWith(txtSeats->text(), txtKey->text(), QDateTime::currentDateTimeUtc()))
        m_context.prompter.ask(*refused);
    showDraw();
}

void frmDraw::onSave()
{
    if (const std::optional<Message> problem = m_desk.save())
        m_context.prompter.ask(*problem);
}

void frmDraw::onExport()
{
    const QString path =
        m_context.files.saveFileName(this, LotteryMessages::kExportDrawCaption,
                                     m_desk.chosen()->event + QStringLiteral("-draw.csv"), LotteryMessages::kCsvFilter);
    if (path.isEmpty())
        return;
    if (const std::optional<Message> problem = m_desk.exportDraw(path))
        m_context.prompter.ask(*problem);
}

void frmDraw::onSend()
{
    if (const std::optional<Message> problem = m_desk.save()) {
        m_context.prompter.ask(*problem);
        return;
    }
    prgSend->setValue(0);
    prgSend->show();
    m_sending = true;
    // The run works on copies (the settings too: the options dialog may reload them meanwhile).
    m_notifications.post([closed = *m_desk.chosen(), draw = *m_desk.draw(),
                          settings = m_context.settings](NotifyJob& job) { job.send(closed, draw, settings); });
    updateButtons();
}

void frmDraw::onSent(const NotifyOutcome& outcome)
{
    m_sending = false;
    prgSend->hide();
    // The seats of a draw whose mails went out can now be released.
    reloadEvent();
    m_context.prompter.ask(outcome.message());
    Q_EMIT sendingFinished();
}

void frmDraw::onRelease()
{
    const int row = lstResult->currentRow();
    if (!m_desk.canRelease(row))
        return;
    const QString name = m_desk.standing()->entries().at(row).name;
    if (m_context.prompter.ask(LotteryMessages::releaseQuestion(name)) != Button::Yes)
        return;
    m_releasing = true;
    updateButtons();
    m_notifications.post(
        [closed = *m_desk.chosen(), draw = *m_desk.draw(), name,
         now = QDateTime::currentDateTimeUtc()](NotifyJob& job) { job.release(closed, draw, name, now); });
}

void frmDraw::onReleased(const ReleaseOutcome& outcome)
{
    m_releasing = false;
    reloadEvent();
    if (const std::optional<Message> box = outcome.message())
        m_context.prompter.ask(*box);
    Q_EMIT releaseFinished();
}

void frmDraw::showDraw()
{
    const int row = lstResult->currentRow();
    lstResult->clear();
    if (const auto& standing = m_desk.standing()) {
        for (qsizetype i = 0; i < standing->entries().size(); ++i) {
            const Draw::Entry& entry = standing->entries().at(i);
            lstResult->addItem(LotteryMessages::resultRow(entry.rank, entry.name, standing->status(i)));
        }
        // The same row again after a release, so the coordinator keeps their place in a long list.
        if (row < lstResult->count())
            lstResult->setCurrentRow(row);
    }
    updateButtons();
}

void frmDraw::updateButtons()
{
    const bool idle = !m_sending && !m_releasing;
    const bool drawn = bool(m_desk.draw());
    for (QWidget* control : std::initializer_list<QWidget*>{lstClosed, txtSeats, txtKey, cmdDraw, cmdBack})
        control->setEnabled(idle);
    cmdDraw->setEnabled(idle && m_desk.chosen());
    for (QPushButton* button : {cmdSave, cmdExport, cmdSend})
        button->setEnabled(idle && drawn);
    cmdRelease->setEnabled(idle && m_desk.canRelease(lstResult->currentRow()));
}

void frmDraw::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (!m_sending && !m_releasing)
        Q_EMIT backRequested();
}

} // namespace Enrolix
