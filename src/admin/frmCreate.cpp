#include "admin/frmCreate.h"

#include "admin/AdminMessages.h"
#include "admin/LockRetry.h"
#include "events/EventCreator.h"
#include "events/EventMessages.h"
#include "gui/AppContext.h"
#include "platform/Prompter.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Enrolix {
namespace {

const QColor kDarkBlue(0x00, 0x00, 0x80);

QLabel* label(const char* name, const QString& caption, QWidget* parent, bool wrap = false)
{
    auto* control = new QLabel(caption, parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setWordWrap(wrap);
    return control;
}

QPlainTextEdit* eventTextBox(const char* name, QLabel* caption, QWidget* parent)
{
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setTabChangesFocus(true);
    caption->setBuddy(box);
    box->setAccessibleName(caption->text());
    return box;
}

// The stored texts break lines with CR LF, whatever the box holds internally.
QString storedText(const QPlainTextEdit* box)
{
    return box->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

} // namespace

frmCreate::frmCreate(AppContext& context, std::function<bool()> passRunning, QWidget* parent)
    : QWidget(parent), m_context(context), m_lockRetry(new LockRetry(std::move(passRunning), this))
{
    setObjectName(QStringLiteral("frmCreate"));
    setWindowTitle(AdminMessages::kCreateCaption);

    lblNewEventTitle = label("lblNewEventTitle", AdminMessages::kCreateHeading, this);
    QFont heading = lblNewEventTitle->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.3);
    lblNewEventTitle->setFont(heading);
    lblCreateEvent = label("lblCreateEvent", AdminMessages::kCreateInstructions, this, true);
    lblEventInfo = label("lblEventInfo", AdminMessages::kCreateInfoStep, this);
    txtTextBox1 = eventTextBox("txtTextBox1", lblEventInfo, this);
    lblEventDates = label("lblEventDates", AdminMessages::kCreateDatesStep, this);
    txtTextBox2 = eventTextBox("txtTextBox2", lblEventDates, this);
    Label1 = label("Label1", AdminMessages::kCreateStep, this);
    cmdCreate = new QPushButton(AdminMessages::kCreateButton, this);
    cmdCreate->setObjectName(QStringLiteral("cmdCreate"));
    Label1->setBuddy(cmdCreate);
    lblEventNote = label("lblEventNote", AdminMessages::kCreateNote, this, true);
    QPalette note = lblEventNote->palette();
    note.setColor(QPalette::WindowText, kDarkBlue);
    lblEventNote->setPalette(note);
    cmdReturn = new QPushButton(AdminMessages::kBackToAdmin, this);
    cmdReturn->setObjectName(QStringLiteral("cmdReturn"));

    txtTextBox1->installEventFilter(this);
    txtTextBox2->installEventFilter(this);
    connect(cmdCreate, &QPushButton::clicked, this, &frmCreate::onCreate);
    connect(cmdReturn, &QPushButton::clicked, this, &frmCreate::returnRequested);
    // A click while the last one waits for the working folder would create the event twice.
    connect(m_lockRetry, &LockRetry::waitingChanged, cmdCreate,
            [this](bool waiting) { cmdCreate->setEnabled(!waiting); });
    connect(m_lockRetry, &LockRetry::refused, this,
            [this] { m_context.prompter.ask(EventMessages::workingFolderBusy()); });

    placeControls();
}

frmCreate::~frmCreate() = default;

void frmCreate::placeControls()
{
    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(12);
    fields->addWidget(lblEventInfo, 0, 0, Qt::AlignTop);
    fields->addWidget(txtTextBox1, 0, 1);
    fields->addWidget(lblEventDates, 1, 0, Qt::AlignTop);
    fields->addWidget(txtTextBox2, 1, 1);
    fields->addWidget(Label1, 2, 0, Qt::AlignVCenter);
    fields->addWidget(cmdCreate, 2, 1, Qt::AlignLeft);
    fields->setColumnStretch(1, 1);
    fields->setRowStretch(0, 3);
    fields->setRowStretch(1, 2);

    auto* back = new QHBoxLayout;
    back->addStretch();
    back->addWidget(cmdReturn);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(16, 16, 16, 16);
    page->setSpacing(12);
    page->addWidget(lblNewEventTitle);
    page->addWidget(lblCreateEvent);
    page->addLayout(fields, 1);
    page->addWidget(lblEventNote);
    page->addLayout(back);

    resize(620, 520);
}

void frmCreate::clearDates()
{
    txtTextBox2->clear();
}

bool frmCreate::eventFilter(QObject* watched, QEvent* event)
{
    // A typed vertical bar is discarded; every other key goes through.
    if (event->type() == QEvent::KeyPress && (watched == txtTextBox1 || watched == txtTextBox2) &&
        static_cast<QKeyEvent*>(event)->text() == QStringLiteral("|"))
        return true;
    return QWidget::eventFilter(watched, event);
}

void frmCreate::onCreate()
{
    const QString information = storedText(txtTextBox1);
    const QString dates = storedText(txtTextBox2);
    if (information.isEmpty() || dates.isEmpty()) {
        m_context.prompter.ask(EventMessages::provideNameAndDate());
        return;
    }
    m_lockRetry->run([this, information, dates] { return tryCreate(information, dates); });
}

bool frmCreate::tryCreate(const QString& information, const QString& dates)
{
    const EventCreator::Outcome outcome = EventCreator(m_context.settings).create(information, dates);
    if (outcome.busy)
        return false;
    if (outcome.file.ok())
        Q_EMIT created(outcome.event);
    else
        m_context.prompter.ask(EventMessages::createFailed(outcome.file));
    return true;
}

} // namespace Enrolix
