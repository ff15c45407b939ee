#include "sources/index/TrackerFolder.h"

#include "platform/index/TrackerIndex.h"
#include "platform/system/FileSystem.h"
#include "platform/system/UserDirectories.h"
#include "sources/index/BalooFolder.h"

void TrackerFolder::addToRoots(const CatalogueRoots& roots) {
    const QString database = indexDatabase();
    // On KDE desktops that keep KDE's index, that one is the desktop's index.
    if (database.isNull() || !TrackerIndex::hasSessionBus() ||
        (BalooFolder::preferred() && !BalooIndex::indexFile().isNull())) {
        return;
    }
    const QString service = QLatin1String(TrackerIndex::filesService);
    if (roots.photos != nullptr) {
        roots.photos->addFolder(std::make_shared<TrackerFolder>(QStringLiteral("All Pictures"), service,
                                                                database, TrackerReader::Media::Pictures));
    }
    if (roots.music != nullptr) {
        roots.music->addFolder(std::make_shared<TrackerFolder>(QStringLiteral("All Music"), service, database,
                                                               TrackerReader::Media::Music));
    }
    if (roots.movies != nullptr) {
        roots.movies->addFolder(std::make_shared<TrackerFolder>(QStringLiteral("All Movies"), service,
                                                                database, TrackerReader::Media::Movies));
    }
}

QString TrackerFolder::indexDatabase() {
    // Where the desktop's indexer keeps what it found.
    const QString path = UserDirectories::cacheHome() + QStringLiteral("/tracker3/files/meta.db");
    return FileSystem::isRegularFile(path) ? path : QString();
}

TrackerFolder::TrackerFolder(const QString& name, const QString& service, const QString& database,
                             TrackerReader::Media media)
    : CatalogueFolder(name, media == TrackerReader::Media::Music ? Library::Music : Library::Pictures)
    , _service(service)
    , _database(database)
    , _media(media) {
}

CatalogueReader TrackerFolder::catalogueReader() const {
    return [service = _service, media = _media](LoadProgress& progress) {
        return TrackerReader::read(service, media, progress);
    };
}
