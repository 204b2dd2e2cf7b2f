#include "admin/Windows.h"

#include "admin/AppContext.h"
#include "admin/frmAbout.h"
#include "admin/frmFirstTime.h"
#include "admin/frmMain.h"
#include "attendant/Countdown.h"
#include "attendant/frmAutoAttend.h"

#include "settings/Settings.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>

namespace Enrolix {

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

void Windows::showMain()
{
    frmMain& window = main();
    window.setEnabled(true);
    window.show();
    window.raise();
    window.activateWindow();
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
    }
    return *m_welcome;
}

frmAbout& Windows::about()
{
    if (!m_about)
        m_about = new frmAbout(m_context.prompter, m_context.system, &main());
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
    return *m_about;
}

frmAutoAttend& Windows::attendant()
{
    if (!m_attendant) {
        m_attendant = std::make_unique<frmAutoAttend>(m_context.settings);
        connect(m_attendant.get(), &frmAutoAttend::left, this, &Windows::showMain);
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
}

} // namespace Enrolix
