#include "model/SourceFolder.h"

#include "platform/system/NotificationCenter.h"

#include <QCoreApplication>

namespace {

// Playlists and albums that hold much of a library (a catalogue's "Music"
// playlist) are folded with it; small ones fold fast enough when first searched.
void foldLargeSubFolders(const std::vector<MediaFolderPtr>& folders, const LoadProgress& progress) {
    constexpr std::size_t kLarge = 20000;
    for (const MediaFolderPtr& folder : folders) {
        if (progress.isCancelled()) {
            return;
        }
        if (folder->isLoaded()) {
            if (folder->files().size() >= kLarge) {
                folder->foldForSearch();
            }
            foldLargeSubFolders(folder->folders(), progress);
        }
    }
}

// The kind's reader, followed on the worker by what every read needs: the
// texts folded for searching, and for a read again the merge with what the
// folder showed when the read started (the items of old), so that the main
// thread only swaps lists.
MediaFolderReader mergingReader(MediaFolderReader read,
                                std::shared_ptr<const std::vector<MediaItemPtr>> old) {
    return [read = std::move(read), old = std::move(old)](LoadProgress& progress) {
        MediaFolderContents contents = read(progress);
        if (progress.isCancelled() || contents.failed || contents.unchanged) {
            return contents;
        }
        // Folded before the old objects are put back: the fresh ones are this
        // thread's alone, and a kept item shows the same texts.
        if (contents.foldForSearch && !contents.searchTexts) {
            contents.searchTexts = SearchIndex::fold(contents.files);
            foldLargeSubFolders(contents.folders, progress);
        }
        if (old) {
            FolderMerge::MergedItems merged = FolderMerge::mergeItems(*old, std::move(contents.files));
            contents.files = std::move(merged.items);
            contents.itemChanges = merged.changes;
            for (const MediaFolderPtr& folder : contents.folders) {
                folder->substituteItems(merged.keptFor);
            }
        }
        return contents;
    };
}

} // namespace

SourceFolder::SourceFolder(const QString& name, const QImage& icon)
    : MediaFolder(name, icon) {
}

SourceFolder::~SourceFolder() {
    if (_job) {
        _job->cancel();
    }
}

int SourceFolder::loadPercent() const {
    return _job && _state == LoadState::Loading ? _job->percent() : -1;
}

void SourceFolder::startWatching() {
    if (!_watch.isStarted()) {
        _watch.start(watchTargets(), [this] { sourceChanged(); });
    }
}

void SourceFolder::loadInBackground() {
    if (isLoaded() || _job) {
        return;
    }
    if (QCoreApplication::instance() == nullptr) {
        lazyLoad();
        return;
    }
    startWatching();
    setState(LoadState::Loading);
    startRead();
}

void SourceFolder::reloadInBackground() {
    if (!isLoaded() && !_job) {
        return; // never read: the first read will read it as it is
    }
    if (_job) {
        _dirty = true;
        return;
    }
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    startRead();
}

void SourceFolder::sourceChanged() {
    reloadInBackground();
}

void SourceFolder::startRead() {
    MediaFolderReader read = reader();
    if (!read) {
        return;
    }
    _job = std::make_shared<FolderLoadJob>(
        mergingReader(std::move(read), isLoaded() ? filesSnapshot() : nullptr));
    FolderLoadJob::start(
        _job, [this] { deliver(); },
        [this] { NotificationCenter::defaultCenter().postNotification(MediaFolderLoadStateChanged, this); });
}

void SourceFolder::loadFolder() {
    if (_job) {
        // The worker's result is published now; its queued delivery later
        // only tells the observers that have waited for it.
        publish(_job->take(), true);
        return;
    }
    startWatching();
    if (const MediaFolderReader read = reader()) {
        LoadProgress unobserved;
        publish(mergingReader(read, nullptr)(unobserved), true);
    }
}

void SourceFolder::deliver() {

    const std::shared_ptr<FolderLoadJob> job = std::move(_job);
    if (job->isTaken()) {
        // The first read, taken by a caller that needed the folder at once.
        NotificationCenter::defaultCenter().postNotification(MediaFolderFilesChanged, this);
    } else {
        const bool first = !isLoaded();
        publish(job->take(), first);
        if (first) {
            // In one step: the lists are complete before anyone is told.
            NotificationCenter::defaultCenter().postNotification(MediaFolderFilesChanged, this);
        }
    }
    announceState();
    didPublish();
    if (_dirty) {
        _dirty = false;
        reloadInBackground();
    }
}

void SourceFolder::publish(MediaFolderContents&& contents, bool first) {
    if (first) {
        _everRead = !contents.failed;
        setContents(std::move(contents));
        _state = _everRead ? LoadState::Loaded : LoadState::Failed;
        return;
    }
    if (contents.failed || contents.unchanged) {
        return; // what the folder shows stays; the next change reads it again
    }
    _everRead = true;
    _state = LoadState::Loaded;
    _lastChanges = contents.itemChanges;
    if (itemOrder()) {
        contents.files = FolderMerge::keepOrder(files(), contents.files, itemOrder(),
                                                [this](MediaItem& item) { return canBeOrdered(item); });
        contents.searchTexts.reset(); // folded in the source's order
    }
    std::vector<MediaFolderPtr> merged = FolderMerge::mergeFolders(folders(), std::move(contents.folders));
    replaceContents(std::move(merged), std::move(contents.files), std::move(contents.searchTexts));
}

void SourceFolder::setState(LoadState state) {
    _state = state;
    announceState();
}

void SourceFolder::announceState() {
    if (_announcedState != _state) {
        _announcedState = _state;
        NotificationCenter::defaultCenter().postNotification(MediaFolderLoadStateChanged, this);
    }
}
