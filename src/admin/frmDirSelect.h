#pragma once

#include "platform/VolumeList.h"

#include <QList>
#include <QWidget>

class QComboBox;
class QPushButton;

namespace Enrolix {

struct AppContext;
class FolderList;

// The directory picker: a drive list above a folder list. Every change of the current folder
// is reported at once, so the box it was opened for follows the folder shown.
class frmDirSelect final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmDirSelect)

public:
    frmDirSelect(AppContext& context, const VolumeList& volumes, QWidget* parent = nullptr);
    ~frmDirSelect() override;

    // Lists the drives afresh and moves the folder list to the root folder.
    void browseFromRoot();

    QComboBox* drvDriveSelect{nullptr};
    FolderList* DirSelect{nullptr};
    QPushButton* cmdOK{nullptr};
    QPushButton* cmdCancel{nullptr};

Q_SIGNALS:
    // The picker came to the front.
    void activated();
    void folderChanged(const QString& path);
    // OK or Cancel was pressed and the picker hid itself.
    void accepted();
    void cancelled();
    // The user closed the window through its frame.
    void closedByFrame();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void listDrives();
    void onDriveChosen(int index);

    AppContext& m_context;
    const VolumeList& m_volumeList;
    QList<Volume> m_volumes;
};

} // namespace Enrolix
