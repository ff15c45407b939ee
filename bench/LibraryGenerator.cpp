#include "bench/LibraryGenerator.h"

#include <QFile>

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

} // namespace LibraryGenerator
