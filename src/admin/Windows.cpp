#include "admin/Windows.h"

#include "admin/AdminMessages.h"
#include "admin/AppContext.h"
#include "admin/frmDirSelect.h"
#include "admin/frmMain.h"
#include "admin/frmOptions.h"
#include "admin/frmSure.h"
#include "platform/MountedVolumes.h"
#include "platform/Prompter.h"

#include <QAction>

namespace Enrolix {
namespace {

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

frmSure& Windows::sure()
{
    if (!m_sure) {
        m_sure = std::make_unique<frmSure>(m_context, main());
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
        connect(m_options.get(), &frmOptions::browseRequested, this, &Windows::browse);
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
        frmDirSelect* picker = m_dirSelect.get();
        connect(picker, &frmDirSelect::activated, this, [this] {
            if (m_options)
                m_options->setEnabled(false);
        });
        connect(picker, &frmDirSelect::folderChanged, this, [this](const QString& path) {
            if (m_options)
                m_options->setBrowsedFolder(path);
        });
        connect(picker, &frmDirSelect::accepted, this, &Windows::leavePicker);
        connect(picker, &frmDirSelect::cancelled, this, [this] {
            if (m_options)
                m_options->restoreBrowsedFolder();
            leavePicker();
        });
        connect(picker, &frmDirSelect::closedByFrame, this, [this] {
            if (m_options)
                m_options->setEnabled(true);
            destroyLater(m_dirSelect);
        });
    }
    return *m_dirSelect;
}

void Windows::showMain()
{
    frmMain& window = main();
    window.setEnabled(true);
    window.show();
    window.raise();
    window.activateWindow();
}

void Windows::wireMainCommands()
{
    connect(m_main->mnuClose, &QAction::triggered, this, &Windows::commandCloseEvent);
    connect(m_main->mnuOptions, &QAction::triggered, this, &Windows::commandOptions);
}

void Windows::commandCloseEvent()
{
    if (main().selectedEvent().isEmpty()) {
        m_context.prompter.ask(AdminMessages::selectEvent());
        return;
    }
    main().hide();
    frmSure& dialog = sure();
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

void Windows::commandOptions()
{
    frmOptions& dialog = options();
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    main().hide();
    m_context.prompter.ask(AdminMessages::optionsWarning());
}

void Windows::browse()
{
    frmDirSelect& picker = dirSelect();
    picker.show();
    picker.raise();
    picker.activateWindow();
    picker.browseFromRoot();
}

void Windows::leavePicker()
{
    if (m_options)
        m_options->returnFromPicker();
}

void Windows::dropPicker()
{
    if (m_dirSelect)
        m_dirSelect->hide();
    destroyLater(m_dirSelect);
}

} // namespace Enrolix
