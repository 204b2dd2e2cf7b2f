#include "admin/Windows.h"

#include "admin/AppContext.h"
#include "admin/frmCreate.h"
#include "admin/frmLocation.h"
#include "admin/frmMain.h"

#include <QAction>
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

void Windows::wireMainCommands()
{
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
