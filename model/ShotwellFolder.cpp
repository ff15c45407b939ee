#include "model/ShotwellFolder.h"

#include "model/Photo.h"
#include "model/QVMovie.h"
#include "platform/catalogues/SqliteReader.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "platform/system/UserDirectories.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <vector>

namespace {

// Shotwell's flags of a photo or video.
constexpr qint64 flagHidden = 0x01;
constexpr qint64 flagTrash = 0x04;

// A column when the table has it, else NULL: older schemas lack columns.
QString column(const QStringList& columns, const QString& name) {
    return columns.contains(name) ? name : QStringLiteral("NULL");
}

// How Shotwell names an event that has no name: by the date of its first item.
QString dateName(qint64 exposureTime) {
    const QDate date = QDateTime::fromSecsSinceEpoch(exposureTime).date();
    return QLocale::c().toString(date, QStringLiteral("ddd MMM d, yyyy"));
}

// The ids of a tag's items of one kind: Shotwell lists them as
// "thumb%016x" (photos) or "video-%016x" (videos), separated by commas.
std::vector<qint64> taggedIds(const QString& list, QStringView prefix) {
    std::vector<qint64> ids;
    for (const QStringView entry : QStringView(list).split(u',', Qt::SkipEmptyParts)) {
        const QStringView trimmed = entry.trimmed();
        if (!trimmed.startsWith(prefix)) {
            continue;
        }
        bool ok = false;
        const qint64 id = trimmed.mid(prefix.size()).toLongLong(&ok, 16);
        if (ok) {
            ids.push_back(id);
        }
    }
    return ids;
}

QString firstExisting(const QStringList& paths) {
    for (const QString& path : paths) {
        if (FileSystem::exists(path)) {
            return path;
        }
    }
    return {};
}

} // namespace

void ShotwellFolder::addToRoots(const CatalogueRoots& roots) {
    const QString database = databasePath();
    if (database.isNull()) {
        return;
    }
    const QString thumbnails = thumbnailDirectory();
    if (roots.photos != nullptr) {
        roots.photos->addFolder(std::make_shared<ShotwellFolder>(QStringLiteral("Shotwell"), database,
                                                                 thumbnails, Media::Photos));
    }
    if (roots.movies != nullptr) {
        roots.movies->addFolder(std::make_shared<ShotwellFolder>(QStringLiteral("Shotwell"), database,
                                                                 thumbnails, Media::Videos));
    }
}

QString ShotwellFolder::databasePath() {
    return firstExisting({UserDirectories::dataHome() + QStringLiteral("/shotwell/data/photo.db"),
                          Path::homeDirectory() + QStringLiteral("/.shotwell/data/photo.db")});
}

QString ShotwellFolder::thumbnailDirectory() {
    QStringList candidates;
    for (const QString& base : {UserDirectories::cacheHome() + QStringLiteral("/shotwell/thumbs"),
                                Path::homeDirectory() + QStringLiteral("/.shotwell/thumbs")}) {
        candidates << base + QStringLiteral("/thumbs360") << base + QStringLiteral("/thumbs128");
    }
    return firstExisting(candidates);
}

ShotwellFolder::ShotwellFolder(const QString& name, const QString& database, const QString& thumbnails,
                               Media media)
    : CatalogueFolder(name, Library::Pictures)
    , _database(database)
    , _thumbnails(thumbnails)
    , _media(media) {
}

CatalogueReader ShotwellFolder::catalogueReader() const {
    return [database = _database, thumbnails = _thumbnails, media = _media] {
        return read(database, thumbnails, media);
    };
}

