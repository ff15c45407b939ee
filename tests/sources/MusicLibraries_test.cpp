#include "model/QVMedia.h"
#include "prefs/UserPreferences.h"
#include "sources/catalogues/ElisaReader.h"
#include "sources/catalogues/KodiFolder.h"
#include "sources/catalogues/KodiReader.h"
#include "sources/catalogues/LollypopReader.h"
#include "support/CatalogueOutline.h"
#include "support/CatalogueSchemas.h"
#include "support/SqliteFixture.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

using CatalogueOutline::groups;
using CatalogueOutline::items;

// Each library found where its application keeps it, in the right trees,
// Kodi's newest databases chosen; the Music application's export in both.
TEST(MusicLibraries, AreFoundWhereTheirApplicationsKeepThem) {
    TempHome home;
    UserPreferences::sharedPreferences()->setMusicPaths({});
    UserPreferences::sharedPreferences()->setMoviePaths({});
    home.makeDirectory(QStringLiteral(".local/share/elisa"));
    SqliteFixture::execute(home.file(QStringLiteral(".local/share/elisa/elisaDatabase.db")),
                           CatalogueSchemas::elisa());
    home.makeDirectory(QStringLiteral(".local/share/lollypop"));
    SqliteFixture::execute(home.file(QStringLiteral(".local/share/lollypop/lollypop.db")),
                           CatalogueSchemas::lollypop());
    home.makeDirectory(QStringLiteral(".kodi/userdata/Database"));
    for (const char* name : {"MyMusic56.db", "MyMusic82.db", "MyMusic7.db", "MyVideos121.db"}) {
        home.writeFile(QStringLiteral(".kodi/userdata/Database/") + QLatin1String(name), "SQLite format 3");
    }
    home.writeFile(QStringLiteral("Music/Music/Library.xml"), "<plist/>");

    auto music = std::make_shared<MediaFolder>();
    auto movies = std::make_shared<MediaFolder>();
    QVMedia media;
    media.setMusic(music);
    media.setMovies(movies);
    media.awakeFromNib();
    EXPECT_EQ(CatalogueOutline::folderNames(music), (QStringList{"Music", "Elisa", "Lollypop", "Kodi"}));
    EXPECT_EQ(CatalogueOutline::folderNames(movies), (QStringList{"Music", "Kodi"}));
    EXPECT_EQ(KodiFolder::databasePath(QStringLiteral("MyMusic")),
              home.file(QStringLiteral(".kodi/userdata/Database/MyMusic82.db")));
}

// Elisa names each track's file (a URL) in its own row today, and did so
// in a mapping table before 0.4; lengths are milliseconds.
TEST(MusicLibraries, ElisaTracksAndAlbumsInBothLayouts) {
    TempHome home;
    const QString today = home.file(QStringLiteral("today.db"));
    SqliteFixture::execute(
        today,
        CatalogueSchemas::elisa() +
            QStringLiteral(
                "INSERT INTO Tracks (ID, FileName, Priority, Title, ArtistName, AlbumTitle, AlbumArtistName,"
                " AlbumPath, Duration, HasEmbeddedCover) VALUES"
                " (1, 'file:///m/Tide%20Tables.flac', 1, 'Tide Tables', 'Harbour Lights', 'Coastline',"
                " 'Harbour Lights', 'file:///m', 181500, 0),"
                " (2, 'file:///m/Live/Salt.ogg', 1, 'Salt Air', 'Harbour Lights', 'Coastline',"
                " 'Harbour Lights', 'file:///m/Live', 60000, 0),"
                " (3, 'file:///m/Gull Söng.mp3', 1, 'Gull Song', 'Other', NULL, NULL, NULL, 5000, 0);"));
    LoadProgress progress;
    const CatalogueContents contents = ElisaReader::read(today, progress);
    EXPECT_EQ(items(contents.items), (QStringList{"Tide Tables|Harbour Lights|181|file:///m/Tide Tables.flac",
                                                  "Salt Air|Harbour Lights|60|file:///m/Live/Salt.ogg",
                                                  "Gull Song|Other|5|file:///m/Gull Söng.mp3"}));
    // The same title in two folders is two albums, as Elisa tells them apart.
    EXPECT_EQ(groups(contents.groups), QStringLiteral("Albums[0](Coastline[1],Coastline[1])"));

    const QString old = home.file(QStringLiteral("old.db"));
    SqliteFixture::execute(
        old, CatalogueSchemas::elisaOld() +
                 QStringLiteral(
                     "INSERT INTO Tracks (ID, Title, ArtistName, AlbumTitle, Duration, HasEmbeddedCover,"
                     " ImportDate, PlayCounter) VALUES (7, 'Tone', 'Artist', 'Album', 61000, 0, 0, 0);"
                     "INSERT INTO TracksMapping (TrackID, DiscoverID, FileName, Priority, FileModifiedTime)"
                     " VALUES (7, 1, 'file:///m/Tone.mp3', 1, 0);"));
    const CatalogueContents older = ElisaReader::read(old, progress);
    EXPECT_EQ(items(older.items), QStringList{"Tone|Artist|61|file:///m/Tone.mp3"});
    EXPECT_EQ(groups(older.groups), QStringLiteral("Albums[0](Album[1])"));
}

