#include "admin/FolderList.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QStyle>

namespace Enrolix {
namespace {

constexpr int kPathRole = Qt::UserRole;

// The folder and its parents, root first, each as an absolute clean path.
QStringList chainOf(const QString& folder)
{
    QStringList chain;
    QDir dir(folder);
    chain.prepend(dir.absolutePath());
    while (dir.cdUp())
        chain.prepend(dir.absolutePath());
    return chain;
}

} // namespace

FolderList::FolderList(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(14);
    connect(this, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { setPath(item->data(0, kPathRole).toString()); });
}

FolderList::~FolderList() = default;

bool FolderList::setPath(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        return false;
    const QString clean = QDir::toNativeSeparators(QDir::cleanPath(info.absoluteFilePath()));
    if (clean == m_path)
        return true;
    m_path = clean;
    fill();
    Q_EMIT pathChanged(m_path);
    return true;
}

void FolderList::drawBranches(QPainter*, const QRect&, const QModelIndex&) const
{
    // The chain is always shown open and nothing folds, so there are no branch marks to draw.
}

void FolderList::fill()
{
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    QTreeWidgetItem* parent = nullptr;
    for (const QString& folder : chainOf(m_path)) {
        const QDir dir(folder);
        const QString caption = dir.isRoot() ? QDir::toNativeSeparators(folder) : dir.dirName();
        auto* item = parent ? new QTreeWidgetItem(parent, {caption}) : new QTreeWidgetItem(this, {caption});
        item->setIcon(0, open);
        item->setData(0, kPathRole, folder);
        parent = item;
    }
    const QDir current(m_path);
    for (const QString& name : current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        auto* item = new QTreeWidgetItem(parent, {name});
        item->setIcon(0, closed);
        item->setData(0, kPathRole, current.absoluteFilePath(name));
    }
    expandAll();
    setCurrentItem(parent);
    scrollToItem(parent);
}

} // namespace Enrolix
