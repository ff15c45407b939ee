#include "model/Photo.h"
#include "model/QVMedia.h"
#include "platform/system/Path.h"
#include "prefs/UserPreferences.h"
#include "sources/catalogues/DigikamFolder.h"
#include "support/MediaFixtures.h"
#include "support/MediaRoots.h"
#include "support/SqliteFixture.h"
#include "support/TempHome.h"

#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// digiKam's core tables as it creates them (database schema 10 onwards).
const char kSchema[] = R"(
CREATE TABLE AlbumRoots (id INTEGER PRIMARY KEY, label TEXT, status INTEGER NOT NULL, type INTEGER NOT NULL,
  identifier TEXT, specificPath TEXT, UNIQUE(identifier, specificPath));
CREATE TABLE Albums (id INTEGER PRIMARY KEY, albumRoot INTEGER NOT NULL, relativePath TEXT NOT NULL, date DATE,
  caption TEXT, collection TEXT, icon INTEGER, modificationDate DATETIME, UNIQUE(albumRoot, relativePath));
CREATE TABLE Images (id INTEGER PRIMARY KEY, album INTEGER, name TEXT NOT NULL, status INTEGER NOT NULL,
  category INTEGER NOT NULL, modificationDate DATETIME, fileSize INTEGER, uniqueHash TEXT, manualOrder INTEGER,
  UNIQUE (album, name));
CREATE TABLE Tags (id INTEGER PRIMARY KEY, pid INTEGER, name TEXT NOT NULL, icon INTEGER, iconkde TEXT,
  UNIQUE (name, pid));
CREATE TABLE ImageTags (imageid INTEGER NOT NULL, tagid INTEGER NOT NULL, UNIQUE (imageid, tagid));
CREATE TABLE ImageComments (id INTEGER PRIMARY KEY, imageid INTEGER, type INTEGER, language TEXT, author TEXT,
  date DATETIME, comment TEXT, UNIQUE(imageid, type, language, author));
CREATE TABLE Settings (keyword TEXT NOT NULL UNIQUE, value TEXT);
INSERT INTO Settings VALUES ('DBVersion', '16');
)";

// Two album roots, one on a volume that is not mounted; visible, hidden and
// trashed images; a video; a tag tree with digiKam's internal tags.
QString collectionRows(const QString& pictures) {
    return QStringLiteral(R"(
INSERT INTO AlbumRoots VALUES (1, 'Pictures', 0, 1, 'volumeid:?path=%1', '/'),
  (2, 'Card', 0, 2, 'volumeid:?uuid=0000-NOT-MOUNTED', '/DCIM');
INSERT INTO Albums (id, albumRoot, relativePath) VALUES (1, 1, '/'), (2, 1, '/2026/Holiday'), (3, 1, '/Garden'),
  (4, 2, '/Away'), (5, 1, '/Empty');
INSERT INTO Images (id, album, name, status, category) VALUES (1, 1, 'top.jpg', 1, 1), (2, 2, 'beach.jpg', 1, 1),
  (3, 2, 'dunes.jpg', 2, 1), (4, 2, 'bin.jpg', 3, 1), (5, 3, 'rose.jpg', 1, 1), (6, 3, 'clip.mp4', 1, 2),
  (7, 4, 'away.jpg', 1, 1), (8, NULL, 'orphan.jpg', 1, 1);
INSERT INTO Tags (id, pid, name) VALUES (1, 0, '_Digikam_Internal_Tags_'), (2, 1, 'Current Version'),
  (3, 0, 'People'), (4, 3, 'Anna'), (5, 0, 'Places'), (6, 7, 'Loop'), (7, 6, 'Pool');
INSERT INTO ImageTags VALUES (2, 4), (5, 2), (5, 5), (6, 5), (2, 6), (7, 5);
INSERT INTO ImageComments (imageid, type, language, comment) VALUES (6, 1, 'x-default', 'A comment'),
  (6, 3, 'x-default', 'Garden Clip');
)")
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(pictures, "/")));
}

QStringList namesOf(const std::vector<MediaItemPtr>& items) {
    QStringList names;
    for (const MediaItemPtr& item : items) {
        names << (std::dynamic_pointer_cast<Photo>(item) ? item->name() : Path::localPath(item->url()));
    }
    return names;
}

// "parent/child: items" for every folder below folder, depth first.
QStringList describe(MediaFolder& folder, const QString& prefix = {}) {
    QStringList result;
    for (const MediaFolderPtr& sub : folder.folders()) {
        const QString name = prefix + sub->name();
        result << name + QStringLiteral(": ") + namesOf(sub->files()).join(QStringLiteral(", "));
        result << describe(*sub, name + QLatin1Char('/'));
    }
    return result;
}

