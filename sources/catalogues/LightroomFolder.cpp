#include "sources/catalogues/LightroomFolder.h"

#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "prefs/UserPreferences.h"

namespace {

// Adds the catalogues in directory and in its sub-directories (Lightroom's
// own layout: "Lightroom/Lightroom Catalog.lrcat") to found, once each.
void findCatalogues(const QString& directory, int depth, QStringList& found) {
    FileSystem::forEachEntry(directory, [&](const FileSystem::DirectoryEntry& entry) {
        const QString path = directory + QLatin1Char('/') + entry.name;
        if (entry.name.endsWith(QLatin1String(".lrcat"), Qt::CaseInsensitive) &&
            FileSystem::isRegularFile(path)) {
            if (!found.contains(path)) {
                found << path;
            }
        } else if (depth > 0 && entry.type == FileSystem::EntryType::Directory &&
                   !entry.name.startsWith(QLatin1Char('.')) &&
                   !entry.name.endsWith(QLatin1String(".lrdata"))) {
            findCatalogues(path, depth - 1, found);
        }
        return true;
    });
}

} // namespace

void LightroomFolder::addToRoots(const CatalogueRoots& roots) {
    for (const QString& catalogue : cataloguePaths()) {
        const QString name = Path::deletingExtension(Path::lastComponent(catalogue));
        if (roots.photos != nullptr) {
            roots.photos->addFolder(
                std::make_shared<LightroomFolder>(name, catalogue, LightroomReader::Media::Pictures));
        }
        if (roots.movies != nullptr) {
            roots.movies->addFolder(
                std::make_shared<LightroomFolder>(name, catalogue, LightroomReader::Media::Videos));
        }
    }
}

QStringList LightroomFolder::cataloguePaths() {
    // Lightroom's own folder holds a folder per catalogue; the user's picture
    // folders, which may hold thousands of pictures, are only looked at
    // themselves.
    QStringList found;
    findCatalogues(Path::homeDirectory() + QStringLiteral("/Pictures/Lightroom"), 1, found);
    for (const QString& path : QStringList(UserPreferences::sharedPreferences()->picturePaths())) {
        findCatalogues(Path::expandTilde(path), 0, found);
    }
    return found;
}

LightroomFolder::LightroomFolder(const QString& name, const QString& catalogue, LightroomReader::Media media)
    : CatalogueFolder(name, Library::Pictures)
    , _catalogue(catalogue)
    , _media(media) {
}

CatalogueReader LightroomFolder::catalogueReader() const {
    return [catalogue = _catalogue, media = _media](LoadProgress& progress) {
        // The mounts as they are at this read: a disk plugged in since shows.
        return LightroomReader::read(catalogue, media, ForeignPaths::ofThisSystem(), progress);
    };
}
