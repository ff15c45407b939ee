#pragma once

#include "model/FolderLoad.h"
#include "model/MediaItem.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QVMediaBrowser/Notifications.h>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

// Posted with a folder whose background load started, progressed or ended.
extern const char MediaFolderLoadStateChanged[];

class MediaFolder;
using MediaFolderPtr = std::shared_ptr<MediaFolder>;

// A node of the source tree: a named folder with an icon, sub-folders and
// media items. Subclasses fill it lazily in loadFolder(), which runs once, the
// first time the sub-folders or items are asked for, with the folder's
// notifications suppressed. isExpandable() answers without loading, through
// the cheaper loadExpandable() hook.
//
// Folders that read a source (a directory, a catalogue) do so on a worker and
// follow it afterwards: see SourceFolder. They change their lists in place
// through replaceContents(), which keeps the objects that remain, so that the
// outline and the lists can apply what changed instead of starting over.
class MediaFolder {
public:
    enum class LoadState { NotLoaded, Loading, Loaded, Failed };

    MediaFolder();
    MediaFolder(const QString& name, const QImage& icon);
    virtual ~MediaFolder();

    MediaFolder(const MediaFolder&) = delete;
    MediaFolder& operator=(const MediaFolder&) = delete;

    // The process-wide folder icon cache, by short icon name. Null until the
    // first loadBundleIcon().
    static QHash<QString, QImage>* _icons;
    // Reads the named image resource and caches it under name (replacing any
    // earlier image); a resource that cannot be read leaves no entry.
    static void loadBundleIcon(const QString& name, const QString& resource);
    // The cached image under name, or a null image.
    static QImage icon(const QString& name);

    // Runs loadFolder() once in the folder's life.
    void lazyLoad();
    // Starts the first load without waiting for it where the folder reads a
    // source on a worker; otherwise loads now.
    virtual void loadInBackground();
    virtual LoadState loadState() const;
    // Whole percentage of the source read while loading, or -1 when unknown.
    virtual int loadPercent() const;
    // Whether the folder's items still lack texts that searching and sorting
    // need and that are being read on a worker (the tags of a directory's
    // tracks): lists wait for them instead of reading files themselves.
    virtual bool detailsPending() const { return false; }

    // A folder holding contents already read, as loaded; posts nothing, so a
    // reader may build its sub-folders with it on a worker. identity: see identity().
    static MediaFolderPtr makeLoaded(const QString& name, const QImage& icon, MediaFolderContents contents,
                                     const QString& identity = QString());

    // The live lists (loaded first).
    const std::vector<MediaFolderPtr>& folders();
    const std::vector<MediaItemPtr>& files();
    // The files as they are now (loaded first): a list that never changes,
    // which a reader on another thread or a list may keep while the folder
    // moves on. Shared until the folder's files next change.
    std::shared_ptr<const std::vector<MediaItemPtr>> filesSnapshot();
    // The files' texts folded for searching, when the load made them (null
    // otherwise, and after any change of the files).
    std::shared_ptr<const SearchIndex::Folded> searchTexts() const { return _searchTexts; }
    // Folds the files' texts for searching now: for a reader, on its own
    // thread, before anyone else sees the folder.
    void foldForSearch() { _searchTexts = SearchIndex::fold(*_files); }
    // Takes texts folded elsewhere for the files of snapshot; ignored when the
    // files have changed since.
    void setSearchTexts(std::shared_ptr<const SearchIndex::Folded> texts,
                        const std::shared_ptr<const std::vector<MediaItemPtr>>& snapshot);
    bool isEmpty();
    // Whether the folder has (or, before loading, will have) sub-folders. Never loads.
    bool isExpandable();

    void addFolder(const MediaFolderPtr& folder);
    void addFolders(std::vector<MediaFolderPtr> folders);
    // A null item is ignored: no append, no notification.
    void addFile(const MediaItemPtr& item);
    void addFiles(std::vector<MediaItemPtr> items);
    void removeAllFolders();
    void removeAllFiles();
    void removeAll();
    // Announces a sub-folder change here and in every ancestor, nearest first.
    void foldersChanged();

