#include "browser/QVMBTreeController.h"

#include "browser/QVMBListController.h"
#include "platform/system/NotificationCenter.h"

#include <QItemSelectionModel>
#include <QPixmap>
#include <QTreeView>

#include <algorithm>

QVMBTreeController::QVMBTreeController(const MediaFolderPtr& root, QTreeView* outlineView,
                                       QVMBListController* listCtrl, QObject* parent)
    : QAbstractItemModel(parent)
    , _outlineView(outlineView)
    , _root(root)
    , _listCtrl(listCtrl) {
}

QVMBTreeController::~QVMBTreeController() {
    NotificationCenter::defaultCenter().removeObserver(this);
}

void QVMBTreeController::awakeFromNib() {
    _outlineView->setModel(this);
    _outlineView->setHeaderHidden(true);
    connect(_outlineView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &QVMBTreeController::outlineViewSelectionDidChange);
    NotificationCenter::defaultCenter().addObserver(this, MediaFolderSubFoldersChanged, _root.get(),
                                                    [this](const Notification& n) { foldersChanged(&n); });
    NotificationCenter::defaultCenter().addObserver(this, MediaFolderLoadStateChanged, nullptr,
                                                    [this](const Notification& n) { folderLoaded(n); });
    foldersChanged(nullptr);
}

MediaFolder* QVMBTreeController::folderForIndex(const QModelIndex& index) const {
    return index.isValid() ? static_cast<MediaFolder*>(index.internalPointer()) : _root.get();
}

QModelIndex QVMBTreeController::indexForFolder(const MediaFolder* folder) const {
    if (folder == nullptr || folder == _root.get() || folder->parent() == nullptr) {
        return {};
    }
    const auto& siblings = folder->parent()->folders();
    const auto it = std::find_if(siblings.begin(), siblings.end(),
                                 [folder](const MediaFolderPtr& sibling) { return sibling.get() == folder; });
    if (it == siblings.end()) {
        return {};
    }
    return createIndex(static_cast<int>(it - siblings.begin()), 0, const_cast<MediaFolder*>(folder));
}

bool QVMBTreeController::isItemExpandable(QTreeView*, MediaFolder* item) const {
    return (item != nullptr ? item : _root.get())->isExpandable();
}

int QVMBTreeController::numberOfChildrenOfItem(QTreeView*, MediaFolder* item) const {
    MediaFolder* folder = item != nullptr ? item : _root.get();
    if (_pending.contains(folder)) {
        return 0;
    }
    folder->loadInBackground();
    if (!folder->isLoaded()) {
        _pending.insert(folder);
        return 0;
    }
    return static_cast<int>(folder->folders().size());
}

MediaFolder* QVMBTreeController::child(QTreeView*, int index, MediaFolder* item) const {
    return (item != nullptr ? item : _root.get())->folders().at(static_cast<size_t>(index)).get();
}

QString QVMBTreeController::objectValueForItem(QTreeView*, MediaFolder* item) const {
    return item->name();
}

QModelIndex QVMBTreeController::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0 || parent.column() > 0) {
        return {};
    }
    MediaFolder* folder = folderForIndex(parent);
    if (row >= numberOfChildrenOfItem(_outlineView, folder)) {
        return {};
    }
    return createIndex(row, 0, child(_outlineView, row, folder));
}

QModelIndex QVMBTreeController::parent(const QModelIndex& child) const {
    if (!child.isValid()) {
        return {};
    }
    return indexForFolder(folderForIndex(child)->parent());
}

int QVMBTreeController::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return 0;
    }
    return numberOfChildrenOfItem(_outlineView, folderForIndex(parent));
}

int QVMBTreeController::columnCount(const QModelIndex&) const {
    return 1;
}

bool QVMBTreeController::hasChildren(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return false;
    }
    return isItemExpandable(_outlineView, folderForIndex(parent));
}

QVariant QVMBTreeController::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    MediaFolder* folder = folderForIndex(index);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return objectValueForItem(_outlineView, folder);
    case Qt::DecorationRole:
        return iconFor(folder);
    default:
        return {};
    }
}