CatalogueContents ShotwellFolder::read(const QString& database, const QString& thumbnails, Media media) {
    const bool videos = media == Media::Videos;
    const QString table = videos ? QStringLiteral("VideoTable") : QStringLiteral("PhotoTable");
    // The cached thumbnails, listed once rather than asked for one by one.
    QSet<QString> thumbnailNames;
    if (!videos && !thumbnails.isNull()) {
        FileSystem::forEachEntry(thumbnails, [&thumbnailNames](const FileSystem::DirectoryEntry& entry) {
            thumbnailNames.insert(entry.name);
            return true;
        });
    }

    CatalogueContents contents;
    const bool ok = SqliteReader::read(database, [&](SqliteReader& db) {
        contents = {};
        const QStringList columns = db.columns(table);
        if (!columns.contains(QLatin1String("filename"))) {
            return true; // no such table in this version: nothing of this kind
        }
        QHash<qint64, QString> eventNames;
        const QStringList eventColumns = db.columns(QStringLiteral("EventTable"));
        if (!eventColumns.isEmpty()) {
            db.query(QStringLiteral("SELECT id, %1 FROM EventTable")
                         .arg(column(eventColumns, QStringLiteral("name"))),
                     [&eventNames](const SqliteRow& row) { eventNames.insert(row.integer(0), row.text(1)); });
        }

        // Items by exposure time, each put in its event as it comes: an
        // event's first item is its earliest, and the groups come in that order.
        QHash<qint64, std::size_t> eventGroups;
        std::vector<std::pair<qint64, std::size_t>> indexById; // for the tags, sorted below
        const QString sql =
            QStringLiteral("SELECT id, filename, %1, %2, %3, %4, %5 FROM %6 ORDER BY %1, id")
                .arg(column(columns, QStringLiteral("exposure_time")),
                     column(columns, QStringLiteral("event_id")), column(columns, QStringLiteral("title")),
                     column(columns, QStringLiteral("flags")), column(columns, QStringLiteral("comment")),
                     table);
        const bool listed = db.query(sql, [&](const SqliteRow& row) {
            if ((row.integer(5) & (flagHidden | flagTrash)) != 0) {
                return;
            }
            const qint64 id = row.integer(0);
            const QString path = row.path(1);
            if (path.isEmpty()) {
                return;
            }
            MediaItemPtr item;
            if (videos) {
                item = std::make_shared<QVMovie>(Path::fileUrl(path));
            } else {
                QString thumbPath = path;
                if (!thumbnailNames.isEmpty()) {
                    const QString name = QStringLiteral("thumb%1.jpg").arg(id, 16, 16, QLatin1Char('0'));
                    if (thumbnailNames.contains(name)) {
                        thumbPath = thumbnails + QLatin1Char('/') + name;
                    }
                }
                const QString title = row.text(4);
                item = title.isEmpty() ? Photo::photoNamedAfterFile(path, thumbPath)
                                       : std::make_shared<Photo>(title, row.text(6), path, thumbPath);
            }
            indexById.emplace_back(id, contents.items.size());
            const qint64 eventId = row.integer(3);
            if (const auto name = eventNames.constFind(eventId);
                eventId > 0 && name != eventNames.constEnd()) {
                auto group = eventGroups.constFind(eventId);
                if (group == eventGroups.constEnd()) {
                    // How Shotwell names an event without a name: by its first item's date.
                    group = eventGroups.insert(eventId, contents.groups.size());
                    contents.groups.push_back({name->isEmpty() ? dateName(row.integer(2)) : *name,
                                               CatalogueGroup::Kind::Event,
                                               {},
                                               {}});
                }
                contents.groups[*group].items.push_back(item);
            }
            contents.items.push_back(std::move(item));
        });
        if (!listed) {
            return false;
        }
        std::sort(indexById.begin(), indexById.end());
        const auto itemById = [&](qint64 id) -> MediaItemPtr {
            const auto found =
                std::lower_bound(indexById.begin(), indexById.end(), std::make_pair(id, std::size_t(0)));
            return found != indexById.end() && found->first == id ? contents.items[found->second] : nullptr;
        };

        // Tags, by name.
        const QStringList tagColumns = db.columns(QStringLiteral("TagTable"));
        if (tagColumns.contains(QLatin1String("photo_id_list"))) {
            const QStringView prefix = videos ? QStringView(u"video-") : QStringView(u"thumb");
            db.query(QStringLiteral("SELECT name, photo_id_list FROM TagTable ORDER BY name"),
                     [&](const SqliteRow& row) {
                         CatalogueGroup group;
                         group.kind = CatalogueGroup::Kind::Tag;
                         // Nested tags are stored as paths ("/Family/Kids").
                         group.name = row.text(0);
                         if (group.name.startsWith(QLatin1Char('/'))) {
                             group.name.remove(0, 1);
                         }
                         for (const qint64 id : taggedIds(row.text(1), prefix)) {
                             if (MediaItemPtr item = itemById(id)) {
                                 group.items.push_back(std::move(item));
                             }
                         }
                         if (!group.items.empty()) {
                             contents.groups.push_back(std::move(group));
                         }
                     });
        }
        return true;
    });
    if (!ok) {
        return {};
    }
    return contents;
}
