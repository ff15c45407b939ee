#include "sources/catalogues/ITunesFolder.h"

#include "model/QVMedia.h"
#include "model/QVTrack.h"
#include "platform/catalogues/PlistReader.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "sources/catalogues/CatalogueKey.h"

#include <QUrl>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace {

struct Playlist {
    QString name;
    bool master = false;
    bool videos = false;
    bool podcasts = false;
    bool smart = false;
    std::vector<qint64> trackIds;
};

// Whole seconds of a duration in milliseconds; no duration gives 0, one too
// long to count in 32 bits is unknown.
quint32 lengthOf(const PlistValue& totalTime) {
    const qint64 milliseconds = totalTime.toInteger().value_or(0);
    if (milliseconds <= 0) {
        return 0;
    }
    const qint64 seconds = milliseconds / 1000;
    return seconds >= QVTrack::UnknownLength ? QVTrack::UnknownLength : static_cast<quint32>(seconds);
}

int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if ((c | 0x20) >= u'a' && (c | 0x20) <= u'f') {
        return (c | 0x20) - u'a' + 10;
    }
    return -1;
}

// The local path of a file URL, decoded. QUrl's parser keeps several times
// the text's size for every URL, so tracks keep this path instead and make
// their URL from it when asked, which matters for libraries of a million
// tracks. Answers nothing when the path part holds anything the decoded form
// could change or that is rare enough to leave to the parser: a query or
// fragment, an escaped slash or NUL, unescaped non-ASCII text, bytes that are
// not UTF-8.
std::optional<QString> compactFilePath(QStringView location) {
    QStringView encoded;
    if (location.startsWith(u"file://localhost/", Qt::CaseInsensitive)) {
        encoded = location.mid(16);
    } else if (location.startsWith(u"file:///", Qt::CaseInsensitive)) {
        encoded = location.mid(7);
    } else {
        return std::nullopt;
    }
    QByteArray bytes(encoded.size(), Qt::Uninitialized);
    char* out = bytes.data();
    const qsizetype n = encoded.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = encoded[i].unicode();
        if (c == u'%' && i + 2 < n && hexValue(encoded[i + 1].unicode()) >= 0 &&
            hexValue(encoded[i + 2].unicode()) >= 0) {
            const char byte = static_cast<char>(hexValue(encoded[i + 1].unicode()) * 16 +
                                                hexValue(encoded[i + 2].unicode()));
            if (byte == '/' || byte == '\0') {
                return std::nullopt;
            }
            *out++ = byte;
            i += 2;
        } else if (c == u'?' || c == u'#' || c >= 0x80) {
            return std::nullopt;
        } else {
            *out++ = static_cast<char>(c);
        }
    }
    QString path = QString::fromUtf8(bytes.constData(), out - bytes.constData());
    if (path.contains(QChar::ReplacementCharacter)) {
        return std::nullopt;
    }
    return path;
}

// The track's location as a URL, where it has no compact file path: file URLs
// lose a "localhost" host so that their path is the local path; text that is
// not an absolute URL gives none.
QUrl urlOf(const QString& location) {
    if (location.isEmpty()) {
        return {};
    }
    QUrl url(location, QUrl::TolerantMode);
    if (!url.isValid() || url.scheme().isEmpty()) {
        return {};
    }
    if (url.scheme() == QLatin1String("file") &&
        url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) {
        url.setHost(QString());
    }
    return url;
}

// The catalogue's tracks by their numbers, for the playlists to find. iTunes
// numbers its tracks densely, so a table indexed by number finds them with
// no hashing; numbers spread far apart are searched in sorted order instead.
// A number given twice finds its later track.
class TrackTable {
public:
    void add(qint64 id, MediaItemPtr track) { _tracks.emplace_back(id, std::move(track)); }

