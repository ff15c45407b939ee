#include "model/QVMedia.h"
#include "model/QVTrack.h"
#include "platform/system/LoadProgress.h"
#include "platform/system/Path.h"
#include "prefs/UserPreferences.h"
#include "sources/catalogues/StrawberryFolder.h"
#include "support/MediaFixtures.h"
#include "support/MediaRoots.h"
#include "support/SqliteFixture.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

// Strawberry's collection and playlist tables as version 1.0 creates them.
const char kStrawberry[] = R"(
CREATE TABLE songs (title TEXT, album TEXT, artist TEXT, albumartist TEXT, track INTEGER NOT NULL DEFAULT -1,
  disc INTEGER NOT NULL DEFAULT -1, year INTEGER NOT NULL DEFAULT -1, originalyear INTEGER NOT NULL DEFAULT -1,
  genre TEXT, compilation INTEGER NOT NULL DEFAULT 0, composer TEXT, performer TEXT, grouping TEXT, comment TEXT,
  lyrics TEXT, artist_id TEXT, album_id TEXT, song_id TEXT, beginning INTEGER NOT NULL DEFAULT 0,
  length INTEGER NOT NULL DEFAULT 0, bitrate INTEGER NOT NULL DEFAULT -1, samplerate INTEGER NOT NULL DEFAULT -1,
  bitdepth INTEGER NOT NULL DEFAULT -1, source INTEGER NOT NULL DEFAULT 0, directory_id INTEGER NOT NULL DEFAULT -1,
  url TEXT NOT NULL, filetype INTEGER NOT NULL DEFAULT 0, filesize INTEGER NOT NULL DEFAULT -1,
  mtime INTEGER NOT NULL DEFAULT -1, ctime INTEGER NOT NULL DEFAULT -1, unavailable INTEGER DEFAULT 0,
  fingerprint TEXT, playcount INTEGER NOT NULL DEFAULT 0, skipcount INTEGER NOT NULL DEFAULT 0,
  lastplayed INTEGER NOT NULL DEFAULT -1, lastseen INTEGER NOT NULL DEFAULT -1,
  compilation_detected INTEGER DEFAULT 0, compilation_on INTEGER NOT NULL DEFAULT 0,
  compilation_off INTEGER NOT NULL DEFAULT 0, compilation_effective INTEGER NOT NULL DEFAULT 0, art_automatic TEXT,
  art_manual TEXT, effective_albumartist TEXT, effective_originalyear INTEGER NOT NULL DEFAULT 0, cue_path TEXT,
  rating INTEGER DEFAULT -1);
CREATE TABLE playlists (name TEXT NOT NULL, last_played INTEGER NOT NULL DEFAULT -1,
  ui_order INTEGER NOT NULL DEFAULT 0, special_type TEXT, ui_path TEXT, is_favorite INTEGER NOT NULL DEFAULT 0,
  dynamic_playlist_type INTEGER, dynamic_playlist_backend TEXT, dynamic_playlist_data BLOB);
CREATE TABLE playlist_items (playlist INTEGER NOT NULL, type INTEGER NOT NULL DEFAULT 0, collection_id INTEGER,
  playlist_url TEXT, title TEXT, album TEXT, artist TEXT, albumartist TEXT, track INTEGER, disc INTEGER,
  year INTEGER, originalyear INTEGER, genre TEXT, compilation INTEGER DEFAULT 0, composer TEXT, performer TEXT,
  grouping TEXT, comment TEXT, lyrics TEXT, artist_id TEXT, album_id TEXT, song_id TEXT, beginning INTEGER,
  length INTEGER, bitrate INTEGER, samplerate INTEGER, bitdepth INTEGER, source INTEGER, directory_id INTEGER,
  url TEXT NOT NULL, filetype INTEGER, filesize INTEGER, mtime INTEGER, ctime INTEGER,
  unavailable INTEGER DEFAULT 0, fingerprint TEXT, playcount INTEGER DEFAULT 0, skipcount INTEGER DEFAULT 0,
  lastplayed INTEGER DEFAULT -1, lastseen INTEGER DEFAULT -1, compilation_detected INTEGER DEFAULT 0,
  compilation_on INTEGER DEFAULT 0, compilation_off INTEGER DEFAULT 0, compilation_effective INTEGER DEFAULT 0,
  art_automatic TEXT, art_manual TEXT, effective_albumartist TEXT, effective_originalyear INTEGER, cue_path TEXT,
  rating INTEGER DEFAULT -1);
)";

