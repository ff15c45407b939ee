#include "browser/QVMBTreeController.h"

#include "browser/OutlineRestore.h"
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
    _rootNode = makeNode(root, nullptr);
}

QVMBTreeController::~QVMBTreeController() {
    NotificationCenter::defaultCenter().removeObserver(this);
}

void QVMBTreeController::awakeFromNib() {
    _outlineView->setModel(this);
    _outlineView->setHeaderHidden(true);
    connect(_outlineView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &QVMBTreeController::outlineViewSelectionDidChange);
    // Any folder's: only those with rows here are looked at, by address, never dereferenced otherwise.
    NotificationCenter::defaultCenter().addObserver(this, MediaFolderSubFoldersChanged, nullptr,
                                                    [this](const Notification& n) { subFoldersChanged(n); });
    NotificationCenter::defaultCenter().addObserver(this, MediaFolderLoadStateChanged, nullptr,
                                                    [this](const Notification& n) { loadStateChanged(n); });
    // Lay the rows out now rather than on the view's delayed timer: a window
    // shown right after loading could otherwise miss it and stay blank. (Asking
    // for a row's rectangle runs the pending layout.)
    _outlineView->visualRect(index(0, 0));
    adoptSelection();
}

std::unique_ptr<QVMBTreeController::Node> QVMBTreeController::makeNode(const MediaFolderPtr& folder,
                                                                       Node* parent) const {
    auto node = std::make_unique<Node>();
    node->folder = folder;
    node->parent = parent;
    node->available = folder->isAvailable();
    _nodes.insert(folder.get(), node.get());
    return node;
}

void QVMBTreeController::forget(Node* node) {
    for (const std::unique_ptr<Node>& child : node->children) {
        forget(child.get());
    }
    if (const auto found = _nodes.find(node->folder.get()); found != _nodes.end() && *found == node) {
        _nodes.erase(found);
    }
    if (const auto found = _pending.find(node->folder.get()); found != _pending.end() && *found == node) {
        _pending.erase(found);
    }
}

void QVMBTreeController::renumber(Node* node) {
    for (std::size_t i = 0; i < node->children.size(); ++i) {
        node->children[i]->row = static_cast<int>(i);
    }
}

void QVMBTreeController::fetch(Node* node) const {
    if (node->fetched || _pending.contains(node->folder.get())) {
        return;
    }
    MediaFolder* folder = node->folder.get();
    folder->loadInBackground();
    if (!folder->isLoaded()) {
        _pending.insert(folder, node);
        return;
    }
    for (const MediaFolderPtr& child : folder->folders()) {
        node->children.push_back(makeNode(child, node));
    }
    renumber(node);
    node->fetched = true;
}

QVMBTreeController::Node* QVMBTreeController::nodeFor(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : _rootNode.get();
}

QModelIndex QVMBTreeController::indexOf(const Node* node) const {
    if (node == nullptr || node == _rootNode.get()) {
        return {};
    }
    return createIndex(node->row, 0, const_cast<Node*>(node));
}

MediaFolder* QVMBTreeController::folderForIndex(const QModelIndex& index) const {
    return nodeFor(index)->folder.get();
}

QModelIndex QVMBTreeController::indexForFolder(const MediaFolder* folder) const {
    return indexOf(_nodes.value(folder));
}

QStringList QVMBTreeController::identityPath(const MediaFolder* folder) {
    QStringList path;
    for (; folder != nullptr && folder->parent() != nullptr; folder = folder->parent()) {
        path.prepend(folder->identity());
    }
    return path;
}

bool QVMBTreeController::isItemExpandable(QTreeView*, MediaFolder* item) const {
    return (item != nullptr ? item : _root.get())->isExpandable();
}

int QVMBTreeController::numberOfChildrenOfItem(QTreeView*, MediaFolder* item) const {
    Node* node = _nodes.value(item != nullptr ? item : _root.get());
    if (node == nullptr) {
        return 0;
    }
    fetch(node);
    return static_cast<int>(node->children.size());
}

MediaFolder* QVMBTreeController::child(QTreeView*, int index, MediaFolder* item) const {
    Node* node = _nodes.value(item != nullptr ? item : _root.get());
    if (node == nullptr || index < 0 || index >= static_cast<int>(node->children.size())) {
        return nullptr;
    }
    return node->children[static_cast<std::size_t>(index)]->folder.get();
}

QString QVMBTreeController::objectValueForItem(QTreeView*, MediaFolder* item) const {
    return item->name();
}

QModelIndex QVMBTreeController::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0 || parent.column() > 0) {
        return {};
    }
    Node* node = nodeFor(parent);
    fetch(node);
    if (row >= static_cast<int>(node->children.size())) {
        return {};
    }
    return createIndex(row, 0, node->children[static_cast<std::size_t>(row)].get());
}

