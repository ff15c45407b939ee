#include "sources/catalogues/RhythmboxFolder.h"

#include "model/QVTrack.h"
#include "platform/catalogues/RhythmboxReader.h"
#include "platform/system/FileSystem.h"
#include "platform/system/Path.h"
#include "platform/system/UserDirectories.h"
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

void RhythmboxFolder::addToRoots(const CatalogueRoots& roots) {
    const QString directory = libraryDirectory();
    if (roots.music == nullptr || directory.isNull()) {
        return;
    }
    roots.music->addFolder(std::make_shared<RhythmboxFolder>(QStringLiteral("Rhythmbox"),
                                                             directory + QStringLiteral("/rhythmdb.xml"),
                                                             directory + QStringLiteral("/playlists.xml")));
}

QString RhythmboxFolder::libraryDirectory() {
    for (const QString& directory : {UserDirectories::dataHome() + QStringLiteral("/rhythmbox"),
                                     Path::homeDirectory() + QStringLiteral("/.gnome2/rhythmbox")}) {
        if (FileSystem::exists(directory + QStringLiteral("/rhythmdb.xml"))) {
            return directory;
        }
    }
    return {};
}

RhythmboxFolder::RhythmboxFolder(const QString& name, const QString& database, const QString& playlists)
    : CatalogueFolder(name, Library::Music)
    , _database(database)
    , _playlists(playlists) {
}

CatalogueReader RhythmboxFolder::catalogueReader() const {
    return [database = _database, playlists = _playlists](LoadProgress&) {
        return read(database, playlists);
    };
}

CatalogueContents RhythmboxFolder::read(const QString& database, const QString& playlists) {
    // Playlists first (a small file): only the tracks they name are looked
    // up later, and the library's album and genre are kept only for the
    // automatic playlists answered here.
    struct Listed {
        RhythmboxReader::Playlist playlist;
        std::optional<RhythmboxAutoPlaylist> automatic;
    };
    std::vector<Listed> shown;
    QSet<QString> listed;
    bool automatic = false;
    RhythmboxReader::readPlaylists(playlists, [&](RhythmboxReader::Playlist&& playlist) {
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
    // Entries read before a break in the file are kept: each is complete.
    contents.failed = !RhythmboxReader::readDatabase(
        database,
        [&](RhythmboxReader::Entry&& entry) {
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
    for (const Listed& playlist : shown) {
        CatalogueGroup group;
        group.name = playlist.playlist.name;
        if (playlist.automatic) {
            group.kind = CatalogueGroup::Kind::SmartPlaylist;
            for (const std::size_t index : playlist.automatic->select(songs)) {
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
