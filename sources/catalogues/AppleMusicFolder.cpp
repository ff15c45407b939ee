#include "sources/catalogues/AppleMusicFolder.h"

#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "sources/catalogues/ITunesFolder.h"

namespace AppleMusicFolder {

void addToRoots(const CatalogueRoots& roots) {
    const QString library = libraryPath();
    if (library.isNull()) {
        return;
    }
    if (roots.music != nullptr) {
        roots.music->addFolder(std::make_shared<ITunesFolder>(QStringLiteral("Music"), library, true, false));
    }
    if (roots.movies != nullptr) {
        roots.movies->addFolder(
            std::make_shared<ITunesFolder>(QStringLiteral("Music"), library, false, true));
    }
}

QString libraryPath() {
    for (const char* relative : {"/Music/Music/Library.xml", "/Music/Library.xml"}) {
        const QString path = Path::homeDirectory() + QLatin1String(relative);
        if (FileSystem::isRegularFile(path)) {
            return path;
        }
    }
    return {};
}

} // namespace AppleMusicFolder
