#include "support/CatalogueSchemas.h"

namespace CatalogueSchemas {

QString darktableLibrary() {
    return QStringLiteral(R"(
CREATE TABLE main.db_info (key VARCHAR PRIMARY KEY, value VARCHAR);
INSERT INTO main.db_info (key, value) VALUES ('version', 38);
CREATE TABLE main.film_rolls (id INTEGER PRIMARY KEY, access_timestamp INTEGER, folder VARCHAR(1024) NOT NULL);
CREATE TABLE main.images (id INTEGER PRIMARY KEY AUTOINCREMENT, group_id INTEGER, film_id INTEGER, width INTEGER, height INTEGER, filename VARCHAR, maker VARCHAR, model VARCHAR, lens VARCHAR, exposure REAL, aperture REAL, iso REAL, focal_length REAL, focus_distance REAL, datetime_taken INTEGER, flags INTEGER, output_width INTEGER, output_height INTEGER, crop REAL, raw_parameters INTEGER, raw_denoise_threshold REAL, raw_auto_bright_threshold REAL, raw_black INTEGER, raw_maximum INTEGER, license VARCHAR, sha1sum CHAR(40), orientation INTEGER, histogram BLOB, lightmap BLOB, longitude REAL, latitude REAL, altitude REAL, color_matrix BLOB, colorspace INTEGER, version INTEGER, max_version INTEGER, write_timestamp INTEGER, history_end INTEGER, position INTEGER, aspect_ratio REAL, exposure_bias REAL, import_timestamp INTEGER DEFAULT -1, change_timestamp INTEGER DEFAULT -1, export_timestamp INTEGER DEFAULT -1, print_timestamp INTEGER DEFAULT -1, FOREIGN KEY(film_id) REFERENCES film_rolls(id) ON DELETE CASCADE ON UPDATE CASCADE, FOREIGN KEY(group_id) REFERENCES images(id) ON DELETE RESTRICT ON UPDATE CASCADE);
CREATE TABLE main.tagged_images (imgid INTEGER, tagid INTEGER, position INTEGER, PRIMARY KEY (imgid, tagid),FOREIGN KEY(imgid) REFERENCES images(id) ON UPDATE CASCADE ON DELETE CASCADE);
CREATE TABLE main.color_labels (imgid INTEGER, color INTEGER);
CREATE TABLE main.selected_images (imgid INTEGER PRIMARY KEY);
)");
}

QString darktableData() {
    return QStringLiteral(R"(
CREATE TABLE data.db_info (key VARCHAR PRIMARY KEY, value VARCHAR);
INSERT INTO data.db_info (key, value) VALUES ('version', 9);
CREATE TABLE data.tags (id INTEGER PRIMARY KEY, name VARCHAR, synonyms VARCHAR, flags INTEGER);
)")
        .replace(QLatin1String("data."), QLatin1String("main."));
}

QString darktableLibraryOld() {
    return QStringLiteral(R"(
CREATE TABLE main.db_info (key VARCHAR PRIMARY KEY, value VARCHAR);
INSERT INTO main.db_info (key, value) VALUES ('version', 1);
CREATE TABLE main.film_rolls (id INTEGER PRIMARY KEY, datetime_accessed CHAR(20), folder VARCHAR(1024) NOT NULL);
CREATE TABLE main.images (id INTEGER PRIMARY KEY AUTOINCREMENT, group_id INTEGER, film_id INTEGER, width INTEGER, height INTEGER, filename VARCHAR, maker VARCHAR, model VARCHAR, lens VARCHAR, exposure REAL, aperture REAL, iso REAL, focal_length REAL, focus_distance REAL, datetime_taken CHAR(20), flags INTEGER, output_width INTEGER, output_height INTEGER, crop REAL, raw_parameters INTEGER, raw_denoise_threshold REAL, raw_auto_bright_threshold REAL, raw_black INTEGER, raw_maximum INTEGER, caption VARCHAR, description VARCHAR, license VARCHAR, sha1sum CHAR(40), orientation INTEGER, histogram BLOB, lightmap BLOB, longitude REAL, latitude REAL, color_matrix BLOB, colorspace INTEGER, version INTEGER, max_version INTEGER);
CREATE TABLE main.tagged_images (imgid INTEGER, tagid INTEGER, PRIMARY KEY (imgid, tagid));
CREATE TABLE main.tags (id INTEGER PRIMARY KEY, name VARCHAR, icon BLOB, description VARCHAR, flags INTEGER);
CREATE TABLE main.color_labels (imgid INTEGER, color INTEGER);
)");
}

QString lightroom() {
    return QStringLiteral(R"(
CREATE TABLE Adobe_variablesTable (id_local INTEGER PRIMARY KEY, id_global UNIQUE NOT NULL, name, type, value NOT NULL DEFAULT '');
INSERT INTO Adobe_variablesTable (id_global, name, value) VALUES ('A1', 'Adobe_DBVersion', '1300025');
CREATE TABLE AgLibraryRootFolder (id_local INTEGER PRIMARY KEY, id_global UNIQUE NOT NULL, absolutePath UNIQUE NOT NULL DEFAULT '', name NOT NULL DEFAULT '', relativePathFromCatalog);
CREATE TABLE AgLibraryFolder (id_local INTEGER PRIMARY KEY, id_global UNIQUE NOT NULL, parentId INTEGER, pathFromRoot NOT NULL DEFAULT '', rootFolder INTEGER NOT NULL DEFAULT 0, visibility INTEGER);
CREATE TABLE AgLibraryFile (id_local INTEGER PRIMARY KEY, id_global UNIQUE NOT NULL, baseName NOT NULL DEFAULT '', errorMessage, errorTime, extension NOT NULL DEFAULT '', externalModTime, folder INTEGER NOT NULL DEFAULT 0, idx_filename NOT NULL DEFAULT '', importHash, lc_idx_filename NOT NULL DEFAULT '', lc_idx_filenameExtension NOT NULL DEFAULT '', md5, modTime, originalFilename NOT NULL DEFAULT '', sidecarExtensions);
CREATE TABLE Adobe_images (id_local INTEGER PRIMARY KEY, id_global UNIQUE NOT NULL, aspectRatioCache NOT NULL DEFAULT -1, bitDepth NOT NULL DEFAULT 0, captureTime, colorChannels NOT NULL DEFAULT 0, colorLabels NOT NULL DEFAULT '', colorMode NOT NULL DEFAULT -1, copyCreationTime NOT NULL DEFAULT -63113817600, copyName, copyReason, developSettingsIDCache, editLock INTEGER NOT NULL DEFAULT 0, fileFormat NOT NULL DEFAULT 'unset', fileHeight, fileWidth, hasMissingSidecars INTEGER, masterImage INTEGER, orientation, originalCaptureTime, originalRootEntity INTEGER, panningDistanceH, panningDistanceV, pick NOT NULL DEFAULT 0, positionInFolder NOT NULL DEFAULT 'z', propertiesCache, pyramidIDCache, rating, rootFile INTEGER NOT NULL DEFAULT 0, sidecarStatus, touchCount NOT NULL DEFAULT 0, touchTime NOT NULL DEFAULT 0);
CREATE TABLE AgLibraryCollection (id_local INTEGER PRIMARY KEY, creationId NOT NULL DEFAULT '', genealogy NOT NULL DEFAULT '', imageCount, name NOT NULL DEFAULT '', parent INTEGER, systemOnly NOT NULL DEFAULT '');
CREATE TABLE AgLibraryCollectionImage (id_local INTEGER PRIMARY KEY, collection INTEGER NOT NULL DEFAULT 0, image INTEGER NOT NULL DEFAULT 0, pick NOT NULL DEFAULT 0, positionInCollection);
CREATE TABLE AgLibraryCollectionContent (id_local INTEGER PRIMARY KEY, collection INTEGER NOT NULL DEFAULT 0, content, owningModule);
CREATE TABLE AgLibraryKeyword (id_local INTEGER PRIMARY KEY, id_global UNIQUE NOT NULL, dateCreated NOT NULL DEFAULT '', genealogy NOT NULL DEFAULT '', imageCountCache DEFAULT -1, includeOnExport INTEGER NOT NULL DEFAULT 1, includeParents INTEGER NOT NULL DEFAULT 1, includeSynonyms INTEGER NOT NULL DEFAULT 1, keywordType, lastApplied, lc_name, name, parent INTEGER);
CREATE TABLE AgLibraryKeywordImage (id_local INTEGER PRIMARY KEY, image INTEGER NOT NULL DEFAULT 0, tag INTEGER NOT NULL DEFAULT 0);
)");
}

QString lightroom3() {
    return QStringLiteral(R"(
CREATE TABLE Adobe_variablesTable (id_local INTEGER PRIMARY KEY, id_global UNIQUE NOT NULL, name, type, value NOT NULL DEFAULT '');
INSERT INTO Adobe_variablesTable (id_global, name, value) VALUES ('A1', 'Adobe_DBVersion', '0300025');
CREATE TABLE AgLibraryRootFolder (id_local INTEGER PRIMARY KEY, id_global UNIQUE NOT NULL, absolutePath UNIQUE NOT NULL DEFAULT '', name NOT NULL DEFAULT '', relativePathFromCatalog);
CREATE TABLE AgLibraryFolder (id_local INTEGER PRIMARY KEY, id_global UNIQUE NOT NULL, parentId INTEGER, pathFromRoot NOT NULL DEFAULT '', rootFolder INTEGER NOT NULL DEFAULT 0);
CREATE TABLE AgLibraryFile (id_local INTEGER PRIMARY KEY, id_global UNIQUE NOT NULL, baseName NOT NULL DEFAULT '', errorMessage, errorTime, extension NOT NULL DEFAULT '', externalModTime, folder INTEGER NOT NULL DEFAULT 0, idx_filename NOT NULL DEFAULT '', importHash, lc_idx_filename NOT NULL DEFAULT '', md5, modTime, originalFilename NOT NULL DEFAULT '', sidecarExtensions);
CREATE TABLE Adobe_images (id_local INTEGER PRIMARY KEY, id_global UNIQUE NOT NULL, aspectRatioCache NOT NULL DEFAULT -1, bitDepth NOT NULL DEFAULT 0, captureTime, colorChannels NOT NULL DEFAULT 0, colorLabels NOT NULL DEFAULT '', colorMode NOT NULL DEFAULT -1, copyCreationTime NOT NULL DEFAULT -63113817600, copyName, copyReason, developSettingsIDCache, fileFormat NOT NULL DEFAULT 'unset', fileHeight, fileWidth, hasMissingSidecars INTEGER, masterImage INTEGER, orientation, originalCaptureTime, originalRootEntity INTEGER, panningDistanceH, panningDistanceV, pick NOT NULL DEFAULT 0, positionInFolder NOT NULL DEFAULT 'z', propertiesCache, pyramidIDCache, rating, rootFile INTEGER NOT NULL DEFAULT 0, sidecarStatus, touchCount NOT NULL DEFAULT 0, touchTime NOT NULL DEFAULT 0);
CREATE TABLE AgLibraryTag (id_local INTEGER PRIMARY KEY, id_global UNIQUE NOT NULL, dateCreated NOT NULL DEFAULT '', flattenedAncestors, genealogy NOT NULL DEFAULT '', imageCountCache DEFAULT -1, kindName NOT NULL DEFAULT '', lastApplied, name, parent INTEGER, sortKey NOT NULL DEFAULT '');
CREATE TABLE AgLibraryTagImage (id_local INTEGER PRIMARY KEY, image INTEGER NOT NULL DEFAULT 0, positionInCollection, tag INTEGER NOT NULL DEFAULT 0, tagKind NOT NULL DEFAULT '');
)");
}

QString photosVentura() {
    return QStringLiteral(R"(
CREATE TABLE Z_PRIMARYKEY (Z_ENT INTEGER PRIMARY KEY, Z_NAME VARCHAR, Z_SUPER INTEGER, Z_MAX INTEGER);
INSERT INTO Z_PRIMARYKEY VALUES (3, 'Asset', 0, 0), (28, 'GenericAlbum', 0, 0);
CREATE TABLE ZASSET (Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZAVALANCHEPICKTYPE INTEGER, ZCLOUDISMYASSET INTEGER, ZCOMPLETE INTEGER, ZFAVORITE INTEGER, ZHIDDEN INTEGER, ZKIND INTEGER, ZKINDSUBTYPE INTEGER, ZORIENTATION INTEGER, ZPLAYBACKSTYLE INTEGER, ZSAVEDASSETTYPE INTEGER, ZTRASHEDSTATE INTEGER, ZVISIBILITYSTATE INTEGER, ZADDITIONALATTRIBUTES INTEGER, ZMOMENT INTEGER, ZADDEDDATE TIMESTAMP, ZDATECREATED TIMESTAMP, ZDURATION FLOAT, ZHEIGHT INTEGER, ZLATITUDE FLOAT, ZLONGITUDE FLOAT, ZMODIFICATIONDATE TIMESTAMP, ZTRASHEDDATE TIMESTAMP, ZWIDTH INTEGER, ZDIRECTORY VARCHAR, ZFILENAME VARCHAR, ZORIGINALCOLORSPACE VARCHAR, ZUNIFORMTYPEIDENTIFIER VARCHAR, ZUUID VARCHAR);
CREATE TABLE ZADDITIONALASSETATTRIBUTES (Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZASSET INTEGER, ZORIGINALFILESIZE INTEGER, ZORIGINALHEIGHT INTEGER, ZORIGINALWIDTH INTEGER, ZTIMEZONEOFFSET INTEGER, ZACCESSIBILITYDESCRIPTION VARCHAR, ZORIGINALFILENAME VARCHAR, ZTIMEZONENAME VARCHAR, ZTITLE VARCHAR);
CREATE TABLE ZGENERICALBUM (Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZCACHEDCOUNT INTEGER, ZCUSTOMSORTASCENDING INTEGER, ZCUSTOMSORTKEY INTEGER, ZKIND INTEGER, ZPENDINGITEMSCOUNT INTEGER, ZTRASHEDSTATE INTEGER, ZPARENTFOLDER INTEGER, ZCREATIONDATE TIMESTAMP, ZTRASHEDDATE TIMESTAMP, ZTITLE VARCHAR, ZUUID VARCHAR);
CREATE TABLE Z_28ASSETS (Z_28ALBUMS INTEGER, Z_3ASSETS INTEGER, Z_FOK_3ASSETS INTEGER, PRIMARY KEY (Z_28ALBUMS, Z_3ASSETS));
CREATE TABLE ZPERSON (Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZFULLNAME VARCHAR, ZDISPLAYNAME VARCHAR);
CREATE TABLE ZDETECTEDFACE (Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZASSET INTEGER, ZPERSON INTEGER);
)");
}

QString photosCatalina() {
    return QStringLiteral(R"(
CREATE TABLE Z_PRIMARYKEY (Z_ENT INTEGER PRIMARY KEY, Z_NAME VARCHAR, Z_SUPER INTEGER, Z_MAX INTEGER);
INSERT INTO Z_PRIMARYKEY VALUES (34, 'GenericAsset', 0, 0), (26, 'GenericAlbum', 0, 0);
CREATE TABLE ZGENERICASSET (Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZAVALANCHEPICKTYPE INTEGER, ZCOMPLETE INTEGER, ZFAVORITE INTEGER, ZHIDDEN INTEGER, ZKIND INTEGER, ZKINDSUBTYPE INTEGER, ZORIENTATION INTEGER, ZPLAYBACKSTYLE INTEGER, ZSAVEDASSETTYPE INTEGER, ZTRASHEDSTATE INTEGER, ZVISIBILITYSTATE INTEGER, ZADDITIONALATTRIBUTES INTEGER, ZMOMENT INTEGER, ZADDEDDATE TIMESTAMP, ZDATECREATED TIMESTAMP, ZDURATION FLOAT, ZHEIGHT INTEGER, ZMODIFICATIONDATE TIMESTAMP, ZWIDTH INTEGER, ZDIRECTORY VARCHAR, ZFILENAME VARCHAR, ZUNIFORMTYPEIDENTIFIER VARCHAR, ZUUID VARCHAR);
CREATE TABLE ZADDITIONALASSETATTRIBUTES (Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZASSET INTEGER, ZORIGINALFILESIZE INTEGER, ZORIGINALFILENAME VARCHAR, ZTITLE VARCHAR);
CREATE TABLE ZGENERICALBUM (Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZCACHEDCOUNT INTEGER, ZCUSTOMSORTASCENDING INTEGER, ZCUSTOMSORTKEY INTEGER, ZKIND INTEGER, ZPENDINGITEMSCOUNT INTEGER, ZTRASHEDSTATE INTEGER, ZPARENTFOLDER INTEGER, ZCREATIONDATE TIMESTAMP, ZTITLE VARCHAR, ZUUID VARCHAR);
CREATE TABLE Z_26ASSETS (Z_26ALBUMS INTEGER, Z_34ASSETS INTEGER, Z_FOK_34ASSETS INTEGER, PRIMARY KEY (Z_26ALBUMS, Z_34ASSETS));
)");
}

QString elisa() {
    return QStringLiteral(R"(
CREATE TABLE `DatabaseVersion` (`Version` INTEGER PRIMARY KEY NOT NULL default 0);
INSERT INTO `DatabaseVersion` VALUES (16);
CREATE TABLE `TracksData` (`FileName` VARCHAR(255) NOT NULL, `FileModifiedTime` DATETIME NOT NULL, `ImportDate` INTEGER NOT NULL, `FirstPlayDate` INTEGER, `LastPlayDate` INTEGER, `PlayCounter` INTEGER NOT NULL, PRIMARY KEY (`FileName`));
CREATE TABLE `Albums` (`ID` INTEGER PRIMARY KEY NOT NULL, `Title` VARCHAR(55) NOT NULL, `ArtistName` VARCHAR(55), `AlbumPath` VARCHAR(255) NOT NULL, `CoverFileName` VARCHAR(255) NOT NULL, UNIQUE (`Title`, `ArtistName`, `AlbumPath`), CONSTRAINT fk_artists FOREIGN KEY (`ArtistName`) REFERENCES `Artists`(`Name`) ON DELETE CASCADE);
CREATE TABLE `Artists` (`ID` INTEGER PRIMARY KEY NOT NULL, `Name` VARCHAR(55) NOT NULL, UNIQUE (`Name`));
CREATE TABLE `Tracks` (`ID` INTEGER PRIMARY KEY AUTOINCREMENT, `FileName` VARCHAR(255) NOT NULL, `Priority` INTEGER NOT NULL, `Title` VARCHAR(85) NOT NULL, `ArtistName` VARCHAR(55), `AlbumTitle` VARCHAR(55), `AlbumArtistName` VARCHAR(55), `AlbumPath` VARCHAR(255), `TrackNumber` INTEGER, `DiscNumber` INTEGER, `Duration` INTEGER NOT NULL, `Rating` INTEGER NOT NULL DEFAULT 0, `Genre` VARCHAR(55), `Composer` VARCHAR(55), `Lyricist` VARCHAR(55), `Comment` VARCHAR(255), `Year` INTEGER, `Channels` INTEGER, `BitRate` INTEGER, `SampleRate` INTEGER, `HasEmbeddedCover` BOOLEAN NOT NULL, UNIQUE (`FileName`), UNIQUE (`Priority`, `Title`, `ArtistName`, `AlbumTitle`, `AlbumArtistName`, `AlbumPath`, `TrackNumber`, `DiscNumber`), CONSTRAINT fk_fileName FOREIGN KEY (`FileName`) REFERENCES `TracksData`(`FileName`) ON DELETE CASCADE, CONSTRAINT fk_artist FOREIGN KEY (`ArtistName`) REFERENCES `Artists`(`Name`), CONSTRAINT fk_tracks_composer FOREIGN KEY (`Composer`) REFERENCES `Composer`(`Name`), CONSTRAINT fk_tracks_lyricist FOREIGN KEY (`Lyricist`) REFERENCES `Lyricist`(`Name`), CONSTRAINT fk_tracks_genre FOREIGN KEY (`Genre`) REFERENCES `Genre`(`Name`), CONSTRAINT fk_tracks_album FOREIGN KEY (`AlbumTitle`, `AlbumArtistName`, `AlbumPath`)REFERENCES `Albums`(`Title`, `ArtistName`, `AlbumPath`));
CREATE TABLE `Radios` (`ID` INTEGER PRIMARY KEY AUTOINCREMENT, `HttpAddress` VARCHAR(255) NOT NULL, `ImageAddress` VARCHAR(255) NOT NULL, `Title` VARCHAR(85) NOT NULL, `Rating` INTEGER NOT NULL DEFAULT 0, `Genre` VARCHAR(55), `Comment` VARCHAR(255), UNIQUE (`HttpAddress`), UNIQUE (`Title`, `HttpAddress`) CONSTRAINT fk_tracks_genre FOREIGN KEY (`Genre`) REFERENCES `Genre`(`Name`));
)");
}

QString elisaOld() {
    return QStringLiteral(R"(
CREATE TABLE `DatabaseVersionV9` (`Version` INTEGER PRIMARY KEY NOT NULL);
CREATE TABLE `DiscoverSource` (`ID` INTEGER PRIMARY KEY NOT NULL, `Name` VARCHAR(55) NOT NULL, UNIQUE (`Name`));
CREATE TABLE `Artists` (`ID` INTEGER PRIMARY KEY NOT NULL, `Name` VARCHAR(55) NOT NULL, UNIQUE (`Name`));
CREATE TABLE `Albums` (`ID` INTEGER PRIMARY KEY NOT NULL, `Title` VARCHAR(55) NOT NULL, `ArtistName` VARCHAR(55), `AlbumPath` VARCHAR(255) NOT NULL, `CoverFileName` VARCHAR(255) NOT NULL, UNIQUE (`Title`, `ArtistName`, `AlbumPath`), CONSTRAINT fk_artists FOREIGN KEY (`ArtistName`) REFERENCES `Artists`(`Name`) ON DELETE CASCADE);
CREATE TABLE `Tracks` (`ID` INTEGER PRIMARY KEY NOT NULL, `Title` VARCHAR(85) NOT NULL, `ArtistName` VARCHAR(55), `AlbumTitle` VARCHAR(55), `AlbumArtistName` VARCHAR(55), `AlbumPath` VARCHAR(255), `TrackNumber` INTEGER DEFAULT -1, `DiscNumber` INTEGER DEFAULT -1, `Duration` INTEGER NOT NULL, `Rating` INTEGER NOT NULL DEFAULT 0, `Genre` VARCHAR(55), `Composer` VARCHAR(55), `Lyricist` VARCHAR(55), `Comment` VARCHAR(255) DEFAULT '', `Year` INTEGER DEFAULT 0, `Channels` INTEGER DEFAULT -1, `BitRate` INTEGER DEFAULT -1, `SampleRate` INTEGER DEFAULT -1, `HasEmbeddedCover` BOOLEAN NOT NULL, `ImportDate` INTEGER NOT NULL, `FirstPlayDate` INTEGER, `LastPlayDate` INTEGER, `PlayCounter` INTEGER NOT NULL, UNIQUE (`Title`, `AlbumTitle`, `AlbumArtistName`, `AlbumPath`, `TrackNumber`, `DiscNumber`), CONSTRAINT fk_artist FOREIGN KEY (`ArtistName`) REFERENCES `Artists`(`Name`), CONSTRAINT fk_tracks_composer FOREIGN KEY (`Composer`) REFERENCES `Composer`(`Name`), CONSTRAINT fk_tracks_lyricist FOREIGN KEY (`Lyricist`) REFERENCES `Lyricist`(`Name`), CONSTRAINT fk_tracks_genre FOREIGN KEY (`Genre`) REFERENCES `Genre`(`Name`), CONSTRAINT fk_tracks_album FOREIGN KEY (`AlbumTitle`, `AlbumArtistName`, `AlbumPath`)REFERENCES `Albums`(`Title`, `ArtistName`, `AlbumPath`));
CREATE TABLE `TracksMapping` (`TrackID` INTEGER NULL, `DiscoverID` INTEGER NOT NULL, `FileName` VARCHAR(255) NOT NULL, `Priority` INTEGER NOT NULL, `FileModifiedTime` DATETIME NOT NULL, PRIMARY KEY (`FileName`), CONSTRAINT TracksUnique UNIQUE (`TrackID`, `Priority`), CONSTRAINT fk_tracksmapping_trackID FOREIGN KEY (`TrackID`) REFERENCES `Tracks`(`ID`) ON DELETE CASCADE, CONSTRAINT fk_tracksmapping_discoverID FOREIGN KEY (`DiscoverID`) REFERENCES `DiscoverSource`(`ID`));
)");
}

QString lollypop() {
    return QStringLiteral(R"(
CREATE TABLE albums (id INTEGER PRIMARY KEY, name TEXT NOT NULL, mb_album_id TEXT, lp_album_id TEXT, no_album_artist BOOLEAN NOT NULL, year INT, timestamp INT, uri TEXT NOT NULL, popularity INT NOT NULL, rate INT NOT NULL, loved INT NOT NULL, mtime INT NOT NULL, storage_type INT NOT NULL, synced INT NOT NULL);
CREATE TABLE artists (id INTEGER PRIMARY KEY, name TEXT NOT NULL, sortname TEXT NOT NULL, mb_artist_id TEXT);
CREATE TABLE featuring (artist_id INT NOT NULL, album_id INT NOT NULL);
CREATE TABLE genres (id INTEGER PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE album_artists (album_id INT NOT NULL, artist_id INT NOT NULL);
CREATE TABLE album_genres (album_id INT NOT NULL, genre_id INT NOT NULL);
CREATE TABLE albums_timed_popularity (album_id INT NOT NULL, mtime INT NOT NULL, popularity INT NOT NULL);
CREATE TABLE tracks (id INTEGER PRIMARY KEY, name TEXT NOT NULL, uri TEXT NOT NULL, duration INT, tracknumber INT, discnumber INT, discname TEXT, album_id INT NOT NULL, year INT, timestamp INT, popularity INT NOT NULL, loved INT NOT NULL DEFAULT 0, rate INT NOT NULL, ltime INT NOT NULL, mtime INT NOT NULL, storage_type INT NOT NULL, mb_track_id TEXT, lp_track_id TEXT, bpm DOUBLE);
CREATE TABLE track_artists (track_id INT NOT NULL, artist_id INT NOT NULL);
CREATE TABLE track_genres (track_id INT NOT NULL, genre_id INT NOT NULL);
CREATE index idx_aa ON album_artists(album_id);
CREATE index idx_ta ON track_artists(track_id);
CREATE index idx_ag ON album_genres(album_id);
CREATE index idx_tg ON track_genres(track_id);
PRAGMA user_version=46;
)");
}

QString lollypopPlaylists() {
    return QStringLiteral(R"(
CREATE TABLE playlists (id INTEGER PRIMARY KEY, name TEXT NOT NULL, synced INT NOT NULL DEFAULT 0, smart_enabled INT NOT NULL DEFAULT 0, smart_sql TEXT, uri TEXT, mtime BIGINT NOT NULL);
CREATE TABLE tracks (playlist_id INT NOT NULL, uri TEXT NOT NULL);
PRAGMA user_version=17;
)");
}

QString lollypopOld() {
    return QStringLiteral(R"(
CREATE TABLE albums (id INTEGER PRIMARY KEY, name TEXT NOT NULL, no_album_artist BOOLEAN NOT NULL, year INT, path TEXT NOT NULL, popularity INT NOT NULL, mtime INT NOT NULL, synced INT NOT NULL DEFAULT 0);
CREATE TABLE artists (id INTEGER PRIMARY KEY, name TEXT NOT NULL, sortname TEXT NOT NULL);
CREATE TABLE genres (id INTEGER PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE album_artists (album_id INT NOT NULL, artist_id INT NOT NULL);
CREATE TABLE album_genres (album_id INT NOT NULL, genre_id INT NOT NULL);
CREATE TABLE tracks (id INTEGER PRIMARY KEY, name TEXT NOT NULL, filepath TEXT NOT NULL, duration INT, tracknumber INT, discnumber INT, discname TEXT, album_id INT NOT NULL, year INT, popularity INT NOT NULL, ltime INT NOT NULL, mtime INT NOT NULL, persistent INT NOT NULL DEFAULT 1);
CREATE TABLE track_artists (track_id INT NOT NULL, artist_id INT NOT NULL);
CREATE TABLE track_genres (track_id INT NOT NULL, genre_id INT NOT NULL);
PRAGMA user_version=12;
)");
}

QString lollypopPlaylistsOld() {
    return QStringLiteral(R"(
CREATE TABLE playlists (id INTEGER PRIMARY KEY, name TEXT NOT NULL, mtime BIGINT NOT NULL);
CREATE TABLE tracks (playlist_id INT NOT NULL, filepath TEXT NOT NULL);
)");
}

QString kodiMusic() {
    return QStringLiteral(R"(
CREATE TABLE version (idVersion integer, iCompressCount integer);
INSERT INTO version (idVersion, iCompressCount) VALUES (82, 0);
CREATE TABLE artist ( idArtist integer primary key,  strArtist varchar(256), strMusicBrainzArtistID text,  strSortName text,  strType text, strGender text, strDisambiguation text,  strBorn text, strFormed text, strGenres text, strMoods text,  strStyles text, strInstruments text, strBiography text,  strDied text, strDisbanded text, strYearsActive text,  strImage text,  lastScraped varchar(20) default NULL,  bScrapedMBID INTEGER NOT NULL DEFAULT 0,  idInfoSetting INTEGER NOT NULL DEFAULT 0,  dateAdded TEXT, dateNew TEXT, dateModified TEXT);
CREATE TABLE album (idAlbum integer primary key,  strAlbum varchar(256), strMusicBrainzAlbumID text,  strReleaseGroupMBID text,  strArtistDisp text, strArtistSort text, strGenres text,  strReleaseDate TEXT, strOrigReleaseDate TEXT,  bBoxedSet INTEGER NOT NULL DEFAULT 0,  bCompilation integer not null default '0',  strMoods text, strStyles text, strThemes text,  strReview text, strImage text, strLabel text,  strType text,  strReleaseStatus TEXT,  fRating FLOAT NOT NULL DEFAULT 0,  iVotes INTEGER NOT NULL DEFAULT 0,  iUserrating INTEGER NOT NULL DEFAULT 0,  lastScraped varchar(20) default NULL,  bScrapedMBID INTEGER NOT NULL DEFAULT 0,  strReleaseType text,  iDiscTotal INTEGER NOT NULL DEFAULT 0,  iAlbumDuration INTEGER NOT NULL DEFAULT 0,  idInfoSetting INTEGER NOT NULL DEFAULT 0,  dateAdded TEXT, dateNew TEXT, dateModified TEXT);
CREATE TABLE album_artist (idArtist integer, idAlbum integer, iOrder integer, strArtist text);
CREATE TABLE path (idPath integer primary key, strPath varchar(512), strHash text);
CREATE TABLE song (idSong integer primary key,  idAlbum integer, idPath integer,  strArtistDisp text, strArtistSort text, strGenres text, strTitle varchar(512),  iTrack integer, iDuration integer,  strReleaseDate TEXT, strOrigReleaseDate TEXT,  strDiscSubtitle text, strFileName text, strMusicBrainzTrackID text,  iTimesPlayed integer, iStartOffset integer, iEndOffset integer,  lastplayed varchar(20) default NULL,  rating FLOAT NOT NULL DEFAULT 0, votes INTEGER NOT NULL DEFAULT 0,  userrating INTEGER NOT NULL DEFAULT 0,  comment text, mood text, iBPM INTEGER NOT NULL DEFAULT 0,  iBitRate INTEGER NOT NULL DEFAULT 0,  iSampleRate INTEGER NOT NULL DEFAULT 0, iChannels INTEGER NOT NULL DEFAULT 0,  strReplayGain text,  dateAdded TEXT, dateNew TEXT, dateModified TEXT);
CREATE TABLE song_artist (idArtist integer, idSong integer, idRole integer, iOrder integer, strArtist text);
)");
}

QString kodiMusicOld() {
    return QStringLiteral(R"(
CREATE TABLE version (idVersion integer, iCompressCount integer);
INSERT INTO version (idVersion, iCompressCount) VALUES (56, 0);
CREATE TABLE album (idAlbum integer primary key,  strAlbum varchar(256), strMusicBrainzAlbumID text,  strArtists text, strGenres text,  iYear integer, idThumb integer,  bCompilation integer not null default '0',  strMoods text, strStyles text, strThemes text,  strReview text, strImage text, strLabel text,  strType text,  iRating integer,  lastScraped varchar(20) default NULL,  dateAdded varchar (20) default NULL);
CREATE TABLE path (idPath integer primary key, strPath varchar(512), strHash text);
CREATE TABLE song ( idSong integer primary key, idAlbum integer, idPath integer, strArtists text, strGenres text, strTitle varchar(512), iTrack integer, iDuration integer, iYear integer, dwFileNameCRC text, strFileName text, strMusicBrainzTrackID text, iTimesPlayed integer, iStartOffset integer, iEndOffset integer, idThumb integer, lastplayed varchar(20) default NULL, rating char default '0', comment text);
)");
}

QString kodiVideos() {
    // Kodi makes the numbered columns of its video tables in a loop: c00 to c23.
    QString columns;
    for (int i = 0; i < 24; ++i) {
        columns += QStringLiteral(", c%1 text").arg(i, 2, 10, QLatin1Char('0'));
    }
    return QStringLiteral(R"(
CREATE TABLE version (idVersion integer, iCompressCount integer);
INSERT INTO version (idVersion, iCompressCount) VALUES (121, 0);
CREATE TABLE path ( idPath integer primary key, strPath text, strContent text, strScraper text, strHash text, scanRecursive integer, useFolderNames bool, strSettings text, noUpdate bool, exclude bool, allAudio bool, dateAdded text, idParentPath integer);
CREATE TABLE files ( idFile integer primary key, idPath integer, strFilename text, playCount integer, lastPlayed text, dateAdded text);
CREATE TABLE movie ( idMovie integer primary key, idFile integer%1, idSet integer, userrating integer, premiered text);
CREATE TABLE tvshow ( idShow integer primary key%1, userrating integer, duration INTEGER);
CREATE TABLE episode ( idEpisode integer primary key, idFile integer%1, idShow integer, userrating integer, idSeason integer);
CREATE TABLE musicvideo ( idMVideo integer primary key, idFile integer%1, userrating integer, premiered text);
CREATE TABLE seasons ( idSeason integer primary key, idShow integer, season integer, name text, userrating integer);
CREATE TABLE streamdetails (idFile integer, iStreamType integer, strVideoCodec text, fVideoAspect float, iVideoWidth integer, iVideoHeight integer, strAudioCodec text, iAudioChannels integer, strAudioLanguage text, strSubtitleLanguage text, iVideoDuration integer, strStereoMode text, strVideoLanguage text, strHdrType text);
)")
        .arg(columns);
}

} // namespace CatalogueSchemas
