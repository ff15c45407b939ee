#include "sources/catalogues/ShotwellFolder.h"

#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "platform/system/UserDirectories.h"

namespace {

QString firstExisting(const QStringList& paths) {
    for (const QString& path : paths) {
        if (FileSystem::exists(path)) {
            return path;
        }
    }
    return {};
}

} // namespace

void ShotwellFolder::addToRoots(const CatalogueRoots& roots) {
    const QString database = databasePath();
    if (database.isNull()) {
        return;
    }
    const QString thumbnails = thumbnailDirectory();
    if (roots.photos != nullptr) {
        roots.photos->addFolder(std::make_shared<ShotwellFolder>(QStringLiteral("Shotwell"), database,
                                                                 thumbnails, Media::Photos));
    }
    if (roots.movies != nullptr) {
        roots.movies->addFolder(std::make_shared<ShotwellFolder>(QStringLiteral("Shotwell"), database,
                                                                 thumbnails, Media::Videos));
    }
}

QString ShotwellFolder::databasePath() {
    return firstExisting({UserDirectories::dataHome() + QStringLiteral("/shotwell/data/photo.db"),
                          Path::homeDirectory() + QStringLiteral("/.shotwell/data/photo.db")});
}

QString ShotwellFolder::thumbnailDirectory() {
    QStringList candidates;
    for (const QString& base : {UserDirectories::cacheHome() + QStringLiteral("/shotwell/thumbs"),
                                Path::homeDirectory() + QStringLiteral("/.shotwell/thumbs")}) {
        candidates << base + QStringLiteral("/thumbs360") << base + QStringLiteral("/thumbs128");
    }
    return firstExisting(candidates);
}

ShotwellFolder::ShotwellFolder(const QString& name, const QString& database, const QString& thumbnails,
                               Media media)
    : CatalogueFolder(name, Library::Pictures)
    , _database(database)
    , _thumbnails(thumbnails)
    , _media(media) {
}

CatalogueReader ShotwellFolder::catalogueReader() const {
    return [reader = ShotwellReader(_database, _thumbnails, _media)](LoadProgress& progress) {
        return reader.read(progress);
    };
}
