#include "sources/catalogues/CatalogueDatabase.h"

#include "platform/catalogues/SqliteReader.h"
#include "platform/system/BackgroundRelease.h"

namespace CatalogueDatabase {

CatalogueContents
read(const QString& path, LoadProgress& progress,
     const std::function<bool(SqliteReader& database, CatalogueContents& contents)>& readAll) {
    CatalogueContents contents;
    const bool ok = SqliteReader::read(path, progress, [&](SqliteReader& database) {
        contents = {};
        return readAll(database, contents);
    });
    if (!ok) {
        if (progress.isCancelled()) {
            BackgroundRelease::release(std::move(contents)); // a load given up stops at once
        }
        return CatalogueContents::failure();
    }
    return contents;
}

} // namespace CatalogueDatabase
