#pragma once

#include "model/MediaFolder.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <QSet>
#include <QStringList>

#include <memory>
#include <vector>

class QTreeView;
class QVMBListController;
struct Notification;

// One source outline of the browser window: shows the folders below a root
// (the root itself is not a row), each with its icon and name, and hands the
// selected folder to its tab's list controller every time the selection
// changes.
//
// As an item model it keeps its own tree of the rows it has shown, and when a
// folder's sub-folders change it compares them with its rows and inserts and
// removes just those that came and went (folders that remain are the same
// objects: see FolderMerge), so that the view keeps what the user expanded and
// selected, and the list keeps its folder. hasChildren answers from the
// folder's expandability without loading it; rowCount starts the folder's
// background load on first use and answers no rows until it is published,
// when the rows are inserted. When the roots are rebuilt (the preferences
// changed) the folders that come back in the same place are expanded and
// selected again.
class QVMBTreeController : public QAbstractItemModel {
    Q_OBJECT
public:
    QVMBTreeController(const MediaFolderPtr& root, QTreeView* outlineView, QVMBListController* listCtrl,
                       QObject* parent = nullptr);
    ~QVMBTreeController() override;

    // Installs itself as the outline's model, starts watching the folders and
    // brings the outline and the list in step.
    void awakeFromNib();

    // The outline's questions, for a folder (none: the root).
    bool isItemExpandable(QTreeView* outline, MediaFolder* item) const;
    int numberOfChildrenOfItem(QTreeView* outline, MediaFolder* item) const;
    MediaFolder* child(QTreeView* outline, int index, MediaFolder* item) const;
    QString objectValueForItem(QTreeView* outline, MediaFolder* item) const;

    void outlineViewSelectionDidChange();

    MediaFolderPtr selection() const { return _selection; }

    // The expanded folders, each by its path of names from the root (see
    // OutlineRestore::pathOf), as the outline shows them now.
    QStringList expandedFolderPaths() const;
    // Expands the folders of expanded and selects the folder of selected,
    // each once its row exists (folders load in the background); what no
    // longer exists is left out. The user's own choice meanwhile ends it.
    void restoreFolders(const QStringList& expanded, const QString& selected);
    MediaFolder* folderForIndex(const QModelIndex& index) const;
    // The row of folder, when the outline shows it.
    QModelIndex indexForFolder(const MediaFolder* folder) const;
    // A folder's place from the root: the identities of the folders down to it.
    static QStringList identityPath(const MediaFolder* folder);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    // A row the model has shown: its folder and, once the view asked for
    // them, its children as the view knows them.
    struct Node {
        MediaFolderPtr folder;
        Node* parent = nullptr;
        int row = 0;
        bool fetched = false;  // children mirror the folder's sub-folders
        bool available = true; // as last drawn (see availabilityMayHaveChanged)
        std::vector<std::unique_ptr<Node>> children;
    };

    Node* nodeFor(const QModelIndex& index) const;
    QModelIndex indexOf(const Node* node) const;
    // Makes node's children mirror its loaded folder (nothing announced: the
    // view learns of them by asking). Starts the load of a folder not loaded.
    void fetch(Node* node) const;
    std::unique_ptr<Node> makeNode(const MediaFolderPtr& folder, Node* parent) const;
    void forget(Node* node);
    static void renumber(Node* node);

    // A folder's sub-folders changed: the rows that came and went.
    void subFoldersChanged(const Notification& notification);
    void sync(Node* node);
    // A folder finished loading: its rows, first answered as none, are inserted.
    void loadStateChanged(const Notification& notification);
    // Rows inserted under parent: expands and selects those the user had
    // expanded or selected before they went away.
    void restoreRemembered(Node* parent, int first, int last);
    void rememberBeforeRemoval(const Node* node);
    static QStringList pathOf(const Node* node);

    void adoptSelection();
    // Redraws the row of folder, if it is one of this outline and its source
    // went away or came back. Only then: a redraw makes the view ask for the
    // row's children, which must not happen while a load is being started.
    void availabilityMayHaveChanged(const MediaFolder* folder);
    QIcon iconFor(const MediaFolder* folder) const;

    MediaFolderPtr _selection;
    QTreeView* _outlineView;
    MediaFolderPtr _root;
    QVMBListController* _listCtrl;
    std::unique_ptr<Node> _rootNode;
    mutable QHash<const MediaFolder*, Node*> _nodes;
    // Folders whose rows were asked for while they loaded: answered as none
    // until they are loaded, when their rows are inserted.
    mutable QHash<const MediaFolder*, Node*> _pending;
    // Places of folders that went while expanded or selected, expanded or
    // selected again when a folder comes back there.
    QList<QStringList> _rememberedExpanded;
    QStringList _rememberedSelection;
    mutable QHash<qint64, QIcon> _icons; // by the folder image's cache key
};
