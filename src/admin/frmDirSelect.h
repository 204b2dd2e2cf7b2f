#pragma once

#include "platform/VolumeList.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QComboBox;
class QPushButton;

namespace Enrolix {

struct AppContext;
class BrowseSession;
class FolderList;

// The directory picker: a drive list above a folder list. Every change of the current folder
// goes to the browse session at once, so the box it was opened for follows the folder shown.
class frmDirSelect final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmDirSelect)

public:
    frmDirSelect(AppContext& context, const VolumeList& volumes, QWidget* parent = nullptr);
    ~frmDirSelect() override;

    // Comes to the front for the session, lists the drives afresh and moves the folder list to
    // the root folder.
    void browse(BrowseSession& session);

Q_SIGNALS:
    // The user closed the window through its frame.
    void closedByFrame();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void listDrives();
    void onDriveChosen(int index);
    void onFolderChanged(const QString& path);
    void leave(bool accepted);

    AppContext& m_context;
    const VolumeList& m_volumeList;
    QList<Volume> m_volumes;
    QPointer<BrowseSession> m_session;

    QComboBox* drvDriveSelect{nullptr};
    FolderList* DirSelect{nullptr};
    QPushButton* cmdOK{nullptr};
    QPushButton* cmdCancel{nullptr};
};

} // namespace Enrolix
