#include "model/MediaFolder.h"

#include "platform/system/NotificationCenter.h"
#include "platform/system/Resources.h"

#include <QCoreApplication>

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
    if (_job) {
        _job->cancel();
    }
    if (_reloadJob) {
        _reloadJob->cancel();
    }
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
    if (_job) {
        // The worker's result is published now; its queued delivery later
        // only tells the observers that have waited for it.
        setContents(_job->take());
    } else {
        _loadState = LoadState::Loaded;
        loadFolder();
    }
    _initialised = true;
    _suppressNotify = wasSuppressed;
}

void MediaFolder::loadInBackground() {
    if (_initialised || _job) {
        return;
    }
    MediaFolderReader read = reader();
    if (!read || QCoreApplication::instance() == nullptr) {
        lazyLoad();
        return;
    }
    _job = std::make_shared<FolderLoadJob>(std::move(read));
    _loadState = LoadState::Loading;
    NotificationCenter& center = NotificationCenter::defaultCenter();
    FolderLoadJob::start(
        _job, [this] { deliverLoad(); },
        [this, &center] { center.postNotification(MediaFolderLoadStateChanged, this); });
    center.postNotification(MediaFolderLoadStateChanged, this);
}

void MediaFolder::deliverLoad() {
    const std::shared_ptr<FolderLoadJob> job = std::move(_job);
    if (!job->isTaken()) {
        setContents(job->take());
        _initialised = true;
    }
    // In one step: the lists are complete before anyone is told.
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.postNotification(MediaFolderFilesChanged, this);
    center.postNotification(MediaFolderLoadStateChanged, this);
    didLoad();
    if (_reloadAgain) {
        _reloadAgain = false;
        reloadInBackground();
    }
}

void MediaFolder::reloadInBackground() {
    if (!_initialised && !_job) {
        return; // never loaded: the first load will read it as it is
    }
    if (_job || _reloadJob) {
        _reloadAgain = true;
        return;
    }
    MediaFolderReader read = reader();
    if (!read || QCoreApplication::instance() == nullptr) {
        return;
    }
    _reloadJob = std::make_shared<FolderLoadJob>(std::move(read));
    FolderLoadJob::start(_reloadJob, [this] { deliverReload(); }, {});
}

void MediaFolder::deliverReload() {
    const std::shared_ptr<FolderLoadJob> job = std::move(_reloadJob);
    mergeContents(job->take());
    if (_reloadAgain) {
        _reloadAgain = false;
        reloadInBackground();
    }
}

void MediaFolder::didLoad() {
}

void MediaFolder::mergeContents(MediaFolderContents&& contents) {
    replaceContents(std::move(contents.folders), std::move(contents.files), true,
                    std::move(contents.searchTexts));
}

void MediaFolder::replaceContents(std::vector<MediaFolderPtr> folders, std::vector<MediaItemPtr> files,
                                  bool foldersChanged,
                                  std::shared_ptr<const SearchIndex::Folded> searchTexts) {
    for (const auto& folder : _folders) {
        folder->_parent = nullptr;
    }
    for (const auto& folder : folders) {
        folder->_parent = this;
    }
    // The old lists are released only once the new ones are in place: their
    // objects' destructors may post.
    std::swap(_folders, folders);
    const std::shared_ptr<std::vector<MediaItemPtr>> oldFiles =
        std::exchange(_files, std::make_shared<std::vector<MediaItemPtr>>(std::move(files)));
    _searchTexts = std::move(searchTexts);
    NotificationCenter& center = NotificationCenter::defaultCenter();
    if (foldersChanged) {
        this->foldersChanged();
    }
    center.postNotification(MediaFolderFilesChanged, this);
}

int MediaFolder::loadPercent() const {
    return _job ? _job->percent() : -1;
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
    _loadState = contents.failed ? LoadState::Failed : LoadState::Loaded;
}

MediaFolderPtr MediaFolder::makeLoaded(const QString& name, const QImage& icon,
                                       MediaFolderContents contents) {
    auto folder = std::make_shared<MediaFolder>(name, icon);
    folder->setContents(std::move(contents));
    folder->_initialised = true;
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
    if (const MediaFolderReader read = reader()) {
        LoadProgress unobserved;
        setContents(read(unobserved));
    }
}

MediaFolderReader MediaFolder::reader() const {
    return {};
}

bool MediaFolder::loadExpandable() {
    return false;
}
