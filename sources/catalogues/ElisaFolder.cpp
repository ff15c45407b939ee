#include "sources/catalogues/ElisaFolder.h"

#include "platform/system/FileSystem.h"
#include "platform/system/UserDirectories.h"
#include "sources/catalogues/ElisaReader.h"

void ElisaFolder::addToRoots(const CatalogueRoots& roots) {
    if (const QString database = databasePath(); !database.isNull() && roots.music != nullptr) {
        roots.music->addFolder(std::make_shared<ElisaFolder>(QStringLiteral("Elisa"), database));
    }
}

QString ElisaFolder::databasePath() {
    const QString path = UserDirectories::dataHome() + QStringLiteral("/elisa/elisaDatabase.db");
    return FileSystem::isRegularFile(path) ? path : QString();
}

ElisaFolder::ElisaFolder(const QString& name, const QString& database)
    : CatalogueFolder(name, Library::Music)
    , _database(database) {
}

CatalogueReader ElisaFolder::catalogueReader() const {
    return [database = _database](LoadProgress& progress) {
        return ElisaReader::read(database, progress);
    };
}
