#include "model/Photo.h"
#include "model/QVMedia.h"
#include "model/QVMovie.h"
#include "platform/system/LoadProgress.h"
#include "platform/system/Path.h"
#include "prefs/UserPreferences.h"
#include "sources/catalogues/ShotwellFolder.h"
#include "support/MediaFixtures.h"
#include "support/MediaRoots.h"
#include "support/SqliteFixture.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

// The tables as Shotwell 0.12 creates them (schema version 15).
const char kSchema15[] = R"(
CREATE TABLE VersionTable (id INTEGER PRIMARY KEY, schema_version INTEGER, app_version TEXT, user_data TEXT NULL);
INSERT INTO VersionTable (schema_version, app_version) VALUES (15, '0.12.3');
CREATE TABLE PhotoTable (id INTEGER PRIMARY KEY, filename TEXT UNIQUE NOT NULL, width INTEGER, height INTEGER,
  filesize INTEGER, timestamp INTEGER, exposure_time INTEGER, orientation INTEGER, original_orientation INTEGER,
  import_id INTEGER, event_id INTEGER, transformations TEXT, md5 TEXT, thumbnail_md5 TEXT, exif_md5 TEXT,
  time_created INTEGER, flags INTEGER DEFAULT 0, rating INTEGER DEFAULT 0, file_format INTEGER DEFAULT 0,
  title TEXT, backlinks TEXT, time_reimported INTEGER, editable_id INTEGER DEFAULT -1,
  metadata_dirty INTEGER DEFAULT 0);
CREATE TABLE EventTable (id INTEGER PRIMARY KEY, name TEXT, primary_photo_id INTEGER, time_created INTEGER,
  primary_source_id TEXT);
CREATE TABLE TagTable (id INTEGER PRIMARY KEY, name TEXT UNIQUE NOT NULL, photo_id_list TEXT, time_created INTEGER);
CREATE TABLE VideoTable (id INTEGER PRIMARY KEY, filename TEXT UNIQUE NOT NULL, width INTEGER, height INTEGER,
  clip_duration REAL, is_interpretable INTEGER, filesize INTEGER, timestamp INTEGER, exposure_time INTEGER,
  import_id INTEGER, event_id INTEGER, md5 TEXT, time_created INTEGER, rating INTEGER DEFAULT 0, title TEXT,
  backlinks TEXT, time_reimported INTEGER, flags INTEGER DEFAULT 0);
CREATE TABLE SavedSearchDBTable (id INTEGER PRIMARY KEY, name TEXT UNIQUE NOT NULL, operator TEXT NOT NULL);
)";

// Today's tables (schema version 20 onwards): RAW developer columns and comments.
const char kSchema20[] = R"(
CREATE TABLE VersionTable (id INTEGER PRIMARY KEY, schema_version INTEGER, app_version TEXT, user_data TEXT NULL);
INSERT INTO VersionTable (schema_version, app_version) VALUES (20, '0.32.1');
CREATE TABLE PhotoTable (id INTEGER PRIMARY KEY, filename TEXT UNIQUE NOT NULL, width INTEGER, height INTEGER,
  filesize INTEGER, timestamp INTEGER, exposure_time INTEGER, orientation INTEGER, original_orientation INTEGER,
  import_id INTEGER, event_id INTEGER, transformations TEXT, md5 TEXT, thumbnail_md5 TEXT, exif_md5 TEXT,
  time_created INTEGER, flags INTEGER DEFAULT 0, rating INTEGER DEFAULT 0, file_format INTEGER DEFAULT 0,
  title TEXT, backlinks TEXT, time_reimported INTEGER, editable_id INTEGER DEFAULT -1,
  metadata_dirty INTEGER DEFAULT 0, developer TEXT, develop_shotwell_id INTEGER DEFAULT -1,
  develop_camera_id INTEGER DEFAULT -1, develop_embedded_id INTEGER DEFAULT -1, comment TEXT);
CREATE TABLE EventTable (id INTEGER PRIMARY KEY, name TEXT, primary_photo_id INTEGER, time_created INTEGER,
  primary_source_id TEXT, comment TEXT);
CREATE TABLE TagTable (id INTEGER PRIMARY KEY, name TEXT UNIQUE NOT NULL, photo_id_list TEXT, time_created INTEGER);
CREATE TABLE VideoTable (id INTEGER PRIMARY KEY, filename TEXT UNIQUE NOT NULL, width INTEGER, height INTEGER,
  clip_duration REAL, is_interpretable INTEGER, filesize INTEGER, timestamp INTEGER, exposure_time INTEGER,
  import_id INTEGER, event_id INTEGER, md5 TEXT, time_created INTEGER, rating INTEGER DEFAULT 0, title TEXT,
  backlinks TEXT, time_reimported INTEGER, flags INTEGER DEFAULT 0, comment TEXT);
CREATE TABLE BackingPhotoTable (id INTEGER PRIMARY KEY, filepath TEXT UNIQUE NOT NULL, timestamp INTEGER,
  filesize INTEGER, width INTEGER, height INTEGER, original_orientation INTEGER, file_format INTEGER,
  time_created INTEGER);
)";

