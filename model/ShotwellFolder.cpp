#include "model/ShotwellFolder.h"

#include "model/Photo.h"
#include "model/QVMovie.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "platform/catalogues/SqliteReader.h"
#include "platform/system/UserDirectories.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QSet>

#include <vector>

namespace {

// Shotwell's flags of a photo or video.
constexpr qint64 flagHidden = 0x01;
constexpr qint64 flagTrash = 0x04;

struct Item {
    qint64 eventId = 0;
    qint64 exposureTime = 0;
    MediaItemPtr item;
};

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
    : CatalogueFolder(name)
    , _database(database)
    , _thumbnails(thumbnails)
    , _media(media) {
}

CatalogueContents ShotwellFolder::readCatalogue() const {
    return read(_database, _thumbnails, _media);
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
        std::vector<Item> items;
        QHash<qint64, MediaItemPtr> byId;
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
                QString caption = row.text(4);
                if (caption.isEmpty()) {
                    caption = Path::deletingExtension(Path::lastComponent(path));
                }
                const QString thumbnailName = QStringLiteral("thumb%1.jpg").arg(id, 16, 16, QLatin1Char('0'));
                const QString thumbPath = thumbnailNames.contains(thumbnailName)
                                              ? thumbnails + QLatin1Char('/') + thumbnailName
                                              : path;
                item = std::make_shared<Photo>(caption, row.text(6), path, thumbPath);
            }
            byId.insert(id, item);
            items.push_back({row.integer(3), row.integer(2), std::move(item)});
        });
        if (!listed) {
            return false;
        }

        // Events, in the order of their first items.
        QHash<qint64, QString> eventNames;
        const QStringList eventColumns = db.columns(QStringLiteral("EventTable"));
        if (!eventColumns.isEmpty()) {
            db.query(QStringLiteral("SELECT id, %1 FROM EventTable")
                         .arg(column(eventColumns, QStringLiteral("name"))),
                     [&eventNames](const SqliteRow& row) { eventNames.insert(row.integer(0), row.text(1)); });
        }
        QHash<qint64, std::size_t> eventGroups;
        for (const Item& item : items) {
            contents.items.push_back(item.item);
            if (item.eventId <= 0 || !eventNames.contains(item.eventId)) {
                continue;
            }
            auto found = eventGroups.constFind(item.eventId);
            if (found == eventGroups.constEnd()) {
                CatalogueGroup group;
                group.kind = CatalogueGroup::Kind::Event;
                group.name = eventNames.value(item.eventId);
                if (group.name.isEmpty()) {
                    group.name = dateName(item.exposureTime);
                }
                found = eventGroups.insert(item.eventId, contents.groups.size());
                contents.groups.push_back(std::move(group));
            }
            contents.groups[*found].items.push_back(item.item);
        }

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
                             if (MediaItemPtr item = byId.value(id)) {
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
