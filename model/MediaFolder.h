#pragma once

#include "model/FolderLoad.h"
#include "model/MediaItem.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QVMediaBrowser/Notifications.h>

#include <memory>
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
// Kinds that read files or catalogues provide a reader() instead: a step that
// builds the contents without touching shared state. loadInBackground() runs
// it on a worker and publishes the result here on the main thread, in one
// step, posting the files and load-state notifications; a caller that asks
// for the lists meanwhile waits for the worker instead of reading again.
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

    // Runs loadFolder() once in the folder's life (or takes the running
    // background load's result, waiting for it).
    void lazyLoad();
    // Starts the first load on a worker when the folder has a reader() and an
    // event loop runs; otherwise loads now. Nothing when loaded or loading.
    void loadInBackground();
    LoadState loadState() const { return _loadState; }
    // Reads a loaded folder again on a worker and merges the result on the
    // main thread (mergeContents); a request while reading reads once more after.
    void reloadInBackground();
    // Whole percentage of the source read while loading, or -1 when unknown.
    int loadPercent() const;

    // A folder holding contents already read, as loaded; posts nothing, so a
    // reader may build its sub-folders with it on a worker.
    static MediaFolderPtr makeLoaded(const QString& name, const QImage& icon, MediaFolderContents contents);

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

    QString name() const { return _name; }
    void setName(const QString& name) { _name = name; }
    QImage icon() const { return _icon; }
    void setIcon(const QImage& icon) { _icon = icon; }
    MediaFolder* parent() const { return _parent; }

    bool isLoaded() const { return _initialised; }
    // Whether the folder's source is there: a network source that went away
    // is kept, greyed out, until it comes back. Changes are posted as
    // MediaFolderLoadStateChanged.
    virtual bool isAvailable() const { return true; }

protected:
    // Hook: fills the folder on the main thread. Must not ask this folder for
    // folders(), files() or isEmpty(). The default runs reader() right here.
    virtual void loadFolder();
    // Hook: the folder's reading step, self-contained so that it can run on a
    // worker; none (the default) when the folder fills itself in loadFolder().
    virtual MediaFolderReader reader() const;
    // Hook: the folder's first background load was published (main thread).
    virtual void didLoad();
    // Hook: takes a reload's contents. The default replaces both lists and
    // posts what changed; a subclass may keep the objects that remain.
    virtual void mergeContents(MediaFolderContents&& contents);
    // Replaces the lists with these, posting the sub-folder change when
    // foldersChanged and the files change always.
    void replaceContents(std::vector<MediaFolderPtr> folders, std::vector<MediaItemPtr> files,
                         bool foldersChanged,
                         std::shared_ptr<const SearchIndex::Folded> searchTexts = nullptr);
    // Hook: whether the folder will have sub-folders once loaded.
    virtual bool loadExpandable();

private:
    // Takes contents read elsewhere into the empty lists (nothing posted).
    void setContents(MediaFolderContents&& contents);
    void deliverLoad();
    void deliverReload();

    MediaFolder* _parent = nullptr; // back reference, not owned
    std::vector<MediaFolderPtr> _folders;
    // Replaced, not changed, while anyone else holds it (filesSnapshot()).
    std::shared_ptr<std::vector<MediaItemPtr>> _files = std::make_shared<std::vector<MediaItemPtr>>();
    // The files list, made writable: copied first when it is shared.
    std::vector<MediaItemPtr>& writableFiles();
    std::shared_ptr<const SearchIndex::Folded> _searchTexts; // of *_files, when known
    bool _expandable = false;
    QString _name;
    QImage _icon;
    bool _initialised = false;
    bool _expandInitd = false;
    bool _suppressNotify = false;
    LoadState _loadState = LoadState::NotLoaded;
    std::shared_ptr<FolderLoadJob> _job; // the background load, until delivered
    std::shared_ptr<FolderLoadJob> _reloadJob;
    bool _reloadAgain = false;
};
