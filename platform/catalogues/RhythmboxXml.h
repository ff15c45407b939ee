#pragma once

#include <QString>

#include <functional>
#include <vector>

class LoadProgress;

// Reads the two files of a Rhythmbox library, streaming: "rhythmdb.xml" (the
// entries) and "playlists.xml". Records are handed out one at a time as each
// closes, so memory holds one record, not the file. Read by the hardened
// XmlPushParser: only regular files are opened, without blocking; no DTD, no
// external or declared entity is ever loaded or expanded; nesting past
// maxDepth elements ends the read; a field's text past maxTextLength bytes
// is cut off. Bytes that are not UTF-8 read as U+FFFD and control characters
// are dropped (see XmlTextRepair), so a bad character costs only itself; a
// file that still breaks off (truncated, not XML, or the load cancelled)
// keeps the records that closed before the break.
class RhythmboxXml {
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
        bool episode = false;
        // Only when asked for (see readDatabase).
        QString album;
        QString genre;
    };
    // One element of an automatic playlist's query, as written: a relation
    // ("equals", "like", ...) on a property with a value, or a "conjunction",
    // "subquery" or "disjunction" holding others.
    struct QueryElement {
        QString name;
        QString property; // the "prop" attribute
        QString value;    // the text of an element without children
        std::vector<QueryElement> children;
    };
    struct Playlist {
        QString name;
        QString type; // "static", "automatic", "queue", ...
        std::vector<QString> locations;
        // An automatic playlist's query (its top elements), limits and order
        // as written.
        std::vector<QueryElement> query;
        QString limitCount;
        QString limitSize;
        QString limitTime;
        QString sortKey;       // a column: "Title", "Artist", "Rating", ...
        QString sortDirection; // "0" ascending, "1" descending
    };

    // Hands each song and downloaded episode of the database at path to
    // handler, with album and genre when details is set; answers whether the
    // whole file was read. progress is told the share of the file read.
    static bool readDatabase(const QString& path, LoadProgress& progress,
                             const std::function<void(Entry&& entry)>& handler, bool details = false);
    // Hands each playlist of the playlists file at path to handler.
    static bool readPlaylists(const QString& path, LoadProgress& progress,
                              const std::function<void(Playlist&& playlist)>& handler);
};