// Clementine's: the song's URL under "filename", playlist items naming the library by text.
const char kClementine[] = R"(
CREATE TABLE songs (title TEXT, album TEXT, artist TEXT, albumartist TEXT, composer TEXT, track INTEGER,
  disc INTEGER, bpm REAL, year INTEGER, genre TEXT, comment TEXT, compilation INTEGER, length INTEGER,
  bitrate INTEGER, samplerate INTEGER, directory INTEGER NOT NULL, filename TEXT NOT NULL, mtime INTEGER NOT NULL,
  ctime INTEGER NOT NULL, filesize INTEGER NOT NULL, sampler INTEGER NOT NULL DEFAULT 0, art_automatic TEXT,
  art_manual TEXT, filetype INTEGER NOT NULL DEFAULT 0, playcount INTEGER NOT NULL DEFAULT 0, lastplayed INTEGER,
  rating INTEGER, forced_compilation_on INTEGER NOT NULL DEFAULT 0,
  forced_compilation_off INTEGER NOT NULL DEFAULT 0, effective_compilation NOT NULL DEFAULT 0,
  skipcount INTEGER NOT NULL DEFAULT 0, score INTEGER NOT NULL DEFAULT 0, beginning INTEGER NOT NULL DEFAULT 0,
  cue_path TEXT, unavailable INTEGER DEFAULT 0, effective_albumartist TEXT, etag TEXT, performer TEXT,
  grouping TEXT, lyrics TEXT, originalyear INTEGER, effective_originalyear INTEGER);
CREATE TABLE playlists (name TEXT NOT NULL, last_played INTEGER, dynamic_playlist_type INTEGER,
  dynamic_playlist_data BLOB, dynamic_playlist_backend TEXT, special_type TEXT, ui_path TEXT,
  is_favorite INTEGER NOT NULL DEFAULT 0, ui_order INTEGER NOT NULL DEFAULT -1);
CREATE TABLE playlist_items (playlist INTEGER NOT NULL, type TEXT NOT NULL, library_id INTEGER, url TEXT,
  title TEXT, artist TEXT, album TEXT, albumartist TEXT, composer TEXT, track INTEGER, disc INTEGER, bpm REAL,
  year INTEGER, genre TEXT, comment TEXT, compilation INTEGER, length INTEGER, bitrate INTEGER,
  samplerate INTEGER, directory INTEGER, filename TEXT, mtime INTEGER, ctime INTEGER, filesize INTEGER,
  sampler INTEGER, art_automatic TEXT, art_manual TEXT, filetype INTEGER, playcount INTEGER, lastplayed INTEGER,
  rating INTEGER, forced_compilation_on INTEGER, forced_compilation_off INTEGER, effective_compilation INTEGER,
  skipcount INTEGER, score INTEGER, beginning INTEGER, cue_path TEXT, effective_albumartist TEXT);
)";

QStringList describe(const std::vector<MediaItemPtr>& items) {
    QStringList result;
    for (const MediaItemPtr& item : items) {
        if (auto track = std::dynamic_pointer_cast<QVTrack>(item)) {
            result << QStringLiteral("%1|%2|%3|%4")
                          .arg(track->name(), track->artist())
                          .arg(track->length())
                          .arg(Path::localPath(track->url()));
        } else {
            result << Path::localPath(item->url());
        }
    }
    return result;
}

