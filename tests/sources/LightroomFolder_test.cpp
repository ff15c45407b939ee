#include "model/Photo.h"
#include "model/QVMedia.h"
#include "prefs/UserPreferences.h"
#include "sources/catalogues/LightroomFolder.h"
#include "sources/catalogues/LightroomReader.h"
#include "support/CatalogueOutline.h"
#include "support/CatalogueSchemas.h"
#include "support/SqliteFixture.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using CatalogueOutline::groups;
using CatalogueOutline::items;

// A catalogue whose pictures lie under three root folders: one on this
// disk, one on a Windows drive ("C:/…"), one on a server's share that is not
// mounted. One picture is picked, one rejected; one file is a video.
QString catalogueRows(const QString& local) {
    return QStringLiteral(
               "INSERT INTO AgLibraryRootFolder (id_local, id_global, absolutePath, name) VALUES"
               " (1, 'R1', '%1/', 'Photos'), (2, 'R2', 'C:/Users/me/Pictures/', 'Pictures'),"
               " (3, 'R3', '//nas/photos/', 'photos');"
               "INSERT INTO AgLibraryFolder (id_local, id_global, pathFromRoot, rootFolder) VALUES"
               " (1, 'F1', '2026/', 1), (2, 'F2', '2026/Trip/', 1), (3, 'F3', '', 2), (4, 'F4', 'Archive/', "
               "3);"
               "INSERT INTO AgLibraryFile (id_local, id_global, baseName, extension, folder) VALUES"
               " (1, 'L1', 'IMG_1', 'JPG', 1), (2, 'L2', 'IMG_2', 'CR2', 2), (3, 'L3', 'DSC_3', 'NEF', 3),"
               " (4, 'L4', 'old', 'jpg', 4), (5, 'L5', 'clip', 'MOV', 1), (6, 'L6', 'IMG_6', 'JPG', 2);"
               "INSERT INTO Adobe_images (id_local, id_global, rootFile, captureTime, pick, fileFormat) "
               "VALUES"
               " (1, 'I1', 1, '2026-01-02T10:00:00', 1, 'JPG'), (2, 'I2', 2, '2026-01-01T09:00:00', 0, "
               "'RAW'),"
               " (3, 'I3', 3, '2025-05-05T00:00:00', 0, 'RAW'), (4, 'I4', 4, '2020-01-01T00:00:00', 0, "
               "'JPG'),"
               " (5, 'I5', 5, '2026-01-03T00:00:00', 0, 'VIDEO'), (6, 'I6', 6, '2026-01-04T00:00:00', -1, "
               "'JPG');")
        .arg(local);
}

// Collections in a set, a smart collection, the quick collection (kept by
// Lightroom for itself), and a set and collection that are each other's
// parent; keywords under the tree's nameless root.
const char kCollectionsAndKeywords[] =
    "INSERT INTO AgLibraryCollection (id_local, creationId, name, parent, systemOnly) VALUES"
    " (1, 'com.adobe.ag.library.group', 'Travel', NULL, 0),"
    " (2, 'com.adobe.ag.library.collection', 'Best', 1, 0),"
    " (3, 'com.adobe.ag.library.smart_collection', 'Recent', NULL, 0),"
    " (4, 'com.adobe.ag.library.collection', 'quick collection', NULL, 1),"
    " (5, 'com.adobe.ag.library.collection', 'Loop A', 6, 0),"
    " (6, 'com.adobe.ag.library.group', 'Loop B', 5, 0);"
    "INSERT INTO AgLibraryCollectionImage (collection, image, positionInCollection) VALUES"
    " (2, 1, 'b'), (2, 2, 'a'), (3, 3, 'a'), (4, 1, 'a'), (5, 4, 'a');"
    "INSERT INTO AgLibraryKeyword (id_local, id_global, name, parent) VALUES"
    " (1, 'K1', NULL, NULL), (2, 'K2', 'Places', 1), (3, 'K3', 'Paris', 2), (4, 'K4', 'Family', 1);"
    "INSERT INTO AgLibraryKeywordImage (image, tag) VALUES (1, 3), (3, 4), (6, 4);";

