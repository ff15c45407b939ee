#pragma once

#include "model/MediaFolder.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <QSet>

class QTreeView;
class QVMBListController;
struct Notification;

// One source outline of the browser window: shows the folders below a root
// (the root itself is not a row), each with its icon and name, reloads
// whenever the tree below the root changes, and hands the selected folder to
// its tab's list controller every time the selection or the tree changes.
//
// As an item model, hasChildren answers from the folder's expandability
// without loading it; rowCount starts the folder's background load on first
// use and answers no rows until it is published, when the rows are inserted.
class QVMBTreeController : public QAbstractItemModel {
    Q_OBJECT
public:
    QVMBTreeController(const MediaFolderPtr& root, QTreeView* outlineView, QVMBListController* listCtrl,
                       QObject* parent = nullptr);
    ~QVMBTreeController() override;

    // Installs itself as the outline's model, starts watching the root and
    // brings the outline and the list in step.
    void awakeFromNib();

    // The outline's questions, for a folder (none: the root).
    bool isItemExpandable(QTreeView* outline, MediaFolder* item) const;
    int numberOfChildrenOfItem(QTreeView* outline, MediaFolder* item) const;
    MediaFolder* child(QTreeView* outline, int index, MediaFolder* item) const;
    QString objectValueForItem(QTreeView* outline, MediaFolder* item) const;

    // The tree below the root changed: reload, keeping the selected row number.
    void foldersChanged(const Notification* notification);
    void outlineViewSelectionDidChange();
    // A folder finished loading: its rows, first answered as none, are inserted.
    void folderLoaded(const Notification& notification);

    MediaFolderPtr selection() const { return _selection; }
    MediaFolder* folderForIndex(const QModelIndex& index) const;
    QModelIndex indexForFolder(const MediaFolder* folder) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void adoptSelection();
    // Redraws the row of folder, if it is one of this outline (its source
    // may have gone away or come back).
    void availabilityMayHaveChanged(const MediaFolder* folder);
    int selectedFlatRow() const;
    void selectFlatRow(int row);
    QIcon iconFor(const MediaFolder* folder) const;

    MediaFolderPtr _selection;
    QTreeView* _outlineView;
    MediaFolderPtr _root;
    QVMBListController* _listCtrl;
    bool _restoringSelection = false;
    // The row the user selected last: a reload selects that row again, so the
    // list keeps showing whatever folder stands there after a rebuild.
    int _keptRow = -1;
    mutable QHash<qint64, QIcon> _icons; // by the folder image's cache key
    // Folders whose rows were asked for while they loaded: answered as none
    // until folderLoaded() inserts them.
    mutable QSet<const MediaFolder*> _pending;
};
