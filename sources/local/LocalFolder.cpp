#include "sources/local/LocalFolder.h"

#include "model/Photo.h"
#include "model/QVMovie.h"
#include "model/QVTrack.h"
#include "platform/system/FileSystem.h"
#include "platform/system/NameOrder.h"
#include "platform/system/NotificationCenter.h"
#include "platform/system/Path.h"
#include "platform/system/SlowFileSystems.h"

#include <QSet>

#include <cerrno>

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
    : SourceFolder(Path::deletingExtension(Path::lastComponent(expandedPath)), folderIcon)
    , _path(expandedPath)
    , _type(type)
    , _folderIcon(folderIcon) {
}

LocalFolder::~LocalFolder() {
    if (_detailsJob) {
        _detailsJob->cancel();
    }
}

SourceWatch::Targets LocalFolder::watchTargets() const {
    return {{_path}, {}};
}

bool LocalFolder::canBeOrdered(MediaItem& item) const {
    if (auto* track = dynamic_cast<QVTrack*>(&item)) {
        return track->hasDetails();
    }
    if (auto* movie = dynamic_cast<QVMovie*>(&item)) {
        return movie->hasName();
    }
    return true;
}

bool LocalFolder::detailsPending() const {
    return _detailsJob != nullptr;
}

void LocalFolder::didPublish() {
    if (_type == Pictures || _detailsJob) {
        return;
    }
    // Tracks and movies that do not know their tags or titles yet: listed
    // ones, and any that a read again added.
    _detailing.clear();
    _detailingFiles = filesSnapshot();
    QStringList paths;
    std::vector<std::size_t> positions; // of the items detailed, among the files
    for (std::size_t i = 0; i < _detailingFiles->size(); ++i) {
        const MediaItemPtr& item = (*_detailingFiles)[i];
        if (auto* track = dynamic_cast<QVTrack*>(item.get()); track && !track->hasDetails()) {
            paths.append(track->filePath());
        } else if (auto* movie = dynamic_cast<QVMovie*>(item.get()); movie && !movie->hasName()) {
            paths.append(movie->filePath());
        } else {
            continue;
        }
        _detailing.push_back(item);
        positions.push_back(i);
    }
    if (paths.isEmpty()) {
        _detailingFiles.reset();
        return;
    }
    // The files are kept alive by the job until it is back on the main thread,
    // so nothing is let go here. The other items' texts are known and no longer
    // change: the worker may read them to fold every text for searching.
    _detailsJob = std::make_shared<FolderLoadJob>(
        [paths, positions, files = _detailingFiles, music = _type == Music](LoadProgress& progress) {
            // Each path's details, in the same order, carried by items made for the purpose.
            MediaFolderContents details;
            details.files.reserve(static_cast<std::size_t>(paths.size()));
            for (qsizetype i = 0; i < paths.size() && !progress.isCancelled(); ++i) {
                if (music) {
                    QVTrack::Details read = QVTrack::readDetails(paths[i]);
                    details.files.push_back(
                        std::make_shared<QVTrack>(read.title, read.artist, read.length, QUrl()));
                } else {
                    auto movie = std::make_shared<QVMovie>(QUrl());
                    movie->setName(QVMovie::readName(paths[i]));
                    details.files.push_back(std::move(movie));
                }
                progress.setFraction(static_cast<double>(i + 1) / static_cast<double>(paths.size()));
            }
            if (!progress.isCancelled()) {
                // Folded here, so that the search waiting for the tags finds them ready.
                std::vector<MediaItemPtr> texts = *files;
                for (std::size_t i = 0; i < positions.size(); ++i) {
                    texts[positions[i]] = details.files[i];
                }
                details.searchTexts = SearchIndex::fold(texts);
            }
            return details;
        });
    FolderLoadJob::start(_detailsJob, [this] { detailsArrived(); }, {});
    NotificationCenter::defaultCenter().postNotification(MediaFolderLoadStateChanged, this);
}

void LocalFolder::detailsArrived() {
    MediaFolderContents details = std::exchange(_detailsJob, nullptr)->take();
    const std::vector<MediaItemPtr> detailing = std::move(_detailing);
    _detailing.clear();
    const std::shared_ptr<const std::vector<MediaItemPtr>> detailedFiles = std::move(_detailingFiles);
    for (std::size_t i = 0; i < details.files.size() && i < detailing.size(); ++i) {
        if (auto* track = dynamic_cast<QVTrack*>(detailing[i].get())) {
            auto& read = static_cast<QVTrack&>(*details.files[i]);
            track->setDetails({read.name(), read.artist(), read.length()});
        } else if (auto* movie = dynamic_cast<QVMovie*>(detailing[i].get())) {
            movie->setName(details.files[i]->name());
        }
    }
    // In the user's order, those placed at the end until their texts were known
    // (then the texts folded in the listing's order do not serve).
    if (!itemOrder()) {
        setSearchTexts(std::move(details.searchTexts), detailedFiles);
    } else {
        std::vector<MediaItemPtr> kept;
        QSet<const MediaItem*> detailed;
        for (const MediaItemPtr& item : detailing) {
            detailed.insert(item.get());
        }
        for (const MediaItemPtr& item : files()) {
            if (!detailed.contains(item.get())) {
                kept.push_back(item);
            }
        }
        const std::vector<MediaItemPtr> now = files();
        replaceContents(folders(),
                        FolderMerge::keepOrder(kept, now, itemOrder(), [](MediaItem&) { return true; }));
    }
    // Lists that wait to search or sort take it from here; tables redraw.
    NotificationCenter::defaultCenter().postNotification(MediaFolderLoadStateChanged, this);
    // Items a read again added meanwhile.
    didPublish();
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
        std::vector<FileSystem::DirectoryEntryPath> entries;
        const bool listed = FileSystem::forEachEntryPath(
            path,
            [&](const FileSystem::DirectoryEntryPath& entry) {
                // Links, FIFOs, sockets and devices are left out.
                if (!entry.name().startsWith(QLatin1Char('.')) &&
                    (entry.type == FileSystem::EntryType::Directory ||
                     entry.type == FileSystem::EntryType::Regular)) {
                    entries.push_back(entry);
                }
                return !progress.isCancelled();
            },
            true);
        // A directory that is gone shows empty; one that cannot be read now
        // (an I/O error, a share that stopped answering) keeps what it showed.
        if (!listed) {
            contents.failed = errno != ENOENT && errno != ENOTDIR;
            return contents;
        }
        NameOrder().sort(entries, [](const FileSystem::DirectoryEntryPath& entry) { return entry.name(); });
        for (const FileSystem::DirectoryEntryPath& entry : entries) {
            if (progress.isCancelled()) {
                return contents;
            }
            if (entry.type == FileSystem::EntryType::Regular) {
                if (MediaItemPtr item = makeItem(entry.path, type)) {
                    item->setStamp(entry.stamp);
                    contents.files.push_back(std::move(item));
                }
                continue;
            }
            switch (getFolderType(entry.path)) {
            case IMovieProject:
                if (type == Movies) {
                    if (MediaItemPtr movie = QVMovie::createWithIMovie(entry.path)) {
                        contents.files.push_back(std::move(movie));
                    }
                }
                break;
            case OrdinaryDirectory:
                contents.folders.push_back(std::make_shared<LocalFolder>(entry.path, type, icon));
                break;
            default: // library directories have folders of their own
                break;
            }
        }
        // Pictures are named after their files: their texts fold here, off the main thread.
        contents.foldForSearch = type == Pictures;
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
