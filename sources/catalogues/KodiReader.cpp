#include "sources/catalogues/KodiReader.h"

#include "model/QVMovie.h"
#include "platform/catalogues/SqliteReader.h"
#include "sources/catalogues/CatalogueSql.h"
#include "sources/catalogues/CatalogueTracks.h"
#include "sources/catalogues/CatalogueUrl.h"
#include "sources/catalogues/RowProgress.h"

#include <QHash>

namespace KodiReader {

namespace {

MediaItemPtr movie(const QString& location, const QString& title) {
    const QUrl url = location.startsWith(QLatin1Char('/')) ? CatalogueUrl::fromPath(location)
                                                           : CatalogueUrl::fromLocation(location);
    if (url.isEmpty()) {
        return nullptr;
    }
    return std::make_shared<QVMovie>(url, title);
}

// The videos of one kind: each row is (id, title, folder, file, ...).
const char kFiles[] = "JOIN files f ON f.idFile = v.idFile JOIN path p ON p.idPath = f.idPath";

} // namespace

QString location(const QString& folder, const QString& file) {
    if (file.startsWith(QLatin1String("stack://"))) {
        // "stack://first , second , …": each part a whole path.
        const QString parts = file.mid(8);
        const qsizetype separator = parts.indexOf(QLatin1String(" , "));
        return separator < 0 ? parts : parts.left(separator);
    }
    if (file.contains(QLatin1String("://")) || file.startsWith(QLatin1Char('/'))) {
        return file;
    }
    return folder + file;
}

CatalogueContents readMusic(const QString& database, LoadProgress& progress) {
    using CatalogueSql::column;
    CatalogueContents contents;
    const bool ok = SqliteReader::read(database, [&](SqliteReader& db) {
        contents = {};
        const QStringList columns = db.columns(QStringLiteral("song"));
        if (!columns.contains(QLatin1String("strfilename")) || !db.hasTable(QStringLiteral("path"))) {
            return true;
        }
        // Artists as shown: "strArtistDisp" since Kodi 18, "strArtists" before.
        const QString artist = CatalogueSql::firstColumn(
            columns, {QStringLiteral("strArtistDisp"), QStringLiteral("strArtists")});
        QHash<qint64, QString> albumNames;
        const QStringList albumColumns = db.columns(QStringLiteral("album"));
        if (albumColumns.contains(QLatin1String("stralbum"))) {
            db.query(QStringLiteral("SELECT idAlbum, strAlbum FROM album"),
                     [&albumNames](const SqliteRow& row) { albumNames.insert(row.integer(0), row.text(1)); });
        }
        CatalogueTracks::Albums albums;
        QByteArray lastFolderBytes;
        QString lastFolder;
        RowProgress rows(progress, CatalogueSql::highestRowId(db, QStringLiteral("song")));
        const QString sql =
            QStringLiteral("SELECT s.idSong, p.strPath, s.strFileName, s.%1, s.%2, s.%3, s.%4 FROM song s "
                           "JOIN path p ON p.idPath = s.idPath ORDER BY s.idSong")
                .arg(column(columns, QStringLiteral("strTitle")), artist,
                     column(columns, QStringLiteral("iDuration")), column(columns, QStringLiteral("idAlbum")))
                .replace(QLatin1String("s.NULL"), QLatin1String("NULL"));
        const bool listed = db.query(sql, [&](const SqliteRow& row) {
            if (!rows.next(row.integer(0))) {
                return;
            }
            // An album's songs share their folder, one after another.
            if (const QByteArrayView folder = row.bytes(1); folder != lastFolderBytes) {
                lastFolderBytes = folder.toByteArray();
                lastFolder = row.path(1);
            }
            MediaItemPtr track =
                CatalogueTracks::track(location(lastFolder, row.path(2)), row.text(3), row.text(4),
                                       CatalogueTracks::seconds(row.integer(5), 1));
            if (!track) {
                return;
            }
            if (const auto album = albumNames.constFind(row.integer(6));
                album != albumNames.constEnd() && !album->isEmpty()) {
                albums.add(row.integer(6), *album, track);
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
    return contents;
}

CatalogueContents readVideos(const QString& database, LoadProgress& progress) {
    CatalogueContents contents;
    const bool ok = SqliteReader::read(database, [&](SqliteReader& db) {
        contents = {};
        if (!db.columns(QStringLiteral("files")).contains(QLatin1String("strfilename")) ||
            !db.hasTable(QStringLiteral("path"))) {
            return true;
        }
        const auto hasVideos = [&db](const QString& table, const QString& id) {
            const QStringList columns = db.columns(table);
            return columns.contains(id.toLower()) && columns.contains(QLatin1String("idfile")) &&
                   columns.contains(QLatin1String("c00"));
        };
        bool complete = true;

        // Movies, by title.
        if (hasVideos(QStringLiteral("movie"), QStringLiteral("idMovie"))) {
            CatalogueGroup movies{
                QStringLiteral("Movies"), CatalogueGroup::Kind::Folder, {}, {}, QStringLiteral("movies")};
            RowProgress rows(progress, 1, 0.0, 0.4);
            complete =
                db.query(QStringLiteral("SELECT v.idMovie, v.c00, p.strPath, f.strFilename FROM movie v %1 "
                                        "ORDER BY v.c00, v.idMovie")
                             .arg(QLatin1String(kFiles)),
                         [&](const SqliteRow& row) {
                             if (!rows.next(0)) {
                                 return;
                             }
                             if (MediaItemPtr item = movie(location(row.path(2), row.path(3)), row.text(1))) {
                                 movies.items.push_back(item);
                                 contents.items.push_back(std::move(item));
                             }
                         }) &&
                !rows.cancelled();
            if (!movies.items.empty()) {
                contents.groups.push_back(std::move(movies));
            }
        }

        // TV episodes, by show, season and number.
        if (complete && hasVideos(QStringLiteral("episode"), QStringLiteral("idEpisode")) &&
            db.columns(QStringLiteral("tvshow")).contains(QLatin1String("c00"))) {
            CatalogueGroup shows{
                QStringLiteral("TV Shows"), CatalogueGroup::Kind::Folder, {}, {}, QStringLiteral("shows")};
            QHash<qint64, std::size_t> showGroups;
            RowProgress rows(progress, 1, 0.4, 0.8);
            complete =
                db.query(QStringLiteral(
                             "SELECT v.idEpisode, v.c00, p.strPath, f.strFilename, v.idShow, s.c00, "
                             "CAST(v.c12 AS INTEGER), CAST(v.c13 AS INTEGER) FROM episode v %1 "
                             "JOIN tvshow s ON s.idShow = v.idShow "
                             "ORDER BY s.c00, v.idShow, CAST(v.c12 AS INTEGER), CAST(v.c13 AS INTEGER), "
                             "v.idEpisode")
                             .arg(QLatin1String(kFiles)),
                         [&](const SqliteRow& row) {
                             if (!rows.next(0)) {
                                 return;
                             }
                             const qint64 number = row.integer(7);
                             const QString title = number > 0
                                                       ? QStringLiteral("%1. %2").arg(number).arg(row.text(1))
                                                       : row.text(1);
                             MediaItemPtr item = movie(location(row.path(2), row.path(3)), title);
                             if (!item) {
                                 return;
                             }
                             const qint64 showId = row.integer(4);
                             auto show = showGroups.constFind(showId);
                             if (show == showGroups.constEnd()) {
                                 show = showGroups.insert(showId, shows.groups.size());
                                 shows.groups.push_back({row.text(5),
                                                         CatalogueGroup::Kind::Folder,
                                                         {},
                                                         {},
                                                         QStringLiteral("show-%1").arg(showId)});
                             }
                             CatalogueGroup& showGroup = shows.groups[*show];
                             const qint64 season = row.integer(6);
                             const QString seasonName = season == 0 ? QStringLiteral("Specials")
                                                                    : QStringLiteral("Season %1").arg(season);
                             if (showGroup.groups.empty() || showGroup.groups.back().name != seasonName) {
                                 showGroup.groups.push_back(
                                     {seasonName,
                                      CatalogueGroup::Kind::Album,
                                      {},
                                      {},
                                      QStringLiteral("show-%1-season-%2").arg(showId).arg(season)});
                             }
                             showGroup.groups.back().items.push_back(item);
                             contents.items.push_back(std::move(item));
                         }) &&
                !rows.cancelled();
            if (!shows.groups.empty()) {
                contents.groups.push_back(std::move(shows));
            }
        }

        // Music videos, by artist and title.
        if (complete && hasVideos(QStringLiteral("musicvideo"), QStringLiteral("idMVideo"))) {
            CatalogueGroup clips{QStringLiteral("Music Videos"),
                                 CatalogueGroup::Kind::Folder,
                                 {},
                                 {},
                                 QStringLiteral("musicvideos")};
            RowProgress rows(progress, 1, 0.8, 1.0);
            complete =
                db.query(QStringLiteral(
                             "SELECT v.idMVideo, v.c00, p.strPath, f.strFilename, v.c10 FROM musicvideo v "
                             "%1 ORDER BY v.c10, v.c00, v.idMVideo")
                             .arg(QLatin1String(kFiles)),
                         [&](const SqliteRow& row) {
                             if (!rows.next(0)) {
                                 return;
                             }
                             const QString artist = row.text(4);
                             const QString title = artist.isEmpty()
                                                       ? row.text(1)
                                                       : QStringLiteral("%1 – %2").arg(artist, row.text(1));
                             if (MediaItemPtr item = movie(location(row.path(2), row.path(3)), title)) {
                                 clips.items.push_back(item);
                                 contents.items.push_back(std::move(item));
                             }
                         }) &&
                !rows.cancelled();
            if (!clips.items.empty()) {
                contents.groups.push_back(std::move(clips));
            }
        }
        return complete;
    });
    if (!ok) {
        return CatalogueContents::failure();
    }
    return contents;
}

} // namespace KodiReader
