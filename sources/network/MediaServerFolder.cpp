#include "sources/network/MediaServerFolder.h"

#include "platform/system/NotificationCenter.h"

namespace {

const QString kIconName = QStringLiteral("server-folder");

} // namespace

QImage MediaServerFolder::folderIcon() {
    static const bool registered = [] {
        MediaFolder::loadBundleIcon(kIconName, QStringLiteral("sl-icon_folder.tiff"));
        return true;
    }();
    (void)registered;
    return MediaFolder::icon(kIconName);
}

MediaServerFolder::MediaServerFolder(ServerContainer container, const QString& name)
    : SourceFolder(name, container.folderIcon)
    , _container(std::move(container)) {
    // The same place across reads and rebuilds: the server and its container
    // (every server calls its root "0").
    setIdentity(_container.udn + QLatin1Char('/') + _container.objectId);
}

MediaServerFolder::~MediaServerFolder() {
    if (_rest) {
        _rest->cancel();
    }
}

bool MediaServerFolder::isAvailable() const {
    return !_container.presence || _container.presence->available;
}

MediaFolderReader MediaServerFolder::reader() const {
    const ServerContainerReader reader(_container);
    if (isLoaded() || _readWholeNow) {
        // Read again: the whole container, merged in one step.
        return [reader](LoadProgress& progress) {
            return reader.readAll(progress);
        };
    }
    // The first load: the first page, published at once; the rest follows.
    auto cursor = std::make_shared<ServerContainerReader::Cursor>();
    _cursor = cursor;
    return [reader, cursor](LoadProgress& progress) {
        MediaFolderContents first;
        reader.read(*cursor, progress, 1, [&first](MediaFolderContents&& page) { first = std::move(page); });
        first.failed = cursor->failed;
        return first;
    };
}

void MediaServerFolder::loadFolder() {
    // A first page being read is taken as it is; its rest follows once it is published.
    _readWholeNow = !isReading();
    SourceFolder::loadFolder();
    _readWholeNow = false;
}

void MediaServerFolder::didPublish() {
    const std::shared_ptr<ServerContainerReader::Cursor> cursor = std::move(_cursor);
    if (!cursor || cursor->finished || cursor->failed) {
        return;
    }
    const ServerContainerReader reader(_container);
    _rest = PagedLoad::start(
        [reader, cursor](LoadProgress& progress, const PagedLoad::PageSink& page) {
            reader.read(*cursor, progress, 0, page);
        },
        [this](MediaFolderContents&& page) { appendPage(std::move(page)); }, [this] { pagesEnded(); });
}

void MediaServerFolder::appendPage(MediaFolderContents&& page) {
    _laterFolders.insert(_laterFolders.end(), std::make_move_iterator(page.folders.begin()),
                         std::make_move_iterator(page.folders.end()));
    if (!page.files.empty()) {
        addFiles(std::move(page.files));
    }
}

void MediaServerFolder::pagesEnded() {
    _rest.reset();
    // Sub-containers come in one step: the outline then changes once.
    if (!_laterFolders.empty()) {
        addFolders(std::exchange(_laterFolders, {}));
    }
}

void MediaServerFolder::serverPresenceChanged() {
    NotificationCenter::defaultCenter().postNotification(MediaFolderLoadStateChanged, this);
    if (isAvailable() && isLoaded() && loadState() == LoadState::Failed) {
        reloadInBackground();
    }
}
