#include "sources/catalogues/DarktableFolder.h"

#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "platform/system/UserDirectories.h"
#include "sources/catalogues/DarktableReader.h"

#include <QCryptographicHash>
#include <QFileInfo>

void DarktableFolder::addToRoots(const CatalogueRoots& roots) {
    const QString library = libraryPath();
    if (!library.isNull() && roots.photos != nullptr) {
        roots.photos->addFolder(std::make_shared<DarktableFolder>(QStringLiteral("darktable"), library));
    }
}

QString DarktableFolder::libraryPath() {
    const QString path = UserDirectories::configHome() + QStringLiteral("/darktable/library.db");
    return FileSystem::isRegularFile(path) ? path : QString();
}

QString DarktableFolder::thumbnailDirectory(const QString& library) {
    // darktable keeps one cache per library, named by the SHA-1 of the
    // library's real path, with one directory per size: 1 is 360 × 225
    // pixels, 2 is 720 × 450; the grid's cells are drawn from either.
    const QString real = QFileInfo(library).canonicalFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(Path::toNative(real.isEmpty() ? library : real), QCryptographicHash::Sha1)
            .toHex();
    const QString cache = UserDirectories::cacheHome() +
                          QStringLiteral("/darktable/mipmaps-%1.d/").arg(QString::fromLatin1(hash));
    for (const char* level : {"2", "1", "3"}) {
        if (FileSystem::isDirectory(cache + QLatin1String(level))) {
            return cache + QLatin1String(level);
        }
    }
    return {};
}

DarktableFolder::DarktableFolder(const QString& name, const QString& library)
    : CatalogueFolder(name, Library::Pictures)
    , _library(library)
    , _data(library.left(library.lastIndexOf(QLatin1Char('/'))) + QStringLiteral("/data.db"))
    , _thumbnails(thumbnailDirectory(library)) {
}

CatalogueReader DarktableFolder::catalogueReader() const {
    return [library = _library, data = _data, thumbnails = _thumbnails](LoadProgress& progress) {
        return DarktableReader::read(library, FileSystem::isRegularFile(data) ? data : QString(), thumbnails,
                                     progress);
    };
}

QStringList DarktableFolder::catalogueFiles() const {
    return databaseFiles(_library) + databaseFiles(_data);
}