TEST(LightroomFolder, ShowsFoldersCollectionsKeywordsAndPicksAcrossDisks) {
    TempHome home;
    UserPreferences::sharedPreferences()->setPicturePaths({});
    const QString local = home.makeDirectory(QStringLiteral("Photos"));
    const QString windows = home.makeDirectory(QStringLiteral("mnt/Windows Disk"));
    home.makeDirectory(QStringLiteral("mnt/Windows Disk/Users/me/Pictures"));
    home.makeDirectory(QStringLiteral("Pictures/Lightroom"));
    const QString catalogue = home.file(QStringLiteral("Pictures/Lightroom/Lightroom Catalog.lrcat"));
    SqliteFixture::execute(catalogue, CatalogueSchemas::lightroom() + catalogueRows(local) +
                                          QLatin1String(kCollectionsAndKeywords));

    // Found in Lightroom's own folder, in both trees.
    auto photos = std::make_shared<MediaFolder>();
    auto movies = std::make_shared<MediaFolder>();
    QVMedia media;
    media.setPhotos(photos);
    media.setMovies(movies);
    media.awakeFromNib();
    ASSERT_EQ(photos->folders().size(), 1u);
    EXPECT_EQ(photos->folders()[0]->name(), QStringLiteral("Lightroom Catalog"));
    ASSERT_EQ(movies->folders().size(), 1u);

    // The Windows drive is whichever Windows file system mounted here holds
    // the folder; the kernel's table writes a space in a mount point as "\040".
    const ForeignPaths paths(MountTable::parse("tmpfs /tmp tmpfs rw 0 0\n/dev/sdb1 " +
                                               QFile::encodeName(windows).replace(" ", "\\040") +
                                               " ntfs3 rw,relatime 0 0\n"));
    LoadProgress progress;
    const CatalogueContents pictures =
        LightroomReader::read(catalogue, LightroomReader::Media::Pictures, paths, progress);
    // By capture time; the rejected picture is left out; the one on the
    // share that is not mounted is listed by its network location.
    EXPECT_EQ(items(pictures.items),
              (QStringList{"old|smb://nas/photos/Archive/old.jpg",
                           "DSC_3|" + windows + "/Users/me/Pictures/DSC_3.NEF",
                           "IMG_2|" + local + "/2026/Trip/IMG_2.CR2", "IMG_1|" + local + "/2026/IMG_1.JPG"}));
    // Smart collections, Lightroom's own, and those whose parents loop are left out.
    EXPECT_EQ(
        groups(pictures.groups),
        QStringLiteral("Folders[0](Photos[0](2026[1](Trip[1])),Pictures[1],photos (offline)[0](Archive[1])),"
                       "Collections[0](Travel[0](Best[2])),Keywords[0](Family[1],Places[0](Paris[1])),"
                       "Picks[1]"));
    // A collection keeps its own order.
    EXPECT_EQ(
        items(CatalogueOutline::find(pictures.groups, QStringLiteral("Collections/Travel/Best"))->items),
        (QStringList{"IMG_2|" + local + "/2026/Trip/IMG_2.CR2", "IMG_1|" + local + "/2026/IMG_1.JPG"}));

    const CatalogueContents videos =
        LightroomReader::read(catalogue, LightroomReader::Media::Videos, paths, progress);
    EXPECT_EQ(items(videos.items), QStringList{"clip.MOV|file://" + local + "/2026/clip.MOV"});
    EXPECT_EQ(groups(videos.groups), QStringLiteral("Folders[0](Photos[0](2026[1]))"));
}

