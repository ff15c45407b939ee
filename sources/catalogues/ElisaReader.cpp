#include "sources/catalogues/ElisaReader.h"

#include "platform/catalogues/SqliteReader.h"
#include "sources/catalogues/CatalogueSql.h"
#include "sources/catalogues/CatalogueTracks.h"
#include "sources/catalogues/RowProgress.h"

#include <QByteArrayList>

namespace ElisaReader {

CatalogueContents read(const QString& database, LoadProgress& progress) {
    using CatalogueSql::column;
    CatalogueContents contents;
    const bool ok = SqliteReader::read(database, [&](SqliteReader& db) {
        contents = {};
        const QStringList columns = db.columns(QStringLiteral("Tracks"));
        QString from;
        QString file;
        if (columns.contains(QLatin1String("filename"))) {
            from = QStringLiteral("Tracks t");
            file = QStringLiteral("t.FileName");
        } else if (db.columns(QStringLiteral("TracksMapping")).contains(QLatin1String("trackid"))) {
            // Before Elisa 0.4: the files of a track in a table of their own.
            from = QStringLiteral("Tracks t JOIN TracksMapping m ON m.TrackID = t.ID");
            file = QStringLiteral("m.FileName");
        } else {
            return true;
        }
        const auto prefixed = [&columns](const QString& name) {
            const QString found = column(columns, name);
            return found == QLatin1String("NULL") ? found : QStringLiteral("t.") + found;
        };
        const QString sql =
            QStringLiteral("SELECT t.ID, %1, %2, %3, %4, %5, %6, %7 FROM %8 ORDER BY t.ID")
                .arg(file, prefixed(QStringLiteral("Title")), prefixed(QStringLiteral("ArtistName")),
                     prefixed(QStringLiteral("Duration")), prefixed(QStringLiteral("AlbumTitle")),
                     prefixed(QStringLiteral("AlbumArtistName")), prefixed(QStringLiteral("AlbumPath")),
                     from);
        CatalogueTracks::Albums albums;
        QByteArrayList lastAlbum; // title, artist and folder of the album of the last track
        RowProgress rows(progress, CatalogueSql::highestRowId(db, QStringLiteral("Tracks")));
        const bool listed = db.query(sql, [&](const SqliteRow& row) {
            if (!rows.next(row.integer(0))) {
                return;
            }
            // Durations in milliseconds.
            MediaItemPtr track = CatalogueTracks::track(row.bytes(1), row.text(2), row.text(3),
                                                        CatalogueTracks::seconds(row.integer(4), 1000));
            if (!track) {
                return;
            }
            // Elisa tells albums apart by title, album artist and folder; an
            // album's tracks mostly come one after another.
            const QByteArrayView title = row.bytes(5);
            if (title.isEmpty()) {
                lastAlbum.clear();
            } else if (!lastAlbum.isEmpty() && title == lastAlbum[0] && row.bytes(6) == lastAlbum[1] &&
                       row.bytes(7) == lastAlbum[2]) {
                albums.addToLast(track);
            } else {
                lastAlbum = {title.toByteArray(), row.bytes(6).toByteArray(), row.bytes(7).toByteArray()};
                const QString album = row.text(5);
                albums.add(album + QChar(0x1F) + row.text(6) + QChar(0x1F) + row.text(7), album, track);
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

} // namespace ElisaReader
