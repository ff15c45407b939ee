#include "model/LocalFolder.h"

#include "model/Photo.h"
#include "model/QVMovie.h"
#include "model/QVTrack.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"

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
    if (!FileSystem::exists(expanded)) {
        return nullptr;
    }
    return std::make_shared<LocalFolder>(expanded, type);
}

LocalFolder::LocalFolder(const QString& expandedPath, int type)
    : MediaFolder(Path::deletingExtension(Path::lastComponent(expandedPath)), MediaFolder::icon(kFolderIcon))
    , _path(expandedPath)
    , _type(type) {
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

void LocalFolder::loadFolder() {
    FileSystem::forEachEntryPath(_path, [this](const FileSystem::DirectoryEntryPath& entry) {
        if (entry.name().startsWith(QLatin1Char('.'))) {
            return true;
        }
        const QString& path = entry.path;
        switch (entry.type) {
        case FileSystem::EntryType::Directory:
            switch (getFolderType(path)) {
            case IMovieProject:
                if (_type == Movies) {
                    addFile(QVMovie::createWithIMovie(path));
                }
                break;
            case OrdinaryDirectory:
                // The directory may have vanished since it was listed.
                if (LocalFolderPtr folder = create(path, _type)) {
                    addFolder(folder);
                }
                break;
            default: // library directories have folders of their own
                break;
            }
            break;
        case FileSystem::EntryType::Regular:
            addFile(makeItem(path, _type));
            break;
        default: // links, FIFOs, sockets, devices
            break;
        }
        return true;
    });
}

bool LocalFolder::loadExpandable() {
    bool expandable = false;
    FileSystem::forEachEntry(_path, [&](const FileSystem::DirectoryEntry& entry) {
        expandable = entry.type == FileSystem::EntryType::Directory;
        return !expandable;
    });
    return expandable;
}
