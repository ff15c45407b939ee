#include "sources/catalogues/StrawberryFolder.h"

#include "platform/system/FileSystem.h"
#include "platform/system/UserDirectories.h"

void StrawberryFolder::addToRoots(const CatalogueRoots& roots) {
    const std::pair<QString, QString> collections[] = {{QStringLiteral("Strawberry"), strawberryDatabase()},
                                                       {QStringLiteral("Clementine"), clementineDatabase()}};
    for (const auto& [name, database] : collections) {
        if (database.isNull()) {
            continue;
        }
        if (roots.music != nullptr) {
            roots.music->addFolder(std::make_shared<StrawberryFolder>(name, database, Media::Music));
        }
        if (roots.movies != nullptr) {
            roots.movies->addFolder(std::make_shared<StrawberryFolder>(name, database, Media::Movies));
        }
    }
}

QString StrawberryFolder::strawberryDatabase() {
    const QString path = UserDirectories::dataHome() + QStringLiteral("/strawberry/strawberry/strawberry.db");
    return FileSystem::exists(path) ? path : QString();
}

QString StrawberryFolder::clementineDatabase() {
    const QString path = UserDirectories::configHome() + QStringLiteral("/Clementine/clementine.db");
    return FileSystem::exists(path) ? path : QString();
}

StrawberryFolder::StrawberryFolder(const QString& name, const QString& database, Media media)
    : CatalogueFolder(name, Library::Music)
    , _database(database)
    , _media(media) {
}

CatalogueReader StrawberryFolder::catalogueReader() const {
    return [reader = StrawberryReader(_database, _media)](LoadProgress& progress) {
        return reader.read(progress);
    };
}
