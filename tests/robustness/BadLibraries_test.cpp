#include "HostileHome.h"
#include "model/QVMedia.h"
#include "prefs/UserPreferences.h"
#include "sources/catalogues/GroupHierarchy.h"
#include "sources/catalogues/PhotosLibraryReader.h"
#include "support/CatalogueOutline.h"
#include "support/CatalogueSchemas.h"
#include "support/SqliteFixture.h"

#include <QFile>

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

namespace {

// A library of each kind added for the photographers' and listeners'
// applications: where it lives, its tables, two of its items, and what a
// later version of its application might add.
struct Library {
    const char* name; // the folder's name
    const char* file; // below the home
    int tree;         // 0 pictures, 1 music, 2 movies
    QString (*schema)();
    const char* rows;   // two items
    const char* future; // columns and tables a later version adds, and a higher version number
};

const Library kLibraries[] = {
    {"darktable", ".config/darktable/library.db", 0, &CatalogueSchemas::darktableLibrary,
     "INSERT INTO film_rolls (id, folder) VALUES (1, '/p');"
     "INSERT INTO images (id, film_id, filename, flags) VALUES (1, 1, 'a.jpg', 0), (2, 1, 'b.jpg', 1);",
     "ALTER TABLE images ADD COLUMN future_rating_scale REAL; ALTER TABLE film_rolls ADD COLUMN uuid TEXT;"
     "CREATE TABLE images_v99 (id INTEGER); UPDATE db_info SET value = 99 WHERE key = 'version';"},
    {"Lightroom Catalog", "Pictures/Lightroom/Lightroom Catalog.lrcat", 0, &CatalogueSchemas::lightroom,
     "INSERT INTO AgLibraryRootFolder (id_local, id_global, absolutePath, name) VALUES (1, 'R', '/p/', 'p');"
     "INSERT INTO AgLibraryFolder (id_local, id_global, pathFromRoot, rootFolder) VALUES (1, 'F', '', 1);"
     "INSERT INTO AgLibraryFile (id_local, id_global, baseName, extension, folder) VALUES"
     " (1, 'L1', 'a', 'jpg', 1), (2, 'L2', 'b', 'jpg', 1);"
     "INSERT INTO Adobe_images (id_local, id_global, rootFile, captureTime) VALUES (1, 'I1', 1, '2026'),"
     " (2, 'I2', 2, '2027');",
     "ALTER TABLE Adobe_images ADD COLUMN aiMaskCache TEXT; CREATE TABLE AgLibraryCloudSync (id_local "
     "INTEGER);"
     "UPDATE Adobe_variablesTable SET value = '9900000' WHERE name = 'Adobe_DBVersion';"},
    {"Photos Library", "Pictures/Photos Library.photoslibrary/database/Photos.sqlite", 0,
     &CatalogueSchemas::photosVentura,
     "INSERT INTO ZASSET (Z_PK, ZUUID, ZDIRECTORY, ZFILENAME, ZDATECREATED, ZKIND, ZTRASHEDSTATE, ZHIDDEN) "
     "VALUES"
     " (1, 'U1', 'A', 'U1.jpeg', 1, 0, 0, 0), (2, 'U2', 'A', 'U2.jpeg', 2, 0, 0, 0);",
     // A later release numbers its entities anew: the join table moves.
     "ALTER TABLE ZASSET ADD COLUMN ZSPATIALTYPE INTEGER; ALTER TABLE Z_28ASSETS RENAME TO Z_33ASSETS;"
     "CREATE TABLE ZSHARE (Z_PK INTEGER PRIMARY KEY);"},
    {"Elisa", ".local/share/elisa/elisaDatabase.db", 1, &CatalogueSchemas::elisa,
     "INSERT INTO Tracks (ID, FileName, Priority, Title, Duration, HasEmbeddedCover) VALUES"
     " (1, 'file:///m/a.mp3', 1, 'A', 1000, 0), (2, 'file:///m/b.mp3', 1, 'B', 2000, 0);",
     "ALTER TABLE Tracks ADD COLUMN Performer VARCHAR(55); UPDATE DatabaseVersion SET Version = 99;"},
    {"Lollypop", ".local/share/lollypop/lollypop.db", 1, &CatalogueSchemas::lollypop,
     "INSERT INTO tracks (id, name, uri, duration, album_id, popularity, rate, ltime, mtime, storage_type) "
     "VALUES"
     " (1, 'A', 'file:///m/a.mp3', 1000, 0, 0, 0, 0, 0, 2), (2, 'B', 'file:///m/b.mp3', 1000, 0, 0, 0, 0, 0, "
     "2);",
     "ALTER TABLE tracks ADD COLUMN isrc TEXT; PRAGMA user_version = 99;"},
    {"Kodi", ".kodi/userdata/Database/MyMusic82.db", 1, &CatalogueSchemas::kodiMusic,
     "INSERT INTO path (idPath, strPath) VALUES (1, '/m/');"
     "INSERT INTO song (idSong, idPath, strTitle, strFileName) VALUES (1, 1, 'A', 'a.mp3'), (2, 1, 'B', "
     "'b.mp3');",
     "ALTER TABLE song ADD COLUMN iVideoTrack INTEGER; UPDATE version SET idVersion = 99;"},
    {"Kodi", ".kodi/userdata/Database/MyVideos121.db", 2, &CatalogueSchemas::kodiVideos,
     "INSERT INTO path (idPath, strPath) VALUES (1, '/v/');"
     "INSERT INTO files (idFile, idPath, strFilename) VALUES (1, 1, 'a.mkv'), (2, 1, 'b.mkv');"
     "INSERT INTO movie (idMovie, idFile, c00) VALUES (1, 1, 'A'), (2, 2, 'B');",
     "ALTER TABLE movie ADD COLUMN c24 TEXT; UPDATE version SET idVersion = 199;"},
};

// How the library is spoilt.
enum class Damage { None, Future, TablesMissing, Truncated, Garbage, MidWrite };

struct Case {
    Library library;
    Damage damage;
};

void PrintTo(const Case& tested, std::ostream* out) {
    *out << tested.library.file << " damage " << static_cast<int>(tested.damage);
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    static const char* const damages[] = {"Good",    "SchemaFromTheFuture", "TablesMissing", "Truncated",
                                          "Garbage", "CaughtMidWrite"};
    std::string name =
        QString::fromLatin1(info.param.library.file).section(QLatin1Char('/'), -1).toStdString();
    std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
    return name + "_" + damages[static_cast<int>(info.param.damage)];
}

class BadLibraries : public HostileHome, public ::testing::WithParamInterface<Case> {
protected:
    // The application's own connection, kept past the check that nothing was
    // written (which runs first, in TearDown).
    std::unique_ptr<SqliteFixture::Connection> _application;
};

// Each library, spoilt each way: the browser shows its folder (empty when
// nothing can be read), at once, keeps the other sources, and writes nothing.
TEST_P(BadLibraries, ShowWhatCanBeReadAndWriteNothing) {
    const auto& [library, damage] = GetParam();
    UserPreferences::sharedPreferences()->setPicturePaths({});
    UserPreferences::sharedPreferences()->setMusicPaths({});
    UserPreferences::sharedPreferences()->setMoviePaths({});
    const QString relative = QLatin1String(library.file);
    _home.makeDirectory(relative.section(QLatin1Char('/'), 0, -2));
    const QString path = _home.file(relative);
    const QString good = library.schema() + QLatin1String(library.rows);
    int expected = 2;
    switch (damage) {
    case Damage::None:
        SqliteFixture::execute(path, good);
        break;
    case Damage::Future:
        SqliteFixture::execute(path, good + QLatin1String(library.future));
        break;
    case Damage::TablesMissing:
        SqliteFixture::execute(path, QStringLiteral("CREATE TABLE unrelated (id INTEGER PRIMARY KEY);"));
        expected = 0;
        break;
    case Damage::Truncated: {
        SqliteFixture::execute(path, good);
        QFile file(path);
        ASSERT_TRUE(file.resize(file.size() / 3));
        expected = 0;
        break;
    }
    case Damage::Garbage:
        _home.writeFile(relative, QByteArray(70000, '\x5a'));
        expected = 0;
        break;
    case Damage::MidWrite:
        // The application writes in WAL mode and has not committed its second batch.
        SqliteFixture::execute(path, QStringLiteral("PRAGMA journal_mode=WAL;") + library.schema());
        _application = std::make_unique<SqliteFixture::Connection>(path);
        ASSERT_EQ(
            _application->execute(QStringLiteral("PRAGMA journal_mode=WAL;") + QLatin1String(library.rows)),
            SQLITE_OK);
        ASSERT_EQ(_application->execute(QStringLiteral("BEGIN IMMEDIATE; CREATE TABLE pending (batch);"
                                                       " INSERT INTO pending VALUES (2);")),
                  SQLITE_OK);
        break;
    }
    snapshot();

    auto photos = std::make_shared<MediaFolder>();
    auto music = std::make_shared<MediaFolder>();
    auto movies = std::make_shared<MediaFolder>();
    QVMedia media;
    media.setPhotos(photos);
    media.setMusic(music);
    media.setMovies(movies);
    MediaFolderPtr folder;
    const qint64 elapsed = millisecondsOf([&] {
        media.awakeFromNib();
        const MediaFolderPtr roots[] = {photos, music, movies};
        for (const MediaFolderPtr& candidate : roots[library.tree]->folders()) {
            if (candidate->name() == QLatin1String(library.name)) {
                folder = candidate;
            }
        }
        for (const MediaFolderPtr& root : roots) {
            loadEverything(root);
        }
    });
    EXPECT_LT(elapsed, kMainThreadBudgetMs);
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(static_cast<int>(folder->files().size()), expected);
}

std::vector<Case> allCases() {
    std::vector<Case> cases;
    for (const Library& library : kLibraries) {
        for (const Damage damage : {Damage::None, Damage::Future, Damage::TablesMissing, Damage::Truncated,
                                    Damage::Garbage, Damage::MidWrite}) {
            cases.push_back({library, damage});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Libraries, BadLibraries, ::testing::ValuesIn(allCases()), caseName);

// Folders a thousand levels deep, or each other's parents: nothing past a
// real tree's depth is followed, and no loop is.
TEST_F(HostileHome, AlbumFoldersThatLoopOrNestWithoutEnd) {
    const QString bundle = _home.makeDirectory(QStringLiteral("Pictures/Deep.photoslibrary"));
    _home.makeDirectory(QStringLiteral("Pictures/Deep.photoslibrary/database"));
    QString rows =
        QStringLiteral("INSERT INTO ZASSET (Z_PK, ZUUID, ZDIRECTORY, ZFILENAME, ZDATECREATED, ZKIND,"
                       " ZTRASHEDSTATE, ZHIDDEN) VALUES (1, 'U1', 'A', 'U1.jpeg', 1, 0, 0, 0);"
                       "INSERT INTO ZGENERICALBUM (Z_PK, ZKIND, ZTITLE, ZPARENTFOLDER, ZTRASHEDSTATE) VALUES"
                       " (1, 4000, 'Loop', 2, 0), (2, 4000, 'Pool', 1, 0), (3, 2, 'In loop', 1, 0)");
    constexpr int depth = 100000;
    for (int id = 10; id < 10 + depth; ++id) {
        rows += QStringLiteral(", (%1, 4000, 'Level', %2, 0)").arg(id).arg(id == 10 ? 0 : id - 1);
    }
    rows += QStringLiteral(", (%1, 2, 'Bottom', %2, 0);"
                           "INSERT INTO Z_28ASSETS VALUES (3, 1, 1), (%1, 1, 1), (50, 1, 1);")
                .arg(10 + depth)
                .arg(9 + depth);
    SqliteFixture::execute(PhotosLibraryReader::databaseOf(bundle), CatalogueSchemas::photosVentura() + rows);
    snapshot();
    CatalogueContents contents;
    const qint64 elapsed = millisecondsOf([&] {
        LoadProgress progress;
        contents = PhotosLibraryReader::read(bundle, PhotosLibraryReader::Media::Pictures, progress);
    });
    EXPECT_LT(elapsed, kMainThreadBudgetMs * 2);
    ASSERT_EQ(contents.items.size(), 1u);
    // Only the album within a real tree's depth, 41 levels down, shows.
    QString expected = QStringLiteral("Level[1]");
    for (int level = 0; level < 40; ++level) {
        expected = QStringLiteral("Level[0](%1)").arg(expected);
    }
    ASSERT_EQ(contents.groups.size(), 2u);
    EXPECT_EQ(CatalogueOutline::groups({contents.groups[1]}), QStringLiteral("Albums[0](%1)").arg(expected));
    EXPECT_EQ(GroupHierarchy::maxDepth, 64);
}

} // namespace
