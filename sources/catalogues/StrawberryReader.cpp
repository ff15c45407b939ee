#include "sources/catalogues/StrawberryReader.h"

#include "model/QVMovie.h"
#include "model/QVTrack.h"
#include "platform/catalogues/SqliteReader.h"
#include "platform/system/BackgroundRelease.h"
#include "platform/system/LoadStage.h"
#include "platform/system/Path.h"
#include "sources/catalogues/CatalogueDatabase.h"
#include "sources/catalogues/CatalogueUrl.h"

#include <QHash>
#include <QSet>

namespace {

// The video types among the files a music collection may hold.
bool isVideo(const QString& location) {
    static const QSet<QString> videoTypes = {
        QStringLiteral("mp4"),  QStringLiteral("m4v"),  QStringLiteral("mov"), QStringLiteral("qt"),
        QStringLiteral("mkv"),  QStringLiteral("webm"), QStringLiteral("avi"), QStringLiteral("mpg"),
        QStringLiteral("mpeg"), QStringLiteral("m2ts"), QStringLiteral("mts"), QStringLiteral("ts"),
        QStringLiteral("vob"),  QStringLiteral("3gp"),  QStringLiteral("3g2"), QStringLiteral("wmv"),
        QStringLiteral("asf"),  QStringLiteral("flv"),  QStringLiteral("ogv"), QStringLiteral("dv")};
    return videoTypes.contains(Path::extensionView(location).toString().toLower());
}

// Whole seconds of a length in nanoseconds.
quint32 lengthOf(qint64 nanoseconds) {
    const qint64 seconds = nanoseconds / 1000000000;
    if (seconds <= 0) {
        return 0;
    }
    return seconds >= QVTrack::UnknownLength ? QVTrack::UnknownLength : static_cast<quint32>(seconds);
}

QString column(const QStringList& columns, const QString& name) {
    return columns.contains(name) ? name : QStringLiteral("NULL");
}

// The item a row makes, or none when it belongs to the other tree.
MediaItemPtr itemFor(const QString& location, const QString& title, const QString& artist, qint64 length,
                     bool movies) {
    const QUrl url = CatalogueUrl::fromLocation(location);
    if (url.isEmpty() || isVideo(url.path()) != movies) {
        return nullptr;
    }
    if (movies) {
        if (!title.isEmpty()) {
            return std::make_shared<QVMovie>(url, title);
        }
        const QString path = Path::localPath(url);
        return std::make_shared<QVMovie>(url, Path::lastComponent(path.isNull() ? url.path() : path));
    }
    return std::make_shared<QVTrack>(title, artist, lengthOf(length), url);
}

} // namespace

StrawberryReader::StrawberryReader(const QString& database, Media media)
    : _database(database)
    , _media(media) {
}

CatalogueContents StrawberryReader::read(LoadProgress& progress) const {
    const bool movies = _media == Media::Movies;
    return CatalogueDatabase::read(_database, progress, [&](SqliteReader& db, CatalogueContents& contents) {
        // The songs are most of the work, the playlists the rest.
        LoadStage listing(progress, 0.0, 0.8);
        LoadStage playlisting(progress, 0.8, 1.0);
        const QStringList columns = db.columns(QStringLiteral("songs"));
        // Strawberry keeps each song's URL in "url", Clementine in "filename".
        const QString urlColumn = columns.contains(QLatin1String("url"))        ? QStringLiteral("url")
                                  : columns.contains(QLatin1String("filename")) ? QStringLiteral("filename")
                                                                                : QString();
        if (urlColumn.isNull()) {
            return true;
        }
        QHash<qint64, MediaItemPtr> byRow;
        QSet<qint64> unavailable;
        const BackgroundRelease::WhenCancelled releaseSongs(progress, byRow, unavailable);
        const QString sql =
            QStringLiteral("SELECT ROWID, %1, %2, %3, %4, %5 FROM songs ORDER BY ROWID")
                .arg(urlColumn, column(columns, QStringLiteral("title")),
                     column(columns, QStringLiteral("artist")), column(columns, QStringLiteral("length")),
                     column(columns, QStringLiteral("unavailable")));
        const qint64 songs = db.largestRowId(QStringLiteral("songs"));
        qint64 songsRead = 0;
        const bool listed = db.query(sql, [&](const SqliteRow& row) {
            listing.setCount(++songsRead, songs);
            if (row.integer(5) != 0) {
                unavailable.insert(row.integer(0));
                return;
            }
            if (MediaItemPtr item = itemFor(row.text(1), row.text(2), row.text(3), row.integer(4), movies)) {
                byRow.insert(row.integer(0), item);
                contents.items.push_back(std::move(item));
            }
        });
        if (!listed) {
            return false;
        }

        // Playlists: items from the collection name their song; others carry their own data.
        const QStringList playlistColumns = db.columns(QStringLiteral("playlists"));
        const QStringList itemColumns = db.columns(QStringLiteral("playlist_items"));
        if (playlistColumns.isEmpty() || !itemColumns.contains(QLatin1String("playlist"))) {
            return true;
        }
        QHash<qint64, std::size_t> groups;
        db.query(QStringLiteral("SELECT ROWID, %1 FROM playlists ORDER BY ROWID")
                     .arg(column(playlistColumns, QStringLiteral("name"))),
                 [&](const SqliteRow& row) {
                     groups.insert(row.integer(0), contents.groups.size());
                     CatalogueGroup& group = contents.groups.emplace_back();
                     group.name = row.text(1);
                     group.kind = CatalogueGroup::Kind::Playlist;
                     group.id = QStringLiteral("playlist-%1").arg(row.integer(0));
                 });
        const QString songColumn = itemColumns.contains(QLatin1String("collection_id"))
                                       ? QStringLiteral("collection_id")
                                       : column(itemColumns, QStringLiteral("library_id"));
        const QString itemSql =
            QStringLiteral("SELECT playlist, %1, %2, %3, %4, %5, %6 FROM playlist_items ORDER BY ROWID")
                .arg(column(itemColumns, QStringLiteral("type")), songColumn,
                     column(itemColumns, QStringLiteral("url")), column(itemColumns, QStringLiteral("title")),
                     column(itemColumns, QStringLiteral("artist")),
                     column(itemColumns, QStringLiteral("length")));
        const qint64 items = db.largestRowId(QStringLiteral("playlist_items"));
        qint64 itemsRead = 0;
        db.query(itemSql, [&](const SqliteRow& row) {
            playlisting.setCount(++itemsRead, items);
            const auto group = groups.constFind(row.integer(0));
            if (group == groups.constEnd()) {
                return;
            }
            const QString type = row.text(1);
            MediaItemPtr item;
            // Strawberry writes its collection source as 2, Clementine as "Library".
            if (type == QLatin1String("2") || type == QLatin1String("Collection") ||
                type == QLatin1String("Library")) {
                // A song the collection marks unavailable is gone from its
                // playlists too, whatever copy of its details they keep.
                if (unavailable.contains(row.integer(2))) {
                    return;
                }
                item = byRow.value(row.integer(2));
            }
            if (!item) {
                item = itemFor(row.text(3), row.text(4), row.text(5), row.integer(6), movies);
            }
            if (item) {
                contents.groups[*group].items.push_back(std::move(item));
            }
        });
        // Playlists with nothing of this tree's kind are not shown.
        std::erase_if(contents.groups, [](const CatalogueGroup& group) { return group.items.empty(); });
        return true;
    });
}
