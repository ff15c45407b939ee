#include "sources/catalogues/KodiFolder.h"

#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "sources/catalogues/KodiReader.h"

void KodiFolder::addToRoots(const CatalogueRoots& roots) {
    const QString music = databasePath(QStringLiteral("MyMusic"));
    if (!music.isNull() && roots.music != nullptr) {
        roots.music->addFolder(std::make_shared<KodiFolder>(QStringLiteral("Kodi"), music, Media::Music));
    }
    const QString videos = databasePath(QStringLiteral("MyVideos"));
    if (!videos.isNull() && roots.movies != nullptr) {
        roots.movies->addFolder(std::make_shared<KodiFolder>(QStringLiteral("Kodi"), videos, Media::Videos));
    }
}

QString KodiFolder::databasePath(const QString& prefix) {
    // Kodi makes a new database for each schema and keeps the old ones.
    const QString directory = Path::homeDirectory() + QStringLiteral("/.kodi/userdata/Database");
    QString newest;
    int newestVersion = -1;
    FileSystem::forEachEntry(directory, [&](const FileSystem::DirectoryEntry& entry) {
        if (!entry.name.startsWith(prefix) || !entry.name.endsWith(QLatin1String(".db"))) {
            return true;
        }
        bool number = false;
        const int version = QStringView(entry.name).mid(prefix.size()).chopped(3).toInt(&number);
        const QString path = directory + QLatin1Char('/') + entry.name;
        if (number && version > newestVersion && FileSystem::isRegularFile(path)) {
            newest = path;
            newestVersion = version;
        }
        return true;
    });
    return newest;
}

KodiFolder::KodiFolder(const QString& name, const QString& database, Media media)
    : CatalogueFolder(name, Library::Music)
    , _database(database)
    , _media(media) {
}

CatalogueReader KodiFolder::catalogueReader() const {
    return [database = _database, media = _media](LoadProgress& progress) {
        return media == Media::Music ? KodiReader::readMusic(database, progress)
                                     : KodiReader::readVideos(database, progress);
    };
}
