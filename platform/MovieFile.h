#pragma once

#include "platform/Export.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <memory>
#include <vector>

// Key format of the QuickTime/iTunes short-form metadata keys ('itsk').
inline constexpr quint32 MovieMetaDataKeyFormatItunesShort = 0x6974736B;
// Short-form keys: four bytes, the first 0xA9 ("©" in Mac Roman).
inline constexpr quint32 MovieMetaDataKeyName = 0xA96E616D;     // "©nam", title
inline constexpr quint32 MovieMetaDataKeyArtist = 0xA9415254;   // "©ART", artist
inline constexpr quint32 MovieMetaDataKeyAlbum = 0xA9616C62;    // "©alb"
inline constexpr quint32 MovieMetaDataKeyComment = 0xA9636D74;  // "©cmt"
inline constexpr quint32 MovieMetaDataKeyYear = 0xA9646179;     // "©day"
inline constexpr quint32 MovieMetaDataKeyGenre = 0xA967656E;    // "©gen"
inline constexpr quint32 MovieMetaDataKeyComposer = 0xA9777274; // "©wrt"

// One metadata item of a movie: its key (format and four-byte code) and its
// value as raw bytes.
struct MovieMetaDataItem {
    quint32 keyFormat = 0;
    quint32 key = 0;
    QByteArray value;
};

// A movie's metadata items, in the order the file gives them.
using MovieMetaDataItems = std::vector<MovieMetaDataItem>;

// An audio or video file opened to read its description: display name,
// duration and metadata. Playback is MoviePlayer's job, posters MoviePoster's.
class QVMB_EXPORT MovieFile {
public:
    // Whether a file can be opened as a movie (audio-only files included),
    // judged by a case-insensitive test of its extension against the audio
    // and video types the browser handles. The file itself is not touched.
    static bool canOpen(const QString& path);
    static bool canOpen(const QUrl& url);

    // Opens the file at path; null when it is not a regular file or cannot be
    // read as a movie.
    static std::unique_ptr<MovieFile> open(const QString& path);
    // The same for a file URL.
    static std::unique_ptr<MovieFile> open(const QUrl& url);

    ~MovieFile();
    MovieFile(const MovieFile&) = delete;
    MovieFile& operator=(const MovieFile&) = delete;

    // The container's title; a null string when it has none.
    QString displayName() const;
    // The duration in whole seconds (truncated); -1 when indefinite or unknown.
    qint64 durationSeconds() const;
    // The metadata as short-form items: the container's title, artist, album,
    // comment, year, genre and composer under their 'itsk' keys, as UTF-8
    // bytes exactly as the file gave them.
    MovieMetaDataItems metaData() const;

private:
    struct Input;
    explicit MovieFile(std::unique_ptr<Input> input);
    std::unique_ptr<Input> _input;
};
