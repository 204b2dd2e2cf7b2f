#include "admin/frmOptions.h"

#include "admin/AdminMessages.h"
#include "admin/BrowseSession.h"
#include "gui/AppContext.h"
#include "gui/Twips.h"
#include "platform/Prompter.h"
#include "settings/CounterFileCheck.h"
#include "settings/OptionTable.h"
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

// Where box i of the option table and its label stand; rectangles in twips.
struct BoxDesign
{
    const char* labelName;
    QRect label;
    QRect box;
};
const std::array<BoxDesign, kOptionCount> kBoxes{{
    {"Label1", {75, 165, 2655, 360}, {75, 420, 6615, 360}},
    {"Label6", {75, 900, 2655, 360}, {75, 1140, 6570, 360}},
    {"Label5", {75, 1620, 2655, 360}, {75, 1860, 6615, 360}},
    {"Label4", {75, 2340, 2655, 240}, {75, 2640, 3735, 360}},
    {"Label3", {4080, 2340, 2655, 240}, {4080, 2640, 3615, 360}},
    {"Label7", {4080, 3120, 2655, 360}, {4080, 3420, 3615, 405}},
    {"Label11", {75, 3165, 2655, 285}, {75, 3420, 3615, 405}},
}};

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
    setWindowTitle(AdminMessages::kOptionsCaption);
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
    cmdOK = new QPushButton(AdminMessages::kOk, this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipsRect(2400, 3960, 1335, 435, this));
    cmdCancel = new QPushButton(AdminMessages::kCancel, this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(twipsRect(4200, 3960, 1335, 435, this));
    cmdCancel->setShortcut(QKeySequence(Qt::Key_Escape));

    std::array<QLabel*, kOptionCount> labels{};
    for (std::size_t i = 0; i < kOptionCount; ++i) {
        const BoxDesign& design = kBoxes[i];
        const OptionField& field = optionTable()[i];
        auto* label = new QLabel(field.caption, this);
        labels[i] = label;
        label->setObjectName(QString::fromLatin1(design.labelName));
        // Captions hang from the top of their design box, which may be shorter than the font.
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QRect area = inPixels(design.label, this);
        area.setHeight(std::max(area.height(), label->sizeHint().height()));
        label->setGeometry(area);
        option[i] = new QLineEdit(this);
        option[i]->setObjectName(QStringLiteral("option(%1)").arg(i));
        option[i]->setToolTip(field.toolTip);
        option[i]->setGeometry(inPixels(design.box, this));
        label->setBuddy(option[i]);
    }
    Label1 = labels[0];
    Label6 = labels[1];
    Label5 = labels[2];
    Label4 = labels[3];
    Label3 = labels[4];
    Label7 = labels[5];
    Label11 = labels[6];

    for (std::size_t i = 0; i < cmdSelectDir.size(); ++i) {
        cmdSelectDir[i] = new QPushButton(AdminMessages::kBrowse, this);
        cmdSelectDir[i]->setObjectName(QStringLiteral("cmdSelectDir(%1)").arg(i));
        cmdSelectDir[i]->setAccessibleName(AdminMessages::kBrowse + QLatin1Char(' ') + labels[i]->text().chopped(1));
        cmdSelectDir[i]->setGeometry(inPixels(kBrowseButtons[i], this));
        connect(cmdSelectDir[i], &QPushButton::clicked, this, [this, i] { browse(i); });
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
    for (std::size_t i = 0; i < kOptionCount; ++i)
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

void frmOptions::browse(std::size_t target)
{
    // The page prefix follows the page folder; Cancel gives both boxes the loaded settings back.
    const OptionTexts loaded = optionTexts(m_context.settings);
    QList<QPair<QLineEdit*, QString>> boxes{{option[target], loaded[target]}};
    if (target == kPageFolderOption)
        boxes.append({option[kPagePrefixOption], loaded[kPagePrefixOption]});
    if (m_browse)
        m_browse->deleteLater();
    m_browse = new BrowseSession(*this, boxes);
    Q_EMIT browseRequested(m_browse);
}

void frmOptions::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    Q_EMIT closedByFrame();
}

} // namespace Enrolix
