#include "sources/index/TrackerReader.h"

#include "model/Photo.h"
#include "model/QVMovie.h"
#include "platform/index/TrackerIndex.h"
#include "platform/system/Path.h"
#include "sources/catalogues/CatalogueTracks.h"
#include "sources/catalogues/CatalogueUrl.h"

namespace TrackerReader {

namespace {

// The items of a class with their files' URLs and titles; songs add their
// lengths in seconds and their artists' names.
QString queryFor(Media media) {
    switch (media) {
    case Media::Pictures:
        return QStringLiteral("SELECT ?url ?title WHERE { ?item a nfo:Image ; nie:isStoredAs ?file . "
                              "?file nie:url ?url . OPTIONAL { ?item nie:title ?title } } ORDER BY ?url");
    case Media::Music:
        return QStringLiteral(
            "SELECT ?url ?title ?duration ?artist WHERE { ?item a nmm:MusicPiece ; "
            "nie:isStoredAs ?file . ?file nie:url ?url . OPTIONAL { ?item nie:title ?title } "
            "OPTIONAL { ?item nfo:duration ?duration } "
            "OPTIONAL { ?item nmm:artist ?performer . ?performer nmm:artistName ?artist } } "
            "ORDER BY ?url");
    case Media::Movies:
        return QStringLiteral("SELECT ?url ?title WHERE { ?item a nmm:Video ; nie:isStoredAs ?file . "
                              "?file nie:url ?url . OPTIONAL { ?item nie:title ?title } } ORDER BY ?url");
    }
    return {};
}

// The local path of a file URL the index gives, or a null string.
QString localPath(const QString& url) {
    const QString plain = CatalogueUrl::plainFilePath(url);
    return plain.isNull() ? Path::localPath(CatalogueUrl::fromLocation(url)) : plain;
}

} // namespace

CatalogueContents read(const QString& service, Media media, LoadProgress& progress) {
    CatalogueContents contents;
    QString previous;
    quint32 rows = 0;
    bool cancelled = false;
    const bool complete = TrackerIndex::query(service, queryFor(media), [&](const TrackerIndex::Row& row) {
        if ((++rows & 1023) == 0 && progress.isCancelled()) {
            cancelled = true;
            return false;
        }
        const QString url = row.text(0);
        // An item with several artists comes once per artist: the first is kept.
        if (url == previous) {
            return true;
        }
        previous = url;
        const QString title = row.text(1);
        MediaItemPtr item;
        switch (media) {
        case Media::Pictures:
            if (const QString path = localPath(url); !path.isEmpty()) {
                item = title.isEmpty() ? Photo::photoNamedAfterFile(path, path)
                                       : std::make_shared<Photo>(title, QString(), path, path);
            }
            break;
        case Media::Music:
            item = CatalogueTracks::track(
                url, title.isEmpty() ? Path::deletingExtension(Path::lastComponent(localPath(url))) : title,
                row.text(3), CatalogueTracks::seconds(row.integer(2), 1));
            break;
        case Media::Movies:
            if (const QUrl location = CatalogueUrl::fromLocation(url); !location.isEmpty()) {
                item = std::make_shared<QVMovie>(location, title);
            }
            break;
        }
        if (item) {
            contents.items.push_back(std::move(item));
        }
        return true;
    });
    if (!complete || cancelled) {
        return CatalogueContents::failure();
    }
    progress.setFraction(1.0);
    return contents;
}

} // namespace TrackerReader