Qt::ItemFlags QVMBTreeController::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    // A source that went away (a media server) stays in its place, greyed out.
    return folderForIndex(index)->isAvailable() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                                                : Qt::ItemIsSelectable;
}

void QVMBTreeController::availabilityMayHaveChanged(const MediaFolder* folder) {
    // The notification's folder is alive (it posts it); it is redrawn when it is a row of this outline.
    const MediaFolder* above = folder;
    while (above != nullptr && above != _root.get()) {
        above = above->parent();
    }
    if (above == nullptr || folder == _root.get()) {
        return;
    }
    const QModelIndex index = indexForFolder(folder);
    if (index.isValid()) {
        Q_EMIT dataChanged(index, index);
    }
}

QIcon QVMBTreeController::iconFor(const MediaFolder* folder) const {
    const QImage image = folder->icon();
    if (image.isNull()) {
        return {};
    }
    auto it = _icons.find(image.cacheKey());
    if (it == _icons.end()) {
        it = _icons.insert(image.cacheKey(), QIcon(QPixmap::fromImage(image)));
    }
    return it.value();
}

int QVMBTreeController::selectedFlatRow() const {
    const QModelIndexList rows = _outlineView->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return -1;
    }
    int row = 0;
    for (QModelIndex above = _outlineView->indexAbove(rows.first()); above.isValid();
         above = _outlineView->indexAbove(above)) {
        ++row;
    }
    return row;
}

void QVMBTreeController::selectFlatRow(int row) {
    QModelIndex index = row >= 0 ? this->index(0, 0) : QModelIndex();
    for (int i = 0; i < row && index.isValid(); ++i) {
        index = _outlineView->indexBelow(index);
    }
    _restoringSelection = true;
    if (index.isValid()) {
        _outlineView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                   QItemSelectionModel::Rows);
    } else {
        _outlineView->selectionModel()->clearSelection();
    }
    _restoringSelection = false;
}

void QVMBTreeController::foldersChanged(const Notification*) {
    // A reset forgets the view's selection: select the kept row number again,
    // as an outline that reloads in place would.
    beginResetModel();
    _icons.clear();
    _pending.clear();
    endResetModel();
    // Lay the rows out now rather than on the view's delayed timer: a window
    // shown right after loading could otherwise miss it and stay blank. (Asking
    // for a row's rectangle runs the pending layout; doItemsLayout() does not
    // clear it.)
    _outlineView->visualRect(index(0, 0));
    selectFlatRow(_keptRow);
    adoptSelection();
}

void QVMBTreeController::folderLoaded(const Notification& notification) {
    // Only folders of this outline are looked at; others are not dereferenced.
    const auto* pending = static_cast<const MediaFolder*>(notification.object);
    if (!_pending.contains(pending)) {
        availabilityMayHaveChanged(pending);
        return;
    }
    auto* folder = const_cast<MediaFolder*>(pending);
    if (!folder->isLoaded()) {
        return;
    }
    const int count = static_cast<int>(folder->folders().size());
    if (count == 0) {
        _pending.remove(folder);
        return;
    }
    beginInsertRows(indexForFolder(folder), 0, count - 1);
    _pending.remove(folder);
    endInsertRows();
}

void QVMBTreeController::outlineViewSelectionDidChange() {
    if (!_restoringSelection) {
        _keptRow = selectedFlatRow();
        adoptSelection();
    }
}

void QVMBTreeController::adoptSelection() {
    _selection.reset();
    const QModelIndexList rows = _outlineView->selectionModel()->selectedRows();
    if (!rows.isEmpty()) {
        MediaFolder* folder = folderForIndex(rows.first());
        // The outline knows folders by address; the list holds them, so find the owning pointer.
        if (MediaFolder* parent = folder->parent()) {
            for (const MediaFolderPtr& sibling : parent->folders()) {
                if (sibling.get() == folder) {
                    _selection = sibling;
                    break;
                }
            }
        }
    }
    _listCtrl->setFolder(_selection);
}