    // Call once every track is added.
    void index() {
        if (_tracks.empty()) {
            return;
        }
        qint64 lowest = _tracks.front().first;
        qint64 highest = lowest;
        for (const auto& [id, track] : _tracks) {
            lowest = std::min(lowest, id);
            highest = std::max(highest, id);
        }
        const quint64 span = static_cast<quint64>(highest) - static_cast<quint64>(lowest);
        if (span <= 4 * static_cast<quint64>(_tracks.size()) + 1024) {
            _lowest = lowest;
            _positions.assign(static_cast<std::size_t>(span) + 1, 0);
            for (std::size_t i = 0; i < _tracks.size(); ++i) {
                _positions[static_cast<std::size_t>(_tracks[i].first - lowest)] = static_cast<quint32>(i + 1);
            }
        } else {
            std::stable_sort(_tracks.begin(), _tracks.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
        }
    }

    // The track numbered id, or null.
    const MediaItemPtr* find(qint64 id) const {
        if (!_positions.empty()) {
            const quint64 offset = static_cast<quint64>(id) - static_cast<quint64>(_lowest);
            if (offset >= _positions.size() || _positions[offset] == 0) {
                return nullptr;
            }
            return &_tracks[_positions[offset] - 1].second;
        }
        const auto after =
            std::upper_bound(_tracks.begin(), _tracks.end(), id,
                             [](qint64 value, const auto& entry) { return value < entry.first; });
        if (after == _tracks.begin() || std::prev(after)->first != id) {
            return nullptr;
        }
        return &std::prev(after)->second;
    }

private:
    std::vector<std::pair<qint64, MediaItemPtr>> _tracks; // in the catalogue's order until sorted
    qint64 _lowest = 0;
    std::vector<quint32> _positions; // dense numbers: position in _tracks + 1, 0 for none
};

} // namespace

ITunesFolderPtr ITunesFolder::create(const QString& name, const QString& pList, bool includeEmpty,
                                     bool videoOnly) {
    // Every new library folder registers its icons afresh.
    loadBundleIcon(QStringLiteral("iTunes"), QStringLiteral("iTunes.tiff"));
    loadBundleIcon(QStringLiteral("library"), QStringLiteral("MBiTunesLibrary.tif"));
    loadBundleIcon(QStringLiteral("playlist"), QStringLiteral("MBiTunesPlaylist.tif"));
    loadBundleIcon(QStringLiteral("smartPlaylist"), QStringLiteral("MBiTunesSmartPlaylist.tif"));
    loadBundleIcon(QStringLiteral("videos"), QStringLiteral("MBiTunesVideos.tif"));
    loadBundleIcon(QStringLiteral("podcasts"), QStringLiteral("MBiTunesPodcastsPlaylist.tif"));
    const QString expanded = Path::expandTilde(pList);
    if (!FileSystem::exists(expanded)) {
        return nullptr;
    }
    return std::make_shared<ITunesFolder>(name, expanded, includeEmpty, videoOnly);
}

void ITunesFolder::addToRoots(const CatalogueRoots& roots) {
    const QString path = QString::fromUtf8(QVMediaITunesLibraryPath);
    if (!FileSystem::exists(Path::expandTilde(path))) {
        return;
    }
    if (roots.music != nullptr) {
        if (auto folder = create(QStringLiteral("iTunes"), path, true, false)) {
            roots.music->addFolder(folder);
        }
    }
    if (roots.movies != nullptr) {
        if (auto folder = create(QStringLiteral("iTunes"), path, false, true)) {
            roots.movies->addFolder(folder);
        }
    }
}

ITunesFolder::ITunesFolder(const QString& name, const QString& expandedPList, bool includeEmpty,
                           bool videoOnly)
    : SourceFolder(name, icon(QStringLiteral("iTunes")))
    , _pList(expandedPList)
    , _includeEmpty(includeEmpty)
    , _videoOnly(videoOnly)
    , _icons{icon(QStringLiteral("library")), icon(QStringLiteral("playlist")),
             icon(QStringLiteral("smartPlaylist")), icon(QStringLiteral("videos")),
             icon(QStringLiteral("podcasts"))} {
}

