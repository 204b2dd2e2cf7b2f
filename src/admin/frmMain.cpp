#include "admin/frmMain.h"

#include "admin/AdminMessages.h"
#include "admin/AppContext.h"
#include "admin/Twips.h"
#include "events/EventFiles.h"
#include "platform/Prompter.h"
#include "platform/TextFiles.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QEvent>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QWindow>

namespace Enrolix {
namespace {

const QString kNoAttendees = QStringLiteral("No attendees in file.");

// Text boxes show line ends as line breaks whatever the file used.
QString forDisplay(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

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

    connect(lstEvent, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            ShowSelectedEvent();
    });
    txtName->installEventFilter(this);
    txtAttendees->installEventFilter(this);
    txtName->viewport()->installEventFilter(this);
    txtAttendees->viewport()->installEventFilter(this);

    buildMenus();
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

    connect(mnuExit, &QAction::triggered, qApp, &QApplication::quit);
}

void frmMain::placeControls()
{
    // Design positions are client-area twips below a 420-twip toolbar; the central widget
    // starts below the window's own tool and menu bars.
    constexpr int kToolbarHeight = 420;
    lstEvent->setGeometry(twipsRect(135, 600 - kToolbarHeight, 2520, 3150, this));
    txtName->setGeometry(twipsRect(2655, 600 - kToolbarHeight, 2895, 3570, this));
    txtAttendees->setGeometry(twipsRect(5535, 600 - kToolbarHeight, 2775, 3570, this));
    resize(twipsToPixels(8445, this), twipsToPixels(4320, this) + menuBar()->sizeHint().height());
}

QString frmMain::selectedEvent() const
{
    const QListWidgetItem* item = lstEvent->currentItem();
    return (item && item->isSelected()) ? item->text() : QString();
}

void frmMain::setAttendeeText(const QString& text)
{
    m_attendeeText = text;
    txtAttendees->setPlainText(forDisplay(text));
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
        RefreshEventList();
        return;
    }
    if (!attendees->isEmpty())
        setAttendeeText(*attendees);

    // An unreadable or empty description empties the box rather than leave the previous
    // event's description beside this event's list.
    txtName->setPlainText(forDisplay(TextFiles::readAll(files.descriptionPath(event)).value_or(QString())));
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
