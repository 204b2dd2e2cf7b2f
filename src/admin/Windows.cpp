#include "admin/Windows.h"

#include "admin/AppContext.h"
#include "admin/frmMain.h"
#include "attendant/Countdown.h"
#include "attendant/frmAutoAttend.h"

#include <QAction>
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
}

} // namespace Enrolix
