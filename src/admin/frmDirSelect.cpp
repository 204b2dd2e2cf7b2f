#include "admin/frmDirSelect.h"

#include "admin/AdminMessages.h"
#include "admin/BrowseSession.h"
#include "admin/FolderList.h"
#include "gui/AppContext.h"
#include "gui/Twips.h"
#include "platform/Prompter.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QPushButton>

namespace Enrolix {
namespace {

// Design positions, in twips of the client area.
constexpr int kMargin = 240;
constexpr int kListTop = 720;
constexpr int kButtonsGap = 210; // between the folder list and the buttons
constexpr int kButtonWidth = 1335;
constexpr int kButtonHeight = 375;
constexpr int kBottomMargin = 150;

QString rootFolder()
{
    return QDir::toNativeSeparators(QDir::rootPath());
}

QPushButton* button(const char* name, const QString& caption, QWidget* parent)
{
    auto* control = new QPushButton(caption, parent);
    control->setObjectName(QString::fromLatin1(name));
    // Neither button answers Enter or Escape.
    control->setAutoDefault(false);
    return control;
}

} // namespace

frmDirSelect::frmDirSelect(AppContext& context, const VolumeList& volumes, QWidget* parent)
    : QWidget(parent), m_context(context), m_volumeList(volumes)
{
    setObjectName(QStringLiteral("frmDirSelect"));
    setWindowTitle(AdminMessages::kDirSelectCaption);

    drvDriveSelect = new QComboBox(this);
    drvDriveSelect->setObjectName(QStringLiteral("drvDriveSelect"));
    drvDriveSelect->setAccessibleName(AdminMessages::kAccessibleDrive);
    DirSelect = new FolderList(this);
    DirSelect->setObjectName(QStringLiteral("DirSelect"));
    DirSelect->setAccessibleName(AdminMessages::kAccessibleFolders);
    cmdOK = button("cmdOK", AdminMessages::kOk, this);
    cmdCancel = button("cmdCancel", AdminMessages::kCancel, this);

    resize(twipsToPixels(5070, this), twipsToPixels(6045, this));
    setMinimumSize(twipsToPixels(4000, this), twipsToPixels(3000, this));

    connect(drvDriveSelect, &QComboBox::activated, this, &frmDirSelect::onDriveChosen);
    connect(DirSelect, &FolderList::pathChanged, this, &frmDirSelect::onFolderChanged);
    connect(cmdOK, &QPushButton::clicked, this, [this] { leave(true); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { leave(false); });
}

frmDirSelect::~frmDirSelect() = default;

void frmDirSelect::listDrives()
{
    m_volumes = m_volumeList.volumes();
    drvDriveSelect->clear();
    for (const Volume& volume : m_volumes) {
        const bool named = !volume.name.isEmpty() && volume.name != volume.rootPath;
        drvDriveSelect->addItem(named ? QStringLiteral("%1  [%2]").arg(volume.rootPath, volume.name) : volume.rootPath);
    }
    const QString root = rootFolder();
    for (int i = 0; i < m_volumes.size(); ++i) {
        if (m_volumes.at(i).rootPath == root)
            drvDriveSelect->setCurrentIndex(i);
    }
}

void frmDirSelect::browse(BrowseSession& session)
{
    m_session = &session;
    show();
    raise();
    activateWindow();
    listDrives();
    DirSelect->setPath(rootFolder());
}

void frmDirSelect::onFolderChanged(const QString& path)
{
    if (m_session)
        m_session->folderChanged(path);
}

void frmDirSelect::leave(bool accepted)
{
    hide();
    if (!m_session)
        return;
    if (accepted)
        m_session->accept();
    else
        m_session->cancel();
}

void frmDirSelect::onDriveChosen(int index)
{
    if (index < 0 || index >= m_volumes.size())
        return;
    // On failure the folder list stays where it was and the drive list keeps the choice.
    if (!DirSelect->setPath(m_volumes.at(index).rootPath))
        m_context.prompter.ask(AdminMessages::driveNotFound());
}

bool frmDirSelect::event(QEvent* event)
{
    if ((event->type() == QEvent::Show || event->type() == QEvent::WindowActivate) && m_session)
        m_session->pickerActivated();
    return QWidget::event(event);
}

void frmDirSelect::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (m_session)
        m_session->pickerClosed();
    Q_EMIT closedByFrame();
}

void frmDirSelect::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The design places everything for the initial size; a larger window gives the folder
    // list the extra room and keeps the buttons at the bottom.
    const int width = pixelsToTwips(this->width(), this) - 2 * kMargin;
    const int height = pixelsToTwips(this->height(), this);
    const int buttonsTop = height - kBottomMargin - kButtonHeight;
    drvDriveSelect->setGeometry(twipsRect(kMargin, kMargin, width, 315, this));
    DirSelect->setGeometry(twipsRect(kMargin, kListTop, width, buttonsTop - kButtonsGap - kListTop, this));
    const int centre = pixelsToTwips(this->width(), this) / 2;
    cmdOK->setGeometry(twipsRect(centre - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight, this));
    cmdCancel->setGeometry(twipsRect(centre + 225, buttonsTop, kButtonWidth, kButtonHeight, this));
}

} // namespace Enrolix
