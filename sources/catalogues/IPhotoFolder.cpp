#include "sources/catalogues/IPhotoFolder.h"

#include "model/Photo.h"
#include "model/QVMedia.h"
#include "platform/catalogues/PlistReader.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "sources/catalogues/CatalogueKey.h"

#include <QHash>

#include <vector>

namespace {

// Photos by identifier. Identifiers are numbers in real catalogues: those are
// kept by number, any other text by the text.
class PhotoTable {
public:
    void insert(const QString& key, MediaItemPtr photo) {
        if (const auto number = CatalogueKey::decimalNumber(key)) {
            _byNumber.insert(*number, std::move(photo));
        } else {
            _byText.insert(key, std::move(photo));
        }
    }
    MediaItemPtr find(const QString& key) const {
        if (const auto number = CatalogueKey::decimalNumber(key)) {
            return _byNumber.value(*number);
        }
        return _byText.value(key);
    }

private:
    QHash<qint64, MediaItemPtr> _byNumber;
    QHash<QString, MediaItemPtr> _byText;
};

struct Album {
    QString name;
    bool master = false;
    QString type;
    std::vector<QString> keys;
};

} // namespace

IPhotoFolderPtr IPhotoFolder::create(const QString& name, const QString& pList) {
    // Every new library folder registers its icons afresh.
    loadBundleIcon(QStringLiteral("iPhoto"), QStringLiteral("sl-icon_library.tiff"));
    loadBundleIcon(QStringLiteral("album"), QStringLiteral("sl-icon_album.tiff"));
    loadBundleIcon(QStringLiteral("smartAlbum"), QStringLiteral("sl-icon_smartAlbum.tiff"));
    loadBundleIcon(QStringLiteral("library"), QStringLiteral("sl-icon_library.tiff"));
    loadBundleIcon(QStringLiteral("roll"), QStringLiteral("sl-icon_roll.tiff"));
    loadBundleIcon(QStringLiteral("calendar"), QStringLiteral("sl-icon_cal.tiff"));
    const QString expanded = Path::expandTilde(pList);
    if (!FileSystem::exists(expanded)) {
        return nullptr;
    }
    return std::make_shared<IPhotoFolder>(name, expanded);
}

void IPhotoFolder::addToRoots(const CatalogueRoots& roots) {
    const QString path = QString::fromUtf8(QVMediaIPhotoLibraryPath);
    if (roots.photos != nullptr && FileSystem::exists(Path::expandTilde(path))) {
        if (auto folder = create(QStringLiteral("iPhoto"), path)) {
            roots.photos->addFolder(folder);
        }
    }
}

IPhotoFolder::IPhotoFolder(const QString& name, const QString& expandedPList)
    : SourceFolder(name, icon(QStringLiteral("iPhoto")))
    , _pList(expandedPList)
    , _icons{icon(QStringLiteral("album")), icon(QStringLiteral("smartAlbum")),
             icon(QStringLiteral("library")), icon(QStringLiteral("roll")),
             icon(QStringLiteral("calendar"))} {
}

namespace {

MediaFolderContents readCatalogue(const QString& pList, const IPhotoFolder::AlbumIcons& icons,
                                  LoadProgress& progress) {
    // The catalogue is streamed: photos and albums are taken one record at a
    // time, and only the keys used here are read.
    PhotoTable photos;
    std::vector<Album> albums;
    PlistReader reader;
    reader.setRootKeys({});
    reader.streamDictionary(QStringLiteral("Master Image List"),
                            {QStringLiteral("Caption"), QStringLiteral("Comment"),
                             QStringLiteral("ImagePath"), QStringLiteral("ThumbPath")},
                            [&photos](const QString& key, PlistValue&& record) {
                                photos.insert(key,
                                              std::make_shared<Photo>(record.value(u"Caption").toString(),
                                                                      record.value(u"Comment").toString(),
                                                                      record.value(u"ImagePath").toString(),
                                                                      record.value(u"ThumbPath").toString()));
                            });
    // Albums usually come before the photos in the file: keep their keys and
    // resolve them once every photo is known.
    reader.streamArray(QStringLiteral("List of Albums"),
                       {QStringLiteral("AlbumName"), QStringLiteral("Master"), QStringLiteral("Album Type"),
                        QStringLiteral("KeyList")},
                       [&albums](PlistValue&& record) {
                           Album& album = albums.emplace_back();
                           album.name = record.value(u"AlbumName").toString();
                           album.master = record.value(u"Master").toBool();
                           album.type = record.value(u"Album Type").toString();
                           const PlistArray& keys = record.value(u"KeyList").toArray();
                           album.keys.reserve(keys.size());
                           for (const PlistValue& key : keys) {
                               if (key.type() == PlistValue::Type::String) {
                                   album.keys.push_back(key.toString());
                               }
                           }
                       });
    reader.setProgressHandler([&progress](qint64 bytesRead, qint64 fileSize) {
        progress.setFraction(fileSize > 0 ? static_cast<double>(bytesRead) / static_cast<double>(fileSize)
                                          : 0.0);
        return !progress.isCancelled();
    });
    MediaFolderContents contents;
    if (!reader.readFile(pList).isDictionary()) {
        contents.failed = true; // unreadable or not a catalogue: no photos, no albums
        return contents;
    }

    std::vector<MediaItemPtr> libraryPhotos;
    for (const Album& album : albums) {
        QImage icon = icons.album;
        if (album.master) {
            icon = icons.library;
        } else if (album.type == QLatin1String("Special Roll")) {
            icon = icons.roll;
        } else if (album.type == QLatin1String("Special Month")) {
            icon = icons.calendar;
        } else if (album.type == QLatin1String("Smart")) {
            icon = icons.smartAlbum;
        }
        std::vector<MediaItemPtr> items;
        items.reserve(album.keys.size());
        for (const QString& key : album.keys) {
            if (MediaItemPtr photo = photos.find(key)) {
                items.push_back(std::move(photo));
            }
        }
        if (album.master) {
            libraryPhotos.insert(libraryPhotos.end(), items.begin(), items.end());
        }
        MediaFolderContents albumContents;
        albumContents.files = std::move(items);
        contents.folders.push_back(MediaFolder::makeLoaded(album.name, icon, std::move(albumContents)));
    }
    contents.files = std::move(libraryPhotos);
    contents.foldForSearch = true;
    return contents;
}

} // namespace

MediaFolderReader IPhotoFolder::reader() const {
    return [pList = _pList, icons = _icons](LoadProgress& progress) {
        return readCatalogue(pList, icons, progress);
    };
}