// Lightroom 3 kept keywords among its tags; a share mounted by the kernel
// is found by its source.
TEST(LightroomFolder, ReadsLightroom3KeywordsAndMountedShares) {
    TempHome home;
    const QString share = home.makeDirectory(QStringLiteral("mnt/nas"));
    home.makeDirectory(QStringLiteral("mnt/nas/Archive"));
    const QString catalogue = home.file(QStringLiteral("Old.lrcat"));
    SqliteFixture::execute(
        catalogue,
        CatalogueSchemas::lightroom3() +
            QStringLiteral(
                "INSERT INTO AgLibraryRootFolder (id_local, id_global, absolutePath, name) VALUES"
                " (3, 'R3', '\\\\NAS\\photos\\', 'photos');"
                "INSERT INTO AgLibraryFolder (id_local, id_global, pathFromRoot, rootFolder) VALUES"
                " (4, 'F4', 'Archive/', 3);"
                "INSERT INTO AgLibraryFile (id_local, id_global, baseName, extension, folder) VALUES"
                " (4, 'L4', 'old', 'jpg', 4);"
                "INSERT INTO Adobe_images (id_local, id_global, rootFile, captureTime) VALUES"
                " (4, 'I4', 4, '2020-01-01T00:00:00');"
                "INSERT INTO AgLibraryTag (id_local, id_global, kindName, name, parent) VALUES"
                " (1, 'T1', 'AgKeywordTagKind', NULL, NULL), (2, 'T2', 'AgKeywordTagKind', 'Sea', 1),"
                " (3, 'T3', 'AgCollectionTagKind', 'Album', NULL);"
                "INSERT INTO AgLibraryTagImage (image, tag, tagKind) VALUES"
                " (4, 2, 'AgKeywordTagKind'), (4, 3, 'AgCollectionTagKind');"));
    const ForeignPaths paths({{QStringLiteral("//nas/photos"), share, QStringLiteral("cifs")}});
    LoadProgress progress;
    const CatalogueContents contents =
        LightroomReader::read(catalogue, LightroomReader::Media::Pictures, paths, progress);
    EXPECT_EQ(items(contents.items), QStringList{"old|" + share + "/Archive/old.jpg"});
    EXPECT_EQ(groups(contents.groups),
              QStringLiteral("Folders[0](photos[0](Archive[1])),Keywords[0](Sea[1])"));
}

// Pictures with a preview in the catalogue's previews folder have it as
// their thumbnail; the others, and all of them when the previews' database
// is spoilt, their own file. Nothing is written beside the catalogue.
TEST(LightroomFolder, TakesThumbnailsFromTheCataloguePreviews) {
    TempHome home;
    const QString local = home.makeDirectory(QStringLiteral("Photos"));
    home.makeDirectory(QStringLiteral("Lightroom/Cat Previews.lrdata"));
    const QString catalogue = home.file(QStringLiteral("Lightroom/Cat.lrcat"));
    SqliteFixture::execute(catalogue, CatalogueSchemas::lightroom() + catalogueRows(local));
    const QString previews = home.file(QStringLiteral("Lightroom/Cat Previews.lrdata/previews.db"));
    // As Lightroom Classic defines the previews' table.
    SqliteFixture::execute(
        previews, QStringLiteral("CREATE TABLE ImageCacheEntry (id_local INTEGER PRIMARY KEY, imageId "
                                 "INTEGER NOT NULL, uuid NOT NULL, digest NOT NULL, orientation);"
                                 "INSERT INTO ImageCacheEntry VALUES (1, 1, 'B5F0-A1', 'd41d8c', 'AB'),"
                                 " (2, 3, 'C0FF-EE', '900150', 'AB'), (3, 2, '../..', 'x', 'AB');"));
    const QDir folder(home.file(QStringLiteral("Lightroom")));
    const QStringList before = folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const ForeignPaths paths(MountTable::parse(QByteArray()));
    const auto thumbnails = [&] {
        LoadProgress progress;
        QStringList found;
        for (const MediaItemPtr& item :
             LightroomReader::read(catalogue, LightroomReader::Media::Pictures, paths, progress).items) {
            found << std::static_pointer_cast<Photo>(item)->thumbPath();
        }
        return found;
    };
    const QString lrdata = home.file(QStringLiteral("Lightroom/Cat Previews.lrdata/"));
    // A picture whose disk is not here still shows its preview; a preview
    // named out of the folder is none.
    EXPECT_EQ(thumbnails(),
              (QStringList{"smb://nas/photos/Archive/old.jpg", lrdata + "C/C0FF/C0FF-EE-900150.lrprev",
                           local + "/2026/Trip/IMG_2.CR2", lrdata + "B/B5F0/B5F0-A1-d41d8c.lrprev"}));
    QFile spoilt(previews);
    ASSERT_TRUE(spoilt.open(QIODevice::WriteOnly | QIODevice::Truncate));
    spoilt.write(QByteArray(8192, 'x'));
    spoilt.close();
    EXPECT_EQ(thumbnails().last(), local + "/2026/IMG_1.JPG");
    EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
    EXPECT_EQ(QDir(lrdata).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"previews.db"});
}

} // namespace
