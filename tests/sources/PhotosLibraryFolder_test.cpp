#include "model/Photo.h"
#include "model/QVMedia.h"
#include "prefs/UserPreferences.h"
#include "sources/catalogues/PhotosLibraryFolder.h"
#include "sources/catalogues/PhotosLibraryReader.h"
#include "support/CatalogueOutline.h"
#include "support/CatalogueSchemas.h"
#include "support/SqliteFixture.h"
#include "support/TempHome.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

using CatalogueOutline::groups;
using CatalogueOutline::items;

// Core Data's seconds for noon, local time, of a day in January 2026.
qint64 noonOf(int day) {
    return QDateTime(QDate(2026, 1, day), QTime(12, 0)).toSecsSinceEpoch() - 978307200;
}

struct Release {
    const char* name;
    QString (*schema)();
    const char* assets;  // the assets' table
    const char* members; // the table joining albums and assets, and its columns
    const char* originals;
};

class PhotosLibrary : public ::testing::TestWithParam<Release> {};

// Four photos over two days and a video; one photo trashed, one hidden.
// Albums: "Trip" in folder "Travel", "Best" at the top, "Empty", and two
// folders that are each other's parent; a people album is not the user's.
TEST_P(PhotosLibrary, ShowsMomentsAndAlbumsInFoldersWithoutTrashedOrHidden) {
    const Release release = GetParam();
    TempHome home;
    UserPreferences::sharedPreferences()->setPicturePaths({});
    const QString bundle = home.makeDirectory(QStringLiteral("Pictures/Photos Library.photoslibrary"));
    home.makeDirectory(QStringLiteral("Pictures/Photos Library.photoslibrary/database"));
    home.makeDirectory(
        QStringLiteral("Pictures/Photos Library.photoslibrary/%1/A").arg(QLatin1String(release.originals)));
    const QString derivative = home.writeFile(
        QStringLiteral("Pictures/Photos Library.photoslibrary/resources/derivatives/A/AAA-1_1_105_c.jpeg"),
        "jpeg");
    const QString members = QLatin1String(release.members);
    const QStringList memberColumns =
        members.mid(members.indexOf(QLatin1Char('(')) + 1).chopped(1).split(QLatin1Char(','));
    SqliteFixture::execute(
        PhotosLibraryReader::databaseOf(bundle),
        release.schema() +
            QStringLiteral(
                "INSERT INTO %1 (Z_PK, ZUUID, ZDIRECTORY, ZFILENAME, ZDATECREATED, ZKIND, ZTRASHEDSTATE, "
                "ZHIDDEN) VALUES"
                " (1, 'AAA-1', 'A', 'AAA-1.jpeg', %2, 0, 0, 0), (2, 'AAA-2', 'A', 'AAA-2.heic', %3, 0, 0, 0),"
                " (3, 'AAA-3', 'A', 'AAA-3.jpeg', %4, 0, 1, 0), (4, 'AAA-4', 'A', 'AAA-4.jpeg', %4, 0, 0, 1),"
                " (5, 'AAA-5', 'A', 'AAA-5.mov', %4, 1, 0, 0), (6, 'AAA-6', 'A', 'AAA-6.jpeg', %5, 0, 0, 0);"
                "INSERT INTO ZADDITIONALASSETATTRIBUTES (ZASSET, ZTITLE, ZORIGINALFILENAME) VALUES"
                " (1, 'Harbour', 'IMG_0001.JPG'), (2, NULL, 'IMG_0002.HEIC'), (5, NULL, 'IMG_0005.MOV');"
                "INSERT INTO ZGENERICALBUM (Z_PK, ZKIND, ZTITLE, ZPARENTFOLDER, ZTRASHEDSTATE) VALUES"
                " (1, 3999, NULL, NULL, 0), (2, 4000, 'Travel', 1, 0), (3, 2, 'Trip', 2, 0), (4, 2, 'Best', "
                "1, 0),"
                " (5, 2, 'Empty', 1, 0), (6, 4000, 'Loop A', 7, 0), (7, 4000, 'Loop B', 6, 0),"
                " (8, 2, 'Lost', 6, 0), (9, 1505, 'Faces', 1, 0), (10, 2, 'Gone', 1, 1);"
                "INSERT INTO %6 (%7, %8, %9) VALUES (3, 6, 2), (3, 1, 1), (3, 3, 3), (4, 2, 1), (8, 1, 1), "
                "(9, 1, 1),"
                " (10, 1, 1), (3, 5, 4);")
                .arg(QLatin1String(release.assets))
                .arg(noonOf(2))
                .arg(noonOf(3))
                .arg(noonOf(4))
                .arg(noonOf(3) + 60)
                .arg(members.left(members.indexOf(QLatin1Char('('))), memberColumns.value(0),
                     memberColumns.value(1), memberColumns.value(2)));

    auto photos = std::make_shared<MediaFolder>();
    auto movies = std::make_shared<MediaFolder>();
    QVMedia media;
    media.setPhotos(photos);
    media.setMovies(movies);
    media.awakeFromNib();
    ASSERT_EQ(photos->folders().size(), 1u);
    EXPECT_EQ(photos->folders()[0]->name(), QStringLiteral("Photos Library"));
    ASSERT_EQ(movies->folders().size(), 1u);

    const QString originals =
        bundle + QLatin1Char('/') + QLatin1String(release.originals) + QStringLiteral("/A/");
    LoadProgress progress;
    const CatalogueContents pictures =
        PhotosLibraryReader::read(bundle, PhotosLibraryReader::Media::Pictures, progress);
    // Named by title, else by the file's name when imported.
    EXPECT_EQ(items(pictures.items),
              (QStringList{"Harbour|" + originals + "AAA-1.jpeg", "IMG_0002|" + originals + "AAA-2.heic",
                           "AAA-6|" + originals + "AAA-6.jpeg"}));
    EXPECT_EQ(std::static_pointer_cast<Photo>(pictures.items[0])->thumbPath(), derivative);
    EXPECT_EQ(std::static_pointer_cast<Photo>(pictures.items[1])->thumbPath(), originals + "AAA-2.heic");
    EXPECT_EQ(groups(pictures.groups), QStringLiteral("Moments[0](January 2, 2026[1],January 3, 2026[2]),"
                                                      "Albums[0](Travel[0](Trip[2]),Best[1])"));
    // An album keeps the order the user gave it.
    EXPECT_EQ(items(CatalogueOutline::find(pictures.groups, QStringLiteral("Albums/Travel/Trip"))->items),
              (QStringList{"Harbour|" + originals + "AAA-1.jpeg", "AAA-6|" + originals + "AAA-6.jpeg"}));

    const CatalogueContents videos =
        PhotosLibraryReader::read(bundle, PhotosLibraryReader::Media::Videos, progress);
    EXPECT_EQ(items(videos.items), QStringList{"IMG_0005|file://" + originals + "AAA-5.mov"});
    EXPECT_EQ(groups(videos.groups),
              QStringLiteral("Moments[0](January 4, 2026[1]),Albums[0](Travel[0](Trip[1]))"));
}

INSTANTIATE_TEST_SUITE_P(
    Releases, PhotosLibrary,
    ::testing::Values(Release{"Ventura", &CatalogueSchemas::photosVentura, "ZASSET",
                              "Z_28ASSETS(Z_28ALBUMS,Z_3ASSETS,Z_FOK_3ASSETS)", "originals"},
                      Release{"Catalina", &CatalogueSchemas::photosCatalina, "ZGENERICASSET",
                              "Z_26ASSETS(Z_26ALBUMS,Z_34ASSETS,Z_FOK_34ASSETS)", "Masters"}),
    [](const ::testing::TestParamInfo<Release>& info) { return std::string(info.param.name); });

} // namespace
