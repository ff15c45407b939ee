#include "sources/local/LocalFolder.h"

#include "model/FolderWatcher.h"
#include "model/Photo.h"
#include "model/QVMovie.h"
#include "model/QVTrack.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "platform/system/SlowFileSystems.h"

namespace {

const QString kFolderIcon = QStringLiteral("folder");

// Registers the folder icon once per process, when the first local folder is
// made: reading the same resource again for every sub-folder would change
// nothing but cost a decode each time.
void registerFolderIcon() {
    static const bool registered = [] {
        MediaFolder::loadBundleIcon(kFolderIcon, QStringLiteral("sl-icon_folder.tiff"));
        return true;
    }();
    (void)registered;
}

} // namespace

LocalFolderPtr LocalFolder::create(const QString& path, int type) {
    registerFolderIcon();
    const QString expanded = Path::expandTilde(path);
    // A folder on a slow file system is not asked whether it is there (a
    // sleeping NAS would hold up the window); reading it will tell.
    if (!SlowFileSystems::isSlow(expanded) && !FileSystem::exists(expanded)) {
        return nullptr;
    }
    return std::make_shared<LocalFolder>(expanded, type);
}

LocalFolder::LocalFolder(const QString& expandedPath, int type)
    : LocalFolder(expandedPath, type, MediaFolder::icon(kFolderIcon)) {
}

LocalFolder::LocalFolder(const QString& expandedPath, int type, const QImage& folderIcon)
    : MediaFolder(Path::deletingExtension(Path::lastComponent(expandedPath)), folderIcon)
    , _path(expandedPath)
    , _type(type)
    , _folderIcon(folderIcon) {
}

LocalFolder::~LocalFolder() {
    if (_watched) {
        FolderWatcher::shared().unwatch(_path, this);
    }
}

void LocalFolder::didLoad() {
    if (!_watched) {
        _watched = FolderWatcher::shared().watch(_path, this, [this] { reloadInBackground(); });
    }
}

namespace {

// The file an item of a local folder stands for.
QString pathOf(const MediaItemPtr& item) {
    if (const auto* photo = dynamic_cast<const Photo*>(item.get())) {
        return photo->path();
    }
    return Path::localPath(item->url()); // tracks and movies
}

} // namespace

void LocalFolder::mergeContents(MediaFolderContents&& contents) {
    QHash<QString, MediaItemPtr> oldFiles;
    for (const MediaItemPtr& item : files()) {
        oldFiles.insert(pathOf(item), item);
    }
    QHash<QString, MediaFolderPtr> oldFolders;
    for (const MediaFolderPtr& folder : folders()) {
        oldFolders.insert(static_cast<const LocalFolder&>(*folder).path(), folder);
    }
    bool filesChanged = contents.files.size() != files().size();
    for (MediaItemPtr& item : contents.files) {
        if (const MediaItemPtr kept = oldFiles.value(pathOf(item))) {
            item = kept;
        } else {
            filesChanged = true;
        }
    }
    bool foldersChanged = contents.folders.size() != folders().size();
    for (MediaFolderPtr& folder : contents.folders) {
        if (const MediaFolderPtr kept = oldFolders.value(static_cast<const LocalFolder&>(*folder).path())) {
            folder = kept;
        } else {
            foldersChanged = true;
        }
    }
    if (!filesChanged && !foldersChanged) {
        // Same set: keep the order the directory now lists them in only when it matters.
        if (std::equal(contents.files.begin(), contents.files.end(), files().begin()) &&
            std::equal(contents.folders.begin(), contents.folders.end(), folders().begin())) {
            return;
        }
    }
    replaceContents(std::move(contents.folders), std::move(contents.files), foldersChanged);
}

int LocalFolder::getFolderType(const QString& path) {
    if (Path::extension(path) == QLatin1String("iMovieProject")) {
        return IMovieProject;
    }
    int kind = OrdinaryDirectory;
    FileSystem::forEachEntry(path, [&](const FileSystem::DirectoryEntry& entry) {
        if (Path::extension(entry.name) == QLatin1String("iMovieProj")) {
            kind = IMovieProject;
        } else if (entry.name == QLatin1String("AlbumData.xml")) {
            kind = IPhotoLibraryDirectory;
        } else if (entry.name == QLatin1String("iTunes Music Library.xml")) {
            kind = ITunesLibraryDirectory;
        }
        return kind == OrdinaryDirectory;
    });
    return kind;
}

MediaItemPtr LocalFolder::makeItem(const QString& path, int type) {
    switch (type) {
    case Pictures:
        return Photo::photoFromFile(path);
    case Music:
        return QVTrack::trackFromFile(path);
    case Movies:
        return QVMovie::movieFromFile(path);
    default:
        return nullptr;
    }
}

MediaFolderReader LocalFolder::reader() const {
    return [path = _path, type = _type, icon = _folderIcon](LoadProgress& progress) {
        MediaFolderContents contents;
        contents.failed =
            !FileSystem::forEachEntryPath(path, [&](const FileSystem::DirectoryEntryPath& entry) {
                if (entry.name().startsWith(QLatin1Char('.'))) {
                    return !progress.isCancelled();
                }
                const QString& entryPath = entry.path;
                switch (entry.type) {
                case FileSystem::EntryType::Directory:
                    switch (getFolderType(entryPath)) {
                    case IMovieProject:
                        if (type == Movies) {
                            if (MediaItemPtr movie = QVMovie::createWithIMovie(entryPath)) {
                                contents.files.push_back(std::move(movie));
                            }
                        }
                        break;
                    case OrdinaryDirectory:
                        // The directory may have vanished since it was listed.
                        if (FileSystem::exists(entryPath)) {
                            contents.folders.push_back(std::make_shared<LocalFolder>(entryPath, type, icon));
                        }
                        break;
                    default: // library directories have folders of their own
                        break;
                    }
                    break;
                case FileSystem::EntryType::Regular:
                    if (MediaItemPtr item = makeItem(entryPath, type)) {
                        contents.files.push_back(std::move(item));
                    }
                    break;
                default: // links, FIFOs, sockets, devices
                    break;
                }
                return !progress.isCancelled();
            });
        return contents;
    };
}

bool LocalFolder::loadExpandable() {
    // The outline asks this for every folder it shows: the directory's link
    // count answers without listing a folder of many thousand files (or one on
    // a slow mount) on the main thread; only where the file system keeps no
    // such count are the entries walked to the first directory. On a network
    // or FUSE file system even that stat may wait on a server: such a folder
    // says it may have sub-folders, and opening it tells.
    if (SlowFileSystems::isSlow(_path)) {
        return true;
    }
    if (const int subdirectories = FileSystem::subdirectoryCount(_path); subdirectories >= 0) {
        return subdirectories > 0;
    }
    bool expandable = false;
    FileSystem::forEachEntry(_path, [&](const FileSystem::DirectoryEntry& entry) {
        expandable = entry.type == FileSystem::EntryType::Directory;
        return !expandable;
    });
    return expandable;
}