TEST(StrawberryFolder, ShowsTheCollectionAndPlaylistsWithVideosInMovies) {
    TempHome home;
    UserPreferences::sharedPreferences()->setMusicPaths({});
    UserPreferences::sharedPreferences()->setMoviePaths({});
    const QString music = home.file(QStringLiteral("Music"));
    home.makeDirectory(QStringLiteral(".local/share/strawberry/strawberry"));
    SqliteFixture::execute(
        home.file(QStringLiteral(".local/share/strawberry/strawberry/strawberry.db")),
        QLatin1String(kStrawberry) +
            QStringLiteral(
                "INSERT INTO songs (ROWID, title, artist, length, directory_id, url, unavailable) VALUES"
                " (1, 'Morning Tone', 'Demo Artist', 215000000000, 1, 'file://%1/Morning%20Tone.flac', 0),"
                " (2, 'Gone', 'Demo Artist', 1000000000, 1, 'file://%1/Gone.flac', 1),"
                " (3, 'Concert', 'Demo Band', 60500000000, 1, 'file://%1/Concert.mp4', 0),"
                " (4, 'Night Tone', 'Demo Artist', 'long', 1, 'file://%1/Night.ogg', 0),"
                " (5, NULL, NULL, 1000000000, 1, 'file://%1/Encore.mkv', 0);"
                "INSERT INTO playlists (ROWID, name) VALUES (1, 'Favourites'), (2, 'Only gone');"
                "INSERT INTO playlist_items (playlist, type, collection_id, url, title, artist, length) "
                "VALUES"
                " (1, 2, 4, 'file://%1/Night.ogg', NULL, NULL, NULL),"
                " (1, 1, NULL, 'file://%1/Other/Loose.mp3', 'Loose', 'Someone', 3000000000),"
                " (1, 2, 1, 'file://%1/Morning%20Tone.flac', NULL, NULL, NULL),"
                " (1, 2, 3, 'file://%1/Concert.mp4', NULL, NULL, NULL),"
                " (2, 2, 2, 'file://%1/Gone.flac', NULL, NULL, NULL),"
                " (9, 2, 1, 'file://%1/Morning%20Tone.flac', NULL, NULL, NULL);")
                .arg(music));

    // Real movies, whose files call themselves "Holiday Clip".
    MediaFixtures::copy(MediaFixtures::Fixture::TaggedMov, music + QStringLiteral("/Concert.mp4"));
    MediaFixtures::copy(MediaFixtures::Fixture::TaggedMov, music + QStringLiteral("/Encore.mkv"));

    MediaRoots roots;
    auto& [photos, root, movies, media] = roots;

    ASSERT_EQ(root->folders().size(), 1u);
    const MediaFolderPtr library = root->folders().front();
    EXPECT_EQ(library->name(), QStringLiteral("Strawberry"));
    // Playlists carry their row ids.
    const CatalogueContents catalogue = std::dynamic_pointer_cast<StrawberryFolder>(library)->readCatalogue();
    ASSERT_EQ(catalogue.groups.size(), 1u);
    EXPECT_EQ(catalogue.groups[0].id, QStringLiteral("playlist-1"));
    // Lengths are nanoseconds; text where a number belongs is no length.
    EXPECT_EQ(describe(library->files()),
              (QStringList{"Morning Tone|Demo Artist|215|" + music + "/Morning Tone.flac",
                           "Night Tone|Demo Artist|0|" + music + "/Night.ogg"}));
    ASSERT_EQ(library->folders().size(), 1u);
    EXPECT_EQ(library->folders()[0]->name(), QStringLiteral("Favourites"));
    EXPECT_EQ(describe(library->folders()[0]->files()),
              (QStringList{"Night Tone|Demo Artist|0|" + music + "/Night.ogg",
                           "Loose|Someone|3|" + music + "/Other/Loose.mp3",
                           "Morning Tone|Demo Artist|215|" + music + "/Morning Tone.flac"}));
    EXPECT_EQ(library->folders()[0]->files()[0], library->files()[1]);

    ASSERT_EQ(movies->folders().size(), 1u);
    const MediaFolderPtr videos = movies->folders()[0];
    EXPECT_EQ(describe(videos->files()), (QStringList{music + "/Concert.mp4", music + "/Encore.mkv"}));
    EXPECT_EQ(videos->folders().size(), 1u);
    // Named by the collection's title, or else by the file's name: no movie
    // is opened during the load to name it.
    EXPECT_EQ(videos->files()[0]->name(), QStringLiteral("Concert"));
    EXPECT_EQ(videos->files()[1]->name(), QStringLiteral("Encore.mkv"));
}

TEST(StrawberryFolder, ReadsClementinesLayout) {
    TempHome home;
    home.makeDirectory(QStringLiteral(".config/Clementine"));
    const QString database = home.file(QStringLiteral(".config/Clementine/clementine.db"));
    SqliteFixture::execute(
        database, QLatin1String(kClementine) +
                      QStringLiteral("INSERT INTO songs (ROWID, title, artist, length, directory, filename,"
                                     " mtime, ctime, filesize) VALUES"
                                     " (7, 'Tone', 'Artist', 61000000000, 1, 'file:///m/Tone.mp3', 0, 0, 0);"
                                     "INSERT INTO playlists (ROWID, name) VALUES (1, 'Mix');"
                                     "INSERT INTO playlist_items (playlist, type, library_id) VALUES"
                                     " (1, 'Library', 7);"));
    EXPECT_EQ(StrawberryFolder::clementineDatabase(), database);
    LoadProgress unobserved;
    const CatalogueContents contents =
        StrawberryReader(database, StrawberryReader::Media::Music).read(unobserved);
    EXPECT_EQ(describe(contents.items), QStringList{"Tone|Artist|61|/m/Tone.mp3"});
    ASSERT_EQ(contents.groups.size(), 1u);
    EXPECT_EQ(contents.groups[0].items, contents.items);
}

} // namespace
