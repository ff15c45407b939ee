#include "sources/catalogues/RhythmboxFolder.h"

#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "platform/system/UserDirectories.h"
#include "sources/catalogues/RhythmboxReader.h"

void RhythmboxFolder::addToRoots(const CatalogueRoots& roots) {
    const QString directory = libraryDirectory();
    if (roots.music == nullptr || directory.isNull()) {
        return;
    }
    roots.music->addFolder(std::make_shared<RhythmboxFolder>(QStringLiteral("Rhythmbox"),
                                                             directory + QStringLiteral("/rhythmdb.xml"),
                                                             directory + QStringLiteral("/playlists.xml")));
}

QString RhythmboxFolder::libraryDirectory() {
    for (const QString& directory : {UserDirectories::dataHome() + QStringLiteral("/rhythmbox"),
                                     Path::homeDirectory() + QStringLiteral("/.gnome2/rhythmbox")}) {
        if (FileSystem::exists(directory + QStringLiteral("/rhythmdb.xml"))) {
            return directory;
        }
    }
    return {};
}

RhythmboxFolder::RhythmboxFolder(const QString& name, const QString& database, const QString& playlists)
    : CatalogueFolder(name, Library::Music)
    , _database(database)
    , _playlists(playlists) {
}

CatalogueReader RhythmboxFolder::catalogueReader() const {
    return [reader = RhythmboxReader(_database, _playlists)](LoadProgress& progress) {
        return reader.read(progress);
    };
}