QModelIndex QVMBTreeController::parent(const QModelIndex& child) const {
    return child.isValid() ? indexOf(nodeFor(child)->parent) : QModelIndex();
}

int QVMBTreeController::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return 0;
    }
    Node* node = nodeFor(parent);
    fetch(node);
    return static_cast<int>(node->children.size());
}

int QVMBTreeController::columnCount(const QModelIndex&) const {
    return 1;
}

bool QVMBTreeController::hasChildren(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return false;
    }
    Node* node = nodeFor(parent);
    if (node->folder->isLoaded() && !_pending.contains(node->folder.get())) {
        // Known from here on, so that sub-folders that come later are announced.
        fetch(node);
        return !node->children.empty();
    }
    return node->folder->isExpandable();
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
    // Looked up by address: a folder with a row here is alive (its node holds it).
    Node* node = _nodes.value(folder);
    if (node == nullptr || node == _rootNode.get() || node->folder->isAvailable() == node->available) {
        return;
    }
    node->available = !node->available;
    const QModelIndex index = indexOf(node);
    Q_EMIT dataChanged(index, index);
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

void QVMBTreeController::subFoldersChanged(const Notification& notification) {
    // Posted for the folder that changed, then for each folder above it:
    // each one of this outline is brought in step (those above at no cost).
    Node* node = _nodes.value(static_cast<const MediaFolder*>(notification.object));
    if (node != nullptr && node->fetched) {
        sync(node);
    }
}

void QVMBTreeController::sync(Node* node) {
    const std::vector<MediaFolderPtr>& now = node->folder->folders();
    const QModelIndex parentIndex = indexOf(node);
    QHash<const MediaFolder*, int> positionNow;
    positionNow.reserve(static_cast<qsizetype>(now.size()));
    for (std::size_t i = 0; i < now.size(); ++i) {
        positionNow.insert(now[i].get(), static_cast<int>(i));
    }
    // 1. The rows whose folders went, a run at a time from the end.
    auto& children = node->children;
    for (int last = static_cast<int>(children.size()) - 1; last >= 0;) {
        if (positionNow.contains(children[static_cast<std::size_t>(last)]->folder.get())) {
            --last;
            continue;
        }
        int first = last;
        while (first > 0 &&
               !positionNow.contains(children[static_cast<std::size_t>(first - 1)]->folder.get())) {
            --first;
        }
        for (int row = first; row <= last; ++row) {
            rememberBeforeRemoval(children[static_cast<std::size_t>(row)].get());
        }
        beginRemoveRows(parentIndex, first, last);
        std::vector<std::unique_ptr<Node>> removed(std::make_move_iterator(children.begin() + first),
                                                   std::make_move_iterator(children.begin() + last + 1));
        children.erase(children.begin() + first, children.begin() + last + 1);
        for (const std::unique_ptr<Node>& gone : removed) {
            forget(gone.get());
        }
        renumber(node);
        endRemoveRows();
        last = first - 1;
    }
    // 2. The folders that remain, in their new order (a catalogue may reorder).
    const bool inOrder = std::is_sorted(children.begin(), children.end(), [&](const auto& a, const auto& b) {
        return positionNow.value(a->folder.get()) < positionNow.value(b->folder.get());
    });
    if (!inOrder) {
        Q_EMIT layoutAboutToBeChanged({QPersistentModelIndex(parentIndex)});
        QModelIndexList before;
        for (const auto& child : children) {
            before.append(indexOf(child.get()));
        }
        std::vector<Node*> moved;
        for (const auto& child : children) {
            moved.push_back(child.get());
        }
        std::sort(children.begin(), children.end(), [&](const auto& a, const auto& b) {
            return positionNow.value(a->folder.get()) < positionNow.value(b->folder.get());
        });
        renumber(node);
        QModelIndexList after;
        for (Node* child : moved) {
            after.append(indexOf(child));
        }
        changePersistentIndexList(before, after);
        Q_EMIT layoutChanged({QPersistentModelIndex(parentIndex)});
    }
    // 3. The folders that came, a run at a time.
    for (std::size_t i = 0; i < now.size();) {
        if (i < children.size() && children[i]->folder == now[i]) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < now.size() && (i >= children.size() || now[end] != children[i]->folder)) {
            ++end;
        }
        beginInsertRows(parentIndex, static_cast<int>(i), static_cast<int>(end - 1));
        std::vector<std::unique_ptr<Node>> added;
        for (std::size_t k = i; k < end; ++k) {
            added.push_back(makeNode(now[k], node));
        }
        children.insert(children.begin() + static_cast<std::ptrdiff_t>(i),
                        std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
        renumber(node);
        endInsertRows();
        restoreRemembered(node, static_cast<int>(i), static_cast<int>(end - 1));
        i = end;
    }
    // 4. Names and icons of the folders that remain (a group renamed in its catalogue).
    if (!children.empty()) {
        Q_EMIT dataChanged(index(0, 0, parentIndex),
                           index(static_cast<int>(children.size()) - 1, 0, parentIndex),
                           {Qt::DisplayRole, Qt::ToolTipRole, Qt::DecorationRole});
    }
}

