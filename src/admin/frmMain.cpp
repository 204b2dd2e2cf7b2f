#include "admin/frmMain.h"

#include "admin/AdminMessages.h"
#include "admin/AppContext.h"
#include "admin/Twips.h"
#include "events/EventFiles.h"
#include "platform/Clipboard.h"
#include "platform/DesktopHelpViewer.h"
#include "platform/Prompter.h"
#include "platform/TextFiles.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QShowEvent>
#include <QToolBar>
#include <QWindow>

#include <algorithm>

namespace Enrolix {
namespace {

const QString kNoAttendees = QStringLiteral("No attendees in file.");

// Design lengths in twips: the window's minimum outer size, what the three controls lose of
// the outer height and width, and the toolbar's height within the client area.
constexpr int kMinimumWidth = 8000;
constexpr int kMinimumHeight = 4000;
constexpr int kHeightLess = 1440;
constexpr int kNameWidthLess = 5670;
constexpr int kAttendeesLeftLess = 3030;
constexpr int kToolbarHeight = 420;
constexpr int kControlsTop = 600;

QPlainTextEdit* displayBox(const QString& name, const QString& accessibleName, QWidget* parent)
{
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    return box;
}

} // namespace

frmMain::frmMain(AppContext& context, QWidget* parent) : QMainWindow(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Enrolix"));

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    lstEvent = new QListWidget(client);
    lstEvent->setObjectName(QStringLiteral("lstEvent"));
    lstEvent->setAccessibleName(tr("Open events"));
    lstEvent->setSelectionMode(QAbstractItemView::SingleSelection);
    txtName = displayBox(QStringLiteral("txtName"), tr("Event description"), client);
    txtAttendees = displayBox(QStringLiteral("txtAttendees"), tr("Sign-up list"), client);

    // After the selection has changed, whether by mouse or keyboard; the current row alone may
    // change before the item is selected.
    connect(lstEvent, &QListWidget::itemSelectionChanged, this, &frmMain::ShowSelectedEvent);
    txtName->installEventFilter(this);
    txtAttendees->installEventFilter(this);
    txtName->viewport()->installEventFilter(this);
    txtAttendees->viewport()->installEventFilter(this);

    buildMenus();
    buildToolbar();
    placeControls();
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &frmMain::onFocusWindowChanged);
}

frmMain::~frmMain() = default;

void frmMain::buildMenus()
{
    auto action = [this](QMenu* menu, const char* name, const QString& caption) {
        QAction* entry = menu->addAction(caption);
        entry->setObjectName(QString::fromLatin1(name));
        return entry;
    };
    auto menu = [this](const char* name, const QString& caption) {
        QMenu* entry = menuBar()->addMenu(caption);
        entry->setObjectName(QString::fromLatin1(name));
        return entry;
    };
    mnuFile = menu("mnuFile", QStringLiteral("&File"));
    mnuNew = action(mnuFile, "mnuNew", QStringLiteral("&New Event"));
    mnuClose = action(mnuFile, "mnuClose", QStringLiteral("&Close Event"));
    mnuExit = action(mnuFile, "mnuExit", QStringLiteral("E&xit"));
    mnuTools = menu("mnuTools", QStringLiteral("&Tools"));
    mnuOptions = action(mnuTools, "mnuOptions", QStringLiteral("&Options"));
    mnuStartup = action(mnuTools, "mnuStartup", QStringLiteral("&Startup Screen"));
    mnuAP = menu("mnuAP", QStringLiteral("&Processing"));
    mnuBegin = action(mnuAP, "mnuBegin", QStringLiteral("&Start Auto Processing"));
    mnuHelp = menu("mnuHelp", QStringLiteral("&Help"));
    mnuContent = action(mnuHelp, "mnuContent", QStringLiteral("&Content"));
    mnuAbout = action(mnuHelp, "mnuAbout", QStringLiteral("&About"));

    connect(mnuExit, &QAction::triggered, this, &frmMain::exitRequested);
    connect(mnuContent, &QAction::triggered, this, &frmMain::showHelp);
}

void frmMain::buildToolbar()
{
    Toolbar1 = addToolBar(tr("Commands"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(16, 16));
    Toolbar1->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    struct ButtonDesign
    {
        const char* image;
        const char* tooltip;
        const char* caption;
    };
    const ButtonDesign buttons[] = {
        {"new_event", "Create New Event", "New Event"},
        {"close_event", "Close Registration for Event", "Close Registration"},
        {"start_processing", "Start processing", "Start Processing"},
        {"copy_attendees", "Copy Attendees to Clipboard", "Copy Attendees to Clipboard"},
        {"help", "Help", "Help"},
    };
    int index = 0;
    for (const ButtonDesign& design : buttons) {
        ++index;
        QAction* button = Toolbar1->addAction(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(design.image))),
                                              QString::fromLatin1(design.caption));
        button->setToolTip(QString::fromLatin1(design.tooltip));
        button->setObjectName(QStringLiteral("Toolbar1_%1").arg(index));
        connect(button, &QAction::triggered, this, [this, index] { Toolbar1_ButtonClick(index); });
        if (QWidget* widget = Toolbar1->widgetForAction(button)) {
            widget->setFixedSize(23, 22);
            widget->setAccessibleName(QString::fromLatin1(design.caption));
        }
    }
}

void frmMain::Toolbar1_ButtonClick(int index)
{
    switch (index) {
    case 1:
        mnuNew->trigger();
        break;
    case 2:
        mnuClose->trigger();
        break;
    case 3:
        mnuBegin->trigger();
        break;
    case 4:
        copyAttendees();
        break;
    case 5:
        showHelp();
        break;
    default:
        break;
    }
}

