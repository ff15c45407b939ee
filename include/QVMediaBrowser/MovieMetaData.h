#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QVMediaBrowser/Export.h>

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

// Display data of an audio or movie file that is not read through ID3.
struct TrackMetaData {
    QString name;       // null when the file has none
    QString artist;     // null when the file has none
    qint32 length = -1; // whole seconds; -1 when unknown or indefinite
};

// Opens the file at url and reads its duration and its "©nam" and "©ART"
// short-form metadata. A file that cannot be opened gives no name, no artist
// and length -1.
QVMB_EXPORT TrackMetaData MovieMetaData(const QUrl& url);

// The value of the first 'itsk' metadata item with key, as UTF-8 text; null
// when there is no such item or its bytes are not valid UTF-8. A byte-order
// mark is kept as a character.
QVMB_EXPORT QString TagValue(const MovieMetaDataItems& metaData, quint32 key);
