#include "sources/catalogues/LollypopFolder.h"

#include "platform/system/FileSystem.h"
#include "platform/system/UserDirectories.h"
#include "sources/catalogues/LollypopReader.h"

void LollypopFolder::addToRoots(const CatalogueRoots& roots) {
    if (const QString collection = collectionPath(); !collection.isNull() && roots.music != nullptr) {
        roots.music->addFolder(std::make_shared<LollypopFolder>(QStringLiteral("Lollypop"), collection));
    }
}

QString LollypopFolder::collectionPath() {
    const QString path = UserDirectories::dataHome() + QStringLiteral("/lollypop/lollypop.db");
    return FileSystem::isRegularFile(path) ? path : QString();
}

LollypopFolder::LollypopFolder(const QString& name, const QString& collection)
    : CatalogueFolder(name, Library::Music)
    , _collection(collection)
    , _playlists(collection.left(collection.lastIndexOf(QLatin1Char('/'))) +
                 QStringLiteral("/playlists.db")) {
}

CatalogueReader LollypopFolder::catalogueReader() const {
    return [collection = _collection, playlists = _playlists](LoadProgress& progress) {
        return LollypopReader::read(collection, FileSystem::isRegularFile(playlists) ? playlists : QString(),
                                    progress);
    };
}
