#include "sources/index/BalooReader.h"

#include "model/Photo.h"
#include "model/QVMovie.h"
#include "platform/system/Path.h"
#include "sources/catalogues/CatalogueTracks.h"

#include <algorithm>

namespace BalooReader {

CatalogueContents read(const QString& indexFile, BalooIndex::Type type, LoadProgress& progress) {
    std::optional<std::vector<QByteArray>> paths =
        BalooIndex::paths(indexFile, type, [&progress] { return progress.isCancelled(); });
    if (!paths) {
        return CatalogueContents::failure();
    }
    std::sort(paths->begin(), paths->end());
    CatalogueContents contents;
    contents.items.reserve(paths->size());
    for (const QByteArray& bytes : *paths) {
        const QString path = Path::fromNative(bytes);
        MediaItemPtr item;
        switch (type) {
        case BalooIndex::Type::Image:
            item = Photo::photoNamedAfterFile(path, path);
            break;
        case BalooIndex::Type::Audio:
            item = CatalogueTracks::track(path, Path::deletingExtension(Path::lastComponent(path)), QString(),
                                          0);
            break;
        case BalooIndex::Type::Video:
            item = std::make_shared<QVMovie>(Path::fileUrl(path), Path::lastComponent(path));
            break;
        }
        if (item) {
            contents.items.push_back(std::move(item));
        }
    }
    progress.setFraction(1.0);
    return contents;
}

} // namespace BalooReader