namespace {

MediaFolderContents readCatalogue(const QString& pList, bool videoOnly, bool includeEmpty,
                                  const ITunesFolder::PlaylistIcons& icons, LoadProgress& progress) {
    // The catalogue is streamed: tracks and playlists are taken one record at
    // a time, and only the keys used here are read.
    TrackTable tracks;
    std::vector<Playlist> playlists;
    PlistReader reader;
    reader.setRootKeys({});
    reader.streamDictionary(
        QStringLiteral("Tracks"),
        {QStringLiteral("Name"), QStringLiteral("Artist"), QStringLiteral("Total Time"),
         QStringLiteral("Location"), QStringLiteral("Has Video")},
        [videoOnly, &tracks](const QString& key, PlistValue&& record) {
            if (videoOnly && !record.value(u"Has Video").toBool()) {
                return; // not admitted
            }
            const std::optional<qint64> id = CatalogueKey::decimalNumber(key);
            if (!id) {
                return; // no playlist can name it
            }
            const QString name = record.value(u"Name").toString();
            const QString artist = record.value(u"Artist").toString();
            const quint32 length = lengthOf(record.value(u"Total Time"));
            const QString location = record.value(u"Location").toString();
            if (std::optional<QString> path = compactFilePath(location)) {
                tracks.add(*id, QVTrack::withCataloguePath(name, artist, length, *path));
            } else {
                tracks.add(*id, std::make_shared<QVTrack>(name, artist, length, urlOf(location)));
            }
        });
    // Playlists keep their track numbers until every track is known, so the
    // order of the two keys in the file does not matter. A playlist's items
    // are taken one at a time too (the library's own playlist lists every
    // track): their numbers gather here until the playlist's record ends.
    std::vector<qint64> itemIds;
    reader.streamNestedArray(QStringLiteral("Playlists"), QStringLiteral("Playlist Items"),
                             {QStringLiteral("Track ID")}, [&itemIds](PlistValue&& item) {
                                 if (const auto id = item.value(u"Track ID").toInteger()) {
                                     itemIds.push_back(*id);
                                 }
                             });
    reader.streamArray(QStringLiteral("Playlists"),
                       {QStringLiteral("Name"), QStringLiteral("Master"), QStringLiteral("Videos"),
                        QStringLiteral("Podcasts"), QStringLiteral("Smart Criteria"),
                        QStringLiteral("Playlist Items")},
                       [&playlists, &itemIds](PlistValue&& record) {
                           Playlist& playlist = playlists.emplace_back();
                           playlist.name = record.value(u"Name").toString();
                           playlist.master = record.value(u"Master").toBool();
                           playlist.videos = record.value(u"Videos").toBool();
                           playlist.podcasts = record.value(u"Podcasts").toBool();
                           playlist.smart = record.contains(u"Smart Criteria");
                           playlist.trackIds = std::exchange(itemIds, {});
                           playlist.trackIds.shrink_to_fit();
                       });
    reader.setProgressHandler([&progress](qint64 bytesRead, qint64 fileSize) {
        progress.setFraction(fileSize > 0 ? static_cast<double>(bytesRead) / static_cast<double>(fileSize)
                                          : 0.0);
        return !progress.isCancelled();
    });
    MediaFolderContents contents;
    if (!reader.readFile(pList).isDictionary()) {
        contents.failed = true; // unreadable or not a catalogue: no tracks, no playlists
        return contents;
    }

    tracks.index();
    std::vector<MediaItemPtr> libraryTracks;
    for (const Playlist& playlist : playlists) {
        QImage icon = icons.playlist;
        if (playlist.master) {
            icon = icons.library;
        } else if (playlist.videos) {
            icon = icons.videos;
        } else if (playlist.podcasts) {
            icon = icons.podcasts;
        } else if (playlist.smart) {
            icon = icons.smartPlaylist;
        }
        std::vector<MediaItemPtr> items;
        items.reserve(playlist.trackIds.size());
        for (const qint64 id : playlist.trackIds) {
            if (const MediaItemPtr* found = tracks.find(id)) {
                items.push_back(*found);
            }
        }
        if (playlist.master) {
            libraryTracks.insert(libraryTracks.end(), items.begin(), items.end());
        }
        if (includeEmpty || !items.empty()) {
            MediaFolderContents playlistContents;
            playlistContents.files = std::move(items);
            contents.folders.push_back(
                MediaFolder::makeLoaded(playlist.name, icon, std::move(playlistContents)));
        }
    }
    contents.files = std::move(libraryTracks);
    contents.foldForSearch = true;
    return contents;
}

} // namespace

MediaFolderReader ITunesFolder::reader() const {
    return [pList = _pList, videoOnly = _videoOnly, includeEmpty = _includeEmpty,
            icons = _icons](LoadProgress& progress) {
        return readCatalogue(pList, videoOnly, includeEmpty, icons, progress);
    };
}