TEST(DigikamFolder, ShowsAlbumsAndTagsOfMountedRootsInPicturesAndMovies) {
    TempHome home;
    UserPreferences::sharedPreferences()->setPicturePaths({});
    UserPreferences::sharedPreferences()->setMoviePaths({});
    const QString pictures = home.makeDirectory(QStringLiteral("My Pictures"));
    home.makeDirectory(QStringLiteral("Collection"));
    home.writeFile(QStringLiteral(".config/digikamrc"),
                   "[General Settings]\nVersion=8.2.0\n\n[Database Settings]\nDatabase Type=QSQLITE\n"
                   "Database Name=" +
                       QFile::encodeName(home.file(QStringLiteral("Collection/"))) + "\n");
    SqliteFixture::execute(home.file(QStringLiteral("Collection/digikam4.db")),
                           QLatin1String(kSchema) + collectionRows(pictures));
    // A real movie, whose file calls itself "Holiday Clip".
    MediaFixtures::copy(MediaFixtures::Fixture::TaggedMov, pictures + QStringLiteral("/Garden/clip.mp4"));

    MediaRoots roots;
    auto& [photos, music, movies, media] = roots;

    ASSERT_EQ(photos->folders().size(), 1u);
    const MediaFolderPtr library = photos->folders().front();
    EXPECT_EQ(library->name(), QStringLiteral("digiKam"));
    EXPECT_EQ(namesOf(library->files()), (QStringList{"top", "beach", "rose"}));
    EXPECT_EQ(std::dynamic_pointer_cast<Photo>(library->files()[1])->path(),
              pictures + "/2026/Holiday/beach.jpg");
    EXPECT_EQ(describe(*library),
              (QStringList{"2026: ", "2026/Holiday: beach", "Garden: rose",
                           "Tags: ", "Tags/People: ", "Tags/People/Anna: beach", "Tags/Places: rose"}));
    // A folder of folders shows that it expands before it was ever opened.
    MediaFolderPtr year = library->folders()[0];
    EXPECT_TRUE(year->isExpandable());
    // Albums and tags carry digiKam's ids; a folder with no album of its own has none.
    const CatalogueContents catalogue = std::dynamic_pointer_cast<DigikamFolder>(library)->readCatalogue();
    QStringList ids;
    for (const CatalogueGroup& group : catalogue.groups) {
        ids << group.id;
        for (const CatalogueGroup& child : group.groups) {
            ids << group.id + QLatin1Char('/') + child.id;
        }
    }
    EXPECT_EQ(ids, (QStringList{"", "/album-2", "album-3", "tags", "tags/tag-3", "tags/tag-5"}));

    ASSERT_EQ(movies->folders().size(), 1u);
    EXPECT_EQ(namesOf(movies->folders()[0]->files()), QStringList{pictures + "/Garden/clip.mp4"});
    // Named by its title in digiKam, without opening the movie.
    EXPECT_EQ(movies->folders()[0]->files()[0]->name(), QStringLiteral("Garden Clip"));
    EXPECT_EQ(describe(*movies->folders()[0]),
              (QStringList{"Garden: " + pictures + "/Garden/clip.mp4",
                           "Tags: ", "Tags/Places: " + pictures + "/Garden/clip.mp4"}));
    EXPECT_TRUE(music->folders().empty());
}

TEST(DigikamFolder, ResolvesAlbumRootsByPathAndMountedVolume) {
    EXPECT_EQ(
        DigikamReader::albumRootPath(QStringLiteral("volumeid:?path=%2Fhome%2Fa%20b"), QStringLiteral("/")),
        QStringLiteral("/home/a b"));
    EXPECT_EQ(DigikamReader::albumRootPath(QStringLiteral("volumeid:?path=/data"), QStringLiteral("/Photos")),
              QStringLiteral("/data/Photos"));
    // digiKam escapes a space but writes a "+" as it is.
    EXPECT_EQ(DigikamReader::albumRootPath(QStringLiteral("volumeid:?path=/data/Photos+Videos%20Lib"),
                                           QStringLiteral("/2026")),
              QStringLiteral("/data/Photos+Videos Lib/2026"));
    EXPECT_TRUE(DigikamReader::albumRootPath(QStringLiteral("volumeid:?uuid=0000-NOT-MOUNTED"), {}).isNull());
    EXPECT_TRUE(DigikamReader::albumRootPath(QStringLiteral("volumeid:?uuid=../../etc"), {}).isNull());
    EXPECT_TRUE(
        DigikamReader::albumRootPath(QStringLiteral("volumeid:?networkshareurl=smb://nas/x"), {}).isNull());
}

} // namespace
