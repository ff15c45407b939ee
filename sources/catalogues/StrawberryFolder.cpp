#include "sources/catalogues/StrawberryFolder.h"

#include "model/QVMovie.h"
#include "model/QVTrack.h"
#include "platform/catalogues/SqliteReader.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "platform/system/UserDirectories.h"
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
        return std::make_shared<QVMovie>(url);
    }
    return std::make_shared<QVTrack>(title, artist, lengthOf(length), url);
}

} // namespace

void StrawberryFolder::addToRoots(const CatalogueRoots& roots) {
    const std::pair<QString, QString> collections[] = {{QStringLiteral("Strawberry"), strawberryDatabase()},
                                                       {QStringLiteral("Clementine"), clementineDatabase()}};
    for (const auto& [name, database] : collections) {
        if (database.isNull()) {
            continue;
        }
        if (roots.music != nullptr) {
            roots.music->addFolder(std::make_shared<StrawberryFolder>(name, database, Media::Music));
        }
        if (roots.movies != nullptr) {
            roots.movies->addFolder(std::make_shared<StrawberryFolder>(name, database, Media::Movies));
        }
    }
}

QString StrawberryFolder::strawberryDatabase() {
    const QString path = UserDirectories::dataHome() + QStringLiteral("/strawberry/strawberry/strawberry.db");
    return FileSystem::exists(path) ? path : QString();
}

QString StrawberryFolder::clementineDatabase() {
    const QString path = UserDirectories::configHome() + QStringLiteral("/Clementine/clementine.db");
    return FileSystem::exists(path) ? path : QString();
}

StrawberryFolder::StrawberryFolder(const QString& name, const QString& database, Media media)
    : CatalogueFolder(name, Library::Music)
    , _database(database)
    , _media(media) {
}

CatalogueReader StrawberryFolder::catalogueReader() const {
    return [database = _database, media = _media](LoadProgress&) {
        return read(database, media);
    };
}

CatalogueContents StrawberryFolder::read(const QString& database, Media media) {
    const bool movies = media == Media::Movies;
    CatalogueContents contents;
    const bool ok = SqliteReader::read(database, [&](SqliteReader& db) {
        contents = {};
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
        const QString sql =
            QStringLiteral("SELECT ROWID, %1, %2, %3, %4, %5 FROM songs ORDER BY ROWID")
                .arg(urlColumn, column(columns, QStringLiteral("title")),
                     column(columns, QStringLiteral("artist")), column(columns, QStringLiteral("length")),
                     column(columns, QStringLiteral("unavailable")));
        const bool listed = db.query(sql, [&](const SqliteRow& row) {
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
                     contents.groups.push_back({row.text(1), CatalogueGroup::Kind::Playlist, {}, {}, {}});
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
        db.query(itemSql, [&](const SqliteRow& row) {
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
    if (!ok) {
        return CatalogueContents::failure();
    }
    return contents;
}
