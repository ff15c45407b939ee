#include "bench/LibraryDatabases.h"

#include "support/CatalogueSchemas.h"

#include <QFile>

#include <sqlite3.h>
#include <vector>

namespace LibraryDatabases {

namespace {

// A database written in one transaction, row by row through prepared statements.
class Writer {
public:
    Writer(const QString& path, const QString& schema) {
        QFile::remove(path);
        sqlite3_open(QFile::encodeName(path).constData(), &_db);
        exec("PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY;");
        exec(schema.toUtf8());
        exec("BEGIN");
    }
    ~Writer() {
        for (sqlite3_stmt* statement : _statements) {
            sqlite3_finalize(statement);
        }
        exec("COMMIT");
        sqlite3_close(_db);
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void exec(const QByteArray& sql) { sqlite3_exec(_db, sql.constData(), nullptr, nullptr, nullptr); }

    // Runs sql (prepared once per call site) with the values bound in order.
    template <typename... Values>
    void row(sqlite3_stmt*& statement, const char* sql, const Values&... values) {
        if (statement == nullptr) {
            sqlite3_prepare_v2(_db, sql, -1, &statement, nullptr);
            _statements.push_back(statement);
        }
        int index = 0;
        (bind(statement, ++index, values), ...);
        sqlite3_step(statement);
        sqlite3_reset(statement);
    }

private:
    static void bind(sqlite3_stmt* statement, int index, qint64 value) {
        sqlite3_bind_int64(statement, index, value);
    }
    static void bind(sqlite3_stmt* statement, int index, int value) {
        sqlite3_bind_int64(statement, index, value);
    }
    static void bind(sqlite3_stmt* statement, int index, double value) {
        sqlite3_bind_double(statement, index, value);
    }
    static void bind(sqlite3_stmt* statement, int index, const QString& value) {
        const QByteArray bytes = value.toUtf8();
        sqlite3_bind_text(statement, index, bytes.constData(), static_cast<int>(bytes.size()),
                          SQLITE_TRANSIENT);
    }

    sqlite3* _db = nullptr;
    std::vector<sqlite3_stmt*> _statements;
};

// A name from a small vocabulary, different for each number.
QString word(int n) {
    static const char* const words[] = {"Harbour", "Lights", "Tide",  "Salt",  "Ferry", "Gull",  "North",
                                        "Cross",   "Dawn",   "River", "Stone", "Field", "Amber", "Cedar"};
    return QString::fromLatin1(words[n % 14]) + QLatin1Char(' ') + QString::fromLatin1(words[(n / 14) % 14]) +
           QLatin1Char(' ') + QString::number(n);
}

} // namespace

void writeDarktable(const QString& library, const QString& data, int pictures) {
    {
        Writer tags(data, CatalogueSchemas::darktableData());
        sqlite3_stmt* tag = nullptr;
        for (int id = 1; id <= 500; ++id) {
            const QString name = id <= 20 ? word(id) : word(id % 20 + 1) + QLatin1Char('|') + word(id);
            tags.row(tag, "INSERT INTO tags (id, name) VALUES (?, ?)", id, name);
        }
        tags.row(tag, "INSERT INTO tags (id, name) VALUES (?, ?)", 501,
                 QStringLiteral("darktable|format|cr2"));
    }
    Writer db(library, CatalogueSchemas::darktableLibrary());
    sqlite3_stmt* roll = nullptr;
    sqlite3_stmt* image = nullptr;
    sqlite3_stmt* label = nullptr;
    sqlite3_stmt* tagged = nullptr;
    for (int id = 1; id <= pictures; ++id) {
        const int rollId = (id - 1) / 100 + 1;
        if ((id - 1) % 100 == 0) {
            db.row(roll, "INSERT INTO film_rolls (id, folder) VALUES (?, ?)", rollId,
                   QStringLiteral("/home/user/Pictures/%1/%2").arg(2000 + rollId / 50).arg(word(rollId)));
        }
        const int flags = id % 25 == 0 ? 8 : id % 6;
        db.row(image,
               "INSERT INTO images (id, film_id, filename, flags, datetime_taken) VALUES (?, ?, ?, ?, ?)", id,
               rollId, QStringLiteral("IMG_%1.CR2").arg(id, 6, 10, QLatin1Char('0')), flags,
               qint64(id) * 1000);
        if (id % 5 == 0) {
            db.row(label, "INSERT INTO color_labels (imgid, color) VALUES (?, ?)", id, id % 5 + (id / 5) % 5);
        }
        db.row(tagged, "INSERT INTO tagged_images (imgid, tagid) VALUES (?, ?)", id, id % 500 + 1);
        db.row(tagged, "INSERT INTO tagged_images (imgid, tagid) VALUES (?, ?)", id, (id * 7) % 500 + 1);
    }
}

void writeLightroom(const QString& catalogue, int pictures) {
    Writer db(catalogue, CatalogueSchemas::lightroom());
    sqlite3_stmt* statement = nullptr;
    for (int root = 1; root <= 5; ++root) {
        db.row(
            statement,
            "INSERT INTO AgLibraryRootFolder (id_local, id_global, absolutePath, name) VALUES (?, ?, ?, ?)",
            root, QStringLiteral("R%1").arg(root), QStringLiteral("/home/user/Photos %1/").arg(root),
            QStringLiteral("Photos %1").arg(root));
    }
    statement = nullptr;
    for (int folder = 1; folder <= 2000; ++folder) {
        db.row(
            statement,
            "INSERT INTO AgLibraryFolder (id_local, id_global, pathFromRoot, rootFolder) VALUES (?, ?, ?, ?)",
            folder, QStringLiteral("F%1").arg(folder),
            QStringLiteral("%1/%2/").arg(2000 + folder % 20).arg(word(folder)), folder % 5 + 1);
    }
    sqlite3_stmt* file = nullptr;
    sqlite3_stmt* image = nullptr;
    sqlite3_stmt* member = nullptr;
    sqlite3_stmt* keyword = nullptr;
    for (int id = 1; id <= pictures; ++id) {
        db.row(file,
               "INSERT INTO AgLibraryFile (id_local, id_global, baseName, extension, folder) VALUES (?, ?, "
               "?, ?, ?)",
               id, QStringLiteral("L%1").arg(id), QStringLiteral("IMG_%1").arg(id, 6, 10, QLatin1Char('0')),
               QStringLiteral("CR2"), id % 2000 + 1);
        db.row(image,
               "INSERT INTO Adobe_images (id_local, id_global, rootFile, captureTime, pick, fileFormat) "
               "VALUES (?, ?, ?, "
               "?, ?, ?)",
               id, QStringLiteral("I%1").arg(id), id, QStringLiteral("2020-01-01T00:00:%1").arg(id),
               id % 25 == 0 ? -1 : (id % 10 == 0 ? 1 : 0), QStringLiteral("RAW"));
        db.row(
            member,
            "INSERT INTO AgLibraryCollectionImage (collection, image, positionInCollection) VALUES (?, ?, ?)",
            id % 300 + 31, id, QString::number(id));
        db.row(keyword, "INSERT INTO AgLibraryKeywordImage (image, tag) VALUES (?, ?)", id, id % 500 + 2);
        db.row(keyword, "INSERT INTO AgLibraryKeywordImage (image, tag) VALUES (?, ?)", id,
               (id * 7) % 500 + 2);
    }
    statement = nullptr;
    for (int set = 1; set <= 30; ++set) {
        db.row(statement,
               "INSERT INTO AgLibraryCollection (id_local, creationId, name, parent) VALUES (?, ?, ?, NULL)",
               set, QStringLiteral("com.adobe.ag.library.group"), word(set));
    }
    statement = nullptr;
    for (int collection = 31; collection <= 330; ++collection) {
        db.row(statement,
               "INSERT INTO AgLibraryCollection (id_local, creationId, name, parent) VALUES (?, ?, ?, ?)",
               collection, QStringLiteral("com.adobe.ag.library.collection"), word(collection),
               collection % 30 + 1);
    }
    statement = nullptr;
    db.row(statement,
           "INSERT INTO AgLibraryKeyword (id_local, id_global, name, parent) VALUES (?, ?, NULL, NULL)", 1,
           QStringLiteral("K1"));
    statement = nullptr;
    for (int id = 2; id <= 501; ++id) {
        db.row(statement,
               "INSERT INTO AgLibraryKeyword (id_local, id_global, name, parent) VALUES (?, ?, ?, ?)", id,
               QStringLiteral("K%1").arg(id), word(id), id <= 21 ? 1 : id % 20 + 2);
    }
}

void writePhotosLibrary(const QString& bundle, int assets, int albums) {
    Writer db(bundle + QStringLiteral("/database/Photos.sqlite"), CatalogueSchemas::photosVentura());
    sqlite3_stmt* asset = nullptr;
    sqlite3_stmt* attributes = nullptr;
    for (int id = 1; id <= assets; ++id) {
        const QString uuid = QStringLiteral("%1-4A2B-4C3D-8E5F-%2")
                                 .arg(id % 16, 1, 16)
                                 .arg(id, 12, 10, QLatin1Char('0'))
                                 .toUpper();
        db.row(asset,
               "INSERT INTO ZASSET (Z_PK, ZUUID, ZDIRECTORY, ZFILENAME, ZDATECREATED, ZKIND, ZTRASHEDSTATE, "
               "ZHIDDEN) "
               "VALUES (?, ?, ?, ?, ?, ?, ?, 0)",
               id, uuid, uuid.left(1),
               uuid + (id % 20 == 0 ? QStringLiteral(".mov") : QStringLiteral(".heic")),
               600000000.0 + id * 1800.0, id % 20 == 0 ? 1 : 0, id % 50 == 0 ? 1 : 0);
        db.row(attributes,
               "INSERT INTO ZADDITIONALASSETATTRIBUTES (ZASSET, ZORIGINALFILENAME, ZTITLE) VALUES (?, ?, ?)",
               id, QStringLiteral("IMG_%1.HEIC").arg(id), id % 3 == 0 ? word(id) : QString());
    }
    sqlite3_stmt* album = nullptr;
    db.row(album,
           "INSERT INTO ZGENERICALBUM (Z_PK, ZKIND, ZTITLE, ZPARENTFOLDER, ZTRASHEDSTATE) VALUES (?, ?, ?, "
           "?, 0)",
           1, 3999, QString(), 0);
    const int folders = albums / 20;
    for (int folder = 0; folder < folders; ++folder) {
        db.row(album,
               "INSERT INTO ZGENERICALBUM (Z_PK, ZKIND, ZTITLE, ZPARENTFOLDER, ZTRASHEDSTATE) VALUES (?, ?, "
               "?, ?, 0)",
               2 + folder, 4000, word(folder), 1);
    }
    sqlite3_stmt* member = nullptr;
    for (int index = 0; index < albums; ++index) {
        const int id = 2 + folders + index;
        db.row(album,
               "INSERT INTO ZGENERICALBUM (Z_PK, ZKIND, ZTITLE, ZPARENTFOLDER, ZTRASHEDSTATE) VALUES (?, ?, "
               "?, ?, 0)",
               id, 2, word(index + 100), 2 + index % folders);
        for (int k = 0; k < 40; ++k) {
            db.row(member, "INSERT INTO Z_28ASSETS (Z_28ALBUMS, Z_3ASSETS, Z_FOK_3ASSETS) VALUES (?, ?, ?)",
                   id, (index * 40 + k * 37) % assets + 1, k);
        }
    }
}

void writeElisa(const QString& database, int tracks) {
    Writer db(database, CatalogueSchemas::elisa());
    sqlite3_stmt* track = nullptr;
    for (int id = 1; id <= tracks; ++id) {
        const int album = (id - 1) / 12;
        const QString folder =
            QStringLiteral("file:///home/user/Music/%1/%2").arg(word(album / 8), word(album));
        db.row(
            track,
            "INSERT INTO Tracks (ID, FileName, Priority, Title, ArtistName, AlbumTitle, AlbumArtistName, "
            "AlbumPath, "
            "TrackNumber, Duration, HasEmbeddedCover) VALUES (?, ?, 1, ?, ?, ?, ?, ?, ?, ?, 0)",
            id,
            folder +
                QStringLiteral("/%1 %2.flac").arg((id - 1) % 12 + 1, 2, 10, QLatin1Char('0')).arg(word(id)),
            word(id), word(album / 8), word(album), word(album / 8), folder, (id - 1) % 12 + 1,
            qint64(120000 + id % 240000));
    }
}

void writeLollypop(const QString& collection, const QString& playlists, int tracks) {
    {
        Writer db(collection, CatalogueSchemas::lollypop());
        sqlite3_stmt* statement = nullptr;
        for (int artist = 1; artist <= 5000; ++artist) {
            db.row(statement, "INSERT INTO artists (id, name, sortname) VALUES (?, ?, ?)", artist,
                   word(artist), word(artist));
        }
        statement = nullptr;
        for (int album = 1; album <= (tracks + 11) / 12; ++album) {
            db.row(statement,
                   "INSERT INTO albums (id, name, no_album_artist, uri, popularity, rate, loved, mtime, "
                   "storage_type, "
                   "synced) VALUES (?, ?, 0, ?, 0, 0, 0, 0, 2, 0)",
                   album, word(album + 7), QStringLiteral("file:///home/user/Music/%1").arg(album));
        }
        sqlite3_stmt* track = nullptr;
        sqlite3_stmt* artist = nullptr;
        for (int id = 1; id <= tracks; ++id) {
            db.row(track,
                   "INSERT INTO tracks (id, name, uri, duration, album_id, popularity, rate, ltime, mtime, "
                   "storage_type) VALUES (?, ?, ?, ?, ?, 0, 0, 0, 0, 2)",
                   id, word(id),
                   QStringLiteral("file:///home/user/Music/%1/%2.mp3").arg((id - 1) / 12 + 1).arg(id),
                   qint64(120000 + id % 240000), (id - 1) / 12 + 1);
            db.row(artist, "INSERT INTO track_artists (track_id, artist_id) VALUES (?, ?)", id,
                   id % 5000 + 1);
            if (id % 10 == 0) {
                db.row(artist, "INSERT INTO track_artists (track_id, artist_id) VALUES (?, ?)", id,
                       id % 4999 + 1);
            }
        }
    }
    Writer db(playlists, CatalogueSchemas::lollypopPlaylists());
    sqlite3_stmt* playlist = nullptr;
    sqlite3_stmt* entry = nullptr;
    for (int id = 1; id <= 50; ++id) {
        db.row(playlist, "INSERT INTO playlists (id, name, mtime) VALUES (?, ?, 0)", id, word(id));
        for (int k = 0; k < 200; ++k) {
            const int track = (id * 200 + k * 13) % tracks + 1;
            db.row(entry, "INSERT INTO tracks (playlist_id, uri) VALUES (?, ?)", id,
                   QStringLiteral("file:///home/user/Music/%1/%2.mp3").arg((track - 1) / 12 + 1).arg(track));
        }
    }
}

void writeKodiMusic(const QString& database, int songs) {
    Writer db(database, CatalogueSchemas::kodiMusic());
    sqlite3_stmt* statement = nullptr;
    for (int path = 1; path <= (songs + 49) / 50; ++path) {
        db.row(statement, "INSERT INTO path (idPath, strPath) VALUES (?, ?)", path,
               path % 10 == 0 ? QStringLiteral("smb://nas/music/%1/").arg(word(path))
                              : QStringLiteral("/home/user/Music/%1/").arg(word(path)));
    }
    statement = nullptr;
    for (int album = 1; album <= (songs + 11) / 12; ++album) {
        db.row(statement, "INSERT INTO album (idAlbum, strAlbum) VALUES (?, ?)", album, word(album + 3));
    }
    statement = nullptr;
    for (int id = 1; id <= songs; ++id) {
        db.row(statement,
               "INSERT INTO song (idSong, idAlbum, idPath, strArtistDisp, strTitle, iDuration, strFileName) "
               "VALUES (?, ?, "
               "?, ?, ?, ?, ?)",
               id, (id - 1) / 12 + 1, (id - 1) / 50 + 1, word(id % 5000), word(id), 120 + id % 240,
               QStringLiteral("%1 %2.flac").arg((id - 1) % 50 + 1, 2, 10, QLatin1Char('0')).arg(word(id)));
    }
}

} // namespace LibraryDatabases
