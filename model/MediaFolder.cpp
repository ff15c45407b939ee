#include "model/MediaFolder.h"

#include "platform/NotificationCenter.h"
#include "platform/Resources.h"

const char MediaFolderSubFoldersChanged[] = "MediaFolderSubFoldersChangedNotification";
const char MediaFolderFilesChanged[] = "MediaFolderFilesChangedNotification";

QHash<QString, QImage>* MediaFolder::_icons = nullptr;

MediaFolder::MediaFolder() = default;

MediaFolder::MediaFolder(const QString& name, const QImage& icon)
    : _name(name)
    , _icon(icon) {
}

MediaFolder::~MediaFolder() {
    removeAll();
}

void MediaFolder::loadBundleIcon(const QString& name, const QString& resource) {
    if (_icons == nullptr) {
        _icons = new QHash<QString, QImage>(); // lives until the process ends
        _icons->reserve(10);
    }
    const QImage image = Resources::image(resource);
    if (image.isNull()) {
        _icons->remove(name);
        return;
    }
    _icons->insert(name, image);
}

QImage MediaFolder::icon(const QString& name) {
    return _icons == nullptr ? QImage() : _icons->value(name);
}

void MediaFolder::lazyLoad() {
    if (_initialised) {
        return;
    }
    const bool wasSuppressed = _suppressNotify;
    _suppressNotify = true;
    loadFolder();
    _initialised = true;
    _suppressNotify = wasSuppressed;
}

const std::vector<MediaFolderPtr>& MediaFolder::folders() {
    lazyLoad();
    return _folders;
}

const std::vector<MediaItemPtr>& MediaFolder::files() {
    lazyLoad();
    return _files;
}

bool MediaFolder::isEmpty() {
    return folders().empty() && _files.empty();
}

bool MediaFolder::isExpandable() {
    if (_initialised) {
        return !_folders.empty();
    }
    if (_expandInitd) {
        return _expandable;
    }
    _expandInitd = true;
    const bool wasSuppressed = _suppressNotify;
    _suppressNotify = true;
    const bool expandable = loadExpandable();
    _suppressNotify = wasSuppressed;
    _expandable = expandable;
    return _expandable;
}

void MediaFolder::addFolder(const MediaFolderPtr& folder) {
    folder->_parent = this;
    _folders.push_back(folder);
    foldersChanged();
}

void MediaFolder::addFolders(std::vector<MediaFolderPtr> folders) {
    _folders.insert(_folders.end(), folders.begin(), folders.end());
    for (const auto& folder : _folders) {
        folder->_parent = this;
    }
    foldersChanged();
}

void MediaFolder::addFile(const MediaItemPtr& item) {
    if (!item) {
        return;
    }
    _files.push_back(item);
    if (!_suppressNotify) {
        NotificationCenter::defaultCenter().postNotification(MediaFolderFilesChanged, this);
    }
}

void MediaFolder::addFiles(std::vector<MediaItemPtr> items) {
    _files.insert(_files.end(), items.begin(), items.end());
    if (!_suppressNotify) {
        NotificationCenter::defaultCenter().postNotification(MediaFolderFilesChanged, this);
    }
}

void MediaFolder::removeAllFolders() {
    for (const auto& folder : _folders) {
        folder->_parent = nullptr;
    }
    // Release the sub-folders only after the list is empty: their destructors post too.
    std::vector<MediaFolderPtr> removed;
    removed.swap(_folders);
    removed.clear();
    foldersChanged();
}

void MediaFolder::removeAllFiles() {
    std::vector<MediaItemPtr> removed;
    removed.swap(_files);
    removed.clear();
    if (!_suppressNotify) {
        NotificationCenter::defaultCenter().postNotification(MediaFolderFilesChanged, this);
    }
}

void MediaFolder::removeAll() {
    removeAllFolders();
    removeAllFiles();
}

void MediaFolder::foldersChanged() {
    if (_suppressNotify) {
        return;
    }
    NotificationCenter::defaultCenter().postNotification(MediaFolderSubFoldersChanged, this);
    if (_parent != nullptr) {
        _parent->foldersChanged();
    }
}

void MediaFolder::loadFolder() {
}

bool MediaFolder::loadExpandable() {
    return false;
}