void QVMBTreeController::loadStateChanged(const Notification& notification) {
    availabilityMayHaveChanged(static_cast<const MediaFolder*>(notification.object));
    const auto pending = _pending.find(static_cast<const MediaFolder*>(notification.object));
    if (pending == _pending.end()) {
        return;
    }
    Node* node = *pending;
    MediaFolder* folder = node->folder.get();
    if (!folder->isLoaded()) {
        return; // still reading: progress
    }
    _pending.erase(pending);
    // Known as empty from here on: the view asks again while the rows go in.
    node->fetched = true;
    const std::vector<MediaFolderPtr>& folders = folder->folders();
    if (folders.empty()) {
        return;
    }
    const int count = static_cast<int>(folders.size());
    beginInsertRows(indexOf(node), 0, count - 1);
    for (const MediaFolderPtr& child : folders) {
        node->children.push_back(makeNode(child, node));
    }
    renumber(node);
    endInsertRows();
    restoreRemembered(node, 0, count - 1);
}

QStringList QVMBTreeController::pathOf(const Node* node) {
    // By the rows: a folder being removed is no longer linked to its parent.
    QStringList path;
    for (; node != nullptr && node->parent != nullptr; node = node->parent) {
        path.prepend(node->folder->identity());
    }
    return path;
}

void QVMBTreeController::rememberBeforeRemoval(const Node* node) {
    const QModelIndex index = indexOf(node);
    if (_outlineView->isExpanded(index)) {
        _rememberedExpanded.append(pathOf(node));
    }
    if (_selection == node->folder) {
        _rememberedSelection = pathOf(node);
    }
    for (const std::unique_ptr<Node>& child : node->children) {
        rememberBeforeRemoval(child.get());
    }
}

void QVMBTreeController::restoreRemembered(Node* parent, int first, int last) {
    if (_rememberedExpanded.isEmpty() && _rememberedSelection.isEmpty()) {
        return;
    }
    for (int row = first; row <= last; ++row) {
        Node* node = parent->children[static_cast<std::size_t>(row)].get();
        const QStringList path = pathOf(node);
        const QModelIndex index = indexOf(node);
        if (_rememberedExpanded.removeOne(path)) {
            // Rows at hand are restored now; rows read in the background as they arrive.
            fetch(node);
            if (!node->children.empty()) {
                restoreRemembered(node, 0, static_cast<int>(node->children.size()) - 1);
            }
            _outlineView->expand(index);
        }
        if (!_rememberedSelection.isEmpty() && path == _rememberedSelection && !_selection) {
            _rememberedSelection.clear();
            _outlineView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                       QItemSelectionModel::Rows);
        }
    }
}

void QVMBTreeController::outlineViewSelectionDidChange() {
    adoptSelection();
    if (_selection) {
        _rememberedSelection.clear(); // the user chose anew
    }
}

void QVMBTreeController::adoptSelection() {
    const QModelIndexList rows = _outlineView->selectionModel()->selectedRows();
    MediaFolderPtr selected = rows.isEmpty() ? nullptr : nodeFor(rows.first())->folder;
    if (selected && selected == _selection) {
        // Rows inserted or removed above the chosen folder move its row and
        // the view tells it as a new selection: the list keeps what it shows
        // and the music plays on.
        return;
    }
    _selection = std::move(selected);
    _listCtrl->setFolder(_selection);
}

QStringList QVMBTreeController::expandedFolderPaths() const {
    QStringList paths;
    std::vector<QModelIndex> parents = {QModelIndex()};
    while (!parents.empty()) {
        const QModelIndex parent = parents.back();
        parents.pop_back();
        // Only expanded folders are looked into: their rows are loaded.
        for (int row = 0; row < rowCount(parent); ++row) {
            const QModelIndex child = index(row, 0, parent);
            if (_outlineView->isExpanded(child)) {
                paths.append(OutlineRestore::pathOf(folderForIndex(child), _root.get()));
                parents.push_back(child);
            }
        }
    }
    return paths;
}

void QVMBTreeController::restoreFolders(const QStringList& expanded, const QString& selected) {
    // One restoring at a time: a newer one replaces what an older one still waits for.
    for (OutlineRestore* older : findChildren<OutlineRestore*>(QString(), Qt::FindDirectChildrenOnly)) {
        delete older;
    }
    new OutlineRestore(this, _outlineView, expanded, selected);
}
