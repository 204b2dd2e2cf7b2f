#include "admin/frmOptions.h"

#include "admin/AdminMessages.h"
#include "admin/AppContext.h"
#include "admin/Twips.h"
#include "platform/Prompter.h"
#include "settings/CounterFileCheck.h"
#include "settings/OptionTexts.h"
#include "settings/Settings.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace Enrolix {
namespace {

constexpr int kPageFolder = 1;
constexpr int kPagePrefix = 2;

struct BoxDesign
{
    const char* labelCaption;
    QRect label;
    const char* toolTip;
    QRect box;
};

// Index i describes option(i) and the label beside it; rectangles in twips.
const std::array<BoxDesign, 7> kBoxes{{
    {"Working Files Directory:", {75, 165, 2655, 360}, "system files directory", {75, 420, 6615, 360}},
    {"HTML File Path:",
     {75, 900, 2655, 360},
     "Where the registration page will be saved to by default.",
     {75, 1140, 6570, 360}},
    {"HTML File User Path:",
     {75, 1620, 2655, 360},
     "Normally same as HTML File Path.  See help before making changes.",
     {75, 1860, 6615, 360}},
    {"Training Coordinator Name:",
     {75, 2340, 2655, 240},
     "Name will apprar on registration page",
     {75, 2640, 3735, 360}},
    {"Telephone or Email Contact:", {4080, 2340, 2655, 240}, "Contact information", {4080, 2640, 3615, 360}},
    {"Attendant Email Address",
     {4080, 3120, 2655, 360},
     "Your email address if you will using your account to process registration or a dedicated account",
     {4080, 3420, 3615, 405}},
    {"Second Between Checks:", {75, 3165, 2655, 285}, "For automated attendant processing", {75, 3420, 3615, 405}},
}};

// The labels' names, by the index of the box each one names.
constexpr std::array<const char*, 7> kLabelNames{"Label1", "Label6", "Label5", "Label4", "Label3", "Label7", "Label11"};

const std::array<QRect, 2> kBrowseButtons{{{6840, 420, 975, 375}, {6840, 1080, 975, 375}}};

QRect inPixels(const QRect& twips, const QWidget* widget)
{
    return twipsRect(twips.x(), twips.y(), twips.width(), twips.height(), widget);
}

bool isFocusMoveInsideWindow(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::MouseFocusReason ||
           reason == Qt::ShortcutFocusReason || reason == Qt::OtherFocusReason;
}

} // namespace

frmOptions::frmOptions(AppContext& context, QWidget* parent) : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsToPixels(7935, this), twipsToPixels(4515, this));

    buildControls();
    load();

    if (const QScreen* display = screen())
        move(display->availableGeometry().center() - rect().center());
}

frmOptions::~frmOptions() = default;