void frmMain::copyAttendees()
{
    const QString text = m_attendeeText;
    if (text.isEmpty() || text == kNoAttendees) {
        m_context.prompter.ask(AdminMessages::nothingToCopy());
        return;
    }
    m_context.clipboard.clear();
    m_context.clipboard.setText(text);
    m_context.prompter.ask(AdminMessages::attendeesCopied());
}

void frmMain::showHelp()
{
    m_context.help.showTopic(DesktopHelpViewer::defaultHelpFile(), QStringLiteral("Welcome.htm"), this);
}

void frmMain::placeControls()
{
    // Design positions are client-area twips below the toolbar; the central widget starts
    // below the window's own tool and menu bars.
    lstEvent->setGeometry(twipsRect(135, kControlsTop - kToolbarHeight, 2520, 3150, this));
    txtName->setGeometry(twipsRect(2655, kControlsTop - kToolbarHeight, 2895, 3570, this));
    txtAttendees->setGeometry(twipsRect(5535, kControlsTop - kToolbarHeight, 2775, 3570, this));
    setMinimumSize(twipsToPixels(kMinimumWidth, this), twipsToPixels(kMinimumHeight, this));
    resize(twipsToPixels(8445, this), twipsToPixels(4320, this) + menuBar()->sizeHint().height());
}

void frmMain::applyLayoutRules()
{
    setEnabled(true);
    if (isMinimized())
        return;
    // The rules speak of the outer size, frame included; the window system stops a drag at the
    // minimum, and the checks below catch whatever else resizes the window.
    const QSize frame = frameGeometry().size() - size();
    setMinimumSize(QSize(twipsToPixels(kMinimumWidth, this), twipsToPixels(kMinimumHeight, this)) - frame);
    int width = pixelsToTwips(frameGeometry().width(), this);
    int height = pixelsToTwips(frameGeometry().height(), this);
    if (width < kMinimumWidth || height < kMinimumHeight) {
        width = std::max(width, kMinimumWidth);
        height = std::max(height, kMinimumHeight);
        resize(QSize(twipsToPixels(width, this), twipsToPixels(height, this)) - frame);
    }
    const int controlsHeight = twipsToPixels(height - kHeightLess, this);
    for (QWidget* control :
         {static_cast<QWidget*>(txtName), static_cast<QWidget*>(txtAttendees), static_cast<QWidget*>(lstEvent)})
        control->resize(control->width(), controlsHeight);
    txtName->resize(twipsToPixels(width - kNameWidthLess, this), controlsHeight);
    txtAttendees->move(twipsToPixels(width - kAttendeesLeftLess, this), txtAttendees->y());
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    applyLayoutRules();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Closing the frame ends the program at once, like Exit: no question, nothing written.
    event->accept();
    Q_EMIT exitRequested();
}

QString frmMain::selectedEvent() const
{
    const QListWidgetItem* item = lstEvent->currentItem();
    return (item && item->isSelected()) ? item->text() : QString();
}

void frmMain::setAttendeeText(const QString& text)
{
    m_attendeeText = text;
    txtAttendees->setPlainText(TextFiles::withLfLineEnds(text));
}

void frmMain::RefreshEventList()
{
    setAttendeeText(QString());
    EventFiles files(m_context.settings);
    QStringList events;
    if (!files.listOpenEvents(events).ok()) {
        m_context.prompter.ask(AdminMessages::couldNotAccessFiles());
        return;
    }
    const QSignalBlocker blocker(lstEvent);
    lstEvent->clear();
    lstEvent->addItems(events);
    lstEvent->setCurrentRow(-1);
}

void frmMain::ShowSelectedEvent()
{
    const QString event = selectedEvent();
    if (event.isEmpty())
        return;
    setAttendeeText(kNoAttendees);
    txtAttendees->repaint();

    EventFiles files(m_context.settings);
    const std::optional<QString> attendees = TextFiles::readAll(files.recordPath(event));
    if (!attendees) {
        // Closed or removed since the last refresh (by another installation, say).
        m_context.prompter.ask(AdminMessages::eventNoLongerOpen(event));
        // Not inside the list's own selection signal: the list is rebuilt once it is done.
        QMetaObject::invokeMethod(this, &frmMain::RefreshEventList, Qt::QueuedConnection);
        return;
    }
    if (!attendees->isEmpty())
        setAttendeeText(*attendees);

    // An unreadable or empty description empties the box rather than leave the previous
    // event's description beside this event's list.
    txtName->setPlainText(
        TextFiles::withLfLineEnds(TextFiles::readAll(files.descriptionPath(event)).value_or(QString())));
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    // The two display boxes never keep the focus; it goes back to the list.
    if (event->type() == QEvent::FocusIn && (watched == txtName || watched == txtAttendees)) {
        lstEvent->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == txtName->viewport() || watched == txtAttendees->viewport())) {
        lstEvent->setFocus(Qt::MouseFocusReason);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Every return from another window of the program shows this window again.
    if (!event->spontaneous())
        RefreshEventList();
}

void frmMain::onFocusWindowChanged(QWindow* now)
{
    // Coming back from a window shown beside this one (the about box) also refreshes; coming
    // back from a message box does not, or a failing refresh would show its box forever.
    QWindow* previous = m_previousFocusWindow;
    m_previousFocusWindow = now;
    if (!now || now != windowHandle() || !previous || previous == now || !previous->isVisible())
        return;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == previous && !qobject_cast<QMessageBox*>(widget) && widget != this) {
            RefreshEventList();
            return;
        }
    }
}

} // namespace Enrolix
