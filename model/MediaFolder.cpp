#include "model/MediaFolder.h"

#include "model/FolderMerge.h"
#include "platform/system/NotificationCenter.h"
#include "platform/system/Resources.h"

#include <iterator>
#include <utility>

const char MediaFolderSubFoldersChanged[] = "MediaFolderSubFoldersChangedNotification";
const char MediaFolderFilesChanged[] = "MediaFolderFilesChangedNotification";
const char MediaFolderLoadStateChanged[] = "MediaFolderLoadStateChangedNotification";

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

void MediaFolder::loadInBackground() {
    lazyLoad();
}

MediaFolder::LoadState MediaFolder::loadState() const {
    return _initialised ? LoadState::Loaded : LoadState::NotLoaded;
}

int MediaFolder::loadPercent() const {
    return -1;
}

void MediaFolder::replaceContents(std::vector<MediaFolderPtr> folders, std::vector<MediaItemPtr> files,
                                  std::shared_ptr<const SearchIndex::Folded> searchTexts) {
    lazyLoad();
    const bool foldersDiffer = folders != _folders;
    const bool filesDiffer = files != *_files;
    if (foldersDiffer) {
        for (const auto& folder : _folders) {
            folder->_parent = nullptr;
        }
        for (const auto& folder : folders) {
            folder->_parent = this;
        }
        // The old list is released only once the new one is in place: the
        // objects it alone held may post from their destructors.
        std::swap(_folders, folders);
    }
    std::shared_ptr<std::vector<MediaItemPtr>> oldFiles;
    if (filesDiffer) {
        oldFiles = std::exchange(_files, std::make_shared<std::vector<MediaItemPtr>>(std::move(files)));
        _searchTexts = std::move(searchTexts);
    } else if (searchTexts && !_searchTexts) {
        _searchTexts = std::move(searchTexts);
    }
    if (foldersDiffer) {
        foldersChanged();
    }
    if (filesDiffer && !_suppressNotify) {
        NotificationCenter::defaultCenter().postNotification(MediaFolderFilesChanged, this);
    }
}

void MediaFolder::reorderFiles(std::vector<MediaItemPtr> files,
                               std::shared_ptr<const SearchIndex::Folded> searchTexts) {
    lazyLoad();
    // A sort starts the list over even when it leaves the order as it was.
    const bool sameOrder = files == *_files;
    _reordering = true;
    replaceContents(_folders, std::move(files), std::move(searchTexts));
    if (sameOrder && !_suppressNotify) {
        NotificationCenter::defaultCenter().postNotification(MediaFolderFilesChanged, this);
    }
    _reordering = false;
}

void MediaFolder::adopt(MediaFolder& fresh) {
    _name = fresh._name;
    _icon = fresh._icon;
    if (!fresh._initialised || !_initialised) {
        return; // a folder that reads itself: it follows its own source
    }
    std::vector<MediaFolderPtr> folders = FolderMerge::mergeFolders(_folders, std::move(fresh._folders));
    std::vector<MediaItemPtr> files = std::move(*fresh._files);
    replaceContents(std::move(folders), std::move(files), std::move(fresh._searchTexts));
}

void MediaFolder::substituteItems(const std::unordered_map<const MediaItem*, MediaItemPtr>& keptFor) {
    if (keptFor.empty()) {
        return;
    }
    for (MediaItemPtr& item : *_files) {
        if (const auto found = keptFor.find(item.get()); found != keptFor.end()) {
            item = found->second;
        }
    }
    for (const MediaFolderPtr& folder : _folders) {
        folder->substituteItems(keptFor);
    }
}

void MediaFolder::setSearchTexts(std::shared_ptr<const SearchIndex::Folded> texts,
                                 const std::shared_ptr<const std::vector<MediaItemPtr>>& snapshot) {
    if (snapshot == _files) {
        _searchTexts = std::move(texts);
    }
}

void MediaFolder::setContents(MediaFolderContents&& contents) {
    for (const auto& folder : contents.folders) {
        folder->_parent = this;
    }
    _folders.insert(_folders.end(), std::make_move_iterator(contents.folders.begin()),
                    std::make_move_iterator(contents.folders.end()));
    if (_files->empty() && _files.use_count() == 1) {
        // The usual first load: the reader's list itself, not a copy of it,
        // so that the main thread neither copies nor releases a million items.
        *_files = std::move(contents.files);
        _searchTexts = std::move(contents.searchTexts);
    } else {
        std::vector<MediaItemPtr>& files = writableFiles();
        files.insert(files.end(), contents.files.begin(), contents.files.end());
    }
    _initialised = true;
}

MediaFolderPtr MediaFolder::makeLoaded(const QString& name, const QImage& icon, MediaFolderContents contents,
                                       const QString& identity) {
    auto folder = std::make_shared<MediaFolder>(name, icon);
    folder->_identity = identity;
    folder->setContents(std::move(contents));
    return folder;
}

const std::vector<MediaFolderPtr>& MediaFolder::folders() {
    lazyLoad();
    return _folders;
}

const std::vector<MediaItemPtr>& MediaFolder::files() {
    lazyLoad();
    return *_files;
}

std::shared_ptr<const std::vector<MediaItemPtr>> MediaFolder::filesSnapshot() {
    lazyLoad();
    return _files;
}

std::vector<MediaItemPtr>& MediaFolder::writableFiles() {
    // Safe to ask on the main thread: other holders only ever let go of it.
    if (_files.use_count() > 1) {
        _files = std::make_shared<std::vector<MediaItemPtr>>(*_files);
    }
    _searchTexts.reset(); // the caller is about to change the files
    return *_files;
}

bool MediaFolder::isEmpty() {
    return folders().empty() && _files->empty();
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
    writableFiles().push_back(item);
    if (!_suppressNotify) {
        NotificationCenter::defaultCenter().postNotification(MediaFolderFilesChanged, this);
    }
}

void MediaFolder::addFiles(std::vector<MediaItemPtr> items) {
    std::vector<MediaItemPtr>& files = writableFiles();
    files.insert(files.end(), items.begin(), items.end());
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
    std::shared_ptr<std::vector<MediaItemPtr>> removed =
        std::exchange(_files, std::make_shared<std::vector<MediaItemPtr>>());
    _searchTexts.reset();
    removed.reset();
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
