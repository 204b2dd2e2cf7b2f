#pragma once

#include <QTreeWidget>

namespace Enrolix {

// A folder list: the current folder with its parents above it and its subfolders below.
// Activating a folder (double click, Enter) makes it the current folder.
class FolderList final : public QTreeWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FolderList)

public:
    explicit FolderList(QWidget* parent = nullptr);
    ~FolderList() override;

    // The current folder in native form, without a trailing separator except at a root.
    QString path() const { return m_path; }

    // Makes folder the current folder. Returns false, keeping the current folder, when it
    // cannot be read. Emits pathChanged when the current folder changes.
    bool setPath(const QString& folder);

Q_SIGNALS:
    void pathChanged(const QString& path);

protected:
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

private:
    void fill();

    QString m_path;
};

} // namespace Enrolix
