#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>

class QLineEdit;
class QWidget;

namespace Enrolix {

// One use of the directory picker for the options dialog: which boxes follow the picker's
// folder, what they get back on Cancel, and the dialog that waits meanwhile. The dialog owns it;
// the picker reports into it.
class BrowseSession final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowseSession)

public:
    // boxes: each box the picker fills, with the text it gets back when the picker is cancelled.
    BrowseSession(QWidget& owner, QList<QPair<QLineEdit*, QString>> boxes);

    // The picker came to the front: the dialog takes no input meanwhile.
    void pickerActivated();
    void folderChanged(const QString& path);
    // OK: the boxes keep the folder.
    void accept();
    // Cancel: the boxes get their texts back.
    void cancel();
    // The picker was closed through its frame: the dialog takes input again.
    void pickerClosed();

private:
    void returnToOwner();

    QPointer<QWidget> m_owner;
    QList<QPair<QPointer<QLineEdit>, QString>> m_boxes;
};

} // namespace Enrolix
