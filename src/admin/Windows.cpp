#include "admin/Windows.h"

#include "admin/AdminMessages.h"
#include "admin/BrowseSession.h"
#include "admin/frmAbout.h"
#include "admin/frmAccount.h"
#include "admin/frmCreate.h"
#include "admin/frmDirSelect.h"
#include "admin/frmFirstTime.h"
#include "admin/frmLocation.h"
#include "admin/frmMain.h"
#include "admin/frmOptions.h"
#include "admin/frmSure.h"
#include "attendant/AttendantEngine.h"
#include "attendant/Countdown.h"
#include "attendant/frmAutoAttend.h"
#include "events/EventFiles.h"
#include "gui/AppContext.h"
#include "lottery/LotteryDesk.h"
#include "lottery/LotteryMessages.h"
#include "lottery/frmDraw.h"
#include "platform/FileChooser.h"
#include "platform/MountedVolumes.h"
#include "platform/Prompter.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QEvent>

namespace Enrolix {
namespace {

void bringUp(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

// A window closed through its frame is destroyed; the next use creates it afresh. It goes
// once the close event that asked for this is over.
template <typename Window> void destroyLater(std::unique_ptr<Window>& window)
{
    if (window)
        window.release()->deleteLater();
}

} // namespace

Windows::Windows(AppContext& context, QObject* parent) : Windows(context, std::make_unique<MountedVolumes>(), parent) {}

Windows::Windows(AppContext& context, std::unique_ptr<VolumeList> volumes, QObject* parent)
    : QObject(parent), m_context(context), m_volumes(std::move(volumes))
{
}

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
        m_create = std::make_unique<frmCreate>(m_context, [this] { return passRunning(); });
        connect(m_create.get(), &frmCreate::returnRequested, this, [this] {
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
        connect(m_location.get(), &frmLocation::backRequested, this, [this] {
            frmCreate& dialog = create();
            dialog.clearDates();
            bringUp(dialog);
            m_location->hide();
        });
        returnToMainOnFrameClose(*m_location);
    }
    return *m_location;
}

frmSure& Windows::sure()
{
    if (!m_sure) {
        m_sure = std::make_unique<frmSure>(m_context, [this] { return passRunning(); });
        connect(m_sure.get(), &frmSure::left, this, &Windows::showMain);
        connect(m_sure.get(), &frmSure::closedByFrame, this, [this] {
            destroyLater(m_sure);
            showMain();
        });
    }
    return *m_sure;
}

frmOptions& Windows::options()
{
    if (!m_options) {
        m_options = std::make_unique<frmOptions>(m_context);
        connect(m_options.get(), &frmOptions::left, this, &Windows::showMain);
        connect(m_options.get(), &frmOptions::browseRequested, this,
                [this](BrowseSession* session) { dirSelect().browse(*session); });
        connect(m_options.get(), &frmOptions::closedByFrame, this, [this] {
            // The picker would have no boxes left to fill.
            dropPicker();
            destroyLater(m_options);
            showMain();
        });
    }
    return *m_options;
}

frmDirSelect& Windows::dirSelect()
{
    if (!m_dirSelect) {
        m_dirSelect = std::make_unique<frmDirSelect>(m_context, *m_volumes);
        connect(m_dirSelect.get(), &frmDirSelect::closedByFrame, this, [this] { destroyLater(m_dirSelect); });
    }
    return *m_dirSelect;
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
        screen.setShowAtStartup(true);
        screen.show();
        return;
    }
    screen.setShowAtStartup(false);
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
        // The pass runs on the engine's thread and reports to the window, which shows its counts
        // and status as they come.
        m_engine = std::make_unique<AttendantEngine>(m_context.settings, m_context.mail);
        frmAutoAttend* window = m_attendant.get();
        m_attendant->setPass([this] { m_engine->startPass(); });
        connect(m_engine.get(), &AttendantEngine::statusChanged, window, &frmAutoAttend::statusChanged);
        connect(m_engine.get(), &AttendantEngine::replySent, window, &frmAutoAttend::replySent);
        connect(m_engine.get(), &AttendantEngine::connectionFailed, window, &frmAutoAttend::connectionFailed);
        connect(m_engine.get(), &AttendantEngine::passEnded, window, &frmAutoAttend::passEnded);
        connect(m_attendant.get(), &frmAutoAttend::left, this, &Windows::showMain);
        returnToMainOnFrameClose(*m_attendant);
    }
    return *m_attendant;
}

