#include "sources/catalogues/ShotwellReader.h"

#include "model/Photo.h"
#include "model/QVMovie.h"
#include "platform/catalogues/SqliteReader.h"
#include "platform/system/BackgroundRelease.h"
#include "platform/system/FileSystem.h"
#include "platform/system/LoadStage.h"
#include "platform/system/Path.h"
#include "sources/catalogues/CatalogueDatabase.h"
#include "sources/catalogues/CatalogueGroupTree.h"
#include "sources/catalogues/ItemsById.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
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

// Calls add with each id of a tag's items of one kind: Shotwell lists them
// as "thumb%016x" (photos) or "video-%016x" (videos), separated by commas.
// Parsed in the row's own bytes: a library's tags name every item.
template <typename Add> void forEachTaggedId(QByteArrayView list, QByteArrayView prefix, Add add) {
    const auto isSpace = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r';
    };
    const char* const end = list.data() + list.size();
    for (const char* entry = list.data(); entry < end;) {
        const char* comma =
            static_cast<const char*>(std::memchr(entry, ',', static_cast<std::size_t>(end - entry)));
        const char* entryEnd = comma != nullptr ? comma : end;
        const char* first = entry;
        const char* last = entryEnd;
        entry = comma != nullptr ? comma + 1 : end;
        while (first < last && isSpace(*first)) {
            ++first;
        }
        while (last > first && isSpace(last[-1])) {
            --last;
        }
        if (QByteArrayView(first, last - first).startsWith(prefix)) {
            qint64 id = 0;
            const auto [stop, error] = std::from_chars(first + prefix.size(), last, id, 16);
            if (error == std::errc() && stop == last) {
                add(id);
            }
        }
    }
}

// Drops the second and later listings of an item, keeping the order: a flat
// tag and a tree's top tag of the same name share one folder.
void removeDoubles(std::vector<MediaItemPtr>& items) {
    QSet<const MediaItem*> seen;
    std::erase_if(items, [&seen](const MediaItemPtr& item) {
        if (seen.contains(item.get())) {
            return true;
        }
        seen.insert(item.get());
        return false;
    });
}

} // namespace

ShotwellReader::ShotwellReader(const QString& database, const QString& thumbnails, Media media)
    : _database(database)
    , _thumbnails(thumbnails)
    , _media(media) {
}

