#pragma once

#include <QString>

#include <functional>
#include <vector>

// Reads the two files of a Rhythmbox library, streaming: "rhythmdb.xml" (the
// entries) and "playlists.xml". Records are handed out one at a time as each
// closes, so memory holds one record, not the file. Hardened like the other
// catalogue readers: only regular files are opened, without blocking; no DTD,
// no external or declared entity is ever loaded or expanded; nesting past
// maxDepth elements and text past maxTextLength characters are cut off.
// Bytes that are not UTF-8 read as U+FFFD and control characters are dropped
// (see XmlTextRepair), so a bad character costs only itself; a file that
// still breaks off (truncated, or not XML) keeps the records that closed
// before the break.
class RhythmboxReader {
public:
    static constexpr int maxDepth = 200;
    static constexpr int maxTextLength = 64 * 1024;

    // An entry of the database that may be a track: a song, or a podcast
    // episode with a downloaded file.
    struct Entry {
        QString title;
        QString artist;
        qint64 duration = 0; // seconds
        QString location;    // a URL, for an episode its downloaded file's
    };
    struct Playlist {
        QString name;
        QString type; // "static", "automatic", "queue", ...
        std::vector<QString> locations;
    };

    // Hands each song and downloaded episode of the database at path to
    // handler; answers whether the whole file was read.
    static bool readDatabase(const QString& path, const std::function<void(Entry&& entry)>& handler);
    static bool readDatabase(const QByteArray& bytes, const std::function<void(Entry&& entry)>& handler);
    // Hands each playlist of the playlists file at path to handler.
    static bool readPlaylists(const QString& path, const std::function<void(Playlist&& playlist)>& handler);
    static bool readPlaylists(const QByteArray& bytes,
                              const std::function<void(Playlist&& playlist)>& handler);
};
