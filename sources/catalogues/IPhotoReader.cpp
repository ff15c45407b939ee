#include "sources/catalogues/IPhotoReader.h"

#include "model/Photo.h"
#include "platform/catalogues/PlistReader.h"
#include "platform/system/BackgroundRelease.h"
#include "platform/system/LoadStage.h"
#include "sources/catalogues/CatalogueKey.h"
#include "sources/catalogues/MovedLibrary.h"

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
    QString id;
    bool master = false;
    QString type;
    std::vector<QString> keys;
};

CatalogueGroup::Kind kindOf(const Album& album) {
    if (album.master) {
        return CatalogueGroup::Kind::Library;
    }
    if (album.type == QLatin1String("Special Roll")) {
        return CatalogueGroup::Kind::Roll;
    }
    if (album.type == QLatin1String("Special Month")) {
        return CatalogueGroup::Kind::Month;
    }
    return album.type == QLatin1String("Smart") ? CatalogueGroup::Kind::SmartAlbum
                                                : CatalogueGroup::Kind::Album;
}

} // namespace

IPhotoReader::IPhotoReader(const QString& pList)
    : _pList(pList) {
}

CatalogueContents IPhotoReader::read(LoadProgress& progress) const {
    // The catalogue is streamed: photos and albums are taken one record at a
    // time, and only the keys used here are read. Reading the file is most
    // of the work; putting the albums together the rest.
    LoadStage reading(progress, 0.0, 0.9);
    LoadStage assembling(progress, 0.9, 1.0);
    PhotoTable photos;
    std::vector<Album> albums;
    // A load given up stops at once: what it read is let go elsewhere.
    const BackgroundRelease::WhenCancelled releaseRead(progress, photos, albums);
    // iPhoto names its library folder before the photos.
    MovedLibrary moved;
    PlistReader reader;
    reader.setRootKeys({QStringLiteral("Archive Path")});
    reader.setRootValueHandler([this, &moved](const QString& key, const PlistValue& value) {
        if (key == QLatin1String("Archive Path") && value.type() == PlistValue::Type::String) {
            moved = MovedLibrary(value.toString(), _pList.left(_pList.lastIndexOf(QLatin1Char('/'))));
        }
    });
    reader.streamDictionary(
        QStringLiteral("Master Image List"),
        {QStringLiteral("Caption"), QStringLiteral("Comment"), QStringLiteral("ImagePath"),
         QStringLiteral("ThumbPath")},
        [&photos, &moved](const QString& key, PlistValue&& record) {
            photos.insert(key, std::make_shared<Photo>(record.value(u"Caption").toString(),
                                                       record.value(u"Comment").toString(),
                                                       moved.locate(record.value(u"ImagePath").toString()),
                                                       moved.locate(record.value(u"ThumbPath").toString())));
        });
    // Albums usually come before the photos in the file: keep their keys and
    // resolve them once every photo is known.
    reader.streamArray(QStringLiteral("List of Albums"),
                       {QStringLiteral("AlbumName"), QStringLiteral("AlbumId"), QStringLiteral("Master"),
                        QStringLiteral("Album Type"), QStringLiteral("KeyList")},
                       [&albums](PlistValue&& record) {
                           Album& album = albums.emplace_back();
                           album.name = record.value(u"AlbumName").toString();
                           if (const std::optional<qint64> id = record.value(u"AlbumId").toInteger()) {
                               album.id = QString::number(*id);
                           }
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
    if (!reader.readFile(_pList, reading).isDictionary()) {
        return CatalogueContents::failure(); // unreadable or not a catalogue: no photos, no albums
    }

    CatalogueContents contents;
    std::size_t albumsDone = 0;
    for (const Album& album : albums) {
        assembling.setFraction(static_cast<double>(albumsDone++) / static_cast<double>(albums.size()));
        if (progress.isCancelled()) {
            BackgroundRelease::release(std::move(contents));
            return CatalogueContents::failure();
        }
        CatalogueGroup& group = contents.groups.emplace_back();
        group.name = album.name;
        group.kind = kindOf(album);
        group.id = album.id;
        group.items.reserve(album.keys.size());
        for (const QString& key : album.keys) {
            if (MediaItemPtr photo = photos.find(key)) {
                group.items.push_back(std::move(photo));
            }
        }
        if (album.master) {
            contents.items.insert(contents.items.end(), group.items.begin(), group.items.end());
        }
    }
    return contents;
}
