#include "sources/index/BalooReader.h"

#include "model/Photo.h"
#include "model/QVMovie.h"
#include "platform/system/Path.h"
#include "sources/catalogues/CatalogueTracks.h"

#include <algorithm>

namespace BalooReader {

namespace {

// A song with the title, artist and length the indexer found in it, named
// after its file when it found no title; in its album's group.
MediaItemPtr song(const QString& path, const BalooDocumentData::Properties& properties,
                  CatalogueTracks::Albums& albums) {
    const QString title =
        properties.title.isEmpty() ? Path::deletingExtension(Path::lastComponent(path)) : properties.title;
    MediaItemPtr track = CatalogueTracks::track(path, title, properties.artist, properties.duration);
    if (track && !properties.album.isEmpty()) {
        // Albums of the same name by different artists are told apart.
        const QString& by = properties.albumArtist.isEmpty() ? properties.artist : properties.albumArtist;
        albums.add(properties.album + QChar(0x1F) + by, properties.album, track);
    }
    return track;
}

} // namespace

CatalogueContents read(const QString& indexFile, BalooIndex::Type type, LoadProgress& progress) {
    // Pictures take nothing from the extractors' data that a cell shows.
    std::optional<std::vector<BalooIndex::Document>> documents = BalooIndex::documents(
        indexFile, type, type != BalooIndex::Type::Image, [&progress] { return progress.isCancelled(); });
    if (!documents) {
        return CatalogueContents::failure();
    }
    std::sort(documents->begin(), documents->end(),
              [](const BalooIndex::Document& a, const BalooIndex::Document& b) { return a.path < b.path; });
    CatalogueContents contents;
    CatalogueTracks::Albums albums;
    contents.items.reserve(documents->size());
    for (const BalooIndex::Document& document : *documents) {
        const QString path = Path::fromNative(document.path);
        MediaItemPtr item;
        switch (type) {
        case BalooIndex::Type::Image:
            item = Photo::photoNamedAfterFile(path, path);
            break;
        case BalooIndex::Type::Audio:
            item = song(path, document.properties, albums);
            break;
        case BalooIndex::Type::Video:
            item = std::make_shared<QVMovie>(Path::fileUrl(path), document.properties.title.isEmpty()
                                                                      ? Path::lastComponent(path)
                                                                      : document.properties.title);
            break;
        }
        if (item) {
            contents.items.push_back(std::move(item));
        }
    }
    albums.takeInto(contents.groups);
    progress.setFraction(1.0);
    return contents;
}

} // namespace BalooReader
