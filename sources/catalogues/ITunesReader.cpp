#include "sources/catalogues/ITunesReader.h"

#include "model/QVTrack.h"
#include "platform/catalogues/PlistReader.h"
#include "platform/system/BackgroundRelease.h"
#include "platform/system/LoadStage.h"
#include "platform/system/Path.h"
#include "sources/catalogues/CatalogueKey.h"
#include "sources/catalogues/CatalogueUrl.h"
#include "sources/catalogues/MovedLibrary.h"

#include <QUrl>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace {

struct Playlist {
    QString name;
    QString persistentId;
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

// The track's location as a URL, where it has no plain file path: file URLs
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

CatalogueGroup::Kind kindOf(const Playlist& playlist) {
    if (playlist.master) {
        return CatalogueGroup::Kind::Library;
    }
    if (playlist.videos) {
        return CatalogueGroup::Kind::Videos;
    }
    if (playlist.podcasts) {
        return CatalogueGroup::Kind::Podcasts;
    }
    return playlist.smart ? CatalogueGroup::Kind::SmartPlaylist : CatalogueGroup::Kind::Playlist;
}

} // namespace

ITunesReader::ITunesReader(const QString& pList, bool includeEmpty, bool videoOnly)
    : _pList(pList)
    , _includeEmpty(includeEmpty)
    , _videoOnly(videoOnly) {
}

CatalogueContents ITunesReader::read(LoadProgress& progress) const {
    // The catalogue is streamed: tracks and playlists are taken one record at
    // a time, and only the keys used here are read. Reading the file is most
    // of the work; putting the playlists together the rest.
    LoadStage reading(progress, 0.0, 0.9);
    LoadStage assembling(progress, 0.9, 1.0);
    TrackTable tracks;
    std::vector<Playlist> playlists;
    // A load given up stops at once: what it read is let go elsewhere.
    const BackgroundRelease::WhenCancelled releaseRead(progress, tracks, playlists);
    // iTunes names its library folder before the tracks.
    MovedLibrary moved;
    PlistReader reader;
    reader.setRootKeys({QStringLiteral("Music Folder")});
    reader.setRootValueHandler([this, &moved](const QString& key, const PlistValue& value) {
        if (key == QLatin1String("Music Folder")) {
            if (const QString folder = CatalogueUrl::plainFilePath(value.toString()); !folder.isNull()) {
                // Copied with its catalogue: beside it, under its own name.
                const QString catalogueDirectory = _pList.left(_pList.lastIndexOf(QLatin1Char('/')));
                const QString local =
                    Path::appendingComponent(catalogueDirectory, Path::lastComponent(folder));
                moved = MovedLibrary(folder, local);
            }
        }
    });
    reader.streamDictionary(
        QStringLiteral("Tracks"),
        {QStringLiteral("Name"), QStringLiteral("Artist"), QStringLiteral("Total Time"),
         QStringLiteral("Location"), QStringLiteral("Has Video")},
        [this, &tracks, &moved](const QString& key, PlistValue&& record) {
            if (_videoOnly && !record.value(u"Has Video").toBool()) {
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
            // Local files keep their path (QUrl's parser keeps several times
            // the text's size for every URL) and make their URL when asked.
            if (const QString path = CatalogueUrl::plainFilePath(location); !path.isNull()) {
                tracks.add(*id, QVTrack::withCataloguePath(name, artist, length, moved.locate(path)));
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
                       {QStringLiteral("Name"), QStringLiteral("Playlist Persistent ID"),
                        QStringLiteral("Master"), QStringLiteral("Videos"), QStringLiteral("Podcasts"),
                        QStringLiteral("Smart Criteria"), QStringLiteral("Playlist Items")},
                       [&playlists, &itemIds](PlistValue&& record) {
                           Playlist& playlist = playlists.emplace_back();
                           playlist.name = record.value(u"Name").toString();
                           playlist.persistentId = record.value(u"Playlist Persistent ID").toString();
                           playlist.master = record.value(u"Master").toBool();
                           playlist.videos = record.value(u"Videos").toBool();
                           playlist.podcasts = record.value(u"Podcasts").toBool();
                           playlist.smart = record.contains(u"Smart Criteria");
                           playlist.trackIds = std::exchange(itemIds, {});
                           playlist.trackIds.shrink_to_fit();
                       });
    if (!reader.readFile(_pList, reading).isDictionary()) {
        return CatalogueContents::failure(); // unreadable or not a catalogue: no tracks, no playlists
    }

    tracks.index();
    CatalogueContents contents;
    std::size_t playlistsDone = 0;
    for (const Playlist& playlist : playlists) {
        assembling.setFraction(static_cast<double>(playlistsDone++) / static_cast<double>(playlists.size()));
        std::vector<MediaItemPtr> items;
        items.reserve(playlist.trackIds.size());
        for (std::size_t i = 0; i < playlist.trackIds.size(); ++i) {
            if ((i & 65535) == 0 && progress.isCancelled()) {
                BackgroundRelease::release(std::move(contents), std::move(items));
                return CatalogueContents::failure();
            }
            if (const MediaItemPtr* found = tracks.find(playlist.trackIds[i])) {
                items.push_back(*found);
            }
        }
        if (playlist.master) {
            contents.items.insert(contents.items.end(), items.begin(), items.end());
        }
        if (_includeEmpty || !items.empty()) {
            CatalogueGroup& group = contents.groups.emplace_back();
            group.name = playlist.name;
            group.kind = kindOf(playlist);
            group.id = playlist.persistentId;
            group.items = std::move(items);
        }
    }
    return contents;
}
