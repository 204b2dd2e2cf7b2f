#include "admin/frmMain.h"

#include "admin/AdminMessages.h"
#include "admin/MainLayout.h"
#include "events/EventFiles.h"
#include "events/EventSelection.h"
#include "gui/AppContext.h"
#include "lottery/LotteryMessages.h"
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
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QShowEvent>
#include <QToolBar>
#include <QWindow>

namespace Enrolix {
namespace {

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
    setWindowTitle(AdminMessages::kMainCaption);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    lstEvent = new QListWidget(client);
    lstEvent->setObjectName(QStringLiteral("lstEvent"));
    lstEvent->setAccessibleName(AdminMessages::kAccessibleOpenEvents);
    lstEvent->setSelectionMode(QAbstractItemView::SingleSelection);
    txtName = displayBox(QStringLiteral("txtName"), AdminMessages::kAccessibleDescription, client);
    txtAttendees = displayBox(QStringLiteral("txtAttendees"), AdminMessages::kAccessibleSignUps, client);

    // After the selection has changed, whether by mouse or keyboard; the current row alone may
    // change before the item is selected.
    connect(lstEvent, &QListWidget::itemSelectionChanged, this, &frmMain::ShowSelectedEvent);
    txtName->installEventFilter(this);
    txtAttendees->installEventFilter(this);
    txtName->viewport()->installEventFilter(this);
    txtAttendees->viewport()->installEventFilter(this);

    buildMenus();
    buildToolbar();
    MainLayout(*this, *lstEvent, *txtName, *txtAttendees).place();
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &frmMain::onFocusWindowChanged);
}

frmMain::~frmMain() = default;

void frmMain::buildMenus()
{
    using namespace AdminMessages;
    addMenu("mnuFile", kMenuFile,
            {{"mnuNew", kMenuNew, &frmMain::newEventRequested},
             {"mnuClose", kMenuClose, &frmMain::closeEventRequested},
             {"mnuExit", kMenuExit, &frmMain::exitRequested}});
    addMenu("mnuTools", kMenuTools,
            {{"mnuOptions", kMenuOptions, &frmMain::optionsRequested},
             {"mnuStartup", kMenuStartup, &frmMain::startupScreenRequested},
             {"mnuAccount", kMenuAccount, &frmMain::accountRequested}});
    addMenu("mnuAP", kMenuProcessing, {{"mnuBegin", kMenuBegin, &frmMain::autoProcessingRequested}});
    addMenu("mnuLottery", LotteryMessages::kMenuLottery,
            {{"mnuDraw", LotteryMessages::kMenuDraw, &frmMain::drawLotteryRequested},
             {"mnuExportSignUps", LotteryMessages::kMenuExportSignUps, &frmMain::exportSignUpsRequested}});
    addMenu("mnuHelp", kMenuHelp,
            {{"mnuContent", kMenuContent, &frmMain::showHelp}, {"mnuAbout", kMenuAbout, &frmMain::aboutRequested}});
}

QMenu* frmMain::addMenu(const char* name, const QString& caption, std::initializer_list<MenuEntry> entries)
{
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    for (const MenuEntry& entry : entries) {
        QAction* action = menu->addAction(entry.caption);
        action->setObjectName(QString::fromLatin1(entry.name));
        connect(action, &QAction::triggered, this, entry.command);
    }
    return menu;
}

void frmMain::buildToolbar()
{
    Toolbar1 = addToolBar(AdminMessages::kToolbarName);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(16, 16));
    Toolbar1->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    using AdminMessages::kToolbar;
    addToolbarButtons({{"new_event", kToolbar[0], &frmMain::newEventRequested},
                       {"close_event", kToolbar[1], &frmMain::closeEventRequested},
                       {"start_processing", kToolbar[2], &frmMain::autoProcessingRequested},
                       {"copy_attendees", kToolbar[3], &frmMain::copyAttendees},
                       {"help", kToolbar[4], &frmMain::showHelp}});
}

void frmMain::addToolbarButtons(std::initializer_list<ToolbarEntry> entries)
{
    int position = 0;
    for (const ToolbarEntry& entry : entries) {
        QAction* button = Toolbar1->addAction(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(entry.image))),
                                              entry.texts.caption);
        button->setToolTip(entry.texts.toolTip);
        button->setObjectName(QStringLiteral("Toolbar1_%1").arg(++position));
        connect(button, &QAction::triggered, this, entry.command);
        if (QWidget* widget = Toolbar1->widgetForAction(button)) {
            widget->setFixedSize(23, 22);
            widget->setAccessibleName(entry.texts.caption);
        }
    }
}

void frmMain::copyAttendees()
{
    if (!m_shown.hasAttendees()) {
        m_context.prompter.ask(AdminMessages::nothingToCopy());
        return;
    }
    m_context.clipboard.clear();
    m_context.clipboard.setText(m_shown.attendees);
    m_context.prompter.ask(AdminMessages::attendeesCopied());
}

void frmMain::showHelp()
{
    m_context.help.showTopic(DesktopHelpViewer::defaultHelpFile(), QStringLiteral("Welcome.htm"), this);
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    setEnabled(true);
    MainLayout(*this, *lstEvent, *txtName, *txtAttendees).follow();
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

void frmMain::display(const EventSelection& selection)
{
    m_shown = selection;
    txtAttendees->setPlainText(TextFiles::withLfLineEnds(
        selection.hasAttendees() || !selection.selected() ? selection.attendees : AdminMessages::kNoAttendees));
}

void frmMain::RefreshEventList()
{
    display(EventSelection{});
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
    // The list goes while the files are read, so it never stands beside another event.
    display(EventSelection{event, {}, {}});
    txtAttendees->repaint();

    const std::optional<EventSelection> selection = readEventSelection(m_context.settings, event);
    if (!selection) {
        // Closed or removed since the last refresh (by another installation, say).
        m_context.prompter.ask(AdminMessages::eventNoLongerOpen(event));
        // Not inside the list's own selection signal: the list is rebuilt once it is done.
        QMetaObject::invokeMethod(this, &frmMain::RefreshEventList, Qt::QueuedConnection);
        return;
    }
    display(*selection);
    // An unreadable or empty description empties the box rather than leave the previous
    // event's description beside this event's list.
    txtName->setPlainText(TextFiles::withLfLineEnds(selection->description));
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
    // Coming back from a window that stays open beside this one (the about box, the help) also
    // refreshes. A modal box never counts, or a failing refresh would show its box forever.
    QWindow* previous = m_previousFocusWindow;
    m_previousFocusWindow = now;
    if (now && now == windowHandle() && previous && previous != now && previous->isVisible() &&
        previous->modality() == Qt::NonModal)
        RefreshEventList();
}

} // namespace Enrolix