CatalogueContents read(const QString& database, ShotwellReader::Media media) {
    LoadProgress unobserved;
    return ShotwellReader(database, {}, media).read(unobserved);
}

// 2026-01-01 12:00 UTC: the same day in every time zone from UTC-11 to UTC+11.
constexpr qint64 kNewYear = 1767268800;

// A library as Shotwell fills it: a named event and one named by its date,
// trashed and hidden photos, a favourite, a video, tags for both kinds, a
// tag whose items are all gone, a tag tree ("/Trips" holding "/Trips/Sea"),
// a nested tag whose parent has no row, a flat tag with a slash in its name,
// a flat tag named as the tree's top tag (one folder, no photo twice).
QString libraryRows(const QString& root) {
    return QStringLiteral(R"(
INSERT INTO EventTable (id, name) VALUES (1, 'Summer'), (2, NULL);
INSERT INTO PhotoTable (id, filename, exposure_time, event_id, flags, title) VALUES
  (1, '%1/Beach.jpg', %2 + 300, 1, 0, NULL),
  (2, '%1/Harbour.jpg', %2 + 100, 2, 0, NULL),
  (3, '%1/Trashed.jpg', %2 + 50, 1, 4, NULL),
  (4, '%1/Hidden.jpg', %2 + 60, 1, 1, NULL),
  (5, '%1/IMG_0005.jpg', %2 + 200, 1, 2, 'Old Town');
INSERT INTO VideoTable (id, filename, exposure_time, event_id, flags, title) VALUES
  (1, '%1/Waves.mp4', %2 + 150, 1, 0, NULL), (2, '%1/Deleted.mp4', %2 + 10, 1, 4, NULL),
  (3, '%1/Dusk.mov', %2 + 400, 1, 0, 'Dusk at Sea');
INSERT INTO TagTable (name, photo_id_list) VALUES
  ('Family', 'thumb0000000000000001,video-0000000000000001,thumb0000000000000003,'),
  ('/Trips', 'thumb0000000000000002,thumb0000000000000005,'),
  ('/Trips/Sea', 'thumb0000000000000005,'),
  ('/Pets/Cats', 'thumb0000000000000001,'),
  ('Sun/Sand', 'thumb0000000000000001,'),
  ('Trips', 'thumb0000000000000005,thumb0000000000000001,'),
  ('Gone', 'thumb00000000000000ff,');
)")
        .arg(root)
        .arg(kNewYear);
}

QStringList namesOf(const std::vector<MediaItemPtr>& items) {
    QStringList names;
    for (const MediaItemPtr& item : items) {
        if (auto photo = std::dynamic_pointer_cast<Photo>(item)) {
            names << photo->name();
        } else {
            names << Path::lastComponent(Path::localPath(item->url()));
        }
    }
    return names;
}

// "group: item, item" for each sub-folder.
QStringList describe(MediaFolder& folder) {
    QStringList result;
    for (const MediaFolderPtr& sub : folder.folders()) {
        result << sub->name() + QStringLiteral(": ") + namesOf(sub->files()).join(QStringLiteral(", "));
    }
    return result;
}

MediaFolderPtr firstFolder(const MediaFolderPtr& root) {
    return root->folders().empty() ? nullptr : root->folders().front();
}

