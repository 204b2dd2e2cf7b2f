#include "admin/BrowseSession.h"

#include <QLineEdit>
#include <QWidget>

namespace Enrolix {

BrowseSession::BrowseSession(QWidget& owner, QList<QPair<QLineEdit*, QString>> boxes) : QObject(&owner), m_owner(&owner)
{
    for (const auto& [box, restore] : boxes)
        m_boxes.append({box, restore});
}

void BrowseSession::pickerActivated()
{
    if (m_owner)
        m_owner->setEnabled(false);
}

void BrowseSession::folderChanged(const QString& path)
{
    for (const auto& [box, restore] : m_boxes) {
        if (box)
            box->setText(path);
    }
}

void BrowseSession::accept()
{
    returnToOwner();
}

void BrowseSession::cancel()
{
    for (const auto& [box, restore] : m_boxes) {
        if (box)
            box->setText(restore);
    }
    returnToOwner();
}

void BrowseSession::pickerClosed()
{
    if (m_owner)
        m_owner->setEnabled(true);
}

void BrowseSession::returnToOwner()
{
    if (!m_owner)
        return;
    m_owner->setEnabled(true);
    m_owner->raise();
    m_owner->activateWindow();
}

} // namespace Enrolix
