#include "attendant/frmAutoAttend.h"

#include "attendant/AttendantTexts.h"
#include "attendant/Countdown.h"
#include "gui/Twips.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace Enrolix {
namespace {

const QString kSansSerif = QStringLiteral("MS Sans Serif");
const QColor kBlue(0, 0, 0xff);
const QColor kDarkRed(0x80, 0, 0);

} // namespace

frmAutoAttend::frmAutoAttend(const Settings& settings, QWidget* parent)
    : QWidget(parent, Qt::Window), m_countdown(new Countdown(settings, this))
{
    setObjectName(QStringLiteral("frmAutoAttend"));
    setWindowTitle(AttendantTexts::kCaption);
    buildControls();
    connect(m_countdown, &Countdown::displayChanged, this, &frmAutoAttend::showCountdown);
    connect(m_countdown, &Countdown::passFinished, this, &frmAutoAttend::applyDeferred);
    m_countdown->setTimerEnabled(false);
    m_countdown->load();
}

frmAutoAttend::~frmAutoAttend() = default;

void frmAutoAttend::buildControls()
{
    QFont font(kSansSerif);
    font.setPointSizeF(9.75);
    setFont(font);

    auto label = [&](const char* name, const QString& caption, int left, int top, int width, int height) {
        auto* control = new QLabel(caption, this);
        placeControl(control, name, left, top, width, height);
        return control;
    };
    auto display = [&](const char* name, const QString& text, const QColor& colour, int left, int top, int width,
                       QLabel* caption) {
        auto* box = new QLineEdit(text, this);
        placeControl(box, name, left, top, width, 360);
        box->setReadOnly(true);
        QPalette colours = box->palette();
        colours.setColor(QPalette::Base, colours.color(QPalette::Midlight));
        colours.setColor(QPalette::Text, colour);
        box->setPalette(colours);
        caption->setBuddy(box);
        // Captions end where their boxes begin and share their height, so each reads as one row.
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        caption->resize(caption->width(), box->height());
        fitCaptionLeftwards(caption);
        box->setAccessibleName(caption->text().chopped(1));
        return box;
    };
    auto button = [&](const char* name, const QString& caption, int left, int width) {
        auto* control = new QPushButton(caption, this);
        placeControl(control, name, left, 2880, width, 375);
        return control;
    };

    Label2 = label("Label2", AttendantTexts::kTitle, 1320, 120, 3615, 375);
    QFont title(QStringLiteral("Times New Roman"));
    title.setPointSize(12);
    title.setBold(true);
    Label2->setFont(title);
    Label2->setAlignment(Qt::AlignCenter);

    pbrAuto = new QProgressBar(this);
    placeControl(pbrAuto, "pbrAuto", 360, 600, 5175, 375);
    pbrAuto->setRange(0, 100);
    pbrAuto->setValue(0);
    pbrAuto->setTextVisible(false);
    pbrAuto->setAccessibleName(AttendantTexts::kAccessibleCountdown);

    Label3 = label("Label3", AttendantTexts::kRequestsProcessed, 840, 1200, 2055, 255);
    Text1 = display("Text1", AttendantTexts::kNoRequestsProcessed, kBlue, 3000, 1200, 2415, Label3);
    Label5 = label("Label5", AttendantTexts::kConnectFailures, 840, 1560, 2055, 255);
    Text4 = display("Text4", QStringLiteral("0"), kBlue, 3000, 1560, 2415, Label5);
    Label6 = label("Label6", AttendantTexts::kConnectionStatus, 840, 1920, 2055, 255);
    Text5 = display("Text5", QString(), kDarkRed, 3000, 1920, 2415, Label6);
    Label7 = label("Label7", AttendantTexts::kNextConnection, 840, 2280, 2055, 255);
    Text6 = display("Text6", QString(), kDarkRed, 3000, 2280, 1575, Label7);

    cmdExit = button("cmdExit", AttendantTexts::kHide, 120, 1095);
    cmdStop = button("cmdStop", AttendantTexts::kStop, 1320, 1095);
    cmdStart = button("cmdStart", AttendantTexts::kStart, 2520, 1095);
    cmdProcess = button("cmdProcess", AttendantTexts::kProcessNow, 3960, 1695);
    connect(cmdStart, &QPushButton::clicked, this, [this] { click(Click::Start); });
    connect(cmdStop, &QPushButton::clicked, this, [this] { click(Click::Stop); });
    connect(cmdProcess, &QPushButton::clicked, this, [this] { click(Click::ProcessNow); });
    connect(cmdExit, &QPushButton::clicked, this, [this] { click(Click::Hide); });

    // The status boxes are displays only: they never keep the keyboard focus.
    for (QLineEdit* box : {Text4, Text5, Text6})
        box->installEventFilter(this);
    setFocusPolicy(Qt::StrongFocus);

    setFixedSize(twipsToPixels(5775, this), twipsToPixels(3375, this));
    // The title's typeface may be replaced by a wider one; the title then grows from its centre.
    fitCaptionCentred(Label2);
}

void frmAutoAttend::setPass(std::function<void()> start)
{
    m_countdown->setPass(std::move(start));
}

void frmAutoAttend::startRunning()
{
    click(Click::StartEntry);
}

void frmAutoAttend::click(Click click)
{
    if (m_countdown->passRunning())
        m_deferred.append(click);
    else
        apply(click);
}

void frmAutoAttend::applyDeferred()
{
    while (!m_deferred.isEmpty() && !m_countdown->passRunning())
        apply(m_deferred.takeFirst());
}

void frmAutoAttend::setButtons(const Buttons& buttons)
{
    cmdStart->setEnabled(buttons.start);
    cmdStop->setEnabled(buttons.stop);
    cmdExit->setEnabled(buttons.exit);
    if (buttons.process)
        cmdProcess->setEnabled(*buttons.process);
}

// The window's states: running (Start), stopped (Stop), a pass on the next tick (Process Now),
// hidden (Hide), and running as the main window's entry leaves it.
void frmAutoAttend::apply(Click click)
{
    switch (click) {
    case Click::Start:
        show();
        m_countdown->setTimerEnabled(true);
        setButtons(kRunning);
        break;
    case Click::Stop:
        m_countdown->setTimerEnabled(false);
        setButtons(kStopped);
        break;
    case Click::ProcessNow:
        m_countdown->setTimerSeconds(1);
        show();
        m_countdown->setTimerEnabled(true);
        break;
    case Click::Hide:
        hide();
        Q_EMIT left();
        break;
    case Click::StartEntry:
        show();
        m_countdown->setTimerEnabled(true);
        setButtons(kRunningFromMainWindow);
        break;
    }
}

void frmAutoAttend::passEnded()
{
    m_countdown->passEnded();
}

void frmAutoAttend::showCountdown()
{
    pbrAuto->setValue(m_countdown->progress());
    Text6->setText(m_countdown->secondsText());
}

void frmAutoAttend::statusChanged(const QString& status)
{
    Text5->setText(status);
}

void frmAutoAttend::replySent(qint16 requestsProcessed)
{
    Text1->setText(QString::number(requestsProcessed));
}

void frmAutoAttend::connectionFailed(qint16 connectionFailures, const QString& reason)
{
    Text4->setText(AttendantTexts::failureCount(connectionFailures));
    // Why the last failed pass failed, for a coordinator setting up the mail profile.
    Text5->setToolTip(reason);
}

bool frmAutoAttend::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && (watched == Text4 || watched == Text5 || watched == Text6))
        setFocus(Qt::OtherFocusReason);
    return QWidget::eventFilter(watched, event);
}

} // namespace Enrolix