TEST(ShotwellFolder, ShowsTheUsersLibraryInPicturesAndMovies) {
    TempHome home;
    UserPreferences::sharedPreferences()->setPicturePaths({});
    UserPreferences::sharedPreferences()->setMoviePaths({});
    const QString database = home.file(QStringLiteral(".local/share/shotwell/data/photo.db"));
    home.makeDirectory(QStringLiteral(".local/share/shotwell/data"));
    SqliteFixture::execute(database,
                           QLatin1String(kSchema20) + libraryRows(home.file(QStringLiteral("Pictures"))));
    const QString thumbnail =
        home.writeFile(QStringLiteral(".cache/shotwell/thumbs/thumbs360/thumb0000000000000001.jpg"), "jpeg");
    // Real movies, whose files call themselves "Holiday Clip".
    MediaFixtures::copy(MediaFixtures::Fixture::TaggedMov, home.file(QStringLiteral("Pictures/Waves.mp4")));
    MediaFixtures::copy(MediaFixtures::Fixture::TaggedMov, home.file(QStringLiteral("Pictures/Dusk.mov")));

    MediaRoots roots;
    auto& [photos, music, movies, media] = roots;

    const MediaFolderPtr library = firstFolder(photos);
    ASSERT_TRUE(library);
    EXPECT_EQ(library->name(), QStringLiteral("Shotwell"));
    EXPECT_TRUE(library->isExpandable());
    EXPECT_FALSE(library->isLoaded());
    // By exposure time; trashed and hidden photos left out; a title names its photo.
    EXPECT_EQ(namesOf(library->files()), (QStringList{"Harbour", "Old Town", "Beach"}));
    EXPECT_EQ(describe(*library),
              (QStringList{"Thu Jan 1, 2026: Harbour", "Summer: Old Town, Beach", "Family: Beach",
                           "Pets: ", "Sun/Sand: Beach", "Trips: Harbour, Old Town, Beach"}));
    // Nested tags are sub-folders of their parent's folder.
    EXPECT_EQ(describe(*library->folders()[5]), QStringList{"Sea: Old Town"});
    EXPECT_EQ(describe(*library->folders()[3]), QStringList{"Cats: Beach"});
    EXPECT_TRUE(library->folders()[4]->folders().empty());
    // The album and the library share each photo; Shotwell's thumbnail is drawn where it has one.
    EXPECT_EQ(library->folders()[1]->files()[1], library->files()[2]);
    const auto beach = std::dynamic_pointer_cast<Photo>(library->files()[2]);
    EXPECT_EQ(beach->thumbPath(), thumbnail);
    EXPECT_EQ(beach->path(), home.file(QStringLiteral("Pictures/Beach.jpg")));
    const auto harbour = std::dynamic_pointer_cast<Photo>(library->files()[0]);
    EXPECT_EQ(harbour->thumbPath(), harbour->path()); // no cached thumbnail: the picture itself
    // Events and tags carry Shotwell's ids; a folder made only for nesting has none.
    const CatalogueContents catalogue = std::dynamic_pointer_cast<ShotwellFolder>(library)->readCatalogue();
    QStringList ids;
    for (const CatalogueGroup& group : catalogue.groups) {
        ids << group.id;
        for (const CatalogueGroup& child : group.groups) {
            ids << group.id + QLatin1Char('/') + child.id;
        }
    }
    EXPECT_EQ(ids,
              (QStringList{"event-2", "event-1", "tag-1", "", "/tag-4", "tag-5", "tag-2", "tag-2/tag-3"}));

    const MediaFolderPtr videos = firstFolder(movies);
    ASSERT_TRUE(videos);
    EXPECT_EQ(videos->name(), QStringLiteral("Shotwell"));
    EXPECT_EQ(namesOf(videos->files()), (QStringList{"Waves.mp4", "Dusk.mov"}));
    EXPECT_EQ(videos->files()[0]->url(),
              QUrl::fromLocalFile(home.file(QStringLiteral("Pictures/Waves.mp4"))));
    EXPECT_EQ(describe(*videos), (QStringList{"Summer: Waves.mp4, Dusk.mov", "Family: Waves.mp4"}));
    // Named by Shotwell's title, or else by the file's name: no movie is
    // opened during the load to name it.
    EXPECT_EQ(videos->files()[0]->name(), QStringLiteral("Waves.mp4"));
    EXPECT_EQ(videos->files()[1]->name(), QStringLiteral("Dusk at Sea"));
    EXPECT_TRUE(music->folders().empty());
}

TEST(ShotwellFolder, ReadsEverySchemaAndTakesMissingColumnsAsAbsentData) {
    TempHome home;
    const QString root = home.file(QStringLiteral("Pictures"));
    const QString old = home.file(QStringLiteral("old.db"));
    SqliteFixture::execute(old, QLatin1String(kSchema15) + libraryRows(root));
    const CatalogueContents contents = read(old, ShotwellReader::Media::Photos);
    EXPECT_EQ(namesOf(contents.items), (QStringList{"Harbour", "Old Town", "Beach"}));
    ASSERT_EQ(contents.groups.size(), 6u);
    EXPECT_EQ(contents.groups[1].name, QStringLiteral("Summer"));

    // A table that lacks every optional column, a tag table without its list,
    // no event and no video table: the photos still list, in id order.
    const QString bare = home.file(QStringLiteral("bare.db"));
    SqliteFixture::execute(bare,
                           QStringLiteral("CREATE TABLE PhotoTable (id INTEGER PRIMARY KEY, filename TEXT);"
                                          "CREATE TABLE TagTable (id INTEGER PRIMARY KEY, name TEXT);"
                                          "INSERT INTO PhotoTable VALUES (2, '%1/b.jpg'), (1, '%1/a.jpg'),"
                                          " (3, 12345), (4, NULL);"
                                          "INSERT INTO TagTable VALUES (1, 'Family');")
                               .arg(root));
    const CatalogueContents bareContents = read(bare, ShotwellReader::Media::Photos);
    EXPECT_EQ(namesOf(bareContents.items), (QStringList{"a", "b", "12345"}));
    EXPECT_TRUE(bareContents.groups.empty());
    EXPECT_TRUE(read(bare, ShotwellReader::Media::Videos).items.empty());
}

TEST(ShotwellFolder, FindsTheLibraryOfOlderInstalls) {
    TempHome home;
    EXPECT_TRUE(ShotwellFolder::databasePath().isNull());
    home.makeDirectory(QStringLiteral(".shotwell/data"));
    SqliteFixture::execute(home.file(QStringLiteral(".shotwell/data/photo.db")), QLatin1String(kSchema15));
    home.makeDirectory(QStringLiteral(".shotwell/thumbs/thumbs128"));
    EXPECT_EQ(ShotwellFolder::databasePath(), home.file(QStringLiteral(".shotwell/data/photo.db")));
    EXPECT_EQ(ShotwellFolder::thumbnailDirectory(), home.file(QStringLiteral(".shotwell/thumbs/thumbs128")));
}

} // namespace