    // Replaces the lists (loaded first), posting only what changed: the
    // sub-folder notification when the sub-folders are other objects or in
    // another order, the files notification when the items are. Callers keep
    // the objects that remain (FolderMerge), so that whoever shows the folder
    // can tell what was inserted and removed.
    void replaceContents(std::vector<MediaFolderPtr> folders, std::vector<MediaItemPtr> files,
                         std::shared_ptr<const SearchIndex::Folded> searchTexts = nullptr);
    // Puts the items in another order (a sort), posting the files change;
    // observers can tell it from other changes by filesReordered().
    void reorderFiles(std::vector<MediaItemPtr> files,
                      std::shared_ptr<const SearchIndex::Folded> searchTexts = nullptr);
    // While the files change is posted: whether the same items only changed order.
    bool filesReordered() const { return _reordering; }
    // Takes over what fresh, a folder read again for the same place, was
    // given: name and icon, and when fresh was read already its contents,
    // merged into this folder's (see FolderMerge::mergeFolders).
    void adopt(MediaFolder& fresh);
    // Puts the kept object in place of each fresh one that keptFor names, in
    // this folder and below: for a reader, on its own thread, before anyone
    // else sees the folders.
    void substituteItems(const std::unordered_map<const MediaItem*, MediaItemPtr>& keptFor);

    // The order the user chose for the items (a column of the music table
    // clicked), kept by every read again: items that come are placed by it.
    // None (the default): the source's own order.
    using ItemOrder = std::function<bool(MediaItem& a, MediaItem& b)>;
    void setItemOrder(ItemOrder order) { _itemOrder = std::move(order); }
    const ItemOrder& itemOrder() const { return _itemOrder; }

    QString name() const { return _name; }
    void setName(const QString& name) { _name = name; }
    QImage icon() const { return _icon; }
    void setIcon(const QImage& icon) { _icon = icon; }
    MediaFolder* parent() const { return _parent; }
    // What the folder stands for across reads of its source: a directory's
    // path, a catalogue group's own id; else its name. Folders of the same
    // identity under the same parent are the same place for the user.
    virtual QString identity() const { return _identity.isNull() ? _name : _identity; }

    bool isLoaded() const { return _initialised; }
    // Whether the folder's source is there: a network source that went away
    // is kept, greyed out, until it comes back. Changes are posted as
    // MediaFolderLoadStateChanged.
    virtual bool isAvailable() const { return true; }

protected:
    // Hook: fills the folder on the main thread. Must not ask this folder for
    // folders(), files() or isEmpty().
    virtual void loadFolder();
    // Hook: whether the folder will have sub-folders once loaded.
    virtual bool loadExpandable();
    // Takes contents read elsewhere into the empty lists (nothing posted);
    // the folder counts as loaded afterwards.
    void setContents(MediaFolderContents&& contents);
    void setIdentity(const QString& identity) { _identity = identity; }

private:
    MediaFolder* _parent = nullptr; // back reference, not owned
    std::vector<MediaFolderPtr> _folders;
    // Replaced, not changed, while anyone else holds it (filesSnapshot()).
    std::shared_ptr<std::vector<MediaItemPtr>> _files = std::make_shared<std::vector<MediaItemPtr>>();
    // The files list, made writable: copied first when it is shared.
    std::vector<MediaItemPtr>& writableFiles();
    std::shared_ptr<const SearchIndex::Folded> _searchTexts; // of *_files, when known
    bool _expandable = false;
    QString _name;
    QString _identity;
    QImage _icon;
    ItemOrder _itemOrder;
    bool _initialised = false;
    bool _expandInitd = false;
    bool _suppressNotify = false;
    bool _reordering = false;
};
