#include "bench/LibraryGenerator.h"

#include <QFile>
#include <QUrl>

#include <sqlite3.h>

namespace LibraryGenerator {

void writeShotwell(const QString& path, int photos, int events, int tags) {
    QFile::remove(path);
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(
        db,
        "CREATE TABLE PhotoTable (id INTEGER PRIMARY KEY, filename TEXT UNIQUE NOT NULL, width INTEGER,"
        " height INTEGER, filesize INTEGER, timestamp INTEGER, exposure_time INTEGER, orientation INTEGER,"
        " original_orientation INTEGER, import_id INTEGER, event_id INTEGER, transformations TEXT,"
        " md5 TEXT, thumbnail_md5 TEXT, exif_md5 TEXT, time_created INTEGER, flags INTEGER DEFAULT 0,"
        " rating INTEGER DEFAULT 0, file_format INTEGER DEFAULT 0, title TEXT, backlinks TEXT,"
        " time_reimported INTEGER, editable_id INTEGER DEFAULT -1, metadata_dirty INTEGER DEFAULT 0,"
        " developer TEXT, develop_shotwell_id INTEGER DEFAULT -1, develop_camera_id INTEGER DEFAULT -1,"
        " develop_embedded_id INTEGER DEFAULT -1, comment TEXT);"
        "CREATE TABLE EventTable (id INTEGER PRIMARY KEY, name TEXT, primary_photo_id INTEGER,"
        " time_created INTEGER, primary_source_id TEXT, comment TEXT);"
        "CREATE TABLE TagTable (id INTEGER PRIMARY KEY, name TEXT UNIQUE NOT NULL, photo_id_list TEXT,"
        " time_created INTEGER);"
        "CREATE TABLE VideoTable (id INTEGER PRIMARY KEY, filename TEXT UNIQUE NOT NULL, width INTEGER,"
        " height INTEGER, clip_duration REAL, is_interpretable INTEGER, filesize INTEGER,"
        " timestamp INTEGER, exposure_time INTEGER, import_id INTEGER, event_id INTEGER, md5 TEXT,"
        " time_created INTEGER, rating INTEGER DEFAULT 0, title TEXT, backlinks TEXT,"
        " time_reimported INTEGER, flags INTEGER DEFAULT 0, comment TEXT);"
        "BEGIN;",
        nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(
        db,
        "INSERT INTO PhotoTable (id, filename, width, height, filesize, exposure_time, event_id,"
        " md5, flags, title) VALUES (?, ?, 4000, 3000, 4500000, ?, ?, ?, ?, ?)",
        -1, &insert, nullptr);
    for (int i = 1; i <= photos; ++i) {
        const QByteArray file = QStringLiteral("/home/user/Pictures/%1/%2/IMG_%3.jpg")
                                    .arg(2000 + i % 25)
                                    .arg(i % 12 + 1, 2, 10, QLatin1Char('0'))
                                    .arg(i, 6, 10, QLatin1Char('0'))
                                    .toUtf8();
        const QByteArray md5 = QByteArray::number(qHash(i), 16).rightJustified(32, '0');
        const QByteArray title = i % 7 == 0 ? QByteArray("Photo ") + QByteArray::number(i) : QByteArray();
        sqlite3_bind_int64(insert, 1, i);
        sqlite3_bind_text(insert, 2, file.constData(), static_cast<int>(file.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 3, 1500000000 + static_cast<qint64>(i) * 997 % 400000000);
        sqlite3_bind_int64(insert, 4, i % events + 1);
        sqlite3_bind_text(insert, 5, md5.constData(), static_cast<int>(md5.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 6, i % 50 == 0 ? 4 : 0);
        if (title.isEmpty()) {
            sqlite3_bind_null(insert, 7);
        } else {
            sqlite3_bind_text(insert, 7, title.constData(), static_cast<int>(title.size()), SQLITE_TRANSIENT);
        }
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    for (int e = 1; e <= events; ++e) {
        const QByteArray sql = "INSERT INTO EventTable (id, name) VALUES (" + QByteArray::number(e) + ", " +
                               (e % 3 == 0 ? QByteArray("NULL") : "'Event " + QByteArray::number(e) + "'") +
                               ")";
        sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    }
    for (int t = 0; t < tags; ++t) {
        QByteArray list;
        for (int i = t + 1; i <= photos; i += tags) {
            list += QByteArray("thumb") + QByteArray::number(i, 16).rightJustified(16, '0') + ',';
        }
        const QByteArray sql = "INSERT INTO TagTable (name, photo_id_list) VALUES ('Tag " +
                               QByteArray::number(t) + "', '" + list + "')";
        sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    }
    sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void writeRhythmbox(const QString& path, int songs) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return;
    }
    QByteArray out = "<?xml version=\"1.0\" standalone=\"yes\"?>\n<rhythmdb version=\"2.0\">\n";
    for (int i = 0; i < songs; ++i) {
        if (i % 100 == 0) {
            out += "  <entry type=\"iradio\">\n    <title>Radio " + QByteArray::number(i) +
                   "</title>\n    <genre>Eclectic</genre>\n    <location>http://radio.example.org/" +
                   QByteArray::number(i) +
                   "</location>\n    <media-type>application/octet-stream</media-type>\n"
                   "  </entry>\n";
        }
        const QByteArray n = QByteArray::number(i);
        out += "  <entry type=\"song\">\n    <title>Song " + n +
               " &amp; More</title>\n    <genre>Rock</genre>\n"
               "    <artist>Artist " +
               QByteArray::number(i % 900) + "</artist>\n    <album>Album " + QByteArray::number(i % 4000) +
               "</album>\n    <track-number>" + QByteArray::number(i % 14 + 1) +
               "</track-number>\n    <duration>" + QByteArray::number(120 + i % 300) +
               "</duration>\n    <file-size>5123456</file-size>\n"
               "    <location>file:///home/user/Music/Artist%20" +
               QByteArray::number(i % 900) + "/Album%20" + QByteArray::number(i % 4000) + "/" + n +
               "%20Song.mp3</location>\n"
               "    <mtime>1700000000</mtime>\n    <first-seen>1700000000</first-seen>\n"
               "    <last-seen>1767268800</last-seen>\n    <bitrate>256</bitrate>\n    <date>733000</date>\n"
               "    <media-type>audio/mpeg</media-type>\n  </entry>\n";
        if (out.size() > (1 << 20)) {
            file.write(out);
            out.clear();
        }
    }
    out += "</rhythmdb>\n";
    file.write(out);
}

void writeStrawberry(const QString& path, int songs) {
    QFile::remove(path);
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(
        db,
        "CREATE TABLE songs (title TEXT, album TEXT, artist TEXT, albumartist TEXT, track INTEGER,"
        " disc INTEGER, year INTEGER, genre TEXT, length INTEGER, bitrate INTEGER, samplerate INTEGER,"
        " directory_id INTEGER, url TEXT, filetype INTEGER, filesize INTEGER, mtime INTEGER,"
        " ctime INTEGER, unavailable INTEGER DEFAULT 0, playcount INTEGER DEFAULT 0,"
        " rating REAL DEFAULT -1);"
        "CREATE TABLE playlists (name TEXT, last_played INTEGER, special_type TEXT);"
        "CREATE TABLE playlist_items (playlist INTEGER, type INTEGER, collection_id INTEGER,"
        " url TEXT, title TEXT, artist TEXT, album TEXT, length INTEGER);"
        "BEGIN;",
        nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(
        db,
        "INSERT INTO songs (ROWID, title, album, artist, track, genre, length, directory_id, url,"
        " filesize, unavailable) VALUES (?, ?, ?, ?, ?, 'Rock', ?, 1, ?, 5123456, 0)",
        -1, &insert, nullptr);
    for (int i = 1; i <= songs; ++i) {
        const QByteArray title = "Song " + QByteArray::number(i);
        const QByteArray album = "Album " + QByteArray::number(i % 4000);
        const QByteArray artist = "Artist " + QByteArray::number(i % 900);
        const QByteArray url = "file:///home/user/Music/" + artist.toPercentEncoding() + "/" +
                               album.toPercentEncoding() + "/" + QByteArray::number(i) +
                               (i % 20 == 0 ? "%20Live.mp4" : "%20Song.flac");
        sqlite3_bind_int64(insert, 1, i);
        sqlite3_bind_text(insert, 2, title.constData(), static_cast<int>(title.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, album.constData(), static_cast<int>(album.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 4, artist.constData(), static_cast<int>(artist.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 5, i % 14 + 1);
        sqlite3_bind_int64(insert, 6, (120 + i % 300) * 1000000000LL);
        sqlite3_bind_text(insert, 7, url.constData(), static_cast<int>(url.size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    for (int p = 1; p <= 50; ++p) {
        const QByteArray sql =
            "INSERT INTO playlists (ROWID, name) VALUES (" + QByteArray::number(p) + ", 'Playlist " +
            QByteArray::number(p) +
            "');"
            "INSERT INTO playlist_items (playlist, type, collection_id) "
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 1999) "
            "SELECT " +
            QByteArray::number(p) + ", 2, (i * 7919 + " + QByteArray::number(p) + ") % " +
            QByteArray::number(songs) + " + 1 FROM n;";
        sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    }
    sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void writeDigikam(const QString& path, const QString& pictures, int images) {
    QFile::remove(path);
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(
        db,
        "CREATE TABLE AlbumRoots (id INTEGER PRIMARY KEY, label TEXT, status INTEGER NOT NULL,"
        " type INTEGER NOT NULL, identifier TEXT, specificPath TEXT, UNIQUE(identifier, specificPath));"
        "CREATE TABLE Albums (id INTEGER PRIMARY KEY, albumRoot INTEGER NOT NULL, relativePath TEXT"
        " NOT NULL, date DATE, caption TEXT, collection TEXT, icon INTEGER,"
        " UNIQUE(albumRoot, relativePath));"
        "CREATE TABLE Images (id INTEGER PRIMARY KEY, album INTEGER, name TEXT NOT NULL,"
        " status INTEGER NOT NULL, category INTEGER NOT NULL, modificationDate DATETIME,"
        " fileSize INTEGER, uniqueHash TEXT, UNIQUE (album, name));"
        "CREATE TABLE Tags (id INTEGER PRIMARY KEY, pid INTEGER, name TEXT NOT NULL, icon INTEGER,"
        " iconkde TEXT, UNIQUE (name, pid));"
        "CREATE TABLE ImageTags (imageid INTEGER NOT NULL, tagid INTEGER NOT NULL,"
        " UNIQUE (imageid, tagid));"
        "CREATE TABLE ImageComments (id INTEGER PRIMARY KEY, imageid INTEGER, type INTEGER,"
        " language TEXT, author TEXT, date DATETIME, comment TEXT,"
        " UNIQUE(imageid, type, language, author));"
        "CREATE INDEX comments_imageid_index ON ImageComments (imageid);"
        "BEGIN;",
        nullptr, nullptr, nullptr);
    const QByteArray root = "INSERT INTO AlbumRoots VALUES (1, 'Pictures', 0, 1, 'volumeid:?path=" +
                            QUrl::toPercentEncoding(pictures, "/") + "', '/');";
    sqlite3_exec(db, root.constData(), nullptr, nullptr, nullptr);
    constexpr int albums = 5000;
    sqlite3_exec(
        db,
        "INSERT INTO Albums (id, albumRoot, relativePath) WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL"
        " SELECT i + 1 FROM n WHERE i < 5000) SELECT i, 1, '/' || (2000 + i % 25) || '/Album ' || i"
        " FROM n;"
        "INSERT INTO Tags (id, pid, name) WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM"
        " n WHERE i < 500) SELECT i, CASE WHEN i <= 20 THEN 0 ELSE i % 20 + 1 END, 'Tag ' || i FROM n;",
        nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Images (id, album, name, status, category) VALUES (?, ?, ?, 1, ?)",
                       -1, &insert, nullptr);
    sqlite3_stmt* tag = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO ImageTags VALUES (?, ?)", -1, &tag, nullptr);
    for (int i = 1; i <= images; ++i) {
        const bool video = i % 20 == 0;
        const QByteArray name = (video ? "MVI_" : "IMG_") + QByteArray::number(i) + (video ? ".mp4" : ".jpg");
        sqlite3_bind_int64(insert, 1, i);
        sqlite3_bind_int(insert, 2, i % albums + 1);
        sqlite3_bind_text(insert, 3, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 4, video ? 2 : 1);
        sqlite3_step(insert);
        sqlite3_reset(insert);
        sqlite3_bind_int64(tag, 1, i);
        sqlite3_bind_int(tag, 2, i % 500 + 1);
        sqlite3_step(tag);
        sqlite3_reset(tag);
    }
    sqlite3_finalize(insert);
    sqlite3_finalize(tag);
    sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

} // namespace LibraryGenerator