// Lollypop: artists joined, web tracks left out, playlists (not smart ones)
// in their order; lengths in milliseconds since its schema version 40, files
// by path before version 13.
TEST(MusicLibraries, LollypopTracksAlbumsAndPlaylistsInBothSchemas) {
    TempHome home;
    const QString collection = home.file(QStringLiteral("lollypop.db"));
    const QString playlists = home.file(QStringLiteral("playlists.db"));
    SqliteFixture::execute(
        collection,
        CatalogueSchemas::lollypop() +
            QStringLiteral(
                "INSERT INTO artists (id, name, sortname) VALUES (1, 'Ana', 'Ana'), (2, 'Ben', 'Ben');"
                "INSERT INTO albums (id, name, no_album_artist, uri, popularity, rate, loved, mtime, "
                "storage_type,"
                " synced) VALUES (1, 'Duets', 0, 'file:///m', 0, 0, 0, 0, 2, 0);"
                "INSERT INTO tracks (id, name, uri, duration, album_id, popularity, rate, ltime, mtime, "
                "storage_type)"
                " VALUES (1, 'One', 'file:///m/One.mp3', 200500, 1, 0, 0, 0, 0, 2),"
                " (2, 'Two', 'file:///m/Two.mp3', 100000, 1, 0, 0, 0, 0, 2),"
                " (3, 'Web', 'web://deezer/3', 100000, 1, 0, 0, 0, 0, 16);"
                "INSERT INTO track_artists (track_id, artist_id) VALUES (1, 1), (1, 2), (2, 2), (3, 1);"));
    SqliteFixture::execute(
        playlists,
        CatalogueSchemas::lollypopPlaylists() +
            QStringLiteral("INSERT INTO playlists (id, name, smart_enabled, mtime) VALUES"
                           " (1, 'Road', 0, 0), (2, 'Smart', 1, 0), (3, 'Web only', 0, 0);"
                           "INSERT INTO tracks (playlist_id, uri) VALUES (1, 'file:///m/Two.mp3'),"
                           " (1, 'file:///m/One.mp3'), (2, 'file:///m/One.mp3'), (3, 'web://deezer/3');"));
    LoadProgress progress;
    const CatalogueContents contents = LollypopReader::read(collection, playlists, progress);
    EXPECT_EQ(items(contents.items),
              (QStringList{"One|Ana, Ben|200|file:///m/One.mp3", "Two|Ben|100|file:///m/Two.mp3"}));
    EXPECT_EQ(groups(contents.groups), QStringLiteral("Albums[0](Duets[2]),Road[2]"));
    EXPECT_EQ(contents.groups[1].items[0], contents.items[1]);

    const QString old = home.file(QStringLiteral("old.db"));
    const QString oldPlaylists = home.file(QStringLiteral("oldplaylists.db"));
    SqliteFixture::execute(
        old, CatalogueSchemas::lollypopOld() +
                 QStringLiteral(
                     "INSERT INTO tracks (id, name, filepath, duration, album_id, popularity, ltime, mtime)"
                     " VALUES (1, 'Old', '/m/Old Song.mp3', 95, 0, 0, 0, 0);"));
    SqliteFixture::execute(oldPlaylists,
                           CatalogueSchemas::lollypopPlaylistsOld() +
                               QStringLiteral("INSERT INTO playlists (id, name, mtime) VALUES (1, 'Mix', 0);"
                                              "INSERT INTO tracks VALUES (1, '/m/Old Song.mp3');"));
    const CatalogueContents older = LollypopReader::read(old, oldPlaylists, progress);
    EXPECT_EQ(items(older.items), QStringList{"Old||95|file:///m/Old Song.mp3"});
    EXPECT_EQ(groups(older.groups), QStringLiteral("Mix[1]"));
}

