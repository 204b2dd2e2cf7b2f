#include "admin/Windows.h"

#include "admin/AppContext.h"
#include "admin/frmAbout.h"
#include "admin/frmCreate.h"
#include "admin/frmFirstTime.h"
#include "admin/frmLocation.h"
#include "admin/frmMain.h"
#include "attendant/Countdown.h"
#include "attendant/frmAutoAttend.h"
#include "settings/Settings.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QPlainTextEdit>
#include <QPushButton>

namespace Enrolix {
namespace {

void bringUp(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

Windows::Windows(AppContext& context, QObject* parent) : QObject(parent), m_context(context) {}

Windows::~Windows() = default;

frmMain& Windows::main()
{
    if (!m_main) {
        m_main = std::make_unique<frmMain>(m_context);
        wireMainCommands();
    }
    return *m_main;
}

frmCreate& Windows::create()
{
    if (!m_create) {
        m_create = std::make_unique<frmCreate>(m_context);
        connect(m_create->cmdReturn, &QPushButton::clicked, this, [this] {
            m_create->hide();
            showMain();
        });
        connect(m_create.get(), &frmCreate::created, this, [this](const QString& event) {
            frmLocation& address = location();
            address.setCurrentEvent(event);
            m_create->hide();
            bringUp(address);
        });
        returnToMainOnFrameClose(*m_create);
    }
    return *m_create;
}

frmLocation& Windows::location()
{
    if (!m_location) {
        m_location = std::make_unique<frmLocation>(m_context);
        connect(m_location->cmdBack2Create, &QPushButton::clicked, this, [this] {
            frmCreate& dialog = create();
            dialog.txtTextBox2->clear();
            bringUp(dialog);
            m_location->hide();
        });
        returnToMainOnFrameClose(*m_location);
    }
    return *m_location;
}

void Windows::showMain()
{
    frmMain& window = main();
    window.setEnabled(true);
    bringUp(window);
}

void Windows::startUp()
{
    frmFirstTime& screen = welcome();
    m_context.settings.LoadSettings(m_context.store);
    frmAutoAttend& window = attendant();
    window.countdown().setTimerEnabled(false);
    if (m_context.settings.FirstRun) {
        screen.chkShow->setChecked(true);
        screen.show();
        return;
    }
    screen.chkShow->setChecked(false);
    screen.hide();
    showMain();
}

frmFirstTime& Windows::welcome()
{
    if (!m_welcome) {
        m_welcome = std::make_unique<frmFirstTime>(m_context);
        connect(m_welcome.get(), &frmFirstTime::left, this, &Windows::showMain);
        returnToMainOnFrameClose(*m_welcome);
    }
    return *m_welcome;
}

frmAbout& Windows::about()
{
    if (!m_about)
        m_about = new frmAbout(m_context.prompter, m_context.system, &main());
    bringUp(*m_about);
    return *m_about;
}

frmAutoAttend& Windows::attendant()
{
    if (!m_attendant) {
        m_attendant = std::make_unique<frmAutoAttend>(m_context.settings);
        connect(m_attendant.get(), &frmAutoAttend::left, this, &Windows::showMain);
        returnToMainOnFrameClose(*m_attendant);
    }
    return *m_attendant;
}

void Windows::startAutoProcessing()
{
    frmAutoAttend& window = attendant();
    window.show();
    window.countdown().setTimerEnabled(true);
    m_main->hide();
    window.cmdExit->setEnabled(false);
    window.cmdStart->setEnabled(false);
    window.cmdStop->setEnabled(true);
}

void Windows::wireMainCommands()
{
    connect(m_main->mnuBegin, &QAction::triggered, this, &Windows::startAutoProcessing);
    connect(m_main->mnuStartup, &QAction::triggered, this, [this] {
        welcome().show();
        m_main->hide();
    });
    connect(m_main->mnuAbout, &QAction::triggered, this, [this] { about(); });
    connect(m_main.get(), &frmMain::exitRequested, qApp, &QCoreApplication::quit);
    connect(m_main->mnuNew, &QAction::triggered, this, [this] {
        m_main->hide();
        bringUp(create());
    });
}

void Windows::returnToMainOnFrameClose(QWidget& window)
{
    window.installEventFilter(this);
}

bool Windows::eventFilter(QObject* watched, QEvent* event)
{
    // Shown before the closing window goes, so the program never counts as left without windows.
    if (event->type() == QEvent::Close && watched != m_main.get() && !main().isVisible())
        showMain();
    return QObject::eventFilter(watched, event);
}

} // namespace Enrolix