void Windows::startAutoProcessing()
{
    frmAutoAttend& window = attendant();
    window.startRunning();
    m_main->hide();
}

bool Windows::passRunning() const
{
    return m_engine && m_engine->running();
}

bool Windows::notificationsRunning() const
{
    return m_draw && m_draw->sending();
}

void Windows::wireMainCommands()
{
    frmMain* window = m_main.get();
    connect(window, &frmMain::newEventRequested, this, [this] {
        m_main->hide();
        bringUp(create());
    });
    connect(window, &frmMain::closeEventRequested, this, &Windows::commandCloseEvent);
    connect(window, &frmMain::optionsRequested, this, &Windows::commandOptions);
    connect(window, &frmMain::startupScreenRequested, this, [this] {
        welcome().show();
        m_main->hide();
    });
    connect(window, &frmMain::accountRequested, this, &Windows::commandAccount);
    connect(window, &frmMain::autoProcessingRequested, this, &Windows::startAutoProcessing);
    connect(window, &frmMain::aboutRequested, this, [this] { about(); });
    connect(window, &frmMain::drawLotteryRequested, this, &Windows::commandDrawLottery);
    connect(window, &frmMain::exportSignUpsRequested, this, &Windows::commandExportSignUps);
    connect(window, &frmMain::exitRequested, qApp, &QCoreApplication::quit);
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

void Windows::commandCloseEvent()
{
    if (main().selectedEvent().isEmpty()) {
        m_context.prompter.ask(AdminMessages::selectEvent());
        return;
    }
    frmSure& dialog = sure();
    dialog.askToClose(main().selectedEvent());
    main().hide();
    bringUp(dialog);
}

frmDraw& Windows::draw()
{
    if (!m_draw) {
        m_draw = std::make_unique<frmDraw>(m_context);
        // Its own frame close leads back too, but only when no notifications are going out.
        connect(m_draw.get(), &frmDraw::backRequested, this, [this] {
            m_draw->hide();
            showMain();
        });
    }
    return *m_draw;
}

void Windows::commandDrawLottery()
{
    frmDraw& window = draw();
    if (!window.listClosedEvents())
        return;
    main().hide();
    bringUp(window);
}

void Windows::commandExportSignUps()
{
    const QString event = main().selectedEvent();
    if (event.isEmpty()) {
        m_context.prompter.ask(AdminMessages::selectEvent());
        return;
    }
    const QString path = m_context.files.saveFileName(&main(), LotteryMessages::kExportSignUpsCaption,
                                                      event + QStringLiteral(".csv"), LotteryMessages::kCsvFilter);
    if (path.isEmpty())
        return;
    const EventFiles files(m_context.settings);
    if (const std::optional<Message> problem = LotteryDesk::exportSignUps(files, event, path))
        m_context.prompter.ask(*problem);
}

void Windows::commandOptions()
{
    bringUp(options());
    main().hide();
    m_context.prompter.ask(AdminMessages::optionsWarning());
}

frmAccount& Windows::account()
{
    if (!m_account) {
        m_account = std::make_unique<frmAccount>(m_context);
        connect(m_account.get(), &frmAccount::left, this, &Windows::showMain);
        connect(m_account.get(), &frmAccount::closedByFrame, this, [this] {
            destroyLater(m_account);
            showMain();
        });
    }
    return *m_account;
}

void Windows::commandAccount()
{
    frmAccount& dialog = account();
    dialog.load();
    bringUp(dialog);
    main().hide();
}

void Windows::dropPicker()
{
    if (m_dirSelect)
        m_dirSelect->hide();
    destroyLater(m_dirSelect);
}

} // namespace Enrolix