// Kodi's songs with their albums, in its schema of today and of Kodi 16;
// files on shares keep their network URLs.
TEST(MusicLibraries, KodiSongsInBothSchemas) {
    TempHome home;
    const QString songs = QStringLiteral(
        "INSERT INTO path (idPath, strPath) VALUES (1, '/m/Coastline/'), (2, 'smb://nas/music/Live/');"
        "INSERT INTO album (idAlbum, strAlbum) VALUES (1, 'Coastline'), (2, 'Live');"
        "INSERT INTO song (idSong, idAlbum, idPath, %1, strTitle, iDuration, strFileName) VALUES"
        " (1, 1, 1, 'Harbour Lights', 'Lighthouse', 214, '01 Lighthouse.flac'),"
        " (2, 2, 2, 'Harbour Lights / Guest', 'Encore', 95, 'Encore.mp3');");
    const QStringList expected{"Lighthouse|Harbour Lights|214|file:///m/Coastline/01 Lighthouse.flac",
                               "Encore|Harbour Lights / Guest|95|smb://nas/music/Live/Encore.mp3"};
    LoadProgress progress;
    const QString today = home.file(QStringLiteral("MyMusic82.db"));
    SqliteFixture::execute(today, CatalogueSchemas::kodiMusic() + songs.arg(QStringLiteral("strArtistDisp")));
    CatalogueContents contents = KodiReader::readMusic(today, progress);
    EXPECT_EQ(items(contents.items), expected);
    EXPECT_EQ(groups(contents.groups), QStringLiteral("Albums[0](Coastline[1],Live[1])"));

    const QString old = home.file(QStringLiteral("MyMusic56.db"));
    SqliteFixture::execute(old, CatalogueSchemas::kodiMusicOld() + songs.arg(QStringLiteral("strArtists")));
    contents = KodiReader::readMusic(old, progress);
    EXPECT_EQ(items(contents.items), expected);
}

// Kodi's videos: movies (one in parts plays from its first), episodes by
// show and season, music videos; titles from the library.
TEST(MusicLibraries, KodiVideosByKind) {
    TempHome home;
    const QString database = home.file(QStringLiteral("MyVideos121.db"));
    SqliteFixture::execute(
        database,
        CatalogueSchemas::kodiVideos() +
            QStringLiteral(
                "INSERT INTO path (idPath, strPath) VALUES (1, '/v/Movies/'), (2, 'nfs://nas/tv/Show/'),"
                " (3, '/v/Clips/');"
                "INSERT INTO files (idFile, idPath, strFilename) VALUES (1, 1, 'Sea.mkv'),"
                " (2, 1, 'stack:///v/Movies/Long-1.avi , /v/Movies/Long-2.avi'), (3, 2, 'S01E02.mkv'),"
                " (4, 2, 'S01E01.mkv'), (5, 2, 'S02E01.mkv'), (6, 3, 'clip.mp4');"
                "INSERT INTO movie (idMovie, idFile, c00) VALUES (1, 1, 'The Sea'), (2, 2, 'A Long Film');"
                "INSERT INTO tvshow (idShow, c00) VALUES (1, 'Harbour Show');"
                "INSERT INTO episode (idEpisode, idFile, c00, c12, c13, idShow) VALUES"
                " (1, 3, 'Second', '1', '2', 1), (2, 4, 'First', '1', '1', 1), (3, 5, 'Next', '2', '1', 1);"
                "INSERT INTO musicvideo (idMVideo, idFile, c00, c10) VALUES (1, 6, 'Tide', 'Harbour "
                "Lights');"));
    LoadProgress progress;
    const CatalogueContents contents = KodiReader::readVideos(database, progress);
    EXPECT_EQ(items(contents.items),
              (QStringList{"A Long Film|file:///v/Movies/Long-1.avi", "The Sea|file:///v/Movies/Sea.mkv",
                           "1. First|nfs://nas/tv/Show/S01E01.mkv", "2. Second|nfs://nas/tv/Show/S01E02.mkv",
                           "1. Next|nfs://nas/tv/Show/S02E01.mkv",
                           "Harbour Lights – Tide|file:///v/Clips/clip.mp4"}));
    EXPECT_EQ(groups(contents.groups),
              QStringLiteral("Movies[2],TV Shows[0](Harbour Show[0](Season 1[2],Season 2[1])),"
                             "Music Videos[1]"));
}

} // namespace
