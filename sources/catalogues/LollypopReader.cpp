#include "sources/catalogues/LollypopReader.h"

#include "platform/catalogues/SqliteReader.h"
#include "sources/catalogues/CatalogueSql.h"
#include "sources/catalogues/CatalogueTracks.h"
#include "sources/catalogues/RowProgress.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace LollypopReader {

namespace {

// The schema version from which Lollypop keeps lengths in milliseconds.
constexpr qint64 millisecondsSince = 40;
// Tracks of the user's collection; the others come from web services.
constexpr qint64 storageCollection = 1 << 1;
constexpr qint64 storageExternal = 1 << 6;

void readPlaylists(const QString& playlists, const QHash<QString, std::size_t>& byUri,
                   const std::vector<MediaItemPtr>& items, std::vector<CatalogueGroup>& groups) {
    SqliteReader::read(playlists, [&](SqliteReader& db) {
        std::vector<CatalogueGroup> found;
        const QStringList columns = db.columns(QStringLiteral("playlists"));
        const QStringList trackColumns = db.columns(QStringLiteral("tracks"));
        // Files by URI, or by path before the collection's version 13.
        const QString location =
            CatalogueSql::firstColumn(trackColumns, {QStringLiteral("uri"), QStringLiteral("filepath")});
        if (!columns.contains(QLatin1String("name")) ||
            !trackColumns.contains(QLatin1String("playlist_id")) || location == QLatin1String("NULL")) {
            return true;
        }
        QHash<qint64, std::size_t> byId;
        db.query(QStringLiteral("SELECT id, name, %1 FROM playlists ORDER BY name, id")
                     .arg(CatalogueSql::column(columns, QStringLiteral("smart_enabled"))),
                 [&](const SqliteRow& row) {
                     if (row.integer(2) == 0) {
                         byId.insert(row.integer(0), found.size());
                         found.push_back({row.text(1),
                                          CatalogueGroup::Kind::Playlist,
                                          {},
                                          {},
                                          QStringLiteral("playlist-%1").arg(row.integer(0))});
                     }
                 });
        db.query(QStringLiteral("SELECT playlist_id, %1 FROM tracks ORDER BY ROWID").arg(location),
                 [&](const SqliteRow& row) {
                     const auto playlist = byId.constFind(row.integer(0));
                     const auto item = byUri.constFind(row.text(1));
                     if (playlist != byId.constEnd() && item != byUri.constEnd()) {
                         found[*playlist].items.push_back(items[*item]);
                     }
                 });
        std::erase_if(found, [](const CatalogueGroup& group) { return group.items.empty(); });
        groups.insert(groups.end(), std::make_move_iterator(found.begin()),
                      std::make_move_iterator(found.end()));
        return true;
    });
}

} // namespace

CatalogueContents read(const QString& collection, const QString& playlists, LoadProgress& progress) {
    using CatalogueSql::column;
    CatalogueContents contents;
    QHash<QString, std::size_t> byUri;
    const bool ok = SqliteReader::read(collection, [&](SqliteReader& db) {
        contents = {};
        byUri.clear();
        const QStringList columns = db.columns(QStringLiteral("tracks"));
        const QString location =
            CatalogueSql::firstColumn(columns, {QStringLiteral("uri"), QStringLiteral("filepath")});
        if (location == QLatin1String("NULL")) {
            return true;
        }
        const qint64 perSecond =
            CatalogueSql::number(db, QStringLiteral("PRAGMA user_version")) >= millisecondsSince ? 1000 : 1;
        // The tracks' artists, joined as Lollypop shows them, in track order:
        // the tracks, read in the same order, take them in step.
        std::vector<std::pair<qint64, QString>> artists;
        if (db.hasTable(QStringLiteral("track_artists")) && db.hasTable(QStringLiteral("artists"))) {
            db.query(
                QStringLiteral("SELECT ta.track_id, a.name FROM track_artists ta JOIN artists a ON a.id = "
                               "ta.artist_id ORDER BY ta.track_id, ta.ROWID"),
                [&artists](const SqliteRow& row) {
                    if (!artists.empty() && artists.back().first == row.integer(0)) {
                        artists.back().second += QStringLiteral(", ") + row.text(1);
                    } else {
                        artists.emplace_back(row.integer(0), row.text(1));
                    }
                });
        }
        auto nextArtists = artists.cbegin();
        QHash<qint64, QString> albumNames;
        if (db.columns(QStringLiteral("albums")).contains(QLatin1String("name"))) {
            db.query(QStringLiteral("SELECT id, name FROM albums"),
                     [&albumNames](const SqliteRow& row) { albumNames.insert(row.integer(0), row.text(1)); });
        }
        progress.setFraction(0.1);
        CatalogueTracks::Albums albums;
        const qint64 highestId = CatalogueSql::highestRowId(db, QStringLiteral("tracks"));
        RowProgress rows(progress, highestId, 0.1, 0.95);
        if (!playlists.isNull()) {
            byUri.reserve(static_cast<qsizetype>(std::clamp<qint64>(highestId, 0, 1 << 22)));
        }
        const QString sql =
            QStringLiteral("SELECT id, %1, %2, %3, %4, %5 FROM tracks ORDER BY id")
                .arg(location, column(columns, QStringLiteral("name")),
                     column(columns, QStringLiteral("duration")), column(columns, QStringLiteral("album_id")),
                     column(columns, QStringLiteral("storage_type")));
        const bool listed = db.query(sql, [&](const SqliteRow& row) {
            const qint64 id = row.integer(0);
            if (!rows.next(id)) {
                return;
            }
            if (!row.isNull(5) && (row.integer(5) & (storageCollection | storageExternal)) == 0) {
                return;
            }
            while (nextArtists != artists.cend() && nextArtists->first < id) {
                ++nextArtists;
            }
            const QString artist =
                nextArtists != artists.cend() && nextArtists->first == id ? nextArtists->second : QString();
            const QByteArrayView uri = row.bytes(1);
            MediaItemPtr track = CatalogueTracks::track(uri, row.text(2), artist,
                                                        CatalogueTracks::seconds(row.integer(3), perSecond));
            if (!track) {
                return;
            }
            const qint64 album = row.integer(4);
            if (const auto name = albumNames.constFind(album);
                name != albumNames.constEnd() && !name->isEmpty()) {
                albums.add(album, *name, track);
            }
            if (!playlists.isNull()) {
                byUri.insert(QString::fromUtf8(uri), contents.items.size());
            }
            contents.items.push_back(std::move(track));
        });
        if (!listed || rows.cancelled()) {
            return false;
        }
        albums.takeInto(contents.groups);
        return true;
    });
    if (!ok) {
        return CatalogueContents::failure();
    }
    if (!playlists.isNull()) {
        readPlaylists(playlists, byUri, contents.items, contents.groups);
    }
    return contents;
}

} // namespace LollypopReader
