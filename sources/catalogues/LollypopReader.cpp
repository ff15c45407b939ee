#include "sources/catalogues/LollypopReader.h"

#include "platform/catalogues/SqliteReader.h"
#include "sources/catalogues/CatalogueSql.h"
#include "sources/catalogues/CatalogueTracks.h"
#include "sources/catalogues/RowProgress.h"

#include <QHash>

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace LollypopReader {

namespace {

// The schema version from which Lollypop keeps lengths in milliseconds.
constexpr qint64 millisecondsSince = 40;
// Tracks of the user's collection; the others come from web services.
constexpr qint64 storageCollection = 1 << 1;
constexpr qint64 storageExternal = 1 << 6;

// A string key that is found by a view of bytes too, without a copy.
struct BytesHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view bytes) const { return std::hash<std::string_view>()(bytes); }
};

// The user's playlists, read before the collection: their entries name
// tracks by URI, and the collection's pass looks each of its tracks up once.
struct Playlists {
    std::vector<CatalogueGroup> groups;
    // Each entry: its playlist and its URI.
    std::vector<std::pair<std::size_t, std::string>> entries;
    // The URIs the entries name, with the collection's track of each (none yet).
    std::unordered_map<std::string, std::size_t, BytesHash, std::equal_to<>> tracks;

    static constexpr std::size_t none = static_cast<std::size_t>(-1);

    // Notes that the collection's item at index plays uri.
    void found(QByteArrayView uri, std::size_t index) {
        if (const auto entry =
                tracks.find(std::string_view(uri.data(), static_cast<std::size_t>(uri.size())));
            entry != tracks.end()) {
            entry->second = index;
        }
    }

    // Fills the playlists from the collection's items; the playlists with
    // none of them are left out.
    void takeInto(const std::vector<MediaItemPtr>& items, std::vector<CatalogueGroup>& into) {
        for (const auto& [playlist, uri] : entries) {
            const std::size_t item = tracks[uri];
            if (item != none) {
                groups[playlist].items.push_back(items[item]);
            }
        }
        std::erase_if(groups, [](const CatalogueGroup& group) { return group.items.empty(); });
        into.insert(into.end(), std::make_move_iterator(groups.begin()),
                    std::make_move_iterator(groups.end()));
    }
};

Playlists readPlaylists(const QString& database) {
    Playlists playlists;
    SqliteReader::read(database, [&](SqliteReader& db) {
        playlists = {};
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
                         byId.insert(row.integer(0), playlists.groups.size());
                         playlists.groups.push_back({row.text(1),
                                                     CatalogueGroup::Kind::Playlist,
                                                     {},
                                                     {},
                                                     QStringLiteral("playlist-%1").arg(row.integer(0))});
                     }
                 });
        db.query(QStringLiteral("SELECT playlist_id, %1 FROM tracks ORDER BY ROWID").arg(location),
                 [&](const SqliteRow& row) {
                     if (const auto playlist = byId.constFind(row.integer(0)); playlist != byId.constEnd()) {
                         const QByteArrayView uri = row.bytes(1);
                         std::string key(uri.data(), static_cast<std::size_t>(uri.size()));
                         playlists.tracks.emplace(key, Playlists::none);
                         playlists.entries.emplace_back(*playlist, std::move(key));
                     }
                 });
        return true;
    });
    return playlists;
}

} // namespace

CatalogueContents read(const QString& collection, const QString& playlists, LoadProgress& progress) {
    using CatalogueSql::column;
    CatalogueContents contents;
    Playlists lists = playlists.isNull() ? Playlists() : readPlaylists(playlists);
    const bool ok = SqliteReader::read(collection, [&](SqliteReader& db) {
        contents = {};
        for (auto& [uri, track] : lists.tracks) {
            track = Playlists::none;
        }
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
            if (!lists.tracks.empty()) {
                lists.found(uri, contents.items.size());
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
    lists.takeInto(contents.items, contents.groups);
    return contents;
}

} // namespace LollypopReader