void frmOptions::buildControls()
{
    // OK and Cancel lead the tab order (set below), so OK holds the focus when the dialog opens.
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipsRect(2400, 3960, 1335, 435, this));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(twipsRect(4200, 3960, 1335, 435, this));
    cmdCancel->setShortcut(QKeySequence(Qt::Key_Escape));

    std::array<QLabel*, 7> labels{};
    for (std::size_t i = 0; i < kBoxes.size(); ++i) {
        const BoxDesign& design = kBoxes[i];
        labels[i] = new QLabel(QString::fromLatin1(design.labelCaption), this);
        labels[i]->setObjectName(QString::fromLatin1(kLabelNames[i]));
        // Captions hang from the top of their design box, which may be shorter than the font.
        labels[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QRect area = inPixels(design.label, this);
        area.setHeight(std::max(area.height(), labels[i]->sizeHint().height()));
        labels[i]->setGeometry(area);
        option[i] = new QLineEdit(this);
        option[i]->setObjectName(QStringLiteral("option(%1)").arg(i));
        option[i]->setToolTip(QString::fromLatin1(design.toolTip));
        option[i]->setGeometry(inPixels(design.box, this));
        labels[i]->setBuddy(option[i]);
    }
    Label1 = labels[0];
    Label6 = labels[1];
    Label5 = labels[2];
    Label4 = labels[3];
    Label3 = labels[4];
    Label7 = labels[5];
    Label11 = labels[6];

    const std::array<QString, 2> browseFor{Label1->text(), Label6->text()};
    for (std::size_t i = 0; i < cmdSelectDir.size(); ++i) {
        cmdSelectDir[i] = new QPushButton(QStringLiteral("Browse"), this);
        cmdSelectDir[i]->setObjectName(QStringLiteral("cmdSelectDir(%1)").arg(i));
        cmdSelectDir[i]->setAccessibleName(QStringLiteral("Browse ") + browseFor[i].chopped(1));
        cmdSelectDir[i]->setGeometry(inPixels(kBrowseButtons[i], this));
        connect(cmdSelectDir[i], &QPushButton::clicked, this, [this, i] {
            m_browseTarget = qint16(i);
            Q_EMIT browseRequested();
        });
    }

    // Reading order after the buttons; the interval sits left of the attendant mailbox.
    const std::array<QWidget*, 11> order{
        cmdOK,     cmdCancel, option[0], cmdSelectDir[0],         option[1], cmdSelectDir[1],
        option[2], option[3], option[4], option[kIntervalOption], option[5]};
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    cmdOK->setFocus();

    option[kIntervalOption]->installEventFilter(this);
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::onOK);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::onCancel);
}

void frmOptions::load()
{
    const OptionTexts texts = optionTexts(m_context.settings);
    for (std::size_t i = 0; i < texts.size(); ++i)
        option[i]->setText(texts[i]);
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == option[kIntervalOption] && event->type() == QEvent::FocusOut &&
        isFocusMoveInsideWindow(static_cast<QFocusEvent*>(event)->reason())) {
        // Checked once the focus change is complete, never from inside it: a box shown here
        // would swallow the click that moved the focus.
        QMetaObject::invokeMethod(this, &frmOptions::checkInterval, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void frmOptions::checkInterval()
{
    QLineEdit* interval = option[kIntervalOption];
    // Left, or already sent back to the box (OK checks the interval itself): nothing to say.
    if (!isVisible() || !isEnabled() || interval->hasFocus() || isNumericText(interval->text()))
        return;
    m_context.prompter.ask(AdminMessages::mustBeNumeric());
    activateWindow();
    interval->setFocus(Qt::OtherFocusReason);
}

void frmOptions::onOK()
{
    QLineEdit* interval = option[kIntervalOption];
    const std::optional<QString> seconds = intervalToSave(interval->text());
    if (!seconds) {
        m_context.prompter.ask(AdminMessages::mustBeNumeric());
        interval->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (*seconds != interval->text())
        interval->setText(*seconds);

    OptionTexts texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = option[i]->text();
    SaveOptions(m_context.store, texts);
    m_context.settings.LoadSettings(m_context.store);
    CheckCounterFile(m_context.settings, m_context.prompter);
    Q_EMIT left();
    hide();
}

void frmOptions::onCancel()
{
    Q_EMIT left();
    hide();
}

void frmOptions::setBrowsedFolder(const QString& path)
{
    option[std::size_t(m_browseTarget)]->setText(path);
    if (m_browseTarget == kPageFolder)
        option[kPagePrefix]->setText(path);
}

void frmOptions::restoreBrowsedFolder()
{
    const OptionTexts loaded = optionTexts(m_context.settings);
    option[std::size_t(m_browseTarget)]->setText(loaded[std::size_t(m_browseTarget)]);
    if (m_browseTarget == kPageFolder)
        option[kPagePrefix]->setText(loaded[kPagePrefix]);
}

void frmOptions::returnFromPicker()
{
    setEnabled(true);
    raise();
    activateWindow();
}

void frmOptions::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    Q_EMIT closedByFrame();
}

} // namespace Enrolix
