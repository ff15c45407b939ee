#pragma once

#include "model/MediaItem.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QVMediaBrowser/Notifications.h>

#include <memory>
#include <vector>

class MediaFolder;
using MediaFolderPtr = std::shared_ptr<MediaFolder>;

// A node of the source tree: a named folder with an icon, sub-folders and
// media items. Subclasses fill it lazily in loadFolder(), which runs once, the
// first time the sub-folders or items are asked for, with the folder's
// notifications suppressed. isExpandable() answers without loading, through
// the cheaper loadExpandable() hook.
class MediaFolder {
public:
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

    // The live lists (loaded first).
    const std::vector<MediaFolderPtr>& folders();
    const std::vector<MediaItemPtr>& files();
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

protected:
    // Hook: fills the folder. Must not ask this folder for folders(), files() or isEmpty().
    virtual void loadFolder();
    // Hook: whether the folder will have sub-folders once loaded.
    virtual bool loadExpandable();

private:
    MediaFolder* _parent = nullptr; // back reference, not owned
    std::vector<MediaFolderPtr> _folders;
    std::vector<MediaItemPtr> _files;
    bool _expandable = false;
    QString _name;
    QImage _icon;
    bool _initialised = false;
    bool _expandInitd = false;
    bool _suppressNotify = false;
};