CatalogueContents ShotwellReader::read(LoadProgress& progress) const {
    const bool videos = _media == Media::Videos;
    const QString table = videos ? QStringLiteral("VideoTable") : QStringLiteral("PhotoTable");
    // The cached thumbnails, listed once rather than asked for one by one.
    QSet<QString> thumbnailNames;
    if (!videos && !_thumbnails.isNull()) {
        FileSystem::forEachEntry(_thumbnails, [&](const FileSystem::DirectoryEntry& entry) {
            thumbnailNames.insert(entry.name);
            return !progress.isCancelled();
        });
    }

    return CatalogueDatabase::read(_database, progress, [&](SqliteReader& db, CatalogueContents& contents) {
        // The items are most of the work, the tags the rest.
        LoadStage listing(progress, 0.0, 0.85);
        LoadStage tagging(progress, 0.85, 1.0);
        const QStringList columns = db.columns(table);
        if (!columns.contains(QLatin1String("filename"))) {
            return true; // no such table in this version: nothing of this kind
        }
        // Events by id: their names, and their group once an item is in one.
        struct Event {
            QString name;
            qsizetype group = -1;
        };
        QHash<qint64, Event> events;
        const QStringList eventColumns = db.columns(QStringLiteral("EventTable"));
        if (!eventColumns.isEmpty()) {
            db.query(QStringLiteral("SELECT id, %1 FROM EventTable")
                         .arg(column(eventColumns, QStringLiteral("name"))),
                     [&events](const SqliteRow& row) {
                         events.insert(row.integer(0), {row.text(1), -1});
                     });
        }

        // Items by exposure time, each put in its event as it comes: an
        // event's first item is its earliest, and the groups come in that order.
        ItemsById index; // for the tags
        const qint64 rows = db.largestRowId(table);
        qint64 rowsRead = 0;
        const QString sql =
            QStringLiteral("SELECT id, filename, %1, %2, %3, %4, %5 FROM %6 ORDER BY %1, id")
                .arg(column(columns, QStringLiteral("exposure_time")),
                     column(columns, QStringLiteral("event_id")), column(columns, QStringLiteral("title")),
                     column(columns, QStringLiteral("flags")), column(columns, QStringLiteral("comment")),
                     table);
        const bool listed = db.query(sql, [&](const SqliteRow& row) {
            listing.setCount(++rowsRead, rows);
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
                const QString title = row.text(4);
                item = std::make_shared<QVMovie>(Path::fileUrl(path),
                                                 title.isEmpty() ? Path::lastComponent(path) : title);
            } else {
                QString thumbPath = path;
                if (!thumbnailNames.isEmpty()) {
                    const QString name = QStringLiteral("thumb%1.jpg").arg(id, 16, 16, QLatin1Char('0'));
                    if (thumbnailNames.contains(name)) {
                        thumbPath = _thumbnails + QLatin1Char('/') + name;
                    }
                }
                const QString title = row.text(4);
                item = title.isEmpty() ? Photo::photoNamedAfterFile(path, thumbPath)
                                       : std::make_shared<Photo>(title, row.text(6), path, thumbPath);
            }
            index.add(id, contents.items.size());
            const qint64 eventId = row.integer(3);
            if (const auto event = events.find(eventId); eventId > 0 && event != events.end()) {
                if (event->group < 0) {
                    // How Shotwell names an event without a name: by its first item's date.
                    event->group = static_cast<qsizetype>(contents.groups.size());
                    CatalogueGroup& group = contents.groups.emplace_back();
                    group.name = event->name.isEmpty() ? dateName(row.integer(2)) : event->name;
                    group.kind = CatalogueGroup::Kind::Event;
                    group.id = QStringLiteral("event-%1").arg(eventId);
                }
                contents.groups[static_cast<std::size_t>(event->group)].items.push_back(item);
            }
            contents.items.push_back(std::move(item));
        });
        if (!listed) {
            return false;
        }
        index.finish();

        // Tags, by name. A name that starts with "/" is a path in Shotwell's
        // tag tree ("/Trips/Sea"; the parent "/Trips" has a row of its own,
        // listing the photos tagged with it); any other name is one tag,
        // even when it holds a "/".
        const QStringList tagColumns = db.columns(QStringLiteral("TagTable"));
        if (tagColumns.contains(QLatin1String("photo_id_list"))) {
            const QByteArrayView prefix = videos ? QByteArrayView("video-") : QByteArrayView("thumb");
            CatalogueGroupTree tags;
            const BackgroundRelease::WhenCancelled releaseTags(progress, tags);
            std::vector<std::size_t> tagged;
            const qint64 tagRows = db.largestRowId(QStringLiteral("TagTable"));
            qint64 tagRowsRead = 0;
            const QString tagSql = QStringLiteral("SELECT name, photo_id_list, %1 FROM TagTable")
                                       .arg(column(tagColumns, QStringLiteral("id")));
            db.query(tagSql, [&](const SqliteRow& row) {
                tagging.setCount(++tagRowsRead, tagRows);
                const QString name = row.text(0);
                CatalogueGroupTree::Node* node = &tags.root();
                if (name.startsWith(QLatin1Char('/'))) {
                    for (const QStringView part : QStringView(name).split(u'/', Qt::SkipEmptyParts)) {
                        node = &node->child(part.toString());
                    }
                }
                if (node == &tags.root()) {
                    if (name.isEmpty()) {
                        return;
                    }
                    node = &node->child(name);
                }
                if (node->id.isNull() && !row.isNull(2)) {
                    // A flat tag and a tree's top tag of one name share the first one's.
                    node->id = QStringLiteral("tag-%1").arg(row.integer(2));
                }
                // In the library's order, like the events: by exposure time.
                tagged.clear();
                forEachTaggedId(row.bytes(1), prefix, [&](qint64 id) {
                    if (const std::size_t item = index.find(id); item != ItemsById::none) {
                        tagged.push_back(item);
                    }
                });
                std::sort(tagged.begin(), tagged.end());
                const bool merging = !node->items.empty();
                node->items.reserve(node->items.size() + tagged.size());
                for (const std::size_t item : tagged) {
                    node->items.push_back(contents.items[item]);
                }
                if (merging) {
                    removeDoubles(node->items);
                }
            });
            std::vector<CatalogueGroup> tagGroups = tags.takeGroups(CatalogueGroup::Kind::Tag);
            contents.groups.insert(contents.groups.end(), std::make_move_iterator(tagGroups.begin()),
                                   std::make_move_iterator(tagGroups.end()));
        }
        return true;
    });
}
