#include "sources/catalogues/RhythmboxReader.h"

#include "model/QVTrack.h"
#include "platform/catalogues/RhythmboxXml.h"
#include "platform/system/BackgroundRelease.h"
#include "platform/system/LoadStage.h"
#include "sources/catalogues/CatalogueUrl.h"
#include "sources/catalogues/RhythmboxAutoPlaylist.h"

#include <QHash>
#include <QSet>

#include <optional>

namespace {

quint32 lengthOf(qint64 seconds) {
    if (seconds <= 0) {
        return 0;
    }
    return seconds >= QVTrack::UnknownLength ? QVTrack::UnknownLength : static_cast<quint32>(seconds);
}

} // namespace

RhythmboxReader::RhythmboxReader(const QString& database, const QString& playlists)
    : _database(database)
    , _playlists(playlists) {
}

CatalogueContents RhythmboxReader::read(LoadProgress& progress) const {
    // Playlists first (a small file): only the tracks they name are looked
    // up later, and the library's album and genre are kept only for the
    // automatic playlists answered here.
    struct Listed {
        RhythmboxXml::Playlist playlist;
        std::optional<RhythmboxAutoPlaylist> automatic;
    };
    std::vector<Listed> shown;
    QSet<QString> listed;
    bool automatic = false;
    // The database is most of the work.
    LoadStage playlistFile(progress, 0.0, 0.02);
    LoadStage databaseFile(progress, 0.02, 0.95);
    LoadStage selecting(progress, 0.95, 1.0);
    RhythmboxXml::readPlaylists(_playlists, playlistFile, [&](RhythmboxXml::Playlist&& playlist) {
        if (playlist.type == QLatin1String("static")) {
            for (const QString& location : playlist.locations) {
                listed.insert(location);
            }
            shown.push_back({std::move(playlist), std::nullopt});
        } else if (playlist.type == QLatin1String("automatic")) {
            if (auto query = RhythmboxAutoPlaylist::fromPlaylist(playlist)) {
                automatic = true;
                shown.push_back({std::move(playlist), std::move(query)});
            }
        }
    });
    CatalogueContents contents;
    QHash<QString, MediaItemPtr> byLocation;
    std::vector<RhythmboxAutoPlaylist::Song> songs;
    // A load given up stops at once: what it read is let go elsewhere.
    const BackgroundRelease::WhenCancelled releaseRead(progress, byLocation, songs);
    // Entries read before a break in the file are kept: each is complete.
    contents.failed = !RhythmboxXml::readDatabase(
        _database, databaseFile,
        [&](RhythmboxXml::Entry&& entry) {
            // Local files keep their path and make their URL when asked.
            const QString path = CatalogueUrl::plainFilePath(entry.location);
            MediaItemPtr track =
                path.isNull()
                    ? std::make_shared<QVTrack>(entry.title, entry.artist, lengthOf(entry.duration),
                                                CatalogueUrl::fromLocation(entry.location))
                    : QVTrack::withCataloguePath(entry.title, entry.artist, lengthOf(entry.duration), path);
            if (listed.contains(entry.location)) {
                byLocation.insert(entry.location, track);
            }
            if (automatic) {
                songs.push_back({std::move(entry.title), std::move(entry.artist), std::move(entry.album),
                                 std::move(entry.genre), entry.episode});
            }
            contents.items.push_back(std::move(track));
        },
        automatic);
    if (progress.isCancelled()) {
        // A load given up stops at once.
        BackgroundRelease::release(std::move(contents));
        return CatalogueContents::failure();
    }
    std::size_t playlistsDone = 0;
    for (const Listed& playlist : shown) {
        if (progress.isCancelled()) {
            BackgroundRelease::release(std::move(contents));
            return CatalogueContents::failure();
        }
        selecting.setFraction(static_cast<double>(playlistsDone++) / static_cast<double>(shown.size()));
        CatalogueGroup group;
        group.name = playlist.playlist.name;
        if (playlist.automatic) {
            group.kind = CatalogueGroup::Kind::SmartPlaylist;
            for (const std::size_t index : playlist.automatic->select(songs, progress)) {
                group.items.push_back(contents.items[index]);
            }
        } else {
            group.kind = CatalogueGroup::Kind::Playlist;
            group.items.reserve(playlist.playlist.locations.size());
            for (const QString& location : playlist.playlist.locations) {
                if (MediaItemPtr track = byLocation.value(location)) {
                    group.items.push_back(std::move(track));
                }
            }
        }
        contents.groups.push_back(std::move(group));
    }
    return contents;
}
