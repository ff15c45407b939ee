#include "sources/catalogues/PhotosLibraryFolder.h"

#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "prefs/UserPreferences.h"

void PhotosLibraryFolder::addToRoots(const CatalogueRoots& roots) {
    for (const QString& bundle : libraryPaths()) {
        const QString name = Path::deletingExtension(Path::lastComponent(bundle));
        if (roots.photos != nullptr) {
            roots.photos->addFolder(
                std::make_shared<PhotosLibraryFolder>(name, bundle, PhotosLibraryReader::Media::Pictures));
        }
        if (roots.movies != nullptr) {
            roots.movies->addFolder(
                std::make_shared<PhotosLibraryFolder>(name, bundle, PhotosLibraryReader::Media::Videos));
        }
    }
}

QStringList PhotosLibraryFolder::libraryPaths() {
    QStringList directories{Path::homeDirectory() + QStringLiteral("/Pictures")};
    for (const QString& path : QStringList(UserPreferences::sharedPreferences()->picturePaths())) {
        const QString expanded = Path::expandTilde(path);
        if (!directories.contains(expanded)) {
            directories << expanded;
        }
    }
    QStringList found;
    for (const QString& directory : directories) {
        FileSystem::forEachEntry(directory, [&](const FileSystem::DirectoryEntry& entry) {
            const QString bundle = directory + QLatin1Char('/') + entry.name;
            if (entry.name.endsWith(QLatin1String(".photoslibrary"), Qt::CaseInsensitive) &&
                FileSystem::isRegularFile(PhotosLibraryReader::databaseOf(bundle)) &&
                !found.contains(bundle)) {
                found << bundle;
            }
            return true;
        });
    }
    return found;
}

PhotosLibraryFolder::PhotosLibraryFolder(const QString& name, const QString& bundle,
                                         PhotosLibraryReader::Media media)
    : CatalogueFolder(name, Library::Pictures)
    , _bundle(bundle)
    , _media(media) {
}

CatalogueReader PhotosLibraryFolder::catalogueReader() const {
    return [bundle = _bundle, media = _media](LoadProgress& progress) {
        return PhotosLibraryReader::read(bundle, media, progress);
    };
}
